// SPDX-License-Identifier: MIT
#include "pages/InputFields.h"

#include <array>
#include <cmath>

#include "pages/Numbers.h"
#include "pages/Texts.h"

namespace {

constexpr int kAccelFormat = -1;
constexpr double kNoScale = 1.0;

// In the order of TInput.
constexpr std::array<TInputDef, 8> kInputs{{
    {TInput::FeedLength, &FeedLengthRange, rtHintFeedLength, MillimetresPerMetre, 2, 2},
    {TInput::StrokeRate, &StrokeRateRange, rtHintStrokeRate, kNoScale, 0, 0},
    {TInput::ApertureAngle, &ApertureAngleRange, rtHintAngle, kNoScale, 0, 0},
    // Filled without decimals, but put back with one.
    {TInput::MaxSpeed, &SpeedRange, rtHintSpeed, MetresPerMinutePerMetrePerSecond, 0, 1},
    {TInput::MaxAccel, &AccelRange, rtHintAccel, kNoScale, 0, 0},
    {TInput::SettleTime, nullptr, -1, kNoScale, 3, 3},
    {TInput::Accel, &AccelRange, rtHintAccel, kNoScale, kAccelFormat, kAccelFormat},
    {TInput::SpeedLimit, &SpeedRange, rtHintSpeed, MetresPerMinutePerMetrePerSecond, 1, 1},
}};

// A change of P240 by more than this (0.3 m/min) carries over to SpeedLimit.
constexpr double kSpeedLimitCarry = 0.005;  // m/s
// A typed acceleration closer than this to the stored one is the stored one
// shown with two decimals, and must not round it.
constexpr double kAccelUnchanged = 0.0099;  // m/s^2

double& FieldOf(TInput input, TFeedParams& p) {
  switch (input) {
    case TInput::FeedLength:
      return p.FeedLength;
    case TInput::StrokeRate:
      return p.StrokeRate;
    case TInput::ApertureAngle:
      return p.ApertureAngle;
    case TInput::MaxSpeed:
      return p.MaxSpeed;
    case TInput::MaxAccel:
      return p.MaxAccel;
    case TInput::SettleTime:
      return p.SettleTime;
    case TInput::Accel:
      return p.Accel;
    case TInput::SpeedLimit:
      return p.SpeedLimit;
  }
  return p.FeedLength;  // not reached: every input is listed above
}

std::u16string BoxText(TInput input, const TFeedParams& p, int decimals) {
  const double stored = StoredValue(input, p);
  if (decimals == kAccelFormat) {
    return AccelText(stored);
  }
  return FormatFixed(stored * InputDef(input).Scale, decimals);
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
  const TInputDef& def = InputDef(input);
  // An overflowing entry reads as an infinity and falls outside every range.
  const bool taken = def.Range != nullptr ? def.Range->Contains(value) : std::isfinite(value);
  if (!taken) {
    return std::nullopt;
  }
  return value;
}

void StoreInput(TInput input, double value, TFeedParams& params) {
  const double stored = value / InputDef(input).Scale;
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
