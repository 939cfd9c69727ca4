// SPDX-License-Identifier: MIT
#include "ui/win32/Win32Toolkit.h"

#include <commctrl.h>

#include <optional>
#include <vector>

#include "ui/Controls.h"
#include "ui/LabelFit.h"
#include "ui/WindowDef.h"
#include "ui/win32/Win32Annotations.h"

namespace {

constexpr wchar_t kMainClass[] = L"KolvaneMain";
constexpr wchar_t kPanelClass[] = L"KolvanePanel";
constexpr wchar_t kImageClass[] = L"KolvaneImage";
constexpr UINT_PTR kSubclassId = 1;

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::wstring WideOf(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

COLORREF ColorRef(TColor color) {
  return color.IsSystem() ? GetSysColor(color.SystemIndex())
                          : RGB(color.Red(), color.Green(), color.Blue());
}

TShiftState ShiftNow() {
  TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) {
    shift |= ssShift;
  }
  if (GetKeyState(VK_MENU) < 0) {
    shift |= ssAlt;
  }
  if (GetKeyState(VK_CONTROL) < 0) {
    shift |= ssCtrl;
  }
  return shift;
}

std::u16string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  const int got = GetWindowTextW(window, buffer.data(), length + 1);
  return std::u16string(buffer.begin(), buffer.begin() + got);
}

}  // namespace

// What every peer of this adapter is besides its peer interface: a window,
// the control it reports to, and its answers to the notifications that its
// window sends to the parent.
class TWin32Peer {
 public:
  virtual ~TWin32Peer();
  HWND Window = nullptr;
  // Puts Filter before the window's own procedure. The peer is found through
  // the window's user data, which costs a message nothing: the common
  // controls' subclassing asks a window property for every message, which
  // under Wine is a call to its server.
  void Subclass();
  // A message of a subclassed window; Pass hands it to the window's own
  // procedure.
  virtual LRESULT Filter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Pass(window, message, wParam, lParam);
  }
  LRESULT Pass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcW(original_, window, message, wParam, lParam);
  }
  // The background that children without one of their own show.
  HBRUSH Brush = nullptr;
  // The page whose first show builds this control's window; null once built.
  HWND WaitsFor = nullptr;
  TWin32Toolkit* Owner = nullptr;
  // The window, built now if it still waits for its page.
  HWND Built() const {
    if (WaitsFor != nullptr) {
      Owner->BuildPage(WaitsFor);
    }
    return Window;
  }
  // Gives the window just built what the logic set while it waited.
  virtual void Replay() {}
  virtual void OnCommand(WORD /*code*/) {}
  virtual LRESULT OnNotify(const NMHDR& /*header*/) { return 0; }
  // WM_CTLCOLOR* for this control; null: the container's background.
  virtual HBRUSH OnColor(HDC /*dc*/) { return nullptr; }

  // What screen readers are told (TPeer), kept for the annotation service.
  std::u16string AccessibleName;
  std::u16string AccessibleDescription;
  // The state that hands the texts on, once the peer has any.
  TWin32Toolkit::TState* Describer = nullptr;

 private:
  WNDPROC original_ = nullptr;  // the window's own procedure, once subclassed
};

struct TWin32Toolkit::TState {
  TWin32Toolkit* Owner = nullptr;
  // Above zero while the adapter itself moves the focus: the focus
  // notifications that follow are not the user's.
  int ProgramFocus = 0;
  bool Closing = false;
  std::vector<HBRUSH> Brushes;
  // Null until a screen reader first asks for the window's objects.
  std::unique_ptr<TAnnotations> Annotations;
  std::function<std::unique_ptr<TAnnotations>()> MakeAnnotations = MakeSystemAnnotations;
  // The peers with a text for screen readers.
  std::vector<TWin32Peer*> Described;

  // Moves the focus as the program, not as the user. While the window is
  // not on the screen the logical focus alone moves: the window's
  // activation as it comes up gives the keyboard to the logical focus.
  void FocusByProgram(HWND window) {
    if (!IsWindowVisible(Owner->MainWindow())) {
      return;
    }
    ++ProgramFocus;
    SetFocus(window);
    --ProgramFocus;
  }
  HBRUSH BrushOf(TColor color) {
    Brushes.push_back(CreateSolidBrush(ColorRef(color)));
    return Brushes.back();
  }

  void Describe(TWin32Peer& peer, TAccessibleText which, const std::u16string& text) {
    std::u16string& kept =
        which == TAccessibleText::Name ? peer.AccessibleName : peer.AccessibleDescription;
    if (kept == text) {
      return;
    }
    kept = text;
    if (peer.Describer == nullptr) {
      peer.Describer = this;
      Described.push_back(&peer);
    }
    if (Annotations != nullptr && peer.Window != nullptr) {
      Annotations->Set(peer.Window, which, text);
    }
  }
  // Hands a window just built its texts.
  void Annotate(const TWin32Peer& peer) const {
    if (Annotations == nullptr || peer.Window == nullptr) {
      return;
    }
    if (!peer.AccessibleName.empty()) {
      Annotations->Set(peer.Window, TAccessibleText::Name, peer.AccessibleName);
    }
    if (!peer.AccessibleDescription.empty()) {
      Annotations->Set(peer.Window, TAccessibleText::Description, peer.AccessibleDescription);
    }
  }
  // WM_GETOBJECT: a screen reader (or another client of the accessibility
  // interfaces) asks; from now on the texts go to the annotation service.
  void ScreenReaderAsked() {
    if (Annotations != nullptr) {
      return;
    }
    Annotations = MakeAnnotations();
    for (const TWin32Peer* peer : Described) {
      Annotate(*peer);
    }
  }
  void Forget(const TWin32Peer* peer) { std::erase(Described, peer); }
};

