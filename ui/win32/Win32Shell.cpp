// SPDX-License-Identifier: MIT
#include "ui/win32/Win32Shell.h"

#include <commctrl.h>

#include "app/PlatformWindows.h"

namespace {

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The main window, for the shell's folder lookup during construction.
TWin32Toolkit* CurrentWindow = nullptr;

HWND MainWindowHandle() {
  return CurrentWindow != nullptr ? CurrentWindow->MainWindow() : nullptr;
}

}  // namespace

TWin32Shell::TWin32Shell(HINSTANCE instance, TPlatform& platform)
    : instance_(instance), platform_(platform) {}

TWin32Shell::~TWin32Shell() {
  form_.reset();
  CurrentWindow = nullptr;
}

void TWin32Shell::Initialize() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  window_ = std::make_unique<TWin32Toolkit>(instance_);
  CurrentWindow = window_.get();
  SetShellOwnerWindow(MainWindowHandle);
}

void TWin32Shell::SetMainFormOnTaskBar(bool /*onTaskBar*/) {
  // The main window has no owner, so it has a task-bar button of its own.
}

void TWin32Shell::SetTitle(const std::u16string& title) {
  title_ = title;
}

void TWin32Shell::CreateMainForm() {
  form_ = std::make_unique<TFO_Main>(*this, *window_, platform_);
  window_->SetForm(form_.get());
}

void TWin32Shell::ShowMainForm() {
  HWND main = window_->MainWindow();
  if (main == nullptr || form_ == nullptr) {
    return;
  }
  // The show handler first, as Qt runs it before its window is mapped: the
  // window then comes up with its boxes filled, painted once.
  form_->UserShown();
  ShowWindow(main, SW_SHOW);
  UpdateWindow(main);
}

void TWin32Shell::Run() {
  HWND main = window_->MainWindow();
  if (main == nullptr || form_ == nullptr) {
    return;
  }
  ShowMainForm();
  if (AfterShow) {
    AfterShow(main);
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!window_->PreTranslate(message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

void TWin32Shell::ShowException(const std::u16string& text) {
  HWND main = window_ != nullptr ? window_->MainWindow() : nullptr;
  HWND owner = main != nullptr && IsWindowVisible(main) ? main : nullptr;
  MessageBoxW(owner, Wide(text), Wide(title_), MB_ICONERROR | MB_OK);
}

int TWin32Shell::ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                                int flags) {
  return MessageBoxW(window_->MainWindow(), Wide(text), Wide(caption),
                     MB_OK | static_cast<UINT>(flags));
}
