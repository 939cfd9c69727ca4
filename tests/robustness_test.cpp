// SPDX-License-Identifier: MIT
// The window under random settings files and random user actions, headless
// through the recorded toolkit: whatever the file holds and whatever the
// user does, one action shows at most two range messages per box, and the
// window can always be closed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "calc/FeedParams.h"
#include "pages/InputFields.h"
#include "pages/PagePass.h"
#include "settings/NVData.h"
#include "tests/FakePlatform.h"
#include "tests/support/ProcessState.h"
#include "tests/support/TempFolder.h"
#include "ui/Main.h"
#include "ui/recorded/RecordedShell.h"

namespace fs = std::filesystem;

namespace {

// ---- Random settings files

// A stored value the window would take, its bounds, values just and far
// outside them, and values that are no fit number at all; in the window's
// unit, converted to the file's by the field's own unit.
struct TStoredField {
  const char* Entry;  // the tag and its name, up to "= "
  double TFeedParams::*Field;
};

const TStoredField kNumberFields[] = {
    {"{020} weg = ", &TFeedParams::FeedLength},
    {"{021} hza = ", &TFeedParams::StrokeRate},
    {"{022} bes = ", &TFeedParams::Accel},
    {"{023} max = ", &TFeedParams::MaxSpeed},
    {"{024} \xF6"
     "fw = ",
     &TFeedParams::ApertureAngle},
    {"{025} max = ", &TFeedParams::MaxAccel},
    {"{027} ruz = ", &TFeedParams::SettleTime},
    {"{028} max = ", &TFeedParams::MaxAccel},
    {"{030} spd = ", &TFeedParams::SpeedLimit},
};

using TRandom = std::mt19937;

template <typename T>
const T& PickOne(TRandom& random, const std::vector<T>& choices) {
  return choices[std::uniform_int_distribution<size_t>(0, choices.size() - 1)(random)];
}

std::string NumberText(double value) {
  char text[64];
  snprintf(text, sizeof text, "%.9g", value);
  return text;
}

// One entry's value text, or nothing to leave the entry out.
std::optional<std::string> StoredValue(TRandom& random, const TStoredField& field) {
  const TTypedField& typed = *TypedField(field.Field);
  const double low = typed.Range != nullptr ? typed.Range->Low : 0.001;
  const double high = typed.Range != nullptr ? typed.Range->High : 10.0;
  const double inside = std::uniform_real_distribution<double>(low, high)(random);
  const std::vector<double> windowValues = {
      inside, inside, low, high, low / 2, high * 1.25, high * 1000, 0, -inside, 1e300,
  };
  switch (std::uniform_int_distribution<int>(0, 9)(random)) {
    case 0:
    case 1:
      return std::nullopt;
    case 2:
      return PickOne(random, std::vector<std::string>{"abc", "", "5,5", "-", "1e999"});
    default:
      return NumberText(PickOne(random, windowValues) / typed.WindowUnitsPerStored);
  }
}

// The file's lines, each one readable in a failure message.
std::vector<std::string> RandomFileLines(TRandom& random) {
  std::vector<std::string> lines;
  for (const TStoredField& field : kNumberFields) {
    if (std::optional<std::string> value = StoredValue(random, field)) {
      lines.push_back(field.Entry + *value + ";");
    }
  }
  const std::vector<std::string> ramps = {"0", "1", "2"};
  lines.push_back("{029} snq = " + PickOne(random, ramps) + ";");
  const std::vector<std::string> languages = {"0", "1", "5", "-1"};
  lines.push_back("{900} lan = " + PickOne(random, languages) + ";");
  std::shuffle(lines.begin(), lines.end(), random);
  return lines;
}

// ---- Random user actions

enum class TActionKind { TypeInto, Enter, Tab, Space, ClickSinSq, SwitchPage, PickLanguage };

struct TAction {
  TActionKind Kind;
  std::string Box;    // TypeInto: the box clicked into and typed over
  std::string Text;   // TypeInto: the typed text (ASCII)
  int Choice = 0;     // SwitchPage: 0..2; PickLanguage: -1..1
  std::string Words;  // what the user does, for the failure message
};

const std::vector<std::string> kInputBoxes = {
    "ED_WayE", "ED_HZin",   "ED_AngleE",    "ED_MaxSpeedE", "ED_MaxAccel",  "ED_RuheZeitE",
    "ED_WayS", "ED_AccelS", "ED_MaxSpeedS", "ED_AngleS",    "ED_RuheZeitS",
};

const std::vector<std::string> kTypedTexts = {
    "",   "abc",  "0",   "5",   "12,5",  "100",   "2000", "4000", "5000", "1e9",
    "-1", "0.01", "350", "400", "1e999", "0,005", "9",    "10",   "80",   "0.75",
};

TAction RandomAction(TRandom& random) {
  TAction action{};
  action.Kind = static_cast<TActionKind>(std::uniform_int_distribution<int>(0, 6)(random));
  switch (action.Kind) {
    case TActionKind::TypeInto:
      action.Box = PickOne(random, kInputBoxes);
      action.Text = PickOne(random, kTypedTexts);
      action.Words = "type \"" + action.Text + "\" into " + action.Box;
      break;
    case TActionKind::Enter:
      action.Words = "press Enter";
      break;
    case TActionKind::Tab:
      action.Words = "press Tab";
      break;
    case TActionKind::Space:
      action.Words = "press Space";
      break;
    case TActionKind::ClickSinSq:
      action.Words = "click the sin2 check box";
      break;
    case TActionKind::SwitchPage:
      action.Choice = std::uniform_int_distribution<int>(0, 2)(random);
      action.Words = "switch to page " + std::to_string(action.Choice);
      break;
    case TActionKind::PickLanguage:
      action.Choice = std::uniform_int_distribution<int>(-1, 1)(random);
      action.Words = "pick language item " + std::to_string(action.Choice);
      break;
  }
  return action;
}

// ---- The window

std::u16string Ascii(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

// A window past a trap would never finish; past this many boxes in one
// action the run is stopped and reported.
constexpr size_t kEndlessMessages = 100;

class RobustnessTest : public ::testing::Test {
 protected:
  RobustnessTest() {
    fs::create_directories(temp_ / "bin");
    platform_.Executable = (temp_ / "bin" / "kolvane").u16string();
    platform_.CommonFolder = (temp_ / "common").u16string();
  }

  void WriteSettings(const std::vector<std::string>& lines) {
    std::string content = "Non volatile data for Kolvane (Win)\r\n\r\n";
    for (const std::string& line : lines) {
      content += line + "\r\n";
    }
    temp_.Write(fs::path("common") / "DVK" / "Common" / "NV-Data.kqn", content);
  }

  TTempFolder temp_;
  TFakePlatform platform_;
};

// Runs one session and returns what went wrong, in words; empty when nothing.
class TSession {
 public:
  explicit TSession(TPlatform& platform) : shell_(platform) {
    ResetProcessState();
    shell_.Services.WhileOpen = [this](const TRecordedMessage& message) { Count(message); };
  }
  ~TSession() { shell_.Form.reset(); }

  std::string Run(const std::vector<TAction>& actions) {
    shell_.CreateMainForm();
    user_.emplace(*shell_.Form, shell_.Window);
    Act("the first show", [this] { user_->Show(); });
    for (const TAction& action : actions) {
      Act(action.Words, [this, &action] { Do(action); });
    }
    bool closed = false;
    Act("close the window", [this, &closed] { closed = user_->Close(); });
    if (!closed) {
      failures_ += "the window did not close\n";
    }
    return failures_;
  }

 private:
  TFO_Main& Form() { return *shell_.Form; }

  // The messages of one action, by the box they are about: on each page
  // every box with a range has a hint of its own.
  void Act(const std::string& words, const std::function<void()>& act) {
    perBox_.clear();
    total_ = 0;
    trapped_ = false;
    act();
    for (const auto& [box, count] : perBox_) {
      if (count > 2) {
        failures_ += words + ": " + std::to_string(count) + " range messages for " + box + "\n";
      }
    }
    if (trapped_) {
      failures_ +=
          words + ": more than " + std::to_string(kEndlessMessages) + " message boxes, stopped\n";
    }
  }

  void Count(const TRecordedMessage& message) {
    if (++total_ > kEndlessMessages && !trapped_) {
      // Ends the trap so that the run can go on: with the defaults back,
      // every box the window restores lies in range.
      trapped_ = true;
      SetDefaultFeedParams();
    }
    // The calculation pages are the first two; the options page has no box.
    const int page = shell_.Window["PC_Main"].ActivePage;
    if (page != 0 && page != 1) {
      return;
    }
    for (const TPageBox& box : PageBoxes(page == 0 ? TPage::StrokeRate : TPage::FeedTiming)) {
      if (box.Input && InputDef(*box.Input).Hint >= 0 &&
          message.Text == RuntimeTexts[static_cast<size_t>(InputDef(*box.Input).Hint)]) {
        ++perBox_[std::string(box.Box)];
      }
    }
  }

  void Do(const TAction& action) {
    TFO_Main& form = Form();
    switch (action.Kind) {
      case TActionKind::TypeInto:
        if (auto* box = dynamic_cast<TEdit*>(form.FindControl(action.Box));
            box != nullptr && user_->Focus(*box)) {
          user_->Type(*box, Ascii(action.Text));
        }
        break;
      case TActionKind::Enter:
        user_->PressEnter();
        break;
      case TActionKind::Tab:
        user_->PressTab();
        break;
      case TActionKind::Space:
        user_->PressSpace();
        break;
      case TActionKind::ClickSinSq:
        user_->Click(*form.CH_SinQramps);
        break;
      case TActionKind::SwitchPage: {
        TTabSheet* pages[] = {form.TS_HzP, form.TS_VZ, &form.Control<TTabSheet>("TS_Options")};
        user_->SwitchPage(*pages[action.Choice]);
        break;
      }
      case TActionKind::PickLanguage:
        user_->PickItem(*form.CB_Language, action.Choice);
        break;
    }
  }

  TRecordedShell shell_;
  std::optional<TUserDriver> user_;
  std::map<std::string, int> perBox_;
  size_t total_ = 0;
  bool trapped_ = false;
  std::string failures_;
};

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    for (char ch : line) {
      text += ch == '\xF6' ? std::string("\xC3\xB6") : std::string(1, ch);  // as UTF-8
    }
    text += "\n";
  }
  return text;
}

