// SPDX-License-Identifier: MIT
#include "tests/support/StoryHome.h"

#include <filesystem>

#include "tests/support/ProcessState.h"

namespace {

constexpr std::string_view kSettingsFile = "data/DVK/Common/NV-Data.kqn";

}  // namespace

void TStoryHome::Prepare(std::string_view settings, std::u16string_view program) {
  ResetProcessState();
  if (!settings.empty()) {
    folder_.Write(kSettingsFile, settings);
  }
  std::filesystem::create_directories(folder_ / "bin");
  platform_.CommonFolder = (folder_ / "data").u16string();
  platform_.Executable = (folder_ / "bin" / std::filesystem::path(program)).u16string();
}

std::string TStoryHome::SettingsFile() const {
  return folder_.Read(kSettingsFile);
}
