// SPDX-License-Identifier: MIT
#pragma once
// What the settings file's tests share on every system: the folders of a
// test, the file's bytes at the start-up values, and reading and writing
// bytes. settings_test.cpp holds the cases that run everywhere,
// settings_posix_test.cpp and settings_windows_test.cpp those of one file
// system.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>

#include "tests/support/TempFolder.h"

std::string CrLfLines(std::initializer_list<std::string> lines);

// The first line of the file and the empty one after it.
extern const std::string kHeader;
// The file at the start-up values and German, byte for byte.
extern const std::string kDefaultFile;

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
// Nothing when the file cannot be read.
std::optional<std::string> ReadBytes(const std::filesystem::path& path);
std::set<std::string> EntryNames(const std::filesystem::path& dir);
// The names in the folder other than the settings file's.
std::set<std::string> Temporaries(const std::filesystem::path& dir);
// The folder as the program's folder texts give it: with a closing separator.
std::u16string DirText(const std::filesystem::path& dir);
// This process's id, after which earlier versions named their temporary files.
unsigned long ProcessId();
// Dates a file or a folder back by the given time.
void MakeOlder(const std::filesystem::path& path, std::chrono::seconds age);

// Each test gets a data and a program folder below a folder whose name no
// ANSI code page can spell, and the start-up state: defaults, German,
// LastTag 0.
class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override;

  std::filesystem::path DataPath() const { return root_ / "data"; }
  std::filesystem::path ProgramPath() const { return root_ / "program"; }
  std::filesystem::path SettingsFile() const { return DataPath() / "NV-Data.kqn"; }
  std::filesystem::path FallbackFile() const { return ProgramPath() / "NV-Data.kqx"; }

  TTempFolder temp_;
  const std::filesystem::path root_ =
      temp_ /
      std::filesystem::path(u8"Pr\u00E4gerei-\u041F\u0440\u0435\u0441\u0441-\u30D7\u30EC\u30B9");
};
