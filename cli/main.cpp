// SPDX-License-Identifier: MIT
// kolvane-calc: the feed calculation on the command line.

#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/Cli.h"
#include "cli/StoredSettings.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // CSV carries its own CR LF, and a batch on standard input may hold any
  // byte: no text-mode translation either way.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::ios::sync_with_stdio(false);
  const TSettingsSource settings = [] {
    const std::unique_ptr<TPlatform> platform = MakeReadOnlyPlatform(MakeNativePlatform());
    return ReadStoredSettings(*platform);
  };
  return RunCli(argc, argv, std::cin, std::cout, std::cerr, settings);
}
