// SPDX-License-Identifier: MIT
#include "app/PlatformBrowser.h"

#include <sys/stat.h>

#include <string>

#include "app/Platform.h"
#include "app/TextCodec.h"

namespace {

class TBrowserPlatform : public TPlatform {
 public:
  // No administrator names a shared folder for a web page.
  TRegistryValue ReadAllAppData() override { return {}; }

  std::optional<std::u16string> CommonAppDataFolder() override {
    return std::u16string(BrowserDataFolder);
  }

  std::u16string ExecutablePath() override { return std::u16string(BrowserExecutablePath); }

  // Level by level, as std::filesystem would; the in-memory file system
  // takes POSIX calls, and std::filesystem would bring its whole weight into
  // the page's script.
  bool CreateDirectoryPath(const std::u16string& path) override {
    const std::string folder = Utf16ToUtf8(path);
    if (folder.empty()) {
      return false;
    }
    for (std::size_t end = folder.find('/', 1); end != std::string::npos;
         end = folder.find('/', end + 1)) {
      MakeOne(folder.substr(0, end));
    }
    MakeOne(folder);
    struct stat status;
    return stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
  }

 private:
  static void MakeOne(const std::string& folder) {
    if (!folder.empty() && folder.back() != '/') {
      mkdir(folder.c_str(), 0777);
    }
  }
};

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& ch : lower) {
    if (ch >= 'A' && ch <= 'Z') {
      ch = static_cast<char>(ch - 'A' + 'a');
    }
  }
  return lower;
}

}  // namespace

// The page has no user locale of its own to ask; the language switch's only
// letters are ASCII.
bool EqualTextInUserLocale(std::string_view a, std::string_view b) {
  return LowerAscii(a) == LowerAscii(b);
}

std::unique_ptr<TPlatform> MakeNativePlatform() {
  return std::make_unique<TBrowserPlatform>();
}
