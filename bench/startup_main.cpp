// The kolvane program as the start-up benchmark runs it (bench/startup.sh):
// it reports and quits once its first full show is on the screen.

#include "bench/StartupProbe.h"
#include "ui/qt/Program.h"

int main(int argc, char** argv) {
  return RunQtProgram(argc, argv, [](QWidget& window) { QuitAfterFirstFrame(window); });
}
