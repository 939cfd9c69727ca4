// SPDX-License-Identifier: MIT
// The settings file on Windows' file layer: the attributes a user gives it
// (hidden, read-only) and another program holding it open.

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "settings/NVData.h"
#include "tests/SettingsFileTest.h"

namespace {

// Clears the attributes a test set, so that the test's folder can go.
class WindowsSettingsFileTest : public SettingsFileTest {
 protected:
  void TearDown() override { SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_NORMAL); }
};

TEST_F(WindowsSettingsFileTest, SaveReplacesTheOldFileAndKeepsItHidden) {
  WriteBytes(SettingsFile(), std::string(5000, 'x'));
  ASSERT_TRUE(SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_HIDDEN));
  SaveNVData();
  EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
  EXPECT_NE(GetFileAttributesW(SettingsFile().c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
}

TEST_F(WindowsSettingsFileTest, ReadOnlyOldFileIsLeftAlone) {
  WriteBytes(SettingsFile(), "{020} weg = 0.5;\r\n");
  ASSERT_TRUE(SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_READONLY));
  SaveNVData();
  EXPECT_EQ(ReadBytes(SettingsFile()), "{020} weg = 0.5;\r\n");
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
}

TEST_F(WindowsSettingsFileTest, FileHeldOpenByAnotherProgramKeepsItsContent) {
  // A program that shares it for reading only: neither a replacement nor a
  // rewrite may reach it.
  WriteBytes(SettingsFile(), "{020} weg = 0.5;\r\n");
  HANDLE held = CreateFileW(SettingsFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SaveNVData();
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(SettingsFile()), "{020} weg = 0.5;\r\n");
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
}

}  // namespace
