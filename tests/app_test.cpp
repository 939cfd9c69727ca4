// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/EntryPoint.h"
#include "app/Exception.h"
#include "app/Folders.h"
#ifndef _WIN32
#include "app/PlatformLinux.h"
#endif
#include "app/SwitchReader.h"
#include "app/TextCodec.h"
#include "settings/NVData.h"
#include "tests/FakePlatform.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------
// Switch reader

struct TSwitchCase {
  const char* Name;
  std::string Text;
  char Letter;
  std::string Expected;
};

void PrintTo(const TSwitchCase& c, std::ostream* os) {
  *os << c.Name;
}

class SwitchValueTest : public testing::TestWithParam<TSwitchCase> {};

TEST_P(SwitchValueTest, FindsTheValue) {
  const TSwitchCase& c = GetParam();
  EXPECT_EQ(GetSwitchValue(c.Text.c_str(), c.Letter), c.Expected);
}

std::string Repeat(char ch, size_t count) {
  return std::string(count, ch);
}

const TSwitchCase kSwitchCases[] = {
    {"SlashLowerCase", "/l:d", 'l', "d"},
    {"DashUpperCase", "-L:D", 'l', "D"},
    {"UpperCaseLetterAsked", "/l:e", 'L', "e"},
    {"LongerValuesKeptWhole", "/l:deutsch", 'l', "deutsch"},
    {"EmptyText", "", 'l', ""},
    {"EmptyValue", "/l:", 'l', ""},
    {"NoColon", "/l", 'l', ""},
    {"NoColonBeforeValue", "/l d", 'l', ""},
    {"LongerSwitchName", "/lang:d", 'l', ""},
    {"GluedToWordBefore", "x/l:e", 'l', ""},
    {"DashGluedToWordBefore", "a-l:e", 'l', ""},
    {"AfterSpace", "file.txt /l:e", 'l', "e"},
    {"TabBeforeSwitch", "file.txt\t/l:e", 'l', ""},
    {"OtherSwitchSkipped", "/x:1 /l:e", 'l', "e"},
    {"BlanksAroundValue", "/l:  d  ", 'l', "d"},
    {"QuotedValue", "/l:\"d\"", 'l', "d"},
    {"LeadingBlanksInsideQuotes", "/l:\"  d  \"", 'l', "d"},
    {"SwitchInsideQuotesBelongsToValue", "/l:\"a /b\"", 'l', "a /b"},
    {"UnclosedQuoteRunsToEnd", "/l:\"a /b -c", 'l', "a /b -c"},
    {"NextSwitchEndsValue", "/l:e /x:1", 'l', "e"},
    {"FirstOfTwoWins", "/l:d /l:e", 'l', "d"},
    {"DashInsideValue", "/l:e-x", 'l', "e-x"},
    {"SlashInsideValue", "/l:a/b", 'l', "a/b"},
    {"InnerBlanksKept", "/l:a  b /x", 'l', "a  b"},
    {"OnlyTrailingSpacesRemoved", "/l:e\t", 'l', "e\t"},
    // Quotes before the wanted switch do not hide it.
    {"QuotesBeforeSwitchDoNotCount", "\"x /l:e\"", 'l', "e"},
    // Only a to z are upper-cased, whatever the locale.
    {"NonAsciiLetterNotCaseFolded", "/\xC4:x", '\xE4', ""},
    {"NonAsciiLetterMatchesItself", "/\xE4:x", '\xE4', "x"},
    {"LetterZeroTakesTextBeforeSwitch", "  file.txt /l:e", '\0', "file.txt"},
    {"LetterZeroTextStartsWithSwitch", "/l:e file.txt", '\0', ""},
    {"LetterZeroWithoutSwitch", "\"my file\"  ", '\0', "my file"},
    {"LetterZeroEmptyText", "", '\0', ""},
    {"ValueOf279Characters", "/l:" + Repeat('a', 279), 'l', Repeat('a', 279)},
    {"ValueOf280CharactersDropped", "/l:" + Repeat('a', 280), 'l', ""},
    {"LeadingBlanksAndQuotesDoNotCount", "/l: \"" + Repeat('a', 279) + "\"", 'l', Repeat('a', 279)},
    // Trailing spaces are collected before they are removed, so they count.
    {"TrailingSpacesCountTowardsLimit", "/l:" + Repeat('a', 278) + "  ", 'l', ""},
    {"LimitAlsoWithLetterZero", Repeat('a', 280), '\0', ""},
    {"LongTextBeforeSwitchIgnored", Repeat('a', 400) + " /l:e", 'l', "e"},
};

