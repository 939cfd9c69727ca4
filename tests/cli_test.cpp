// SPDX-License-Identifier: MIT
// kolvane-calc in-process: the documented figures in every format, the proof
// that it prints what the window shows for the same typed values, the chart's
// answers, the batch and its CSV reading, and the read-only settings.

#include <fast_float/fast_float.h>
#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/EntryPoint.h"
#include "app/Folders.h"
#include "calc/FeedCalc.h"
#include "calc/FeedParams.h"
#include "cli/Batch.h"
#include "cli/Chart.h"
#include "cli/Cli.h"
#include "cli/CliTexts.h"
#include "cli/Csv.h"
#include "cli/Job.h"
#include "cli/StoredSettings.h"
#include "settings/NVData.h"
#include "tests/FakePlatform.h"
#include "tests/support/StoryHome.h"
#include "ui/Main.h"
#include "ui/recorded/RecordedShell.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

struct TRun {
  int Code = -1;
  std::string Out;
  std::string Err;
};

// Runs kolvane-calc in-process on the given settings record.
TRun RunCalc(std::vector<std::string> args, const TFeedParams& settings,
             const std::string& input = "") {
  args.insert(args.begin(), "kolvane-calc");
  std::vector<const char*> argv;
  for (const std::string& arg : args) {
    argv.push_back(arg.c_str());
  }
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  TRun run;
  run.Code =
      RunCli(static_cast<int>(argv.size()), argv.data(), in, out, err, [&] { return settings; });
  run.Out = out.str();
  run.Err = err.str();
  return run;
}

TRun RunDefaults(std::vector<std::string> args, const std::string& input = "") {
  return RunCalc(std::move(args), DefaultSettings(), input);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line);
  }
  return lines;
}

// The text format as label -> value; the two columns are parted by at
// least two blanks.
std::map<std::string, std::string> TextValues(const std::string& text) {
  std::map<std::string, std::string> values;
  for (const std::string& line : Lines(text)) {
    const size_t gap = line.find("  ");
    if (gap == std::string::npos) {
      continue;
    }
    values[line.substr(0, gap)] = line.substr(line.find_first_not_of(' ', gap));
  }
  return values;
}

// A CSV header and row (no quoted fields) as key -> field.
std::map<std::string, std::string> CsvValues(const std::string& text) {
  TCsvReader reader(text);
  TCsvRecord header;
  TCsvRecord row;
  EXPECT_TRUE(reader.Next(header));
  EXPECT_TRUE(reader.Next(row));
  std::map<std::string, std::string> values;
  for (size_t i = 0; i < header.Fields.size() && i < row.Fields.size(); ++i) {
    values[header.Fields[i]] = row.Fields[i];
  }
  return values;
}

