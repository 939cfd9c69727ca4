// The window through the real Qt widgets: layout and look, keys, focus moves
// and exits, message boxes, the language choice, and the program's start and
// close. Runs on Qt's offscreen platform under a German locale.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
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
#include "ui/Main.h"
#include "ui/WindowDef.h"
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
  bool Modal = false;            // the application's active modal widget, modal itself
  QString PageShown;             // the page the window showed meanwhile
  bool CheckBoxChecked = false;  // CH_SinQramps meanwhile
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

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

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

// A fresh data folder and program folder for each window.
class TTemporaryFolders {
 public:
  TTemporaryFolders() {
    static int counter = 0;
    root_ = fs::temp_directory_path() /
            ("kolvane-qt-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::create_directories(root_ / "bin");
    fs::create_directories(root_ / "data");
  }
  ~TTemporaryFolders() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  TTemporaryFolders(const TTemporaryFolders&) = delete;
  TTemporaryFolders& operator=(const TTemporaryFolders&) = delete;

  fs::path Root() const { return root_; }
  fs::path Executable() const { return root_ / "bin" / "kolvane"; }
  fs::path Data() const { return root_ / "data"; }
  // Where the program keeps its settings below the all-users data folder.
  fs::path SettingsFile() const { return root_ / "data" / "DVK" / "Common" / "NV-Data.kqn"; }

  void WriteSettings(const std::string& content) const {
    fs::create_directories(SettingsFile().parent_path());
    std::ofstream(SettingsFile(), std::ios::binary) << content;
  }

 private:
  fs::path root_;
};

}  // namespace

// One shown main window with a temporary data folder.
class QtWindowTest : public ::testing::Test {
 public:
  void SetUp() override { Open(); }

  void TearDown() override {
    watcher_.reset();
    shell_.reset();
  }

