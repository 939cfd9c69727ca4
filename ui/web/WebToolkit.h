// SPDX-License-Identifier: MIT
#pragma once
// The browser toolkit for the window logic: a peer factory that builds one
// DOM element per control of the window definition, at the definition's
// place and size in CSS pixels, and the reports of what the user did, which
// the page's script (ui/web/dom.js) calls by the element's handle.
//
// The reports are those of the other adapters (see ui/Controls.h); every
// event rule lives in the controls:
// - Focus: a focus event the user caused (mouse, or the browser's own Tab
//   from outside the window) is UserFocused; the program's own focus moves,
//   and everything while a message box is open, are not reported. Exits come
//   from the form's logical focus, never from a blur.
// - Tab and Shift+Tab inside the window go where the form's tab order says,
//   and a box entered that way shows its text selected.
// - A tab click changes nothing by itself: the page control's peer shows
//   the page the logic chooses.
// - Keys: one key-down, then the character it types (Enter is the
//   character 13), which the logic may swallow or replace.
// - The check box never toggles itself: a click or the release of Space
//   toggles it when the form allows, then reports the toggle.
// - The combo box reports the item picked from its list or with the arrow
//   keys, and every edit of its text.

#include <memory>
#include <string_view>
#include <vector>

#include "ui/PeerFactory.h"

// A label that fits its text to the room the window's definition gives it.
class TFittedLabel {
 public:
  virtual void Fit() = 0;

 protected:
  ~TFittedLabel() = default;
};

class TWebToolkit : public TPeerFactory {
 public:
  TWebToolkit();
  ~TWebToolkit() override;
  TWebToolkit(const TWebToolkit&) = delete;
  TWebToolkit& operator=(const TWebToolkit&) = delete;

  // The toolkit whose elements the page's reports name; null when none.
  static TWebToolkit* Current();

  // The control whose element has that handle; null when none.
  TControl* ControlOf(int element) const;
  // The element of the control; 0 when it has none.
  int ElementOf(const TControl& control) const;
  int FormElement() const { return form_; }

  // The DOM focus back on the form's logical focus, after a message box.
  void RestoreFocus(const TForm& form);

  // Tab and Shift+Tab in the window.
  void StepTabOrder(TForm& form, bool backwards);
  // Ctrl+Tab and Ctrl+Shift+Tab: the page the form says.
  void StepPage(TForm& form, bool backwards);

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

  // Called by each peer as its control binds to it.
  void Bind(int element, TControl* control);

  // The window is complete: its labels, made before it, are fitted to the
  // room its definition gives them, and later captions as they come.
  void FormBuilt(const TForm& form);
  const TForm* Form() const { return built_; }

 private:
  int form_ = 0;
  const TForm* built_ = nullptr;
  // The labels made before the window was complete, to fit then.
  std::vector<TFittedLabel*> unfitted_;
  // The control of each element, by handle.
  std::vector<TControl*> controls_;
};
