// SPDX-License-Identifier: MIT
#include "pages/Pictures.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "app/TextCodec.h"
#include "calc/FeedCalc.h"
#include "pages/InputFields.h"
#include "pages/PageResults.h"
#include "pages/Texts.h"
#include "settings/DecimalText.h"

namespace {

constexpr double kWidth = 820;
constexpr double kHeight = 560;
constexpr double kLeft = 80;
constexpr double kRight = 30;
constexpr double kTop = 30;
constexpr double kBottom = 160;
constexpr double kPlotWidth = kWidth - kLeft - kRight;
constexpr double kPlotHeight = kHeight - kTop - kBottom;
constexpr int kRampSamples = 48;
// Between the settings of a caption line (SVG collapses runs of blanks).
constexpr const char* kSeparator = "  \u00B7  ";
constexpr double kDegreesPerStroke = 360;
constexpr double kSecondsPerMinute = 60;

constexpr const char* kTriangleColour = "#1f5fa8";
constexpr const char* kTrapezoidColour = "#d2571c";

std::string Xml(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string Num(double value) {
  std::string text;
  AppendFixed(text, value, 2);
  return text;
}

// A tick label: the value with as many decimals as the step needs.
std::string TickLabel(double value, double step) {
  const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
  std::string text;
  AppendFixed(text, value, decimals);
  return text == "-0" ? "0" : text;
}

double NiceStep(double range, int wanted) {
  const double raw = range / wanted;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  const double norm = raw / magnitude;
  return (norm < 1.5 ? 1 : norm < 3 ? 2 : norm < 7 ? 5 : 10) * magnitude;
}

// One axis of the plot: data values to pixels.
struct TAxis {
  double Low;
  double High;
  bool Log = false;

  double Fraction(double v) const {
    if (Log) {
      return (std::log10(v) - std::log10(Low)) / (std::log10(High) - std::log10(Low));
    }
    return (v - Low) / (High - Low);
  }
};

class TPlot {
 public:
  TPlot(TAxis x, TAxis y) : x_(x), y_(y) {}

  double X(double v) const { return kLeft + x_.Fraction(v) * kPlotWidth; }
  double Y(double v) const { return kTop + (1 - y_.Fraction(v)) * kPlotHeight; }

  std::string Begin() const {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(kWidth) + "\" height=\"" +
           Num(kHeight) + "\" viewBox=\"0 0 " + Num(kWidth) + ' ' + Num(kHeight) +
           "\" font-family=\"DejaVu Sans, Liberation Sans, Arial, sans-serif\" font-size=\"13\">\n"
           "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  }

  // Frame, grid, ticks and the axis labels.
  std::string Axes(const std::string& xLabel, const std::string& yLabel) const {
    std::string out;
    out += XTicks();
    out += YTicks();
    out += "<rect x=\"" + Num(kLeft) + "\" y=\"" + Num(kTop) + "\" width=\"" + Num(kPlotWidth) +
           "\" height=\"" + Num(kPlotHeight) + "\" fill=\"none\" stroke=\"black\"/>\n";
    out += "<text x=\"" + Num(kLeft + kPlotWidth / 2) + "\" y=\"" + Num(kTop + kPlotHeight + 42) +
           "\" text-anchor=\"middle\">" + Xml(xLabel) + "</text>\n";
    out += "<text transform=\"translate(" + Num(22) + ' ' + Num(kTop + kPlotHeight / 2) +
           ") rotate(-90)\" text-anchor=\"middle\">" + Xml(yLabel) + "</text>\n";
    return out;
  }

 private:
  std::string Tick(double v, bool horizontal, const std::string& label, bool major) const {
    std::string out;
    const char* grid = major ? "#d0d0d0" : "#ececec";
    if (horizontal) {
      const std::string x = Num(X(v));
      out += "<line x1=\"" + x + "\" y1=\"" + Num(kTop) + "\" x2=\"" + x + "\" y2=\"" +
             Num(kTop + kPlotHeight) + "\" stroke=\"" + grid + "\"/>\n";
      out += "<line x1=\"" + x + "\" y1=\"" + Num(kTop + kPlotHeight) + "\" x2=\"" + x +
             "\" y2=\"" + Num(kTop + kPlotHeight + (major ? 6 : 3)) + "\" stroke=\"black\"/>\n";
      if (!label.empty()) {
        out += "<text x=\"" + x + "\" y=\"" + Num(kTop + kPlotHeight + 20) +
               "\" text-anchor=\"middle\">" + Xml(label) + "</text>\n";
      }
    } else {
      const std::string y = Num(Y(v));
      out += "<line x1=\"" + Num(kLeft) + "\" y1=\"" + y + "\" x2=\"" + Num(kLeft + kPlotWidth) +
             "\" y2=\"" + y + "\" stroke=\"" + grid + "\"/>\n";
      out += "<line x1=\"" + Num(kLeft - 6) + "\" y1=\"" + y + "\" x2=\"" + Num(kLeft) +
             "\" y2=\"" + y + "\" stroke=\"black\"/>\n";
      out += "<text x=\"" + Num(kLeft - 10) + "\" y=\"" + Num(Y(v) + 4) +
             "\" text-anchor=\"end\">" + Xml(label) + "</text>\n";
    }
    return out;
  }

  std::string LinearTicks(const TAxis& axis, bool horizontal) const {
    std::string out;
    const double step = NiceStep(axis.High - axis.Low, horizontal ? 8 : 6);
    for (double k = std::ceil(axis.Low / step - 1e-9); k * step <= axis.High + step * 1e-9; ++k) {
      out += Tick(k * step, horizontal, TickLabel(k * step, step), true);
    }
    return out;
  }

  std::string XTicks() const {
    if (!x_.Log) {
      return LinearTicks(x_, true);
    }
    std::string out;
    const double decades = std::log10(x_.High) - std::log10(x_.Low);
    for (int e = static_cast<int>(std::floor(std::log10(x_.Low))); std::pow(10.0, e) <= x_.High;
         ++e) {
      for (int m = 1; m <= 9; ++m) {
        const double v = m * std::pow(10.0, e);
        if (v < x_.Low * (1 - 1e-12) || v > x_.High * (1 + 1e-12)) {
          continue;
        }
        const bool labelled = m == 1 || (decades < 2.5 && (m == 2 || m == 5));
        out +=
            Tick(v, true, labelled ? TickLabel(v, std::min(1.0, std::pow(10.0, e))) : "", m == 1);
      }
    }
    return out;
  }

  std::string YTicks() const { return LinearTicks(y_, false); }

  TAxis x_;
  TAxis y_;
};

std::string CaptionLine(double y, const std::string& text) {
  return "<text x=\"" + Num(kLeft) + "\" y=\"" + Num(y) + "\">" + Xml(text) + "</text>\n";
}

std::string Setting(std::string_view control, TInput input, const TFeedParams& p, TLang lang) {
  return Utf16ToUtf8(CaptionOf(control, lang)) + ' ' + Utf16ToUtf8(FillText(input, p)) +
         (input == TInput::ApertureAngle ? "" : " ") + Utf16ToUtf8(UnitOf(input));
}

std::string DriveSettings(const TFeedParams& p, TLang lang) {
  return Setting("LB_ApertAngle1", TInput::ApertureAngle, p, lang) + kSeparator +
         Setting("LB_MaxSpeed1", TInput::MaxSpeed, p, lang) + kSeparator +
         Setting("LB_MaxAccel", TInput::MaxAccel, p, lang);
}

std::string RampSettings(const TFeedParams& p, TLang lang) {
  return Utf16ToUtf8(CaptionOf("CH_SinQramps", lang)) + ' ' +
         Utf16ToUtf8(OnOff(p.SinSqRamps, lang)) + kSeparator +
         Setting("LB_DampTim1", TInput::SettleTime, p, lang);
}

std::string Legend(double x, double y, const char* colour, std::u16string_view text) {
  return "<line x1=\"" + Num(x) + "\" y1=\"" + Num(y - 4) + "\" x2=\"" + Num(x + 24) + "\" y2=\"" +
         Num(y - 4) + "\" stroke=\"" + colour + "\" stroke-width=\"2.5\"/>\n<text x=\"" +
         Num(x + 30) + "\" y=\"" + Num(y) + "\">" + Xml(Utf16ToUtf8(text)) + "</text>\n";
}

}  // namespace

std::string ChartSvg(std::span<const TChartPicturePoint> points, const TFeedParams& settings,
                     bool logX, TLang lang) {
  const TPageWords& words = PageWords(lang);
  double low = points.empty() ? 1 : points.front().FeedLengthMm;
  double high = points.empty() ? 10 : points.back().FeedLengthMm;
  if (high <= low) {
    high = logX ? low * 10 : low + 1;
  }
  double top = 0;
  for (const TChartPicturePoint& point : points) {
    top = std::max(top, point.StrokeRate.value_or(0.0));
  }
  const double step = NiceStep(std::max(top, 10.0), 6);
  const TPlot plot({low, high, logX}, {0, std::ceil(std::max(top, 10.0) / step) * step});
  std::string out = plot.Begin();
  out += plot.Axes(Utf16ToUtf8(words.ChartFeedLength) + " (" + Utf16ToUtf8(UnitMillimetres) + ")",
                   Utf16ToUtf8(words.ChartStrokeRate) + " (" + Utf16ToUtf8(UnitPerMinute) + ")");
  // One path per run of points of the same profile, so the colour shows it.
  out += "<g fill=\"none\" stroke-width=\"2\" stroke-linejoin=\"round\">\n";
  std::string path;
  bool runTriangle = false;
  auto close = [&] {
    if (!path.empty()) {
      out += "<path stroke=\"" + std::string(runTriangle ? kTriangleColour : kTrapezoidColour) +
             "\" d=\"" + path + "\"/>\n";
      path.clear();
    }
  };
  const TChartPicturePoint* previous = nullptr;
  for (const TChartPicturePoint& point : points) {
    if (!point.StrokeRate) {
      close();
      previous = nullptr;
      continue;
    }
    const double x = point.FeedLengthMm;
    const double y = *point.StrokeRate;
    const bool triangle = point.Triangle;
    if (!path.empty() && triangle != runTriangle) {
      close();
      // The new run starts where the last one ended, so the line is unbroken.
      if (previous != nullptr) {
        path.assign("M");
        path.append(Num(plot.X(previous->FeedLengthMm)));
        path.push_back(',');
        path.append(Num(plot.Y(*previous->StrokeRate)));
      }
    }
    runTriangle = triangle;
    path.append(path.empty() ? "M" : " L");
    path.append(Num(plot.X(x)));
    path.push_back(',');
    path.append(Num(plot.Y(y)));
    previous = &point;
  }
  close();
  out += "</g>\n";
  out += Legend(kLeft + kPlotWidth - 170, kTop + 22, kTriangleColour, words.Triangle);
  out += Legend(kLeft + kPlotWidth - 170, kTop + 42, kTrapezoidColour, words.Trapezoid);
  if (!points.empty()) {
    out += CaptionLine(kHeight - 44, DriveSettings(settings, lang));
    out += CaptionLine(kHeight - 20, RampSettings(settings, lang));
  }
  return out + "</svg>\n";
}

std::string ProfileSvg(const TFeedParams& p, TLang lang) {
  const TPageWords& words = PageWords(lang);
  const TStrokeRateShown shown = StrokeRateShown(p);
  // Crank degrees per second at this stroke rate.
  const double degreesPerSecond = p.StrokeRate * kDegreesPerStroke / kSecondsPerMinute;
  const double move =
      HasValue(p.FeedTime) ? p.FeedTime - p.SettleTime : 0;  // both ramps and the run
  const double ramp = HasValue(p.AccelTime) ? std::min(p.AccelTime, move / 2) : 0;
  const double peak = HasValue(p.PeakSpeed) ? p.PeakSpeed * MetresPerMinutePerMetrePerSecond : 0;
  const double yStep = NiceStep(std::max(peak * 1.15, 1.0), 6);
  const TPlot plot({0, kDegreesPerStroke},
                   {0, std::ceil(std::max(peak * 1.15, 1.0) / yStep) * yStep});
  std::string out = plot.Begin();
  const double windowEnd = std::min(p.ApertureAngle, kDegreesPerStroke);
  out += "<rect x=\"" + Num(plot.X(0)) + "\" y=\"" + Num(kTop) + "\" width=\"" +
         Num(plot.X(windowEnd) - plot.X(0)) + "\" height=\"" + Num(kPlotHeight) +
         "\" fill=\"#dff0d8\"/>\n";
  out += "<text x=\"" + Num(plot.X(0) + 8) + "\" y=\"" + Num(kTop + 18) + "\" fill=\"#3c763d\">" +
         Xml(Utf16ToUtf8(words.OpenWindow)) + "</text>\n";
  const double settleFrom = std::clamp(move * degreesPerSecond, 0.0, kDegreesPerStroke);
  const double settleTo =
      std::clamp((move + p.SettleTime) * degreesPerSecond, 0.0, kDegreesPerStroke);
  if (settleTo > settleFrom) {
    out += "<rect x=\"" + Num(plot.X(settleFrom)) + "\" y=\"" + Num(kTop) + "\" width=\"" +
           Num(plot.X(settleTo) - plot.X(settleFrom)) + "\" height=\"" + Num(kPlotHeight) +
           "\" fill=\"#c8c8c8\" fill-opacity=\"0.6\"/>\n";
    out += "<text x=\"" + Num(plot.X(settleTo) + 4) + "\" y=\"" + Num(kTop + 36) + "\">" +
           Xml(Utf16ToUtf8(words.Settling)) + "</text>\n";
  }
  out += plot.Axes(Utf16ToUtf8(words.CrankAngle) + " (" + Utf16ToUtf8(UnitDegrees) + ")",
                   Utf16ToUtf8(words.FeedSpeed) + " (" + Utf16ToUtf8(UnitMetresPerMinute) + ")");
  // The speed over time: up over one ramp, the constant part, down over one ramp.
  const auto shape = [&](double f) {  // f from 0 to 1 along a ramp
    if (!p.SinSqRamps) {
      return f;
    }
    const double s = std::sin(std::numbers::pi / 2 * f);
    return s * s;
  };
  std::string path = "M" + Num(plot.X(0)) + ',' + Num(plot.Y(0));
  const auto add = [&](double t, double v) {
    const double angle = std::min(t * degreesPerSecond, kDegreesPerStroke);
    path += " L" + Num(plot.X(angle)) + ',' + Num(plot.Y(v));
  };
  const int samples = p.SinSqRamps ? kRampSamples : 1;
  for (int i = 1; i <= samples; ++i) {
    const double f = static_cast<double>(i) / samples;
    add(ramp * f, peak * shape(f));
  }
  add(move - ramp, peak);
  for (int i = 1; i <= samples; ++i) {
    const double f = static_cast<double>(i) / samples;
    add(move - ramp + ramp * f, peak * shape(1 - f));
  }
  add(kSecondsPerMinute / p.StrokeRate, 0);
  out += "<path d=\"" + path + "\" fill=\"none\" stroke=\"" +
         (p.IsTriangle ? kTriangleColour : kTrapezoidColour) + "\" stroke-width=\"2.5\"/>\n";
  const auto marked = [&](bool red) {
    return red ? " (" + Utf16ToUtf8(words.OverLimit) + ")" : "";
  };
  out += CaptionLine(kHeight - 92, Setting("LB_DesStrkRate", TInput::StrokeRate, p, lang) +
                                       kSeparator +
                                       Setting("LB_FeedLen1", TInput::FeedLength, p, lang));
  out += CaptionLine(kHeight - 68,
                     Utf16ToUtf8(RuntimeText(PeakLabel(p), lang)) + ' ' + Utf16ToUtf8(shown.Accel) +
                         ' ' + Utf16ToUtf8(UnitMetresPerSecond2) + marked(shown.AccelRed) +
                         kSeparator + Utf16ToUtf8(RuntimeText(shown.SpeedLabel, lang)) + ' ' +
                         Utf16ToUtf8(shown.Speed) + ' ' + Utf16ToUtf8(UnitMetresPerMinute) +
                         marked(shown.SpeedRed));
  out += CaptionLine(kHeight - 44, DriveSettings(p, lang));
  out += CaptionLine(kHeight - 20, RampSettings(p, lang));
  return out + "</svg>\n";
}
