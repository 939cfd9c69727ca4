// SPDX-License-Identifier: MIT
#include "pages/LimitTexts.h"

#include "calc/FeedCalc.h"

namespace {

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

void Append(std::u16string& description, const TLimitText& text, int32_t language) {
  if (!description.empty()) {
    description += u"; ";
  }
  description += language == 1 ? text.English : text.German;
}

}  // namespace

std::u16string LimitDescription(std::string_view box, uint16_t limitFlags, int32_t language) {
  std::u16string description;
  if (box == "ED_AccelE") {
    if ((limitFlags & LimitAccelOutside) != 0) {
      Append(description, kAccelExceeded, language);
    }
    if ((limitFlags & LimitWindowRaised) != 0) {
      Append(description, kWindowTooShort, language);
    }
  } else if (box == "ED_SpeedE") {
    Append(description, kWindowTooShort, language);
  } else if (box == "ED_AccelS") {
    Append(description, kAccelExceeded, language);
  } else if (box == "ED_MaxSpeedS") {
    Append(description, kSpeedExceeded, language);
  }
  return description;
}
