// SPDX-License-Identifier: MIT
#include "cli/Batch.h"

#include <array>
#include <optional>
#include <vector>

#include "calc/FeedCalc.h"
#include "cli/Csv.h"
#include "cli/InputOptions.h"
#include "cli/Output.h"

namespace {

// The columns of a job: the input options, the sin² switch and the request.
enum class TColumn : uint8_t { Input, SinSq, Request, Other };

struct TColumnInfo {
  TColumn Kind = TColumn::Other;
  TInput Input = TInput::FeedLength;
};

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

TColumnInfo ColumnOf(std::string_view name) {
  name = Trimmed(name);
  if (const TInputOption* option = FindInputOption(name)) {
    return {TColumn::Input, option->Input};
  }
  if (name == SinSqOption) {
    return {TColumn::SinSq};
  }
  if (name == RequestColumn) {
    return {TColumn::Request};
  }
  return {};
}

// The result columns: those of the stroke-rate request, and with a request
// column also those of the feed-timing request.
constexpr std::string_view kRateColumns[] = {"accel_m_s2",       "peak_speed_m_min", "profile",
                                             "accel_over_limit", "window_raised",    "accel_text",
                                             "peak_speed_text"};
constexpr std::string_view kBothColumns[] = {
    "accel_m_s2",      "peak_speed_m_min", "profile",        "accel_over_limit",
    "window_raised",   "feed_time_s",      "ramp_time_s",    "stroke_rate_per_min",
    "accel_text",      "peak_speed_text",  "feed_time_text", "ramp_time_text",
    "stroke_rate_text"};

class TBatch {
 public:
  TBatch(const TBase& base, TLang lang, std::ostream& out, std::ostream& warnings)
      : base_(base), lang_(lang), out_(out), warnings_(warnings) {}

  TBatchSummary Run(std::string_view csv) {
    TCsvReader reader(csv);
    TCsvRecord record;
    if (!reader.Next(record)) {
      header_ = {};
      WriteHeader();
      Flush(true);
      return summary_;
    }
    ReadHeader(record);
    WriteHeader();
    while (reader.Next(record)) {
      Row(record);
      Flush(false);
    }
    Flush(true);
    return summary_;
  }

 private:
  void ReadHeader(const TCsvRecord& record) {
    header_ = record.Fields;
    std::array<bool, InputCount + 2> seen{};
    for (const std::string& name : header_) {
      TColumnInfo info = ColumnOf(name);
      const size_t slot = info.Kind == TColumn::Input   ? static_cast<size_t>(info.Input)
                          : info.Kind == TColumn::SinSq ? InputCount
                                                        : InputCount + 1;
      if (info.Kind != TColumn::Other && seen[slot]) {
        warnings_ << "kolvane-calc: column \"" << name
                  << "\" is repeated; the repetition is copied through\n";
        info = {};
      } else if (info.Kind != TColumn::Other) {
        seen[slot] = true;
      } else {
        warnings_ << "kolvane-calc: column \"" << name << "\" is no input; it is copied through\n";
      }
      hasRequest_ = hasRequest_ || info.Kind == TColumn::Request;
      columns_.push_back(info);
    }
  }

  const std::vector<std::string_view>& ResultColumns() {
    if (resultColumns_.empty()) {
      if (hasRequest_) {
        resultColumns_.assign(std::begin(kBothColumns), std::end(kBothColumns));
      } else {
        resultColumns_.assign(std::begin(kRateColumns), std::end(kRateColumns));
      }
    }
    return resultColumns_;
  }

  // For each result column, the index of its field in the request's fields,
  // or -1; found once per request, from the first row's fields.
  const std::vector<int>& FieldIndex(TRequest request, const std::vector<TField>& fields) {
    std::vector<int>& index = request == TRequest::Rate ? rateIndex_ : timingIndex_;
    if (index.empty()) {
      for (std::string_view column : ResultColumns()) {
        int found = -1;
        for (size_t i = 0; i < fields.size(); ++i) {
          found = fields[i].Key == column ? static_cast<int>(i) : found;
        }
        index.push_back(found);
      }
    }
    return index;
  }

  void WriteHeader() {
    for (size_t i = 0; i < header_.size(); ++i) {
      AppendCsvField(buffer_, header_[i]);
      buffer_ += ',';
    }
    for (std::string_view column : ResultColumns()) {
      buffer_ += column;
      buffer_ += ',';
    }
    buffer_ += "error\r\n";
  }

  void AddError(std::string& errors, std::string_view column, std::u16string_view message) {
    if (!errors.empty()) {
      errors += "; ";
    }
    errors += column;
    errors += ": ";
    errors += Utf8(message);
  }

