#pragma once
// The one record of feed inputs, drive limits and computed results.
// SI units throughout (m, s, m/s, m/s^2); the crank angle is in degrees and
// the stroke rate in strokes per minute. Only the window converts units.

#include <cstdint>

struct TFeedParams {
  double FeedLength;     // m
  double Accel;          // m/s^2: feed-timing input, stroke-rate result
  double SpeedLimit;     // m/s: speed the feed-timing page assumes
  double MaxSpeed;       // m/s: P240
  double MaxAccel;       // m/s^2: P241
  bool SinSqRamps;       // P56
  double ApertureAngle;  // degrees of crank angle with the tool open
  double SettleTime;     // s: P242
  double StartSpeed;     // m/s
  double StrokeRate;     // strokes/min
  double MeanAccel;      // m/s^2: working value of the calculation
  double FeedTime;       // s
  double AccelTime;      // s
  double PeakSpeed;      // m/s
  bool IsTriangle;
  uint16_t LimitFlags;  // bit 0: Accel outside 0..MaxAccel; bit 1: window raised to the minimum
  double CycleTime;     // s
};

static_assert(sizeof(bool) == 1, "the two flags are one byte each");

// The process-wide instance: zero until SetDefaultFeedParams runs.
extern TFeedParams FeedParams;

// Gives the inputs and limits their start-up values; the result fields are
// left as they are.
void SetDefaultFeedParams();
