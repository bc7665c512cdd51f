#include "graphs/GraphCurves.h"

#include <algorithm>
#include <cmath>

#include "fitting/FittedCurve.h"
#include "fitting/FittedModel.h"

namespace tavorix {

CurvePoints ComputeSparseCurve(const AxisState& axes, const ParameterFileContents& params, int n) {
  CurvePoints c;
  if (params.Code == 0 || n < 1) return c;
  const FittedModel model(params.Fit, params.Shift);
  const double lo = static_cast<double>(axes.Xlo) / axes.XFactor;
  const double hi = static_cast<double>(axes.Xhi) / axes.XFactor;
  for (int k = 1; k <= 20; ++k) {
    const double x = lo + k * (hi - lo) / 20;
    double moved = model.ToMoved(x);
    if (moved <= 0) moved = 0.001;  // as the calculator treats a value left of the data
    const double f = std::clamp(model.F(moved, Guard::Data), 0.0, 1.0);
    const double sd = std::sqrt(f * (1 - f) * n) / n;
    c.X.push_back(x);
    c.F.push_back(100 * f);
    c.Lower.push_back(100 * (f - 3.4 * sd * f));
    c.Upper.push_back(100 * (f + 3.4 * sd * (1 - f)));
  }
  return c;
}

GraphIntervals ComputeGraphIntervals(const std::vector<double>& g, const FittedDistribution& fit) {
  GraphIntervals iv;
  if (g.empty()) return iv;
  constexpr int K = 20;
  // 0.0002 on the moved scale is the bound Shift + 0.0001 of the user's
  // scale: no transform of the fitted function meets a value <= 0.
  const double first = std::max(g.front(), 0.0002);
  const double width = (g.back() - first) / K;
  auto& b = iv.Bounds;
  b[1] = first;
  for (int k = 1; k <= K; ++k) b[k + 1] = b[k] + width;
  if (b[1] == 0) b[1] = 0.0001;
  b[K + 1] += LastBoundNudge(width);  // the largest value lies inside the last class
  const FittedModel model(fit, 0.0);
  for (int k = 1; k <= K + 1; ++k) iv.Fc[k] = model.F(b[k], Guard::ClassBounds);
  return iv;
}

DensityCurve ComputeDensityCurve(const GraphData& d, const AxisState& axes, const ParameterFileContents& params) {
  DensityCurve dc;
  if (params.Code == 0 || d.RowCount < 3) return dc;
  const FittedModel model(params.Fit, params.Shift);
  std::vector<double> moved(d.RowCount);
  for (int r = 0; r < d.RowCount; ++r) moved[r] = model.ToMoved(static_cast<double>(d.X[r]));
  const GraphIntervals iv = ComputeGraphIntervals(moved, params.Fit);

  // Histogram class width against the width of the curve's classes.
  const double histWidth = static_cast<double>(d.X[2] - d.X[1]);
  const double curveWidth = iv.Bounds[2] - iv.Bounds[1];
  if (!(curveWidth > 0)) return dc;
  const double cap = 0.8 * axes.Yhi;
  for (int i = 1; i <= 20; ++i) {
    double v = 100 * (iv.Fc[i + 1] - iv.Fc[i]) * histWidth / curveWidth;
    v = std::min(v, cap);
    dc.Density[i] = v > 0 ? v : 0;
  }
  if (model.IsNormalFamily() && dc.Density[1] > dc.Density[2]) dc.Density[1] = 0.75 * dc.Density[2];

  const double start = static_cast<double>(axes.Xlo) / axes.XFactor;
  const double end = static_cast<double>(axes.Xhi) / axes.XFactor;
  for (int i = 0; i <= 20; ++i) dc.Bound[i] = model.ToInput(iv.Bounds[i + 1]);
  if (dc.Bound[0] < start) dc.Bound[0] = start;
  if (dc.Bound[20] > end) dc.Bound[20] = end;
  dc.Valid = true;
  return dc;
}

}  // namespace tavorix
