// SPDX-License-Identifier: MIT
#include "ui/web/WebToolkit.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "ui/LabelFit.h"
#include "ui/web/Dom.h"

namespace {

TWebToolkit* gCurrent = nullptr;

// Windows system colour indices used by the window definition, and the RGB
// values the desktop window shows for them.
constexpr int kColorWindow = 5;
constexpr int kColorWindowText = 8;
constexpr int kColorBtnFace = 15;
constexpr int kColorInfoBk = 24;
// No background of its own: the page draws none.
constexpr uint32_t kTransparent = 0xFFFFFFFFu;

uint32_t Rgb(uint8_t red, uint8_t green, uint8_t blue) {
  return uint32_t{red} << 16 | uint32_t{green} << 8 | blue;
}

uint32_t RgbOf(TColor color) {
  if (color.IsNone()) {
    return kTransparent;
  }
  if (!color.IsSystem()) {
    return Rgb(color.Red(), color.Green(), color.Blue());
  }
  switch (color.SystemIndex()) {
    case kColorWindow:
      return Rgb(255, 255, 255);
    case kColorWindowText:
      return Rgb(0, 0, 0);
    case kColorBtnFace:
      return Rgb(240, 240, 240);
    case kColorInfoBk:
      return Rgb(255, 255, 225);
    default:
      return kTransparent;
  }
}

int Length(std::u16string_view text) {
  return static_cast<int>(text.size());
}

std::string NameOf(const TControlDef& def) {
  return std::string(def.Name);
}

std::u16string ReadText(int element) {
  std::u16string text(static_cast<size_t>(kw_text_length(element)), u'\0');
  if (!text.empty()) {
    kw_read_text(element, text.data());
  }
  return text;
}

// ---- Peers: one element access per method ----

// What every peer of this toolkit is: the handle of its element.
class TWebPeer {
 public:
  TWebPeer(TWebToolkit& window, int element) : window_(window), element_(element) {}
  virtual ~TWebPeer() = default;
  int Element() const { return element_; }

  // What assistive technology is told, as the logic says.
  void NameIt(const std::u16string& name) const {
    kw_set_name(element_, name.data(), Length(name));
  }
  void DescribeIt(const std::u16string& description) const {
    kw_set_description(element_, description.data(), Length(description));
  }

 protected:
  void BindTo(TControl& control) { window_.Bind(element_, &control); }

 private:
  TWebToolkit& window_;
  int element_;
};

int ElementOfPeer(TPeer& peer) {
  auto* web = dynamic_cast<TWebPeer*>(&peer);
  if (web == nullptr) {
    throw std::logic_error("a control was placed on a control of another toolkit");
  }
  return web->Element();
}

class TFormPeerWeb : public TFormPeer, public TWebPeer {
 public:
  using TWebPeer::TWebPeer;
  void Attach(TControl& control) override { BindTo(control); }
};

class TPanelPeerWeb : public TPanelPeer, public TWebPeer {
 public:
  using TWebPeer::TWebPeer;
  void Attach(TControl& control) override { BindTo(control); }
};

class TGroupBoxPeerWeb : public TGroupBoxPeer, public TWebPeer {
 public:
  using TWebPeer::TWebPeer;
  void Attach(TControl& control) override { BindTo(control); }
};

// A label is as wide as its text; one that would run into the control
// beside it has its characters set closer (ui/LabelFit.h), measured in the
// font the page draws it with.
class TLabelPeerWeb : public TLabelPeer, public TWebPeer, public TFittedLabel {
 public:
  TLabelPeerWeb(TWebToolkit& window, int element, const TControlDef& def)
      : TWebPeer(window, element), window_(window), def_(def) {}
  void Attach(TControl& control) override { BindTo(control); }
  void SetCaption(const std::u16string& caption) override {
    kw_set_text(Element(), caption.data(), Length(caption));
    if (window_.Form() != nullptr) {
      Fit();
    }
  }
  void Fit() override {
    const std::optional<int> end = LabelRoomEnd(window_.Form()->Definition(), def_.Name);
    const int room = end ? *end - def_.Left - kLabelGap : kw_parent_width(Element()) - def_.Left;
    kw_set_squeeze(Element(), LabelSqueeze(kw_text_width(Element()), room));
  }

