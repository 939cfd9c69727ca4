// SPDX-License-Identifier: MIT
// The kolvane program.

#include <cstdio>
#include <optional>

#include "ui/qt/Program.h"
#include "ui/qt/ProgramOptions.h"

int main(int argc, char** argv) {
  // Answered before any toolkit code runs: they need no display.
  if (std::optional<int> exitCode = AnswerInfoOptions(argc, argv, stdout)) {
    return *exitCode;
  }
  return RunQtProgram(argc, argv);
}
