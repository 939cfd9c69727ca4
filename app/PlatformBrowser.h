// SPDX-License-Identifier: MIT
#pragma once
// The platform layer of the browser page. The page has no registry, no
// executable file and no user folders: its files live in the module's memory
// (settings/MemoryFiles.h), which the page fills from the origin's storage
// before the window starts and reads back when the window closes.

#include <string_view>

// The folder that stands for the all-users application-data folder; the
// settings file lies in its "DVK/Common/" sub-folder, as on Linux.
inline constexpr std::u16string_view BrowserDataFolder = u"/storage";
// The program's own (empty) folder: where a desktop installation keeps the
// read-only fallback file.
inline constexpr std::u16string_view BrowserExecutablePath = u"/program/kolvane";
