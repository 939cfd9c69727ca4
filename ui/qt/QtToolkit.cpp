// SPDX-License-Identifier: MIT
#include "ui/qt/QtToolkit.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QWheelEvent>
#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "ui/qt/LazyWidgets.h"
#include "ui/qt/QtLook.h"

namespace {

// ---- What the user did, in the controls' terms ----

// Focus moves the user made. The program's own set-focus (OtherFocusReason),
// window activation and popups are not exits.
bool IsUserFocusMove(Qt::FocusReason reason) {
  return reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
         reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

void ReportFocus(TWinControl* control, const QFocusEvent& event) {
  if (control != nullptr && IsUserFocusMove(event.reason())) {
    control->UserFocused();
  }
}

// The virtual-key code of a Qt key; nothing for keys the window never asks
// about beyond the common editing and navigation keys.
std::optional<uint16_t> VirtualKey(int key) {
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) {
    return static_cast<uint16_t>(key);  // Qt uses the ASCII codes, as virtual keys do
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
    return static_cast<uint16_t>(112 + (key - Qt::Key_F1));
  }
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return vkReturn;
    case Qt::Key_Space:
      return vkSpace;
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 9;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_PageUp:
      return 33;
    case Qt::Key_PageDown:
      return 34;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Insert:
      return 45;
    case Qt::Key_Delete:
      return 46;
    default:
      return std::nullopt;
  }
}

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers) {
  TShiftState shift = 0;
  shift |= (modifiers & Qt::ShiftModifier) ? ssShift : 0;
  shift |= (modifiers & Qt::AltModifier) ? ssAlt : 0;
  shift |= (modifiers & Qt::ControlModifier) ? ssCtrl : 0;
  return shift;
}

// Runs the key-down; false when the handler consumed the key, which the
// widget must then not process.
bool ReportKeyDown(TWinControl* control, const QKeyEvent& event) {
  if (control == nullptr) {
    return true;
  }
  if (std::optional<uint16_t> key = VirtualKey(event.key())) {
    return control->UserKeyDown(*key, ShiftOf(event.modifiers())) != 0;
  }
  return true;
}

// ---- Widgets that report to their control ----

// Knows the control it reports to from the moment the control exists until
// the control's peer goes; reports nothing outside that time.
template <class TControlType>
class TBound {
 public:
  void Bind(TControlType* control) { control_ = control; }
  TControlType* Control() const { return control_; }

 protected:
  TControlType* control_ = nullptr;
};

class TFormWidget : public QWidget, public TBound<TForm> {
 public:
  explicit TFormWidget(const TQtToolkit& window) : window_(window) {}

 protected:
  void showEvent(QShowEvent* event) override {
    QWidget::showEvent(event);
    // Once: a later, spontaneous show is the window coming back from the
    // task bar.
    if (control_ != nullptr && !event->spontaneous() && !shown_) {
      shown_ = true;
      control_->UserShown();
    }
  }

  void closeEvent(QCloseEvent* event) override {
    if (control_ == nullptr || control_->UserClosed()) {
      event->accept();
    } else {
      event->ignore();
    }
  }

  bool focusNextPrevChild(bool next) override {
    if (control_ == nullptr) {
      return QWidget::focusNextPrevChild(next);
    }
    QWidget* current = QApplication::focusWidget();
    if (current != nullptr && isAncestorOf(current) && !current->isVisible()) {
      // Qt moves the focus off a page it hides. That is no user's move: the
      // tab bar takes it without an exit, and the logic goes on from its
      // logical focus.
      if (QWidget* tabs = WidgetOf(control_->PageControl())) {
        tabs->setFocus(Qt::OtherFocusReason);
        return true;
      }
    }
    if (QWidget* target = WidgetOf(control_->NextInTabOrder(ControlOf(current), !next))) {
      target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return true;
    }
    return QWidget::focusNextPrevChild(next);
  }

 private:
  QWidget* WidgetOf(const TControl* control) const {
    return control != nullptr ? window_.Widget(control->Name()) : nullptr;
  }

