// SPDX-License-Identifier: MIT
// The event rules of the controls, on a small window of their own, and the
// main window's definition table.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Exception.h"
#include "ui/Controls.h"
#include "ui/WindowDef.h"
#include "ui/recorded/RecordedToolkit.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr std::array<std::u16string_view, 2> kItems = {u"x", u"y"};

constexpr TControlDef kControls[] = {
    {.Name = "PC", .Kind = TControlKind::PageControl, .Parent = "FM", .TabOrder = 0, .Selected = 0},
    {.Name = "P1", .Kind = TControlKind::TabSheet, .Parent = "PC", .TabOrder = 0},
    {.Name = "P2", .Kind = TControlKind::TabSheet, .Parent = "PC", .TabOrder = 1},
    {.Name = "P3", .Kind = TControlKind::TabSheet, .Parent = "PC", .TabOrder = 2},
    {.Name = "A", .Kind = TControlKind::Edit, .Parent = "P1", .TabOrder = 0},
    {.Name = "B", .Kind = TControlKind::Edit, .Parent = "P1", .TabOrder = 1},
    {.Name = "C", .Kind = TControlKind::Edit, .Parent = "P1", .TabOrder = 2},
    {.Name = "K", .Kind = TControlKind::CheckBox, .Parent = "P1", .TabOrder = 3},
    {.Name = "I", .Kind = TControlKind::Image, .Parent = "P1"},
    {.Name = "D", .Kind = TControlKind::Edit, .Parent = "P2", .TabOrder = 0},
    {.Name = "L",
     .Kind = TControlKind::ComboBox,
     .Parent = "P2",
     .TabOrder = 1,
     .Items = kItems,
     .Selected = 0},
};

constexpr TFormDef kForm = {.Name = "FM",
                            .ClientWidth = 100,
                            .ClientHeight = 100,
                            .Caption = u"FM",
                            .BorderStyle = TBorderStyle::Single,
                            .Position = TPosition::DesktopCenter,
                            .Color = clBtnFace,
                            .FontName = u"Sans",
                            .FontHeight = -12,
                            .FontColor = clWindowText,
                            .Events = 0};

// A form whose handlers write what happened into one log.
class ControlsTest : public ::testing::Test {
 protected:
  ControlsTest() : form(app, window, kForm, kControls) {
    app.Form = &form;
    for (const char* name : {"A", "B", "C", "D"}) {
      Edit(name).OnExit = [this](TControl* sender) { log.push_back("exit " + sender->Name()); };
    }
    Check().OnClick = [this](TControl*) { log.push_back("click"); };
    Combo().OnChange = [this](TControl*) { log.push_back("change L"); };
    Pages().OnChange = [this](TControl*) {
      log.push_back("change to " + Pages().ActivePage()->Name());
    };
  }

  TEdit& Edit(std::string_view name) { return form.Control<TEdit>(name); }
  TCheckBox& Check() { return form.Control<TCheckBox>("K"); }
  TComboBox& Combo() { return form.Control<TComboBox>("L"); }
  TPageControl& Pages() { return form.Control<TPageControl>("PC"); }
  std::string FocusName() const {
    return form.ActiveControl() == nullptr ? "" : form.ActiveControl()->Name();
  }

  TRecordedApplication app;
  TRecordedToolkit window;
  TForm form;
  std::vector<std::string> log;
};

TEST_F(ControlsTest, ProgramSetFocusFiresTheExitBeforeTheNewBoxHasTheWidgetFocus) {
  Edit("A").SetFocus();
  window.FocusLog.clear();
  Edit("A").OnExit = [this](TControl*) {
    log.push_back("exit A, logical " + FocusName() + ", widget " + window.Focused);
  };

  Edit("B").SetFocus();

  EXPECT_THAT(log, ElementsAre("exit A, logical B, widget A"));
  EXPECT_THAT(window.FocusLog, ElementsAre("B"));
  EXPECT_TRUE(Edit("B").Focused());
}

TEST_F(ControlsTest, SetFocusOnTheFocusedBoxFiresNoExit) {
  Edit("A").SetFocus();
  Edit("A").SetFocus();
  EXPECT_THAT(log, IsEmpty());
  EXPECT_THAT(window.FocusLog, ElementsAre("A", "A"));
}

