#include "ui/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace {

bool IsCSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// The decimal number at the start of a text, split into its parts.
struct TDecimal {
  bool Negative = false;
  std::string Digits;     // integer digits, then fraction digits, ASCII
  int IntegerDigits = 0;  // how many of Digits stand before the point
  long Exponent = 0;      // clamped far beyond every double's range
  std::string Ascii;      // the whole prefix without its sign, for from_chars
};

size_t ScanDigits(std::u16string_view text, size_t at, std::string& into) {
  while (at < text.size() && IsDigit(text[at])) {
    into.push_back(static_cast<char>(text[at]));
    ++at;
  }
  return at;
}

// Scans the exponent at text[at] ("e" or "E", a sign, digits); leaves it
// unread unless at least one digit follows.
size_t ScanExponent(std::u16string_view text, size_t at, TDecimal& number) {
  if (at >= text.size() || (text[at] != u'e' && text[at] != u'E')) {
    return at;
  }
  size_t i = at + 1;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  std::string digits;
  size_t end = ScanDigits(text, i, digits);
  if (digits.empty()) {
    return at;
  }
  long exponent = 0;
  for (char d : digits) {
    exponent = std::min(exponent * 10 + (d - '0'), 1000000L);
  }
  number.Exponent = negative ? -exponent : exponent;
  number.Ascii += 'e';
  number.Ascii += negative ? "-" : "";
  number.Ascii += digits;
  return end;
}

bool ScanDecimal(std::u16string_view text, TDecimal& number) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) {
    ++i;
  }
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    number.Negative = text[i] == u'-';
    ++i;
  }
  std::string integer;
  std::string fraction;
  i = ScanDigits(text, i, integer);
  number.Ascii = integer;
  if (i < text.size() && text[i] == u'.') {
    size_t end = ScanDigits(text, i + 1, fraction);
    if (!integer.empty() || !fraction.empty()) {
      number.Ascii += '.';
      number.Ascii += fraction;
      i = end;
    }
  }
  if (integer.empty() && fraction.empty()) {
    return false;
  }
  number.Digits = integer + fraction;
  number.IntegerDigits = static_cast<int>(integer.size());
  ScanExponent(text, i, number);
  return true;
}

// For a number out of the double's range: true when it is too large (its
// first significant digit stands at or above the units), false when it is
// too small.
bool Overflows(const TDecimal& number) {
  size_t first = number.Digits.find_first_not_of('0');
  if (first == std::string::npos) {
    return false;
  }
  long order = static_cast<long>(number.IntegerDigits) - static_cast<long>(first);
  return order + number.Exponent > 0;
}

}  // namespace

std::u16string FormatFixed(double value, int precision, int width) {
  if (!std::isfinite(value)) {
    return u"-";
  }
  // Enough for the largest double in fixed notation with any precision used here.
  char buffer[400];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  if (error != std::errc()) {
    return u"-";
  }
  std::u16string text;
  for (int pad = width - static_cast<int>(end - buffer); pad > 0; --pad) {
    text.push_back(u' ');
  }
  for (const char* c = buffer; c != end; ++c) {
    text.push_back(static_cast<char16_t>(*c));
  }
  return text;
}

double ReadNumber(std::u16string_view text) {
  TDecimal number;
  if (!ScanDecimal(text, number)) {
    return 0.0;
  }
  double magnitude = 0.0;
  const char* first = number.Ascii.data();
  const char* last = first + number.Ascii.size();
  auto [end, error] = std::from_chars(first, last, magnitude, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    magnitude = Overflows(number) ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (error != std::errc() || end != last) {
    magnitude = 0.0;
  }
  return number.Negative ? -magnitude : magnitude;
}
