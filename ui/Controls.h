// SPDX-License-Identifier: MIT
#pragma once
// The controls the window logic talks to, and the event rules that every
// toolkit shares; each control reaches its widget through a small peer
// interface that a toolkit adapter implements. The rules, and how each
// adapter meets them: docs/architecture.md, "Controls and their event rules".

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A colour as the window definition names it: a system colour (high byte
// 0xFF, low byte the system colour index) or an RGB value 0x00BBGGRR.
struct TColor {
  uint32_t Value = 0;

  static constexpr TColor Rgb(uint8_t red, uint8_t green, uint8_t blue) {
    return TColor{uint32_t{red} | uint32_t{green} << 8 | uint32_t{blue} << 16};
  }
  constexpr bool IsSystem() const { return (Value & 0xFF000000u) == 0xFF000000u; }
  constexpr bool IsNone() const { return Value == 0x1FFFFFFFu; }
  constexpr int SystemIndex() const { return static_cast<int>(Value & 0xFFu); }
  constexpr uint8_t Red() const { return static_cast<uint8_t>(Value & 0xFFu); }
  constexpr uint8_t Green() const { return static_cast<uint8_t>(Value >> 8 & 0xFFu); }
  constexpr uint8_t Blue() const { return static_cast<uint8_t>(Value >> 16 & 0xFFu); }
  friend constexpr bool operator==(TColor, TColor) = default;
};

inline constexpr TColor clBtnFace{0xFF00000Fu};     // dialog and tab sheet background
inline constexpr TColor clInfoBk{0xFF000018u};      // tooltip background: result panels
inline constexpr TColor clWindow{0xFF000005u};      // edit box background
inline constexpr TColor clWindowText{0xFF000008u};  // text colour
// No background of its own: the parent's shows through.
inline constexpr TColor clNone{0x1FFFFFFFu};

class TControl;
class TForm;
struct TFormDef;
struct TControlDef;
class TPeerFactory;

using TShiftState = uint8_t;
inline constexpr TShiftState ssShift = 0x01;
inline constexpr TShiftState ssAlt = 0x02;
inline constexpr TShiftState ssCtrl = 0x04;

inline constexpr uint16_t vkReturn = 13;
inline constexpr uint16_t vkSpace = 32;

enum class TCloseAction : uint8_t { caNone, caFree };

// Handlers get the control that fired the event; a null sender is a direct
// call from the logic.
using TNotifyEvent = std::function<void(TControl* sender)>;
using TKeyEvent = std::function<void(TControl* sender, uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TControl* sender, char16_t& key)>;
using TCloseEvent = std::function<void(TControl* sender, TCloseAction& action)>;

// What the window needs of the toolkit's application object.
class TApplicationServices {
 public:
  virtual ~TApplicationServices() = default;
  // Modal box with the text, the caption and the flags (0: one OK button, no
  // icon); returns the id of the button that dismissed it. The adapter
  // restores the window activation before returning.
  virtual int ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                             int flags) = 0;
  // The exception display: error icon, one OK button, the application title
  // as caption; the text already carries the final ".".
  virtual void ShowException(const std::u16string& text) = 0;
};

// ---- Peers: what an adapter implements, one widget access per method. ----

class TPeer {
 public:
  virtual ~TPeer() = default;
  // Called once, when the control that owns this peer is complete, so the
  // adapter knows whom to report user actions to.
  virtual void Attach(TControl& /*control*/) {}
  // What assistive technology (a screen reader) is told the control is, and
  // what more it says about it; the logic decides both. A widget that has no
  // accessible object of its own ignores them.
  virtual void SetAccessibleName(const std::u16string& /*name*/) {}
  virtual void SetAccessibleDescription(const std::u16string& /*description*/) {}
};

class TFormPeer : public TPeer {};
class TPanelPeer : public TPeer {};
class TGroupBoxPeer : public TPeer {};

class TLabelPeer : public TPeer {
 public:
  virtual void SetCaption(const std::u16string& caption) = 0;
};

class TTabSheetPeer : public TPeer {
 public:
  virtual void SetCaption(const std::u16string& caption) = 0;
};

class TEditPeer : public TPeer {
 public:
  virtual void SetText(const std::u16string& text) = 0;
  virtual std::u16string GetText() const = 0;
  virtual void SetColor(TColor color) = 0;
  virtual void TakeFocus() = 0;
  virtual void SelectAll() = 0;
};

