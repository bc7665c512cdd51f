#include "fitting/FittedCurve.h"

#include <cmath>

#include "fitting/Catalogue.h"
#include "fitting/Composites.h"
#include "fitting/DistributionFunctions.h"
#include "fitting/NormalFamily.h"

namespace tavorix {

namespace {

bool IsBoundCode(int code) { return code == 58 || code == 35 || code == 33 || code == 59; }

// Fisher-Tippett / Frechet forms with the distance to the bound guarded: a
// scaled distance that is not positive is replaced by `floor`.
double BoundedFc(const FitParams& p, int code, double x, double floor, BoundHits* hits) {
  const bool lowerBound = code == 58 || code == 35;
  const double scale = std::exp(-p.B / p.A);
  double dist = (lowerBound ? x - p.C : p.C - x) / scale;
  if (!(dist > 0)) {
    dist = floor;
    if (hits) (lowerBound ? hits->BelowBoundC : hits->AboveBoundC) = true;
  }
  const double g = std::exp(-std::exp(p.A * std::log(dist)));
  switch (code) {
    case 58: case 59: return g;
    default: return 1.0 - g;  // 35, 33
  }
}

double Finite(double f) { return std::isfinite(f) ? f : (f > 0 ? 1.0 : 0.0); }

}  // namespace

double Fcode(const FittedDistribution& fd, double x, FcodeUse use, BoundHits* hits) {
  const int code = fd.DistCode;
  FitParams p = fd.P;
  if (IsComposite(code)) return Finite(CompositeFc(code, p, x));
  if (code >= 20 && code <= 26) return Finite(NormalFamilyFc(code, p, x));
  if (IsBoundCode(code))
    return Finite(BoundedFc(p, code, x, use == FcodeUse::Data ? 0.0001 : 0.001, hits));
  switch (code) {
    case 34: {
      const double f = FcGompertz(p, x);
      return (use == FcodeUse::Data && f < 0.001) ? 0.001 : Finite(f);
    }
    case 56:
      if (std::fabs(p.B) < 0.001) p.B = 0.001;
      break;
    case 67:
      if (p.K != 0 && 1.0 + p.K * (x - p.Loc) / p.Scale <= 0) return std::exp(-1.0);
      break;
    default:
      break;
  }
  const FcFunction f = SingleFcFunction(code);
  return f ? Finite(f(p, x)) : 0.0;
}

void EvaluateFittedCurve(TavorixRun& run) {
  const int code = run.Fitted.DistCode;
  const int n = run.N;
  if (static_cast<int>(run.FcCalc.size()) < n + 1) run.FcCalc.resize(n + 1, 0.0L);
  if (code == 0) return;
  if (code == 56 && std::fabs(run.Fitted.P.B) < 0.001) run.Fitted.P.B = 0.001;

  BoundHits hits;
  const FitParams& p = run.Fitted.P;
  for (int i = 1; i <= n; ++i) {
    const double x = static_cast<double>(run.X[i]);
    double f;
    if (IsComposite(code)) {
      f = CompositeFcAtRank(code, p, x, i);
    } else if (code == 73) {
      // Below the break rank the lower exponent, from it on the upper one.
      const double t = PowerOf(x, i < p.BreakRank ? p.E1 : p.E2);
      f = t <= p.Mode ? 0.5 * std::exp((t - p.Mode) / p.S1) : 1.0 - 0.5 * std::exp(-(t - p.Mode) / p.S2);
    } else {
      f = Fcode(run.Fitted, x, FcodeUse::Data, &hits);
    }
    run.FcCalc[i] = Finite(f);
  }
  if (code == 58 || code == 35) run.BelowBoundC = hits.BelowBoundC;
  if (code == 59 || code == 33) run.AboveBoundC = hits.AboveBoundC;
}

// Twice the counting tolerance below (min(0.0001, width / 1000)), so the
// largest datum always lies clearly inside the last class and is never
// snapped onto the last bound, where it would fall out of every class.
double LastBoundNudge(double width) { return std::fmin(0.0002, std::fabs(width) / 500.0); }

void ComputeIntervals(TavorixRun& run) {
  int k = run.NrOfClasses;
  if (k < 1) k = 1;
  if (k > 50) k = 50;
  run.ClassCount = k;
  auto& b = run.ClassBounds;
  auto& count = run.ClassCounts;
  const int n = run.N;
  const double width = static_cast<double>((run.X[n] - run.X[1]) / k);
  b[1] = static_cast<double>(run.X[1]);
  for (int j = 1; j <= k; ++j) {
    b[j + 1] = b[j] + width;
    count[j] = 0;
  }
  if (b[1] == 0) b[1] = 0.0001;
  b[k + 1] += LastBoundNudge(width);
  if (b[1] < 0)
    for (int j = 1; j <= k + 1; ++j) b[j] -= run.Shift;

  // A datum within the tolerance below a bound counts in the class above it.
  // The tolerance never exceeds a thousandth of the class width, so narrow
  // classes are not swallowed by the last one. The run's data stay as they are.
  const double tol = std::fmin(0.0001, width / 1000.0);
  std::vector<double> x(n + 1);
  for (int i = 1; i <= n; ++i) x[i] = static_cast<double>(run.X[i]);
  for (int j = 1; j <= k; ++j) {
    for (int i = 1; i <= n; ++i) {
      if (std::fabs(x[i] - b[j + 1]) < tol) x[i] = b[j + 1];
      if (b[j] <= x[i] && x[i] < b[j + 1]) count[j] += 1;
    }
  }
  for (int j = 1; j <= k + 1; ++j) run.ClassFc[j] = Fcode(run.Fitted, b[j], FcodeUse::Intervals);
}

}  // namespace tavorix
