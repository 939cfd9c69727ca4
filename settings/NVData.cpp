// SPDX-License-Identifier: MIT
#include "settings/NVData.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <random>
#include <string_view>

#include "calc/FeedParams.h"
#include "settings/DecimalText.h"
#include "settings/FileOps.h"
#include "settings/SaveFileOps.h"
#include "settings/TaggedReader.h"

std::u16string ProgramDir;
std::u16string DataDir;
int32_t Language = 0;

namespace {

using FileOps::TPath;

constexpr char16_t kSettingsName[] = u"NV-Data.kqn";
constexpr char16_t kFallbackName[] = u"NV-Data.kqx";
constexpr int kValueCells = 200;
constexpr char kEndOfData = 0x1A;
// The real file holds some 300 bytes; whatever lies beyond a MiB is no
// settings, and a link to an endless device must not keep the start waiting.
constexpr std::size_t kMostBytesRead = std::size_t{1} << 20;

// ---- Paths and reading ------------------------------------------------------

bool IsWellFormed(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
    const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
    if (low || (high && (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF))) {
      return false;
    }
    i += high ? 1 : 0;
  }
  return true;
}

// No path when the directory text is not valid UTF-16: such a file cannot be
// opened, which the callers treat like a missing file.
std::optional<TPath> FilePath(const std::u16string& dir, const char16_t* name) {
  const std::u16string text = dir + name;
  if (!IsWellFormed(text)) {
    return std::nullopt;
  }
  return FileOps::NativePath(text);
}

// The settings text as the reader must see it: every CR dropped, nothing from
// a 0x1A byte on. Nothing when the file cannot be opened or is no regular
// file (a directory, a FIFO, a device), all of which count as missing.
std::optional<TTextBytes> ReadSettingsText(const std::u16string& dir, const char16_t* name) {
  std::optional<TPath> path = FilePath(dir, name);
  std::string bytes;
  if (!path || FileOps::ReadRegularFile(*path, kMostBytesRead, bytes) != FileOps::TFound::Regular) {
    return std::nullopt;
  }
  TTextBytes text;
  for (char ch : bytes) {
    if (ch == kEndOfData) {
      break;
    }
    if (ch != '\r') {
      text.Text.push_back(ch);
    }
  }
  return text;
}

// ---- Numbers -----------------------------------------------------------------

// A number that overflows has no place in the parameters: no value, so that
// the entry is ignored.
std::optional<double> ReadNumber(const char* text) {
  const double value = ReadDecimal(text);
  if (std::isinf(value)) {
    return std::nullopt;
  }
  return value;
}

// ---- Loading ------------------------------------------------------------------

// The field each numbered entry fills. A stored value that the window would
// refuse when it reads its box back is not taken: the window refuses it at
// every pass, with a message, and two such boxes send the focus back and
// forth between their messages for good. Each entry's range is the window's
// input range of its field, in the window's unit; the settling time has none.
struct TStoredField {
  int Tag;
  double TFeedParams::*Field;
};
constexpr TStoredField kStoredFields[] = {
    {20, &TFeedParams::FeedLength},    {21, &TFeedParams::StrokeRate},
    {22, &TFeedParams::Accel},         {23, &TFeedParams::MaxSpeed},
    {24, &TFeedParams::ApertureAngle}, {25, &TFeedParams::MaxAccel},
    {27, &TFeedParams::SettleTime},    {28, &TFeedParams::MaxAccel},
    {30, &TFeedParams::SpeedLimit},
};

const TStoredField* StoredFieldOf(int tag) {
  for (const TStoredField& stored : kStoredFields) {
    if (stored.Tag == tag) {
      return &stored;
    }
  }
  return nullptr;
}

// The stroke rate must, besides, lie strictly inside this window to be taken.
constexpr double kLowestStoredRate = 9.0;
constexpr double kHighestStoredRate = 2001.0;

void ApplyNumber(TFeedParams& params, int tag, double number, bool fromFallback) {
  const TStoredField* stored = StoredFieldOf(tag);
  if (stored == nullptr) {
    return;
  }
  const TTypedField& typed = *TypedField(stored->Field);
  if (!typed.Takes(number * typed.WindowUnitsPerStored)) {
    return;
  }
  if (tag == 21 && !(number > kLowestStoredRate && number < kHighestStoredRate)) {
    return;
  }
  // The fallback file sets the acceleration limit through {028} only.
  if (tag == 25 && fromFallback) {
    return;
  }
  params.*stored->Field = number;
  if (tag == 23) {
    params.SpeedLimit = number;
  }
}

void ApplyEntry(TFeedParams& params, int32_t& language, int tag, const char* text,
                bool fromFallback) {
  if (tag == 29) {
    params.SinSqRamps = ReadInteger32(text) != 0;
  } else if (tag == 900) {
    language = ReadInteger32(text);
  } else if (std::optional<double> number = ReadNumber(text)) {
    ApplyNumber(params, tag, *number, fromFallback);
  }
}

