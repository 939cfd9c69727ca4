// SPDX-License-Identifier: MIT
// The Windows platform layer against the real registry, shell and file
// system (run under Wine in the build's own prefix).

#include <gtest/gtest.h>
#include <windows.h>
// The shell's headers need <windows.h> first.
#include <knownfolders.h>
#include <shlobj.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/Folders.h"
#include "app/Platform.h"
#include "app/PlatformWindows.h"

namespace fs = std::filesystem;

namespace {

using TKind = TRegistryValue::TKind;

std::u16string U16(const std::wstring& text) {
  return std::u16string(text.begin(), text.end());
}

// A key of the test's own under HKEY_CURRENT_USER, removed afterwards: the
// machine key belongs to the program and is exercised through kolvane.exe.
class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str());
  }
  void Set(DWORD type, const void* data, size_t bytes) {
    ASSERT_EQ(RegSetValueExW(key_, L"AllAppData", 0, type, static_cast<const BYTE*>(data),
                             static_cast<DWORD>(bytes)),
              ERROR_SUCCESS);
  }
  TRegistryValue Read() {
    return ReadRegistryValue(HKEY_CURRENT_USER, kKey.c_str(), L"AllAppData");
  }

  const std::wstring kKey = L"Software\\Kolvane-Test-" + std::to_wstring(GetCurrentProcessId());
  HKEY key_ = nullptr;
};

struct TRegistryCase {
  const char* Name;
  DWORD Type;
  std::wstring Data;  // stored as its UTF-16 bytes, cut to Bytes
  size_t Bytes;
  TKind Kind;
  std::u16string Text;
};

void PrintTo(const TRegistryCase& c, std::ostream* os) {
  *os << c.Name;
}

class RegistryValueTest : public RegistryTest, public testing::WithParamInterface<TRegistryCase> {};

TEST_P(RegistryValueTest, GivesTheValue) {
  const TRegistryCase& c = GetParam();
  Set(c.Type, c.Data.data(), c.Bytes);
  const TRegistryValue value = Read();
  EXPECT_EQ(value.Kind, c.Kind);
  EXPECT_EQ(value.Text, c.Text);
}

constexpr size_t kUnit = sizeof(wchar_t);
const std::wstring kShared = L"D:\\Shared";
const std::wstring kWithNul(L"D:\\A\0D:\\B", 9);
const std::wstring kLong(1000, L'x');

const TRegistryCase kRegistryCases[] = {
    {"StringWithItsNul", REG_SZ, kShared, (kShared.size() + 1) * kUnit, TKind::Text, u"D:\\Shared"},
    {"StringWithoutNul", REG_SZ, kShared, kShared.size() * kUnit, TKind::Text, u"D:\\Shared"},
    {"StringUpToItsFirstNul", REG_SZ, kWithNul, kWithNul.size() * kUnit, TKind::Text, u"D:\\A"},
    {"StringWithAnOddByte", REG_SZ, kShared, kShared.size() * kUnit + 1, TKind::Text,
     u"D:\\Shared"},
    {"LongString", REG_SZ, kLong, kLong.size() * kUnit, TKind::Text, std::u16string(1000, u'x')},
    {"ExpandableStringTakenLiterally", REG_EXPAND_SZ, L"%SystemRoot%\\x", 15 * kUnit, TKind::Text,
     u"%SystemRoot%\\x"},
    {"EmptyData", REG_SZ, L"", 0, TKind::Missing, u""},
    {"OnlyANul", REG_SZ, std::wstring(1, L'\0'), kUnit, TKind::Text, u""},
    {"Number", REG_DWORD, L"\x0005\x0000", 4, TKind::InvalidType, u""},
    {"StringList", REG_MULTI_SZ, std::wstring(L"a\0b\0\0", 5), 5 * kUnit, TKind::InvalidType, u""},
    {"Binary", REG_BINARY, L"ab", 4, TKind::InvalidType, u""},
    {"EmptyNumberTypedValue", REG_DWORD, L"", 0, TKind::Missing, u""},
};

INSTANTIATE_TEST_SUITE_P(Cases, RegistryValueTest, testing::ValuesIn(kRegistryCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(RegistryTest, MissingValueOrKeyGivesNoValue) {
  EXPECT_EQ(Read().Kind, TKind::Missing);
  EXPECT_EQ(
      ReadRegistryValue(HKEY_CURRENT_USER, L"Software\\Kolvane-Test-No-Such-Key", L"AllAppData")
          .Kind,
      TKind::Missing);
}

TEST_F(RegistryTest, TheMachineKeyIsOnlyRead) {
  // The program's own lookup never creates the machine key it asks for.
  std::unique_ptr<TPlatform> platform = MakeNativePlatform();
  platform->ReadAllAppData();
  HKEY key = nullptr;
  const LONG opened =
      RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\DVK-Dudivezava\\R-MOX", 0, KEY_READ, &key);
  if (opened == ERROR_SUCCESS) {
    RegCloseKey(key);
  }
  EXPECT_EQ(opened, ERROR_FILE_NOT_FOUND) << "a scenario left the key behind, or it was created";
}

TEST(AllUsersFolder, IsTheShellsProgramDataFolder) {
  PWSTR known = nullptr;
  ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &known), S_OK);
  const std::u16string expected = U16(known);
  CoTaskMemFree(known);

  const std::optional<std::u16string> folder = MakeNativePlatform()->CommonAppDataFolder();
  ASSERT_TRUE(folder.has_value());
  EXPECT_EQ(*folder, expected);
}

