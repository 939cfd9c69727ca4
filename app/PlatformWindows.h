#pragma once
// Pieces of the Windows platform layer that the tests reach directly.
//
// The shared data folder is the string value "AllAppData" of the machine key
// HKEY_LOCAL_MACHINE\Software\DVK-Dudivezava\R-MOX; the all-users folder is
// the shell's CSIDL_COMMON_APPDATA.

#include <windows.h>

#include <string>
#include <string_view>

#include "app/Platform.h"

// Reads the value valueName of the key keyPath under root, read-only and
// without creating the key: Missing when the key cannot be opened or the value
// is missing or empty; Text for REG_SZ and REG_EXPAND_SZ (up to the first
// NUL, not expanded); InvalidType for every other type.
TRegistryValue ReadRegistryValue(HKEY root, const wchar_t* keyPath, const wchar_t* valueName);

// Text in the system's ANSI code page as 16-bit text.
std::u16string AnsiToUtf16(std::string_view text);

// The window that the shell lookup names as its owner: the main window, made
// on demand. Without one the lookup has no owner, which the shell allows.
void SetShellOwnerWindow(HWND (*ownerWindow)());
