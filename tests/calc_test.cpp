// SPDX-License-Identifier: MIT
// Feed parameters and the motion-profile calculation.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "calc/FeedCalc.h"
#include "calc/FeedParams.h"

namespace {

// Taken during static initialisation, before any start-up code could run.
const TFeedParams RecordAtProcessStart = FeedParams;

using DoubleField = double TFeedParams::*;

const std::vector<DoubleField> ResultFields = {&TFeedParams::MeanAccel, &TFeedParams::FeedTime,
                                               &TFeedParams::AccelTime, &TFeedParams::PeakSpeed,
                                               &TFeedParams::CycleTime};

std::string NameOf(DoubleField field) {
  const std::string_view name = FieldName(field);
  return name.empty() ? "?" : std::string(name);
}

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Names of the fields in which the two records differ, NaN-safe.
std::vector<std::string> ChangedFields(const TFeedParams& before, const TFeedParams& after) {
  std::vector<std::string> changed;
  for (const TNamedField& named : NamedFields) {
    if (!SameBits(before.*named.Field, after.*named.Field)) {
      changed.emplace_back(named.Name);
    }
  }
  if (before.SinSqRamps != after.SinSqRamps) {
    changed.push_back("SinSqRamps");
  }
  if (before.IsTriangle != after.IsTriangle) {
    changed.push_back("IsTriangle");
  }
  if (before.LimitFlags != after.LimitFlags) {
    changed.push_back("LimitFlags");
  }
  return changed;
}

class CalcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FeedParams = TFeedParams{};
    SetDefaultFeedParams();
    SetDtoLReporter([this] { ++reports_; });
  }
  void TearDown() override { SetDtoLReporter(nullptr); }

  int reports_ = 0;
};

// --- Parameter record -------------------------------------------------------

TEST_F(CalcTest, RecordIsZeroBeforeStartUp) {
  for (const TNamedField& named : NamedFields) {
    EXPECT_EQ(RecordAtProcessStart.*named.Field, 0.0) << named.Name;
  }
  EXPECT_FALSE(RecordAtProcessStart.SinSqRamps);
  EXPECT_FALSE(RecordAtProcessStart.IsTriangle);
  EXPECT_EQ(RecordAtProcessStart.LimitFlags, 0);
}

TEST_F(CalcTest, DefaultsSetTheInputsAndLeaveTheResults) {
  FeedParams = TFeedParams{};
  FeedParams.MeanAccel = 1.5;
  FeedParams.FeedTime = 2.5;
  FeedParams.AccelTime = 3.5;
  FeedParams.PeakSpeed = 4.5;
  FeedParams.IsTriangle = true;
  FeedParams.LimitFlags = 3;
  FeedParams.CycleTime = 5.5;

  SetDefaultFeedParams();

  const TFeedParams& p = FeedParams;
  EXPECT_EQ(p.FeedLength, 0.01);
  EXPECT_EQ(p.Accel, 10.0);
  EXPECT_EQ(p.MaxSpeed, 1.3334);
  EXPECT_EQ(p.SpeedLimit, p.MaxSpeed);
  EXPECT_EQ(p.MaxAccel, 50.0);
  EXPECT_TRUE(p.SinSqRamps);
  EXPECT_EQ(p.ApertureAngle, 180.0);
  EXPECT_EQ(p.SettleTime, 0.01);
  EXPECT_EQ(p.StartSpeed, 0.0);
  EXPECT_EQ(p.StrokeRate, 100.0);
  EXPECT_EQ(p.MeanAccel, 1.5);
  EXPECT_EQ(p.FeedTime, 2.5);
  EXPECT_EQ(p.AccelTime, 3.5);
  EXPECT_EQ(p.PeakSpeed, 4.5);
  EXPECT_TRUE(p.IsTriangle);
  EXPECT_EQ(p.LimitFlags, 3);
  EXPECT_EQ(p.CycleTime, 5.5);
}

// --- DtoL ------------------------------------------------------------------

