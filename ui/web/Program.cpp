// SPDX-License-Identifier: MIT
// The browser page's program: its start, and the entry points through which
// the page's script reports what the user did (ui/web/dom.js calls them by
// an element's handle). Each report goes to the control's User... entry
// point, which holds the event rules and the guard.

#include <emscripten/emscripten.h>

#include <cmath>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "app/EntryPoint.h"
#include "app/Folders.h"
#include "app/Platform.h"
#include "app/TextCodec.h"
#include "calc/FeedCalc.h"
#include "calc/FeedParams.h"
#include "pages/Pictures.h"
#include "settings/MemoryFiles.h"
#include "settings/NVData.h"
#include "ui/web/Dom.h"
#include "ui/web/WebShell.h"

namespace {

constexpr std::u16string_view kSettingsFile = u"NV-Data.kqn";

TPlatform& Platform() {
  static const std::unique_ptr<TPlatform> platform = MakeNativePlatform();
  return *platform;
}

TWebShell& Shell() {
  static TWebShell shell(Platform());
  return shell;
}

TForm* Form() {
  return Shell().Form();
}

template <class T>
T* ControlAt(int element) {
  return dynamic_cast<T*>(Shell().Window().ControlOf(element));
}

// Texts handed to the page stay valid until the next call of the same kind.
const char* Handed(std::string& kept, std::string text) {
  kept = std::move(text);
  return kept.c_str();
}

// The settings file's path among the module's files.
const std::string& SettingsPath() {
  static const std::string path = Utf16ToUtf8(DataFolder(Platform(), ProgramFolder(Platform())) +
                                              std::u16string(kSettingsFile));
  return path;
}

std::string PageQuery() {
  std::string query(static_cast<size_t>(kw_query_length()), '\0');
  kw_read_query(query.data(), static_cast<int>(query.size()) + 1);
  return query;
}

}  // namespace

extern "C" {

// The stored settings file goes in before the start: the page asks for room
// for its bytes, fills it, and puts them down as the file.
EMSCRIPTEN_KEEPALIVE char* kw_settings_room(int size) {
  static std::string room;
  room.assign(static_cast<size_t>(size), '\0');
  return room.data();
}

EMSCRIPTEN_KEEPALIVE void kw_put_settings(const char* bytes, int size) {
  MemoryFiles::Write(SettingsPath(), std::string(bytes, static_cast<size_t>(size)));
}

// The settings file as the window last wrote it: its size (-1 when there is
// none), then its bytes.
EMSCRIPTEN_KEEPALIVE int kw_settings_size() {
  static std::string kept;
  const std::optional<std::string> bytes = MemoryFiles::Read(SettingsPath());
  return bytes ? static_cast<int>(bytes->size()) : -1;
}

EMSCRIPTEN_KEEPALIVE const char* kw_settings_bytes() {
  static std::string kept;
  kept = MemoryFiles::Read(SettingsPath()).value_or(std::string());
  return kept.data();
}

// The program's start: the window is built, read its settings and shown.
EMSCRIPTEN_KEEPALIVE void kw_start() {
  RunProgram(Shell(), CommandLineFromQuery(PageQuery()));
}

// ---- The user's actions ----

EMSCRIPTEN_KEEPALIVE void kw_user_focused(int element) {
  if (auto* control = ControlAt<TWinControl>(element)) {
    control->UserFocused();
  }
}

// Returns the key as the handler left it: 0 when it consumed the key.
EMSCRIPTEN_KEEPALIVE int kw_user_key_down(int element, int key, int shift) {
  auto* control = ControlAt<TWinControl>(element);
  return control != nullptr
             ? control->UserKeyDown(static_cast<uint16_t>(key), static_cast<TShiftState>(shift))
             : key;
}

// Returns the character as the handler left it: 0 when it swallowed it.
EMSCRIPTEN_KEEPALIVE int kw_user_key_press(int element, int character) {
  auto* box = ControlAt<TEdit>(element);
  return box != nullptr ? box->UserKeyPress(static_cast<char16_t>(character)) : character;
}

EMSCRIPTEN_KEEPALIVE bool kw_may_toggle(int element) {
  auto* box = ControlAt<TCheckBox>(element);
  return box != nullptr && box->MayToggle();
}

EMSCRIPTEN_KEEPALIVE void kw_user_toggled(int element) {
  if (auto* box = ControlAt<TCheckBox>(element)) {
    box->UserToggled();
  }
}

EMSCRIPTEN_KEEPALIVE void kw_user_changed(int element) {
  if (auto* box = ControlAt<TComboBox>(element)) {
    box->UserChanged();
  }
}

// Characters typed into the combo box's text (not deleted, cut or pasted).
EMSCRIPTEN_KEEPALIVE void kw_user_typed(int element) {
  if (auto* box = ControlAt<TComboBox>(element)) {
    box->UserTyped();
  }
}

EMSCRIPTEN_KEEPALIVE void kw_user_chose_page(int element, int index) {
  auto* pages = ControlAt<TPageControl>(element);
  if (pages != nullptr && index >= 0 && index < pages->PageCount()) {
    pages->UserSelectedPage(pages->Page(index));
  }
}

EMSCRIPTEN_KEEPALIVE void kw_user_tab(bool backwards) {
  if (TForm* form = Form()) {
    Shell().Window().StepTabOrder(*form, backwards);
  }
}

EMSCRIPTEN_KEEPALIVE void kw_user_step_page(bool backwards) {
  if (TForm* form = Form()) {
    Shell().Window().StepPage(*form, backwards);
  }
}

// The page is hidden or closed: the browser's "window closes". The page
// itself goes on, so it may close again later.
EMSCRIPTEN_KEEPALIVE void kw_user_closed() {
  if (TForm* form = Form()) {
    form->UserClosed();
  }
}

// ---- What the page shows beside the window ----

// The language in force: 1 English, 0 German (every other value shows German).
EMSCRIPTEN_KEEPALIVE int kw_language() {
  return Language == 1 ? 1 : 0;
}

// The profile of the stroke-rate job the window holds, as SVG.
EMSCRIPTEN_KEEPALIVE const char* kw_profile_svg() {
  static std::string kept;
  TFeedParams after = FeedParams;
  CalcFeed(after, CALC_STROKERATE | CALC_CYCLE);
  return Handed(kept, ProfileSvg(after, Language == 1 ? TLang::English : TLang::German));
}

// ---- For the browser tests: what the page shows no text of ----

// The control that holds the window's logical focus; empty when none does.
EMSCRIPTEN_KEEPALIVE const char* kw_probe_focus() {
  static std::string kept;
  const TForm* form = Form();
  const TWinControl* focused = form != nullptr ? form->ActiveControl() : nullptr;
  return Handed(kept, focused != nullptr ? focused->Name() : std::string());
}

// The name of the record's number field at that index, empty past the last.
EMSCRIPTEN_KEEPALIVE const char* kw_probe_field_name(int index) {
  const std::span<const TNamedField> fields = NamedFields;
  return index >= 0 && static_cast<size_t>(index) < fields.size() ? fields[index].Name.data() : "";
}

// The value of the record's number field at that index.
EMSCRIPTEN_KEEPALIVE double kw_probe_field(int index) {
  const std::span<const TNamedField> fields = NamedFields;
  return index >= 0 && static_cast<size_t>(index) < fields.size() ? FeedParams.*fields[index].Field
                                                                  : std::nan("");
}

EMSCRIPTEN_KEEPALIVE bool kw_probe_sin_sq_ramps() {
  return FeedParams.SinSqRamps;
}
}
