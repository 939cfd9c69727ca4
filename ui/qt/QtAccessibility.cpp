// SPDX-License-Identifier: MIT
#include "ui/qt/QtAccessibility.h"

#include <QAccessible>
#include <string>

#include "ui/AccessibleTexts.h"
#include "ui/WindowDef.h"
#include "ui/qt/QtLook.h"
#include "ui/qt/QtToolkit.h"

void DescribeForAssistiveTechnology(TQtToolkit& window) {
  for (const TControlDef& def : MainWindowControls()) {
    if (def.Kind == TControlKind::Edit) {
      auto* label = qobject_cast<QLabel*>(window.Widget(LabelOf(def.Name)));
      if (QWidget* box = window.Widget(def.Name); label != nullptr && box != nullptr) {
        label->setBuddy(box);
      }
    } else if (def.Kind == TControlKind::Image) {
      if (QWidget* logo = window.Widget(def.Name)) {
        logo->setAccessibleName(QStringLiteral("Kolvane"));
      }
    }
  }
}

void AnnounceLabelChange(QLabel& label) {
  QWidget* box = label.buddy();
  if (box == nullptr || !QAccessible::isActive()) {
    return;
  }
  QAccessibleEvent event(box, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
}

void DescribeLimitColour(QWidget& box, TColor colour) {
  const std::u16string description =
      colour == clWindow ? std::u16string() : LimitDescription(box.objectName().toStdString());
  const QString text = ToQString(description);
  if (box.accessibleDescription() != text) {
    box.setAccessibleDescription(text);
  }
}