double Parse(const std::string& text) {
  double value = NAN;
  fast_float::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// ---- The documented calculation figures, in all three formats ----

struct TFigure {
  const char* Name;
  const char* Command;  // rate or timing
  std::vector<std::string> Args;
  // Expected: the display texts, the profile, the flags, and the numbers
  // (as documented, to about seven digits).
  std::map<std::string, std::string> Texts;
  const char* Profile;
  std::map<std::string, bool> Flags;
  std::map<std::string, double> Numbers;
};

std::ostream& operator<<(std::ostream& out, const TFigure& figure) {
  return out << figure.Name;
}

class DocumentedFigures : public ::testing::TestWithParam<TFigure> {};

TEST_P(DocumentedFigures, ShowTheSameInTextCsvAndJson) {
  const TFigure& f = GetParam();
  std::vector<std::string> args{"--no-settings", f.Command};
  args.insert(args.end(), f.Args.begin(), f.Args.end());

  std::vector<std::string> jsonArgs = args;
  jsonArgs.insert(jsonArgs.end(), {"--format", "json"});
  const TRun jsonRun = RunDefaults(jsonArgs);
  ASSERT_EQ(jsonRun.Code, 0) << jsonRun.Err;
  const json j = json::parse(jsonRun.Out);

  std::vector<std::string> csvArgs = args;
  csvArgs.insert(csvArgs.end(), {"--format", "csv"});
  const TRun csvRun = RunDefaults(csvArgs);
  ASSERT_EQ(csvRun.Code, 0) << csvRun.Err;
  std::map<std::string, std::string> csv = CsvValues(csvRun.Out);

  EXPECT_EQ(j["profile"], f.Profile);
  EXPECT_EQ(csv["profile"], f.Profile);
  for (const auto& [key, text] : f.Texts) {
    EXPECT_EQ(j[key], text) << "JSON " << key;
    EXPECT_EQ(csv[key], text) << "CSV " << key;
  }
  for (const auto& [key, flag] : f.Flags) {
    EXPECT_EQ(j[key], flag) << "JSON " << key;
    EXPECT_EQ(csv[key], flag ? "true" : "false") << "CSV " << key;
  }
  for (const auto& [key, number] : f.Numbers) {
    ASSERT_TRUE(j[key].is_number()) << "JSON " << key;
    const double value = j[key].get<double>();
    EXPECT_NEAR(value, number, std::fabs(number) * 5e-7 + 1e-12) << "JSON " << key;
    // The CSV field reads back to the very same double as the JSON number.
    EXPECT_EQ(Parse(csv[key]), value) << "CSV " << key;
  }

  const TRun textRun = RunDefaults(args);
  ASSERT_EQ(textRun.Code, 0) << textRun.Err;
  for (const auto& [key, text] : f.Texts) {
    EXPECT_NE(textRun.Out.find("  " + text + " "), std::string::npos)
        << key << " " << text << " missing in\n"
        << textRun.Out;
  }
}

const std::vector<std::string> kLinear{"--sin2", "off"};

std::vector<std::string> With(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, DocumentedFigures,
    ::testing::Values(
        TFigure{"rate_at_the_defaults",
                "rate",
                {},
                {{"accel_text", "0.75"}, {"peak_speed_text", "4.2"}},
                "triangle",
                {{"accel_over_limit", false}, {"window_raised", false}},
                {{"accel_m_s2", 0.75}, {"peak_speed_m_min", 0.06923240 * 60}}},
        TFigure{"rate_with_a_window_too_short",
                "rate",
                {"--stroke-rate", "2000", "--angle", "10"},
                {{"accel_text", "1570794.8"}, {"peak_speed_text", "80.0"}},
                "trapezoid",
                {{"accel_over_limit", true}, {"window_raised", true}},
                {{"accel_m_s2", 1570794.8}}},
        TFigure{"rate_where_no_profile_fits",
                "rate",
                {"--feed-length", "4000"},
                {{"accel_text", "1570794.8"}},
                "trapezoid",
                {{"accel_over_limit", true}, {"window_raised", false}},
                {{"accel_m_s2", 1570794.8}}},
        TFigure{"rate_where_no_linear_profile_fits",
                "rate",
                With({"--feed-length", "4000"}, kLinear),
                {{"accel_text", "999999.0"}},
                "trapezoid",
                {{"accel_over_limit", true}},
                {{"accel_m_s2", 999999.0}}},
        TFigure{"rate_above_the_maximum_acceleration",
                "rate",
                {"--stroke-rate", "800"},
                {{"accel_text", "83.1"}, {"peak_speed_text", "43.6"}},
                "triangle",
                {{"accel_over_limit", true}, {"window_raised", false}},
                {{"accel_m_s2", 83.1}, {"peak_speed_m_min", 0.7274177 * 60}}},
        TFigure{"rate_reaching_the_speed_limit_exactly",
                "rate",
                With({"--stroke-rate", "60", "--settle", "0", "--feed-length", "125", "--max-speed",
                      "30"},
                     kLinear),
                {{"accel_text", "2.00"}, {"peak_speed_text", "30.0"}},
                "triangle",
                {},
                {{"accel_m_s2", 2.0}, {"peak_speed_m_min", 30.0}}},
        TFigure{"rate_just_above_the_speed_limit",
                "rate",
                With({"--stroke-rate", "60", "--settle", "0", "--feed-length", "125", "--max-speed",
                      "29.9"},
                     kLinear),
                {{"accel_text", "2.00"}, {"peak_speed_text", "29.9"}},
                "trapezoid",
                {},
                {{"accel_m_s2", 2.0}, {"peak_speed_m_min", 29.9}}},
        TFigure{
            "rate_on_an_acceleration_rounding_boundary",
            "rate",
            With({"--feed-length", "500", "--stroke-rate", "5", "--angle", "200", "--settle", "0"},
                 kLinear),
            {{"accel_text", "0.05"}, {"peak_speed_text", "10.0"}},
            "triangle",
            {},
            {{"accel_m_s2", 0.05}, {"peak_speed_m_min", 10.0}}},
        TFigure{"rate_rounding_the_acceleration_to_zero",
                "rate",
                {"--stroke-rate", "5"},
                {{"accel_text", "0.00"}, {"peak_speed_text", "0.0"}},
                "triangle",
                {{"accel_over_limit", false}, {"window_raised", false}},
                {{"accel_m_s2", 0.0}, {"peak_speed_m_min", 0.0}}},
        TFigure{"rate_where_rounding_turns_a_trapezoid_into_a_triangle",
                "rate",
                {"--feed-length", "193.4", "--max-speed", "80.004"},
                {{"accel_text", "14.4"}},
                "triangle",
                {},
                {{"accel_m_s2", 14.4}, {"peak_speed_m_min", 1.329262 * 60}}},
        TFigure{"timing_at_the_defaults",
                "timing",
                {},
                {{"feed_time_text", "0.089"},
                 {"ramp_time_text", "0.040"},
                 {"peak_speed_text", "15.1"},
                 {"stroke_rate_text", "337.1"}},
                "triangle",
                {},
                {{"feed_time_s", 0.089},
                 {"ramp_time_s", 0.040},
                 {"peak_speed_m_min", 0.2523133 * 60},
                 {"stroke_rate_per_min", 60 / 0.178}}},
        TFigure{"timing_reaching_the_speed_limit_exactly",
                "timing",
                With({"--accel", "100", "--feed-length", "10", "--speed-limit", "60"}, kLinear),
                {{"feed_time_text", "0.030"},
                 {"ramp_time_text", "0.010"},
                 {"peak_speed_text", "60.0"},
                 {"stroke_rate_text", "1000.0"}},
                "triangle",
                {},
                {{"feed_time_s", 0.030}, {"stroke_rate_per_min", 1000.0}}},
        TFigure{
            "timing_of_a_trapezoid_on_a_half_millisecond",
            "timing",
            With({"--accel", "400", "--feed-length", "10", "--speed-limit", "60"}, kLinear),
            {{"feed_time_text", "0.023"}, {"ramp_time_text", "0.003"}, {"peak_speed_text", "60.0"}},
            "trapezoid",
            {},
            {{"feed_time_s", 0.023}, {"ramp_time_s", 0.003}, {"stroke_rate_per_min", 60 / 0.046}}},
        TFigure{"timing_of_a_long_trapezoid",
                "timing",
                {"--feed-length", "500"},
                {{"feed_time_text", "0.594"},
                 {"ramp_time_text", "0.209"},
                 {"stroke_rate_text", "50.5"}},
                "trapezoid",
                {},
                {{"feed_time_s", 0.594}, {"stroke_rate_per_min", 60 / 1.188}}}),
    [](const ::testing::TestParamInfo<TFigure>& info) { return std::string(info.param.Name); });

// A result without a value is null in JSON, empty in CSV and a dash in text:
// the feed timing at an acceleration of zero, which only the settings file
// (after a stroke rate rounded to 0.00) can hold.
TEST(CliTest, ShowsAResultWithoutValueAsNullEmptyAndDash) {
  TFeedParams settings = DefaultSettings();
  settings.Accel = 0.0;
  const TRun jsonRun = RunCalc({"timing", "--format", "json"}, settings);
  ASSERT_EQ(jsonRun.Code, 0) << jsonRun.Err;
  const json j = json::parse(jsonRun.Out);
  EXPECT_TRUE(j["feed_time_s"].is_null());
  EXPECT_TRUE(j["ramp_time_s"].is_null());
  EXPECT_TRUE(j["stroke_rate_per_min"].is_null());
  EXPECT_EQ(j["feed_time_text"], "-");
  EXPECT_EQ(j["stroke_rate_text"], "-");
  EXPECT_EQ(j["peak_speed_m_min"], 0.0);
  // The window refuses the acceleration box's "0.00" and keeps the stored 0.
  EXPECT_THAT(jsonRun.Err, ::testing::HasSubstr("Acceleration:  0.01 to 400 m/s\u00B2"));

  const TRun csvRun = RunCalc({"timing", "--format", "csv"}, settings);
  std::map<std::string, std::string> csv = CsvValues(csvRun.Out);
  EXPECT_EQ(csv["feed_time_s"], "");
  EXPECT_EQ(csv["stroke_rate_per_min"], "");
  EXPECT_EQ(csv["feed_time_text"], "-");

  const TRun textRun = RunCalc({"timing"}, settings);
  EXPECT_EQ(TextValues(textRun.Out)["Total feed time"], "- s");
  EXPECT_EQ(TextValues(textRun.Out)["Stroke rate"], "- 1/min");
}

// When a value goes beyond the range of the drive's rounding, the window
// shows "Out of area (DtoL)" and goes on with 0, an acceleration the drive
// cannot be given, which is therefore marked as over the limit.
// kolvane-calc prints what the window shows, says so on standard error and
// exits with 1, as the results are no setting for the drive. In range: at
// 3320 mm and 12 strokes/min a trapezoid at 80 m/min just covers the feed,
// and the acceleration it needs is astronomical.
TEST(CliTest, ReportsARoundingBeyondTheDrivesRangeAndExitsWithOne) {
  struct TCase {
    const char* Name;
    TFeedParams Settings;
    std::vector<std::string> Args;
  };
  TFeedParams huge = DefaultSettings();
  huge.FeedLength = 1e9;  // m, and m/s: far beyond the ranges the boxes take
  huge.MaxSpeed = 1e12;
  const TCase cases[] = {
      {"a feed just covered at the maximum speed",
       DefaultSettings(),
       {"rate", "--feed-length", "3320", "--stroke-rate", "12", "--format", "json"}},
      {"values of an edited settings file", huge, {"rate", "--format", "json"}},
  };
  for (const TCase& c : cases) {
    const TRun run = RunCalc(c.Args, c.Settings);
    EXPECT_EQ(run.Code, 1) << c.Name << ": " << run.Err;
    EXPECT_EQ(json::parse(run.Out)["accel_text"], "0.00") << c.Name;
    EXPECT_EQ(json::parse(run.Out)["accel_over_limit"], true) << c.Name;
    EXPECT_THAT(run.Err, ::testing::HasSubstr("Out of area (DtoL)")) << c.Name;
  }
  // The report is not left installed behind the run.
  const TRun after = RunCalc({"rate"}, DefaultSettings());
  EXPECT_EQ(after.Err, "");
  EXPECT_EQ(after.Code, 0);
}

// kolvane-calc computes on records of its own: the window's process-wide
// record and its out-of-area report stay as they were, whatever it runs.
TEST(CliTest, LeavesTheWindowsRecordAndReportAlone) {
  TFeedParams sentinel{};
  sentinel.FeedLength = 0.123;
  sentinel.Accel = 4.56;
  sentinel.LimitFlags = 0x5A;
  sentinel.CycleTime = 7.89;
  FeedParams = sentinel;
  int reports = 0;
  SetDtoLReporter([&reports] { ++reports; });
  const std::string svg =
      (fs::temp_directory_path() /
       ("kolvane-cli-profile-" + std::to_string(std::random_device()()) + ".svg"))
          .string();
  const std::vector<std::vector<std::string>> runs = {
      {"rate", "--feed-length", "3320", "--stroke-rate", "12"},
      {"timing", "--accel", "1e-3"},
      {"chart", "--from", "3319", "--to", "3321", "--step", "1"},
      {"profile", "--feed-length", "3320", "--stroke-rate", "12", "--svg", svg},
      {"batch", "-"}};
  for (const std::vector<std::string>& args : runs) {
    RunDefaults(args, "feed-length,stroke-rate,request\n3320,12,rate\n10,100,timing\n");
    const TFeedParams& p = FeedParams;
    EXPECT_TRUE(p.FeedLength == sentinel.FeedLength && p.Accel == sentinel.Accel &&
                p.SpeedLimit == 0 && p.MaxSpeed == 0 && p.MaxAccel == 0 && !p.SinSqRamps &&
                p.ApertureAngle == 0 && p.SettleTime == 0 && p.StrokeRate == 0 &&
                p.MeanAccel == 0 && p.FeedTime == 0 && p.AccelTime == 0 && p.PeakSpeed == 0 &&
                !p.IsTriangle && p.LimitFlags == sentinel.LimitFlags &&
                p.CycleTime == sentinel.CycleTime)
        << args[0] << " wrote the window's record";
  }
  EXPECT_EQ(reports, 0);
  SetDtoLReporter(nullptr);
  std::error_code ignored;
  fs::remove(svg, ignored);
}

// ---- Option values ----

TEST(CliTest, RefusesABadOptionValueWithItsRangeHintAndExitCodeTwo) {
  struct TCase {
    std::vector<std::string> Args;
    std::string Error;
  };
  const TCase cases[] = {
      {{"rate", "--feed-length", "4000.01"}, "Feed length:  0.01 to 4000 mm"},
      {{"rate", "--stroke-rate", "4"}, "Stroke rate:  5 to 2000 1/min"},
      {{"rate", "--angle", "351"}, "Angle of aperture:  10 to 350\u00B0"},
      {{"rate", "--max-speed", "0.09"}, "Speed:  0.1 to 400 m/min"},
      {{"rate", "--max-accel", "0.009"}, "Acceleration:  0.01 to 400 m/s\u00B2"},
      {{"timing", "--accel", "401"}, "Acceleration:  0.01 to 400 m/s\u00B2"},
      {{"timing", "--speed-limit", "1e9"}, "Speed:  0.1 to 400 m/min"},
      {{"--lang", "de", "rate", "--feed-length", "0"}, "Strecke:  0.01 bis 4000 mm"},
      {{"rate", "--feed-length", "12abc"}, "not a number"},
      {{"rate", "--settle", "x"}, "not a number"},
      {{"rate", "--settle", "1e999"}, "not a number"},
      {{"rate", "--feed-length", ""}, "not a number"},
      {{"rate", "--sin2", "maybe"}, "--sin2"},
      {{"rate", "--format", "xml"}, "--format"},
      {{"rate", "--bogus"}, "bogus"},
      {{}, "subcommand"},
      {{"chart", "--from", "1", "--to", "10"}, "--step"},
      {{"chart", "--from", "1", "--to", "5000", "--step", "1"}, "Feed length:  0.01 to 4000 mm"},
      {{"chart", "--from", "10", "--to", "1", "--step", "1"}, "below"},
      {{"chart", "--from", "1", "--to", "10", "--step", "0"}, "positive"},
      {{"chart", "--from", "1", "--to", "10", "--step", "1", "--stroke-rate", "100"}, "leave out"},
  };
  for (const TCase& c : cases) {
    const TRun run = RunDefaults(c.Args);
    std::string command;
    for (const std::string& arg : c.Args) {
      command += ' ' + arg;
    }
    EXPECT_EQ(run.Code, 2) << command;
    EXPECT_THAT(run.Err, ::testing::HasSubstr(c.Error)) << command;
    EXPECT_EQ(run.Out, "") << command;
  }
}

TEST(CliTest, TakesTheBoundsAndADecimalCommaAsTheWindowDoes) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--feed-length", "0.01"},
                                                                {"--feed-length", "4000"},
                                                                {"--stroke-rate", "5"},
                                                                {"--stroke-rate", "2000"},
                                                                {"--angle", "10"},
                                                                {"--angle", "350"},
                                                                {"--max-speed", "0.1"},
                                                                {"--max-speed", "400"},
                                                                {"--max-accel", "0.01"},
                                                                {"--max-accel", "400"},
                                                                {"--settle", "-1"},
                                                                {"--feed-length", " 1e3 "}}) {
    EXPECT_EQ(RunDefaults(With({"rate"}, args)).Code, 0) << args[0] << ' ' << args[1];
  }
  EXPECT_EQ(RunDefaults({"rate", "--feed-length", "12,5"}).Out,
            RunDefaults({"rate", "--feed-length", "12.5"}).Out);
}

