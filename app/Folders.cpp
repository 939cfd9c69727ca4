// SPDX-License-Identifier: MIT
#include "app/Folders.h"

#include <string>
#include <string_view>

#include "app/Exception.h"
#include "settings/NVData.h"

namespace {

constexpr std::u16string_view kAllAppDataName = u"AllAppData";
constexpr std::u16string_view kInvalidTypeFormat = u"Ungültiger Datentyp für '%s'";

std::u16string FormatWithName(std::u16string_view format, std::u16string_view name) {
  std::u16string text(format);
  const size_t at = text.find(u"%s");
  if (at != std::u16string::npos) {
    text.replace(at, 2, name);
  }
  return text;
}

// Windows takes "/" as a separator as well as its own "\\".
bool IsPathSeparator(char16_t ch) {
#ifdef _WIN32
  return ch == u'\\' || ch == u'/';
#else
  return ch == PathSeparator;
#endif
}

std::u16string DirectoryOf(const std::u16string& path) {
  size_t end = path.size();  // just behind the last separator
  while (end > 0 && !IsPathSeparator(path[end - 1])) {
    --end;
  }
  return path.substr(0, end);
}

// The shared data folder the administrator named, else the all-users folder.
// The all-users folder is only asked when no name was given.
std::u16string SharedDataCandidate(TPlatform& platform) {
  const TRegistryValue value = platform.ReadAllAppData();
  if (value.Kind == TRegistryValue::TKind::InvalidType) {
    throw Exception(FormatWithName(kInvalidTypeFormat, kAllAppDataName));
  }
  if (value.Kind == TRegistryValue::TKind::Text && !value.Text.empty()) {
    return value.Text;
  }
  return platform.CommonAppDataFolder().value_or(std::u16string());
}

}  // namespace

void ResolveFolders(TPlatform& platform) {
  ProgramDir = ProgramFolder(platform);
  DataDir = DataFolder(platform, ProgramDir);
}

std::u16string ProgramFolder(TPlatform& platform) {
  return DirectoryOf(platform.ExecutablePath());
}

std::u16string DataFolder(TPlatform& platform, const std::u16string& programFolder) {
  std::u16string candidate = SharedDataCandidate(platform);
  if (candidate.empty()) {
    return programFolder;
  }
  if (!IsPathSeparator(candidate.back())) {
    candidate += PathSeparator;
  }
  candidate += u"DVK";
  candidate += PathSeparator;
  candidate += u"Common";
  candidate += PathSeparator;
  // A named folder that cannot be made is not replaced by the all-users
  // folder: the administrator's choice failed, so the program keeps to itself.
  return platform.CreateDirectoryPath(candidate) ? candidate : programFolder;
}
