// SPDX-License-Identifier: MIT
#include "app/PlatformLinux.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "app/TextCodec.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kConfigFile = "DVK-Dudivezava/R-MOX.conf";
constexpr std::string_view kValueName = "allappdata";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// The ".reg" forms of the registry's non-string types.
bool IsTypedValue(std::string_view value) {
  const std::string lower = LowerAscii(value);
  if (lower.starts_with("dword:") || lower.starts_with("qword:") || lower.starts_with("hex:")) {
    return true;
  }
  return lower.starts_with("hex(") && lower.find("):") != std::string::npos;
}

TRegistryValue InvalidType() {
  return {TRegistryValue::TKind::InvalidType, {}};
}

TRegistryValue TextValue(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  const std::optional<std::u16string> wide = Utf8ToUtf16(text);
  if (!wide) {
    return InvalidType();
  }
  return {TRegistryValue::TKind::Text, *wide};
}

TRegistryValue ParseValue(std::string_view value) {
  value = Trim(value);
  if (value.starts_with('"')) {
    const size_t close = value.rfind('"');
    if (close == 0) {
      return InvalidType();
    }
    return TextValue(value.substr(1, close - 1));
  }
  if (IsTypedValue(value)) {
    return InvalidType();
  }
  return TextValue(value);
}

// The value of an "AllAppData=" line; nothing for any other line.
std::optional<TRegistryValue> ParseLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    return std::nullopt;
  }
  if (LowerAscii(Trim(line.substr(0, equals))) != kValueName) {
    return std::nullopt;
  }
  return ParseValue(line.substr(equals + 1));
}

std::optional<std::string> ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool IsAbsolute(const char* path) {
  return path != nullptr && path[0] == '/';
}

std::optional<std::u16string> WideFromEnvironmentPath(std::string path) {
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return Utf8ToUtf16(path);
}

class TLinuxPlatform : public TPlatform {
 public:
  TRegistryValue ReadAllAppData() override {
    for (const std::string& dir : ConfigSearchDirs()) {
      const fs::path file = fs::path(dir) / kConfigFile;
      std::error_code error;
      // Only a regular file counts: a pipe or a device could block the start
      // or never end.
      if (!fs::is_regular_file(file, error)) {
        continue;
      }
      // The first directory holding the file decides, also when the file
      // cannot be read: like a registry key without read access.
      const std::optional<std::string> content = ReadWholeFile(file);
      return content ? ParseAllAppDataConfig(*content) : TRegistryValue{};
    }
    return {};
  }

  std::optional<std::u16string> CommonAppDataFolder() override {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (IsAbsolute(dataHome)) {
      if (auto wide = WideFromEnvironmentPath(dataHome)) {
        return wide;
      }
    }
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home)) {
      if (auto wide = WideFromEnvironmentPath(home)) {
        return (wide->back() == u'/' ? *wide : *wide + u'/') + u".local/share";
      }
    }
    return std::nullopt;
  }

  std::u16string ExecutablePath() override {
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? std::u16string() : Utf8ToUtf16(path.native()).value_or(std::u16string());
  }

  bool CreateDirectoryPath(const std::u16string& path) override {
    if (path.empty()) {
      return false;
    }
    const fs::path directory(Utf16ToUtf8(path));
    std::error_code error;
    fs::create_directories(directory, error);
    return fs::is_directory(directory, error);
  }
};

}  // namespace

TRegistryValue ParseAllAppDataConfig(std::string_view content) {
  if (content.starts_with(kUtf8ByteOrderMark)) {
    content.remove_prefix(kUtf8ByteOrderMark.size());
  }
  while (!content.empty()) {
    const size_t end = content.find('\n');
    const std::string_view line = content.substr(0, end);
    if (std::optional<TRegistryValue> value = ParseLine(line)) {
      return *value;
    }
    content = (end == std::string_view::npos) ? std::string_view() : content.substr(end + 1);
  }
  return {};
}

std::vector<std::string> ConfigSearchDirs() {
  const char* variable = std::getenv("XDG_CONFIG_DIRS");
  if (variable == nullptr || *variable == '\0') {
    return {"/etc/xdg"};
  }
  std::vector<std::string> dirs;
  std::string_view rest(variable);
  while (!rest.empty()) {
    const size_t colon = rest.find(':');
    const std::string_view entry = rest.substr(0, colon);
    if (entry.starts_with('/')) {
      dirs.emplace_back(entry);
    }
    rest = (colon == std::string_view::npos) ? std::string_view() : rest.substr(colon + 1);
  }
  return dirs;
}

// The texts compared here are command-line values in any encoding: only the
// plain letters fold, so no locale can make another text equal to a letter.
bool EqualTextInUserLocale(std::string_view a, std::string_view b) {
  return LowerAscii(a) == LowerAscii(b);
}

std::unique_ptr<TPlatform> MakeNativePlatform() {
  return std::make_unique<TLinuxPlatform>();
}
