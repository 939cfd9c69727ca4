#pragma once
// Numbers in text, as the settings file and the window write and read them:
// C printf conversions and strtod's decimal notation with "." as the decimal
// point, whatever locale the process runs in (the toolkit sets the process
// locale from the environment, and a German one would write and read ",").

#include <locale.h>
#include <clocale>

// Runs the printf family in the "C" locale for as long as it lives, on this
// thread only.
class TCLocaleScope {
 public:
  TCLocaleScope();
  ~TCLocaleScope();
  TCLocaleScope(const TCLocaleScope&) = delete;
  TCLocaleScope& operator=(const TCLocaleScope&) = delete;

 private:
  locale_t previous_;
};

// The number at the start of text by strtod's decimal rules: leading white
// space, an optional sign, digits with an optional "." and fraction, an
// optional exponent; the longest such prefix counts and the rest is ignored;
// text without one reads as 0. Only decimal notation is read, so "0x10" reads
// as 0 and "inf" or "nan" as 0. A number too large for a double reads as an
// infinity of its sign, one too small as 0.
double ReadDecimal(const char* text);

// The digits at the start of text by atol's rules (white space, sign,
// digits), saturated at the 32-bit bounds; text without digits reads as 0.
int ReadInteger32(const char* text);
