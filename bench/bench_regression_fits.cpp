// Time of each line-based single fit and of Student at N = 100, 500 and 2500
// on generated, Gumbel-like positive data.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"
#include "fitting/RegressionFits.h"
#include "fitting/StudentFit.h"
#include "fitting/FitTestSupport.h"

namespace {

using namespace tavorix;

TavorixRun GeneratedRun(int n) {
  std::mt19937 gen(20240601u + n);
  std::extreme_value_distribution<double> gumbel(20.0, 4.0);
  std::vector<double> v(n);
  for (double& x : v) x = std::max(0.5, gumbel(gen));
  return testing::MakeRun(std::move(v));
}

void BM_RegressionFit(benchmark::State& state, int code) {
  TavorixRun run = GeneratedRun(static_cast<int>(state.range(0)));
  FitWorkspace ws;
  ws.Prepare(run);
  for (auto _ : state) {
    FindDistribution(code)->Fit(run, ws, code);
    benchmark::DoNotOptimize(run.Slots[code].Score);
  }
}

void BM_Student(benchmark::State& state) {
  TavorixRun run = GeneratedRun(static_cast<int>(state.range(0)));
  FitWorkspace ws;
  ws.Prepare(run);
  for (auto _ : state) benchmark::DoNotOptimize(FitStudent(run, ws));
}

#define TAVORIX_FIT_BENCH(code) \
  BENCHMARK_CAPTURE(BM_RegressionFit, code##_, code)->Arg(100)->Arg(500)->Arg(2500)->Unit(benchmark::kMicrosecond)

TAVORIX_FIT_BENCH(3);
TAVORIX_FIT_BENCH(4);
TAVORIX_FIT_BENCH(5);
TAVORIX_FIT_BENCH(6);
TAVORIX_FIT_BENCH(51);
TAVORIX_FIT_BENCH(52);
TAVORIX_FIT_BENCH(53);
TAVORIX_FIT_BENCH(54);
TAVORIX_FIT_BENCH(55);
TAVORIX_FIT_BENCH(57);
TAVORIX_FIT_BENCH(60);
TAVORIX_FIT_BENCH(64);
TAVORIX_FIT_BENCH(65);
TAVORIX_FIT_BENCH(66);
BENCHMARK(BM_Student)->Arg(100)->Arg(500)->Arg(2500)->Unit(benchmark::kMicrosecond);

}  // namespace
