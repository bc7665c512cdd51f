#pragma once
// The four line fits that every linearised fit rests on. They read the
// transformed values Xt and frequencies Ft (1-based arrays, index 0 unused)
// and leave slope, intercept, means and spread in a LineState.

namespace tavorix {

struct LineState {
  int N = 0;             // number of points of the whole series
  int M = 0;             // break rank: points 1..M form the lower part
  double ParA = 0;       // slope of the last line fitted
  double ParB = 0;       // intercept of the last line fitted
  double MeanFt = 0;
  double MeanXt = 0;
  double SdXt = 0;       // sqrt(Sxx / (N - 1)), always with the whole N
  bool NoVariation = false;
};

// Least squares over points 1..N. When all Xt are equal there is no
// variation: NoVariation is set and ParA, ParB, SdXt keep their values.
void Regression(LineState& s, const double* xt, const double* ft);
// The same on extended-precision arrays (the run's X and Fr): the mean and
// spread of the data themselves, as the engine's first check and the fits
// that standardise the data use them.
void Regression(LineState& s, const long double* xt, const long double* ft);
// Least squares over points 1..M (means over M; SdXt still divides by N - 1).
void RegressionLow(LineState& s, const double* xt, const double* ft);
// Line through point 1 and the centroid of points 1..N (no guard).
void RatioLine(LineState& s, const double* xt, const double* ft);
// The same from the sums of Xt and Ft over 1..N (added in point order) and
// point 1.
void FinishRatioLine(LineState& s, double sumX, double sumF, double xt1, double ft1);
// Line through point M and the centroid of points M+1..N; with M = N both
// means are 1000, and a vertical line (mean Xt equal to Xt[M]) gets slope 100.
void RatioLineHigh(LineState& s, const double* xt, const double* ft);

// Least squares over points first..last; sdDivisor is the N - 1 of SdXt.
void LeastSquares(LineState& s, const double* xt, const double* ft, int first, int last,
                  int sdDivisor);

// The sums of the two passes of LeastSquares over n points, for searches that
// form them in their own loops: first pass SumX, SumF and the extremes Lo, Hi
// of Xt; second pass the sums of the deviations dx = Xt - SumX / n and
// df = Ft - SumF / n, of dx * dx and of dx * df, each added in point order.
// FinishLeastSquares makes the line from them exactly as LeastSquares does.
struct LineSums {
  double SumX = 0, SumF = 0, Lo = 0, Hi = 0;
  double DxSum = 0, DfSum = 0, Sxx = 0, Sxy = 0;
};
void FinishLeastSquares(LineState& s, const LineSums& sums, int n, int sdDivisor);

}  // namespace tavorix
