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

std::string Utf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string Utf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  bool ascii = true;
  for (char c : text) {
    ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  }
  if (ascii) {
    out.assign(text.begin(), text.end());
    return out;
  }
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80                   ? 0
                : lead >= 0xF0 && lead < 0xF5 ? 3
                : lead >= 0xE0                ? 2
                : lead >= 0xC2                ? 1
                                              : -1;
    if (lead >= 0xF5 || (lead >= 0x80 && lead < 0xC2)) {
      extra = -1;
    }
    char32_t c = extra == 0   ? lead
                 : extra == 1 ? (lead & 0x1F)
                 : extra == 2 ? (lead & 0x0F)
                              : (lead & 0x07);
    bool valid = extra >= 0 && i + static_cast<size_t>(extra) < text.size() + 0;
    for (int k = 1; valid && k <= extra; ++k) {
      if (i + k >= text.size()) {
        valid = false;
        break;
      }
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms and surrogates are not characters.
    valid = valid && !(extra == 2 && c < 0x800) && !(extra == 3 && (c < 0x10000 || c > 0x10FFFF)) &&
            !(c >= 0xD800 && c <= 0xDFFF);
    if (!valid) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

size_t DisplayWidth(std::string_view utf8) {
  size_t width = 0;
  for (char c : utf8) {
    width += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  }
  return width;
}
