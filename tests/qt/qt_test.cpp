// SPDX-License-Identifier: MIT
// The window through the real Qt widgets: layout and look, keys, focus moves
// and exits, message boxes, the language choice, and the program's start and
// close. Runs on Qt's offscreen platform under a German locale.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/EntryPoint.h"
#include "calc/FeedCalc.h"
#include "calc/FeedParams.h"
#include "settings/NVData.h"
#include "tests/FakePlatform.h"
#include "tests/support/ProcessState.h"
#include "tests/support/Scenarios.h"
#include "tests/support/StoryHome.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UserActions.h"
#include "ui/Main.h"
#include "ui/WindowDef.h"
#include "ui/qt/QtLook.h"
#include "ui/qt/QtShell.h"

namespace fs = std::filesystem;

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace {

int gArgc = 1;
char gProgramName[] = "qt_test";
char* gArgv[] = {gProgramName, nullptr};

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kLightRed(255, 68, 68);
const QColor kResultPanel(255, 255, 225);  // clInfoBk
const QColor kLimitsPanel(221, 221, 221);

// A message box as the test saw it while it was open.
struct TSeenBox {
  QString Caption;
  QString Text;
  QMessageBox::Icon Icon = QMessageBox::NoIcon;
  int ButtonCount = 0;
  bool OnlyOk = false;
  bool Modal = false;        // the application's active modal widget, modal itself
  QString PageShown;         // the page the window showed meanwhile
  std::string LogicalFocus;  // the window's logical focus meanwhile
  int Width = 0;
};

// Watches for modal message boxes, records each and dismisses it with its OK
// button, as a user would.
class TBoxWatcher {
 public:
  // `window` is read while a box is open: which page shows, the check box.
  explicit TBoxWatcher(std::function<void(TSeenBox&)> inspect) : inspect_(std::move(inspect)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(5);
  }

  std::vector<TSeenBox> Seen;

  std::vector<QString> Texts() const {
    std::vector<QString> texts;
    for (const TSeenBox& box : Seen) {
      texts.push_back(box.Text);
    }
    return texts;
  }

 private:
  void Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) {
      return;
    }
    TSeenBox seen;
    seen.Caption = box->windowTitle();
    seen.Text = box->text();
    seen.Icon = box->icon();
    seen.ButtonCount = static_cast<int>(box->buttons().size());
    seen.OnlyOk = seen.ButtonCount == 1 && box->button(QMessageBox::Ok) != nullptr;
    seen.Modal = box->isModal() && QApplication::activeModalWidget() == box;
    seen.Width = box->width();
    if (inspect_) {
      inspect_(seen);
    }
    Seen.push_back(seen);
    QTest::mouseClick(box->button(QMessageBox::Ok) != nullptr ? box->button(QMessageBox::Ok)
                                                              : box->buttons().front(),
                      Qt::LeftButton);
  }

  std::function<void(TSeenBox&)> inspect_;
  QTimer timer_;
};

// The colour most of the widget's pixels show in a thin column near its
// right edge, clear of text and frame.
QColor BackgroundOf(QWidget* widget) {
  const QImage image = widget->grab().toImage();
  return image.pixelColor(image.width() - 5, image.height() / 2);
}

// True when some pixel of the widget is near black: its text is drawn black.
bool HasBlackText(QWidget* widget) {
  const QImage image = widget->grab().toImage();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() < 40 && c.green() < 40 && c.blue() < 40) {
        return true;
      }
    }
  }
  return false;
}

// The user of the scenario table on the real widgets: keys and clicks go
// where a user's would, and what the window shows is read off the widgets.
// The Qt-only tests below use it too.
class TQtUser : public TUserActions {
 public:
  ~TQtUser() override { Shut(); }

