// Timings of the Burr, Dagum, Gompertz, Kumaraswamy, generalized Rayleigh and
// adjusted Fisk grid fits at N = 100, 500 and 2500.
//
// The data are Weibull quantiles at the plotting positions with their largest
// value between 50 and 100, so the Burr and Dagum scale grid has its usual
// size (step 0.2, about 300 to 420 scale values below the data). The "Wide"
// Burr case puts the largest value between 30000 and 40000, where the step is
// 20 and the grid nearly fills its 2000 values (the heaviest case).

#include <benchmark/benchmark.h>

#include <cmath>

#include "fitting/TavorixRun.h"
#include "fitting/BurrDagumFits.h"
#include "fitting/FiskFit.h"
#include "fitting/FitWorkspace.h"
#include "fitting/GompertzFit.h"
#include "fitting/KumaraswamyFit.h"
#include "fitting/RayleighFit.h"

namespace {

using namespace tavorix;

TavorixRun MakeBenchRun(int n, long double scale) {
  TavorixRun run;
  run.N = n;
  run.X.assign(n + 1, 0.0L);
  run.Fr.assign(n + 1, 0.0L);
  run.SerialOfRank.assign(n + 1, 0);
  for (int r = 1; r <= n; ++r) {
    const long double f = static_cast<long double>(r) / (n + 1);
    run.Fr[r] = f;
    run.X[r] = scale * std::pow(-std::log(1.0L - f), 0.7L);
    run.SerialOfRank[r] = r;
  }
  return run;
}

template <void (*Fit)(TavorixRun&, FitWorkspace&), int Scale = 20>
void BM_Fit(benchmark::State& state) {
  TavorixRun run = MakeBenchRun(static_cast<int>(state.range(0)), Scale);
  FitWorkspace ws;
  ws.Prepare(run);
  for (auto _ : state) {
    Fit(run, ws);
    benchmark::DoNotOptimize(run.Slots.data());
  }
}

#define GRID_FIT_BENCH(fit) \
  BENCHMARK(BM_Fit<fit>)->Name(#fit)->Arg(100)->Arg(500)->Arg(2500)->Unit(benchmark::kMillisecond)

GRID_FIT_BENCH(FitBurr);
GRID_FIT_BENCH(FitDagum);
GRID_FIT_BENCH(FitGompertz);
GRID_FIT_BENCH(FitKumaraswamy);
GRID_FIT_BENCH(FitRayleigh);
GRID_FIT_BENCH(FitFisk);
BENCHMARK(BM_Fit<FitBurr, 9000>)->Name("FitBurrWide")->Arg(500)->Arg(2500)->Unit(benchmark::kMillisecond);

}  // namespace
