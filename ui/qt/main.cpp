// The kolvane program: the entry point on the Qt application object.

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/EntryPoint.h"
#include "app/Platform.h"
#include "ui/qt/ProgramOptions.h"
#include "ui/qt/QtShell.h"

#ifdef KOLVANE_STARTUP_PROBE
#include "bench/StartupProbe.h"
#endif

int main(int argc, char** argv) {
  // Answered before any toolkit code runs: they need no display.
  if (std::optional<int> exitCode = AnswerInfoOptions(argc, argv, stdout)) {
    return *exitCode;
  }
  std::string commandLine = JoinArguments(argc, argv);
  std::unique_ptr<TPlatform> platform = MakeNativePlatform();
  TQtShell shell(argc, argv, *platform);
#ifdef KOLVANE_STARTUP_PROBE
  // The start-up benchmark's build: report and quit once the first full show
  // is on the screen.
  shell.AfterShow = [](QWidget& window) { QuitAfterFirstFrame(window); };
#endif
  return RunProgram(shell, std::move(commandLine));
}