 private:
  TWebToolkit& window_;
  TControlDef def_;
};

class TTabSheetPeerWeb : public TTabSheetPeer, public TWebPeer {
 public:
  using TWebPeer::TWebPeer;
  void Attach(TControl& control) override { BindTo(control); }
  void SetCaption(const std::u16string& caption) override {
    kw_set_text(Element(), caption.data(), Length(caption));
  }
};

class TEditPeerWeb : public TEditPeer, public TWebPeer {
 public:
  using TWebPeer::TWebPeer;
  void Attach(TControl& control) override { BindTo(control); }
  void SetAccessibleName(const std::u16string& name) override { NameIt(name); }
  void SetAccessibleDescription(const std::u16string& text) override { DescribeIt(text); }
  void SetText(const std::u16string& text) override {
    kw_set_text(Element(), text.data(), Length(text));
  }
  std::u16string GetText() const override { return ReadText(Element()); }
  void SetColor(TColor color) override { kw_set_color(Element(), RgbOf(color)); }
  void TakeFocus() override { kw_focus(Element()); }
  void SelectAll() override { kw_select_all(Element()); }
};

class TCheckBoxPeerWeb : public TCheckBoxPeer, public TWebPeer {
 public:
  using TWebPeer::TWebPeer;
  void Attach(TControl& control) override { BindTo(control); }
  void SetAccessibleName(const std::u16string& name) override { NameIt(name); }
  void SetAccessibleDescription(const std::u16string& text) override { DescribeIt(text); }
  void SetCaption(const std::u16string& caption) override {
    kw_set_text(Element(), caption.data(), Length(caption));
  }
  void SetChecked(bool checked) override { kw_set_checked(Element(), checked); }
  bool GetChecked() const override { return kw_checked(Element()); }
  void TakeFocus() override { kw_focus(Element()); }
};

class TComboBoxPeerWeb : public TComboBoxPeer, public TWebPeer {
 public:
  using TWebPeer::TWebPeer;
  void Attach(TControl& control) override { BindTo(control); }
  void SetAccessibleName(const std::u16string& name) override { NameIt(name); }
  void SetAccessibleDescription(const std::u16string& text) override { DescribeIt(text); }
  void SetItemIndex(int index) override { kw_set_item(Element(), index); }
  void ShowCompletion(int index, int typedLength) override {
    kw_show_completion(Element(), index, typedLength);
  }
  std::u16string GetText() const override { return ReadText(Element()); }
  void TakeFocus() override { kw_focus(Element()); }
};

class TPageControlPeerWeb : public TPageControlPeer, public TWebPeer {
 public:
  using TWebPeer::TWebPeer;
  void Attach(TControl& control) override { BindTo(control); }
  void SetActivePage(int pageIndex) override { kw_set_page(Element(), pageIndex); }
  void TakeFocus() override { kw_focus(Element()); }
};

class TImagePeerWeb : public TImagePeer, public TWebPeer {
 public:
  using TWebPeer::TWebPeer;
  void Attach(TControl& control) override { BindTo(control); }
  void SetAccessibleName(const std::u16string& name) override { NameIt(name); }
  void SetAccessibleDescription(const std::u16string& text) override { DescribeIt(text); }
  void SetVisible(bool visible) override { kw_set_visible(Element(), visible); }
  void SetParent(TPeer& parent) override { kw_set_parent(Element(), ElementOfPeer(parent)); }
};

bool IsBox(const TControl& control) {
  return dynamic_cast<const TEdit*>(&control) != nullptr ||
         dynamic_cast<const TComboBox*>(&control) != nullptr;
}

}  // namespace

TWebToolkit::TWebToolkit() {
  gCurrent = this;
}

TWebToolkit::~TWebToolkit() {
  if (gCurrent == this) {
    gCurrent = nullptr;
  }
}

TWebToolkit* TWebToolkit::Current() {
  return gCurrent;
}

void TWebToolkit::Bind(int element, TControl* control) {
  if (element <= 0) {
    return;
  }
  if (static_cast<size_t>(element) >= controls_.size()) {
    controls_.resize(static_cast<size_t>(element) + 1, nullptr);
  }
  controls_[static_cast<size_t>(element)] = control;
}

TControl* TWebToolkit::ControlOf(int element) const {
  return element > 0 && static_cast<size_t>(element) < controls_.size()
             ? controls_[static_cast<size_t>(element)]
             : nullptr;
}

int TWebToolkit::ElementOf(const TControl& control) const {
  const auto found = std::find(controls_.begin(), controls_.end(), &control);
  return found == controls_.end() ? 0 : static_cast<int>(found - controls_.begin());
}

void TWebToolkit::RestoreFocus(const TForm& form) {
  if (const TWinControl* focused = form.ActiveControl()) {
    if (const int element = ElementOf(*focused)) {
      kw_focus(element);
    }
  }
}

void TWebToolkit::StepTabOrder(TForm& form, bool backwards) {
  TWinControl* next = form.NextInTabOrder(form.ActiveControl(), backwards);
  if (next == nullptr) {
    return;
  }
  next->UserFocused();
  // As the desktop's dialogs do, a box reached with Tab shows its text
  // selected, unless the move ended elsewhere.
  if (form.ActiveControl() == next && IsBox(*next)) {
    kw_select_all(ElementOf(*next));
  }
}

void TWebToolkit::StepPage(TForm& form, bool backwards) {
  if (TTabSheet* page = form.NextPage(backwards)) {
    page->PageControl().UserSelectedPage(*page);
  }
}

