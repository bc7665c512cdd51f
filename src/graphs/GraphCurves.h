#pragma once
// Curves that the graphs compute with the fitted distribution instead of
// taking them from the report: the calculated cumulative curve of sparse
// data (20 points across the X axis) and the density curve over the
// histograms. The graph axes are in the report's units (the user's values);
// the fitted function works on the moved scale of the run, moved = x - Shift
// + 0.0001, so every abscissa is moved before the evaluation and moved back
// for drawing.

#include <array>
#include <vector>

#include "graphs/GraphData.h"
#include "report/ParameterFile.h"

namespace tavorix {

// Points of a curve in axis units, frequencies in %.
struct CurvePoints {
  std::vector<double> X, F, Lower, Upper;
};

// The 20 points of the calculated cumulative curve of sparse data: evenly
// spaced over the X axis (first point one step in from its start), with the
// 90% limits of a frequency for n data.
CurvePoints ComputeSparseCurve(const AxisState& axes, const ParameterFileContents& params, int n);

// Class bounds of the graph mode of the interval computation: 20 equal
// classes from the first to the last abscissa (moved scale), bounds 1..21,
// and the calculated cumulative frequency at each bound.
struct GraphIntervals {
  std::array<double, 22> Bounds{};
  std::array<double, 22> Fc{};
};
GraphIntervals ComputeGraphIntervals(const std::vector<double>& movedAbscissae, const FittedDistribution& fit);

// Density curve over the histogram: bounds b(0..20) in axis units and the
// density d(1..20) of the class ending at each bound, scaled to the class
// width of the histogram so that it compares with the bars (%).
struct DensityCurve {
  bool Valid = false;
  std::array<double, 21> Bound{};
  std::array<double, 21> Density{};
};

// From the interval table of a histogram graph (types 2 and 6).
DensityCurve ComputeDensityCurve(const GraphData& data, const AxisState& axes, const ParameterFileContents& params);

}  // namespace tavorix
