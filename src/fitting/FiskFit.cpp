#include "fitting/FiskFit.h"

#include <array>
#include <cmath>
#include <vector>

#include "fitting/GridFitsASupport.h"
#include "fitting/LineFits.h"

namespace tavorix {

namespace {

double FiskExponent(int a) { return gridfits::GridValue(0.1L, 0.2L, a); }

double FiskFc(double a, double lnRatio) { return 1.0 - 1.0 / (1.0 + std::exp(a * lnRatio)); }

// Squared misfit, not saturated; lnr holds ln(X_i/B).
double SearchMisfit(const double* __restrict lnr, const double* __restrict fr, double a, int n) {
  double sum = 0;
  for (int i = 1; i <= n; ++i) {
    const double d = fr[i] - FiskFc(a, lnr[i]);
    sum += d * d;
  }
  return sum;
}

}  // namespace

void FitFisk(TavorixRun& run, FitWorkspace& ws) {
  FitSlot& slot = gridfits::StartSlot(run, 56);
  const int n = ws.N;
  const std::size_t stride = static_cast<std::size_t>(n) + 1;

  Regression(ws.Line, ws.X.data(), ws.Fr.data());
  const double meanX = ws.Line.MeanXt;

  // The scale values do not depend on A: ln(X_i/B) per scale value, once.
  std::array<double, kFiskScaleSteps + 1> scale{};
  std::vector<double> lnRatio(stride * (kFiskScaleSteps + 1), 0.0);
  for (int b = 1; b <= kFiskScaleSteps; ++b) {
    double B = 0.3 * meanX + 0.01 * b * meanX;
    if (std::fabs(B) < 0.001) B = 0.001;
    scale[b] = B;
    for (int i = 1; i <= n; ++i) lnRatio[b * stride + i] = std::log(ws.X[i] / B);
  }

  const double* fr = ws.Fr.data();
  gridfits::GridBest best;
  for (int a = 1; a <= kFiskExponentSteps; ++a) {
    const double A = FiskExponent(a);
    for (int b = 1; b <= kFiskScaleSteps; ++b) best.Offer(SearchMisfit(&lnRatio[b * stride], fr, A, n), a, b);
  }
  if (!best.Found()) return;  // every misfit undefined: no candidate

  FitParams params;
  LineParams& p = params.Line;
  p.A = FiskExponent(best.I);
  p.B = scale[best.J];
  for (int i = 1; i <= n; ++i) ws.Fc[i] = FiskFc(p.A, lnRatio[best.J * stride + i]);
  gridfits::StoreResult(run, slot, params, gridfits::FinalSumAbs(ws));
}

}  // namespace tavorix
