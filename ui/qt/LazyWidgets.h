// SPDX-License-Identifier: MIT
#pragma once
// Widgets built when they are first needed (internal to the Qt front end).
// The widgets of a page that is not on the screen yet are built when the
// page is first shown, or as soon as one of them is asked for, in the order
// they were added. An editable combo box alone brings in the item views,
// code that a start-up showing another page has no use for.
// A logo's picture waits the same way until the logo is first shown.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The builds waiting for one widget's first show.
class TPendingWidgets : public QObject {
 public:
  // Watches `widget` and runs the builds when it is first shown.
  explicit TPendingWidgets(QWidget* widget);
  void Add(std::function<void()> build);
  // Runs every build added so far, now.
  void BuildAll();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<std::function<void()>> builds_;
};

// Which controls of the window still wait for their page, by name.
class TLazyWidgets {
 public:
  TLazyWidgets() = default;
  // What still waits would build into a window that is gone.
  ~TLazyWidgets();
  TLazyWidgets(const TLazyWidgets&) = delete;
  TLazyWidgets& operator=(const TLazyWidgets&) = delete;

  // The builds waiting for the page (made on first use); null when the page
  // is on the screen already, so that its widgets are built at once.
  TPendingWidgets* On(QWidget* page);
  // The control's widget waits in `pending`.
  void Wait(std::string_view name, TPendingWidgets* pending);
  // Builds the control's page now if the control still waits.
  void BuildFor(std::string_view name) const;

 private:
  std::map<std::string, QPointer<TPendingWidgets>, std::less<>> pending_;
};
