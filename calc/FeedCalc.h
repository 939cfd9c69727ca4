// SPDX-License-Identifier: MIT
#pragma once
// Motion-profile calculation of the feed: triangle or trapezoid speed
// profile with linear or sin^2 ramps, on the fields of a parameter record.

#include <cstdint>
#include <functional>
#include <limits>
#include <string_view>

struct TFeedParams;

inline constexpr uint8_t CALC_FEEDTIME = 0x01;    // feed timing from Accel and SpeedLimit
inline constexpr uint8_t CALC_STROKERATE = 0x02;  // Accel and peak speed for StrokeRate
inline constexpr uint8_t CALC_CYCLE = 0x40;       // CycleTime from FeedTime

// The bits of LimitFlags that the stroke-rate request sets.
inline constexpr uint16_t LimitAccelOutside =
    0x01;  // the rounded Accel is below 0 or above MaxAccel
inline constexpr uint16_t LimitWindowRaised =
    0x02;  // the time window was raised to the minimum ramp

// A result that has no finite value for the current inputs is stored as
// NoValue, a quiet NaN, so that the display can show a dash; test with
// HasValue, never with ==. Only the result fields MeanAccel, FeedTime,
// AccelTime, PeakSpeed and CycleTime ever hold it. Inputs and limits never
// do: Accel, the one input the calculation writes, always stays finite,
// since it is saved to the settings file. In detail:
// - Feed timing at zero acceleration (a stroke rate whose acceleration
//   rounds to 0.00, then the feed-timing page): the ramp time is 0/0, so
//   AccelTime and FeedTime, and after them CycleTime, are NoValue, without a
//   report. PeakSpeed 0 is a real value and stays.
// - Any other ramp time or trapezoid time that is not finite is handled the
//   same way: no rounding, no report, NoValue. A finite time beyond the
//   range of DtoL is reported and taken as 0, like every DtoL argument.
// - If the acceleration a stroke rate demands is NaN (an undefined window:
//   zero StrokeRate together with zero ApertureAngle), Accel keeps its
//   previous value, MeanAccel, AccelTime and PeakSpeed are NoValue, the
//   second pass and the acceleration limit check are skipped (LimitFlags
//   holds at most bit 1), and nothing is reported. An infinite demanded
//   acceleration is simply out of area: DtoL reports it, Accel becomes 0
//   and LimitAccelOutside is set.
// - Every other result that overflows or is undefined (extreme settling
//   times; zero StrokeRate, ApertureAngle or SpeedLimit, a negative
//   FeedLength, huge values from an edited settings file) is NoValue.
// A zero or negative FeedTime or CycleTime (a settling time at or below
// minus the movement) is a real value and is stored as computed.
// Floating-point exceptions stay untrapped: infinities and NaNs that arise
// on the way are expected and settled before anything is stored.
inline constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();
bool HasValue(double result);

// Runs the requested parts on params in the order feed time, stroke rate,
// cycle; other bits are ignored. A field that none of the requested parts
// writes keeps its value. Returns how many values went beyond the range of
// DtoL and were taken as 0; nothing is shown for them here: the caller
// decides how the user learns of it. An acceleration of the stroke-rate
// request that went beyond that range also sets LimitAccelOutside.
unsigned CalcFeed(TFeedParams& params, uint8_t request);

// The window's calculation: the requested parts on the process-wide
// FeedParams, each out-of-area value shown through the installed reporter.
void CalcFeed(uint8_t request);

// Rounds halves upwards for either sign (2.5 -> 3, -2.5 -> -2). Beyond
// +-2147483000.0 (and for a NaN) it reports "Out of area (DtoL)" through the
// installed reporter and returns 0; the calculation goes on with that 0.
int32_t DtoL(double x);

// Speed reached after accelerating with MeanAccel over half the feed length,
// of params or of FeedParams.
double TrianglePeakSpeed(const TFeedParams& params);
double TrianglePeakSpeed();

// The application installs how the out-of-area report reaches the user: a
// modal box with one OK button, DtoLReportCaption as its caption and an empty
// text. Without a reporter the report is dropped. The reporter runs inside
// CalcFeed, which goes on when it returns.
using TDtoLReporter = std::function<void()>;
void SetDtoLReporter(TDtoLReporter reporter);
inline constexpr std::u16string_view DtoLReportCaption = u"Out of area (DtoL)";