// An input of the other page is stored as if typed and accepted there
// first: sin^2 ramps for the feed timing, and a maximum speed that carries
// over to the feed-timing page's speed limit when it changes by more than
// 0.3 m/min.
TEST(CliTest, StoresInputsOfTheOtherPageFirst) {
  TFeedParams linear = DefaultSettings();
  linear.SinSqRamps = false;
  EXPECT_EQ(RunCalc({"timing", "--sin2", "off"}, DefaultSettings()).Out,
            RunCalc({"timing"}, linear).Out);
  EXPECT_NE(RunCalc({"timing", "--sin2", "off"}, DefaultSettings()).Out,
            RunCalc({"timing"}, DefaultSettings()).Out);
  EXPECT_EQ(TextValues(RunDefaults({"timing", "--max-speed", "100"}).Out)["Maximum speed"],
            "100.0 m/min");
  EXPECT_EQ(TextValues(RunDefaults({"timing", "--max-speed", "80.2"}).Out)["Maximum speed"],
            "80.0 m/min");
  // A speed limit above P240 is marked as the window marks it.
  EXPECT_EQ(TextValues(RunDefaults({"timing", "--speed-limit", "81"}).Out)["Maximum speed"],
            "81.0 m/min  (over the limit)");
}

TEST(CliTest, PrintsVersionAndHelpWithEveryCommandAndOption) {
  const TRun version = RunDefaults({"--version"});
  EXPECT_EQ(version.Code, 0);
  EXPECT_EQ(version.Out, "kolvane-calc 1.43\n");
  const TRun help = RunDefaults({"--help"});
  EXPECT_EQ(help.Code, 0);
  for (const char* word : {"rate",
                           "timing",
                           "chart",
                           "profile",
                           "batch",
                           "--feed-length MM",
                           "--angle DEG",
                           "--stroke-rate PER_MIN",
                           "--max-speed M_PER_MIN",
                           "--max-accel M_PER_S2",
                           "--sin2",
                           "--settle S",
                           "--accel M_PER_S2",
                           "--speed-limit M_PER_MIN",
                           "--lang",
                           "--no-settings",
                           "--format",
                           "--from MM",
                           "--step MM",
                           "--svg FILE",
                           "--log-x",
                           "else 10.00",
                           "else 100"}) {
    EXPECT_THAT(help.Out, ::testing::HasSubstr(word));
  }
}

