#pragma once
// The native Win32 toolkit for the window logic: a peer factory that builds
// one Windows control per control of the window definition, at the
// definition's place and size scaled to the screen's dots per inch, with its
// colours, texts and the window's font.
//
// The controls report what the user does (see ui/Controls.h) and nothing
// else; every event rule lives in the controls. How Windows' messages map
// onto those reports:
// - Focus: EN_SETFOCUS, BN_SETFOCUS and CBN_SETFOCUS report UserFocused,
//   except while the adapter itself moves the focus; the exits come from the
//   form's logical focus, never from a kill-focus message. After a message
//   box, WM_ACTIVATE gives the focus back to the logical focus.
// - Tab, Shift+Tab and Ctrl+Tab are taken out of the message loop and go
//   where the form's tab order and pages say.
// - A tab click or an arrow key on the tabs does not change the page by
//   itself: the page control's peer shows the page the logic chooses.
// - Enter in a box: WM_KEYDOWN VK_RETURN is the key-down; the WM_CHAR '\r'
//   that follows is swallowed and the box's text selected.
// - The check box never toggles itself (BS_CHECKBOX): BN_CLICKED toggles
//   it when the form allows, then reports the toggle.
// - The combo box reports CBN_SELCHANGE (after showing the picked item's
//   text) and CBN_EDITCHANGE.
// - Containers (pages, panels, the group box) pass WM_COMMAND, WM_NOTIFY and
//   WM_CTLCOLOR* on to the main window, also while disabled.

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "ui/PeerFactory.h"

class TForm;

class TWin32Window : public TPeerFactory {
 public:
  explicit TWin32Window(HINSTANCE instance);
  ~TWin32Window() override;
  TWin32Window(const TWin32Window&) = delete;
  TWin32Window& operator=(const TWin32Window&) = delete;

  // The main window; null before MakeForm.
  HWND MainWindow() const { return main_; }
  // The control of that name (the tab control for a page control, the panel
  // of a tab sheet); null when there is none.
  HWND Handle(std::string_view name) const;
  // The name of the control whose window that is; empty for none.
  std::string NameOf(HWND window) const;
  // The form the controls report to, once it is complete.
  void SetForm(TForm* form) { form_ = form; }
  TForm* Form() const { return form_; }

  // Takes the window's keys out of a message before it is dispatched (Tab,
  // Shift+Tab, Ctrl+Tab); true when the message was used up.
  bool PreTranslate(const MSG& message);

  // Pixels at 96 dpi to pixels on this screen.
  int Scale(int pixels) const;
  int Dpi() const { return dpi_; }

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

  // Internal to the adapter: the shared state its peers and window
  // procedures use.
  struct TState;

 private:
  HWND Create(const TControlDef& def, TPeer& parent, const wchar_t* windowClass, DWORD style,
              DWORD exStyle = 0);

  HINSTANCE instance_;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  HWND main_ = nullptr;
  TForm* form_ = nullptr;
  std::map<std::string, HWND, std::less<>> handles_;
  std::unique_ptr<TState> state_;
};