  // The control whose widget is the focus widget or holds it (the tab bar
  // inside its page control, the line edit inside its combo box).
  const TWinControl* ControlOf(const QWidget* widget) const {
    for (; widget != nullptr && widget != this; widget = widget->parentWidget()) {
      const std::string name = widget->objectName().toStdString();
      if (auto* control = dynamic_cast<const TWinControl*>(control_->FindControl(name))) {
        return control;
      }
    }
    return nullptr;
  }

  const TQtToolkit& window_;
  bool shown_ = false;
};

class TEditWidget : public QLineEdit, public TBound<TEdit> {
 public:
  using QLineEdit::QLineEdit;

 protected:
  void focusInEvent(QFocusEvent* event) override {
    QLineEdit::focusInEvent(event);
    ReportFocus(control_, *event);
  }

  // One key press carries both the key-down and the character: the
  // key-down runs first, then the character, which the logic may swallow
  // (0) or replace. A key whose key-down was consumed goes no further; its
  // character is still reported, and the logic swallows it.
  void keyPressEvent(QKeyEvent* event) override {
    QPointer<TEditWidget> self(this);
    const bool wanted = ReportKeyDown(control_, *event);
    if (self == nullptr) {
      return;
    }
    if (!wanted) {
      if (control_ != nullptr && !event->text().isEmpty()) {
        control_->UserKeyPress(event->text().front().unicode());
      }
      event->accept();
      return;
    }
    const QString typed = event->text();
    if (control_ == nullptr || typed.isEmpty()) {
      QLineEdit::keyPressEvent(event);
      return;
    }
    QString passed;
    bool changed = false;
    for (QChar character : typed) {
      const char16_t result = control_->UserKeyPress(character.unicode());
      changed = changed || result != character.unicode();
      if (result != 0) {
        passed += QChar(result);
      }
    }
    if (self == nullptr) {
      return;
    }
    if (!changed) {
      QLineEdit::keyPressEvent(event);
      return;
    }
    if (!passed.isEmpty()) {
      insert(passed);
    }
    event->accept();
  }
};

class TCheckBoxWidget : public QCheckBox, public TBound<TCheckBox> {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void focusInEvent(QFocusEvent* event) override {
    QCheckBox::focusInEvent(event);
    ReportFocus(control_, *event);
  }

  // The key-down runs while the box still shows its old state. If it ends
  // with the focus elsewhere (a rejected entry took it back), the key no
  // longer belongs to the box.
  void keyPressEvent(QKeyEvent* event) override {
    QPointer<TCheckBoxWidget> self(this);
    const bool wanted = ReportKeyDown(control_, *event);
    if (self == nullptr) {
      return;
    }
    if (!wanted || (control_ != nullptr && !control_->MayToggle())) {
      event->accept();
      return;
    }
    QCheckBox::keyPressEvent(event);
  }

  // The press comes after the focus move it caused; when that move ended
  // with the focus elsewhere (a message box answered a rejected entry), the
  // click is swallowed.
  void mousePressEvent(QMouseEvent* event) override {
    if (control_ != nullptr && !control_->MayToggle()) {
      event->accept();
      return;
    }
    QCheckBox::mousePressEvent(event);
  }
};

// The combo box's text: which of the user's edits are typed characters, the
// only ones the controls complete (TComboBox::UserTyped); deleting, cutting
// and pasting are plain changes.
class TComboEditWidget : public QLineEdit, public TBound<TComboBox> {
 public:
  TComboEditWidget() {
    connect(this, &QLineEdit::textEdited, this, [this] {
      if (typing_ > 0) {
        typed_ = true;
      } else if (control_ != nullptr) {
        control_->UserChanged();
      }
    });
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const QString text = event->text();
    const bool character = !text.isEmpty() && text.front().isPrint();
    Edit(character, [this, event] { QLineEdit::keyPressEvent(event); });
  }
  void inputMethodEvent(QInputMethodEvent* event) override {
    Edit(!event->commitString().isEmpty(), [this, event] { QLineEdit::inputMethodEvent(event); });
  }

