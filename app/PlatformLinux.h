// SPDX-License-Identifier: MIT
#pragma once
// Pieces of the Linux platform layer that the tests reach directly.
//
// The administrator names a shared data folder in the file
//   <config dir>/DVK-Dudivezava/R-MOX.conf
// where <config dir> is the first of the XDG configuration directories that
// holds it as a regular file (links followed). The file is UTF-8 text, one
// entry per line:
//   - blank lines, lines starting with '#' or ';', section headers "[...]"
//     and lines with other names are ignored;
//   - the first line "AllAppData=<value>" counts; the name is matched in any
//     letter case and blanks may stand around the name and the value;
//   - the value is one of
//       /srv/press                a text: the rest of the line, blanks
//                                 around it dropped
//       "/srv/press shop"         a text: everything between the first and
//                                 the last quote, taken literally
//       (nothing) or ""           an empty text, treated as no value
//       dword:00000005, qword:..., hex:..., hex(7):...
//                                 a typed value that is not a text
//     A value with invalid UTF-8 or an unclosed quote is not a text either.
//   A text ends at its first NUL character, as a registry string does.
// No file, or no such line, means no value.

#include <string>
#include <string_view>
#include <vector>

#include "app/Platform.h"

// The value that the content of the file above gives.
TRegistryValue ParseAllAppDataConfig(std::string_view content);

// The XDG configuration directories, most important first: $XDG_CONFIG_DIRS
// split at ':' without empty or relative entries, "/etc/xdg" when the
// variable is unset or empty.
std::vector<std::string> ConfigSearchDirs();
