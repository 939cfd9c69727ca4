// SPDX-License-Identifier: MIT
#include "pages/Texts.h"

namespace {

constexpr TLanguageText Caption(std::string_view control, std::u16string_view german,
                                std::u16string_view english) {
  return {control, -1, german, english};
}

constexpr TLanguageText Entry(int entry, std::u16string_view german, std::u16string_view english) {
  return {{}, entry, german, english};
}

// \u00FC ü, \u00D6 Ö, \u00B2 ², \u00B0 °; the range hints have two blanks
// after their colon.
constexpr TLanguageText kTexts[] = {
    Caption("TS_HzP", u"Hubzahl-Programmierung", u"Stroke rate programming"),
    Caption("LB_FeedLen1", u"Vorschub-Strecke", u"Feed length"),
    Caption("LB_DesStrkRate", u"Gew\u00FCnschte Hubzahl", u"Desired stroke rate"),
    Caption("LB_ApertAngle1", u"\u00D6ffnungswinkel", u"Angle of aperture"),
    Caption("LB_MaxSpeed1", u"Max. Geschwindigkeit (P240)", u"Maximum speed (P240)"),
    Caption("LB_MaxAccel", u"Max. Beschleunigung (P241)", u"Max. acceleration (P241)"),
    Caption("CH_SinQramps", u"Sin\u00B2-Rampen (P56)", u"Sin\u00B2 ramps (P56)"),
    Caption("LB_DampTim1", u"Beruhigungszeit (P242)", u"Settling time (P242)"),
    Entry(rtSpeedTriangle, u"Geschwindigkeit (Dreieck)", u"Speed (triangle)"),
    Entry(rtSpeedTrapezoid, u"Geschwindigkeit (Trapez)", u"Speed (trapezoid)"),
    Entry(rtAccelPlain, u"Beschleunigung", u"Acceleration"),
    Entry(rtAccelPeak, u"Beschleunigung (Spitzenwert)", u"Acceleration (peak)"),
    Caption("TS_VZ", u"Vorschubzeiten", u"Feed timing"),
    Caption("LB_FeedLen2", u"Vorschub-Strecke", u"Feed length"),
    Entry(rtAccelSinSq, u"Beschleunigung (Sin\u00B2-Rampen)", u"Acceleration (sin\u00B2 ramps)"),
    Entry(rtAccelLinear, u"Beschleunigung (Lin. Rampen)", u"Acceleration (linear ramps)"),
    Caption("LB_MaxSpeed2", u"Max. Geschwindigkeit", u"Maximum speed"),
    Caption("LB_ApertAngle2", u"\u00D6ffnungswinkel", u"Angle of aperture"),
    Caption("LB_DampTim2", u"Beruhigungszeit (P242)", u"Settling time (P242)"),
    Caption("LB_FeedTotalTime", u"Vorschubzeit", u"Total feed time"),
    Caption("LB_AccTime", u"Beschleunigungszeit", u"Time for acceleration"),
    Caption("LB_StrkRate", u"Hubzahl", u"Stroke rate"),
    Caption("TS_Options", u"Optionen", u"Options"),
    Entry(rtHintFeedLength, u"Strecke:  0.01 bis 4000 mm", u"Feed length:  0.01 to 4000 mm"),
    Entry(rtHintStrokeRate, u"Hubzahl:  5 bis 2000 1/min", u"Stroke rate:  5 to 2000 1/min"),
    Entry(rtHintAngle, u"\u00D6ffnungswinkel:  10 bis 350\u00B0",
          u"Angle of aperture:  10 to 350\u00B0"),
    Entry(rtHintSpeed, u"Geschwindigkeit:  0.1 bis 400 m/min", u"Speed:  0.1 to 400 m/min"),
    Entry(rtHintAccel, u"Beschleunigung:  0.01 bis 400 m/s\u00B2",
          u"Acceleration:  0.01 to 400 m/s\u00B2"),
};

std::u16string_view Pick(const TLanguageText& text, TLang lang) {
  return lang == TLang::English ? text.English : text.German;
}

// \u00FC ü, \u00D6 Ö.
constexpr TPageWords kEnglishWords{
    u"on",
    u"off",
    u"over the limit",
    u"triangle",
    u"trapezoid",
    u"Feed length",
    u"Max. stroke rate",
    u"Acceleration",
    u"Speed",
    u"Profile",
    u"Crank angle from the opening of the tool",
    u"Feed speed",
    u"open",
    u"settling",
};

constexpr TPageWords kGermanWords{
    u"ein",
    u"aus",
    u"\u00FCber dem Grenzwert",
    u"Dreieck",
    u"Trapez",
    u"Vorschub-Strecke",
    u"Max. Hubzahl",
    u"Beschleunigung",
    u"Geschwindigkeit",
    u"Profil",
    u"Kurbelwinkel ab dem \u00D6ffnen des Werkzeugs",
    u"Vorschubgeschwindigkeit",
    u"offen",
    u"Beruhigung",
};

}  // namespace

std::span<const TLanguageText> LanguageTexts() {
  return kTexts;
}

std::u16string_view RuntimeText(int entry, TLang lang) {
  for (const TLanguageText& text : LanguageTexts()) {
    if (text.Entry == entry) {
      return Pick(text, lang);
    }
  }
  return {};
}

std::u16string_view CaptionOf(std::string_view control, TLang lang) {
  for (const TLanguageText& text : LanguageTexts()) {
    if (text.Entry < 0 && text.Control == control) {
      return Pick(text, lang);
    }
  }
  return {};
}

const TPageWords& PageWords(TLang lang) {
  return lang == TLang::English ? kEnglishWords : kGermanWords;
}

std::u16string_view OnOff(bool on, TLang lang) {
  return on ? PageWords(lang).On : PageWords(lang).Off;
}
