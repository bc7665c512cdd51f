#include "fitting/VectorMath.h"

#include <cmath>

#if defined(TAVORIX_HAVE_LIBMVEC) && defined(__x86_64__) && defined(__GNUC__)
#define TAVORIX_VECTOR_MATH 1
#include <immintrin.h>

// The 4-wide AVX2 and 8-wide AVX-512 variants of exp and log in the C
// library's vector math library (vector function ABI names). They handle the
// special cases (huge, tiny, negative, zero, NaN arguments) lane by lane as
// the scalar functions do.
extern "C" {
__attribute__((target("avx2"))) __m256d _ZGVdN4v_exp(__m256d);
__attribute__((target("avx2"))) __m256d _ZGVdN4v_log(__m256d);
__attribute__((target("avx512f"))) __m512d _ZGVeN8v_exp(__m512d);
__attribute__((target("avx512f"))) __m512d _ZGVeN8v_log(__m512d);
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

void LogRatioArray(const double* x, double a, double* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = std::log(a / (x[i] + a));
}

void LogAboveArray(const double* x, double c, double* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = std::log(x[i] - c);
}

void LogBelowArray(const double* x, double c, double* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = std::log(c - x[i]);
}

void ExpNegExpAffineArray(const double* x, double a, double b, double* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = std::exp(-std::exp(a * x[i] + b));
}

}  // namespace scalarmath

#ifdef TAVORIX_VECTOR_MATH
namespace {

enum class Op { Exp, Log, ExpScaled, ExpAffine, ExpNegExp, ExpNegExpAffine, LogRatio, LogAbove, LogBelow };

// exp(-exp(u)); the negation flips the sign bit only, as unary minus does.
__attribute__((target("avx2"))) inline __m256d ExpNegExp4(__m256d u) {
  return _ZGVdN4v_exp(_mm256_xor_pd(_ZGVdN4v_exp(u), _mm256_set1_pd(-0.0)));
}
__attribute__((target("avx512f"))) inline __m512d ExpNegExp8(__m512d u) {
  const __m512i sign = _mm512_set1_epi64(static_cast<long long>(0x8000000000000000ULL));
  const __m512i e = _mm512_castpd_si512(_ZGVeN8v_exp(u));
  return _ZGVeN8v_exp(_mm512_castsi512_pd(_mm512_xor_si512(e, sign)));
}

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
  } else if constexpr (K == Op::LogRatio) {
    return _ZGVdN4v_log(_mm256_div_pd(a, _mm256_add_pd(v, a)));
  } else if constexpr (K == Op::LogAbove) {
    return _ZGVdN4v_log(_mm256_sub_pd(v, a));
  } else if constexpr (K == Op::LogBelow) {
    return _ZGVdN4v_log(_mm256_sub_pd(a, v));
  } else if constexpr (K == Op::ExpNegExpAffine) {
    return ExpNegExp4(_mm256_add_pd(_mm256_mul_pd(a, v), b));
  } else {
    return ExpNegExp4(v);
  }
}

// One block of eight values. The build forms no fused multiply-adds (ISO
// C++ mode contracts nothing), so product and sum round separately here too.
template <Op K>
__attribute__((target("avx512f"))) inline __m512d Apply8(__m512d v, __m512d a, __m512d b) {
  if constexpr (K == Op::Exp) {
    return _ZGVeN8v_exp(v);
  } else if constexpr (K == Op::Log) {
    return _ZGVeN8v_log(v);
  } else if constexpr (K == Op::ExpScaled) {
    return _ZGVeN8v_exp(_mm512_mul_pd(a, v));
  } else if constexpr (K == Op::ExpAffine) {
    return _ZGVeN8v_exp(_mm512_add_pd(_mm512_mul_pd(a, v), b));
  } else if constexpr (K == Op::LogRatio) {
    return _ZGVeN8v_log(_mm512_div_pd(a, _mm512_add_pd(v, a)));
  } else if constexpr (K == Op::LogAbove) {
    return _ZGVeN8v_log(_mm512_sub_pd(v, a));
  } else if constexpr (K == Op::LogBelow) {
    return _ZGVeN8v_log(_mm512_sub_pd(a, v));
  } else if constexpr (K == Op::ExpNegExpAffine) {
    return ExpNegExp8(_mm512_add_pd(_mm512_mul_pd(a, v), b));
  } else {
    return ExpNegExp8(v);
  }
}

// Full blocks straight from the arrays; the last one to three values go
// through a padded block, so that every value takes the same path whatever
// its position. The pad repeats the first of those values: an argument of
// the call, so no lane meets a case that the data do not.
template <Op K>
__attribute__((target("avx2"))) void RunBlocks(const double* in, double* out, int n, double a,
                                               double b) {
  const __m256d va = _mm256_set1_pd(a);
  const __m256d vb = _mm256_set1_pd(b);
  int i = 0;
  for (; i + 4 <= n; i += 4) _mm256_storeu_pd(out + i, Apply<K>(_mm256_loadu_pd(in + i), va, vb));
  if (i < n) {
    alignas(32) double block[4] = {in[i], in[i], in[i], in[i]};
    for (int j = 0; i + j < n; ++j) block[j] = in[i + j];
    _mm256_store_pd(block, Apply<K>(_mm256_load_pd(block), va, vb));
    for (int j = 0; i + j < n; ++j) out[i + j] = block[j];
  }
}

