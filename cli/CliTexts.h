// SPDX-License-Identifier: MIT
#pragma once
// The words kolvane-calc prints beyond the pages' own (pages/Texts.h,
// pages/InputFields.h): the few the command line needs, in the same two
// languages.

#include <string>
#include <string_view>

#include "app/TextCodec.h"
#include "pages/InputFields.h"
#include "pages/Texts.h"

// Words of the command line that the window does not have.
struct TCliWords {
  std::u16string_view LimitsCaption;  // introduces the broken limits
  std::u16string_view AccelOutside;   // the rounded acceleration is outside 0 to P241
  std::u16string_view WindowRaised;   // the open window was shorter than the shortest feed
  std::u16string_view NotANumber;     // batch: a value that is no number
  std::u16string_view NotOnOff;       // batch: a sin2 value that is neither on nor off
  std::u16string_view NotARequest;    // batch: a request that is neither rate nor timing
  std::u16string_view ColumnCount;    // batch: a row with another number of fields
  std::u16string_view BrokenQuotes;   // batch: a quote never closed, or text after one
  std::u16string_view Line;           // batch: where a broken row starts
  std::u16string_view OutOfArea;      // a value beyond the rounding range, taken as 0
};
const TCliWords& Words(TLang lang);

// UTF-8 of a 16-bit text, and back; invalid sequences become U+FFFD.
inline std::string Utf8(std::u16string_view text) {
  return Utf16ToUtf8(text);
}
inline std::u16string Utf16(std::string_view text) {
  return Utf8ToUtf16Replacing(text);
}
// The number of characters a UTF-8 text shows, for aligning columns.
size_t DisplayWidth(std::string_view utf8);
