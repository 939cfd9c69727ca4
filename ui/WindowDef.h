// SPDX-License-Identifier: MIT
#pragma once
// The main window as a static record: the form's own properties and every
// control with its kind, place, size, tab order, tag, fixed text, colours,
// enabled state and wired events. Every front end builds its window from
// this one table, and TFO_Main builds its controls from it.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "ui/Controls.h"

enum class TControlKind : uint8_t {
  PageControl,
  TabSheet,
  Label,
  Edit,
  Panel,
  Image,
  CheckBox,
  ComboBox,
  GroupBox,
};

enum class TBevelCut : uint8_t { None, Lowered, Raised };

// Events wired to a handler, as a bit set.
using TEventSet = uint16_t;
inline constexpr TEventSet evShow = 0x01;
inline constexpr TEventSet evClose = 0x02;
inline constexpr TEventSet evChange = 0x04;
inline constexpr TEventSet evClick = 0x08;
inline constexpr TEventSet evKeyDown = 0x10;
inline constexpr TEventSet evKeyPress = 0x20;
inline constexpr TEventSet evExit = 0x40;

// The window's handlers of a control's own change or click event, as the
// window names them. Key-down, key-press and exit always run the window's
// shared ED_KeyDown, ED_KeyPress and ED_Exit; show and close run FormShow and
// FormClose.
enum class THandler : uint8_t { None, PC_MainChange, CB_LanguageChange, CH_SinQrampsClick };

struct TControlDef {
  std::string_view Name;
  TControlKind Kind;
  std::string_view Parent;  // the form's name for PC_Main
  // Relative to the parent's client area, in pixels at 96 dpi. Tab sheets are
  // placed by their page control and carry zeros.
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int TabOrder = -1;  // within the parent; -1 for controls without one; tab sheets: page index
  int Tag = 0;
  // Fixed text; empty where the window writes the text at run time, or none.
  std::u16string_view Text = {};
  TColor Color = clNone;  // background; clNone: the parent's shows through
  bool Enabled = true;
  bool Visible = true;
  TEventSet Events = 0;
  THandler Handler = THandler::None;       // what evChange or evClick runs
  TBevelCut BevelInner = TBevelCut::None;  // panels
  TBevelCut BevelOuter = TBevelCut::None;  // panels
  bool Transparent = false;                // images: the bitmap's bottom-left colour is not painted
  std::span<const std::u16string_view> Items = {};  // combo box items
  // The stored selection: a combo box's item index, a page control's active
  // page index; -1 for none.
  int Selected = -1;
};

inline constexpr uint8_t kAnsiCharset = 0;  // Windows' ANSI_CHARSET

enum class TBorderStyle : uint8_t { Single, Sizeable };
enum class TPosition : uint8_t { Designed, DesktopCenter };

struct TFormDef {
  std::string_view Name;
  int ClientWidth;
  int ClientHeight;
  std::u16string_view Caption;
  TBorderStyle BorderStyle;
  TPosition Position;
  TColor Color;
  std::u16string_view FontName;
  int FontHeight;  // negative: character height in pixels
  TColor FontColor;
  TEventSet Events;
  // The font's character set as Windows numbers it (fonts that lack it are
  // not picked when another face must stand in).
  uint8_t FontCharset = kAnsiCharset;
};

extern const TFormDef MainFormDef;

// Every control of the main window; a parent always precedes its children,
// and the children of one parent keep their stored order.
std::span<const TControlDef> MainWindowControls();

// The lookups below work on any definition table, such as MainWindowControls().
const TControlDef* FindControlDef(std::span<const TControlDef> controls, std::string_view name);

// True when the user can give the control the keyboard focus: a kind that
// takes it, enabled and visible, inside enabled containers only.
bool CanTakeFocus(std::span<const TControlDef> controls, std::string_view name);

// The controls of the page that take the focus, in the order the Tab key
// walks them: by tab order within each parent, depth first, skipping
// disabled containers and controls that cannot take the focus.
std::vector<std::string_view> TabCycle(std::span<const TControlDef> controls,
                                       std::string_view page);
