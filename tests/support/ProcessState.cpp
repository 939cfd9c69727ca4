#include "tests/support/ProcessState.h"

#include "app/EntryPoint.h"
#include "calc/FeedParams.h"
#include "settings/NVData.h"
#include "settings/TaggedReader.h"
#include "ui/Main.h"

void ResetProcessState() {
  CommandLine.clear();
  FeedParams = {};
  Language = 0;
  ProgramDir.clear();
  DataDir.clear();
  LastTag = 0;
  RuntimeTexts = {};
  FirstShowDone = false;
}
