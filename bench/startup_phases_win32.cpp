// SPDX-License-Identifier: MIT
// Where kolvane.exe's start-up goes, phase by phase, to set beside the fair
// floor's (same_controls_win32 --phases); bench/startup-wine.sh --phases
// prints both. The program's own start-up calls, in the program's order, each
// followed by the milliseconds since the process was created.

#include <windows.h>

#include <cstdio>
#include <memory>

#include "app/EntryPoint.h"
#include "app/Platform.h"
#include "bench/Win32StartupProbe.h"
#include "ui/Main.h"
#include "ui/win32/Win32Shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
  startup_probe::Phase("entry");
  std::unique_ptr<TPlatform> platform = MakeNativePlatform();
  TWin32Shell shell(instance, *platform);
  CommandLine = commandLine;
  shell.Initialize();
  startup_probe::Phase("common controls, window classes");
  shell.SetTitle(u"Kolvane");
  shell.CreateMainForm();
  startup_probe::Phase("window, folders, settings file, texts");
  shell.Form()->UserShown();
  startup_probe::Phase("first show: boxes, calculation, results");
  HWND window = shell.Window().MainWindow();
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  startup_probe::Phase("on the screen, painted");
  return 0;
}
