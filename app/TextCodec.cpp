// SPDX-License-Identifier: MIT
#include "app/TextCodec.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t code) {
  if (code < 0x10000) {
    out += static_cast<char16_t>(code);
  } else {
    code -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (code >> 10));
    out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  }
}

// Length of the sequence that the lead byte starts, 0 for a byte that
// cannot start one.
int SequenceLength(uint8_t lead) {
  if (lead < 0x80) {
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    return 2;
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    return 4;
  }
  return 0;
}

constexpr char32_t kSmallestOfLength[5] = {0, 0, 0x80, 0x800, 0x10000};

// Decodes one sequence at text[pos]; nothing when it is ill-formed.
std::optional<char32_t> DecodeAt(std::string_view text, size_t& pos) {
  const auto lead = static_cast<uint8_t>(text[pos]);
  const int length = SequenceLength(lead);
  if (length == 0 || pos + length > text.size()) {
    return std::nullopt;
  }
  char32_t code = (length == 1) ? lead : (lead & (0x7F >> length));
  for (int k = 1; k < length; ++k) {
    const auto next = static_cast<uint8_t>(text[pos + k]);
    if ((next & 0xC0) != 0x80) {
      return std::nullopt;
    }
    code = (code << 6) | (next & 0x3F);
  }
  if (code < kSmallestOfLength[length] || code > 0x10FFFF || IsHighSurrogate(code) ||
      IsLowSurrogate(code)) {
    return std::nullopt;
  }
  pos += length;
  return code;
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (IsHighSurrogate(code) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(code) || IsLowSurrogate(code)) {
      code = kReplacement;
    }
    AppendUtf8(out, code);
  }
  return out;
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const std::optional<char32_t> code = DecodeAt(text, pos);
    if (!code) {
      return std::nullopt;
    }
    AppendUtf16(out, *code);
  }
  return out;
}

std::u16string Utf8ToUtf16Replacing(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    if (const std::optional<char32_t> code = DecodeAt(text, pos)) {
      AppendUtf16(out, *code);
    } else {
      out += static_cast<char16_t>(kReplacement);
      ++pos;
    }
  }
  return out;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& ch : lower) {
    if (ch >= 'A' && ch <= 'Z') {
      ch = static_cast<char>(ch - 'A' + 'a');
    }
  }
  return lower;
}