TEST(AnsiText, ConvertsFromTheSystemCodePage) {
  EXPECT_EQ(AnsiToUtf16("C:\\ProgramData"), u"C:\\ProgramData");
  EXPECT_EQ(AnsiToUtf16(""), u"");
  if (GetACP() != 1252) {
    GTEST_SKIP() << "the system code page is " << GetACP() << ", not Western European";
  }
  EXPECT_EQ(AnsiToUtf16("C:\\Pr\xE4gerei\\\x80"), u"C:\\Prägerei\\€");
}

TEST(ExecutablePath, IsAbsoluteAndNamesThisProgram) {
  const std::u16string path = MakeNativePlatform()->ExecutablePath();
  ASSERT_GT(path.size(), 3u);
  EXPECT_EQ(path.substr(1, 2), u":\\");
  EXPECT_TRUE(path.ends_with(u"\\platform_windows_test.exe"));
}

// A fresh folder for one test, removed with everything in it afterwards.
class DirectoryTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("kolvane-platform-" + std::to_string(GetCurrentProcessId()) + "-" +
             testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  std::u16string Under(const std::wstring& relative) const {
    return U16(root_.wstring() + L"\\" + relative);
  }

  fs::path root_;
  std::unique_ptr<TPlatform> platform_ = MakeNativePlatform();
};

TEST_F(DirectoryTest, CreatesEveryMissingLevel) {
  struct TCase {
    const wchar_t* Relative;
    const wchar_t* Made;
  };
  const TCase cases[] = {
      {L"a\\b\\c\\", L"a\\b\\c"},
      {L"a\\b\\c", L"a\\b\\c"},  // existed already
      {L"d/e/f/", L"d\\e\\f"},
      {L"Pr\u00E4gerei\\\u041F\u0440\u0435\u0441\u0441\\\u30D7\u30EC\u30B9\\",
       L"Pr\u00E4gerei\\\u041F\u0440\u0435\u0441\u0441\\\u30D7\u30EC\u30B9"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(fs::path(c.Relative).string());
    EXPECT_TRUE(platform_->CreateDirectoryPath(Under(c.Relative)));
    EXPECT_TRUE(fs::is_directory(root_ / c.Made));
  }
}

// A relative name (an AllAppData value of "Shared") is made below the
// current folder, or the current drive's root, as the file functions that
// later open the settings file in it take it.
TEST_F(DirectoryTest, ARelativePathIsMadeWhereTheFileFunctionsTakeIt) {
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(root_.c_str()));
  const std::wstring fromTheDrivesRoot = root_.wstring().substr(2);  // without "C:"
  struct TCase {
    std::u16string Path;
    fs::path Made;
  };
  const TCase cases[] = {
      {u"Shared\\DVK\\Common\\", root_ / "Shared" / "DVK" / "Common"},
      {u".\\Dot\\DVK\\", root_ / "Dot" / "DVK"},
      {U16(fromTheDrivesRoot + L"\\Rooted\\DVK\\"), root_ / "Rooted" / "DVK"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Made.string());
    EXPECT_TRUE(platform_->CreateDirectoryPath(c.Path));
    EXPECT_TRUE(fs::is_directory(c.Made));
  }

  // The whole resolution of the data folder with such a value.
  class TRelativeShared : public TPlatform {
   public:
    explicit TRelativeShared(TPlatform& native) : native_(native) {}
    TRegistryValue ReadAllAppData() override { return {TRegistryValue::TKind::Text, u"Named"}; }
    std::optional<std::u16string> CommonAppDataFolder() override { return std::nullopt; }
    std::u16string ExecutablePath() override { return u"C:\\Program\\kolvane.exe"; }
    bool CreateDirectoryPath(const std::u16string& path) override {
      return native_.CreateDirectoryPath(path);
    }

   private:
    TPlatform& native_;
  };
  TRelativeShared named(*platform_);
  EXPECT_EQ(DataFolder(named, u"C:\\Program\\"), u"Named\\DVK\\Common\\");
  EXPECT_TRUE(fs::is_directory(root_ / "Named" / "DVK" / "Common"));
  SetCurrentDirectoryW(previous);
}

TEST_F(DirectoryTest, PlaceThatCannotHoldAFolderFails) {
  HANDLE file = CreateFileW((root_ / L"file").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_FALSE(platform_->CreateDirectoryPath(Under(L"file")));
  EXPECT_FALSE(platform_->CreateDirectoryPath(Under(L"file\\sub\\")));
  EXPECT_FALSE(platform_->CreateDirectoryPath(u""));
  // A drive letter that names nothing.
  if (GetDriveTypeW(L"Q:\\") == DRIVE_NO_ROOT_DIR) {
    EXPECT_FALSE(platform_->CreateDirectoryPath(u"Q:\\nowhere\\DVK\\Common\\"));
  }
}

TEST(LanguageSwitchText, ComparesIgnoringCase) {
  EXPECT_TRUE(EqualTextInUserLocale("d", "d"));
  EXPECT_TRUE(EqualTextInUserLocale("D", "d"));
  for (const char* other : {"e", "de", "dd", "", "d ", "deutsch"}) {
    SCOPED_TRACE(other);
    EXPECT_FALSE(EqualTextInUserLocale(other, "d"));
  }
}

}  // namespace