INSTANTIATE_TEST_SUITE_P(Cases, SwitchValueTest, testing::ValuesIn(kSwitchCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(SwitchValue, NullTextGivesNoValue) {
  EXPECT_EQ(GetSwitchValue(nullptr, 'l'), "");
  EXPECT_EQ(GetSwitchValue(nullptr, '\0'), "");
}

// Saves and restores the process-wide values that start-up writes.
class ProcessValuesTest : public testing::Test {
 protected:
  void SetUp() override {
    savedCommandLine_ = CommandLine;
    savedLanguage_ = Language;
    savedProgramDir_ = ProgramDir;
    savedDataDir_ = DataDir;
  }
  void TearDown() override {
    CommandLine = savedCommandLine_;
    Language = savedLanguage_;
    ProgramDir = savedProgramDir_;
    DataDir = savedDataDir_;
  }

 private:
  std::string savedCommandLine_;
  int32_t savedLanguage_ = 0;
  std::u16string savedProgramDir_;
  std::u16string savedDataDir_;
};

using LanguageSwitchTest = ProcessValuesTest;

TEST_F(LanguageSwitchTest, OverridesStoredLanguageOnlyWithAValue) {
  struct TCase {
    const char* CommandLine;
    int32_t Stored;
    int32_t Expected;
  };
  const TCase cases[] = {
      {"", 1, 1},          {"/l:", 1, 1},       {"/l", 1, 1},       {"/lang:d", 1, 1},
      {"/l:d", 1, 0},      {"-L:D", 1, 0},      {"/l:\"d\"", 1, 0}, {"/l:  d  ", 1, 0},
      {"/l:e", 0, 1},      {"/l:E", 0, 1},      {"/l:de", 0, 1},    {"/l:deutsch", 0, 1},
      {"/l:en", 0, 1},     {"/l:dd", 0, 1},     {"/l:d e", 0, 1},   {"x/l:d", 1, 1},
      {"file /l:d", 5, 0}, {"file /x:d", 5, 5},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.CommandLine);
    CommandLine = c.CommandLine;
    Language = c.Stored;
    ApplyLanguageSwitch();
    EXPECT_EQ(Language, c.Expected);
  }
}

// ---------------------------------------------------------------------------
// Folders

// A path written with "/" as it is on this system.
std::u16string Native(std::u16string path) {
  for (char16_t& ch : path) {
    if (ch == u'/') {
      ch = PathSeparator;
    }
  }
  return path;
}

class FoldersTest : public ProcessValuesTest {
 protected:
  void SetUp() override {
    ProcessValuesTest::SetUp();
    ProgramDir = u"<unset>";
    DataDir = u"<unset>";
  }
  std::u16string Under(const std::string& relative) const { return (root_ / relative).u16string(); }

  TTempFolder temp_;
  const fs::path& root_ = temp_.Path();
  TFakePlatform platform_;
};

TEST_F(FoldersTest, ProgramDirIsExecutablePathUpToLastSeparator) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {Native(u"/opt/kolvane/bin/kolvane"), Native(u"/opt/kolvane/bin/")},
      {Native(u"/kolvane"), Native(u"/")},
      {Native(u"/opt/kol vane/bin.d/kolvane.x"), Native(u"/opt/kol vane/bin.d/")},
      {u"kolvane", u""},
  };
  for (const auto& [executable, expected] : cases) {
    platform_.Executable = executable;
    ResolveFolders(platform_);
    EXPECT_EQ(ProgramDir, expected);
    EXPECT_EQ(DataDir, expected);  // no shared folder known
  }
}

