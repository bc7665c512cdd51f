#include "fitting/LineFits.h"

#include <cmath>

namespace tavorix {

void LeastSquares(LineState& s, const double* xt, const double* ft, int first, int last,
                  int sdDivisor) {
  s.NoVariation = false;
  const int n = last - first + 1;
  if (n <= 0) {
    s.NoVariation = true;
    return;
  }
  // First pass: sums for the means, and the extremes of Xt. Points that all
  // share one Xt have no variation, however rounding leaves Sxx.
  double sumX = 0, sumF = 0;
  double lo = xt[first], hi = xt[first];
  for (int i = first; i <= last; ++i) {
    sumX += xt[i];
    sumF += ft[i];
    lo = xt[i] < lo ? xt[i] : lo;
    hi = xt[i] > hi ? xt[i] : hi;
  }
  double meanX = sumX / n;
  double meanF = sumF / n;
  // Second pass on the deviations; the residual sums correct the means
  // (corrected two-pass formulas), which keeps full precision for data far
  // from zero.
  double dxSum = 0, dfSum = 0, sxx = 0, sxy = 0;
  for (int i = first; i <= last; ++i) {
    const double dx = xt[i] - meanX;
    const double df = ft[i] - meanF;
    dxSum += dx;
    dfSum += df;
    sxx += dx * dx;
    sxy += dx * df;
  }
  sxx -= dxSum * dxSum / n;
  sxy -= dxSum * dfSum / n;
  meanX += dxSum / n;
  meanF += dfSum / n;
  s.MeanXt = meanX;
  s.MeanFt = meanF;
  if (!(hi > lo) || !(sxx > 0)) {
    s.NoVariation = true;
    return;
  }
  s.ParA = sxy / sxx;
  s.ParB = meanF - s.ParA * meanX;
  s.SdXt = std::sqrt(sxx / sdDivisor);
}

void Regression(LineState& s, const double* xt, const double* ft) {
  LeastSquares(s, xt, ft, 1, s.N, s.N - 1);
}

void RegressionLow(LineState& s, const double* xt, const double* ft) {
  LeastSquares(s, xt, ft, 1, s.M, s.N - 1);
}

void RatioLine(LineState& s, const double* xt, const double* ft) {
  double sumX = 0, sumF = 0;
  for (int i = 1; i <= s.N; ++i) {
    sumX += xt[i];
    sumF += ft[i];
  }
  s.MeanXt = sumX / s.N;
  s.MeanFt = sumF / s.N;
  s.ParA = (s.MeanFt - ft[1]) / (s.MeanXt - xt[1]);
  s.ParB = s.MeanFt - s.ParA * s.MeanXt;
}

void RatioLineHigh(LineState& s, const double* xt, const double* ft) {
  const int m = s.M;
  if (m >= s.N) {
    s.MeanFt = 1000;
    s.MeanXt = 1000;
  } else {
    double sumX = 0, sumF = 0;
    for (int i = m + 1; i <= s.N; ++i) {
      sumX += xt[i];
      sumF += ft[i];
    }
    s.MeanXt = sumX / (s.N - m);
    s.MeanFt = sumF / (s.N - m);
  }
  if (s.MeanXt != xt[m])
    s.ParA = (s.MeanFt - ft[m]) / (s.MeanXt - xt[m]);
  else
    s.ParA = 100;
  s.ParB = s.MeanFt - s.ParA * s.MeanXt;
}

}  // namespace tavorix
