// SPDX-License-Identifier: MIT
// kolvane.exe as the start-up benchmark runs it (bench/startup-wine.sh): it
// reports and quits once its first full show is on the screen.

#include <windows.h>

#include "bench/Win32StartupProbe.h"
#include "ui/win32/Program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
  return RunWin32Program(instance, commandLine,
                         [](HWND window) { startup_probe::ReportAndQuit(window); });
}