TEST_F(FoldersTest, AllUsersFolderGetsCommonSubfolderCreated) {
  platform_.CommonFolder = Under("share");
  ResolveFolders(platform_);
  const std::u16string expected = Under("share") + Native(u"/DVK/Common/");
  EXPECT_EQ(DataDir, expected);
  EXPECT_EQ(ProgramDir, Native(u"/opt/kolvane/bin/"));
  EXPECT_TRUE(fs::is_directory(root_ / "share" / "DVK" / "Common"));
  EXPECT_EQ(platform_.RegistryReads, 1);
  EXPECT_EQ(platform_.CommonFolderAsks, 1);
  EXPECT_EQ(platform_.CreateRequests, std::vector<std::u16string>{expected});
}

TEST_F(FoldersTest, NamedFolderGetsExactlyOneSeparator) {
  for (const std::u16string& named : {Under("shared"), Under("shared") + Native(u"/")}) {
    platform_ = TFakePlatform();
    platform_.Registry = {TRegistryValue::TKind::Text, named};
    platform_.CommonFolder = Under("share");
    ResolveFolders(platform_);
    EXPECT_EQ(DataDir, Under("shared") + Native(u"/DVK/Common/"));
    EXPECT_TRUE(fs::is_directory(root_ / "shared" / "DVK" / "Common"));
    EXPECT_EQ(platform_.CommonFolderAsks, 0);
  }
  EXPECT_FALSE(fs::exists(root_ / "share"));
}

TEST_F(FoldersTest, NamedFolderThatCannotBeCreatedFallsBackToProgramDir) {
  std::ofstream(root_ / "file") << "x";
  platform_.Registry = {TRegistryValue::TKind::Text, Under("file") + Native(u"/shared")};
  platform_.CommonFolder = Under("share");
  ResolveFolders(platform_);
  EXPECT_EQ(DataDir, Native(u"/opt/kolvane/bin/"));
  EXPECT_EQ(platform_.CommonFolderAsks, 0);  // no second attempt
  EXPECT_EQ(platform_.CreateRequests.size(), 1u);
  EXPECT_FALSE(fs::exists(root_ / "share"));
}

TEST_F(FoldersTest, AllUsersFolderThatCannotBeCreatedFallsBackToProgramDir) {
  platform_.CommonFolder = Native(u"/var/shared");
  platform_.CreateMode = TFakePlatform::TCreateMode::Fail;
  ResolveFolders(platform_);
  EXPECT_EQ(DataDir, Native(u"/opt/kolvane/bin/"));
  EXPECT_EQ(platform_.CreateRequests,
            std::vector<std::u16string>{Native(u"/var/shared/DVK/Common/")});
}

TEST_F(FoldersTest, EmptyOrMissingNameAsksAllUsersFolder) {
  for (const TRegistryValue& value : {TRegistryValue{TRegistryValue::TKind::Text, u""},
                                      TRegistryValue{TRegistryValue::TKind::Missing, u""}}) {
    platform_ = TFakePlatform();
    platform_.Registry = value;
    platform_.CommonFolder = Native(u"/var/shared/");
    platform_.CreateMode = TFakePlatform::TCreateMode::Succeed;
    ResolveFolders(platform_);
    EXPECT_EQ(platform_.CommonFolderAsks, 1);
    EXPECT_EQ(DataDir, Native(u"/var/shared/DVK/Common/"));
  }
}

