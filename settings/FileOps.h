// SPDX-License-Identifier: MIT
#pragma once
// The few file operations of the settings file that standard C++ does not
// offer, with one implementation per operating system (FileOpsPosix.cpp,
// FileOpsWindows.cpp). Everything else (which file is read, where the
// temporary file goes, which leftovers are stale, when a save goes in place)
// is decided once, in NVData.cpp, with these calls.
//
// Paths are the system's own file names (UTF-8 bytes here, UTF-16 on
// Windows), made from the program's folder texts by NativePath. The C++
// library's std::filesystem is not used: it brings the library's whole locale
// and stream machinery into the static Windows program, some half of its size.
// A file being written is a C stream, so that the save's stream operations
// (SaveFileOps.h) are the same everywhere. No call here blocks on a FIFO, a device or a network
// pipe.

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace FileOps {

#ifdef _WIN32
using TPath = std::wstring;
#else
using TPath = std::string;
#endif

// The system's name for a folder text with the platform's separators; text
// must be well-formed UTF-16 (no lone surrogate).
TPath NativePath(std::u16string_view text);

// The last part of path: the file's name without its folder.
TPath NameOf(const TPath& path);

// The file a symbolic link at path leads to, as a full path; path itself
// when it is no link or leads nowhere.
TPath ResolveLink(const TPath& path);

// The full paths of the regular files (links not followed) in the folder that
// holds path which were last written longer than age ago.
std::vector<TPath> OldFilesBeside(const TPath& path, std::chrono::seconds age);

// Removes the file at path; nothing happens when it cannot be removed.
void Remove(const TPath& path);

// What stands under a name, links followed.
enum class TFound {
  Regular,     // a regular file, opened and read
  Missing,     // nothing (also a link that leads nowhere)
  Unreadable,  // something that cannot be opened for reading, or whose kind
               // cannot be told (no permission, a loop of links)
  NotRegular,  // a directory, FIFO, device, socket, ...
};

// Opens path for reading without blocking, accepts only a regular file and
// appends at most maxBytes of its bytes to bytes; a read error part-way ends
// the data there. maxBytes 0 only asks what is there. bytes is left as it was
// for every result but Regular.
TFound ReadRegularFile(const TPath& path, std::size_t maxBytes, std::string& bytes);

// Outcome of the calls that create or replace a file.
enum class TResult {
  Done,
  Exists,  // CreateNew only: something is already under that name
  Denied,  // the folder or the file refuses it (permissions, read-only
           // file system, a sticky folder of someone else)
  Failed,  // anything else
};

// Creates a new, empty file under path, exclusively: never opens anything that
// is already there, not even through a link. The stream writes bytes as
// they are (binary). Null with the reason in result when it cannot.
FILE* CreateNew(const TPath& path, TResult& result);

// Gives the file open in to the access permissions of the file at from (on
// Windows its owner, group, access list and attributes), so a replaced
// settings file keeps them; nothing happens when from is not there.
void CopyPermissions(const TPath& from, FILE* to);

// Puts the file at from in the place of the one at to, in one step: a reader
// sees either the old file or the new one, never a mixture or none. Where
// another program holding to keeps it from being replaced (Windows), the
// replace is tried for about two seconds and then given up as Failed.
TResult Replace(const TPath& from, const TPath& to);

// Opens an existing regular file (links followed) for writing from its start
// and empties it; binary, as CreateNew. Null when there is none, when it is
// not a regular file or when it cannot be written.
FILE* OpenToRewrite(const TPath& path);

// Moves what the stream holds to the file and the file's data to the disk;
// true when both succeeded.
bool FlushToDisk(FILE* file);

}  // namespace FileOps
