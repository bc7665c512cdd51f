#include "graphs/GraphView.h"

namespace tavorix {

void PrepareGraph(const std::string& reportPath, int type, GraphView& view) {
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
  view = std::move(v);
}

}  // namespace tavorix
