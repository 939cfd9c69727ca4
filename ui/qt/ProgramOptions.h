// SPDX-License-Identifier: MIT
#pragma once
// What the kolvane program answers before it opens a window: --help and
// --version, which need no display, and the one line it prints instead of
// Qt's abort when there is no display to open.

#include <cstdio>
#include <optional>
#include <string>

// Answers -h, --help and --version on the given stream and returns the exit
// code; nothing (the window opens) for any other arguments, which go on to
// the program's own command-line text unchanged.
std::optional<int> AnswerInfoOptions(int argc, const char* const* argv, std::FILE* out);

// The usage text of --help.
std::string UsageText();

// The line printed when no display can be opened, naming the display that
// DISPLAY or WAYLAND_DISPLAY gives, if any.
std::string DisplayFailureLine();

// Held while the QApplication is made. Qt reports a display it cannot open
// as a fatal message and aborts with a core dump; this prints
// DisplayFailureLine instead and ends the process with exit code 1. The
// platform's own warnings are kept back until the QApplication is made, so
// that a failed start prints one line; a platform that QT_QPA_PLATFORM
// names explicitly (other than xcb or wayland) keeps Qt's own messages.
class TDisplayFailureGuard {
 public:
  TDisplayFailureGuard();
  ~TDisplayFailureGuard();
  TDisplayFailureGuard(const TDisplayFailureGuard&) = delete;
  TDisplayFailureGuard& operator=(const TDisplayFailureGuard&) = delete;
};