// A set-focus inside an exit wins over the set-focus that fired the exit; the
// control the outer call named never gets the widget focus.
TEST_F(ControlsTest, NestedSetFocusInsideAnExitWins) {
  Edit("A").SetFocus();
  window.FocusLog.clear();
  Edit("A").OnExit = [this](TControl*) {
    log.push_back("exit A");
    Edit("C").SetFocus();  // fires the exit of B, the logical focus by now
  };

  Edit("B").SetFocus();

  EXPECT_THAT(log, ElementsAre("exit A", "exit B"));
  EXPECT_EQ(FocusName(), "C");
  EXPECT_THAT(window.FocusLog, ElementsAre("C"));
}

// Two nested levels, as a pass that rejects two boxes produces them: the
// innermost set-focus decides where the focus ends.
TEST_F(ControlsTest, TwoNestedLevelsEndInTheInnermostTarget) {
  Edit("A").SetFocus();
  window.FocusLog.clear();
  int passes = 0;
  auto pass = [&](TControl* sender) {
    log.push_back("exit " + sender->Name());
    ++passes;
    if (passes == 1) {
      Edit("B").SetFocus();
    } else if (passes == 2) {
      Edit("C").SetFocus();
    }
  };
  for (const char* name : {"A", "B", "C"}) {
    Edit(name).OnExit = pass;
  }

  Edit("A").OnExit(&Edit("A"));  // the outer pass, as a key press starts it

  EXPECT_THAT(log, ElementsAre("exit A", "exit A", "exit B"));
  EXPECT_EQ(FocusName(), "C");
  EXPECT_THAT(window.FocusLog, ElementsAre("C"));
}

TEST_F(ControlsTest, UserFocusMoveFollowsTheSameRule) {
  TUserDriver user(form, window);
  ASSERT_TRUE(user.Focus(Edit("A")));
  Edit("A").OnExit = [this](TControl*) {
    log.push_back("exit A, logical " + FocusName());
    Edit("A").SetFocus();  // as a rejection does
  };

  ASSERT_TRUE(user.Focus(Edit("B")));

  EXPECT_THAT(log, ElementsAre("exit A, logical B", "exit B"));
  EXPECT_EQ(FocusName(), "A");
  EXPECT_EQ(window.Focused, "A");
}

TEST_F(ControlsTest, SetCheckedClicksOnlyOnAChangeOfState) {
  struct TCase {
    bool from, to;
    size_t clicks;
  };
  for (TCase c : {TCase{false, true, 1}, TCase{true, false, 1}, TCase{true, true, 0},
                  TCase{false, false, 0}}) {
    window.State("K").Checked = c.from;
    log.clear();
    Check().SetChecked(c.to);
    EXPECT_EQ(log.size(), c.clicks) << c.from << " -> " << c.to;
    EXPECT_EQ(window["K"].Checked, c.to);
    EXPECT_EQ(Check().Checked(), c.to);
  }
}

TEST_F(ControlsTest, ItemIndexAndActivePageSettersFireNothing) {
  Combo().SetItemIndex(1);
  Pages().SetActivePage(Pages().Page(1));
  EXPECT_THAT(log, IsEmpty());
  EXPECT_EQ(window["L"].ItemIndex, 1);
  EXPECT_EQ(window["L"].Text, u"y");
  EXPECT_EQ(window["PC"].ActivePage, 1);
  EXPECT_EQ(Pages().ActivePage()->Name(), "P2");
}

TEST_F(ControlsTest, UserPageSwitchRunsTheExitOnTheOldPageThenChanges) {
  TUserDriver user(form, window);
  user.Focus(Edit("A"));
  Edit("A").OnExit = [this](TControl*) {
    log.push_back("exit A on " + Pages().ActivePage()->Name() + ", logical " + FocusName());
  };

  user.SwitchPage(Pages().Page(1));

  EXPECT_THAT(log, ElementsAre("exit A on P1, logical PC", "change to P2"));
  EXPECT_EQ(FocusName(), "PC");
  EXPECT_EQ(window["PC"].ActivePage, 1);
}