// ---- The same as the window ----

// A number as a user might type it: a few decimals, now and then a comma.
std::string TypedNumber(std::mt19937& random, double low, double high) {
  const double value = std::uniform_real_distribution<double>(low, high)(random);
  const int decimals = std::uniform_int_distribution<int>(0, 3)(random);
  std::string text = fmt::format("{:.{}f}", value, decimals);
  if (std::stod(text) < low || std::stod(text) > high) {
    text = std::to_string(static_cast<int>(std::ceil(low)));
  }
  if (random() % 4 == 0) {
    std::replace(text.begin(), text.end(), '.', ',');
  }
  return text;
}

// A box of the page and the option that gives kolvane-calc the same value,
// with the range the rounds type from.
struct TTypedInput {
  const char* Box;
  const char* Option;
  double Low;
  double High;
  // When not 0, half of the rounds type up to this instead of High, so that
  // small figures come as often as large ones.
  double SmallHigh = 0;
};

// A line kolvane-calc prints and the box whose text it must give.
struct TShownLine {
  const char* Name = nullptr;   // the line's name, or else
  const char* Label = nullptr;  // the label control whose text names it
  const char* Box;
  const char* Unit;     // follows the box's text after a blank
  bool Marked = false;  // marked over the limit where the window colours the box red
};

// One page of the window beside kolvane-calc: what is typed where, and how
// kolvane-calc's lines are read against the boxes.
struct TWindowPage {
  const char* Name;
  const char* Page;
  bool English;  // the window's language; otherwise German, with "--lang de"
  const char* OverTheLimit;
  const char* Command;
  uint32_t Seed;
  std::vector<TTypedInput> Inputs;
  // A quarter of the rounds end with a click on this box (if any) instead of
  // Enter in EnterBox; kolvane-calc then gets its new state.
  const char* Toggled = nullptr;
  const char* EnterBox;
  std::vector<TShownLine> Results;
  // The inputs as the boxes show them after the next page change.
  std::vector<TShownLine> InputsAfterPageChange = {};
  // A line that kolvane-calc prints exactly when this box is red.
  const char* LimitsLine = nullptr;
  const char* LimitsBox = nullptr;
  // Line names and "<box> red" / "<box> plain" that the rounds must come
  // across, so that every profile and limit was compared.
  std::vector<std::string> ComeAcross;
};

void PrintTo(const TWindowPage& page, std::ostream* os) {
  *os << page.Name;
}

