// Time of one normal-family fit per code at N = 100, 500 and 2500. Codes 23
// (201 x 201 trials) and 26 (280 x 201 trials) are the heavy ones.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"
#include "fitting/NormalFamily.h"

namespace {

using tavorix::FitWorkspace;
using tavorix::TavorixRun;

// Inverse of the standard normal integral, by bisection on erfc.
double NormalQuantile(double p) {
  double lo = -40, hi = 40;
  for (int i = 0; i < 200; ++i) {
    const double mid = 0.5 * (lo + hi);
    if (0.5 * std::erfc(-mid / std::sqrt(2.0)) < p) lo = mid; else hi = mid;
  }
  return 0.5 * (lo + hi);
}

// A series whose squares are normal quantiles at the plotting positions:
// code 26 finds its exponent near 2, late in its grid, where the early stop
// of the trial sums helps least.
TavorixRun MakeSeries(int n) {
  TavorixRun run;
  run.N = n;
  run.X.assign(n + 1, 0.0L);
  run.Fr.assign(n + 1, 0.0L);
  run.SerialOfRank.assign(n + 1, 0);
  for (int r = 1; r <= n; ++r) {
    const double p = static_cast<double>(r) / (n + 1);
    const double z = NormalQuantile(p);
    run.X[r] = std::sqrt(20.0 + 4.0 * z);
    run.Fr[r] = static_cast<long double>(r) / (n + 1);
    run.SerialOfRank[r] = r;
  }
  return run;
}

void BM_FitNormalFamily(benchmark::State& state) {
  const int code = static_cast<int>(state.range(0));
  const int n = static_cast<int>(state.range(1));
  TavorixRun run = MakeSeries(n);
  FitWorkspace ws;
  ws.Prepare(run);
  for (auto _ : state) {
    tavorix::FitNormalFamily(run, ws, code);
    benchmark::DoNotOptimize(run.Slots[code].Score);
  }
  state.counters["E"] = run.Slots[code].P.Normal.E;
  state.counters["sigma"] = run.Slots[code].P.Normal.Sigma;
}

BENCHMARK(BM_FitNormalFamily)
    ->ArgNames({"code", "N"})
    ->ArgsProduct({{20, 21, 22, 24, 25}, {100, 500, 2500}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FitNormalFamily)
    ->ArgNames({"code", "N"})
    ->ArgsProduct({{23, 26}, {100, 500, 2500}})
    ->Unit(benchmark::kMillisecond);

// One trial evaluation of the misfit loop, in time per datum.
void BM_HastingsF(benchmark::State& state) {
  std::vector<double> t(2501);
  for (int i = 1; i <= 2500; ++i) t[i] = -3.0 + 8.0 * i / 2500;
  for (auto _ : state) {
    double s = 0;
    for (int i = 1; i <= 2500; ++i) s += tavorix::HastingsF(t[i], 0.1, 1.1);
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations() * 2500);
}
BENCHMARK(BM_HastingsF);

}  // namespace
