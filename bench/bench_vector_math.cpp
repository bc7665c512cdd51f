// Time of the array exp and log per call at N = 100, 500 and 2500 values,
// through the 4-wide path where the processor has it ("Array") and through
// the scalar loops ("Scalar"), with arguments like those of the grid
// searches: exponents of powers and misfit lines, logarithms of ratios.

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
BENCHMARK_CAPTURE(BM_Affine, ExpAffineArray, ExpAffineArray)->Arg(100)->Arg(500)->Arg(2500);
BENCHMARK_CAPTURE(BM_Affine, ExpAffineScalar, scalarmath::ExpAffineArray)->Arg(100)->Arg(500)->Arg(2500);

}  // namespace
