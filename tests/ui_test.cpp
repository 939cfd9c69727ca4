// SPDX-License-Identifier: MIT
// The main window, headless: start-up, display, input acceptance, language
// texts and shut-down, driven through the recorded toolkit as a user would.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>

#include "app/EntryPoint.h"
#include "app/Folders.h"
#include "app/TextCodec.h"
#include "calc/FeedParams.h"
#include "pages/Numbers.h"
#include "settings/NVData.h"
#include "tests/FakePlatform.h"
#include "tests/support/ProcessState.h"
#include "tests/support/Scenarios.h"
#include "tests/support/StoryHome.h"
#include "tests/support/TempFolder.h"
#include "ui/Main.h"
#include "ui/recorded/RecordedShell.h"

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr std::u16string_view kHintFeedLengthDe = u"Strecke:  0.01 bis 4000 mm";
constexpr std::u16string_view kHintStrokeRateDe = u"Hubzahl:  5 bis 2000 1/min";
constexpr std::u16string_view kHintAngleDe = u"\u00D6ffnungswinkel:  10 bis 350\u00B0";
constexpr std::u16string_view kHintSpeedDe = u"Geschwindigkeit:  0.1 bis 400 m/min";
constexpr std::u16string_view kHintAccelDe = u"Beschleunigung:  0.01 bis 400 m/s\u00B2";
constexpr std::u16string_view kHintFeedLengthEn = u"Feed length:  0.01 to 4000 mm";
constexpr std::u16string_view kHintStrokeRateEn = u"Stroke rate:  5 to 2000 1/min";
constexpr std::u16string_view kHintAngleEn = u"Angle of aperture:  10 to 350\u00B0";
constexpr std::u16string_view kHintSpeedEn = u"Speed:  0.1 to 400 m/min";
constexpr std::u16string_view kHintAccelEn = u"Acceleration:  0.01 to 400 m/s\u00B2";

// The settings file that closing an untouched window writes with the
// defaults: the acceleration is the one the first show computed.
constexpr std::string_view kDefaultSettings =
    "Non volatile data for Kolvane (Win)\r\n\r\n"
    "{900} lan = 0;\r\n"
    "{020} weg = 0.0100; [m]\r\n"
    "{021} hza = 100.0;\r\n"
    "{022} bes = 0.750;\r\n"
    "{023} max = 1.333400; [m/s]\r\n"
    "{029} snq = 1;\r\n"
    "{024} \xF6"
    "fw = 180;\r\n"
    "{025} max = 50.000000;\r\n"
    "{027} ruz = 0.010;\r\n"
    "{030} spd = 1.333400; [m/s]\r\n";

// A locale with a decimal comma, by the name the C library knows it under.
#ifdef _WIN32
constexpr const char* kGermanLocale = "German_Germany.1252";
#else
constexpr const char* kGermanLocale = "de_DE.UTF-8";
#endif

// Runs a test under another process locale and restores the previous one.
class TLocaleScope {
 public:
  explicit TLocaleScope(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
    active_ = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~TLocaleScope() { std::setlocale(LC_ALL, previous_.c_str()); }
  bool Active() const { return active_; }

 private:
  std::string previous_;
  bool active_ = false;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, std::string_view content) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

constexpr std::string_view kSettingsFile = "common/DVK/Common/NV-Data.kqn";

// A fresh program per test: its own folders in a temporary directory (the
// program beside "bin", the all-users folder "common"), the process-wide
// values as at process start.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    root = temp.Path();
    fs::create_directories(root / "bin");
    platform.Executable = (root / "bin" / "kolvane").u16string();
    platform.CommonFolder = (root / "common").u16string();
    ResetProcessState();
  }

  ~WindowTest() override { shell.Form.reset(); }

  fs::path SettingsFile() const { return root / kSettingsFile; }

  // Constructs the window and shows it, as the entry point's run does.
  void Start(std::string commandLine = "") {
    CommandLine = std::move(commandLine);
    shell.CreateMainForm();
    user.emplace(*shell.Form, shell.Window);
    user->Show();
  }

  TFO_Main& Form() { return *shell.Form; }
  TEdit& Box(std::string_view name) { return Form().Control<TEdit>(name); }
  TUserDriver& User() { return *user; }
  const TRecordedState& W(std::string_view name) { return shell.Window[name]; }
  const std::u16string& Text(std::string_view name) { return W(name).Text; }
  std::string Focus() {
    return Form().ActiveControl() == nullptr ? "" : Form().ActiveControl()->Name();
  }
  const std::vector<TRecordedMessage>& Messages() { return shell.Services.Messages; }

  // Types into the box as a user does: click into it, then type over it.
  void TypeInto(TEdit& box, const std::u16string& text) {
    ASSERT_TRUE(User().Focus(box)) << box.Name();
    User().Type(box, text);
  }
  void EnterInto(TEdit& box, const std::u16string& text) {
    TypeInto(box, text);
    User().PressEnter();
  }

  TTempFolder temp;
  fs::path root;
  TFakePlatform platform;
  TRecordedShell shell{platform};
  std::optional<TUserDriver> user;
};

// ---- The user stories, on the recorded toolkit ----

// The user of the scenario table, acting through the user driver and
// reading the recorded widgets.
class TRecordedUser : public TUserActions {
 public:
  ~TRecordedUser() override {
    if (shell_ != nullptr) {
      shell_->Form.reset();
    }
  }

  void Open(std::string_view settings) override {
    home_.Prepare(settings, u"kolvane");
    shell_ = std::make_unique<TRecordedShell>(home_.Platform());
    shell_->Services.WhileOpen = [this](const TRecordedMessage&) {
      pagesWhileOpen_.push_back(Page());
    };
    shell_->CreateMainForm();
    user_.emplace(*shell_->Form, shell_->Window);
    user_->Show();
  }

