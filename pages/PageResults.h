// SPDX-License-Identifier: MIT
#pragma once
// What the two calculation pages show after their refresh, toolkit-free: the
// texts of the result boxes, which label wording they take, and which boxes
// turn light red. The window writes these into its controls; kolvane-calc
// prints them, so both show the same.

#include <string>

#include "calc/FeedParams.h"

// The stroke-rate page after the stroke-rate and cycle request (0x42).
struct TStrokeRateShown {
  std::u16string Speed;  // ED_SpeedE: PeakSpeed in m/min
  int SpeedLabel;        // RuntimeTexts entry of LB_SpeedE: triangle or trapezoid
  bool SpeedRed;         // the window was raised to the minimum
  std::u16string Accel;  // ED_AccelE: Accel in the acceleration format
  bool AccelRed;         // any limit flag
};
TStrokeRateShown StrokeRateShown(const TFeedParams& params);

// The feed-timing page after the feed-timing and cycle request (0x41).
struct TFeedTimingShown {
  std::u16string FeedTime;    // ED_TimeVS, s
  std::u16string Speed;       // ED_SpeedS, m/min
  int SpeedLabel;             // RuntimeTexts entry of LB_SpeedS
  std::u16string AccelTime;   // ED_TimeAS, s
  std::u16string StrokeRate;  // ED_HZout, 1/min; "-" when there is none
};
TFeedTimingShown FeedTimingShown(const TFeedParams& params);

// The stroke rate of a press cycle, 60 / CycleTime in strokes per minute;
// NoValue for a zero cycle (or one without a value), which has no rate.
double StrokeRateOfCycle(double cycleTime);

// The acceleration labels that every refresh writes: LB_AccSinQ on the
// feed-timing page (ramp kind) and LB_Accel1 on the stroke-rate page (peak or
// plain), as RuntimeTexts entries.
int RampLabel(const TFeedParams& params);
int PeakLabel(const TFeedParams& params);

// The two inputs of the feed-timing page that every refresh marks light red:
// an acceleration more than 0.1 m/s^2 above P241, a speed limit more than
// 0.3 m/min above P240.
bool AccelAboveMaxAccel(const TFeedParams& params);
bool SpeedLimitAboveMaxSpeed(const TFeedParams& params);
