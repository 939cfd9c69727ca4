// The start-up benchmark's yardstick: a bare Qt window of the main window's
// size, shown once, reporting its first frame like the program's probe build.

#include <QApplication>
#include <QWidget>

#include "bench/StartupProbe.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Kolvane (Orbel) v1.43"));
  window.setFixedSize(384, 326);
  window.show();
  QuitAfterFirstFrame(window);
  return QApplication::exec();
}
