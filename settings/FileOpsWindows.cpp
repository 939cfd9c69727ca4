// SPDX-License-Identifier: MIT
// The settings file's operations on Windows: every name goes to the system
// as 16-bit text, so any folder a user can have works, whatever the ANSI
// code page.

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After <windows.h>.
#include <aclapi.h>

#include <cstdint>

#include "settings/FileOps.h"

namespace FileOps {

namespace {

// Folder and file attributes a replacement keeps from the file it replaces;
// read-only is not among them: such a file is never replaced.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// How long a replace waits for a file another program holds open (a virus
// scanner, a backup, a second Kolvane): about two seconds in all.
constexpr int kHeldAttempts = 20;
constexpr DWORD kHeldPause = 100;  // milliseconds between the attempts

bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH;
}

TResult ResultOf(DWORD error) {
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
    return TResult::Exists;
  }
  if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT ||
      error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    return TResult::Denied;
  }
  return TResult::Failed;
}

// A file on a disk, not a directory, pipe, console or other device.
bool IsRegular(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Why path could not be opened for reading, told by what stands there.
TFound Unopenable(const TPath& path, DWORD openError) {
  if (IsMissing(openError)) {
    return TFound::Missing;
  }
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return IsMissing(GetLastError()) ? TFound::Missing : TFound::Unreadable;
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? TFound::NotRegular : TFound::Unreadable;
}

void AppendUpTo(HANDLE handle, std::size_t maxBytes, std::string& bytes) {
  char chunk[4096];
  while (maxBytes > 0) {
    const DWORD wanted = maxBytes < sizeof chunk ? static_cast<DWORD>(maxBytes) : sizeof chunk;
    DWORD got = 0;
    if (!ReadFile(handle, chunk, wanted, &got, nullptr) || got == 0) {
      return;  // the end, or a read error, which ends the data as well
    }
    bytes.append(chunk, got);
    maxBytes -= got;
  }
}

// The handle as a binary stream for writing; closes it when that fails.
FILE* WritingStream(HANDLE handle) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) {
    _close(fd);
  }
  return file;
}

// A read-only file is the user's protection of it: Windows refuses to replace
// or open it for writing, and so does this layer wherever it runs (Wine
// started by an administrator would do both).
bool IsReadOnly(const TPath& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

HANDLE HandleOf(FILE* file) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

// The folder part of path, with its closing separator or drive colon; empty
// for a bare name, which lies in the working folder.
std::wstring FolderOf(const std::wstring& path) {
  const std::size_t end = path.find_last_of(L"\\/:");
  return end == std::wstring::npos ? std::wstring() : path.substr(0, end + 1);
}

uint64_t TicksOf(const FILETIME& time) {
  return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// A full path that leads to a file through links: the system's own name for
// it, in the form "\\?\C:\..." or "\\?\UNC\server\...".
std::wstring FinalPath(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length == 0) {
      return std::wstring();
    }
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length);
  }
}

// The owner, group and access list of the file at from, given to the file
// open in to, with the same inheritance from the folder. Another user's
// ownership can be kept only with the privilege to restore files; without it,
// the group and the access list still are.
void KeepSecurity(const TPath& from, HANDLE to) {
  constexpr SECURITY_INFORMATION kOwnerAndGroup =
      OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION;
  PSID owner = nullptr;
  PSID group = nullptr;
  PACL access = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(from.c_str(), SE_FILE_OBJECT,
                            kOwnerAndGroup | DACL_SECURITY_INFORMATION, &owner, &group, &access,
                            nullptr, &descriptor) != ERROR_SUCCESS) {
    return;
  }
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  const SECURITY_INFORMATION list =
      DACL_SECURITY_INFORMATION |
      ((control & SE_DACL_PROTECTED) != 0 ? PROTECTED_DACL_SECURITY_INFORMATION
                                          : UNPROTECTED_DACL_SECURITY_INFORMATION);
  std::wstring path = FinalPath(to);
  const auto set = [&](SECURITY_INFORMATION what) {
    return SetNamedSecurityInfoW(path.data(), SE_FILE_OBJECT, what, owner, group, access,
                                 nullptr) == ERROR_SUCCESS;
  };
  if (!path.empty() && !set(list | kOwnerAndGroup) && !set(list | GROUP_SECURITY_INFORMATION)) {
    set(list);
  }
  LocalFree(descriptor);
}