  // Builds and shows the window as the entry point does, with the settings
  // file content given (none when empty).
  void Open(const std::string& settings = {}) {
    watcher_.reset();
    shell_.reset();
    if (!settings.empty()) {
      folders_.WriteSettings(settings);
    }
    platform_.CommonFolder = folders_.Data().u16string();
    platform_.Executable = folders_.Executable().u16string();
    CommandLine.clear();
    shell_ = std::make_unique<TQtShell>(gArgc, gArgv, platform_);
    shell_->Initialize();
    shell_->SetTitle(u"Kolvane");
    shell_->CreateMainForm();
    shell_->ShowMainForm();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window()));
    watcher_ = std::make_unique<TBoxWatcher>([this](TSeenBox& box) {
      box.PageShown = Pages()->currentWidget()->objectName();
      box.CheckBoxChecked = qobject_cast<QCheckBox*>(W("CH_SinQramps"))->isChecked();
    });
  }

  QWidget* Window() { return shell_->Window().TopLevel(); }
  QWidget* W(const char* name) {
    QWidget* widget = shell_->Window().Widget(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QLineEdit* Edit(const char* name) { return qobject_cast<QLineEdit*>(W(name)); }
  QLabel* Label(const char* name) { return qobject_cast<QLabel*>(W(name)); }
  QTabWidget* Pages() { return qobject_cast<QTabWidget*>(W("PC_Main")); }
  TFO_Main& Form() { return *shell_->Form(); }
  std::vector<TSeenBox>& Boxes() { return watcher_->Seen; }
  std::vector<QString> Texts() { return watcher_->Texts(); }

  // The control that has Qt's focus, by name; the tab bar stands for its
  // page control.
  QString Focused() {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) {
      return {};
    }
    if (qobject_cast<QTabBar*>(focus) != nullptr) {
      return focus->parentWidget()->objectName();
    }
    return focus->objectName();
  }
  // The control that has the window's logical focus.
  QString LogicalFocus() {
    TWinControl* control = Form().ActiveControl();
    return control == nullptr ? QString() : QString::fromStdString(control->Name());
  }

  // Keys go where the keyboard focus is, as the user's would.
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key, modifiers);
  }
  // Types over the whole text of the focused box.
  void Type(const QString& text) {
    auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(box, nullptr) << "no box has the focus";
    box->selectAll();
    QTest::keyClicks(box, text);
  }
  void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
  void ClickTab(int index) {
    QTabBar* bar = Pages()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
  }
  QString Page() { return Pages()->currentWidget()->objectName(); }

 protected:
  TTemporaryFolders folders_;
  TFakePlatform platform_;
  std::unique_ptr<TQtShell> shell_;
  std::unique_ptr<TBoxWatcher> watcher_;
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

  // Room from the label's left edge to the nearest control to its right on
  // the same row, or to its parent's edge.
  static int RoomRightOf(QWidget* label) {
    int limit = label->parentWidget()->width();
    const QRect own = label->geometry();
    for (QObject* object : label->parentWidget()->children()) {
      auto* sibling = qobject_cast<QWidget*>(object);
      if (sibling == nullptr || sibling == label || !sibling->isVisibleTo(label->parentWidget())) {
        continue;
      }
      const QRect other = sibling->geometry();
      const bool sameRow = other.top() <= own.bottom() && other.bottom() >= own.top();
      if (sameRow && other.left() > own.left()) {
        limit = std::min(limit, other.left());
      }
    }
    return limit - own.left();
  }

  static void ExpectFits(QLabel* label) {
    const std::string what =
        label->objectName().toStdString() + ": \"" + label->text().toStdString() + "\"";
    EXPECT_GE(label->width(), label->sizeHint().width()) << what;  // not clipped
    EXPECT_GE(label->height(), label->fontMetrics().height()) << what;
    EXPECT_LE(label->width() + kGap, RoomRightOf(label)) << what;
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

TEST_F(QtWindowTest, TabAndShiftTabWalkEachPageInItsTabOrder) {
  struct TCase {
    int Page;
    std::vector<QString> Order;
  };
  const TCase cases[] = {
      {0,
       {"ED_WayE", "ED_AngleE", "ED_HZin", "ED_MaxSpeedE", "ED_MaxAccel", "CH_SinQramps",
        "ED_RuheZeitE"}},
      {1, {"ED_WayS", "ED_AngleS", "ED_AccelS", "ED_MaxSpeedS", "ED_RuheZeitS"}},
      {2, {"CB_Language"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Page);
    ClickTab(c.Page);
    std::vector<QString> walked;
    for (size_t i = 0; i < c.Order.size() + 1; ++i) {
      Key(Qt::Key_Tab);
      walked.push_back(Focused());
      EXPECT_EQ(LogicalFocus(), Focused());
      if (auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
        EXPECT_EQ(box->selectedText(), box->text()) << "entered with Tab: all selected";
      }
    }
    std::vector<QString> expected = c.Order;
    expected.push_back(c.Order.front());  // and round again
    EXPECT_EQ(walked, expected);
    Key(Qt::Key_Backtab);
    EXPECT_EQ(Focused(), c.Order.back());
  }
  EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(QtWindowTest, ResultBoxesCannotTakeTheFocus) {
  ClickTab(0);
  Click(W("ED_WayE"));
  ASSERT_EQ(Focused(), "ED_WayE");
  for (const char* box : {"ED_SpeedE", "ED_AccelE"}) {
    Click(W(box));
    EXPECT_EQ(Focused(), "ED_WayE") << box;
    EXPECT_EQ(LogicalFocus(), "ED_WayE") << box;
  }
  ClickTab(1);
  Click(W("ED_WayS"));
  for (const char* box : {"ED_TimeVS", "ED_TimeAS", "ED_SpeedS", "ED_HZout"}) {
    Click(W(box));
    EXPECT_EQ(Focused(), "ED_WayS") << box;
    EXPECT_FALSE(W(box)->isEnabled()) << box;
  }
}

TEST_F(QtWindowTest, ClickOnTheCheckBoxRunsTheTypedBoxPassFirstThenTheClick) {
  auto* check = qobject_cast<QCheckBox*>(W("CH_SinQramps"));
  const bool before = check->isChecked();
  ASSERT_EQ(Focused(), "ED_WayE");
  Type("20");
  Click(check);
  EXPECT_EQ(FeedParams.FeedLength, 0.02);     // the box's pass stored it
  EXPECT_EQ(FeedParams.SinSqRamps, !before);  // the click's pass stored the new state
  EXPECT_EQ(check->isChecked(), !before);
  EXPECT_EQ(Focused(), "CH_SinQramps");
  EXPECT_EQ(Label("LB_Accel1")->text(),  // refreshed with the new state
            !before ? "Beschleunigung (Spitzenwert)" : "Beschleunigung");
  EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(QtWindowTest, ClickOnTheCheckBoxAfterARejectedEntryIsSwallowed) {
  auto* check = qobject_cast<QCheckBox*>(W("CH_SinQramps"));
  const bool before = check->isChecked();
  Type("5000");
  Click(check);
  // The box's pass ran first, while the check box still had its old state.
  ASSERT_THAT(Boxes(), SizeIs(1));
  EXPECT_EQ(Boxes()[0].Text, "Strecke:  0.01 bis 4000 mm");
  EXPECT_EQ(Boxes()[0].CheckBoxChecked, before);
  // The message box took the click; the focus is back in the rejected box.
  EXPECT_EQ(check->isChecked(), before);
  EXPECT_EQ(FeedParams.SinSqRamps, before);
  EXPECT_EQ(Edit("ED_WayE")->text(), "10.00");
  EXPECT_EQ(Focused(), "ED_WayE");
  EXPECT_EQ(LogicalFocus(), "ED_WayE");
}

TEST_F(QtWindowTest, SpaceOnTheCheckBoxTogglesAndStoresTheNewState) {
  auto* check = qobject_cast<QCheckBox*>(W("CH_SinQramps"));
  const bool before = check->isChecked();
  for (int i = 0; i < 5; ++i) {
    Key(Qt::Key_Tab);
  }
  ASSERT_EQ(Focused(), "CH_SinQramps");
  Key(Qt::Key_Space);
  EXPECT_EQ(check->isChecked(), !before);
  EXPECT_EQ(FeedParams.SinSqRamps, !before);
}

// A page switch while a box holds an out-of-range value: the box's pass runs
// on the old page (its message shows there), then the new page is filled
// from the stored values.
TEST_F(QtWindowTest, PageSwitchRejectsOnTheOldPageThenFillsTheNewOne) {
  const std::vector<std::pair<const char*, std::function<void(QtWindowTest&)>>> ways = {
      {"click on the tab", [](QtWindowTest& t) { t.ClickTab(1); }},
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

TEST_F(QtWindowTest, PageSwitchWithAValidValueStoresItAndShowsItOnTheNewPage) {
  Type("25");
  ClickTab(1);
  EXPECT_THAT(Boxes(), IsEmpty());
  EXPECT_EQ(FeedParams.FeedLength, 0.025);
  EXPECT_EQ(Edit("ED_WayS")->text(), "25.00");
  ClickTab(0);
  EXPECT_EQ(Edit("ED_WayE")->text(), "25.00");
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

TEST_F(QtWindowTest, TwoRejectionsInOnePassAnswerEachOnceAndLeaveTheFocusInTheSecond) {
  // A feed length typed into the first box, and an aperture angle that
  // reached its box without a pass.
  Edit("ED_AngleE")->setText("400");
  Type("5000");
  Key(Qt::Key_Return);
  EXPECT_THAT(Texts(), ElementsAre("Strecke:  0.01 bis 4000 mm",
                                   QString::fromUtf8("Öffnungswinkel:  10 bis 350°")));
  EXPECT_EQ(Edit("ED_WayE")->text(), "10.00");
  EXPECT_EQ(Edit("ED_AngleE")->text(), "180");
  EXPECT_EQ(Focused(), "ED_AngleE");
  EXPECT_EQ(LogicalFocus(), "ED_AngleE");
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

TEST_F(QtWindowTest, ATypedLanguageThatNamesNoItemShowsGerman) {
  ClickTab(2);
  Click(W("CB_Language"));
  qobject_cast<QComboBox*>(W("CB_Language"))->lineEdit()->selectAll();
  QTest::keyClicks(QApplication::focusWidget(), "Xy");
  EXPECT_EQ(Language, -1);
  EXPECT_EQ(Pages()->tabText(0), "Hubzahl-Programmierung");
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

TEST_F(QtWindowTest, ClosingTheWindowWritesTheSettingsFile) {
  Key(Qt::Key_Tab);
  Key(Qt::Key_Tab);
  Type("200");
  Key(Qt::Key_Return);
  ASSERT_FALSE(fs::exists(folders_.SettingsFile()));
  EXPECT_TRUE(Window()->close());
  const std::string saved = ReadFile(folders_.SettingsFile());
  EXPECT_THAT(saved, HasSubstr("{900} lan = 0;\r\n"));
  EXPECT_THAT(saved, HasSubstr("{021} hza = 200.0;\r\n"));
  EXPECT_THAT(saved, HasSubstr("{020} weg = 0.0100; [m]\r\n"));
}

// ---- The program: entry point on the Qt application object ----

class QtProgramTest : public ::testing::Test {
 protected:
  // Runs the program through the entry point; `session` runs inside the
  // message loop once the window is shown, and the window is closed after it.
  int Run(const std::string& commandLine, const std::function<void(TQtShell&)>& session) {
    platform_.CommonFolder = folders_.Data().u16string();
    platform_.Executable = folders_.Executable().u16string();
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

  TTemporaryFolders folders_;
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
    folders_.WriteSettings("Non volatile data for Kolvane (Win)\r\n\r\n{900} lan = " +
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
    EXPECT_THAT(ReadFile(folders_.SettingsFile()), HasSubstr(c.Saved));
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
  EXPECT_FALSE(fs::exists(folders_.SettingsFile()));
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
