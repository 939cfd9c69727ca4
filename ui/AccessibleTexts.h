// SPDX-License-Identifier: MIT
#pragma once
// What assistive technology is told about the window's boxes beyond what
// they show: which label names a box, and in words what a box coloured for a
// broken drive limit means, so that the colour is not the only sign.

#include <span>
#include <string>
#include <string_view>

#include "ui/WindowDef.h"

// The label that names an edit box: the label on the same parent, on the same
// row and to the left of the box, the nearest one; empty when there is none.
std::string_view LabelOf(std::span<const TControlDef> controls, std::string_view box);
std::string_view LabelOf(std::string_view box);

// Where a control's name for screen readers comes from: the caption of
// another control (or its own), or a fixed text; neither for a control a
// screen reader does not name.
struct TAccessibleNaming {
  std::string_view CaptionOf = {};
  std::u16string_view Fixed = {};
};

// An edit box is named by its label (LabelOf), a check box by its own
// caption, a combo box by its label or else by the group box around it, a
// logo after the program.
TAccessibleNaming AccessibleNamingOf(std::span<const TControlDef> controls,
                                     std::string_view control);

// For a result or input box that the refresh has coloured for a broken drive
// limit: which limit, in the language in force, from the limits the window's
// last refresh found; empty for a box that marks no limit.
std::u16string LimitDescription(std::string_view box);
