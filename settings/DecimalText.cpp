// SPDX-License-Identifier: MIT
#include "settings/DecimalText.h"

#include <fast_float/fast_float.h>
#include <fmt/compile.h>
#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

namespace {

bool IsCSpace(char ch) {
  return ch == ' ' || (ch >= '\t' && ch <= '\r');
}

bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}

const char* SkipDigits(const char* text) {
  while (IsDigit(*text)) {
    ++text;
  }
  return text;
}

// End of the longest decimal number at text (sign, digits, ".", fraction,
// exponent), or text itself when none starts there.
const char* DecimalNumberEnd(const char* text) {
  const char* mantissa = text + (*text == '+' || *text == '-' ? 1 : 0);
  const char* end = SkipDigits(mantissa);
  bool hasDigits = end != mantissa;
  if (*end == '.') {
    const char* fraction = end + 1;
    end = SkipDigits(fraction);
    hasDigits = hasDigits || end != fraction;
  }
  if (!hasDigits) {
    return text;
  }
  if (*end == 'e' || *end == 'E') {
    const char* exponent = end + 1;
    exponent += (*exponent == '+' || *exponent == '-') ? 1 : 0;
    const char* exponentEnd = SkipDigits(exponent);
    if (exponentEnd != exponent) {
      end = exponentEnd;
    }
  }
  return end;
}

// A double's shortest round-trip digits: value = D.DDD... × 10^Exponent, the
// digits without leading or trailing zeros (none at all for a zero).
struct TShortestDigits {
  bool Negative = false;
  char Digits[24] = {};
  int Count = 0;
  int Exponent = 0;
};

// The shortest digits of a finite value: of all the decimals that read back
// to it, the fewest digits, and of those the one nearest the value. They are
// the digits of fmt's shortest form ("{}"), taken straight from the algorithm
// fmt writes it with (Dragonbox, in fmt's detail namespace; fmt 9 of Debian
// 12) rather than from its text, which would cost as much again to take
// apart; decimal_text_test holds the result against std::to_chars.
TShortestDigits ShortestDigits(double value) {
  TShortestDigits shortest;
  shortest.Negative = std::signbit(value);
  if (value == 0) {
    return shortest;
  }
  const auto decimal = fmt::detail::dragonbox::to_decimal(std::fabs(value));
  uint64_t significand = decimal.significand;
  int exponent = decimal.exponent;
  while (significand % 10 == 0) {
    significand /= 10;
    ++exponent;
  }
  const fmt::format_int digits(significand);
  shortest.Count = static_cast<int>(digits.size());
  std::memcpy(shortest.Digits, digits.data(), digits.size());
  shortest.Exponent = exponent + shortest.Count - 1;
  return shortest;
}

// Unsigned 128-bit integers, which GCC and Clang have on every target the
// program is built for; in ISO mode they need the extension marker.
__extension__ typedef unsigned __int128 TWide;

// 10^0 to 10^19, the powers that fit 64 bits.
constexpr auto kPowersOfTen = [] {
  std::array<uint64_t, 20> powers{};
  uint64_t power = 1;
  for (uint64_t& entry : powers) {
    entry = power;
    power *= 10;  // past the last entry it wraps round, unused
  }
  return powers;
}();

// The fixed format in whole numbers: the double is m × 2^e exactly, so the
// value times 10^precision is m × 10^precision × 2^e, which is rounded to a
// whole number, half-way to even, as printf rounds it; then the point goes in
// front of the last precision digits. Writes into text, which holds the
// longest (a sign, 20 digits and a point), and returns the end;
// nullptr where that number would not fit 64 bits (or the precision is
// beyond the table), and for infinities and NaN: fmt writes those.
constexpr size_t kFixedExactlyRoom = 48;
char* FixedExactly(double value, int precision, char* text) {
  if (!std::isfinite(value) || precision < 0 ||
      precision >= static_cast<int>(kPowersOfTen.size())) {
    return nullptr;
  }
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const auto field = static_cast<int>(bits >> 52 & 0x7FF);
  const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
  const uint64_t significand = field != 0 ? fraction | uint64_t{1} << 52 : fraction;
  const int exponent = (field != 0 ? field : 1) - 1075;
  // Below 2^53 × 10^19 < 2^117: exact.
  const TWide scaled = TWide{significand} * kPowersOfTen[static_cast<size_t>(precision)];
  TWide whole = 0;
  if (exponent >= 0) {
    if (exponent >= 64 || scaled >> (64 - exponent) != 0) {
      return nullptr;
    }
    whole = scaled << exponent;
  } else if (exponent > -128) {
    const int shift = -exponent;
    whole = scaled >> shift;
    const TWide dropped = scaled - (whole << shift);
    const TWide half = TWide{1} << (shift - 1);
    whole += (dropped > half || (dropped == half && (whole & 1) != 0)) ? 1 : 0;
  }  // else below 2^117 × 2^-128: less than half of the last place, 0
  if (whole >> 64 != 0) {
    return nullptr;
  }
  const fmt::format_int digits(static_cast<uint64_t>(whole));
  const auto count = static_cast<int>(digits.size());
  if (std::signbit(value)) {
    *text++ = '-';
  }
  // At least one digit in front of the point, as printf's "0.05".
  if (count <= precision) {
    *text++ = '0';
  } else {
    text = std::copy_n(digits.data(), count - precision, text);
  }
  if (precision > 0) {
    *text++ = '.';
    text = std::fill_n(text, std::max(precision - count, 0), '0');
    const int fractionDigits = std::min(precision, count);
    text = std::copy_n(digits.data() + count - fractionDigits, fractionDigits, text);
  }
  return text;
}

}  // namespace

