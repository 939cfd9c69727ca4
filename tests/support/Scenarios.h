// SPDX-License-Identifier: MIT
#pragma once
// The user stories of the main window, written once as a table of steps:
// what the user does, and what the window then shows. Every toolkit's tests
// run the same table through their own TUserActions.

#include <gtest/gtest.h>

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "calc/FeedParams.h"
#include "tests/support/UserActions.h"
#include "ui/Controls.h"

enum class TStepKind : uint8_t {
  // Acting.
  Click,
  DoubleClick,
  Type,
  PutText,
  Enter,
  Tab,
  ShiftTab,
  Space,
  Backspace,
  CtrlTab,
  CtrlShiftTab,
  ClickTab,
  PickLanguage,
  Close,
  // Seeing.
  ShowsText,
  ShowsSelected,
  ShowsColour,
  ShowsChecked,
  HasFocus,  // the keyboard focus and the window's logical focus alike
  ShowsPage,
  ShowsMessages,
  Stores,  // a value of the parameter record
  StoresSinSqRamps,
  SavesLine,        // the settings file holds this line
  SavesNothingYet,  // no settings file has been written
};

struct TExpectedMessage {
  std::u16string_view Text;
  std::string_view FocusWhileOpen = {};  // empty: not checked
  std::string_view PageWhileOpen = {};   // empty: not checked
  std::u16string_view Caption = u"Kolvane";
};

struct TStep {
  TStepKind Kind;
  std::string_view Control = {};
  std::u16string_view Text = {};
  int Item = 0;  // the language item; for ShowsChecked and StoresSinSqRamps, 1 for true
  TColor Colour = clNone;
  double TFeedParams::*Field = nullptr;
  double Value = 0;
  std::vector<TExpectedMessage> Messages = {};
  std::string_view Line = {};
};

struct TScenario {
  const char* Name;           // a test name: letters and digits only
  std::string_view Settings;  // the settings file before the start; empty: none
  std::vector<TStep> Steps;
};

// Every user story.
const std::vector<TScenario>& UserScenarios();

// Opens the window and runs the story's steps in order; a step that sees
// something else fails the test, naming the story and the step in words.
void RunScenario(const TScenario& scenario, TUserActions& user);

// The step in words, for failure messages.
std::string Describe(const TStep& step);

// Test names and printed parameters: the story's name.
std::string ScenarioName(const ::testing::TestParamInfo<TScenario>& info);
void PrintTo(const TScenario& scenario, std::ostream* out);
