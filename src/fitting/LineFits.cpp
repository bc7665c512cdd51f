#include "fitting/LineFits.h"

#include <cmath>

namespace tavorix {

namespace {

// Slope, intercept, means and spread from the sums of the two passes.
template <class T>
void FinishLine(LineState& s, T sumX, T sumF, T lo, T hi, T dxSum, T dfSum, T sxx, T sxy, int n,
                int sdDivisor) {
  T meanX = sumX / n;
  T meanF = sumF / n;
  sxx -= dxSum * dxSum / n;
  sxy -= dxSum * dfSum / n;
  meanX += dxSum / n;
  meanF += dfSum / n;
  s.MeanXt = static_cast<double>(meanX);
  s.MeanFt = static_cast<double>(meanF);
  if (!(hi > lo) || !(sxx > 0)) {
    s.NoVariation = true;
    return;
  }
  const T a = sxy / sxx;
  s.ParA = static_cast<double>(a);
  s.ParB = static_cast<double>(meanF - a * meanX);
  s.SdXt = static_cast<double>(std::sqrt(sxx / sdDivisor));
}

// Least squares over points first..last in the precision T of the arrays.
template <class T>
void LeastSquaresOf(LineState& s, const T* xt, const T* ft, int first, int last, int sdDivisor) {
  s.NoVariation = false;
  const int n = last - first + 1;
  if (n <= 0) {
    s.NoVariation = true;
    return;
  }
  // First pass: sums for the means, and the extremes of Xt. Points that all
  // share one Xt have no variation, however rounding leaves Sxx.
  T sumX = 0, sumF = 0;
  T lo = xt[first], hi = xt[first];
  for (int i = first; i <= last; ++i) {
    sumX += xt[i];
    sumF += ft[i];
    lo = xt[i] < lo ? xt[i] : lo;
    hi = xt[i] > hi ? xt[i] : hi;
  }
  const T meanX = sumX / n;
  const T meanF = sumF / n;
  // Second pass on the deviations; the residual sums correct the means
  // (corrected two-pass formulas), which keeps full precision for data far
  // from zero.
  T dxSum = 0, dfSum = 0, sxx = 0, sxy = 0;
  for (int i = first; i <= last; ++i) {
    const T dx = xt[i] - meanX;
    const T df = ft[i] - meanF;
    dxSum += dx;
    dfSum += df;
    sxx += dx * dx;
    sxy += dx * df;
  }
  FinishLine(s, sumX, sumF, lo, hi, dxSum, dfSum, sxx, sxy, n, sdDivisor);
}

}  // namespace

void FinishLeastSquares(LineState& s, const LineSums& sums, int n, int sdDivisor) {
  s.NoVariation = false;
  FinishLine(s, sums.SumX, sums.SumF, sums.Lo, sums.Hi, sums.DxSum, sums.DfSum, sums.Sxx, sums.Sxy,
             n, sdDivisor);
}

void LeastSquares(LineState& s, const double* xt, const double* ft, int first, int last,
                  int sdDivisor) {
  LeastSquaresOf(s, xt, ft, first, last, sdDivisor);
}

void Regression(LineState& s, const long double* xt, const long double* ft) {
  LeastSquaresOf(s, xt, ft, 1, s.N, s.N - 1);
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
  FinishRatioLine(s, sumX, sumF, xt[1], ft[1]);
}

void FinishRatioLine(LineState& s, double sumX, double sumF, double xt1, double ft1) {
  s.MeanXt = sumX / s.N;
  s.MeanFt = sumF / s.N;
  s.ParA = (s.MeanFt - ft1) / (s.MeanXt - xt1);
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
