// SPDX-License-Identifier: MIT
#include "calc/FeedCalc.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>

#include "calc/Extended.h"
#include "calc/FeedParams.h"

// Intermediates are carried in the x87 extended format and rounded to double
// only where a value is stored. Times that fall exactly on a half millisecond
// and accelerations exactly on a half rounding step can come out one step off
// if the intermediates are rounded to double on the way. Where long double is
// not that format (ARM64, WebAssembly), or the build asks for it, TExtended
// computes them bit for bit.

namespace {

#if defined(KOLVANE_PORTABLE_EXTENDED) || LDBL_MANT_DIG != 64
using Ext = TExtended;
#else
using Ext = long double;
#endif
static_assert(std::is_same_v<Ext, TExtended> || std::numeric_limits<Ext>::digits == 64,
              "the feed calculation needs 80-bit extended intermediates");

constexpr double PiHalf = 1.5707963267948966;  // peak to mean acceleration of a sin^2 ramp
constexpr double MsPerSecond = 1000;
constexpr double DecelBiasMs = 0.25;  // shortens the deceleration ramp on [.5, .75) ms
constexpr double SecondsPerMinute = 60;
constexpr double DegreesPerStroke = 360;
constexpr double MinHalfWindow = 0.003;      // s
constexpr double NoProfileAccel = 999999.0;  // m/s^2: marks a stroke rate that no profile fits
constexpr double FineRoundingBelow = 9.999;  // m/s^2
constexpr double FineSteps = 100;            // per m/s^2: two decimals
constexpr double CoarseSteps = 10;           // per m/s^2: one decimal
constexpr double DtoLGuard = 2147483000.0;

// Every field and every named intermediate is held as a double.
double Stored(Ext value) {
  return static_cast<double>(value);
}

TDtoLReporter& Reporter() {
  // Function-local, so that a reporter installed during another unit's
  // static initialisation is not wiped out afterwards.
  static TDtoLReporter reporter;
  return reporter;
}

// Shows each out-of-area report through the installed reporter.
void ReportOutOfArea(unsigned reports) {
  for (; reports > 0; --reports) {
    // A copy, so that the reporter may replace itself while it runs.
    const TDtoLReporter report = Reporter();
    if (report) {
      report();
    }
  }
}

// DtoL that counts its out-of-area reports instead of showing them, so that
// a request on any record can tell its caller how many it raised.
int32_t CountedDtoL(double x, unsigned& reports) {
  // Written as "not within", so that a NaN is out of area too: it has no
  // integer to round to.
  if (!(std::fabs(x) <= DtoLGuard)) {
    ++reports;
    return 0;
  }
  const double f = std::floor(x);
  const auto whole = static_cast<int32_t>(f);
  // Halves round up. The fraction x - f is exact in the extended format
  // wherever it lies below one half, and so is f + 0.5 in a double within
  // the guard: comparing x with f + 0.5 gives the extended comparison's
  // answer without its arithmetic.
  return x < f + 0.5 ? whole : whole + 1;
}

// Infinities and NaNs of any sign become the one NoValue.
void NoValueIfNotFinite(double& result) {
  if (!HasValue(result)) {
    result = NoValue;
  }
}

// Rounds a time in milliseconds through DtoL and returns it in seconds.
double WholeMs(double milliseconds, unsigned& reports) {
  return Stored(static_cast<Ext>(CountedDtoL(milliseconds, reports)) / MsPerSecond);
}

// The mean acceleration of a ramp whose programmed (peak) acceleration is
// accel.
double MeanAccelOf(const TFeedParams& p, double accel) {
  return p.SinSqRamps ? Stored(Ext{accel} / PiHalf) : accel;
}

// Both ramps and the constant-speed phase at SpeedLimit, rounded to whole
// milliseconds, plus the settling time.
double TrapezoidFeedTime(const TFeedParams& p, double td, unsigned& reports) {
  const double u = Stored(Ext{p.AccelTime} + td + Ext{p.FeedLength} / p.SpeedLimit -
                          (Ext{p.SpeedLimit} * p.SpeedLimit - Ext{p.StartSpeed} * p.StartSpeed) /
                              (Ext{p.SpeedLimit} * p.MeanAccel));
  if (!HasValue(u)) {
    return NoValue;
  }
  const double feedTime = WholeMs(Stored(Ext{u} * MsPerSecond), reports);
  return Stored(Ext{p.SettleTime} + feedTime);
}

void CalcFeedTime(TFeedParams& p, unsigned& reports) {
  p.MeanAccel = MeanAccelOf(p, p.Accel);
  const double vt = TrianglePeakSpeed(p);
  p.PeakSpeed = vt;
  p.IsTriangle = true;
  if (p.PeakSpeed > p.SpeedLimit) {
    p.PeakSpeed = p.SpeedLimit;
    p.IsTriangle = false;
  }
  const double rampSpeed = p.IsTriangle ? vt : p.SpeedLimit;
  const double t = Stored((Ext{rampSpeed} - p.StartSpeed) / p.MeanAccel);
  if (HasValue(t)) {
    p.AccelTime = WholeMs(Stored(Ext{t} * MsPerSecond), reports);
    const double td = WholeMs(Stored(Ext{t} * MsPerSecond - DecelBiasMs), reports);
    p.FeedTime = p.IsTriangle ? Stored(Ext{p.AccelTime} + td + p.SettleTime)
                              : TrapezoidFeedTime(p, td, reports);
  } else {
    // No ramp time (0/0 at zero acceleration): nothing to round or report.
    p.AccelTime = NoValue;
    p.FeedTime = NoValue;
  }
  NoValueIfNotFinite(p.MeanAccel);
  NoValueIfNotFinite(p.PeakSpeed);
  NoValueIfNotFinite(p.AccelTime);
  NoValueIfNotFinite(p.FeedTime);
}

// One pass of the stroke-rate programming: the triangle that fills the
// window 2h with MeanAccel, or the trapezoid at MaxSpeed when that triangle
// would run faster.
void ProfilePass(TFeedParams& p, double h) {
  // Each stored value is taken into the extended format once (exactly), not
  // once per use: the portable type pays for every conversion.
  const Ext halfWindow{h};
  const double e = Stored(Ext{p.MeanAccel} * halfWindow);
  if (e > p.MaxSpeed) {
    const Ext maxSpeed{p.MaxSpeed};
    const double g = Stored(maxSpeed * halfWindow * 2 - p.FeedLength);
    p.MeanAccel = g > 0 ? Stored(maxSpeed * maxSpeed / g) : NoProfileAccel;
    p.AccelTime = Stored(maxSpeed / p.MeanAccel);
    p.PeakSpeed = p.MaxSpeed;
    p.IsTriangle = false;
  } else {
    p.AccelTime = h;
    p.PeakSpeed = e;
    p.IsTriangle = true;
  }
}

// The drive takes two decimals below 9.999 m/s^2 and one from there on.
double RoundedAccel(double accel, unsigned& reports) {
  const Ext steps{accel < FineRoundingBelow ? FineSteps : CoarseSteps};
  return Stored(static_cast<Ext>(CountedDtoL(Stored(Ext{accel} * steps), reports)) / steps);
}

void CalcStrokeRate(TFeedParams& p, unsigned& reports) {
  p.LimitFlags = 0;
  double h =
      Stored((Ext{SecondsPerMinute} / p.StrokeRate * (Ext{p.ApertureAngle} / DegreesPerStroke) -
              p.SettleTime) /
             2);
  if (h < MinHalfWindow) {
    p.LimitFlags |= LimitWindowRaised;
    h = MinHalfWindow;
  }
  const Ext halfWindow{h};
  p.FeedTime = Stored(halfWindow * 2 + p.SettleTime);
  p.MeanAccel = Stored(Ext{p.FeedLength} / (halfWindow * halfWindow));
  ProfilePass(p, h);
  const double demanded = p.SinSqRamps ? Stored(Ext{PiHalf} * p.MeanAccel) : p.MeanAccel;
  if (std::isnan(demanded)) {
    // No acceleration can be derived (an undefined window): the drive keeps
    // its programmed value and nothing is flagged against it.
    p.MeanAccel = NoValue;
    p.AccelTime = NoValue;
    p.PeakSpeed = NoValue;
  } else {
    const unsigned before = reports;
    p.Accel = RoundedAccel(demanded, reports);
    // The second pass decides the profile for the acceleration the drive
    // will really be given.
    p.MeanAccel = MeanAccelOf(p, p.Accel);
    ProfilePass(p, h);
    // An acceleration beyond the rounding's range is taken as 0, which is no
    // setting the drive can be given: it breaks the limit as surely as one
    // above P241, and must not look like it fits.
    if (p.Accel < 0 || p.Accel > p.MaxAccel || reports != before) {
      p.LimitFlags |= LimitAccelOutside;
    }
  }
  NoValueIfNotFinite(p.FeedTime);
  NoValueIfNotFinite(p.MeanAccel);
  NoValueIfNotFinite(p.AccelTime);
  NoValueIfNotFinite(p.PeakSpeed);
}

void CalcCycle(TFeedParams& p) {
  p.CycleTime = Stored(Ext{p.FeedTime} * DegreesPerStroke / p.ApertureAngle);
  NoValueIfNotFinite(p.CycleTime);
}

}  // namespace

bool HasValue(double result) {
  return std::isfinite(result);
}

unsigned CalcFeed(TFeedParams& params, uint8_t request) {
  unsigned reports = 0;
  if (request & CALC_FEEDTIME) {
    CalcFeedTime(params, reports);
  }
  if (request & CALC_STROKERATE) {
    CalcStrokeRate(params, reports);
  }
  if (request & CALC_CYCLE) {
    CalcCycle(params);
  }
  return reports;
}

void CalcFeed(uint8_t request) {
  ReportOutOfArea(CalcFeed(FeedParams, request));
}

int32_t DtoL(double x) {
  unsigned reports = 0;
  const int32_t rounded = CountedDtoL(x, reports);
  ReportOutOfArea(reports);
  return rounded;
}

double TrianglePeakSpeed() {
  return TrianglePeakSpeed(FeedParams);
}

double TrianglePeakSpeed(const TFeedParams& p) {
  const double r = Stored(Ext{p.MeanAccel} * p.FeedLength + Ext{p.StartSpeed} * p.StartSpeed);
  using std::sqrt;  // for long double; TExtended brings its own
  return Stored(sqrt(Ext{r}));
}

void SetDtoLReporter(TDtoLReporter reporter) {
  Reporter() = std::move(reporter);
}
