#include "fitting/VectorMath.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#if defined(TAVORIX_HAVE_LIBMVEC) && defined(__x86_64__) && defined(__GNUC__)
#define TAVORIX_VECTOR_MATH 1
#include <immintrin.h>

#include "fitting/InlineExpLog.h"

// The 4-wide AVX2 and 8-wide AVX-512 variants of exp and log in the C
// library's vector math library (vector function ABI names). They handle the
// special cases (huge, tiny, negative, zero, NaN arguments) lane by lane as
// the scalar functions do.
extern "C" {
__attribute__((target("avx2,fma"))) __m256d _ZGVdN4v_exp(__m256d);
__attribute__((target("avx2,fma"))) __m256d _ZGVdN4v_log(__m256d);
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

void LogOneMinusExpScaledArray(const double* x, double a, double* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = std::log(1.0 - std::exp(a * x[i]));
}

}  // namespace scalarmath

#ifdef TAVORIX_VECTOR_MATH
namespace {

enum class Op { Exp, Log, ExpScaled, ExpAffine, ExpNegExp, ExpNegExpAffine, LogRatio, LogAbove, LogBelow, LogOneMinusExpScaled };

// The 4-wide exp and log: the library's calls, or the same steps inline.
template <bool Inline>
struct Exp4Log4 {
  const inl::Tables* T = nullptr;
  __attribute__((target("avx2,fma"))) __m256d Exp(__m256d v) const {
    if constexpr (Inline) return inl::Exp4(v, *T);
    else return _ZGVdN4v_exp(v);
  }
  __attribute__((target("avx2,fma"))) __m256d Log(__m256d v) const {
    if constexpr (Inline) return inl::Log4(v, *T);
    else return _ZGVdN4v_log(v);
  }
  // exp(-exp(u)); the negation flips the sign bit only, as unary minus does.
  __attribute__((target("avx2,fma"))) __m256d ExpNegExp(__m256d u) const {
    return Exp(_mm256_xor_pd(Exp(u), _mm256_set1_pd(-0.0)));
  }
};

__attribute__((target("avx512f"))) inline __m512d ExpNegExp8(__m512d u) {
  const __m512i sign = _mm512_set1_epi64(static_cast<long long>(0x8000000000000000ULL));
  const __m512i e = _mm512_castpd_si512(_ZGVeN8v_exp(u));
  return _ZGVeN8v_exp(_mm512_castsi512_pd(_mm512_xor_si512(e, sign)));
}

// One block of four values. Products and sums are separate instructions, as
// in the scalar loops (this file is built without contraction into fused
// multiply-adds).
template <Op K, class M>
__attribute__((target("avx2,fma"))) inline __m256d Apply(const M& f, __m256d v, __m256d a, __m256d b) {
  if constexpr (K == Op::Exp) {
    return f.Exp(v);
  } else if constexpr (K == Op::Log) {
    return f.Log(v);
  } else if constexpr (K == Op::ExpScaled) {
    return f.Exp(_mm256_mul_pd(a, v));
  } else if constexpr (K == Op::ExpAffine) {
    return f.Exp(_mm256_add_pd(_mm256_mul_pd(a, v), b));
  } else if constexpr (K == Op::LogRatio) {
    return f.Log(_mm256_div_pd(a, _mm256_add_pd(v, a)));
  } else if constexpr (K == Op::LogAbove) {
    return f.Log(_mm256_sub_pd(v, a));
  } else if constexpr (K == Op::LogBelow) {
    return f.Log(_mm256_sub_pd(a, v));
  } else if constexpr (K == Op::ExpNegExpAffine) {
    return f.ExpNegExp(_mm256_add_pd(_mm256_mul_pd(a, v), b));
  } else if constexpr (K == Op::LogOneMinusExpScaled) {
    return f.Log(_mm256_sub_pd(_mm256_set1_pd(1.0), f.Exp(_mm256_mul_pd(a, v))));
  } else {
    return f.ExpNegExp(v);
  }
}

// One block of eight values; product and sum round separately here too.
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
  } else if constexpr (K == Op::LogOneMinusExpScaled) {
    return _ZGVeN8v_log(_mm512_sub_pd(_mm512_set1_pd(1.0), _ZGVeN8v_exp(_mm512_mul_pd(a, v))));
  } else {
    return ExpNegExp8(v);
  }
}