  void Open(std::string_view settings) override {
    Shut();
    home_.Prepare(settings, u"kolvane");
    shell_ = std::make_unique<TQtShell>(gArgc, gArgv, home_.Platform());
    shell_->Initialize();
    shell_->SetTitle(u"Kolvane");
    shell_->CreateMainForm();
    shell_->ShowMainForm();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window()));
    watcher_ = std::make_unique<TBoxWatcher>([this](TSeenBox& box) {
      box.PageShown = Pages()->currentWidget()->objectName();
      box.LogicalFocus = LogicalFocus();
    });
  }

  void Click(std::string_view control) override {
    QTest::mouseClick(Widget(control), Qt::LeftButton);
  }
  void Type(std::u16string_view text) override {
    QWidget* focus = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focus)) {
      combo->lineEdit()->selectAll();
    } else if (auto* box = qobject_cast<QLineEdit*>(focus)) {
      box->selectAll();
    } else {
      ADD_FAILURE() << "no box has the focus";
      return;
    }
    QTest::keyClicks(focus, ToQString(text));
  }
  void PutText(std::string_view box, std::u16string_view text) override {
    qobject_cast<QLineEdit*>(Widget(box))->setText(ToQString(text));
  }
  void DoubleClick(std::string_view control) override {
    QTest::mouseDClick(Widget(control), Qt::LeftButton);
  }
  void PressEnter() override { Key(Qt::Key_Return); }
  void PressTab() override { Key(Qt::Key_Tab); }
  void PressShiftTab() override { Key(Qt::Key_Backtab); }
  void PressSpace() override { Key(Qt::Key_Space); }
  void PressBackspace() override { Key(Qt::Key_Backspace); }
  void PressCtrlTab() override { Key(Qt::Key_Tab, Qt::ControlModifier); }
  void PressCtrlShiftTab() override {
    Key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  }
  void ClickTab(std::string_view page) override { ClickTab(Pages()->indexOf(Widget(page))); }
  // The arrow keys in the focused box, as many as it takes.
  void PickLanguage(int item) override {
    auto* combo = qobject_cast<QComboBox*>(Widget("CB_Language"));
    ASSERT_EQ(QApplication::focusWidget(), combo) << "the language box has no focus";
    for (int at = combo->currentIndex(); at != item; at += at < item ? 1 : -1) {
      Key(at < item ? Qt::Key_Down : Qt::Key_Up);
    }
  }
  bool Close() override { return Window()->close(); }

  std::u16string Text(std::string_view control) override {
    QWidget* widget = Widget(control);
    if (const int tab = Pages()->indexOf(widget); tab >= 0) {
      return FromQString(Pages()->tabText(tab));
    }
    if (auto* box = qobject_cast<QLineEdit*>(widget)) {
      return FromQString(box->text());
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      return FromQString(label->text());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      return FromQString(button->text());
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      return FromQString(combo->currentText());
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
      return FromQString(group->title());
    }
    ADD_FAILURE() << control << " shows no text";
    return {};
  }
  bool WholeTextSelected(std::string_view box) override {
    auto* edit = qobject_cast<QLineEdit*>(Widget(box));
    return !edit->text().isEmpty() && edit->selectedText() == edit->text();
  }
  TColor Colour(std::string_view box) override {
    const QColor base = Widget(box)->palette().color(QPalette::Base);
    return TColor::Rgb(static_cast<uint8_t>(base.red()), static_cast<uint8_t>(base.green()),
                       static_cast<uint8_t>(base.blue()));
  }
  bool Checked(std::string_view box) override {
    return qobject_cast<QCheckBox*>(Widget(box))->isChecked();
  }
  // The focus widget or the control's widget that holds it (the tab bar
  // stands for its page control).
  std::string KeyboardFocus() override {
    for (QWidget* widget = QApplication::focusWidget(); widget != nullptr;
         widget = widget->parentWidget()) {
      const std::string name = widget->objectName().toStdString();
      if (FO_Main != nullptr && FO_Main->FindControl(name) != nullptr) {
        return name;
      }
    }
    return {};
  }
  std::string Page() override { return Pages()->currentWidget()->objectName().toStdString(); }
  std::vector<TShownMessage> Messages() override {
    std::vector<TShownMessage> shown;
    for (const TSeenBox& box : watcher_->Seen) {
      shown.push_back({FromQString(box.Caption), FromQString(box.Text), box.LogicalFocus,
                       box.PageShown.toStdString()});
    }
    return shown;
  }
  std::string SettingsFile() override { return home_.SettingsFile(); }

  // ---- For the Qt-only tests ----
  QWidget* Window() { return shell_->Window().TopLevel(); }
  QWidget* Widget(std::string_view name) {
    QWidget* widget = shell_->Window().Widget(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QTabWidget* Pages() { return qobject_cast<QTabWidget*>(Widget("PC_Main")); }
  TFO_Main& Form() { return *shell_->Form(); }
  std::vector<TSeenBox>& Boxes() { return watcher_->Seen; }
  // Keys go where the keyboard focus is, as the user's would.
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key, modifiers);
  }
  void ClickTab(int index) {
    QTabBar* bar = Pages()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
  }
  static std::string LogicalFocus() {
    return FO_Main != nullptr && FO_Main->ActiveControl() != nullptr
               ? FO_Main->ActiveControl()->Name()
               : std::string();
  }

 private:
  void Shut() {
    watcher_.reset();
    shell_.reset();
  }

  TStoryHome home_;
  std::unique_ptr<TQtShell> shell_;
  std::unique_ptr<TBoxWatcher> watcher_;
};

}  // namespace

// ---- The user stories, on the real widgets ----

class QtUserStory : public ::testing::TestWithParam<TScenario> {};

TEST_P(QtUserStory, ShowsWhatTheStoryExpects) {
  TQtUser user;
  RunScenario(GetParam(), user);
}

