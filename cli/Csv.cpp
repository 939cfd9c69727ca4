// SPDX-License-Identifier: MIT
#include "cli/Csv.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

TCsvReader::TCsvReader(std::string_view text) : text_(text) {
  if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    at_ = kByteOrderMark.size();
  }
}

bool TCsvReader::Next(TCsvRecord& record) {
  // Empty lines carry no record.
  while (at_ < text_.size() && (text_[at_] == '\n' || text_[at_] == '\r')) {
    if (text_[at_] == '\n' || at_ + 1 >= text_.size() || text_[at_ + 1] != '\n') {
      ++line_;
    }
    ++at_;
  }
  if (at_ >= text_.size()) {
    return false;
  }
  record.Malformed = false;
  record.Line = line_;
  // The fields of the last record are written over, keeping their storage.
  size_t count = 0;
  const auto slot = [&record](size_t index) -> std::string& {
    if (record.Fields.size() <= index) {
      record.Fields.emplace_back();
    }
    record.Fields[index].clear();
    return record.Fields[index];
  };
  std::string* field = &slot(count);
  bool quoted = false;     // inside a quoted part of the field
  bool wasQuoted = false;  // the field began with a quote that has closed
  bool fieldStart = true;
  while (at_ < text_.size()) {
    const char c = text_[at_++];
    if (quoted) {
      if (c == '"') {
        if (at_ < text_.size() && text_[at_] == '"') {
          field->push_back('"');
          ++at_;
        } else {
          quoted = false;
          wasQuoted = true;
        }
      } else {
        if (c == '\n') {
          ++line_;
        }
        field->push_back(c);
      }
      continue;
    }
    if (c == ',') {
      field = &slot(++count);
      fieldStart = true;
      wasQuoted = false;
      continue;
    }
    if (c == '\r' || c == '\n') {
      if (c == '\r' && at_ < text_.size() && text_[at_] == '\n') {
        ++at_;
      }
      ++line_;
      record.Fields.resize(count + 1);
      return true;
    }
    if (c == '"' && fieldStart) {
      quoted = true;
      fieldStart = false;
      continue;
    }
    if (wasQuoted) {
      record.Malformed = true;  // text after the closing quote
    }
    fieldStart = false;
    // The rest of an unquoted run in one go.
    const size_t from = at_ - 1;
    while (at_ < text_.size() && text_[at_] != ',' && text_[at_] != '\r' && text_[at_] != '\n' &&
           text_[at_] != '"') {
      ++at_;
    }
    field->append(text_.data() + from, at_ - from);
  }
  record.Malformed = record.Malformed || quoted;
  record.Fields.resize(count + 1);
  return true;
}