TEST_F(ControlsTest, ChoosingTheShownPageOnlyTakesTheFocus) {
  TUserDriver user(form, window);
  user.Focus(Edit("A"));
  user.SwitchPage(Pages().Page(0));
  EXPECT_THAT(log, ElementsAre("exit A"));
  EXPECT_EQ(FocusName(), "PC");
  EXPECT_EQ(Pages().ActivePage()->Name(), "P1");
}

// A box refocused by its own exit must not keep the focus once its page is
// hidden; the focus goes to the page control without a second exit.
TEST_F(ControlsTest, FocusLeftOnAHiddenPageMovesToThePageControl) {
  TUserDriver user(form, window);
  user.Focus(Edit("A"));
  Edit("A").OnExit = [this](TControl*) {
    log.push_back("exit A");
    Edit("A").SetFocus();
  };

  user.SwitchPage(Pages().Page(1));

  EXPECT_THAT(log, ElementsAre("exit A", "change to P2"));
  EXPECT_EQ(FocusName(), "PC");
  EXPECT_EQ(window.Focused, "PC");
}

TEST_F(ControlsTest, UserTogglesAndChangesReachTheirHandlers) {
  TUserDriver user(form, window);
  user.Focus(Edit("A"));
  user.Click(Check());
  EXPECT_THAT(log, ElementsAre("exit A", "click"));
  EXPECT_TRUE(window["K"].Checked);

  log.clear();
  user.PressSpace();
  EXPECT_THAT(log, ElementsAre("click"));
  EXPECT_FALSE(window["K"].Checked);

  user.SwitchPage(Pages().Page(1));
  log.clear();
  user.PickItem(Combo(), 1);
  EXPECT_THAT(log, ElementsAre("change L"));
  EXPECT_EQ(Combo().ItemIndex(), 1);
}

// A report that the user focused the control that already holds the logical
// focus is the toolkit echoing the program's set-focus: no exit, no second
// widget focus.
TEST_F(ControlsTest, UserFocusOfTheFocusedControlIsIgnored) {
  Edit("A").SetFocus();
  window.FocusLog.clear();
  Edit("A").OnExit = [this](TControl*) { log.push_back("exit A"); };
  Edit("A").UserFocused();
  EXPECT_THAT(log, IsEmpty());
  EXPECT_THAT(window.FocusLog, IsEmpty());
  EXPECT_EQ(FocusName(), "A");

  Edit("B").UserFocused();  // a real move still counts
  EXPECT_THAT(log, ElementsAre("exit A"));
  EXPECT_THAT(window.FocusLog, ElementsAre("B"));
}

TEST_F(ControlsTest, TheFormFindsItsPageControl) {
  EXPECT_EQ(form.PageControl(), &Pages());
}

TEST_F(ControlsTest, TabOrderStepsThroughTheActivePageAndWraps) {
  struct TCase {
    const char* page;
    const char* from;  // nullptr: no control has the focus
    bool backwards;
    const char* to;
  };
  const TCase cases[] = {
      {"P1", "A", false, "B"},    {"P1", "C", false, "K"},  {"P1", "K", false, "A"},
      {"P1", "A", true, "K"},     {"P1", "K", true, "C"},   {"P1", nullptr, false, "A"},
      {"P1", nullptr, true, "K"}, {"P1", "PC", false, "A"}, {"P1", "PC", true, "K"},
      {"P1", "D", false, "A"},    {"P2", "D", false, "L"},  {"P2", "L", false, "D"},
      {"P2", "D", true, "L"},     {"P2", "A", false, "D"},
  };
  for (const TCase& c : cases) {
    Pages().SetActivePage(form.Control<TTabSheet>(c.page));
    const auto* from = c.from != nullptr ? &form.Control<TWinControl>(c.from) : nullptr;
    const TWinControl* to = form.NextInTabOrder(from, c.backwards);
    ASSERT_NE(to, nullptr) << c.page;
    EXPECT_EQ(to->Name(), c.to) << (c.backwards ? "Shift+Tab" : "Tab") << " from "
                                << (c.from != nullptr ? c.from : "nothing") << " on " << c.page;
  }
}

