// Simple composites (codes 7-18): the separation point P runs over an even
// grid of 49 inner points of the data range; both parts are fitted on X.
#include <stdexcept>
#include <string>
#include <vector>

#include "fitting/CompositeSums.h"
#include "fitting/Composites.h"
#include "fitting/LineFits.h"

namespace tavorix {

void FitSimpleComposite(TavorixRun& run, FitWorkspace& ws, int code) {
  CompositeParts parts{};
  if (!CompositePartsOf(code, parts) || parts.Generalized)
    throw std::invalid_argument("not a simple composite code: " + std::to_string(code));

  const int n = ws.N;
  FitSlot& slot = run.Slots[code];
  slot = FitSlot{};
  slot.Ran = true;

  // Both kinds' transforms of the observed frequencies, once per step; each
  // trial splits them at its M into ws.Ft.
  std::vector<double> ftLow(n + 1), ftUp(n + 1);
  for (int i = 1; i <= n; ++i) {
    ftLow[i] = ComponentFt(parts.Lower, ws.Fr[i]);
    ftUp[i] = ComponentFt(parts.Upper, ws.Fr[i]);
  }

  const double* x = ws.X.data();
  const double* fr = ws.Fr.data();
  double* ft = ws.Ft.data();
  LineState& line = ws.Line;
  line.N = n;

  const double delta = static_cast<double>((run.X[n] - run.X[1]) / 50);
  double p = static_cast<double>(run.X[1]);
  double best = 1000000.0;
  int m = 0;  // data with X <= P; P only grows, so m only grows
  for (int k = 1; k <= kSimpleGridPoints; ++k) {
    p += delta;
    // A datum equal to P belongs to the lower part (compared in extended
    // precision, as the data are held).
    while (m < n && run.X[m + 1] <= p) ++m;
    if (m < 3 || n - m < 3) continue;

    // Lower data that all share one X leave no line to fit: such a point
    // is not a candidate (the result never depends on an earlier line).
    if (!(x[m] > x[1])) continue;

    SplitFt(ft, ftLow.data(), ftUp.data(), m, n);
    line.M = m;
    RegressionLow(line, x, ft);
    const double as = line.ParA, bs = line.ParB;
    const PartSums low = EvaluatePart(parts.Lower, KindLimits::Simple, x, fr, 1, m, as, bs);
    // The upper line through point M and the centroid of the upper data,
    // used by its slope only (Bg = 0). Point M carries the transform the
    // split gave it (the lower kind's); code 11 anchors there too.
    RatioLineHigh(line, x, ft);
    const double ag = line.ParA, bg = 0.0;
    const PartSums up = EvaluatePart(parts.Upper, KindLimits::Simple, x, fr, m + 1, n, ag, bg);

    const double total = low.SumSq + up.SumSq;
    if (total < best) {
      best = total;
      slot.HasResult = true;
      slot.Score = low.SumAbs + up.SumAbs;
      slot.P.Composite.Lower.A = as;
      slot.P.Composite.Lower.B = bs;
      slot.P.Composite.Upper.A = ag;
      slot.P.Composite.Upper.B = bg;
      slot.P.Composite.BreakPoint = p;
      slot.P.Composite.BreakCount = m;
    }
  }

  if (!slot.HasResult) slot.Score = 1000.0;
  slot.Listed = run.BestOfAll() && slot.HasResult;
  FinishCompositeStep(run, code);
}

}  // namespace tavorix
