// SPDX-License-Identifier: MIT
#include "tests/SettingsFileTest.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstdint>
#include <fstream>
#include <iterator>

#include "calc/FeedParams.h"
#include "settings/NVData.h"
#include "settings/TaggedReader.h"

namespace fs = std::filesystem;

std::string CrLfLines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line + "\r\n";
  }
  return text;
}

const std::string kHeader = CrLfLines({"Non volatile data for Kolvane (Win)", ""});

// Line by line; the one byte above 127 is 0xF6 in "öfw".
const std::string kDefaultFile = kHeader + CrLfLines({
                                               "{900} lan = 0;",
                                               "{020} weg = 0.0100; [m]",
                                               "{021} hza = 100.0;",
                                               "{022} bes = 10.000;",
                                               "{023} max = 1.333400; [m/s]",
                                               "{029} snq = 1;",
                                               "{024} \xF6"
                                               "fw = 180;",
                                               "{025} max = 50.000000;",
                                               "{027} ruz = 0.010;",
                                               "{030} spd = 1.333400; [m/s]",
                                           });

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  ASSERT_TRUE(out.good()) << path;
}

std::optional<std::string> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> EntryNames(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::set<std::string> Temporaries(const fs::path& dir) {
  std::set<std::string> names = EntryNames(dir);
  names.erase("NV-Data.kqn");
  return names;
}

std::u16string DirText(const fs::path& dir) {
  return dir.u16string() + static_cast<char16_t>(fs::path::preferred_separator);
}

#ifdef _WIN32
unsigned long ProcessId() {
  return GetCurrentProcessId();
}

// The C++ library cannot date a folder back here.
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
#else
unsigned long ProcessId() {
  return static_cast<unsigned long>(getpid());
}

void MakeOlder(const fs::path& path, std::chrono::seconds age) {
  fs::last_write_time(path, fs::file_time_type::clock::now() - age);
}
#endif

void SettingsFileTest::SetUp() {
  fs::create_directories(DataPath());
  fs::create_directories(ProgramPath());
  DataDir = DirText(DataPath());
  ProgramDir = DirText(ProgramPath());
  SetDefaultFeedParams();
  Language = 0;
  LastTag = 0;
}
