// SPDX-License-Identifier: MIT
// The user stories on the real Win32 controls, under Wine on a virtual
// display: the messages a user's keys and clicks produce are posted to the
// control that would get them and dispatched by a message loop like the
// program's; what the window shows is read off the controls.

#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>.
#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/TextCodec.h"
#include "tests/support/Scenarios.h"
#include "tests/support/StoryHome.h"
#include "tests/support/UserActions.h"
#include "ui/Main.h"
#include "ui/WindowDef.h"
#include "ui/win32/Win32Annotations.h"
#include "ui/win32/Win32Shell.h"

namespace {

std::u16string TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
  const int got = GetWindowTextW(window, text.data(), length + 1);
  return std::u16string(text.begin(), text.begin() + got);
}

std::string LogicalFocus() {
  return FO_Main != nullptr && FO_Main->ActiveControl() != nullptr
             ? FO_Main->ActiveControl()->Name()
             : std::string();
}

class TWin32User;
TWin32User* CurrentUser = nullptr;

class TWin32User : public TUserActions {
 public:
  TWin32User() { CurrentUser = this; }
  ~TWin32User() override {
    Shut();
    CurrentUser = nullptr;
  }

  void Open(std::string_view settings) override {
    Shut();
    home_.Prepare(settings, u"kolvane.exe");
    shell_ = std::make_unique<TWin32Shell>(GetModuleHandleW(nullptr), home_.Platform());
    shell_->Initialize();
    shell_->SetTitle(u"Kolvane");
    shell_->CreateMainForm();
    // Every message box that opens is read and answered with OK.
    hook_ = SetWindowsHookExW(WH_CBT, BoxHook, nullptr, GetCurrentThreadId());
    if (BeforeShow) {
      BeforeShow();
    }
    shell_->ShowMainForm();
    Pump();
  }

