// The floor of this machine for the work of a best-of-all run, and the ratio
// of the whole run to it, measured in the same process.
//
// The floor kernel is the cheapest form of one grid point of a Burr-type
// search: X^A formed once per exponent row, then per scale value S one pass
// ln(S / (X^A + S)) with the least-squares sums (four partial sums each, in
// any order), and one pass exp(E Xt + D) with the squared misfit of the
// frequencies, the grid points shared out over the processors. A best-of-all
// run at N = 2500 evaluates about a million such points (the grids of the
// Burr, Dagum, Kumaraswamy, Rayleigh and GEV fits and the steps of the four
// bound steppings, counted for the series); the floor of the run is that
// count times the time of one point.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/UDMTavorix.h"
#include "fitting/BurrDagumFits.h"
#include "fitting/ExponentScan.h"
#include "fitting/FitTestSupport.h"
#include "fitting/GevFit.h"
#include "fitting/KumaraswamyFit.h"
#include "fitting/LocationFits.h"
#include "fitting/RayleighFit.h"
#include "fitting/VectorMath.h"
#include "report/RunPipeline.h"

namespace {

using namespace tavorix;
namespace fs = std::filesystem;

// The series of the pipeline benchmark: Weibull-like quantiles with a wobble.
std::vector<double> Series(int n) {
  std::vector<double> v;
  for (int r = 1; r <= n; ++r) {
    const double f = static_cast<double>(r) / (n + 1);
    v.push_back(20.0 * std::pow(-std::log(1.0 - f), 1.0 / 1.6) * (1.0 + 0.02 * std::sin(3.1 * r)));
  }
  return v;
}

// One grid point of the floor; xt and ez are scratch arrays of n values.
double FloorPoint(const double* xa, const double* ft, const double* fr, double s, double* xt,
                  double* ez, int n) {
  LogRatioArray(xa, s, xt, n);
  double sx[4] = {}, sxx[4] = {}, sxf[4] = {}, sf[4] = {};
  int i = 0;
  for (; i + 4 <= n; i += 4)
    for (int j = 0; j < 4; ++j) {
      sx[j] += xt[i + j];
      sxx[j] += xt[i + j] * xt[i + j];
      sxf[j] += xt[i + j] * ft[i + j];
      sf[j] += ft[i + j];
    }
  for (; i < n; ++i) {
    sx[0] += xt[i];
    sxx[0] += xt[i] * xt[i];
    sxf[0] += xt[i] * ft[i];
    sf[0] += ft[i];
  }
  const double mx = (sx[0] + sx[1] + sx[2] + sx[3]) / n, mf = (sf[0] + sf[1] + sf[2] + sf[3]) / n;
  const double cxx = (sxx[0] + sxx[1] + sxx[2] + sxx[3]) / n - mx * mx;
  const double cxf = (sxf[0] + sxf[1] + sxf[2] + sxf[3]) / n - mx * mf;
  const double e = cxf / cxx, d = mf - e * mx;
  ExpAffineArray(xt, e, d, ez, n);
  double sse[4] = {};
  for (i = 0; i + 4 <= n; i += 4)
    for (int j = 0; j < 4; ++j) {
      const double r = fr[i + j] - (1.0 - ez[i + j]);
      sse[j] += r * r;
    }
  for (; i < n; ++i) sse[0] += (fr[i] - (1.0 - ez[i])) * (fr[i] - (1.0 - ez[i]));
  return sse[0] + sse[1] + sse[2] + sse[3];
}

// Processor seconds of this process so far, all threads together.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

struct Seconds {
  double Wall = 0, Cpu = 0;
};

// Seconds (elapsed and processor) per grid point of the floor kernel at
// N = n on all processors: `rows` exponent rows of `cols` scale values.
Seconds FloorSecondsPerPoint(int n, int rows, int cols) {
  std::vector<double> x = Series(n);
  std::sort(x.begin(), x.end());
  std::vector<double> lnx(n), fr(n), ft(n);
  for (int i = 0; i < n; ++i) {
    lnx[i] = std::log(x[i]);
    fr[i] = (i + 1.0) / (n + 1);
    ft[i] = std::log(1.0 - fr[i]);
  }
  const int threads = std::max(1u, std::thread::hardware_concurrency());
  std::vector<double> sink(threads, 0.0);
  auto work = [&](int t) {
    std::vector<double> xa(n), xt(n), ez(n);
    for (int r = t; r < rows; r += threads) {
      ExpScaledArray(lnx.data(), 0.5 + 0.01 * r, xa.data(), n);
      for (int c = 1; c <= cols; ++c)
        sink[t] += FloorPoint(xa.data(), ft.data(), fr.data(), 0.2 * c, xt.data(), ez.data(), n);
    }
  };
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = CpuSeconds();
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t) pool.emplace_back(work, t);
  work(0);
  for (auto& t : pool) t.join();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = CpuSeconds() - cpuStart;
  benchmark::DoNotOptimize(sink.data());
  const double points = static_cast<double>(rows) * cols;
  return {seconds / points, cpu / points};
}

