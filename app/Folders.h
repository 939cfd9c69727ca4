#pragma once
// Resolution of ProgramDir and DataDir at start-up.

#include "app/Platform.h"

// Sets ProgramDir from the executable's path and DataDir from the shared data
// folder (registry value, else the all-users folder, else ProgramDir). Throws
// Exception when the registry value is not a string.
void ResolveFolders(TPlatform& platform);
