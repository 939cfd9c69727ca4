#pragma once
// The settings file "NV-Data.kqn" in DataDir, with the read-only fallback
// "NV-Data.kqx" in ProgramDir.

#include <cstdint>
#include <string>

// Process-wide values shared by the settings file, the start-up and the
// window. Both directories end with a path separator.
extern std::u16string ProgramDir;
extern std::u16string DataDir;
extern int32_t Language;  // 0 German, 1 English, anything else shows German

void LoadNVData();
void SaveNVData();