TWin32Peer::~TWin32Peer() {
  if (Describer != nullptr) {
    Describer->Forget(this);
  }
  // The window may outlive its peer by a little (until the main window
  // goes): it reports to no one meanwhile.
  if (original_ != nullptr && IsWindow(Window)) {
    SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
  }
}

namespace {

LRESULT CALLBACK SubclassedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* peer = reinterpret_cast<TWin32Peer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return peer->Filter(window, message, wParam, lParam);
}

}  // namespace

void TWin32Peer::Subclass() {
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassedProc)));
}

namespace {

TWin32Peer* PeerOf(HWND window) {
  return reinterpret_cast<TWin32Peer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

TWin32Peer& PeerOf(TPeer& peer) {
  return dynamic_cast<TWin32Peer&>(peer);
}

TWin32Toolkit::TState* StateOf(HWND main) {
  return reinterpret_cast<TWin32Toolkit::TState*>(GetWindowLongPtrW(main, GWLP_USERDATA));
}

// WM_GETOBJECT reached one of the window's controls.
void ScreenReaderAsked(HWND control) {
  HWND main = GetAncestor(control, GA_ROOT);
  if (TWin32Toolkit::TState* state = main != nullptr ? StateOf(main) : nullptr) {
    state->ScreenReaderAsked();
  }
}

// A control's background for WM_CTLCOLOR*: its own, else its container's.
LRESULT ControlColor(HDC dc, HWND control) {
  if (TWin32Peer* peer = PeerOf(control)) {
    if (HBRUSH brush = peer->OnColor(dc)) {
      return reinterpret_cast<LRESULT>(brush);
    }
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  for (HWND container = GetParent(control); container != nullptr;
       container = GetParent(container)) {
    if (TWin32Peer* peer = PeerOf(container); peer != nullptr && peer->Brush != nullptr) {
      return reinterpret_cast<LRESULT>(peer->Brush);
    }
  }
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// The notifications every container passes on, and the main window handles.
bool IsChildNotification(UINT message) {
  return message == WM_COMMAND || message == WM_NOTIFY || message == WM_CTLCOLOREDIT ||
         message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN || message == WM_CTLCOLORLISTBOX;
}

LRESULT HandleChildNotification(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (TWin32Peer* peer = lParam != 0 ? PeerOf(reinterpret_cast<HWND>(lParam)) : nullptr) {
        peer->OnCommand(HIWORD(wParam));
      }
      return 0;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      TWin32Peer* peer = PeerOf(header.hwndFrom);
      return peer != nullptr ? peer->OnNotify(header) : 0;
    }
    default:
      return ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
  }
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWin32Toolkit::TState* state = StateOf(window);
  if (state == nullptr) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (IsChildNotification(message)) {
    return HandleChildNotification(message, wParam, lParam);
  }
  TForm* form = state->Owner->Form();
  switch (message) {
    case WM_ACTIVATE:
      // A message box took the activation and gave it back to the window,
      // not to the box that had the focus: the logical focus decides.
      if (LOWORD(wParam) != WA_INACTIVE && form != nullptr && form->ActiveControl() != nullptr) {
        if (HWND focus = state->Owner->Handle(form->ActiveControl()->Name())) {
          state->FocusByProgram(focus);
          return 0;
        }
      }
      break;
    case WM_SHOWWINDOW:
      // The window comes on the screen with the page chosen so far.
      if (wParam != FALSE) {
        state->Owner->BuildShownPages();
      }
      break;
    case WM_GETOBJECT:
      state->ScreenReaderAsked();
      break;
    case WM_CLOSE:
      if (form == nullptr || form->UserClosed()) {
        state->Closing = true;
        DestroyWindow(window);
      }
      return 0;
    case WM_DESTROY:
      // Only a window the user closed ends the message loop: one that goes
      // because its construction failed must leave the way clear for the
      // exception display.
      if (state->Closing) {
        PostQuitMessage(0);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsChildNotification(message)) {
    // Also while disabled: a disabled panel still hears its children.
    HWND main = GetAncestor(window, GA_ROOT);
    return SendMessageW(main, message, wParam, lParam);
  }
  if (message == WM_GETOBJECT) {
    ScreenReaderAsked(window);
  }
  if (message == WM_ERASEBKGND) {
    if (TWin32Peer* peer = PeerOf(window); peer != nullptr && peer->Brush != nullptr) {
      RECT area;
      GetClientRect(window, &area);
      FillRect(reinterpret_cast<HDC>(wParam), &area, peer->Brush);
      return 1;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXW main{};
  main.cbSize = sizeof main;
  main.lpfnWndProc = MainProc;
  main.hInstance = instance;
  main.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  main.lpszClassName = kMainClass;
  main.hIcon = LoadIconW(instance, L"MAINICON");
  main.hIconSm = static_cast<HICON>(LoadImageW(instance, L"MAINICON", IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
  RegisterClassExW(&main);

  WNDCLASSEXW panel{};
  panel.cbSize = sizeof panel;
  panel.lpfnWndProc = PanelProc;
  panel.hInstance = instance;
  panel.hCursor = main.hCursor;
  panel.lpszClassName = kPanelClass;
  RegisterClassExW(&panel);
}

// ---- Peers ----

class TFormPeerW : public TFormPeer, public TWin32Peer {
 public:
  explicit TFormPeerW(TWin32Toolkit& owner) : owner_(owner) {}
  ~TFormPeerW() override {
    owner_.DropWaitingBuilds();
    if (IsWindow(Window)) {
      DestroyWindow(Window);
    }
  }
  void Attach(TControl& control) override { owner_.SetForm(dynamic_cast<TForm*>(&control)); }

 private:
  TWin32Toolkit& owner_;
};

class TPanelPeerW : public TPanelPeer, public TWin32Peer {};

class TGroupBoxPeerW : public TGroupBoxPeer, public TWin32Peer {
 public:
  HWND Frame = nullptr;  // the BS_GROUPBOX button that draws the frame
};

// A label is as wide as its text, on one line. A text that would run into
// the control beside it in the font in use (Windows may put another face in
// the place of the one the layout was drawn with) has its characters set
// closer together, as every front end fits its labels (ui/LabelFit.h).
class TLabelPeerW : public TLabelPeer, public TWin32Peer {
 public:
  TLabelPeerW(TWin32Toolkit& owner, const TControlDef& def) : owner_(owner), def_(def) {}
  void SetCaption(const std::u16string& caption) override {
    if (Window == nullptr) {
      caption_ = caption;
      return;
    }
    HWND parent = GetParent(Window);
    Invalidate(parent);  // the old text: a transparent label erases nothing itself
    SetWindowTextW(Window, Wide(caption));
    const int width = TextWidth(caption);
    squeeze_ = LabelSqueeze(width, RoomEnd(parent) - owner_.Scale(def_.Left + kLabelGap));
    RECT area;
    GetClientRect(Window, &area);
    const int fitted = width - squeeze_;
    SetWindowPos(Window, nullptr, 0, 0, fitted > area.right ? fitted : area.right, area.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(parent);
  }
  void Replay() override {
    if (caption_) {
      SetCaption(*caption_);
    }
  }
  // The pixels the text is set closer by; 0 when it fits as it is.
  int Squeeze() const { return squeeze_; }

  LRESULT Filter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    auto& peer = *this;
    if (message == WM_PAINT && peer.squeeze_ > 0) {
      peer.PaintCloser();
      return 0;
    }
    return Pass(window, message, wParam, lParam);
  }

 private:
  HFONT Font() const { return reinterpret_cast<HFONT>(SendMessageW(Window, WM_GETFONT, 0, 0)); }

  int TextWidth(const std::u16string& text) const {
    HDC dc = GetDC(Window);
    HGDIOBJ old = SelectObject(dc, Font());
    SIZE size{};
    GetTextExtentPoint32W(dc, Wide(text), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(Window, dc);
    return size.cx;
  }

  // The right end of the label's room in its parent, in pixels on this screen.
  int RoomEnd(HWND parent) const {
    const TForm* form = owner_.Form();
    const std::optional<int> end =
        form != nullptr ? LabelRoomEnd(form->Definition(), def_.Name) : std::nullopt;
    if (end) {
      return owner_.Scale(*end);
    }
    RECT area;
    GetClientRect(parent, &area);
    return area.right;
  }

  // Draws the text as the label would, each character's advance shortened so
  // that the squeeze is spread evenly between them.
  void PaintCloser() const {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Window, &paint);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(Window), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(Window)));
    RECT area;
    GetClientRect(Window, &area);
    if (brush != nullptr) {
      FillRect(dc, &area, brush);
    }
    HGDIOBJ old = SelectObject(dc, Font());
    const std::u16string text = WindowText(Window);
    const int count = static_cast<int>(text.size());
    std::vector<int> ends(text.size());
    SIZE size{};
    GetTextExtentExPointW(dc, Wide(text), count, 0, nullptr, ends.data(), &size);
    std::vector<int> advances(text.size());
    for (int i = 0; i < count; ++i) {
      const int shorter = count > 1 && i < count - 1
                              ? squeeze_ * (i + 1) / (count - 1) - squeeze_ * i / (count - 1)
                              : 0;
      advances[static_cast<size_t>(i)] =
          ends[static_cast<size_t>(i)] - (i > 0 ? ends[static_cast<size_t>(i - 1)] : 0) - shorter;
    }
    ExtTextOutW(dc, 0, 0, 0, nullptr, Wide(text), static_cast<UINT>(count), advances.data());
    SelectObject(dc, old);
    EndPaint(Window, &paint);
  }

  void Invalidate(HWND parent) const {
    RECT area;
    GetWindowRect(Window, &area);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    InvalidateRect(parent, &area, TRUE);
  }

  TWin32Toolkit& owner_;
  TControlDef def_;
  std::optional<std::u16string> caption_;  // given while the window waits
  int squeeze_ = 0;
};

class TEditPeerW : public TEditPeer, public TWin32Peer {
 public:
  TEditPeerW(TWin32Toolkit::TState& state, TColor color) : state_(state) { SetColor(color); }
  ~TEditPeerW() override { DeleteObject(brush_); }

  void Attach(TControl& control) override { edit_ = dynamic_cast<TEdit*>(&control); }
  void SetText(const std::u16string& text) override {
    text_ = text;
    if (Window != nullptr) {
      SetWindowTextW(Window, Wide(text));
    }
  }
  std::u16string GetText() const override { return Window != nullptr ? WindowText(Window) : text_; }
  void SetColor(TColor color) override {
    color_ = ColorRef(color);
    if (brush_ != nullptr) {
      DeleteObject(brush_);
    }
    brush_ = CreateSolidBrush(color_);
    if (Window != nullptr) {
      InvalidateRect(Window, nullptr, TRUE);
    }
  }
  void TakeFocus() override { state_.FocusByProgram(Built()); }
  void SelectAll() override { SendMessageW(Built(), EM_SETSEL, 0, -1); }
  void Replay() override { SetText(text_); }
  void SetAccessibleName(const std::u16string& name) override {
    state_.Describe(*this, TAccessibleText::Name, name);
  }
  void SetAccessibleDescription(const std::u16string& description) override {
    state_.Describe(*this, TAccessibleText::Description, description);
  }

  void OnCommand(WORD code) override {
    if (code == EN_SETFOCUS && state_.ProgramFocus == 0 && edit_ != nullptr) {
      edit_->UserFocused();
    }
  }
  HBRUSH OnColor(HDC dc) override {
    SetBkColor(dc, color_);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return brush_;
  }

  LRESULT Filter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    auto& peer = *this;
    if (message == WM_GETOBJECT) {
      peer.state_.ScreenReaderAsked();
    }
    // Keys go as the handlers leave them: a key-down consumed goes no
    // further, a character swallowed (Enter's '\r' among them) is not typed.
    if (peer.edit_ != nullptr) {
      if (message == WM_KEYDOWN) {
        const uint16_t key = peer.edit_->UserKeyDown(static_cast<uint16_t>(wParam), ShiftNow());
        if (key == 0) {
          return 0;
        }
        wParam = key;
      } else if (message == WM_CHAR) {
        const char16_t ch = peer.edit_->UserKeyPress(static_cast<char16_t>(wParam));
        if (ch == 0) {
          return 0;
        }
        wParam = ch;
      }
    }
    return Pass(window, message, wParam, lParam);
  }

 private:
  TWin32Toolkit::TState& state_;
  TEdit* edit_ = nullptr;
  std::u16string text_;  // what the box shows while its window waits
  COLORREF color_ = 0;
  HBRUSH brush_ = nullptr;
};

class TCheckBoxPeerW : public TCheckBoxPeer, public TWin32Peer {
 public:
  explicit TCheckBoxPeerW(TWin32Toolkit::TState& state) : state_(state) {}
  void Attach(TControl& control) override { box_ = dynamic_cast<TCheckBox*>(&control); }
  void SetCaption(const std::u16string& caption) override {
    caption_ = caption;
    if (Window != nullptr) {
      SetWindowTextW(Window, Wide(caption));
    }
  }
  void SetChecked(bool checked) override {
    checked_ = checked;
    if (Window != nullptr) {
      SendMessageW(Window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  bool GetChecked() const override {
    return Window != nullptr ? SendMessageW(Window, BM_GETCHECK, 0, 0) == BST_CHECKED : checked_;
  }
  void TakeFocus() override { state_.FocusByProgram(Built()); }
  void Replay() override {
    if (caption_) {
      SetCaption(*caption_);
    }
    SetChecked(checked_);
  }

  void OnCommand(WORD code) override {
    if (box_ == nullptr) {
      return;
    }
    // The second click of a quick pair comes as BN_DOUBLECLICKED (the box
    // has BS_NOTIFY for its focus reports): a click like the first.
    const bool clicked = code == BN_CLICKED || code == BN_DOUBLECLICKED;
    if (code == BN_SETFOCUS && state_.ProgramFocus == 0) {
      box_->UserFocused();
    } else if (clicked && box_->MayToggle()) {
      SetChecked(!GetChecked());
      box_->UserToggled();
    }
  }
  void SetAccessibleName(const std::u16string& name) override {
    state_.Describe(*this, TAccessibleText::Name, name);
  }

  LRESULT Filter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    auto& peer = *this;
    if (message == WM_GETOBJECT) {
      peer.state_.ScreenReaderAsked();
    }
    if (message == WM_KEYDOWN && peer.box_ != nullptr) {
      const uint16_t key = peer.box_->UserKeyDown(static_cast<uint16_t>(wParam), ShiftNow());
      if (key == 0) {
        return 0;
      }
      wParam = key;
    }
    return Pass(window, message, wParam, lParam);
  }

 private:
  TWin32Toolkit::TState& state_;
  TCheckBox* box_ = nullptr;
  std::optional<std::u16string> caption_;
  bool checked_ = false;
};

// An editable drop-down list: the box itself answers the colour requests of
// its edit and its list (white, as clWindow, where a group box would grey
// them), and its edit tells typed characters from other changes, so that
// the controls complete only what is typed.
class TComboBoxPeerW : public TComboBoxPeer, public TWin32Peer {
 public:
  TComboBoxPeerW(TWin32Toolkit::TState& state, TColor color)
      : state_(state), color_(ColorRef(color)), brush_(CreateSolidBrush(color_)) {}
  ~TComboBoxPeerW() override { DeleteObject(brush_); }
  TComboBoxPeerW(const TComboBoxPeerW&) = delete;
  TComboBoxPeerW& operator=(const TComboBoxPeerW&) = delete;

  void Attach(TControl& control) override { box_ = dynamic_cast<TComboBox*>(&control); }
  void SetItemIndex(int index) override {
    index_ = index;
    if (Window == nullptr) {
      return;
    }
    // An index outside the items shows no item and an empty text.
    ++quiet_;
    SendMessageW(Window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (SendMessageW(Window, CB_GETCURSEL, 0, 0) == CB_ERR) {
      SetWindowTextW(Window, L"");
    }
    --quiet_;
  }
  void ShowCompletion(int index, int typedLength) override {
    SetItemIndex(index);
    if (edit_ != nullptr) {
      // From the end back to the typed part: the caret stands behind it.
      SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(GetWindowTextLengthW(edit_)),
                   static_cast<LPARAM>(typedLength));
    }
  }
  std::u16string GetText() const override { return WindowText(Built()); }
  void TakeFocus() override { state_.FocusByProgram(Built()); }
  void Replay() override {
    if (index_) {
      SetItemIndex(*index_);
    }
  }
  void SetAccessibleName(const std::u16string& name) override {
    state_.Describe(*this, TAccessibleText::Name, name);
  }
  // The window just made: the box and its edit report to this peer.
  void Subclass() {
    TWin32Peer::Subclass();
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(Window, &info) && info.hwndItem != nullptr) {
      edit_ = info.hwndItem;
      SetWindowSubclass(edit_, EditProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    }
  }

  void OnCommand(WORD code) override {
    if (box_ == nullptr) {
      return;
    }
    if (code == CBN_SETFOCUS && state_.ProgramFocus == 0) {
      box_->UserFocused();
    } else if (quiet_ > 0) {
      return;  // the program's own setting
    } else if (code == CBN_SELCHANGE) {
      // The box shows the picked item's text only after this notification:
      // show it now, so the report reads what the user picked.
      const LRESULT item = SendMessageW(Window, CB_GETCURSEL, 0, 0);
      if (item != CB_ERR) {
        const LRESULT length = SendMessageW(Window, CB_GETLBTEXTLEN, item, 0);
        std::vector<wchar_t> text(static_cast<size_t>(length > 0 ? length : 0) + 1);
        SendMessageW(Window, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()));
        SetWindowTextW(Window, text.data());
      }
      box_->UserChanged();
    } else if (code == CBN_EDITCHANGE && typing_ == 0) {
      box_->UserChanged();
    }
  }

 private:
  LRESULT Filter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    auto& peer = *this;
    switch (message) {
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, peer.color_);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(peer.brush_);
      }
      case WM_GETOBJECT:
        peer.state_.ScreenReaderAsked();
        break;
      default:
        break;
    }
    return Pass(window, message, wParam, lParam);
  }

  // A character typed into the edit: its change is reported once the edit
  // has taken it, as typed.
  static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR /*id*/, DWORD_PTR data) {
    auto& peer = *reinterpret_cast<TComboBoxPeerW*>(data);
    if (message != WM_CHAR || wParam < L' ' || wParam == 0x7F || peer.box_ == nullptr) {
      return DefSubclassProc(window, message, wParam, lParam);
    }
    const std::u16string before = WindowText(window);
    ++peer.typing_;
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    --peer.typing_;
    if (WindowText(window) != before) {
      peer.box_->UserTyped();
    }
    return result;
  }

  TWin32Toolkit::TState& state_;
  TComboBox* box_ = nullptr;
  std::optional<int> index_;
  COLORREF color_;
  HBRUSH brush_;
  HWND edit_ = nullptr;
  int typing_ = 0;  // above zero while the edit takes a typed character
  int quiet_ = 0;   // above zero while the program sets the box
};

class TTabSheetPeerW;

class TPageControlPeerW : public TPageControlPeer, public TWin32Peer {
 public:
  explicit TPageControlPeerW(TWin32Toolkit::TState& state) : state_(state) {}
  void Attach(TControl& control) override { pages_ = dynamic_cast<TPageControl*>(&control); }
  void SetActivePage(int pageIndex) override;
  void TakeFocus() override { state_.FocusByProgram(Window); }
  void AddSheet(HWND sheet) { sheets_.push_back(sheet); }

