// SPDX-License-Identifier: MIT
// The settings file on Windows' file layer: the attributes and permissions a
// user or an administrator gives it (hidden, read-only, who may change it)
// and another program holding it open.

#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>.
#include <aclapi.h>
#include <sddl.h>

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

// The rights an allow entry of the file's access list gives a well-known
// group; 0 when it has none.
ACCESS_MASK AllowedTo(const std::filesystem::path& file, WELL_KNOWN_SID_TYPE who) {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof sid;
  CreateWellKnownSid(who, nullptr, sid, &size);
  PACL access = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(file.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &access, nullptr, &descriptor) != ERROR_SUCCESS) {
    return 0;
  }
  ACCESS_MASK allowed = 0;
  for (DWORD i = 0; access != nullptr && i < access->AceCount; ++i) {
    void* entry = nullptr;
    if (GetAce(access, i, &entry) &&
        static_cast<ACE_HEADER*>(entry)->AceType == ACCESS_ALLOWED_ACE_TYPE) {
      auto* allow = static_cast<ACCESS_ALLOWED_ACE*>(entry);
      if (EqualSid(&allow->SidStart, sid)) {
        allowed |= allow->Mask;
      }
    }
  }
  LocalFree(descriptor);
  return allowed;
}

// An administrator let every user change the shared file; the first save
// must not take that away, or the other users' saves fail from then on.
TEST_F(WindowsSettingsFileTest, SaveKeepsWhoMayChangeTheFile) {
  WriteBytes(SettingsFile(), "{020} weg = 0.5;\r\n");
  PSECURITY_DESCRIPTOR wanted = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"D:(A;;FA;;;SY)(A;;FA;;;OW)(A;;FRFW;;;WD)", SDDL_REVISION_1, &wanted, nullptr));
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL access = nullptr;
  GetSecurityDescriptorDacl(wanted, &present, &access, &defaulted);
  std::wstring path = SettingsFile().wstring();
  ASSERT_EQ(SetNamedSecurityInfoW(path.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                  nullptr, access, nullptr),
            static_cast<DWORD>(ERROR_SUCCESS));
  LocalFree(wanted);
  const ACCESS_MASK everyone = AllowedTo(SettingsFile(), WinWorldSid);
  ASSERT_NE(everyone & FILE_WRITE_DATA, 0u) << "the file system keeps no such permission";

  SaveNVData();
  EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
  EXPECT_EQ(AllowedTo(SettingsFile(), WinWorldSid), everyone);
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
}

TEST_F(WindowsSettingsFileTest, FileHeldOpenByAnotherProgramThroughoutKeepsItsContent) {
  // A program that lets others read and write it but not replace it, for
  // longer than the save waits: the save is given up, and the file is not
  // rewritten in place under it either.
  WriteBytes(SettingsFile(), "{020} weg = 0.5;\r\n");
  HANDLE held =
      CreateFileW(SettingsFile().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SaveNVData();
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(SettingsFile()), "{020} weg = 0.5;\r\n");
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
}

// A virus scanner, a backup or a second Kolvane holds the file for half a
// second while the window closes: the save waits for it.
TEST_F(WindowsSettingsFileTest, FileAnotherProgramHoldsForAMomentIsReplacedOnceItLetsGo) {
  WriteBytes(SettingsFile(), "{020} weg = 0.5;\r\n");
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::filesystem::path holder = std::filesystem::path(self).parent_path() / "hold_file.exe";
  const std::wstring ready = L"kolvane-held-" + std::to_wstring(GetCurrentProcessId());
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, ready.c_str());
  std::wstring command =
      L"\"" + holder.wstring() + L"\" \"" + SettingsFile().wstring() + L"\" 500 " + ready;
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(holder.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &start, &process))
      << "cannot start " << holder.string();
  ASSERT_EQ(WaitForSingleObject(held, 20000), WAIT_OBJECT_0) << "the other program never held it";

  SaveNVData();
  WaitForSingleObject(process.hProcess, 20000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
}

}  // namespace
