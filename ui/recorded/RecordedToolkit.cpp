// SPDX-License-Identifier: MIT
#include "ui/recorded/RecordedToolkit.h"

#include <stdexcept>
#include <utility>

namespace {

// Every recorded peer knows its record and, to take the focus, its window.
class TRecordedBase {
 public:
  TRecordedBase(TRecordedToolkit& window, TRecordedState& state) : window_(window), state_(state) {}

 protected:
  void Name(const std::u16string& name) { state_.AccessibleName = name; }
  void Describe(const std::u16string& description) { state_.AccessibleDescription = description; }

  void Write(const std::u16string& text) {
    state_.Text = text;
    state_.TextLog.push_back(text);
  }

  TRecordedToolkit& window_;
  TRecordedState& state_;
};

class TFormRecord : public TFormPeer {};
class TPanelRecord : public TPanelPeer {};
class TGroupBoxRecord : public TGroupBoxPeer {};

class TLabelRecord : public TLabelPeer, TRecordedBase {
 public:
  using TRecordedBase::TRecordedBase;
  void SetCaption(const std::u16string& caption) override { Write(caption); }
};

class TTabSheetRecord : public TTabSheetPeer, TRecordedBase {
 public:
  using TRecordedBase::TRecordedBase;
  void SetCaption(const std::u16string& caption) override { Write(caption); }
};

class TEditRecord : public TEditPeer, TRecordedBase {
 public:
  using TRecordedBase::TRecordedBase;
  void SetAccessibleName(const std::u16string& name) override { Name(name); }
  void SetAccessibleDescription(const std::u16string& text) override { Describe(text); }
  void SetText(const std::u16string& text) override {
    Write(text);
    state_.AllSelected = false;
  }
  std::u16string GetText() const override { return state_.Text; }
  void SetColor(TColor color) override { state_.Color = color; }
  void TakeFocus() override { window_.Focus(state_.Name); }
  void SelectAll() override { state_.AllSelected = true; }
};

class TCheckBoxRecord : public TCheckBoxPeer, TRecordedBase {
 public:
  using TRecordedBase::TRecordedBase;
  void SetAccessibleName(const std::u16string& name) override { Name(name); }
  void SetAccessibleDescription(const std::u16string& text) override { Describe(text); }
  void SetCaption(const std::u16string& caption) override { Write(caption); }
  void SetChecked(bool checked) override { state_.Checked = checked; }
  bool GetChecked() const override { return state_.Checked; }
  void TakeFocus() override { window_.Focus(state_.Name); }
};

class TComboBoxRecord : public TComboBoxPeer, TRecordedBase {
 public:
  using TRecordedBase::TRecordedBase;
  void SetAccessibleName(const std::u16string& name) override { Name(name); }
  void SetAccessibleDescription(const std::u16string& text) override { Describe(text); }
  void SetItemIndex(int index) override {
    bool valid = index >= 0 && static_cast<size_t>(index) < state_.Items.size();
    state_.ItemIndex = valid ? index : -1;
    state_.Text = valid ? state_.Items[static_cast<size_t>(index)] : std::u16string();
    state_.SelectedFrom = -1;
  }
  void ShowCompletion(int index, int typedLength) override {
    SetItemIndex(index);
    state_.SelectedFrom = typedLength;
  }
  std::u16string GetText() const override { return state_.Text; }
  void TakeFocus() override { window_.Focus(state_.Name); }
};

class TPageControlRecord : public TPageControlPeer, TRecordedBase {
 public:
  using TRecordedBase::TRecordedBase;
  void SetActivePage(int pageIndex) override { state_.ActivePage = pageIndex; }
  void TakeFocus() override { window_.Focus(state_.Name); }
};

class TImageRecord : public TImagePeer, TRecordedBase {
 public:
  using TRecordedBase::TRecordedBase;
  void SetAccessibleName(const std::u16string& name) override { Name(name); }
  void SetAccessibleDescription(const std::u16string& text) override { Describe(text); }
  void SetVisible(bool visible) override { state_.Visible = visible; }
  void SetParent(TPeer& parent) override { state_.Parent = window_.NameOf(parent); }
};

// Creates a recorded peer and lets the window know it by name.
template <class TRecord>
std::unique_ptr<TRecord> Make(TRecordedToolkit& window, TRecordedState& state,
                              std::map<const TPeer*, std::string>& names) {
  auto peer = std::make_unique<TRecord>(window, state);
  names[peer.get()] = state.Name;
  return peer;
}

}  // namespace

// ---- TRecordedToolkit ----

