// SPDX-License-Identifier: MIT
#pragma once
// What the Qt widgets tell assistive technology (AT-SPI on Linux): every
// edit box is named by its label, in the language in force, and a box
// coloured for a broken drive limit says which in its description; the logos
// are named after the program and say nothing else. Qt answers a screen
// reader's questions from these settings only while one is listening, so
// they cost next to nothing otherwise.

#include <QLabel>
#include <QWidget>

#include "ui/Controls.h"

class TQtToolkit;

// Makes each edit box's label its buddy, from which Qt takes the box's
// accessible name (and the labelled-by relation), and names the logos. Run
// once the main window's widgets exist.
void DescribeForAssistiveTechnology(TQtToolkit& window);

// After a label's text changed: the box it names has a new name, which a
// screen reader that keeps names must hear of.
void AnnounceLabelChange(QLabel& label);

// After a box's background changed: a colour other than the box's own
// (clWindow) marks a broken limit, which the description then names.
void DescribeLimitColour(QWidget& box, TColor colour);