const TWindowPage kWindowPages[] = {
    {.Name = "StrokeRate",
     .Page = "TS_HzP",
     .English = true,
     .OverTheLimit = "over the limit",
     .Command = "rate",
     .Seed = 20261210,
     .Inputs = {{"ED_WayE", "--feed-length", 0.01, 4000, 60},
                {"ED_HZin", "--stroke-rate", 5, 2000},
                {"ED_AngleE", "--angle", 10, 350},
                {"ED_MaxSpeedE", "--max-speed", 0.1, 400},
                {"ED_MaxAccel", "--max-accel", 0.01, 400},
                {"ED_RuheZeitE", "--settle", -0.01, 0.3}},
     .Toggled = "CH_SinQramps",
     .EnterBox = "ED_WayE",
     .Results = {{.Label = "LB_Accel1", .Box = "ED_AccelE", .Unit = "m/s\u00B2", .Marked = true},
                 {.Label = "LB_SpeedE", .Box = "ED_SpeedE", .Unit = "m/min", .Marked = true}},
     .LimitsLine = "Limits",
     .LimitsBox = "ED_AccelE",
     .ComeAcross = {"Speed (triangle)", "Speed (trapezoid)", "ED_AccelE red", "ED_AccelE plain",
                    "ED_SpeedE red", "ED_SpeedE plain"}},
    {.Name = "FeedTiming",
     .Page = "TS_VZ",
     .English = false,
     .OverTheLimit = "\u00FCber dem Grenzwert",
     .Command = "timing",
     .Seed = 1210,
     .Inputs = {{"ED_WayS", "--feed-length", 0.01, 4000, 60},
                {"ED_AccelS", "--accel", 0.01, 400, 60},
                {"ED_MaxSpeedS", "--speed-limit", 0.1, 400},
                {"ED_AngleS", "--angle", 10, 350},
                {"ED_RuheZeitS", "--settle", -0.01, 0.3}},
     .EnterBox = "ED_WayS",
     .Results = {{.Name = "Vorschubzeit", .Box = "ED_TimeVS", .Unit = "s"},
                 {.Name = "Beschleunigungszeit", .Box = "ED_TimeAS", .Unit = "s"},
                 {.Label = "LB_SpeedS", .Box = "ED_SpeedS", .Unit = "m/min"},
                 {.Name = "Hubzahl", .Box = "ED_HZout", .Unit = "1/min"}},
     .InputsAfterPageChange =
         {{.Label = "LB_AccSinQ", .Box = "ED_AccelS", .Unit = "m/s\u00B2", .Marked = true},
          {.Name = "Max. Geschwindigkeit", .Box = "ED_MaxSpeedS", .Unit = "m/min", .Marked = true},
          {.Name = "Vorschub-Strecke", .Box = "ED_WayS", .Unit = "mm"}},
     .ComeAcross = {"Geschwindigkeit (Dreieck)", "Geschwindigkeit (Trapez)", "ED_AccelS red",
                    "ED_AccelS plain", "ED_MaxSpeedS red", "ED_MaxSpeedS plain"}},
};

// The window on the recorded toolkit, in a folder of its own, beside
// kolvane-calc: random values typed into a page's boxes and given to
// kolvane-calc as options, from the same stored values, must come out as the
// page shows them.
class KolvaneCalcBesideTheWindow : public ::testing::TestWithParam<TWindowPage> {
 protected:
  KolvaneCalcBesideTheWindow() {
    home_.Prepare("", u"kolvane");
    CommandLine = GetParam().English ? "/l:e" : "";
    shell_.emplace(home_.Platform());
    shell_->CreateMainForm();
    user_.emplace(*shell_->Form, shell_->Window);
    user_->Show();
  }

  ~KolvaneCalcBesideTheWindow() override { shell_->Form.reset(); }

  TFO_Main& Form() { return *shell_->Form; }
  TUserDriver& User() { return *user_; }
  std::string Text(std::string_view name) { return Utf8(shell_->Window[name].Text); }
  bool Red(std::string_view name) { return shell_->Window[name].Color == TColor::Rgb(255, 68, 68); }

  // Refills every box from the stored values, as a page change does; the
  // record then holds what kolvane-calc starts from.
  void Refill() {
    User().SwitchPage(Form().Control<TTabSheet>("TS_Options"));
    User().SwitchPage(Form().Control<TTabSheet>(GetParam().Page));
  }

  void Type(TEdit& box, const std::string& text) {
    ASSERT_TRUE(User().Focus(box));
    User().Type(box, Utf16(text));
  }

  // Types a random choice of the page's inputs and confirms them as a user
  // does; the options that give kolvane-calc the same values are appended.
  void TypeRound(std::mt19937& random, std::vector<std::string>& args) {
    const TWindowPage& page = GetParam();
    std::vector<std::string> texts;
    for (const TTypedInput& input : page.Inputs) {
      const double high = input.SmallHigh != 0 && random() % 2 == 0 ? input.SmallHigh : input.High;
      texts.push_back(TypedNumber(random, input.Low, high));
    }
    for (size_t i = 0; i < page.Inputs.size(); ++i) {
      if (random() % 3 == 0) {
        continue;  // this box keeps the stored value
      }
      Type(Form().Control<TEdit>(page.Inputs[i].Box), texts[i]);
      args.insert(args.end(), {page.Inputs[i].Option, texts[i]});
    }
    if (page.Toggled != nullptr && random() % 4 == 0) {
      User().Click(Form().Control<TCheckBox>(page.Toggled));
      args.insert(args.end(), {"--sin2", FeedParams.SinSqRamps ? "on" : "off"});
    } else {
      ASSERT_TRUE(User().Focus(Form().Control<TEdit>(page.EnterBox)));
      User().PressEnter();
    }
  }

  // Each line as the window shows its box, marked where the box is red;
  // counts what the rounds came across.
  void ExpectLines(const std::vector<TShownLine>& lines,
                   std::map<std::string, std::string>& shown) {
    for (const TShownLine& line : lines) {
      const std::string name = line.Label != nullptr ? Text(line.Label) : line.Name;
      std::string expected = Text(line.Box) + " " + line.Unit;
      if (line.Marked) {
        const bool red = Red(line.Box);
        if (red) {
          expected += std::string("  (") + GetParam().OverTheLimit + ")";
        }
        ++seen_[std::string(line.Box) + (red ? " red" : " plain")];
      }
      EXPECT_EQ(shown[name], expected) << name;
      ++seen_[name];
    }
  }

  TStoryHome home_;
  std::optional<TRecordedShell> shell_;
  std::optional<TUserDriver> user_;
  std::map<std::string, int> seen_;
};

