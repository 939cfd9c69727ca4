// The kolvane program on Windows: the entry point on the Win32 application
// object.

#include <windows.h>

#include <memory>

#include "app/EntryPoint.h"
#include "app/Platform.h"
#include "ui/win32/Win32Shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
  std::unique_ptr<TPlatform> platform = MakeNativePlatform();
  TWin32Shell shell(instance, *platform);
  // The command-line text behind the program name, in the ANSI code page.
  return RunProgram(shell, commandLine != nullptr ? commandLine : "");
}
