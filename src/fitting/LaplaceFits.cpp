#include "fitting/LaplaceFits.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "fitting/LineFits.h"

namespace tavorix {

namespace {

constexpr int kExponentSteps = 80;  // E1, E2 = 0.025 .. 2.000

// Linearised frequencies of the two halves: ln(2 Fr) below the mode and
// ln 0.5 - ln(1 - Fr) above it, formed from the run's extended Fr.
void LaplaceTransforms(const TavorixRun& run, std::vector<double>& low, std::vector<double>& high) {
  low.assign(static_cast<std::size_t>(run.N) + 1, 0.0);
  high.assign(static_cast<std::size_t>(run.N) + 1, 0.0);
  for (int i = 1; i <= run.N; ++i) {
    low[i] = static_cast<double>(std::log(2.0L * run.Fr[i]));
    high[i] = static_cast<double>(std::log(0.5L) - std::log(1.0L - run.Fr[i]));
  }
}

// Saturated squared misfit of the lower half over ranks 1..m, the exponent
// capped at 100.
double LowerHalfMisfit(const double* xt, const double* fr, int m, double mode, double s1) {
  double sum = 0;
  for (int i = 1; i <= m; ++i) {
    const double z = std::min((xt[i] - mode) / s1, 100.0);
    sum += SaturatedSq(fr[i] - 0.5 * std::exp(z));
  }
  return sum;
}

// Final evaluation of either fit on the transformed values xt: the lower
// formula at and below the mode, the upper one above it. Writes the values
// into run.FcCalc and returns the sum of absolute deviations.
double FinishLaplace(TavorixRun& run, const double* xt, const double* fr, double mode, double s1,
                     double s2) {
  run.FcCalc.assign(static_cast<std::size_t>(run.N) + 1, 0.0L);
  double sumAbs = 0;
  for (int i = 1; i <= run.N; ++i) {
    const double fc = xt[i] <= mode ? 0.5 * std::exp((xt[i] - mode) / s1)
                                    : 1.0 - 0.5 * std::exp(-(xt[i] - mode) / s2);
    run.FcCalc[i] = fc;
    sumAbs += std::fabs(fr[i] - fc);
  }
  return sumAbs;
}

void MarkRan(FitSlot& slot, const TavorixRun& run) {
  slot = FitSlot{};
  slot.Ran = true;
  slot.Listed = run.BestOfAll();
}

// A fit without a result, or one that does not count: score 1000, not listed.
void Reject(FitSlot& slot) {
  slot.Score = 1000;
  slot.Listed = false;
}

// The least misfit of a search and where it lies: the mode candidate J (0
// while nothing has won), the steps E and F of the exponents E1 and E2 (the
// generalized fit only) and the slopes A1 and A2 of the two halves there. A
// misfit takes the place only when it is lower: of equal misfits the first
// stays, and one that is not a number never wins.
struct LaplaceBest {
  double Misfit = 1000000.0;
  int J = 0, E = 0, F = 0;
  double A1 = 0, A2 = 0;