 private:
  // Runs the line edit's own handling; typed characters that changed the
  // text are reported once it is done.
  void Edit(bool characters, const std::function<void()>& handle) {
    QPointer<TComboEditWidget> self(this);
    typing_ += characters ? 1 : 0;
    handle();
    if (self == nullptr) {
      return;
    }
    typing_ -= characters ? 1 : 0;
    if (typing_ == 0 && typed_) {
      typed_ = false;
      if (control_ != nullptr) {
        control_->UserTyped();
      }
    }
  }

  int typing_ = 0;
  bool typed_ = false;
};

class TComboBoxWidget : public QComboBox, public TBound<TComboBox> {
 public:
  explicit TComboBoxWidget(QWidget* parent) : QComboBox(parent), edit_(new TComboEditWidget) {
    setLineEdit(edit_);  // makes the box editable
    // The controls decide which item typed text completes to.
    setCompleter(nullptr);
  }
  void Bind(TComboBox* control) {
    TBound<TComboBox>::Bind(control);
    edit_->Bind(control);
  }

 protected:
  void focusInEvent(QFocusEvent* event) override {
    QComboBox::focusInEvent(event);
    ReportFocus(control_, *event);
  }

 private:
  TComboEditWidget* edit_;
};

class TTabBarWidget : public QTabBar, public TBound<TPageControl> {
 public:
  using QTabBar::QTabBar;

 protected:
  void focusInEvent(QFocusEvent* event) override {
    QTabBar::focusInEvent(event);
    ReportFocus(control_, *event);
  }

  // Pages change by a click or the keyboard only: a wheel turn over the tabs
  // would switch pages without the focus leaving the box first.
  void wheelEvent(QWheelEvent* event) override { event->ignore(); }
};

class TPageControlWidget : public QTabWidget {
 public:
  explicit TPageControlWidget(QWidget* parent) : QTabWidget(parent), bar_(new TTabBarWidget) {
    setTabBar(bar_);
    // A click on a tab takes the focus first, so the focused box's exit
    // runs while its own page is still the active one.
    bar_->setFocusPolicy(Qt::StrongFocus);
  }

  TTabBarWidget& Bar() const { return *bar_; }

 protected:
  // Ctrl+Tab and Ctrl+Shift+Tab choose the page the form says comes next;
  // the choice moves the focus to the tabs first, as a click does.
  void keyPressEvent(QKeyEvent* event) override {
    const bool switchesPage = (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
                              (event->modifiers() & Qt::ControlModifier);
    TPageControl* control = bar_->Control();
    if (!switchesPage || control == nullptr) {
      QTabWidget::keyPressEvent(event);
      return;
    }
    const bool backwards =
        event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
    if (TTabSheet* page = control->Owner().NextPage(backwards)) {
      control->UserSelectedPage(*page);
    }
    event->accept();
  }

 private:
  TTabBarWidget* bar_;
};

// ---- Peers: one widget access per method ----

// A name or description for screen readers, given only when it changes: Qt
// tells a listening screen reader of every change.
void SetAccessibleText(QWidget& widget, void (QWidget::*set)(const QString&),
                       const std::u16string& text) {
  const QString wanted = ToQString(text);
  const QString now =
      set == &QWidget::setAccessibleName ? widget.accessibleName() : widget.accessibleDescription();
  if (now != wanted) {
    (widget.*set)(wanted);
  }
}

// A peer whose widget holds child controls.
class TContainerPeer {
 public:
  virtual ~TContainerPeer() = default;
  virtual QWidget* Container() const = 0;
};

QWidget* ContainerOf(TPeer& peer) {
  auto* container = dynamic_cast<TContainerPeer*>(&peer);
  QWidget* widget = container != nullptr ? container->Container() : nullptr;
  if (widget == nullptr) {
    throw std::logic_error("a control was placed on a control that holds no children");
  }
  return widget;
}

// Unbinds the widget when the control's peer goes, so a widget that lives a
// little longer (until its window is deleted) reports to no one.
template <class TWidget, class TControlType>
class TBinding {
 public:
  explicit TBinding(TWidget* widget) : widget_(widget) {}
  ~TBinding() {
    if (widget_ != nullptr) {
      widget_->Bind(nullptr);
    }
  }
  TBinding(const TBinding&) = delete;
  TBinding& operator=(const TBinding&) = delete;

