// SPDX-License-Identifier: MIT
// The settings file on Windows: 16-bit paths, the same bytes as on every
// system, and a save that replaces the old file in one step or not at all.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "calc/FeedParams.h"
#include "settings/NVData.h"
#include "settings/SaveFileOps.h"

namespace fs = std::filesystem;

namespace {

const std::string kDefaultFile =
    "Non volatile data for Kolvane (Win)\r\n"
    "\r\n"
    "{900} lan = 0;\r\n"
    "{020} weg = 0.0100; [m]\r\n"
    "{021} hza = 100.0;\r\n"
    "{022} bes = 10.000;\r\n"
    "{023} max = 1.333400; [m/s]\r\n"
    "{029} snq = 1;\r\n"
    "{024} \xF6"
    "fw = 180;\r\n"
    "{025} max = 50.000000;\r\n"
    "{027} ruz = 0.010;\r\n"
    "{030} spd = 1.333400; [m/s]\r\n";

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::set<std::wstring> EntryNames(const fs::path& dir) {
  std::set<std::wstring> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.insert(entry.path().filename().wstring());
  }
  return names;
}

// Sets the last write time of a file or folder to age ago; the C++ library
// cannot do it for a folder here.
void MakeOlder(const fs::path& path, std::chrono::seconds age) {
  const HANDLE handle = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE) << "cannot open " << path.string();
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
  ticks.QuadPart -= 10'000'000ULL * static_cast<uint64_t>(age.count());  // 100 ns ticks
  const FILETIME written{ticks.LowPart, ticks.HighPart};
  EXPECT_TRUE(SetFileTime(handle, nullptr, nullptr, &written));
  CloseHandle(handle);
}

