// SPDX-License-Identifier: MIT
#include "settings/BuildString.h"

#include <algorithm>

namespace {

// The same number of bytes for both classes: 65530 chars or 32765 16-bit units.
constexpr int kMaxChars = 65530;
constexpr int kMaxWideChars = 32765;

// Appends one unit and keeps the array terminated; the unit that would fill
// the last cell, and every later one, is overwritten by the terminator.
template <typename Char>
void AppendBounded(Char* buffer, int32_t capacity, int32_t& count, Char ch) {
  if (buffer == nullptr || capacity <= 0) {
    return;
  }
  if (count < capacity) {
    buffer[count] = ch;
    ++count;
  }
  buffer[count < capacity ? count : capacity - 1] = Char(0);
}

}  // namespace

TBuildString::TBuildString() : Buffer(nullptr), Capacity(0), Count(0) {}

void TBuildString::Init(char* buffer, int capacity) {
  Buffer = buffer;
  Capacity = std::clamp(capacity, 0, kMaxChars);
  Count = 0;
  if (Buffer != nullptr) {
    Buffer[0] = '\0';
  }
}

void TBuildString::AddChar(int ch) {
  AppendBounded(Buffer, Capacity, Count, static_cast<char>(static_cast<unsigned char>(ch)));
}

TBuildStringUC::TBuildStringUC() : Buffer(nullptr), Capacity(0), Count(0) {}

void TBuildStringUC::Init(wchar_t* buffer, int capacity) {
  Buffer = buffer;
  Capacity = std::clamp(capacity, 0, kMaxWideChars);
  Count = 0;
  if (Buffer != nullptr) {
    Buffer[0] = L'\0';
  }
}

void TBuildStringUC::AddChar(wchar_t ch) {
  AppendBounded(Buffer, Capacity, Count, ch);
}
