#pragma once
// A platform with answers set by the test and a record of what was asked.

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/Platform.h"

class TFakePlatform : public TPlatform {
 public:
  enum class TCreateMode {
    Real,     // creates the directory on disk (use a temporary folder)
    Succeed,  // reports success without touching the disk
    Fail,     // reports failure
  };

  // Answers.
  TRegistryValue Registry;                     // Missing unless set
  std::optional<std::u16string> CommonFolder;  // nothing: the lookup fails
#ifdef _WIN32
  std::u16string Executable = u"\\opt\\kolvane\\bin\\kolvane";
#else
  std::u16string Executable = u"/opt/kolvane/bin/kolvane";
#endif
  TCreateMode CreateMode = TCreateMode::Real;

  // Record.
  int RegistryReads = 0;
  int CommonFolderAsks = 0;
  int ExecutableAsks = 0;
  std::vector<std::u16string> CreateRequests;

  TRegistryValue ReadAllAppData() override {
    ++RegistryReads;
    return Registry;
  }

  std::optional<std::u16string> CommonAppDataFolder() override {
    ++CommonFolderAsks;
    return CommonFolder;
  }

  std::u16string ExecutablePath() override {
    ++ExecutableAsks;
    return Executable;
  }

  bool CreateDirectoryPath(const std::u16string& path) override {
    CreateRequests.push_back(path);
    switch (CreateMode) {
      case TCreateMode::Succeed:
        return true;
      case TCreateMode::Fail:
        return false;
      case TCreateMode::Real:
        break;
    }
    const std::filesystem::path directory(path);
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    return std::filesystem::is_directory(directory, error);
  }
};
