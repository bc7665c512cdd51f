#pragma once
// Four steps of a line search side by side (a bound stepping, a row of the
// Burr and Dagum grids), one in each lane of a 4-wide
// vector: the lanes read the same datum, so every sum of a step still adds
// its terms in point order and every value is rounded as in the step done
// alone (the line pipeline, Regression and the misfit loop), while the four
// chains of additions run at once instead of one after the other. Xt of the
// four steps is kept interleaved: xt[4 i + l] is point i of lane l, i = 1..n.
// Only where Available(): the inline 4-wide exp and log are the active path,
// so each exp and log is also the value the array functions give.

#include "fitting/LineFits.h"

namespace tavorix::lanes {

constexpr int kLanes = 4;

bool Available();

// First sums of each lane: the sum of Xt and its extremes (NaN never taken).
struct FirstSums {
  double SumX[kLanes], Lo[kLanes], Hi[kLanes];
};
// Second sums: of dx = Xt - meanX, dx * dx and dx * df.
struct DeviationSums {
  double DxSum[kLanes], Sxx[kLanes], Sxy[kLanes];
};

// xt[4 i + l] = ln(x[i] - c[l]) (left bound) or ln(c[l] - x[i]), and the
// first sums. xt holds 4 (n + 1) values.
FirstSums BoundTransform(const double* x, int n, const double* c, bool left, double* xt);
// xt[4 i + l] = ln(s[l] / (xa[i] + s[l])), the Burr transform with scale
// s[l] and xa[i] = X_i^A, and the first sums.
FirstSums RatioTransform(const double* xa, int n, const double* s, double* xt);
// The deviation sums against the lanes' means; df[i] = Ft[i] - mean Ft.
DeviationSums Deviations(const double* xt, const double* df, int n, const double* meanX);
// What the lines take from Ft: Df[i] = Ft[i] - mean Ft (1..n), the sums of
// Ft and of Df.
struct LineFtSums {
  const double* Df;
  double SumF, DfSum;
};
// The deviation sums of the four steps and their least-squares lines, made
// in step order from `line` as FinishLeastSquares makes them: after[l] is
// the line of lane l, and `line` ends as the last lane's.
void MakeLines(const double* xt, const FirstSums& first, const LineFtSums& ft, int n, LineState& line,
               LineState* after);
// The lines of two groups, the second following the first in step order
// (after0, then after1), as two calls of MakeLines make them; the deviation
// sums of both are formed in one pass.
void MakeLinesOfTwo(const double* xt0, const FirstSums& first0, const double* xt1, const FirstSums& first1,
                    const LineFtSums& ft, int n, LineState& line, LineState* after0, LineState* after1);
// The slopes and intercepts of a group's lines, lane by lane, as the misfits
// take them.
struct GroupLines {
  double A[kLanes], B[kLanes];
  explicit GroupLines(const LineState* after) {
    for (int l = 0; l < kLanes; ++l) {
      A[l] = after[l].ParA;
      B[l] = after[l].ParB;
    }
  }
};

// misfit[l] = sum of (fr[i] - h)^2 with g = exp(-exp(a[l] xt + b[l])), h = g,
// or 1 - g when mirrored.
void BoundMisfits(const double* xt, const double* fr, int n, const double* a, const double* b,
                  bool mirrored, double* misfit);
// misfit[l] = sum of the saturated squares of fr[i] - Fc, ez = exp(a[l] xt +
// b[l]), Fc = ez (Dagum) or 1 - ez (Burr). Misfits above `cutoff` are only
// needed as such: the top points are summed first (their terms kept in tail,
// 4 n values), and once every lane's sum is above the cut-off the partial
// sums are given (each above it and at most its whole sum); otherwise every
// lane gets its whole sum in point order.
void BurrMisfits(const double* xt, const double* fr, int n, const double* a, const double* b, bool dagum,
                 double cutoff, double* tail, double* misfit);

// The Kumaraswamy transform of four exponents: xt[4 i + l] = ln(1 -
// exp(a[l] lnr[i])), or 0.00001 where that difference is not positive, and
// the sum of each lane's Xt.
void KumaraswamyTransform(const double* lnr, int n, const double* a, double* xt, double* sumX);
// misfit[l] = sum of the saturated squares of fr[i] - (1 - exp(b[l] xt)),
// with the cut-off as in BurrMisfits.
void KumaraswamyMisfits(const double* xt, const double* fr, int n, const double* b, double cutoff,
                        double* tail, double* misfit);

}  // namespace tavorix::lanes
