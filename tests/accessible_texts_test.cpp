// SPDX-License-Identifier: MIT
// What screen readers are told about the boxes: the label that names each
// edit box, and the words for a box coloured for a broken drive limit.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "pages/LimitTexts.h"
#include "ui/AccessibleTexts.h"
#include "ui/WindowDef.h"

namespace {

struct TNamedBox {
  std::string_view Box;
  std::string_view Label;
};

// Every edit box of the window and the label beside it on its row.
constexpr TNamedBox kWindowBoxes[] = {
    {"ED_WayE", "LB_FeedLen1"},       {"ED_AngleE", "LB_ApertAngle1"},
    {"ED_HZin", "LB_DesStrkRate"},    {"ED_SpeedE", "LB_SpeedE"},
    {"ED_AccelE", "LB_Accel1"},       {"ED_MaxSpeedE", "LB_MaxSpeed1"},
    {"ED_MaxAccel", "LB_MaxAccel"},   {"ED_RuheZeitE", "LB_DampTim1"},
    {"ED_WayS", "LB_FeedLen2"},       {"ED_AccelS", "LB_AccSinQ"},
    {"ED_MaxSpeedS", "LB_MaxSpeed2"}, {"ED_AngleS", "LB_ApertAngle2"},
    {"ED_RuheZeitS", "LB_DampTim2"},  {"ED_TimeVS", "LB_FeedTotalTime"},
    {"ED_TimeAS", "LB_AccTime"},      {"ED_SpeedS", "LB_SpeedS"},
    {"ED_HZout", "LB_StrkRate"},
};

TEST(AccessibleNames, EveryEditBoxOfTheWindowIsNamedByTheLabelOnItsRow) {
  int boxes = 0;
  for (const TControlDef& def : MainWindowControls()) {
    if (def.Kind != TControlKind::Edit) {
      continue;
    }
    ++boxes;
    const TNamedBox* expected = nullptr;
    for (const TNamedBox& named : kWindowBoxes) {
      if (named.Box == def.Name) {
        expected = &named;
      }
    }
    ASSERT_NE(expected, nullptr) << def.Name << " is a box this test does not know";
    EXPECT_EQ(LabelOf(def.Name), expected->Label) << def.Name;
  }
  EXPECT_EQ(boxes, static_cast<int>(std::size(kWindowBoxes))) << "a box of the list is missing";
}

TEST(AccessibleNames, TheNearestLabelToTheLeftOnTheSameParentAndRowNamesABox) {
  constexpr TControlDef kControls[] = {
      {.Name = "Panel", .Kind = TControlKind::Panel, .Parent = "Form"},
      {.Name = "Far",
       .Kind = TControlKind::Label,
       .Parent = "Panel",
       .Left = 0,
       .Top = 10,
       .Width = 40,
       .Height = 15},
      {.Name = "Near",
       .Kind = TControlKind::Label,
       .Parent = "Panel",
       .Left = 50,
       .Top = 12,
       .Width = 40,
       .Height = 15},
      {.Name = "Unit",
       .Kind = TControlKind::Label,
       .Parent = "Panel",
       .Left = 200,
       .Top = 10,
       .Width = 20,
       .Height = 15},
      {.Name = "Above",
       .Kind = TControlKind::Label,
       .Parent = "Panel",
       .Left = 60,
       .Top = 0,
       .Width = 40,
       .Height = 8},
      {.Name = "Elsewhere",
       .Kind = TControlKind::Label,
       .Parent = "Form",
       .Left = 90,
       .Top = 10,
       .Width = 40,
       .Height = 15},
      {.Name = "Box",
       .Kind = TControlKind::Edit,
       .Parent = "Panel",
       .Left = 100,
       .Top = 8,
       .Width = 70,
       .Height = 23},
      {.Name = "Lonely",
       .Kind = TControlKind::Edit,
       .Parent = "Panel",
       .Left = 100,
       .Top = 60,
       .Width = 70,
       .Height = 23},
  };
  EXPECT_EQ(LabelOf(kControls, "Box"), "Near");
  EXPECT_EQ(LabelOf(kControls, "Lonely"), "") << "no label on its row";
  EXPECT_EQ(LabelOf(kControls, "Missing"), "") << "no such box";
}

struct TLimitCase {
  const char* Name;
  std::string_view Box;
  uint16_t LimitFlags;
  int32_t Language;
  std::u16string_view Expected;
};

void PrintTo(const TLimitCase& c, std::ostream* out) {
  *out << c.Name;
}

class LimitDescriptionTest : public ::testing::TestWithParam<TLimitCase> {};

TEST_P(LimitDescriptionTest, SaysWhichLimitTheColourMarks) {
  const TLimitCase& c = GetParam();
  EXPECT_TRUE(LimitDescription(c.Box, c.LimitFlags, c.Language) == c.Expected) << c.Name;
}

constexpr std::u16string_view kAccelEn = u"exceeds the maximum acceleration (P241)";
constexpr std::u16string_view kAccelDe = u"\u00FCberschreitet die maximale Beschleunigung (P241)";
constexpr std::u16string_view kWindowEn =
    u"the stroke rate leaves the feed too little time (aperture angle, P242)";

INSTANTIATE_TEST_SUITE_P(
    Boxes, LimitDescriptionTest,
    ::testing::Values(
        TLimitCase{"AccelerationBeyondP241InEnglish", "ED_AccelE", 1, 1, kAccelEn},
        TLimitCase{"AccelerationBeyondP241InGerman", "ED_AccelE", 1, 0, kAccelDe},
        TLimitCase{"AnUnknownLanguageShowsGerman", "ED_AccelE", 1, 7, kAccelDe},
        TLimitCase{"BothLimitsOnTheAcceleration", "ED_AccelE", 3, 1,
                   u"exceeds the maximum acceleration (P241); the stroke rate leaves the feed "
                   u"too little time (aperture angle, P242)"},
        TLimitCase{"TheSpeedMarksTheShortWindow", "ED_SpeedE", 2, 1, kWindowEn},
        TLimitCase{"TypedAccelerationBeyondP241", "ED_AccelS", 0, 1, kAccelEn},
        TLimitCase{"SpeedLimitBeyondP240", "ED_MaxSpeedS", 0, 0,
                   u"\u00FCberschreitet die maximale Geschwindigkeit (P240)"},
        TLimitCase{"ABoxThatMarksNoLimit", "ED_WayE", 3, 1, u""}),
    [](const ::testing::TestParamInfo<TLimitCase>& info) { return std::string(info.param.Name); });

}  // namespace
