// SPDX-License-Identifier: MIT
#pragma once
// A toolkit made of plain recorded values, for running the window headless:
// the peers write what a widget would show into TRecordedState records, the
// application records its message boxes (dismissed with OK at once) and
// exception displays, and TUserDriver acts on the window as a user would.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Controls.h"
#include "ui/PeerFactory.h"
#include "ui/WindowDef.h"

// What one widget shows.
struct TRecordedState {
  std::string Name;
  TControlKind Kind = TControlKind::Label;
  std::string Parent;
  std::u16string Text;                  // an edit box's text, or a caption
  std::vector<std::u16string> TextLog;  // every text the program wrote, in order
  TColor Color = clNone;
  bool Checked = false;
  std::vector<std::u16string> Items;
  int ItemIndex = -1;
  int ActivePage = -1;
  bool Visible = true;
  bool AllSelected = false;  // the whole text is selected
  // A combo box's selection: from this character to the end; -1 for none.
  int SelectedFrom = -1;
  // What a screen reader is told.
  std::u16string AccessibleName;
  std::u16string AccessibleDescription;
};

class TRecordedToolkit : public TPeerFactory {
 public:
  // The state of the widget of that name; throws std::out_of_range if none.
  const TRecordedState& operator[](std::string_view name) const;
  TRecordedState& State(std::string_view name);

  // The widget that has the keyboard focus; empty when none has.
  std::string Focused;
  // Every widget that took the focus, in order.
  std::vector<std::string> FocusLog;

  void Focus(const std::string& name);
  // The name of a peer this window made.
  std::string NameOf(const TPeer& peer) const;

  std::unique_ptr<TFormPeer> MakeForm(const TFormDef& def) override;
  std::unique_ptr<TPageControlPeer> MakePageControl(const TControlDef& def, TPeer& parent) override;
  std::unique_ptr<TTabSheetPeer> MakeTabSheet(const TControlDef& def, TPeer& parent) override;
  std::unique_ptr<TLabelPeer> MakeLabel(const TControlDef& def, TPeer& parent) override;
  std::unique_ptr<TEditPeer> MakeEdit(const TControlDef& def, TPeer& parent) override;
  std::unique_ptr<TPanelPeer> MakePanel(const TControlDef& def, TPeer& parent) override;
  std::unique_ptr<TImagePeer> MakeImage(const TControlDef& def, TPeer& parent) override;
  std::unique_ptr<TCheckBoxPeer> MakeCheckBox(const TControlDef& def, TPeer& parent) override;
  std::unique_ptr<TComboBoxPeer> MakeComboBox(const TControlDef& def, TPeer& parent) override;
  std::unique_ptr<TGroupBoxPeer> MakeGroupBox(const TControlDef& def, TPeer& parent) override;

 private:
  TRecordedState& Add(const TControlDef& def);

  std::map<std::string, std::unique_ptr<TRecordedState>, std::less<>> states_;
  std::map<const TPeer*, std::string> names_;
};

struct TRecordedMessage {
  std::u16string Text;
  std::u16string Caption;
  int Flags = 0;
  std::string FocusedControl;  // the logical focus when the box opened; empty: none
};

class TRecordedApplication : public TApplicationServices {
 public:
  // The id of the OK button, which dismisses every recorded box.
  inline static constexpr int OkButton = 1;

  std::vector<TRecordedMessage> Messages;
  std::vector<std::u16string> Exceptions;
  // The window whose logical focus each message box records.
  const TForm* Form = nullptr;
  // Runs while a message box is open, before it is dismissed.
  std::function<void(const TRecordedMessage&)> WhileOpen;

  int ShowMessageBox(const std::u16string& text, const std::u16string& caption, int flags) override;
  void ShowException(const std::u16string& text) override;
};

// Acts on the window as a user would, through the entry points an adapter
// calls, keeping the recorded widgets as a toolkit would keep them.
class TUserDriver {
 public:
  TUserDriver(TForm& form, TRecordedToolkit& window) : form_(form), window_(window) {}

  void Show();
  // A mouse click into the control; false (and nothing happens) when the
  // user cannot focus it, such as a box on a disabled panel.
  bool Focus(TWinControl& control);
  // Replaces the box's text as typing over it would; the focus stays where it is.
  void Type(TEdit& box, const std::u16string& text);
  // Types over the combo box's text, one character after the other, each
  // replacing what is selected; the box reports each as typed.
  void Type(TComboBox& box, const std::u16string& text);
  // Deletes the selection of the focused box, or else the character before
  // the caret at the end of its text; a combo box reports the change.
  void PressBackspace();
  // Ctrl+Tab (with Shift: backwards): the page the form says comes next.
  void PressCtrlTab(bool backwards);
  // Key down 13 on the focused control, then the character 13 for a box.
  void PressEnter();
  // The next control of the active page's tab order, wrapping; a box
  // entered this way selects its whole text.
  void PressTab();
  // The same, backwards.
  void PressShiftTab();
  // Key down 32 on the focused control; a check box then toggles and
  // reports its click if it still has the focus (the key-up that toggles it
  // goes wherever a pass moved the focus), a box gets the character.
  void PressSpace();
  // The mouse on the check box: the focus moves to it first; the toggle
  // follows only if the box still has the focus then (a message box opened
  // by the focus move swallows the click).
  void Click(TCheckBox& box);
  // Two quick clicks: the second counts as a click of its own.
  void DoubleClick(TCheckBox& box);
  void SwitchPage(TTabSheet& page);
  // Picks an item of the combo box with the mouse; -1 models a typed text
  // that names no item.
  void PickItem(TComboBox& box, int itemIndex);
  // True when the window closed.
  bool Close();
  bool HasClosed() const { return closed_; }

 private:
  TWinControl* FocusedControl() const;
  void StepTabOrder(bool backwards);
  void TypeCharacter(TEdit& box, char16_t character);

  TForm& form_;
  TRecordedToolkit& window_;
  bool closed_ = false;
};
