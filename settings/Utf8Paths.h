// SPDX-License-Identifier: MIT
#pragma once
// Paths of the file systems that name files in UTF-8 bytes with '/' between
// folders: Linux's and the browser page's (FileOpsPosix.cpp,
// FileOpsBrowser.cpp). Both define FileOps::NativePath and FileOps::NameOf
// by Utf8Paths.cpp.

#include <string>

namespace FileOps {

// The folder part of path, with its closing separator; empty for a bare
// name, which lies in the working folder.
std::string FolderOf(const std::string& path);

}  // namespace FileOps
