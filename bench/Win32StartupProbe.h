// SPDX-License-Identifier: MIT
#pragma once
// Marks the end of a Win32 window's first full show for the start-up
// benchmark (bench/startup-wine.sh): once the window has painted, prints the
// milliseconds since the process was created and the peak working set, then
// ends the message loop.

#include <windows.h>
// After <windows.h>.
#include <psapi.h>

#include <cstdio>

namespace startup_probe {

// Milliseconds since the process was created.
inline double SinceCreation() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  const auto ticks = [](FILETIME time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

// Milliseconds of processor time the process has used, in user and kernel
// mode: less at the mercy of a loaded machine than the time on the clock.
inline double ProcessorTime() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ticks = [](FILETIME time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

// One line "<milliseconds since creation> <processor milliseconds> <phase
// that just ended>".
inline void Phase(const char* ended) {
  char line[160];
  const int length =
      std::snprintf(line, sizeof line, "%.2f %.2f %s\n", SinceCreation(), ProcessorTime(), ended);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
}

inline void ReportAndQuit(HWND window) {
  UpdateWindow(window);  // the first paint is done when this returns
  const double elapsed = SinceCreation();
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  char line[96];
  const int length =
      std::snprintf(line, sizeof line, "%.2f %llu\n", elapsed,
                    static_cast<unsigned long long>(memory.PeakWorkingSetSize / 1024));
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
  PostQuitMessage(0);
}

}  // namespace startup_probe