  void Click(std::string_view name) override {
    TControl& control = Control(name);
    if (auto* box = dynamic_cast<TCheckBox*>(&control)) {
      user_->Click(*box);
    } else if (auto* focusable = dynamic_cast<TWinControl*>(&control)) {
      user_->Focus(*focusable);
    }
  }
  void Type(std::u16string_view text) override {
    TControl* focused = shell_->Form->FindControl(shell_->Window.Focused);
    if (auto* box = dynamic_cast<TEdit*>(focused)) {
      user_->Type(*box, std::u16string(text));
    } else if (auto* combo = dynamic_cast<TComboBox*>(focused)) {
      user_->Type(*combo, std::u16string(text));
    } else {
      ADD_FAILURE() << "no box has the focus";
    }
  }
  void PutText(std::string_view box, std::u16string_view text) override {
    user_->Type(shell_->Form->Control<TEdit>(box), std::u16string(text));
  }
  void PressEnter() override { user_->PressEnter(); }
  void PressTab() override { user_->PressTab(); }
  void PressShiftTab() override { user_->PressShiftTab(); }
  void PressSpace() override { user_->PressSpace(); }
  void PressBackspace() override { user_->PressBackspace(); }
  void PressCtrlTab() override { user_->PressCtrlTab(false); }
  void PressCtrlShiftTab() override { user_->PressCtrlTab(true); }
  void DoubleClick(std::string_view name) override {
    user_->DoubleClick(shell_->Form->Control<TCheckBox>(name));
  }
  void ClickTab(std::string_view page) override {
    user_->SwitchPage(shell_->Form->Control<TTabSheet>(page));
  }
  void PickLanguage(int item) override { user_->PickItem(*shell_->Form->CB_Language, item); }
  bool Close() override { return user_->Close(); }

  std::u16string Text(std::string_view control) override { return shell_->Window[control].Text; }
  bool WholeTextSelected(std::string_view box) override {
    const TRecordedState& state = shell_->Window[box];
    return state.AllSelected && !state.Text.empty();
  }
  TColor Colour(std::string_view box) override { return Rgb(shell_->Window[box].Color); }
  bool Checked(std::string_view box) override { return shell_->Window[box].Checked; }
  std::string KeyboardFocus() override { return shell_->Window.Focused; }
  std::string Page() override {
    const TPageControl& pages = *shell_->Form->PC_Main;
    const int shown = shell_->Window[pages.Name()].ActivePage;
    return shown >= 0 && shown < pages.PageCount() ? pages.Page(shown).Name() : std::string();
  }
  std::vector<TShownMessage> Messages() override {
    std::vector<TShownMessage> shown;
    for (size_t i = 0; i < shell_->Services.Messages.size(); ++i) {
      const TRecordedMessage& message = shell_->Services.Messages[i];
      shown.push_back({message.Caption, message.Text, message.FocusedControl,
                       i < pagesWhileOpen_.size() ? pagesWhileOpen_[i] : std::string()});
    }
    return shown;
  }
  std::string SettingsFile() override { return home_.SettingsFile(); }

 private:
  TControl& Control(std::string_view name) {
    TControl* control = shell_->Form->FindControl(name);
    if (control == nullptr) {
      throw std::out_of_range("the window has no control " + std::string(name));
    }
    return *control;
  }

  // The system colours the window uses, in the classic scheme the layout
  // was drawn with.
  static TColor Rgb(TColor colour) {
    if (colour == clWindow) {
      return TColor::Rgb(255, 255, 255);
    }
    if (colour == clBtnFace) {
      return TColor::Rgb(240, 240, 240);
    }
    if (colour == clInfoBk) {
      return TColor::Rgb(255, 255, 225);
    }
    return colour;
  }

  TStoryHome home_;
  std::unique_ptr<TRecordedShell> shell_;
  std::optional<TUserDriver> user_;
  std::vector<std::string> pagesWhileOpen_;
};

class RecordedUserStory : public ::testing::TestWithParam<TScenario> {};

TEST_P(RecordedUserStory, ShowsWhatTheStoryExpects) {
  TRecordedUser user;
  RunScenario(GetParam(), user);
}

INSTANTIATE_TEST_SUITE_P(Stories, RecordedUserStory, ::testing::ValuesIn(UserScenarios()),
                         ScenarioName);

// ---- Numbers ----

TEST(NumbersTest, ReadsTheDecimalPrefixOnlyWithACommaAsThePoint) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<std::u16string_view, double> cases[] = {
      {u"12abc", 12.0},     {u"1,5", 1.5},    {u"12,5", 12.5},      {u"0,75", 0.75},
      {u"1,5e3", 1500.0},   {u"1,5,3", 1.5},  {u"1.5,3", 1.5},      {u",5", 0.5},
      {u"1e3", 1000.0},     {u"  \t7", 7.0},  {u"-2.5e-1x", -0.25}, {u"+.5", 0.5},
      {u"5.", 5.0},         {u"1e", 1.0},     {u"1e+", 1.0},        {u"", 0.0},
      {u"abc", 0.0},        {u"-", 0.0},      {u".", 0.0},          {u".e1", 0.0},
      {u"0x10", 0.0},       {u"inf", 0.0},    {u"nan", 0.0},        {u"1e999", inf},
      {u"-1e999", -inf},    {u"1e-999", 0.0}, {u"0e999", 0.0},      {u"0.000001e999", inf},
      {u"100000e-999", 0.0}};
  for (auto [text, expected] : cases) {
    EXPECT_EQ(ReadNumber(text), expected) << std::string(text.begin(), text.end());
  }
}

TEST(NumbersTest, FormatsLikePrintfInTheCLocaleAndDashesNonValues) {
  struct TCase {
    double value;
    int precision, width;
    std::u16string_view expected;
  };
  const TCase cases[] = {
      {0.5, 2, 4, u"0.50"},       {9.998, 2, 4, u"10.00"},
      {9.999, 1, 3, u"10.0"},     {80.004, 0, 1, u"80"},
      {80.004, 1, 1, u"80.0"},    {0.01, 3, 1, u"0.010"},
      {2.5, 0, 1, u"2"},          {-1.25, 1, 1, u"-1.2"},
      {std::nan(""), 1, 1, u"-"}, {-std::numeric_limits<double>::infinity(), 2, 1, u"-"}};
  for (const TCase& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.precision, c.width), c.expected) << c.value;
  }
}

// ---- Start-up and first show ----