const TRecordedState& TRecordedToolkit::operator[](std::string_view name) const {
  auto found = states_.find(name);
  if (found == states_.end()) {
    throw std::out_of_range("no recorded widget " + std::string(name));
  }
  return *found->second;
}

TRecordedState& TRecordedToolkit::State(std::string_view name) {
  return const_cast<TRecordedState&>(std::as_const(*this)[name]);
}

void TRecordedToolkit::Focus(const std::string& name) {
  Focused = name;
  FocusLog.push_back(name);
}

TRecordedState& TRecordedToolkit::Add(const TControlDef& def) {
  auto state = std::make_unique<TRecordedState>();
  state->Name = std::string(def.Name);
  state->Kind = def.Kind;
  state->Parent = std::string(def.Parent);
  state->Text = std::u16string(def.Text);
  state->Color = def.Color;
  state->Visible = def.Visible;
  for (std::u16string_view item : def.Items) {
    state->Items.emplace_back(item);
  }
  if (def.Kind == TControlKind::ComboBox) {
    state->ItemIndex = def.Selected;
    if (def.Selected >= 0 && static_cast<size_t>(def.Selected) < state->Items.size()) {
      state->Text = state->Items[static_cast<size_t>(def.Selected)];
    }
  }
  TRecordedState& result = *state;
  states_[state->Name] = std::move(state);
  return result;
}

std::string TRecordedToolkit::NameOf(const TPeer& peer) const {
  return names_.at(&peer);
}

std::unique_ptr<TFormPeer> TRecordedToolkit::MakeForm(const TFormDef& def) {
  auto peer = std::make_unique<TFormRecord>();
  names_[peer.get()] = std::string(def.Name);
  return peer;
}

std::unique_ptr<TPageControlPeer> TRecordedToolkit::MakePageControl(const TControlDef& def,
                                                                    TPeer& /*parent*/) {
  return Make<TPageControlRecord>(*this, Add(def), names_);
}

std::unique_ptr<TTabSheetPeer> TRecordedToolkit::MakeTabSheet(const TControlDef& def,
                                                              TPeer& /*parent*/) {
  return Make<TTabSheetRecord>(*this, Add(def), names_);
}

std::unique_ptr<TLabelPeer> TRecordedToolkit::MakeLabel(const TControlDef& def, TPeer& /*parent*/) {
  return Make<TLabelRecord>(*this, Add(def), names_);
}

std::unique_ptr<TEditPeer> TRecordedToolkit::MakeEdit(const TControlDef& def, TPeer& /*parent*/) {
  return Make<TEditRecord>(*this, Add(def), names_);
}

std::unique_ptr<TPanelPeer> TRecordedToolkit::MakePanel(const TControlDef& def, TPeer& /*parent*/) {
  Add(def);
  auto peer = std::make_unique<TPanelRecord>();
  names_[peer.get()] = std::string(def.Name);
  return peer;
}

std::unique_ptr<TImagePeer> TRecordedToolkit::MakeImage(const TControlDef& def, TPeer& /*parent*/) {
  return Make<TImageRecord>(*this, Add(def), names_);
}

std::unique_ptr<TCheckBoxPeer> TRecordedToolkit::MakeCheckBox(const TControlDef& def,
                                                              TPeer& /*parent*/) {
  return Make<TCheckBoxRecord>(*this, Add(def), names_);
}

std::unique_ptr<TComboBoxPeer> TRecordedToolkit::MakeComboBox(const TControlDef& def,
                                                              TPeer& /*parent*/) {
  return Make<TComboBoxRecord>(*this, Add(def), names_);
}

std::unique_ptr<TGroupBoxPeer> TRecordedToolkit::MakeGroupBox(const TControlDef& def,
                                                              TPeer& /*parent*/) {
  Add(def);
  auto peer = std::make_unique<TGroupBoxRecord>();
  names_[peer.get()] = std::string(def.Name);
  return peer;
}

// ---- TRecordedApplication ----

int TRecordedApplication::ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                                         int flags) {
  TRecordedMessage message{text, caption, flags, {}};
  if (Form != nullptr && Form->ActiveControl() != nullptr) {
    message.FocusedControl = Form->ActiveControl()->Name();
  }
  Messages.push_back(message);
  if (WhileOpen) {
    WhileOpen(message);
  }
  return OkButton;
}

void TRecordedApplication::ShowException(const std::u16string& text) {
  Exceptions.push_back(text);
}

// ---- TUserDriver ----

TWinControl* TUserDriver::FocusedControl() const {
  return dynamic_cast<TWinControl*>(form_.FindControl(window_.Focused));
}

void TUserDriver::Show() {
  form_.UserShown();
}