void TWebToolkit::FormBuilt(const TForm& form) {
  built_ = &form;
  for (TFittedLabel* label : std::exchange(unfitted_, {})) {
    label->Fit();
  }
}

std::unique_ptr<TFormPeer> TWebToolkit::MakeForm(const TFormDef& def) {
  const std::string name(def.Name);
  form_ = kw_make_form(name.c_str(), def.ClientWidth, def.ClientHeight, def.Caption.data(),
                       Length(def.Caption), RgbOf(def.Color));
  return std::make_unique<TFormPeerWeb>(*this, form_);
}

std::unique_ptr<TPageControlPeer> TWebToolkit::MakePageControl(const TControlDef& def,
                                                               TPeer& parent) {
  const int element = kw_make_page_control(ElementOfPeer(parent), NameOf(def).c_str(), def.Left,
                                           def.Top, def.Width, def.Height);
  return std::make_unique<TPageControlPeerWeb>(*this, element);
}

std::unique_ptr<TTabSheetPeer> TWebToolkit::MakeTabSheet(const TControlDef& def, TPeer& parent) {
  const int element =
      kw_make_tab_sheet(ElementOfPeer(parent), NameOf(def).c_str(), RgbOf(def.Color));
  return std::make_unique<TTabSheetPeerWeb>(*this, element);
}

std::unique_ptr<TLabelPeer> TWebToolkit::MakeLabel(const TControlDef& def, TPeer& parent) {
  const int element = kw_make_label(ElementOfPeer(parent), NameOf(def).c_str(), def.Left, def.Top,
                                    def.Width, def.Height);
  auto peer = std::make_unique<TLabelPeerWeb>(*this, element, def);
  if (!def.Text.empty()) {
    peer->SetCaption(std::u16string(def.Text));
  }
  if (built_ == nullptr) {
    unfitted_.push_back(peer.get());
  }
  return peer;
}

std::unique_ptr<TEditPeer> TWebToolkit::MakeEdit(const TControlDef& def, TPeer& parent) {
  const int element = kw_make_edit(ElementOfPeer(parent), NameOf(def).c_str(), def.Left, def.Top,
                                   def.Width, def.Height, (def.Events & evKeyDown) != 0);
  auto peer = std::make_unique<TEditPeerWeb>(*this, element);
  if (!def.Text.empty()) {
    peer->SetText(std::u16string(def.Text));
  }
  peer->SetColor(def.Color.IsNone() ? clWindow : def.Color);
  return peer;
}

std::unique_ptr<TPanelPeer> TWebToolkit::MakePanel(const TControlDef& def, TPeer& parent) {
  const bool lowered = def.BevelInner == TBevelCut::Lowered ||
                       (def.BevelInner == TBevelCut::None && def.BevelOuter == TBevelCut::Lowered);
  const int element = kw_make_panel(ElementOfPeer(parent), NameOf(def).c_str(), def.Left, def.Top,
                                    def.Width, def.Height, RgbOf(def.Color), def.Enabled, lowered);
  return std::make_unique<TPanelPeerWeb>(*this, element);
}

std::unique_ptr<TImagePeer> TWebToolkit::MakeImage(const TControlDef& def, TPeer& parent) {
  const int element = kw_make_image(ElementOfPeer(parent), NameOf(def).c_str(), def.Left, def.Top,
                                    def.Width, def.Height, def.Visible);
  return std::make_unique<TImagePeerWeb>(*this, element);
}

std::unique_ptr<TCheckBoxPeer> TWebToolkit::MakeCheckBox(const TControlDef& def, TPeer& parent) {
  const int element = kw_make_check_box(ElementOfPeer(parent), NameOf(def).c_str(), def.Left,
                                        def.Top, def.Width, def.Height);
  auto peer = std::make_unique<TCheckBoxPeerWeb>(*this, element);
  if (!def.Text.empty()) {
    peer->SetCaption(std::u16string(def.Text));
  }
  return peer;
}

std::unique_ptr<TComboBoxPeer> TWebToolkit::MakeComboBox(const TControlDef& def, TPeer& parent) {
  std::u16string items;
  for (std::u16string_view item : def.Items) {
    items += items.empty() ? u"" : u"\n";
    items += item;
  }
  const int element =
      kw_make_combo_box(ElementOfPeer(parent), NameOf(def).c_str(), def.Left, def.Top, def.Width,
                        def.Height, items.data(), Length(items));
  auto peer = std::make_unique<TComboBoxPeerWeb>(*this, element);
  peer->SetItemIndex(def.Selected);
  return peer;
}

std::unique_ptr<TGroupBoxPeer> TWebToolkit::MakeGroupBox(const TControlDef& def, TPeer& parent) {
  const int element =
      kw_make_group_box(ElementOfPeer(parent), NameOf(def).c_str(), def.Left, def.Top, def.Width,
                        def.Height, def.Text.data(), Length(def.Text));
  return std::make_unique<TGroupBoxPeerWeb>(*this, element);
}