INSTANTIATE_TEST_SUITE_P(Stories, QtUserStory, ::testing::ValuesIn(UserScenarios()), ScenarioName);

// One shown main window with a temporary data folder.
class QtWindowTest : public ::testing::Test {
 public:
  void SetUp() override { Open(); }

  // Builds and shows the window as the entry point does, with the settings
  // file content given (none when empty).
  void Open(const std::string& settings = {}) { user_.Open(settings); }

  QWidget* Window() { return user_.Window(); }
  QWidget* W(const char* name) { return user_.Widget(name); }
  QLineEdit* Edit(const char* name) { return qobject_cast<QLineEdit*>(W(name)); }
  QLabel* Label(const char* name) { return qobject_cast<QLabel*>(W(name)); }
  QTabWidget* Pages() { return user_.Pages(); }
  TFO_Main& Form() { return user_.Form(); }
  std::vector<TSeenBox>& Boxes() { return user_.Boxes(); }

  // The control that has Qt's focus, by name; the tab bar stands for its
  // page control.
  QString Focused() { return QString::fromStdString(user_.KeyboardFocus()); }
  // The control that has the window's logical focus.
  QString LogicalFocus() { return QString::fromStdString(TQtUser::LogicalFocus()); }

  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    user_.Key(key, modifiers);
  }
  // Types over the whole text of the focused box.
  void Type(const QString& text) { user_.Type(FromQString(text)); }
  void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
  void ClickTab(int index) { user_.ClickTab(index); }
  QString Page() { return Pages()->currentWidget()->objectName(); }

 protected:
  TQtUser user_;
};

// ---- Layout and look ----

TEST_F(QtWindowTest, WindowIsFixedSizeWithItsCaptionAndEveryControlInPlace) {
  EXPECT_EQ(Window()->size(), QSize(384, 326));
  EXPECT_EQ(Window()->minimumSize(), Window()->maximumSize());
  EXPECT_EQ(Window()->windowTitle(), QString::fromUtf8("Kolvane (Orbel) v1.43"));

  // A few places straight from the layout, then every control of the table.
  EXPECT_EQ(W("PC_Main")->geometry(), QRect(2, 6, 381, 319));
  EXPECT_EQ(W("ED_WayE")->geometry(), QRect(188, 13, 71, 23));
  EXPECT_EQ(W("PL_Results")->geometry(), QRect(8, 156, 353, 118));
  EXPECT_EQ(W("CB_Language")->geometry(), QRect(16, 22, 259, 23));
  for (const TControlDef& def : MainWindowControls()) {
    if (def.Kind == TControlKind::TabSheet) {
      continue;  // placed by the page control
    }
    QWidget* widget = W(std::string(def.Name).c_str());
    ASSERT_NE(widget, nullptr);
    const QRect placed = widget->geometry();
    EXPECT_EQ(placed.topLeft(), QPoint(def.Left, def.Top)) << def.Name;
    EXPECT_EQ(placed.height(), def.Height) << def.Name;
    if (def.Kind != TControlKind::Label) {  // labels size themselves to their text
      EXPECT_EQ(placed.width(), def.Width) << def.Name;
    }
  }
  // The pages hold what lies on them, below the tabs and inside the window.
  for (const char* page : {"TS_HzP", "TS_VZ"}) {
    EXPECT_GE(W(page)->width(), 361) << page;   // the logo ends at 326 + 35
    EXPECT_GE(W(page)->height(), 281) << page;  // PL_Out ends at 215 + 66
  }
}

TEST_F(QtWindowTest, PanelsAndBoxesShowTheirColoursAndResultsStayBlackOnDisabledPanels) {
  EXPECT_EQ(BackgroundOf(W("PL_Limits")), kLimitsPanel);
  EXPECT_EQ(BackgroundOf(W("PL_Out")), kResultPanel);
  EXPECT_EQ(BackgroundOf(W("ED_WayE")), kWhite);
  EXPECT_EQ(BackgroundOf(W("ED_SpeedE")), kWhite);
  EXPECT_TRUE(HasBlackText(W("ED_SpeedE")));
  EXPECT_TRUE(HasBlackText(W("LB_SpeedE")));

  // A maximum acceleration far below the needed one breaks the limit: the
  // result turns light red, and its text stays black on the disabled panel.
  Key(Qt::Key_Tab);  // ED_AngleE
  Key(Qt::Key_Tab);  // ED_HZin
  Key(Qt::Key_Tab);  // ED_MaxSpeedE
  Key(Qt::Key_Tab);  // ED_MaxAccel
  ASSERT_EQ(Focused(), "ED_MaxAccel");
  Type("0.1");
  Key(Qt::Key_Return);
  ASSERT_THAT(Boxes(), IsEmpty());
  EXPECT_EQ(BackgroundOf(W("ED_AccelE")), kLightRed);
  EXPECT_TRUE(HasBlackText(W("ED_AccelE")));
  EXPECT_FALSE(W("ED_AccelE")->isEnabled());
}