// The inline steps of one block of four values in two halves, before and
// after the last table look-up (the values of Apply with the inline steps).
template <Op K>
__attribute__((target("avx2,fma"))) inline auto StartInline(const inl::Tables& t, __m256d v, __m256d a, __m256d b) {
  if constexpr (K == Op::Exp) {
    return inl::ExpStart(v);
  } else if constexpr (K == Op::Log) {
    return inl::LogStart(v);
  } else if constexpr (K == Op::ExpScaled) {
    return inl::ExpStart(_mm256_mul_pd(a, v));
  } else if constexpr (K == Op::ExpAffine) {
    return inl::ExpStart(_mm256_add_pd(_mm256_mul_pd(a, v), b));
  } else if constexpr (K == Op::LogRatio) {
    return inl::LogStart(_mm256_div_pd(a, _mm256_add_pd(v, a)));
  } else if constexpr (K == Op::LogAbove) {
    return inl::LogStart(_mm256_sub_pd(v, a));
  } else if constexpr (K == Op::LogBelow) {
    return inl::LogStart(_mm256_sub_pd(a, v));
  } else if constexpr (K == Op::ExpNegExpAffine) {
    return inl::ExpStart(_mm256_xor_pd(inl::Exp4(_mm256_add_pd(_mm256_mul_pd(a, v), b), t), _mm256_set1_pd(-0.0)));
  } else if constexpr (K == Op::LogOneMinusExpScaled) {
    return inl::LogStart(_mm256_sub_pd(_mm256_set1_pd(1.0), inl::Exp4(_mm256_mul_pd(a, v), t)));
  } else {
    return inl::ExpStart(_mm256_xor_pd(inl::Exp4(v, t), _mm256_set1_pd(-0.0)));
  }
}

__attribute__((target("avx2,fma"))) inline __m256d FinishInline(const inl::Tables& t, const inl::ExpHalf& h) {
  return inl::ExpFinish(h, t);
}
__attribute__((target("avx2,fma"))) inline __m256d FinishInline(const inl::Tables& t, const inl::LogHalf& h) {
  return inl::LogFinish(h, t);
}

// The full blocks of the inline steps with the halves of successive blocks
// overlapped (the first half of block i + 1 with the second of block i);
// returns the number of values done.
template <Op K>
__attribute__((target("avx2,fma"))) int OverlappedBlocks(const double* in, double* out, int n, __m256d a,
                                                         __m256d b) {
  const inl::Tables& t = inl::TablesOnce();
  if (n < 8) return 0;
  auto h = StartInline<K>(t, _mm256_loadu_pd(in), a, b);
  int i = 0;
  for (; i + 8 <= n; i += 4) {
    const auto next = StartInline<K>(t, _mm256_loadu_pd(in + i + 4), a, b);
    _mm256_storeu_pd(out + i, FinishInline(t, h));
    h = next;
  }
  _mm256_storeu_pd(out + i, FinishInline(t, h));
  return i + 4;
}

