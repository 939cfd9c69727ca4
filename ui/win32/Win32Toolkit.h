// SPDX-License-Identifier: MIT
#pragma once
// The native Win32 toolkit for the window logic: a peer factory that builds
// one Windows control per control of the window definition, scaled to the
// screen's dots per inch. How Windows' messages map onto the controls' user
// reports, and why a page's controls wait for its first show:
// docs/architecture.md, "Peers of each front end".

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/PeerFactory.h"

class TForm;
class TAnnotations;

class TWin32Toolkit : public TPeerFactory {
 public:
  explicit TWin32Toolkit(HINSTANCE instance);
  ~TWin32Toolkit() override;
  TWin32Toolkit(const TWin32Toolkit&) = delete;
  TWin32Toolkit& operator=(const TWin32Toolkit&) = delete;

  // The main window; null before MakeForm.
  HWND MainWindow() const { return main_; }
  // The control of that name (the tab control for a page control, the panel
  // of a tab sheet); null when there is none. A control whose page has not
  // been shown yet is built, with the rest of its page, when asked for.
  HWND Handle(std::string_view name);
  // The name of the control whose window that is; empty for none.
  std::string NameOf(HWND window) const;
  // The form the controls report to, once it is complete.
  void SetForm(TForm* form) { form_ = form; }
  TForm* Form() const { return form_; }

  // Takes the window's keys out of a message before it is dispatched (Tab,
  // Shift+Tab, Ctrl+Tab); true when the message was used up.
  bool PreTranslate(const MSG& message);

  // Builds the controls still waiting for that page's first show.
  void BuildPage(HWND sheet);
  // Builds the waiting pages that are to show once the window does.
  void BuildShownPages();
  // Forgets the builds still waiting: their peers are going.
  void DropWaitingBuilds();
  // Makes the window of an image that is first to be seen.
  void MakeImageWindow(const TControlDef& def, TPeer& parent, TPeer& peer);

  // What makes the service that hands screen readers the controls' names and
  // descriptions, once one first asks (by default the system's, see
  // Win32Annotations.h).
  void SetAnnotations(std::function<std::unique_ptr<TAnnotations>()> make);

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
  // Runs `build` now, or at the first show of the page that `parent` lies
  // on when that page has not been shown yet.
  void BuildWhenShown(std::string_view name, TPeer& parent, TPeer& peer,
                      std::function<void()> build);

  HINSTANCE instance_;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  HWND main_ = nullptr;
  TForm* form_ = nullptr;
  std::map<std::string, HWND, std::less<>> handles_;
  // The pages not shown yet, each with the builds waiting for it in the
  // order the controls were made (a container before what it holds), and
  // which page each waiting control's name belongs to.
  std::map<HWND, std::vector<std::function<void()>>> waitingPages_;
  std::map<std::string, HWND, std::less<>> waitingNames_;
  // The images, whose windows wait until they are first to be seen.
  std::vector<TPeer*> images_;
  std::unique_ptr<TState> state_;
};
