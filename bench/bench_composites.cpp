// Timings of the composite groups: the twelve simple composites and the ten
// generalized composites, each group as one fit-all run would run it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "fitting/Composites.h"
#include "fitting/FitTestSupport.h"

namespace {

using namespace tavorix;

// Two Gumbel populations joined at X = 10, with a small wobble so that no
// part fits exactly.
TavorixRun MakeBenchRun(int n) {
  std::vector<double> v(n);
  for (int r = 1; r <= n; ++r) {
    const double f = static_cast<double>(r) / (n + 1);
    const double z = -std::log(-std::log(f));
    const double x = f <= std::exp(-std::exp(-1.0)) ? (z + 4.0) / 0.5 : z / 0.1;
    v[r - 1] = x * (1.0 + 0.03 * std::sin(1.7 * r));
  }
  return testing::MakeRun(std::move(v));
}

void BM_SimpleComposites(benchmark::State& state) {
  TavorixRun run = MakeBenchRun(static_cast<int>(state.range(0)));
  FitWorkspace ws;
  ws.Prepare(run);
  for (auto _ : state) {
    for (int code = 7; code <= 18; ++code) FitSimpleComposite(run, ws, code);
    benchmark::DoNotOptimize(run.Slots[18].Score);
  }
}
BENCHMARK(BM_SimpleComposites)->Arg(100)->Arg(500)->Arg(2500)->Unit(benchmark::kMillisecond);

void BM_GeneralizedComposites(benchmark::State& state) {
  TavorixRun run = MakeBenchRun(static_cast<int>(state.range(0)));
  FitWorkspace ws;
  ws.Prepare(run);
  for (auto _ : state) {
    for (int code : {70, 71, 72, 74, 80, 81, 82, 83, 84, 85}) FitGeneralizedComposite(run, ws, code);
    benchmark::DoNotOptimize(run.Slots[85].Score);
  }
}
BENCHMARK(BM_GeneralizedComposites)->Arg(100)->Arg(500)->Arg(2500)->Unit(benchmark::kMillisecond);

// One generalized code alone (the heaviest single step of the group).
void BM_GeneralizedComposite71(benchmark::State& state) {
  TavorixRun run = MakeBenchRun(static_cast<int>(state.range(0)));
  FitWorkspace ws;
  ws.Prepare(run);
  for (auto _ : state) {
    FitGeneralizedComposite(run, ws, 71);
    benchmark::DoNotOptimize(run.Slots[71].Score);
  }
}
BENCHMARK(BM_GeneralizedComposite71)->Arg(100)->Arg(500)->Arg(2500)->Unit(benchmark::kMillisecond);

}  // namespace