std::string Words(const std::vector<TAction>& actions) {
  std::string text;
  for (const TAction& action : actions) {
    text += "  " + action.Words + "\n";
  }
  return text;
}

TEST_F(RobustnessTest, NoFileAndNoUserActionsTrapTheWindowInMessages) {
  constexpr int kSessions = 150;
  constexpr int kActions = 25;
  for (int seed = 1; seed <= kSessions; ++seed) {
    TRandom random(static_cast<TRandom::result_type>(seed));
    const std::vector<std::string> file = RandomFileLines(random);
    std::vector<TAction> actions;
    for (int n = 0; n < kActions; ++n) {
      actions.push_back(RandomAction(random));
    }
    WriteSettings(file);
    const std::string failures = TSession(platform_).Run(actions);
    EXPECT_EQ(failures, "") << "session " << seed << ", settings file:\n"
                            << Lines(file) << "actions:\n"
                            << Words(actions);
  }
}

// The case that was found by hand: two stored values outside their boxes'
// ranges made the first Tab send the focus back and forth between their
// messages for good.
TEST_F(RobustnessTest, TwoStoredValuesOutsideTheirRangesTrapNothing) {
  const std::vector<std::string> file = {"{020} weg = 5.0000; [m]", "{025} max = 500.000000;"};
  WriteSettings(file);
  const std::vector<TAction> actions = {{TActionKind::Tab, "", "", 0, "press Tab"},
                                        {TActionKind::Tab, "", "", 0, "press Tab"}};
  EXPECT_EQ(TSession(platform_).Run(actions), "");
}

}  // namespace
