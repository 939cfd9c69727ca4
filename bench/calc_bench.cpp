// SPDX-License-Identifier: MIT
// Speed of one display refresh's calculation, for each calculation page, on
// the arithmetic the build gives it (its name ends each benchmark's).

#include <benchmark/benchmark.h>

#include "calc/FeedCalc.h"
#include "calc/FeedParams.h"

namespace {

// The inputs either request reads stay as they are: the stroke-rate request
// only overwrites Accel, which it does not read, and the feed-timing request
// writes no input. So the defaults are set once and every iteration computes
// the same profile.
void RunRequest(benchmark::State& state, uint8_t request) {
  FeedParams = TFeedParams{};
  SetDefaultFeedParams();
  for (auto _ : state) {
    CalcFeed(request);
    benchmark::DoNotOptimize(FeedParams);
    benchmark::ClobberMemory();
  }
}

void BM_StrokeRatePage(benchmark::State& state) {
  RunRequest(state, CALC_STROKERATE | CALC_CYCLE);
}
BENCHMARK(BM_StrokeRatePage)->Name("BM_StrokeRatePage/" KOLVANE_BENCH_ARITHMETIC);

void BM_FeedTimingPage(benchmark::State& state) {
  RunRequest(state, CALC_FEEDTIME | CALC_CYCLE);
}
BENCHMARK(BM_FeedTimingPage)->Name("BM_FeedTimingPage/" KOLVANE_BENCH_ARITHMETIC);

}  // namespace