TEST_F(CalcTest, DtoLRoundsHalvesUpwardsWithinItsRange) {
  struct Case {
    double x;
    int32_t expected;
    int reports;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {39.633, 40, 0},
      {2.5, 3, 0},
      {-2.5, -2, 0},
      {-0.4, 0, 0},
      {-0.5, 0, 0},
      {-0.6, -1, 0},
      {0.0, 0, 0},
      // Just below a half: adding 0.5 first would round this up to 1.
      {0.49999999999999994, 0, 0},
      {-1.5, -1, 0},
      {0.5, 1, 0},
      // Fractions that need more than a double's last place of x to tell
      // from one half, on both sides of zero and at the range's end.
      {-0.5000000000000001, -1, 0},
      {-1e-300, 0, 0},
      {std::nextafter(2147482999.5, 0.0), 2147482999, 0},
      {std::nextafter(-2147482999.5, -inf), -2147483000, 0},
      {2147482999.5, 2147483000, 0},
      {-2147482999.5, -2147482999, 0},
      {2147483000.0, 2147483000, 0},
      {-2147483000.0, -2147483000, 0},
      {2147483000.5, 0, 1},
      {-2147483000.5, 0, 1},
      {1e300, 0, 1},
      {inf, 0, 1},
      {-inf, 0, 1},
      {nan, 0, 1},
  };
  for (const Case& c : cases) {
    reports_ = 0;
    EXPECT_EQ(DtoL(c.x), c.expected) << "x = " << c.x;
    EXPECT_EQ(reports_, c.reports) << "x = " << c.x;
  }
}

TEST_F(CalcTest, DtoLWithoutReporterStillReturnsZero) {
  SetDtoLReporter(nullptr);
  EXPECT_EQ(DtoL(3e9), 0);
  EXPECT_EQ(DtoL(std::numeric_limits<double>::quiet_NaN()), 0);
}

// --- Worked profiles ---------------------------------------------------------

struct Expected {
  DoubleField field;
  double value;
  bool exact;  // an exactly rounded figure (whole ms, rounded acceleration)
};

Expected Exact(DoubleField field, double value) {
  return {field, value, true};
}
Expected Near(DoubleField field, double value) {
  return {field, value, false};
}

struct ProfileCase {
  const char* name;
  void (*change)(TFeedParams&);  // applied to the defaults
  uint8_t request;
  std::vector<Expected> values;
  std::optional<bool> isTriangle;
  std::optional<uint16_t> limitFlags;
};

void PrintTo(const ProfileCase& c, std::ostream* os) {
  *os << c.name;
}

constexpr uint8_t StrokeRatePage = CALC_STROKERATE | CALC_CYCLE;
constexpr uint8_t FeedTimingPage = CALC_FEEDTIME | CALC_CYCLE;

using P = TFeedParams;

