// SPDX-License-Identifier: MIT
#include "tests/support/Scenarios.h"

#include <ostream>

#include "app/TextCodec.h"
#include "ui/Main.h"

namespace {

// ---- Steps ----

TStep Click(std::string_view control) {
  return {.Kind = TStepKind::Click, .Control = control};
}
TStep DoubleClick(std::string_view control) {
  return {.Kind = TStepKind::DoubleClick, .Control = control};
}
TStep Backspace() {
  return {.Kind = TStepKind::Backspace};
}
TStep CtrlTab() {
  return {.Kind = TStepKind::CtrlTab};
}
TStep CtrlShiftTab() {
  return {.Kind = TStepKind::CtrlShiftTab};
}
TStep Type(std::u16string_view text) {
  return {.Kind = TStepKind::Type, .Text = text};
}
TStep PutText(std::string_view box, std::u16string_view text) {
  return {.Kind = TStepKind::PutText, .Control = box, .Text = text};
}
TStep Enter() {
  return {.Kind = TStepKind::Enter};
}
TStep Tab() {
  return {.Kind = TStepKind::Tab};
}
TStep ShiftTab() {
  return {.Kind = TStepKind::ShiftTab};
}
TStep Space() {
  return {.Kind = TStepKind::Space};
}
TStep ClickTab(std::string_view page) {
  return {.Kind = TStepKind::ClickTab, .Control = page};
}
TStep PickLanguage(int item) {
  return {.Kind = TStepKind::PickLanguage, .Item = item};
}
TStep Close() {
  return {.Kind = TStepKind::Close};
}
TStep Shows(std::string_view control, std::u16string_view text) {
  return {.Kind = TStepKind::ShowsText, .Control = control, .Text = text};
}
TStep Selected(std::string_view box) {
  return {.Kind = TStepKind::ShowsSelected, .Control = box};
}
TStep Colour(std::string_view box, TColor colour) {
  return {.Kind = TStepKind::ShowsColour, .Control = box, .Colour = colour};
}
TStep Checked(std::string_view box, bool checked) {
  return {.Kind = TStepKind::ShowsChecked, .Control = box, .Item = checked ? 1 : 0};
}
TStep Focus(std::string_view control) {
  return {.Kind = TStepKind::HasFocus, .Control = control};
}
TStep Page(std::string_view page) {
  return {.Kind = TStepKind::ShowsPage, .Control = page};
}
TStep Messages(std::vector<TExpectedMessage> messages) {
  return {.Kind = TStepKind::ShowsMessages, .Messages = std::move(messages)};
}
TStep NoMessage() {
  return Messages({});
}
TStep Stores(double TFeedParams::*field, double value) {
  return {.Kind = TStepKind::Stores, .Field = field, .Value = value};
}
TStep StoresSinSqRamps(bool on) {
  return {.Kind = TStepKind::StoresSinSqRamps, .Item = on ? 1 : 0};
}
TStep Saves(std::string_view line) {
  return {.Kind = TStepKind::SavesLine, .Line = line};
}
TStep SavesNothingYet() {
  return {.Kind = TStepKind::SavesNothingYet};
}

constexpr TColor kWhite = TColor::Rgb(255, 255, 255);
constexpr TColor kLightRed = TColor::Rgb(255, 68, 68);

constexpr std::u16string_view kHintFeedLengthDe = u"Strecke:  0.01 bis 4000 mm";
constexpr std::u16string_view kHintStrokeRateDe = u"Hubzahl:  5 bis 2000 1/min";
constexpr std::u16string_view kHintAngleDe = u"\u00D6ffnungswinkel:  10 bis 350\u00B0";
constexpr std::u16string_view kHintSpeedDe = u"Geschwindigkeit:  0.1 bis 400 m/min";
constexpr std::u16string_view kHintFeedLengthEn = u"Feed length:  0.01 to 4000 mm";
constexpr std::u16string_view kHintStrokeRateEn = u"Stroke rate:  5 to 2000 1/min";

constexpr std::string_view kEnglish = "{900} lan = 1;\r\n";

std::vector<TScenario> MakeScenarios() {
  return {
      {"EnterAcceptsRecomputesAndSelectsTheBox",
       {},
       {Focus("ED_WayE"), Type(u"20"), Enter(), Stores(&TFeedParams::FeedLength, 0.02),
        Shows("ED_WayE", u"20"),  // kept as typed until the next page change
        Selected("ED_WayE"), Shows("ED_AccelE", u"1.49"),  // 0.02 m in 0.29 s with sin^2 ramps
        Shows("ED_SpeedE", u"8.3"), Focus("ED_WayE"), NoMessage()}},

      {"TabAndShiftTabWalkEachPageInItsTabOrderAndEveryLeaveAccepts",
       {},
       {Type(u"20"),
        Tab(),
        Focus("ED_AngleE"),
        Selected("ED_AngleE"),
        Stores(&TFeedParams::FeedLength, 0.02),  // stored when Tab left the box
        Tab(),
        Focus("ED_HZin"),
        Selected("ED_HZin"),
        Tab(),
        Focus("ED_MaxSpeedE"),
        Selected("ED_MaxSpeedE"),
        Tab(),
        Focus("ED_MaxAccel"),
        Selected("ED_MaxAccel"),
        Tab(),
        Focus("CH_SinQramps"),
        Tab(),
        Focus("ED_RuheZeitE"),
        Selected("ED_RuheZeitE"),
        Tab(),
        Focus("ED_WayE"),  // and round again
        Selected("ED_WayE"),
        ShiftTab(),
        Focus("ED_RuheZeitE"),
        ShiftTab(),
        Focus("CH_SinQramps"),
        ClickTab("TS_VZ"),
        Tab(),  // from the tabs into the page
        Focus("ED_WayS"),
        Selected("ED_WayS"),
        Tab(),
        Focus("ED_AngleS"),
        Tab(),
        Focus("ED_AccelS"),
        Selected("ED_AccelS"),
        Tab(),
        Focus("ED_MaxSpeedS"),
        Tab(),
        Focus("ED_RuheZeitS"),
        Tab(),
        Focus("ED_WayS"),
        ShiftTab(),
        Focus("ED_RuheZeitS"),
        ClickTab("TS_Options"),
        Tab(),
        Focus("CB_Language"),
        Tab(),
        Focus("CB_Language"),
        ShiftTab(),
        Focus("CB_Language"),
        NoMessage()}},

      {"ResultBoxesCannotBeFocused",
       {},
       {Click("ED_SpeedE"), Focus("ED_WayE"), Click("ED_AccelE"), Focus("ED_WayE"),
        ClickTab("TS_VZ"), Click("ED_WayS"), Focus("ED_WayS"), Click("ED_TimeVS"),
        Click("ED_TimeAS"), Click("ED_SpeedS"), Click("ED_HZout"), Focus("ED_WayS")}},

      {"ClickingTheCheckBoxAcceptsTheTypedBoxFirstThenToggles",
       {},
       {Type(u"20"), Click("CH_SinQramps"), Stores(&TFeedParams::FeedLength, 0.02),
        StoresSinSqRamps(false), Checked("CH_SinQramps", false), Focus("CH_SinQramps"),
        Shows("LB_Accel1", u"Beschleunigung"),  // refreshed with the new state
        Shows("ED_AccelE", u"0.95"),            // linear ramps
        NoMessage()}},

      {"AClickOnTheCheckBoxAfterARejectedEntryIsSwallowed",
       {},
       {Type(u"5000"), Click("CH_SinQramps"),
        Messages({{.Text = kHintFeedLengthDe, .FocusWhileOpen = "CH_SinQramps"}}),
        Checked("CH_SinQramps", true), StoresSinSqRamps(true), Shows("ED_WayE", u"10.00"),
        Selected("ED_WayE"), Focus("ED_WayE")}},

      // The second click of a double click is a click of its own.
      {"ADoubleClickOnTheCheckBoxTogglesItTwice",
       {},
       {Checked("CH_SinQramps", true), DoubleClick("CH_SinQramps"), Checked("CH_SinQramps", true),
        StoresSinSqRamps(true), Shows("LB_Accel1", u"Beschleunigung (Spitzenwert)"),
        Focus("CH_SinQramps"), NoMessage()}},

      {"SpaceOnTheCheckBoxTogglesAndStores",
       {},
       {Tab(), Tab(), Tab(), Tab(), Tab(), Focus("CH_SinQramps"), Space(),
        Checked("CH_SinQramps", false), StoresSinSqRamps(false),
        Shows("LB_Accel1", u"Beschleunigung"), Shows("ED_AccelE", u"0.48"), Space(),
        Checked("CH_SinQramps", true), StoresSinSqRamps(true), NoMessage()}},

      {"APageSwitchRejectsOnTheOldPageAndLeavesTheFocusOnThePageControl",
       {},
       {Type(u"0"), ClickTab("TS_VZ"),
        Messages({{.Text = kHintFeedLengthDe, .PageWhileOpen = "TS_HzP"}}), Page("TS_VZ"),
        Stores(&TFeedParams::FeedLength, 0.01), Shows("ED_WayS", u"10.00"),
        Shows("ED_WayE", u"10.00"), Focus("PC_Main")}},  // not a box of the hidden page

      // Ctrl+Tab leaves the box as a tab click does, on the page it belongs
      // to, and walks the pages round in both directions.
      {"CtrlTabChoosesTheNextPageAndWrapsAround",
       {},
       {Type(u"20"), CtrlTab(), Page("TS_VZ"), Stores(&TFeedParams::FeedLength, 0.02),
        Shows("ED_WayS", u"20.00"), Focus("PC_Main"), CtrlTab(), Page("TS_Options"), CtrlTab(),
        Page("TS_HzP"), CtrlShiftTab(), Page("TS_Options"), CtrlShiftTab(), Page("TS_VZ"),
        Focus("PC_Main"), NoMessage()}},

      {"APageSwitchStoresTheTypedValueAndShowsItOnTheNewPage",
       {},
       {Type(u"20"), ClickTab("TS_VZ"), Page("TS_VZ"), Stores(&TFeedParams::FeedLength, 0.02),
        Shows("ED_WayS", u"20.00"), Shows("ED_AccelS", u"1.49"),  // from the stroke-rate page
        Shows("ED_TimeVS", u"0.300"), Shows("ED_HZout", u"100.0"), ClickTab("TS_HzP"),
        Shows("ED_WayE", u"20.00"), NoMessage()}},

      {"ARejectionShowsTheHintThenTheStoredValueSelectedAndFocused",
       {},
       {Tab(), Tab(), Focus("ED_HZin"), Type(u"1"), Enter(),
        Messages({{.Text = kHintStrokeRateDe, .FocusWhileOpen = "ED_HZin"}}),
        Shows("ED_HZin", u"100"), Selected("ED_HZin"), Focus("ED_HZin"),
        Stores(&TFeedParams::StrokeRate, 100.0), Type(u"150"), Enter(),  // keys work at once
        Stores(&TFeedParams::StrokeRate, 150.0), Messages({{.Text = kHintStrokeRateDe}})}},

      {"ARejectionInEnglishShowsTheEnglishHint",
       kEnglish,
       {Type(u"4000.01"), Enter(), Messages({{.Text = kHintFeedLengthEn}}),
        Shows("ED_WayE", u"10.00"), Focus("ED_WayE")}},

      // Two boxes out of range in one pass: the rejection of the first moves
      // the focus, whose exit runs a nested pass that rejects the second; the
      // outer pass then finds both restored.
      {"TwoRejectionsInOnePassGiveTwoMessagesAndEndInTheSecond",
       {},
       {PutText("ED_HZin", u"1"), PutText("ED_MaxSpeedE", u"0"), Enter(),
        Messages({{.Text = kHintStrokeRateDe, .FocusWhileOpen = "ED_WayE"},
                  {.Text = kHintSpeedDe, .FocusWhileOpen = "ED_HZin"}}),
        Shows("ED_HZin", u"100"), Shows("ED_MaxSpeedE", u"80.0"), Focus("ED_MaxSpeedE"),
        Stores(&TFeedParams::StrokeRate, 100.0)}},

      {"ARejectedTypedBoxAndARejectedUntypedOneEndInTheSecond",
       {},
       {PutText("ED_AngleE", u"400"), Type(u"5000"), Enter(),
        Messages({{.Text = kHintFeedLengthDe}, {.Text = kHintAngleDe}}), Shows("ED_WayE", u"10.00"),
        Shows("ED_AngleE", u"180"), Focus("ED_AngleE")}},

      {"ChoosingEnglishRewritesCaptionsAtOnceAndResultLabelsAtThePageChange",
       {},
       {ClickTab("TS_Options"), Click("CB_Language"), PickLanguage(1),
        Shows("CB_Language", u"English"), Shows("TS_HzP", u"Stroke rate programming"),
        Shows("TS_VZ", u"Feed timing"), Shows("TS_Options", u"Options"),
        Shows("LB_FeedLen1", u"Feed length"), Shows("LB_MaxAccel", u"Max. acceleration (P241)"),
        Shows("CH_SinQramps", u"Sin\u00B2 ramps (P56)"), Shows("LB_StrkRate", u"Stroke rate"),
        Shows("LB_SpeedE", u"Geschwindigkeit (Dreieck)"),  // until the next refresh
        // Untouched by any language: units and the group box.
        Shows("Label25", u"m/s\u00B2"), Shows("Label33", u"\u00B0"), Shows("Label35", u"1/min"),
        Shows("GroupBox1", u"Language / Sprache"), ClickTab("TS_HzP"),
        Shows("LB_SpeedE", u"Speed (triangle)"), Shows("LB_Accel1", u"Acceleration (peak)"),
        Click("ED_HZin"), Type(u"1"), Enter(), Messages({{.Text = kHintStrokeRateEn}}), Close(),
        Saves("{900} lan = 1;\r\n")}},

      // Typed text completes to the first item it starts, whatever the
      // case, and chooses it; the completed part is selected, so the next
      // character replaces it. Deleting completes nothing.
      {"TypingInTheLanguageBoxCompletesToTheFirstItemItStarts",
       {},
       {ClickTab("TS_Options"), Click("CB_Language"), Type(u"e"), Shows("CB_Language", u"English"),
        Shows("TS_HzP", u"Stroke rate programming"), Type(u"Dx"), Shows("CB_Language", u"Dx"),
        Shows("TS_HzP", u"Hubzahl-Programmierung"), Backspace(), Shows("CB_Language", u"D"),
        Shows("TS_HzP", u"Hubzahl-Programmierung"), Type(u"EN"), Shows("CB_Language", u"English"),
        Shows("LB_FeedLen1", u"Feed length"), Close(), Saves("{900} lan = 1;\r\n")}},

      {"ATypedLanguageThatNamesNoItemShowsGermanAndIsKept",
       kEnglish,
       {Shows("TS_HzP", u"Stroke rate programming"), ClickTab("TS_Options"), Click("CB_Language"),
        Type(u"Xy"), Shows("TS_HzP", u"Hubzahl-Programmierung"),
        Shows("LB_FeedLen1", u"Vorschub-Strecke"), Close(), Saves("{900} lan = -1;\r\n")}},

      {"ClosingTheWindowWritesTheSettingsFile",
       {},
       {Tab(), Tab(), Type(u"200"), Enter(), SavesNothingYet(), Close(),
        Saves("{900} lan = 0;\r\n"), Saves("{021} hza = 200.0;\r\n"),
        Saves("{020} weg = 0.0100; [m]\r\n")}},

      {"LimitColoursMarkTheBrokenDriveLimits",
       {},
       {Colour("ED_AccelE", kWhite),
        Click("ED_HZin"),
        Type(u"800"),
        Enter(),  // needs 83.1 m/s^2, above P241 50
        Shows("ED_AccelE", u"83.1"),
        Colour("ED_AccelE", kLightRed),
        Colour("ED_SpeedE", kWhite),     // only the acceleration limit is broken
        Colour("ED_AccelS", kLightRed),  // on every page
        ClickTab("TS_VZ"),
        Click("ED_MaxSpeedS"),
        Type(u"80.4"),
        Enter(),  // 0.4 m/min above P240 80
        Colour("ED_MaxSpeedS", kLightRed),
        Type(u"80.2"),
        Enter(),
        Colour("ED_MaxSpeedS", kWhite),
        ClickTab("TS_HzP"),
        Click("ED_AngleE"),
        Type(u"10"),
        Enter(),  // at 800 strokes the window is shorter than 6 ms
        Colour("ED_SpeedE", kLightRed),
        Colour("ED_AccelE", kLightRed),
        NoMessage()}},
  };
}

std::string Utf8(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

std::string ColourText(TColor colour) {
  return "RGB(" + std::to_string(colour.Red()) + ", " + std::to_string(colour.Green()) + ", " +
         std::to_string(colour.Blue()) + ")";
}

// The settings file's bytes with its line ends and the 0xF6 byte readable.
std::string Readable(std::string_view bytes) {
  std::string text;
  for (char c : bytes) {
    if (c == '\r') {
      text += "\\r";
    } else if (c == '\n') {
      text += "\\n";
    } else if (static_cast<unsigned char>(c) >= 0x80) {
      text += "\\x" + std::string(1, "0123456789ABCDEF"[static_cast<unsigned char>(c) >> 4]) +
              std::string(1, "0123456789ABCDEF"[static_cast<unsigned char>(c) & 0xF]);
    } else {
      text += c;
    }
  }
  return text;
}

std::string LogicalFocus() {
  return FO_Main != nullptr && FO_Main->ActiveControl() != nullptr
             ? FO_Main->ActiveControl()->Name()
             : std::string();
}

void CheckMessages(const std::vector<TExpectedMessage>& expected, TUserActions& user) {
  const std::vector<TShownMessage> shown = user.Messages();
  std::vector<std::string> shownTexts;
  std::vector<std::string> expectedTexts;
  for (const TShownMessage& message : shown) {
    shownTexts.push_back(Utf8(message.Text));
  }
  for (const TExpectedMessage& message : expected) {
    expectedTexts.push_back(Utf8(message.Text));
  }
  ASSERT_EQ(shownTexts, expectedTexts) << "message boxes shown";
  for (size_t i = 0; i < expected.size(); ++i) {
    const std::string which = "message box " + std::to_string(i + 1);
    EXPECT_EQ(Utf8(shown[i].Caption), Utf8(expected[i].Caption)) << which << ": caption";
    if (!expected[i].FocusWhileOpen.empty()) {
      EXPECT_EQ(shown[i].FocusWhileOpen, expected[i].FocusWhileOpen)
          << which << ": the logical focus while it was open";
    }
    if (!expected[i].PageWhileOpen.empty()) {
      EXPECT_EQ(shown[i].PageWhileOpen, expected[i].PageWhileOpen)
          << which << ": the page shown while it was open";
    }
  }
}

void RunStep(const TStep& step, TUserActions& user) {
  switch (step.Kind) {
    case TStepKind::Click:
      return user.Click(step.Control);
    case TStepKind::DoubleClick:
      return user.DoubleClick(step.Control);
    case TStepKind::Type:
      return user.Type(step.Text);
    case TStepKind::PutText:
      return user.PutText(step.Control, step.Text);
    case TStepKind::Enter:
      return user.PressEnter();
    case TStepKind::Tab:
      return user.PressTab();
    case TStepKind::ShiftTab:
      return user.PressShiftTab();
    case TStepKind::Space:
      return user.PressSpace();
    case TStepKind::Backspace:
      return user.PressBackspace();
    case TStepKind::CtrlTab:
      return user.PressCtrlTab();
    case TStepKind::CtrlShiftTab:
      return user.PressCtrlShiftTab();
    case TStepKind::ClickTab:
      return user.ClickTab(step.Control);
    case TStepKind::PickLanguage:
      return user.PickLanguage(step.Item);
    case TStepKind::Close:
      EXPECT_TRUE(user.Close()) << "the window stayed open";
      return;
    case TStepKind::ShowsText:
      EXPECT_EQ(Utf8(user.Text(step.Control)), Utf8(step.Text));
      return;
    case TStepKind::ShowsSelected:
      EXPECT_TRUE(user.WholeTextSelected(step.Control))
          << "\"" << Utf8(user.Text(step.Control)) << "\" is not selected as a whole";
      return;
    case TStepKind::ShowsColour:
      EXPECT_EQ(ColourText(user.Colour(step.Control)), ColourText(step.Colour));
      return;
    case TStepKind::ShowsChecked:
      EXPECT_EQ(user.Checked(step.Control), step.Item == 1);
      return;
    case TStepKind::HasFocus:
      EXPECT_EQ(user.KeyboardFocus(), step.Control) << "the keyboard focus";
      EXPECT_EQ(LogicalFocus(), step.Control) << "the window's logical focus";
      return;
    case TStepKind::ShowsPage:
      EXPECT_EQ(user.Page(), step.Control);
      return;
    case TStepKind::ShowsMessages:
      return CheckMessages(step.Messages, user);
    case TStepKind::Stores:
      EXPECT_DOUBLE_EQ(FeedParams.*step.Field, step.Value);
      return;
    case TStepKind::StoresSinSqRamps:
      EXPECT_EQ(FeedParams.SinSqRamps, step.Item == 1);
      return;
    case TStepKind::SavesLine:
      EXPECT_NE(user.SettingsFile().find(step.Line), std::string::npos)
          << "the settings file holds: " << Readable(user.SettingsFile());
      return;
    case TStepKind::SavesNothingYet:
      EXPECT_EQ(Readable(user.SettingsFile()), "");
      return;
  }
}

}  // namespace

const std::vector<TScenario>& UserScenarios() {
  static const std::vector<TScenario> scenarios = MakeScenarios();
  return scenarios;
}

std::string Describe(const TStep& step) {
  const std::string control(step.Control);
  switch (step.Kind) {
    case TStepKind::Click:
      return "click into " + control;
    case TStepKind::DoubleClick:
      return "double-click " + control;
    case TStepKind::Type:
      return "type \"" + Utf8(step.Text) + "\"";
    case TStepKind::PutText:
      return "put \"" + Utf8(step.Text) + "\" into " + control + " without a key";
    case TStepKind::Enter:
      return "press Enter";
    case TStepKind::Tab:
      return "press Tab";
    case TStepKind::ShiftTab:
      return "press Shift+Tab";
    case TStepKind::Space:
      return "press Space";
    case TStepKind::Backspace:
      return "press Backspace";
    case TStepKind::CtrlTab:
      return "press Ctrl+Tab";
    case TStepKind::CtrlShiftTab:
      return "press Ctrl+Shift+Tab";
    case TStepKind::ClickTab:
      return "click the tab of " + control;
    case TStepKind::PickLanguage:
      return "pick language item " + std::to_string(step.Item);
    case TStepKind::Close:
      return "close the window";
    case TStepKind::ShowsText:
      return control + " shows \"" + Utf8(step.Text) + "\"";
    case TStepKind::ShowsSelected:
      return control + " has its whole text selected";
    case TStepKind::ShowsColour:
      return control + " shows the colour " + ColourText(step.Colour);
    case TStepKind::ShowsChecked:
      return control + (step.Item == 1 ? " is checked" : " is not checked");
    case TStepKind::HasFocus:
      return control + " has the focus";
    case TStepKind::ShowsPage:
      return "the window shows " + control;
    case TStepKind::ShowsMessages:
      return std::to_string(step.Messages.size()) + " message box(es) shown so far";
    case TStepKind::Stores:
      return "the parameter record holds " + std::to_string(step.Value);
    case TStepKind::StoresSinSqRamps:
      return step.Item == 1 ? "sin^2 ramps are stored" : "linear ramps are stored";
    case TStepKind::SavesLine:
      return "the settings file holds \"" + Readable(step.Line) + "\"";
    case TStepKind::SavesNothingYet:
      return "no settings file yet";
  }
  return "an unknown step";
}

void RunScenario(const TScenario& scenario, TUserActions& user) {
  user.Open(scenario.Settings);
  if (::testing::Test::HasFatalFailure()) {
    return;
  }
  for (size_t i = 0; i < scenario.Steps.size(); ++i) {
    const TStep& step = scenario.Steps[i];
    SCOPED_TRACE("step " + std::to_string(i + 1) + ": " + Describe(step));
    RunStep(step, user);
    if (::testing::Test::HasFatalFailure()) {
      return;
    }
  }
}

std::string ScenarioName(const ::testing::TestParamInfo<TScenario>& info) {
  return info.param.Name;
}

void PrintTo(const TScenario& scenario, std::ostream* out) {
  *out << scenario.Name;
}
