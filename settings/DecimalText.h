// SPDX-License-Identifier: MIT
#pragma once
// Numbers in text, as the settings file and the window write and read them:
// C printf conversions and strtod's decimal notation with "." as the decimal
// point. Nothing here consults the process locale (the toolkit sets it from
// the environment, and a German one would make the C library write and read
// ","). Every build, whatever its C and C++ libraries, writes and reads with
// the same code (fmt and fast_float, both locale-free), so a number has the
// same text on every processor and system.

#include <string>

// Appends value as the C conversion "%<width>.<precision>f" writes it in the
// "C" locale: at least width characters, padded with blanks in front.
void AppendFixed(std::string& out, double value, int precision, int width = 1);

// Appends value as the C conversion "%d" writes it.
void AppendInteger(std::string& out, int value);

// The number at the start of text by strtod's decimal rules: leading white
// space, an optional sign, digits with an optional "." and fraction, an
// optional exponent; the longest such prefix counts and the rest is ignored;
// text without one reads as 0. Only decimal notation is read, so "0x10" reads
// as 0 and "inf" or "nan" as 0. A number too large for a double reads as an
// infinity of its sign, one too small as 0.
double ReadDecimal(const char* text);

// True when text is one number of the grammar ReadDecimal reads and nothing
// else, with white space around it allowed.
bool IsDecimalNumber(const char* text);

// Appends the shortest text in decimal notation that reads back to exactly
// value, as std::to_chars without a format writes it: fixed ("0.001",
// "1230000") or scientific ("1e-04", "1e+05"), whichever is shorter, fixed on
// a tie; nothing for an infinity or a NaN.
void AppendShortest(std::string& out, double value);

// The digits at the start of text by atol's rules (white space, sign,
// digits), saturated at the 32-bit bounds; text without digits reads as 0.
int ReadInteger32(const char* text);
