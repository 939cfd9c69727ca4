// SPDX-License-Identifier: MIT
#include "calc/Extended.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// GCC and Clang have it on every target the program is built for; in ISO
// mode it needs the extension marker.
__extension__ typedef unsigned __int128 TWide;

using TBits = TExtended::TBits;

constexpr int32_t ExponentBias = 16383;
constexpr uint16_t SignBit = 0x8000;
constexpr uint16_t ExponentMask = 0x7FFF;
constexpr int32_t SpecialField = 0x7FFF;  // the exponent field of infinities and NaNs
constexpr uint64_t IntegerBit = uint64_t{1} << 63;
constexpr uint64_t QuietBit = uint64_t{1} << 62;
// Half the last place, as the 64 bits below the significand hold it.
constexpr uint64_t HalfBelow = uint64_t{1} << 63;

constexpr int DoubleFractionBits = 52;
constexpr int32_t DoubleExponentBias = 1023;
constexpr int32_t DoubleSpecialField = 0x7FF;
constexpr uint64_t DoubleFractionMask = (uint64_t{1} << DoubleFractionBits) - 1;
constexpr int DroppedForDouble = 11;  // significand bits below a double's last place

// What the x87 unit returns for an invalid operation (0/0, inf - inf,
// the root of a negative number): the negative "indefinite" quiet NaN.
constexpr TBits Indefinite{IntegerBit | QuietBit, SignBit | SpecialField};

// A finite non-zero value: Significand * 2^(Exponent - 63), with bit 63 of
// the significand set (denormals are normalised on the way in).
struct TParts {
  uint16_t Sign;
  int32_t Exponent;
  uint64_t Significand;
};

int32_t FieldOf(TBits x) {
  return x.SignExponent & ExponentMask;
}
uint16_t SignOf(TBits x) {
  return x.SignExponent & SignBit;
}
bool IsNegative(TBits x) {
  return SignOf(x) != 0;
}
// Normal numbers take the short way through every operation.
bool IsNormal(TBits x) {
  return static_cast<uint32_t>(FieldOf(x) - 1) < SpecialField - 1;
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
TBits Negated(TBits x) {
  return {x.Significand, static_cast<uint16_t>(x.SignExponent ^ SignBit)};
}

TParts Unpack(TBits x) {
  const int32_t field = FieldOf(x);
  if (field != 0) {
    return {SignOf(x), field - ExponentBias, x.Significand};
  }
  const int shift = std::countl_zero(x.Significand);
  return {SignOf(x), 1 - ExponentBias - shift, x.Significand << shift};
}

int CountLeadingZeros(TWide x) {
  const auto high = static_cast<uint64_t>(x >> 64);
  return high != 0 ? std::countl_zero(high) : 64 + std::countl_zero(static_cast<uint64_t>(x));
}

// Whether a kept value goes up by one, given the bits dropped below it and
// the value of half its last place in those bits.
template <typename T>
bool RoundsUp(T kept, T dropped, T half) {
  return dropped > half || (dropped == half && (kept & 1) != 0);
}

// value >> shift, rounded to nearest even; for shifts that leave at most
// 64 bits.
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
  if (shift > 64) {
    return 0;
  }
  if (shift == 64) {
    return value > IntegerBit ? 1 : 0;
  }
  const uint64_t kept = value >> shift;
  const uint64_t dropped = value & ((uint64_t{1} << shift) - 1);
  return kept + (RoundsUp(kept, dropped, uint64_t{1} << (shift - 1)) ? 1 : 0);
}

