// The parametric bootstrap at N = 100 on two threads: B = 1000 replicas of
// each distribution that can be drawn from (the code refitted in every
// replica), and B = 200 replicas with the choice redone among all
// distributions and composites.
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <vector>

#include "calculator/Bootstrap.h"
#include "core/TavorixError.h"
#include "fitting/Registry.h"

namespace {

using namespace tavorix;

// A skewed series with a kink above its upper third, so that every
// composite finds its parts (input order).
std::vector<double> Series(int n) {
  std::vector<double> v;
  for (int r = 1; r <= n; ++r) {
    const double f = static_cast<double>(r) / (n + 1);
    v.push_back(20.0 + 4.0 * -std::log(-std::log(f)) + (3 * r > 2 * n ? 0.6 * (r - 2 * n / 3.0) * 60.0 / n : 0.0));
  }
  return v;
}

void Bootstrap(benchmark::State& state, int code, int replicas, bool reselect) {
  BootstrapSeries series;
  try {
    series = FitBootstrapSeries(Series(100), code, true);
  } catch (const TavorixError& e) {
    state.SkipWithError(e.what());
    return;
  }
  BootstrapOptions options;
  options.Replicas = replicas;
  options.Reselect = reselect;
  options.Jobs = 2;
  int failed = 0;
  // Processor seconds of all threads (the benchmark's own CPU time is the
  // calling thread's, which only waits for the replicas).
  const std::clock_t start = std::clock();
  for (auto _ : state) {
    const BootstrapResult r = RunBootstrap(series, options);
    failed = r.Failed;
    benchmark::DoNotOptimize(r.Rows.data());
  }
  state.counters["failed"] = failed;
  state.counters["processor_s"] = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

void BM_BootstrapReselect(benchmark::State& state) { Bootstrap(state, 4, 200, true); }

// B = 1000 of every code with a quantile function, registered by code.
const bool kRegistered = [] {
  for (const DistributionInfo& d : Registry()) {
    if (d.Kind == DistKind::TitleOnly || NoXFromFrequency(d.Code)) continue;
    const int code = d.Code;
    benchmark::RegisterBenchmark(("BM_Bootstrap1000/code:" + std::to_string(code)).c_str(),
                                 [code](benchmark::State& s) { Bootstrap(s, code, 1000, false); })
        ->Unit(benchmark::kSecond)
        ->UseRealTime()
        ->Iterations(1);
  }
  return true;
}();

}  // namespace

BENCHMARK(BM_BootstrapReselect)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
