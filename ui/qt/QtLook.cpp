// SPDX-License-Identifier: MIT
#include "ui/qt/QtLook.h"

#include <QFontDatabase>
#include <QImageReader>
#include <algorithm>
#include <array>

#include "ui/LabelFit.h"

namespace {

// Windows system colour indices used by the window definition.
constexpr int kColorWindow = 5;
constexpr int kColorWindowText = 8;
constexpr int kColorBtnFace = 15;
constexpr int kColorInfoBk = 24;

// Faces with the metrics the fixed label widths were laid out for, in order
// of preference after the definition's own font. Liberation Sans and Arimo
// share Arial's advance widths.
constexpr std::array<const char*, 3> kMetricCompatibleFaces = {"Liberation Sans", "Arimo", "Arial"};

const QColor kBlack(0, 0, 0);

// The room a label has from its left edge to the nearest control beside it
// on the same row, or to its parent's edge.
int RoomRightOf(const QWidget& label) {
  const QWidget* parent = label.parentWidget();
  int limit = parent->width();
  const QRect own = label.geometry();
  for (const QObject* object : parent->children()) {
    const auto* sibling = qobject_cast<const QWidget*>(object);
    if (sibling == nullptr || sibling == &label || sibling->isWindow()) {
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

// Sets the characters closer together until the text fits its room, by at
// most kMostLabelSqueeze of its width; returns the label's new width.
int Narrow(QLabel& label, const QString& text, int width, int room) {
  const auto count = static_cast<double>(text.size());
  const double most = width * kMostLabelSqueeze / count;
  // The proportional share of each character first; then a pixel more in
  // all while rounding leaves the text too wide.
  double squeeze = (width - room) / count;
  QFont narrow = label.parentWidget()->font();
  for (;;) {
    squeeze = std::min(squeeze, most);
    narrow.setLetterSpacing(QFont::AbsoluteSpacing, -squeeze);
    label.setFont(narrow);
    const int narrowed = label.sizeHint().width();
    if (narrowed <= room || squeeze >= most) {
      return narrowed;
    }
    squeeze += 1.0 / count;
  }
}

}  // namespace

QColor ColorOf(TColor color) {
  if (color.IsNone()) {
    return {};
  }
  if (!color.IsSystem()) {
    return {color.Red(), color.Green(), color.Blue()};
  }
  switch (color.SystemIndex()) {
    case kColorWindow:
      return {255, 255, 255};
    case kColorWindowText:
      return {0, 0, 0};
    case kColorBtnFace:
      return {240, 240, 240};
    case kColorInfoBk:
      return {255, 255, 225};
    default:
      return {};
  }
}

QString WindowFontFamily(const TFormDef& form) {
  // One look at the installed families: hasFamily would run fontconfig's
  // whole rule set on every name asked about, which costs more than the
  // rest of the window's set-up.
  const QStringList installed = QFontDatabase::families();
  const auto isInstalled = [&installed](const QString& family) {
    return installed.contains(family, Qt::CaseInsensitive);
  };
  const QString wanted = ToQString(form.FontName);
  if (isInstalled(wanted)) {
    return wanted;
  }
  for (const char* face : kMetricCompatibleFaces) {
    if (isInstalled(QString::fromLatin1(face))) {
      return QString::fromLatin1(face);
    }
  }
  return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

QFont WindowFont(const TFormDef& form) {
  QFont font(WindowFontFamily(form));
  font.setStyleHint(QFont::SansSerif);
  // Full hinting (a common desktop setting) rounds every advance up and
  // widens a long label by several pixels; the layout is fixed in pixels, so
  // the text keeps the face's own widths.
  font.setHintingPreference(QFont::PreferVerticalHinting);
  // A negative height is the character height in pixels.
  font.setPixelSize(form.FontHeight < 0 ? -form.FontHeight : form.FontHeight);
  return font;
}

QPalette WindowPalette(const TFormDef& form) {
  const QColor face = ColorOf(form.Color).isValid() ? ColorOf(form.Color) : ColorOf(clBtnFace);
  const QColor text = ColorOf(form.FontColor).isValid() ? ColorOf(form.FontColor) : kBlack;
  QPalette palette(text, face, face.lighter(120), face.darker(160), face.darker(120), text,
                   ColorOf(clWindow));
  palette.setColor(QPalette::ButtonText, text);
  palette.setColor(QPalette::ToolTipBase, ColorOf(clInfoBk));
  palette.setColor(QPalette::ToolTipText, text);
  palette.setColor(QPalette::Highlight, QColor(0, 120, 215));
  palette.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
  palette.setColor(QPalette::PlaceholderText, QColor(120, 120, 120));
  return palette;
}

QPalette PaletteWithBackground(QPalette palette, QColor background) {
  if (background.isValid()) {
    palette.setColor(QPalette::Window, background);
  }
  // Children of a disabled panel keep their normal look: they merely take
  // no input.
  palette.setColor(QPalette::Disabled, QPalette::WindowText, kBlack);
  palette.setColor(QPalette::Disabled, QPalette::Text, kBlack);
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, kBlack);
  return palette;
}

void SetFittedText(QLabel& label, const QString& text) {
  // A label narrowed for an earlier text takes its parent's font again.
  if (label.testAttribute(Qt::WA_SetFont)) {
    label.setFont(QFont());
  }
  label.setText(text);
  const int room = RoomRightOf(label) - kLabelGap;
  int width = label.sizeHint().width();
  if (width > room && !text.isEmpty()) {
    width = Narrow(label, text, width, room);
  }
  label.resize(width, label.height());
}

QImage ReadResourceImage(const QString& name, const char* format) {
  QImageReader reader(QStringLiteral(":/kolvane/") + name, format);
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}