// ---- Saving -------------------------------------------------------------------

// The formats are those of the C conversions "%d", "%4.4f", "%1.1f", "%4.3f",
// "%f" and "%1.0f". A value of about 1e198 or more is written with more than
// the 199 characters that LoadNVData keeps of a value, so it does not come
// back as it was; only the settling time can be typed that large, and the
// format stays as it is.
std::string FormatContent(const TFeedParams& p, int32_t language) {
  std::string out = "Non volatile data for Kolvane (Win)\r\n\r\n";
  const auto line = [&out](const char* front, auto append, const char* back) {
    out += front;
    append();
    out += back;
  };
  line(
      "{900} lan = ", [&] { AppendInteger(out, language); }, ";\r\n");
  line(
      "{020} weg = ", [&] { AppendFixed(out, p.FeedLength, 4, 4); }, "; [m]\r\n");
  line(
      "{021} hza = ", [&] { AppendFixed(out, p.StrokeRate, 1); }, ";\r\n");
  line(
      "{022} bes = ", [&] { AppendFixed(out, p.Accel, 3, 4); }, ";\r\n");
  line(
      "{023} max = ", [&] { AppendFixed(out, p.MaxSpeed, 6); }, "; [m/s]\r\n");
  line(
      "{029} snq = ", [&] { AppendInteger(out, p.SinSqRamps ? 1 : 0); }, ";\r\n");
  line(
      "{024} \xF6"
      "fw = ",
      [&] { AppendFixed(out, p.ApertureAngle, 0); }, ";\r\n");
  line(
      "{025} max = ", [&] { AppendFixed(out, p.MaxAccel, 6); }, ";\r\n");
  line(
      "{027} ruz = ", [&] { AppendFixed(out, p.SettleTime, 3, 4); }, ";\r\n");
  line(
      "{030} spd = ", [&] { AppendFixed(out, p.SpeedLimit, 6); }, "; [m/s]\r\n");
  return out;
}

// Only a regular file that could be read may be written over: anything else
// in its place (a directory, a FIFO, a device behind a link) is not the
// user's settings file, and one that cannot be read may hold figures that
// the start could not take, which the defaults must not replace.
bool MayWriteOver(const TPath& target) {
  std::string nothing;
  const FileOps::TFound found = FileOps::ReadRegularFile(target, 0, nothing);
  return found == FileOps::TFound::Regular || found == FileOps::TFound::Missing;
}

// ---- Temporary files

// A temporary file is named "<settings file>.<16 hex digits>.tmp"; earlier
// versions named theirs "<settings file>.<process id>-<n>.tmp".
constexpr std::chrono::minutes kAbandonedAfter{1};
constexpr int kRandomDigits = 16;

template <typename Char>
bool AllOf(std::basic_string_view<Char> text, bool (*accept)(Char)) {
  for (Char ch : text) {
    if (!accept(ch)) {
      return false;
    }
  }
  return true;
}

template <typename Char>
bool IsDigitChar(Char ch) {
  return ch >= Char('0') && ch <= Char('9');
}

template <typename Char>
bool IsLowerHexChar(Char ch) {
  return IsDigitChar(ch) || (ch >= Char('a') && ch <= Char('f'));
}

// The middle part of a temporary name: 16 hex digits, or a process id and a
// counter.
template <typename Char>
bool IsTemporaryStem(std::basic_string_view<Char> stem) {
  if (stem.size() == kRandomDigits && AllOf(stem, IsLowerHexChar<Char>)) {
    return true;
  }
  const std::size_t dash = stem.find(Char('-'));
  if (dash == 0 || dash == stem.npos || dash + 1 == stem.size()) {
    return false;
  }
  return AllOf(stem.substr(0, dash), IsDigitChar<Char>) &&
         AllOf(stem.substr(dash + 1), IsDigitChar<Char>);
}

template <typename Char>
bool IsTemporaryName(std::basic_string_view<Char> name, std::basic_string_view<Char> settings) {
  constexpr Char kTail[] = {Char('.'), Char('t'), Char('m'), Char('p')};
  const std::basic_string_view<Char> tail(kTail, 4);
  if (name.size() < settings.size() + 1 + tail.size() ||
      name.substr(0, settings.size()) != settings || name[settings.size()] != Char('.') ||
      name.substr(name.size() - tail.size()) != tail) {
    return false;
  }
  return IsTemporaryStem(
      name.substr(settings.size() + 1, name.size() - settings.size() - 1 - tail.size()));
}

