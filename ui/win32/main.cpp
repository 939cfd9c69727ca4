// SPDX-License-Identifier: MIT
// The kolvane program on Windows.

#include <windows.h>

#include "ui/win32/Program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
  return RunWin32Program(instance, commandLine);
}