// The grid points and steps of a best-of-all run on the series of n values.
double GridPointsOfRun(int n) {
  TavorixRun run = testing::MakeRun(Series(n));
  FitWorkspace ws = testing::MakeWorkspace(run);
  BurrScaleTable table{};
  const long double xmax = run.X[run.N];
  double points = 2.0 * kBurrExponentSteps * FillBurrScaleTable(xmax, table);
  points += static_cast<double>(kKumaraswamyBoundSteps) * kScanSteps;
  points += static_cast<double>(kRayleighExponentSteps) * kRayleighScaleSteps;
  points += static_cast<double>(kGevShapeSteps) * kGevScaleSteps;
  const double range = static_cast<double>(run.X[run.N] - run.X[1]);
  for (const LocationFitKind& kind :
       {kFrechetKind, kFrechetMirroredKind, kFisherTippett3MirroredKind, kFisherTippett3Kind}) {
    FitLocation(run, ws, kind);
    const FitSlot& slot = run.Slots[kind.Code];
    const double from = kind.Side == BoundSide::Left ? static_cast<double>(run.X[1]) - slot.P.Bounded.C
                                                     : slot.P.Bounded.C - static_cast<double>(run.X[run.N]);
    const double steps = slot.HasResult ? std::round(from / (0.01 * range)) + 1 : 1;
    points += std::min<double>(steps, kind.MaxSteps);
  }
  return points;
}

void BM_FloorKernel(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Seconds perPoint;
  for (auto _ : state) perPoint = FloorSecondsPerPoint(n, 8, 100);
  state.counters["us_per_point"] = perPoint.Wall * 1e6;
  state.counters["cpu_us_per_point"] = perPoint.Cpu * 1e6;
}
BENCHMARK(BM_FloorKernel)->Arg(2500)->ArgName("N")->Unit(benchmark::kMillisecond)->Iterations(3);

// The whole Save-Run pipeline (best of all with composites) against the
// floor of its grid points, both measured here: elapsed time, and processor
// time of all threads (steadier when the machine is shared with other work).
void BM_WholeRunOverFloor(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::string dir = (fs::temp_directory_path() / "tavorix-bench-XXXXXX").string();
  if (!mkdtemp(dir.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const double points = GridPointsOfRun(n);
  const std::string input = dir + "/series.inp";
  Seconds run, floor;
  for (auto _ : state) {
    state.PauseTiming();
    const Seconds perPoint = FloorSecondsPerPoint(n, 8, 100);
    floor = {points * perPoint.Wall, points * perPoint.Cpu};
    TDMTavorix dm;
    dm.FileName = input;
    const std::vector<double> v = Series(n);
    for (int r = 1; r <= n; ++r) {
      dm.Values.push_back(v[r - 1]);
      dm.Serials.push_back(r);
    }
    dm.RemoveFlags.assign(n, 0);
    dm.NrOfData = n;
    dm.NrOfClasses = 10;
    dm.WriteInputFile();
    TavorixRun fitRun;
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    const PipelineResult r = RunSaveRunStages(dm, fitRun, true, PipelineOptions{});
    run.Cpu = CpuSeconds() - cpuStart;
    run.Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    benchmark::DoNotOptimize(r.DistCode);
  }
  fs::remove_all(dir);
  state.counters["grid_points"] = points;
  state.counters["floor_s"] = floor.Wall;
  state.counters["run_s"] = run.Wall;
  state.counters["ratio"] = run.Wall / floor.Wall;
  state.counters["cpu_ratio"] = run.Cpu / floor.Cpu;
  std::printf("whole run / floor at N = %d with composites: %.2f elapsed (run %.2f s, floor %.2f s), "
              "%.2f in processor time (run %.2f s, floor %.2f s)\n",
              n, run.Wall / floor.Wall, run.Wall, floor.Wall, run.Cpu / floor.Cpu, run.Cpu, floor.Cpu);
}
BENCHMARK(BM_WholeRunOverFloor)->Arg(2500)->ArgName("N")->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