TEST_F(ControlsTest, CtrlTabChoosesTheNextOrPreviousPageAndWraps) {
  struct TCase {
    const char* page;
    bool backwards;
    const char* to;
  };
  const TCase cases[] = {{"P1", false, "P2"}, {"P2", false, "P3"}, {"P3", false, "P1"},
                         {"P1", true, "P3"},  {"P3", true, "P2"},  {"P2", true, "P1"}};
  for (const TCase& c : cases) {
    Pages().SetActivePage(form.Control<TTabSheet>(c.page));
    const TTabSheet* to = form.NextPage(c.backwards);
    ASSERT_NE(to, nullptr) << c.page;
    EXPECT_EQ(to->Name(), c.to) << (c.backwards ? "Ctrl+Shift+Tab" : "Ctrl+Tab") << " on "
                                << c.page;
  }
  // As the user's choice, the box that had the focus is left first.
  TUserDriver user(form, window);
  Pages().SetActivePage(Pages().Page(0));
  user.Focus(Edit("A"));
  user.PressCtrlTab(true);
  EXPECT_THAT(log, ElementsAre("exit A", "change to P3"));
}

TEST_F(ControlsTest, TabOrderIsEmptyWithoutAnActivePageOrAPageControl) {
  constexpr TControlDef noPages[] = {
      {.Name = "A", .Kind = TControlKind::Edit, .Parent = "FM", .TabOrder = 0}};
  TRecordedToolkit bare;
  TForm plain(app, bare, kForm, noPages);
  EXPECT_EQ(plain.PageControl(), nullptr);
  EXPECT_EQ(plain.NextInTabOrder(nullptr, false), nullptr);
  EXPECT_EQ(plain.NextPage(false), nullptr);

  constexpr TControlDef noActive[] = {
      {.Name = "PC", .Kind = TControlKind::PageControl, .Parent = "FM", .TabOrder = 0},
      {.Name = "P1", .Kind = TControlKind::TabSheet, .Parent = "PC", .TabOrder = 0},
      {.Name = "A", .Kind = TControlKind::Edit, .Parent = "P1", .TabOrder = 0}};
  TForm unselected(app, bare, kForm, noActive);
  EXPECT_EQ(unselected.NextInTabOrder(nullptr, false), nullptr);
  EXPECT_EQ(unselected.NextPage(true), nullptr);
}

// A click or Space that reaches the check box after the focus move or the
// key-down it caused ended elsewhere (a rejected entry took the focus back)
// toggles nothing.
TEST_F(ControlsTest, ACheckBoxTogglesOnlyWhileItHoldsTheFocus) {
  TUserDriver user(form, window);
  user.Focus(Edit("A"));
  Edit("A").OnExit = [this](TControl*) {
    log.push_back("exit A");
    Edit("A").SetFocus();  // as a rejection does
  };
  user.Click(Check());
  EXPECT_THAT(log, ElementsAre("exit A"));
  EXPECT_FALSE(window["K"].Checked);
  EXPECT_FALSE(Check().MayToggle());

  Edit("A").OnExit = nullptr;
  user.Focus(Check());
  EXPECT_TRUE(Check().MayToggle());
  Check().OnKeyDown = [this](TControl*, uint16_t&, TShiftState) { Edit("B").SetFocus(); };
  user.PressSpace();
  EXPECT_FALSE(window["K"].Checked);
  EXPECT_THAT(log, ElementsAre("exit A"));
}

// The peer only reports the text; the item is the one with exactly that text.
TEST_F(ControlsTest, ComboBoxItemIsTheItemWithExactlyTheShownText) {
  const std::pair<std::u16string_view, int> cases[] = {{u"x", 0},   {u"y", 1}, {u"Y", -1},
                                                       {u"x ", -1}, {u"", -1}, {u"xy", -1}};
  for (auto [shown, index] : cases) {
    window.State("L").Text = std::u16string(shown);
    EXPECT_EQ(Combo().ItemIndex(), index)
        << "text \"" << std::string(shown.begin(), shown.end()) << "\"";
  }
  EXPECT_THAT(Combo().Items(), ElementsAre(u"x", u"y"));
}