TEST_F(FoldersTest, NoFolderAtAllGivesProgramDir) {
  for (const std::optional<std::u16string>& folder :
       {std::optional<std::u16string>(), std::optional<std::u16string>(u"")}) {
    platform_ = TFakePlatform();
    platform_.CommonFolder = folder;
    ResolveFolders(platform_);
    EXPECT_EQ(DataDir, Native(u"/opt/kolvane/bin/"));
    EXPECT_TRUE(platform_.CreateRequests.empty());
  }
}

TEST_F(FoldersTest, NonTextValueThrowsBeforeDataDirIsResolved) {
  platform_.Registry = {TRegistryValue::TKind::InvalidType, u""};
  platform_.CommonFolder = Under("share");
  try {
    ResolveFolders(platform_);
    FAIL() << "no exception";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), u"Ungültiger Datentyp für 'AllAppData'");
  }
  EXPECT_EQ(DataDir, u"<unset>");
  EXPECT_EQ(platform_.CommonFolderAsks, 0);
  EXPECT_TRUE(platform_.CreateRequests.empty());
}

#ifndef _WIN32  // the Windows platform layer has a test program of its own
// ---------------------------------------------------------------------------
// Linux platform

// Sets environment variables for one test and restores them afterwards.
class TEnvironment {
 public:
  ~TEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }
  void Set(const std::string& name, const char* value) {
    if (saved_.find(name) == saved_.end()) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      ::setenv(name.c_str(), value, 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

struct TConfigCase {
  const char* Name;
  std::string Content;
  TRegistryValue::TKind Kind;
  std::u16string Text;
};

void PrintTo(const TConfigCase& c, std::ostream* os) {
  *os << c.Name;
}

class ConfigParseTest : public testing::TestWithParam<TConfigCase> {};

TEST_P(ConfigParseTest, GivesTheValue) {
  const TConfigCase& c = GetParam();
  const TRegistryValue value = ParseAllAppDataConfig(c.Content);
  EXPECT_EQ(value.Kind, c.Kind);
  EXPECT_EQ(value.Text, c.Text);
}

using enum TRegistryValue::TKind;

const TConfigCase kConfigCases[] = {
    {"EmptyFile", "", Missing, u""},
    {"NoSuchLine", "# shared folder\n[Paths]\nOther=/srv\n", Missing, u""},
    {"SimilarNameIgnored", "AllAppDataDir=/srv\n", Missing, u""},
    {"CommentedOutLine", "# AllAppData=/srv\n;AllAppData=/srv\n", Missing, u""},
    {"PlainText", "AllAppData=/srv/press\n", Text, u"/srv/press"},
    {"NoFinalLineEnd", "AllAppData=/srv/press", Text, u"/srv/press"},
    {"BlanksAndCrLf", "  allappdata =\t/srv/press  \r\n", Text, u"/srv/press"},
    {"QuotedWithBlank", "AllAppData=\"/srv/press shop\"\n", Text, u"/srv/press shop"},
    {"QuotedKeepsInnerBlanks", "AllAppData= \" /srv \" \n", Text, u" /srv "},
    {"QuotedTypeLookalike", "AllAppData=\"dword:1\"\n", Text, u"dword:1"},
    {"EmptyValue", "AllAppData=\n", Text, u""},
    {"EmptyQuotes", "AllAppData=\"\"\n", Text, u""},
    {"NonAscii", "AllAppData=/srv/Pr\xC3\xA4gerei\n", Text, u"/srv/Prägerei"},
    {"ByteOrderMark",
     "\xEF\xBB\xBF"
     "AllAppData=/srv\n",
     Text, u"/srv"},
    {"FirstLineCounts", "[R-MOX]\nAllAppData=/first\nAllAppData=/second\n", Text, u"/first"},
    {"TextEndsAtNul", std::string("AllAppData=/srv\0/tail\n", 22), Text, u"/srv"},
    {"Dword", "AllAppData=dword:00000005\n", InvalidType, u""},
    {"QwordUpperCase", "AllAppData=QWORD:0000000000000005\n", InvalidType, u""},
    {"Binary", "AllAppData=hex:2f,73\n", InvalidType, u""},
    {"ExpandableStringAsBytes", "AllAppData=hex(2):2f,00,73,00\n", InvalidType, u""},
    {"UnclosedQuote", "AllAppData=\"/srv\n", InvalidType, u""},
    {"InvalidUtf8", "AllAppData=/srv/\xFF\n", InvalidType, u""},
};

INSTANTIATE_TEST_SUITE_P(Cases, ConfigParseTest, testing::ValuesIn(kConfigCases),
                         [](const auto& info) { return std::string(info.param.Name); });

class LinuxPlatformTest : public testing::Test {
 protected:
  void WriteConfig(const std::string& dir, const std::string& content) {
    fs::create_directories(root_ / dir / "DVK-Dudivezava");
    std::ofstream(root_ / dir / "DVK-Dudivezava" / "R-MOX.conf") << content;
  }
  std::string Dir(const std::string& name) const { return (root_ / name).string(); }

  TTempFolder temp_;
  const fs::path& root_ = temp_.Path();
  TEnvironment environment_;
  std::unique_ptr<TPlatform> platform_ = MakeNativePlatform();
};

TEST_F(LinuxPlatformTest, ConfigSearchDirsFollowXdgRules) {
  environment_.Set("XDG_CONFIG_DIRS", nullptr);
  EXPECT_EQ(ConfigSearchDirs(), std::vector<std::string>{"/etc/xdg"});
  environment_.Set("XDG_CONFIG_DIRS", "");
  EXPECT_EQ(ConfigSearchDirs(), std::vector<std::string>{"/etc/xdg"});
  environment_.Set("XDG_CONFIG_DIRS", "relative/dir::/opt/conf:/etc/xdg:");
  EXPECT_EQ(ConfigSearchDirs(), (std::vector<std::string>{"/opt/conf", "/etc/xdg"}));
}

TEST_F(LinuxPlatformTest, FirstConfigDirHoldingTheFileDecides) {
  const std::string dirs = Dir("none") + ":" + Dir("a") + ":" + Dir("b");
  environment_.Set("XDG_CONFIG_DIRS", dirs.c_str());
  EXPECT_EQ(platform_->ReadAllAppData().Kind, Missing);

  // Something that is not a regular file is passed over.
  fs::create_directories(root_ / "none" / "DVK-Dudivezava" / "R-MOX.conf");
  WriteConfig("b", "AllAppData=/from/b\n");
  TRegistryValue value = platform_->ReadAllAppData();
  EXPECT_EQ(value.Kind, Text);
  EXPECT_EQ(value.Text, u"/from/b");

  WriteConfig("a", "AllAppData=dword:1\n");
  EXPECT_EQ(platform_->ReadAllAppData().Kind, InvalidType);

  // A file without the line still decides: the later directory is not read.
  WriteConfig("a", "# nothing here\n");
  EXPECT_EQ(platform_->ReadAllAppData().Kind, Missing);
}

TEST_F(LinuxPlatformTest, AllUsersFolderIsTheXdgDataHome) {
  struct TCase {
    const char* DataHome;
    const char* Home;
    std::optional<std::u16string> Expected;
  };
  const TCase cases[] = {
      {"/data/home", "/home/u", u"/data/home"},
      {"/data/home/", "/home/u", u"/data/home"},
      {nullptr, "/home/u", u"/home/u/.local/share"},
      {"", "/home/u/", u"/home/u/.local/share"},
      {"relative/data", "/home/u", u"/home/u/.local/share"},
      {nullptr, "/", u"/.local/share"},
      {"/data/\xC3\xA4", nullptr, u"/data/ä"},
      {nullptr, nullptr, std::nullopt},
      {"", "", std::nullopt},
      {nullptr, "relative/home", std::nullopt},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.DataHome ? c.DataHome : "(unset)") + " " +
                 (c.Home ? c.Home : "(unset)"));
    environment_.Set("XDG_DATA_HOME", c.DataHome);
    environment_.Set("HOME", c.Home);
    EXPECT_EQ(platform_->CommonAppDataFolder(), c.Expected);
  }
}

