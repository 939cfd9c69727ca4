// SPDX-License-Identifier: MIT
// The settings file on a POSIX file system: permission bits and links, a
// FIFO, a device or a folder in the file's place, saves killed on the way,
// and folders and files that another user owns or may not read.

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "calc/FeedParams.h"
#include "settings/NVData.h"
#include "settings/SaveFileOps.h"
#include "tests/SettingsFileTest.h"

namespace fs = std::filesystem;

namespace {

// ---- Permission bits and links

TEST_F(SettingsFileTest, SaveKeepsThePermissionsOfTheOldFile) {
  WriteBytes(SettingsFile(), "old");
  // 0740: a newly created file never gets an execute bit, whatever the umask.
  fs::permissions(SettingsFile(), fs::perms::owner_all | fs::perms::group_read);
  const fs::perms before = fs::status(SettingsFile()).permissions();
  SaveNVData();
  EXPECT_EQ(fs::status(SettingsFile()).permissions(), before);
}

TEST_F(SettingsFileTest, SaveThroughSymbolicLinkRewritesItsTarget) {
  WriteBytes(DataPath() / "shared.kqn", "old");
  fs::create_symlink("shared.kqn", SettingsFile());
  SaveNVData();
  EXPECT_TRUE(fs::is_symlink(SettingsFile()));
  EXPECT_EQ(ReadBytes(DataPath() / "shared.kqn"), kDefaultFile);
  EXPECT_EQ(EntryNames(DataPath()), (std::set<std::string>{"NV-Data.kqn", "shared.kqn"}));
}

// Ends the test program with a message instead of letting a blocked call
// hang the run.
class TWatchdog {
 public:
  explicit TWatchdog(const char* what) {
    what_ = what;
    signal(SIGALRM, Expire);
    alarm(20);
  }
  ~TWatchdog() { alarm(0); }
  TWatchdog(const TWatchdog&) = delete;
  TWatchdog& operator=(const TWatchdog&) = delete;

