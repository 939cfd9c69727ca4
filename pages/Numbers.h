// SPDX-License-Identifier: MIT
#pragma once
// Numbers as the window shows and reads them: C printf and strtod rules with
// "." as the decimal point, whatever locale the process runs in; typed text
// may also use a decimal comma.

#include <string>
#include <string_view>

// The value as "%<width>.<precision>f" formats it in the "C" locale; a value
// without a finite value shows as "-", since the window never shows "inf"
// or "nan".
std::u16string FormatFixed(double value, int precision, int width = 1);

// A typed number: the number at the start of the text, by the C library's
// decimal rules: leading white space, an optional sign, digits with an
// optional decimal point and fraction, an optional exponent; the longest such
// prefix counts and the rest is ignored; a text without one reads as 0. A
// comma counts as a decimal point, as a German user types it ("12,5" is
// 12.5); the window still shows ".". Only decimal notation is read,
// so "0x10" reads as 0 and "inf" or "nan" as 0. A number too large for a
// double reads as an infinity of its sign, one too small as 0.
double ReadNumber(std::u16string_view text);

// True when text is one decimal number and nothing else (white space around
// it allowed; a decimal comma counts as the point). The window reads "12abc"
// as 12; a command line or a file refuses it as a slip.
bool IsNumberText(std::u16string_view text);