// Whether a replace that failed with error was kept off by another program
// holding the file open without sharing its deletion, which lets go again
// soon. Windows then answers "access denied" as it does to a refusal, so
// the file is asked for the right to delete it, which only a holder keeps
// from us.
bool IsHeldOpen(const TPath& path, DWORD error) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    return true;
  }
  if (error != ERROR_ACCESS_DENIED) {
    return false;
  }
  const HANDLE probe =
      CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

TPath NativePath(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

TPath NameOf(const TPath& path) {
  return path.substr(FolderOf(path).size());
}

TPath ResolveLink(const TPath& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    return path;
  }
  // No access is asked for: only the name of what the link leads to.
  const HANDLE handle =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return path;
  }
  std::wstring target = FinalPath(handle);
  CloseHandle(handle);
  return target.empty() ? path : target;
}

std::vector<TPath> OldFilesBeside(const TPath& path, std::chrono::seconds age) {
  std::vector<TPath> found;
  const std::wstring folder = FolderOf(path);
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) {
    return found;
  }
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  constexpr uint64_t kTicksPerSecond = 10'000'000;
  const uint64_t before = TicksOf(now) - kTicksPerSecond * static_cast<uint64_t>(age.count());
  // A link is a reparse point; like a folder, it is no regular file.
  constexpr DWORD kNotRegular = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  do {
    if ((entry.dwFileAttributes & kNotRegular) == 0 && TicksOf(entry.ftLastWriteTime) < before) {
      found.push_back(folder + entry.cFileName);
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

void Remove(const TPath& path) {
  DeleteFileW(path.c_str());
}

TFound ReadRegularFile(const TPath& path, std::size_t maxBytes, std::string& bytes) {
  // Other programs may go on reading, writing or replacing the file meanwhile.
  const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return Unopenable(path, GetLastError());
  }
  if (!IsRegular(handle)) {
    CloseHandle(handle);
    return TFound::NotRegular;
  }
  AppendUpTo(handle, maxBytes, bytes);
  CloseHandle(handle);
  return TFound::Regular;
}

FILE* CreateNew(const TPath& path, TResult& result) {
  // CREATE_NEW refuses whatever is already there, a link included.
  const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    result = ResultOf(GetLastError());
    return nullptr;
  }
  FILE* file = WritingStream(handle);
  result = file != nullptr ? TResult::Done : TResult::Failed;
  return file;
}

void CopyPermissions(const TPath& from, FILE* to) {
  const DWORD attributes = GetFileAttributesW(from.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return;
  }
  // What an administrator allowed on the shared file (every user may change
  // it) must survive the first save, or other users' later saves fail.
  KeepSecurity(from, HandleOf(to));
  if ((attributes & kKeptAttributes) == 0) {
    return;
  }
  FILE_BASIC_INFO info{};  // zero times: left as they are
  info.FileAttributes = (attributes & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE;
  SetFileInformationByHandle(HandleOf(to), FileBasicInfo, &info, sizeof info);
}

TResult Replace(const TPath& from, const TPath& to) {
  if (IsReadOnly(to)) {
    return TResult::Denied;
  }
  for (int attempt = 1;; ++attempt) {
    // One rename on the volume: the old file is there until the new one
    // takes its name, and the rename itself has reached the disk when this
    // returns.
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return TResult::Done;
    }
    const DWORD error = GetLastError();
    if (!IsHeldOpen(to, error)) {
      return ResultOf(error);
    }
    if (attempt == kHeldAttempts) {
      // Still held: the save is given up. It is no refusal of the folder,
      // so the file is not rewritten in place under its holder either.
      return TResult::Failed;
    }
    Sleep(kHeldPause);
  }
}

FILE* OpenToRewrite(const TPath& path) {
  if (IsReadOnly(path)) {
    return nullptr;
  }
  const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return nullptr;
  }
  // Emptied only once it is known to be a file on a disk: truncating at open
  // would also reach a device.
  if (!IsRegular(handle) || !SetEndOfFile(handle)) {
    CloseHandle(handle);
    return nullptr;
  }
  return WritingStream(handle);
}

bool FlushToDisk(FILE* file) {
  return fflush(file) == 0 && FlushFileBuffers(HandleOf(file)) != 0;
}

}  // namespace FileOps
