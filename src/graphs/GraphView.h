#pragma once
// Everything one drawing of a graph needs, read and computed from the
// report and the parameter file of a finished run.

#include <string>

#include "graphs/GraphCurves.h"
#include "graphs/GraphData.h"

namespace tavorix {

struct GraphView {
  int Type = kGraphCumulative;
  GraphData Data;
  AxisState Axes;
  GraphCaptions Captions;
  std::string DistTitle;
  CurvePoints Curve;     // type 1 with sparse data: the calculated curve at 20 axis points
  DensityCurve Density;  // types 2 and 6
};

// Reads the report at reportPath for the graph type, gives the distribution
// title (a code without a title keeps the view's previous one), scales the
// axes, makes the captions and computes the curves. An unreadable report
// throws TavorixError and leaves the view as it was.
void PrepareGraph(const std::string& reportPath, int type, GraphView& view);

}  // namespace tavorix