const ProfileCase ProfileCases[] = {
    {"StrokeRateAtDefaults",
     [](P&) {},
     StrokeRatePage,
     {Exact(&P::Accel, 0.75), Near(&P::MeanAccel, 0.4774648), Near(&P::PeakSpeed, 0.06923240),
      Near(&P::AccelTime, 0.145), Near(&P::FeedTime, 0.3), Near(&P::CycleTime, 0.6)},
     true,
     0},
    {"FeedTimingAtDefaults",
     [](P&) {},
     FeedTimingPage,
     {Near(&P::MeanAccel, 6.366198), Near(&P::PeakSpeed, 0.2523133), Exact(&P::AccelTime, 0.040),
      // 40 ms up and 39 ms down: the deceleration ramp is one ms shorter.
      Exact(&P::FeedTime, 0.089), Near(&P::CycleTime, 0.178), Exact(&P::Accel, 10.0)},
     true,
     0},
    {"WindowTooShortIsRaised",
     [](P& p) {
       p.StrokeRate = 2000;
       p.ApertureAngle = 10;
     },
     StrokeRatePage,
     {Near(&P::FeedTime, 0.016), Exact(&P::MeanAccel, 999999.0), Near(&P::AccelTime, 1.333401e-6),
      Exact(&P::PeakSpeed, 1.3334), Exact(&P::Accel, 1570794.8), Near(&P::CycleTime, 0.576)},
     false,
     3},
    {"NoProfileFitsSinSq",
     [](P& p) { p.FeedLength = 4; },
     StrokeRatePage,
     {Exact(&P::MeanAccel, 999999.0), Exact(&P::PeakSpeed, 1.3334), Exact(&P::Accel, 1570794.8),
      Near(&P::FeedTime, 0.3)},
     false,
     1},
    {"NoProfileFitsLinear",
     [](P& p) {
       p.FeedLength = 4;
       p.SinSqRamps = false;
     },
     StrokeRatePage,
     {Exact(&P::MeanAccel, 999999.0), Exact(&P::PeakSpeed, 1.3334), Exact(&P::Accel, 999999.0),
      Near(&P::FeedTime, 0.3)},
     false,
     1},
    {"AccelAboveMaxAccel",
     [](P& p) { p.StrokeRate = 800; },
     StrokeRatePage,
     {Exact(&P::Accel, 83.1), Near(&P::MeanAccel, 52.90310), Near(&P::PeakSpeed, 0.7274177),
      Near(&P::AccelTime, 0.01375), Near(&P::FeedTime, 0.0375), Near(&P::CycleTime, 0.075)},
     true,
     1},
    // A peak speed equal to the limit is still a triangle (every figure here
    // is exact in binary).
    {"StrokeRateSpeedLimitReached",
     [](P& p) {
       p.StrokeRate = 60;
       p.SettleTime = 0;
       p.FeedLength = 0.125;
       p.MaxSpeed = 0.5;
       p.SinSqRamps = false;
     },
     StrokeRatePage,
     {Exact(&P::Accel, 2.0), Exact(&P::PeakSpeed, 0.5), Exact(&P::AccelTime, 0.25)},
     true,
     0},
    {"StrokeRateSpeedLimitJustExceeded",
     [](P& p) {
       p.StrokeRate = 60;
       p.SettleTime = 0;
       p.FeedLength = 0.125;
       p.MaxSpeed = 29.9 / 60;
       p.SinSqRamps = false;
     },
     StrokeRatePage,
     {Exact(&P::Accel, 2.0), Near(&P::MeanAccel, 2.000022), Near(&P::AccelTime, 0.2491639),
      Near(&P::PeakSpeed, 0.4983333)},
     false,
     0},
    {"FeedTimingSpeedLimitReached",
     [](P& p) {
       p.Accel = 100;
       p.SinSqRamps = false;
       p.SpeedLimit = 1.0;
     },
     FeedTimingPage,
     {Exact(&P::PeakSpeed, 1.0), Exact(&P::AccelTime, 0.010), Exact(&P::FeedTime, 0.030),
      Near(&P::CycleTime, 0.06)},
     true,
     std::nullopt},
    // u = 3 ms + 2 ms + 10 ms - 2.5 ms lands exactly on 12.5 ms only while
    // the sum is carried in extended precision; rounded to double after each
    // step it ends a hair below, and the feed time would come out 22 ms.
    {"TrapezoidOnHalfMillisecond",
     [](P& p) {
       p.Accel = 400;
       p.SinSqRamps = false;
       p.SpeedLimit = 1.0;
     },
     FeedTimingPage,
     {Exact(&P::PeakSpeed, 1.0), Exact(&P::AccelTime, 0.003), Exact(&P::FeedTime, 0.023),
      Near(&P::CycleTime, 0.046)},
     false,
     std::nullopt},
    {"TrapezoidLongFeed",
     [](P& p) { p.FeedLength = 0.5; },
     FeedTimingPage,
     {Exact(&P::PeakSpeed, 1.3334), Exact(&P::AccelTime, 0.209), Exact(&P::FeedTime, 0.594),
      Near(&P::CycleTime, 1.188)},
     false,
     std::nullopt},
    {"RoundingTurnsTrapezoidIntoTriangle",
     [](P& p) { p.FeedLength = 0.1934; },
     StrokeRatePage,
     {Exact(&P::Accel, 14.4), Near(&P::MeanAccel, 9.167325), Near(&P::PeakSpeed, 1.329262),
      Near(&P::AccelTime, 0.145)},
     true,
     0},
    // The second pass leaves the exact trapezoid acceleration in MeanAccel,
    // not the one of the rounded Accel.
    {"RoundingTurnsTriangleIntoTrapezoid",
     [](P& p) {
       p.StrokeRate = 120;
       p.FeedLength = 0.16;
     },
     StrokeRatePage,
     {Exact(&P::Accel, 17.5), Near(&P::MeanAccel, 11.11111), Near(&P::AccelTime, 0.1200060),
      Exact(&P::PeakSpeed, 1.3334)},
     false,
     0},
    // 0.5 / (h * h) with h = 10/3 s is 0.045 in extended precision, so
    // Accel * 100 is exactly 4.5 and rounds up to 0.05. With double
    // intermediates the quotient is a hair below 0.045 and Accel drops to
    // 0.04.
    {"AccelOnHalfStep",
     [](P& p) {
       p.FeedLength = 0.5;
       p.StrokeRate = 5;
       p.ApertureAngle = 200;
       p.SettleTime = 0;
       p.SinSqRamps = false;
     },
     StrokeRatePage,
     {Exact(&P::Accel, 0.05), Exact(&P::MeanAccel, 0.05), Near(&P::PeakSpeed, 0.1666667),
      Near(&P::AccelTime, 3.333333)},
     true,
     0},
    {"AccelRoundedToZero",
     [](P& p) { p.StrokeRate = 5; },
     StrokeRatePage,
     {Exact(&P::Accel, 0.0), Exact(&P::MeanAccel, 0.0), Exact(&P::PeakSpeed, 0.0),
      Near(&P::AccelTime, 2.995)},
     true,
     0},
    // With h = 0.25 s and linear ramps the demanded acceleration is
    // FeedLength * 16.
    {"AccelJustBelowCoarseRounding",
     [](P& p) {
       p.StrokeRate = 60;
       p.SettleTime = 0;
       p.MaxSpeed = 400.0 / 60;
       p.SinSqRamps = false;
       p.FeedLength = 9.994 / 16;
     },
     StrokeRatePage,
     {Exact(&P::Accel, 9.99)},
     true,
     0},
    {"AccelFromCoarseRounding",
     [](P& p) {
       p.StrokeRate = 60;
       p.SettleTime = 0;
       p.MaxSpeed = 400.0 / 60;
       p.SinSqRamps = false;
       p.FeedLength = 9.9991 / 16;
     },
     StrokeRatePage,
     {Exact(&P::Accel, 10.0)},
     true,
     0},
};

