// Generalized composites (codes 70, 71, 72, 74, 80-85): the lower part is one
// of eleven fixed fractions of the data, and each part has its own exponent
// E on X (t = X^E), found by a 300-step search per part and trial.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "fitting/CompositeSums.h"
#include "fitting/Composites.h"
#include "fitting/LineFits.h"
#include "fitting/VectorMath.h"

namespace tavorix {

namespace {

// X^E for every exponent of the search, E_k = 0.01 k (k = 1..300), computed
// once per step as exp(E ln X); row k is a 1-based array over the ranks, so
// it serves the line fits directly.
class PowerTable {
 public:
  explicit PowerTable(const FitWorkspace& ws)
      : stride_(static_cast<std::size_t>(ws.N) + 1),
        values_((kCompositeExponentSteps + 1) * stride_, 0.0) {
    for (int k = 1; k <= kCompositeExponentSteps; ++k)
      ExpScaledArray(ws.LnX.data() + 1, Exponent(k), values_.data() + k * stride_ + 1, ws.N);
  }
  const double* Row(int k) const { return values_.data() + k * stride_; }
  // 0.01 k formed in extended precision and stored as double.
  static double Exponent(int k) { return static_cast<double>(0.01L * k); }

 private:
  std::size_t stride_;
  std::vector<double> values_;
};

// The lines and exponents of one trial separation.
struct Trial {
  int M = 0;
  int KEs = 0, KEg = 0;  // search steps of Es and Eg
  double As = 0, Bs = 0, Ag = 0, Bg = 0;
  double Total = 0;      // SSlow + SSup of the refit
};

// Search step with the smallest S(k) among those with S(k) > 0; the first of
// equal values wins. With no candidate at all the exponent stays 1.
struct ExponentSearch {
  double Best = 1000000.0;
  int KBest = 0;
  void Offer(int k, double s) {
    if (s > 0 && s < Best) {
      Best = s;
      KBest = k;
    }
  }
  int Result() const { return KBest > 0 ? KBest : 100; }
};

class GeneralizedFit {
 public:
  GeneralizedFit(FitWorkspace& ws, int code, const CompositeParts& parts)
      : ws_(ws), code_(code), parts_(parts), n_(ws.N), powers_(ws),
        ftLow_(n_ + 1), ftUp_(n_ + 1) {
    for (int i = 1; i <= n_; ++i) {
      ftLow_[i] = ComponentFt(parts.Lower, ws.Fr[i]);
      ftUp_[i] = ComponentFt(parts.Upper, ws.Fr[i]);
    }
    ws_.Line.N = n_;
  }

  Trial RunTrial(int m) {
    Trial trial;
    trial.M = m;
    SplitAt(m);
    trial.KEs = SearchLowerExponent(m);
    trial.KEg = SearchUpperExponent(m, trial.KEs);
    FillXt(m, trial.KEs, trial.KEg);
    const PartSums low = FitLower(m, trial.As, trial.Bs);
    const PartSums up = FitUpper(m, KindLimits::Generalized, trial.Ag, trial.Bg);
    trial.Total = low.SumSq + up.SumSq;
    return trial;
  }

  // The final pass at the best trial; returns the score (sum of |d| over all
  // N data). Code 70 keeps the lines of its trial, the others fit them again.
  double FinalPass(Trial& best) {
    const int m = best.M;
    SplitAt(m);
    FillXt(m, best.KEs, best.KEg);
    if (code_ == 70) {
      const double* xt = ws_.Xt.data();
      const double* fr = ws_.Fr.data();
      return EvaluatePart(parts_.Lower, KindLimits::Generalized, xt, fr, 1, m, best.As, best.Bs)
                 .SumAbs +
             EvaluatePart(parts_.Upper, KindLimits::Generalized, xt, fr, m + 1, n_, best.Ag,
                          best.Bg)
                 .SumAbs;
    }
    const PartSums low = FitLower(m, best.As, best.Bs);
    const PartSums up = FitUpper(m, KindLimits::Generalized, best.Ag, best.Bg);
    return low.SumAbs + up.SumAbs;
  }

 private:
  void SplitAt(int m) {
    SplitFt(ws_.Ft.data(), ftLow_.data(), ftUp_.data(), m, n_);
    ws_.Line.M = m;
  }

  void FillXt(int m, int kEs, int kEg) {
    const double* low = powers_.Row(kEs);
    const double* up = powers_.Row(kEg);
    std::copy(low + 1, low + m + 1, ws_.Xt.data() + 1);
    std::copy(up + m + 1, up + n_ + 1, ws_.Xt.data() + m + 1);
  }

