// SPDX-License-Identifier: MIT
#pragma once
// The Qt 6 Widgets toolkit for the window logic: a peer factory that builds
// one widget per control of the window definition, at the definition's
// place and size, with its colours and texts.
//
// The widgets report what the user does to their controls (see
// ui/Controls.h) and nothing else; every event rule lives in the controls.
// How Qt's events map onto those reports:
// - Focus: only a focus move the user made (mouse, Tab, Backtab) is
//   reported, as UserFocused; the program's own set-focus, window activation,
//   popups and Qt's own moves off a hidden page are not exits. The exits
//   themselves come from the form's logical focus, never from Qt's
//   focus-out.
// - Tab and Shift+Tab go where the form's tab order says.
// - The tab bar takes the focus on a click, so the focused box's exit runs
//   while the old page is still shown; Ctrl+Tab and the mouse wheel on the
//   tabs move the focus to the tab bar first for the same reason.
// - Enter in a box arrives as one key press: key-down first, then the
//   character, which the logic may swallow.
// - A check box reports `toggled` only, a combo box `activated` and
//   `editTextChanged` (typing, and the inline completion that follows it).
//   The program's own setters block the widget's signals.

#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "ui/PeerFactory.h"

class TLazyWidgets;

class TQtToolkit : public TPeerFactory {
 public:
  TQtToolkit();
  ~TQtToolkit() override;

  // The top-level window; null before MakeForm and after the form's peer
  // has gone.
  QWidget* TopLevel() const;
  // The widget of the control of that name (the tab widget for a page
  // control, the page for a tab sheet), built now if it was still pending;
  // null when there is none.
  QWidget* Widget(std::string_view name) const;

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
  void Register(std::string_view name, QWidget* widget);

  QPointer<QWidget> topLevel_;
  std::map<std::string, QPointer<QWidget>, std::less<>> widgets_;
  // Controls whose widgets are not built yet.
  std::unique_ptr<TLazyWidgets> lazy_;
};
