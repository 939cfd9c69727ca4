// SPDX-License-Identifier: MIT
#include "app/EntryPoint.h"

#include <algorithm>
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

int HexDigit(char ch) {
  if (ch >= '0' && ch <= '9') {
    return ch - '0';
  }
  if (ch >= 'a' && ch <= 'f') {
    return ch - 'a' + 10;
  }
  if (ch >= 'A' && ch <= 'F') {
    return ch - 'A' + 10;
  }
  return -1;
}

// A query part as the form that sent it meant it: "+" a blank, "%41" the
// byte 0x41; a "%" without two hex digits stays as it is.
std::string DecodeQueryPart(std::string_view part) {
  std::string text;
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (part[i] == '+') {
      text += ' ';
    } else if (part[i] == '%' && i + 2 < part.size() && HexDigit(part[i + 1]) >= 0 &&
               HexDigit(part[i + 2]) >= 0) {
      text += static_cast<char>(HexDigit(part[i + 1]) * 16 + HexDigit(part[i + 2]));
      i += 2;
    } else {
      text += part[i];
    }
  }
  return text;
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

std::string CommandLineFromQuery(std::string_view query) {
  if (!query.empty() && query.front() == '?') {
    query.remove_prefix(1);
  }
  std::string commandLine;
  while (!query.empty()) {
    const std::size_t end = std::min(query.find('&'), query.size());
    const std::string_view part = query.substr(0, end);
    query.remove_prefix(std::min(end + 1, query.size()));
    if (part.empty()) {
      continue;
    }
    if (!commandLine.empty()) {
      commandLine += ' ';
    }
    // Quoted, so that a blank followed by "/" inside the value does not
    // start a switch of its own.
    const std::size_t equals = part.find('=');
    commandLine += '/' + DecodeQueryPart(part.substr(0, equals));
    if (equals != std::string_view::npos) {
      commandLine += ":\"" + DecodeQueryPart(part.substr(equals + 1)) + '"';
    }
  }
  return commandLine;
}