class ProfileTest : public CalcTest, public ::testing::WithParamInterface<ProfileCase> {};

TEST_P(ProfileTest, MatchesTheWorkedFigures) {
  const ProfileCase& c = GetParam();
  c.change(FeedParams);
  CalcFeed(c.request);

  for (const Expected& e : c.values) {
    const double actual = FeedParams.*e.field;
    if (e.exact) {
      EXPECT_EQ(actual, e.value) << NameOf(e.field);
    } else {
      EXPECT_NEAR(actual, e.value, std::fabs(e.value) * 1e-6) << NameOf(e.field);
    }
  }
  if (c.isTriangle) {
    EXPECT_EQ(FeedParams.IsTriangle, *c.isTriangle);
  }
  if (c.limitFlags) {
    EXPECT_EQ(FeedParams.LimitFlags, *c.limitFlags);
  }
  EXPECT_EQ(reports_, 0);
}

INSTANTIATE_TEST_SUITE_P(Calc, ProfileTest, ::testing::ValuesIn(ProfileCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The feed-timing page starts from the acceleration the stroke-rate page has
// just computed.
TEST_F(CalcTest, FeedTimingWorksWithTheComputedAccel) {
  CalcFeed(StrokeRatePage);
  ASSERT_EQ(FeedParams.Accel, 0.75);
  CalcFeed(FeedTimingPage);
  EXPECT_NEAR(FeedParams.MeanAccel, 0.4774648, 1e-7);
  EXPECT_NEAR(FeedParams.PeakSpeed, 0.06909883, 1e-8);
  EXPECT_TRUE(FeedParams.IsTriangle);
  // t = 144.72 ms: 145 ms up, 144 ms down, plus 10 ms settling.
  EXPECT_EQ(FeedParams.AccelTime, 0.145);
  EXPECT_EQ(FeedParams.FeedTime, 0.299);
  EXPECT_NEAR(FeedParams.CycleTime, 0.598, 1e-12);
}

// The feed-timing part runs first: had the stroke-rate part run before it,
// the feed timing would have used the new Accel and left other results.
TEST_F(CalcTest, AllRequestsRunInFixedOrder) {
  CalcFeed(StrokeRatePage);
  const TFeedParams strokeRateOnly = FeedParams;

  FeedParams = TFeedParams{};
  SetDefaultFeedParams();
  CalcFeed(CALC_FEEDTIME | CALC_STROKERATE | CALC_CYCLE);
  EXPECT_TRUE(ChangedFields(strokeRateOnly, FeedParams).empty());
}

TEST_F(CalcTest, ARequestWritesOnlyItsOwnFields) {
  struct Case {
    uint8_t request;
    std::set<std::string> written;
  };
  const std::set<std::string> feedTime = {"MeanAccel", "FeedTime", "AccelTime", "PeakSpeed",
                                          "IsTriangle"};
  const std::set<std::string> strokeRate = {"Accel",     "MeanAccel",  "FeedTime",  "AccelTime",
                                            "PeakSpeed", "IsTriangle", "LimitFlags"};
  const Case cases[] = {
      {CALC_FEEDTIME, feedTime},
      {CALC_STROKERATE, strokeRate},
      {CALC_CYCLE, {"CycleTime"}},
      {FeedTimingPage,
       {"MeanAccel", "FeedTime", "AccelTime", "PeakSpeed", "CycleTime", "IsTriangle"}},
      {0x00, {}},
      {static_cast<uint8_t>(~(CALC_FEEDTIME | CALC_STROKERATE | CALC_CYCLE)), {}},
  };
  for (const Case& c : cases) {
    SetDefaultFeedParams();
    // Results that no calculation at the defaults gives.
    FeedParams.MeanAccel = 111;
    FeedParams.FeedTime = 222;
    FeedParams.AccelTime = 333;
    FeedParams.PeakSpeed = 444;
    FeedParams.IsTriangle = false;
    FeedParams.LimitFlags = 0x5A5A;
    FeedParams.CycleTime = 555;
    const TFeedParams before = FeedParams;

    CalcFeed(c.request);
    const std::vector<std::string> changed = ChangedFields(before, FeedParams);
    EXPECT_EQ(std::set<std::string>(changed.begin(), changed.end()), c.written)
        << "request " << int(c.request);
  }
}

// --- Results without a value, and inputs no window can enter ---------------

// The stroke rate 5 rounds the acceleration to 0.00; the feed-timing page
// then has no ramp time (0 / 0).
TEST_F(CalcTest, ZeroAccelLeavesFeedTimingWithoutTimes) {
  FeedParams.StrokeRate = 5;
  CalcFeed(StrokeRatePage);
  ASSERT_EQ(FeedParams.Accel, 0.0);

  CalcFeed(FeedTimingPage);
  EXPECT_FALSE(HasValue(FeedParams.AccelTime));
  EXPECT_FALSE(HasValue(FeedParams.FeedTime));
  EXPECT_FALSE(HasValue(FeedParams.CycleTime));
  EXPECT_TRUE(HasValue(FeedParams.PeakSpeed));
  EXPECT_EQ(FeedParams.PeakSpeed, 0.0);
  EXPECT_EQ(FeedParams.MeanAccel, 0.0);
  EXPECT_TRUE(FeedParams.IsTriangle);
  EXPECT_EQ(FeedParams.Accel, 0.0);
  EXPECT_EQ(reports_, 0);
}

TEST_F(CalcTest, NoValueIsRecognisable) {
  EXPECT_TRUE(std::isnan(NoValue));
  EXPECT_FALSE(HasValue(NoValue));
  EXPECT_FALSE(HasValue(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(HasValue(-std::numeric_limits<double>::infinity()));
  EXPECT_TRUE(HasValue(0.0));
  EXPECT_TRUE(HasValue(-1e300));
}

// A settling time at or below minus the movement is stored unchecked; the
// feed and cycle times are then 0 or negative, but real values.
TEST_F(CalcTest, SettlingTimeCanEatTheWholeFeed) {
  struct Case {
    double settleTime;
    double feedTime;  // 40 ms + 39 ms + settling
  };
  const Case cases[] = {{-0.079, 0.0}, {-1.0, -0.921}};
  for (const Case& c : cases) {
    SetDefaultFeedParams();
    FeedParams.SettleTime = c.settleTime;
    CalcFeed(FeedTimingPage);
    EXPECT_NEAR(FeedParams.FeedTime, c.feedTime, 1e-15) << c.settleTime;
    ASSERT_TRUE(HasValue(FeedParams.CycleTime)) << c.settleTime;
    EXPECT_NEAR(FeedParams.CycleTime, c.feedTime * 2, 1e-15) << c.settleTime;
  }
}

// A tiny acceleration (only an edited settings file holds one) makes the
// ramp time finite but far beyond DtoL's range: both ramps are reported and
// taken as 0 ms, and the calculation goes on.
TEST_F(CalcTest, RampBeyondDtoLRangeIsReportedAndTakenAsZero) {
  FeedParams.Accel = 1e-20;
  FeedParams.SinSqRamps = false;
  CalcFeed(FeedTimingPage);
  EXPECT_EQ(reports_, 2);
  EXPECT_EQ(FeedParams.AccelTime, 0.0);
  EXPECT_EQ(FeedParams.FeedTime, 0.01);
  EXPECT_TRUE(FeedParams.IsTriangle);
}

// With the defaults as the stroke-rate page reads them back from its boxes
// (P240 shown as 80 m/min), 3320 mm at 12 strokes/min leave the trapezoid's
// denominator barely above zero: the acceleration goes beyond the rounding's
// range and is taken as 0. That is no setting the drive can be given, so it
// is flagged like one above P241.
TEST_F(CalcTest, AnAccelerationBeyondTheRoundingsRangeBreaksTheLimit) {
  FeedParams.FeedLength = 3.32;
  FeedParams.StrokeRate = 12;
  FeedParams.MaxSpeed = 80.0 / 60;
  CalcFeed(StrokeRatePage);
  EXPECT_EQ(reports_, 1);
  EXPECT_EQ(FeedParams.Accel, 0.0);
  EXPECT_NE(FeedParams.LimitFlags & LimitAccelOutside, 0);
  EXPECT_EQ(FeedParams.LimitFlags & LimitWindowRaised, 0);
}

// The record entry computes on the record it is given, exactly as the
// window's entry does on FeedParams, and counts instead of reporting.
TEST_F(CalcTest, TheRecordEntryComputesTheSameAndCountsItsReports) {
  struct Case {
    const char* name;
    void (*change)(TFeedParams&);
    uint8_t request;
    unsigned reports;
  };
  const Case cases[] = {
      {"defaults, stroke rate", [](P&) {}, StrokeRatePage, 0},
      {"defaults, feed timing", [](P&) {}, FeedTimingPage, 0},
      {"acceleration out of area",
       [](P& p) {
         p.FeedLength = 3.32;
         p.StrokeRate = 12;
         p.MaxSpeed = 80.0 / 60;
       },
       StrokeRatePage, 1},
      {"both ramps out of area",
       [](P& p) {
         p.Accel = 1e-20;
         p.SinSqRamps = false;
       },
       FeedTimingPage, 2},
      {"every request", [](P& p) { p.FeedLength = 0.5; },
       CALC_FEEDTIME | CALC_STROKERATE | CALC_CYCLE, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetDefaultFeedParams();
    c.change(FeedParams);
    TFeedParams own = FeedParams;
    const TFeedParams before = FeedParams;
    reports_ = 0;

    EXPECT_EQ(CalcFeed(own, c.request), c.reports);
    EXPECT_EQ(reports_, 0) << "the record entry shows nothing itself";
    EXPECT_TRUE(ChangedFields(before, FeedParams).empty()) << "FeedParams was written";

    CalcFeed(c.request);
    EXPECT_EQ(reports_, static_cast<int>(c.reports));
    EXPECT_TRUE(ChangedFields(FeedParams, own).empty());
  }
}

struct UndefinedCase {
  const char* name;
  void (*change)(TFeedParams&);  // applied to the defaults
  uint8_t request;
  std::vector<DoubleField> noValue;  // every other result has a value
  std::optional<double> accel;
  std::optional<uint16_t> limitFlags;
  int reports;
};

void PrintTo(const UndefinedCase& c, std::ostream* os) {
  *os << c.name;
}

constexpr double Huge = 1e308;
constexpr double Max = std::numeric_limits<double>::max();

const UndefinedCase UndefinedCases[] = {
    // 60/0 * 0/360 has no value: no acceleration can be derived, so the
    // drive keeps the one it has.
    {"ZeroStrokeRateAndAngle",
     [](P& p) {
       p.StrokeRate = 0;
       p.ApertureAngle = 0;
     },
     StrokeRatePage,
     {&P::MeanAccel, &P::FeedTime, &P::AccelTime, &P::PeakSpeed, &P::CycleTime},
     10.0,
     0,
     0},
    // An endless stroke: no acceleration is needed, but no time is finite.
    {"ZeroStrokeRate",
     [](P& p) { p.StrokeRate = 0; },
     StrokeRatePage,
     {&P::FeedTime, &P::AccelTime, &P::PeakSpeed, &P::CycleTime},
     0.0,
     0,
     0},
    {"ZeroAngleStrokeRate",
     [](P& p) { p.ApertureAngle = 0; },
     StrokeRatePage,
     {&P::CycleTime},
     1570794.8,
     3,
     0},
    {"ZeroAngleFeedTiming",
     [](P& p) { p.ApertureAngle = 0; },
     FeedTimingPage,
     {&P::CycleTime},
     10.0,
     std::nullopt,
     0},
    {"ZeroSpeedLimit",
     [](P& p) { p.SpeedLimit = 0; },
     FeedTimingPage,
     {&P::FeedTime, &P::CycleTime},
     10.0,
     std::nullopt,
     0},
    {"NegativeFeedLengthFeedTiming",
     [](P& p) { p.FeedLength = -0.01; },
     FeedTimingPage,
     {&P::PeakSpeed, &P::AccelTime, &P::FeedTime, &P::CycleTime},
     10.0,
     std::nullopt,
     0},
    // The demanded acceleration is simply negative and flagged.
    {"NegativeFeedLengthStrokeRate",
     [](P& p) { p.FeedLength = -0.01; },
     StrokeRatePage,
     {},
     -0.75,
     1,
     0},
    {"ZeroMaxSpeed", [](P& p) { p.MaxSpeed = 0; }, StrokeRatePage, {}, 1570794.8, 1, 0},
    {"HugeSettleStrokeRate",
     [](P& p) { p.SettleTime = Huge; },
     StrokeRatePage,
     {&P::CycleTime},
     1570794.8,
     3,
     0},
    // h * h is far beyond double but not beyond extended: the acceleration
    // underflows to 0.
    {"HugeNegativeSettleStrokeRate",
     [](P& p) { p.SettleTime = -Huge; },
     StrokeRatePage,
     {},
     0.0,
     0,
     0},
    {"MaxSettleFeedTiming",
     [](P& p) { p.SettleTime = Max; },
     FeedTimingPage,
     {&P::CycleTime},
     10.0,
     std::nullopt,
     0},
    {"MaxNegativeSettleFeedTiming",
     [](P& p) { p.SettleTime = -Max; },
     FeedTimingPage,
     {&P::CycleTime},
     10.0,
     std::nullopt,
     0},
    {"NegativeAccelFeedTiming",
     [](P& p) { p.Accel = -1; },
     FeedTimingPage,
     {&P::PeakSpeed, &P::AccelTime, &P::FeedTime, &P::CycleTime},
     -1.0,
     std::nullopt,
     0},
};

class UndefinedTest : public CalcTest, public ::testing::WithParamInterface<UndefinedCase> {};

TEST_P(UndefinedTest, StoresNoValueAndKeepsInputsFinite) {
  const UndefinedCase& c = GetParam();
  c.change(FeedParams);
  CalcFeed(c.request);

  for (DoubleField field : ResultFields) {
    const bool expectNoValue =
        std::find(c.noValue.begin(), c.noValue.end(), field) != c.noValue.end();
    EXPECT_EQ(HasValue(FeedParams.*field), !expectNoValue) << NameOf(field);
  }
  if (c.accel) {
    EXPECT_EQ(FeedParams.Accel, *c.accel);
  }
  if (c.limitFlags) {
    EXPECT_EQ(FeedParams.LimitFlags, *c.limitFlags);
  }
  EXPECT_EQ(reports_, c.reports);
}

INSTANTIATE_TEST_SUITE_P(Calc, UndefinedTest, ::testing::ValuesIn(UndefinedCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Whatever an edited settings file or an extreme settling time brings in,
// every request completes, no result holds an infinity, Accel stays finite
// and no other input changes.
TEST_F(CalcTest, HostileInputsNeverLeaveAnInfinity) {
  using Changes = std::vector<std::pair<DoubleField, double>>;
  const double inf = std::numeric_limits<double>::infinity();
  const Changes rows[] = {
      {{&P::StrokeRate, 0}},    {{&P::StrokeRate, 0}, {&P::ApertureAngle, 0}},
      {{&P::StrokeRate, -100}}, {{&P::StrokeRate, 1e-300}},
      {{&P::ApertureAngle, 0}}, {{&P::ApertureAngle, -1}},
      {{&P::SpeedLimit, 0}},    {{&P::SpeedLimit, -1}},
      {{&P::SpeedLimit, inf}},  {{&P::MaxSpeed, 0}},
      {{&P::MaxSpeed, inf}},    {{&P::MaxSpeed, inf}, {&P::FeedLength, inf}},
      {{&P::FeedLength, 0}},    {{&P::FeedLength, -1}},
      {{&P::FeedLength, Huge}}, {{&P::FeedLength, inf}},
      {{&P::Accel, 0}},         {{&P::Accel, -1}},
      {{&P::Accel, Max}},       {{&P::Accel, 1e-300}},
      {{&P::MaxAccel, -1}},     {{&P::SettleTime, Max}},
      {{&P::SettleTime, -Max}}, {{&P::SettleTime, 1e-300}},
  };
  const std::set<std::string> mayChange = {"Accel",     "MeanAccel",  "FeedTime",   "AccelTime",
                                           "PeakSpeed", "IsTriangle", "LimitFlags", "CycleTime"};
  const uint8_t requests[] = {StrokeRatePage, FeedTimingPage,
                              CALC_FEEDTIME | CALC_STROKERATE | CALC_CYCLE};
  for (const Changes& row : rows) {
    std::string where;
    for (const auto& [field, value] : row) {
      where += std::string(NameOf(field)) + " = " + std::to_string(value) + "; ";
    }
    for (uint8_t request : requests) {
      SetDefaultFeedParams();
      for (const auto& [field, value] : row) {
        FeedParams.*field = value;
      }
      const TFeedParams before = FeedParams;
      CalcFeed(request);

      SCOPED_TRACE(where + "request " + std::to_string(request));
      EXPECT_TRUE(HasValue(FeedParams.Accel));
      for (DoubleField result : ResultFields) {
        EXPECT_FALSE(std::isinf(FeedParams.*result)) << NameOf(result);
      }
      for (const std::string& changed : ChangedFields(before, FeedParams)) {
        EXPECT_TRUE(mayChange.count(changed)) << changed;
      }
    }
  }
}

}  // namespace
