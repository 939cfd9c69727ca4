// SPDX-License-Identifier: MIT
#include "pages/Numbers.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "settings/DecimalText.h"

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
  // No character outside ASCII can belong to a number or to the white space
  // in front of it, so the text is read up to the first such character. A
  // comma is read as the decimal point: cut off at the comma, "12,5" would
  // silently become 12 while the box still shows what was typed.
  std::string ascii;
  for (char16_t c : text) {
    if (c == 0 || c > 0x7F) {
      break;
    }
    ascii.push_back(c == u',' ? '.' : static_cast<char>(c));
  }
  return ReadDecimal(ascii.c_str());
}
