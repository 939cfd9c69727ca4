#pragma once
// Motion-profile calculation of the feed: triangle or trapezoid speed
// profile with linear or sin^2 ramps, on the fields of FeedParams.

#include <cstdint>
#include <functional>
#include <limits>

inline constexpr uint8_t CALC_FEEDTIME = 0x01;    // feed timing from Accel and SpeedLimit
inline constexpr uint8_t CALC_STROKERATE = 0x02;  // Accel and peak speed for StrokeRate
inline constexpr uint8_t CALC_CYCLE = 0x40;       // CycleTime from FeedTime

// A result that has no finite value for the current inputs (for instance a
// ramp time at zero acceleration) is stored as NoValue, a quiet NaN, so that
// the display can show a dash. Inputs and limits never hold NoValue.
inline constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();
bool HasValue(double result);

// Runs the requested parts in the order feed time, stroke rate, cycle.
void CalcFeed(uint8_t request);

// Rounds halves upwards for either sign. Beyond +-2147483000.0 (and for a
// NaN) it reports "Out of area (DtoL)" through the installed reporter and
// returns 0.
int32_t DtoL(double x);

// Speed reached after accelerating with MeanAccel over half the feed length.
double TrianglePeakSpeed();

// The application installs how the out-of-area report reaches the user;
// without a reporter the report is dropped.
using TDtoLReporter = std::function<void()>;
void SetDtoLReporter(TDtoLReporter reporter);
