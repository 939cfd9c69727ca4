// SPDX-License-Identifier: MIT
#include "ui/qt/QtAccessibility.h"

#include <QLabel>

#include "ui/AccessibleTexts.h"
#include "ui/WindowDef.h"
#include "ui/qt/QtToolkit.h"

void RelateLabelsToTheirBoxes(TQtToolkit& window) {
  for (const TControlDef& def : MainWindowControls()) {
    if (def.Kind != TControlKind::Edit) {
      continue;
    }
    auto* label = qobject_cast<QLabel*>(window.Widget(LabelOf(def.Name)));
    if (QWidget* box = window.Widget(def.Name); label != nullptr && box != nullptr) {
      label->setBuddy(box);
    }
  }
}
