// SPDX-License-Identifier: MIT
#include "cli/StoredSettings.h"

#include <filesystem>
#include <system_error>
#include <utility>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "app/Folders.h"
#include "settings/NVData.h"

namespace fs = std::filesystem;

namespace {

// Whether the window, which creates the missing parts of the data folder,
// would succeed: the nearest existing ancestor must be a directory in which
// entries can be made.
bool CouldCreate(const fs::path& folder) {
  std::error_code error;
  for (fs::path at = folder; !at.empty(); at = at.parent_path()) {
    if (fs::exists(at, error)) {
      if (!fs::is_directory(at, error)) {
        return false;
      }
#ifdef _WIN32
      return true;
#else
      return access(at.c_str(), W_OK | X_OK) == 0;
#endif
    }
    if (at == at.parent_path()) {
      break;
    }
  }
  return false;
}

class TReadOnlyPlatform : public TPlatform {
 public:
  explicit TReadOnlyPlatform(std::unique_ptr<TPlatform> native) : native_(std::move(native)) {}

  TRegistryValue ReadAllAppData() override { return native_->ReadAllAppData(); }
  std::optional<std::u16string> CommonAppDataFolder() override {
    return native_->CommonAppDataFolder();
  }
  std::u16string ExecutablePath() override { return native_->ExecutablePath(); }
  bool CreateDirectoryPath(const std::u16string& path) override {
    // A trailing separator would make the folder its own parent's child "".
    fs::path folder = fs::path(path).lexically_normal();
    if (!folder.has_filename()) {
      folder = folder.parent_path();
    }
    std::error_code error;
    return fs::is_directory(folder, error) || CouldCreate(folder);
  }

 private:
  std::unique_ptr<TPlatform> native_;
};

}  // namespace

std::unique_ptr<TPlatform> MakeReadOnlyPlatform(std::unique_ptr<TPlatform> native) {
  return std::make_unique<TReadOnlyPlatform>(std::move(native));
}

TFeedParams ReadStoredSettings(TPlatform& platform) {
  const std::u16string programFolder = ProgramFolder(platform);
  const std::u16string dataFolder = DataFolder(platform, programFolder);
  TFeedParams params = DefaultSettings();
  int32_t language = 0;  // the window's; kolvane-calc takes --lang
  LoadNVData(params, language, dataFolder, programFolder);
  return params;
}

TFeedParams DefaultSettings() {
  TFeedParams params{};
  SetDefaultFeedParams(params);
  return params;
}
