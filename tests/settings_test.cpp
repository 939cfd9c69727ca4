// SPDX-License-Identifier: MIT
// The settings module on every system: the bounded string builders, the
// tagged-value reader, and the settings file's bytes, rules, fallback and
// safe save. The cases that need one system's file system are in
// settings_posix_test.cpp and settings_windows_test.cpp.

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "calc/FeedParams.h"
#include "settings/BuildString.h"
#include "settings/NVData.h"
#include "settings/SaveFileOps.h"
#include "settings/TaggedReader.h"
#include "tests/SettingsFileTest.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// ============================================================================
// Bounded string builders
// ============================================================================

struct TNarrowKind {
  using Builder = TBuildString;
  using Char = char;
  static constexpr int kMaxCapacity = 65530;
};

struct TWideKind {
  using Builder = TBuildStringUC;
  using Char = wchar_t;
  static constexpr int kMaxCapacity = 32765;
};

template <typename Kind>
class BuildStringTest : public ::testing::Test {
 protected:
  using Builder = typename Kind::Builder;
  using Char = typename Kind::Char;
  static constexpr Char kUntouched = Char('Z');

  // Room for the largest capacity, so every Init below honours its contract.
  std::vector<Char> cells_ = std::vector<Char>(Kind::kMaxCapacity + 1, kUntouched);
  Builder builder_;

  void Add(const char* text) {
    for (; *text != '\0'; ++text) {
      builder_.AddChar(Char(*text));
    }
  }
  std::basic_string<Char> Text() const { return cells_.data(); }
  std::basic_string<Char> Wide(const char* text) const {
    return std::basic_string<Char>(text, text + std::strlen(text));
  }
};

using BuilderKinds = ::testing::Types<TNarrowKind, TWideKind>;
TYPED_TEST_SUITE(BuildStringTest, BuilderKinds);

TYPED_TEST(BuildStringTest, StartsInertAndStaysInertWithoutBuffer) {
  EXPECT_EQ(this->builder_.Buffer, nullptr);
  EXPECT_EQ(this->builder_.Capacity, 0);
  EXPECT_EQ(this->builder_.Count, 0);
  this->Add("abc");
  EXPECT_EQ(this->builder_.Count, 0);

  this->builder_.Init(nullptr, 10);
  this->Add("abc");
  EXPECT_EQ(this->builder_.Buffer, nullptr);
  EXPECT_EQ(this->builder_.Count, 0);
}

TYPED_TEST(BuildStringTest, CharacterThatWouldFillTheLastCellIsDropped) {
  this->builder_.Init(this->cells_.data(), 3);
  this->Add("abc");
  EXPECT_EQ(this->Text(), this->Wide("ab"));
  EXPECT_EQ(this->builder_.Count, 3);
  this->Add("d");
  EXPECT_EQ(this->Text(), this->Wide("ab"));
  EXPECT_EQ(this->builder_.Count, 3);
  EXPECT_EQ(this->cells_[3], this->kUntouched) << "wrote past the capacity";
}

TYPED_TEST(BuildStringTest, InitClampsTheCapacityAndEmptiesTheArray) {
  const int max = TypeParam::kMaxCapacity;
  const std::pair<int, int> cases[] = {
      {-5, 0}, {INT_MIN, 0}, {0, 0}, {1, 1}, {7, 7}, {max, max}, {max + 1, max}, {100000, max},
  };
  for (const auto& [given, expected] : cases) {
    SCOPED_TRACE(given);
    std::fill(this->cells_.begin(), this->cells_.end(), this->kUntouched);
    this->builder_.Init(this->cells_.data(), given);
    EXPECT_EQ(this->builder_.Capacity, expected);
    EXPECT_EQ(this->builder_.Count, 0);
    EXPECT_EQ(this->cells_[0], 0);
    this->Add("a");
    if (expected == 0) {
      EXPECT_EQ(this->builder_.Count, 0);
      EXPECT_EQ(this->cells_[0], 0);
      EXPECT_EQ(this->cells_[1], this->kUntouched);
    }
  }
}

TYPED_TEST(BuildStringTest, CapacityOneHoldsOnlyTheTerminator) {
  this->builder_.Init(this->cells_.data(), 1);
  this->Add("a");
  EXPECT_EQ(this->Text(), this->Wide(""));
  EXPECT_EQ(this->builder_.Count, 1);
}

TYPED_TEST(BuildStringTest, InitAgainRestartsTheArray) {
  this->builder_.Init(this->cells_.data(), 10);
  this->Add("abc");
  this->builder_.Init(this->cells_.data(), 10);
  EXPECT_EQ(this->Text(), this->Wide(""));
  this->Add("x");
  EXPECT_EQ(this->Text(), this->Wide("x"));
  EXPECT_EQ(this->builder_.Count, 1);
}

TEST(BuildStringNarrowTest, StoresTheLowEightBits) {
  char cells[4];
  TBuildString builder;
  builder.Init(cells, 4);
  builder.AddChar(0x141);
  builder.AddChar(-1);
  EXPECT_EQ(std::string(cells), "A\xFF");
}

TEST(BuildStringWideTest, StoresUnitsAboveEightBitsUnchanged) {
  wchar_t cells[4];
  TBuildStringUC builder;
  builder.Init(cells, 4);
  builder.AddChar(L'\x20AC');
  builder.AddChar(L'\xF6');
  EXPECT_EQ(std::wstring(cells), L"\x20AC\xF6");
}

// ============================================================================
// Tagged-value reader
// ============================================================================

// A real C stream over the given bytes (NUL bytes included), rewound.
class TByteStream {
 public:
  explicit TByteStream(const std::string& bytes) : file_(tmpfile()) {
    if (file_ != nullptr) {
      fwrite(bytes.data(), 1, bytes.size(), file_);
      rewind(file_);
    }
  }
  ~TByteStream() {
    if (file_ != nullptr) {
      fclose(file_);
    }
  }
  TByteStream(const TByteStream&) = delete;
  TByteStream& operator=(const TByteStream&) = delete;

