// SPDX-License-Identifier: MIT
#include "cli/CliTexts.h"

#include "pages/Texts.h"

namespace {

std::u16string_view Pick(const TLanguageText& text, TLang lang) {
  return lang == TLang::English ? text.English : text.German;
}

// \u00FC ü, \u00E4 ä, \u00DF ß, \u00B2 ², \u00B0 °.
constexpr TCliWords kEnglish{
    u"on",
    u"off",
    u"over the limit",
    u"Limits",
    u"the acceleration is outside 0 to P241",
    u"the open window is shorter than the shortest feed, which is assumed instead",
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
    u"not a number",
    u"neither on nor off",
    u"neither rate nor timing",
    u"the row has another number of fields than the header",
    u"a quote is not closed, or text follows a closing quote",
    u"line",
    u"a computed acceleration or time is beyond the range of the drive's rounding and was taken "
    u"as 0; the results are no setting for the drive",
};

constexpr TCliWords kGerman{
    u"ein",
    u"aus",
    u"\u00FCber dem Grenzwert",
    u"Grenzwerte",
    u"die Beschleunigung liegt au\u00DFerhalb 0 bis P241",
    u"das \u00D6ffnungsfenster ist k\u00FCrzer als der k\u00FCrzeste Vorschub, der statt "
    u"dessen angenommen wird",
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
    u"keine Zahl",
    u"weder on noch off",
    u"weder rate noch timing",
    u"die Zeile hat eine andere Anzahl Felder als die Kopfzeile",
    u"ein Anf\u00FChrungszeichen ist nicht geschlossen, oder Text folgt einem schlie\u00DFenden",
    u"Zeile",
    u"eine berechnete Beschleunigung oder Zeit liegt au\u00DFerhalb des Rundungsbereichs und "
    u"wurde als 0 genommen; die Ergebnisse sind keine Einstellung f\u00FCr den Antrieb",
};

}  // namespace

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

std::u16string_view HintOf(TInput input, TLang lang) {
  const int hint = InputDef(input).Hint;
  return hint < 0 ? std::u16string_view() : RuntimeText(hint, lang);
}

std::u16string_view UnitOf(TInput input) {
  switch (input) {
    case TInput::FeedLength:
      return UnitMillimetres;
    case TInput::StrokeRate:
      return UnitPerMinute;
    case TInput::ApertureAngle:
      return UnitDegrees;
    case TInput::MaxSpeed:
    case TInput::SpeedLimit:
      return UnitMetresPerMinute;
    case TInput::MaxAccel:
    case TInput::Accel:
      return UnitMetresPerSecond2;
    case TInput::SettleTime:
      return UnitSeconds;
  }
  return {};
}

const TCliWords& Words(TLang lang) {
  return lang == TLang::English ? kEnglish : kGerman;
}

size_t DisplayWidth(std::string_view utf8) {
  size_t width = 0;
  for (char c : utf8) {
    width += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  }
  return width;
}
