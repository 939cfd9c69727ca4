// SPDX-License-Identifier: MIT
#pragma once
// Resolution of ProgramDir and DataDir at start-up.

#include <string>

#include "app/Platform.h"

// The separator that ends ProgramDir and DataDir and that joins their parts.
#ifdef _WIN32
inline constexpr char16_t PathSeparator = u'\\';
#else
inline constexpr char16_t PathSeparator = u'/';
#endif

// Sets ProgramDir from the executable's path and DataDir from the shared data
// folder (registry value, else the all-users folder, else ProgramDir). Throws
// Exception when the registry value is not a string; DataDir is then left
// as it was.
void ResolveFolders(TPlatform& platform);

// The two folders on their own: the executable's folder, and the settings
// folder below the shared data folder, creating it (else programFolder).
// DataFolder throws as ResolveFolders does.
std::u16string ProgramFolder(TPlatform& platform);
std::u16string DataFolder(TPlatform& platform, const std::u16string& programFolder);