TEST_F(WindowTest, StartsOnTheStrokeRatePageWithEveryBoxFilled) {
  Start();

  EXPECT_EQ(W("PC_Main").ActivePage, 0);
  EXPECT_EQ(Form().PC_Main->ActivePage(), Form().TS_HzP);
  const std::pair<const char*, std::u16string_view> boxes[] = {
      {"ED_WayE", u"10.00"},
      {"ED_WayS", u"10.00"},
      {"ED_AccelS", u"10.0"},
      {"ED_MaxSpeedE", u"80"},
      {"ED_MaxSpeedS", u"80.0"},
      {"ED_MaxAccel", u"50"},
      {"ED_HZin", u"100"},
      {"ED_AngleE", u"180"},
      {"ED_AngleS", u"180"},
      {"ED_RuheZeitE", u"0.010"},
      {"ED_RuheZeitS", u"0.010"},
      // The stroke-rate results at the defaults: 0.0692324 m/s and 0.75 m/s^2.
      {"ED_SpeedE", u"4.2"},
      {"ED_AccelE", u"0.75"},
      // The feed-timing page has not been refreshed yet.
      {"ED_TimeVS", u""},
      {"ED_HZout", u""}};
  for (auto [name, text] : boxes) {
    EXPECT_EQ(Text(name), text) << name;
  }
  EXPECT_TRUE(W("CH_SinQramps").Checked);
  EXPECT_EQ(Text("LB_SpeedE"), u"Geschwindigkeit (Dreieck)");
  EXPECT_EQ(Text("LB_Accel1"), u"Beschleunigung (Spitzenwert)");
  EXPECT_EQ(Text("LB_AccSinQ"), u"Beschleunigung (Sin\u00B2-Rampen)");
  for (const char* name : {"ED_SpeedE", "ED_AccelE", "ED_AccelS", "ED_MaxSpeedS"}) {
    EXPECT_EQ(W(name).Color, clWindow) << name;
  }

  EXPECT_EQ(Focus(), "ED_WayE");
  EXPECT_EQ(shell.Window.Focused, "ED_WayE");
  EXPECT_EQ(Form().ActiveLogo, Form().IM_LogoDVK);
  EXPECT_EQ(W("IM_LogoDVK").Parent, "TS_HzP");
  EXPECT_TRUE(W("IM_LogoDVK").Visible);
  EXPECT_FALSE(W("IM_LogoPX").Visible);
  EXPECT_EQ(W("CB_Language").ItemIndex, 0);
  EXPECT_EQ(Text("CB_Language"), u"Deutsch");
  EXPECT_TRUE(FirstShowDone);
  EXPECT_EQ(FO_Main, &Form());
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(WindowTest, AcceptanceIsInertUntilTheFirstShow) {
  shell.CreateMainForm();
  TUserDriver early(Form(), shell.Window);
  early.Focus(*Form().ED_WayE);
  early.Type(*Form().ED_WayE, u"0");
  early.PressEnter();
  early.Click(*Form().CH_SinQramps);
  early.Focus(Box("ED_HZin"));

  EXPECT_EQ(FeedParams.FeedLength, 0.01);
  EXPECT_TRUE(FeedParams.SinSqRamps);
  EXPECT_EQ(Text("ED_SpeedE"), u"");
  EXPECT_THAT(Messages(), IsEmpty());
}

// ---- Bounds and rejections ----

TEST_F(WindowTest, BoundsAndNumberTextsAreAccepted) {
  Start();
  struct TCase {
    std::string_view box;
    std::u16string_view typed;
    double TFeedParams::*field;
    double stored;
  };
  const TCase cases[] = {
      {"ED_WayE", u"0.01", &TFeedParams::FeedLength, 0.00001},
      {"ED_WayE", u"4000", &TFeedParams::FeedLength, 4.0},
      {"ED_WayE", u"1e3", &TFeedParams::FeedLength, 1.0},
      {"ED_WayE", u"  12abc", &TFeedParams::FeedLength, 0.012},
      {"ED_HZin", u"5", &TFeedParams::StrokeRate, 5.0},
      {"ED_HZin", u"2000", &TFeedParams::StrokeRate, 2000.0},
      {"ED_AngleE", u"10", &TFeedParams::ApertureAngle, 10.0},
      {"ED_AngleE", u"350", &TFeedParams::ApertureAngle, 350.0},
      {"ED_MaxSpeedE", u"0.1", &TFeedParams::MaxSpeed, 0.1 / 60.0},
      {"ED_MaxSpeedE", u"400", &TFeedParams::MaxSpeed, 400.0 / 60.0},
      {"ED_MaxAccel", u"0.01", &TFeedParams::MaxAccel, 0.01},
      {"ED_MaxAccel", u"400", &TFeedParams::MaxAccel, 400.0},
      // A decimal comma is the point a German user types, not the end of the number.
      {"ED_MaxAccel", u"1,5", &TFeedParams::MaxAccel, 1.5},
      {"ED_WayE", u"12,5", &TFeedParams::FeedLength, 0.0125},
      {"ED_HZin", u"1,5e3", &TFeedParams::StrokeRate, 1500.0},
      {"ED_RuheZeitE", u"-0.5", &TFeedParams::SettleTime, -0.5},
      {"ED_RuheZeitE", u"abc", &TFeedParams::SettleTime, 0.0},
  };
  for (const TCase& c : cases) {
    EnterInto(Box(c.box), std::u16string(c.typed));
    EXPECT_DOUBLE_EQ(FeedParams.*c.field, c.stored) << c.box;
    EXPECT_EQ(Box(c.box).Text(), c.typed) << c.box;
  }
  EXPECT_THAT(Messages(), IsEmpty());
}

struct TRejection {
  const char* page;
  const char* box;
  std::u16string_view typed;
  std::u16string_view restored;
  std::u16string_view hintGerman;
  std::u16string_view hintEnglish;
  double TFeedParams::*field;
};

void PrintTo(const TRejection& c, std::ostream* os) {
  *os << c.box << " given \"" << Utf16ToUtf8(c.typed) << "\"";
}

class RejectionTest : public WindowTest, public ::testing::WithParamInterface<TRejection> {};

TEST_P(RejectionTest, ShowsTheHintOnceAndRestoresTheStoredValue) {
  const TRejection& c = GetParam();
  for (int language : {0, 1}) {
    WriteFile(SettingsFile(), "{900} lan = " + std::to_string(language) + ";\r\n");
    shell.Form.reset();
    shell.Services.Messages.clear();
    Start();
    User().SwitchPage(Form().Control<TTabSheet>(c.page));
    auto& box = Form().Control<TEdit>(c.box);
    TypeInto(box, std::u16string(c.typed));
    const TFeedParams before = FeedParams;  // after the exit pass of the box left

    User().PressEnter();

    ASSERT_EQ(Messages().size(), 1u) << c.box << " in language " << language;
    EXPECT_EQ(Messages()[0].Text, language == 0 ? c.hintGerman : c.hintEnglish);
    EXPECT_EQ(Messages()[0].Caption, u"Kolvane");
    EXPECT_EQ(Messages()[0].Flags, 0);
    EXPECT_EQ(box.Text(), c.restored);
    EXPECT_TRUE(W(c.box).AllSelected);
    EXPECT_EQ(Focus(), c.box);
    EXPECT_EQ(shell.Window.Focused, c.box);
    EXPECT_EQ(FeedParams.*c.field, before.*c.field) << "the rejected value was stored";
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryRangedBox, RejectionTest,
    ::testing::Values(TRejection{"TS_HzP", "ED_WayE", u"4000.01", u"10.00", kHintFeedLengthDe,
                                 kHintFeedLengthEn, &TFeedParams::FeedLength},
                      TRejection{"TS_HzP", "ED_WayE", u"", u"10.00", kHintFeedLengthDe,
                                 kHintFeedLengthEn, &TFeedParams::FeedLength},
                      TRejection{"TS_HzP", "ED_HZin", u"4.99", u"100", kHintStrokeRateDe,
                                 kHintStrokeRateEn, &TFeedParams::StrokeRate},
                      TRejection{"TS_HzP", "ED_AngleE", u"350.5", u"180", kHintAngleDe,
                                 kHintAngleEn, &TFeedParams::ApertureAngle},
                      // The full show writes "80"; a rejection brings back one decimal.
                      TRejection{"TS_HzP", "ED_MaxSpeedE", u"0.09", u"80.0", kHintSpeedDe,
                                 kHintSpeedEn, &TFeedParams::MaxSpeed},
                      TRejection{"TS_HzP", "ED_MaxAccel", u"0.009", u"50", kHintAccelDe,
                                 kHintAccelEn, &TFeedParams::MaxAccel},
                      TRejection{"TS_HzP", "ED_MaxAccel", u"1e999", u"50", kHintAccelDe,
                                 kHintAccelEn, &TFeedParams::MaxAccel},
                      TRejection{"TS_VZ", "ED_WayS", u"0", u"10.00", kHintFeedLengthDe,
                                 kHintFeedLengthEn, &TFeedParams::FeedLength},
                      TRejection{"TS_VZ", "ED_AccelS", u"400.01", u"0.75", kHintAccelDe,
                                 kHintAccelEn, &TFeedParams::Accel},
                      TRejection{"TS_VZ", "ED_MaxSpeedS", u"inf", u"80.0", kHintSpeedDe,
                                 kHintSpeedEn, &TFeedParams::SpeedLimit},
                      TRejection{"TS_VZ", "ED_AngleS", u"abc", u"180", kHintAngleDe, kHintAngleEn,
                                 &TFeedParams::ApertureAngle}),
    [](const auto& info) {
      return std::string(info.param.box) + "_" + std::to_string(info.index);
    });

TEST_F(WindowTest, AnOverflowingSettlingTimeIsRestoredWithoutAMessage) {
  Start();
  EnterInto(Box("ED_RuheZeitE"), u"1e999");
  EXPECT_EQ(FeedParams.SettleTime, 0.01);
  EXPECT_EQ(Text("ED_RuheZeitE"), u"0.010");
  EXPECT_EQ(Focus(), "ED_RuheZeitE");
  EXPECT_THAT(Messages(), IsEmpty());
}

// ---- The acceleration and speed-limit rules ----

TEST_F(WindowTest, AnAccelerationWithinTheShownRoundingIsNotStored) {
  Start();
  User().SwitchPage(*Form().TS_VZ);
  EnterInto(*Form().ED_AccelS, u"10");
  ASSERT_EQ(FeedParams.Accel, 10.0);
  EnterInto(*Form().ED_AccelS, u"10.005");
  EXPECT_EQ(FeedParams.Accel, 10.0);
  EnterInto(*Form().ED_AccelS, u"10.01");
  EXPECT_EQ(FeedParams.Accel, 10.01);
}

TEST_F(WindowTest, OnlyAMaxSpeedChangeAboveThreeTenthsCarriesToTheSpeedLimit) {
  Start();
  EnterInto(Box("ED_MaxSpeedE"), u"80");
  ASSERT_EQ(FeedParams.SpeedLimit, 1.3334);  // 80.004 -> 80 m/min is a small change
  EnterInto(Box("ED_MaxSpeedE"), u"80.2");
  EXPECT_EQ(FeedParams.MaxSpeed, 80.2 / 60.0);
  EXPECT_EQ(FeedParams.SpeedLimit, 1.3334);
  EnterInto(Box("ED_MaxSpeedE"), u"81");
  EXPECT_EQ(FeedParams.SpeedLimit, 81.0 / 60.0);
  EnterInto(Box("ED_MaxSpeedE"), u"500");  // rejected: nothing carries
  EXPECT_EQ(FeedParams.SpeedLimit, 81.0 / 60.0);
}

// A box that shows a stored value its own range refuses was not typed into:
// passing over it must not answer every pass with a message.
TEST_F(WindowTest, AStoredValueOutsideItsBoxRangeIsNotRefusedWhereNobodyTypedIt) {
  Start();
  // 0.3 m/s^2 is taken, and shows as "0" once the page is filled again.
  EnterInto(Box("ED_MaxAccel"), u"0.3");
  User().SwitchPage(*Form().TS_VZ);
  User().SwitchPage(*Form().TS_HzP);
  ASSERT_EQ(Text("ED_MaxAccel"), u"0");
  EnterInto(*Form().ED_WayE, u"20");
  EXPECT_EQ(FeedParams.MaxAccel, 0.3);
  // The longest feed at the highest rate in the narrowest window has no
  // profile: the computed acceleration is the marker, far above 400 m/s^2.
  EnterInto(*Form().ED_WayE, u"4000");
  EnterInto(Box("ED_HZin"), u"2000");
  EnterInto(Box("ED_AngleE"), u"10");
  User().SwitchPage(*Form().TS_VZ);
  const double marker = FeedParams.Accel;
  ASSERT_GT(marker, 400.0);
  // Only what the user typed is refused, once.
  EnterInto(*Form().ED_MaxSpeedS, u"0");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Text, RuntimeTexts[rtHintSpeed]);
  EXPECT_EQ(FeedParams.Accel, marker);
  EXPECT_EQ(Focus(), "ED_MaxSpeedS");
}

// A maximum speed of 0.3 m/min lies within its range but shows as "0" on
// the stroke-rate page, which its range refuses. Putting it back shows
// "0.3", which is taken: no endless messages to prevent, so the box gets its
// message like any other.
class StoredSpeedShownAsZero : public WindowTest {
 protected:
  void SetUp() override {
    WriteFile(SettingsFile(), "{023} max = 0.005;\r\n");
    Start();
    ASSERT_EQ(Text("ED_MaxSpeedE"), u"0");
  }
};

TEST_F(StoredSpeedShownAsZero, ARefusalElsewhereOnThePageAlsoAnswersTheSpeed) {
  EnterInto(*Form().ED_WayE, u"5000");
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0].Text, kHintFeedLengthDe);
  EXPECT_EQ(Messages()[1].Text, kHintSpeedDe);
  EXPECT_EQ(Focus(), "ED_MaxSpeedE");
  EXPECT_EQ(Text("ED_MaxSpeedE"), u"0.3");
  EXPECT_EQ(Text("ED_WayE"), u"10.00");
  EXPECT_EQ(FeedParams.MaxSpeed, 0.005);
}

