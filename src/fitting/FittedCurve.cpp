#include "fitting/FittedCurve.h"

#include <cmath>

#include "fitting/FittedModel.h"

namespace tavorix {

double Fcode(const FittedDistribution& fd, double x, Guard use, BoundHits* hits) {
  return FittedModel(fd, 0.0).F(x, use, hits);
}

void EvaluateFittedCurve(TavorixRun& run) {
  const int n = run.N;
  if (static_cast<int>(run.FcCalc.size()) < n + 1) run.FcCalc.resize(n + 1, 0.0L);
  if (run.Fitted.DistCode == 0) return;
  const FittedModel model(run.Fitted, run.Shift);
  BoundHits hits;
  for (int i = 1; i <= n; ++i) run.FcCalc[i] = model.FAtRank(static_cast<double>(run.X[i]), i, &hits);
  const DistributionInfo* d = model.Info();
  if (d && d->Bound == SupportBound::Lower) run.BelowBoundC = hits.BelowBoundC;
  if (d && d->Bound == SupportBound::Upper) run.AboveBoundC = hits.AboveBoundC;
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
  const FittedModel model(run.Fitted, run.Shift);
  for (int j = 1; j <= k + 1; ++j) run.ClassFc[j] = model.F(b[j], Guard::ClassBounds);
}

}  // namespace tavorix
