// SPDX-License-Identifier: MIT
#include "cli/CliTexts.h"

namespace {

// \u00FC ü, \u00E4 ä, \u00DF ß, \u00D6 Ö.
constexpr TCliWords kEnglish{
    u"Limits",
    u"the acceleration is outside 0 to P241",
    u"the open window is shorter than the shortest feed, which is assumed instead",
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
    u"Grenzwerte",
    u"die Beschleunigung liegt au\u00DFerhalb 0 bis P241",
    u"das \u00D6ffnungsfenster ist k\u00FCrzer als der k\u00FCrzeste Vorschub, der statt "
    u"dessen angenommen wird",
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