  FILE* get() const { return file_; }

  // Everything the reader left in the stream.
  std::string Rest() const {
    std::string rest;
    for (int ch; (ch = fgetc(file_)) != EOF;) {
      rest += static_cast<char>(ch);
    }
    return rest;
  }

 private:
  FILE* file_;
};

// A caller's array of exactly the given number of cells (at least one), so
// that the address sanitizer sees any write beyond it.
class TCells {
 public:
  explicit TCells(int capacity) : size_(capacity > 0 ? capacity : 1), cells_(new char[size_]) {
    std::memset(cells_.get(), 'Z', size_);
  }
  char* get() const { return cells_.get(); }
  // The zero-terminated text; fails the test when no terminator is in range.
  std::string Text() const {
    size_t length = strnlen(cells_.get(), size_);
    EXPECT_LT(length, size_) << "no terminator inside the array";
    return std::string(cells_.get(), length);
  }

 private:
  size_t size_;
  std::unique_ptr<char[]> cells_;
};

constexpr int kNoRaw = INT_MIN;  // the reader gets no raw array at all

struct TReaderCase {
  const char* name;
  std::string input;
  int tag;
  std::string value;
  std::string rest;  // what the call leaves in the stream
  int32_t lastTagAfter;
  int32_t lastTagBefore = 0;
  int valueCapacity = 200;
  int rawCapacity = kNoRaw;
  std::string raw = {};
};

void PrintTo(const TReaderCase& c, std::ostream* os) {
  *os << c.name;
}

class ReaderCaseTest : public ::testing::TestWithParam<TReaderCase> {};

TEST_P(ReaderCaseTest, ReadsOneEntry) {
  const TReaderCase& c = GetParam();
  TByteStream stream(c.input);
  ASSERT_NE(stream.get(), nullptr);
  TCells value(c.valueCapacity);
  std::optional<TCells> raw;
  if (c.rawCapacity != kNoRaw) {
    raw.emplace(c.rawCapacity);
  }
  LastTag = c.lastTagBefore;

  int tag =
      raw ? ReadTaggedValue(stream.get(), value.get(), c.valueCapacity, raw->get(), c.rawCapacity)
          : ReadTaggedValue(stream.get(), value.get(), c.valueCapacity);

  EXPECT_EQ(tag, c.tag);
  EXPECT_EQ(value.Text(), c.value);
  EXPECT_EQ(stream.Rest(), c.rest);
  EXPECT_EQ(LastTag, c.lastTagAfter);
  if (raw) {
    EXPECT_EQ(raw->Text(), c.raw);
  }
}

