#include "app/SwitchReader.h"

#include <cstring>

#include "app/EntryPoint.h"
#include "app/Platform.h"
#include "settings/NVData.h"

namespace {

// The collected value never reaches this many characters: at this count it
// is dropped as a whole.
constexpr int kValueBufferSize = 280;
constexpr int kNotCollecting = -1;

// Only the plain letters change, whatever the locale, so that the switch
// letter compares the same on every system.
char UpperAscii(char ch) {
  return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

bool StartsSwitch(const char* text, size_t i, bool quoted) {
  const char ch = text[i];
  return (ch == '/' || ch == '-') && (i == 0 || text[i - 1] == ' ') && !quoted;
}

bool IsWantedSwitch(const char* text, size_t length, size_t i, char letter) {
  return i + 2 < length && UpperAscii(text[i + 1]) == letter && text[i + 2] == ':';
}

}  // namespace

std::string GetSwitchValue(const char* text, char letter) {
  if (text == nullptr) {
    return {};
  }
  const size_t length = std::strlen(text);
  if (letter != 0) {
    letter = UpperAscii(letter);
  }
  char buffer[kValueBufferSize];
  int count = (letter != 0) ? kNotCollecting : 0;
  bool quoted = false;
  for (size_t i = 0; i < length; ++i) {
    const char ch = text[i];
    if (StartsSwitch(text, i, quoted)) {
      if (count >= 0) {
        break;  // the next switch ends the value
      }
      if (IsWantedSwitch(text, length, i, letter)) {
        count = 0;
        i += 2;
      }
    } else if (count >= 0) {
      if (ch == '"') {
        quoted = !quoted;
      } else if (ch == ' ' && count == 0) {
        // leading blanks are dropped, inside quotes too
      } else {
        buffer[count++] = ch;
        if (count == kValueBufferSize) {
          count = kNotCollecting;
          break;
        }
      }
    }
  }
  if (count == kNotCollecting) {
    return {};
  }
  while (count > 0 && buffer[count - 1] == ' ') {
    --count;
  }
  return std::string(buffer, static_cast<size_t>(count));
}

void ApplyLanguageSwitch() {
  const std::string value = GetSwitchValue(CommandLine.c_str(), 'l');
  if (value.empty()) {
    return;  // no switch: the stored language stays
  }
  // Only the whole text "d", in either case, selects German.
  const bool german = EqualTextInUserLocale(value, "d");
  Language = german ? 0 : 1;
}