class TCheckBoxPeer : public TPeer {
 public:
  virtual void SetCaption(const std::u16string& caption) = 0;
  virtual void SetChecked(bool checked) = 0;  // must not report a toggle back
  virtual bool GetChecked() const = 0;
  virtual void TakeFocus() = 0;
};

class TComboBoxPeer : public TPeer {
 public:
  // Shows the item of that index; an index outside the items shows an empty
  // text. Must not report a change back.
  virtual void SetItemIndex(int index) = 0;
  // Shows the item of that index as the completion of what the user typed:
  // its text behind the first typedLength characters is selected and the
  // caret stands before the selection, so the next typed character replaces
  // it. Must not report a change back.
  virtual void ShowCompletion(int index, int typedLength) = 0;
  // The text the box shows, typed or picked.
  virtual std::u16string GetText() const = 0;
  virtual void TakeFocus() = 0;
};

class TPageControlPeer : public TPeer {
 public:
  virtual void SetActivePage(int pageIndex) = 0;  // must not report a change back
  virtual void TakeFocus() = 0;
};

class TImagePeer : public TPeer {
 public:
  virtual void SetVisible(bool visible) = 0;
  // Moves the image onto another container at the same Left and Top.
  virtual void SetParent(TPeer& parent) = 0;
};

// ---- Controls ----

class TControl {
 public:
  TControl(TForm& owner, TControl* parent, std::string name, int tag);
  virtual ~TControl() = default;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  const std::string& Name() const { return name_; }
  TControl* Parent() const { return parent_; }
  TForm& Owner() const { return owner_; }
  int Tag() const { return tag_; }
  virtual TPeer& Peer() = 0;

  // What a screen reader is told (see TPeer).
  void SetAccessibleName(const std::u16string& name) { Peer().SetAccessibleName(name); }
  void SetAccessibleDescription(const std::u16string& description) {
    Peer().SetAccessibleDescription(description);
  }

 protected:
  void ChangeParent(TControl& parent) { parent_ = &parent; }

 private:
  TForm& owner_;
  TControl* parent_;
  std::string name_;
  int tag_;
};

// A control that can hold the keyboard focus.
class TWinControl : public TControl {
 public:
  using TControl::TControl;

  // The program's set-focus, under the form's focus rule.
  void SetFocus();
  bool Focused() const;

  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;

  // User actions, reported by the adapter.
  // The user moved the focus here (click, Tab); ignored when this control
  // already holds the logical focus.
  void UserFocused();
  // Returns the key as the handler left it (0: the handler consumed it, and
  // the widget must not process it; nor the character it brings, see
  // TEdit::UserKeyPress).
  uint16_t UserKeyDown(uint16_t key, TShiftState shift = 0);

 protected:
  friend class TForm;
  virtual void TakeWidgetFocus() = 0;
  // True once after a key-down whose handler consumed the key: its
  // character is the one that comes next.
  bool TakeConsumedKey() { return std::exchange(keyConsumed_, false); }

 private:
  bool keyConsumed_ = false;
};

class TLabel : public TControl {
 public:
  TLabel(TForm& owner, TControl* parent, std::string name, std::unique_ptr<TLabelPeer> peer);
  // Also renames the box the label names, for screen readers.
  void SetCaption(const std::u16string& caption);
  TPeer& Peer() override { return *peer_; }

 private:
  std::unique_ptr<TLabelPeer> peer_;
};

class TEdit : public TWinControl {
 public:
  TEdit(TForm& owner, TControl* parent, std::string name, int tag, std::unique_ptr<TEditPeer> peer);
  void SetText(const std::u16string& text) {
    ownText_ = text;
    peer_->SetText(text);
  }
  std::u16string Text() const { return peer_->GetText(); }
  // True when the box shows the text the program last gave it, not one the
  // user has typed since.
  bool ShowsOwnText() const { return peer_->GetText() == ownText_; }
  void SetColor(TColor color) { peer_->SetColor(color); }
  void SelectAll() { peer_->SelectAll(); }
  TPeer& Peer() override { return *peer_; }

  TKeyPressEvent OnKeyPress;

  // A character typed by the user; returns it as the handler left it (0: the
  // handler swallowed it and the box must not process it). The character of
  // a key whose key-down the handler consumed is swallowed without asking
  // the handler: a toolkit that reports the two apart (Windows' key-down and
  // character messages) then acts as one that reports them together (Qt).
  char16_t UserKeyPress(char16_t key);

