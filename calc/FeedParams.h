// SPDX-License-Identifier: MIT
#pragma once
// The one record of feed inputs, drive limits and computed results.
// SI units throughout (m, s, m/s, m/s^2); the crank angle is in degrees and
// the stroke rate in strokes per minute. Only the window converts units.

#include <cstdint>
#include <string_view>

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

// The inclusive range within which a typed value is taken, in the unit the
// window shows it in. The settling time has none.
struct TInputRange {
  double Low;
  double High;

  // False for a NaN; an infinity lies outside every range.
  constexpr bool Contains(double value) const { return value >= Low && value <= High; }
};
inline constexpr TInputRange FeedLengthRange{0.01, 4000.0};    // mm
inline constexpr TInputRange StrokeRateRange{5.0, 2000.0};     // strokes/min
inline constexpr TInputRange ApertureAngleRange{10.0, 350.0};  // degrees
inline constexpr TInputRange SpeedRange{0.1, 400.0};           // m/min: MaxSpeed, SpeedLimit
inline constexpr TInputRange AccelRange{0.01, 400.0};          // m/s^2: MaxAccel, a typed Accel

// The window's units per stored unit.
inline constexpr double MillimetresPerMetre = 1000.0;             // FeedLength
inline constexpr double MetresPerMinutePerMetrePerSecond = 60.0;  // MaxSpeed, SpeedLimit, PeakSpeed

// How a field that the user types into a box is taken: within which range,
// in the window's unit, and how many window units a stored unit is. Both the
// window and the settings file take a value only within this range.
struct TTypedField {
  double TFeedParams::*Field;
  const TInputRange* Range;  // null: any finite number (the settling time)
  double WindowUnitsPerStored;

  // False for a NaN and an infinity, and outside the range.
  bool Takes(double windowValue) const;
};

inline constexpr TTypedField TypedFields[] = {
    {&TFeedParams::FeedLength, &FeedLengthRange, MillimetresPerMetre},
    {&TFeedParams::StrokeRate, &StrokeRateRange, 1.0},
    {&TFeedParams::ApertureAngle, &ApertureAngleRange, 1.0},
    {&TFeedParams::MaxSpeed, &SpeedRange, MetresPerMinutePerMetrePerSecond},
    {&TFeedParams::SpeedLimit, &SpeedRange, MetresPerMinutePerMetrePerSecond},
    {&TFeedParams::MaxAccel, &AccelRange, 1.0},
    {&TFeedParams::Accel, &AccelRange, 1.0},
    {&TFeedParams::SettleTime, nullptr, 1.0},
};

// The entry of a field; null for a field no box edits.
constexpr const TTypedField* TypedField(double TFeedParams::*field) {
  for (const TTypedField& typed : TypedFields) {
    if (typed.Field == field) {
      return &typed;
    }
  }
  return nullptr;
}

// Every number field of the record by the name it has in the record, for
// texts that name a field (the browser page's test probe, test messages).
struct TNamedField {
  std::string_view Name;
  double TFeedParams::*Field;
};

inline constexpr TNamedField NamedFields[] = {
    {"FeedLength", &TFeedParams::FeedLength}, {"Accel", &TFeedParams::Accel},
    {"SpeedLimit", &TFeedParams::SpeedLimit}, {"MaxSpeed", &TFeedParams::MaxSpeed},
    {"MaxAccel", &TFeedParams::MaxAccel},     {"ApertureAngle", &TFeedParams::ApertureAngle},
    {"SettleTime", &TFeedParams::SettleTime}, {"StartSpeed", &TFeedParams::StartSpeed},
    {"StrokeRate", &TFeedParams::StrokeRate}, {"MeanAccel", &TFeedParams::MeanAccel},
    {"FeedTime", &TFeedParams::FeedTime},     {"AccelTime", &TFeedParams::AccelTime},
    {"PeakSpeed", &TFeedParams::PeakSpeed},   {"CycleTime", &TFeedParams::CycleTime},
};

// The field's name ("FeedLength"); empty for a pointer to no field of it.
constexpr std::string_view FieldName(double TFeedParams::*field) {
  for (const TNamedField& named : NamedFields) {
    if (named.Field == field) {
      return named.Name;
    }
  }
  return {};
}

// The process-wide instance: zero until SetDefaultFeedParams runs.
extern TFeedParams FeedParams;

// Gives the inputs and limits of params (of FeedParams) their start-up
// values; the result fields are left as they are.
void SetDefaultFeedParams(TFeedParams& params);
void SetDefaultFeedParams();
