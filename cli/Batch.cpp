// SPDX-License-Identifier: MIT
#include "cli/Batch.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <span>
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

template <typename TResult>
void AddKeys(std::span<const TResultField<TResult>> fields, bool shownTexts,
             std::vector<std::string_view>& keys) {
  for (const TResultField<TResult>& field : fields) {
    const bool shown = field.Kind() == TResultKind::ShownText;
    if (shown == shownTexts && std::find(keys.begin(), keys.end(), field.Key()) == keys.end()) {
      keys.push_back(field.Key());
    }
  }
}

// The result columns: the fields of the stroke-rate request, and with a
// request column those of the feed-timing request as well, each key once:
// the stored values first, then the texts as the window shows them, as each
// request's own fields stand.
std::vector<std::string_view> ResultKeys(bool bothRequests) {
  std::vector<std::string_view> keys;
  for (const bool shownTexts : {false, true}) {
    AddKeys(RateResultFields(), shownTexts, keys);
    if (bothRequests) {
      AddKeys(TimingResultFields(), shownTexts, keys);
    }
  }
  return keys;
}

// For each result column, the place of the field of that key in the
// request's table, or -1.
template <typename TResult>
std::vector<int> PlacesOf(std::span<const TResultField<TResult>> fields,
                          const std::vector<std::string_view>& keys) {
  std::vector<int> places;
  for (std::string_view key : keys) {
    const auto field =
        std::find_if(fields.begin(), fields.end(), [key](const auto& f) { return f.Key() == key; });
    places.push_back(field == fields.end() ? -1 : static_cast<int>(field - fields.begin()));
  }
  return places;
}

class TBatch {
 public:
  TBatch(const TBase& base, TLang lang, std::ostream& out, std::ostream& warnings)
      : base_(base), lang_(lang), out_(out), warnings_(warnings) {}

  TBatchSummary Run(std::string_view csv) {
    TCsvReader reader(csv);
    TCsvRecord record;
    if (!reader.Next(record)) {
      header_ = {};
      SetResultColumns();
      WriteHeader();
      Flush(true);
      return summary_;
    }
    ReadHeader(record);
    SetResultColumns();
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

  void SetResultColumns() {
    resultKeys_ = ResultKeys(hasRequest_);
    ratePlaces_ = PlacesOf(RateResultFields(), resultKeys_);
    timingPlaces_ = PlacesOf(TimingResultFields(), resultKeys_);
  }

  void WriteHeader() {
    for (size_t i = 0; i < header_.size(); ++i) {
      AppendCsvField(buffer_, header_[i]);
      buffer_ += ',';
    }
    for (std::string_view column : resultKeys_) {
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
    for (size_t i = 0; i < header_.size(); ++i) {
      AppendCsvField(buffer_, i < record.Fields.size() ? record.Fields[i] : std::string_view());
      buffer_ += ',';
    }
    if (errors.empty()) {
      if (Compute(request, accepted->Params)) {
        buffer_ += "\r\n";  // after the empty error
        return;
      }
      // The window would show "Out of area (DtoL)" and go on with 0.
      AddError(errors, Utf8(DtoLReportCaption), Words(lang_).OutOfArea);
    }
    ++summary_.Failed;
    buffer_.append(resultKeys_.size(), ',');
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

  // Runs the request and writes its results and the empty error; false,
  // writing nothing, when a value went out of area.
  bool Compute(TRequest request, const TFeedParams& params) {
    if (request == TRequest::Rate) {
      const TRateResult result = RunRate(params);
      if (result.OutOfArea) {
        return false;
      }
      FillRateFields(result, rateFields_);
      WriteResults(rateFields_, ratePlaces_);
      return true;
    }
    const TTimingResult result = RunTiming(params);
    if (result.OutOfArea) {
      return false;
    }
    FillTimingFields(result, timingFields_);
    WriteResults(timingFields_, timingPlaces_);
    return true;
  }

  void WriteResults(const std::vector<TField>& fields, const std::vector<int>& places) {
    for (int place : places) {
      if (place >= 0) {
        AppendCsvValue(buffer_, fields[static_cast<size_t>(place)]);
      }
      buffer_ += ',';
    }
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
  std::vector<std::string_view> resultKeys_;
  std::vector<int> ratePlaces_;
  std::vector<int> timingPlaces_;
  // A row's results, their texts' storage kept from row to row.
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
