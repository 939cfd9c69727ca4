// SPDX-License-Identifier: MIT
// The user stories on the real Win32 controls, under Wine on a virtual
// display: the messages a user's keys and clicks produce are posted to the
// control that would get them and dispatched by a message loop like the
// program's; what the window shows is read off the controls.

#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>.
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/Scenarios.h"
#include "tests/support/StoryHome.h"
#include "tests/support/UserActions.h"
#include "ui/Main.h"
#include "ui/WindowDef.h"
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
  void Key(WPARAM key, char16_t ch, bool shift = false) {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr) << "nothing has the keyboard focus";
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    Post(focus, WM_KEYDOWN, key, 1);
    if (ch != 0) {
      Post(focus, WM_CHAR, ch, 1);
    }
    Post(focus, WM_KEYUP, key, 0xC0000001);
    keys[VK_SHIFT] = 0;
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

}  // namespace
