// SPDX-License-Identifier: MIT
#include "ui/WindowDef.h"

#include <algorithm>
#include <array>

namespace {

constexpr TEventSet kInputEvents = evKeyDown | evKeyPress | evExit;
constexpr TColor kLimitsGrey = TColor::Rgb(221, 221, 221);  // stored as 14540253

struct TRect {
  int Left, Top, Width, Height;
};

constexpr TControlDef Label(std::string_view name, std::string_view parent, TRect r,
                            std::u16string_view text = {}) {
  return {.Name = name,
          .Kind = TControlKind::Label,
          .Parent = parent,
          .Left = r.Left,
          .Top = r.Top,
          .Width = r.Width,
          .Height = r.Height,
          .Text = text};
}

// An input box: typed into, with the acceptance events wired.
constexpr TControlDef Input(std::string_view name, std::string_view parent, TRect r, int tabOrder,
                            int tag) {
  return {.Name = name,
          .Kind = TControlKind::Edit,
          .Parent = parent,
          .Left = r.Left,
          .Top = r.Top,
          .Width = r.Width,
          .Height = r.Height,
          .TabOrder = tabOrder,
          .Tag = tag,
          .Color = clWindow,
          .Events = kInputEvents};
}

// A result box: lies on a disabled panel, so it shows but takes no input.
constexpr TControlDef Result(std::string_view name, std::string_view parent, TRect r,
                             int tabOrder) {
  return {.Name = name,
          .Kind = TControlKind::Edit,
          .Parent = parent,
          .Left = r.Left,
          .Top = r.Top,
          .Width = r.Width,
          .Height = r.Height,
          .TabOrder = tabOrder,
          .Color = clWindow};
}

constexpr TControlDef Panel(std::string_view name, std::string_view parent, TRect r, int tabOrder,
                            TColor color, bool enabled) {
  return {.Name = name,
          .Kind = TControlKind::Panel,
          .Parent = parent,
          .Left = r.Left,
          .Top = r.Top,
          .Width = r.Width,
          .Height = r.Height,
          .TabOrder = tabOrder,
          .Color = color,
          .Enabled = enabled,
          .BevelInner = TBevelCut::Lowered,
          .BevelOuter = TBevelCut::None};
}

constexpr TControlDef Logo(std::string_view name, std::string_view parent) {
  return {.Name = name,
          .Kind = TControlKind::Image,
          .Parent = parent,
          .Left = 326,
          .Top = 7,
          .Width = 35,
          .Height = 133,
          .Transparent = true};
}

constexpr TControlDef Sheet(std::string_view name, int pageIndex) {
  return {.Name = name,
          .Kind = TControlKind::TabSheet,
          .Parent = "PC_Main",
          .TabOrder = pageIndex,
          .Color = clBtnFace};
}

constexpr std::u16string_view kMillimetres = u"mm";
constexpr std::u16string_view kDegrees = u"\u00B0";
constexpr std::u16string_view kPerMinute = u"1/min";
constexpr std::u16string_view kMetresPerMinute = u"m/min";
constexpr std::u16string_view kMetresPerSecond2 = u"m/s\u00B2";
constexpr std::u16string_view kSeconds = u"s";

constexpr std::array<std::u16string_view, 2> kLanguageItems = {u"Deutsch", u"English"};

constexpr TControlDef kControls[] = {
    {.Name = "PC_Main",
     .Kind = TControlKind::PageControl,
     .Parent = "FO_Main",
     .Left = 2,
     .Top = 6,
     .Width = 381,
     .Height = 319,
     .TabOrder = 0,
     .Color = clBtnFace,
     .Events = evChange,
     .Handler = THandler::PC_MainChange,
     .Selected = 1},  // the stored definition names TS_VZ; start-up selects TS_HzP
    Sheet("TS_HzP", 0),
    Sheet("TS_VZ", 1),
    Sheet("TS_Options", 2),

    // Stroke-rate page.
    Label("LB_FeedLen1", "TS_HzP", {16, 16, 96, 15}),
    Label("Label27", "TS_HzP", {268, 16, 22, 15}, kMillimetres),
    Label("LB_ApertAngle1", "TS_HzP", {16, 43, 88, 15}),
    Label("Label33", "TS_HzP", {268, 43, 5, 15}, kDegrees),
    Label("LB_DesStrkRate", "TS_HzP", {16, 70, 112, 15}),
    Label("Label35", "TS_HzP", {268, 70, 32, 15}, kPerMinute),
    Logo("IM_LogoPX", "TS_HzP"),
    Panel("PL_Out", "TS_HzP", {8, 215, 343, 66}, 0, clInfoBk, false),
    Input("ED_WayE", "TS_HzP", {188, 13, 71, 23}, 1, 1),
    Input("ED_AngleE", "TS_HzP", {188, 40, 71, 23}, 2, 3),
    Input("ED_HZin", "TS_HzP", {188, 67, 71, 23}, 3, 2),
    Panel("PL_Limits", "TS_HzP", {8, 98, 305, 107}, 4, kLimitsGrey, true),

    Label("LB_SpeedE", "PL_Out", {8, 14, 141, 15}),
    Label("Label23", "PL_Out", {260, 14, 37, 15}, kMetresPerMinute),
    Label("LB_Accel1", "PL_Out", {8, 41, 89, 15}),
    Label("Label25", "PL_Out", {260, 42, 25, 15}, kMetresPerSecond2),
    Result("ED_SpeedE", "PL_Out", {180, 10, 71, 23}, 0),
    Result("ED_AccelE", "PL_Out", {180, 37, 71, 23}, 1),

    Label("LB_MaxSpeed1", "PL_Limits", {8, 8, 156, 15}),
    Label("Label29", "PL_Limits", {260, 10, 37, 15}, kMetresPerMinute),
    Label("LB_MaxAccel", "PL_Limits", {8, 35, 154, 15}),
    Label("Label31", "PL_Limits", {260, 37, 25, 15}, kMetresPerSecond2),
    Label("LB_DampTim1", "PL_Limits", {8, 76, 89, 15}),
    Label("Label36", "PL_Limits", {260, 78, 5, 15}, kSeconds),
    Input("ED_MaxSpeedE", "PL_Limits", {180, 7, 71, 23}, 0, 4),
    Input("ED_MaxAccel", "PL_Limits", {180, 34, 71, 23}, 1, 5),
    {.Name = "CH_SinQramps",
     .Kind = TControlKind::CheckBox,
     .Parent = "PL_Limits",
     .Left = 8,
     .Top = 50,
     .Width = 142,
     .Height = 17,
     .TabOrder = 2,
     .Tag = 6,
     .Events = evClick | evKeyDown,
     .Handler = THandler::CH_SinQrampsClick},
    Input("ED_RuheZeitE", "PL_Limits", {180, 75, 71, 23}, 3, 7),

    // Feed-timing page.
    Label("LB_FeedLen2", "TS_VZ", {16, 16, 96, 15}),
    Label("Label2", "TS_VZ", {264, 16, 22, 15}, kMillimetres),
    Label("LB_AccSinQ", "TS_VZ", {16, 70, 162, 15}),
    Label("Label4", "TS_VZ", {264, 70, 25, 15}, kMetresPerSecond2),
    Label("LB_MaxSpeed2", "TS_VZ", {16, 97, 120, 15}),
    Label("Label6", "TS_VZ", {264, 97, 37, 15}, kMetresPerMinute),
    Label("LB_ApertAngle2", "TS_VZ", {16, 43, 88, 15}),
    Label("Label8", "TS_VZ", {264, 43, 5, 15}, kDegrees),
    Label("LB_DampTim2", "TS_VZ", {16, 125, 89, 15}),
    Label("Label10", "TS_VZ", {264, 124, 5, 15}, kSeconds),
    Logo("IM_LogoDVK", "TS_VZ"),
    Input("ED_WayS", "TS_VZ", {184, 13, 71, 23}, 0, 11),
    Input("ED_AccelS", "TS_VZ", {184, 67, 71, 23}, 2, 12),
    Input("ED_MaxSpeedS", "TS_VZ", {184, 94, 71, 23}, 3, 13),
    Input("ED_AngleS", "TS_VZ", {184, 40, 71, 23}, 1, 14),
    Input("ED_RuheZeitS", "TS_VZ", {184, 122, 71, 23}, 4, 15),
    Panel("PL_Results", "TS_VZ", {8, 156, 353, 118}, 5, clInfoBk, false),

    Label("LB_FeedTotalTime", "PL_Results", {8, 12, 71, 15}),
    Label("Label12", "PL_Results", {256, 11, 5, 15}, kSeconds),
    Label("LB_AccTime", "PL_Results", {8, 39, 112, 15}),
    Label("Label14", "PL_Results", {256, 38, 5, 15}, kSeconds),
    Label("LB_SpeedS", "PL_Results", {8, 66, 135, 15}),
    Label("Label16", "PL_Results", {256, 66, 37, 15}, kMetresPerMinute),
    Label("LB_StrkRate", "PL_Results", {8, 93, 48, 15}),
    Label("Label18", "PL_Results", {256, 94, 32, 15}, kPerMinute),
    Result("ED_TimeVS", "PL_Results", {176, 8, 71, 23}, 0),
    Result("ED_TimeAS", "PL_Results", {176, 35, 71, 23}, 1),
    Result("ED_SpeedS", "PL_Results", {176, 62, 71, 23}, 2),
    Result("ED_HZout", "PL_Results", {176, 89, 71, 23}, 3),

    // Options page.
    {.Name = "GroupBox1",
     .Kind = TControlKind::GroupBox,
     .Parent = "TS_Options",
     .Left = 16,
     .Top = 14,
     .Width = 293,
     .Height = 55,
     .TabOrder = 0,
     .Text = u"Language / Sprache"},
    {.Name = "CB_Language",
     .Kind = TControlKind::ComboBox,
     .Parent = "GroupBox1",
     .Left = 16,
     .Top = 22,
     .Width = 259,
     .Height = 23,
     .TabOrder = 0,
     .Color = clWindow,
     .Events = evChange,
     .Handler = THandler::CB_LanguageChange,
     .Items = kLanguageItems,
     .Selected = 0},
};

bool TakesFocus(const TControlDef& def) {
  return def.Enabled && def.Visible &&
         (def.Kind == TControlKind::Edit || def.Kind == TControlKind::CheckBox ||
          def.Kind == TControlKind::ComboBox);
}

bool HoldsChildren(const TControlDef& def) {
  return def.Kind == TControlKind::Panel || def.Kind == TControlKind::GroupBox ||
         def.Kind == TControlKind::TabSheet;
}

void AppendTabCycle(std::span<const TControlDef> controls, std::string_view parent,
                    std::vector<std::string_view>& cycle) {
  std::vector<const TControlDef*> children;
  for (const TControlDef& def : controls) {
    if (def.Parent == parent && def.TabOrder >= 0) {
      children.push_back(&def);
    }
  }
  std::stable_sort(
      children.begin(), children.end(),
      [](const TControlDef* a, const TControlDef* b) { return a->TabOrder < b->TabOrder; });
  for (const TControlDef* child : children) {
    if (HoldsChildren(*child)) {
      if (child->Enabled && child->Visible) {
        AppendTabCycle(controls, child->Name, cycle);
      }
    } else if (TakesFocus(*child)) {
      cycle.push_back(child->Name);
    }
  }
}

}  // namespace

