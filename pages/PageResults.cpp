// SPDX-License-Identifier: MIT
#include "pages/PageResults.h"

#include "calc/FeedCalc.h"
#include "pages/InputFields.h"
#include "pages/Numbers.h"
#include "pages/Texts.h"

namespace {

constexpr double kSecondsPerMinute = 60.0;
// How far the feed-timing page's acceleration and speed may lie above the
// drive's limits before they are marked.
constexpr double kAccelMargin = 0.1;    // m/s^2
constexpr double kSpeedMargin = 0.005;  // m/s, 0.3 m/min

std::u16string SpeedText(double peakSpeed) {
  return FormatFixed(peakSpeed * MetresPerMinutePerMetrePerSecond, 1);
}

int SpeedLabelOf(const TFeedParams& p) {
  return p.IsTriangle ? rtSpeedTriangle : rtSpeedTrapezoid;
}

}  // namespace

TStrokeRateShown StrokeRateShown(const TFeedParams& p) {
  return {SpeedText(p.PeakSpeed), SpeedLabelOf(p), (p.LimitFlags & LimitWindowRaised) != 0,
          AccelText(p.Accel), p.LimitFlags != 0};
}

TFeedTimingShown FeedTimingShown(const TFeedParams& p) {
  return {FormatFixed(p.FeedTime, 3), SpeedText(p.PeakSpeed), SpeedLabelOf(p),
          FormatFixed(p.AccelTime, 3), FormatFixed(StrokeRateOfCycle(p.CycleTime), 1)};
}

double StrokeRateOfCycle(double cycleTime) {
  // Results without a value (NoValue) stay without one; FormatFixed shows "-".
  return cycleTime == 0.0 ? NoValue : kSecondsPerMinute / cycleTime;
}

int RampLabel(const TFeedParams& p) {
  return p.SinSqRamps ? rtAccelSinSq : rtAccelLinear;
}

int PeakLabel(const TFeedParams& p) {
  return p.SinSqRamps ? rtAccelPeak : rtAccelPlain;
}

bool AccelAboveMaxAccel(const TFeedParams& p) {
  return p.Accel > p.MaxAccel + kAccelMargin;
}

bool SpeedLimitAboveMaxSpeed(const TFeedParams& p) {
  return p.SpeedLimit > p.MaxSpeed + kSpeedMargin;
}