TEST_F(LinuxPlatformTest, ExecutablePathIsAbsoluteAndNamesThisProgram) {
  const std::u16string path = platform_->ExecutablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), u'/');
  EXPECT_TRUE(path.ends_with(u"/app_test")) << Utf16ToUtf8(path);
}

TEST_F(LinuxPlatformTest, CreatesDirectoryWithAllMissingParents) {
  const std::u16string nested = fs::path(Dir("a/b/c")).u16string() + u"/";
  EXPECT_TRUE(platform_->CreateDirectoryPath(nested));
  EXPECT_TRUE(fs::is_directory(root_ / "a" / "b" / "c"));
  EXPECT_TRUE(platform_->CreateDirectoryPath(nested));  // existed already

  EXPECT_TRUE(platform_->CreateDirectoryPath(fs::path(Dir("Prägerei")).u16string()));
  EXPECT_TRUE(fs::is_directory(root_ / "Pr\xC3\xA4gerei"));

  std::ofstream(root_ / "file") << "x";
  EXPECT_FALSE(platform_->CreateDirectoryPath(fs::path(Dir("file")).u16string()));
  EXPECT_FALSE(platform_->CreateDirectoryPath(fs::path(Dir("file/sub")).u16string()));
  EXPECT_FALSE(platform_->CreateDirectoryPath(u""));
}

