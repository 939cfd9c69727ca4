// SPDX-License-Identifier: MIT
#pragma once
// How the window definition's colours and font look under Qt: one mapping
// from the definition's colours to Qt colours, the window font, and the
// palette every window of the program uses.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QString>
#include <string>
#include <string_view>

#include "ui/Controls.h"
#include "ui/WindowDef.h"

// The definition's system colours take the values of the classic Windows
// scheme the layout was drawn with (clBtnFace 240,240,240, clInfoBk
// 255,255,225, clWindow white, clWindowText black), whatever the desktop
// theme: the fixed light red and the black text on the result panels only
// read well on those. clNone and unknown system colours give an invalid
// QColor: the parent's background shows through.
QColor ColorOf(TColor color);

// The font family the window uses: the definition's font where it is
// installed, else the first installed face with the same metrics family,
// else the default sans-serif.
QString WindowFontFamily(const TFormDef& form);

// The definition's font: its family (or the fallback above) at its pixel
// height, in device-independent pixels so that high-density screens scale it
// with the layout.
QFont WindowFont(const TFormDef& form);

// A light palette in the definition's colours, for the window and the
// message boxes alike.
QPalette WindowPalette(const TFormDef& form);

// The palette of a control with its own background colour; a disabled
// control keeps its colours and black text.
QPalette PaletteWithBackground(QPalette palette, QColor background);

// Gives the label its text and sizes it to the text from its left edge. A
// text that would come closer than a small gap to the control beside it on
// its row (or to its parent's edge) has its characters set closer together,
// by at most 15 % of its width, as every front end fits its labels
// (ui/LabelFit.h): the fallback faces are not exactly as wide as the one the
// layout was drawn with. Closer spacing keeps the window's one
// font engine; a narrower stretch would load another face, with a glyph
// cache of its own, for one label.
void SetFittedText(QLabel& label, const QString& text);

// One of the program's own pictures (":/kolvane/<name>"), read as the given
// format, which Qt has built in. Left to guess, Qt would first load every
// image format plugin installed to ask whether it claims the file.
QImage ReadResourceImage(const QString& name, const char* format);

inline QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline QString ToQString(std::string_view latin) {
  return QString::fromUtf8(latin.data(), static_cast<qsizetype>(latin.size()));
}

inline std::u16string FromQString(const QString& text) {
  return text.toStdU16String();
}
