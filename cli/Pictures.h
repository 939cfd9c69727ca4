// SPDX-License-Identifier: MIT
#pragma once
// The two pictures of kolvane-calc, as SVG: the chart of the highest stroke
// rate over the feed length, and the speed of the feed over one stroke.

#include <string>
#include <vector>

#include "cli/Chart.h"
#include "cli/CliTexts.h"
#include "cli/Job.h"

// Stroke rate over feed length, one line per run of points of the same
// profile, gaps where no rate fits; the drive's settings as a caption.
std::string ChartSvg(const std::vector<TChartPoint>& points, bool logX, TLang lang);

// The feed's speed over the crank angle of one stroke, counted from the
// opening of the tool, for the stroke-rate request's result: the ramps
// (linear or sin^2), the constant part of a trapezoid, the settling time, and
// the open window shaded.
std::string ProfileSvg(const TRateResult& result, TLang lang);
