#pragma once
// Everything one drawing of a graph needs, read and computed from the
// report and the parameter file of a finished run.

#include <string>
#include <utility>
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

// The bootstrap interval of X beside the fitted curve of the return-period
// graph (4) and the probability paper (8): its two lines as points in the
// units of the graph's series (X and return period on graph 4, reduced
// variate and X on graph 8), and the legend that names it. Empty: none drawn.
struct BootstrapBand {
  std::vector<std::pair<double, double>> Lower, Upper;
  std::string Legend;
  bool Empty() const { return Lower.empty() && Upper.empty(); }
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
  BootstrapBand Band;  // types 4 and 8, when asked for
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
// the axis), the axis runs from 1 to the decade above the largest observed
// or calculated period of every row (and upper limit of every row but the
// last), so that every observed point and the whole curve are shown, and the
// ticks are the periods 1, 2, 5, 10, 20, 50, ... below it.
void UseLogPeriods(GraphView& view);

// The observed points of a return-period graph above the top of its axis:
// the linear axis ends at the calculated periods of all rows but the last,
// below the largest observations. (Inline: the drawing module of tavorix-cli
// draws a prepared view without the graph data's code.)
inline int PointsAboveAxis(const GraphView& v) {
  if (v.Type != kGraphReturnPeriods) return 0;
  int above = 0;
  for (int r = 0; r < v.Data.RowCount && r < static_cast<int>(v.Data.Observed.size()); ++r)
    if (static_cast<double>(v.Data.Observed[r]) * v.Axes.YFactor > v.Axes.Yhi) ++above;
  return above;
}
// What the linear return-period graph says about them; empty for none.
inline std::string PointsAboveAxisNote(int count) {
  if (count <= 0) return {};
  return std::to_string(count) + (count == 1 ? " observed point lies" : " observed points lie") +
         " above the axis";
}

}  // namespace tavorix
