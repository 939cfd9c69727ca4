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
// typed. Whole tells whether the text had no character outside ASCII. A
// typed number fits the buffer on the stack (the page reads several for each
// job of a batch); a longer text takes the heap.
class TAsciiNumberText {
 public:
  explicit TAsciiNumberText(std::u16string_view text) {
    char* ascii = small_;
    if (text.size() >= sizeof small_) {
      large_.resize(text.size() + 1);
      ascii = large_.data();
    }
    size_t length = 0;
    for (char16_t c : text) {
      if (c == 0 || c > 0x7F) {
        whole_ = false;
        break;
      }
      ascii[length++] = c == u',' ? '.' : static_cast<char>(c);
    }
    ascii[length] = '\0';
    text_ = ascii;
  }
  TAsciiNumberText(const TAsciiNumberText&) = delete;
  TAsciiNumberText& operator=(const TAsciiNumberText&) = delete;

  const char* Text() const { return text_; }
  bool Whole() const { return whole_; }

 private:
  char small_[64];
  std::string large_;
  const char* text_ = nullptr;
  bool whole_ = true;
};

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
  return ReadDecimal(TAsciiNumberText(text).Text());
}

bool IsNumberText(std::u16string_view text) {
  const TAsciiNumberText ascii(text);
  return ascii.Whole() && IsDecimalNumber(ascii.Text());
}
