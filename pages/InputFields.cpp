// SPDX-License-Identifier: MIT
#include "pages/InputFields.h"

#include <array>
#include <cmath>

#include "pages/Numbers.h"
#include "pages/Texts.h"

namespace {

constexpr int kAccelFormat = -1;

using P = TFeedParams;

// In the order of TInput.
constexpr std::array<TInputDef, InputCount> kInputs{{
    {TInput::FeedLength, TypedField(&P::FeedLength), rtHintFeedLength, 2, 2},
    {TInput::StrokeRate, TypedField(&P::StrokeRate), rtHintStrokeRate, 0, 0},
    {TInput::ApertureAngle, TypedField(&P::ApertureAngle), rtHintAngle, 0, 0},
    // Filled without decimals, but put back with one.
    {TInput::MaxSpeed, TypedField(&P::MaxSpeed), rtHintSpeed, 0, 1},
    {TInput::MaxAccel, TypedField(&P::MaxAccel), rtHintAccel, 0, 0},
    {TInput::SettleTime, TypedField(&P::SettleTime), -1, 3, 3},
    {TInput::Accel, TypedField(&P::Accel), rtHintAccel, kAccelFormat, kAccelFormat},
    {TInput::SpeedLimit, TypedField(&P::SpeedLimit), rtHintSpeed, 1, 1},
}};

// A change of P240 by more than this (0.3 m/min) carries over to SpeedLimit.
constexpr double kSpeedLimitCarry = 0.005;  // m/s
// A typed acceleration closer than this to the stored one is the stored one
// shown with two decimals, and must not round it.
constexpr double kAccelUnchanged = 0.0099;  // m/s^2

double& FieldOf(TInput input, TFeedParams& p) {
  return p.*InputDef(input).Field->Field;
}

std::u16string BoxText(TInput input, const TFeedParams& p, int decimals) {
  const double stored = StoredValue(input, p);
  if (decimals == kAccelFormat) {
    return AccelText(stored);
  }
  return FormatFixed(stored * InputDef(input).Field->WindowUnitsPerStored, decimals);
}

}  // namespace

const TInputDef& InputDef(TInput input) {
  return kInputs[static_cast<size_t>(input)];
}

double StoredValue(TInput input, const TFeedParams& params) {
  return FieldOf(input, const_cast<TFeedParams&>(params));
}

std::optional<double> ReadTypedInput(TInput input, std::u16string_view text) {
  const double value = ReadNumber(text);
  if (!InputDef(input).Field->Takes(value)) {
    return std::nullopt;
  }
  return value;
}

void StoreInput(TInput input, double value, TFeedParams& params) {
  const double stored = value / InputDef(input).Field->WindowUnitsPerStored;
  double& field = FieldOf(input, params);
  if (input == TInput::Accel && std::fabs(stored - field) <= kAccelUnchanged) {
    return;
  }
  const double before = field;
  field = stored;
  if (input == TInput::MaxSpeed && std::fabs(before - field) > kSpeedLimitCarry) {
    params.SpeedLimit = params.MaxSpeed;
  }
}

std::u16string FillText(TInput input, const TFeedParams& params) {
  return BoxText(input, params, InputDef(input).FillDecimals);
}

std::u16string RestoreText(TInput input, const TFeedParams& params) {
  return BoxText(input, params, InputDef(input).RestoreDecimals);
}

std::u16string AccelText(double accel) {
  return accel < 9.999 ? FormatFixed(accel, 2, 4) : FormatFixed(accel, 1, 3);
}

std::u16string_view HintOf(TInput input, TLang lang) {
  const int hint = InputDef(input).Hint;
  return hint < 0 ? std::u16string_view() : RuntimeText(hint, lang);
}

std::u16string_view UnitOf(TInput input) {
  switch (input) {
    case TInput::FeedLength:
      return UnitMillimetres;
    case TInput::StrokeRate:
      return UnitPerMinute;
    case TInput::ApertureAngle:
      return UnitDegrees;
    case TInput::MaxSpeed:
    case TInput::SpeedLimit:
      return UnitMetresPerMinute;
    case TInput::MaxAccel:
    case TInput::Accel:
      return UnitMetresPerSecond2;
    case TInput::SettleTime:
      return UnitSeconds;
  }
  return {};
}
