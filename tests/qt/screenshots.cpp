// SPDX-License-Identifier: MIT
// Saves pictures of the main window: every page in both languages, a page
// with a broken drive limit, and a range message. Run by
// scripts/screenshots.sh under xvfb-run.
// Usage: kolvane_screenshots <output folder>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/EntryPoint.h"
#include "app/Platform.h"
#include "ui/qt/QtShell.h"

namespace {

void Settle() {
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents();
  }
}

bool Save(QWidget& widget, const QString& path) {
  const bool saved = widget.grab().save(path);
  std::printf("%s %s\n", saved ? "wrote" : "FAILED", path.toLocal8Bit().constData());
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  std::unique_ptr<TPlatform> platform = MakeNativePlatform();
  TQtShell shell(argc, argv, *platform);
  shell.Initialize();
  QDir().mkpath(folder);
  shell.SetTitle(u"Kolvane");
  shell.CreateMainForm();
  shell.ShowMainForm();
  QWidget* window = shell.Window().TopLevel();
  window->activateWindow();
  Settle();

  auto* pages = qobject_cast<QTabWidget*>(shell.Window().Widget("PC_Main"));
  bool ok = true;
  const char* names[] = {"de", "en"};
  for (int lang = 0; lang < 2; ++lang) {
    // As the user picks it: the combo box changes and reports the change.
    // The options page is shown first, as a user sees it, before its combo
    // box is asked for: that page's widgets are built when it first shows.
    pages->setCurrentIndex(2);
    auto* language = qobject_cast<QComboBox*>(shell.Window().Widget("CB_Language"));
    language->setCurrentIndex(lang);
    emit language->activated(lang);
    for (int page = 0; page < 3; ++page) {
      pages->setCurrentIndex(page);
      Settle();
      ok = Save(*window,
                QStringLiteral("%1/%2-page%3.png").arg(folder).arg(names[lang]).arg(page + 1)) &&
           ok;
    }
  }

  // A broken drive limit: the results turn light red.
  pages->setCurrentIndex(0);
  auto* maxAccel = qobject_cast<QLineEdit*>(shell.Window().Widget("ED_MaxAccel"));
  maxAccel->setFocus();
  maxAccel->setText(QStringLiteral("0.1"));
  shell.Form()->Control<TEdit>("ED_MaxAccel").UserKeyDown(vkReturn);
  Settle();
  ok = Save(*window, folder + QStringLiteral("/en-limit.png")) && ok;

  // A range message, pictured while it is open.
  QTimer::singleShot(200, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      ok = Save(*box, folder + QStringLiteral("/en-message.png")) && ok;
      box->accept();
    }
  });
  auto* rate = qobject_cast<QLineEdit*>(shell.Window().Widget("ED_HZin"));
  rate->setText(QStringLiteral("1"));
  shell.Form()->Control<TEdit>("ED_HZin").UserKeyDown(vkReturn);
  return ok ? 0 : 1;
}
