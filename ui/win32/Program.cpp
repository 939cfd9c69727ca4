// SPDX-License-Identifier: MIT
#include "ui/win32/Program.h"

#include <memory>
#include <utility>

#include "app/EntryPoint.h"
#include "app/Platform.h"
#include "ui/win32/Win32Shell.h"

int RunWin32Program(HINSTANCE instance, const char* commandLine,
                    std::function<void(HWND window)> afterShow) {
  std::unique_ptr<TPlatform> platform = MakeNativePlatform();
  TWin32Shell shell(instance, *platform);
  shell.AfterShow = std::move(afterShow);
  return RunProgram(shell, commandLine != nullptr ? commandLine : "");
}
