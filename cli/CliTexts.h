// SPDX-License-Identifier: MIT
#pragma once
// The words kolvane-calc prints: the window's own captions, labels and range
// hints, looked up in the window's language table, and the few words the
// command line needs beyond the window, in the same two languages.

#include <string>
#include <string_view>

#include "app/TextCodec.h"
#include "pages/InputFields.h"

enum class TLang { English, German };

// A RuntimeTexts entry (pages/Texts.h) in the language.
std::u16string_view RuntimeText(int entry, TLang lang);
// The caption of a window control in the language.
std::u16string_view CaptionOf(std::string_view control, TLang lang);
// The refusal hint of a range-checked input; empty for the settling time.
std::u16string_view HintOf(TInput input, TLang lang);

// The unit an input or a result is shown in.
std::u16string_view UnitOf(TInput input);
inline constexpr std::u16string_view UnitMillimetres = u"mm";
inline constexpr std::u16string_view UnitPerMinute = u"1/min";
inline constexpr std::u16string_view UnitDegrees = u"\u00B0";
inline constexpr std::u16string_view UnitMetresPerMinute = u"m/min";
inline constexpr std::u16string_view UnitMetresPerSecond2 = u"m/s\u00B2";
inline constexpr std::u16string_view UnitSeconds = u"s";

// Words of the command line that the window does not have.
struct TCliWords {
  std::u16string_view On;
  std::u16string_view Off;
  std::u16string_view OverLimit;      // marks a value the window colours light red
  std::u16string_view LimitsCaption;  // introduces the broken limits
  std::u16string_view AccelOutside;   // the rounded acceleration is outside 0 to P241
  std::u16string_view WindowRaised;   // the open window was shorter than the shortest feed
  std::u16string_view Triangle;
  std::u16string_view Trapezoid;
  std::u16string_view ChartFeedLength;
  std::u16string_view ChartStrokeRate;
  std::u16string_view ChartAccel;
  std::u16string_view ChartSpeed;
  std::u16string_view ChartProfile;
  std::u16string_view CrankAngle;    // profile picture: x axis
  std::u16string_view FeedSpeed;     // profile picture: y axis
  std::u16string_view OpenWindow;    // profile picture: the shaded aperture window
  std::u16string_view Settling;      // profile picture: the settling time
  std::u16string_view NotANumber;    // batch: a value that is no number
  std::u16string_view NotOnOff;      // batch: a sin2 value that is neither on nor off
  std::u16string_view NotARequest;   // batch: a request that is neither rate nor timing
  std::u16string_view ColumnCount;   // batch: a row with another number of fields
  std::u16string_view BrokenQuotes;  // batch: a quote never closed, or text after one
  std::u16string_view Line;          // batch: where a broken row starts
  std::u16string_view OutOfArea;     // a value beyond the rounding range, taken as 0
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