bool TUserDriver::Focus(TWinControl& control) {
  if (!CanTakeFocus(form_.Definition(), control.Name()) || !IsOnShownPage(control)) {
    return false;
  }
  window_.Focus(control.Name());
  control.UserFocused();
  return true;
}

void TUserDriver::Type(TEdit& box, const std::u16string& text) {
  TRecordedState& state = window_.State(box.Name());
  state.Text = text;
  state.AllSelected = false;
}

void TUserDriver::Type(TComboBox& box, const std::u16string& text) {
  TRecordedState& state = window_.State(box.Name());
  state.SelectedFrom = 0;  // typing over the whole text
  for (char16_t character : text) {
    if (state.SelectedFrom >= 0) {
      state.Text.resize(static_cast<size_t>(state.SelectedFrom));
      state.SelectedFrom = -1;
    }
    state.Text.push_back(character);
    state.ItemIndex = box.ItemIndex();
    box.UserTyped();
  }
}

void TUserDriver::PressBackspace() {
  TWinControl* control = FocusedControl();
  if (control == nullptr) {
    return;
  }
  TRecordedState& state = window_.State(control->Name());
  if (control->UserKeyDown(8) == 0) {
    return;
  }
  if (state.AllSelected) {
    state.Text.clear();
  } else if (state.SelectedFrom >= 0) {
    state.Text.resize(static_cast<size_t>(state.SelectedFrom));
  } else if (!state.Text.empty()) {
    state.Text.pop_back();
  }
  state.AllSelected = false;
  state.SelectedFrom = -1;
  if (auto* combo = dynamic_cast<TComboBox*>(control)) {
    state.ItemIndex = combo->ItemIndex();
    combo->UserChanged();
  }
}

void TUserDriver::PressCtrlTab(bool backwards) {
  if (TTabSheet* page = form_.NextPage(backwards)) {
    page->PageControl().UserSelectedPage(*page);
  }
}

void TUserDriver::PressEnter() {
  TWinControl* control = FocusedControl();
  if (control == nullptr) {
    return;
  }
  control->UserKeyDown(vkReturn);
  if (auto* box = dynamic_cast<TEdit*>(control)) {
    TypeCharacter(*box, u'\r');
  }
}

void TUserDriver::PressTab() {
  StepTabOrder(false);
}

void TUserDriver::PressShiftTab() {
  StepTabOrder(true);
}

void TUserDriver::StepTabOrder(bool backwards) {
  TWinControl* control = form_.NextInTabOrder(FocusedControl(), backwards);
  if (control == nullptr) {
    return;
  }
  window_.Focus(control->Name());
  if (dynamic_cast<TEdit*>(control) != nullptr) {
    window_.State(control->Name()).AllSelected = true;
  }
  control->UserFocused();
}

void TUserDriver::PressSpace() {
  TWinControl* control = FocusedControl();
  if (control == nullptr) {
    return;
  }
  control->UserKeyDown(vkSpace);
  if (auto* box = dynamic_cast<TCheckBox*>(control); box != nullptr && box->MayToggle()) {
    TRecordedState& state = window_.State(box->Name());
    state.Checked = !state.Checked;
    box->UserToggled();
  } else if (auto* edit = dynamic_cast<TEdit*>(control)) {
    TypeCharacter(*edit, u' ');
  }
}

void TUserDriver::Click(TCheckBox& box) {
  if (!Focus(box) || !box.MayToggle()) {
    return;
  }
  TRecordedState& state = window_.State(box.Name());
  state.Checked = !state.Checked;
  box.UserToggled();
}

void TUserDriver::DoubleClick(TCheckBox& box) {
  Click(box);
  Click(box);
}

void TUserDriver::SwitchPage(TTabSheet& page) {
  page.PageControl().UserSelectedPage(page);
}

void TUserDriver::PickItem(TComboBox& box, int itemIndex) {
  if (!Focus(box)) {
    return;
  }
  TRecordedState& state = window_.State(box.Name());
  bool valid = itemIndex >= 0 && static_cast<size_t>(itemIndex) < state.Items.size();
  state.ItemIndex = valid ? itemIndex : -1;
  state.Text = valid ? state.Items[static_cast<size_t>(itemIndex)] : u"?";
  box.UserChanged();
}

bool TUserDriver::Close() {
  return form_.UserClosed();
}

void TUserDriver::TypeCharacter(TEdit& box, char16_t character) {
  char16_t passed = box.UserKeyPress(character);
  if (passed == 0 || passed == u'\r') {
    return;  // swallowed, or a single-line box ignores a line break
  }
  TRecordedState& state = window_.State(box.Name());
  if (state.AllSelected) {
    state.Text.clear();
    state.AllSelected = false;
  }
  state.Text.push_back(passed);
}