  void Bind(TControl& control) { widget_->Bind(dynamic_cast<TControlType*>(&control)); }
  TWidget* operator->() const { return widget_; }
  TWidget* Get() const { return widget_; }

 private:
  QPointer<TWidget> widget_;
};

class TFormPeerQt : public TFormPeer, public TContainerPeer {
 public:
  explicit TFormPeerQt(TFormWidget* widget) : widget_(widget) {}
  // The window goes with its form, and every widget with it.
  ~TFormPeerQt() override {
    if (TFormWidget* widget = widget_.Get()) {
      widget->Bind(nullptr);
      delete widget;
    }
  }
  void Attach(TControl& control) override { widget_.Bind(control); }
  QWidget* Container() const override { return widget_.Get(); }

 private:
  TBinding<TFormWidget, TForm> widget_;
};

class TPanelPeerQt : public TPanelPeer, public TContainerPeer {
 public:
  explicit TPanelPeerQt(QFrame* widget) : widget_(widget) {}
  QWidget* Container() const override { return widget_; }

 private:
  QPointer<QFrame> widget_;
};

// Where a control goes and whether it takes input, kept for a widget that is
// built later.
struct TPlacement {
  QString Name;
  QRect Geometry;
  bool Enabled = true;
};

TPlacement PlacementOf(const TControlDef& def) {
  return {ToQString(def.Name), QRect(def.Left, def.Top, def.Width, def.Height), def.Enabled};
}

void Place(QWidget& widget, const TPlacement& place) {
  widget.setObjectName(place.Name);
  widget.setGeometry(place.Geometry);
  widget.setEnabled(place.Enabled);
}

void Place(QWidget& widget, const TControlDef& def) {
  Place(widget, PlacementOf(def));
}

// A widget made after its parent is on the screen must be shown by hand;
// one made under a hidden parent shows with it.
void ShowWithParent(QWidget& widget) {
  if (widget.parentWidget() != nullptr && widget.parentWidget()->isVisible()) {
    widget.show();
  }
}

// A widget that may still be pending on its page.
template <class TWidget>
struct TPendingWidget {
  QPointer<TWidget> Widget;
  QPointer<TPendingWidgets> Pending;

  // The widget, built now if it was still pending.
  TWidget* Get() {
    if (Widget == nullptr && Pending != nullptr) {
      Pending->BuildAll();
    }
    return Widget;
  }
};

class TGroupBoxPeerQt : public TGroupBoxPeer, public TContainerPeer {
 public:
  explicit TGroupBoxPeerQt(std::shared_ptr<TPendingWidget<QGroupBox>> widget)
      : widget_(std::move(widget)) {}
  QWidget* Container() const override { return widget_->Get(); }
  // The widget's place while it is pending; shared with what builds it.
  const std::shared_ptr<TPendingWidget<QGroupBox>>& Pending() const { return widget_; }

 private:
  std::shared_ptr<TPendingWidget<QGroupBox>> widget_;
};

class TLabelPeerQt : public TLabelPeer {
 public:
  explicit TLabelPeerQt(QLabel* widget) : widget_(widget) {}
  void SetCaption(const std::u16string& caption) override {
    SetFittedText(*widget_, ToQString(caption));
  }

 private:
  QPointer<QLabel> widget_;
};

class TTabSheetPeerQt : public TTabSheetPeer, public TContainerPeer {
 public:
  TTabSheetPeerQt(QTabWidget* tabs, QWidget* page) : tabs_(tabs), page_(page) {}
  void SetCaption(const std::u16string& caption) override {
    tabs_->setTabText(tabs_->indexOf(page_), ToQString(caption));
  }
  QWidget* Container() const override { return page_; }

