// SPDX-License-Identifier: MIT
// The settings file's operations on POSIX systems.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "settings/FileOps.h"
#include "settings/Utf8Paths.h"

namespace FileOps {

namespace {

// Every descriptor opened here is closed in a started program and never
// becomes a controlling terminal; O_NONBLOCK keeps a FIFO without a writer,
// or a device, from holding the open forever (regular files ignore it).
constexpr int kOpenFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

bool IsDenial(int error) {
  return error == EACCES || error == EPERM || error == EROFS;
}

TResult ResultOf(int error) {
  if (error == EEXIST) {
    return TResult::Exists;
  }
  return IsDenial(error) ? TResult::Denied : TResult::Failed;
}

// Why path could not be opened for reading, told by what stands there.
TFound Unopenable(const TPath& path, int openError) {
  if (openError == ENOENT || openError == ENOTDIR) {
    return TFound::Missing;
  }
  struct stat status;
  if (stat(path.c_str(), &status) != 0) {
    return errno == ENOENT ? TFound::Missing : TFound::Unreadable;
  }
  return S_ISREG(status.st_mode) ? TFound::Unreadable : TFound::NotRegular;
}

void AppendUpTo(int fd, std::size_t maxBytes, std::string& bytes) {
  char chunk[4096];
  while (maxBytes > 0) {
    const std::size_t wanted = maxBytes < sizeof chunk ? maxBytes : sizeof chunk;
    const ssize_t got = read(fd, chunk, wanted);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      return;  // the end, or a read error, which ends the data as well
    }
    bytes.append(chunk, static_cast<std::size_t>(got));
    maxBytes -= static_cast<std::size_t>(got);
  }
}

bool IsRegular(int fd) {
  struct stat status;
  return fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

// The descriptor as a stream for writing; closes it when that fails.
FILE* WritingStream(int fd) {
  FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    close(fd);
  }
  return file;
}

}  // namespace

TPath ResolveLink(const TPath& path) {
  struct stat status;
  if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
    return path;
  }
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) {
    return path;
  }
  std::string target(resolved);
  free(resolved);
  return target;
}

std::vector<TPath> OldFilesBeside(const TPath& path, std::chrono::seconds age) {
  std::vector<TPath> found;
  const std::string folder = FolderOf(path);
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) {
    return found;
  }
  const time_t before = time(nullptr) - static_cast<time_t>(age.count());
  while (const dirent* entry = readdir(dir)) {
    const std::string entryPath = folder + entry->d_name;
    struct stat status;
    if (lstat(entryPath.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        status.st_mtime < before) {
      found.push_back(entryPath);
    }
  }
  closedir(dir);
  return found;
}

void Remove(const TPath& path) {
  unlink(path.c_str());
}

TFound ReadRegularFile(const TPath& path, std::size_t maxBytes, std::string& bytes) {
  const int fd = open(path.c_str(), O_RDONLY | kOpenFlags);
  if (fd < 0) {
    return Unopenable(path, errno);
  }
  if (!IsRegular(fd)) {
    close(fd);
    return TFound::NotRegular;
  }
  AppendUpTo(fd, maxBytes, bytes);
  close(fd);
  return TFound::Regular;
}

FILE* CreateNew(const TPath& path, TResult& result) {
  // O_EXCL also refuses a link, even one that leads nowhere.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | kOpenFlags, 0666);
  if (fd < 0) {
    result = ResultOf(errno);
    return nullptr;
  }
  FILE* file = WritingStream(fd);
  result = file != nullptr ? TResult::Done : TResult::Failed;
  return file;
}

void CopyPermissions(const TPath& from, FILE* to) {
  struct stat status;
  if (stat(from.c_str(), &status) == 0) {
    fchmod(fileno(to), status.st_mode & 07777);
  }
}

TResult Replace(const TPath& from, const TPath& to) {
  return rename(from.c_str(), to.c_str()) == 0 ? TResult::Done : ResultOf(errno);
}

FILE* OpenToRewrite(const TPath& path) {
  const int fd = open(path.c_str(), O_WRONLY | kOpenFlags);
  if (fd < 0) {
    return nullptr;
  }
  // Emptied only once it is known to be a regular file: truncating at open
  // would also reach a device.
  if (!IsRegular(fd) || ftruncate(fd, 0) != 0) {
    close(fd);
    return nullptr;
  }
  return WritingStream(fd);
}

bool FlushToDisk(FILE* file) {
  return fflush(file) == 0 && fsync(fileno(file)) == 0;
}

}  // namespace FileOps
