// SPDX-License-Identifier: MIT
#include "app/PlatformWindows.h"

#include <shlobj.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t kKeyPath[] = L"Software\\DVK-Dudivezava\\R-MOX";
constexpr wchar_t kValueName[] = L"AllAppData";
// Times the data read is retried when the value grows between the size query
// and the read (another program writing it meanwhile).
constexpr int kReadAttempts = 4;

HWND (*ShellOwnerWindow)() = nullptr;

class TKeyCloser {
 public:
  explicit TKeyCloser(HKEY key) : key_(key) {}
  ~TKeyCloser() { RegCloseKey(key_); }
  TKeyCloser(const TKeyCloser&) = delete;
  TKeyCloser& operator=(const TKeyCloser&) = delete;

 private:
  HKEY key_;
};

std::u16string ToU16(const wchar_t* text, size_t length) {
  return std::u16string(text, text + length);
}

std::wstring ToWide(const std::u16string& text) {
  return std::wstring(text.begin(), text.end());
}

// The full path of a relative one, as the current folder and drive make it;
// the path itself when it cannot be made.
std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) {
    return path;
  }
  std::vector<wchar_t> full(size);
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  return length > 0 && length < size ? std::wstring(full.data(), length) : path;
}

// The text of string data of size bytes: up to the first NUL, also when the
// data holds none at its end or has an odd number of bytes.
std::u16string StringData(const std::vector<BYTE>& data, DWORD size) {
  std::u16string text;
  for (DWORD i = 0; i + 1 < size; i += 2) {
    const auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == u'\0') {
      break;
    }
    text += unit;
  }
  return text;
}

TRegistryValue ReadOpenKey(HKEY key, const wchar_t* valueName) {
  DWORD size = 0;
  if (RegQueryValueExW(key, valueName, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
      size == 0) {
    return {};
  }
  std::vector<BYTE> data;
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    data.assign(size, 0);
    DWORD type = REG_NONE;
    DWORD got = size;
    const LONG status = RegQueryValueExW(key, valueName, nullptr, &type, data.data(), &got);
    if (status == ERROR_MORE_DATA) {
      size = got;  // grew meanwhile: read again with room for the new size
      continue;
    }
    if (status != ERROR_SUCCESS || got == 0) {
      return {};  // gone or emptied meanwhile: no value, as a missing one
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
      return {TRegistryValue::TKind::InvalidType, {}};
    }
    return {TRegistryValue::TKind::Text, StringData(data, got)};
  }
  return {};
}

class TWindowsPlatform : public TPlatform {
 public:
  TRegistryValue ReadAllAppData() override {
    return ReadRegistryValue(HKEY_LOCAL_MACHINE, kKeyPath, kValueName);
  }

  std::optional<std::u16string> CommonAppDataFolder() override {
    char buffer[MAX_PATH] = {};
    const HWND owner = ShellOwnerWindow != nullptr ? ShellOwnerWindow() : nullptr;
    if (!SHGetSpecialFolderPathA(owner, buffer, CSIDL_COMMON_APPDATA, FALSE)) {
      return std::nullopt;
    }
    buffer[MAX_PATH - 1] = '\0';
    return AnsiToUtf16(buffer);
  }

  std::u16string ExecutablePath() override {
    // A path longer than the buffer comes back cut to its size: grow and ask
    // again, up to the longest path Windows has.
    for (DWORD size = MAX_PATH; size <= 32768 * 2; size *= 2) {
      std::vector<wchar_t> buffer(size);
      const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
      if (length == 0) {
        return {};
      }
      if (length < size) {
        return ToU16(buffer.data(), length);
      }
    }
    return {};
  }

  bool CreateDirectoryPath(const std::u16string& path) override {
    std::wstring directory = ToWide(path);
    // The shell takes only backslashes between the levels it creates, while
    // a path named in the registry may use either separator.
    for (wchar_t& ch : directory) {
      if (ch == L'/') {
        ch = L'\\';
      }
    }
    while (directory.size() > 3 && directory.back() == L'\\') {
      directory.pop_back();
    }
    if (directory.empty()) {
      return false;
    }
    // The shell takes only full paths; a relative one (an AllAppData value
    // of "Shared") is taken from the current folder, as the file functions
    // that later open the settings file take it.
    directory = FullPath(directory);
    // Creates every missing level; the result only tells how it went, the
    // folder's existence afterwards is what counts.
    SHCreateDirectoryExW(nullptr, directory.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(directory.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }
};

}  // namespace

TRegistryValue ReadRegistryValue(HKEY root, const wchar_t* keyPath, const wchar_t* valueName) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return {};
  }
  TKeyCloser closer(key);
  return ReadOpenKey(key, valueName);
}

std::u16string AnsiToUtf16(std::string_view text) {
  if (text.empty()) {
    return {};
  }
  const int length = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (wide <= 0) {
    return {};
  }
  std::vector<wchar_t> buffer(static_cast<size_t>(wide));
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, buffer.data(), wide);
  return ToU16(buffer.data(), buffer.size());
}

void SetShellOwnerWindow(HWND (*ownerWindow)()) {
  ShellOwnerWindow = ownerWindow;
}

bool EqualTextInUserLocale(std::string_view a, std::string_view b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::unique_ptr<TPlatform> MakeNativePlatform() {
  return std::make_unique<TWindowsPlatform>();
}
