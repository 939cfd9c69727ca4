// SPDX-License-Identifier: MIT
#pragma once
// The kolvane program on the Win32 application object: the entry point with
// the native platform and the process's command line.

#include <windows.h>

#include <functional>

// Runs the program and returns its exit code. `commandLine` is the text
// behind the program name, in the ANSI code page, as WinMain is given it.
// `afterShow`, when given, runs once the main window's first show has run,
// before the message loop.
int RunWin32Program(HINSTANCE instance, const char* commandLine,
                    std::function<void(HWND window)> afterShow = {});
