// SPDX-License-Identifier: MIT
#pragma once
// The feed calculation's extended intermediates on any processor: a 64-bit
// significand with an explicit integer bit, a 15-bit exponent and a sign,
// laid out and rounded exactly as the x87 extended format of x86 processors
// (with its precision set to 64 bits, as Linux and mingw-w64 leave it). Every
// operation rounds once, to nearest with ties to even, so results equal the
// x87 unit's bit for bit: normal and denormal numbers, zeros of both signs,
// infinities and quiet NaNs, including which NaN an operation passes on.
//
// On x86 the native long double is this format and faster; the calculation
// uses this type where long double is something else (binary128 on ARM64
// and WebAssembly), or where the build asks for it.
//
// Normal operands with a normal result, all the calculation meets, take the
// short inline paths here; zeros, infinities, NaNs, denormals and overflow
// go the long way through Extended.cpp.

#include <algorithm>
#include <bit>
#include <compare>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <type_traits>

class TExtended {
 public:
  // The ten bytes of the x87 format: the significand with its integer bit
  // (bit 63), then sign (bit 15) and biased exponent (bits 0..14).
  struct TBits {
    uint64_t Significand;
    uint16_t SignExponent;
    bool operator==(const TBits&) const = default;
  };

  // The fields of the format, and of a double.
  static constexpr int32_t ExponentBias = 16383;
  static constexpr uint16_t SignBit = 0x8000;
  static constexpr uint16_t ExponentMask = 0x7FFF;
  static constexpr int32_t SpecialField = 0x7FFF;  // infinities and NaNs
  static constexpr uint64_t IntegerBit = uint64_t{1} << 63;
  static constexpr uint64_t QuietBit = uint64_t{1} << 62;  // of a NaN
  static constexpr int DoubleFractionBits = 52;
  static constexpr int32_t DoubleExponentBias = 1023;
  static constexpr uint32_t DoubleSpecialField = 0x7FF;
  static constexpr int DroppedForDouble = 11;  // significand bits below a double's last place

  constexpr TExtended() = default;  // +0

  // Exact, as the x87 load; a signalling NaN comes out quiet.
  TExtended(double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const auto field = static_cast<uint32_t>(bits >> DoubleFractionBits) & DoubleSpecialField;
    if (field - 1 < DoubleSpecialField - 1) {
      // A normal double: the fraction moves up below the integer bit, the
      // sign and the exponent field drop off the top.
      significand_ = IntegerBit | bits << DroppedForDouble;
      field_ = static_cast<int32_t>(field + DoubleToFieldOffset);
      sign_ = static_cast<uint32_t>(bits >> 63);
    } else {
      *this = FromUnusualDouble(bits);
    }
  }

  // Exact for every integer up to 64 bits.
  template <std::integral T>
  TExtended(T value) : TExtended(FromInteger(IntegerIsNegative(value), IntegerMagnitude(value))) {}

  // Rounds to the nearest double, ties to even; too large becomes an
  // infinity, too small a double denormal or zero. NaNs keep their sign and
  // the upper bits of their payload.
  explicit operator double() const {
    const int32_t field = Field() - DoubleToFieldOffset;
    if (static_cast<uint32_t>(field - 1) < DoubleSpecialField - 1) {
      // In the double's normal range: round away the low 11 bits. A carry
      // out of the fraction steps the exponent field, up to an infinity.
      uint64_t kept = significand_ >> DroppedForDouble;
      kept += ((significand_ & DoubleDroppedMask) + (kept & 1) + DoubleDroppedMask / 2) >>
              DroppedForDouble;
      const uint64_t bits = (uint64_t{sign_} << 63) |
                            ((static_cast<uint64_t>(field - 1) << DoubleFractionBits) + kept);
      double value = 0;
      std::memcpy(&value, &bits, sizeof value);
      return value;
    }
    return UnusualToDouble(Bits());
  }

  // Only the encodings that arithmetic produces are taken: normal, denormal
  // and zero patterns, infinities and quiet NaNs.
  static TExtended FromBits(TBits bits) { return TExtended(bits.Significand, bits.SignExponent); }
  TBits Bits() const {
    return {significand_, static_cast<uint16_t>(sign_ << 15 | static_cast<uint32_t>(field_))};
  }

