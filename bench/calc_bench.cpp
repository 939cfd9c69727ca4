// SPDX-License-Identifier: MIT
// Speed of one display refresh's calculation, for each calculation page, and
// of jobs spread over the inputs as a chart or a batch runs them, on the
// arithmetic the build gives it (its name ends each benchmark's).

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

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

// Jobs spread over the input ranges, as a chart or a batch computes them:
// what the arithmetic does depends on the values (which operand is the
// larger, which way a result rounds), and with one profile over and over the
// processor would learn it.
struct TJob {
  double FeedLength;
  double StrokeRate;
  double Accel;
  bool SinSqRamps;
};

std::vector<TJob> SpreadJobs() {
  std::mt19937_64 random(1);
  const auto within = [&](TInputRange range) {
    return std::uniform_real_distribution<double>(range.Low, range.High)(random);
  };
  std::vector<TJob> jobs(4096);
  for (TJob& job : jobs) {
    job = {within(FeedLengthRange) / MillimetresPerMetre, within(StrokeRateRange),
           within(AccelRange), (random() & 1) != 0};
  }
  return jobs;
}

void RunJobs(benchmark::State& state, uint8_t request) {
  FeedParams = TFeedParams{};
  SetDefaultFeedParams();
  const std::vector<TJob> jobs = SpreadJobs();
  size_t next = 0;
  for (auto _ : state) {
    const TJob& job = jobs[next++ % jobs.size()];
    FeedParams.FeedLength = job.FeedLength;
    FeedParams.StrokeRate = job.StrokeRate;
    FeedParams.Accel = job.Accel;
    FeedParams.SinSqRamps = job.SinSqRamps;
    CalcFeed(request);
    benchmark::DoNotOptimize(FeedParams);
    benchmark::ClobberMemory();
  }
}

void BM_StrokeRateJobs(benchmark::State& state) {
  RunJobs(state, CALC_STROKERATE | CALC_CYCLE);
}
BENCHMARK(BM_StrokeRateJobs)->Name("BM_StrokeRateJobs/" KOLVANE_BENCH_ARITHMETIC);

void BM_FeedTimingJobs(benchmark::State& state) {
  RunJobs(state, CALC_FEEDTIME | CALC_CYCLE);
}
BENCHMARK(BM_FeedTimingJobs)->Name("BM_FeedTimingJobs/" KOLVANE_BENCH_ARITHMETIC);

}  // namespace