// Full blocks straight from the arrays; the last one to three values go
// through a padded block, so that every value takes the same path whatever
// its position. The pad repeats the first of those values: an argument of
// the call, so no lane meets a case that the data do not.
template <Op K, bool Inline>
__attribute__((target("avx2,fma"))) void RunBlocks(const double* in, double* out, int n, double a,
                                                   double b) {
  Exp4Log4<Inline> f;
  if constexpr (Inline) f.T = &inl::TablesOnce();
  const __m256d va = _mm256_set1_pd(a);
  const __m256d vb = _mm256_set1_pd(b);
  int i = 0;
  // Measured: the overlap pays for the logarithms, not for the exponentials.
  constexpr bool kEndsInLog = K == Op::Log || K == Op::LogRatio || K == Op::LogAbove || K == Op::LogBelow ||
                              K == Op::LogOneMinusExpScaled;
  if constexpr (Inline && kEndsInLog) i = OverlappedBlocks<K>(in, out, n, va, vb);
  for (; i + 4 <= n; i += 4) _mm256_storeu_pd(out + i, Apply<K>(f, _mm256_loadu_pd(in + i), va, vb));
  if (i < n) {
    alignas(32) double block[4] = {in[i], in[i], in[i], in[i]};
    for (int j = 0; i + j < n; ++j) block[j] = in[i + j];
    _mm256_store_pd(block, Apply<K>(f, _mm256_load_pd(block), va, vb));
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

#ifdef TAVORIX_VECTOR_MATH
namespace {

__attribute__((target("avx2,fma"))) bool SameBits(__m256d a, __m256d b) {
  const __m256i eq = _mm256_cmpeq_epi64(_mm256_castpd_si256(a), _mm256_castpd_si256(b));
  return _mm256_movemask_pd(_mm256_castsi256_pd(eq)) == 15;
}

// True when the inline steps give the library's values bit for bit: every
// table entry, both sides of the ranges the vector steps cover, the special
// arguments and a spread of ordinary ones. Any difference (another library
// version, say) leaves the library's own functions in use.
__attribute__((target("avx2,fma"))) bool InlineAgreesWithLibrary() {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const inl::Tables& t = inl::TablesOnce();
  // The arguments go four at a time to both paths, without a list of them:
  // the check runs once per process, before the first fit, and should cost
  // little.
  struct Feed {
    bool IsLog;
    const inl::Tables& T;
    alignas(32) double Block[4] = {1.0, 1.0, 1.0, 1.0};
    int Filled = 0;
    bool Same = true;
    __attribute__((target("avx2,fma"))) void Check() {
      const __m256d v = _mm256_load_pd(Block);
      Same = Same && (IsLog ? SameBits(inl::Log4(v, T), _ZGVdN4v_log(v)) : SameBits(inl::Exp4(v, T), _ZGVdN4v_exp(v)));
      Filled = 0;
      for (double& b : Block) b = 1.0;
    }
    __attribute__((target("avx2,fma"))) void operator()(double x) {
      Block[Filled++] = x;
      if (Filled == 4) Check();
    }
    __attribute__((target("avx2,fma"))) bool Finish() {
      if (Filled > 0) Check();
      return Same;
    }
  };
  Feed exp{false, t}, log{true, t};
  const double ln2 = 0.6931471805599453;
  for (int j = 0; j < 1024; ++j)
    for (int k : {-1000, -30, -1, 0, 1, 7, 1000}) exp((k + (j + 0.37) / 1024) * ln2);
  for (int i = 0; i <= 4000; ++i) exp(-746.0 + i * 0.364);
  for (double x : {0.0, -0.0, 708.39, 708.4, 709.78, 709.79, -708.39, -708.4, -745.13, -745.14, 1e-300, -1e-300,
                   1e300, -1e300, HUGE_VAL, -HUGE_VAL, kNaN, -kNaN})
    exp(x);
  // (1 + i / 8192) 2^e, formed from its bits where it is normal; below the
  // normal range it rounds to one of two values, so a few i serve.
  for (int i = 0; i < 8192; ++i) {
    for (int e : {-1022, -60, -1, 0, 1, 40, 1023})
      log(std::bit_cast<double>(static_cast<std::uint64_t>(e + 1023) << 52 | static_cast<std::uint64_t>(i) << 39));
    if (i % 256 == 0) log(std::ldexp(1.0 + i / 8192.0, -1074));
  }
  for (double x : {0.0, -0.0, -1.0, 5e-324, 1e-310, 0x1p-1022, 0x1.fffffffffffffp+1023, HUGE_VAL, -HUGE_VAL, kNaN})
    log(x);
  return exp.Finish() && log.Finish();
}

}  // namespace
#endif

bool MathPathAvailable(MathPath path) {
  switch (path) {
    case MathPath::Scalar:
      return true;
#ifdef TAVORIX_VECTOR_MATH
    case MathPath::Avx2:
      // The library's 4-wide functions are those with fused multiply-adds.
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case MathPath::Avx2Inline: {
      static const bool agrees = MathPathAvailable(MathPath::Avx2) && InlineAgreesWithLibrary();
      return agrees;
    }
    case MathPath::Avx512:
      return __builtin_cpu_supports("avx512f");
#endif
    default:
      return false;
  }
}

MathPath ActiveMathPath() {
  // Chosen once; the initialisation of a local static is thread-safe.
  static const MathPath path = MathPathAvailable(MathPath::Avx512)       ? MathPath::Avx512
                               : MathPathAvailable(MathPath::Avx2Inline) ? MathPath::Avx2Inline
                               : MathPathAvailable(MathPath::Avx2)       ? MathPath::Avx2
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
  if (path == MathPath::Avx2Inline) {            \
    RunBlocks<op, true>(in, out, n, a, b);       \
    return;                                      \
  }                                              \
  if (path == MathPath::Avx2) {                  \
    RunBlocks<op, false>(in, out, n, a, b);      \
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

void LogOneMinusExpScaledArray(MathPath path, const double* x, double a, double* out, int n) {
  TAVORIX_VECTOR_CASE(Op::LogOneMinusExpScaled, x, out, n, a, 0.0)
  scalarmath::LogOneMinusExpScaledArray(x, a, out, n);
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

void LogOneMinusExpScaledArray(const double* x, double a, double* out, int n) {
  onpath::LogOneMinusExpScaledArray(ActiveMathPath(), x, a, out, n);
}

}  // namespace tavorix