// Each case's expectations follow from the syntax: tags are 100*(c1-'0') +
// 10*(c2-'0') + (c3-'0') over unchecked characters, a sub-index adds 65536
// times its own number.
const TReaderCase kReaderCases[] = {
    // Tags and the shorthand.
    {.name = "entry_ends_right_after_semicolon",
     .input = "{020} weg = 0.0100; [m]\r\n{021} hza = 1;",
     .tag = 20,
     .value = "0.0100",
     .rest = " [m]\r\n{021} hza = 1;",
     .lastTagAfter = 20},
    {.name = "shorthand_is_last_tag_plus_one",
     .input = "{+++} x = 5;",
     .tag = 21,
     .value = "5",
     .rest = "",
     .lastTagAfter = 21,
     .lastTagBefore = 20},
    {.name = "tag_999_is_not_remembered",
     .input = "{999} a = 1;",
     .tag = 999,
     .value = "1",
     .rest = "",
     .lastTagAfter = 20,
     .lastTagBefore = 20},
    {.name = "letters_enter_tag_by_their_codes",
     .input = "{abc} = 1;",
     .tag = 4900 + 500 + 51,
     .value = "1",
     .rest = "",
     .lastTagAfter = 7,
     .lastTagBefore = 7},
    {.name = "negative_tag_is_remembered",
     .input = "{-01} = 1;",
     .tag = -300 + 0 + 1,
     .value = "1",
     .rest = "",
     .lastTagAfter = -299},
    {.name = "sub_index_adds_multiples_of_65536",
     .input = "{020.003} = 1;",
     .tag = 20 + 3 * 65536,
     .value = "1",
     .rest = "",
     .lastTagAfter = 20},
    {.name = "sub_index_on_shorthand",
     .input = "{+++.002} = 1;",
     .tag = 6 + 2 * 65536,
     .value = "1",
     .rest = "",
     .lastTagAfter = 6,
     .lastTagBefore = 5},
    {.name = "later_tag_replaces_earlier",
     .input = "{020} {021} = 1;",
     .tag = 21,
     .value = "1",
     .rest = "",
     .lastTagAfter = 21},
    {.name = "value_without_tag_is_skipped",
     .input = "= 5; \"q\" {021} x = 1;",
     .tag = 21,
     .value = "1",
     .rest = "",
     .lastTagAfter = 21},
    {.name = "equals_taken_as_fourth_tag_character",
     .input = "{020=5; {021} x = 6;",
     .tag = 21,
     .value = "6",
     .rest = "",
     .lastTagAfter = 21},
    // Plain values.
    {.name = "blanks_inside_plain_value_dropped",
     .input = "{020} weg = 1 000;",
     .tag = 20,
     .value = "1000",
     .rest = "",
     .lastTagAfter = 20},
    {.name = "line_feed_ends_plain_value",
     .input = "{020} weg = 5\nnext",
     .tag = 20,
     .value = "5",
     .rest = "next",
     .lastTagAfter = 20},
    {.name = "tab_after_equals_ends_value_at_once",
     .input = "{020} weg =\t5;",
     .tag = 20,
     .value = "",
     .rest = "5;",
     .lastTagAfter = 20},
    {.name = "nul_ends_plain_value",
     .input = "{020} = 1\0"
              "2;"s,
     .tag = 20,
     .value = "1",
     .rest = "2;",
     .lastTagAfter = 20},
    {.name = "empty_value",
     .input = "{020} a = ;",
     .tag = 20,
     .value = "",
     .rest = "",
     .lastTagAfter = 20},
    {.name = "plain_value_keeps_braces_equals_and_quotes",
     .input = "{020} = a{b=c\"d; x",
     .tag = 20,
     .value = "a{b=c\"d",
     .rest = " x",
     .lastTagAfter = 20},
    {.name = "value_at_end_of_stream_is_incomplete",
     .input = "{020} weg = 5",
     .tag = -1,
     .value = "5",
     .rest = "",
     .lastTagAfter = 20},
    // Quoted values.
    {.name = "quoted_value_keeps_inner_blanks",
     .input = "{020} \"a  b\" x",
     .tag = 20,
     .value = "a  b",
     .rest = " x",
     .lastTagAfter = 20},
    {.name = "quoted_value_over_two_lines_joined_by_one_space",
     .input = "{020} \"first\r\n   second\";",
     .tag = 20,
     .value = "first second",
     .rest = ";",
     .lastTagAfter = 20},
    {.name = "control_character_in_quotes_becomes_space",
     .input = "{020} \"a\tb\"",
     .tag = 20,
     .value = "a b",
     .rest = "",
     .lastTagAfter = 20},
    {.name = "quoted_value_keeps_brace_inside_a_line",
     .input = "{020} \"a{b=c\"",
     .tag = 20,
     .value = "a{b=c",
     .rest = "",
     .lastTagAfter = 20},
    {.name = "line_break_before_closing_quote_leaves_a_space",
     .input = "{020} \"a\n  \"",
     .tag = 20,
     .value = "a ",
     .rest = "",
     .lastTagAfter = 20},
    {.name = "unclosed_quote_ends_at_line_starting_with_brace",
     .input = "{020} \"abc\n{021} x = 1;\n{022} y = 2;",
     .tag = 20,
     .value = "abc",
     .rest = "021} x = 1;\n{022} y = 2;",
     .lastTagAfter = 20},
    // Capacity of the value array.
    {.name = "value_cut_to_capacity_minus_one",
     .input = "{020} = 12345; x",
     .tag = 20,
     .value = "123",
     .rest = " x",
     .lastTagAfter = 20,
     .valueCapacity = 4},
    {.name = "value_capacity_one",
     .input = "{020} = 5;",
     .tag = 20,
     .value = "",
     .rest = "",
     .lastTagAfter = 20,
     .valueCapacity = 1},
    {.name = "value_capacity_zero",
     .input = "{020} = 5;",
     .tag = 20,
     .value = "",
     .rest = "",
     .lastTagAfter = 20,
     .valueCapacity = 0},
    // Raw text.
    {.name = "raw_restarts_at_stx_and_stops_before_cr",
     .input = "abc\x02{020} w = 5; [m]\r\n{021} = 6;",
     .tag = 20,
     .value = "5",
     .rest = "\r\n{021} = 6;",
     .lastTagAfter = 20,
     .rawCapacity = 100,
     .raw = "{020} w = 5; [m]"},
    {.name = "raw_tail_runs_over_line_feed_to_next_brace",
     .input = "{020} = 5; [m]\n{021}",
     .tag = 20,
     .value = "5",
     .rest = "{021}",
     .lastTagAfter = 20,
     .rawCapacity = 100,
     .raw = "{020} = 5; [m]\n"},
    {.name = "raw_stx_after_value_is_pushed_back",
     .input = "{020} = 5; x\x02y",
     .tag = 20,
     .value = "5",
     .rest = "\x02y",
     .lastTagAfter = 20,
     .rawCapacity = 100,
     .raw = "{020} = 5; x"},
    {.name = "raw_runs_to_end_of_stream",
     .input = "{020}=5;tail",
     .tag = 20,
     .value = "5",
     .rest = "",
     .lastTagAfter = 20,
     .rawCapacity = 100,
     .raw = "{020}=5;tail"},
    {.name = "raw_keeps_brace_that_ended_unclosed_quote",
     .input = "{020} \"ab\n{021} x;\r",
     .tag = 20,
     .value = "ab",
     .rest = "\r",
     .lastTagAfter = 20,
     .rawCapacity = 100,
     .raw = "{020} \"ab\n{021} x;"},
    {.name = "raw_capacity_zero_keeps_nothing_but_still_reads_tail",
     .input = "{020} = 5; [m]\n{021}",
     .tag = 20,
     .value = "5",
     .rest = "{021}",
     .lastTagAfter = 20,
     .rawCapacity = 0,
     .raw = ""},
    {.name = "raw_cut_to_capacity",
     .input = "{020} = 5; [m]\n{021}",
     .tag = 20,
     .value = "5",
     .rest = "{021}",
     .lastTagAfter = 20,
     .rawCapacity = 5,
     .raw = "{020"},
    {.name = "characters_lost_in_tag_count_as_minus_one",
     .input = "{02",
     .tag = -1,
     .value = "",
     .rest = "",
     .lastTagAfter = 0 + 20 + (-1 - 48),
     .rawCapacity = 20,
     .raw = "{02\xFF\xFF"},
};

