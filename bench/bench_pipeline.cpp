// Timings of the whole Save-Run pipeline (best of all) from a written input
// file to the results files, with and without composite distributions.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "core/UDMTavorix.h"
#include "report/RunPipeline.h"

namespace {

using namespace tavorix;
namespace fs = std::filesystem;

// A skewed series (Weibull-like quantiles with a wobble), in input order.
void WriteSeries(TDMTavorix& dm, const std::string& path, int n) {
  dm = TDMTavorix{};
  dm.FileName = path;
  for (int r = 1; r <= n; ++r) {
    const double f = static_cast<double>(r) / (n + 1);
    dm.Values.push_back(20.0 * std::pow(-std::log(1.0 - f), 1.0 / 1.6) * (1.0 + 0.02 * std::sin(3.1 * r)));
    dm.Serials.push_back(r);
  }
  dm.RemoveFlags.assign(n, 0);
  dm.NrOfData = n;
  dm.NrOfClasses = 10;
  dm.WriteInputFile();
}

void BM_SaveRunPipeline(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const bool composites = state.range(1) != 0;
  std::string dir = (fs::temp_directory_path() / "tavorix-bench-XXXXXX").string();
  if (!mkdtemp(dir.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string input = dir + "/series.inp";
  for (auto _ : state) {
    state.PauseTiming();
    TDMTavorix dm;
    WriteSeries(dm, input, n);
    TavorixRun run;
    state.ResumeTiming();
    const PipelineResult r = RunSaveRunStages(dm, run, composites, PipelineOptions{});
    benchmark::DoNotOptimize(r.DistCode);
  }
  fs::remove_all(dir);
}
BENCHMARK(BM_SaveRunPipeline)
    ->ArgsProduct({{100, 500, 2500}, {0, 1}})
    ->ArgNames({"N", "composites"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
