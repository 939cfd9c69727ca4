#include "settings/NVData.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "calc/FeedParams.h"
#include "settings/DecimalText.h"
#include "settings/SaveFileOps.h"
#include "settings/TaggedReader.h"

std::u16string ProgramDir;
std::u16string DataDir;
int32_t Language = 0;

namespace {

namespace fs = std::filesystem;

constexpr char16_t kSettingsName[] = u"NV-Data.kqn";
constexpr char16_t kFallbackName[] = u"NV-Data.kqx";
constexpr int kValueCells = 200;
constexpr char kEndOfData = 0x1A;

// ---- Paths and streams ------------------------------------------------------
// POSIX calls are used below (fopencookie, fsync, getpid, fchmod). A Windows
// build would open with _wfopen, filter into tmpfile() and replace with
// ReplaceFileW, keeping the same bytes and the same replace-when-complete rule.

// No path when the directory text is not valid UTF-16: such a file cannot be
// opened, which the callers treat like a missing file.
std::optional<fs::path> FilePath(const std::u16string& dir, const char16_t* name) {
  try {
    return fs::path(dir + name);
  } catch (const std::system_error&) {
    return std::nullopt;
  }
}

// The settings bytes as the reader must see them: every CR dropped, nothing
// from a 0x1A byte on.
struct TFilteredSource {
  FILE* file;
  bool ended;
};

ssize_t ReadFiltered(void* cookie, char* buffer, size_t size) {
  auto& source = *static_cast<TFilteredSource*>(cookie);
  size_t kept = 0;
  // A chunk of nothing but CR bytes must not look like the end of the data.
  while (kept == 0 && !source.ended) {
    size_t got = fread(buffer, 1, size, source.file);
    source.ended = got < size;  // end of file or read error: both end the data
    for (size_t i = 0; i < got; ++i) {
      if (buffer[i] == kEndOfData) {
        source.ended = true;
        break;
      }
      if (buffer[i] != '\r') {
        buffer[kept++] = buffer[i];
      }
    }
  }
  return static_cast<ssize_t>(kept);
}

int CloseFiltered(void* cookie) {
  return fclose(static_cast<TFilteredSource*>(cookie)->file);
}

// source must outlive the returned stream.
FILE* OpenFiltered(const std::u16string& dir, const char16_t* name, TFilteredSource& source) {
  std::optional<fs::path> path = FilePath(dir, name);
  if (!path) {
    return nullptr;
  }
  source = {fopen(path->c_str(), "rb"), false};
  if (source.file == nullptr) {
    return nullptr;
  }
  cookie_io_functions_t functions{ReadFiltered, nullptr, nullptr, CloseFiltered};
  FILE* stream = fopencookie(&source, "r", functions);
  if (stream == nullptr) {
    fclose(source.file);
  }
  return stream;
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

// The stroke rate must lie strictly inside this window to be taken.
constexpr double kLowestStoredRate = 9.0;
constexpr double kHighestStoredRate = 2001.0;

void ApplyNumber(int tag, double number, bool fromFallback) {
  switch (tag) {
    case 20:
      FeedParams.FeedLength = number;
      break;
    case 21:
      if (number > kLowestStoredRate && number < kHighestStoredRate) {
        FeedParams.StrokeRate = number;
      }
      break;
    case 22:
      FeedParams.Accel = number;
      break;
    case 23:
      FeedParams.MaxSpeed = number;
      FeedParams.SpeedLimit = number;
      break;
    case 24:
      FeedParams.ApertureAngle = number;
      break;
    case 25:
      // The fallback file sets the acceleration limit through {028} only.
      if (!fromFallback) {
        FeedParams.MaxAccel = number;
      }
      break;
    case 27:
      FeedParams.SettleTime = number;
      break;
    case 28:
      FeedParams.MaxAccel = number;
      break;
    case 30:
      FeedParams.SpeedLimit = number;
      break;
    default:
      break;
  }
}

void ApplyEntry(int tag, const char* text, bool fromFallback) {
  if (tag == 29) {
    FeedParams.SinSqRamps = ReadInteger32(text) != 0;
  } else if (tag == 900) {
    Language = ReadInteger32(text);
  } else if (std::optional<double> number = ReadNumber(text)) {
    ApplyNumber(tag, *number, fromFallback);
  }
}

// ---- Saving -------------------------------------------------------------------

__attribute__((format(printf, 2, 3))) void AppendFormatted(std::string& out, const char* format,
                                                           ...) {
  va_list args;
  va_start(args, format);
  va_list sizing;
  va_copy(sizing, args);
  int length = vsnprintf(nullptr, 0, format, sizing);
  va_end(sizing);
  if (length > 0) {
    size_t start = out.size();
    out.resize(start + static_cast<size_t>(length) + 1);
    vsnprintf(out.data() + start, static_cast<size_t>(length) + 1, format, args);
    out.resize(start + static_cast<size_t>(length));
  }
  va_end(args);
}

std::string FormatContent() {
  TCLocaleScope cLocale;
  const TFeedParams& p = FeedParams;
  std::string out = "Non volatile data for Kolvane (Win)\r\n\r\n";
  AppendFormatted(out, "{900} lan = %d;\r\n", static_cast<int>(Language));
  AppendFormatted(out, "{020} weg = %4.4f; [m]\r\n", p.FeedLength);
  AppendFormatted(out, "{021} hza = %1.1f;\r\n", p.StrokeRate);
  AppendFormatted(out, "{022} bes = %4.3f;\r\n", p.Accel);
  AppendFormatted(out, "{023} max = %f; [m/s]\r\n", p.MaxSpeed);
  AppendFormatted(out, "{029} snq = %d;\r\n", p.SinSqRamps ? 1 : 0);
  AppendFormatted(out,
                  "{024} \xF6"
                  "fw = %1.0f;\r\n",
                  p.ApertureAngle);
  AppendFormatted(out, "{025} max = %f;\r\n", p.MaxAccel);
  AppendFormatted(out, "{027} ruz = %4.3f;\r\n", p.SettleTime);
  AppendFormatted(out, "{030} spd = %f; [m/s]\r\n", p.SpeedLimit);
  return out;
}

// A settings file reached through a symbolic link stays a link: the new
// content replaces the file it points to.
fs::path ResolveLink(const fs::path& target) {
  std::error_code error;
  if (fs::is_symlink(target, error)) {
    fs::path resolved = fs::canonical(target, error);
    if (!error) {
      return resolved;
    }
  }
  return target;
}

// A file that exists must accept writing, as it must for being rewritten in
// place; a missing one is fine.
bool MayReplace(const fs::path& target) {
  int fd = open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    close(fd);
    return true;
  }
  return errno == ENOENT;
}

// A new file beside target, named uniquely so that a leftover of an earlier,
// interrupted save never blocks this one.
FILE* CreateTemporary(const fs::path& target, fs::path& temporary) {
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    char suffix[48];
    snprintf(suffix, sizeof suffix, ".%ld-%d.tmp", static_cast<long>(getpid()), attempt);
    temporary = target;
    temporary += suffix;
    FILE* file = fopen(temporary.c_str(), "wbx");
    if (file != nullptr || errno != EEXIST) {
      return file;
    }
  }
  return nullptr;
}

