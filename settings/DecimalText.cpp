// SPDX-License-Identifier: MIT
#include "settings/DecimalText.h"

#include <fast_float/fast_float.h>
#include <fmt/compile.h>
#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
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

// fmt's shortest form of a finite value, in whichever notation fmt picks
// ("1.5", "0.001", "100000", "1.2345e+17"), taken apart into its digits.
TShortestDigits ShortestDigits(double value) {
  char text[40];  // the longest is 24 characters: "-2.2250738585072014e-308"
  const char* end = fmt::format_to(text, FMT_COMPILE("{}"), value);
  TShortestDigits shortest;
  const char* ch = text;
  shortest.Negative = *ch == '-';
  ch += shortest.Negative ? 1 : 0;
  int pointAt = -1;      // digits in front of the point, counted from the first non-zero one
  int leadingZeros = 0;  // zeros behind the point in front of the first non-zero digit
  int integerDigits = 0;
  for (; ch != end && *ch != 'e'; ++ch) {
    if (*ch == '.') {
      pointAt = integerDigits;
    } else if (shortest.Count == 0 && *ch == '0') {
      leadingZeros += pointAt >= 0 ? 1 : 0;
    } else {
      shortest.Digits[shortest.Count++] = *ch;
      integerDigits += pointAt < 0 ? 1 : 0;
    }
  }
  if (shortest.Count == 0) {
    return shortest;
  }
  // Zeros that end a whole number ("100000") belong to the place value, not
  // to the digits.
  while (shortest.Digits[shortest.Count - 1] == '0') {
    --shortest.Count;
  }
  int exponent = 0;  // fmt writes it as "e+17" or "e-05"
  if (ch != end) {
    const bool negative = ch[1] == '-';
    for (ch += 2; ch != end; ++ch) {
      exponent = exponent * 10 + (*ch - '0');
    }
    exponent = negative ? -exponent : exponent;
  }
  shortest.Exponent = (pointAt < 0 ? integerDigits : pointAt) - 1 - leadingZeros + exponent;
  return shortest;
}

}  // namespace

void AppendFixed(std::string& out, double value, int precision, int width) {
  // fmt's fixed format is printf's, rounded exactly (ties to even on the
  // exact binary value) and without the locale; a number is aligned right.
  fmt::format_to(std::back_inserter(out), FMT_COMPILE("{:{}.{}f}"), value, width, precision);
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
