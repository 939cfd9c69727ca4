// SPDX-License-Identifier: MIT
#pragma once
// The browser's application object behind the toolkit-independent entry
// point: builds the main window through the DOM peers, shows it, and shows
// the message boxes and the exception display as the page's modal dialog.
// The browser's own event loop is the message loop: Run returns once the
// window is shown, and the page's script reports the user's actions from
// then on.

#include <memory>
#include <string>

#include "app/EntryPoint.h"
#include "app/Platform.h"
#include "ui/Controls.h"
#include "ui/Main.h"
#include "ui/web/WebToolkit.h"

class TWebShell : public TApplicationShell, public TApplicationServices {
 public:
  explicit TWebShell(TPlatform& platform) : platform_(platform) {}
  ~TWebShell() override;
  TWebShell(const TWebShell&) = delete;
  TWebShell& operator=(const TWebShell&) = delete;

  void Initialize() override {}
  void SetMainFormOnTaskBar(bool /*onTaskBar*/) override {}
  // Kept for the exception display's caption; the page's title is the
  // window's caption.
  void SetTitle(const std::u16string& title) override { title_ = title; }
  void CreateMainForm() override;
  // Shows the window and runs its first show.
  void Run() override;
  void ShowException(const std::u16string& text) override;
  int ShowMessageBox(const std::u16string& text, const std::u16string& caption, int flags) override;

  TFO_Main* Form() const { return form_.get(); }
  TWebToolkit& Window() { return window_; }

 private:
  // While a box is open the logic waits in the middle of its work, and the
  // page cannot run the window's close if it is hidden meanwhile: the
  // settings file is written before the box opens, for the page to keep.
  void SaveBeforeBox() const;

  TPlatform& platform_;
  std::u16string title_;
  TWebToolkit window_;
  std::unique_ptr<TFO_Main> form_;
};
