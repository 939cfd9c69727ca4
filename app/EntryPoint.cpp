// SPDX-License-Identifier: MIT
#include "app/EntryPoint.h"

#include <utility>

#include "app/Exception.h"

std::string CommandLine;

namespace {

// The last word of a failed run: nothing that goes wrong while showing it
// may escape, since the exit code stays 0 whatever happened.
void ShowFailure(TApplicationShell& application, const std::u16string& message) noexcept {
  try {
    application.ShowException(ExceptionDisplayText(message));
  } catch (...) {
  }
}

}  // namespace

std::u16string ExceptionDisplayText(const std::u16string& message) {
  if (!message.empty() && message.back() > u'.') {
    return message + u'.';
  }
  return message;
}

int RunProgram(TApplicationShell& application, std::string commandLine) {
  try {
    CommandLine = std::move(commandLine);
    application.Initialize();
    application.SetMainFormOnTaskBar(true);
    application.SetTitle(u"Kolvane");
    application.CreateMainForm();
    application.Run();
  } catch (const Exception& error) {
    ShowFailure(application, error.Message());
  } catch (...) {
    // Failures of foreign origin carry no message that the user could read.
    ShowFailure(application, u"");
  }
  return 0;
}

std::string JoinArguments(int argc, const char* const* argv) {
  std::string joined;
  if (argv == nullptr) {
    return joined;
  }
  for (int i = 1; i < argc; ++i) {
    if (i > 1) {
      joined += ' ';
    }
    if (argv[i] != nullptr) {
      joined += argv[i];
    }
  }
  return joined;
}