 private:
  QPointer<QTabWidget> tabs_;
  QPointer<QWidget> page_;
};

class TEditPeerQt : public TEditPeer {
 public:
  explicit TEditPeerQt(TEditWidget* widget) : widget_(widget) {}
  void Attach(TControl& control) override { widget_.Bind(control); }
  void SetText(const std::u16string& text) override { widget_->setText(ToQString(text)); }
  std::u16string GetText() const override { return FromQString(widget_->text()); }
  // The background in every state: a result box on a disabled panel keeps it.
  void SetColor(TColor color) override {
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Base, ColorOf(color));
    widget_->setPalette(palette);
  }
  void TakeFocus() override { widget_->setFocus(Qt::OtherFocusReason); }
  void SelectAll() override { widget_->selectAll(); }
  void SetAccessibleName(const std::u16string& name) override {
    SetAccessibleText(*widget_.Get(), &QWidget::setAccessibleName, name);
  }
  void SetAccessibleDescription(const std::u16string& description) override {
    SetAccessibleText(*widget_.Get(), &QWidget::setAccessibleDescription, description);
  }

 private:
  TBinding<TEditWidget, TEdit> widget_;
};

class TCheckBoxPeerQt : public TCheckBoxPeer {
 public:
  explicit TCheckBoxPeerQt(TCheckBoxWidget* widget) : widget_(widget) {
    QObject::connect(widget, &QCheckBox::toggled, widget, [widget] {
      if (TCheckBox* control = widget->Control()) {
        control->UserToggled();
      }
    });
  }
  void Attach(TControl& control) override { widget_.Bind(control); }
  void SetCaption(const std::u16string& caption) override { widget_->setText(ToQString(caption)); }
  void SetChecked(bool checked) override {
    const QSignalBlocker quiet(widget_.Get());
    widget_->setChecked(checked);
  }
  bool GetChecked() const override { return widget_->isChecked(); }
  void TakeFocus() override { widget_->setFocus(Qt::OtherFocusReason); }
  void SetAccessibleName(const std::u16string& name) override {
    SetAccessibleText(*widget_.Get(), &QWidget::setAccessibleName, name);
  }

 private:
  TBinding<TCheckBoxWidget, TCheckBox> widget_;
};

// A combo box, and what it shows while its widget is still pending.
struct TComboBoxState : TPendingWidget<TComboBoxWidget> {
  QStringList Items;
  int Index = -1;  // the item shown, -1 for none
  TComboBox* Control = nullptr;
  QString AccessibleName;

  void Bind(TComboBox* control) {
    Control = control;
    if (Widget != nullptr) {
      Widget->Bind(control);
    }
  }
};

// A pick from the list or with the arrow keys; what is typed, the line
// edit reports (TComboEditWidget).
void ConnectComboBox(TComboBoxWidget* widget) {
  QObject::connect(widget, &QComboBox::activated, widget, [widget] {
    if (TComboBox* control = widget->Control()) {
      control->UserChanged();
    }
  });
}

// The combo box in its parent, as the state says: editable, its items, the
// item it shows, bound to its control.
TComboBoxWidget* BuildComboBox(QWidget* parent, const TPlacement& place, TComboBoxState& state) {
  auto* widget = new TComboBoxWidget(parent);
  Place(*widget, place);
  if (!state.AccessibleName.isEmpty()) {
    widget->setAccessibleName(state.AccessibleName);
  }
  // Enter must not add the typed text as a new item.
  widget->setInsertPolicy(QComboBox::NoInsert);
  widget->addItems(state.Items);
  {
    const QSignalBlocker quiet(widget);
    widget->setCurrentIndex(state.Index);
  }
  ConnectComboBox(widget);
  widget->Bind(state.Control);
  state.Widget = widget;
  ShowWithParent(*widget);
  return widget;
}

