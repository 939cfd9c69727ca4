// SPDX-License-Identifier: MIT
#include "calc/FeedParams.h"

#include <cmath>

bool TTypedField::Takes(double windowValue) const {
  // An overflowing entry is an infinity and lies outside every range.
  return Range != nullptr ? Range->Contains(windowValue) : std::isfinite(windowValue);
}

// Constant-initialised to all zeros, so it is valid before any start-up code
// runs, whatever the order of static initialisation.
TFeedParams FeedParams{};

void SetDefaultFeedParams(TFeedParams& params) {
  params.FeedLength = 0.01;
  params.MaxSpeed = 1.3334;  // 80.004 m/min
  params.SpeedLimit = params.MaxSpeed;
  params.MaxAccel = 50.0;
  params.SinSqRamps = true;
  params.Accel = 10.0;
  params.ApertureAngle = 180.0;
  params.SettleTime = 0.01;
  params.StrokeRate = 100.0;
  params.StartSpeed = 0.0;
}

void SetDefaultFeedParams() {
  SetDefaultFeedParams(FeedParams);
}
