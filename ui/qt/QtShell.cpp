#include "ui/qt/QtShell.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QStyle>
#include <QStyleFactory>
#include <clocale>
#include <cstdio>

#include "ui/WindowDef.h"
#include "ui/qt/QtLook.h"

namespace {

constexpr int kIdOk = 1;

// The text as it is (no rich text), and an OK button without the icon theme's
// picture.
void Plain(QMessageBox& box) {
  box.setTextFormat(Qt::PlainText);
  if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
    ok->setIcon(QIcon());
  }
}

}  // namespace

TQtShell::TQtShell(int& argc, char** argv, TPlatform& platform)
    : argc_(argc), argv_(argv), platform_(platform) {}

TQtShell::~TQtShell() {
  form_.reset();
}

void TQtShell::Initialize() {
  if (QApplication::instance() == nullptr) {
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
  // The icon's picture as a bitmap with alpha: the PNG, which the desktop
  // needs, would bring the PNG decoder's and zlib's code into every start.
  QApplication::setWindowIcon(
      QIcon(QPixmap::fromImage(ReadResourceImage(QStringLiteral("kolvane.bmp"), "bmp"))));
  QGuiApplication::setDesktopFileName(QStringLiteral("kolvane"));
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
