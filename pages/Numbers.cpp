// SPDX-License-Identifier: MIT
#include "pages/Numbers.h"

#include <cmath>
#include <string>

#include "settings/DecimalText.h"

namespace {

// The text as the C library's number reading sees it: up to the first
// character outside ASCII (none can belong to a number or to the white space
// in front of it), with a comma read as the decimal point: cut off at the
// comma, "12,5" would silently become 12 while the box still shows what was
// typed. whole tells whether the text had no character outside ASCII.
std::string AsciiNumberText(std::u16string_view text, bool& whole) {
  std::string ascii;
  whole = true;
  for (char16_t c : text) {
    if (c == 0 || c > 0x7F) {
      whole = false;
      break;
    }
    ascii.push_back(c == u',' ? '.' : static_cast<char>(c));
  }
  return ascii;
}

}  // namespace

std::u16string FormatFixed(double value, int precision, int width) {
  if (!std::isfinite(value)) {
    return u"-";
  }
  std::string text;
  AppendFixed(text, value, precision, width);
  return std::u16string(text.begin(), text.end());
}

double ReadNumber(std::u16string_view text) {
  bool whole = true;
  return ReadDecimal(AsciiNumberText(text, whole).c_str());
}

bool IsNumberText(std::u16string_view text) {
  bool whole = true;
  const std::string ascii = AsciiNumberText(text, whole);
  return whole && IsDecimalNumber(ascii.c_str());
}
