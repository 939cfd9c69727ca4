// SPDX-License-Identifier: MIT
// Another program that holds a file open for a moment, as a virus scanner or
// a backup does: it reads, others may only read meanwhile, and nobody may
// write, delete or replace the file. Signals the named event once it
// holds the file, lets go after the given time.
// Usage: hold_file.exe <file> <milliseconds> <event name>

#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    return 2;
  }
  const HANDLE held = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    return 1;
  }
  if (HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3])) {
    SetEvent(ready);
    CloseHandle(ready);
  }
  Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
  CloseHandle(held);
  return 0;
}