  void Click(std::string_view control) override {
    HWND target = Handle(control);
    if (HWND edit = FindWindowExW(target, nullptr, L"Edit", nullptr)) {
      target = edit;  // the combo box's own edit takes the click
    }
    RECT area;
    GetClientRect(target, &area);
    const LPARAM at = MAKELPARAM(area.right / 2, area.bottom / 2);
    Post(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Post(target, WM_LBUTTONUP, 0, at);
  }
  // The second click of a double click comes as WM_LBUTTONDBLCLK.
  void DoubleClick(std::string_view control) override {
    HWND target = Handle(control);
    RECT area;
    GetClientRect(target, &area);
    const LPARAM at = MAKELPARAM(area.right / 2, area.bottom / 2);
    Post(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Post(target, WM_LBUTTONUP, 0, at);
    Post(target, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    Post(target, WM_LBUTTONUP, 0, at);
  }
  void Type(std::u16string_view text) override {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr) << "no box has the focus";
    SendMessageW(focus, EM_SETSEL, 0, -1);
    for (char16_t ch : text) {
      const WPARAM key = LOBYTE(VkKeyScanW(static_cast<wchar_t>(ch)));
      Post(focus, WM_KEYDOWN, key, 1);
      Post(focus, WM_CHAR, ch, 1);
      Post(focus, WM_KEYUP, key, 0xC0000001);
    }
  }
  void PutText(std::string_view box, std::u16string_view text) override {
    SetWindowTextW(Handle(box), std::wstring(text.begin(), text.end()).c_str());
  }
  void PressEnter() override { Key(VK_RETURN, u'\r'); }
  void PressTab() override { Key(VK_TAB, 0); }
  void PressShiftTab() override { Key(VK_TAB, 0, true); }
  void PressSpace() override { Key(VK_SPACE, u' '); }
  void PressBackspace() override { Key(VK_BACK, u'\b'); }
  void PressCtrlTab() override { Key(VK_TAB, 0, false, true); }
  void PressCtrlShiftTab() override { Key(VK_TAB, 0, true, true); }
  void ClickTab(std::string_view page) override {
    HWND tabs = Handle("PC_Main");
    RECT tab;
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(PageIndex(page)),
                 reinterpret_cast<LPARAM>(&tab));
    const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    Post(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Post(tabs, WM_LBUTTONUP, 0, at);
  }
  // The arrow keys in the focused box, as many as it takes.
  void PickLanguage(int item) override {
    HWND combo = Handle("CB_Language");
    ASSERT_TRUE(GetFocus() == combo || GetParent(GetFocus()) == combo)
        << "the language box has no focus";
    int at = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    for (; at != item; at += at < item ? 1 : -1) {
      Key(at < item ? VK_DOWN : VK_UP, 0);
    }
  }
  bool Close() override {
    HWND main = shell_->Window().MainWindow();
    Post(main, WM_CLOSE, 0, 0);
    return !IsWindow(main);
  }

  std::u16string Text(std::string_view control) override {
    const TControlDef* def = FindControlDef(MainWindowControls(), control);
    if (def != nullptr && def->Kind == TControlKind::TabSheet) {
      wchar_t text[128] = {};
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = text;
      item.cchTextMax = 128;
      SendMessageW(Handle("PC_Main"), TCM_GETITEMW, static_cast<WPARAM>(def->TabOrder),
                   reinterpret_cast<LPARAM>(&item));
      return std::u16string(text, text + lstrlenW(text));
    }
    if (def != nullptr && def->Kind == TControlKind::GroupBox) {
      return TextOf(FindWindowExW(Handle(control), nullptr, L"Button", nullptr));
    }
    return TextOf(Handle(control));
  }
  bool WholeTextSelected(std::string_view box) override {
    DWORD start = 0;
    DWORD end = 0;
    HWND edit = Handle(box);
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto length = static_cast<DWORD>(GetWindowTextLengthW(edit));
    return length > 0 && start == 0 && end == length;
  }
  // The background the box asks its parent for when it paints.
  TColor Colour(std::string_view box) override {
    HWND edit = Handle(box);
    HDC dc = GetDC(edit);
    SendMessageW(GetParent(edit), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(edit));
    const COLORREF colour = GetBkColor(dc);
    ReleaseDC(edit, dc);
    return TColor::Rgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
  }
  bool Checked(std::string_view box) override {
    return SendMessageW(Handle(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  std::string KeyboardFocus() override {
    for (HWND window = GetFocus(); window != nullptr; window = GetParent(window)) {
      std::string name = shell_->Window().NameOf(window);
      if (!name.empty() && name != MainFormDef.Name) {
        return name;
      }
    }
    return {};
  }
  std::string Page() override {
    for (const TControlDef& def : MainWindowControls()) {
      if (def.Kind == TControlKind::TabSheet && IsWindowVisible(Handle(def.Name))) {
        return std::string(def.Name);
      }
    }
    return {};
  }
  // Whether the page's own controls exist yet; asks no control for its
  // window, which would build the page.
  // Runs at every Open once the window is built, before it is shown.
  std::function<void()> BeforeShow;
  TWin32Toolkit& Window() { return shell_->Window(); }
  TFO_Main& Form() { return *shell_->Form(); }
  HWND HandleOf(std::string_view name) { return Handle(name); }
  // Keys and messages as the user's reach the window, and the window's own
  // loop until nothing is left.
  void SendKey(WPARAM key, char16_t ch) { Key(key, ch); }
  void Flush() { Pump(); }

  bool PageBuilt(std::string_view page) {
    return FindWindowExW(shell_->Window().Handle(page), nullptr, nullptr, nullptr) != nullptr;
  }
  std::vector<TShownMessage> Messages() override { return seen_; }
  std::string SettingsFile() override { return home_.SettingsFile(); }

 private:
  HWND Handle(std::string_view name) {
    HWND window = shell_->Window().Handle(name);
    EXPECT_NE(window, nullptr) << name;
    return window;
  }
  int PageIndex(std::string_view page) {
    const TControlDef* def = FindControlDef(MainWindowControls(), page);
    return def != nullptr ? def->TabOrder : -1;
  }
  // A key as the keyboard delivers it to the focused control.
  void Key(WPARAM key, char16_t ch, bool shift = false, bool control = false) {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr) << "nothing has the keyboard focus";
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    Post(focus, WM_KEYDOWN, key, 1);
    if (ch != 0) {
      Post(focus, WM_CHAR, ch, 1);
    }
    Post(focus, WM_KEYUP, key, 0xC0000001);
    keys[VK_SHIFT] = 0;
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  }
  // One posted message, then the program's loop until nothing is left.
  void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageW(window, message, wParam, lParam);
    Pump();
  }
  void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        continue;
      }
      if (!shell_->Window().PreTranslate(message)) {
        DispatchMessageW(&message);
      }
    }
  }
  static LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && CurrentUser != nullptr) {
      HWND box = reinterpret_cast<HWND>(wParam);
      wchar_t name[16] = {};
      GetClassNameW(box, name, 16);
      if (std::wstring(name) == L"#32770") {
        CurrentUser->Seen(box);
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  void Seen(HWND box) {
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    const std::u16string shown(text, text + lstrlenW(text));
    const std::u16string caption = TextOf(box);
    seen_.push_back({caption, shown, LogicalFocus(), Page()});
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  void Shut() {
    if (hook_ != nullptr) {
      UnhookWindowsHookEx(hook_);
      hook_ = nullptr;
    }
    shell_.reset();
    seen_.clear();
  }

  TStoryHome home_;
  std::unique_ptr<TWin32Shell> shell_;
  HHOOK hook_ = nullptr;
  std::vector<TShownMessage> seen_;
};

class Win32UserStory : public ::testing::TestWithParam<TScenario> {};

TEST_P(Win32UserStory, ShowsWhatTheStoryExpects) {
  TWin32User user;
  RunScenario(GetParam(), user);
}

INSTANTIATE_TEST_SUITE_P(Stories, Win32UserStory, ::testing::ValuesIn(UserScenarios()),
                         ScenarioName);

// The start-up builds only the page on the screen; another page is built at
// its first show and shows what the program gave its controls meanwhile:
// the language's captions, the values, the chosen language item.
TEST(Win32Pages, APageBuiltAtItsFirstShowShowsWhatItWasGivenMeanwhile) {
  TWin32User user;
  user.Open("{900} lan = 1;\r\n{020} weg = 0.0250; [m]\r\n");
  EXPECT_TRUE(user.PageBuilt("TS_HzP"));
  EXPECT_FALSE(user.PageBuilt("TS_VZ")) << "the feed-timing page was built before its first show";
  EXPECT_FALSE(user.PageBuilt("TS_Options")) << "the options page was built before its first show";
  EXPECT_EQ(user.Window().Handle("IM_LogoPX"), nullptr) << "the logo never shown was made";

  user.ClickTab("TS_VZ");
  ASSERT_TRUE(user.PageBuilt("TS_VZ"));
  EXPECT_EQ(user.Page(), "TS_VZ");
  EXPECT_EQ(user.Text("LB_FeedLen2"), u"Feed length");
  EXPECT_EQ(user.Text("ED_WayS"), u"25.00");
  EXPECT_EQ(user.Text("Label2"), u"mm");
  EXPECT_FALSE(user.PageBuilt("TS_Options"));

  user.ClickTab("TS_Options");
  ASSERT_TRUE(user.PageBuilt("TS_Options"));
  EXPECT_EQ(user.Text("CB_Language"), u"English");
  EXPECT_EQ(user.Text("GroupBox1"), u"Language / Sprache");
}

// ---- What a Windows user sees and a screen reader hears ----

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH info{};
  GetObjectW(brush, sizeof info, &info);
  return info.lbColor;
}

// The colour a window shows at a point of its client area, once painted.
COLORREF PixelOf(HWND window, int x, int y) {
  UpdateWindow(window);
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

std::string Hex(COLORREF colour) {
  char text[32];
  snprintf(text, sizeof text, "RGB(%d, %d, %d)", GetRValue(colour), GetGValue(colour),
           GetBValue(colour));
  return text;
}

// The language box is white like every box (clWindow), its edit and its
// list alike, and its text is drawn on an opaque background.
TEST(Win32Look, TheLanguageBoxIsWhiteWithOpaqueText) {
  TWin32User user;
  user.Open("");
  user.ClickTab("TS_Options");
  HWND combo = user.HandleOf("CB_Language");
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  const COLORREF white = GetSysColor(COLOR_WINDOW);
  const std::pair<UINT, HWND> parts[] = {{WM_CTLCOLOREDIT, info.hwndItem},
                                         {WM_CTLCOLORLISTBOX, info.hwndList}};
  for (auto [message, part] : parts) {
    SCOPED_TRACE(message == WM_CTLCOLOREDIT ? "its edit" : "its list");
    HDC dc = GetDC(part);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(combo, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(part)));
    EXPECT_EQ(Hex(BrushColour(brush)), Hex(white)) << "background";
    EXPECT_EQ(Hex(GetBkColor(dc)), Hex(white)) << "behind the text";
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    ReleaseDC(part, dc);
  }
  RECT area;
  GetClientRect(info.hwndItem, &area);
  EXPECT_EQ(Hex(PixelOf(info.hwndItem, area.right - 2, area.bottom / 2)), Hex(white))
      << "as painted";
}

// The window's font is the definition's face and height in the Western
// character set.
TEST(Win32Look, TheFontIsTheDefinitionsInTheWesternCharacterSet) {
  TWin32User user;
  user.Open("");
  const auto font =
      reinterpret_cast<HFONT>(SendMessageW(user.HandleOf("ED_WayE"), WM_GETFONT, 0, 0));
  LOGFONTW wanted{};
  ASSERT_NE(GetObjectW(font, sizeof wanted, &wanted), 0);
  EXPECT_EQ(wanted.lfCharSet, ANSI_CHARSET);
  EXPECT_EQ(std::wstring(wanted.lfFaceName), L"Segoe UI");
  EXPECT_EQ(wanted.lfHeight, -MulDiv(12, user.Window().Dpi(), 96));
}

// The result panels show the system's info colour, as their labels' and
// logo's backgrounds do; the test prefix has Windows' own light yellow.
TEST(Win32Look, ResultPanelsShowTheSystemsInfoColour) {
  const COLORREF info = GetSysColor(COLOR_INFOBK);
  ASSERT_EQ(Hex(info), Hex(RGB(255, 255, 225))) << "the Wine prefix's colour scheme";
  TWin32User user;
  user.Open("");
  for (const char* page : {"TS_HzP", "TS_VZ"}) {
    user.ClickTab(page);
    const char* panel = std::string_view(page) == "TS_HzP" ? "PL_Out" : "PL_Results";
    SCOPED_TRACE(panel);
    EXPECT_EQ(Hex(PixelOf(user.HandleOf(panel), 3, 3)), Hex(info));
    const char* label = std::string_view(page) == "TS_HzP" ? "LB_SpeedE" : "LB_SpeedS";
    HWND text = user.HandleOf(label);
    HDC dc = GetDC(text);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(text), WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(text)));
    ReleaseDC(text, dc);
    EXPECT_EQ(Hex(BrushColour(brush)), Hex(info)) << label;
  }
}