// A typed text is never passed over, even where it reads as the box showed.
TEST_F(StoredSpeedShownAsZero, TypingWhatTheBoxShowsIsRefusedWithAMessage) {
  TypeInto(Box("ED_MaxSpeedE"), u"0");
  const size_t before = Messages().size();  // leaving the feed length ran a pass
  User().PressEnter();
  ASSERT_EQ(Messages().size(), before + 1);
  EXPECT_EQ(Messages().back().Text, kHintSpeedDe);
  EXPECT_EQ(Text("ED_MaxSpeedE"), u"0.3");
  EXPECT_EQ(Focus(), "ED_MaxSpeedE");
  EXPECT_EQ(FeedParams.MaxSpeed, 0.005);
}

TEST_F(WindowTest, AccelerationFormatFollowsTheStoredValue) {
  Start();
  User().SwitchPage(*Form().TS_VZ);
  const std::pair<std::u16string_view, std::u16string_view> cases[] = {
      {u"9.998", u"10.00"}, {u"0.5", u"0.50"}, {u"9.999", u"10.0"}};
  for (auto [typed, shown] : cases) {
    EnterInto(*Form().ED_AccelS, std::u16string(typed));
    User().SwitchPage(
        Form().Control<TTabSheet>("TS_Options"));  // every page change refills the boxes
    EXPECT_EQ(Text("ED_AccelS"), shown) << std::string(typed.begin(), typed.end());
    User().SwitchPage(*Form().TS_VZ);
  }
}

