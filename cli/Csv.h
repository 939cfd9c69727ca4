// SPDX-License-Identifier: MIT
#pragma once
// Records of a CSV text by RFC 4180: fields separated by commas, records by
// CR LF (a bare LF or CR is taken as well), a field in double quotes may hold
// commas, line breaks and doubled quotes. A UTF-8 byte-order mark at the
// start is dropped; lines without any character are skipped.

#include <string>
#include <string_view>
#include <vector>

struct TCsvRecord {
  std::vector<std::string> Fields;
  // The record's quoting is broken: a quote that is never closed, or text
  // after a closing quote. The fields hold what could be read.
  bool Malformed = false;
  size_t Line = 0;  // the line the record starts on, from 1
};

class TCsvReader {
 public:
  explicit TCsvReader(std::string_view text);
  // The next record; false at the end of the text.
  bool Next(TCsvRecord& record);

 private:
  std::string_view text_;
  size_t at_ = 0;
  size_t line_ = 1;
};