  friend TExtended operator+(TExtended a, TExtended b) {
    return BothNormal(a, b) ? SumOf(a.Parts(), b.Parts()) : UnusualSum(a, b);
  }
  friend TExtended operator-(TExtended a, TExtended b) {
    return BothNormal(a, b) ? SumOf(a.Parts(), (-b).Parts()) : UnusualDifference(a, b);
  }
  friend TExtended operator*(TExtended a, TExtended b) {
    return BothNormal(a, b) ? ProductOf(a.Parts(), b.Parts()) : UnusualProduct(a, b);
  }
  friend TExtended operator/(TExtended a, TExtended b) {
    return BothNormal(a, b) ? QuotientOf(a.Parts(), b.Parts()) : UnusualQuotient(a, b);
  }
  // Flips the sign of anything, NaNs included, as the x87 unit does.
  friend TExtended operator-(TExtended a) {
    a.sign_ ^= 1;
    return a;
  }
  // Found by argument-dependent lookup beside std::sqrt, so that one call
  // serves long double and this type.
  friend TExtended sqrt(TExtended a);

  // NaNs are unordered; the two zeros are equal.
  friend std::partial_ordering operator<=>(TExtended a, TExtended b) {
    if (!BothNormal(a, b)) {
      return UnusualOrder(a, b);
    }
    if (a.Sign() != b.Sign()) {
      return a.Sign() != 0 ? std::partial_ordering::less : std::partial_ordering::greater;
    }
    // Of one sign, the encodings order as the magnitudes: exponent field,
    // then significand.
    const std::strong_ordering magnitude =
        a.Field() != b.Field() ? a.Field() <=> b.Field() : a.significand_ <=> b.significand_;
    return a.Sign() != 0 ? 0 <=> magnitude : magnitude;
  }
  friend bool operator==(TExtended a, TExtended b) { return (a <=> b) == 0; }

 private:
  // GCC and Clang have it on every target the program is built for; in ISO
  // mode it needs the extension marker.
  __extension__ typedef unsigned __int128 TWide;

  // Half the last place, as the 64 bits below a significand hold it.
  static constexpr uint64_t HalfBelow = uint64_t{1} << 63;
  static constexpr uint64_t DoubleDroppedMask = (uint64_t{1} << DroppedForDouble) - 1;
  static constexpr int32_t DoubleToFieldOffset = ExponentBias - DoubleExponentBias;
  // Above the least exponent of an unpacked denormal.
  static constexpr int32_t MagnitudeOffset = 1 << 30;

  // A finite non-zero value: Significand * 2^(Exponent - 63), with bit 63 of
  // the significand set (denormals are normalised on the way in); Sign is 1
  // for negative.
  struct TParts {
    uint16_t Sign;
    int32_t Exponent;
    uint64_t Significand;
  };

  constexpr TExtended(uint64_t significand, uint16_t signExponent)
      : significand_(significand), field_(signExponent & ExponentMask), sign_(signExponent >> 15) {}
  // sign: 1 for negative.
  constexpr TExtended(uint16_t sign, int32_t field, uint64_t significand)
      : significand_(significand), field_(field), sign_(sign) {}

  int32_t Field() const { return field_; }
  uint16_t Sign() const { return static_cast<uint16_t>(sign_); }
  // Fields 1 to 0x7FFE; field 0 wraps round to the largest number.
  static bool IsNormalField(int32_t field) {
    return static_cast<uint32_t>(field - 1) < SpecialField - 1;
  }
  bool IsNormal() const { return IsNormalField(Field()); }
  // Two well-predicted tests measured a little faster than one on the
  // larger of the two.
  static bool BothNormal(TExtended a, TExtended b) { return a.IsNormal() && b.IsNormal(); }
  // Of a normal number.
  TParts Parts() const { return {Sign(), Field() - ExponentBias, significand_}; }

  static int CountLeadingZeros(TWide x) {
    const auto high = static_cast<uint64_t>(x >> 64);
    return high != 0 ? std::countl_zero(high) : 64 + std::countl_zero(static_cast<uint64_t>(x));
  }

