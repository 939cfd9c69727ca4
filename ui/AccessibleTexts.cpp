// SPDX-License-Identifier: MIT
#include "ui/AccessibleTexts.h"

#include "calc/FeedParams.h"
#include "pages/LimitTexts.h"
#include "settings/NVData.h"

namespace {

constexpr std::u16string_view kLogoName = u"Kolvane";

bool OnSameRow(const TControlDef& a, const TControlDef& b) {
  return a.Top < b.Top + b.Height && b.Top < a.Top + a.Height;
}

}  // namespace

std::string_view LabelOf(std::span<const TControlDef> controls, std::string_view box) {
  const TControlDef* edit = FindControlDef(controls, box);
  if (edit == nullptr) {
    return {};
  }
  const TControlDef* nearest = nullptr;
  for (const TControlDef& def : controls) {
    if (def.Kind == TControlKind::Label && def.Parent == edit->Parent && OnSameRow(def, *edit) &&
        def.Left < edit->Left && (nearest == nullptr || def.Left > nearest->Left)) {
      nearest = &def;
    }
  }
  return nearest == nullptr ? std::string_view() : nearest->Name;
}

std::string_view LabelOf(std::string_view box) {
  return LabelOf(MainWindowControls(), box);
}

TAccessibleNaming AccessibleNamingOf(std::span<const TControlDef> controls,
                                     std::string_view control) {
  const TControlDef* def = FindControlDef(controls, control);
  if (def == nullptr) {
    return {};
  }
  switch (def->Kind) {
    case TControlKind::Edit:
      return {.CaptionOf = LabelOf(controls, control)};
    case TControlKind::CheckBox:
      return {.CaptionOf = def->Name};
    case TControlKind::ComboBox: {
      if (std::string_view label = LabelOf(controls, control); !label.empty()) {
        return {.CaptionOf = label};
      }
      const TControlDef* parent = FindControlDef(controls, def->Parent);
      return parent != nullptr && parent->Kind == TControlKind::GroupBox
                 ? TAccessibleNaming{.CaptionOf = parent->Name}
                 : TAccessibleNaming{};
    }
    case TControlKind::Image:
      return {.Fixed = kLogoName};
    default:
      return {};
  }
}

std::u16string LimitDescription(std::string_view box) {
  return LimitDescription(box, FeedParams.LimitFlags, Language);
}