TEST_F(QtWindowTest, OnlyTheMainLogoShowsOnTheActivePageTransparentOnItsCorner) {
  EXPECT_FALSE(W("IM_LogoPX")->isVisible());
  EXPECT_TRUE(W("IM_LogoDVK")->isVisible());
  EXPECT_EQ(W("IM_LogoDVK")->parentWidget(), W("TS_HzP"));
  EXPECT_EQ(W("IM_LogoDVK")->pos(), QPoint(326, 7));

  const QPixmap logo = Label("IM_LogoDVK")->pixmap();
  ASSERT_EQ(logo.size(), QSize(35, 131));
  const QImage picture = logo.toImage();
  EXPECT_EQ(qAlpha(picture.pixel(0, 130)), 0);  // the bottom-left colour is not painted
  int painted = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      painted += qAlpha(picture.pixel(x, y)) == 255 ? 1 : 0;
    }
  }
  EXPECT_GT(painted, 200);  // a picture, not an empty frame

  ClickTab(1);
  EXPECT_EQ(W("IM_LogoDVK")->parentWidget(), W("TS_VZ"));
  EXPECT_TRUE(W("IM_LogoDVK")->isVisible());
  ClickTab(2);  // the options page shows no logo; it stays where it was
  EXPECT_EQ(W("IM_LogoDVK")->parentWidget(), W("TS_VZ"));

  // The other logo, never shown so far, has its picture once it shows.
  ClickTab(0);
  Form().Control<TImage>("IM_LogoPX").SetVisible(true);
  EXPECT_TRUE(W("IM_LogoPX")->isVisible());
  EXPECT_EQ(Label("IM_LogoPX")->pixmap().size(), QSize(35, 131));
}

TEST(QtResources, LogosAre24BitBitmapsOfTheirSize) {
  for (const char* name : {":/kolvane/IM_LogoDVK.bmp", ":/kolvane/IM_LogoPX.bmp"}) {
    QFile file(QString::fromLatin1(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 30) << name;
    EXPECT_EQ(bytes.left(2), "BM") << name;
    auto le32 = [&](int at) {
      return static_cast<int>(static_cast<unsigned char>(bytes[at])) |
             static_cast<int>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
             static_cast<int>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
             static_cast<int>(static_cast<unsigned char>(bytes[at + 3])) << 24;
    };
    EXPECT_EQ(le32(18), 35) << name;
    EXPECT_EQ(le32(22), 131) << name;
    EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24) << name;  // bits per pixel
  }
}

// The window's icon shows the desktop's icon picture (drawn from the SVG) at
// 32 pixels and its own 64 pixel picture on a double-density screen, not
// the small one blown up.
TEST_F(QtWindowTest, WindowIconIsTheDesktopsPictureAndSharpAtDoubleDensity) {
  // Pixels only, premultiplied as a pixmap keeps them: the two formats
  // record different colour-space details.
  const auto differing = [](const QImage& a, const QImage& b) {
    const QImage left = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage right = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int count = 0;
    for (int y = 0; y < std::min(left.height(), right.height()); ++y) {
      for (int x = 0; x < std::min(left.width(), right.width()); ++x) {
        count += left.pixel(x, y) != right.pixel(x, y) ? 1 : 0;
      }
    }
    return count;
  };
  const QIcon icon = Window()->windowIcon();
  for (int size : {32, 64}) {
    const QString desktop =
        QStringLiteral(KOLVANE_ICON_DIR "/hicolor/%1x%1/apps/org.kolvane.Kolvane.png").arg(size);
    const QImage expected(desktop);
    ASSERT_EQ(expected.size(), QSize(size, size)) << desktop.toStdString();
    const QImage shown = icon.pixmap(QSize(size, size)).toImage();
    EXPECT_EQ(shown.size(), expected.size()) << size << " pixels";
    EXPECT_TRUE(shown.hasAlphaChannel()) << size << " pixels";
    EXPECT_EQ(differing(shown, expected), 0) << "pixels differ in the " << size << " pixel picture";
  }
  const QPixmap sharp = icon.pixmap(QSize(32, 32), 2.0);
  EXPECT_EQ(sharp.size(), QSize(64, 64));
  const QImage big(QStringLiteral(KOLVANE_ICON_DIR "/hicolor/64x64/apps/org.kolvane.Kolvane.png"));
  EXPECT_EQ(differing(sharp.toImage(), big), 0) << "pixels differ: the icon is blown up";
}

// Labels size themselves to their text: in either language no label may be
// clipped or come closer than a small gap to the control beside it, and no
// check box or tab caption may be cut.
class QtLabelFitTest : public QtWindowTest, public ::testing::WithParamInterface<int> {
 protected:
  static constexpr int kGap = 4;

