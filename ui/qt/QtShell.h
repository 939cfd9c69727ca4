// SPDX-License-Identifier: MIT
#pragma once
// The Qt application object behind the toolkit-independent entry point:
// creates the QApplication, the main window through the Qt peers, runs the
// message loop, and shows the message boxes and the exception display.

#include <QApplication>
#include <functional>
#include <memory>
#include <string>

#include "app/EntryPoint.h"
#include "app/Platform.h"
#include "ui/Controls.h"
#include "ui/Main.h"
#include "ui/qt/QtToolkit.h"

class TQtShell : public TApplicationShell, public TApplicationServices {
 public:
  // argc and argv must outlive the shell (QApplication keeps them).
  TQtShell(int& argc, char** argv, TPlatform& platform);
  ~TQtShell() override;
  TQtShell(const TQtShell&) = delete;
  TQtShell& operator=(const TQtShell&) = delete;

  // Application object. Initialize uses a QApplication that already exists
  // (a test's) instead of making a second one.
  void Initialize() override;
  void SetMainFormOnTaskBar(bool onTaskBar) override;
  void SetTitle(const std::u16string& title) override;
  void CreateMainForm() override;
  // ShowMainForm, then the message loop until the main window has closed.
  void Run() override;
  // The exception display: error icon, OK, the application title as caption.
  void ShowException(const std::u16string& text) override;

  // Window services: a modal box with one OK button and no icon (flags 0,
  // the only ones the window uses); returns the OK button's id, 1.
  int ShowMessageBox(const std::u16string& text, const std::u16string& caption, int flags) override;

  // Shows the main window; its first show runs the window's full show.
  void ShowMainForm();

  TFO_Main* Form() const { return form_.get(); }
  TQtToolkit& Window() { return window_; }
  const std::u16string& Title() const { return title_; }

  // Runs once the main window has been shown by Run, before the message loop.
  std::function<void(QWidget& window)> AfterShow;

 private:
  // A modal box leaves the main window inactive until the window manager
  // gets round to it (never, without one); the logic's next set-focus must
  // reach the widget now.
  void RestoreActivation() const;

  int& argc_;
  char** argv_;
  TPlatform& platform_;
  std::u16string title_;
  std::unique_ptr<QApplication> application_;
  TQtToolkit window_;
  std::unique_ptr<TFO_Main> form_;  // goes before the QApplication
};
