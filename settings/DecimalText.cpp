#include "settings/DecimalText.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
  return c;
}

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

}  // namespace

TCLocaleScope::TCLocaleScope() : previous_(uselocale(CLocale())) {}

TCLocaleScope::~TCLocaleScope() {
  uselocale(previous_);
}

double ReadDecimal(const char* text) {
  while (IsCSpace(*text)) {
    ++text;
  }
  const char* end = DecimalNumberEnd(text);
  if (end == text) {
    return 0.0;
  }
  // Only the decimal prefix reaches strtod, which would otherwise also take
  // hexadecimal, "inf" and "nan".
  const std::string number(text, end);
  TCLocaleScope cLocale;
  return strtod(number.c_str(), nullptr);
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