  // Least squares over 1..m on the given t; the intercept is formed from the
  // means. Trials whose lower data share one X are never fitted.
  PartSums FitLowerOn(const double* t, int m, KindLimits limits, double& as, double& bs) {
    RegressionLow(ws_.Line, t, ws_.Ft.data());
    as = ws_.Line.ParA;
    bs = ws_.Line.MeanFt - as * ws_.Line.MeanXt;
    return EvaluatePart(parts_.Lower, limits, t, ws_.Fr.data(), 1, m, as, bs);
  }
  PartSums FitLower(int m, double& as, double& bs) {
    return FitLowerOn(ws_.Xt.data(), m, KindLimits::Generalized, as, bs);
  }

  // Line through point m and the centroid of m+1..n on ws.Xt.
  PartSums FitUpper(int m, KindLimits limits, double& ag, double& bg) {
    RatioLineHigh(ws_.Line, ws_.Xt.data(), ws_.Ft.data());
    ag = ws_.Line.ParA;
    bg = parts_.UpperIntercept ? ws_.Line.ParB : 0.0;
    return EvaluatePart(parts_.Upper, limits, ws_.Xt.data(), ws_.Fr.data(), m + 1, n_, ag, bg);
  }

  int SearchLowerExponent(int m) {
    ExponentSearch search;
    double as = 0, bs = 0;
    for (int k = 1; k <= kCompositeExponentSteps; ++k) {
      const PartSums s = FitLowerOn(powers_.Row(k), m, KindLimits::Generalized, as, bs);
      search.Offer(k, s.SaturatedSumSq);
    }
    return search.Result();
  }

  // Point m, the anchor of the upper line, keeps the lower part's exponent:
  // t[m] = X[m]^Es throughout the search, as in the refit and the final pass.
  int SearchUpperExponent(int m, int kEs) {
    const KindLimits limits =
        code_ == 70 ? KindLimits::GeneralizedLogisticLimited : KindLimits::Generalized;
    double* xt = ws_.Xt.data();
    xt[m] = powers_.Row(kEs)[m];
    ExponentSearch search;
    double ag = 0, bg = 0;
    for (int k = 1; k <= kCompositeExponentSteps; ++k) {
      const double* r = powers_.Row(k);
      std::copy(r + m + 1, r + n_ + 1, xt + m + 1);
      const PartSums s = FitUpper(m, limits, ag, bg);
      search.Offer(k, s.SaturatedSumSq);
    }
    return search.Result();
  }

  FitWorkspace& ws_;
  int code_;
  CompositeParts parts_;
  int n_;
  PowerTable powers_;
  std::vector<double> ftLow_, ftUp_;
};

}  // namespace

void FitGeneralizedComposite(TavorixRun& run, FitWorkspace& ws, int code) {
  CompositeParts parts{};
  if (!CompositePartsOf(code, parts) || !parts.Generalized)
    throw std::invalid_argument("not a generalized composite code: " + std::to_string(code));

  FitSlot& slot = run.Slots[code];
  slot = FitSlot{};
  slot.Ran = true;

  GeneralizedFit fit(ws, code, parts);
  // The trial with the smallest total; the last of equal totals wins.
  double bestTotal = 100000.0;
  Trial best;
  bool found = false;
  for (int j = 1; j <= kGeneralizedTrials; ++j) {
    run.ThrowIfCancelled();
    const int m = GeneralizedTrialSeparation(ws.N, j);
    if (m < 1) continue;  // too few data for a lower part
    // Lower data that all share one X leave no line to fit at any exponent:
    // the trial is not a candidate.
    if (!(ws.X[m] > ws.X[1])) continue;
    const Trial trial = fit.RunTrial(m);
    if (trial.Total <= bestTotal) {
      bestTotal = trial.Total;
      best = trial;
      found = true;
    }
  }

  if (found) {
    slot.HasResult = true;
    slot.Score = fit.FinalPass(best);
    slot.P.Composite.Lower.A = best.As;
    slot.P.Composite.Lower.B = best.Bs;
    slot.P.Composite.Upper.A = best.Ag;
    slot.P.Composite.Upper.B = best.Bg;
    slot.P.Composite.Lower.E = PowerTable::Exponent(best.KEs);
    slot.P.Composite.Upper.E = PowerTable::Exponent(best.KEg);
    slot.P.Composite.BreakPoint = ws.X[best.M];
    slot.P.Composite.BreakCount = best.M;
  } else {
    slot.Score = 1000.0;
  }
  slot.Listed = run.BestOfAll() && slot.HasResult;
  FinishCompositeStep(run, code);
}

}  // namespace tavorix