// Typed text picks the first item it starts, whatever the case of its
// letters; the box then shows that item with the completed part selected.
TEST_F(ControlsTest, TypedTextCompletesToTheFirstItemItStartsWhateverTheCase) {
  static constexpr std::array<std::u16string_view, 3> kLanguages = {u"Deutsch", u"English",
                                                                    u"Engl\u00E4ndisch"};
  constexpr TControlDef kBox[] = {
      {.Name = "L", .Kind = TControlKind::ComboBox, .Parent = "FM", .Items = kLanguages}};
  TRecordedToolkit own;
  TForm plain(app, own, kForm, kBox);
  auto& box = plain.Control<TComboBox>("L");
  const std::pair<std::u16string_view, int> cases[] = {
      {u"e", 1},       {u"E", 1},         {u"eNG", 1}, {u"Engl", 1}, {u"ENGL\u00C4", 2},
      {u"deutsch", 0}, {u"Deutschx", -1}, {u"x", -1},  {u"", -1},    {u" E", -1}};
  for (auto [typed, item] : cases) {
    EXPECT_EQ(box.CompletionOf(typed), item) << std::string(typed.begin(), typed.end());
  }

  std::vector<int> changes;
  box.OnChange = [&](TControl*) { changes.push_back(box.ItemIndex()); };
  own.State("L").Text = u"eN";
  box.UserTyped();
  EXPECT_EQ(own["L"].Text, u"English");
  EXPECT_EQ(own["L"].SelectedFrom, 2);
  own.State("L").Text = u"Ex";
  box.UserTyped();
  EXPECT_EQ(own["L"].Text, u"Ex");
  // Deleting back to a text that starts an item completes nothing.
  own.State("L").Text = u"E";
  box.UserChanged();
  EXPECT_EQ(own["L"].Text, u"E");
  EXPECT_THAT(changes, ElementsAre(1, -1, -1)) << "one change per report, after the completion";
}

TEST_F(ControlsTest, ImageMovesAndHidesThroughItsPeer) {
  auto& image = form.Control<TImage>("I");
  image.SetParent(Pages().Page(1));
  image.SetVisible(false);
  EXPECT_EQ(window["I"].Parent, "P2");
  EXPECT_FALSE(window["I"].Visible);
  EXPECT_EQ(image.Parent(), &Pages().Page(1));
}

TEST_F(ControlsTest, KeyPressHandlerMaySwallowTheCharacter) {
  Edit("A").OnKeyPress = [](TControl*, char16_t& key) {
    if (key == u'\r') {
      key = 0;
    }
  };
  EXPECT_EQ(Edit("A").UserKeyPress(u'\r'), 0);
  EXPECT_EQ(Edit("A").UserKeyPress(u'7'), u'7');
}

// A key whose key-down the handler consumed brings no character either, as
// Qt reports the two in one event; the next key is the handlers' again.
TEST_F(ControlsTest, AKeyDownTheHandlerConsumedBringsNoCharacter) {
  Edit("A").OnKeyDown = [](TControl*, uint16_t& key, TShiftState) {
    if (key == vkReturn) {
      key = 0;
    }
  };
  std::vector<char16_t> pressed;
  Edit("A").OnKeyPress = [&](TControl*, char16_t& key) { pressed.push_back(key); };
  EXPECT_EQ(Edit("A").UserKeyDown(vkReturn), 0);
  EXPECT_EQ(Edit("A").UserKeyPress(u'\r'), 0);
  // A character Qt reports without a key-down of its own (no virtual key)
  // is not the consumed key's.
  EXPECT_EQ(Edit("A").UserKeyPress(u','), u',');
  EXPECT_EQ(Edit("A").UserKeyDown('7'), '7');
  EXPECT_EQ(Edit("A").UserKeyPress(u'7'), u'7');
  EXPECT_THAT(pressed, ElementsAre(u',', u'7'));
}

TEST_F(ControlsTest, CloseFollowsTheHandlersAction) {
  TUserDriver user(form, window);
  EXPECT_TRUE(user.Close());  // no handler: the proposed action stands
  form.OnClose = [](TControl*, TCloseAction& action) { action = TCloseAction::caNone; };
  EXPECT_FALSE(user.Close());
  form.OnClose = [](TControl*, TCloseAction&) { throw Exception(u"Kein Platz"); };
  EXPECT_FALSE(user.Close());
  EXPECT_THAT(app.Exceptions, ElementsAre(u"Kein Platz."));
}

