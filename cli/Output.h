// SPDX-License-Identifier: MIT
#pragma once
// The three output formats of kolvane-calc. In CSV and JSON a number is the
// stored double in its shortest form that reads back to the same double
// (settings/DecimalText.h), with an empty field or null for a value that does not
// exist; each result also comes with its text as the window shows it.

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliTexts.h"
#include "cli/Job.h"
#include "settings/DecimalText.h"

enum class TFormat { Text, Csv, Json };

// The shortest round-trip text of a double; empty when it has no value.
std::string ShortestNumber(double value);

// A JSON string literal (quotes and escapes included).
std::string JsonString(std::string_view utf8);
// A CSV field, quoted when it holds a comma, a quote or a line break.
void AppendCsvField(std::string& out, std::string_view field);

// One named result for CSV and JSON.
struct TField {
  std::string_view Key;
  enum class TKind { Number, Text, Bool, Null } Kind = TKind::Null;
  double Number = 0;
  std::string Text;
  bool Flag = false;

  // A new value; the text keeps its storage, for a field reused row after row.
  void SetNumber(double value) {  // Null without a value
    Kind = std::isfinite(value) ? TKind::Number : TKind::Null;
    Number = value;
  }
  void SetText(std::string_view utf8) {
    Kind = TKind::Text;
    Text.assign(utf8);
  }
  void SetText(std::u16string_view text);
  void SetFlag(bool flag) {
    Kind = TKind::Bool;
    Flag = flag;
  }
};
TField NumberField(std::string_view key, double value);  // Null without a value
TField TextField(std::string_view key, std::string text);
TField NullField(std::string_view key);

// What a request's result holds: a stored number (null when it has none), a
// word of the outputs (the profile), a text as the window shows it, or a flag.
enum class TResultKind : uint8_t { Number, Word, ShownText, Flag };

// One field of a request's results: its key and what reads its value off
// the result; the kind follows from what that returns.
template <typename TResult>
class TResultField {
 public:
  constexpr TResultField(std::string_view key, double (*number)(const TResult&))
      : key_(key), kind_(TResultKind::Number), number_(number) {}
  constexpr TResultField(std::string_view key, std::string_view (*word)(const TResult&))
      : key_(key), kind_(TResultKind::Word), word_(word) {}
  constexpr TResultField(std::string_view key, std::u16string_view (*shown)(const TResult&))
      : key_(key), kind_(TResultKind::ShownText), shown_(shown) {}
  constexpr TResultField(std::string_view key, bool (*flag)(const TResult&))
      : key_(key), kind_(TResultKind::Flag), flag_(flag) {}

  std::string_view Key() const { return key_; }
  TResultKind Kind() const { return kind_; }

  // This field of result into field, which keeps its text's storage.
  void Take(const TResult& result, TField& field) const {
    field.Key = key_;
    switch (kind_) {
      case TResultKind::Number:
        field.SetNumber(number_(result));
        break;
      case TResultKind::Word:
        field.SetText(word_(result));
        break;
      case TResultKind::ShownText:
        field.SetText(shown_(result));
        break;
      case TResultKind::Flag:
        field.SetFlag(flag_(result));
        break;
    }
  }

 private:
  std::string_view key_;
  TResultKind kind_;
  double (*number_)(const TResult&) = nullptr;
  std::string_view (*word_)(const TResult&) = nullptr;
  std::u16string_view (*shown_)(const TResult&) = nullptr;
  bool (*flag_)(const TResult&) = nullptr;
};

// The fields of each request, in the documented order: the JSON object's
// members, the CSV columns and the batch's result columns are made from them.
std::span<const TResultField<TRateResult>> RateResultFields();
std::span<const TResultField<TTimingResult>> TimingResultFields();

// The results of a request as named fields, in its table's order.
std::vector<TField> RateFields(const TRateResult& result);
std::vector<TField> TimingFields(const TTimingResult& result);
// The same into fields, reusing what they hold (for many rows).
void FillRateFields(const TRateResult& result, std::vector<TField>& fields);
void FillTimingFields(const TTimingResult& result, std::vector<TField>& fields);

std::string JsonObject(const std::vector<TField>& fields);
void AppendCsvHeader(std::string& out, const std::vector<TField>& fields);
void AppendCsvRow(std::string& out, const std::vector<TField>& fields);
// A field's value in CSV: the number, the text (quoted where it must be),
// true or false, or nothing for null.
void AppendCsvValue(std::string& out, const TField& field);

// Lines of a label column and a value column, the values aligned.
class TTextTable {
 public:
  void Add(std::u16string_view label, std::string value);
  void Gap();
  std::string Render() const;

 private:
  std::vector<std::pair<std::string, std::string>> rows_;
};

// What the page shows, with its labels, in the language: the inputs as their
// boxes show them, then the results, then the broken limits.
std::string RateText(const TRateResult& result, TLang lang);
std::string TimingText(const TTimingResult& result, TLang lang);

// "triangle" or "trapezoid": the word of the JSON and CSV outputs.
std::string_view ProfileKey(bool triangle);