  // Rounds significand * 2^(exponent - 127), bit 127 set, to the format.
  // Bits lost on the way must be folded into bit 0, so that a value just
  // off a tie does not pass for one.
  static TExtended Rounded(uint16_t sign, int32_t exponent, TWide significand) {
    int32_t field = exponent + ExponentBias;
    if (!IsNormalField(field)) {
      return RoundedOutOfRange(sign, field, significand);
    }
    auto kept = static_cast<uint64_t>(significand >> 64);
    // Up above half, and at half to the even neighbour: an odd kept's last
    // bit, put into the dropped bits below the half, lifts half itself
    // above half. Without a branch, as half the values go either way.
    const auto dropped = static_cast<uint64_t>(significand);
    return Carried(sign, field, kept + ((dropped | (kept & 1)) > HalfBelow ? 1 : 0));
  }
  // A kept significand after rounding, in range: all ones rounded up wraps
  // to the next power of two, from the largest number to an infinity,
  // which has the same significand.
  static TExtended Carried(uint16_t sign, int32_t field, uint64_t kept) {
    if (kept == 0) {
      kept = IntegerBit;
      ++field;
    }
    return TExtended(sign, field, kept);
  }

  static TExtended SumOf(TParts x, TParts y) {
    // Either may be the larger: found by comparing exponent and significand
    // as one number.
    const auto magnitude = [](TParts v) {
      return TWide{static_cast<uint32_t>(v.Exponent + MagnitudeOffset)} << 64 | v.Significand;
    };
    const bool swap = magnitude(x) < magnitude(y);
    const TParts first = x;
    x = swap ? y : x;
    y = swap ? first : y;
    // The larger magnitude's significand sits at bits 126..63, one bit of
    // headroom above for a carry; the smaller one is aligned below it, and
    // whatever falls off its end is kept as one sticky bit.
    const TWide larger = TWide{x.Significand} << 63;
    const auto distance = static_cast<uint32_t>(x.Exponent - y.Exponent);
    TWide smaller = 1;
    if (distance < 64) {
      smaller = TWide{y.Significand} << (63 - distance);  // all of it
    } else if (distance < 127) {
      const uint32_t shift = distance - 63;
      const bool lost = (y.Significand & ((uint64_t{1} << shift) - 1)) != 0;
      smaller = (y.Significand >> shift) | (lost ? 1 : 0);
    }
    TWide sum = 0;
    if (x.Sign == y.Sign) {
      sum = larger + smaller;
    } else {
      sum = larger - smaller;
      if (sum == 0) {
        return TExtended();  // x - x is +0 when rounding to nearest
      }
    }
    // A sticky bit only arises at a distance of 64 or more, where at most one
    // leading bit cancels: it stays far below the last place. Mostly the top
    // bit is one of the two highest: tested first, the shift is a constant
    // on each way, and no count is waited for.
    if (sum >> 127 != 0) {
      return Rounded(x.Sign, x.Exponent + 1, sum);
    }
    if (sum >> 126 != 0) {
      return Rounded(x.Sign, x.Exponent, sum << 1);
    }
    const int shift = CountLeadingZeros(sum);
    return Rounded(x.Sign, x.Exponent + 1 - shift, sum << shift);
  }

  static TExtended ProductOf(TParts x, TParts y) {
    if (y.Significand == IntegerBit) {
      // A power of two (the calculation doubles): exact, no product.
      return Rounded(x.Sign ^ y.Sign, x.Exponent + y.Exponent, TWide{x.Significand} << 64);
    }
    const TWide product = TWide{x.Significand} * y.Significand;  // exact, at least 2^126
    const bool topSet = product >> 127 != 0;
    return Rounded(x.Sign ^ y.Sign, x.Exponent + y.Exponent + (topSet ? 1 : 0),
                   topSet ? product : product << 1);
  }

