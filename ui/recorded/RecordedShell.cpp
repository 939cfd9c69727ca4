// SPDX-License-Identifier: MIT
#include "ui/recorded/RecordedShell.h"

TRecordedShell::~TRecordedShell() = default;

void TRecordedShell::Initialize() {
  Calls.push_back("Initialize");
}

void TRecordedShell::SetMainFormOnTaskBar(bool onTaskBar) {
  Calls.push_back("SetMainFormOnTaskBar");
  MainFormOnTaskBar = onTaskBar;
}

void TRecordedShell::SetTitle(const std::u16string& title) {
  Calls.push_back("SetTitle");
  Title = title;
}

void TRecordedShell::CreateMainForm() {
  Calls.push_back("CreateMainForm");
  Form = std::make_unique<TFO_Main>(Services, Window, platform_);
  Services.Form = Form.get();
}

void TRecordedShell::Run() {
  Calls.push_back("Run");
  TUserDriver user(*Form, Window);
  user.Show();
  Shown = true;
  if (Session) {
    Session(*Form, user);
  }
  Closed = user.HasClosed() || user.Close();
}

void TRecordedShell::ShowException(const std::u16string& text) {
  Calls.push_back("ShowException");
  Services.ShowException(text);
}
