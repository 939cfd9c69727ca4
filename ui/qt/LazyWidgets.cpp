#include "ui/qt/LazyWidgets.h"

#include <QEvent>
#include <utility>

TPendingWidgets::TPendingWidgets(QWidget* widget) : QObject(widget) {
  widget->installEventFilter(this);
}

void TPendingWidgets::Add(std::function<void()> build) {
  builds_.push_back(std::move(build));
}

void TPendingWidgets::BuildAll() {
  // A build may ask for a widget built before it, never for a later one.
  std::vector<std::function<void()>> builds;
  builds.swap(builds_);
  for (std::function<void()>& build : builds) {
    build();
  }
}

bool TPendingWidgets::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && watched == parent()) {
    BuildAll();
  }
  return QObject::eventFilter(watched, event);
}

TLazyWidgets::~TLazyWidgets() {
  for (auto& [name, pending] : pending_) {
    delete pending.data();
  }
}

TPendingWidgets* TLazyWidgets::On(QWidget* page) {
  if (page->isVisible()) {
    return nullptr;
  }
  if (auto* pending = page->findChild<TPendingWidgets*>(QString(), Qt::FindDirectChildrenOnly)) {
    return pending;
  }
  return new TPendingWidgets(page);
}

void TLazyWidgets::Wait(std::string_view name, TPendingWidgets* pending) {
  pending_[std::string(name)] = pending;
}

void TLazyWidgets::BuildFor(std::string_view name) const {
  auto pending = pending_.find(name);
  if (pending != pending_.end() && pending->second != nullptr) {
    pending->second->BuildAll();
  }
}
