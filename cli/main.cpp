// SPDX-License-Identifier: MIT
// kolvane-calc: the feed calculation on the command line.

#include <iostream>

#include "cli/Cli.h"
#include "cli/StoredSettings.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const TSettingsSource settings = [] {
    const std::unique_ptr<TPlatform> platform = MakeReadOnlyPlatform(MakeNativePlatform());
    return ReadStoredSettings(*platform);
  };
  return RunCli(argc, argv, std::cin, std::cout, std::cerr, settings);
}