// Removes the temporary files that saves of target killed on the way left
// behind. One younger than a minute may belong to a save running right now
// and is left alone.
void RemoveAbandonedTemporaries(const TPath& target) {
  using TName = std::basic_string_view<TPath::value_type>;
  const TPath settings = FileOps::NameOf(target);
  for (const TPath& path : FileOps::OldFilesBeside(target, kAbandonedAfter)) {
    if (IsTemporaryName(TName(FileOps::NameOf(path)), TName(settings))) {
      FileOps::Remove(path);
    }
  }
}

// ".<16 random hex digits>.tmp"
std::string RandomTemporarySuffix() {
  static std::mt19937_64 generator = [] {
    std::random_device device;
    return std::mt19937_64((uint64_t{device()} << 32) ^ device());
  }();
  const uint64_t number = generator();
  std::string suffix = ".";
  for (int shift = 4 * (kRandomDigits - 1); shift >= 0; shift -= 4) {
    suffix.push_back("0123456789abcdef"[(number >> shift) & 0xF]);
  }
  suffix.append(".tmp");
  return suffix;
}

// A new file beside target under a random name, created exclusively, so that
// neither a leftover of a killed save nor a save running beside this one is
// ever opened.
FILE* CreateTemporary(const TPath& target, TPath& temporary, FileOps::TResult& result) {
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string suffix = RandomTemporarySuffix();
    temporary = target;
    temporary.append(suffix.begin(), suffix.end());
    FILE* file = FileOps::CreateNew(temporary, result);
    if (result != FileOps::TResult::Exists) {
      return file;
    }
  }
  return nullptr;
}

// ---- Writing

// Closes file in every case; true only when everything reached the disk.
bool WriteCompletely(FILE* file, const std::string& content) {
  bool written = SaveFileOps.Write(content.data(), 1, content.size(), file) == content.size();
  written = written && SaveFileOps.Flush(file) == 0;
  bool closed = SaveFileOps.Close(file) == 0;
  return written && closed;
}

enum class TSaved { Done, FolderRefused, Failed };

// The normal save: the new content goes to a temporary file, which replaces
// target only once it is completely written and on the disk; on any failure
// it is removed and target stays as it was.
TSaved SaveBeside(const TPath& target, const std::string& content) {
  TPath temporary;
  FileOps::TResult result;
  FILE* file = CreateTemporary(target, temporary, result);
  if (file == nullptr) {
    return result == FileOps::TResult::Denied ? TSaved::FolderRefused : TSaved::Failed;
  }
  FileOps::CopyPermissions(target, file);
  if (WriteCompletely(file, content)) {
    result = FileOps::Replace(temporary, target);
    if (result == FileOps::TResult::Done) {
      return TSaved::Done;
    }
  }
  FileOps::Remove(temporary);
  return result == FileOps::TResult::Denied ? TSaved::FolderRefused : TSaved::Failed;
}

// For a folder that takes no new file (read-only, or sticky and someone
// else's) while the file itself may be written: rewritten where it is. A
// failed write is not reported; nothing better could be done about it.
void SaveInPlace(const TPath& target, const std::string& content) {
  if (FILE* file = FileOps::OpenToRewrite(target)) {
    WriteCompletely(file, content);
  }
}

}  // namespace

const TSaveFileOps RealSaveFileOps = {
    [](const void* data, size_t size, size_t count, FILE* file) {
      return fwrite(data, size, count, file);
    },
    [](FILE* file) { return FileOps::FlushToDisk(file) ? 0 : EOF; },
    [](FILE* file) { return fclose(file); },
};

TSaveFileOps SaveFileOps = RealSaveFileOps;

void LoadNVData() {
  LoadNVData(FeedParams, Language, DataDir, ProgramDir);
}

void LoadNVData(TFeedParams& params, int32_t& language, const std::u16string& dataDir,
                const std::u16string& programDir) {
  bool fromFallback = false;
  std::optional<TTextBytes> text = ReadSettingsText(dataDir, kSettingsName);
  if (!text) {
    fromFallback = true;
    text = ReadSettingsText(programDir, kFallbackName);
  }
  if (!text) {
    return;
  }
  char value[kValueCells];
  for (int tag; (tag = ReadTaggedValue(*text, value, kValueCells)) != -1;) {
    ApplyEntry(params, language, tag, value, fromFallback);
  }
}

void SaveNVData() {
  SaveNVData(FeedParams, Language, DataDir);
}

void SaveNVData(const TFeedParams& params, int32_t language, const std::u16string& dataDir) {
  std::optional<TPath> path = FilePath(dataDir, kSettingsName);
  if (!path) {
    return;
  }
  // A settings file reached through a symbolic link stays a link: the new
  // content replaces the file it points to.
  const TPath target = FileOps::ResolveLink(*path);
  if (!MayWriteOver(target)) {
    return;
  }
  RemoveAbandonedTemporaries(target);
  const std::string content = FormatContent(params, language);
  if (SaveBeside(target, content) == TSaved::FolderRefused) {
    SaveInPlace(target, content);
  }
}
