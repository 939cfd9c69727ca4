// SPDX-License-Identifier: MIT
#pragma once
// Every text of the window that depends on the language.

#include <cstdint>
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

// A language by name, for the outputs that take one of their own
// (kolvane-calc's --lang, the browser page's pictures).
enum class TLang : uint8_t { English, German };

// A RuntimeTexts entry in the language.
std::u16string_view RuntimeText(int entry, TLang lang);
// The caption of a window control in the language.
std::u16string_view CaptionOf(std::string_view control, TLang lang);

// Words the pages' outputs use beyond the window's own captions: the texts
// and tables of kolvane-calc and the pictures of the chart and the profile.
struct TPageWords {
  std::u16string_view On;
  std::u16string_view Off;
  std::u16string_view OverLimit;  // marks a value the window colours light red
  std::u16string_view Triangle;
  std::u16string_view Trapezoid;
  std::u16string_view ChartFeedLength;
  std::u16string_view ChartStrokeRate;
  std::u16string_view ChartAccel;
  std::u16string_view ChartSpeed;
  std::u16string_view ChartProfile;
  std::u16string_view CrankAngle;  // profile picture: x axis
  std::u16string_view FeedSpeed;   // profile picture: y axis
  std::u16string_view OpenWindow;  // profile picture: the shaded aperture window
  std::u16string_view Settling;    // profile picture: the settling time
};
const TPageWords& PageWords(TLang lang);

// "on" or "off" in the language.
std::u16string_view OnOff(bool on, TLang lang);
