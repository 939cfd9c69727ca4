// SPDX-License-Identifier: MIT
#pragma once
// Marks the end of a window's first full show for the start-up benchmark
// (bench/startup.sh): once the window's first frame has been painted, prints
// the monotonic clock in nanoseconds on standard output and quits.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <ctime>

namespace startup_probe {

inline void ReportAndQuit() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
  std::fflush(stdout);
  QApplication::quit();
}

// Qt paints a widget window while it handles the window's first expose; the
// report follows once that event has been handled.
class TFirstFrame : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* window = qobject_cast<QWindow*>(watched);
    if (!done_ && event->type() == QEvent::Expose && window != nullptr) {
      done_ = true;
      QTimer::singleShot(0, &ReportAndQuit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool done_ = false;
};

}  // namespace startup_probe

// Call right after the window's show().
inline void QuitAfterFirstFrame(QWidget& window) {
  QWindow* handle = window.windowHandle();
  if (handle == nullptr || handle->isExposed()) {
    QTimer::singleShot(0, &startup_probe::ReportAndQuit);
    return;
  }
  handle->installEventFilter(new startup_probe::TFirstFrame(handle));
}