// Each test gets a data and a program folder below a folder whose name no
// ANSI code page can spell, at the start-up values and German.
class WindowsSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            (L"kolvane-Pr\u00E4gerei-\u041F\u0440\u0435\u0441\u0441-\u30D7\u30EC\u30B9-" +
             std::to_wstring(GetCurrentProcessId()));
    data_ = root_ / "data";
    program_ = root_ / "program";
    settings_ = data_ / "NV-Data.kqn";
    fs::remove_all(root_);
    fs::create_directories(data_);
    fs::create_directories(program_);
    DataDir = data_.u16string() + u"\\";
    ProgramDir = program_.u16string() + u"\\";
    SetDefaultFeedParams();
    Language = 0;
  }
  void TearDown() override {
    SetFileAttributesW(settings_.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  fs::path root_;
  fs::path data_;
  fs::path program_;
  fs::path settings_;
};

TEST_F(WindowsSettingsTest, SaveWritesTheSameBytesAsEverySystem) {
  SaveNVData();
  EXPECT_EQ(ReadBytes(settings_), kDefaultFile);
  EXPECT_EQ(EntryNames(data_), std::set<std::wstring>{L"NV-Data.kqn"});
}

TEST_F(WindowsSettingsTest, LoadDropsCarriageReturnsAndStopsAtTheEndOfDataByte) {
  WriteBytes(settings_,
             "Non volatile data for Kolvane (Win)\r\n\r\n"
             "{900} lan = 1;\r\n{020} weg = 0.5000; [m]\r\n{024} \xF6"
             "fw = 1\r\r\r20;\r\n\x1A{022} bes = 3.000;\r\n");
  LoadNVData();
  EXPECT_EQ(Language, 1);
  EXPECT_EQ(FeedParams.FeedLength, 0.5);
  EXPECT_EQ(FeedParams.ApertureAngle, 120.0);
  EXPECT_EQ(FeedParams.Accel, 10.0);  // behind the end of the data
}

TEST_F(WindowsSettingsTest, FallbackBesideTheProgramIsReadByItsWidePath) {
  WriteBytes(program_ / "NV-Data.kqx", "{020} weg = 0.25;\r\n");
  LoadNVData();
  EXPECT_EQ(FeedParams.FeedLength, 0.25);
}

TEST_F(WindowsSettingsTest, SaveReplacesTheOldFileAndKeepsItHidden) {
  WriteBytes(settings_, std::string(5000, 'x'));
  ASSERT_TRUE(SetFileAttributesW(settings_.c_str(), FILE_ATTRIBUTE_HIDDEN));
  SaveNVData();
  EXPECT_EQ(ReadBytes(settings_), kDefaultFile);
  EXPECT_NE(GetFileAttributesW(settings_.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(EntryNames(data_), std::set<std::wstring>{L"NV-Data.kqn"});
}

TEST_F(WindowsSettingsTest, ReadOnlyOldFileIsLeftAlone) {
  WriteBytes(settings_, "{020} weg = 0.5;\r\n");
  ASSERT_TRUE(SetFileAttributesW(settings_.c_str(), FILE_ATTRIBUTE_READONLY));
  SaveNVData();
  EXPECT_EQ(ReadBytes(settings_), "{020} weg = 0.5;\r\n");
  EXPECT_EQ(EntryNames(data_), std::set<std::wstring>{L"NV-Data.kqn"});
}

TEST_F(WindowsSettingsTest, FileHeldOpenByAnotherProgramKeepsItsContent) {
  // A program that shares it for reading only: neither a replacement nor a
  // rewrite may reach it.
  WriteBytes(settings_, "{020} weg = 0.5;\r\n");
  HANDLE held = CreateFileW(settings_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SaveNVData();
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(settings_), "{020} weg = 0.5;\r\n");
  EXPECT_EQ(EntryNames(data_), std::set<std::wstring>{L"NV-Data.kqn"});
}

TEST_F(WindowsSettingsTest, DirectoryInTheFilesPlaceIsLeftAlone) {
  fs::create_directory(settings_);
  WriteBytes(settings_ / "inside", "kept");
  SaveNVData();
  LoadNVData();  // reads the fallback, of which there is none
  EXPECT_TRUE(fs::is_directory(settings_));
  EXPECT_EQ(ReadBytes(settings_ / "inside"), "kept");
  EXPECT_EQ(FeedParams.FeedLength, 0.01);
}

TEST_F(WindowsSettingsTest, FailedFlushKeepsTheOldFileAndRemovesTheTemporary) {
  WriteBytes(settings_, "{020} weg = 0.5;\r\n");
  SaveFileOps.Flush = [](FILE* file) {
    RealSaveFileOps.Flush(file);
    return EOF;
  };
  SaveNVData();
  SaveFileOps = RealSaveFileOps;
  EXPECT_EQ(ReadBytes(settings_), "{020} weg = 0.5;\r\n");
  EXPECT_EQ(EntryNames(data_), std::set<std::wstring>{L"NV-Data.kqn"});
}

// What earlier saves killed on the way left in the data folder: a temporary
// file older than a minute is removed by the next save; a younger one may
// belong to a save running right now, and anything not named like a
// temporary of this file, or not a file, is someone else's.
TEST_F(WindowsSettingsTest, SaveRemovesOnlyAbandonedTemporaries) {
  struct TEntry {
    const wchar_t* name;
    std::chrono::seconds age;
    bool isFolder;
    bool removed;
  };
  const TEntry kEntries[] = {
      {L"NV-Data.kqn.4711-0.tmp", std::chrono::minutes(2), false, true},
      {L"NV-Data.kqn.0123456789abcdef.tmp", std::chrono::minutes(5), false, true},
      {L"NV-Data.kqn.fedcba9876543210.tmp", std::chrono::seconds(5), false, false},
      {L"NV-Data.kqn.backup.tmp", std::chrono::minutes(2), false, false},
      {L"NV-Data.kqx.4711-0.tmp", std::chrono::minutes(2), false, false},
      {L"NV-Data.kqn.4711-1.tmp", std::chrono::minutes(2), true, false},
  };
  std::set<std::wstring> kept{L"NV-Data.kqn"};
  for (const TEntry& entry : kEntries) {
    const fs::path path = data_ / entry.name;
    if (entry.isFolder) {
      fs::create_directory(path);
    } else {
      WriteBytes(path, "left");
    }
    MakeOlder(path, entry.age);
    if (!entry.removed) {
      kept.insert(entry.name);
    }
  }
  SaveNVData();
  EXPECT_EQ(EntryNames(data_), kept);
  EXPECT_EQ(ReadBytes(settings_), kDefaultFile);
}

}  // namespace