  // Where the label's room ends, as the window definition lays the page out:
  // the nearest control to its right whose rows meet the label's, or its
  // parent's edge.
  static int RoomEnd(QLabel* label) {
    const TControlDef* own =
        FindControlDef(MainWindowControls(), label->objectName().toStdString());
    int end = label->parentWidget()->width();
    for (const TControlDef& other : MainWindowControls()) {
      const bool sameRow =
          other.Top < own->Top + own->Height && other.Top + other.Height > own->Top;
      if (other.Parent == own->Parent && sameRow && other.Left > own->Left) {
        end = std::min(end, other.Left);
      }
    }
    return end;
  }

  static void ExpectFits(QLabel* label) {
    const std::string what =
        label->objectName().toStdString() + ": \"" + label->text().toStdString() + "\"";
    EXPECT_GE(label->width(), label->sizeHint().width()) << what;  // not clipped
    EXPECT_GE(label->height(), label->fontMetrics().height()) << what;
    EXPECT_LE(label->x() + label->width() + kGap, RoomEnd(label)) << what;
  }
};

TEST_P(QtLabelFitTest, EveryCaptionFitsItsRoom) {
  const bool english = GetParam() == 1;
  if (english) {
    ClickTab(2);
    Click(W("CB_Language"));
    Key(Qt::Key_Down);
    ASSERT_EQ(Language, 1);
  }
  for (int index = 0; index < 3; ++index) {
    ClickTab(index);
    for (QLabel* label : Pages()->widget(index)->findChildren<QLabel*>()) {
      if (!label->text().isEmpty()) {  // not a logo
        ExpectFits(label);
      }
    }
  }
  // The labels the refresh writes, in every wording they can take.
  using TWordings = std::vector<std::pair<const char*, std::vector<const char*>>>;
  const TWordings wordings =
      english ? TWordings{{"LB_SpeedE", {"Speed (triangle)", "Speed (trapezoid)"}},
                          {"LB_SpeedS", {"Speed (triangle)", "Speed (trapezoid)"}},
                          {"LB_Accel1", {"Acceleration", "Acceleration (peak)"}},
                          {"LB_AccSinQ",
                           {"Acceleration (sin\u00B2 ramps)", "Acceleration (linear ramps)"}}}
              : TWordings{{"LB_SpeedE", {"Geschwindigkeit (Dreieck)", "Geschwindigkeit (Trapez)"}},
                          {"LB_SpeedS", {"Geschwindigkeit (Dreieck)", "Geschwindigkeit (Trapez)"}},
                          {"LB_Accel1", {"Beschleunigung", "Beschleunigung (Spitzenwert)"}},
                          {"LB_AccSinQ",
                           {"Beschleunigung (Sin\u00B2-Rampen)", "Beschleunigung (Lin. Rampen)"}}};
  for (const auto& [name, texts] : wordings) {
    for (const char* text : texts) {
      Form().Control<TLabel>(name).SetCaption(QString::fromUtf8(text).toStdU16String());
      ExpectFits(Label(name));
    }
  }
  auto* box = qobject_cast<QCheckBox*>(W("CH_SinQramps"));
  EXPECT_LE(box->sizeHint().width(), box->width()) << box->text().toStdString();
  EXPECT_LE(Pages()->tabBar()->sizeHint().width(), Pages()->width());
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, QtLabelFitTest, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param == 1 ? "English" : "German"; });

