#include "fitting/LocationFits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "fitting/LineFits.h"
#include "fitting/VectorMath.h"

namespace tavorix {

namespace {

// Observed frequency kept inside (0, 1) before its double logarithm.
long double ClippedFr(long double fr) {
  if (fr >= 1) return 0.999L;
  if (fr <= 0) return 0.001L;
  return fr;
}

// Transforms the data for bound c and fits the least-squares line.
void FitLineAtBound(FitWorkspace& ws, BoundSide side, double c) {
  const int n = ws.N;
  const double* x = ws.X.data();
  double* xt = ws.Xt.data();
  if (side == BoundSide::Left) {
    for (int i = 1; i <= n; ++i) xt[i] = x[i] - c;
  } else {
    for (int i = 1; i <= n; ++i) xt[i] = c - x[i];
  }
  LogArray(xt + 1, xt + 1, n);
  Regression(ws.Line, xt, ws.Ft.data());
}

// g[i] = exp(-w) with w = (distance / exp(-B/A))^A, formed as exp(A
// ln(distance) + B): the same value without a second logarithm per datum.
// g is a scratch array of N + 1 values.
void BoundTerms(const FitWorkspace& ws, double a, double b, double* g) {
  const double* xt = ws.Xt.data();
  for (int i = 1; i <= ws.N; ++i) g[i] = a * xt[i] + b;
  ExpNegExpArray(g + 1, g + 1, ws.N);
}

// Squared misfit (no saturation) of the line fitted last.
template <bool Mirrored>
double SquaredMisfit(const FitWorkspace& ws, double* g) {
  BoundTerms(ws, ws.Line.ParA, ws.Line.ParB, g);
  const double* fr = ws.Fr.data();
  double sum = 0;
  for (int i = 1; i <= ws.N; ++i) {
    const double d = fr[i] - (Mirrored ? 1.0 - g[i] : g[i]);
    sum += d * d;
  }
  return sum;
}

double StepMisfit(FitWorkspace& ws, const LocationFitKind& kind, double c, double* g) {
  FitLineAtBound(ws, kind.Side, c);
  return kind.Mirrored ? SquaredMisfit<true>(ws, g) : SquaredMisfit<false>(ws, g);
}

}  // namespace

namespace {

// The bound of step k as LocationStepBound forms it, knowing the extremes of
// the data: a bound beyond them reaches no datum (a difference of two unequal
// doubles is never zero), so the look at every datum is left out.
double StepBound(const TavorixRun& run, const FitWorkspace& ws, BoundSide side, int k, double xmin,
                 double xmax) {
  const long double range = run.X[run.N] - run.X[1];
  if (side == BoundSide::Left) {
    const double c = static_cast<double>(run.X[1] - 0.01L * k * range);
    return c < xmin ? c : LocationStepBound(run, ws, side, k);
  }
  const double c = static_cast<double>(run.X[run.N] + 0.01L * k * range);
  return c > xmax ? c : LocationStepBound(run, ws, side, k);
}

// The stepping, three steps at a time in one pass over the data: the
// logarithms and first line sums of step k + 1, the deviation sums of step k
// and the misfit of step k - 1. The three chains of sums do not wait for one
// another, so the processor overlaps them with the exp and log work; each sum
// still adds its terms in rank order, so every line and misfit is the value
// of the step done alone. A step beyond the one that ends the stepping is
// computed and thrown away. Returns the best step (0: none).
class LocationStepper {
 public:
  LocationStepper(const TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind)
      : run_(run), ws_(ws), kind_(kind), n_(ws.N) {
    for (auto& b : xt_) b.assign(static_cast<std::size_t>(n_) + 1, 0.0);
    df_.assign(static_cast<std::size_t>(n_) + 1, 0.0);
    // The frequency sums are the same at every step.
    const double* ft = ws.Ft.data();
    double sumF = 0;
    for (int i = 1; i <= n_; ++i) sumF += ft[i];
    const double meanF = sumF / n_;
    double dfSum = 0;
    for (int i = 1; i <= n_; ++i) {
      df_[i] = ft[i] - meanF;
      dfSum += df_[i];
    }
    sumF_ = sumF;
    dfSum_ = dfSum;
    xmin_ = xmax_ = ws.X[1];
    for (int i = 1; i <= n_; ++i) {
      xmin_ = std::min(xmin_, ws.X[i]);
      xmax_ = std::max(xmax_, ws.X[i]);
    }
  }