// ---- The check box ----

TEST_F(WindowTest, SpaceOnTheCheckBoxRunsOnePassBeforeAndOneAfterTheToggle) {
  Start();
  ASSERT_TRUE(User().Focus(*Form().CH_SinQramps));
  const size_t before = W("LB_Accel1").TextLog.size();

  User().PressSpace();

  EXPECT_FALSE(FeedParams.SinSqRamps);
  const auto& log = W("LB_Accel1").TextLog;
  ASSERT_EQ(log.size(), before + 2);
  EXPECT_EQ(log[before], u"Beschleunigung (Spitzenwert)");  // key down: the old state
  EXPECT_EQ(log[before + 1], u"Beschleunigung");            // the click: the new state
  EXPECT_EQ(Text("ED_AccelE"), u"0.48");                    // linear ramps
}

TEST_F(WindowTest, ClickingTheCheckBoxAcceptsTheLeftBoxFirst) {
  Start();
  User().Type(*Form().ED_WayE, u"20");
  User().Click(*Form().CH_SinQramps);

  EXPECT_FALSE(FeedParams.SinSqRamps);
  EXPECT_DOUBLE_EQ(FeedParams.FeedLength, 0.02);
  const auto& log = W("ED_AccelE").TextLog;
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], u"1.49");  // the exit of ED_WayE, still sin^2
  EXPECT_EQ(log.back(), u"0.95");           // the click, linear
  EXPECT_EQ(Focus(), "CH_SinQramps");
}

// ---- Page changes ----

TEST_F(WindowTest, APageSwitchAcceptsTheTypedValueForItsOwnPageThenRefills) {
  Start();
  User().Type(*Form().ED_WayE, u"20");
  User().SwitchPage(*Form().TS_VZ);

  EXPECT_DOUBLE_EQ(FeedParams.FeedLength, 0.02);
  EXPECT_EQ(Text("ED_WayS"), u"20.00");
  EXPECT_EQ(Text("ED_WayE"), u"20.00");
  EXPECT_EQ(Text("ED_AccelS"), u"1.49");  // computed by the stroke-rate page
  EXPECT_EQ(W("ED_AccelE").TextLog.back(), u"1.49");
  EXPECT_EQ(W("IM_LogoDVK").Parent, "TS_VZ");
  EXPECT_EQ(Text("ED_TimeVS"), u"0.300");
  EXPECT_EQ(Text("ED_HZout"), u"100.0");
}

TEST_F(WindowTest, TheFeedTimingPageShowsItsResultsAndTheOptionsPageNone) {
  Start();
  User().SwitchPage(*Form().TS_VZ);
  // 0.75 m/s^2 with sin^2 ramps over 10 mm: ramps of 0.145 s and 0.144 s.
  EXPECT_EQ(Text("ED_TimeVS"), u"0.299");
  EXPECT_EQ(Text("ED_TimeAS"), u"0.145");
  EXPECT_EQ(Text("ED_SpeedS"), u"4.1");
  EXPECT_EQ(Text("ED_HZout"), u"100.3");
  EXPECT_EQ(Text("LB_SpeedS"), u"Geschwindigkeit (Dreieck)");

  User().SwitchPage(Form().Control<TTabSheet>("TS_Options"));
  EXPECT_EQ(W("IM_LogoDVK").Parent, "TS_VZ");
  EXPECT_EQ(W("ED_TimeVS").TextLog.size(), 1u);
}

// ---- Results without a value ----

