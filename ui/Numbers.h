#pragma once
// Numbers as the window shows and reads them: C printf and strtod rules with
// "." as the decimal point, whatever locale the process runs in.

#include <string>
#include <string_view>

// The value as "%<width>.<precision>f" formats it in the "C" locale; a value
// without a finite value shows as "-", since the window never shows "inf"
// or "nan".
std::u16string FormatFixed(double value, int precision, int width = 1);

// The number at the start of the text, by the C library's decimal rules:
// leading white space, an optional sign, digits with an optional "." and
// fraction, an optional exponent; the longest such prefix counts and the rest
// is ignored; a text without one reads as 0. Only decimal notation is read,
// so "0x10" reads as 0 and "inf" or "nan" as 0. A number too large for a
// double reads as an infinity of its sign, one too small as 0.
double ReadNumber(std::u16string_view text);
