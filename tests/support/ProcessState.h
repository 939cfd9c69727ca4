#pragma once
// The program keeps some values process-wide (the parameter record, the
// language, the folders, the command line, the language texts, whether the
// window's first show has run). Tests that run the program one after another
// in one process put them back as they are when the process starts; the
// window pointer follows the window itself.

void ResetProcessState();
