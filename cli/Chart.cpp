// SPDX-License-Identifier: MIT
#include "cli/Chart.h"

#include <array>
#include <cmath>

#include "calc/FeedCalc.h"
#include "cli/Output.h"
#include "pages/Pictures.h"
#include "pages/Texts.h"
#include "settings/DecimalText.h"

namespace {

// Feed lengths are summed in double and typed with this many decimals.
constexpr int kTypedDecimals = 6;

std::u16string DecimalText(double value) {
  std::string text;
  AppendFixed(text, value, kTypedDecimals);
  while (!text.empty() && text.back() == '0') {
    text.pop_back();
  }
  if (!text.empty() && text.back() == '.') {
    text.pop_back();
  }
  return std::u16string(text.begin(), text.end());
}

std::string Header(std::u16string_view label, std::u16string_view unit) {
  return Utf8(label) + " (" + Utf8(unit) + ")";
}

// A point's fields for CSV and JSON. A point without a stroke rate free of
// limits has its feed length alone; its other fields are null.
std::vector<TField> PointFields(const TChartPoint& point) {
  const TRateResult* best = point.Best ? &*point.Best : nullptr;
  const auto number = [best](std::string_view key, double (*value)(const TRateResult&)) {
    return best != nullptr ? NumberField(key, value(*best)) : NullField(key);
  };
  const auto text = [best](std::string_view key, std::string (*value)(const TRateResult&)) {
    return best != nullptr ? TextField(key, value(*best)) : NullField(key);
  };
  return {
      NumberField("feed_length_mm", point.Params.FeedLength * MillimetresPerMetre),
      number("max_stroke_rate_per_min", [](const TRateResult& r) { return r.After.StrokeRate; }),
      number("accel_m_s2", [](const TRateResult& r) { return r.AccelMs2; }),
      number("peak_speed_m_min", [](const TRateResult& r) { return r.PeakSpeedMmin; }),
      text("profile",
           [](const TRateResult& r) { return std::string(ProfileKey(r.After.IsTriangle)); }),
      TextField("feed_length_text", Utf8(FillText(TInput::FeedLength, point.Params))),
      text("max_stroke_rate_text",
           [](const TRateResult& r) { return Utf8(FillText(TInput::StrokeRate, r.After)); }),
      text("accel_text", [](const TRateResult& r) { return Utf8(r.Shown.Accel); }),
      text("peak_speed_text", [](const TRateResult& r) { return Utf8(r.Shown.Speed); }),
  };
}

}  // namespace

std::vector<std::u16string> ChartFeedLengths(double from, double to, double step) {
  std::vector<std::u16string> lengths;
  if (!(step > 0) || !(to >= from) || !std::isfinite(to - from)) {
    return lengths;
  }
  // A sum that misses "to" by rounding alone still counts as reaching it.
  const double slack = step * 1e-9;
  for (long i = 0;; ++i) {
    const double value = from + static_cast<double>(i) * step;
    if (value > to + slack) {
      break;
    }
    lengths.push_back(DecimalText(std::min(value, to)));
  }
  return lengths;
}

std::optional<int> HighestFreeRate(TFeedParams params) {
  for (int rate = ChartHighestRate; rate >= ChartLowestRate; --rate) {
    StoreInput(TInput::StrokeRate, rate, params);
    // An acceleration beyond the rounding's range sets a limit flag too.
    CalcFeed(params, CALC_STROKERATE);
    if (params.LimitFlags == 0) {
      return rate;
    }
  }
  return std::nullopt;
}

std::vector<TChartPoint> ComputeChart(const std::vector<std::u16string>& feedLengths,
                                      const TBase& base, const TTyped& typed) {
  std::vector<TChartPoint> points;
  points.reserve(feedLengths.size());
  TTyped job = typed;
  job[TInput::StrokeRate].reset();
  for (const std::u16string& length : feedLengths) {
    job[TInput::FeedLength] = length;
    TChartPoint point{length, AcceptTyped(TRequest::Rate, base, job).Params, std::nullopt};
    if (const std::optional<int> rate = HighestFreeRate(point.Params)) {
      StoreInput(TInput::StrokeRate, *rate, point.Params);
      point.Best = RunRate(point.Params);
    }
    points.push_back(std::move(point));
  }
  return points;
}

std::string ChartText(const std::vector<TChartPoint>& points, TLang lang) {
  const TPageWords& words = PageWords(lang);
  constexpr size_t kColumns = 5;
  using TRow = std::array<std::string, kColumns>;
  const bool sinSq = !points.empty() && points.front().Params.SinSqRamps;
  std::vector<TRow> rows{TRow{
      Header(words.ChartFeedLength, UnitMillimetres), Header(words.ChartStrokeRate, UnitPerMinute),
      Header(RuntimeText(sinSq ? rtAccelPeak : rtAccelPlain, lang), UnitMetresPerSecond2),
      Header(words.ChartSpeed, UnitMetresPerMinute), Utf8(words.ChartProfile)}};
  for (const TChartPoint& point : points) {
    TRow row{Utf8(FillText(TInput::FeedLength, point.Params)), "-", "-", "-", "-"};
    if (point.Best) {
      const TRateResult& r = *point.Best;
      row[1] = Utf8(FillText(TInput::StrokeRate, r.After));
      row[2] = Utf8(r.Shown.Accel);
      row[3] = Utf8(r.Shown.Speed);
      row[4] = Utf8(r.After.IsTriangle ? words.Triangle : words.Trapezoid);
    }
    rows.push_back(std::move(row));
  }
  std::array<size_t, kColumns> widths{};
  for (const TRow& row : rows) {
    for (size_t c = 0; c < kColumns; ++c) {
      widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    }
  }
  std::string out;
  for (const TRow& row : rows) {
    for (size_t c = 0; c < kColumns; ++c) {
      const size_t pad = widths[c] - DisplayWidth(row[c]);
      const bool last = c + 1 == kColumns;
      if (last) {  // words, left-aligned, without trailing blanks
        out += row[c];
      } else {  // numbers, right-aligned
        out.append(pad, ' ');
        out += row[c];
        out += "  ";
      }
    }
    out += '\n';
  }
  return out;
}

std::string ChartCsv(const std::vector<TChartPoint>& points) {
  std::string out;
  bool header = true;
  for (const TChartPoint& point : points) {
    const std::vector<TField> fields = PointFields(point);
    if (header) {
      AppendCsvHeader(out, fields);
      header = false;
    }
    AppendCsvRow(out, fields);
  }
  if (header) {
    AppendCsvHeader(out, PointFields(TChartPoint{}));
  }
  return out;
}

std::string ChartJson(const std::vector<TChartPoint>& points) {
  std::string out = "[";
  for (size_t i = 0; i < points.size(); ++i) {
    out += i == 0 ? "\n  " : ",\n  ";
    out += JsonObject(PointFields(points[i]));
  }
  return out + (points.empty() ? "]\n" : "\n]\n");
}

std::string ChartPicture(const std::vector<TChartPoint>& points, bool logX, TLang lang) {
  std::vector<TChartPicturePoint> picture;
  picture.reserve(points.size());
  for (const TChartPoint& point : points) {
    TChartPicturePoint& shown = picture.emplace_back();
    shown.FeedLengthMm = point.Params.FeedLength * MillimetresPerMetre;
    if (point.Best) {
      shown.StrokeRate = point.Best->After.StrokeRate;
      shown.Triangle = point.Best->After.IsTriangle;
    }
  }
  return ChartSvg(picture, points.empty() ? TFeedParams{} : points.front().Params, logX, lang);
}