  void Row(const TCsvRecord& record) {
    ++summary_.Rows;
    std::string errors;
    if (record.Malformed || record.Fields.size() != header_.size()) {
      errors = Utf8(Words(lang_).Line) + ' ' + std::to_string(record.Line) + ": " +
               Utf8(record.Malformed ? Words(lang_).BrokenQuotes : Words(lang_).ColumnCount);
    }
    TTyped typed;
    TRequest request = TRequest::Rate;
    if (errors.empty()) {
      ReadJob(record, typed, request, errors);
    }
    std::optional<TAccepted> accepted;
    if (errors.empty()) {
      accepted = AcceptTyped(request, base_, typed);
      if (!accepted->Ok()) {
        for (size_t i = 0; i < InputCount; ++i) {
          Report(*accepted, static_cast<TInput>(i), errors);
        }
      }
    }
    if (errors.empty() && Compute(request, accepted->Params)) {
      // The window would show "Out of area (DtoL)" and go on with 0.
      AddError(errors, Utf8(DtoLReportCaption), Words(lang_).OutOfArea);
    }
    for (size_t i = 0; i < header_.size(); ++i) {
      AppendCsvField(buffer_, i < record.Fields.size() ? record.Fields[i] : std::string_view());
      buffer_ += ',';
    }
    if (errors.empty()) {
      WriteResults(request);
      buffer_ += "\r\n";
      return;
    }
    ++summary_.Failed;
    buffer_.append(ResultColumns().size(), ',');
    AppendCsvField(buffer_, errors);
    buffer_ += "\r\n";
  }

  void Report(const TAccepted& accepted, TInput input, std::string& errors) {
    if ((accepted.NotNumbers & Bit(input)) != 0) {
      AddError(errors, OptionName(input), Words(lang_).NotANumber);
    } else if ((accepted.Refused & Bit(input)) != 0) {
      const std::u16string_view hint = HintOf(input, lang_);
      AddError(errors, OptionName(input), hint.empty() ? Words(lang_).NotANumber : hint);
    }
  }

  void ReadJob(const TCsvRecord& record, TTyped& typed, TRequest& request, std::string& errors) {
    for (size_t i = 0; i < columns_.size(); ++i) {
      const std::string_view value = Trimmed(record.Fields[i]);
      if (value.empty()) {
        continue;  // not given: the settings or the defaults
      }
      switch (columns_[i].Kind) {
        case TColumn::Input:
          typed[columns_[i].Input] = Utf16(value);
          break;
        case TColumn::SinSq:
          if (value == "on" || value == "off") {
            typed.SinSq = value == "on";
          } else {
            AddError(errors, SinSqOption, Words(lang_).NotOnOff);
          }
          break;
        case TColumn::Request:
          if (value == "rate" || value == "timing") {
            request = value == "rate" ? TRequest::Rate : TRequest::Timing;
          } else {
            AddError(errors, RequestColumn, Words(lang_).NotARequest);
          }
          break;
        case TColumn::Other:
          break;
      }
    }
  }

  // Runs the request into its fields; true when a value went out of area.
  bool Compute(TRequest request, const TFeedParams& params) {
    if (request == TRequest::Rate) {
      const TRateResult result = RunRate(params);
      FillRateFields(result, rateFields_);
      return result.OutOfArea;
    }
    const TTimingResult result = RunTiming(params);
    FillTimingFields(result, timingFields_);
    return result.OutOfArea;
  }

  void WriteResults(TRequest request) {
    const std::vector<TField>& fields = request == TRequest::Rate ? rateFields_ : timingFields_;
    bool first = true;
    for (int index : FieldIndex(request, fields)) {
      buffer_ += first ? "" : ",";
      first = false;
      if (index >= 0) {
        const TField& field = fields[static_cast<size_t>(index)];
        switch (field.Kind) {
          case TField::TKind::Number:
            AppendShortest(buffer_, field.Number);
            break;
          case TField::TKind::Text:
            AppendCsvField(buffer_, field.Text);
            break;
          case TField::TKind::Bool:
            buffer_ += field.Flag ? "true" : "false";
            break;
          case TField::TKind::Null:
            break;
        }
      }
    }
    buffer_ += ',';  // the empty error
  }

  void Flush(bool all) {
    if (all || buffer_.size() > (1u << 16)) {
      out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
      buffer_.clear();
    }
  }

  const TBase& base_;
  TLang lang_;
  std::ostream& out_;
  std::ostream& warnings_;
  std::vector<std::string> header_;
  std::vector<TColumnInfo> columns_;
  bool hasRequest_ = false;
  std::vector<std::string_view> resultColumns_;
  std::vector<int> rateIndex_;
  std::vector<int> timingIndex_;
  std::vector<TField> rateFields_;
  std::vector<TField> timingFields_;
  std::string buffer_;
  TBatchSummary summary_;
};

}  // namespace

TBatchSummary RunBatch(std::string_view csv, const TBase& base, TLang lang, std::ostream& out,
                       std::ostream& warnings) {
  return TBatch(base, lang, out, warnings).Run(csv);
}