// The same in blocks of eight.
template <Op K>
__attribute__((target("avx512f"))) void RunBlocks8(const double* in, double* out, int n, double a,
                                                   double b) {
  const __m512d va = _mm512_set1_pd(a);
  const __m512d vb = _mm512_set1_pd(b);
  int i = 0;
  for (; i + 8 <= n; i += 8) _mm512_storeu_pd(out + i, Apply8<K>(_mm512_loadu_pd(in + i), va, vb));
  if (i < n) {
    alignas(64) double block[8];
    for (double& v : block) v = in[i];
    for (int j = 0; i + j < n; ++j) block[j] = in[i + j];
    _mm512_store_pd(block, Apply8<K>(_mm512_load_pd(block), va, vb));
    for (int j = 0; i + j < n; ++j) out[i + j] = block[j];
  }
}

}  // namespace
#endif

bool MathPathAvailable(MathPath path) {
  switch (path) {
    case MathPath::Scalar:
      return true;
#ifdef TAVORIX_VECTOR_MATH
    case MathPath::Avx2:
      return __builtin_cpu_supports("avx2");
    case MathPath::Avx512:
      return __builtin_cpu_supports("avx512f");
#endif
    default:
      return false;
  }
}

MathPath ActiveMathPath() {
  // Chosen once; the initialisation of a local static is thread-safe.
  static const MathPath path = MathPathAvailable(MathPath::Avx512) ? MathPath::Avx512
                               : MathPathAvailable(MathPath::Avx2) ? MathPath::Avx2
                                                                    : MathPath::Scalar;
  return path;
}

bool VectorMathAvailable() { return ActiveMathPath() != MathPath::Scalar; }

namespace onpath {

#ifdef TAVORIX_VECTOR_MATH
#define TAVORIX_VECTOR_CASE(op, in, out, n, a, b) \
  if (path == MathPath::Avx512) {                \
    RunBlocks8<op>(in, out, n, a, b);            \
    return;                                      \
  }                                              \
  if (path == MathPath::Avx2) {                  \
    RunBlocks<op>(in, out, n, a, b);             \
    return;                                      \
  }
#else
#define TAVORIX_VECTOR_CASE(op, in, out, n, a, b) (void)path;
#endif

void ExpArray(MathPath path, const double* in, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::Exp, in, out, n, 0.0, 0.0)
  scalarmath::ExpArray(in, out, n);
}

void LogArray(MathPath path, const double* in, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::Log, in, out, n, 0.0, 0.0)
  scalarmath::LogArray(in, out, n);
}

void ExpScaledArray(MathPath path, const double* x, double a, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::ExpScaled, x, out, n, a, 0.0)
  scalarmath::ExpScaledArray(x, a, out, n);
}

void ExpAffineArray(MathPath path, const double* x, double a, double b, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::ExpAffine, x, out, n, a, b)
  scalarmath::ExpAffineArray(x, a, b, out, n);
}

void ExpNegExpArray(MathPath path, const double* in, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::ExpNegExp, in, out, n, 0.0, 0.0)
  scalarmath::ExpNegExpArray(in, out, n);
}

void LogRatioArray(MathPath path, const double* x, double a, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::LogRatio, x, out, n, a, 0.0)
  scalarmath::LogRatioArray(x, a, out, n);
}

void LogAboveArray(MathPath path, const double* x, double c, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::LogAbove, x, out, n, c, 0.0)
  scalarmath::LogAboveArray(x, c, out, n);
}

void LogBelowArray(MathPath path, const double* x, double c, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::LogBelow, x, out, n, c, 0.0)
  scalarmath::LogBelowArray(x, c, out, n);
}

void ExpNegExpAffineArray(MathPath path, const double* x, double a, double b, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::ExpNegExpAffine, x, out, n, a, b)
  scalarmath::ExpNegExpAffineArray(x, a, b, out, n);
}

#undef TAVORIX_VECTOR_CASE

}  // namespace onpath

void ExpArray(const double* in, double* out, int n) { onpath::ExpArray(ActiveMathPath(), in, out, n); }

void LogArray(const double* in, double* out, int n) { onpath::LogArray(ActiveMathPath(), in, out, n); }

void ExpScaledArray(const double* x, double a, double* out, int n) {
  onpath::ExpScaledArray(ActiveMathPath(), x, a, out, n);
}

void ExpAffineArray(const double* x, double a, double b, double* out, int n) {
  onpath::ExpAffineArray(ActiveMathPath(), x, a, b, out, n);
}

void ExpNegExpArray(const double* in, double* out, int n) {
  onpath::ExpNegExpArray(ActiveMathPath(), in, out, n);
}

void LogRatioArray(const double* x, double a, double* out, int n) {
  onpath::LogRatioArray(ActiveMathPath(), x, a, out, n);
}

void LogAboveArray(const double* x, double c, double* out, int n) {
  onpath::LogAboveArray(ActiveMathPath(), x, c, out, n);
}

void LogBelowArray(const double* x, double c, double* out, int n) {
  onpath::LogBelowArray(ActiveMathPath(), x, c, out, n);
}

void ExpNegExpAffineArray(const double* x, double a, double b, double* out, int n) {
  onpath::ExpNegExpAffineArray(ActiveMathPath(), x, a, b, out, n);
}

}  // namespace tavorix
