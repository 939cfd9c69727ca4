// Starts the real kolvane.exe under the registry values and folders of the
// build's Wine prefix and checks where the settings file appears and what it
// holds. The registry is set with the system's own reg tool, as an
// administrator would; D: is a drive that the wrapper script maps to a
// temporary folder.
//
// Usage: kolvane_exe_test <path of kolvane.exe> [GoogleTest options]

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::wstring ProgramSource;  // the built kolvane.exe

constexpr wchar_t kKey[] = L"HKLM\\Software\\DVK-Dudivezava\\R-MOX";
constexpr DWORD kTimeoutMs = 60000;

// Runs a command line and returns its exit code.
DWORD Run(std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    ADD_FAILURE() << "cannot start a command";
    return ~0u;
  }
  if (WaitForSingleObject(process.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "a command did not end";
    TerminateProcess(process.hProcess, ~0u);
  }
  DWORD code = ~0u;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

void ClearRegistry() {
  Run(std::wstring(L"reg delete ") + kKey + L" /f");
}

// The data goes unquoted (none of the values has a blank): a quoted text
// ending in a backslash would escape its closing quote, and reg would then
// ask whether to overwrite.
void SetAllAppData(const wchar_t* type, const std::wstring& data) {
  const std::wstring value = data.empty() ? L"\"\"" : data;
  ASSERT_EQ(Run(std::wstring(L"reg add ") + kKey + L" /v AllAppData /t " + type + L" /d " + value +
                L" /f"),
            0u);
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

struct TFound {
  DWORD ProcessId;
  const wchar_t* ClassName;
  HWND Window = nullptr;
};

// A visible top-level window of the process with that class.
HWND FindWindowOf(DWORD processId, const wchar_t* className) {
  TFound found{processId, className};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& wanted = *reinterpret_cast<TFound*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (owner == wanted.ProcessId && IsWindowVisible(window) &&
            std::wstring(name) == wanted.ClassName) {
          wanted.Window = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.Window;
}

// What one run of the program showed.
struct TRun {
  DWORD ExitCode = ~0u;
  bool MainWindowShown = false;
  std::wstring BoxCaption;  // the first message box, if any
  std::wstring BoxText;
  bool MainWindowWithBox = false;
};

// The program in a folder of its own, started with arguments and closed as
// soon as its window is up (or its message box answered).
class ProgramRun {
 public:
  explicit ProgramRun(const fs::path& folder) : program_(folder / "kolvane.exe") {
    fs::create_directories(folder);
    fs::copy_file(ProgramSource, program_, fs::copy_options::overwrite_existing);
  }

  TRun Start(const std::wstring& arguments) {
    TRun result;
    std::wstring commandLine = L"\"" + program_.wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      ADD_FAILURE() << "cannot start kolvane.exe";
      return result;
    }
    for (DWORD waited = 0; waited < kTimeoutMs; waited += 50) {
      if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) {
        break;
      }
      if (HWND box = FindWindowOf(process.dwProcessId, L"#32770")) {
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        result.BoxText = text;
        GetWindowTextW(box, text, 512);
        result.BoxCaption = text;
        result.MainWindowWithBox = FindWindowOf(process.dwProcessId, L"KolvaneMain") != nullptr;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      } else if (HWND main = FindWindowOf(process.dwProcessId, L"KolvaneMain")) {
        result.MainWindowShown = true;
        PostMessageW(main, WM_CLOSE, 0, 0);
      }
    }
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
      ADD_FAILURE() << "kolvane.exe did not end";
      TerminateProcess(process.hProcess, 99);
      WaitForSingleObject(process.hProcess, kTimeoutMs);
    }
    GetExitCodeProcess(process.hProcess, &result.ExitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
  }

 private:
  fs::path program_;
};

class RegistryScenario : public testing::Test {
 protected:
  void SetUp() override {
    ClearRegistry();
    std::error_code ignored;
    fs::remove_all(common_, ignored);
    fs::remove_all(shared_, ignored);
    ASSERT_TRUE(fs::is_directory(L"D:\\")) << "the wrapper maps D: to a temporary folder";
    root_ = fs::temp_directory_path() / ("kolvane-exe-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(root_, ignored);
  }
  void TearDown() override {
    ClearRegistry();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
    fs::remove_all(common_, ignored);
    fs::remove_all(shared_, ignored);
  }
  fs::path ProgramFolder() const { return root_ / "bin"; }

  fs::path root_;
  // The all-users folder, as the shell names it in this prefix.
  const fs::path common_ = L"C:\\ProgramData\\DVK";
  const fs::path shared_ = L"D:\\Shared";
};

const char kGermanLine[] = "{900} lan = 0;\r\n";
const char kEnglishLine[] = "{900} lan = 1;\r\n";

TEST_F(RegistryScenario, NoKeyPutsTheFileInTheAllUsersFolder) {
  ProgramRun program(ProgramFolder());
  const TRun run = program.Start(L"");
  EXPECT_TRUE(run.MainWindowShown);
  EXPECT_EQ(run.ExitCode, 0u);
  const std::string bytes = ReadBytes(L"C:\\ProgramData\\DVK\\Common\\NV-Data.kqn");
  EXPECT_TRUE(bytes.starts_with("Non volatile data for Kolvane (Win)\r\n\r\n"));
  EXPECT_NE(bytes.find(kGermanLine), std::string::npos);
  EXPECT_NE(bytes.find("{024} \xF6"
                       "fw = 180;\r\n"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(ProgramFolder() / "NV-Data.kqn"));
}

TEST_F(RegistryScenario, NamedFolderWithOrWithoutSeparatorGetsOneSubfolder) {
  for (const wchar_t* named : {L"D:\\Shared", L"D:\\Shared\\"}) {
    SCOPED_TRACE(Utf8(named));
    SetAllAppData(L"REG_SZ", named);
    ProgramRun program(ProgramFolder());
    const TRun run = program.Start(L"");
    EXPECT_TRUE(run.MainWindowShown);
    EXPECT_EQ(run.ExitCode, 0u);
    EXPECT_TRUE(fs::is_regular_file(L"D:\\Shared\\DVK\\Common\\NV-Data.kqn"));
    EXPECT_FALSE(fs::exists(common_)) << "the all-users folder was used";
    fs::remove_all(shared_);
  }
}

TEST_F(RegistryScenario, NamedFolderThatCannotBeMadeFallsBackToTheProgramsFolder) {
  ASSERT_EQ(GetDriveTypeW(L"Q:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  SetAllAppData(L"REG_SZ", L"Q:\\nowhere");
  ProgramRun program(ProgramFolder());
  const TRun run = program.Start(L"");
  EXPECT_TRUE(run.MainWindowShown);
  EXPECT_TRUE(fs::is_regular_file(ProgramFolder() / "NV-Data.kqn"));
  EXPECT_FALSE(fs::exists(common_)) << "the shell folder was consulted";
}

TEST_F(RegistryScenario, EmptyValueCountsAsNoValue) {
  SetAllAppData(L"REG_SZ", L"");
  ProgramRun program(ProgramFolder());
  const TRun run = program.Start(L"");
  EXPECT_TRUE(run.MainWindowShown);
  EXPECT_TRUE(fs::is_regular_file(L"C:\\ProgramData\\DVK\\Common\\NV-Data.kqn"));
}

TEST_F(RegistryScenario, NumberValueEndsTheStartWithTheErrorBox) {
  SetAllAppData(L"REG_DWORD", L"5");
  ProgramRun program(ProgramFolder());
  const TRun run = program.Start(L"");
  EXPECT_EQ(run.BoxCaption, L"Kolvane");
  // No "." is appended: the message ends in "'", whose code is below ".".
  EXPECT_EQ(run.BoxText, L"Ung\u00FCltiger Datentyp f\u00FCr 'AllAppData'");
  EXPECT_FALSE(run.MainWindowWithBox);
  EXPECT_FALSE(run.MainWindowShown);
  EXPECT_EQ(run.ExitCode, 0u);
  EXPECT_FALSE(fs::exists(common_));
  EXPECT_FALSE(fs::exists(ProgramFolder() / "NV-Data.kqn"));
}

TEST_F(RegistryScenario, LanguageSwitchIsStoredAtClose) {
  ProgramRun program(ProgramFolder());
  const fs::path file = L"C:\\ProgramData\\DVK\\Common\\NV-Data.kqn";
  EXPECT_EQ(program.Start(L"/l:e").ExitCode, 0u);
  EXPECT_NE(ReadBytes(file).find(kEnglishLine), std::string::npos);
  EXPECT_EQ(program.Start(L"").ExitCode, 0u);  // the stored language stays
  EXPECT_NE(ReadBytes(file).find(kEnglishLine), std::string::npos);
  EXPECT_EQ(program.Start(L"/l:d").ExitCode, 0u);
  EXPECT_NE(ReadBytes(file).find(kGermanLine), std::string::npos);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    fprintf(stderr, "usage: kolvane_exe_test <kolvane.exe>\n");
    return 2;
  }
  std::string path = argv[1];
  if (path.starts_with('/')) {
    path = "Z:" + path;  // Wine's drive for the Linux root
  }
  ProgramSource = fs::path(path).make_preferred().wstring();
  return RUN_ALL_TESTS();
}