// No label runs under the control beside it on its row, in the font Wine
// puts in the place of the window's own, in either language and in every
// wording the refresh writes; a text too wide is set closer, not cut.
TEST(Win32Look, EveryLabelFitsBesideTheControlOnItsRow) {
  using TWordings = std::vector<std::pair<const char*, std::vector<std::u16string_view>>>;
  const TWordings wordings[] = {
      {{"LB_SpeedE", {u"Geschwindigkeit (Dreieck)", u"Geschwindigkeit (Trapez)"}},
       {"LB_Accel1", {u"Beschleunigung", u"Beschleunigung (Spitzenwert)"}},
       {"LB_AccSinQ", {u"Beschleunigung (Sin\u00B2-Rampen)", u"Beschleunigung (Lin. Rampen)"}}},
      {{"LB_SpeedE", {u"Speed (triangle)", u"Speed (trapezoid)"}},
       {"LB_Accel1", {u"Acceleration", u"Acceleration (peak)"}},
       {"LB_AccSinQ", {u"Acceleration (sin\u00B2 ramps)", u"Acceleration (linear ramps)"}}}};
  for (int language = 0; language < 2; ++language) {
    TWin32User user;
    user.Open(language == 1 ? "{900} lan = 1;\r\n" : "");
    const auto expectFits = [&](const TControlDef& def) {
      HWND label = user.HandleOf(def.Name);
      const std::u16string text = TextOf(label);
      if (text.empty()) {
        return;
      }
      HDC dc = GetDC(label);
      HGDIOBJ old =
          SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
      SIZE size{};
      GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.c_str()),
                            static_cast<int>(text.size()), &size);
      SelectObject(dc, old);
      ReleaseDC(label, dc);
      RECT own;
      GetWindowRect(label, &own);
      const std::string what = std::string(def.Name) + " \"" + Utf16ToUtf8(text) + "\"";
      EXPECT_GE(own.right - own.left, size.cx - size.cx * 15 / 100) << what << " is cut";
      for (const TControlDef& other : MainWindowControls()) {
        const bool sameRow = other.Top < def.Top + def.Height && def.Top < other.Top + other.Height;
        if (other.Parent != def.Parent || !sameRow || other.Left <= def.Left) {
          continue;
        }
        HWND next = user.Window().Handle(other.Name);
        if (next == nullptr) {
          continue;  // never on the screen (the second logo)
        }
        RECT beside;
        GetWindowRect(next, &beside);
        EXPECT_LE(own.right, beside.left) << what << " runs under " << other.Name;
      }
    };
    for (const char* page : {"TS_HzP", "TS_VZ", "TS_Options"}) {
      user.ClickTab(page);
      for (const TControlDef& def : MainWindowControls()) {
        if (def.Kind == TControlKind::Label && user.Page() == page &&
            IsChild(user.HandleOf(page), user.HandleOf(def.Name))) {
          expectFits(def);
        }
      }
    }
    for (const auto& [name, texts] : wordings[language]) {
      for (std::u16string_view text : texts) {
        user.Form().Control<TLabel>(name).SetCaption(std::u16string(text));
        expectFits(*FindControlDef(MainWindowControls(), name));
      }
    }
  }
}