TEST_F(WindowTest, AZeroAccelerationShowsDashesWithoutAMessage) {
  Start();
  EnterInto(Box("ED_HZin"), u"5");  // the demanded acceleration rounds to 0.00
  ASSERT_EQ(Text("ED_AccelE"), u"0.00");
  User().SwitchPage(*Form().TS_VZ);

  EXPECT_EQ(Text("ED_TimeVS"), u"-");
  EXPECT_EQ(Text("ED_TimeAS"), u"-");
  EXPECT_EQ(Text("ED_HZout"), u"-");
  EXPECT_EQ(Text("ED_SpeedS"), u"0.0");
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(WindowTest, AZeroCycleShowsADashForTheStrokeRate) {
  Start();
  User().SwitchPage(*Form().TS_VZ);
  User().Type(Box("ED_WayS"), u"500");
  User().Type(*Form().ED_AccelS, u"10");
  // The trapezoid takes 0.584 s; a settling time of minus that leaves no cycle.
  EnterInto(Box("ED_RuheZeitS"), u"-0.584");

  EXPECT_EQ(Text("ED_TimeVS"), u"0.000");
  EXPECT_EQ(Text("ED_HZout"), u"-");
  EXPECT_EQ(Text("ED_SpeedS"), u"80.0");
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(WindowTest, AnOutOfAreaRoundingShowsItsOwnMessage) {
  // Figures within the input ranges whose trapezoid barely fits the window
  // (2 h at 1 m/s is 0.5 m): the demanded acceleration, some 1.6e9 m/s^2, is
  // beyond DtoL's range.
  WriteFile(SettingsFile(),
            "{021} hza = 60;\r\n{024} \xF6"
            "fw = 180;\r\n{027} ruz = 0;\r\n{023} max = 1;\r\n{020} weg = 0.499999999;\r\n");
  Start();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Text, u"");
  EXPECT_EQ(Messages()[0].Caption, u"Out of area (DtoL)");
  EXPECT_EQ(Messages()[0].Flags, 0);
}

// 3320 mm at 12 strokes/min with the defaults: the acceleration goes beyond
// the rounding's range and is taken as 0. The box shows the 0.00, but red:
// the drive cannot be given it.
TEST_F(WindowTest, AnAccelerationOutOfAreaShowsAsBeyondTheLimit) {
  Start();
  TypeInto(*Form().ED_WayE, u"3320");
  EnterInto(Box("ED_HZin"), u"12");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Caption, u"Out of area (DtoL)");
  EXPECT_EQ(Text("ED_AccelE"), u"0.00");
  EXPECT_EQ(W("ED_AccelE").Color, TColor::Rgb(255, 68, 68));
}

// ---- Language ----

TEST_F(WindowTest, ChoosingEnglishRewritesCaptionsAtOnceAndResultLabelsAtThePageChange) {
  Start();
  User().SwitchPage(Form().Control<TTabSheet>("TS_Options"));
  User().PickItem(*Form().CB_Language, 1);

  EXPECT_EQ(Language, 1);
  EXPECT_EQ(Text("TS_HzP"), u"Stroke rate programming");
  EXPECT_EQ(Text("LB_FeedLen1"), u"Feed length");
  EXPECT_EQ(Text("CH_SinQramps"), u"Sin\u00B2 ramps (P56)");
  EXPECT_EQ(Text("LB_StrkRate"), u"Stroke rate");
  EXPECT_EQ(Text("LB_SpeedE"), u"Geschwindigkeit (Dreieck)");  // until the next refresh
  // Untouched by any language: units, the group box and the items.
  EXPECT_EQ(Text("Label25"), u"m/s\u00B2");
  EXPECT_EQ(Text("Label33"), u"\u00B0");
  EXPECT_EQ(Text("GroupBox1"), u"Language / Sprache");
  EXPECT_THAT(W("CB_Language").Items, ElementsAre(u"Deutsch", u"English"));

  User().SwitchPage(*Form().TS_HzP);
  EXPECT_EQ(Text("LB_SpeedE"), u"Speed (triangle)");
  EXPECT_EQ(Text("LB_Accel1"), u"Acceleration (peak)");
  EnterInto(Box("ED_HZin"), u"1");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].Text, kHintStrokeRateEn);

  ASSERT_TRUE(User().Close());
  EXPECT_THAT(ReadFile(SettingsFile()), ::testing::HasSubstr("{900} lan = 1;\r\n"));
}

// Every language text, checked where the window shows it.
TEST_F(WindowTest, EveryLanguageTextReachesItsControlOrEntry) {
  struct TText {
    const char* control;  // nullptr: a RuntimeTexts entry
    int entry;
    std::u16string_view german, english;
  };
  const TText texts[] = {
      {"TS_HzP", -1, u"Hubzahl-Programmierung", u"Stroke rate programming"},
      {"LB_FeedLen1", -1, u"Vorschub-Strecke", u"Feed length"},
      {"LB_DesStrkRate", -1, u"Gew\u00FCnschte Hubzahl", u"Desired stroke rate"},
      {"LB_ApertAngle1", -1, u"\u00D6ffnungswinkel", u"Angle of aperture"},
      {"LB_MaxSpeed1", -1, u"Max. Geschwindigkeit (P240)", u"Maximum speed (P240)"},
      {"LB_MaxAccel", -1, u"Max. Beschleunigung (P241)", u"Max. acceleration (P241)"},
      {"CH_SinQramps", -1, u"Sin\u00B2-Rampen (P56)", u"Sin\u00B2 ramps (P56)"},
      {"LB_DampTim1", -1, u"Beruhigungszeit (P242)", u"Settling time (P242)"},
      {"TS_VZ", -1, u"Vorschubzeiten", u"Feed timing"},
      {"LB_FeedLen2", -1, u"Vorschub-Strecke", u"Feed length"},
      {"LB_MaxSpeed2", -1, u"Max. Geschwindigkeit", u"Maximum speed"},
      {"LB_ApertAngle2", -1, u"\u00D6ffnungswinkel", u"Angle of aperture"},
      {"LB_DampTim2", -1, u"Beruhigungszeit (P242)", u"Settling time (P242)"},
      {"LB_FeedTotalTime", -1, u"Vorschubzeit", u"Total feed time"},
      {"LB_AccTime", -1, u"Beschleunigungszeit", u"Time for acceleration"},
      {"LB_StrkRate", -1, u"Hubzahl", u"Stroke rate"},
      {"TS_Options", -1, u"Optionen", u"Options"},
      {nullptr, 0, u"Geschwindigkeit (Dreieck)", u"Speed (triangle)"},
      {nullptr, 1, u"Geschwindigkeit (Trapez)", u"Speed (trapezoid)"},
      {nullptr, 2, kHintFeedLengthDe, kHintFeedLengthEn},
      {nullptr, 3, kHintStrokeRateDe, kHintStrokeRateEn},
      {nullptr, 4, kHintAngleDe, kHintAngleEn},
      {nullptr, 5, kHintSpeedDe, kHintSpeedEn},
      {nullptr, 6, kHintAccelDe, kHintAccelEn},
      {nullptr, 7, u"Beschleunigung (Sin\u00B2-Rampen)", u"Acceleration (sin\u00B2 ramps)"},
      {nullptr, 8, u"Beschleunigung (Lin. Rampen)", u"Acceleration (linear ramps)"},
      {nullptr, 9, u"Beschleunigung", u"Acceleration"},
      {nullptr, 10, u"Beschleunigung (Spitzenwert)", u"Acceleration (peak)"},
  };
  Start();
  for (int language : {0, 1, -1, 2}) {
    Language = language;
    Form().ApplyLanguage();
    for (const TText& t : texts) {
      const std::u16string_view expected = language == 1 ? t.english : t.german;
      const std::u16string& shown =
          t.control != nullptr ? Text(t.control) : RuntimeTexts[static_cast<size_t>(t.entry)];
      EXPECT_EQ(shown, expected) << (t.control != nullptr ? t.control : "entry ") << t.entry
                                 << " in language " << language;
    }
  }
}

