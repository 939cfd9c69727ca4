// SPDX-License-Identifier: MIT
#pragma once
// The application object of the headless toolkit: runs the program through
// the entry point with recorded peers, and lets a test act as the user
// between the window's first show and its close.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/EntryPoint.h"
#include "app/Platform.h"
#include "ui/Main.h"
#include "ui/recorded/RecordedToolkit.h"

class TRecordedShell : public TApplicationShell {
 public:
  explicit TRecordedShell(TPlatform& platform) : platform_(platform) {}
  ~TRecordedShell() override;

  TRecordedToolkit Window;
  TRecordedApplication Services;  // message boxes and exception displays
  std::unique_ptr<TFO_Main> Form;

  // What the user does between the first show and the close; the window is
  // closed afterwards unless the session already closed it.
  std::function<void(TFO_Main& form, TUserDriver& user)> Session;

  // What the entry point did, in order ("Initialize", "SetTitle", ...).
  std::vector<std::string> Calls;
  std::u16string Title;
  bool MainFormOnTaskBar = false;
  bool Shown = false;
  bool Closed = false;

  void Initialize() override;
  void SetMainFormOnTaskBar(bool onTaskBar) override;
  void SetTitle(const std::u16string& title) override;
  void CreateMainForm() override;
  void Run() override;
  void ShowException(const std::u16string& text) override;

 private:
  TPlatform& platform_;
};