TEST_P(KolvaneCalcBesideTheWindow, PrintsWhatThePageShows) {
  const TWindowPage& page = GetParam();
  std::mt19937 random(page.Seed);
  for (int round = 0; round < 150; ++round) {
    Refill();
    const TFeedParams stored = FeedParams;
    std::vector<std::string> args;
    if (!page.English) {
      args = {"--lang", "de"};
    }
    args.push_back(page.Command);
    ASSERT_NO_FATAL_FAILURE(TypeRound(random, args));
    ASSERT_TRUE(shell_->Services.Messages.empty());

    const TRun run = RunCalc(args, stored);
    ASSERT_EQ(run.Code, 0) << run.Err;
    std::map<std::string, std::string> shown = TextValues(run.Out);
    SCOPED_TRACE(run.Out);
    ExpectLines(page.Results, shown);
    if (page.LimitsLine != nullptr) {
      EXPECT_EQ(shown.count(page.LimitsLine), Red(page.LimitsBox) ? 1u : 0u);
    }
    if (!page.InputsAfterPageChange.empty()) {
      Refill();
      ExpectLines(page.InputsAfterPageChange, shown);
    }
  }
  for (const std::string& c : page.ComeAcross) {
    EXPECT_GT(seen_[c], 0) << "no round came across " << c;
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, KolvaneCalcBesideTheWindow, ::testing::ValuesIn(kWindowPages),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- Chart ----

TEST(ChartTest, TypesTheFeedLengthsAsDecimalsUpToTheLastOne) {
  const auto texts = [](double from, double to, double step) {
    std::vector<std::string> out;
    for (const std::u16string& t : ChartFeedLengths(from, to, step)) {
      out.push_back(Utf8(t));
    }
    return out;
  };
  EXPECT_THAT(texts(0.1, 0.5, 0.1), ::testing::ElementsAre("0.1", "0.2", "0.3", "0.4", "0.5"));
  EXPECT_THAT(texts(1, 10, 4), ::testing::ElementsAre("1", "5", "9"));
  EXPECT_THAT(texts(7, 7, 1), ::testing::ElementsAre("7"));
  EXPECT_EQ(texts(1, 4000, 1).size(), 4000u);
  EXPECT_TRUE(texts(2, 1, 1).empty());
  EXPECT_TRUE(texts(1, 2, 0).empty());
}

// For every point, the stroke-rate request at the reported rate sets no
// flag and every higher whole rate up to 2000 sets one; without a reported
// rate, every rate sets one. Checked for random drive settings.
TEST(ChartTest, ReportsTheHighestRateWithoutALimitFlag) {
  // Limited: a flag, or an acceleration beyond the rounding's range.
  TFeedParams after{};
  const auto limited = [&after](const TFeedParams& p) {
    after = p;
    const unsigned outOfArea = CalcFeed(after, CALC_STROKERATE | CALC_CYCLE);
    return after.LimitFlags != 0 || outOfArea != 0;
  };
  std::mt19937 random(4711);
  int withoutRate = 0;
  for (int setting = 0; setting < 40; ++setting) {
    TTyped typed;
    typed[TInput::ApertureAngle] = Utf16(TypedNumber(random, 10, 350));
    typed[TInput::MaxSpeed] = Utf16(TypedNumber(random, 0.1, 400));
    typed[TInput::MaxAccel] = Utf16(TypedNumber(random, 0.01, 400));
    typed[TInput::SettleTime] = Utf16(TypedNumber(random, 0, 0.3));
    typed.SinSq = random() % 2 == 0;
    std::vector<std::u16string> lengths;
    for (int i = 0; i < 4; ++i) {
      lengths.push_back(Utf16(TypedNumber(random, 0.01, i % 2 ? 4000 : 50)));
    }
    const TBase base(DefaultSettings());
    for (const TChartPoint& point : ComputeChart(lengths, base, typed)) {
      TFeedParams p = point.Params;
      const int best = point.Best ? static_cast<int>(point.Best->After.StrokeRate) : 4;
      SCOPED_TRACE("feed length " + Utf8(point.FeedLengthText) + " mm, best rate " +
                   std::to_string(best));
      if (point.Best) {
        EXPECT_EQ(point.Best->After.StrokeRate, best);
        p.StrokeRate = best;
        EXPECT_FALSE(limited(p));
        EXPECT_EQ(after.Accel, point.Best->AccelMs2);
      } else {
        ++withoutRate;
      }
      for (int rate = best + 1; rate <= 2000; ++rate) {
        p.StrokeRate = rate;
        ASSERT_TRUE(limited(p)) << "rate " << rate;
      }
    }
  }
  // Long settling times leave some feed lengths without any rate.
  EXPECT_GT(withoutRate, 0);
}

// At 3320 mm the stroke rate 12 gives an acceleration beyond the rounding's
// range, which comes out as 0.00 without a flag; it is no answer.
TEST(ChartTest, DoesNotTakeARateWhoseAccelerationIsOutOfArea) {
  const TRun run = RunDefaults({"--no-settings", "chart", "--from", "3319", "--to", "3321",
                                "--step", "1", "--format", "json"});
  ASSERT_EQ(run.Code, 0) << run.Err;
  for (const auto& point : json::parse(run.Out)) {
    EXPECT_EQ(point["max_stroke_rate_per_min"], 11) << point["feed_length_mm"];
    EXPECT_EQ(point["profile"], "trapezoid") << point["feed_length_mm"];
  }
}

TEST(ChartTest, PrintsNullAndEmptyWhereNoRateFits) {
  const TRun json = RunDefaults({"--no-settings", "chart", "--from", "10", "--to", "4000", "--step",
                                 "3990", "--settle", "10", "--format", "json"});
  ASSERT_EQ(json.Code, 0) << json.Err;
  const nlohmann::json points = nlohmann::json::parse(json.Out);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[0]["feed_length_mm"], 10.0);
  EXPECT_EQ(points[1]["feed_length_mm"], 4000.0);
  for (const auto& point : points) {
    EXPECT_TRUE(point["max_stroke_rate_per_min"].is_null());
    EXPECT_TRUE(point["accel_m_s2"].is_null());
    EXPECT_TRUE(point["profile"].is_null());
  }
  const TRun good = RunDefaults(
      {"--no-settings", "chart", "--from", "10", "--to", "20", "--step", "10", "--format", "json"});
  const nlohmann::json fits = nlohmann::json::parse(good.Out);
  ASSERT_EQ(fits.size(), 2u);
  EXPECT_TRUE(fits[0]["max_stroke_rate_per_min"].is_number());
  EXPECT_EQ(fits[0]["feed_length_text"], "10.00");

  const TRun csv = RunDefaults({"--no-settings", "chart", "--from", "10", "--to", "4000", "--step",
                                "3990", "--settle", "10", "--format", "csv"});
  const std::vector<std::string> lines = Lines(csv.Out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].substr(0, 4), "10,,");
}

// ---- CSV reading ----

