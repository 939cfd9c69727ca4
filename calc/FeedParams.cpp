// SPDX-License-Identifier: MIT
#include "calc/FeedParams.h"

// Constant-initialised to all zeros, so it is valid before any start-up code
// runs, whatever the order of static initialisation.
TFeedParams FeedParams{};

void SetDefaultFeedParams() {
  FeedParams.FeedLength = 0.01;
  FeedParams.MaxSpeed = 1.3334;  // 80.004 m/min
  FeedParams.SpeedLimit = FeedParams.MaxSpeed;
  FeedParams.MaxAccel = 50.0;
  FeedParams.SinSqRamps = true;
  FeedParams.Accel = 10.0;
  FeedParams.ApertureAngle = 180.0;
  FeedParams.SettleTime = 0.01;
  FeedParams.StrokeRate = 100.0;
  FeedParams.StartSpeed = 0.0;
}