 protected:
  void TakeWidgetFocus() override { peer_->TakeFocus(); }

 private:
  std::unique_ptr<TEditPeer> peer_;
  std::u16string ownText_;
};

class TCheckBox : public TWinControl {
 public:
  TCheckBox(TForm& owner, TControl* parent, std::string name, int tag,
            std::unique_ptr<TCheckBoxPeer> peer);
  // Also the box's name for screen readers.
  void SetCaption(const std::u16string& caption);
  bool Checked() const { return peer_->GetChecked(); }
  // A different state fires OnClick; the same state fires nothing.
  void SetChecked(bool checked);
  TPeer& Peer() override { return *peer_; }

  // True when a Space or a mouse click that reached the box may toggle it:
  // the box still holds the logical focus after the key-down or the focus
  // move that came first. The adapter swallows the toggle otherwise.
  bool MayToggle() const { return Focused(); }

  TNotifyEvent OnClick;

  // The widget has toggled its state (mouse click or Space).
  void UserToggled();

 protected:
  void TakeWidgetFocus() override { peer_->TakeFocus(); }

 private:
  std::unique_ptr<TCheckBoxPeer> peer_;
};

class TComboBox : public TWinControl {
 public:
  // The items live as long as the window definition they come from.
  TComboBox(TForm& owner, TControl* parent, std::string name, int tag,
            std::span<const std::u16string_view> items, std::unique_ptr<TComboBoxPeer> peer);
  // The item whose text the box shows exactly (case and all); -1 when the
  // text names no item.
  int ItemIndex() const;
  void SetItemIndex(int index) { peer_->SetItemIndex(index); }  // fires nothing
  std::span<const std::u16string_view> Items() const { return items_; }
  // The item that typed text completes to: the first, in the items' order,
  // that starts with the text, whatever the case of its letters; -1 for an
  // empty text or when none does.
  int CompletionOf(std::u16string_view typed) const;
  TPeer& Peer() override { return *peer_; }

  TNotifyEvent OnChange;

  // The user picked an item, or changed the text other than by typing
  // characters (deleting, cutting, pasting); the widget already shows it.
  void UserChanged();
  // The user typed characters into the text, which the widget already shows:
  // a text that completes to an item shows that item, its text behind the
  // typed characters selected (ShowCompletion), and the item is chosen.
  // Then OnChange, once, with the box showing what it will show.
  void UserTyped();

 protected:
  void TakeWidgetFocus() override { peer_->TakeFocus(); }

 private:
  std::span<const std::u16string_view> items_;
  std::unique_ptr<TComboBoxPeer> peer_;
};

class TTabSheet;

class TPageControl : public TWinControl {
 public:
  TPageControl(TForm& owner, TControl* parent, std::string name, int tag,
               std::unique_ptr<TPageControlPeer> peer);
  TTabSheet* ActivePage() const { return active_; }
  void SetActivePage(TTabSheet& page);  // fires nothing
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet& Page(int index) const { return *pages_.at(static_cast<size_t>(index)); }
  TPeer& Peer() override { return *peer_; }

  TNotifyEvent OnChange;

  // The user chose a page (tab click, Ctrl+Tab); choosing the page that is
  // shown only moves the focus to the page control.
  void UserSelectedPage(TTabSheet& page);

 protected:
  void TakeWidgetFocus() override { peer_->TakeFocus(); }

 private:
  friend class TTabSheet;
  std::unique_ptr<TPageControlPeer> peer_;
  std::vector<TTabSheet*> pages_;
  TTabSheet* active_ = nullptr;
};

class TTabSheet : public TControl {
 public:
  // Joins the page control as its next page.
  TTabSheet(TForm& owner, TPageControl& pageControl, std::string name,
            std::unique_ptr<TTabSheetPeer> peer);
  void SetCaption(const std::u16string& caption) { peer_->SetCaption(caption); }
  TPageControl& PageControl() const { return pageControl_; }
  int PageIndex() const { return pageIndex_; }
  TPeer& Peer() override { return *peer_; }

 private:
  TPageControl& pageControl_;
  int pageIndex_;
  std::unique_ptr<TTabSheetPeer> peer_;
};

