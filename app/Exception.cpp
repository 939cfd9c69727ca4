// SPDX-License-Identifier: MIT
#include "app/Exception.h"

#include <utility>

#include "app/TextCodec.h"

Exception::Exception(std::u16string message)
    : message_(std::move(message)), utf8_(Utf16ToUtf8(message_)) {}

const char* Exception::what() const noexcept {
  return utf8_.c_str();
}
