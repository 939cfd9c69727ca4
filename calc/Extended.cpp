// SPDX-License-Identifier: MIT
#include "calc/Extended.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace {

__extension__ typedef unsigned __int128 TWide;
using TBits = TExtended::TBits;

constexpr uint16_t SignBit = TExtended::SignBit;
constexpr int32_t SpecialField = TExtended::SpecialField;
constexpr uint64_t IntegerBit = TExtended::IntegerBit;
constexpr uint64_t QuietBit = TExtended::QuietBit;
constexpr int DoubleFractionBits = TExtended::DoubleFractionBits;
constexpr uint64_t DoubleFractionMask = (uint64_t{1} << DoubleFractionBits) - 1;
constexpr uint64_t HalfBelow = uint64_t{1} << 63;

// What the x87 unit returns for an invalid operation (0/0, inf - inf,
// 0 * inf, the root of a negative number): the negative "indefinite" NaN.
constexpr TBits Indefinite{IntegerBit | QuietBit, SignBit | SpecialField};

int32_t FieldOf(TBits x) {
  return x.SignExponent & TExtended::ExponentMask;
}
uint16_t SignOf(TBits x) {
  return x.SignExponent & SignBit;
}
bool IsNegative(TBits x) {
  return SignOf(x) != 0;
}
bool IsZero(TBits x) {
  return FieldOf(x) == 0 && x.Significand == 0;
}
bool IsInfinity(TBits x) {
  return FieldOf(x) == SpecialField && x.Significand == IntegerBit;
}
bool IsNaN(TBits x) {
  return FieldOf(x) == SpecialField && x.Significand != IntegerBit;
}

TBits Zero(uint16_t sign) {
  return {0, sign};
}
TBits Infinity(uint16_t sign) {
  return {IntegerBit, static_cast<uint16_t>(sign | SpecialField)};
}

// The x87 unit's choice when an operand is a NaN: the only NaN, else the
// one with the larger significand, else the positive one.
TBits PassNaN(TBits a, TBits b) {
  if (!IsNaN(b)) {
    return a;
  }
  if (!IsNaN(a)) {
    return b;
  }
  if (a.Significand != b.Significand) {
    return a.Significand > b.Significand ? a : b;
  }
  return IsNegative(a) ? b : a;
}

// Whether a kept value goes up by one, given the bits dropped below it and
// the value of half its last place in those bits.
template <typename T>
bool RoundsUp(T kept, T dropped, T half) {
  return dropped > half || (dropped == half && (kept & 1) != 0);
}

// value >> shift, rounded to nearest even, for shifts that leave at most 64
// bits.
uint64_t ShiftRounded(TWide value, int shift) {
  if (shift > 128) {
    return 0;  // below half of the last place
  }
  if (shift == 128) {
    return value > (TWide{1} << 127) ? 1 : 0;  // exactly half goes to the even 0
  }
  const auto kept = static_cast<uint64_t>(value >> shift);
  const TWide dropped = value & ((TWide{1} << shift) - 1);
  return kept + (RoundsUp<TWide>(kept, dropped, TWide{1} << (shift - 1)) ? 1 : 0);
}

uint64_t ShiftRounded(uint64_t value, int shift) {
  return ShiftRounded(TWide{value} << 64, shift + 64);
}

// The floor of the square root of value, for values of at least 2^126.
uint64_t IntegerRoot(TWide value) {
  // The double root of the top word is good to about 2^12; one integer
  // Newton step from it lands on the root or one above.
  const double estimate =
      std::sqrt(static_cast<double>(static_cast<uint64_t>(value >> 64))) * 4294967296.0;
  const double twoTo64 = 18446744073709551616.0;
  TWide root = estimate >= twoTo64 ? ~uint64_t{0} : static_cast<uint64_t>(estimate);
  root = (root + value / root) / 2;
  if (root > ~uint64_t{0}) {
    root = ~uint64_t{0};
  }
  while (root * root > value) {
    --root;
  }
  while (value - root * root > 2 * root) {  // (root + 1)^2 <= value
    ++root;
  }
  return static_cast<uint64_t>(root);
}

}  // namespace