 private:
  static void Expire(int) {
    const char message[] = "\nstill waiting after 20 s: ";
    (void)!write(STDERR_FILENO, message, sizeof message - 1);
    (void)!write(STDERR_FILENO, what_, strlen(what_));
    _exit(1);
  }
  static inline const char* what_ = "";
};

bool IsRoot() {
  return geteuid() == 0;
}

// Someone who is neither root nor the owner of files the test made as root.
constexpr uid_t kOtherUser = 65534;
constexpr gid_t kOtherGroup = 65534;

// Makes path the unprivileged user's when the tests run as root, so that
// RunUnprivileged meets the permissions as that user; otherwise the test's
// own user already is that user.
void HandOver(const fs::path& path) {
  if (IsRoot()) {
    ASSERT_EQ(chown(path.c_str(), kOtherUser, kOtherGroup), 0) << path;
  }
}

// Runs body in a child process, as an unprivileged user when the tests run as
// root (root may write and read whatever the permissions say); true when the
// child ran body to its end.
template <typename Body>
bool RunUnprivileged(Body body) {
  fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    if (IsRoot() &&
        (setgroups(0, nullptr) != 0 || setgid(kOtherGroup) != 0 || setuid(kOtherUser) != 0)) {
      _exit(2);
    }
    body();
    _exit(0);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

// ---- What stands in the settings file's place

struct TPlaceCase {
  const char* name;
  // Puts something other than a regular file at the path; false when this
  // machine cannot (the test is then skipped).
  bool (*make)(const fs::path& settings);
};

void PrintTo(const TPlaceCase& c, std::ostream* os) {
  *os << c.name;
}

bool MakeFifo(const fs::path& settings) {
  return mkfifo(settings.c_str(), 0666) == 0;
}
bool MakeLinkToFifo(const fs::path& settings) {
  const fs::path fifo = settings.parent_path() / "pipe";
  return mkfifo(fifo.c_str(), 0666) == 0 && symlink("pipe", settings.c_str()) == 0;
}
bool MakeLinkToDevZero(const fs::path& settings) {
  return symlink("/dev/zero", settings.c_str()) == 0;
}
bool MakeDirectory(const fs::path& settings) {
  return fs::create_directory(settings);
}
// A device node of the test's own (the numbers of /dev/null), so that a save
// that wrongly replaced it would harm nothing outside the test's folder.
bool MakeLinkToDeviceNode(const fs::path& settings) {
  const fs::path node = settings.parent_path() / "device";
  return mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
         symlink("device", settings.c_str()) == 0;
}

class OtherThanRegularFileTest : public SettingsFileTest,
                                 public ::testing::WithParamInterface<TPlaceCase> {
 protected:
  void SetUp() override {
    SettingsFileTest::SetUp();
    if (!GetParam().make(SettingsFile())) {
      GTEST_SKIP() << "cannot make a " << GetParam().name << " here";
    }
  }
};

using StartWithOtherThanRegularFileTest = OtherThanRegularFileTest;
using SaveOverOtherThanRegularFileTest = OtherThanRegularFileTest;

TEST_P(StartWithOtherThanRegularFileTest, ReadsTheFallbackAsForAMissingFile) {
  WriteBytes(FallbackFile(), kHeader + "{020} = 0.5;\r\n{900} = 1;\r\n");
  {
    TWatchdog watchdog("LoadNVData does not return");
    LoadNVData();
  }
  EXPECT_EQ(FeedParams.FeedLength, 0.5);
  EXPECT_EQ(Language, 1);
}

TEST_P(SaveOverOtherThanRegularFileTest, LeavesItAsItWas) {
  const std::set<std::string> before = EntryNames(DataPath());
  const fs::file_type kind = fs::status(SettingsFile()).type();
  {
    TWatchdog watchdog("SaveNVData does not return");
    SaveNVData();
  }
  EXPECT_EQ(fs::status(SettingsFile()).type(), kind);
  EXPECT_EQ(EntryNames(DataPath()), before);
}

// Saves are tried on things inside the test's folder only: a save that
// wrongly replaced /dev/zero would harm the machine.
const TPlaceCase kPlaceCases[] = {
    {"fifo", MakeFifo},
    {"link_to_a_fifo", MakeLinkToFifo},
    {"directory", MakeDirectory},
    {"link_to_a_device_node", MakeLinkToDeviceNode},
};

std::string PlaceCaseName(const ::testing::TestParamInfo<TPlaceCase>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(InPlaceOfTheSettingsFile, StartWithOtherThanRegularFileTest,
                         ::testing::ValuesIn(kPlaceCases), PlaceCaseName);
INSTANTIATE_TEST_SUITE_P(LinkToAnEndlessDevice, StartWithOtherThanRegularFileTest,
                         ::testing::Values(TPlaceCase{"link_to_dev_zero", MakeLinkToDevZero}),
                         PlaceCaseName);
INSTANTIATE_TEST_SUITE_P(InPlaceOfTheSettingsFile, SaveOverOtherThanRegularFileTest,
                         ::testing::ValuesIn(kPlaceCases), PlaceCaseName);

// ---- Leftovers of killed saves

TEST_F(SettingsFileTest, SaveWorksAfterManyKilledSavesAndClearsTheirLeftovers) {
  // Each save is killed while it writes, so each leaves its temporary file.
  constexpr int kKilledSaves = 20;
  for (int killed = 0; killed < kKilledSaves; ++killed) {
    fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
      SaveFileOps.Write = [](const void*, size_t, size_t, FILE*) -> size_t { _exit(0); };
      SaveNVData();
      _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
  }
  const std::set<std::string> leftovers = Temporaries(DataPath());
  ASSERT_EQ(leftovers.size(), size_t{kKilledSaves}) << "the killed saves left no temporary files";
  for (const std::string& name : leftovers) {
    MakeOlder(DataPath() / name, std::chrono::minutes(2));
  }

  SaveNVData();
  EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
}

TEST_F(SettingsFileTest, LeftoversBesideTheTargetOfALinkAreCleared) {
  WriteBytes(DataPath() / "shared.kqn", "old");
  fs::create_symlink("shared.kqn", SettingsFile());
  WriteBytes(DataPath() / "shared.kqn.4711-0.tmp", "left");
  MakeOlder(DataPath() / "shared.kqn.4711-0.tmp", std::chrono::minutes(2));
  SaveNVData();
  EXPECT_EQ(EntryNames(DataPath()), (std::set<std::string>{"NV-Data.kqn", "shared.kqn"}));
}

// ---- Folders and files with restricted access

// The test's folders open to the unprivileged user whatever the umask, so
// that only the permissions a test sets decide.
class RestrictedAccessTest : public SettingsFileTest {
 protected:
  void SetUp() override {
    SettingsFileTest::SetUp();
    const auto through = fs::perms::others_read | fs::perms::others_exec;
    for (const fs::path& folder : {temp_.Path(), root_, DataPath(), ProgramPath()}) {
      fs::permissions(folder, through, fs::perm_options::add);
    }
  }
};

TEST_F(RestrictedAccessTest, WritableFileInAReadOnlyFolderIsRewrittenInPlace) {
  WriteBytes(SettingsFile(), "old");
  HandOver(SettingsFile());
  HandOver(DataPath());
  fs::permissions(SettingsFile(), fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(DataPath(), fs::perms::owner_read | fs::perms::owner_exec);
  ASSERT_TRUE(RunUnprivileged([] { SaveNVData(); }));
  fs::permissions(DataPath(), fs::perms::owner_all);
  EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
}

TEST_F(RestrictedAccessTest, WritableFileInSomeoneElsesStickyFolderIsRewrittenInPlace) {
  if (!IsRoot()) {
    GTEST_SKIP() << "only root can make a folder and a file of someone else";
  }
  // Like /tmp: everyone may add files, but only the owner may replace them.
  WriteBytes(SettingsFile(), "old");
  fs::permissions(SettingsFile(), fs::perms::owner_read | fs::perms::owner_write |
                                      fs::perms::group_write | fs::perms::others_read |
                                      fs::perms::others_write);
  fs::permissions(DataPath(), fs::perms::all | fs::perms::sticky_bit);
  ASSERT_TRUE(RunUnprivileged([] { SaveNVData(); }));
  EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
}

TEST_F(RestrictedAccessTest, FileThatCannotBeReadIsNotWrittenOverAtClose) {
  const std::string stored = kHeader + "{020} weg = 0.5000; [m]\r\n";
  WriteBytes(SettingsFile(), stored);
  HandOver(SettingsFile());
  HandOver(DataPath());
  fs::permissions(SettingsFile(), fs::perms::owner_write);
  ASSERT_TRUE(RunUnprivileged([] {
    LoadNVData();
    SaveNVData();
  }));
  EXPECT_EQ(ReadBytes(SettingsFile()), stored);
  EXPECT_EQ(EntryNames(DataPath()), std::set<std::string>{"NV-Data.kqn"});
}

TEST_F(RestrictedAccessTest, UnreadableFileFallsBackAtStart) {
  WriteBytes(SettingsFile(), kHeader + "{020} = 0.3;\r\n");
  WriteBytes(FallbackFile(), kHeader + "{020} = 0.5;\r\n");
  fs::permissions(FallbackFile(), fs::perms::others_read, fs::perm_options::add);
  HandOver(SettingsFile());
  fs::permissions(SettingsFile(), fs::perms::owner_write);
  // The child reports through its exit code what it read.
  ASSERT_TRUE(RunUnprivileged([] {
    LoadNVData();
    if (FeedParams.FeedLength != 0.5) {
      _exit(3);
    }
  })) << "the fallback was not read";
}

}  // namespace
