// SPDX-License-Identifier: MIT
// Arbitrary bytes as the settings file: written into a data directory of its
// own (or, when byte 0 is odd, as the fallback file beside it), then loaded
// over the defaults. No input field may come out infinite or NaN.

#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "calc/FeedParams.h"
#include "settings/NVData.h"
#include "settings/TaggedReader.h"

namespace {

namespace fs = std::filesystem;

// Created once per fuzzing process, removed when it exits.
class TFuzzDir {
 public:
  TFuzzDir()
      : path_(fs::temp_directory_path() / ("kolvane-fuzz-loader-" + std::to_string(getpid()))) {
    fs::create_directories(path_);
  }
  ~TFuzzDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void WriteFile(const fs::path& path, const uint8_t* data, size_t size) {
  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::abort();
  }
  fwrite(data, 1, size, file);
  fclose(file);
}

void CheckFinite(double value) {
  if (!std::isfinite(value)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TFuzzDir dir;
  if (size == 0) {
    return 0;
  }
  const bool asFallback = data[0] & 1;
  const fs::path settings = dir.path() / "NV-Data.kqn";
  const fs::path fallback = dir.path() / "NV-Data.kqx";
  std::error_code ignored;
  fs::remove(settings, ignored);
  fs::remove(fallback, ignored);
  WriteFile(asFallback ? fallback : settings, data + 1, size - 1);

  DataDir = dir.path().u16string() + u"/";
  ProgramDir = DataDir;
  SetDefaultFeedParams();
  Language = 0;
  LastTag = 0;
  LoadNVData();

  const TFeedParams& p = FeedParams;
  for (double field : {p.FeedLength, p.Accel, p.SpeedLimit, p.MaxSpeed, p.MaxAccel, p.ApertureAngle,
                       p.SettleTime, p.StartSpeed, p.StrokeRate}) {
    CheckFinite(field);
  }
  return 0;
}
