// SPDX-License-Identifier: MIT
#include "ui/AccessibleTexts.h"

#include "calc/FeedCalc.h"
#include "calc/FeedParams.h"
#include "settings/NVData.h"

namespace {

bool OnSameRow(const TControlDef& a, const TControlDef& b) {
  return a.Top < b.Top + b.Height && b.Top < a.Top + a.Height;
}

struct TLimitText {
  std::u16string_view German;
  std::u16string_view English;
};

constexpr TLimitText kAccelExceeded = {u"\u00FCberschreitet die maximale Beschleunigung (P241)",
                                       u"exceeds the maximum acceleration (P241)"};
constexpr TLimitText kSpeedExceeded = {u"\u00FCberschreitet die maximale Geschwindigkeit (P240)",
                                       u"exceeds the maximum speed (P240)"};
// The time the press leaves for the feed fell below the calculation's
// minimum and was raised to it.
constexpr TLimitText kWindowTooShort = {
    u"die Hubzahl l\u00E4sst dem Vorschub zu wenig Zeit (\u00D6ffnungswinkel, P242)",
    u"the stroke rate leaves the feed too little time (aperture angle, P242)"};

std::u16string_view InForce(const TLimitText& text) {
  return Language == 1 ? text.English : text.German;
}

void Append(std::u16string& description, const TLimitText& text) {
  if (!description.empty()) {
    description += u"; ";
  }
  description += InForce(text);
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

std::u16string LimitDescription(std::string_view box) {
  std::u16string description;
  const uint16_t flags = FeedParams.LimitFlags;
  if (box == "ED_AccelE") {
    if ((flags & LimitAccelOutside) != 0) {
      Append(description, kAccelExceeded);
    }
    if ((flags & LimitWindowRaised) != 0) {
      Append(description, kWindowTooShort);
    }
  } else if (box == "ED_SpeedE") {
    Append(description, kWindowTooShort);
  } else if (box == "ED_AccelS") {
    Append(description, kAccelExceeded);
  } else if (box == "ED_MaxSpeedS") {
    Append(description, kSpeedExceeded);
  }
  return description;
}