TExtended::TParts TExtended::Unpack(TBits x) {
  const int32_t field = FieldOf(x);
  if (field != 0) {
    return {IsNegative(x), field - ExponentBias, x.Significand};
  }
  const int shift = std::countl_zero(x.Significand);
  return {IsNegative(x), 1 - ExponentBias - shift, x.Significand << shift};
}

TExtended TExtended::RoundedOutOfRange(uint16_t sign, int32_t field, TWide significand) {
  if (field <= 0) {
    return RoundedDenormal(sign, field, significand);
  }
  return TExtended(sign, SpecialField, IntegerBit);  // too large: an infinity
}

TExtended TExtended::RoundedDenormal(uint16_t sign, int32_t field, TWide significand) {
  // Fewer bits are kept; a carry into bit 63 gives the smallest normal
  // number, whose field is 1.
  const uint64_t kept = ShiftRounded(significand, 64 + 1 - field);
  return TExtended(kept, static_cast<uint16_t>(sign << 15 | (kept >> 63)));
}

TExtended TExtended::UnusualSum(TExtended a, TExtended b) {
  const TBits x = a.Bits();
  const TBits y = b.Bits();
  if (IsNaN(x) || IsNaN(y)) {
    return FromBits(PassNaN(x, y));
  }
  if (IsInfinity(x)) {
    return IsInfinity(y) && SignOf(x) != SignOf(y) ? FromBits(Indefinite) : a;
  }
  if (IsInfinity(y)) {
    return b;
  }
  if (IsZero(x)) {
    return IsZero(y) ? FromBits(Zero(SignOf(x) & SignOf(y))) : b;
  }
  if (IsZero(y)) {
    return a;
  }
  return SumOf(Unpack(x), Unpack(y));
}

TExtended TExtended::UnusualDifference(TExtended a, TExtended b) {
  // A NaN is passed on with its own sign, not negated.
  const TBits y = b.Bits();
  return IsNaN(y) ? FromBits(PassNaN(a.Bits(), y)) : UnusualSum(a, -b);
}

TExtended TExtended::UnusualProduct(TExtended a, TExtended b) {
  const TBits x = a.Bits();
  const TBits y = b.Bits();
  const uint16_t sign = SignOf(x) ^ SignOf(y);
  if (IsNaN(x) || IsNaN(y)) {
    return FromBits(PassNaN(x, y));
  }
  if (IsInfinity(x) || IsInfinity(y)) {
    return FromBits(IsZero(x) || IsZero(y) ? Indefinite : Infinity(sign));
  }
  if (IsZero(x) || IsZero(y)) {
    return FromBits(Zero(sign));
  }
  return ProductOf(Unpack(x), Unpack(y));
}

TExtended TExtended::UnusualQuotient(TExtended a, TExtended b) {
  const TBits x = a.Bits();
  const TBits y = b.Bits();
  const uint16_t sign = SignOf(x) ^ SignOf(y);
  if (IsNaN(x) || IsNaN(y)) {
    return FromBits(PassNaN(x, y));
  }
  if (IsInfinity(x)) {
    return FromBits(IsInfinity(y) ? Indefinite : Infinity(sign));
  }
  if (IsInfinity(y)) {
    return FromBits(Zero(sign));
  }
  if (IsZero(x)) {
    return FromBits(IsZero(y) ? Indefinite : Zero(sign));
  }
  if (IsZero(y)) {
    return FromBits(Infinity(sign));
  }
  return QuotientOf(Unpack(x), Unpack(y));
}

