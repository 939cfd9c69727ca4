// SPDX-License-Identifier: MIT
// The start-up benchmark's yardstick: a bare Win32 window of the main
// window's size, style and font, built the same way as kolvane.exe.
// Built with KOLVANE_BARE_WITH_SYSTEM_LIBRARIES (and the program's manifest)
// it is the second yardstick: before its window it also brings in what any
// start-up of the program must, the common controls 6 and the shell's
// folder lookup, so that only the program's own work counts against it.

#include <windows.h>

#include "bench/Win32StartupProbe.h"

#ifdef KOLVANE_BARE_WITH_SYSTEM_LIBRARIES
// After <windows.h>.
#include <commctrl.h>
#include <shlobj.h>
#endif

namespace {

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
#ifdef KOLVANE_BARE_WITH_SYSTEM_LIBRARIES
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  char folder[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, folder, CSIDL_COMMON_APPDATA, FALSE);
#endif
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Proc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"BareWindow";
  RegisterClassExW(&windowClass);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, MulDiv(384, dpi, 96), MulDiv(326, dpi, 96)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  HWND window = CreateWindowExW(0, L"BareWindow", L"Bare window", style, CW_USEDEFAULT,
                                CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, instance, nullptr);
  HFONT font = CreateFontW(-MulDiv(12, dpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, L"Segoe UI");
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ShowWindow(window, SW_SHOW);
  startup_probe::ReportAndQuit(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchMessageW(&message);
  }
  return 0;
}
