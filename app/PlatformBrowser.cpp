// SPDX-License-Identifier: MIT
#include "app/PlatformBrowser.h"

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

  // The page's files live in the module's memory, where a path needs no
  // folder to be made first (settings/FileOpsBrowser.cpp).
  bool CreateDirectoryPath(const std::u16string& path) override { return !path.empty(); }
};

}  // namespace

// The page has no user locale of its own to ask; the language switch's only
// letters are ASCII.
bool EqualTextInUserLocale(std::string_view a, std::string_view b) {
  return LowerAscii(a) == LowerAscii(b);
}

std::unique_ptr<TPlatform> MakeNativePlatform() {
  return std::make_unique<TBrowserPlatform>();
}
