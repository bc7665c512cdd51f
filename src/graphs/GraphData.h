#pragma once
// Graph data of a finished run, read back from its results report (".out")
// and the parameter file (".aux") beside it, and the axis scaling, captions
// and titles that go with each graph type. Nothing here uses the
// fitting engine's memory: a report opened long after its run gives the same
// graphs.

#include <string>
#include <string_view>
#include <vector>

namespace tavorix {

// Graph types, numbered as the choices of the Graphics page.
enum GraphType : int {
  kGraphCumulative = 1,      // "Cumulative distribution"
  kGraphHistogramCalc = 2,   // "Interval distribution (histogram calculated)"
  kGraphConfidenceBelt = 3,  // "Confidence belt of X"
  kGraphReturnPeriods = 4,   // "Return periods"
  kGraphPredObserved = 5,    // "Predicted-observed"
  kGraphHistogramObs = 6,    // "Interval distribution (histogram observed)"
  kGraphQuantiles = 7,       // "Quantiles observed-calculated (Q-Q)"
  kGraphProbabilityPaper = 8,  // "Probability paper (return periods)"
};

inline constexpr int kGraphTypeCount = 8;
inline bool IsGraphType(int type) { return type >= 1 && type <= kGraphTypeCount; }

// One table of the report, rows 0-based. X is where a row stands across the
// graph; the other columns are heights on the vertical axis: Observed the
// observed value, Calculated the fitted distribution's and Upper and Lower
// its confidence limits. Per graph type:
//   types 1, 5: X observed; Observed Fr %, Calculated Fc %, Upper and Lower %
//   types 2, 6: X a class's lower limit, ClassEnd its upper limit; Observed and
//               Calculated the class's frequencies %; type 2 draws the
//               calculated ones as bars and marks the observed ones, type 6
//               draws the observed ones as bars
//   type 3:     X observed; Calculated, Upper and Lower in X units
//   type 4:     X observed; Observed the rank return period, Calculated,
//               Upper and Lower the fitted ones (with a logarithmic axis: the
//               return periods' base-10 logarithms)
//   type 7:     X the fitted distribution's X at R/(N+1), Observed X observed
//   type 8:     X reduced variate -ln(-ln(R/(N+1))) of the Gumbel scale,
//               Observed X observed
// X values of types 7 and 8 are in input units. A column the type does not
// use holds zeros.
struct GraphData {
  std::vector<long double> X, Observed, Calculated, Upper, Lower;
  std::vector<long double> ClassEnd;  // types 2 and 6
  std::vector<long double> XCopy;  // X as read, before type 5 replaces it
  std::string Title1, Title2;
  int N = 0;         // number of points (rows for types 1 and 5, the report's N otherwise)
  int RowCount = 0;  // rows of the table (classes + 2 for the histograms)
  double P = 0;      // separation point, in the report's X units
  bool HasSeparation = false;
  double AvAbsDiff = 0;  // type 1: average absolute difference, %
  double FcNearP = 0;    // type 1: calculated frequency near the separation point, %
  bool SparseData = false;
  int Code = 0;  // distribution code of the parameter file
};

// Axis ranges, steps and label decimals; XFactor and YFactor (1, 10, 100,
// 1000) scale the data onto the axis. The axis ends are whole numbers held
// as doubles: a series may span far more than an int. The Range* values are
// the data ranges before the axis ladder (scaled), which bound the
// return-period lines.
struct AxisState {
  double Xlo = 0, Xhi = 1;
  int Xticks = 4, Xdec = 0;
  double Ylo = 0, Yhi = 1;
  int Yticks = 4, Ydec = 0;
  int XFactor = 1, YFactor = 1;
  int PlotWidth = 500, PlotHeight = 300;
  double RangeXmax = 0, RangeYmin = 0, RangeYmax = 0;
};

struct GraphCaptions {
  std::string Vertical, Horizontal;
  std::string Observed, Calculated, Limits;
};

// Reads the table of the graph type from the report at reportPath and the
// distribution code from the parameter file of the same base name (code 0
// when there is none). An unreadable report throws TavorixError with the
// program's message and leaves `data` as it was.
void ReadGraphData(const std::string& reportPath, int type, GraphData& data);

// Axis ranges of the graph type. Type 5 turns the rows into (Fr, Fc) points:
// X becomes Fr, so that the line of equality is X against X.
AxisState ScaleGraph(int type, GraphData& data);

// Axis state of a graph of values against values (types 7 and 8) from the
// data ranges: scale factors and ladders as for the other graphs. Type 7 has
// the horizontal axis on both sides, so that the 1:1 line is the diagonal.
AxisState ScaleRanges(int type, double xmin, double xmax, double ymin, double ymax);

GraphCaptions MakeCaptions(int type, const AxisState& axes);

// Graph title of a distribution code: empty for code 0; a code without a
// title keeps `previous`.
std::string DistributionTitle(int code, std::string_view previous);

}  // namespace tavorix