  LRESULT OnNotify(const NMHDR& header) override {
    if (header.code == TCN_SELCHANGE && pages_ != nullptr) {
      // The arrow keys moved the tab: the page changes when the logic says.
      const int chosen = static_cast<int>(SendMessageW(Window, TCM_GETCURSEL, 0, 0));
      SendMessageW(Window, TCM_SETCURSEL, static_cast<WPARAM>(active_), 0);
      if (chosen >= 0 && chosen < pages_->PageCount()) {
        pages_->UserSelectedPage(pages_->Page(chosen));
      }
    }
    return 0;
  }

  // A click on a tab is the user's choice of that page; the tab control
  // itself must neither take the focus nor change the page first.
  LRESULT Filter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    auto& peer = *this;
    if (message == WM_LBUTTONDOWN && peer.pages_ != nullptr) {
      TCHITTESTINFO hit{};
      hit.pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      const int page =
          static_cast<int>(SendMessageW(window, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      if (page >= 0 && page < peer.pages_->PageCount()) {
        peer.pages_->UserSelectedPage(peer.pages_->Page(page));
        return 0;
      }
    }
    return Pass(window, message, wParam, lParam);
  }

 private:
  TWin32Toolkit::TState& state_;
  TPageControl* pages_ = nullptr;
  std::vector<HWND> sheets_;
  int active_ = -1;
};

void TPageControlPeerW::SetActivePage(int pageIndex) {
  active_ = pageIndex;
  // Sends no notification, and shows no page by itself.
  SendMessageW(Window, TCM_SETCURSEL, static_cast<WPARAM>(pageIndex), 0);
  const bool onScreen = IsWindowVisible(Window) != FALSE;
  for (size_t i = 0; i < sheets_.size(); ++i) {
    if (static_cast<int>(i) == pageIndex && onScreen) {
      state_.Owner->BuildPage(sheets_[i]);
    }
    ShowWindow(sheets_[i], static_cast<int>(i) == pageIndex ? SW_SHOW : SW_HIDE);
  }
}

class TTabSheetPeerW : public TTabSheetPeer, public TWin32Peer {
 public:
  TTabSheetPeerW(HWND tabs, int index) : tabs_(tabs), index_(index) {}
  void SetCaption(const std::u16string& caption) override {
    std::wstring text = WideOf(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(tabs_, TCM_SETITEMW, static_cast<WPARAM>(index_), reinterpret_cast<LPARAM>(&item));
  }

 private:
  HWND tabs_;
  int index_;
};

// A bitmap from the program's resources, drawn without its transparent
// colour (the bottom-left pixel's) and scaled smoothly to the screen's dpi.
// The window and its picture are made when the image is first to be seen:
// a logo that is never shown (IM_LogoPX) costs the start-up nothing.
class TImagePeerW : public TImagePeer, public TWin32Peer {
 public:
  TImagePeerW(TWin32Toolkit& owner, TWin32Toolkit::TState& state, const TControlDef& def,
              TPeer& parent, HINSTANCE instance)
      : owner_(owner),
        state_(state),
        def_(def),
        parent_(&parent),
        instance_(instance),
        visible_(def.Visible) {}
  ~TImagePeerW() override {
    if (bitmap_ != nullptr) {
      DeleteObject(bitmap_);
    }
  }
  void SetVisible(bool visible) override {
    visible_ = visible;
    if (visible) {
      Realize();
    }
    if (Window != nullptr) {
      ShowWindow(Window, visible ? SW_SHOW : SW_HIDE);
    }
  }
  void SetAccessibleName(const std::u16string& name) override {
    state_.Describe(*this, TAccessibleText::Name, name);
  }
  void SetParent(TPeer& parent) override {
    parent_ = &parent;
    if (Window != nullptr) {
      ::SetParent(Window, PeerOf(parent).Window);
      SetWindowPos(Window, HWND_TOP, owner_.Scale(def_.Left), owner_.Scale(def_.Top), 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  // Makes the window now if the image is to be seen and has none yet.
  void Realize();
  void Paint(HDC dc) const;

  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Load();

  TWin32Toolkit& owner_;
  TWin32Toolkit::TState& state_;
  const TControlDef& def_;
  TPeer* parent_;
  HINSTANCE instance_;
  bool visible_;
  HBITMAP bitmap_ = nullptr;  // already at the screen's size
  SIZE size_{};
  COLORREF transparent_ = 0;
};

void TImagePeerW::Realize() {
  if (Window != nullptr || !visible_) {
    return;
  }
  Load();
  owner_.MakeImageWindow(def_, *parent_, *this);
  state_.Annotate(*this);
}

void TImagePeerW::Load() {
  // The picture is kept as a resource under the control's name.
  const std::wstring name(def_.Name.begin(), def_.Name.end());
  auto original = static_cast<HBITMAP>(
      LoadImageW(instance_, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (original == nullptr) {
    return;
  }
  BITMAP info{};
  GetObjectW(original, sizeof info, &info);
  size_ = {owner_.Scale(info.bmWidth), owner_.Scale(info.bmHeight)};
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen);
  HDC to = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, size_.cx, size_.cy);
  HGDIOBJ oldFrom = SelectObject(from, original);
  HGDIOBJ oldTo = SelectObject(to, bitmap_);
  transparent_ = GetPixel(from, 0, info.bmHeight - 1);
  if (size_.cx == info.bmWidth) {
    BitBlt(to, 0, 0, size_.cx, size_.cy, from, 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, size_.cx, size_.cy, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  }
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  ReleaseDC(nullptr, screen);
  DeleteObject(original);
}

void TImagePeerW::Paint(HDC dc) const {
  if (bitmap_ == nullptr) {
    return;
  }
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap_);
  TransparentBlt(dc, 0, 0, size_.cx, size_.cy, memory, 0, 0, size_.cx, size_.cy, transparent_);
  SelectObject(memory, old);
  DeleteDC(memory);
}

LRESULT CALLBACK TImagePeerW::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* peer = static_cast<TImagePeerW*>(PeerOf(window));
  if (message == WM_GETOBJECT) {
    ScreenReaderAsked(window);
  }
  if (peer != nullptr && message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    peer->Paint(dc);
    EndPaint(window, &paint);
    return 0;
  }
  if (peer != nullptr && message == WM_ERASEBKGND) {
    // The page shows through where the logo is transparent.
    RECT area;
    GetClientRect(window, &area);
    FillRect(reinterpret_cast<HDC>(wParam), &area,
             reinterpret_cast<HBRUSH>(ControlColor(reinterpret_cast<HDC>(wParam), window)));
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

TWin32Toolkit::TWin32Toolkit(HINSTANCE instance)
    : instance_(instance), state_(std::make_unique<TState>()) {
  state_->Owner = this;
  RegisterClasses(instance);
  WNDCLASSEXW image{};
  image.cbSize = sizeof image;
  image.lpfnWndProc = TImagePeerW::Proc;
  image.hInstance = instance;
  image.lpszClassName = kImageClass;
  RegisterClassExW(&image);
  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
}

TWin32Toolkit::~TWin32Toolkit() {
  if (font_ != nullptr) {
    DeleteObject(font_);
  }
  for (HBRUSH brush : state_->Brushes) {
    DeleteObject(brush);
  }
}

int TWin32Toolkit::Scale(int pixels) const {
  return MulDiv(pixels, dpi_, 96);
}

HWND TWin32Toolkit::Handle(std::string_view name) {
  if (const auto waiting = waitingNames_.find(name); waiting != waitingNames_.end()) {
    BuildPage(waiting->second);
  }
  const auto found = handles_.find(name);
  return found == handles_.end() ? nullptr : found->second;
}

std::string TWin32Toolkit::NameOf(HWND window) const {
  for (const auto& [name, handle] : handles_) {
    if (handle == window) {
      return name;
    }
  }
  return {};
}

void TWin32Toolkit::BuildPage(HWND sheet) {
  const auto waiting = waitingPages_.find(sheet);
  if (waiting == waitingPages_.end()) {
    return;
  }
  // Controls made on the page from now on are built at once.
  std::vector<std::function<void()>> builds = std::move(waiting->second);
  waitingPages_.erase(waiting);
  std::erase_if(waitingNames_, [sheet](const auto& entry) { return entry.second == sheet; });
  for (std::function<void()>& build : builds) {
    build();
  }
}

void TWin32Toolkit::BuildShownPages() {
  for (TPeer* image : images_) {
    static_cast<TImagePeerW*>(image)->Realize();
  }
  std::vector<HWND> shown;
  for (const auto& [sheet, builds] : waitingPages_) {
    if ((GetWindowLongPtrW(sheet, GWL_STYLE) & WS_VISIBLE) != 0) {
      shown.push_back(sheet);
    }
  }
  for (HWND sheet : shown) {
    BuildPage(sheet);
  }
}

void TWin32Toolkit::BuildWhenShown(std::string_view name, TPeer& parent, TPeer& peer,
                                   std::function<void()> build) {
  TWin32Peer& container = PeerOf(parent);
  // A page waits for its first show; what lies on a waiting control waits
  // for the same page.
  HWND sheet = waitingPages_.contains(container.Window) ? container.Window : container.WaitsFor;
  if (sheet == nullptr) {
    build();
    return;
  }
  TWin32Peer& waiting = PeerOf(peer);
  waiting.WaitsFor = sheet;
  waiting.Owner = this;
  waitingNames_.emplace(std::string(name), sheet);
  waitingPages_[sheet].push_back([&waiting, state = state_.get(), build = std::move(build)] {
    waiting.WaitsFor = nullptr;
    build();
    waiting.Replay();
    state->Annotate(waiting);
  });
}

void TWin32Toolkit::SetAnnotations(std::function<std::unique_ptr<TAnnotations>()> make) {
  state_->MakeAnnotations = std::move(make);
}

void TWin32Toolkit::DropWaitingBuilds() {
  waitingPages_.clear();
  waitingNames_.clear();
  images_.clear();
}

bool TWin32Toolkit::PreTranslate(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || form_ == nullptr ||
      (message.hwnd != main_ && !IsChild(main_, message.hwnd))) {
    return false;
  }
  const bool backwards = GetKeyState(VK_SHIFT) < 0;
  if (GetKeyState(VK_CONTROL) < 0) {
    if (TTabSheet* page = form_->NextPage(backwards)) {
      page->PageControl().UserSelectedPage(*page);
    }
    return true;
  }
  if (TWinControl* next = form_->NextInTabOrder(form_->ActiveControl(), backwards)) {
    next->UserFocused();
    // As Windows' dialog manager does, a box reached with Tab shows its text
    // selected, unless the move ended elsewhere.
    if (form_->ActiveControl() == next) {
      HWND window = Handle(next->Name());
      wchar_t kind[16] = {};
      GetClassNameW(window, kind, 16);
      if (lstrcmpiW(kind, L"Edit") == 0) {
        SendMessageW(window, EM_SETSEL, 0, -1);
      } else if (lstrcmpiW(kind, L"ComboBox") == 0) {
        SendMessageW(window, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
      }
    }
  }
  return true;
}

HWND TWin32Toolkit::Create(const TControlDef& def, TPeer& parent, const wchar_t* windowClass,
                           DWORD style, DWORD exStyle) {
  const std::wstring text = WideOf(def.Text);
  HWND window =
      CreateWindowExW(exStyle, windowClass, text.c_str(),
                      WS_CHILD | WS_CLIPSIBLINGS | (def.Visible ? WS_VISIBLE : 0) | style,
                      Scale(def.Left), Scale(def.Top), Scale(def.Width), Scale(def.Height),
                      PeerOf(parent).Window, nullptr, instance_, nullptr);
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  if (auto* group = dynamic_cast<TGroupBoxPeerW*>(&parent)) {
    // The frame stays under the group's controls, or it would hide them.
    SetWindowPos(group->Frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (!def.Enabled) {
    EnableWindow(window, FALSE);
  }
  handles_.emplace(std::string(def.Name), window);
  return window;
}

namespace {

void Bind(TWin32Peer& peer, HWND window) {
  peer.Window = window;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&peer));
}

template <class TPeerW>
std::unique_ptr<TPeerW> Bind(std::unique_ptr<TPeerW> peer, HWND window) {
  Bind(*peer, window);
  return peer;
}

}  // namespace

std::unique_ptr<TFormPeer> TWin32Toolkit::MakeForm(const TFormDef& def) {
  LOGFONTW font{};
  font.lfHeight = -Scale(-def.FontHeight);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = def.FontCharset;
  font.lfQuality = CLEARTYPE_QUALITY;
  const std::wstring face = WideOf(def.FontName);
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  font_ = CreateFontIndirectW(&font);

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT frame{0, 0, Scale(def.ClientWidth), Scale(def.ClientHeight)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  const std::wstring caption = WideOf(def.Caption);
  main_ = CreateWindowExW(0, kMainClass, caption.c_str(), style, left, top, width, height, nullptr,
                          nullptr, instance_, state_.get());
  SendMessageW(main_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  handles_.emplace(std::string(def.Name), main_);
  auto peer = std::make_unique<TFormPeerW>(*this);
  peer->Window = main_;
  peer->Brush = GetSysColorBrush(COLOR_BTNFACE);
  return peer;
}

std::unique_ptr<TPageControlPeer> TWin32Toolkit::MakePageControl(const TControlDef& def,
                                                                 TPeer& parent) {
  HWND tabs = Create(def, parent, WC_TABCONTROLW, WS_TABSTOP);
  auto peer = Bind(std::make_unique<TPageControlPeerW>(*state_), tabs);
  peer->Subclass();
  return peer;
}

std::unique_ptr<TTabSheetPeer> TWin32Toolkit::MakeTabSheet(const TControlDef& def, TPeer& parent) {
  auto& pages = dynamic_cast<TPageControlPeerW&>(parent);
  HWND tabs = pages.Window;
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  wchar_t empty[] = L"";
  item.pszText = empty;
  SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(def.TabOrder),
               reinterpret_cast<LPARAM>(&item));
  // The page's panel lies over the tab control's display area, as a sibling:
  // the tab control would keep its children's notifications to itself.
  RECT area;
  GetClientRect(tabs, &area);
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  HWND owner = GetParent(tabs);
  MapWindowPoints(tabs, owner, reinterpret_cast<POINT*>(&area), 2);
  HWND sheet = CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                               area.left, area.top, area.right - area.left, area.bottom - area.top,
                               owner, nullptr, instance_, nullptr);
  SetWindowPos(sheet, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  handles_.emplace(std::string(def.Name), sheet);
  waitingPages_.emplace(sheet, std::vector<std::function<void()>>{});
  pages.AddSheet(sheet);
  auto peer = Bind(std::make_unique<TTabSheetPeerW>(tabs, def.TabOrder), sheet);
  peer->Brush = state_->BrushOf(def.Color);
  return peer;
}

std::unique_ptr<TLabelPeer> TWin32Toolkit::MakeLabel(const TControlDef& def, TPeer& parent) {
  auto peer = std::make_unique<TLabelPeerW>(*this, def);
  BuildWhenShown(def.Name, parent, *peer, [this, def, &parent, &peer = *peer] {
    HWND label = Create(def, parent, L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX);
    Bind(peer, label);
    peer.Subclass();
    if (!def.Text.empty()) {
      // A fixed text is fitted as any other (a unit may be wider in the
      // font in use than in the layout).
      peer.SetCaption(std::u16string(def.Text));
    }
  });
  return peer;
}

std::unique_ptr<TEditPeer> TWin32Toolkit::MakeEdit(const TControlDef& def, TPeer& parent) {
  auto peer = std::make_unique<TEditPeerW>(*state_, def.Color);
  BuildWhenShown(def.Name, parent, *peer, [this, def, &parent, &peer = *peer] {
    HWND edit = Create(def, parent, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    Bind(peer, edit);
    peer.Subclass();
  });
  return peer;
}

std::unique_ptr<TPanelPeer> TWin32Toolkit::MakePanel(const TControlDef& def, TPeer& parent) {
  auto peer = std::make_unique<TPanelPeerW>();
  BuildWhenShown(def.Name, parent, *peer, [this, def, &parent, &peer = *peer] {
    const bool lowered =
        def.BevelInner == TBevelCut::Lowered || def.BevelOuter == TBevelCut::Lowered;
    Bind(peer, Create(def, parent, kPanelClass, WS_CLIPCHILDREN, lowered ? WS_EX_STATICEDGE : 0));
    peer.Brush = def.Color.IsNone() ? PeerOf(parent).Brush : state_->BrushOf(def.Color);
  });
  return peer;
}

std::unique_ptr<TImagePeer> TWin32Toolkit::MakeImage(const TControlDef& def, TPeer& parent) {
  auto peer = std::make_unique<TImagePeerW>(*this, *state_, def, parent, instance_);
  images_.push_back(peer.get());
  return peer;
}

void TWin32Toolkit::MakeImageWindow(const TControlDef& def, TPeer& parent, TPeer& peer) {
  Bind(PeerOf(peer), Create(def, parent, kImageClass, 0));
}

std::unique_ptr<TCheckBoxPeer> TWin32Toolkit::MakeCheckBox(const TControlDef& def, TPeer& parent) {
  auto peer = std::make_unique<TCheckBoxPeerW>(*state_);
  BuildWhenShown(def.Name, parent, *peer, [this, def, &parent, &peer = *peer] {
    HWND box = Create(def, parent, L"BUTTON", WS_TABSTOP | BS_CHECKBOX | BS_NOTIFY);
    Bind(peer, box);
    peer.Subclass();
  });
  return peer;
}

std::unique_ptr<TComboBoxPeer> TWin32Toolkit::MakeComboBox(const TControlDef& def, TPeer& parent) {
  auto peer = std::make_unique<TComboBoxPeerW>(*state_, def.Color.IsNone() ? clWindow : def.Color);
  BuildWhenShown(def.Name, parent, *peer, [this, def, &parent, &peer = *peer] {
    // The window's height includes its drop-down list.
    TControlDef withList = def;
    withList.Height = def.Height + 120;
    HWND box = Create(withList, parent, L"COMBOBOX",
                      WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL);
    for (std::u16string_view item : def.Items) {
      const std::wstring text = WideOf(item);
      SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    Bind(peer, box);
    peer.Subclass();
  });
  return peer;
}

std::unique_ptr<TGroupBoxPeer> TWin32Toolkit::MakeGroupBox(const TControlDef& def, TPeer& parent) {
  auto peer = std::make_unique<TGroupBoxPeerW>();
  BuildWhenShown(def.Name, parent, *peer, [this, def, &parent, &peer = *peer] {
    // A group-box button would keep its children's notifications: the
    // children sit on a panel, and the frame is drawn by a button under them.
    TControlDef asPanel = def;
    asPanel.Text = {};
    HWND panel = Create(asPanel, parent, kPanelClass, WS_CLIPCHILDREN);
    Bind(peer, panel);
    peer.Brush = PeerOf(parent).Brush;
    const std::wstring text = WideOf(def.Text);
    peer.Frame = CreateWindowExW(
        0, L"BUTTON", text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX, 0, 0,
        Scale(def.Width), Scale(def.Height), panel, nullptr, instance_, nullptr);
    SendMessageW(peer.Frame, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SetWindowPos(peer.Frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  });
  return peer;
}
