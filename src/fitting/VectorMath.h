#pragma once
// exp and log over arrays for the grid searches. Where the C library's
// vector math library was found at build time, the values go through its
// 8-wide AVX-512 functions or, without AVX-512, its 4-wide AVX2 functions
// (their steps formed inline where they give the same bits), chosen once per
// process from what the processor has (at most 4 ulp from
// the scalar ones, and the same for every position and length of the
// array); otherwise through std::exp and std::log. Both paths give the same classes of
// results: inf, 0 and NaN where the scalar functions give them.
//
// The arrays are plain 0-based ranges of n values (pass x + 1 for a 1-based
// array); `out` may be the same array as the input. Nothing is allocated.
// The affine arguments a * x + b are formed as in a scalar loop (a product,
// then a sum, never fused), so only the exp or log itself differs between
// the two paths.

namespace tavorix {

// The ways the array functions can go. Avx2Inline gives the values of Avx2
// bit for bit (the library's steps, formed inline without its gathers); it
// is available only where a check of every table entry found them equal.
enum class MathPath { Scalar, Avx2, Avx2Inline, Avx512 };

// True when this build and processor can take the path.
bool MathPathAvailable(MathPath path);
// The path in use: the widest available one (known once per process).
MathPath ActiveMathPath();
// True when a vector path is in use.
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
// out[i] = log(a / (x[i] + a)), the Burr transform; the sum and the quotient
// are rounded as the scalar expressions are.
void LogRatioArray(const double* x, double a, double* out, int n);
// out[i] = log(x[i] - c) and log(c - x[i]): the distances to a bound.
void LogAboveArray(const double* x, double c, double* out, int n);
void LogBelowArray(const double* x, double c, double* out, int n);
// out[i] = exp(-exp(a * x[i] + b)), the argument rounded as the scalar
// expression is.
void ExpNegExpAffineArray(const double* x, double a, double b, double* out, int n);
// out[i] = log(1 - exp(a * x[i])), the Kumaraswamy transform; the product
// and the difference are rounded as the scalar expressions are.
void LogOneMinusExpScaledArray(const double* x, double a, double* out, int n);

// The functions on a given available path, so that the tests and benchmarks
// can hold every path against the scalar one.
namespace onpath {
void ExpArray(MathPath path, const double* in, double* out, int n);
void LogArray(MathPath path, const double* in, double* out, int n);
void ExpScaledArray(MathPath path, const double* x, double a, double* out, int n);
void ExpAffineArray(MathPath path, const double* x, double a, double b, double* out, int n);
void ExpNegExpArray(MathPath path, const double* in, double* out, int n);
void LogRatioArray(MathPath path, const double* x, double a, double* out, int n);
void LogAboveArray(MathPath path, const double* x, double c, double* out, int n);
void LogBelowArray(MathPath path, const double* x, double c, double* out, int n);
void ExpNegExpAffineArray(MathPath path, const double* x, double a, double b, double* out, int n);
void LogOneMinusExpScaledArray(MathPath path, const double* x, double a, double* out, int n);
}  // namespace onpath

// The scalar loops alone, whatever the processor: the reference of the tests
// and the benchmarks.
namespace scalarmath {
void ExpArray(const double* in, double* out, int n);
void LogArray(const double* in, double* out, int n);
void ExpScaledArray(const double* x, double a, double* out, int n);
void ExpAffineArray(const double* x, double a, double b, double* out, int n);
void ExpNegExpArray(const double* in, double* out, int n);
void LogRatioArray(const double* x, double a, double* out, int n);
void LogAboveArray(const double* x, double c, double* out, int n);
void LogBelowArray(const double* x, double c, double* out, int n);
void ExpNegExpAffineArray(const double* x, double a, double b, double* out, int n);
void LogOneMinusExpScaledArray(const double* x, double a, double* out, int n);
}  // namespace scalarmath

}  // namespace tavorix