// A label beside another control, as one long caption after another meets
// it: the caption fits, its characters set no closer than needed, by at most
// 15 % of its width, and a short caption afterwards gets the normal spacing.
TEST(QtLabelFit, ALongCaptionIsSetCloserUntilItFitsBesideTheNextControl) {
  QWidget parent;
  parent.setFont(WindowFont(MainFormDef));
  parent.resize(300, 40);
  QLabel label(&parent);
  label.setGeometry(10, 5, 20, 15);
  QWidget next(&parent);
  const QString caption = QStringLiteral("Max. Geschwindigkeit (P240)");
  const int normal = QFontMetrics(parent.font()).horizontalAdvance(caption);
  // The most squeeze per character; Qt keeps the spacing in 1/64 pixels.
  const double most = 0.15 * normal / static_cast<double>(caption.size());
  const double rounding = 2.0 / 64;
  struct TCase {
    const char* what;
    int nextLeft;  // where the control beside the label starts
    bool squeezed;
  };
  const TCase cases[] = {{"plenty of room", 10 + normal + 40, false},
                         {"three pixels short", 10 + normal + 1, true},
                         {"a tenth short", 10 + normal * 9 / 10, true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    next.setGeometry(c.nextLeft, 5, 50, 15);
    SetFittedText(label, caption);
    EXPECT_EQ(label.text(), caption);
    EXPECT_GE(label.width(), label.sizeHint().width()) << "clipped";
    EXPECT_LE(label.x() + label.width() + 4, c.nextLeft) << "too close to the next control";
    EXPECT_EQ(label.font().letterSpacing() < 0, c.squeezed);
    EXPECT_GE(label.font().letterSpacing(), -most - rounding);
  }
  SetFittedText(label, QStringLiteral("Hub"));
  EXPECT_EQ(label.font().letterSpacing(), 0) << "the short caption kept the narrow spacing";

  // More than the most squeeze can give: the text stays readable and runs
  // into the gap rather than being set any closer.
  next.setGeometry(10 + normal / 2, 5, 50, 15);
  SetFittedText(label, caption);
  EXPECT_NEAR(label.font().letterSpacing(), -most, rounding);
}

// ---- Keys and focus ----

TEST_F(QtWindowTest, EnterAcceptsThePageRecomputesAndSelectsTheBox) {
  struct TCase {
    int Page;
    int Tabs;  // Tab presses from the page's first box to the box
    const char* Box;
    const char* Typed;
    const char* Result;  // a result box the refresh rewrites
    std::function<bool()> Stored;
  };
  const TCase cases[] = {
      {0, 2, "ED_HZin", "200", "ED_AccelE", [] { return FeedParams.StrokeRate == 200.0; }},
      {1, 2, "ED_AccelS", "12.5", "ED_TimeVS", [] { return FeedParams.Accel == 12.5; }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Box);
    Open();
    ClickTab(c.Page);
    Key(Qt::Key_Tab);  // from the tab bar into the page
    for (int i = 0; i < c.Tabs; ++i) {
      Key(Qt::Key_Tab);
    }
    ASSERT_EQ(Focused(), c.Box);
    const QString before = Edit(c.Result)->text();
    Type(c.Typed);
    Key(Qt::Key_Return);
    EXPECT_TRUE(c.Stored());
    EXPECT_NE(Edit(c.Result)->text(), before);
    EXPECT_EQ(Edit(c.Box)->text(), c.Typed);  // the Enter character was swallowed
    EXPECT_EQ(Edit(c.Box)->selectedText(), c.Typed);
    EXPECT_EQ(Focused(), c.Box);
    EXPECT_THAT(Boxes(), IsEmpty());
  }
  // Numbers use "." whatever the locale says.
  EXPECT_THAT(Edit("ED_TimeVS")->text().toStdString(), HasSubstr("."));
}

// A page switch while a box holds an out-of-range value: the box's pass runs
// on the old page (its message shows there), then the new page is filled
// from the stored values.
TEST_F(QtWindowTest, PageSwitchRejectsOnTheOldPageThenFillsTheNewOne) {
  // A click on the tab is one of the user stories.
  const std::vector<std::pair<const char*, std::function<void(QtWindowTest&)>>> ways = {
      {"Ctrl+Tab", [](QtWindowTest& t) { t.Key(Qt::Key_Tab, Qt::ControlModifier); }},
  };
  for (const auto& [way, switchPage] : ways) {
    SCOPED_TRACE(way);
    Open();
    ASSERT_EQ(Focused(), "ED_WayE");
    Type("5000");
    switchPage(*this);
    ASSERT_THAT(Boxes(), SizeIs(1));
    EXPECT_EQ(Boxes()[0].Text, "Strecke:  0.01 bis 4000 mm");
    EXPECT_EQ(Boxes()[0].PageShown, "TS_HzP");
    EXPECT_EQ(Page(), "TS_VZ");
    EXPECT_EQ(Form().PC_Main->ActivePage(), Form().TS_VZ);
    EXPECT_EQ(FeedParams.FeedLength, 0.01);
    EXPECT_EQ(Edit("ED_WayS")->text(), "10.00");
    EXPECT_EQ(Edit("ED_WayE")->text(), "10.00");
    // The keyboard is on the page control, not on a box of the hidden page.
    EXPECT_EQ(Focused(), "PC_Main");
    EXPECT_EQ(LogicalFocus(), "PC_Main");
  }
}

TEST_F(QtWindowTest, WindowActivationChangesAreNoExits) {
  Type("5000");
  // Another window takes the activation and gives it back.
  QWidget other;
  other.resize(100, 100);
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  QApplication::setActiveWindow(Window());
  ASSERT_TRUE(QTest::qWaitForWindowActive(Window()));
  other.hide();
  EXPECT_THAT(Boxes(), IsEmpty());
  EXPECT_EQ(Edit("ED_WayE")->text(), "5000");
  EXPECT_EQ(LogicalFocus(), "ED_WayE");
  // The value is still checked when the user really leaves the box.
  Key(Qt::Key_Tab);
  ASSERT_THAT(Boxes(), SizeIs(1));
  EXPECT_EQ(Focused(), "ED_WayE");
}

// ---- Message boxes ----

TEST_F(QtWindowTest, RejectionShowsAModalPlainBoxThenTheStoredValueSelectedAndFocused) {
  Key(Qt::Key_Tab);
  Key(Qt::Key_Tab);
  ASSERT_EQ(Focused(), "ED_HZin");
  Type("1");
  Key(Qt::Key_Return);
  ASSERT_THAT(Boxes(), SizeIs(1));
  const TSeenBox& box = Boxes()[0];
  EXPECT_EQ(box.Caption, "Kolvane");
  EXPECT_EQ(box.Text, "Hubzahl:  5 bis 2000 1/min");
  EXPECT_EQ(box.Icon, QMessageBox::NoIcon);
  EXPECT_TRUE(box.OnlyOk);
  EXPECT_TRUE(box.Modal);
  EXPECT_EQ(Edit("ED_HZin")->text(), "100");
  EXPECT_EQ(Edit("ED_HZin")->selectedText(), "100");
  EXPECT_EQ(Focused(), "ED_HZin");
  EXPECT_TRUE(Window()->isActiveWindow());
  // The window takes keys again at once.
  Type("150");
  Key(Qt::Key_Return);
  EXPECT_EQ(FeedParams.StrokeRate, 150.0);
  EXPECT_THAT(Boxes(), SizeIs(1));
}

// The rounding's out-of-range report is a box with a caption and no text:
// its title bar must still have room for the whole caption and the title
// bar's buttons (some 24 pixels each), whatever font the desktop draws it in.
TEST_F(QtWindowTest, ABoxWithOnlyItsCaptionIsWideEnoughForTheWholeCaption) {
  DtoL(3e9);
  ASSERT_THAT(Boxes(), SizeIs(1));
  const TSeenBox& box = Boxes()[0];
  ASSERT_EQ(box.Caption, "Out of area (DtoL)");
  EXPECT_EQ(box.Text, "");
  QFont bold = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  bold.setBold(true);
  const int caption = QFontMetrics(bold).horizontalAdvance(box.Caption);
  EXPECT_GE(box.Width, caption + 3 * 24) << "the caption needs " << caption << " pixels";
}

// ---- Language ----

TEST_F(QtWindowTest, PickingEnglishWithTheKeyboardChangesTheCaptions) {
  const std::vector<std::pair<const char*, std::function<void(QtWindowTest&)>>> ways = {
      {"arrow key", [](QtWindowTest& t) { t.Key(Qt::Key_Down); }},
      {"typed name",
       [](QtWindowTest&) { QTest::keyClicks(QApplication::focusWidget(), "English"); }},
      // The box completes "E" to "English" by itself.
      {"first letter", [](QtWindowTest&) { QTest::keyClicks(QApplication::focusWidget(), "E"); }},
  };
  for (const auto& [way, pick] : ways) {
    SCOPED_TRACE(way);
    Open();
    Key(Qt::Key_Tab, Qt::ControlModifier);
    Key(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(Page(), "TS_Options");
    Key(Qt::Key_Tab);
    ASSERT_EQ(Focused(), "CB_Language");
    auto* combo = qobject_cast<QComboBox*>(W("CB_Language"));
    combo->lineEdit()->selectAll();
    pick(*this);
    EXPECT_EQ(combo->currentText(), "English");
    EXPECT_EQ(Language, 1);
    EXPECT_EQ(Pages()->tabText(0), "Stroke rate programming");
    EXPECT_EQ(Pages()->tabText(1), "Feed timing");
    EXPECT_EQ(Pages()->tabText(2), "Options");
    EXPECT_EQ(Label("LB_FeedLen1")->text(), "Feed length");
    EXPECT_EQ(Label("LB_MaxAccel")->text(), "Max. acceleration (P241)");
    EXPECT_EQ(qobject_cast<QCheckBox*>(W("CH_SinQramps"))->text(),
              QString::fromUtf8("Sin² ramps (P56)"));
    // What no language switch touches.
    EXPECT_EQ(Window()->windowTitle(), "Kolvane (Orbel) v1.43");
    EXPECT_EQ(Label("Label35")->text(), "1/min");
    // The refresh's labels follow at the next page change.
    ClickTab(0);
    EXPECT_THAT(Label("LB_SpeedE")->text().toStdString(), HasSubstr("Speed ("));
    EXPECT_EQ(Label("LB_Accel1")->text(), "Acceleration (peak)");
  }
}

// The language box is built when the options page is first shown; until
// then its peer answers from what it keeps, and must answer as the widget
// does afterwards: an index outside the items shows no item.
TEST_F(QtWindowTest, LanguageBoxKeepsItsIndexBeforeAndAfterItsPageIsFirstShown) {
  struct TCase {
    int Set;
    int ReadBack;
    const char* Shown;  // the box's text once it is on the screen
  };
  const std::vector<TCase> cases = {
      {1, 1, "English"}, {0, 0, "Deutsch"}, {2, -1, ""}, {-1, -1, ""}, {7, -1, ""}};
  const auto widget = [this] { return Window()->findChild<QComboBox*>("CB_Language"); };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Set);
    Open();
    TComboBox& pending = Form().Control<TComboBox>("CB_Language");
    ASSERT_EQ(widget(), nullptr) << "the box was built before its page was shown";
    pending.SetItemIndex(c.Set);
    EXPECT_EQ(pending.ItemIndex(), c.ReadBack) << "before its page is shown";
    ClickTab(2);
    ASSERT_NE(widget(), nullptr);
    EXPECT_EQ(widget()->currentText(), c.Shown);
    EXPECT_EQ(pending.ItemIndex(), c.ReadBack) << "once its page is shown";
  }
  // The built widget answers the same table.
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Set);
    Form().Control<TComboBox>("CB_Language").SetItemIndex(c.Set);
    EXPECT_EQ(Form().Control<TComboBox>("CB_Language").ItemIndex(), c.ReadBack);
    EXPECT_EQ(widget()->currentText(), c.Shown);
  }
}

