#include "fitting/LocationFits.h"

#include <cmath>
#include <vector>

#include "fitting/LineFits.h"
#include "fitting/VectorMath.h"

namespace tavorix {

namespace {

// Observed frequency kept inside (0, 1) before its double logarithm.
long double ClippedFr(long double fr) {
  if (fr >= 1) return 0.999L;
  if (fr <= 0) return 0.001L;
  return fr;
}

// Transforms the data for bound c and fits the least-squares line.
void FitLineAtBound(FitWorkspace& ws, BoundSide side, double c) {
  const int n = ws.N;
  const double* x = ws.X.data();
  double* xt = ws.Xt.data();
  if (side == BoundSide::Left) {
    for (int i = 1; i <= n; ++i) xt[i] = x[i] - c;
  } else {
    for (int i = 1; i <= n; ++i) xt[i] = c - x[i];
  }
  LogArray(xt + 1, xt + 1, n);
  Regression(ws.Line, xt, ws.Ft.data());
}

// g[i] = exp(-w) with w = (distance / exp(-B/A))^A, formed as exp(A
// ln(distance) + B): the same value without a second logarithm per datum.
// g is a scratch array of N + 1 values.
void BoundTerms(const FitWorkspace& ws, double a, double b, double* g) {
  const double* xt = ws.Xt.data();
  for (int i = 1; i <= ws.N; ++i) g[i] = a * xt[i] + b;
  ExpNegExpArray(g + 1, g + 1, ws.N);
}

// Squared misfit (no saturation) of the line fitted last.
template <bool Mirrored>
double SquaredMisfit(const FitWorkspace& ws, double* g) {
  BoundTerms(ws, ws.Line.ParA, ws.Line.ParB, g);
  const double* fr = ws.Fr.data();
  double sum = 0;
  for (int i = 1; i <= ws.N; ++i) {
    const double d = fr[i] - (Mirrored ? 1.0 - g[i] : g[i]);
    sum += d * d;
  }
  return sum;
}

double StepMisfit(FitWorkspace& ws, const LocationFitKind& kind, double c, double* g) {
  FitLineAtBound(ws, kind.Side, c);
  return kind.Mirrored ? SquaredMisfit<true>(ws, g) : SquaredMisfit<false>(ws, g);
}

}  // namespace

double LocationStepBound(const TavorixRun& run, const FitWorkspace& ws, BoundSide side, int k) {
  const long double range = run.X[run.N] - run.X[1];
  const double* x = ws.X.data();
  if (side == BoundSide::Left) {
    double c = static_cast<double>(run.X[1] - 0.01L * k * range);
    for (int i = 1; i <= ws.N; ++i)
      if (x[i] - c <= 0) c = x[i] - 0.001;
    return c;
  }
  double c = static_cast<double>(run.X[run.N] + 0.01L * k * range);
  for (int i = 1; i <= ws.N; ++i)
    if (c - x[i] <= 0) c = x[i] + 0.001;
  return c;
}

void FitLocation(TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind) {
  FitSlot& slot = run.Slots[kind.Code];
  slot = FitSlot{};
  slot.Ran = true;
  const int n = run.N;
  for (int i = 1; i <= n; ++i) {
    const long double fr = ClippedFr(run.Fr[i]);
    ws.Ft[i] = static_cast<double>(std::log(-std::log(kind.Mirrored ? 1.0L - fr : fr)));
  }

  std::vector<double> g(static_cast<std::size_t>(n) + 1, 0.0);
  double best = 1000000.0;
  int kBest = 0;
  for (int k = 1; k <= kind.MaxSteps; ++k) {
    if ((k & 255) == 0) run.ThrowIfCancelled();
    const double sum = StepMisfit(ws, kind, LocationStepBound(run, ws, kind.Side, k), g.data());
    if (!(sum < best)) break;
    best = sum;
    kBest = k;
  }
  if (kBest == 0) {
    slot.Score = 1000;
    return;
  }

  FitParams& p = slot.P;
  p.C = LocationStepBound(run, ws, kind.Side, kBest);
  FitLineAtBound(ws, kind.Side, p.C);
  p.A = ws.Line.ParA;
  p.B = ws.Line.ParB;
  BoundTerms(ws, p.A, p.B, g.data());
  double sumAbs = 0;
  for (int i = 1; i <= n; ++i) sumAbs += std::fabs(ws.Fr[i] - (kind.Mirrored ? 1.0 - g[i] : g[i]));
  slot.Score = sumAbs;
  slot.HasResult = true;
  slot.Listed = run.BestOfAll();
}

}  // namespace tavorix
