// SPDX-License-Identifier: MIT
#pragma once
// The three output formats of kolvane-calc. In CSV and JSON a number is the
// stored double in its shortest form that reads back to the same double
// (std::to_chars), with an empty field or null for a value that does not
// exist; each result also comes with its text as the window shows it.

#include <initializer_list>
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
  enum class TKind { Number, Text, Bool, Null } Kind;
  double Number = 0;
  std::string Text;
  bool Flag = false;
};
TField NumberField(std::string_view key, double value);  // Null without a value
TField TextField(std::string_view key, std::string text);
TField BoolField(std::string_view key, bool flag);
TField NullField(std::string_view key);

// The results of a request as named fields, in the documented order; the
// profile is null when the result has no speed.
std::vector<TField> RateFields(const TRateResult& result);
std::vector<TField> TimingFields(const TTimingResult& result);
// The same into fields, reusing what they hold (for many rows).
void FillRateFields(const TRateResult& result, std::vector<TField>& fields);
void FillTimingFields(const TTimingResult& result, std::vector<TField>& fields);

std::string JsonObject(const std::vector<TField>& fields);
void AppendCsvHeader(std::string& out, const std::vector<TField>& fields);
void AppendCsvRow(std::string& out, const std::vector<TField>& fields);

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

// "on" or "off" in the language.
std::u16string_view OnOff(bool on, TLang lang);
// "triangle" or "trapezoid": the word of the JSON and CSV outputs.
std::string_view ProfileKey(bool triangle);