class TImage : public TControl {
 public:
  TImage(TForm& owner, TControl* parent, std::string name, bool visible,
         std::unique_ptr<TImagePeer> peer);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void SetParent(TControl& parent);  // same Left and Top on the new parent
  TPeer& Peer() override { return *peer_; }

 private:
  bool visible_;
  std::unique_ptr<TImagePeer> peer_;
};

class TPanel : public TControl {
 public:
  TPanel(TForm& owner, TControl* parent, std::string name, std::unique_ptr<TPanelPeer> peer);
  TPeer& Peer() override { return *peer_; }

 private:
  std::unique_ptr<TPanelPeer> peer_;
};

class TGroupBox : public TControl {
 public:
  TGroupBox(TForm& owner, TControl* parent, std::string name, std::unique_ptr<TGroupBoxPeer> peer);
  TPeer& Peer() override { return *peer_; }

 private:
  std::unique_ptr<TGroupBoxPeer> peer_;
};

// The window: owns its controls and the logical focus.
class TForm : public TControl {
 public:
  // Builds the form and every control of the definition through the factory,
  // in the definition's order (a parent always comes before its children).
  TForm(TApplicationServices& application, TPeerFactory& factory, const TFormDef& form,
        std::span<const TControlDef> controls);
  ~TForm() override;

  TApplicationServices& Application() const { return application_; }
  TPeer& Peer() override { return *peer_; }

  TWinControl* ActiveControl() const { return focused_; }
  // The program's set-focus: see the focus rule at the top of this file.
  void FocusControl(TWinControl& control);

  // The form's page control (the first in the definition); null when it has
  // none.
  TPageControl* PageControl() const;
  // Where Tab (Shift+Tab: backwards) moves the focus from `current`: the
  // next (previous) control of the active page's tab order that the user can
  // focus, wrapping around; the first (last) one when `current` is not in
  // that order or null. Null when the form has no page control, no active
  // page or nothing on it to focus. The adapter focuses the answer as a user
  // focus move.
  TWinControl* NextInTabOrder(const TWinControl* current, bool backwards) const;
  // The page Ctrl+Tab (Ctrl+Shift+Tab: backwards) chooses: the page after
  // (before) the active one, wrapping around. Null when the form has no page
  // control or no active page. The adapter reports it as the user's choice
  // (TPageControl::UserSelectedPage).
  TTabSheet* NextPage(bool backwards) const;

  TControl* FindControl(std::string_view name) const;
  // The control of that name and kind; throws std::logic_error otherwise.
  template <class T>
  T& Control(std::string_view name) const {
    auto* control = dynamic_cast<T*>(FindControl(name));
    if (control == nullptr) {
      ThrowNoControl(name);
    }
    return *control;
  }
  const std::vector<std::unique_ptr<TControl>>& Controls() const { return controls_; }
  // The definition the form was built from.
  std::span<const TControlDef> Definition() const { return definition_; }

  TNotifyEvent OnShow;
  TCloseEvent OnClose;

  // User actions, reported by the adapter. UserShown: the window has become
  // visible (once, not on a restore from the task bar).
  void UserShown();
  // Runs OnClose; true when the window may close.
  bool UserClosed();

  // Runs one user action; an exception that escapes it is shown by the
  // exception display and swallowed.
  void Guard(const std::function<void()>& action);

 private:
  friend class TWinControl;
  friend class TPageControl;
  friend class TLabel;
  friend class TCheckBox;
  // A caption changed: the controls it names for screen readers take it as
  // their accessible name (ui/AccessibleTexts.h says which).
  void CaptionChanged(const TControl& source, const std::u16string& caption);
  void NameForScreenReaders();
  void MoveFocus(TWinControl& control);
  // After a page switch: a focus left on a hidden page goes to the page control.
  void KeepFocusOnShownPage(TPageControl& pageControl);
  [[noreturn]] static void ThrowNoControl(std::string_view name);
  void Build(TPeerFactory& factory, std::span<const TControlDef> controls);

  TApplicationServices& application_;
  std::unique_ptr<TFormPeer> peer_;
  std::span<const TControlDef> definition_;
  std::vector<std::unique_ptr<TControl>> controls_;
  TWinControl* focused_ = nullptr;
  // Which controls each caption names: (the captioned control, the named one).
  std::vector<std::pair<const TControl*, TControl*>> namedBy_;
};

// True when the control lies on the page its page control shows, or on no page.
bool IsOnShownPage(const TControl& control);
