// SPDX-License-Identifier: MIT
// Speed of the tagged-value reader against the floor of its own input
// operation (one fgetc per byte over the same bytes), and of a settings file
// load and save.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "calc/FeedParams.h"
#include "settings/NVData.h"
#include "settings/TaggedReader.h"

namespace {

namespace fs = std::filesystem;

// About 1 MB of entries in the settings file's own style, with a few of the
// larger syntax's forms mixed in.
const std::string& TaggedText() {
  static const std::string text = [] {
    const char* const lines[] = {
        "{020} weg = 0.0100; [m]\r\n",     "{021} hza = 100.0;\r\n",
        "{+++} bes = 10.000;\r\n",         "{023} max = 1.333400; [m/s]\r\n",
        "{024.002} \"quoted  value\"\r\n", "{999} note = some words here;\r\n",
    };
    std::string out;
    while (out.size() < (1u << 20)) {
      for (const char* line : lines) {
        out += line;
      }
    }
    return out;
  }();
  return text;
}

// A read-only stream over the text, rewound before each pass.
class TTextStream {
 public:
  TTextStream() : text_(TaggedText()), file_(fmemopen(text_.data(), text_.size(), "r")) {}
  ~TTextStream() { fclose(file_); }
  TTextStream(const TTextStream&) = delete;
  TTextStream& operator=(const TTextStream&) = delete;
  FILE* Rewound() {
    rewind(file_);
    return file_;
  }

 private:
  std::string text_;
  FILE* file_;
};

void BM_FgetcFloor(benchmark::State& state) {
  TTextStream stream;
  for (auto _ : state) {
    FILE* file = stream.Rewound();
    int sum = 0;
    for (int ch; (ch = fgetc(file)) != EOF;) {
      sum += ch;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(TaggedText().size()));
}
BENCHMARK(BM_FgetcFloor);

void BM_ReadTaggedValue(benchmark::State& state) {
  TTextStream stream;
  char value[200];
  for (auto _ : state) {
    FILE* file = stream.Rewound();
    int entries = 0;
    while (ReadTaggedValue(file, value, sizeof value) != -1) {
      ++entries;
    }
    benchmark::DoNotOptimize(entries);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(TaggedText().size()));
}
BENCHMARK(BM_ReadTaggedValue);

void BM_ReadTaggedValueWithRaw(benchmark::State& state) {
  TTextStream stream;
  char value[200];
  char raw[400];
  for (auto _ : state) {
    FILE* file = stream.Rewound();
    int entries = 0;
    while (ReadTaggedValue(file, value, sizeof value, raw, sizeof raw) != -1) {
      ++entries;
    }
    benchmark::DoNotOptimize(entries);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(TaggedText().size()));
}
BENCHMARK(BM_ReadTaggedValueWithRaw);

// A fresh data directory for the settings file benchmarks, removed afterwards.
class TBenchDataDir {
 public:
  TBenchDataDir()
      : path_(fs::temp_directory_path() / ("kolvane-bench-" + std::to_string(getpid()))) {
    fs::create_directories(path_);
    DataDir = path_.u16string() + u"/";
    ProgramDir = DataDir;
    SetDefaultFeedParams();
    Language = 0;
  }
  ~TBenchDataDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TBenchDataDir(const TBenchDataDir&) = delete;
  TBenchDataDir& operator=(const TBenchDataDir&) = delete;

 private:
  fs::path path_;
};

void BM_LoadNVData(benchmark::State& state) {
  TBenchDataDir dir;
  SaveNVData();
  for (auto _ : state) {
    LoadNVData();
    benchmark::DoNotOptimize(FeedParams);
  }
}
BENCHMARK(BM_LoadNVData);

// Includes the flush to the disk that makes the replacement safe.
void BM_SaveNVData(benchmark::State& state) {
  TBenchDataDir dir;
  for (auto _ : state) {
    SaveNVData();
  }
}
BENCHMARK(BM_SaveNVData);

}  // namespace
