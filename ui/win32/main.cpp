// The kolvane program on Windows: the entry point on the Win32 application
// object.

#include <windows.h>

#include <memory>

#include "app/EntryPoint.h"
#include "app/Platform.h"
#include "ui/win32/Win32Shell.h"

#ifdef KOLVANE_STARTUP_PROBE
#include "bench/Win32StartupProbe.h"
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
  std::unique_ptr<TPlatform> platform = MakeNativePlatform();
  TWin32Shell shell(instance, *platform);
#ifdef KOLVANE_STARTUP_PROBE
  // The start-up benchmark's build: report and quit once the first full show
  // is on the screen.
  shell.AfterShow = [](HWND window) { startup_probe::ReportAndQuit(window); };
#endif
  // The command-line text behind the program name, in the ANSI code page.
  return RunProgram(shell, commandLine != nullptr ? commandLine : "");
}
