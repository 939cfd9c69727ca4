// SPDX-License-Identifier: MIT
// Saves pictures of the Win32 window, for a look by eye: every page in both
// languages, and the stroke-rate page with a broken drive limit. Run by
// scripts/screenshots-wine.sh under Wine on a virtual display, at the dpi
// the prefix's registry gives.
// Usage: kolvane_screenshots_win32.exe <output folder, a Windows path>

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/Platform.h"
#include "ui/Main.h"
#include "ui/win32/Win32Shell.h"

namespace {

void Settle(TWin32Toolkit& window) {
  for (int round = 0; round < 5; ++round) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (!window.PreTranslate(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    RedrawWindow(window.MainWindow(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    Sleep(50);
  }
}

// The window's client area, as it is on the screen, into a 24-bit BMP file.
bool Save(HWND window, const std::wstring& path) {
  RECT area;
  GetClientRect(window, &area);
  const int width = area.right;
  const int height = area.bottom;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, picture);
  HDC source = GetDC(window);
  BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  ReleaseDC(window, source);
  SelectObject(memory, old);
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info.bmiHeader;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(stride * height);
  bool saved = false;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    saved = WriteFile(file, &header, sizeof header, &written, nullptr) &&
            WriteFile(file, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr) &&
            WriteFile(file, bits, static_cast<DWORD>(stride * height), &written, nullptr);
    CloseHandle(file);
  }
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  std::printf("%s %ls\n", saved ? "wrote" : "FAILED", path.c_str());
  return saved;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: kolvane_screenshots_win32 <output folder>\n");
    return 2;
  }
  const std::wstring folder = argv[1];
  CreateDirectoryW(folder.c_str(), nullptr);
  std::unique_ptr<TPlatform> platform = MakeNativePlatform();
  TWin32Shell shell(GetModuleHandleW(nullptr), *platform);
  shell.Initialize();
  shell.SetTitle(u"Kolvane");
  shell.CreateMainForm();
  shell.ShowMainForm();
  TWin32Toolkit& window = shell.Window();
  TFO_Main& form = *shell.Form();
  Settle(window);

  bool ok = true;
  const wchar_t* names[] = {L"de", L"en"};
  for (int language = 0; language < 2; ++language) {
    // As the user picks it: the options page first, then the item.
    form.PC_Main->UserSelectedPage(form.PC_Main->Page(2));
    form.CB_Language->SetItemIndex(language);
    form.CB_Language->UserChanged();
    for (int page = 0; page < 3; ++page) {
      form.PC_Main->UserSelectedPage(form.PC_Main->Page(page));
      Settle(window);
      ok = Save(window.MainWindow(), folder + L"\\" + names[language] + L"-page" +
                                         std::to_wstring(page + 1) + L".bmp") &&
           ok;
    }
  }
  // A broken drive limit: the results turn light red.
  form.PC_Main->UserSelectedPage(form.PC_Main->Page(0));
  form.Control<TEdit>("ED_MaxAccel").SetText(u"0.1");
  form.AcceptInputs();
  Settle(window);
  ok = Save(window.MainWindow(), folder + L"\\en-limit.bmp") && ok;
  return ok ? 0 : 1;
}