// Until its widget is built, the box answers from its state exactly as the
// widget would: an index outside the items shows an empty text.
class TComboBoxPeerQt : public TComboBoxPeer {
 public:
  explicit TComboBoxPeerQt(std::shared_ptr<TComboBoxState> state) : state_(std::move(state)) {}
  ~TComboBoxPeerQt() override { state_->Bind(nullptr); }
  TComboBoxPeerQt(const TComboBoxPeerQt&) = delete;
  TComboBoxPeerQt& operator=(const TComboBoxPeerQt&) = delete;

  void Attach(TControl& control) override { state_->Bind(dynamic_cast<TComboBox*>(&control)); }
  void SetItemIndex(int index) override {
    if (TComboBoxWidget* widget = state_->Widget) {
      const QSignalBlocker quiet(widget);
      widget->setCurrentIndex(index);
    } else {
      state_->Index = index >= 0 && index < state_->Items.size() ? index : -1;
    }
  }
  std::u16string GetText() const override {
    if (TComboBoxWidget* widget = state_->Widget) {
      return FromQString(widget->currentText());
    }
    return state_->Index >= 0 ? FromQString(state_->Items.at(state_->Index)) : std::u16string();
  }
  void ShowCompletion(int index, int typedLength) override {
    TComboBoxWidget* widget = state_->Get();
    const QSignalBlocker quiet(widget);
    widget->setCurrentIndex(index);
    QLineEdit* edit = widget->lineEdit();
    const auto length = static_cast<int>(edit->text().size());
    // The caret before the completed part, which is selected.
    edit->setSelection(length, typedLength - length);
  }
  void TakeFocus() override { state_->Get()->setFocus(Qt::OtherFocusReason); }
  void SetAccessibleName(const std::u16string& name) override {
    state_->AccessibleName = ToQString(name);
    if (TComboBoxWidget* widget = state_->Widget) {
      SetAccessibleText(*widget, &QWidget::setAccessibleName, name);
    }
  }

 private:
  std::shared_ptr<TComboBoxState> state_;
};

class TPageControlPeerQt : public TPageControlPeer {
 public:
  explicit TPageControlPeerQt(TPageControlWidget* widget) : widget_(widget), bar_(&widget->Bar()) {
    TTabBarWidget* bar = &widget->Bar();
    QObject::connect(widget, &QTabWidget::currentChanged, widget, [bar](int index) {
      TPageControl* control = bar->Control();
      if (control != nullptr && index >= 0 && index < control->PageCount()) {
        control->UserSelectedPage(control->Page(index));
      }
    });
  }
  void Attach(TControl& control) override { bar_.Bind(control); }
  void SetActivePage(int pageIndex) override {
    const QSignalBlocker quiet(widget_.data());
    widget_->setCurrentIndex(pageIndex);
  }
  void TakeFocus() override { bar_->setFocus(Qt::OtherFocusReason); }
  QTabWidget* Tabs() const { return widget_; }

 private:
  QPointer<TPageControlWidget> widget_;
  TBinding<TTabBarWidget, TPageControl> bar_;
};

class TImagePeerQt : public TImagePeer {
 public:
  TImagePeerQt(QLabel* widget, bool visible) : widget_(widget), visible_(visible) {}
  void SetAccessibleName(const std::u16string& name) override {
    SetAccessibleText(*widget_, &QWidget::setAccessibleName, name);
  }
  void SetVisible(bool visible) override {
    visible_ = visible;
    widget_->setVisible(visible);
  }
  void SetParent(TPeer& parent) override {
    const QPoint place = widget_->pos();
    widget_->setParent(ContainerOf(parent));
    widget_->move(place);
    // A widget given a new parent is hidden until it is shown again.
    widget_->setVisible(visible_);
  }

 private:
  QPointer<QLabel> widget_;
  bool visible_;
};

// ---- Building ----

// The picture of a logo image, kept as a resource under the control's name;
// with Transparent, the colour of its bottom-left pixel is not painted.
QPixmap LogoPicture(const QString& name, bool transparent) {
  QImage picture = ReadResourceImage(name + QStringLiteral(".bmp"), "bmp");
  if (picture.isNull() || !transparent) {
    return QPixmap::fromImage(picture);
  }
  picture = picture.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = picture.pixel(0, picture.height() - 1);
  for (int y = 0; y < picture.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < picture.width(); ++x) {
      if (line[x] == key) {
        line[x] = qRgba(0, 0, 0, 0);
      }
    }
  }
  return QPixmap::fromImage(picture);
}

}  // namespace

