// SPDX-License-Identifier: MIT
#pragma once
// The two pictures of the pages, as SVG: the chart of the highest stroke rate
// over the feed length, and the speed of the feed over one stroke. kolvane-calc
// writes them into files; the browser page shows the profile below the window.

#include <optional>
#include <span>
#include <string>

#include "calc/FeedParams.h"
#include "pages/Texts.h"

// One feed length of the chart and the highest stroke rate without a limit
// there, with its profile; no rate where none fits.
struct TChartPicturePoint {
  double FeedLengthMm;
  std::optional<double> StrokeRate;
  bool Triangle = false;
};

// Stroke rate over feed length, one line per run of points of the same
// profile, gaps where no rate fits; the drive's settings (of `settings`) as
// a caption.
std::string ChartSvg(std::span<const TChartPicturePoint> points, const TFeedParams& settings,
                     bool logX, TLang lang);

// The feed's speed over the crank angle of one stroke, counted from the
// opening of the tool, for the record after the stroke-rate request: the
// ramps (linear or sin^2), the constant part of a trapezoid, the settling
// time, and the open window shaded.
std::string ProfileSvg(const TFeedParams& after, TLang lang);
