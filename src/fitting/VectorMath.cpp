#include "fitting/VectorMath.h"

#include <cmath>

#if defined(TAVORIX_HAVE_LIBMVEC) && defined(__x86_64__) && defined(__GNUC__)
#define TAVORIX_VECTOR_MATH 1
#include <immintrin.h>

// The 4-wide AVX2 variants of exp and log in the C library's vector math
// library (vector function ABI names). They handle the special cases (huge,
// tiny, negative, zero, NaN arguments) lane by lane as the scalar functions do.
extern "C" {
__attribute__((target("avx2"))) __m256d _ZGVdN4v_exp(__m256d);
__attribute__((target("avx2"))) __m256d _ZGVdN4v_log(__m256d);
}
#endif

namespace tavorix {

namespace scalarmath {

void ExpArray(const double* in, double* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = std::exp(in[i]);
}

void LogArray(const double* in, double* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = std::log(in[i]);
}

void ExpScaledArray(const double* x, double a, double* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = std::exp(a * x[i]);
}

void ExpAffineArray(const double* x, double a, double b, double* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = std::exp(a * x[i] + b);
}

void ExpNegExpArray(const double* in, double* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = std::exp(-std::exp(in[i]));
}

}  // namespace scalarmath

#ifdef TAVORIX_VECTOR_MATH
namespace {

enum class Op { Exp, Log, ExpScaled, ExpAffine, ExpNegExp };

// One block of four values. Products and sums are separate instructions
// (the target has no FMA), as in the scalar loops.
template <Op K>
__attribute__((target("avx2"))) inline __m256d Apply(__m256d v, __m256d a, __m256d b) {
  if constexpr (K == Op::Exp) {
    return _ZGVdN4v_exp(v);
  } else if constexpr (K == Op::Log) {
    return _ZGVdN4v_log(v);
  } else if constexpr (K == Op::ExpScaled) {
    return _ZGVdN4v_exp(_mm256_mul_pd(a, v));
  } else if constexpr (K == Op::ExpAffine) {
    return _ZGVdN4v_exp(_mm256_add_pd(_mm256_mul_pd(a, v), b));
  } else {
    // Negation flips the sign bit only, as unary minus does.
    return _ZGVdN4v_exp(_mm256_xor_pd(_ZGVdN4v_exp(v), _mm256_set1_pd(-0.0)));
  }
}

// Full blocks straight from the arrays; the last one to three values go
// through a padded block, so that every value takes the same path whatever
// its position (the pad is an argument without a special case).
template <Op K>
__attribute__((target("avx2"))) void RunBlocks(const double* in, double* out, int n, double a,
                                               double b) {
  const __m256d va = _mm256_set1_pd(a);
  const __m256d vb = _mm256_set1_pd(b);
  int i = 0;
  for (; i + 4 <= n; i += 4) _mm256_storeu_pd(out + i, Apply<K>(_mm256_loadu_pd(in + i), va, vb));
  if (i < n) {
    constexpr double pad = K == Op::Log ? 1.0 : 0.0;
    alignas(32) double block[4] = {pad, pad, pad, pad};
    for (int j = 0; i + j < n; ++j) block[j] = in[i + j];
    _mm256_store_pd(block, Apply<K>(_mm256_load_pd(block), va, vb));
    for (int j = 0; i + j < n; ++j) out[i + j] = block[j];
  }
}

}  // namespace
#endif

bool VectorMathAvailable() {
#ifdef TAVORIX_VECTOR_MATH
  // Checked once; the initialisation of a local static is thread-safe.
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2;
#else
  return false;
#endif
}

#ifdef TAVORIX_VECTOR_MATH
#define TAVORIX_VECTOR_CASE(op, in, out, n, a, b) \
  if (VectorMathAvailable()) {                    \
    RunBlocks<op>(in, out, n, a, b);              \
    return;                                       \
  }
#else
#define TAVORIX_VECTOR_CASE(op, in, out, n, a, b)
#endif

void ExpArray(const double* in, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::Exp, in, out, n, 0.0, 0.0)
  scalarmath::ExpArray(in, out, n);
}

void LogArray(const double* in, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::Log, in, out, n, 0.0, 0.0)
  scalarmath::LogArray(in, out, n);
}

void ExpScaledArray(const double* x, double a, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::ExpScaled, x, out, n, a, 0.0)
  scalarmath::ExpScaledArray(x, a, out, n);
}

void ExpAffineArray(const double* x, double a, double b, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::ExpAffine, x, out, n, a, b)
  scalarmath::ExpAffineArray(x, a, b, out, n);
}

void ExpNegExpArray(const double* in, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::ExpNegExp, in, out, n, 0.0, 0.0)
  scalarmath::ExpNegExpArray(in, out, n);
}

#undef TAVORIX_VECTOR_CASE

}  // namespace tavorix