TExtended sqrt(TExtended a) {
  const TBits bits = a.Bits();
  if (IsNaN(bits) || IsZero(bits)) {
    return a;  // the root of -0 is -0
  }
  if (IsNegative(bits)) {
    return TExtended::FromBits(Indefinite);
  }
  if (IsInfinity(bits)) {
    return a;
  }
  const TExtended::TParts x = TExtended::Unpack(bits);
  // An even power of two halves exactly: an odd exponent takes the
  // significand one bit higher. Either way the root has 64 bits.
  const bool odd = (x.Exponent & 1) != 0;
  const TWide radicand = TWide{x.Significand} << (odd ? 64 : 63);
  const uint64_t root = IntegerRoot(radicand);
  const TWide remainder = radicand - TWide{root} * root;
  // The root of a 64-bit number is never exactly half-way between two
  // 64-bit numbers: above half is remainder > root.
  const uint64_t below = remainder == 0 ? 0 : remainder > root ? HalfBelow | 1 : 1;
  const int32_t exponent = 63 + (x.Exponent - (odd ? 127 : 126)) / 2;
  return TExtended::Rounded(0, exponent, TWide{root} << 64 | below);
}

TExtended TExtended::FromUnusualDouble(uint64_t bits) {
  const auto sign = static_cast<uint16_t>(bits >> 63 << 15);
  const uint64_t field = (bits >> DoubleFractionBits) & DoubleSpecialField;
  const uint64_t fraction = bits & DoubleFractionMask;
  if (field == DoubleSpecialField) {
    // A signalling NaN is made quiet, as the x87 load does.
    return FromBits(fraction == 0 ? Infinity(sign)
                                  : TBits{IntegerBit | QuietBit | fraction << DroppedForDouble,
                                          static_cast<uint16_t>(sign | SpecialField)});
  }
  if (fraction == 0) {
    return FromBits(Zero(sign));
  }
  // A double denormal is a normal number here.
  const int shift = std::countl_zero(fraction);
  const int32_t exponent = 1 - DoubleExponentBias - (shift - DroppedForDouble);
  return TExtended(fraction << shift, static_cast<uint16_t>(sign | (exponent + ExponentBias)));
}

double TExtended::UnusualToDouble(TBits x) {
  const uint64_t sign = uint64_t{SignOf(x)} << 48;
  uint64_t bits = sign;
  if (FieldOf(x) == SpecialField) {
    // Infinities and NaNs keep the top of their significand (the quiet bit
    // included).
    bits |= uint64_t{DoubleSpecialField} << DoubleFractionBits |
            ((x.Significand >> DroppedForDouble) & DoubleFractionMask);
  } else if (!IsZero(x)) {
    const TParts parts = Unpack(x);
    const int32_t field = parts.Exponent + DoubleExponentBias;
    if (field > 0) {
      bits |= uint64_t{DoubleSpecialField} << DoubleFractionBits;  // too large
    } else {
      // A double denormal, or the smallest normal if rounding carries into
      // bit 52.
      bits |= ShiftRounded(parts.Significand, DroppedForDouble + 1 - field);
    }
  }
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::partial_ordering TExtended::UnusualOrder(TExtended a, TExtended b) {
  const TBits x = a.Bits();
  const TBits y = b.Bits();
  if (IsNaN(x) || IsNaN(y)) {
    return std::partial_ordering::unordered;
  }
  if (IsZero(x) && IsZero(y)) {
    return std::partial_ordering::equivalent;
  }
  if (SignOf(x) != SignOf(y)) {
    return IsNegative(x) ? std::partial_ordering::less : std::partial_ordering::greater;
  }
  // Encodings of one sign order as their magnitudes: exponent field, then
  // significand (denormals have field 0 and no integer bit).
  const auto magnitude = [](TBits v) {
    return TWide{static_cast<uint64_t>(FieldOf(v))} << 64 | v.Significand;
  };
  const TWide mx = magnitude(x);
  const TWide my = magnitude(y);
  if (mx == my) {
    return std::partial_ordering::equivalent;
  }
  return (mx < my) != IsNegative(x) ? std::partial_ordering::less : std::partial_ordering::greater;
}
