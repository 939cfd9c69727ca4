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

#include <compare>
#include <concepts>
#include <cstdint>
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

  constexpr TExtended() = default;  // +0
  // Both conversions are exact, as on the x87 unit; a signalling NaN comes
  // out quiet.
  TExtended(double value);
  template <std::integral T>
  TExtended(T value) : TExtended(FromInteger(IsNegative(value), Magnitude(value))) {}

  // Rounds to the nearest double, ties to even; too large becomes an
  // infinity, too small a double denormal or zero. NaNs keep their sign and
  // the upper bits of their payload.
  explicit operator double() const;

  // Only the encodings that arithmetic produces are taken: normal, denormal
  // and zero patterns, infinities and quiet NaNs.
  static TExtended FromBits(TBits bits) { return TExtended(bits.Significand, bits.SignExponent); }
  TBits Bits() const { return {significand_, signExponent_}; }

  friend TExtended operator+(TExtended a, TExtended b);
  friend TExtended operator-(TExtended a, TExtended b);
  friend TExtended operator*(TExtended a, TExtended b);
  friend TExtended operator/(TExtended a, TExtended b);
  friend TExtended operator-(TExtended a);
  // Found by argument-dependent lookup beside std::sqrt, so that one call
  // serves long double and this type.
  friend TExtended sqrt(TExtended a);

  // NaNs are unordered; the two zeros are equal.
  friend std::partial_ordering operator<=>(TExtended a, TExtended b);
  friend bool operator==(TExtended a, TExtended b) { return (a <=> b) == 0; }

 private:
  constexpr TExtended(uint64_t significand, uint16_t signExponent)
      : significand_(significand), signExponent_(signExponent) {}

  template <std::integral T>
  static constexpr bool IsNegative(T value) {
    if constexpr (std::is_signed_v<T>) {
      return value < 0;
    } else {
      return false;
    }
  }
  // Taken modulo 2^64 first, so that the most negative value has one too.
  template <std::integral T>
  static constexpr uint64_t Magnitude(T value) {
    const auto bits = static_cast<uint64_t>(value);
    return IsNegative(value) ? 0 - bits : bits;
  }
  static TExtended FromInteger(bool negative, uint64_t magnitude);

  uint64_t significand_ = 0;
  uint16_t signExponent_ = 0;
};
