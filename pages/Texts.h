// SPDX-License-Identifier: MIT
#pragma once
// Every text of the window that depends on the language.

#include <span>
#include <string_view>

// Fixed indices into RuntimeTexts.
inline constexpr int rtSpeedTriangle = 0;
inline constexpr int rtSpeedTrapezoid = 1;
inline constexpr int rtHintFeedLength = 2;
inline constexpr int rtHintStrokeRate = 3;
inline constexpr int rtHintAngle = 4;
inline constexpr int rtHintSpeed = 5;
inline constexpr int rtHintAccel = 6;
inline constexpr int rtAccelSinSq = 7;
inline constexpr int rtAccelLinear = 8;
inline constexpr int rtAccelPlain = 9;
inline constexpr int rtAccelPeak = 10;
inline constexpr int RuntimeTextCount = 11;

// One text in both languages: either the caption of a control or an entry
// of RuntimeTexts.
struct TLanguageText {
  std::string_view Control;  // empty for a RuntimeTexts entry
  int Entry;                 // the RuntimeTexts index; -1 for a caption
  std::u16string_view German;
  std::u16string_view English;
};

// All seventeen captions and eleven entries, in the order they are written.
std::span<const TLanguageText> LanguageTexts();

// Caption of the range messages, the same in both languages.
inline constexpr std::u16string_view MessageCaption = u"Kolvane";
