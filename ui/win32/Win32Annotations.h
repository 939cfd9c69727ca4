// SPDX-License-Identifier: MIT
#pragma once
// What the Win32 window tells screen readers (Narrator, NVDA) beyond what
// Windows finds out itself: the name and description of a control's
// accessible object, given to Windows' annotation service (oleacc's
// IAccPropServices). Windows would otherwise name an edit box after the
// window created before it, which is another box or a panel here.

#include <windows.h>

#include <memory>
#include <string>

enum class TAccessibleText : uint8_t { Name, Description };

class TAnnotations {
 public:
  virtual ~TAnnotations() = default;
  // The text of the window's own accessible object; an empty text removes
  // what was given before, so that Windows' own answer holds again.
  virtual void Set(HWND window, TAccessibleText which, const std::u16string& text) = 0;
};

// The system's annotation service. Made when a screen reader first asks the
// window for its accessible objects (WM_GETOBJECT), not at start-up: it
// brings in COM and oleacc, which a start-up without a screen reader has no
// use for. Where the service cannot be had, the texts go nowhere.
std::unique_ptr<TAnnotations> MakeSystemAnnotations();
