// SPDX-License-Identifier: MIT
#include "ui/qt/ProgramOptions.h"

#include <unistd.h>
#include <QString>
#include <QtGlobal>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#ifndef KOLVANE_VERSION
#error "the build gives KOLVANE_VERSION"
#endif

namespace {

constexpr std::string_view kUsage =
    "Usage: kolvane [/l:d | /l:e] [-h | --help] [--version]\n"
    "Set up a servo roll feed on a stamping press: the window computes the\n"
    "acceleration and speed a stroke rate demands, and the feed timing.\n"
    "\n"
    "  /l:d, -l:d    show the window in German (the default) and keep it\n"
    "  /l:e, -l:e    show the window in English (any value but d) and keep it\n"
    "  -h, --help    print this help and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "Settings: NV-Data.kqn in DVK/Common/ below the shared data folder named\n"
    "by an AllAppData=/path line in DVK-Dudivezava/R-MOX.conf in a folder of\n"
    "XDG_CONFIG_DIRS (default /etc/xdg), else below XDG_DATA_HOME (default\n"
    "~/.local/share), else in the program's own folder. Written when the\n"
    "window closes.\n"
    "\n"
    "Environment: DISPLAY or WAYLAND_DISPLAY (the display to open),\n"
    "XDG_CONFIG_DIRS, XDG_DATA_HOME, HOME, QT_QPA_PLATFORM, QT_SCALE_FACTOR.\n"
    "\n"
    "See kolvane(1).\n";

bool IsSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

// Only the display platforms fail for want of a display; a platform named
// explicitly otherwise (offscreen, vnc, ...) reports its own failures.
bool OpensDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr || *platform == '\0') {
    return true;
  }
  const std::string_view name(platform);
  return name.starts_with("xcb") || name.starts_with("wayland");
}

// The platform's messages while the QApplication is made, held back.
struct THeldMessage {
  QtMsgType Type;
  const char* Category;  // Qt's categories are static strings
  QString Text;
};

QtMessageHandler gPrevious = nullptr;
bool gGuarding = false;
std::vector<THeldMessage> gHeld;

// What Qt said before it gave up, as it would have printed it.
std::string HeldText() {
  std::string text;
  for (const THeldMessage& message : gHeld) {
    text += std::string(message.Category) + ": " + message.Text.toStdString() + "\n";
  }
  return text;
}

// Qt gives up with the same fatal message whatever the reason; only the
// platform's messages before it say whether the display was the reason: it
// could not be reached, or the platform that talks to it is missing.
bool DisplayWasTheReason() {
  for (const THeldMessage& message : gHeld) {
    if (message.Text.contains(QStringLiteral("display"), Qt::CaseInsensitive) ||
        message.Text.contains(QStringLiteral("platform plugin"), Qt::CaseInsensitive)) {
      return true;
    }
  }
  return false;
}

void HoldOrFail(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    const std::string line = DisplayWasTheReason()
                                 ? DisplayFailureLine() + "\n"
                                 : HeldText() + "kolvane: " + text.toStdString() + "\n";
    // The half-made application must not run its exit handlers.
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line.data(), line.size());
    _exit(1);
  }
  const char* category = context.category != nullptr ? context.category : "default";
  if (std::strncmp(category, "qt.qpa", 6) == 0) {
    gHeld.push_back({type, category, text});
    return;
  }
  if (gPrevious != nullptr) {
    gPrevious(type, context, text);
  } else {
    qInstallMessageHandler(nullptr);
    qt_message_output(type, context, text);
    qInstallMessageHandler(HoldOrFail);
  }
}

}  // namespace

std::string UsageText() {
  return std::string(kUsage);
}

std::optional<int> AnswerInfoOptions(int argc, const char* const* argv, std::FILE* out) {
  for (int i = 1; i < argc && argv != nullptr; ++i) {
    const std::string_view argument = argv[i] != nullptr ? argv[i] : "";
    if (argument == "-h" || argument == "--help") {
      std::fputs(kUsage.data(), out);
      return std::fflush(out) == 0 ? 0 : 1;
    }
    if (argument == "--version") {
      std::fputs("kolvane " KOLVANE_VERSION "\n", out);
      return std::fflush(out) == 0 ? 0 : 1;
    }
  }
  return std::nullopt;
}

std::string DisplayFailureLine() {
  std::string which;
  if (IsSet("WAYLAND_DISPLAY") && !IsSet("DISPLAY")) {
    which = std::getenv("WAYLAND_DISPLAY");
  } else if (IsSet("DISPLAY")) {
    which = std::getenv("DISPLAY");
  } else {
    which = "(DISPLAY and WAYLAND_DISPLAY are not set)";
  }
  return "kolvane: cannot open the display " + which + "; set DISPLAY or WAYLAND_DISPLAY";
}

TDisplayFailureGuard::TDisplayFailureGuard() {
  if (!OpensDisplay()) {
    return;
  }
  gGuarding = true;
  gPrevious = qInstallMessageHandler(HoldOrFail);
}

TDisplayFailureGuard::~TDisplayFailureGuard() {
  if (!gGuarding) {
    return;
  }
  qInstallMessageHandler(gPrevious);
  // The start went well: what the platform said is passed on as it came.
  for (const THeldMessage& message : gHeld) {
    const QMessageLogContext context(nullptr, 0, nullptr, message.Category);
    qt_message_output(message.Type, context, message.Text);
  }
  gHeld.clear();
  gPrevious = nullptr;
  gGuarding = false;
}
