// SPDX-License-Identifier: MIT
#include "settings/Utf8Paths.h"

#include "settings/FileOps.h"

namespace FileOps {

namespace {

// Appends code as UTF-8: one byte for ASCII, a lead byte and up to three
// continuation bytes beyond.
void AppendUtf8(char32_t code, std::string& out) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
    return;
  }
  const int tailBytes = code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
  constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  out.push_back(static_cast<char>(kLead[tailBytes] | (code >> (6 * tailBytes))));
  for (int shift = 6 * (tailBytes - 1); shift >= 0; shift -= 6) {
    out.push_back(static_cast<char>(0x80 | ((code >> shift) & 0x3F)));
  }
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

TPath NativePath(std::u16string_view text) {
  std::string path;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (IsHighSurrogate(text[i]) && i + 1 < text.size()) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    AppendUtf8(code, path);
  }
  return path;
}

TPath NameOf(const TPath& path) {
  return path.substr(FolderOf(path).size());
}

}  // namespace FileOps