#endif  // _WIN32

// ---------------------------------------------------------------------------
// Entry point

// An application object that records every call and throws where told.
class TRecordingShell : public TApplicationShell {
 public:
  std::vector<std::string> Calls;
  std::vector<std::u16string> Shown;
  std::string CommandLineAtInitialize;
  std::string ThrowIn;          // name of the call that throws
  std::function<void()> Throw;  // what it throws
  bool ShowThrows = false;

  void Initialize() override {
    CommandLineAtInitialize = CommandLine;
    Record("Initialize");
  }
  void SetMainFormOnTaskBar(bool onTaskBar) override {
    Record(onTaskBar ? "SetMainFormOnTaskBar(true)" : "SetMainFormOnTaskBar(false)");
  }
  void SetTitle(const std::u16string& title) override {
    Record("SetTitle(" + Utf16ToUtf8(title) + ")");
  }
  void CreateMainForm() override { Record("CreateMainForm"); }
  void Run() override { Record("Run"); }
  void ShowException(const std::u16string& text) override {
    Shown.push_back(text);
    if (ShowThrows) {
      throw std::runtime_error("display failed");
    }
  }

 private:
  void Record(const std::string& call) {
    Calls.push_back(call);
    if (Throw && call.starts_with(ThrowIn)) {
      Throw();
    }
  }
};

const std::vector<std::string> kAllCalls = {"Initialize", "SetMainFormOnTaskBar(true)",
                                            "SetTitle(Kolvane)", "CreateMainForm", "Run"};

using RunProgramTest = ProcessValuesTest;

TEST_F(RunProgramTest, RunsStartUpInOrderAndReturnsZero) {
  TRecordingShell shell;
  EXPECT_EQ(RunProgram(shell, "/l:e file"), 0);
  EXPECT_EQ(shell.Calls, kAllCalls);
  EXPECT_EQ(shell.CommandLineAtInitialize, "/l:e file");
  EXPECT_EQ(CommandLine, "/l:e file");
  EXPECT_TRUE(shell.Shown.empty());
}