TEST(CsvTest, ReadsRecordsByTheRules) {
  struct TCase {
    const char* Name;
    std::string Text;
    std::vector<std::vector<std::string>> Records;
    std::vector<bool> Malformed;
  };
  const TCase cases[] = {
      {"plain lines", "a,b\nc,d\n", {{"a", "b"}, {"c", "d"}}, {false, false}},
      {"CR LF lines", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}, {false, false}},
      {"bare CR lines", "a,b\rc,d", {{"a", "b"}, {"c", "d"}}, {false, false}},
      {"no line break at the end", "a,b", {{"a", "b"}}, {false}},
      {"byte-order mark",
       "\xEF\xBB\xBF"
       "a,b\r\n",
       {{"a", "b"}},
       {false}},
      {"empty fields", ",\r\n,x,", {{"", ""}, {"", "x", ""}}, {false, false}},
      {"empty lines skipped", "a\r\n\r\n\nb\r\n", {{"a"}, {"b"}}, {false, false}},
      {"quoted comma, quote and line break",
       "\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\nx\r\n",
       {{"a,b", "say \"hi\"", "two\r\nlines"}, {"x"}},
       {false, false}},
      {"quoted empty field", "\"\",a", {{"", "a"}}, {false}},
      {"quote never closed", "a,\"b\r\nc", {{"a", "b\r\nc"}}, {true}},
      {"text after a closing quote", "\"a\"b,c\r\nd", {{"ab", "c"}, {"d"}}, {true, false}},
      {"empty text", "", {}, {}},
  };
  for (const TCase& c : cases) {
    TCsvReader reader(c.Text);
    std::vector<std::vector<std::string>> records;
    std::vector<bool> malformed;
    for (TCsvRecord record; reader.Next(record);) {
      records.push_back(record.Fields);
      malformed.push_back(record.Malformed);
    }
    EXPECT_EQ(records, c.Records) << c.Name;
    EXPECT_EQ(malformed, c.Malformed) << c.Name;
  }
}

// ---- Batch ----

struct TBatchRun {
  TBatchSummary Summary;
  std::vector<TCsvRecord> Rows;  // header first
  std::string Warnings;
  std::string Output;
};

TBatchRun Batch(const std::string& csv, TLang lang = TLang::English) {
  std::ostringstream out;
  std::ostringstream warnings;
  TBatchRun run;
  run.Summary = RunBatch(csv, TBase(DefaultSettings()), lang, out, warnings);
  run.Warnings = warnings.str();
  run.Output = out.str();
  TCsvReader reader(run.Output);
  for (TCsvRecord record; reader.Next(record);) {
    run.Rows.push_back(record);
  }
  return run;
}

std::string Field(const TBatchRun& run, size_t row, const std::string& column) {
  const std::vector<std::string>& header = run.Rows.at(0).Fields;
  const auto at = std::find(header.begin(), header.end(), column);
  if (at == header.end()) {
    return "<no column " + column + ">";
  }
  return run.Rows.at(row).Fields.at(static_cast<size_t>(at - header.begin()));
}

TEST(BatchTest, ComputesGoodRowsAsSingleJobsAndMarksEveryKindOfBadRow) {
  const std::string csv =
      "id,feed-length,stroke-rate,sin2,request,accel,speed-limit\r\n"
      "good rate,10,100,,,,\r\n"
      "good timing,500,,,timing,,\r\n"
      "out of range,4000.5,,,,,\r\n"
      "not a number,,fast,,,,\r\n"
      "bad switch,,,maybe,,,\r\n"
      "bad request,,,,both,,\r\n"
      "two errors,0,1,,,,\r\n"
      "too few,10\r\n"
      "too many,10,100,on,rate,1,2,3\r\n"
      "\"broken\"quote,10,100,,,,\r\n"
      "linear,10,800,off,rate,,\r\n"
      "out of area,3320,12,,,,\r\n";
  const TBatchRun run = Batch(csv);
  ASSERT_EQ(run.Rows.size(), 13u);
  EXPECT_EQ(run.Summary.Rows, 12u);
  EXPECT_EQ(run.Summary.Failed, 9u);
  const std::vector<std::string> ids{"good rate",  "good timing", "out of range", "not a number",
                                     "bad switch", "bad request", "two errors",   "too few",
                                     "too many",   "brokenquote", "linear"};
  for (size_t i = 0; i < ids.size(); ++i) {
    EXPECT_EQ(run.Rows[i + 1].Fields[0], ids[i]) << "row " << i + 1 << " is in its place";
    EXPECT_EQ(run.Rows[i + 1].Fields.size(), run.Rows[0].Fields.size()) << ids[i];
  }
  // Good rows: the very texts of the single commands.
  const auto single = [](std::vector<std::string> args) {
    args.insert(args.begin(), "--no-settings");
    args.insert(args.end(), {"--format", "json"});
    return json::parse(RunDefaults(args).Out);
  };
  const json rate = single({"rate", "--feed-length", "10", "--stroke-rate", "100"});
  EXPECT_EQ(Field(run, 1, "accel_text"), rate["accel_text"]);
  EXPECT_EQ(Parse(Field(run, 1, "peak_speed_m_min")), rate["peak_speed_m_min"].get<double>());
  EXPECT_EQ(Field(run, 1, "error"), "");
  const json timing = single({"timing", "--feed-length", "500"});
  EXPECT_EQ(Field(run, 2, "feed_time_text"), timing["feed_time_text"]);
  EXPECT_EQ(Field(run, 2, "stroke_rate_text"), timing["stroke_rate_text"]);
  EXPECT_EQ(Field(run, 2, "accel_text"), "");
  const json linear =
      single({"rate", "--feed-length", "10", "--stroke-rate", "800", "--sin2", "off"});
  EXPECT_EQ(Field(run, 11, "accel_text"), linear["accel_text"]);
  EXPECT_EQ(Field(run, 11, "accel_over_limit"), linear["accel_over_limit"] ? "true" : "false");

  EXPECT_EQ(Field(run, 3, "error"), "feed-length: Feed length:  0.01 to 4000 mm");
  EXPECT_EQ(Field(run, 4, "error"), "stroke-rate: not a number");
  EXPECT_EQ(Field(run, 5, "error"), "sin2: neither on nor off");
  EXPECT_EQ(Field(run, 6, "error"), "request: neither rate nor timing");
  EXPECT_EQ(
      Field(run, 7, "error"),
      "feed-length: Feed length:  0.01 to 4000 mm; stroke-rate: Stroke rate:  5 to 2000 1/min");
  EXPECT_EQ(Field(run, 8, "error"), "line 9: the row has another number of fields than the header");
  EXPECT_EQ(Field(run, 9, "error"),
            "line 10: the row has another number of fields than the header");
  EXPECT_THAT(Field(run, 10, "error"), ::testing::HasSubstr("quote"));
  EXPECT_THAT(Field(run, 12, "error"), ::testing::StartsWith("Out of area (DtoL): "));
  for (size_t row : {3, 4, 5, 6, 7, 8, 9, 10, 12}) {
    EXPECT_EQ(Field(run, row, "accel_m_s2"), "") << ids[row - 1];
    EXPECT_EQ(Field(run, row, "profile"), "") << ids[row - 1];
  }
  EXPECT_THAT(run.Warnings, ::testing::HasSubstr("\"id\" is no input"));
}

