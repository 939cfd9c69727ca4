// The kolvane program: the entry point on the Qt application object.

#include <memory>
#include <string>
#include <utility>

#include "app/EntryPoint.h"
#include "app/Platform.h"
#include "ui/qt/QtShell.h"

#ifdef KOLVANE_STARTUP_PROBE
#include "bench/StartupProbe.h"
#endif

int main(int argc, char** argv) {
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
