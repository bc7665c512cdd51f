#include "fitting/NormalFamily.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fitting/DistributionFunctions.h"
#include "fitting/ExponentScan.h"
#include "fitting/FittedModel.h"
#include "fitting/Hastings.h"
#include "fitting/Registry.h"
#include "fitting/VectorMath.h"

namespace tavorix {

namespace {

struct Moments {
  double Mean = 0;
  double Sd0 = 0;  // 0 when the values have no spread
};

// Mean and plain standard deviation (divisor N - 1) of t[1..n], in
// extended precision. Sxx is summed from the deviations about the mean: the
// same value as S2 - S1^2/N without its cancellation, and exactly 0 for
// values without spread.
Moments MomentsOf(const double* t, int n) {
  Moments m;
  if (n < 1) return m;
  long double s1 = 0;
  for (int i = 1; i <= n; ++i) s1 += t[i];
  const long double mean = s1 / n;
  long double sxx = 0;
  for (int i = 1; i <= n; ++i) {
    const long double d = t[i] - mean;
    sxx += d * d;
  }
  m.Mean = static_cast<double>(mean);
  if (n > 1 && sxx > 0) m.Sd0 = static_cast<double>(std::exp(0.5L * std::log(sxx / (n - 1))));
  return m;
}

// Grid value (step + 99) * base / 200, formed in extended precision.
double GridValue(int step, double base) {
  return static_cast<double>((step + 99) * static_cast<long double>(base) / 200);
}

// Squared misfit of one trial over the deviations dev[i] = t[i] - mean.
// The sum stops as soon as it reaches `limit`: the terms are never negative,
// so the partial sum is a lower bound of the full one, and a trial whose
// partial sum already equals or exceeds the best misfit of an earlier trial
// can no longer be chosen. The value returned is then that partial sum.
//
// The data go in blocks: the exponentials of a block are formed together,
// then its terms are summed in rank order with the stop after each datum.
// The first blocks are short, as many trials stop after a few data.
template <bool Saturate>
double TrialMisfit(const double* dev, const double* fr, int n, double sigma, double limit) {
  constexpr int kMaxBlock = 64;
  double z[kMaxBlock], g[kMaxBlock];
  double ss = 0;
  int block = 8;
  for (int first = 1; first <= n; first += block, block = std::min(2 * block, kMaxBlock)) {
    const int m = std::min(block, n - first + 1);
    for (int j = 0; j < m; ++j) {
      z[j] = dev[first + j] / sigma;
      g[j] = DensityExponent(z[j]);
    }
    ExpArray(g, g, m);
    for (int j = 0; j < m; ++j) {
      const double d = fr[first + j] - HastingsWith(z[j], g[j]);
      if constexpr (Saturate) {
        ss += SaturatedSq(d);
      } else {
        ss += d * d;
      }
      if (ss >= limit) return ss;
    }
  }
  return ss;
}

// dev[i] := t[i] - mean, computed once per mean instead of once per trial.
void DeviationsFrom(const double* t, int n, double mean, double* dev) {
  for (int i = 1; i <= n; ++i) dev[i] = t[i] - mean;
}

// Fills row[0..200] with the misfits of the sigma grid around a fixed mean.
// A trial that reaches `bound` can no longer be chosen: the bound is the
// smallest misfit of the candidate trials before it in scan order (the
// choices take the first strict minimum), or lower (see FillRows). It limits
// each trial's sum and is lowered by the trials of this row for which
// `candidate(k)` holds. An entry stopped at the limit holds a value at least
// as large as the bound at its turn, so a scan of the table picks the same
// entry as a scan of fully summed misfits.
template <bool Saturate, class Candidate>
void FillSigmaRow(const double* dev, const double* fr, int n, double sd0, double* row, double& bound,
                  Candidate&& candidate) {
  for (int k = 1; k <= kNormalSigmaSteps; ++k) {
    const double v = TrialMisfit<Saturate>(dev, fr, n, GridValue(k, sd0), bound);
    row[k - 1] = v;
    if (candidate(k) && v < bound) bound = v;
  }
}

constexpr double kNoLimit = std::numeric_limits<double>::infinity();
constexpr auto kEveryStep = [](int) { return true; };

// Fills rows 1..rows of a table by fillRow(j, bound) (false: no result).
// The pilot row, near where the best entry usually lies, is filled first:
// its best candidate misfit U bounds every trial from the start. A trial
// whose sum exceeds U cannot be chosen; one equal to U still can, since it
// may come before the pilot row in scan order, so the bound starts at the
// next double above U. Then the other rows follow in scan order with the
// usual bound, which at the pilot row takes in U.
template <class FillRow>
bool FillRows(int rows, int pilot, double start, FillRow&& fillRow) {
  double pilotBound = start;
  if (!fillRow(pilot, pilotBound)) return false;
  double bound = std::min(start, std::nextafter(pilotBound, kNoLimit));
  for (int j = 1; j <= rows; ++j) {
    if (j == pilot) {
      bound = std::min(bound, pilotBound);
    } else if (!fillRow(j, bound)) {
      return false;
    }
  }
  return true;
}

// What a code's search leaves for the final evaluation.
struct Outcome {
  bool Ok = false;
  const double* T = nullptr;  // transformed values t[1..N]
  FitParams P;
};

// The transformed values t[1..N] of a code; those of 24 (sqrt X) and 25
// (X^2) are written into the workspace's Xt.
const double* Transformed(FitWorkspace& ws, int code) {
  const DistributionInfo* d = FindDistribution(code);
  switch (d ? d->Transform : NormalTransform::None) {
    case NormalTransform::Log:
      return ws.LnX.data();
    case NormalTransform::Sqrt:
      for (int i = 1; i <= ws.N; ++i) ws.Xt[i] = std::sqrt(ws.X[i]);
      return ws.Xt.data();
    case NormalTransform::Square:
      for (int i = 1; i <= ws.N; ++i) ws.Xt[i] = ws.X[i] * ws.X[i];
      return ws.Xt.data();
    default:
      return ws.X.data();
  }
}

// Codes 20 and 22: the plain mean and standard deviation.
Outcome FitPlain(FitWorkspace& ws, int code) {
  Outcome out;
  out.T = Transformed(ws, code);
  const Moments m = MomentsOf(out.T, ws.N);
  if (!(m.Sd0 > 0)) return out;
  out.P.Normal.Mean = m.Mean;
  out.P.Normal.Sigma = m.Sd0;
  out.Ok = true;
  return out;
}

// Codes 21, 24, 25: the plain mean and the best sigma of the grid.
Outcome FitSigma(FitWorkspace& ws, int code) {
  Outcome out;
  out.T = Transformed(ws, code);
  const Moments m = MomentsOf(out.T, ws.N);
  if (!(m.Sd0 > 0)) return out;
  std::array<double, kNormalSigmaSteps> table{};
  DeviationsFrom(out.T, ws.N, m.Mean, ws.XWork.data());
  double bound = kNoLimit;
  FillSigmaRow<false>(ws.XWork.data(), ws.Fr.data(), ws.N, m.Sd0, table.data(), bound, kEveryStep);
  const int k = ChooseSigmaEntry(table);
  out.P.Normal.Mean = m.Mean;
  out.P.Normal.Sigma0 = m.Sd0;
  out.P.Normal.Sigma = GridValue(k, m.Sd0);
  out.Ok = true;
  return out;
}

// Code 23: the best mean and sigma of the 201 x 201 grid on ln X.
Outcome FitMeanSigma(FitWorkspace& ws) {
  Outcome out;
  out.T = ws.LnX.data();
  const Moments m = MomentsOf(out.T, ws.N);
  if (!(m.Sd0 > 0)) return out;
  std::vector<double> table(static_cast<std::size_t>(kNormalMeanSteps) * kNormalSigmaSteps);
  // Only (1, 1) and the entries with both steps above 1 are candidates. The
  // pilot row is the plain mean (j = 101).
  FillRows(kNormalMeanSteps, 101, kNoLimit, [&](int j, double& bound) {
    ThrowIfCancelled(ws.Cancel);
    DeviationsFrom(out.T, ws.N, GridValue(j, m.Mean), ws.XWork.data());
    FillSigmaRow<false>(ws.XWork.data(), ws.Fr.data(), ws.N, m.Sd0,
                        table.data() + static_cast<std::size_t>(j - 1) * kNormalSigmaSteps, bound,
                        [j](int k) { return (j == 1) == (k == 1); });
    return true;
  });
  const NormalGridEntry best = ChooseMeanSigmaEntry(table);
  out.P.Normal.Mean = GridValue(best.J, m.Mean);
  out.P.Normal.Sigma0 = m.Sd0;
  out.P.Normal.Sigma = GridValue(best.K, m.Sd0);
  out.Ok = true;
  return out;
}

// t[i] := X[i]^e as exp(e ln X[i]), into the workspace's Xt.
const double* PowerTransformed(FitWorkspace& ws, double e) {
  ExpScaledArray(ws.LnX.data() + 1, e, ws.Xt.data() + 1, ws.N);
  return ws.Xt.data();
}

// Code 26: the best exponent and sigma of the 280 x 201 grid (saturated
// misfit), the exponent snapped to 1 near 1 and at the grid's edges, then
// mean and sd0 again for the final exponent.
Outcome FitExponentSigma(FitWorkspace& ws) {
  Outcome out;
  std::vector<double> table(static_cast<std::size_t>(kNormalExponentSteps) * kNormalSigmaSteps);
  // The choice starts from 1 000 000; the pilot row is E = 1 (j = 81).
  const bool filled = FillRows(kNormalExponentSteps, 81, 1000000.0, [&](int j, double& bound) {
    ThrowIfCancelled(ws.Cancel);
    const double e = static_cast<double>(0.19L + 0.01L * j);
    const double* t = PowerTransformed(ws, e);
    const Moments m = MomentsOf(t, ws.N);
    if (!(m.Sd0 > 0)) return false;
    DeviationsFrom(t, ws.N, m.Mean, ws.XWork.data());
    FillSigmaRow<true>(ws.XWork.data(), ws.Fr.data(), ws.N, m.Sd0,
                       table.data() + static_cast<std::size_t>(j - 1) * kNormalSigmaSteps, bound,
                       kEveryStep);
    return true;
  });
  if (!filled) return out;
  const NormalGridEntry best = ChooseExponentSigmaEntry(table);
  const double e = ScanExponent(best.J);
  out.T = PowerTransformed(ws, e);
  const Moments m = MomentsOf(out.T, ws.N);
  if (!(m.Sd0 > 0)) return out;
  out.P.Normal.E = e;
  out.P.Normal.Mean = m.Mean;
  out.P.Normal.Sigma0 = m.Sd0;
  out.P.Normal.Sigma = GridValue(best.K, m.Sd0);
  out.Ok = true;
  return out;
}

Outcome Search(FitWorkspace& ws, int code) {
  switch (code) {
    case 20:
    case 22:
      return FitPlain(ws, code);
    case 23:
      return FitMeanSigma(ws);
    case 26:
      return FitExponentSigma(ws);
    default:
      return FitSigma(ws, code);
  }
}

// Calculated frequencies into run.FcCalc; returns the sum of |Fr - F|.
double Evaluate(TavorixRun& run, const FitWorkspace& ws, const double* t, const FitParams& p) {
  run.FcCalc.resize(static_cast<std::size_t>(ws.N) + 1);
  long double score = 0;
  for (int i = 1; i <= ws.N; ++i) {
    const double f = HastingsAt((t[i] - p.Normal.Mean) / p.Normal.Sigma);
    run.FcCalc[i] = f;
    score += std::fabs(static_cast<long double>(ws.Fr[i]) - f);
  }
  return static_cast<double>(score);
}

void EvaluateOnly(TavorixRun& run, const FitWorkspace& ws, int code) {
  const FitParams& p = run.Slots[code].P;
  run.FcCalc.resize(static_cast<std::size_t>(ws.N) + 1);
  for (int i = 1; i <= ws.N; ++i) run.FcCalc[i] = NormalFamilyFc(code, p, ws.X[i]);
}

}  // namespace

double HastingsF(double t, double mean, double sigma) { return HastingsAt((t - mean) / sigma); }

void FitNormalFamily(TavorixRun& run, FitWorkspace& ws, int code) {
  if (!IsNormalFamily(code)) return;
  if (run.NormalEvalOnly) {
    EvaluateOnly(run, ws, code);
    return;
  }
  FitSlot& slot = run.Slots[code];
  slot.Ran = true;
  slot.HasResult = false;
  slot.Listed = false;

  const Outcome out = Search(ws, code);
  if (!out.Ok) return;

  slot.P = out.P;
  slot.Score = Evaluate(run, ws, out.T, out.P);
  slot.HasResult = true;
  slot.Listed = run.BestOfAll();
  if (code == 26 && out.P.Normal.E == 1.0 && run.BestOfAll()) {
    // The generalized form at E = 1 is the plain normal on X: it must not win
    // and has no list entry.
    slot.Score = 1000;
    slot.Listed = false;
  }
  run.AddProgress(" " + std::to_string(code + 70) + " done");
}

double NormalFamilyFc(int code, const FitParams& p, double x) {
  if (!(p.Normal.Sigma > 0)) return 0.0;
  const DistributionInfo* d = FindDistribution(code);
  if (!d || d->Kind != DistKind::NormalFamily) return 0.0;
  double t = NormalTransformed(d->Transform, p.Normal.E, x);
  // Below the domain of ln and the root the frequency is 0; a power of a
  // value <= 0 counts as 0.
  if (std::isnan(t)) {
    if (d->Transform != NormalTransform::Power) return 0.0;
    t = 0.0;
  }
  return HastingsF(t, p.Normal.Mean, p.Normal.Sigma);
}

int ChooseSigmaEntry(std::span<const double> ss) {
  int best = 1;
  for (int k = 2; k <= kNormalSigmaSteps; ++k) {
    if (ss[k - 1] < ss[best - 1]) best = k;
  }
  return best;
}

NormalGridEntry ChooseMeanSigmaEntry(std::span<const double> ss) {
  auto at = [&](int j, int k) { return ss[static_cast<std::size_t>(j - 1) * kNormalSigmaSteps + (k - 1)]; };
  NormalGridEntry best{1, 1};
  double min = at(1, 1);
  for (int j = 2; j <= kNormalMeanSteps; ++j) {
    for (int k = 2; k <= kNormalSigmaSteps; ++k) {
      if (at(j, k) < min) {
        min = at(j, k);
        best = {j, k};
      }
    }
  }
  return best;
}

NormalGridEntry ChooseExponentSigmaEntry(std::span<const double> ss) {
  NormalGridEntry best;
  double min = 1000000.0;
  for (int j = 1; j <= kNormalExponentSteps; ++j) {
    for (int k = 1; k <= kNormalSigmaSteps; ++k) {
      const double v = ss[static_cast<std::size_t>(j - 1) * kNormalSigmaSteps + (k - 1)];
      if (v < min) {
        min = v;
        best = {j, k};
      }
    }
  }
  return best;
}

}  // namespace tavorix
