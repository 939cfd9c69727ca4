// SPDX-License-Identifier: MIT
#pragma once
// The browser page's files: its file layer (FileOpsBrowser.cpp) keeps them in
// the module's memory, where the page puts the settings file it stored in
// the origin's storage before the window starts, and takes it back from when
// the window has written it. Paths are UTF-8 texts.

#include <optional>
#include <string>

namespace MemoryFiles {

// The file's bytes; nothing when there is no file under that path.
std::optional<std::string> Read(const std::string& path);
// Puts bytes under that path, in the place of whatever was there.
void Write(const std::string& path, std::string bytes);

}  // namespace MemoryFiles