TEST_F(RunProgramTest, FailureIsShownOnceAndEndsTheRun) {
  struct TCase {
    const char* ThrowIn;
    std::function<void()> Throw;
    std::u16string Shown;
    size_t CallsMade;
  };
  const TCase cases[] = {
      // The closing apostrophe is below '.', so no period follows it.
      {"CreateMainForm", [] { throw Exception(u"Ungültiger Datentyp für 'AllAppData'"); },
       u"Ungültiger Datentyp für 'AllAppData'", 4},
      {"CreateMainForm", [] { throw Exception(u"Kein Speicher"); }, u"Kein Speicher.", 4},
      {"CreateMainForm", [] { throw Exception(u"Fertig."); }, u"Fertig.", 4},
      {"CreateMainForm", [] { throw std::runtime_error("lost text"); }, u"", 4},
      {"CreateMainForm", [] { throw 42; }, u"", 4},
      {"Initialize", [] { throw Exception(u"Kein Fenster"); }, u"Kein Fenster.", 1},
      {"Run", [] { throw Exception(u""); }, u"", 5},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.ThrowIn + (" -> " + Utf16ToUtf8(c.Shown)));
    TRecordingShell shell;
    shell.ThrowIn = c.ThrowIn;
    shell.Throw = c.Throw;
    EXPECT_EQ(RunProgram(shell, ""), 0);
    EXPECT_EQ(shell.Calls,
              std::vector<std::string>(kAllCalls.begin(), kAllCalls.begin() + c.CallsMade));
    EXPECT_EQ(shell.Shown, std::vector<std::u16string>{c.Shown});
  }
}

TEST_F(RunProgramTest, FailingExceptionDisplayStillReturnsZero) {
  for (bool byException : {true, false}) {
    TRecordingShell shell;
    shell.ThrowIn = "CreateMainForm";
    shell.Throw = byException ? std::function<void()>([] { throw Exception(u"x"); })
                              : std::function<void()>([] { throw std::bad_alloc(); });
    shell.ShowThrows = true;
    EXPECT_EQ(RunProgram(shell, ""), 0);
    EXPECT_EQ(shell.Shown.size(), 1u);
  }
}

TEST(ExceptionDisplayText, AppendsPeriodAfterCharactersAboveIt) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"", u""},
      {u"Fehler", u"Fehler."},
      {u"Fehler.", u"Fehler."},
      {u"Fehler!", u"Fehler!"},  // '!' is below '.'
      {u"Fehler-", u"Fehler-"},  // '-' is just below '.'
      {u"für 'AllAppData'", u"für 'AllAppData'"},
      {u"a/b", u"a/b."},          // '/' is just above '.'
      {u"Fehler?", u"Fehler?."},  // '?' is above '.'
      {u"Fehler ", u"Fehler "},
      {u"Wert 5", u"Wert 5."},
      {u"Größe ü", u"Größe ü."},
  };
  for (const auto& [message, expected] : cases) {
    EXPECT_EQ(ExceptionDisplayText(message), expected) << Utf16ToUtf8(message);
  }
}

TEST(JoinArguments, JoinsArgumentsAfterProgramNameWithOneBlank) {
  const char* none[] = {"kolvane", nullptr};
  const char* one[] = {"kolvane", "/l:e", nullptr};
  const char* several[] = {"kolvane", "a b", "", "/l:d", nullptr};
  EXPECT_EQ(JoinArguments(1, none), "");
  EXPECT_EQ(JoinArguments(0, none), "");
  EXPECT_EQ(JoinArguments(0, nullptr), "");
  EXPECT_EQ(JoinArguments(2, one), "/l:e");
  EXPECT_EQ(JoinArguments(4, several), "a b  /l:d");
}

TEST(JoinArguments, ArgumentVectorReachesTheSwitchReader) {
  // The shell took the quotes off "/l:a b"; the joined text still carries
  // the whole value, and a later switch still ends it.
  const char* argv[] = {"kolvane", "/l:a b", "-x:1", nullptr};
  EXPECT_EQ(GetSwitchValue(JoinArguments(3, argv).c_str(), 'l'), "a b");
}

