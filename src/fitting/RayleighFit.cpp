#include "fitting/RayleighFit.h"

#include <cmath>

#include "fitting/DistributionFunctions.h"
#include "fitting/GridFitsASupport.h"
#include "fitting/LineFits.h"

namespace tavorix {

namespace {

double RayleighExponent(int e) { return gridfits::GridValue(0.1L, 0.01L, e); }

// Xt = X^E; returns the mean of Xt as the regression leaves it.
double PowersAndMean(FitWorkspace& ws, double e) {
  for (int i = 1; i <= ws.N; ++i) ws.Xt[i] = std::exp(e * ws.LnX[i]);
  Regression(ws.Line, ws.Xt.data(), ws.Fr.data());
  return ws.Line.MeanXt;
}

double RayleighDivider(double meanXt, double e, int s) { return PowerOf(0.01 * s * meanXt, e); }

// Saturated squared misfit of Fc = 1 - exp(-Xt / S).
double SearchMisfit(const double* __restrict xt, const double* __restrict fr, double s, int n) {
  double sum = 0;
  for (int i = 1; i <= n; ++i) sum += SaturatedSq(fr[i] - (1.0 - std::exp(-xt[i] / s)));
  return sum;
}

}  // namespace

void FitRayleigh(TavorixRun& run, FitWorkspace& ws) {
  FitSlot& slot = gridfits::StartSlot(run, 69);
  const int n = ws.N;
  const double* fr = ws.Fr.data();
  const double* xt = ws.Xt.data();

  double best = 1000000.0;
  int eBest = 0, sBest = 0;
  for (int e = 1; e <= kRayleighExponentSteps; ++e) {
    const double E = RayleighExponent(e);
    const double meanXt = PowersAndMean(ws, E);
    for (int s = 1; s <= kRayleighScaleSteps; ++s) {
      const double sumSq = SearchMisfit(xt, fr, RayleighDivider(meanXt, E, s), n);
      if (sumSq < best) {
        best = sumSq;
        eBest = e;
        sBest = s;
      }
    }
  }
  if (eBest == 0) return;  // every misfit undefined: no candidate

  FitParams p;
  p.E = RayleighExponent(eBest);
  p.S = RayleighDivider(PowersAndMean(ws, p.E), p.E, sBest);
  for (int i = 1; i <= n; ++i) ws.Fc[i] = 1.0 - std::exp(-xt[i] / p.S);
  gridfits::StoreResult(run, slot, p, gridfits::FinalSumAbs(ws));
}

}  // namespace tavorix
