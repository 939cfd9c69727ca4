// SPDX-License-Identifier: MIT
#include "cli/Output.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>

#include "calc/FeedCalc.h"
#include "pages/Texts.h"

namespace {

std::string WithUnit(const std::u16string& value, std::u16string_view unit) {
  return Utf8(value) + ' ' + Utf8(unit);
}

std::string Marked(std::string text, bool red, TLang lang) {
  if (red) {
    text += "  (" + Utf8(Words(lang).OverLimit) + ')';
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

TField BoolField(std::string_view key, bool flag) {
  return {key, TField::TKind::Bool, 0, {}, flag};
}

std::string_view ProfileKey(bool triangle) {
  return triangle ? "triangle" : "trapezoid";
}

std::u16string_view OnOff(bool on, TLang lang) {
  return on ? Words(lang).On : Words(lang).Off;
}

namespace {

// Sets the field at index, growing the list on first use.
void SetNumber(std::vector<TField>& fields, size_t index, std::string_view key, double value) {
  if (fields.size() <= index) {
    fields.resize(index + 1, NullField(key));
  }
  TField& f = fields[index];
  f.Key = key;
  f.Kind = std::isfinite(value) ? TField::TKind::Number : TField::TKind::Null;
  f.Number = value;
}

void SetText(std::vector<TField>& fields, size_t index, std::string_view key,
             std::string_view text) {
  if (fields.size() <= index) {
    fields.resize(index + 1, NullField(key));
  }
  TField& f = fields[index];
  f.Key = key;
  f.Kind = TField::TKind::Text;
  f.Text.assign(text);
}

void SetText(std::vector<TField>& fields, size_t index, std::string_view key,
             std::u16string_view text) {
  SetText(fields, index, key, std::string_view());
  // The window's result texts are ASCII digits, "." and "-".
  std::string& out = fields[index].Text;
  for (char16_t c : text) {
    if (c >= 0x80) {
      out = Utf8(text);
      return;
    }
    out.push_back(static_cast<char>(c));
  }
}

void SetBool(std::vector<TField>& fields, size_t index, std::string_view key, bool flag) {
  if (fields.size() <= index) {
    fields.resize(index + 1, NullField(key));
  }
  TField& f = fields[index];
  f.Key = key;
  f.Kind = TField::TKind::Bool;
  f.Flag = flag;
}

}  // namespace

void FillRateFields(const TRateResult& r, std::vector<TField>& f) {
  SetNumber(f, 0, "accel_m_s2", r.AccelMs2);
  SetNumber(f, 1, "peak_speed_m_min", r.PeakSpeedMmin);
  SetText(f, 2, "profile", ProfileKey(r.After.IsTriangle));
  SetBool(f, 3, "accel_over_limit", r.AccelOverLimit);
  SetBool(f, 4, "window_raised", r.WindowRaised);
  SetText(f, 5, "accel_text", r.Shown.Accel);
  SetText(f, 6, "peak_speed_text", r.Shown.Speed);
}

void FillTimingFields(const TTimingResult& r, std::vector<TField>& f) {
  SetNumber(f, 0, "feed_time_s", r.FeedTimeS);
  SetNumber(f, 1, "ramp_time_s", r.RampTimeS);
  SetNumber(f, 2, "peak_speed_m_min", r.PeakSpeedMmin);
  SetText(f, 3, "profile", ProfileKey(r.After.IsTriangle));
  SetNumber(f, 4, "stroke_rate_per_min", r.StrokeRatePerMin);
  SetText(f, 5, "feed_time_text", r.Shown.FeedTime);
  SetText(f, 6, "ramp_time_text", r.Shown.AccelTime);
  SetText(f, 7, "peak_speed_text", r.Shown.Speed);
  SetText(f, 8, "stroke_rate_text", r.Shown.StrokeRate);
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
    const TField& f = fields[i];
    switch (f.Kind) {
      case TField::TKind::Number:
        AppendShortest(out, f.Number);
        break;
      case TField::TKind::Text:
        AppendCsvField(out, f.Text);
        break;
      case TField::TKind::Bool:
        out += f.Flag ? "true" : "false";
        break;
      case TField::TKind::Null:
        break;
    }
  }
  out += "\r\n";
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
