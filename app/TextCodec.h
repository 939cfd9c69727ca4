// SPDX-License-Identifier: MIT
#pragma once
// Conversion between the program's 16-bit texts and the UTF-8 byte strings
// of the Linux file system, environment and messages, and the one case fold
// the program's switches and settings names need.

#include <optional>
#include <string>
#include <string_view>

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// UTF-8 to UTF-16; nothing when the bytes are not well-formed UTF-8
// (overlong forms, surrogates and code points above U+10FFFF included).
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);

// UTF-8 to UTF-16, each byte that starts no well-formed sequence replaced by
// U+FFFD: for texts that must be shown whatever they hold.
std::u16string Utf8ToUtf16Replacing(std::string_view text);

// The text with the letters A to Z made lower case and every other byte as
// it is: a comparison that no locale can make equal to a letter.
std::string LowerAscii(std::string_view text);