TQtToolkit::TQtToolkit() : lazy_(std::make_unique<TLazyWidgets>()) {}

TQtToolkit::~TQtToolkit() = default;

QWidget* TQtToolkit::TopLevel() const {
  return topLevel_;
}

QWidget* TQtToolkit::Widget(std::string_view name) const {
  lazy_->BuildFor(name);
  auto found = widgets_.find(name);
  return found == widgets_.end() ? nullptr : found->second.data();
}

void TQtToolkit::Register(std::string_view name, QWidget* widget) {
  widgets_[std::string(name)] = widget;
}

std::unique_ptr<TFormPeer> TQtToolkit::MakeForm(const TFormDef& def) {
  auto* widget = new TFormWidget(*this);
  widget->setObjectName(ToQString(def.Name));
  widget->setWindowTitle(ToQString(def.Caption));
  widget->setFont(WindowFont(def));
  widget->setPalette(WindowPalette(def));
  widget->setAutoFillBackground(true);
  widget->setFixedSize(def.ClientWidth, def.ClientHeight);
  if (def.BorderStyle == TBorderStyle::Single) {
    widget->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint);
  }
  if (def.Position == TPosition::DesktopCenter) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      widget->move(screen->availableGeometry().center() - widget->rect().center());
    }
  }
  topLevel_ = widget;
  Register(def.Name, widget);
  return std::make_unique<TFormPeerQt>(widget);
}

std::unique_ptr<TPageControlPeer> TQtToolkit::MakePageControl(const TControlDef& def,
                                                              TPeer& parent) {
  auto* widget = new TPageControlWidget(ContainerOf(parent));
  Place(*widget, def);
  Register(def.Name, widget);
  return std::make_unique<TPageControlPeerQt>(widget);
}

std::unique_ptr<TTabSheetPeer> TQtToolkit::MakeTabSheet(const TControlDef& def, TPeer& parent) {
  auto* pages = dynamic_cast<TPageControlPeerQt*>(&parent);
  if (pages == nullptr) {
    throw std::logic_error("a tab sheet outside a page control");
  }
  auto* page = new QWidget;
  page->setObjectName(ToQString(def.Name));
  page->setAutoFillBackground(true);
  page->setPalette(PaletteWithBackground(page->palette(), ColorOf(def.Color)));
  {
    // Adding the first page selects it: that is no user's choice.
    const QSignalBlocker quiet(pages->Tabs());
    pages->Tabs()->addTab(page, QString());
  }
  Register(def.Name, page);
  return std::make_unique<TTabSheetPeerQt>(pages->Tabs(), page);
}

std::unique_ptr<TLabelPeer> TQtToolkit::MakeLabel(const TControlDef& def, TPeer& parent) {
  auto* widget = new QLabel(ContainerOf(parent));
  Place(*widget, def);
  widget->setTextFormat(Qt::PlainText);
  widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto peer = std::make_unique<TLabelPeerQt>(widget);
  if (!def.Text.empty()) {
    peer->SetCaption(std::u16string(def.Text));
  }
  Register(def.Name, widget);
  return peer;
}

std::unique_ptr<TEditPeer> TQtToolkit::MakeEdit(const TControlDef& def, TPeer& parent) {
  auto* widget = new TEditWidget(ContainerOf(parent));
  Place(*widget, def);
  auto peer = std::make_unique<TEditPeerQt>(widget);
  peer->SetText(std::u16string(def.Text));
  peer->SetColor(def.Color.IsNone() ? clWindow : def.Color);
  Register(def.Name, widget);
  return peer;
}