INSTANTIATE_TEST_SUITE_P(Entries, ReaderCaseTest, ::testing::ValuesIn(kReaderCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct TReadResult {
  int tag;
  std::string value;
  std::string raw;
};

bool operator==(const TReadResult& a, const TReadResult& b) {
  return a.tag == b.tag && a.value == b.value && a.raw == b.raw;
}

void PrintTo(const TReadResult& r, std::ostream* os) {
  *os << "{" << r.tag << ", \"" << r.value << "\", \"" << r.raw << "\"}";
}

// Calls the reader until it returns -1 and collects what each call gave.
std::vector<TReadResult> ReadAll(const std::string& input, int valueCapacity, int rawCapacity) {
  TByteStream stream(input);
  TCells value(valueCapacity);
  std::optional<TCells> raw;
  if (rawCapacity != kNoRaw) {
    raw.emplace(rawCapacity);
  }
  std::vector<TReadResult> results;
  for (int calls = 0; calls < 100; ++calls) {  // a loop guard, far above every case
    int tag =
        raw ? ReadTaggedValue(stream.get(), value.get(), valueCapacity, raw->get(), rawCapacity)
            : ReadTaggedValue(stream.get(), value.get(), valueCapacity);
    if (tag == -1) {
      break;
    }
    results.push_back({tag, value.Text(), raw ? raw->Text() : ""});
  }
  return results;
}

TEST(ReaderSequenceTest, ReadsEntryAfterEntryWithAndWithoutRawArray) {
  const std::string text =
      "header\r\n\r\n{020} a = 1;\r\n{999} b = 2;\r\n{+++} c = 3; [x]\r\n{021.001} d = 4;\r\n";
  const std::vector<TReadResult> plain = {
      {20, "1", ""}, {999, "2", ""}, {21, "3", ""}, {21 + 65536, "4", ""}};
  LastTag = 0;
  EXPECT_EQ(ReadAll(text, 200, kNoRaw), plain);

  // With a raw array each call starts at the CR the previous one left behind.
  const std::vector<TReadResult> withRaw = {{20, "1", "header\r\n\r\n{020} a = 1;"},
                                            {999, "2", "\r\n{999} b = 2;"},
                                            {21, "3", "\r\n{+++} c = 3; [x]"},
                                            {21 + 65536, "4", "\r\n{021.001} d = 4;"}};
  LastTag = 0;
  EXPECT_EQ(ReadAll(text, 200, 100), withRaw);
}

TEST(ReaderSequenceTest, CutValueIsStillConsumedUpToItsTerminator) {
  const std::string text = "{020} = " + std::string(250, 'x') + ";\r\n{021} = 7;";
  const std::vector<TReadResult> expected = {{20, std::string(199, 'x'), ""}, {21, "7", ""}};
  EXPECT_EQ(ReadAll(text, 200, kNoRaw), expected);
}

TEST(ReaderSequenceTest, UnclosedQuoteSwallowsTheTagOfTheNextLine) {
  const std::string text = "{020} \"abc\n{021} x = 1;\n{022} y = 2;";
  const std::vector<TReadResult> expected = {{20, "abc", ""}, {22, "2", ""}};
  EXPECT_EQ(ReadAll(text, 200, kNoRaw), expected);
}

TEST(ReaderSequenceTest, StxPushedBackStartsTheNextRawText) {
  const std::string text = "\x02{020} = 5; x\x02y{021}=6;";
  const std::vector<TReadResult> expected = {{20, "5", "{020} = 5; x"}, {21, "6", "y{021}=6;"}};
  EXPECT_EQ(ReadAll(text, 200, 100), expected);
}

TEST(ReaderSpecialCallTest, NullValueArrayResetsLastTagAndTouchesNothing) {
  TByteStream stream("{020} = 1;");
  char raw[8] = "zz";
  LastTag = 33;
  EXPECT_EQ(ReadTaggedValue(stream.get(), nullptr, 200, raw, 8), -1);
  EXPECT_EQ(LastTag, 0);
  EXPECT_STREQ(raw, "zz");
  EXPECT_EQ(stream.Rest(), "{020} = 1;");
}

TEST(ReaderSpecialCallTest, NullStreamEmptiesBothArrays) {
  char value[8] = "zz";
  char raw[8] = "zz";
  LastTag = 33;
  EXPECT_EQ(ReadTaggedValue(nullptr, value, 8, raw, 8), -1);
  EXPECT_STREQ(value, "");
  EXPECT_STREQ(raw, "");
  EXPECT_EQ(LastTag, 33);
  EXPECT_EQ(ReadTaggedValue(nullptr, value, 8), -1);
}

// ============================================================================
// Settings file
// ============================================================================

using TField = double TFeedParams::*;
const std::pair<const char*, TField> kInputFields[] = {
    {"FeedLength", &TFeedParams::FeedLength}, {"Accel", &TFeedParams::Accel},
    {"SpeedLimit", &TFeedParams::SpeedLimit}, {"MaxSpeed", &TFeedParams::MaxSpeed},
    {"MaxAccel", &TFeedParams::MaxAccel},     {"ApertureAngle", &TFeedParams::ApertureAngle},
    {"SettleTime", &TFeedParams::SettleTime}, {"StartSpeed", &TFeedParams::StartSpeed},
    {"StrokeRate", &TFeedParams::StrokeRate},
};

void ExpectSameInputs(const TFeedParams& actual, const TFeedParams& expected) {
  for (const auto& [name, field] : kInputFields) {
    EXPECT_EQ(actual.*field, expected.*field) << name;
  }
  EXPECT_EQ(actual.SinSqRamps, expected.SinSqRamps) << "SinSqRamps";
}

// The start-up values, without disturbing the record under test.
TFeedParams Defaults() {
  const TFeedParams current = FeedParams;
  SetDefaultFeedParams();
  const TFeedParams defaults = FeedParams;
  FeedParams = current;
  return defaults;
}

// ---- Writing ----------------------------------------------------------------

TEST_F(SettingsFileTest, SaveWritesTheExactBytesOfTheDefaults) {
  SaveNVData();
  EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
}

// A locale whose decimal point is a comma, by the system's name for it.
#ifdef _WIN32
constexpr const char* kGermanLocale = "German_Germany.1252";
#else
constexpr const char* kGermanLocale = "de_DE.UTF-8";
#endif

// Restores the "C" locale however the test ends.
struct TGermanLocale {
  TGermanLocale() { active = setlocale(LC_ALL, kGermanLocale) != nullptr; }
  ~TGermanLocale() { setlocale(LC_ALL, "C"); }
  bool active;
};

TEST_F(SettingsFileTest, GermanLocaleChangesNoNumberInTheFile) {
  TGermanLocale german;
  ASSERT_TRUE(german.active) << "locale " << kGermanLocale
                             << " is missing; scripts/setup-debian.sh generates it";
  ASSERT_STREQ(localeconv()->decimal_point, ",") << "the locale would not show the fault";

  SaveNVData();
  std::optional<std::string> bytes = ReadBytes(SettingsFile());
  ASSERT_TRUE(bytes);
  EXPECT_NE(bytes->find("{020} weg = 0.0100; [m]\r\n"), std::string::npos);
  EXPECT_EQ(*bytes, kDefaultFile);

  WriteBytes(SettingsFile(), kHeader + "{020} weg = 0.5;\r\n{022} bes = 1.25e1;\r\n");
  LoadNVData();
  EXPECT_EQ(FeedParams.FeedLength, 0.5);
  EXPECT_EQ(FeedParams.Accel, 12.5);
}

TEST_F(SettingsFileTest, SaveAndLoadGiveBackEveryFieldRoundedAsWritten) {
  FeedParams.FeedLength = 0.123456;
  FeedParams.StrokeRate = 123.456;
  FeedParams.Accel = 1.23456;
  FeedParams.MaxSpeed = 1.23456789;
  FeedParams.SinSqRamps = false;
  FeedParams.ApertureAngle = 179.6;
  FeedParams.MaxAccel = 12.3456789;
  FeedParams.SettleTime = -0.0456;
  FeedParams.SpeedLimit = 0.987654321;
  Language = 1;
  SaveNVData();

  SetDefaultFeedParams();
  Language = 0;
  LoadNVData();

  TFeedParams expected = Defaults();
  expected.FeedLength = 0.1235;
  expected.StrokeRate = 123.5;
  expected.Accel = 1.235;
  expected.MaxSpeed = 1.234568;
  expected.SinSqRamps = false;
  expected.ApertureAngle = 180;
  expected.MaxAccel = 12.345679;
  expected.SettleTime = -0.046;
  expected.SpeedLimit = 0.987654;
  ExpectSameInputs(FeedParams, expected);
  EXPECT_EQ(Language, 1);
}

TEST_F(SettingsFileTest, SaveReplacesALongerOldFileCompletely) {
  WriteBytes(SettingsFile(), std::string(5000, 'x'));
  SaveNVData();
  EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
}

TEST_F(SettingsFileTest, SaveIntoMissingDirectoryCreatesNothing) {
  DataDir = DirText(root_ / "missing");
  SaveNVData();
  EXPECT_FALSE(fs::exists(root_ / "missing"));
}

TEST_F(SettingsFileTest, SettingsPathThatCannotBeWrittenIsLeftAlone) {
  // A directory under the settings file's name refuses writing even to root.
  fs::create_directory(SettingsFile());
  WriteBytes(SettingsFile() / "inside", "kept");
  SaveNVData();
  LoadNVData();  // reads the fallback, of which there is none
  EXPECT_TRUE(fs::is_directory(SettingsFile()));
  EXPECT_EQ(ReadBytes(SettingsFile() / "inside"), "kept");
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
  ExpectSameInputs(FeedParams, Defaults());
}

// Swaps the save's stream operations for the duration of a test.
class TSwappedFileOps {
 public:
  explicit TSwappedFileOps(const TSaveFileOps& ops) { SaveFileOps = ops; }
  ~TSwappedFileOps() { SaveFileOps = RealSaveFileOps; }
  TSwappedFileOps(const TSwappedFileOps&) = delete;
  TSwappedFileOps& operator=(const TSwappedFileOps&) = delete;
};

// Each failing operation still does its real work, so the file is really
// half-written, or complete but unconfirmed, and is really closed.
size_t ShortWrite(const void* data, size_t size, size_t count, FILE* file) {
  return RealSaveFileOps.Write(data, size, count / 2, file);
}
int FailingFlush(FILE* file) {
  RealSaveFileOps.Flush(file);
  return EOF;
}
int FailingClose(FILE* file) {
  RealSaveFileOps.Close(file);
  return EOF;
}

struct TFailureCase {
  const char* name;
  TSaveFileOps ops;
};

void PrintTo(const TFailureCase& c, std::ostream* os) {
  *os << c.name;
}

class SaveFailureTest : public SettingsFileTest,
                        public ::testing::WithParamInterface<TFailureCase> {};

TEST_P(SaveFailureTest, FailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile) {
  const std::string old = kHeader + "{020} weg = 0.5000; [m]\r\n";
  WriteBytes(SettingsFile(), old);
  FeedParams.FeedLength = 0.25;
  {
    TSwappedFileOps swapped(GetParam().ops);
    SaveNVData();
  }
  EXPECT_EQ(ReadBytes(SettingsFile()), old);
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
}

TEST_P(SaveFailureTest, FailedFirstSaveLeavesNoFileAtAll) {
  {
    TSwappedFileOps swapped(GetParam().ops);
    SaveNVData();
  }
  EXPECT_TRUE(EntryNames(DataPath()).empty());
}

const TFailureCase kFailureCases[] = {
    {"write", {ShortWrite, RealSaveFileOps.Flush, RealSaveFileOps.Close}},
    {"flush", {RealSaveFileOps.Write, FailingFlush, RealSaveFileOps.Close}},
    {"close", {RealSaveFileOps.Write, RealSaveFileOps.Flush, FailingClose}},
};

INSTANTIATE_TEST_SUITE_P(Failing, SaveFailureTest, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Reading ----------------------------------------------------------------

using TChange = std::pair<TField, double>;

struct TLoadCase {
  const char* name;
  std::string body;  // follows the header line
  std::vector<TChange> changes;
  int32_t language = 0;
};

void PrintTo(const TLoadCase& c, std::ostream* os) {
  *os << c.name;
}

class LoadRuleTest : public SettingsFileTest, public ::testing::WithParamInterface<TLoadCase> {};

TEST_P(LoadRuleTest, AppliesTheEntriesOverTheDefaults) {
  WriteBytes(SettingsFile(), kHeader + GetParam().body);
  LoadNVData();
  TFeedParams expected = Defaults();
  for (const auto& [field, value] : GetParam().changes) {
    expected.*field = value;
  }
  ExpectSameInputs(FeedParams, expected);
  EXPECT_EQ(Language, GetParam().language);
}

constexpr TField kFeedLength = &TFeedParams::FeedLength;
constexpr TField kStrokeRate = &TFeedParams::StrokeRate;
constexpr TField kAccel = &TFeedParams::Accel;
constexpr TField kMaxSpeed = &TFeedParams::MaxSpeed;
constexpr TField kSpeedLimit = &TFeedParams::SpeedLimit;
constexpr TField kApertureAngle = &TFeedParams::ApertureAngle;
constexpr TField kMaxAccel = &TFeedParams::MaxAccel;
constexpr TField kSettleTime = &TFeedParams::SettleTime;

const TLoadCase kLoadCases[] = {
    {"header_only", "", {}},
    {"feed_length", "{020} weg = 0.5000; [m]\r\n", {{kFeedLength, 0.5}}},
    {"stroke_rate_2000_restored", "{021} hza = 2000.0;\r\n", {{kStrokeRate, 2000}}},
    {"stroke_rate_just_above_9_restored", "{021} hza = 9.1;\r\n", {{kStrokeRate, 9.1}}},
    {"stroke_rate_9_ignored", "{021} hza = 9.0;\r\n", {}},
    {"stroke_rate_5_ignored", "{021} hza = 5.0;\r\n", {}},
    {"stroke_rate_2001_ignored", "{021} hza = 2001;\r\n", {}},
    {"stroke_rate_text_ignored", "{021} hza = abc;\r\n", {}},
    {"accel", "{022} bes = 0.750;\r\n", {{kAccel, 0.75}}},
    {"max_speed_sets_both_speeds", "{023} max = 2.5;\r\n", {{kMaxSpeed, 2.5}, {kSpeedLimit, 2.5}}},
    {"speed_limit_after_max_speed",
     "{023} max = 2.5;\r\n{030} spd = 1.5;\r\n",
     {{kMaxSpeed, 2.5}, {kSpeedLimit, 1.5}}},
    {"speed_limit_before_max_speed",
     "{030} spd = 1.5;\r\n{023} max = 2.5;\r\n",
     {{kMaxSpeed, 2.5}, {kSpeedLimit, 2.5}}},
    {"aperture_angle",
     "{024} \xF6"
     "fw = 90;\r\n",
     {{kApertureAngle, 90}}},
    {"max_accel_025", "{025} max = 60;\r\n", {{kMaxAccel, 60}}},
    {"max_accel_028", "{028} max = 70;\r\n", {{kMaxAccel, 70}}},
    {"later_of_025_and_028_wins", "{025} = 60;\r\n{028} = 70;\r\n", {{kMaxAccel, 70}}},
    {"later_of_028_and_025_wins", "{028} = 70;\r\n{025} = 60;\r\n", {{kMaxAccel, 60}}},
    {"settle_time_unchecked", "{027} ruz = -0.5;\r\n", {{kSettleTime, -0.5}}},
    {"later_entry_overrides", "{020} = 0.5;\r\n{020} = 0.7;\r\n", {{kFeedLength, 0.7}}},
    {"shorthand_continues_the_file",
     "{020} = 0.5;\r\n{+++} = 50;\r\n",
     {{kFeedLength, 0.5}, {kStrokeRate, 50}}},
    // Numbers: decimal notation, the longest prefix, 0 for anything else;
    // shown on the settling time, which has no input range.
    {"text_gives_zero", "{027} ruz = abc;\r\n", {{kSettleTime, 0}}},
    {"inf_text_gives_zero", "{027} ruz = inf;\r\n", {{kSettleTime, 0}}},
    {"nan_text_gives_zero", "{027} ruz = nan;\r\n", {{kSettleTime, 0}}},
    {"hexadecimal_reads_its_leading_zero", "{027} = 0x10;\r\n", {{kSettleTime, 0}}},
    {"comma_ends_the_number", "{020} = 1,5;\r\n", {{kFeedLength, 1}}},
    {"sign_fraction_and_exponent", "{020} = +2.5e-1mm;\r\n", {{kFeedLength, 0.25}}},
    {"exponent_without_digits_is_not_part", "{020} = 3e+;\r\n", {{kFeedLength, 3}}},
    {"point_without_digits_gives_zero", "{027} = .e5;\r\n", {{kSettleTime, 0}}},
    {"overflow_ignored", "{027} ruz = 1e999;\r\n{027} ruz = -1e400;\r\n", {}},
    {"underflow_gives_zero", "{027} ruz = 1e-999;\r\n", {{kSettleTime, 0}}},
    {"value_keeps_199_characters",
     "{027} = 1" + std::string(198, '0') + "5;\r\n",
     {{kSettleTime, 1e198}}},
    // Values the window would refuse when typed are not taken (the ranges are
    // in the window's units: mm, m/min, degrees, m/s^2).
    {"feed_length_4000_mm_taken", "{020} = 4.0;\r\n", {{kFeedLength, 4.0}}},
    {"feed_length_0_01_mm_taken", "{020} = 0.00001;\r\n", {{kFeedLength, 0.00001}}},
    {"feed_length_5_m_ignored", "{020} weg = 5.0000; [m]\r\n", {}},
    {"feed_length_zero_ignored", "{020} weg = abc;\r\n", {}},
    {"feed_length_negative_ignored", "{020} weg = -0.5;\r\n", {}},
    {"stroke_rate_2000_5_ignored", "{021} hza = 2000.5;\r\n", {}},
    {"accel_500_ignored", "{022} bes = 500;\r\n", {}},
    {"accel_zero_ignored", "{022} bes = 0;\r\n", {}},
    {"max_speed_400_m_per_min_taken",
     "{023} max = 6.666666;\r\n",
     {{kMaxSpeed, 6.666666}, {kSpeedLimit, 6.666666}}},
    {"max_speed_500_m_per_min_ignored_with_the_speed_limit", "{023} max = 8.333333;\r\n", {}},
    {"speed_limit_below_0_1_m_per_min_ignored", "{030} spd = 0.001;\r\n", {}},
    {"aperture_angle_350_taken",
     "{024} \xF6"
     "fw = 350;\r\n",
     {{kApertureAngle, 350}}},
    {"aperture_angle_360_ignored",
     "{024} \xF6"
     "fw = 360;\r\n",
     {}},
    {"aperture_angle_5_ignored",
     "{024} \xF6"
     "fw = 5;\r\n",
     {}},
    {"max_accel_025_500_ignored", "{025} max = 500;\r\n", {}},
    {"max_accel_028_500_ignored", "{028} max = 500;\r\n", {}},
    {"refused_value_keeps_the_earlier_entry",
     "{020} = 0.5;\r\n{020} = 5;\r\n",
     {{kFeedLength, 0.5}}},
    {"settle_time_any_size_taken", "{027} ruz = 1e50;\r\n", {{kSettleTime, 1e50}}},
    // What the file layer and the reader drop.
    {"unknown_and_sub_indexed_tags_ignored",
     "{026} = 1;\r\n{031} = 2;\r\n{020.001} = 3;\r\n{999} = 4;\r\n",
     {}},
    {"entry_cut_off_by_end_of_file", "{020} weg = 0.5", {}},
    {"cr_bytes_dropped_even_inside_a_value", "{020} weg = 0.\r5;\r\n", {{kFeedLength, 0.5}}},
    {"byte_1a_ends_the_data", "{020} = 0.5;\r\n\x1A{021} = 50;\r\n", {{kFeedLength, 0.5}}},
    {"run_of_cr_bytes_longer_than_a_read_chunk",
     std::string(20000, '\r') + "{020} = 0.5;\r\n",
     {{kFeedLength, 0.5}}},
    {"language_and_cr_bytes_inside_a_value_up_to_byte_1a",
     "{900} lan = 1;\r\n{020} weg = 0.5000; [m]\r\n{024} \xF6"
     "fw = 1\r\r\r20;\r\n\x1A{022} bes = 3.000;\r\n",
     {{kFeedLength, 0.5}, {kApertureAngle, 120}},
     1},
    {"byte_1a_inside_a_value_cuts_the_entry",
     "{020} = 0.\x1A"
     "5;\r\n",
     {}},
};

INSTANTIATE_TEST_SUITE_P(Entries, LoadRuleTest, ::testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsFileTest, SinSqRampsFollowTheIntegerOfTheText) {
  const struct {
    const char* text;
    bool before;
    bool after;
  } cases[] = {
      {"2", false, true},   {"0.5", true, false}, {"0", true, false},           {"-1", false, true},
      {"abc", true, false}, {" 7x", false, true}, {"99999999999", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    FeedParams.SinSqRamps = c.before;
    WriteBytes(SettingsFile(), kHeader + "{029} snq = " + c.text + ";\r\n");
    LoadNVData();
    EXPECT_EQ(FeedParams.SinSqRamps, c.after);
  }
}

TEST_F(SettingsFileTest, LanguageTakesTheIntegerUnchecked) {
  const std::pair<const char*, int32_t> cases[] = {
      {"5", 5},
      {"-3", -3},
      {"1.9", 1},
      {"abc", 0},
      {"99999999999", INT32_MAX},
      {"-99999999999", INT32_MIN},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    Language = 1;
    WriteBytes(SettingsFile(), kHeader + "{900} lan = " + text + ";\r\n");
    LoadNVData();
    EXPECT_EQ(Language, expected);
  }
}

TEST_F(SettingsFileTest, UnlistedLanguageIsWrittenBackAsRead) {
  WriteBytes(SettingsFile(), kHeader + "{900} lan = 5;\r\n");
  LoadNVData();
  SaveNVData();
  std::optional<std::string> bytes = ReadBytes(SettingsFile());
  ASSERT_TRUE(bytes);
  EXPECT_NE(bytes->find("\r\n{900} lan = 5;\r\n"), std::string::npos) << *bytes;
}

TEST_F(SettingsFileTest, LoadContinuesTheShorthandFromEarlierReading) {
  LastTag = 21;
  WriteBytes(SettingsFile(), kHeader + "{+++} bes = 3.5;\r\n");
  LoadNVData();
  EXPECT_EQ(FeedParams.Accel, 3.5);
}

TEST_F(SettingsFileTest, NoFileAtAllChangesNothing) {
  LoadNVData();
  ExpectSameInputs(FeedParams, Defaults());
  EXPECT_EQ(Language, 0);

  DataDir = DirText(root_ / "missing");
  ProgramDir = DirText(root_ / "missing");
  LoadNVData();
  ExpectSameInputs(FeedParams, Defaults());
}

TEST_F(SettingsFileTest, DirectoryTextThatIsNotUtf16CountsAsMissing) {
  WriteBytes(SettingsFile(), kHeader + "{020} = 0.5;\r\n");
  DataDir = u"\xD800/";  // a lone surrogate has no file name
  ProgramDir = DataDir;
  LoadNVData();
  SaveNVData();
  ExpectSameInputs(FeedParams, Defaults());
}

// ---- The fallback file -------------------------------------------------------

TEST_F(SettingsFileTest, FallbackIsReadWhenTheSettingsFileIsMissing) {
  WriteBytes(FallbackFile(), kHeader + "{020} = 0.5;\r\n{900} = 1;\r\n{025} = 60;\r\n");
  LoadNVData();
  TFeedParams expected = Defaults();
  expected.FeedLength = 0.5;  // {025} is not taken from the fallback
  ExpectSameInputs(FeedParams, expected);
  EXPECT_EQ(Language, 1);
}

TEST_F(SettingsFileTest, FallbackSetsTheAccelerationLimitThroughTag028Only) {
  WriteBytes(FallbackFile(), kHeader + "{025} = 60;\r\n{028} = 70;\r\n{025} = 80;\r\n");
  LoadNVData();
  EXPECT_EQ(FeedParams.MaxAccel, 70);
}

TEST_F(SettingsFileTest, SettingsFileIsPreferredToTheFallback) {
  WriteBytes(SettingsFile(), kHeader + "{020} = 0.3;\r\n");
  WriteBytes(FallbackFile(), kHeader + "{020} = 0.5;\r\n{021} = 50;\r\n");
  LoadNVData();
  TFeedParams expected = Defaults();
  expected.FeedLength = 0.3;
  ExpectSameInputs(FeedParams, expected);
}

TEST_F(SettingsFileTest, SaveAfterFallbackWritesOnlyTheSettingsFile) {
  const std::string fallback = kHeader + "{020} = 0.5;\r\n";
  WriteBytes(FallbackFile(), fallback);
  LoadNVData();
  SaveNVData();
  EXPECT_EQ(ReadBytes(FallbackFile()), fallback);
  std::optional<std::string> saved = ReadBytes(SettingsFile());
  ASSERT_TRUE(saved);
  EXPECT_NE(saved->find("{020} weg = 0.5000; [m]\r\n"), std::string::npos);
}

TEST_F(SettingsFileTest, BothFilesInOneDirectory) {
  ProgramDir = DataDir;
  const fs::path fallback = DataPath() / "NV-Data.kqx";
  const std::string fallbackBytes = kHeader + "{020} = 0.5;\r\n{028} = 70;\r\n";
  WriteBytes(fallback, fallbackBytes);
  WriteBytes(SettingsFile(), kHeader + "{020} = 0.3;\r\n");
  LoadNVData();
  EXPECT_EQ(FeedParams.FeedLength, 0.3);
  EXPECT_EQ(FeedParams.MaxAccel, 50);

  SaveNVData();
  EXPECT_EQ(ReadBytes(fallback), fallbackBytes);
  EXPECT_EQ(EntryNames(DataPath()), (std::set<std::string>{"NV-Data.kqn", "NV-Data.kqx"}));
}

TEST_F(SettingsFileTest, OnlyTheFirstMebibyteOfAHugeFileIsRead) {
  WriteBytes(SettingsFile(),
             kHeader + "{020} = 0.5;\r\n" + std::string(2 << 20, ' ') + "{021} = 50;\r\n");
  LoadNVData();
  TFeedParams expected = Defaults();
  expected.FeedLength = 0.5;
  ExpectSameInputs(FeedParams, expected);
}

// ---- Leftovers of killed saves

TEST_F(SettingsFileTest, LeftoversNamedAfterThisProcessDoNotBlockTheSave) {
  // As in a PID namespace, where every run has the same process id.
  for (int n = 0; n < 300; ++n) {
    WriteBytes(DataPath() / ("NV-Data.kqn." + std::to_string(ProcessId()) + "-" +
                             std::to_string(n) + ".tmp"),
               "left");
  }
  const std::set<std::string> young = Temporaries(DataPath());
  SaveNVData();
  EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
  EXPECT_EQ(Temporaries(DataPath()), young) << "a leftover younger than a minute may be in use";
}

TEST_F(SettingsFileTest, SaveRemovesOnlyAbandonedTemporaryFilesOfTheSettingsFile) {
  struct TEntry {
    const char* name;
    bool isFolder;
    bool removed;  // by a save, once it is two minutes old
  };
  // The names differ in more than the case of their letters, so that each is
  // an entry of its own where the file system ignores case, too.
  const TEntry entries[] = {
      {"NV-Data.kqn.4711-0.tmp", false, true},
      {"NV-Data.kqn.1-99.tmp", false, true},
      {"NV-Data.kqn.0123456789abcdef.tmp", false, true},
      {"NV-Data.kqn.backup.tmp", false, false},
      {"NV-Data.kqn.4711-0.tmp.keep", false, false},
      {"NV-Data.kqx.4711-0.tmp", false, false},
      {"Other.kqn.4711-0.tmp", false, false},
      {"NV-Data.kqn.-0.tmp", false, false},
      {"NV-Data.kqn.ABCDEF0123456789.tmp", false, false},
      {"NV-Data.kqn.4711-1.tmp", true, false},  // named like one, but no file
  };
  std::set<std::string> kept = {"NV-Data.kqn"};
  for (const TEntry& entry : entries) {
    const fs::path path = DataPath() / entry.name;
    if (entry.isFolder) {
      fs::create_directory(path);
    } else {
      WriteBytes(path, "left");
    }
    MakeOlder(path, std::chrono::minutes(2));
    if (!entry.removed) {
      kept.insert(entry.name);
    }
  }
  // A young one may belong to a save running right now.
  WriteBytes(DataPath() / "NV-Data.kqn.fedcba9876543210.tmp", "busy");
  MakeOlder(DataPath() / "NV-Data.kqn.fedcba9876543210.tmp", std::chrono::seconds(30));
  kept.insert("NV-Data.kqn.fedcba9876543210.tmp");

  SaveNVData();
  EXPECT_EQ(EntryNames(DataPath()), kept);
  EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
}

// ---- Replacing rather than rewriting

TEST_F(SettingsFileTest, SaveInAWritableFolderReplacesTheFileRatherThanRewritingIt) {
  WriteBytes(SettingsFile(), "old");
  // A second name of the old file shows whether the file was rewritten.
  fs::create_hard_link(SettingsFile(), DataPath() / "second-name");
  SaveNVData();
  EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
  EXPECT_EQ(ReadBytes(DataPath() / "second-name"), "old");
}

}  // namespace