  int Run() {
    double best = 1000000.0;
    int kBest = 0;
    const int last = kind_.MaxSteps;
    // Pass j: first sums of step j + 1, deviations of step j, misfit of j - 1.
    for (int j = 0; j <= last + 1; ++j) {
      if (((j + 1) & 255) == 0) run_.ThrowIfCancelled();
      Pass pass;
      pass.First = j + 1 <= last ? j + 1 : 0;
      pass.Second = j >= 1 && j <= last ? j : 0;
      pass.Misfit = j >= 2 ? j - 1 : 0;
      if (pass.First) c_[Slot(pass.First)] = StepBound(run_, ws_, kind_.Side, pass.First, xmin_, xmax_);
      kind_.Mirrored ? RunPass<true>(pass) : RunPass<false>(pass);
      if (pass.Misfit) {
        if (!(pass.Sum < best)) break;
        best = pass.Sum;
        kBest = pass.Misfit;
      }
      // The line of step j holds from the misfit of step j on.
      if (pass.Second) FinishLeastSquares(ws_.Line, sums_[Slot(pass.Second)], n_, n_ - 1);
    }
    return kBest;
  }

 private:
  struct Pass {
    int First = 0, Second = 0, Misfit = 0;  // step numbers, 0: not in this pass
    double Sum = 0;
  };
  static constexpr int kBlock = 16;

  static int Slot(int k) { return k % 3; }

  // The running sums of one pass.
  struct Sums {
    double SumX = 0, Lo = 0, Hi = 0;     // first sums of the step ahead
    double DxSum = 0, Sxx = 0, Sxy = 0;  // deviation sums of the step at hand
    double Sum = 0;                      // misfit of the step behind
  };

  // Adds the terms of points i0 .. i0 + m - 1 to the sums; g holds the double
  // exponentials of the block. Kept out of line so that the sums stay in
  // registers (they would live in memory across the exp and log calls).
  // F, S, M: the parts known to be in the pass; the others follow `pass`.
  template <bool F, bool S, bool M, bool Mirrored>
  [[gnu::noinline]] static Sums AddBlock(Sums acc, const double* xt1, const double* xt2,
                                         const double* df, const double* fr, const double* g,
                                         double meanX, int i0, int m, const Pass& pass) {
    const bool first = F || pass.First, second = S || pass.Second, misfit = M || pass.Misfit;
    double s1 = acc.SumX, l1 = acc.Lo, h1 = acc.Hi, s2 = acc.DxSum, q2 = acc.Sxx, p2 = acc.Sxy;
    double s3 = acc.Sum;
    for (int j = 0; j < m; ++j) {
      const int i = i0 + j;
      if (first) {
        const double v = xt1[i];
        s1 += v;
        l1 = v < l1 ? v : l1;
        h1 = v > h1 ? v : h1;
      }
      if (second) {
        const double dx = xt2[i] - meanX;
        s2 += dx;
        q2 += dx * dx;
        p2 += dx * df[i];
      }
      if (misfit) {
        const double d = fr[i] - (Mirrored ? 1.0 - g[j] : g[j]);
        s3 += d * d;
      }
    }
    return {s1, l1, h1, s2, q2, p2, s3};
  }