void AppendFixed(std::string& out, double value, int precision, int width) {
  char exact[kFixedExactlyRoom];
  const char* end = FixedExactly(value, precision, exact);
  std::string large;
  const char* text = exact;
  if (end == nullptr) {
    // fmt's fixed format is printf's, rounded exactly (ties to even on the
    // exact binary value) and without the locale.
    fmt::format_to(std::back_inserter(large), FMT_COMPILE("{:.{}f}"), value, precision);
    text = large.data();
    end = text + large.size();
  }
  const auto length = static_cast<int>(end - text);
  if (length < width) {
    out.append(static_cast<size_t>(width - length), ' ');
  }
  out.append(text, end);
}

void AppendInteger(std::string& out, int value) {
  const fmt::format_int text(value);
  out.append(text.data(), text.size());
}

double ReadDecimal(const char* text) {
  while (IsCSpace(*text)) {
    ++text;
  }
  const char* end = DecimalNumberEnd(text);
  if (end == text) {
    return 0.0;
  }
  // fast_float takes no sign of its own; the sign is put back on the
  // magnitude, so "-0" stays a negative zero as with strtod. It rounds as
  // strtod does, out of range too: an infinity above the largest double, 0
  // below the smallest.
  const bool negative = *text == '-';
  const char* digits = text + (*text == '+' || *text == '-' ? 1 : 0);
  double magnitude = 0.0;
  fast_float::from_chars(digits, end, magnitude, fast_float::chars_format::general);
  return negative ? -magnitude : magnitude;
}

bool IsDecimalNumber(const char* text) {
  while (IsCSpace(*text)) {
    ++text;
  }
  const char* end = DecimalNumberEnd(text);
  if (end == text) {
    return false;
  }
  while (IsCSpace(*end)) {
    ++end;
  }
  return *end == '\0';
}

void AppendShortest(std::string& out, double value) {
  if (!std::isfinite(value)) {
    return;
  }
  const TShortestDigits shortest = ShortestDigits(value);
  if (shortest.Negative) {
    out += '-';
  }
  if (shortest.Count == 0) {
    out += '0';
    return;
  }
  // The digits in fixed or in scientific notation, whichever is shorter,
  // fixed on a tie (the rule of std::to_chars without a format).
  const std::string_view digits(shortest.Digits, static_cast<size_t>(shortest.Count));
  const int count = shortest.Count;
  const int exponent = shortest.Exponent;
  const int exponentDigits = std::abs(exponent) >= 100 ? 3 : 2;
  const int scientificLength = count + (count > 1 ? 1 : 0) + 2 + exponentDigits;
  const int fixedLength = exponent >= count - 1 ? exponent + 1
                          : exponent >= 0       ? count + 1
                                                : count + 1 - exponent;
  if (fixedLength <= scientificLength) {
    if (exponent >= count - 1) {
      // A whole number, written as printf's "%.0f" writes it: its exact
      // digits, which past the 17th need not be zeros.
      AppendFixed(out, std::abs(value), 0);
    } else if (exponent >= 0) {
      out += digits.substr(0, static_cast<size_t>(exponent + 1));
      out += '.';
      out += digits.substr(static_cast<size_t>(exponent + 1));
    } else {
      out += "0.";
      out.append(static_cast<size_t>(-exponent - 1), '0');
      out += digits;
    }
    return;
  }
  out += digits[0];
  if (count > 1) {
    out += '.';
    out += digits.substr(1);
  }
  out += exponent < 0 ? "e-" : "e+";
  if (std::abs(exponent) < 10) {
    out += '0';
  }
  AppendInteger(out, std::abs(exponent));
}

int ReadInteger32(const char* text) {
  while (IsCSpace(*text)) {
    ++text;
  }
  const bool negative = *text == '-';
  if (*text == '+' || *text == '-') {
    ++text;
  }
  constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;
  int64_t magnitude = 0;
  for (; IsDigit(*text); ++text) {
    magnitude = std::min(magnitude * 10 + (*text - '0'), kLimit);
  }
  return static_cast<int>(
      std::clamp<int64_t>(negative ? -magnitude : magnitude, INT32_MIN, INT32_MAX));
}
