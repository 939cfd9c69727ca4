#include "ui/qt/Program.h"

#include <memory>
#include <string>
#include <utility>

#include "app/EntryPoint.h"
#include "app/Platform.h"
#include "ui/qt/QtShell.h"

int RunQtProgram(int argc, char** argv, std::function<void(QWidget& window)> afterShow) {
  std::string commandLine = JoinArguments(argc, argv);
  std::unique_ptr<TPlatform> platform = MakeNativePlatform();
  TQtShell shell(argc, argv, *platform);
  shell.AfterShow = std::move(afterShow);
  return RunProgram(shell, std::move(commandLine));
}
