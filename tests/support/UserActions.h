// SPDX-License-Identifier: MIT
#pragma once
// What a user does to the main window and what they see of it, named by the
// window definition's control names. Each toolkit's tests implement it on
// their own widgets, so one table of user stories runs on all of them.
// Nothing here knows a toolkit.

#include <string>
#include <string_view>
#include <vector>

#include "ui/Controls.h"

// A message box as the user saw it.
struct TShownMessage {
  std::u16string Caption;
  std::u16string Text;
  // The control that held the window's logical focus while the box was open;
  // empty when none did.
  std::string FocusWhileOpen;
  // The page the window showed while the box was open.
  std::string PageWhileOpen;
};

class TUserActions {
 public:
  virtual ~TUserActions() = default;

  // Starts the program with its own empty folders, the process-wide values
  // as at process start, and this settings file (none when empty); returns
  // once the window is shown.
  virtual void Open(std::string_view settings) = 0;

  // ---- Acting ----
  // A mouse click into a box, a check box or a combo box. A control the
  // user cannot focus (a result box) takes nothing.
  virtual void Click(std::string_view control) = 0;
  // Two clicks in quick succession, as the system reports a double click.
  virtual void DoubleClick(std::string_view control) = 0;
  // Types over the whole text of the focused box (edit or combo box).
  virtual void Type(std::u16string_view text) = 0;
  // The text reaches the box without any key or focus event (as though the
  // box had been given it behind the window's back): no pass runs.
  virtual void PutText(std::string_view box, std::u16string_view text) = 0;
  virtual void PressEnter() = 0;
  virtual void PressTab() = 0;
  virtual void PressShiftTab() = 0;
  virtual void PressSpace() = 0;
  // Backspace in the focused box: deletes the selection, else the character
  // before the caret.
  virtual void PressBackspace() = 0;
  // Ctrl+Tab and Ctrl+Shift+Tab, wherever the focus is.
  virtual void PressCtrlTab() = 0;
  virtual void PressCtrlShiftTab() = 0;
  // A mouse click on the tab of the page.
  virtual void ClickTab(std::string_view page) = 0;
  // Picks the item of the language box (on the shown options page) with
  // the keyboard or the mouse.
  virtual void PickLanguage(int item) = 0;
  // The window's close button; true when the window closed.
  virtual bool Close() = 0;

  // ---- Seeing ----
  // A box's text, or the caption of a label, check box or page tab.
  virtual std::u16string Text(std::string_view control) = 0;
  // True when the box's whole, non-empty text is selected.
  virtual bool WholeTextSelected(std::string_view box) = 0;
  // A box's background as an RGB value.
  virtual TColor Colour(std::string_view box) = 0;
  virtual bool Checked(std::string_view box) = 0;
  // The control with the keyboard focus (the page control for its tabs);
  // empty when none has it.
  virtual std::string KeyboardFocus() = 0;
  // The page the window shows.
  virtual std::string Page() = 0;
  // Every message box shown so far, in order.
  virtual std::vector<TShownMessage> Messages() = 0;
  // The bytes of the settings file in the program's data folder; empty when
  // there is none.
  virtual std::string SettingsFile() = 0;
};
