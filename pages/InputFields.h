// SPDX-License-Identifier: MIT
#pragma once
// The typed inputs of the two calculation pages, written once: which field of
// the parameter record an input edits, in which unit, within which range,
// with which hint on a refusal, and how its box shows the stored value. The
// window reads every typed value through here, and so does kolvane-calc, so
// a value typed on the command line means what it means in the window.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calc/FeedParams.h"
#include "pages/Texts.h"

enum class TInput : uint8_t {
  FeedLength,     // mm
  StrokeRate,     // strokes/min
  ApertureAngle,  // degrees
  MaxSpeed,       // m/min, P240
  MaxAccel,       // m/s^2, P241
  SettleTime,     // s, P242
  Accel,          // m/s^2, the feed-timing page's acceleration
  SpeedLimit,     // m/min, the feed-timing page's speed
};

inline constexpr size_t InputCount = 8;

struct TInputDef {
  TInput Input;
  // The field it edits, with its range and the window's unit.
  const TTypedField* Field;
  // The RuntimeTexts entry a refusal shows; -1: refused silently.
  int Hint;
  // Decimals of the box when the window fills it, and when it puts the
  // stored value back after a refusal; -1: the acceleration's own format.
  int FillDecimals;
  int RestoreDecimals;
};

const TInputDef& InputDef(TInput input);

// The value a typed text stands for, in the window's unit, or nothing when
// the window refuses it: outside the input's range, or for the settling time
// too large for a double. The text is read by the C library's decimal rules
// (the longest number at its start counts, a text without one reads as 0),
// except that a decimal comma counts as a decimal point.
std::optional<double> ReadTypedInput(TInput input, std::u16string_view text);

// Stores a value that ReadTypedInput took into the record, with the two
// rules that tie fields together: a typed acceleration within 0.0099 m/s^2
// of the stored one is the stored one read back from its rounded display and
// leaves it alone; a maximum speed that changes by more than 0.005 m/s
// carries over to the speed limit.
void StoreInput(TInput input, double value, TFeedParams& params);

// The field of the record that an input edits, in its stored unit.
double StoredValue(TInput input, const TFeedParams& params);

// The stored value as its box shows it when the window fills the box, and
// when it puts it back after a refusal.
std::u16string FillText(TInput input, const TFeedParams& params);
std::u16string RestoreText(TInput input, const TFeedParams& params);

// An acceleration as the window shows it: two decimals below 9.999 m/s^2,
// one from there on.
std::u16string AccelText(double accel);

// The refusal hint of a range-checked input in the language; empty for the
// settling time.
std::u16string_view HintOf(TInput input, TLang lang);

// The unit an input or a result is shown in.
std::u16string_view UnitOf(TInput input);
inline constexpr std::u16string_view UnitMillimetres = u"mm";
inline constexpr std::u16string_view UnitPerMinute = u"1/min";
inline constexpr std::u16string_view UnitDegrees = u"\u00B0";
inline constexpr std::u16string_view UnitMetresPerMinute = u"m/min";
inline constexpr std::u16string_view UnitMetresPerSecond2 = u"m/s\u00B2";
inline constexpr std::u16string_view UnitSeconds = u"s";
