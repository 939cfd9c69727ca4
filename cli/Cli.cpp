// SPDX-License-Identifier: MIT
#include "cli/Cli.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "app/Exception.h"
#include "calc/FeedCalc.h"
#include "cli/Batch.h"
#include "cli/Chart.h"
#include "cli/CliTexts.h"
#include "cli/InputOptions.h"
#include "cli/Job.h"
#include "cli/Output.h"
#include "cli/StoredSettings.h"
#include "pages/Numbers.h"
#include "pages/Pictures.h"

#ifndef KOLVANE_VERSION
#define KOLVANE_VERSION "0"
#endif

namespace {

constexpr int kExitDone = 0;
constexpr int kExitRowErrors = 1;
constexpr int kExitOutOfArea = 1;
constexpr int kExitBadUse = 2;

class TFailure {
 public:
  explicit TFailure(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

struct TCommandLine {
  std::string Lang = "en";
  bool NoSettings = false;
  std::string Format = "text";
  std::array<std::optional<std::string>, InputCount> Inputs;
  std::optional<std::string> SinSq;
  std::string From, To, Step, Svg, BatchFile;
  bool LogX = false;
};

std::string OptionHelp(const TInputOption& option, const TFeedParams& defaults) {
  const std::u16string_view hint = HintOf(option.Input, TLang::English);
  std::string help = hint.empty() ? "Settling time (P242) in s, any number" : Utf8(hint);
  help += "; default: the settings file, else " + Utf8(FillText(option.Input, defaults));
  return help;
}

// An option of the command line: the name after two dashes.
std::string Dashed(std::string_view name) {
  return "--" + std::string(name);
}

void AddInputOptions(CLI::App& app, TCommandLine& line, const TFeedParams& defaults) {
  for (const TInputOption& option : InputOptions) {
    app.add_option(Dashed(option.Name), line.Inputs[static_cast<size_t>(option.Input)],
                   OptionHelp(option, defaults))
        ->type_name(std::string(option.ValueName))
        ->group("Inputs (in the window's units)");
  }
  app.add_option(Dashed(SinSqOption), line.SinSq,
                 std::string("Sin\u00B2 ramps (P56); default: the settings file, else ") +
                     (defaults.SinSqRamps ? "on" : "off"))
      ->type_name("SWITCH")
      ->check(CLI::IsMember({"on", "off"}))
      ->group("Inputs (in the window's units)");
}

// What the user typed, checked as a whole number text where one is needed.
TTyped TypedOf(const TCommandLine& line) {
  TTyped typed;
  for (size_t i = 0; i < InputCount; ++i) {
    if (line.Inputs[i]) {
      typed.Text[i] = Utf16(*line.Inputs[i]);
    }
  }
  if (line.SinSq) {
    typed.SinSq = *line.SinSq == "on";
  }
  return typed;
}

// A refused option value: its range hint, as the window would show it.
void CheckAccepted(const TAccepted& accepted, const TTyped& typed, TLang lang) {
  for (size_t i = 0; i < InputCount; ++i) {
    const auto input = static_cast<TInput>(i);
    if (((accepted.Refused | accepted.NotNumbers) & Bit(input)) == 0) {
      continue;
    }
    const std::u16string_view hint = HintOf(input, lang);
    const std::u16string_view why =
        (accepted.NotNumbers & Bit(input)) != 0 || hint.empty() ? Words(lang).NotANumber : hint;
    throw TFailure(Dashed(OptionName(input)) + ' ' + Utf8(*typed[input]) + ": " + Utf8(why));
  }
}

// A value the window would refuse from the settings file: the window shows
// its hint and keeps the stored value; so does kolvane-calc, on stderr.
void WarnStoredKept(const TAccepted& accepted, TLang lang, std::ostream& err) {
  for (size_t i = 0; i < InputCount; ++i) {
    const auto input = static_cast<TInput>(i);
    if ((accepted.StoredKept & Bit(input)) != 0) {
      err << "kolvane-calc: the settings file holds a value out of range, which is used as it is: "
          << Utf8(HintOf(input, lang)) << '\n';
    }
  }
}

// A file name from the command line, which is UTF-8 like every text of the
// program; on Windows the file is then opened by its UTF-16 name.
std::filesystem::path FilePath(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream file(FilePath(path), std::ios::binary);
  file << content;
  file.close();
  if (!file) {
    throw TFailure("cannot write " + path);
  }
}

// The whole stream, read in large blocks.
// expectedSize is a hint (a file's size): the text is read in place instead
// of being copied along as it grows.
std::string ReadAll(std::istream& in, size_t expectedSize = 0) {
  std::string content;
  constexpr size_t kBlock = 1 << 20;
  content.reserve(expectedSize + kBlock);
  for (;;) {
    const size_t size = content.size();
    content.resize(size + kBlock);
    in.read(content.data() + size, static_cast<std::streamsize>(kBlock));
    content.resize(size + static_cast<size_t>(in.gcount()));
    if (!in) {
      return content;
    }
  }
}

std::string ReadInput(const std::string& path, std::istream& in) {
  if (path == "-") {
    return ReadAll(in);
  }
  std::error_code error;
  std::ifstream file(FilePath(path), std::ios::binary);
  if (!file || std::filesystem::is_directory(FilePath(path), error)) {
    throw TFailure("cannot read " + path);
  }
  const uintmax_t size = std::filesystem::file_size(FilePath(path), error);
  std::string content = ReadAll(file, error ? 0 : static_cast<size_t>(size));
  if (file.bad()) {
    throw TFailure("cannot read " + path);
  }
  return content;
}

double ChartEnd(const std::string& text, const char* name, TLang lang) {
  const std::u16string typed = Utf16(text);
  if (!IsNumberText(typed)) {
    throw TFailure(std::string(name) + ' ' + text + ": " + Utf8(Words(lang).NotANumber));
  }
  const std::optional<double> value = ReadTypedInput(TInput::FeedLength, typed);
  if (!value) {
    throw TFailure(std::string(name) + ' ' + text + ": " + Utf8(HintOf(TInput::FeedLength, lang)));
  }
  return *value;
}

class TProgram {
 public:
  TProgram(std::istream& in, std::ostream& out, std::ostream& err, const TSettingsSource& settings)
      : in_(in), out_(out), err_(err), settings_(settings) {}

  int Run(int argc, const char* const* argv) {
    CLI::App app(
        "kolvane-calc: the feed calculation of Kolvane on the command line.\n"
        "Inputs are typed in the window's units and taken as the window takes "
        "them; values not given come from the user's settings file.",
        "kolvane-calc");
    const TFeedParams defaults = DefaultSettings();
    Build(app, defaults);
    try {
      app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
      const int code = app.exit(error, out_, err_);
      return code == 0 ? kExitDone : kExitBadUse;
    }
    try {
      return Dispatch(app);
    } catch (const TFailure& failure) {
      err_ << "kolvane-calc: " << failure.Message() << '\n';
      return kExitBadUse;
    } catch (const Exception& error) {
      err_ << "kolvane-calc: " << error.what() << '\n';
      return kExitBadUse;
    }
  }

 private:
  void Build(CLI::App& app, const TFeedParams& defaults) {
    app.set_version_flag("--version", std::string("kolvane-calc ") + KOLVANE_VERSION,
                         "Print the version and exit");
    app.set_help_all_flag("--help-all", "Print this help with every command's options and exit");
    app.fallthrough();
    // "/" starts a file name on every system, never an option.
    app.allow_windows_style_options(false);
    app.require_subcommand(1);
    app.add_option("--lang", line_.Lang, "Language of texts and range hints (default: en)")
        ->check(CLI::IsMember({"en", "de"}))
        ->type_name("LANG");
    app.add_flag("--no-settings", line_.NoSettings,
                 "Start from the defaults instead of the user's settings file");
    app.add_option("--format", line_.Format,
                   "Output of rate, timing and chart: text (aligned, the window's labels), csv "
                   "or json (default: text)")
        ->check(CLI::IsMember({"text", "csv", "json"}))
        ->type_name("FORMAT");
    AddInputOptions(app, line_, defaults);

    rate_ = app.add_subcommand(
        "rate", "Stroke-rate programming: acceleration and peak speed for --stroke-rate");
    timing_ = app.add_subcommand(
        "timing", "Feed timing: feed time, ramp time, peak speed and stroke rate for --accel");
    chart_ = app.add_subcommand(
        "chart",
        "Highest whole stroke rate (5 to 2000 1/min) without a limit, for each feed length");
    chart_->add_option("--from", line_.From, "First feed length, mm")->type_name("MM")->required();
    chart_->add_option("--to", line_.To, "Last feed length, mm (inclusive)")
        ->type_name("MM")
        ->required();
    chart_->add_option("--step", line_.Step, "Step between feed lengths, mm")
        ->type_name("MM")
        ->required();
    chart_->add_option("--svg", line_.Svg, "Also draw the chart into this SVG file")
        ->type_name("FILE");
    chart_->add_flag("--log-x", line_.LogX, "Logarithmic feed-length axis in the SVG");
    profile_ = app.add_subcommand(
        "profile", "Draw the feed's speed over one stroke at --stroke-rate as an SVG");
    profile_->add_option("--svg", line_.Svg, "The SVG file to write")
        ->type_name("FILE")
        ->required();
    batch_ = app.add_subcommand("batch",
                                "One job per CSV row (header: option names without dashes, "
                                "optional request column rate|timing); CSV to standard output");
    batch_->add_option("file", line_.BatchFile, "The CSV file, or - for standard input")
        ->type_name("FILE.csv")
        ->required();
    app.footer(
        "Commands take the inputs above; chart also takes --from MM --to MM --step MM [--svg "
        "FILE] [--log-x],\nprofile takes --svg FILE, batch takes FILE.csv or -. --help-all shows "
        "them in full.\nExit codes: 0 done, 1 a batch row had an error or a value went out of the "
        "drive's rounding\nrange (Out of area (DtoL)), 2 a bad option value (its range hint on "
        "standard error).");
  }

  int Dispatch(const CLI::App& app) {
    (void)app;
    lang_ = line_.Lang == "de" ? TLang::German : TLang::English;
    format_ = line_.Format == "json"  ? TFormat::Json
              : line_.Format == "csv" ? TFormat::Csv
                                      : TFormat::Text;
    const TTyped typed = TypedOf(line_);
    const TBase base(line_.NoSettings ? DefaultSettings() : settings_());
    if (rate_->parsed()) {
      return Rate(base, typed);
    }
    if (timing_->parsed()) {
      return Timing(base, typed);
    }
    if (chart_->parsed()) {
      return Chart(base, typed);
    }
    if (profile_->parsed()) {
      return Profile(base, typed);
    }
    return Batch(base);
  }

  TAccepted Accept(TRequest request, const TBase& base, const TTyped& typed) {
    const TAccepted accepted = AcceptTyped(request, base, typed);
    CheckAccepted(accepted, typed, lang_);
    WarnStoredKept(accepted, lang_, err_);
    return accepted;
  }

  int Rate(const TBase& base, const TTyped& typed) {
    const TRateResult result = RunRate(Accept(TRequest::Rate, base, typed).Params);
    Print(RateFields(result), [&] { return RateText(result, lang_); });
    return Finish(result.OutOfArea);
  }

  int Timing(const TBase& base, const TTyped& typed) {
    const TTimingResult result = RunTiming(Accept(TRequest::Timing, base, typed).Params);
    Print(TimingFields(result), [&] { return TimingText(result, lang_); });
    return Finish(result.OutOfArea);
  }

  // The window shows "Out of area (DtoL)" in a message box and goes on with
  // 0; the results are then no setting for the drive, which the exit code
  // says as well.
  int Finish(bool outOfArea) {
    if (!outOfArea) {
      return kExitDone;
    }
    err_ << "kolvane-calc: " << Utf8(DtoLReportCaption) << ": " << Utf8(Words(lang_).OutOfArea)
         << '\n';
    return kExitOutOfArea;
  }

  template <typename TText>
  void Print(const std::vector<TField>& fields, TText text) {
    if (format_ == TFormat::Json) {
      out_ << JsonObject(fields) << '\n';
    } else if (format_ == TFormat::Csv) {
      std::string csv;
      AppendCsvHeader(csv, fields);
      AppendCsvRow(csv, fields);
      out_ << csv;
    } else {
      out_ << text();
    }
  }

  int Chart(const TBase& base, TTyped typed) {
    if (typed[TInput::FeedLength] || typed[TInput::StrokeRate]) {
      throw TFailure(
          "chart takes its feed lengths from --from, --to and --step, and tries every "
          "stroke rate; leave out --feed-length and --stroke-rate");
    }
    const double from = ChartEnd(line_.From, "--from", lang_);
    const double to = ChartEnd(line_.To, "--to", lang_);
    const std::u16string stepText = Utf16(line_.Step);
    const double step = IsNumberText(stepText) ? ReadNumber(stepText) : 0;
    if (!(step > 0) || !std::isfinite(step)) {
      throw TFailure("--step " + line_.Step + ": a positive number of mm");
    }
    if (to < from) {
      throw TFailure("--to " + line_.To + " lies below --from " + line_.From);
    }
    // Every length of the chart is typed like the ends, so the whole range
    // is checked by checking them.
    typed[TInput::FeedLength] = Utf16(line_.From);
    Accept(TRequest::Rate, base, typed);
    typed[TInput::FeedLength].reset();
    const std::vector<std::u16string> lengths = ChartFeedLengths(from, to, step);
    const std::vector<TChartPoint> points = ComputeChart(lengths, base, typed);
    if (!line_.Svg.empty()) {
      WriteFile(line_.Svg, ChartPicture(points, line_.LogX, lang_));
    }
    out_ << (format_ == TFormat::Json  ? ChartJson(points)
             : format_ == TFormat::Csv ? ChartCsv(points)
                                       : ChartText(points, lang_));
    return kExitDone;
  }

  int Profile(const TBase& base, const TTyped& typed) {
    const TRateResult result = RunRate(Accept(TRequest::Rate, base, typed).Params);
    WriteFile(line_.Svg, ProfileSvg(result.After, lang_));
    return Finish(result.OutOfArea);
  }

  int Batch(const TBase& base) {
    const std::string csv = ReadInput(line_.BatchFile, in_);
    const TBatchSummary summary = RunBatch(csv, base, lang_, out_, err_);
    out_.flush();
    return summary.Failed == 0 ? kExitDone : kExitRowErrors;
  }

  std::istream& in_;
  std::ostream& out_;
  std::ostream& err_;
  const TSettingsSource& settings_;
  TCommandLine line_;
  TLang lang_ = TLang::English;
  TFormat format_ = TFormat::Text;
  CLI::App* rate_ = nullptr;
  CLI::App* timing_ = nullptr;
  CLI::App* chart_ = nullptr;
  CLI::App* profile_ = nullptr;
  CLI::App* batch_ = nullptr;
};

}  // namespace

int RunCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err, const TSettingsSource& settings) {
  return TProgram(in, out, err, settings).Run(argc, argv);
}
