#include "fitting/StepLanes.h"

#include <algorithm>
#include <cmath>

#include "fitting/VectorMath.h"

#if defined(TAVORIX_HAVE_LIBMVEC) && defined(__x86_64__) && defined(__GNUC__)
#define TAVORIX_STEP_LANES 1
#include "fitting/InlineExpLog.h"
#endif

namespace tavorix::lanes {

bool Available() { return ActiveMathPath() == MathPath::Avx2Inline; }

#ifdef TAVORIX_STEP_LANES

namespace {

__attribute__((target("avx2,fma"))) inline void Store(double* out, __m256d v) { _mm256_storeu_pd(out, v); }

// The points of a pass with their steps overlapped (software pipelining):
// one trip of the loop does start(i + 2), middle(i + 1) and finish(i), so
// that the processor's scheduler holds steps whose inputs are ready instead
// of one long chain per point. finish sees the points in order.
template <class Start, class Middle, class Finish>
__attribute__((target("avx2,fma"))) inline void Overlapped(int n, Start&& start, Middle&& middle,
                                                           Finish&& finish) {
  if (n < 3) {
    for (int i = 1; i <= n; ++i) finish(i, middle(start(i)));
    return;
  }
  auto a = start(2);
  auto b = middle(start(1));
  for (int i = 1; i <= n - 2; ++i) {
    auto a2 = start(i + 2);
    auto b2 = middle(a);
    finish(i, b);
    a = a2;
    b = b2;
  }
  finish(n - 1, b);
  finish(n, middle(a));
}

// The same in four steps: start(i + 3), early(i + 2), late(i + 1), finish(i).
template <class Start, class Early, class Late, class Finish>
__attribute__((target("avx2,fma"))) inline void Overlapped(int n, Start&& start, Early&& early, Late&& late,
                                                           Finish&& finish) {
  if (n < 4) {
    for (int i = 1; i <= n; ++i) finish(i, late(early(start(i))));
    return;
  }
  auto a = start(3);
  auto b = early(start(2));
  auto c = late(early(start(1)));
  for (int i = 1; i <= n - 3; ++i) {
    auto a2 = start(i + 3);
    auto b2 = early(a);
    auto c2 = late(b);
    finish(i, c);
    a = a2;
    b = b2;
    c = c2;
  }
  finish(n - 2, c);
  finish(n - 1, late(b));
  finish(n, late(early(a)));
}

// Writes the lanes' Xt of every point, the logarithm of argumentOf(i), and
// forms the first sums.
template <class ArgumentOf>
__attribute__((target("avx2,fma"))) inline FirstSums FormXt(int n, double* xt, ArgumentOf&& argumentOf) {
  const inl::Tables& t = inl::TablesOnce();
  __m256d sum = _mm256_setzero_pd(), lo = sum, hi = sum;
  const auto start = [](__m256d v) __attribute__((target("avx2,fma"))) { return inl::LogStart(v); };
  Overlapped(n, argumentOf, start, [&](int i, const inl::LogHalf& h) __attribute__((target("avx2,fma"))) {
    const __m256d v = inl::LogFinish(h, t);
    _mm256_storeu_pd(xt + 4 * i, v);
    if (i == 1) lo = hi = v;
    sum = _mm256_add_pd(sum, v);
    lo = _mm256_blendv_pd(lo, v, _mm256_cmp_pd(v, lo, _CMP_LT_OQ));
    hi = _mm256_blendv_pd(hi, v, _mm256_cmp_pd(v, hi, _CMP_GT_OQ));
  });
  FirstSums f;
  Store(f.SumX, sum);
  Store(f.Lo, lo);
  Store(f.Hi, hi);
  return f;
}

}  // namespace

__attribute__((target("avx2,fma"))) FirstSums BoundTransform(const double* x, int n, const double* c,
                                                              bool left, double* xt) {
  const __m256d vc = _mm256_loadu_pd(c);
  return FormXt(n, xt, [&](int i) __attribute__((target("avx2,fma"))) {
    const __m256d xi = _mm256_set1_pd(x[i]);
    return left ? _mm256_sub_pd(xi, vc) : _mm256_sub_pd(vc, xi);
  });
}

__attribute__((target("avx2,fma"))) FirstSums RatioTransform(const double* xa, int n, const double* s,
                                                              double* xt) {
  const __m256d vs = _mm256_loadu_pd(s);
  return FormXt(n, xt, [&](int i) __attribute__((target("avx2,fma"))) {
    return _mm256_div_pd(vs, _mm256_add_pd(_mm256_set1_pd(xa[i]), vs));
  });
}

namespace {

// The deviation sums of one group against its means, added a point at a
// time in point order.
struct DeviationPass {
  __m256d Mean, S, Q, P;
  __attribute__((target("avx2,fma"))) explicit DeviationPass(__m256d mean)
      : Mean(mean), S(_mm256_setzero_pd()), Q(S), P(S) {}
  __attribute__((target("avx2,fma"))) void Add(const double* xt, int i, __m256d df) {
    const __m256d dx = _mm256_sub_pd(_mm256_loadu_pd(xt + 4 * i), Mean);
    S = _mm256_add_pd(S, dx);
    Q = _mm256_add_pd(Q, _mm256_mul_pd(dx, dx));
    P = _mm256_add_pd(P, _mm256_mul_pd(dx, df));
  }
  __attribute__((target("avx2,fma"))) DeviationSums Sums() const {
    DeviationSums d;
    Store(d.DxSum, S);
    Store(d.Sxx, Q);
    Store(d.Sxy, P);
    return d;
  }
};

}  // namespace

__attribute__((target("avx2,fma"))) DeviationSums Deviations(const double* xt, const double* df, int n,
                                                              const double* meanX) {
  DeviationPass pass(_mm256_loadu_pd(meanX));
  for (int i = 1; i <= n; ++i) pass.Add(xt, i, _mm256_set1_pd(df[i]));
  return pass.Sums();
}

namespace {

// The lanes' means of Xt: SumX / n.
__attribute__((target("avx2,fma"))) inline __m256d MeanOf(const FirstSums& first, int n) {
  return _mm256_div_pd(_mm256_loadu_pd(first.SumX), _mm256_set1_pd(n));
}

// The lines of one group from its sums, as FinishLeastSquares makes them,
// its divisions and square root in vector form (each rounds as its scalar
// form), then taken over in step order: a lane without variation keeps the
// slope, intercept and spread of the line before it.
__attribute__((target("avx2,fma"))) void FinishLines(const FirstSums& first, const DeviationSums& second,
                                                      const LineFtSums& ft, int n, LineState& line,
                                                      LineState* after) {
  const __m256d vn = _mm256_set1_pd(n);
  __m256d meanX = MeanOf(first, n);
  const __m256d dxSum = _mm256_loadu_pd(second.DxSum), dfSum = _mm256_set1_pd(ft.DfSum);
  __m256d meanF = _mm256_div_pd(_mm256_set1_pd(ft.SumF), vn);
  const __m256d sxx = _mm256_sub_pd(_mm256_loadu_pd(second.Sxx), _mm256_div_pd(_mm256_mul_pd(dxSum, dxSum), vn));
  const __m256d sxy = _mm256_sub_pd(_mm256_loadu_pd(second.Sxy), _mm256_div_pd(_mm256_mul_pd(dxSum, dfSum), vn));
  meanX = _mm256_add_pd(meanX, _mm256_div_pd(dxSum, vn));
  meanF = _mm256_add_pd(meanF, _mm256_div_pd(dfSum, vn));
  const __m256d a = _mm256_div_pd(sxy, sxx);
  const __m256d b = _mm256_sub_pd(meanF, _mm256_mul_pd(a, meanX));
  const __m256d sd = _mm256_sqrt_pd(_mm256_div_pd(sxx, _mm256_set1_pd(n - 1)));
  const __m256d variation =
      _mm256_and_pd(_mm256_cmp_pd(_mm256_loadu_pd(first.Hi), _mm256_loadu_pd(first.Lo), _CMP_GT_OQ),
                    _mm256_cmp_pd(sxx, _mm256_setzero_pd(), _CMP_GT_OQ));
  alignas(32) double mx[kLanes], mf[kLanes], pa[kLanes], pb[kLanes], sdx[kLanes];
  _mm256_store_pd(mx, meanX);
  _mm256_store_pd(mf, meanF);
  _mm256_store_pd(pa, a);
  _mm256_store_pd(pb, b);
  _mm256_store_pd(sdx, sd);
  const int varies = _mm256_movemask_pd(variation);
  for (int l = 0; l < kLanes; ++l) {
    line.MeanXt = mx[l];
    line.MeanFt = mf[l];
    line.NoVariation = !(varies & (1 << l));
    if (!line.NoVariation) {
      line.ParA = pa[l];
      line.ParB = pb[l];
      line.SdXt = sdx[l];
    }
    after[l] = line;
  }
}

}  // namespace

__attribute__((target("avx2,fma"))) void MakeLines(const double* xt, const FirstSums& first, const LineFtSums& ft,
                                                    int n, LineState& line, LineState* after) {
  alignas(32) double means[kLanes];
  _mm256_store_pd(means, MeanOf(first, n));
  FinishLines(first, Deviations(xt, ft.Df, n, means), ft, n, line, after);
}

__attribute__((target("avx2,fma"))) void MakeLinesOfTwo(const double* xt0, const FirstSums& first0,
                                                         const double* xt1, const FirstSums& first1,
                                                         const LineFtSums& ft, int n, LineState& line,
                                                         LineState* after0, LineState* after1) {
  // The deviation sums of both groups in one pass: two sets of chains of
  // additions at once, each in point order as Deviations adds them.
  DeviationPass pass0(MeanOf(first0, n)), pass1(MeanOf(first1, n));
  for (int i = 1; i <= n; ++i) {
    const __m256d df = _mm256_set1_pd(ft.Df[i]);
    pass0.Add(xt0, i, df);
    pass1.Add(xt1, i, df);
  }
  FinishLines(first0, pass0.Sums(), ft, n, line, after0);
  FinishLines(first1, pass1.Sums(), ft, n, line, after1);
}

__attribute__((target("avx2,fma"))) void BoundMisfits(const double* xt, const double* fr, int n,
                                                       const double* a, const double* b, bool mirrored,
                                                       double* misfit) {
  const inl::Tables& t = inl::TablesOnce();
  const __m256d va = _mm256_loadu_pd(a), vb = _mm256_loadu_pd(b);
  const __m256d sign = _mm256_set1_pd(-0.0), one = _mm256_set1_pd(1.0);
  __m256d sum = _mm256_setzero_pd();
  Overlapped(
      n,
      [&](int i) __attribute__((target("avx2,fma"))) {
        return inl::ExpStart(_mm256_add_pd(_mm256_mul_pd(va, _mm256_loadu_pd(xt + 4 * i)), vb));
      },
      [&](const inl::ExpHalf& h) __attribute__((target("avx2,fma"))) {
        return _mm256_xor_pd(inl::ExpFinish(h, t), sign);
      },
      [](__m256d e) __attribute__((target("avx2,fma"))) { return inl::ExpStart(e); },
      [&](int i, const inl::ExpHalf& h) __attribute__((target("avx2,fma"))) {
        const __m256d g = inl::ExpFinish(h, t);
        const __m256d d = _mm256_sub_pd(_mm256_set1_pd(fr[i]), mirrored ? _mm256_sub_pd(one, g) : g);
        sum = _mm256_add_pd(sum, _mm256_mul_pd(d, d));
      });
  Store(misfit, sum);
}

namespace {

// The saturated square of fr - fc.
__attribute__((target("avx2,fma"))) inline __m256d SaturatedSq4(double fr, __m256d fc) {
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d d = _mm256_sub_pd(_mm256_set1_pd(fr), fc);
  const __m256d outside = _mm256_or_pd(_mm256_cmp_pd(d, one, _CMP_GT_OQ),
                                       _mm256_cmp_pd(d, _mm256_set1_pd(-1.0), _CMP_LT_OQ));
  return _mm256_blendv_pd(_mm256_mul_pd(d, d), one, outside);
}

__attribute__((target("avx2,fma"))) inline bool AllAbove(__m256d sum, double cutoff) {
  return _mm256_movemask_pd(_mm256_cmp_pd(sum, _mm256_set1_pd(cutoff), _CMP_GT_OQ)) == 15;
}

// The lanes' misfits, termOf(i) the terms of point i; the top sixteenth of
// the points (at least 8) is summed first and its terms kept, and the sums
// stop once every lane is above the cut-off. (Overlapping the halves of the
// exponential here was measured: no gain, the sums being short.)
template <class TermOf>
__attribute__((target("avx2,fma"))) inline void CutMisfits(int n, double cutoff, double* tail, double* misfit,
                                                           TermOf&& termOf) {
  constexpr int kBlock = 8;  // points between looks at the cut-off
  const int tail0 = std::max(1, n - std::max(8, n / 16) + 1);
  const bool cut = cutoff < HUGE_VAL;
  if (cut) {
    __m256d probe = _mm256_setzero_pd();
    for (int i = tail0; i <= n; ++i) {
      const __m256d term = termOf(i);
      _mm256_storeu_pd(tail + 4 * (i - tail0), term);
      probe = _mm256_add_pd(probe, term);
    }
    if (AllAbove(probe, cutoff)) {
      Store(misfit, probe);
      return;
    }
  }
  // The points below the probe, then the probe's terms: every lane's whole
  // sum in point order, unless all are above the cut-off before the end.
  __m256d sum = _mm256_setzero_pd();
  bool above = false;
  for (int i = 1, end = cut ? tail0 - 1 : n; i <= end && !above; ++i) {
    sum = _mm256_add_pd(sum, termOf(i));
    above = cut && i % kBlock == 0 && AllAbove(sum, cutoff);
  }
  if (cut && !above)
    for (int i = tail0; i <= n; ++i) sum = _mm256_add_pd(sum, _mm256_loadu_pd(tail + 4 * (i - tail0)));
  Store(misfit, sum);
}

}  // namespace

__attribute__((target("avx2,fma"))) void BurrMisfits(const double* xt, const double* fr, int n,
                                                      const double* a, const double* b, bool dagum,
                                                      double cutoff, double* tail, double* misfit) {
  const inl::Tables& t = inl::TablesOnce();
  const __m256d va = _mm256_loadu_pd(a), vb = _mm256_loadu_pd(b), one = _mm256_set1_pd(1.0);
  CutMisfits(n, cutoff, tail, misfit, [&](int i) __attribute__((target("avx2,fma"))) {
    const __m256d ez = inl::Exp4(_mm256_add_pd(_mm256_mul_pd(va, _mm256_loadu_pd(xt + 4 * i)), vb), t);
    return SaturatedSq4(fr[i], dagum ? ez : _mm256_sub_pd(one, ez));
  });
}

__attribute__((target("avx2,fma"))) void KumaraswamyTransform(const double* lnr, int n, const double* a,
                                                               double* xt, double* sumX) {
  const inl::Tables& t = inl::TablesOnce();
  const __m256d va = _mm256_loadu_pd(a), one = _mm256_set1_pd(1.0);
  const __m256d floor = _mm256_set1_pd(0.00001), minusInf = _mm256_set1_pd(-HUGE_VAL);
  __m256d sum = _mm256_setzero_pd();
  Overlapped(
      n,
      [&](int i) __attribute__((target("avx2,fma"))) {
        return inl::ExpStart(_mm256_mul_pd(va, _mm256_set1_pd(lnr[i])));
      },
      [&](const inl::ExpHalf& h) __attribute__((target("avx2,fma"))) {
        return _mm256_sub_pd(one, inl::ExpFinish(h, t));
      },
      [](__m256d d) __attribute__((target("avx2,fma"))) { return inl::LogStart(d); },
      [&](int i, const inl::LogHalf& h) __attribute__((target("avx2,fma"))) {
        const __m256d v = inl::LogFinish(h, t);
        const __m256d x = _mm256_blendv_pd(floor, v, _mm256_cmp_pd(v, minusInf, _CMP_GT_OQ));
        _mm256_storeu_pd(xt + 4 * i, x);
        sum = _mm256_add_pd(sum, x);
      });
  Store(sumX, sum);
}

__attribute__((target("avx2,fma"))) void KumaraswamyMisfits(const double* xt, const double* fr, int n,
                                                             const double* b, double cutoff, double* tail,
                                                             double* misfit) {
  const inl::Tables& t = inl::TablesOnce();
  const __m256d vb = _mm256_loadu_pd(b), one = _mm256_set1_pd(1.0);
  CutMisfits(n, cutoff, tail, misfit, [&](int i) __attribute__((target("avx2,fma"))) {
    return SaturatedSq4(fr[i], _mm256_sub_pd(one, inl::Exp4(_mm256_mul_pd(vb, _mm256_loadu_pd(xt + 4 * i)), t)));
  });
}

#else

void MakeLines(const double*, const FirstSums&, const LineFtSums&, int, LineState&, LineState*) {}
void MakeLinesOfTwo(const double*, const FirstSums&, const double*, const FirstSums&, const LineFtSums&, int,
                    LineState&, LineState*, LineState*) {}
FirstSums RatioTransform(const double*, int, const double*, double*) { return {}; }
void BurrMisfits(const double*, const double*, int, const double*, const double*, bool, double, double*,
                 double*) {}
void KumaraswamyTransform(const double*, int, const double*, double*, double*) {}
void KumaraswamyMisfits(const double*, const double*, int, const double*, double, double*, double*) {}
FirstSums BoundTransform(const double*, int, const double*, bool, double*) { return {}; }
DeviationSums Deviations(const double*, const double*, int, const double*) { return {}; }
void BoundMisfits(const double*, const double*, int, const double*, const double*, bool, double*) {}

#endif

}  // namespace tavorix::lanes