  template <bool Mirrored>
  void RunPass(Pass& pass) {
    const double* x = ws_.X.data();
    const double* fr = ws_.Fr.data();
    const double* df = df_.data();
    double* xt1 = xt_[Slot(pass.First)].data();
    const double* xt2 = xt_[Slot(pass.Second)].data();
    const double* xt3 = xt_[Slot(pass.Misfit)].data();
    const double c = c_[Slot(pass.First)];
    const bool left = kind_.Side == BoundSide::Left;
    LineSums first;
    first.SumF = sumF_;
    LineSums second = sums_[Slot(pass.Second)];
    second.DfSum = dfSum_;
    const double meanX = second.SumX / n_;
    const double a = ws_.Line.ParA, b = ws_.Line.ParB;
    Sums acc;
    const bool steady = pass.First && pass.Second && pass.Misfit;
    // Per block: the exp and log calls first, then one loop that adds to all
    // the sums, whose chains interleave.
    double t[kBlock], g[kBlock];
    for (int i0 = 1; i0 <= n_; i0 += kBlock) {
      const int m = std::min(kBlock, n_ - i0 + 1);
      if (pass.First) {
        for (int j = 0; j < m; ++j) t[j] = left ? x[i0 + j] - c : c - x[i0 + j];
        LogArray(t, xt1 + i0, m);
        if (i0 == 1) acc.Lo = acc.Hi = xt1[1];
      }
      if (pass.Misfit) {
        for (int j = 0; j < m; ++j) g[j] = a * xt3[i0 + j] + b;
        ExpNegExpArray(g, g, m);
      }
      acc = steady ? AddBlock<true, true, true, Mirrored>(acc, xt1, xt2, df, fr, g, meanX, i0, m, pass)
                   : AddBlock<false, false, false, Mirrored>(acc, xt1, xt2, df, fr, g, meanX, i0, m,
                                                             pass);
    }
    if (pass.First) {
      first.SumX = acc.SumX;
      first.Lo = acc.Lo;
      first.Hi = acc.Hi;
      sums_[Slot(pass.First)] = first;
    }
    if (pass.Second) {
      second.DxSum = acc.DxSum;
      second.Sxx = acc.Sxx;
      second.Sxy = acc.Sxy;
      sums_[Slot(pass.Second)] = second;
    }
    pass.Sum = acc.Sum;
  }

  const TavorixRun& run_;
  FitWorkspace& ws_;
  const LocationFitKind& kind_;
  const int n_;
  std::array<std::vector<double>, 3> xt_;  // Xt of the steps in flight, by step % 3
  std::array<double, 3> c_{};
  std::array<LineSums, 3> sums_{};
  std::vector<double> df_;
  double sumF_ = 0, dfSum_ = 0, xmin_ = 0, xmax_ = 0;
};

}  // namespace

double LocationStepBound(const TavorixRun& run, const FitWorkspace& ws, BoundSide side, int k) {
  const long double range = run.X[run.N] - run.X[1];
  const double* x = ws.X.data();
  if (side == BoundSide::Left) {
    double c = static_cast<double>(run.X[1] - 0.01L * k * range);
    for (int i = 1; i <= ws.N; ++i)
      if (x[i] - c <= 0) c = x[i] - 0.001;
    return c;
  }
  double c = static_cast<double>(run.X[run.N] + 0.01L * k * range);
  for (int i = 1; i <= ws.N; ++i)
    if (c - x[i] <= 0) c = x[i] + 0.001;
  return c;
}

double LocationStepMisfit(const TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind, int k,
                          double* g) {
  return StepMisfit(ws, kind, LocationStepBound(run, ws, kind.Side, k), g);
}

void FillLocationFt(const TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind) {
  for (int i = 1; i <= run.N; ++i) {
    const long double fr = ClippedFr(run.Fr[i]);
    ws.Ft[i] = static_cast<double>(std::log(-std::log(kind.Mirrored ? 1.0L - fr : fr)));
  }
}

void FitLocation(TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind) {
  FitSlot& slot = run.Slots[kind.Code];
  slot = FitSlot{};
  slot.Ran = true;
  const int n = run.N;
  FillLocationFt(run, ws, kind);

  std::vector<double> g(static_cast<std::size_t>(n) + 1, 0.0);
  const int kBest = LocationStepper(run, ws, kind).Run();
  if (kBest == 0) {
    slot.Score = 1000;
    return;
  }

  FitParams& p = slot.P;
  p.C = LocationStepBound(run, ws, kind.Side, kBest);
  FitLineAtBound(ws, kind.Side, p.C);
  p.A = ws.Line.ParA;
  p.B = ws.Line.ParB;
  BoundTerms(ws, p.A, p.B, g.data());
  double sumAbs = 0;
  for (int i = 1; i <= n; ++i) sumAbs += std::fabs(ws.Fr[i] - (kind.Mirrored ? 1.0 - g[i] : g[i]));
  slot.Score = sumAbs;
  slot.HasResult = true;
  slot.Listed = run.BestOfAll();
}

}  // namespace tavorix
