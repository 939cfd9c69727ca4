// SPDX-License-Identifier: MIT
// The settings file's operations in the browser page: its files live in the
// module's memory as a table of path and bytes, which the page fills from the
// origin's storage and reads back (MemoryFiles.h). The page brings no file
// system of its own: emscripten's would double the page's script for one
// file of some 300 bytes. A file being written is a C stream all the same
// (fopencookie), so the save writes, flushes and closes it as everywhere.
// There are no folders, links, permissions or devices: every file is a
// regular file, and every folder is there.

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <map>

#include "settings/FileOps.h"
#include "settings/MemoryFiles.h"
#include "settings/Utf8Paths.h"

namespace {

struct TFile {
  std::string Bytes;
  time_t Written = 0;
};

std::map<std::string, TFile>& Files() {
  static std::map<std::string, TFile> files;
  return files;
}

// A stream that appends to the file of the path it holds.
ssize_t AppendToFile(void* cookie, const char* data, size_t size) {
  const auto found = Files().find(*static_cast<std::string*>(cookie));
  if (found == Files().end()) {
    errno = ENOENT;  // removed while it was being written
    return -1;
  }
  found->second.Bytes.append(data, size);
  found->second.Written = time(nullptr);
  return static_cast<ssize_t>(size);
}

int CloseFile(void* cookie) {
  delete static_cast<std::string*>(cookie);
  return 0;
}

FILE* WritingStream(const std::string& path) {
  auto* cookie = new std::string(path);
  FILE* file = fopencookie(cookie, "w", {nullptr, AppendToFile, nullptr, CloseFile});
  if (file == nullptr) {
    delete cookie;
  }
  return file;
}

}  // namespace

namespace FileOps {

TPath ResolveLink(const TPath& path) {
  return path;
}

std::vector<TPath> OldFilesBeside(const TPath& path, std::chrono::seconds age) {
  std::vector<TPath> found;
  const std::string folder = FolderOf(path);
  const time_t before = time(nullptr) - static_cast<time_t>(age.count());
  for (const auto& [name, file] : Files()) {
    if (FolderOf(name) == folder && file.Written < before) {
      found.push_back(name);
    }
  }
  return found;
}

void Remove(const TPath& path) {
  Files().erase(path);
}

TFound ReadRegularFile(const TPath& path, std::size_t maxBytes, std::string& bytes) {
  const auto found = Files().find(path);
  if (found == Files().end()) {
    return TFound::Missing;
  }
  bytes.append(found->second.Bytes, 0, maxBytes);
  return TFound::Regular;
}

FILE* CreateNew(const TPath& path, TResult& result) {
  if (Files().contains(path)) {
    result = TResult::Exists;
    return nullptr;
  }
  Files()[path].Written = time(nullptr);
  FILE* file = WritingStream(path);
  if (file == nullptr) {
    Files().erase(path);
  }
  result = file != nullptr ? TResult::Done : TResult::Failed;
  return file;
}

void CopyPermissions(const TPath& /*from*/, FILE* /*to*/) {}

TResult Replace(const TPath& from, const TPath& to) {
  const auto found = Files().find(from);
  if (found == Files().end()) {
    return TResult::Failed;
  }
  TFile moved = std::move(found->second);
  Files().erase(found);
  Files()[to] = std::move(moved);
  return TResult::Done;
}

FILE* OpenToRewrite(const TPath& path) {
  const auto found = Files().find(path);
  if (found == Files().end()) {
    return nullptr;
  }
  found->second.Bytes.clear();
  return WritingStream(path);
}

bool FlushToDisk(FILE* file) {
  return fflush(file) == 0;
}

}  // namespace FileOps

namespace MemoryFiles {

std::optional<std::string> Read(const std::string& path) {
  const auto found = Files().find(path);
  return found == Files().end() ? std::nullopt : std::optional(found->second.Bytes);
}

void Write(const std::string& path, std::string bytes) {
  Files()[path] = {std::move(bytes), time(nullptr)};
}

}  // namespace MemoryFiles
