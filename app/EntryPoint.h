// SPDX-License-Identifier: MIT
#pragma once
// The toolkit-independent entry point that every front end calls.

#include <string>
#include <string_view>

// The argument text behind the program name.
extern std::string CommandLine;

// What the entry point needs of a toolkit's application object.
class TApplicationShell {
 public:
  virtual ~TApplicationShell() = default;
  virtual void Initialize() = 0;
  virtual void SetMainFormOnTaskBar(bool onTaskBar) = 0;
  virtual void SetTitle(const std::u16string& title) = 0;
  // Creates the main window; a failure of its construction passes on.
  virtual void CreateMainForm() = 0;
  // Shows the main window and processes messages until it has closed.
  virtual void Run() = 0;
  // Modal box with an error icon and OK; caption is the application title.
  virtual void ShowException(const std::u16string& text) = 0;
};

// The exception display's text: the message, with "." appended when it is
// non-empty and its last character is above ".".
std::u16string ExceptionDisplayText(const std::u16string& message);

// Runs the program; always returns 0.
int RunProgram(TApplicationShell& application, std::string commandLine);

// Joins the arguments behind the program name with single blanks.
std::string JoinArguments(int argc, const char* const* argv);

// The command-line text of a page address's query ("?l=e&x=1", the "?"
// optional): each "name=value" becomes the switch /name:"value", percent
// escapes and "+" decoded, so "?l=e" reads as "/l:e" does. A part without
// "=" becomes /name, which names no value, as on a command line.
std::string CommandLineFromQuery(std::string_view query);
