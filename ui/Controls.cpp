// SPDX-License-Identifier: MIT
#include "ui/Controls.h"

#include <algorithm>
#include <stdexcept>

#include "app/EntryPoint.h"
#include "app/Exception.h"
#include "app/TextCodec.h"
#include "ui/AccessibleTexts.h"
#include "ui/PeerFactory.h"

namespace {

// One letter's case-free form, for matching typed text against the items:
// the letters of Latin-1 (the window's texts need no more).
char16_t FoldCase(char16_t ch) {
  const bool upperAscii = ch >= u'A' && ch <= u'Z';
  const bool upperLatin1 = ch >= u'\u00C0' && ch <= u'\u00DE' && ch != u'\u00D7';
  return upperAscii || upperLatin1 ? static_cast<char16_t>(ch + 0x20) : ch;
}

const TTabSheet* SheetOf(const TControl& control) {
  for (const TControl* c = &control; c != nullptr; c = c->Parent()) {
    if (const auto* sheet = dynamic_cast<const TTabSheet*>(c)) {
      return sheet;
    }
  }
  return nullptr;
}

}  // namespace

bool IsOnShownPage(const TControl& control) {
  const TTabSheet* sheet = SheetOf(control);
  return sheet == nullptr || sheet->PageControl().ActivePage() == sheet;
}

// ---- TControl and its kinds ----

TControl::TControl(TForm& owner, TControl* parent, std::string name, int tag)
    : owner_(owner), parent_(parent), name_(std::move(name)), tag_(tag) {}

void TWinControl::SetFocus() {
  Owner().FocusControl(*this);
}

bool TWinControl::Focused() const {
  return Owner().ActiveControl() == this;
}

void TWinControl::UserFocused() {
  if (Focused()) {
    return;  // the toolkit echoing the program's own set-focus
  }
  Owner().Guard([this] { Owner().MoveFocus(*this); });
}

uint16_t TWinControl::UserKeyDown(uint16_t key, TShiftState shift) {
  Owner().Guard([&] {
    if (OnKeyDown) {
      OnKeyDown(this, key, shift);
    }
  });
  keyConsumed_ = key == 0;
  return key;
}

TLabel::TLabel(TForm& owner, TControl* parent, std::string name, std::unique_ptr<TLabelPeer> peer)
    : TControl(owner, parent, std::move(name), 0), peer_(std::move(peer)) {
  peer_->Attach(*this);
}

void TLabel::SetCaption(const std::u16string& caption) {
  peer_->SetCaption(caption);
  Owner().CaptionChanged(*this, caption);
}

TEdit::TEdit(TForm& owner, TControl* parent, std::string name, int tag,
             std::unique_ptr<TEditPeer> peer)
    : TWinControl(owner, parent, std::move(name), tag), peer_(std::move(peer)) {
  peer_->Attach(*this);
}

char16_t TEdit::UserKeyPress(char16_t key) {
  if (TakeConsumedKey()) {
    return 0;
  }
  Owner().Guard([&] {
    if (OnKeyPress) {
      OnKeyPress(this, key);
    }
  });
  return key;
}

TCheckBox::TCheckBox(TForm& owner, TControl* parent, std::string name, int tag,
                     std::unique_ptr<TCheckBoxPeer> peer)
    : TWinControl(owner, parent, std::move(name), tag), peer_(std::move(peer)) {
  peer_->Attach(*this);
}

void TCheckBox::SetCaption(const std::u16string& caption) {
  peer_->SetCaption(caption);
  Owner().CaptionChanged(*this, caption);
}

void TCheckBox::SetChecked(bool checked) {
  if (peer_->GetChecked() == checked) {
    return;
  }
  peer_->SetChecked(checked);
  if (OnClick) {
    OnClick(this);
  }
}

void TCheckBox::UserToggled() {
  Owner().Guard([this] {
    if (OnClick) {
      OnClick(this);
    }
  });
}

TComboBox::TComboBox(TForm& owner, TControl* parent, std::string name, int tag,
                     std::span<const std::u16string_view> items,
                     std::unique_ptr<TComboBoxPeer> peer)
    : TWinControl(owner, parent, std::move(name), tag), items_(items), peer_(std::move(peer)) {
  peer_->Attach(*this);
}

