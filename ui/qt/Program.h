#pragma once
// The kolvane program on the Qt application object: the entry point with the
// native platform and the process's command line.

#include <QWidget>
#include <functional>

// Runs the program and returns its exit code. `afterShow`, when given, runs
// once the main window has been shown, before the message loop.
int RunQtProgram(int argc, char** argv, std::function<void(QWidget& window)> afterShow = {});