// The replacement keeps the permissions the old file had.
void CopyMode(const fs::path& from, FILE* to) {
  struct stat status;
  if (stat(from.c_str(), &status) == 0) {
    fchmod(fileno(to), status.st_mode & 07777);
  }
}

// Closes file in every case; true only when everything reached the disk.
bool WriteCompletely(FILE* file, const std::string& content) {
  bool written = SaveFileOps.Write(content.data(), 1, content.size(), file) == content.size();
  written = written && SaveFileOps.Flush(file) == 0;
  bool closed = SaveFileOps.Close(file) == 0;
  return written && closed;
}

void ReplaceFile(const fs::path& target, const std::string& content) {
  fs::path temporary;
  FILE* file = CreateTemporary(target, temporary);
  if (file == nullptr) {
    return;
  }
  CopyMode(target, file);
  if (!WriteCompletely(file, content) || rename(temporary.c_str(), target.c_str()) != 0) {
    remove(temporary.c_str());
  }
}

}  // namespace

const TSaveFileOps RealSaveFileOps = {
    [](const void* data, size_t size, size_t count, FILE* file) {
      return fwrite(data, size, count, file);
    },
    [](FILE* file) { return fflush(file) == 0 && fsync(fileno(file)) == 0 ? 0 : EOF; },
    [](FILE* file) { return fclose(file); },
};

TSaveFileOps SaveFileOps = RealSaveFileOps;

void LoadNVData() {
  TFilteredSource source{};
  bool fromFallback = false;
  FILE* stream = OpenFiltered(DataDir, kSettingsName, source);
  if (stream == nullptr) {
    fromFallback = true;
    stream = OpenFiltered(ProgramDir, kFallbackName, source);
  }
  if (stream == nullptr) {
    return;
  }
  char value[kValueCells];
  for (int tag; (tag = ReadTaggedValue(stream, value, kValueCells)) != -1;) {
    ApplyEntry(tag, value, fromFallback);
  }
  fclose(stream);
}

void SaveNVData() {
  std::optional<fs::path> path = FilePath(DataDir, kSettingsName);
  if (!path) {
    return;
  }
  fs::path target = ResolveLink(*path);
  if (!MayReplace(target)) {
    return;
  }
  ReplaceFile(target, FormatContent());
}