// The page's address: its query is the command line of the browser page.
struct TQueryCase {
  const char* Name;
  std::string_view Query;
  std::string Language;  // what the switch reader finds for "l"
};

void PrintTo(const TQueryCase& c, std::ostream* os) {
  *os << c.Name;
}

class QueryCommandLineTest : public testing::TestWithParam<TQueryCase> {};

TEST_P(QueryCommandLineTest, ReadsAsTheSwitchOnACommandLine) {
  const TQueryCase& c = GetParam();
  const std::string commandLine = CommandLineFromQuery(c.Query);
  EXPECT_EQ(GetSwitchValue(commandLine.c_str(), 'l'), c.Language) << "command line " << commandLine;
}

const TQueryCase kQueryCases[] = {
    {"English", "?l=e", "e"},
    {"GermanInEitherCase", "?L=D", "D"},
    {"WithoutQuestionMark", "l=d", "d"},
    {"NoQuery", "", ""},
    {"OnlyQuestionMark", "?", ""},
    {"EmptyValueKeepsTheStoredLanguage", "?l=", ""},
    {"NameWithoutValueIsNoSwitch", "?l", ""},
    {"LongerNameIsNoSwitch", "?lang=d", ""},
    {"AmongOtherParts", "?x=1&&l=e&y", "e"},
    {"FirstOfTwoWins", "?l=d&l=e", "d"},
    {"PercentEscape", "?l=%64", "d"},
    {"PlusIsABlank", "?l=a+b", "a b"},
    {"SlashAfterABlankStaysInTheValue", "?l=a%20%2Fb", "a /b"},
    {"BrokenEscapeStaysAsItIs", "?l=%zz%4", "%zz%4"},
};

INSTANTIATE_TEST_SUITE_P(Cases, QueryCommandLineTest, testing::ValuesIn(kQueryCases),
                         [](const testing::TestParamInfo<TQueryCase>& info) {
                           return std::string(info.param.Name);
                         });

// ---------------------------------------------------------------------------
// Exception and text conversion

TEST(Exception, KeepsMessageAndGivesItAsUtf8) {
  const Exception error(u"Ungültiger Datentyp für 'AllAppData'");
  EXPECT_EQ(error.Message(), u"Ungültiger Datentyp für 'AllAppData'");
  const std::exception& base = error;
  EXPECT_STREQ(base.what(), "Ung\xC3\xBCltiger Datentyp f\xC3\xBCr 'AllAppData'");
}

TEST(TextCodec, ConvertsBothWays) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"", u""},
      {"/srv/press", u"/srv/press"},
      {"\xC3\xB6", u"\u00F6"},
      {"\xE2\x82\xAC", u"\u20AC"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
  };
  for (const auto& [utf8, utf16] : cases) {
    EXPECT_EQ(Utf8ToUtf16(utf8), utf16) << utf8;
    EXPECT_EQ(Utf16ToUtf8(utf16), utf8) << utf8;
  }
}

TEST(TextCodec, RefusesIllFormedUtf8) {
  const char* const cases[] = {
      "\x80",              // continuation byte without lead
      "\xC0\xAF",          // overlong '/'
      "\xE0\x80\xAF",      // overlong '/'
      "\xED\xA0\x80",      // surrogate
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "\xE2\x82",          // cut short
      "a\xC3(",            // lead without continuation
      "\xFF",
  };
  for (const char* bytes : cases) {
    EXPECT_EQ(Utf8ToUtf16(bytes), std::nullopt) << testing::PrintToString(bytes);
  }
}

TEST(TextCodec, UnpairedSurrogateBecomesReplacementCharacter) {
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"a"),
            "\xEF\xBF\xBD"
            "a");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

}  // namespace
