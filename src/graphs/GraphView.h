#pragma once
// Everything one drawing of a graph needs, read and computed from the
// report and the parameter file of a finished run.

#include <string>
#include <vector>

#include "graphs/GraphCurves.h"
#include "graphs/GraphData.h"

namespace tavorix {

// A labelled tick of an axis that is not evenly divided (logarithmic return
// periods, the Gumbel scale): its position in axis units and its label.
struct AxisMark {
  double At = 0;
  std::string Label;
};

struct GraphView {
  int Type = kGraphCumulative;
  GraphData Data;
  AxisState Axes;
  GraphCaptions Captions;
  std::string DistTitle;
  // Type 1 with sparse data: the calculated curve at 20 axis points.
  // Type 8: the fitted X (F) and its 90% limits (Lower, Upper) at reduced
  // variates (X) across the axis; empty where the distribution gives no X.
  CurvePoints Curve;
  DensityCurve Density;  // types 2 and 6
  bool LogPeriods = false;  // type 4 on a logarithmic return-period axis
  // Ticks of an axis that replace its even division when not empty.
  std::vector<AxisMark> XMarks, YMarks;
};

// Reads the report at reportPath for the graph type (1 to 6), gives the
// distribution title (a code without a title keeps the view's previous one),
// scales the axes, makes the captions and computes the curves. With
// `logPeriods` the return periods of type 4 stand on a logarithmic axis
// (labelled 1, 2, 5, 10, 20, 50, ...). An unreadable report throws
// TavorixError and leaves the view as it was.
void PrepareGraph(const std::string& reportPath, int type, GraphView& view, bool logPeriods = false);

// Puts the return periods of a prepared type-4 view on a logarithmic axis:
// every period becomes its base-10 logarithm (periods not above 0 fall below
// the axis), the axis runs from 1 to the decade above the largest period
// drawn, and the ticks are the periods 1, 2, 5, 10, 20, 50, ... below it.
void UseLogPeriods(GraphView& view);

}  // namespace tavorix
