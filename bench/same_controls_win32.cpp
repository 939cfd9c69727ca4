// SPDX-License-Identifier: MIT
// The start-up benchmark's fair floor for kolvane.exe (bench/startup-wine.sh):
// exactly what the program's first show puts on the screen, made the
// plainest way Win32 allows. The program's manifest, resources and font, the
// shell's folder lookup, the tab control with its three tabs and the
// stroke-rate page's controls (labels, boxes, panels, check box, logo) made
// from the window definition's table, filled with fixed texts, the focus in
// the first box. No window logic, no settings file, no registry, no
// calculation: what kolvane.exe takes beyond this is its own work.

#include <windows.h>
// After <windows.h>.
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <string_view>

#include "bench/Win32StartupProbe.h"
#include "ui/WindowDef.h"

namespace {

constexpr wchar_t kMainClass[] = L"FloorMain";
constexpr wchar_t kPanelClass[] = L"FloorPanel";
constexpr wchar_t kImageClass[] = L"FloorImage";

// What the first show writes on the stroke-rate page, in German.
struct TText {
  std::string_view Control;
  const wchar_t* Text;
};
constexpr TText kTexts[] = {
    {"LB_FeedLen1", L"Vorschub-Strecke"},
    {"LB_ApertAngle1", L"\u00D6ffnungswinkel"},
    {"LB_DesStrkRate", L"Gew\u00FCnschte Hubzahl"},
    {"LB_SpeedE", L"Geschwindigkeit (Dreieck)"},
    {"LB_Accel1", L"Beschleunigung (Spitzenwert)"},
    {"LB_MaxSpeed1", L"Max. Geschwindigkeit (P240)"},
    {"LB_MaxAccel", L"Max. Beschleunigung (P241)"},
    {"LB_DampTim1", L"Beruhigungszeit (P242)"},
    {"CH_SinQramps", L"Sin\u00B2-Rampen (P56)"},
    {"ED_WayE", L"10.00"},
    {"ED_AngleE", L"180"},
    {"ED_HZin", L"100"},
    {"ED_SpeedE", L"4.2"},
    {"ED_AccelE", L"0.75"},
    {"ED_MaxSpeedE", L"80"},
    {"ED_MaxAccel", L"50"},
    {"ED_RuheZeitE", L"0.010"},
};
constexpr const wchar_t* kTabs[] = {L"Hubzahl-Programmierung", L"Vorschubzeiten", L"Optionen"};

int Dpi = 96;
int Scale(int pixels) {
  return MulDiv(pixels, Dpi, 96);
}

std::wstring TextOf(const TControlDef& def) {
  for (const TText& text : kTexts) {
    if (text.Control == def.Name) {
      return text.Text;
    }
  }
  return std::wstring(def.Text.begin(), def.Text.end());
}

COLORREF ColourOf(TColor colour) {
  return colour.IsSystem() ? GetSysColor(colour.SystemIndex())
                           : RGB(colour.Red(), colour.Green(), colour.Blue());
}

// Labels show their container's background; boxes are white.
LRESULT ControlColour(UINT message, HDC dc, HWND control) {
  if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) {
    wchar_t kind[8] = {};
    GetClassNameW(control, kind, 8);
    if (lstrcmpiW(kind, L"Edit") == 0) {
      SetBkColor(dc, GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
  }
  SetBkMode(dc, TRANSPARENT);
  for (HWND container = GetParent(control); container != nullptr;
       container = GetParent(container)) {
    if (auto brush = reinterpret_cast<HBRUSH>(GetWindowLongPtrW(container, GWLP_USERDATA))) {
      return reinterpret_cast<LRESULT>(brush);
    }
  }
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

bool IsColourRequest(UINT message) {
  return message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN;
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsColourRequest(message)) {
    return ControlColour(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsColourRequest(message)) {
    return ControlColour(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
  }
  if (message == WM_ERASEBKGND) {
    RECT area;
    GetClientRect(window, &area);
    FillRect(reinterpret_cast<HDC>(wParam), &area,
             reinterpret_cast<HBRUSH>(GetWindowLongPtrW(window, GWLP_USERDATA)));
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The logo, scaled to the screen once, drawn without its corner colour.
HBITMAP Logo = nullptr;
SIZE LogoSize{};
COLORREF LogoKey = 0;

void LoadLogo(HINSTANCE instance) {
  auto original = static_cast<HBITMAP>(
      LoadImageW(instance, L"IM_LogoDVK", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP info{};
  GetObjectW(original, sizeof info, &info);
  LogoSize = {Scale(info.bmWidth), Scale(info.bmHeight)};
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen);
  HDC to = CreateCompatibleDC(screen);
  Logo = CreateCompatibleBitmap(screen, LogoSize.cx, LogoSize.cy);
  HGDIOBJ oldFrom = SelectObject(from, original);
  HGDIOBJ oldTo = SelectObject(to, Logo);
  LogoKey = GetPixel(from, 0, info.bmHeight - 1);
  SetStretchBltMode(to, HALFTONE);
  StretchBlt(to, 0, 0, LogoSize.cx, LogoSize.cy, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  ReleaseDC(nullptr, screen);
  DeleteObject(original);
}

LRESULT CALLBACK ImageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, Logo);
    TransparentBlt(dc, 0, 0, LogoSize.cx, LogoSize.cy, memory, 0, 0, LogoSize.cx, LogoSize.cy,
                   LogoKey);
    SelectObject(memory, old);
    DeleteDC(memory);
    EndPaint(window, &paint);
    return 0;
  }
  if (message == WM_ERASEBKGND) {
    RECT area;
    GetClientRect(window, &area);
    FillRect(reinterpret_cast<HDC>(wParam), &area,
             reinterpret_cast<HBRUSH>(
                 ControlColour(WM_CTLCOLORSTATIC, reinterpret_cast<HDC>(wParam), window)));
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void Register(HINSTANCE instance, const wchar_t* name, WNDPROC proc, HBRUSH background) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  windowClass.hIcon = LoadIconW(instance, L"MAINICON");
  RegisterClassExW(&windowClass);
}

HWND Make(HINSTANCE instance, HWND parent, HFONT font, const wchar_t* kind, const wchar_t* text,
          const TControlDef& def, DWORD style, DWORD exStyle = 0) {
  HWND control = CreateWindowExW(
      exStyle, kind, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, Scale(def.Left),
      Scale(def.Top), Scale(def.Width), Scale(def.Height), parent, nullptr, instance, nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

// A label as wide as its text in the font in use.
void FitLabel(HWND label, HFONT font, const std::wstring& text) {
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  RECT area;
  GetClientRect(label, &area);
  SetWindowPos(label, nullptr, 0, 0, size.cx > area.right ? size.cx : area.right, area.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool OnStrokeRatePage(std::string_view parent) {
  return parent == "TS_HzP" || parent == "PL_Out" || parent == "PL_Limits";
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
  // With --phases: where the time goes, as startup_phases_win32 tells it of
  // the program, instead of the first show's total.
  const bool phases = std::string_view(commandLine).find("--phases") != std::string_view::npos;
  const auto phase = [phases](const char* ended) {
    if (phases) {
      startup_probe::Phase(ended);
    }
  };
  phase("entry");
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  char folder[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, folder, CSIDL_COMMON_APPDATA, FALSE);
  HDC screen = GetDC(nullptr);
  Dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  Register(instance, kMainClass, MainProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  Register(instance, kPanelClass, PanelProc, nullptr);
  Register(instance, kImageClass, ImageProc, nullptr);

  LOGFONTW look{};
  look.lfHeight = -Scale(12);
  look.lfWeight = FW_NORMAL;
  look.lfCharSet = ANSI_CHARSET;
  look.lfQuality = CLEARTYPE_QUALITY;
  lstrcpyW(look.lfFaceName, L"Segoe UI");
  HFONT font = CreateFontIndirectW(&look);
  phase("common controls, shell folder, window classes, font");

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT frame{0, 0, Scale(MainFormDef.ClientWidth), Scale(MainFormDef.ClientHeight)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const std::wstring caption(MainFormDef.Caption.begin(), MainFormDef.Caption.end());
  HWND window = CreateWindowExW(0, kMainClass, caption.c_str(), style,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                                nullptr, nullptr, instance, nullptr);
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  const TControlDef& pagesDef = *FindControlDef(MainWindowControls(), "PC_Main");
  HWND tabs = Make(instance, window, font, WC_TABCONTROLW, L"", pagesDef, WS_TABSTOP);
  for (int page = 0; page < 3; ++page) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(kTabs[page]);
    SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item));
  }
  RECT area;
  GetClientRect(tabs, &area);
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  MapWindowPoints(tabs, window, reinterpret_cast<POINT*>(&area), 2);
  HWND sheet = CreateWindowExW(
      0, kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, area.left,
      area.top, area.right - area.left, area.bottom - area.top, window, nullptr, instance, nullptr);
  SetWindowLongPtrW(sheet, GWLP_USERDATA,
                    reinterpret_cast<LONG_PTR>(GetSysColorBrush(COLOR_BTNFACE)));
  SetWindowPos(sheet, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  LoadLogo(instance);

  HWND panels[2] = {};
  HWND first = nullptr;
  for (const TControlDef& def : MainWindowControls()) {
    if (!OnStrokeRatePage(def.Parent)) {
      continue;
    }
    HWND parent = def.Parent == "TS_HzP" ? sheet : def.Parent == "PL_Out" ? panels[0] : panels[1];
    const std::wstring text = TextOf(def);
    switch (def.Kind) {
      case TControlKind::Label:
        FitLabel(Make(instance, parent, font, L"STATIC", text.c_str(), def,
                      SS_LEFTNOWORDWRAP | SS_NOPREFIX),
                 font, text);
        break;
      case TControlKind::Edit: {
        HWND box = Make(instance, parent, font, L"EDIT", text.c_str(), def,
                        WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
        first = first != nullptr ? first : box;
        break;
      }
      case TControlKind::Panel: {
        HWND panel =
            Make(instance, parent, font, kPanelClass, L"", def, WS_CLIPCHILDREN, WS_EX_STATICEDGE);
        SetWindowLongPtrW(panel, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(CreateSolidBrush(ColourOf(def.Color))));
        EnableWindow(panel, def.Enabled);
        panels[def.Name == "PL_Out" ? 0 : 1] = panel;
        break;
      }
      case TControlKind::CheckBox:
        SendMessageW(Make(instance, parent, font, L"BUTTON", text.c_str(), def,
                          WS_TABSTOP | BS_CHECKBOX | BS_NOTIFY),
                     BM_SETCHECK, BST_CHECKED, 0);
        break;
      case TControlKind::Image:
        // The one logo the page shows, where the program shows it.
        Make(instance, parent, font, kImageClass, L"", def, 0);
        break;
      default:
        break;
    }
  }
  phase("window, tabs, the page's controls");
  ShowWindow(window, SW_SHOW);
  SetFocus(first);
  if (phases) {
    UpdateWindow(window);
    phase("on the screen, painted");
    return 0;
  }
  startup_probe::ReportAndQuit(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