TEST_F(WindowTest, ApplyingTheSameLanguageTwiceChangesNothing) {
  Start();
  Language = 1;
  Form().ApplyLanguage();
  const auto textsOnce = RuntimeTexts;
  const std::u16string labelOnce = Text("LB_MaxAccel");
  Form().ApplyLanguage();
  EXPECT_EQ(RuntimeTexts, textsOnce);
  EXPECT_EQ(Text("LB_MaxAccel"), labelOnce);
  EXPECT_EQ(labelOnce, u"Max. acceleration (P241)");
}

TEST_F(WindowTest, UnknownLanguagesShowGermanAndAreKept) {
  struct TCase {
    std::string_view stored;
    int pickedIndex;  // -2: the user picks nothing
    std::string_view saved;
  };
  const TCase cases[] = {{"5", -2, "5"}, {"-1", -2, "-1"}, {"1", -1, "-1"}, {"5", 0, "0"}};
  for (const TCase& c : cases) {
    WriteFile(SettingsFile(), "{900} lan = " + std::string(c.stored) + ";\r\n");
    shell.Form.reset();
    Start();
    if (c.pickedIndex != -2) {
      User().SwitchPage(Form().Control<TTabSheet>("TS_Options"));
      User().PickItem(*Form().CB_Language, c.pickedIndex);
    }
    EXPECT_EQ(Text("LB_FeedLen1"), u"Vorschub-Strecke") << c.stored;
    EXPECT_EQ(RuntimeTexts[rtHintAngle], kHintAngleDe) << c.stored;
    if (c.pickedIndex == -2) {
      EXPECT_EQ(W("CB_Language").ItemIndex, -1) << c.stored;
    }
    ASSERT_TRUE(User().Close());
    EXPECT_THAT(ReadFile(SettingsFile()),
                ::testing::HasSubstr("{900} lan = " + std::string(c.saved) + ";\r\n"))
        << c.stored;
  }
}

// ---- What screen readers are told ----

// Every control a screen reader stops at has a name: a box its label's text
// in the language in force (a result's label in its current wording), the
// check box its caption, the language box its group box's, the logos the
// program's; a box coloured for a broken limit says which in its
// description, also after a language change, and nothing once it is white.
TEST_F(WindowTest, ScreenReadersHearEveryControlNamedAndEveryBrokenLimitDescribed) {
  Start();
  struct TNamed {
    const char* Control;
    std::u16string_view German;
    std::u16string_view English;  // after the language change and a page change
  };
  const TNamed named[] = {
      {"ED_WayE", u"Vorschub-Strecke", u"Feed length"},
      {"ED_HZin", u"Gew\u00FCnschte Hubzahl", u"Desired stroke rate"},
      {"ED_MaxAccel", u"Max. Beschleunigung (P241)", u"Max. acceleration (P241)"},
      {"ED_AccelS", u"Beschleunigung (Sin\u00B2-Rampen)", u"Acceleration (sin\u00B2 ramps)"},
      {"ED_SpeedE", u"Geschwindigkeit (Dreieck)", u"Speed (triangle)"},
      {"ED_AccelE", u"Beschleunigung (Spitzenwert)", u"Acceleration (peak)"},
      {"ED_HZout", u"Hubzahl", u"Stroke rate"},
      {"CH_SinQramps", u"Sin\u00B2-Rampen (P56)", u"Sin\u00B2 ramps (P56)"},
      {"CB_Language", u"Language / Sprache", u"Language / Sprache"},
      {"IM_LogoDVK", u"Kolvane", u"Kolvane"},
      {"IM_LogoPX", u"Kolvane", u"Kolvane"},
  };
  for (const TNamed& n : named) {
    EXPECT_EQ(W(n.Control).AccessibleName, n.German) << n.Control;
  }
  // Every edit box has a name once its page has been on the screen (the
  // result labels are written by the page's first refresh).
  User().SwitchPage(*Form().TS_VZ);
  User().SwitchPage(*Form().TS_HzP);
  for (const TControlDef& def : MainWindowControls()) {
    if (def.Kind == TControlKind::Edit) {
      EXPECT_FALSE(W(def.Name).AccessibleName.empty()) << def.Name;
    }
  }
  EXPECT_EQ(W("ED_AccelE").AccessibleDescription, u"");

  // A maximum acceleration the stroke rate's demand breaks.
  EnterInto(Box("ED_MaxAccel"), u"0.1");
  ASSERT_EQ(W("ED_AccelE").Color, TColor::Rgb(255, 68, 68));
  EXPECT_EQ(W("ED_AccelE").AccessibleDescription,
            u"\u00FCberschreitet die maximale Beschleunigung (P241)");
  EXPECT_EQ(W("ED_AccelS").AccessibleDescription,
            u"\u00FCberschreitet die maximale Beschleunigung (P241)");
  EXPECT_EQ(W("ED_SpeedE").AccessibleDescription, u"") << "its speed breaks no limit";

  User().SwitchPage(Form().Control<TTabSheet>("TS_Options"));
  User().PickItem(*Form().CB_Language, 1);
  EXPECT_EQ(W("ED_AccelE").AccessibleDescription, u"exceeds the maximum acceleration (P241)")
      << "at the language change";
  User().SwitchPage(*Form().TS_HzP);
  for (const TNamed& n : named) {
    EXPECT_EQ(W(n.Control).AccessibleName, n.English) << n.Control;
  }

  EnterInto(Box("ED_MaxAccel"), u"50");
  EXPECT_EQ(W("ED_AccelE").AccessibleDescription, u"");
  EXPECT_EQ(W("ED_AccelS").AccessibleDescription, u"");
}

