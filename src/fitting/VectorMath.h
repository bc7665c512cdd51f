#pragma once
// exp and log over arrays for the grid searches. Where the processor has
// AVX2 and the C library's vector math library was found at build time, the
// values go through its 4-wide functions (at most 4 ulp from the scalar
// ones, and the same for every position and length of the array); otherwise
// through std::exp and std::log. Both paths give the same classes of
// results: inf, 0 and NaN where the scalar functions give them.
//
// The arrays are plain 0-based ranges of n values (pass x + 1 for a 1-based
// array); `out` may be the same array as the input. Nothing is allocated.
// The affine arguments a * x + b are formed as in a scalar loop (a product,
// then a sum, never fused), so only the exp or log itself differs between
// the two paths.

namespace tavorix {

// True when the 4-wide functions are in use (known once per process).
bool VectorMathAvailable();

// out[i] = exp(in[i]).
void ExpArray(const double* in, double* out, int n);
// out[i] = log(in[i]).
void LogArray(const double* in, double* out, int n);
// out[i] = exp(a * x[i]): the powers X^a from ln X.
void ExpScaledArray(const double* x, double a, double* out, int n);
// out[i] = exp(a * x[i] + b).
void ExpAffineArray(const double* x, double a, double b, double* out, int n);
// out[i] = exp(-exp(in[i])), the double exponential of the Gumbel forms.
void ExpNegExpArray(const double* in, double* out, int n);

// The scalar loops alone, whatever the processor: the reference of the tests
// and the benchmarks.
namespace scalarmath {
void ExpArray(const double* in, double* out, int n);
void LogArray(const double* in, double* out, int n);
void ExpScaledArray(const double* x, double a, double* out, int n);
void ExpAffineArray(const double* x, double a, double b, double* out, int n);
void ExpNegExpArray(const double* in, double* out, int n);
}  // namespace scalarmath

}  // namespace tavorix
