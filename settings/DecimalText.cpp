// SPDX-License-Identifier: MIT
#include "settings/DecimalText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

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

// The exponent after "e" or "E", saturated far beyond any double's range.
int64_t ReadExponent(const char* text, const char* end) {
  const bool negative = *text == '-';
  text += (*text == '+' || *text == '-') ? 1 : 0;
  int64_t exponent = 0;
  for (; text != end && IsDigit(*text); ++text) {
    exponent = std::min<int64_t>(exponent * 10 + (*text - '0'), 1'000'000'000);
  }
  return negative ? -exponent : exponent;
}

// Whether the unsigned decimal number in [text, end) is at least 1; a number
// outside a double's range is then too large, otherwise too small.
bool AtLeastOne(const char* text, const char* end) {
  // The number lies in [10^(k-1), 10^k) for k = the digits in front of the
  // point counted from the first non-zero one, minus the zeros behind the
  // point in front of the first non-zero digit, plus the exponent.
  int64_t k = 0;
  bool significant = false;
  const char* ch = text;
  for (; ch != end && IsDigit(*ch); ++ch) {
    significant = significant || *ch != '0';
    k += significant ? 1 : 0;
  }
  if (ch != end && *ch == '.') {
    for (++ch; ch != end && IsDigit(*ch); ++ch) {
      if (!significant && *ch == '0') {
        --k;
      }
      significant = significant || *ch != '0';
    }
  }
  if (ch != end && (*ch == 'e' || *ch == 'E')) {
    k += ReadExponent(ch + 1, end);
  }
  return significant && k >= 1;
}

}  // namespace

void AppendFixed(std::string& out, double value, int precision, int width) {
  // Room for the largest double in fixed notation: 309 digits, the sign, the
  // point and a precision far above any the program uses.
  char buffer[400];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  if (error != std::errc()) {
    return;
  }
  const int length = static_cast<int>(end - buffer);
  if (length < width) {
    out.append(static_cast<size_t>(width - length), ' ');
  }
  out.append(buffer, end);
}

void AppendInteger(std::string& out, int value) {
  char buffer[16];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (error == std::errc()) {
    out.append(buffer, end);
  }
}

double ReadDecimal(const char* text) {
  while (IsCSpace(*text)) {
    ++text;
  }
  const char* end = DecimalNumberEnd(text);
  if (end == text) {
    return 0.0;
  }
  // from_chars takes no "+" of its own; the sign is put back on the
  // magnitude, so "-0" stays a negative zero as with strtod.
  const bool negative = *text == '-';
  const char* digits = text + (*text == '+' || *text == '-' ? 1 : 0);
  double magnitude = 0.0;
  const auto [stop, error] = std::from_chars(digits, end, magnitude, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    magnitude = AtLeastOne(digits, end) ? std::numeric_limits<double>::infinity() : 0.0;
  }
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
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (error == std::errc()) {
    out.append(buffer, end);
  }
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