// ---- The whole run through the entry point ----

TEST_F(WindowTest, CloseWritesTheSettingsFileEvenWhenNothingWasTyped) {
  EXPECT_EQ(RunProgram(shell, ""), 0);
  EXPECT_THAT(shell.Calls, ElementsAre("Initialize", "SetMainFormOnTaskBar", "SetTitle",
                                       "CreateMainForm", "Run"));
  EXPECT_EQ(shell.Title, u"Kolvane");
  EXPECT_TRUE(shell.Closed);
  EXPECT_EQ(ReadFile(SettingsFile()), kDefaultSettings);
}

TEST_F(WindowTest, TheCommandLineSwitchOverridesAndIsSaved) {
  struct TCase {
    std::string_view stored;
    std::string commandLine;
    int language;
    std::u16string_view comboText;
  };
  const TCase cases[] = {{"1", "/l:d", 0, u"Deutsch"}, {"1", "-L:D", 0, u"Deutsch"},
                         {"0", "/l:e", 1, u"English"}, {"0", "/l:deutsch", 1, u"English"},
                         {"1", "", 1, u"English"},     {"1", "/l:", 1, u"English"}};
  for (const TCase& c : cases) {
    WriteFile(SettingsFile(), "{900} lan = " + std::string(c.stored) + ";\r\n");
    TRecordedShell run(platform);
    run.Session = [&](TFO_Main&, TUserDriver&) {
      EXPECT_EQ(Language, c.language) << c.commandLine;
      EXPECT_EQ(run.Window["CB_Language"].Text, c.comboText) << c.commandLine;
    };
    EXPECT_EQ(RunProgram(run, c.commandLine), 0);
    EXPECT_THAT(ReadFile(SettingsFile()),
                ::testing::HasSubstr("{900} lan = " + std::to_string(c.language) + ";\r\n"))
        << c.commandLine;
  }
}

TEST_F(WindowTest, TheDataFolderComesFromTheRegistryTheSharedFolderOrTheProgram) {
  const std::u16string shared = (root / "shared").u16string();
  const std::u16string common = (root / "common").u16string();
  const std::u16string sep(1, PathSeparator);
  const std::u16string program = (root / "bin").u16string() + sep;
  const std::u16string sharedData = shared + sep + u"DVK" + sep + u"Common" + sep;
  const std::u16string sharedWithSeparator = shared + sep;
  const std::u16string commonData = common + sep + u"DVK" + sep + u"Common" + sep;
  // Views of the strings above: a table of std::u16string members sets off
  // GCC 12's false "may be used uninitialized" at -O3.
  struct TCase {
    TRegistryValue::TKind registryKind;
    std::u16string_view registryText;
    bool commonFound;
    TFakePlatform::TCreateMode create;
    std::u16string_view dataDir;
    int commonAsks;
  };
  using TKind = TRegistryValue::TKind;
  using TMode = TFakePlatform::TCreateMode;
  const TCase cases[] = {
      {TKind::Missing, u"", true, TMode::Real, commonData, 1},
      {TKind::Text, shared, true, TMode::Real, sharedData, 0},
      {TKind::Text, sharedWithSeparator, true, TMode::Real, sharedData, 0},
      {TKind::Text, u"", true, TMode::Real, commonData, 1},
      {TKind::Text, shared, true, TMode::Fail, program, 0},
      {TKind::Missing, u"", false, TMode::Real, program, 1},
  };
  for (const TCase& c : cases) {
    TFakePlatform fake;
    fake.Executable = platform.Executable;
    fake.Registry = {c.registryKind, std::u16string(c.registryText)};
    fake.CommonFolder = c.commonFound ? std::optional(common) : std::nullopt;
    fake.CreateMode = c.create;
    TRecordedShell run(fake);
    EXPECT_EQ(RunProgram(run, ""), 0);

    EXPECT_EQ(DataDir, std::u16string(c.dataDir));
    EXPECT_EQ(ProgramDir, program);
    EXPECT_EQ(fake.CommonFolderAsks, c.commonAsks);
    EXPECT_TRUE(fs::exists(fs::path(c.dataDir) / "NV-Data.kqn"));
  }
}

TEST_F(WindowTest, AnInvalidRegistryTypeEndsTheRunBeforeAnythingIsRead) {
  platform.Registry.Kind = TRegistryValue::TKind::InvalidType;
  WriteFile(SettingsFile(), "{900} lan = 1;\r\n");
  WriteFile(root / "bin" / "NV-Data.kqx", "{900} lan = 1;\r\n");
  const std::string before = ReadFile(SettingsFile());
  Language = 7;  // untouched: the failure comes before the defaults

  EXPECT_EQ(RunProgram(shell, ""), 0);

  // The entry point's exception display, with its rule for a final ".".
  EXPECT_THAT(shell.Services.Exceptions,
              ElementsAre(ExceptionDisplayText(u"Ung\u00FCltiger Datentyp f\u00FCr 'AllAppData'")));
  EXPECT_EQ(shell.Form, nullptr);
  EXPECT_EQ(FO_Main, nullptr);
  EXPECT_FALSE(shell.Shown);
  EXPECT_EQ(Language, 7);
  EXPECT_EQ(ReadFile(SettingsFile()), before);
  EXPECT_FALSE(fs::exists(root / "bin" / "NV-Data.kqn"));
}

TEST_F(WindowTest, TheWindowAlwaysOpensOnTheStrokeRatePage) {
  Start();
  User().SwitchPage(*Form().TS_VZ);
  ASSERT_TRUE(User().Close());
  shell.Form.reset();
  Start();
  EXPECT_EQ(Form().PC_Main->ActivePage(), Form().TS_HzP);
}

// ---- Locale ----

TEST_F(WindowTest, AGermanProcessLocaleChangesNoNumber) {
  TLocaleScope german(kGermanLocale);
  ASSERT_TRUE(german.Active()) << "the setup script generates " << kGermanLocale;
  Start();
  EnterInto(Box("ED_MaxAccel"), u"12.5");

  EXPECT_EQ(Text("ED_WayE"), u"10.00");
  EXPECT_EQ(Text("ED_RuheZeitE"), u"0.010");
  EXPECT_EQ(Text("ED_AccelE"), u"0.75");
  EXPECT_EQ(FeedParams.MaxAccel, 12.5);
}

}  // namespace