  // The quotient and remainder of high * 2^64 + low by divisor, where high
  // is below divisor, so that the quotient fits 64 bits. x86-64 has this as
  // one instruction, which the compiler only reaches through a library call
  // for a general 128-bit division.
  static uint64_t DividedWide(uint64_t high, uint64_t low, uint64_t divisor, uint64_t& remainder) {
#if defined(__x86_64__)
    uint64_t quotient = 0;
    __asm__("divq %[divisor]"
            : "=a"(quotient), "=d"(remainder)
            : "a"(low), "d"(high), [divisor] "rm"(divisor)
            : "cc");
    return quotient;
#else
    const TWide dividend = TWide{high} << 64 | low;
    const auto quotient = static_cast<uint64_t>(dividend / divisor);
    remainder = low - quotient * divisor;
    return quotient;
#endif
  }

  static TExtended QuotientOf(TParts x, TParts y) {
    if (y.Significand == IntegerBit) {
      // A power of two (the calculation halves): exact, no division.
      return Rounded(x.Sign ^ y.Sign, x.Exponent - y.Exponent, TWide{x.Significand} << 64);
    }
    // The dividend is placed so that the quotient has exactly 64 bits (its
    // top word stays below the divisor); the remainder tells how it rounds.
    const bool atLeastOne = x.Significand >= y.Significand;
    const uint64_t high = atLeastOne ? x.Significand >> 1 : x.Significand;
    const uint64_t low = atLeastOne ? x.Significand << 63 : 0;
    uint64_t remainder = 0;
    const uint64_t quotient = DividedWide(high, low, y.Significand, remainder);
    // Never exactly half-way (that would take a divisor that is a power of
    // two, and those divide exactly): it rounds up when the remainder is
    // more than half the divisor.
    const bool aboveHalf = remainder > y.Significand - remainder;
    const auto sign = static_cast<uint16_t>(x.Sign ^ y.Sign);
    const int32_t field = x.Exponent - y.Exponent - (atLeastOne ? 0 : 1) + ExponentBias;
    if (!IsNormalField(field)) {
      // Any remainder is a sticky bit, one above half also the half bit.
      const uint64_t below =
          static_cast<uint64_t>(remainder != 0) | static_cast<uint64_t>(aboveHalf) << 63;
      return RoundedOutOfRange(sign, field, TWide{quotient} << 64 | below);
    }
    // Straight from the remainder, not through the general rounding: the
    // division is the slowest step on the calculation's longest path.
    return Carried(sign, field, quotient + (aboveHalf ? 1 : 0));
  }

  template <std::integral T>
  static constexpr bool IntegerIsNegative(T value) {
    if constexpr (std::is_signed_v<T>) {
      return value < 0;
    } else {
      return false;
    }
  }
  // Taken modulo 2^64 first, so that the most negative value has one too.
  template <std::integral T>
  static constexpr uint64_t IntegerMagnitude(T value) {
    const auto bits = static_cast<uint64_t>(value);
    return IntegerIsNegative(value) ? 0 - bits : bits;
  }

  static TExtended FromInteger(bool negative, uint64_t magnitude) {
    if (magnitude == 0) {
      return TExtended();
    }
    const int shift = std::countl_zero(magnitude);
    return TExtended(negative ? 1 : 0, 63 - shift + ExponentBias, magnitude << shift);
  }

  // The long ways, in Extended.cpp.
  static TParts Unpack(TBits x);  // of any finite non-zero number
  static TExtended FromUnusualDouble(uint64_t bits);
  // Static, on the bits: a member would make the caller keep the value in
  // memory for it on every conversion.
  static double UnusualToDouble(TBits x);
  static TExtended RoundedOutOfRange(uint16_t sign, int32_t field, TWide significand);
  static TExtended RoundedDenormal(uint16_t sign, int32_t field, TWide significand);
  static TExtended UnusualSum(TExtended a, TExtended b);
  static TExtended UnusualDifference(TExtended a, TExtended b);
  static TExtended UnusualProduct(TExtended a, TExtended b);
  static TExtended UnusualQuotient(TExtended a, TExtended b);
  static std::partial_ordering UnusualOrder(TExtended a, TExtended b);

  // Kept apart, in whole registers, rather than packed as in memory: every
  // operation reads both, and unpacking them each time cost more than the
  // six bytes. The sign is 1 for negative, the top bit of a double moved
  // down.
  uint64_t significand_ = 0;
  int32_t field_ = 0;
  uint32_t sign_ = 0;
};
