// SPDX-License-Identifier: MIT
// The start-up benchmark's yardsticks: a bare Qt window of the main window's
// size, shown once, reporting its first frame like the program's probe build.
// With --label it shows one line of text, so that the text stack
// (fontconfig, the font files, shaping) counts on both sides.

#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>

#include "bench/StartupProbe.h"

int main(int argc, char** argv) {
  const bool labelled = argc > 1 && std::strcmp(argv[1], "--label") == 0;
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Kolvane (Orbel) v1.43"));
  window.setFixedSize(384, 326);
  if (labelled) {
    auto* label = new QLabel(QStringLiteral("Vorschub-Strecke"), &window);
    label->move(16, 16);
  }
  window.show();
  QuitAfterFirstFrame(window);
  return QApplication::exec();
}
