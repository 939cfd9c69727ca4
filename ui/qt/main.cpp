// The kolvane program.

#include "ui/qt/Program.h"

int main(int argc, char** argv) {
  return RunQtProgram(argc, argv);
}
