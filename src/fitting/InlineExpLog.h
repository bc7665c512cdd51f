#pragma once
// The C library's 4-wide AVX2 exp and log, step for step, for the vector
// code of the fits (VectorMath.cpp and the side-by-side steps). Include only
// in files built without contraction into fused multiply-adds, on x86-64
// with GCC or Clang; use only where MathPathAvailable(MathPath::Avx2Inline).

#include <immintrin.h>

#include <cmath>

namespace tavorix::inl {

// The library's 4-wide exp and log, step for step: the same constants,
// tables, operations and roundings, so each value is bit for bit the
// library's (checked once per process before this path is taken). The
// library looks its tables up with gather instructions, which are slow on
// some processors; here four plain loads do it, and the steps are inline, so
// that the blocks of a loop overlap.
struct Tables {
  double Exp2[1024];      // 2^(j/1024), j = 0..1023
  double LnRecip[513];    // ln(512/j) for j <= 724, ln(1024/j) above, j = 512..1024
};

// Correctly rounded: each value is formed in extended precision from an
// exact argument (checked against the library with every entry).
inline const Tables& TablesOnce() {
  static const Tables tables = [] {
    Tables t{};
    for (int j = 0; j < 1024; ++j) t.Exp2[j] = static_cast<double>(exp2l(j / 1024.0L));
    for (int j = 512; j <= 1024; ++j) {
      const int base = j <= 724 ? 512 : 1024;
      t.LnRecip[j - 512] = static_cast<double>(-log1pl(static_cast<long double>(j - base) / base));
    }
    return t;
  }();
  return tables;
}

__attribute__((target("avx2,fma"))) inline __m256d Load4(const double* table, __m256i index) {
  alignas(32) long long i[4];
  _mm256_store_si256(reinterpret_cast<__m256i*>(i), index);
  return _mm256_setr_pd(table[i[0]], table[i[1]], table[i[2]], table[i[3]]);
}

// The lanes of `mask` from the scalar function, as the library does for the
// arguments its vector steps do not cover.
template <double (*F)(double)>
__attribute__((target("avx2,fma"), noinline)) __m256d ScalarLanes(__m256d x, __m256d y, int mask) {
  alignas(32) double xs[4], ys[4];
  _mm256_store_pd(xs, x);
  _mm256_store_pd(ys, y);
  for (int l = 0; l < 4; ++l)
    if (mask & (1 << l)) ys[l] = F(xs[l]);
  return _mm256_load_pd(ys);
}
inline double ScalarExp(double x) { return std::exp(x); }
inline double ScalarLog(double x) { return std::log(x); }

// Each function is also given in two halves, before and after its table
// look-up, for loops that overlap the halves of successive points (the
// first half of point i + 1 with the second of point i): the scheduler then
// holds work whose inputs are ready, instead of one long chain per point.
// The values are the same; Exp4 and Log4 are the two halves joined.

// exp(x) = 2^(k/1024) (1 + r + c2 r^2 + c3 r^3), k = x 1024 / ln 2 rounded,
// r = x - k ln 2 / 1024; |x| above 708.39 (and inf, NaN) go to std::exp.
struct ExpHalf {
  __m256d X, P;
  __m256i J, Scale;
};

__attribute__((target("avx2,fma"))) inline ExpHalf ExpStart(__m256d x) {
  const __m256d shifter = _mm256_set1_pd(0x1.8p+52);
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d shifted = _mm256_fmadd_pd(x, _mm256_set1_pd(0x1.71547652b82fep+10), shifter);
  const __m256d k = _mm256_sub_pd(shifted, shifter);
  __m256d r = _mm256_fnmadd_pd(k, _mm256_set1_pd(0x1.62e42fecp-11), x);
  r = _mm256_fnmadd_pd(k, _mm256_set1_pd(0x1.d1cf79abc9e3bp-42), r);
  __m256d p = _mm256_fmadd_pd(_mm256_set1_pd(0x1.5555555555556p-3), r, _mm256_set1_pd(0x1.0000001ebfbep-1));
  p = _mm256_fmadd_pd(p, r, one);
  p = _mm256_fmadd_pd(p, r, one);
  const __m256i bits = _mm256_castpd_si256(shifted);
  const __m256i low = _mm256_set1_epi64x(0x3ff);
  return {x, p, _mm256_and_si256(bits, low), _mm256_slli_epi64(_mm256_andnot_si256(low, bits), 42)};
}

__attribute__((target("avx2,fma"))) inline __m256d ExpFinish(const ExpHalf& h, const Tables& t) {
  const __m256d y = _mm256_castsi256_pd(
      _mm256_add_epi64(_mm256_castpd_si256(_mm256_mul_pd(Load4(t.Exp2, h.J), h.P)), h.Scale));
  const __m256i high =
      _mm256_and_si256(_mm256_srli_epi64(_mm256_castpd_si256(h.X), 32), _mm256_set1_epi64x(0x7fffffff));
  const int special = _mm256_movemask_pd(_mm256_castsi256_pd(_mm256_cmpgt_epi64(high, _mm256_set1_epi64x(0x4086232a))));
  return special ? ScalarLanes<ScalarExp>(h.X, y, special) : y;
}

__attribute__((target("avx2,fma"))) inline __m256d Exp4(__m256d x, const Tables& t) {
  return ExpFinish(ExpStart(x), t);
}

// log(x) = e ln 2 + ln(b/j) + log1p(r): m is the mantissa scaled into
// [2^-10, 2^-9), j its reciprocal rounded to an integer (512..1024) from the
// single-precision estimate, r = j m - 1, b = 512 or 1024; arguments below
// the least normal or above the largest finite double (and NaN) go to
// std::log.
struct LogHalf {
  __m256d X, M, J;
};

__attribute__((target("avx2,fma"))) inline LogHalf LogStart(__m256d x) {
  const __m256d m = _mm256_or_pd(_mm256_and_pd(x, _mm256_castsi256_pd(_mm256_set1_epi64x(0x000fffffffffffff))),
                                 _mm256_set1_pd(0x1p-10));
  const __m256d rcp = _mm256_cvtps_pd(_mm_rcp_ps(_mm256_cvtpd_ps(m)));
  return {x, m, _mm256_round_pd(rcp, _MM_FROUND_TO_NEAREST_INT)};
}

__attribute__((target("avx2,fma"))) inline __m256d LogFinish(const LogHalf& h, const Tables& t) {
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d x = h.X, j = h.J;
  const __m256i bits = _mm256_castpd_si256(x);
  const __m256d r = _mm256_fmsub_pd(j, h.M, one);
  const __m256d bias = _mm256_or_pd(_mm256_and_pd(_mm256_cmp_pd(j, _mm256_set1_pd(724.0), _CMP_GT_OQ),
                                                  _mm256_set1_pd(1023.0)),
                                    _mm256_set1_pd(1022.0));
  // The sign and exponent field (bits 52 to 63) as a double, exactly.
  const __m256d two52 = _mm256_set1_pd(0x1p52);
  const __m256d field = _mm256_sub_pd(
      _mm256_castsi256_pd(_mm256_or_si256(_mm256_srli_epi64(bits, 52), _mm256_castpd_si256(two52))), two52);
  const __m256d e = _mm256_sub_pd(field, bias);
  const __m256d r2 = _mm256_mul_pd(r, r);
  __m256d p = _mm256_fmadd_pd(_mm256_set1_pd(0x1.9999cacdb4d0ap-3), r, _mm256_set1_pd(-0x1.0000148058ee1p-2));
  const __m256d q = _mm256_fmadd_pd(_mm256_set1_pd(0x1.55555555543c5p-2), r, _mm256_set1_pd(-0x1.ffffffffff81fp-2));
  p = _mm256_fmadd_pd(p, r2, q);
  p = _mm256_fmadd_pd(p, r2, r);
  // j - 512 from the bits of j (the exponent of 512 and 9 mantissa bits).
  const __m256i index = _mm256_sub_epi64(_mm256_srli_epi64(_mm256_castpd_si256(j), 43), _mm256_set1_epi64x(0x81000));
  const __m256d s = _mm256_add_pd(p, Load4(t.LnRecip, index));
  const __m256d y = _mm256_fmadd_pd(e, _mm256_set1_pd(0x1.62e42fefa39efp-1), s);
  const __m256d outside = _mm256_or_pd(_mm256_cmp_pd(x, _mm256_set1_pd(0x1p-1022), _CMP_LT_OQ),
                                       _mm256_cmp_pd(x, _mm256_set1_pd(0x1.fffffffffffffp+1023), _CMP_NLE_UQ));
  const int special = _mm256_movemask_pd(outside);
  return special ? ScalarLanes<ScalarLog>(x, y, special) : y;
}

__attribute__((target("avx2,fma"))) inline __m256d Log4(__m256d x, const Tables& t) {
  return LogFinish(LogStart(x), t);
}

}  // namespace tavorix::inl