// ---- Close ----

// ---- The program: entry point on the Qt application object ----

constexpr std::string_view kSettingsFile = "data/DVK/Common/NV-Data.kqn";

class QtProgramTest : public ::testing::Test {
 protected:
  // Runs the program through the entry point; `session` runs inside the
  // message loop once the window is shown, and the window is closed after it.
  int Run(const std::string& commandLine, const std::function<void(TQtShell&)>& session) {
    ResetProcessState();
    platform_.CommonFolder = (folders_ / "data").u16string();
    platform_.Executable = (folders_ / "bin" / "kolvane").u16string();
    TQtShell shell(gArgc, gArgv, platform_);
    shell.AfterShow = [&](QWidget& window) {
      QTimer::singleShot(0, &window, [&] {
        session(shell);
        window.close();
        QApplication::quit();
      });
    };
    return RunProgram(shell, commandLine);
  }

  TTempFolder folders_;
  TFakePlatform platform_;
};

TEST_F(QtProgramTest, LanguageSwitchOnTheCommandLineChoosesAndIsSaved) {
  struct TCase {
    const char* CommandLine;
    int Stored;
    const char* FirstTab;
    const char* Saved;
  };
  const TCase cases[] = {
      {"/l:e", 0, "Stroke rate programming", "{900} lan = 1;\r\n"},
      {"-l:e", 0, "Stroke rate programming", "{900} lan = 1;\r\n"},
      {"/l:d", 1, "Hubzahl-Programmierung", "{900} lan = 0;\r\n"},
      {"", 1, "Stroke rate programming", "{900} lan = 1;\r\n"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.CommandLine);
    folders_.Write(kSettingsFile, "Non volatile data for Kolvane (Win)\r\n\r\n{900} lan = " +
                                      std::to_string(c.Stored) + ";\r\n");
    QString firstTab;
    QString combo;
    const int exitCode = Run(c.CommandLine, [&](TQtShell& shell) {
      firstTab = qobject_cast<QTabWidget*>(shell.Window().Widget("PC_Main"))->tabText(0);
      combo = qobject_cast<QComboBox*>(shell.Window().Widget("CB_Language"))->currentText();
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(firstTab, c.FirstTab);
    EXPECT_EQ(combo, std::string(c.FirstTab) == "Stroke rate programming" ? "English" : "Deutsch");
    EXPECT_THAT(folders_.Read(kSettingsFile), HasSubstr(c.Saved));
  }
}

TEST_F(QtProgramTest, AFailedStartShowsTheExceptionDisplayAndNoWindow) {
  platform_.Registry = {TRegistryValue::TKind::InvalidType, {}};
  TBoxWatcher watcher([&](TSeenBox&) {});
  bool sessionRan = false;
  const int exitCode = Run("", [&](TQtShell&) { sessionRan = true; });
  EXPECT_EQ(exitCode, 0);
  EXPECT_FALSE(sessionRan);
  ASSERT_THAT(watcher.Seen, SizeIs(1));
  EXPECT_EQ(watcher.Seen[0].Caption, "Kolvane");
  // The message ends in a quote, below ".": no full stop is added.
  EXPECT_EQ(watcher.Seen[0].Text, QString::fromUtf8("Ungültiger Datentyp für 'AllAppData'"));
  EXPECT_EQ(watcher.Seen[0].Icon, QMessageBox::Critical);
  EXPECT_TRUE(watcher.Seen[0].OnlyOk);
  EXPECT_FALSE(fs::exists(folders_ / kSettingsFile));
}

int main(int argc, char** argv) {
  // The window must show "." in numbers even under a German locale; Qt takes
  // the process locale from the environment when it starts.
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