// Every entry point an adapter calls is guarded: an escaping exception is
// shown by the exception display and the next action still works.
TEST_F(ControlsTest, EveryUserEntryPointShowsAnEscapingExceptionAndGoesOn) {
  auto thrower = [](TControl*) { throw Exception(u"Fehler"); };
  Edit("A").OnExit = thrower;
  Edit("B").OnKeyDown = [](TControl*, uint16_t&, TShiftState) { throw std::runtime_error("bad"); };
  Edit("B").OnKeyPress = [](TControl*, char16_t&) { throw 42; };
  Check().OnClick = thrower;
  Combo().OnChange = thrower;
  Pages().OnChange = thrower;
  form.OnShow = thrower;

  TUserDriver user(form, window);
  user.Show();
  user.Focus(Edit("A"));
  user.Focus(Edit("B"));  // exit of A throws
  Edit("B").UserKeyDown(vkReturn);
  Edit("B").UserKeyPress(u'x');
  user.Click(Check());  // exit of B is not wired; the click throws
  user.SwitchPage(Pages().Page(1));
  user.PickItem(Combo(), 1);

  EXPECT_THAT(app.Exceptions, ElementsAre(u"Fehler.", u"Fehler.", u"bad.", u"", u"Fehler.",
                                          u"Fehler.", u"Fehler."));
  EXPECT_EQ(FocusName(), "L");
}

// ---- The main window's definition ----

TEST(WindowDefTest, TabCyclesFollowTheTabOrderOfEachPage) {
  EXPECT_THAT(TabCycle(MainWindowControls(), "TS_HzP"),
              ElementsAre("ED_WayE", "ED_AngleE", "ED_HZin", "ED_MaxSpeedE", "ED_MaxAccel",
                          "CH_SinQramps", "ED_RuheZeitE"));
  EXPECT_THAT(TabCycle(MainWindowControls(), "TS_VZ"),
              ElementsAre("ED_WayS", "ED_AngleS", "ED_AccelS", "ED_MaxSpeedS", "ED_RuheZeitS"));
  EXPECT_THAT(TabCycle(MainWindowControls(), "TS_Options"), ElementsAre("CB_Language"));
}

TEST(WindowDefTest, ResultBoxesCannotTakeTheFocus) {
  for (const char* name :
       {"ED_SpeedE", "ED_AccelE", "ED_TimeVS", "ED_TimeAS", "ED_SpeedS", "ED_HZout"}) {
    EXPECT_FALSE(CanTakeFocus(MainWindowControls(), name)) << name;
  }
  for (const char* name : {"ED_WayE", "CH_SinQramps", "CB_Language", "PC_Main"}) {
    EXPECT_TRUE(CanTakeFocus(MainWindowControls(), name)) << name;
  }
}

TEST(WindowDefTest, NamesAreUniqueAndParentsComeFirst) {
  std::set<std::string_view> seen = {MainFormDef.Name};
  for (const TControlDef& def : MainWindowControls()) {
    EXPECT_TRUE(seen.contains(def.Parent)) << def.Name << " before its parent " << def.Parent;
    EXPECT_TRUE(seen.insert(def.Name).second) << def.Name << " twice";
  }
  EXPECT_EQ(seen.size(), 64u);  // the form, the page control, 3 pages and 59 controls on them
}

TEST(WindowDefTest, InputBoxesCarryTheirTagsAndAcceptanceEvents) {
  const std::pair<const char*, int> inputs[] = {
      {"ED_WayE", 1},       {"ED_HZin", 2},      {"ED_AngleE", 3},    {"ED_MaxSpeedE", 4},
      {"ED_MaxAccel", 5},   {"ED_RuheZeitE", 7}, {"ED_WayS", 11},     {"ED_AccelS", 12},
      {"ED_MaxSpeedS", 13}, {"ED_AngleS", 14},   {"ED_RuheZeitS", 15}};
  for (auto [name, tag] : inputs) {
    const TControlDef* def = FindControlDef(MainWindowControls(), name);
    ASSERT_NE(def, nullptr) << name;
    EXPECT_EQ(def->Tag, tag) << name;
    EXPECT_EQ(def->Events, evKeyDown | evKeyPress | evExit) << name;
  }
  EXPECT_EQ(FindControlDef(MainWindowControls(), "CH_SinQramps")->Events, evClick | evKeyDown);
  EXPECT_EQ(FindControlDef(MainWindowControls(), "ED_SpeedE")->Events, 0);
}

}  // namespace
