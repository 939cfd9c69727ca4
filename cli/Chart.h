// SPDX-License-Identifier: MIT
#pragma once
// The feed-length / stroke-rate chart: for each feed length, the highest
// whole stroke rate at which the stroke-rate request breaks no limit.

#include <optional>
#include <string>
#include <vector>

#include "cli/CliTexts.h"
#include "cli/Job.h"

inline constexpr int ChartLowestRate = 5;
inline constexpr int ChartHighestRate = 2000;

struct TChartPoint {
  std::u16string FeedLengthText;  // as typed: the feed length of this point in mm
  TFeedParams Params;  // the record the point was computed with (stroke rate: the answer)
  std::optional<TRateResult> Best;  // the request at the highest rate without a limit flag
};

// The typed feed lengths from "from" to "to" (inclusive) in steps of "step",
// as decimal texts (the sums rounded to a millionth of a millimetre, so that
// 0.1 + 0.2 is typed as 0.3). Empty when step is not positive or to < from.
std::vector<std::u16string> ChartFeedLengths(double from, double to, double step);

// The highest whole stroke rate from 5 to 2000 at which the stroke-rate
// request sets no limit flag, found by trying every whole rate from the top,
// so that the answer is exact even where rounding makes the limit jump. A
// rate whose acceleration goes beyond the rounding's range ("Out of area
// (DtoL)", taken as 0 without a flag) counts as limited too.
// params holds every other input; its stroke rate is overwritten.
std::optional<int> HighestFreeRate(TFeedParams params);

// One point per feed length: the inputs of the stroke-rate page from the
// typed values and the base, with each feed length typed in turn. The
// feed lengths must be within range (the caller has checked the ends).
std::vector<TChartPoint> ComputeChart(const std::vector<std::u16string>& feedLengths,
                                      const TBase& base, const TTyped& typed);

std::string ChartText(const std::vector<TChartPoint>& points, TLang lang);
std::string ChartCsv(const std::vector<TChartPoint>& points);
std::string ChartJson(const std::vector<TChartPoint>& points);

// The chart as an SVG picture (pages/Pictures.h).
std::string ChartPicture(const std::vector<TChartPoint>& points, bool logX, TLang lang);
