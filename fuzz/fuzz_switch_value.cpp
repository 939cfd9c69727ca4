// SPDX-License-Identifier: MIT
// Arbitrary command-line texts for the switch reader. The first byte picks
// the letter (0 included), the rest is the text up to its first NUL.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/SwitchReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const char letter = static_cast<char>(data[0]);
  // A buffer of its own, exactly as long as the text, so that any read past
  // the terminating NUL is caught.
  const size_t length = size - 1;
  const std::unique_ptr<char[]> text(new char[length + 1]);
  std::memcpy(text.get(), data + 1, length);
  text[length] = '\0';
  const std::string value = GetSwitchValue(text.get(), letter);

  const bool tooLong = value.size() > 279;
  const bool trailingSpace = !value.empty() && value.back() == ' ';
  const bool hasQuote = value.find('"') != std::string::npos;
  const bool hasNul = value.find('\0') != std::string::npos;
  if (tooLong || trailingSpace || hasQuote || hasNul) {
    std::abort();
  }
  return 0;
}
