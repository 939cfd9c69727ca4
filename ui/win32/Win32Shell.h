// SPDX-License-Identifier: MIT
#pragma once
// The Win32 application object behind the toolkit-independent entry point:
// creates the main window through the Win32 peers, runs the message loop,
// and shows the message boxes and the exception display.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/EntryPoint.h"
#include "app/Platform.h"
#include "ui/Controls.h"
#include "ui/Main.h"
#include "ui/win32/Win32Toolkit.h"

class TWin32Shell : public TApplicationShell, public TApplicationServices {
 public:
  TWin32Shell(HINSTANCE instance, TPlatform& platform);
  ~TWin32Shell() override;
  TWin32Shell(const TWin32Shell&) = delete;
  TWin32Shell& operator=(const TWin32Shell&) = delete;

  void Initialize() override;
  void SetMainFormOnTaskBar(bool onTaskBar) override;
  void SetTitle(const std::u16string& title) override;
  void CreateMainForm() override;
  // Runs the main window's first show, shows the window, then the message loop until
  // the main window has closed.
  void Run() override;
  // MessageBoxW with MB_ICONERROR | MB_OK, the application title as caption.
  void ShowException(const std::u16string& text) override;
  // MessageBoxW with one OK button, modal to the main window.
  int ShowMessageBox(const std::u16string& text, const std::u16string& caption, int flags) override;

  // Runs the main window's first show, then shows it (Run does this first).
  void ShowMainForm();
  TWin32Toolkit& Window() { return *window_; }
  TFO_Main* Form() const { return form_.get(); }

  // Runs once the main window's first show has run, before the message loop.
  std::function<void(HWND window)> AfterShow;

 private:
  HINSTANCE instance_;
  TPlatform& platform_;
  std::u16string title_;
  std::unique_ptr<TWin32Toolkit> window_;
  std::unique_ptr<TFO_Main> form_;
};
