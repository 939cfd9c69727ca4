// SPDX-License-Identifier: MIT
#pragma once
// Bounded appenders over a character array that belongs to the caller.
// They never allocate; a full array silently drops further characters.

#include <cstdint>

#include "settings/Export.h"

class KOLVANE_EXPORT TBuildString {
 public:
  TBuildString();
  void Init(char* buffer, int capacity);  // capacity clamped to 0..65530
  void AddChar(int ch);                   // stores the low 8 bits

  char* Buffer;
  int32_t Capacity;
  int32_t Count;
};

class KOLVANE_EXPORT TBuildStringUC {
 public:
  TBuildStringUC();
  void Init(wchar_t* buffer, int capacity);  // capacity clamped to 0..32765
  void AddChar(wchar_t ch);

  wchar_t* Buffer;
  int32_t Capacity;
  int32_t Count;
};
