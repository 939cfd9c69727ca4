// SPDX-License-Identifier: MIT
#include "cli/Output.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <iterator>
#include <utility>

#include "calc/FeedCalc.h"
#include "pages/Texts.h"

namespace {

std::string WithUnit(const std::u16string& value, std::u16string_view unit) {
  return Utf8(value) + ' ' + Utf8(unit);
}

std::string Marked(std::string text, bool red, TLang lang) {
  if (red) {
    text += "  (" + Utf8(PageWords(lang).OverLimit) + ')';
  }
  return text;
}

void AddInput(TTextTable& table, std::string_view control, TInput input, const TFeedParams& p,
              TLang lang, bool red = false) {
  table.Add(CaptionOf(control, lang),
            Marked(WithUnit(FillText(input, p), UnitOf(input)), red, lang));
}

}  // namespace

std::string ShortestNumber(double value) {
  std::string text;
  AppendShortest(text, value);
  return text;
}

std::string JsonString(std::string_view utf8) {
  // Invalid UTF-8 is replaced rather than refused: the output stays JSON.
  return nlohmann::json(std::string(utf8))
      .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void AppendCsvField(std::string& out, std::string_view field) {
  bool plain = true;
  for (char c : field) {
    plain = plain && c != ',' && c != '"' && c != '\r' && c != '\n';
  }
  if (plain) {
    out.append(field);
    return;
  }
  out.push_back('"');
  for (char c : field) {
    if (c == '"') {
      out.push_back('"');
    }
    out.push_back(c);
  }
  out.push_back('"');
}

TField NumberField(std::string_view key, double value) {
  if (!std::isfinite(value)) {
    return NullField(key);
  }
  return {key, TField::TKind::Number, value, {}};
}

TField TextField(std::string_view key, std::string text) {
  return {key, TField::TKind::Text, 0, std::move(text)};
}

TField NullField(std::string_view key) {
  return {key, TField::TKind::Null, 0, {}};
}

std::string_view ProfileKey(bool triangle) {
  return triangle ? "triangle" : "trapezoid";
}

void TField::SetText(std::u16string_view text) {
  SetText(std::string_view());
  // The window's result texts are ASCII digits, "." and "-".
  for (char16_t c : text) {
    if (c >= 0x80) {
      Text = Utf8(text);
      return;
    }
    Text.push_back(static_cast<char>(c));
  }
}

namespace {

constexpr TResultField<TRateResult> kRateFields[] = {
    {"accel_m_s2", [](const TRateResult& r) { return r.AccelMs2; }},
    {"peak_speed_m_min", [](const TRateResult& r) { return r.PeakSpeedMmin; }},
    {"profile", [](const TRateResult& r) { return ProfileKey(r.After.IsTriangle); }},
    {"accel_over_limit", [](const TRateResult& r) { return r.AccelOverLimit; }},
    {"window_raised", [](const TRateResult& r) { return r.WindowRaised; }},
    {"accel_text", [](const TRateResult& r) -> std::u16string_view { return r.Shown.Accel; }},
    {"peak_speed_text", [](const TRateResult& r) -> std::u16string_view { return r.Shown.Speed; }},
};

constexpr TResultField<TTimingResult> kTimingFields[] = {
    {"feed_time_s", [](const TTimingResult& r) { return r.FeedTimeS; }},
    {"ramp_time_s", [](const TTimingResult& r) { return r.RampTimeS; }},
    {"peak_speed_m_min", [](const TTimingResult& r) { return r.PeakSpeedMmin; }},
    {"profile", [](const TTimingResult& r) { return ProfileKey(r.After.IsTriangle); }},
    {"stroke_rate_per_min", [](const TTimingResult& r) { return r.StrokeRatePerMin; }},
    {"feed_time_text",
     [](const TTimingResult& r) -> std::u16string_view { return r.Shown.FeedTime; }},
    {"ramp_time_text",
     [](const TTimingResult& r) -> std::u16string_view { return r.Shown.AccelTime; }},
    {"peak_speed_text",
     [](const TTimingResult& r) -> std::u16string_view { return r.Shown.Speed; }},
    {"stroke_rate_text",
     [](const TTimingResult& r) -> std::u16string_view { return r.Shown.StrokeRate; }},
};

// Every field of a table into fields, the loop over the table unrolled when
// compiling: each field is then read off the result directly, where a loop
// would jump through a function pointer per field, which a batch of a
// million rows pays for in mispredicted jumps.
template <const auto& kTable, typename TResult>
void FillFields(const TResult& result, std::vector<TField>& fields) {
  constexpr size_t kCount = std::size(kTable);
  fields.resize(kCount);
  const auto fill = [&]<size_t... I>(std::index_sequence<I...>) {
    (kTable[I].Take(result, fields[I]), ...);
  };
  fill(std::make_index_sequence<kCount>());
}

}  // namespace

std::span<const TResultField<TRateResult>> RateResultFields() {
  return kRateFields;
}

std::span<const TResultField<TTimingResult>> TimingResultFields() {
  return kTimingFields;
}

void FillRateFields(const TRateResult& result, std::vector<TField>& fields) {
  FillFields<kRateFields>(result, fields);
}

void FillTimingFields(const TTimingResult& result, std::vector<TField>& fields) {
  FillFields<kTimingFields>(result, fields);
}

std::vector<TField> RateFields(const TRateResult& result) {
  std::vector<TField> fields;
  FillRateFields(result, fields);
  return fields;
}

std::vector<TField> TimingFields(const TTimingResult& result) {
  std::vector<TField> fields;
  FillTimingFields(result, fields);
  return fields;
}

std::string JsonObject(const std::vector<TField>& fields) {
  std::string out = "{";
  for (const TField& f : fields) {
    if (out.size() > 1) {
      out += ", ";
    }
    out += JsonString(f.Key);
    out += ": ";
    switch (f.Kind) {
      case TField::TKind::Number:
        AppendShortest(out, f.Number);
        break;
      case TField::TKind::Text:
        out += JsonString(f.Text);
        break;
      case TField::TKind::Bool:
        out += f.Flag ? "true" : "false";
        break;
      case TField::TKind::Null:
        out += "null";
        break;
    }
  }
  return out + "}";
}

void AppendCsvHeader(std::string& out, const std::vector<TField>& fields) {
  for (size_t i = 0; i < fields.size(); ++i) {
    out += i == 0 ? "" : ",";
    AppendCsvField(out, fields[i].Key);
  }
  out += "\r\n";
}

void AppendCsvRow(std::string& out, const std::vector<TField>& fields) {
  for (size_t i = 0; i < fields.size(); ++i) {
    out += i == 0 ? "" : ",";
    AppendCsvValue(out, fields[i]);
  }
  out += "\r\n";
}

void AppendCsvValue(std::string& out, const TField& field) {
  switch (field.Kind) {
    case TField::TKind::Number:
      AppendShortest(out, field.Number);
      break;
    case TField::TKind::Text:
      AppendCsvField(out, field.Text);
      break;
    case TField::TKind::Bool:
      out += field.Flag ? "true" : "false";
      break;
    case TField::TKind::Null:
      break;
  }
}

void TTextTable::Add(std::u16string_view label, std::string value) {
  rows_.emplace_back(Utf8(label), std::move(value));
}

void TTextTable::Gap() {
  rows_.emplace_back();
}

std::string TTextTable::Render() const {
  size_t width = 0;
  for (const auto& [label, value] : rows_) {
    width = std::max(width, DisplayWidth(label));
  }
  std::string out;
  for (const auto& [label, value] : rows_) {
    if (!label.empty() || !value.empty()) {
      out += label;
      out.append(width + 2 - DisplayWidth(label), ' ');
      out += value;
    }
    out += '\n';
  }
  return out;
}

std::string RateText(const TRateResult& r, TLang lang) {
  const TFeedParams& p = r.After;
  TTextTable table;
  AddInput(table, "LB_FeedLen1", TInput::FeedLength, p, lang);
  AddInput(table, "LB_DesStrkRate", TInput::StrokeRate, p, lang);
  AddInput(table, "LB_ApertAngle1", TInput::ApertureAngle, p, lang);
  AddInput(table, "LB_MaxSpeed1", TInput::MaxSpeed, p, lang);
  AddInput(table, "LB_MaxAccel", TInput::MaxAccel, p, lang);
  table.Add(CaptionOf("CH_SinQramps", lang), Utf8(OnOff(p.SinSqRamps, lang)));
  AddInput(table, "LB_DampTim1", TInput::SettleTime, p, lang);
  table.Gap();
  table.Add(RuntimeText(PeakLabel(p), lang),
            Marked(WithUnit(r.Shown.Accel, UnitMetresPerSecond2), r.Shown.AccelRed, lang));
  table.Add(RuntimeText(r.Shown.SpeedLabel, lang),
            Marked(WithUnit(r.Shown.Speed, UnitMetresPerMinute), r.Shown.SpeedRed, lang));
  const TCliWords& words = Words(lang);
  if (r.AccelOverLimit) {
    table.Add(words.LimitsCaption, Utf8(words.AccelOutside));
  }
  if (r.WindowRaised) {
    table.Add(r.AccelOverLimit ? u"" : words.LimitsCaption, Utf8(words.WindowRaised));
  }
  return table.Render();
}

std::string TimingText(const TTimingResult& r, TLang lang) {
  const TFeedParams& p = r.After;
  TTextTable table;
  AddInput(table, "LB_FeedLen2", TInput::FeedLength, p, lang);
  table.Add(RuntimeText(RampLabel(p), lang),
            Marked(WithUnit(FillText(TInput::Accel, p), UnitMetresPerSecond2),
                   AccelAboveMaxAccel(p), lang));
  AddInput(table, "LB_MaxSpeed2", TInput::SpeedLimit, p, lang, SpeedLimitAboveMaxSpeed(p));
  AddInput(table, "LB_ApertAngle2", TInput::ApertureAngle, p, lang);
  AddInput(table, "LB_DampTim2", TInput::SettleTime, p, lang);
  table.Gap();
  table.Add(CaptionOf("LB_FeedTotalTime", lang), WithUnit(r.Shown.FeedTime, UnitSeconds));
  table.Add(CaptionOf("LB_AccTime", lang), WithUnit(r.Shown.AccelTime, UnitSeconds));
  table.Add(RuntimeText(r.Shown.SpeedLabel, lang), WithUnit(r.Shown.Speed, UnitMetresPerMinute));
  table.Add(CaptionOf("LB_StrkRate", lang), WithUnit(r.Shown.StrokeRate, UnitPerMinute));
  return table.Render();
}