std::unique_ptr<TPanelPeer> TQtToolkit::MakePanel(const TControlDef& def, TPeer& parent) {
  auto* widget = new QFrame(ContainerOf(parent));
  Place(*widget, def);
  widget->setAutoFillBackground(true);
  widget->setPalette(PaletteWithBackground(widget->palette(), ColorOf(def.Color)));
  // Only the inner bevel draws a line; a lowered one is a sunken panel.
  if (def.BevelInner != TBevelCut::None || def.BevelOuter != TBevelCut::None) {
    const bool lowered =
        (def.BevelInner == TBevelCut::Lowered) ||
        (def.BevelInner == TBevelCut::None && def.BevelOuter == TBevelCut::Lowered);
    widget->setFrameStyle(QFrame::Panel | (lowered ? QFrame::Sunken : QFrame::Raised));
    widget->setLineWidth(1);
  }
  Register(def.Name, widget);
  return std::make_unique<TPanelPeerQt>(widget);
}

std::unique_ptr<TImagePeer> TQtToolkit::MakeImage(const TControlDef& def, TPeer& parent) {
  auto* widget = new QLabel(ContainerOf(parent));
  Place(*widget, def);
  widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The picture is read when the logo is first shown: only one of the logos
  // is ever on the screen.
  auto* pending = new TPendingWidgets(widget);
  pending->Add([widget, name = ToQString(def.Name), transparent = def.Transparent] {
    widget->setPixmap(LogoPicture(name, transparent));
  });
  widget->setVisible(def.Visible);
  Register(def.Name, widget);
  return std::make_unique<TImagePeerQt>(widget, def.Visible);
}

std::unique_ptr<TCheckBoxPeer> TQtToolkit::MakeCheckBox(const TControlDef& def, TPeer& parent) {
  auto* widget = new TCheckBoxWidget(ContainerOf(parent));
  Place(*widget, def);
  widget->setText(ToQString(def.Text));
  Register(def.Name, widget);
  return std::make_unique<TCheckBoxPeerQt>(widget);
}

std::unique_ptr<TComboBoxPeer> TQtToolkit::MakeComboBox(const TControlDef& def, TPeer& parent) {
  auto state = std::make_shared<TComboBoxState>();
  for (std::u16string_view item : def.Items) {
    state->Items.append(ToQString(item));
  }
  auto peer = std::make_unique<TComboBoxPeerQt>(state);
  peer->SetItemIndex(def.Selected);
  // In a group box that is still pending, the box waits with it.
  auto* group = dynamic_cast<TGroupBoxPeerQt*>(&parent);
  if (group != nullptr && group->Pending()->Widget == nullptr &&
      group->Pending()->Pending != nullptr) {
    state->Pending = group->Pending()->Pending;
    state->Pending->Add([this, state, box = group->Pending(), place = PlacementOf(def)] {
      if (QWidget* container = box->Widget) {
        Register(place.Name.toStdString(), BuildComboBox(container, place, *state));
      }
    });
    lazy_->Wait(def.Name, state->Pending);
  } else {
    Register(def.Name, BuildComboBox(ContainerOf(parent), PlacementOf(def), *state));
  }
  return peer;
}

std::unique_ptr<TGroupBoxPeer> TQtToolkit::MakeGroupBox(const TControlDef& def, TPeer& parent) {
  QWidget* container = ContainerOf(parent);
  auto box = std::make_shared<TPendingWidget<QGroupBox>>();
  auto build = [this, box, container = QPointer<QWidget>(container), place = PlacementOf(def),
                text = ToQString(def.Text)] {
    if (container == nullptr) {
      return;
    }
    box->Widget = new QGroupBox(text, container);
    Place(*box->Widget, place);
    ShowWithParent(*box->Widget);
    Register(place.Name.toStdString(), box->Widget);
  };
  // A group box straight on a page waits for the page to be shown.
  TPendingWidgets* pending =
      dynamic_cast<TTabSheetPeerQt*>(&parent) != nullptr ? lazy_->On(container) : nullptr;
  if (pending != nullptr) {
    box->Pending = pending;
    pending->Add(std::move(build));
    lazy_->Wait(def.Name, pending);
  } else {
    build();
  }
  return std::make_unique<TGroupBoxPeerQt>(box);
}