  void Offer(double misfit, int j, double a1, double a2, int e = 0, int f = 0) {
    if (misfit < Misfit) {
      Misfit = misfit;
      J = j;
      E = e;
      F = f;
      A1 = a1;
      A2 = a2;
    }
  }
};

// The slopes of the best candidate and the scales 1/A of the two halves.
void SetSlopes(LaplaceParams& p, const LaplaceBest& best) {
  p.A1 = best.A1;
  p.A2 = best.A2;
  p.S1 = 1.0 / best.A1;
  p.S2 = 1.0 / best.A2;
}

}  // namespace

LaplaceModeCandidates MakeLaplaceModes(const TavorixRun& run, int lowRank, int highRank) {
  LaplaceModeCandidates c;
  const long double x1 = run.X[lowRank];
  const long double x2 = run.X[highRank];
  for (int j = 1; j <= kLaplaceModes; ++j) {
    const long double b = x1 + (x2 - x1) * j / 20;
    int m = run.N;
    for (int i = 1; i <= run.N; ++i) {
      if (run.X[i] > b) {
        m = i;
        break;
      }
    }
    c.B[j] = static_cast<double>(b);
    c.M[j] = m;
  }
  return c;
}

void FitLaplace(TavorixRun& run, FitWorkspace& ws) {
  FitSlot& slot = run.Slots[68];
  MarkRan(slot, run);
  const int n = run.N;
  const LaplaceModeCandidates modes =
      MakeLaplaceModes(run, static_cast<int>(std::lround(n / 3.0)), static_cast<int>(std::lround(2.0 * n / 3.0)));
  std::vector<double> ftLow, ftHigh;
  LaplaceTransforms(run, ftLow, ftHigh);

  const double* x = ws.X.data();
  const double* fr = ws.Fr.data();
  double* ft = ws.Ft.data();
  LineState& line = ws.Line;
  LaplaceBest best;
  for (int j = 1; j <= kLaplaceModes; ++j) {
    const double b = modes.B[j];
    const int m = modes.M[j];
    for (int i = 1; i <= n; ++i) ft[i] = i <= m ? ftLow[i] : ftHigh[i];
    line.M = m;
    RegressionLow(line, x, ft);
    const double a1 = line.ParA;
    RatioLineHigh(line, x, ft);
    const double a2 = line.ParA;
    const double s1 = 1.0 / a1;
    const double s2 = 1.0 / a2;
    double sum = LowerHalfMisfit(x, fr, m, b, s1);
    for (int i = m + 1; i <= n; ++i) {
      const double d = fr[i] - (1.0 - 0.5 * std::exp(-(x[i] - b) / s2));
      sum += d * d;
    }
    best.Offer(sum, j, a1, a2);
  }
  if (best.J == 0) {  // every candidate gave a misfit that is not a number
    Reject(slot);
    return;
  }

  FitParams& p = slot.P;
  p.Laplace.Mode = modes.B[best.J];
  p.Laplace.BreakRank = modes.M[best.J];
  SetSlopes(p.Laplace, best);
  slot.Score = FinishLaplace(run, x, fr, p.Laplace.Mode, p.Laplace.S1, p.Laplace.S2);
  slot.HasResult = true;
}

void FitLaplaceGeneralized(TavorixRun& run, FitWorkspace& ws) {
  FitSlot& slot = run.Slots[73];
  MarkRan(slot, run);
  const int n = run.N;
  const std::size_t stride = static_cast<std::size_t>(n) + 1;
  const LaplaceModeCandidates modes = MakeLaplaceModes(run, n / 3, (2 * n) / 3);
  std::vector<double> ftLow, ftHigh;
  LaplaceTransforms(run, ftLow, ftHigh);
  const double* fr = ws.Fr.data();

  // X^E for every exponent of the grid (E1 and E2 share the values), and
  // the logarithms of the candidate modes for B' = B^E1.
  std::array<double, kExponentSteps + 1> expo{};
  std::vector<double> pow(stride * (kExponentSteps + 1), 0.0);
  for (int e = 1; e <= kExponentSteps; ++e) {
    expo[e] = static_cast<double>(0.025L * e);
    double* row = pow.data() + stride * e;
    for (int i = 1; i <= n; ++i) row[i] = std::exp(expo[e] * ws.LnX[i]);
  }
  auto powRow = [&](int e) { return pow.data() + stride * e; };
  std::array<double, kLaplaceModes + 1> lnMode{};
  for (int j = 1; j <= kLaplaceModes; ++j) lnMode[j] = std::log(modes.B[j]);

  // The upper half's centroid (ranks M+1..N) for each E2 and mode, summed
  // in rank order as RatioLineHigh sums it; 1000 when the upper half is
  // empty.
  std::vector<double> highMeanXt((kExponentSteps + 1) * (kLaplaceModes + 1), 1000.0);
  std::array<double, kLaplaceModes + 1> highMeanFt{};
  for (int j = 1; j <= kLaplaceModes; ++j) {
    const int m = modes.M[j];
    highMeanFt[j] = 1000.0;
    if (m >= n) continue;
    double sumF = 0;
    for (int i = m + 1; i <= n; ++i) sumF += ftHigh[i];
    highMeanFt[j] = sumF / (n - m);
    for (int f = 1; f <= kExponentSteps; ++f) {
      const double* xt = powRow(f);
      double sumX = 0;
      for (int i = m + 1; i <= n; ++i) sumX += xt[i];
      highMeanXt[f * (kLaplaceModes + 1) + j] = sumX / (n - m);
    }
  }

  // The search. For one E1 the least-squares slope A1 of the lower half and
  // the lower half's misfit do not depend on E2, so they are formed once per
  // (E1, mode); the upper half continues the same running sum in rank order.
  // When the lower half has no variation the slope of the line fitted last
  // (the previous grid point's A2) stands in for A1, as the shared line
  // state gives it; that case is evaluated in full at every grid point.
  LineState low = ws.Line;
  double lastSlope = ws.Line.ParA;
  std::array<double, kLaplaceModes + 1> a1Of{}, lowerSumOf{}, modeOf{};
  std::array<bool, kLaplaceModes + 1> noVariation{};
  LaplaceBest best;
  for (int e = 1; e <= kExponentSteps; ++e) {
    const double* xtLow = powRow(e);
    for (int j = 1; j <= kLaplaceModes; ++j) {
      low.M = modes.M[j];
      RegressionLow(low, xtLow, ftLow.data());
      noVariation[j] = low.NoVariation;
      a1Of[j] = low.ParA;
      modeOf[j] = std::exp(expo[e] * lnMode[j]);
      if (!noVariation[j]) lowerSumOf[j] = LowerHalfMisfit(xtLow, fr, modes.M[j], modeOf[j], 1.0 / a1Of[j]);
    }
    for (int f = 1; f <= kExponentSteps; ++f) {
      const double* xtHigh = powRow(f);
      for (int j = 1; j <= kLaplaceModes; ++j) {
        const int m = modes.M[j];
        const double mode = modeOf[j];
        if (!noVariation[j]) lastSlope = a1Of[j];
        const double a1 = lastSlope;
        const double meanXt = highMeanXt[f * (kLaplaceModes + 1) + j];
        const double a2 = meanXt != xtLow[m] ? (highMeanFt[j] - ftLow[m]) / (meanXt - xtLow[m]) : 100.0;
        lastSlope = a2;
        const double s1 = 1.0 / a1;
        double s2 = 1.0 / a2;
        if (s2 < 0) s2 = 1.0;
        double sum = noVariation[j] ? LowerHalfMisfit(xtLow, fr, m, mode, s1) : lowerSumOf[j];
        // Adding squares never lowers the sum: once it reaches the best
        // misfit this grid point cannot give a new minimum.
        for (int i = m + 1; i <= n && sum < best.Misfit; ++i) {
          double z = -(xtHigh[i] - mode) / s2;
          z = z > 0 ? 0.0 : z;
          const double d = fr[i] - (1.0 - 0.5 * std::exp(std::min(z, 100.0)));
          sum += d * d;
        }
        best.Offer(sum, j, a1, a2, e, f);
      }
    }
  }
  if (best.J == 0) {  // every candidate gave a misfit that is not a number
    Reject(slot);
    return;
  }

  FitParams& p = slot.P;
  p.Laplace.E1 = expo[best.E];
  p.Laplace.E2 = expo[best.F];
  p.Laplace.BreakRank = modes.M[best.J];
  p.Laplace.Mode = std::exp(p.Laplace.E1 * lnMode[best.J]);
  SetSlopes(p.Laplace, best);
  if (p.Laplace.S2 < 0) p.Laplace.S2 = 1.0;
  // Final: X^E1 below the break rank, X^E2 from it on.
  double* xt = ws.Xt.data();
  for (int i = 1; i <= n; ++i) xt[i] = std::exp((i < p.Laplace.BreakRank ? p.Laplace.E1 : p.Laplace.E2) * ws.LnX[i]);
  slot.Score = FinishLaplace(run, xt, fr, p.Laplace.Mode, p.Laplace.S1, p.Laplace.S2);
  slot.HasResult = true;

  if (run.BestOfAll() && !(slot.Score < 0.95 * run.Slots[68].Score)) Reject(slot);
}

}  // namespace tavorix
