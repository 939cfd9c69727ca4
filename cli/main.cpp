// SPDX-License-Identifier: MIT
// kolvane-calc: the feed calculation on the command line.

#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// CommandLineToArgvW
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/TextCodec.h"
#endif

#include "cli/Cli.h"
#include "cli/StoredSettings.h"

#ifdef _WIN32
namespace {

// The arguments as the system holds them, in UTF-16, turned into the UTF-8
// of every other text of the program: main's own arguments come in the ANSI
// code page, which has no room for most characters of a file name.
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) {
    return std::vector<std::string>(argv, argv + argc);
  }
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) {
    arguments.push_back(Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
  }
  LocalFree(wide);
  return arguments;
}

// A console shows the bytes it is given in its own code page, while every
// text of the program is UTF-8 (m/s², the German hints). The console belongs
// to the shell as well, so its code page is switched for this run only.
class TUtf8Console {
 public:
  TUtf8Console() : previous_(GetConsoleOutputCP()) {
    if (previous_ != 0) {  // 0: no console; output goes to a file or a pipe
      SetConsoleOutputCP(CP_UTF8);
    }
  }
  ~TUtf8Console() {
    if (previous_ != 0) {
      std::cout.flush();
      std::cerr.flush();
      SetConsoleOutputCP(previous_);
    }
  }
  TUtf8Console(const TUtf8Console&) = delete;
  TUtf8Console& operator=(const TUtf8Console&) = delete;

 private:
  UINT previous_;
};

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // CSV carries its own CR LF, and a batch on standard input may hold any
  // byte: no text-mode translation either way.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  const TUtf8Console console;
  const std::vector<std::string> arguments = Utf8Arguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) {
    pointers.push_back(argument.c_str());
  }
  pointers.push_back(nullptr);
  argc = static_cast<int>(arguments.size());
  const char* const* args = pointers.data();
#else
  const char* const* args = argv;
#endif
  std::ios::sync_with_stdio(false);
  const TSettingsSource settings = [] {
    const std::unique_ptr<TPlatform> platform = MakeReadOnlyPlatform(MakeNativePlatform());
    return ReadStoredSettings(*platform);
  };
  return RunCli(argc, args, std::cin, std::cout, std::cerr, settings);
}