const TFormDef MainFormDef = {
    .Name = "FO_Main",
    .ClientWidth = 384,
    .ClientHeight = 326,
    // The version in the caption is the project version (ui/CMakeLists.txt).
    .Caption = u"Kolvane (Orbel) v" KOLVANE_VERSION,
    .BorderStyle = TBorderStyle::Single,
    .Position = TPosition::DesktopCenter,
    .Color = clBtnFace,
    .FontName = u"Segoe UI",
    .FontHeight = -12,
    .FontColor = clWindowText,
    .Events = evShow | evClose,
    .FontCharset = kAnsiCharset,
};

std::span<const TControlDef> MainWindowControls() {
  return kControls;
}

const TControlDef* FindControlDef(std::span<const TControlDef> controls, std::string_view name) {
  for (const TControlDef& def : controls) {
    if (def.Name == name) {
      return &def;
    }
  }
  return nullptr;
}

bool CanTakeFocus(std::span<const TControlDef> controls, std::string_view name) {
  const TControlDef* def = FindControlDef(controls, name);
  // The page control takes the focus from a tab click, though Tab skips it.
  if (def == nullptr || !(TakesFocus(*def) || def->Kind == TControlKind::PageControl)) {
    return false;
  }
  for (def = FindControlDef(controls, def->Parent); def != nullptr;
       def = FindControlDef(controls, def->Parent)) {
    if (!def->Enabled || !def->Visible) {
      return false;
    }
  }
  return true;
}

std::vector<std::string_view> TabCycle(std::span<const TControlDef> controls,
                                       std::string_view page) {
  std::vector<std::string_view> cycle;
  AppendTabCycle(controls, page, cycle);
  return cycle;
}