// Rounds significand * 2^(exponent - 127), bit 127 set, to the format. Any
// bits lost before must be folded into bit 0, so that a value just off a
// tie does not pass for one.
TBits Round(uint16_t sign, int32_t exponent, TWide significand) {
  int32_t field = exponent + ExponentBias;
  if (field <= 0) {
    // A denormal: fewer bits are kept, and a carry into bit 63 gives the
    // smallest normal number, whose field is 1.
    const uint64_t kept = ShiftRounded(significand, 64 + 1 - field);
    return {kept, static_cast<uint16_t>(sign | (kept >> 63))};
  }
  auto kept = static_cast<uint64_t>(significand >> 64);
  if (RoundsUp(kept, static_cast<uint64_t>(significand), HalfBelow) && ++kept == 0) {
    kept = IntegerBit;
    ++field;
  }
  if (field >= SpecialField) {
    return Infinity(sign);
  }
  return {kept, static_cast<uint16_t>(sign | field)};
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

TBits FiniteSum(TParts x, TParts y) {
  if (x.Exponent < y.Exponent || (x.Exponent == y.Exponent && x.Significand < y.Significand)) {
    std::swap(x, y);
  }
  // The larger magnitude's significand sits at bits 126..63, one bit of
  // headroom above for a carry; the smaller one is aligned below it, and
  // whatever falls off its end is kept as one sticky bit.
  const TWide larger = TWide{x.Significand} << 63;
  TWide smaller = TWide{y.Significand} << 63;
  const auto distance = static_cast<uint32_t>(x.Exponent - y.Exponent);
  if (distance >= 127) {
    smaller = 1;
  } else if (distance > 0) {
    const bool lost = (smaller & ((TWide{1} << distance) - 1)) != 0;
    smaller = (smaller >> distance) | (lost ? 1 : 0);
  }
  TWide sum = 0;
  if (x.Sign == y.Sign) {
    sum = larger + smaller;
  } else {
    sum = larger - smaller;
    if (sum == 0) {
      return Zero(0);  // x - x is +0 when rounding to nearest
    }
  }
  // A sticky bit only arises at a distance of two or more, where at most two
  // leading bits cancel: it stays far below the last place.
  const int shift = CountLeadingZeros(sum);
  return Round(x.Sign, x.Exponent + 1 - shift, sum << shift);
}

TBits Sum(TBits a, TBits b) {
  if (!IsNormal(a) || !IsNormal(b)) {
    if (IsNaN(a) || IsNaN(b)) {
      return PassNaN(a, b);
    }
    if (IsInfinity(a)) {
      return IsInfinity(b) && SignOf(a) != SignOf(b) ? Indefinite : a;
    }
    if (IsInfinity(b)) {
      return b;
    }
    if (IsZero(a)) {
      return IsZero(b) ? Zero(SignOf(a) & SignOf(b)) : b;
    }
    if (IsZero(b)) {
      return a;
    }
  }
  return FiniteSum(Unpack(a), Unpack(b));
}

TBits Product(TBits a, TBits b) {
  const uint16_t sign = SignOf(a) ^ SignOf(b);
  if (!IsNormal(a) || !IsNormal(b)) {
    if (IsNaN(a) || IsNaN(b)) {
      return PassNaN(a, b);
    }
    if (IsInfinity(a) || IsInfinity(b)) {
      return IsZero(a) || IsZero(b) ? Indefinite : Infinity(sign);
    }
    if (IsZero(a) || IsZero(b)) {
      return Zero(sign);
    }
  }
  const TParts x = Unpack(a);
  const TParts y = Unpack(b);
  const TWide product = TWide{x.Significand} * y.Significand;  // exact, at least 2^126
  const int shift = product >> 127 != 0 ? 0 : 1;
  return Round(sign, x.Exponent + y.Exponent + 1 - shift, product << shift);
}

// The 64 bits below a quotient's last place, from the remainder: enough to
// round it as the exact quotient would be.
uint64_t BelowQuotient(uint64_t remainder, uint64_t divisor) {
  if (remainder == 0) {
    return 0;
  }
  const uint64_t rest = divisor - remainder;
  if (remainder == rest) {
    return HalfBelow;
  }
  return remainder < rest ? 1 : HalfBelow | 1;
}

TBits Quotient(TBits a, TBits b) {
  const uint16_t sign = SignOf(a) ^ SignOf(b);
  if (!IsNormal(a) || !IsNormal(b)) {
    if (IsNaN(a) || IsNaN(b)) {
      return PassNaN(a, b);
    }
    if (IsInfinity(a)) {
      return IsInfinity(b) ? Indefinite : Infinity(sign);
    }
    if (IsInfinity(b)) {
      return Zero(sign);
    }
    if (IsZero(a)) {
      return IsZero(b) ? Indefinite : Zero(sign);
    }
    if (IsZero(b)) {
      return Infinity(sign);
    }
  }
  const TParts x = Unpack(a);
  const TParts y = Unpack(b);
  // The dividend is placed so that the quotient has exactly 64 bits (the
  // top word of the dividend stays below the divisor: one machine division
  // where there is one).
  const bool atLeastOne = x.Significand >= y.Significand;
  const TWide dividend = TWide{x.Significand} << (atLeastOne ? 63 : 64);
  const auto quotient = static_cast<uint64_t>(dividend / y.Significand);
  const uint64_t remainder = static_cast<uint64_t>(dividend) - quotient * y.Significand;
  const TWide significand = TWide{quotient} << 64 | BelowQuotient(remainder, y.Significand);
  return Round(sign, x.Exponent - y.Exponent - (atLeastOne ? 0 : 1), significand);
}

// The floor of the square root of value, for values of at least 2^126.
uint64_t IntegerRoot(TWide value) {
  // The double root of the top word is good to about 2^12; one integer
  // Newton step from it lands on the root or one above.
  const double estimate =
      std::sqrt(static_cast<double>(static_cast<uint64_t>(value >> 64))) * 4294967296.0;
  const double largest = 18446744073709551615.0;  // 2^64 as a double
  TWide root = estimate >= largest ? ~uint64_t{0} : static_cast<uint64_t>(estimate);
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

TBits Root(TBits a) {
  if (!IsNormal(a)) {
    if (IsNaN(a) || IsZero(a)) {
      return a;  // the root of -0 is -0
    }
    if (IsNegative(a)) {
      return Indefinite;
    }
    if (IsInfinity(a)) {
      return a;
    }
  } else if (IsNegative(a)) {
    return Indefinite;
  }
  const TParts x = Unpack(a);
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
  return Round(0, exponent, TWide{root} << 64 | below);
}

TBits FromDoubleBits(uint64_t bits) {
  const auto sign = static_cast<uint16_t>(bits >> 63 << 15);
  const auto field = static_cast<int32_t>((bits >> DoubleFractionBits) & DoubleSpecialField);
  const uint64_t fraction = bits & DoubleFractionMask;
  if (field == DoubleSpecialField) {
    // A signalling NaN is made quiet, as the x87 load does.
    return fraction == 0 ? Infinity(sign)
                         : TBits{IntegerBit | QuietBit | fraction << DroppedForDouble,
                                 static_cast<uint16_t>(sign | SpecialField)};
  }
  if (field == 0) {
    if (fraction == 0) {
      return Zero(sign);
    }
    // A double denormal is a normal number here.
    const int shift = std::countl_zero(fraction);
    const int32_t exponent = 1 - DoubleExponentBias - (shift - DroppedForDouble);
    return {fraction << shift, static_cast<uint16_t>(sign | (exponent + ExponentBias))};
  }
  return {IntegerBit | fraction << DroppedForDouble,
          static_cast<uint16_t>(sign | (field - DoubleExponentBias + ExponentBias))};
}

uint64_t ToDoubleBits(TBits x) {
  const uint64_t sign = uint64_t{SignOf(x)} << 48;
  if (FieldOf(x) == SpecialField) {
    // Infinities and NaNs keep the top of their significand (the quiet bit
    // included).
    const uint64_t fraction = (x.Significand >> DroppedForDouble) & DoubleFractionMask;
    return sign | uint64_t{DoubleSpecialField} << DoubleFractionBits | fraction;
  }
  if (IsZero(x)) {
    return sign;
  }
  const TParts parts = Unpack(x);
  const int32_t field = parts.Exponent + DoubleExponentBias;
  if (field <= 0) {
    // A double denormal, or the smallest normal if rounding carries into
    // bit 52.
    return sign | ShiftRounded(parts.Significand, DroppedForDouble + 1 - field);
  }
  // The fraction carries into the exponent field if it rounds up past its
  // top, and the largest exponent then reads as an infinity: both are the
  // format's own arithmetic.
  const uint64_t kept = ShiftRounded(parts.Significand, DroppedForDouble);
  if (field >= DoubleSpecialField) {
    return sign | uint64_t{DoubleSpecialField} << DoubleFractionBits;
  }
  return sign | ((uint64_t(field - 1) << DoubleFractionBits) + kept);
}

}  // namespace

TExtended::TExtended(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  *this = FromBits(FromDoubleBits(bits));
}

TExtended TExtended::FromInteger(bool negative, uint64_t magnitude) {
  if (magnitude == 0) {
    return {};
  }
  const int shift = std::countl_zero(magnitude);
  const int32_t field = 63 - shift + ExponentBias;
  return {magnitude << shift, static_cast<uint16_t>((negative ? SignBit : 0) | field)};
}

TExtended::operator double() const {
  const uint64_t bits = ToDoubleBits(Bits());
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

TExtended operator+(TExtended a, TExtended b) {
  return TExtended::FromBits(Sum(a.Bits(), b.Bits()));
}

TExtended operator-(TExtended a, TExtended b) {
  // A NaN is passed on with its own sign, not negated.
  const TBits y = b.Bits();
  return TExtended::FromBits(Sum(a.Bits(), IsNaN(y) ? y : Negated(y)));
}

TExtended operator*(TExtended a, TExtended b) {
  return TExtended::FromBits(Product(a.Bits(), b.Bits()));
}

TExtended operator/(TExtended a, TExtended b) {
  return TExtended::FromBits(Quotient(a.Bits(), b.Bits()));
}

TExtended operator-(TExtended a) {
  return TExtended::FromBits(Negated(a.Bits()));
}

TExtended sqrt(TExtended a) {
  return TExtended::FromBits(Root(a.Bits()));
}

std::partial_ordering operator<=>(TExtended a, TExtended b) {
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
  // The encodings of equal sign order as their magnitudes: exponent field,
  // then significand (denormals have field 0 and no integer bit).
  const auto magnitude = [](TBits v) { return TWide{uint64_t(FieldOf(v))} << 64 | v.Significand; };
  const TWide mx = magnitude(x);
  const TWide my = magnitude(y);
  if (mx == my) {
    return std::partial_ordering::equivalent;
  }
  return (mx < my) != IsNegative(x) ? std::partial_ordering::less : std::partial_ordering::greater;
}
