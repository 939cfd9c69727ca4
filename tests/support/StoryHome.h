// SPDX-License-Identifier: MIT
#pragma once
// Where a user story's window lives: a folder of the test's own holding the
// shared data folder, and a platform that sends the program there. Opening
// again keeps the folder, so a story reads back what its last window saved.

#include <string>
#include <string_view>

#include "tests/FakePlatform.h"
#include "tests/support/TempFolder.h"

class TStoryHome {
 public:
  // Puts the process-wide values back as at the process's start; settings,
  // unless empty, become the settings file that the next window reads.
  // program: the file name the platform gives the program.
  void Prepare(std::string_view settings, std::u16string_view program);
  TFakePlatform& Platform() { return platform_; }
  // The settings file's bytes; empty when there is none.
  std::string SettingsFile() const;

 private:
  TTempFolder folder_;
  TFakePlatform platform_;
};