int TComboBox::ItemIndex() const {
  const std::u16string shown = peer_->GetText();
  const auto found = std::find(items_.begin(), items_.end(), shown);
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

int TComboBox::CompletionOf(std::u16string_view typed) const {
  if (typed.empty()) {
    return -1;
  }
  const auto starts = [typed](std::u16string_view item) {
    return item.size() >= typed.size() &&
           std::equal(typed.begin(), typed.end(), item.begin(),
                      [](char16_t a, char16_t b) { return FoldCase(a) == FoldCase(b); });
  };
  const auto found = std::find_if(items_.begin(), items_.end(), starts);
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void TComboBox::UserChanged() {
  Owner().Guard([this] {
    if (OnChange) {
      OnChange(this);
    }
  });
}

void TComboBox::UserTyped() {
  Owner().Guard([this] {
    const std::u16string typed = peer_->GetText();
    if (const int item = CompletionOf(typed); item >= 0) {
      peer_->ShowCompletion(item, static_cast<int>(typed.size()));
    }
    if (OnChange) {
      OnChange(this);
    }
  });
}

TPageControl::TPageControl(TForm& owner, TControl* parent, std::string name, int tag,
                           std::unique_ptr<TPageControlPeer> peer)
    : TWinControl(owner, parent, std::move(name), tag), peer_(std::move(peer)) {
  peer_->Attach(*this);
}

void TPageControl::SetActivePage(TTabSheet& page) {
  if (&page.PageControl() != this) {
    throw std::logic_error("tab sheet " + page.Name() + " is not a page of " + Name());
  }
  active_ = &page;
  peer_->SetActivePage(page.PageIndex());
}

void TPageControl::UserSelectedPage(TTabSheet& page) {
  Owner().Guard([&] {
    // The focused box's exit must see the page it belongs to.
    Owner().MoveFocus(*this);
    if (&page == active_) {
      return;  // a click on the shown tab only takes the focus
    }
    SetActivePage(page);
    if (OnChange) {
      OnChange(this);
    }
    Owner().KeepFocusOnShownPage(*this);
  });
}

TTabSheet::TTabSheet(TForm& owner, TPageControl& pageControl, std::string name,
                     std::unique_ptr<TTabSheetPeer> peer)
    : TControl(owner, &pageControl, std::move(name), 0),
      pageControl_(pageControl),
      pageIndex_(pageControl.PageCount()),
      peer_(std::move(peer)) {
  pageControl.pages_.push_back(this);
  peer_->Attach(*this);
}

TImage::TImage(TForm& owner, TControl* parent, std::string name, bool visible,
               std::unique_ptr<TImagePeer> peer)
    : TControl(owner, parent, std::move(name), 0), visible_(visible), peer_(std::move(peer)) {
  peer_->Attach(*this);
}

void TImage::SetVisible(bool visible) {
  visible_ = visible;
  peer_->SetVisible(visible);
}

void TImage::SetParent(TControl& parent) {
  ChangeParent(parent);
  peer_->SetParent(parent.Peer());
}

TPanel::TPanel(TForm& owner, TControl* parent, std::string name, std::unique_ptr<TPanelPeer> peer)
    : TControl(owner, parent, std::move(name), 0), peer_(std::move(peer)) {
  peer_->Attach(*this);
}

TGroupBox::TGroupBox(TForm& owner, TControl* parent, std::string name,
                     std::unique_ptr<TGroupBoxPeer> peer)
    : TControl(owner, parent, std::move(name), 0), peer_(std::move(peer)) {
  peer_->Attach(*this);
}

// ---- TForm ----

TForm::TForm(TApplicationServices& application, TPeerFactory& factory, const TFormDef& form,
             std::span<const TControlDef> controls)
    : TControl(*this, nullptr, std::string(form.Name), 0),
      application_(application),
      peer_(factory.MakeForm(form)),
      definition_(controls) {
  Build(factory, controls);
  NameForScreenReaders();
  peer_->Attach(*this);
}

TForm::~TForm() = default;

void TForm::Build(TPeerFactory& factory, std::span<const TControlDef> controls) {
  for (const TControlDef& def : controls) {
    TControl* parent = def.Parent == Name() ? this : FindControl(def.Parent);
    if (parent == nullptr) {
      ThrowNoControl(def.Parent);
    }
    std::string name(def.Name);
    std::unique_ptr<TControl> control;
    switch (def.Kind) {
      case TControlKind::PageControl:
        control = std::make_unique<TPageControl>(*this, parent, name, def.Tag,
                                                 factory.MakePageControl(def, parent->Peer()));
        break;
      case TControlKind::TabSheet: {
        auto* pageControl = dynamic_cast<TPageControl*>(parent);
        if (pageControl == nullptr) {
          throw std::logic_error("tab sheet " + name + " outside a page control");
        }
        control = std::make_unique<TTabSheet>(*this, *pageControl, name,
                                              factory.MakeTabSheet(def, parent->Peer()));
        break;
      }
      case TControlKind::Label:
        control =
            std::make_unique<TLabel>(*this, parent, name, factory.MakeLabel(def, parent->Peer()));
        break;
      case TControlKind::Edit:
        control = std::make_unique<TEdit>(*this, parent, name, def.Tag,
                                          factory.MakeEdit(def, parent->Peer()));
        break;
      case TControlKind::Panel:
        control =
            std::make_unique<TPanel>(*this, parent, name, factory.MakePanel(def, parent->Peer()));
        break;
      case TControlKind::Image:
        control = std::make_unique<TImage>(*this, parent, name, def.Visible,
                                           factory.MakeImage(def, parent->Peer()));
        break;
      case TControlKind::CheckBox:
        control = std::make_unique<TCheckBox>(*this, parent, name, def.Tag,
                                              factory.MakeCheckBox(def, parent->Peer()));
        break;
      case TControlKind::ComboBox:
        control = std::make_unique<TComboBox>(*this, parent, name, def.Tag, def.Items,
                                              factory.MakeComboBox(def, parent->Peer()));
        break;
      case TControlKind::GroupBox:
        control = std::make_unique<TGroupBox>(*this, parent, name,
                                              factory.MakeGroupBox(def, parent->Peer()));
        break;
    }
    controls_.push_back(std::move(control));
  }
  // The stored active pages, set once every page exists.
  for (const TControlDef& def : controls) {
    if (def.Kind == TControlKind::PageControl && def.Selected >= 0) {
      auto& pageControl = Control<TPageControl>(def.Name);
      if (def.Selected < pageControl.PageCount()) {
        pageControl.SetActivePage(pageControl.Page(def.Selected));
      }
    }
  }
}

void TForm::NameForScreenReaders() {
  for (const auto& control : controls_) {
    const TAccessibleNaming naming = AccessibleNamingOf(definition_, control->Name());
    if (!naming.Fixed.empty()) {
      control->SetAccessibleName(std::u16string(naming.Fixed));
    }
    if (naming.CaptionOf.empty()) {
      continue;
    }
    // A caption of the definition's own holds from the start; one the
    // window writes arrives through CaptionChanged.
    if (const TControlDef* source = FindControlDef(definition_, naming.CaptionOf);
        source != nullptr && !source->Text.empty()) {
      control->SetAccessibleName(std::u16string(source->Text));
    }
    if (const TControl* source = FindControl(naming.CaptionOf)) {
      namedBy_.emplace_back(source, control.get());
    }
  }
}

void TForm::CaptionChanged(const TControl& source, const std::u16string& caption) {
  for (const auto& [captioned, named] : namedBy_) {
    if (captioned == &source) {
      named->SetAccessibleName(caption);
    }
  }
}

TControl* TForm::FindControl(std::string_view name) const {
  for (const auto& control : controls_) {
    if (control->Name() == name) {
      return control.get();
    }
  }
  return nullptr;
}

TPageControl* TForm::PageControl() const {
  for (const auto& control : controls_) {
    if (auto* pageControl = dynamic_cast<TPageControl*>(control.get())) {
      return pageControl;
    }
  }
  return nullptr;
}

TWinControl* TForm::NextInTabOrder(const TWinControl* current, bool backwards) const {
  const TPageControl* pageControl = PageControl();
  if (pageControl == nullptr || pageControl->ActivePage() == nullptr) {
    return nullptr;
  }
  std::vector<TWinControl*> cycle;
  for (std::string_view name : TabCycle(definition_, pageControl->ActivePage()->Name())) {
    if (auto* control = dynamic_cast<TWinControl*>(FindControl(name))) {
      cycle.push_back(control);
    }
  }
  if (cycle.empty()) {
    return nullptr;
  }
  const auto at = std::find(cycle.begin(), cycle.end(), current);
  if (at == cycle.end()) {
    return backwards ? cycle.back() : cycle.front();
  }
  const auto count = static_cast<std::ptrdiff_t>(cycle.size());
  const std::ptrdiff_t step = backwards ? count - 1 : 1;
  return cycle[static_cast<size_t>((at - cycle.begin() + step) % count)];
}

TTabSheet* TForm::NextPage(bool backwards) const {
  const TPageControl* pageControl = PageControl();
  if (pageControl == nullptr || pageControl->ActivePage() == nullptr) {
    return nullptr;
  }
  const int count = pageControl->PageCount();
  const int step = backwards ? count - 1 : 1;
  return &pageControl->Page((pageControl->ActivePage()->PageIndex() + step) % count);
}

void TForm::ThrowNoControl(std::string_view name) {
  throw std::logic_error("the window has no control " + std::string(name) + " of that kind");
}

void TForm::FocusControl(TWinControl& control) {
  MoveFocus(control);
}

void TForm::MoveFocus(TWinControl& control) {
  TWinControl* previous = focused_;
  // Recorded first, so that a set-focus nested inside the exit below sees the
  // new control as the one losing the focus, and its own target wins.
  focused_ = &control;
  if (previous != nullptr && previous != &control && previous->OnExit) {
    previous->OnExit(previous);
  }
  if (focused_ == &control) {
    control.TakeWidgetFocus();
  }
}

void TForm::KeepFocusOnShownPage(TPageControl& pageControl) {
  if (focused_ != nullptr && !IsOnShownPage(*focused_)) {
    focused_ = &pageControl;
    static_cast<TWinControl&>(pageControl).TakeWidgetFocus();
  }
}

void TForm::UserShown() {
  Guard([this] {
    if (OnShow) {
      OnShow(this);
    }
  });
}

bool TForm::UserClosed() {
  TCloseAction action = TCloseAction::caFree;
  bool closes = false;  // a handler that fails keeps the window open
  Guard([&] {
    if (OnClose) {
      OnClose(this, action);
    }
    closes = action != TCloseAction::caNone;
  });
  return closes;
}

void TForm::Guard(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    application_.ShowException(ExceptionDisplayText(e.Message()));
  } catch (const std::exception& e) {
    application_.ShowException(ExceptionDisplayText(Utf8ToUtf16(e.what()).value_or(u"")));
  } catch (...) {
    application_.ShowException(ExceptionDisplayText(std::u16string()));
  }
}