TEST(BatchTest, ReadsLineEndsQuotingAndAByteOrderMarkAlike) {
  const std::string plain =
      "part,feed-length,stroke-rate\n\"A, left\",10,100\n\"B \"\"x\"\"\",20,200\n";
  std::string crlf;
  for (char c : plain) {
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  }
  const TBatchRun a = Batch(plain);
  const TBatchRun b = Batch(crlf);
  const TBatchRun c = Batch("\xEF\xBB\xBF" + crlf);
  ASSERT_EQ(a.Rows.size(), 3u);
  EXPECT_EQ(a.Rows[0].Fields[0], "part") << "the byte-order mark is not part of the first name";
  EXPECT_EQ(a.Rows[1].Fields[0], "A, left");
  EXPECT_EQ(a.Rows[2].Fields[0], "B \"x\"");
  for (const TBatchRun* other : {&b, &c}) {
    ASSERT_EQ(other->Rows.size(), a.Rows.size());
    for (size_t i = 0; i < a.Rows.size(); ++i) {
      EXPECT_EQ(other->Rows[i].Fields, a.Rows[i].Fields) << "row " << i;
    }
  }
  EXPECT_EQ(Field(a, 1, "error"), "");
  EXPECT_EQ(a.Summary.Failed, 0u);
  // Without a request column only the stroke-rate results are written.
  EXPECT_EQ(Field(a, 1, "feed_time_s"), "<no column feed_time_s>");
}

TEST(BatchTest, WritesTheResultHeaderForAnEmptyFileOrAHeaderAlone) {
  for (const std::string& csv : {std::string(), std::string("\xEF\xBB\xBF"), std::string("\r\n")}) {
    const TBatchRun run = Batch(csv);
    ASSERT_EQ(run.Rows.size(), 1u);
    EXPECT_EQ(run.Rows[0].Fields.front(), "accel_m_s2");
    EXPECT_EQ(run.Rows[0].Fields.back(), "error");
    EXPECT_EQ(run.Summary.Rows, 0u);
  }
  const TBatchRun header = Batch("feed-length,request\r\n");
  ASSERT_EQ(header.Rows.size(), 1u);
  EXPECT_EQ(header.Rows[0].Fields.front(), "feed-length");
  EXPECT_EQ(header.Rows[0].Fields.back(), "error");
}

TEST(BatchTest, KeepsManyRowsInOrderWithNothingLost) {
  std::mt19937 random(99);
  std::string csv = "n,feed-length,stroke-rate,request\r\n";
  std::vector<bool> bad;
  for (int n = 0; n < 2000; ++n) {
    const bool broken = random() % 7 == 0;
    bad.push_back(broken);
    // A decimal comma needs quotes.
    csv += std::to_string(n) + ",\"" + (broken ? "9999" : TypedNumber(random, 0.01, 4000)) +
           "\",\"" + TypedNumber(random, 5, 2000) + "\"," + (random() % 2 ? "rate" : "timing") +
           "\r\n";
  }
  const TBatchRun run = Batch(csv);
  ASSERT_EQ(run.Rows.size(), 2001u);
  size_t failed = 0;
  for (size_t n = 0; n < bad.size(); ++n) {
    EXPECT_EQ(run.Rows[n + 1].Fields[0], std::to_string(n));
    EXPECT_EQ(Field(run, n + 1, "error").empty(), !bad[n]) << "row " << n;
    failed += bad[n] ? 1 : 0;
  }
  EXPECT_EQ(run.Summary.Failed, failed);
}

// ---- Settings ----

class SettingsFolder : public ::testing::Test {
 protected:
  SettingsFolder() {
    root =
        fs::temp_directory_path() / ("kolvane-cli-set-" + std::to_string(std::random_device()()));
    fs::create_directories(root / "bin");
    platform.Executable = (root / "bin" / "kolvane-calc").u16string();
    platform.CommonFolder = (root / "common").u16string();
    platform.CreateMode = TFakePlatform::TCreateMode::Real;
  }
  ~SettingsFolder() override {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  fs::path root;
  TFakePlatform platform;
};

TEST_F(SettingsFolder, ReadsTheWindowsSettingsFileWithoutWritingOrCreatingAnything) {
  const fs::path file = root / "common" / "DVK" / "Common" / "NV-Data.kqn";
  fs::create_directories(file.parent_path());
  const std::string content =
      "Non volatile data for Kolvane (Win)\r\n\r\n{021} hza = 800.0;\r\n{029} snq = 0;\r\n";
  std::ofstream(file, std::ios::binary) << content;
  const auto written = fs::last_write_time(file);

  const std::unique_ptr<TPlatform> readOnly =
      MakeReadOnlyPlatform(std::make_unique<TFakePlatform>(platform));
  const TFeedParams settings = ReadStoredSettings(*readOnly);
  EXPECT_EQ(settings.StrokeRate, 800.0);
  EXPECT_FALSE(settings.SinSqRamps);
  EXPECT_EQ(settings.FeedLength, DefaultSettings().FeedLength);
  const TRun run = RunCalc({"rate", "--format", "json"}, settings);
  EXPECT_EQ(json::parse(run.Out)["accel_text"], "52.9");  // 800 strokes with linear ramps

  std::ifstream in(file, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content);
  EXPECT_EQ(fs::last_write_time(file), written);
  EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1);
}

TEST_F(SettingsFolder, NeverCreatesAMissingDataFolderButReadsTheFallbackAsTheWindowWould) {
  std::ofstream(root / "bin" / "NV-Data.kqx", std::ios::binary)
      << "Non volatile data for Kolvane (Win)\r\n\r\n{024} \xF6"
         "fw = 90;\r\n";
  const std::unique_ptr<TPlatform> readOnly =
      MakeReadOnlyPlatform(std::make_unique<TFakePlatform>(platform));
  const TFeedParams settings = ReadStoredSettings(*readOnly);
  EXPECT_EQ(settings.ApertureAngle, 90.0);
  EXPECT_FALSE(fs::exists(root / "common" / "DVK"));
  // The folder ends in the system's own separator, as the window keeps it.
  EXPECT_EQ(DataFolder(*readOnly, ProgramFolder(*readOnly)),
            (root / "common" / "DVK" / "Common" / "").u16string());
}

}  // namespace
