#include "graphs/GraphView.h"

#include <algorithm>
#include <cmath>

#include "core/NumberFormat.h"

namespace tavorix {

void PrepareGraph(const std::string& reportPath, int type, GraphView& view, bool logPeriods) {
  GraphView v;
  ReadGraphData(reportPath, type, v.Data);
  v.Type = type;
  v.DistTitle = DistributionTitle(v.Data.Code, view.DistTitle);
  v.Axes = ScaleGraph(type, v.Data);
  v.Captions = MakeCaptions(type, v.Axes);

  ParameterFileContents params;
  ReadParameterFile(WithExtension(reportPath, ".aux"), params, 4);
  if (type == kGraphCumulative && v.Data.SparseData) v.Curve = ComputeSparseCurve(v.Axes, params, v.Data.N);
  if (type == kGraphHistogramCalc || type == kGraphHistogramObs)
    v.Density = ComputeDensityCurve(v.Data, v.Axes, params);
  if (type == kGraphReturnPeriods && logPeriods) UseLogPeriods(v);
  view = std::move(v);
}

void UseLogPeriods(GraphView& v) {
  v.LogPeriods = true;
  GraphData& d = v.Data;
  // Far below the axis: a period of 0 or less has no logarithm.
  constexpr long double kBelowAxis = -1000;
  for (auto* s : {&d.Observed, &d.Calculated, &d.Upper, &d.Lower})
    for (long double& t : *s) t = t > 0 ? std::log10(t) : kBelowAxis;
  AxisState& a = v.Axes;
  // The largest observed and calculated periods of every row; the upper
  // limit of the last row grows without bound and is left out.
  long double top = 0;
  for (int r = 0; r < d.RowCount; ++r) top = std::max({top, d.Observed[r], d.Calculated[r]});
  for (int r = 0; r + 1 < d.RowCount; ++r) top = std::max(top, d.Upper[r]);
  a.YFactor = 1;
  a.Ylo = 0;
  a.Yhi = std::max(1.0, std::ceil(static_cast<double>(top) - 1e-9));
  a.Ydec = 0;
  a.RangeYmin = 0;
  // Every segment that ends on the axis is drawn.
  a.RangeYmax = a.Yhi;
  v.YMarks.clear();
  for (int decade = 0; decade < a.Yhi; ++decade)
    for (int m : {1, 2, 5}) {
      const double at = decade + std::log10(m);
      v.YMarks.push_back({at, FormatFixed(std::pow(10.0, decade) * m, 1, 0)});
    }
  v.YMarks.push_back({a.Yhi, FormatFixed(std::pow(10.0, a.Yhi), 1, 0)});
  v.Captions.Vertical = "Return period (logarithmic)";
}

}  // namespace tavorix