// Calls PaintSeen for every WM_PAINT that passes a hook, sent (CWPSTRUCT)
// or fetched (MSG): both name the window and the message alike.
void (*PaintSeen)(HWND) = nullptr;
template <class TMessage>
LRESULT CALLBACK NotePaint(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const TMessage*>(lParam);
  if (code == HC_ACTION && message->message == WM_PAINT) {
    PaintSeen(message->hwnd);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The show handler fills the boxes before anything of the window is
// painted: no box is ever painted empty.
TEST(Win32Look, TheWindowIsFirstPaintedWithItsBoxesFilled) {
  static std::vector<std::pair<HWND, std::u16string>> painted;
  painted.clear();
  PaintSeen = [](HWND window) {
    wchar_t kind[16] = {};
    GetClassNameW(window, kind, 16);
    if (lstrcmpiW(kind, L"Edit") == 0) {
      painted.emplace_back(window, TextOf(window));
    }
  };
  HHOOK sent = nullptr;
  HHOOK fetched = nullptr;
  TWin32User user;
  user.BeforeShow = [&] {
    sent = SetWindowsHookExW(WH_CALLWNDPROC, NotePaint<CWPSTRUCT>, nullptr, GetCurrentThreadId());
    fetched = SetWindowsHookExW(WH_GETMESSAGE, NotePaint<MSG>, nullptr, GetCurrentThreadId());
  };
  user.Open("");
  UnhookWindowsHookEx(sent);
  UnhookWindowsHookEx(fetched);
  HWND way = user.HandleOf("ED_WayE");
  bool wayPainted = false;
  for (const auto& [window, text] : painted) {
    EXPECT_FALSE(text.empty()) << user.Window().NameOf(window) << " was painted empty";
    wayPainted = wayPainted || window == way;
  }
  EXPECT_TRUE(wayPainted) << "ED_WayE was never painted";
}

// Enter goes as the handlers leave it: a key-down the handler consumes
// brings no character, and a character it lets pass reaches the box (the
// window's own handlers swallow it and select the box's text).
TEST(Win32Keys, EnterGoesAsTheHandlersLeaveIt) {
  struct TCase {
    const char* What;
    bool ConsumeKeyDown;
    bool SwallowCharacter;
    int KeyPresses;   // how often the character handler ran
    bool SelectsAll;  // the box's whole text selected afterwards
  };
  const TCase cases[] = {
      {"the window's own handlers", false, true, 1, true},
      {"a key-down handler that consumes Enter", true, true, 0, false},
      {"a character handler that lets it pass", false, false, 1, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TWin32User user;
    user.Open("");
    TEdit& box = user.Form().Control<TEdit>("ED_WayE");
    int keyPresses = 0;
    box.OnKeyDown = [&](TControl*, uint16_t& key, TShiftState) {
      if (c.ConsumeKeyDown && key == vkReturn) {
        key = 0;
      }
    };
    box.OnKeyPress = [&](TControl* sender, char16_t& key) {
      ++keyPresses;
      if (c.SwallowCharacter && key == u'\r') {
        key = 0;
        dynamic_cast<TEdit&>(*sender).SelectAll();
      }
    };
    HWND edit = user.HandleOf("ED_WayE");
    SendMessageW(edit, EM_SETSEL, 2, 2);
    user.SendKey(VK_RETURN, u'\r');
    EXPECT_EQ(keyPresses, c.KeyPresses);
    EXPECT_EQ(user.WholeTextSelected("ED_WayE"), c.SelectsAll);
    EXPECT_EQ(user.Text("ED_WayE"), u"10.00");
  }
}

// Every name and description the window logic gives its controls reaches
// Windows' annotation service, once a screen reader first asks for the
// window's objects, and again whenever the language or a limit changes.
class TRecordedAnnotations : public TAnnotations {
 public:
  explicit TRecordedAnnotations(std::map<std::pair<HWND, TAccessibleText>, std::u16string>& texts)
      : texts_(texts) {}
  void Set(HWND window, TAccessibleText which, const std::u16string& text) override {
    texts_[{window, which}] = text;
  }

 private:
  std::map<std::pair<HWND, TAccessibleText>, std::u16string>& texts_;
};

TEST(Win32ScreenReaders, HearTheWindowLogicsNamesAndDescriptions) {
  std::map<std::pair<HWND, TAccessibleText>, std::u16string> texts;
  int made = 0;
  TWin32User user;
  user.BeforeShow = [&] {
    user.Window().SetAnnotations([&] {
      ++made;
      return std::make_unique<TRecordedAnnotations>(texts);
    });
  };
  user.Open("");
  const auto name = [&](const char* control) {
    return texts[{user.HandleOf(control), TAccessibleText::Name}];
  };
  const auto description = [&](const char* control) {
    return texts[{user.HandleOf(control), TAccessibleText::Description}];
  };
  EXPECT_EQ(made, 0) << "the annotation service was made before anyone asked";
  EXPECT_TRUE(texts.empty());

  SendMessageW(user.Window().MainWindow(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  EXPECT_EQ(made, 1);
  EXPECT_EQ(name("ED_WayE"), u"Vorschub-Strecke");
  EXPECT_EQ(name("ED_MaxAccel"), u"Max. Beschleunigung (P241)");
  EXPECT_EQ(name("ED_SpeedE"), u"Geschwindigkeit (Dreieck)");
  EXPECT_EQ(name("CH_SinQramps"), u"Sin\u00B2-Rampen (P56)");
  EXPECT_EQ(name("IM_LogoDVK"), u"Kolvane");
  EXPECT_EQ(description("ED_AccelE"), u"");

  // A page built later hands its controls' texts on as it is built.
  user.ClickTab("TS_Options");
  EXPECT_EQ(name("CB_Language"), u"Language / Sprache");
  user.Click("CB_Language");
  user.PickLanguage(1);
  EXPECT_EQ(name("ED_WayE"), u"Feed length");
  user.ClickTab("TS_HzP");
  EXPECT_EQ(name("ED_SpeedE"), u"Speed (triangle)");
  user.Click("ED_MaxAccel");
  user.Type(u"0.1");
  user.PressEnter();
  EXPECT_EQ(description("ED_AccelE"), u"exceeds the maximum acceleration (P241)");
  user.Type(u"50");
  user.PressEnter();
  EXPECT_EQ(description("ED_AccelE"), u"");
  EXPECT_EQ(made, 1);
}

// Windows' own service, which Wine answers with "not implemented": a screen
// reader's question changes nothing else.
TEST(Win32ScreenReaders, TheSystemsServiceLeavesTheWindowWorking) {
  TWin32User user;
  user.Open("");
  SendMessageW(user.HandleOf("ED_WayE"), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  user.Type(u"20");
  user.PressEnter();
  EXPECT_EQ(FeedParams.FeedLength, 0.02);
  EXPECT_EQ(user.KeyboardFocus(), "ED_WayE");
}
}  // namespace
