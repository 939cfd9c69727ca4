#pragma once
// The few file operations of the settings file that standard C++ does not
// offer, with one implementation per operating system (FileOpsPosix.cpp,
// FileOpsWindows.cpp). Everything else (which file is read, where the
// temporary file goes, which leftovers are stale, when a save goes in place)
// is decided once, in NVData.cpp, with std::filesystem and these calls.
//
// Paths are std::filesystem paths, which hold the system's own file names
// (UTF-8 bytes here, UTF-16 on Windows). A file being written is a C stream,
// so that the save's stream operations (SaveFileOps.h) are the same
// everywhere. No call here blocks on a FIFO, a device or a network pipe.

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>

namespace FileOps {

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
TFound ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes, std::string& bytes);

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
FILE* CreateNew(const std::filesystem::path& path, TResult& result);

// Gives the file open in to the access permissions of the file at from, so a
// replaced settings file keeps them; nothing happens when from is not there.
void CopyPermissions(const std::filesystem::path& from, FILE* to);

// Puts the file at from in the place of the one at to, in one step: a reader
// sees either the old file or the new one, never a mixture or none.
TResult Replace(const std::filesystem::path& from, const std::filesystem::path& to);

// Opens an existing regular file (links followed) for writing from its start
// and empties it; binary, as CreateNew. Null when there is none, when it is
// not a regular file or when it cannot be written.
FILE* OpenToRewrite(const std::filesystem::path& path);

// Moves what the stream holds to the file and the file's data to the disk;
// true when both succeeded.
bool FlushToDisk(FILE* file);

}  // namespace FileOps
