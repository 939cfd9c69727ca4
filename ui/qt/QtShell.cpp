// SPDX-License-Identifier: MIT
#include "ui/qt/QtShell.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QSpacerItem>
#include <QStyle>
#include <QStyleFactory>
#include <clocale>
#include <cstdio>

#include "ui/WindowDef.h"
#include "ui/qt/ProgramOptions.h"
#include "ui/qt/QtAccessibility.h"
#include "ui/qt/QtLook.h"

namespace {

constexpr int kIdOk = 1;
constexpr const char* kAppId = "org.kolvane.Kolvane";

// The icon's pictures as bitmaps with alpha (the PNGs, which the desktop
// needs, would bring the PNG decoder's and zlib's code into every start): a
// picture drawn for double density keeps the icon sharp there.
QIcon WindowIcon() {
  QIcon icon;
  for (const char* name : {"kolvane-32.bmp", "kolvane-64.bmp"}) {
    icon.addPixmap(QPixmap::fromImage(ReadResourceImage(QString::fromLatin1(name), "bmp")));
  }
  return icon;
}

// The text as it is (no rich text), and an OK button without the icon theme's
// picture.
void Plain(QMessageBox& box) {
  box.setTextFormat(Qt::PlainText);
  if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
    ok->setIcon(QIcon());
  }
}

// A box's caption is drawn in its title bar, whose width follows the box's
// content alone: a box whose only content is its caption would show a few of
// its letters. A strut in the box's layout keeps room for the caption in a
// bold title font, the window menu and three title-bar buttons.
void RoomForCaption(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) {
    return;
  }
  constexpr int kTitleBarControls = 4;
  constexpr int kTitleBarControlWidth = 32;
  QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  title.setBold(true);
  const int width = QFontMetrics(title).horizontalAdvance(box.windowTitle()) +
                    kTitleBarControls * kTitleBarControlWidth;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

TQtShell::TQtShell(int& argc, char** argv, TPlatform& platform)
    : argc_(argc), argv_(argv), platform_(platform) {}

TQtShell::~TQtShell() {
  form_.reset();
}

void TQtShell::Initialize() {
  if (QApplication::instance() == nullptr) {
    // The window class is the application name (set before any window).
    QCoreApplication::setApplicationName(QString::fromLatin1(kAppId));
    const TDisplayFailureGuard noDisplayIsOneLine;
    application_ = std::make_unique<QApplication>(argc_, argv_);
  }
  // QApplication sets the process locale from the environment. Numbers on
  // screen and in the settings file never go through it, and this keeps any
  // C library conversion from meeting a decimal comma either.
  std::setlocale(LC_NUMERIC, "C");
  // The layout is fixed in pixels: one style with known metrics everywhere,
  // whatever the desktop's theme.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
    QApplication::setStyle(style);
  }
  QApplication::setPalette(WindowPalette(MainFormDef));
  QApplication::setFont(WindowFont(MainFormDef));
  QApplication::setWindowIcon(WindowIcon());
  // The desktop entry's name, which Wayland takes as the application id.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kAppId));
}

void TQtShell::SetMainFormOnTaskBar(bool /*onTaskBar*/) {
  // Every top-level window has a task-bar entry of its own under X11 and
  // Wayland; there is nothing to set.
}

void TQtShell::SetTitle(const std::u16string& title) {
  // Kept for the exception display only: Qt would append an application
  // display name to every window caption.
  title_ = title;
}

void TQtShell::CreateMainForm() {
  form_ = std::make_unique<TFO_Main>(*this, window_, platform_);
  RelateLabelsToTheirBoxes(window_);
}

void TQtShell::ShowMainForm() {
  if (QWidget* window = window_.TopLevel()) {
    window->show();
  }
}

void TQtShell::Run() {
  ShowMainForm();
  QWidget* window = window_.TopLevel();
  if (window == nullptr) {
    return;
  }
  if (AfterShow) {
    AfterShow(*window);
  }
  QApplication::exec();
}

void TQtShell::ShowException(const std::u16string& text) {
  if (QApplication::instance() == nullptr) {
    std::fprintf(stderr, "%s\n", ToQString(text).toLocal8Bit().constData());
    return;
  }
  QWidget* window = window_.TopLevel();
  QMessageBox box(QMessageBox::Critical, ToQString(title_), ToQString(text), QMessageBox::Ok,
                  window != nullptr && window->isVisible() ? window : nullptr);
  Plain(box);
  box.exec();
  RestoreActivation();
}

int TQtShell::ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                             int /*flags*/) {
  QMessageBox box(QMessageBox::NoIcon, ToQString(caption), ToQString(text), QMessageBox::Ok,
                  window_.TopLevel());
  Plain(box);
  RoomForCaption(box);
  box.exec();
  RestoreActivation();
  return kIdOk;
}

void TQtShell::RestoreActivation() const {
  QWidget* window = window_.TopLevel();
  if (window != nullptr && window->isVisible()) {
    QApplication::setActiveWindow(window);
  }
}
