// Time of the array exp and log per call at N = 100, 500 and 2500 values,
// through the widest path the processor has ("Array"), through the scalar
// loops ("Scalar") and through each 4-wide path ("Library": the library's
// calls, "Inline": the same steps inline), with arguments like those of the
// grid searches: exponents of powers and misfit lines, logarithms of ratios.

#include <benchmark/benchmark.h>

#include <vector>

#include "fitting/VectorMath.h"

namespace {

using namespace tavorix;

// Arguments spread evenly over [lo, hi].
std::vector<double> Arguments(int n, double lo, double hi) {
  std::vector<double> v(n);
  for (int i = 0; i < n; ++i) v[i] = lo + (hi - lo) * (i + 0.5) / n;
  return v;
}

using UnaryArray = void (*)(const double*, double*, int);
using AffineArray = void (*)(const double*, double, double, double*, int);

void BM_Unary(benchmark::State& state, UnaryArray f, double lo, double hi) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> in = Arguments(n, lo, hi);
  std::vector<double> out(n);
  for (auto _ : state) {
    f(in.data(), out.data(), n);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_Affine(benchmark::State& state, AffineArray f) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> in = Arguments(n, -6.0, 3.0);
  std::vector<double> out(n);
  for (auto _ : state) {
    f(in.data(), 1.7, -0.4, out.data(), n);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

#define UNARY_BENCH(name, f, lo, hi) \
  BENCHMARK_CAPTURE(BM_Unary, name, f, lo, hi)->Arg(100)->Arg(500)->Arg(2500)

UNARY_BENCH(ExpArray, ExpArray, -20.0, 5.0);
UNARY_BENCH(ExpScalar, scalarmath::ExpArray, -20.0, 5.0);
UNARY_BENCH(LogArray, LogArray, 1e-3, 50.0);
UNARY_BENCH(LogScalar, scalarmath::LogArray, 1e-3, 50.0);
UNARY_BENCH(ExpNegExpArray, ExpNegExpArray, -8.0, 3.0);
UNARY_BENCH(ExpNegExpScalar, scalarmath::ExpNegExpArray, -8.0, 3.0);
// The two 4-wide paths side by side (skipped where the processor lacks them).
using OnPath = void (*)(MathPath, const double*, double*, int);

void BM_OnPath(benchmark::State& state, MathPath path, OnPath f, double lo, double hi) {
  if (!MathPathAvailable(path)) {
    state.SkipWithError("the processor lacks this path");
    return;
  }
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> in = Arguments(n, lo, hi);
  std::vector<double> out(n);
  for (auto _ : state) {
    f(path, in.data(), out.data(), n);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

#define PATH_BENCH(name, path, f, lo, hi) \
  BENCHMARK_CAPTURE(BM_OnPath, name, path, f, lo, hi)->Arg(100)->Arg(2500)

PATH_BENCH(ExpLibrary, MathPath::Avx2, onpath::ExpArray, -20.0, 5.0);
PATH_BENCH(ExpInline, MathPath::Avx2Inline, onpath::ExpArray, -20.0, 5.0);
PATH_BENCH(LogLibrary, MathPath::Avx2, onpath::LogArray, 1e-3, 50.0);
PATH_BENCH(LogInline, MathPath::Avx2Inline, onpath::LogArray, 1e-3, 50.0);
PATH_BENCH(ExpNegExpLibrary, MathPath::Avx2, onpath::ExpNegExpArray, -8.0, 3.0);
PATH_BENCH(ExpNegExpInline, MathPath::Avx2Inline, onpath::ExpNegExpArray, -8.0, 3.0);

BENCHMARK_CAPTURE(BM_Affine, ExpAffineArray, ExpAffineArray)->Arg(100)->Arg(500)->Arg(2500);
BENCHMARK_CAPTURE(BM_Affine, ExpAffineScalar, scalarmath::ExpAffineArray)->Arg(100)->Arg(500)->Arg(2500);

}  // namespace
