#pragma once
// Evaluation of the chosen distribution: at every datum of the run (for the
// report and the confidence stage), at curve points and at class bounds (for
// the interval table and the graphs).


#include "core/RunContext.h"

namespace tavorix {

// Where a value is evaluated; the guards differ slightly between them.
enum class FcodeUse {
  Data,       // the data of the run and curve points (fitted-curve routine)
  Intervals,  // class bounds of the interval analysis
};

// Set when a bounded distribution met a value on the wrong side of its bound.
struct BoundHits {
  bool BelowBoundC = false;  // 58, 35: a value at or below the lower bound C
  bool AboveBoundC = false;  // 59, 33: a value at or above the upper bound C
};

// Calculated cumulative frequency of the fitted distribution at x (moved
// scale), with the evaluation guards of the fitted curve. Composites take
// the lower part for x <= BreakPoint. Never NaN.
double Fcode(const FittedDistribution& fd, double x, FcodeUse use, BoundHits* hits = nullptr);

// Data mode: FcCalc[1..N] of the run for the chosen distribution. Composites
// and the generalized Laplace choose their part by rank. Every code is
// evaluated from the chosen parameters, Kumaraswamy and the normal family
// included: later fits of the engine overwrite what an earlier fit left in
// FcCalc. Sets the run's bound flags.
void EvaluateFittedCurve(TavorixRun& run);

// What the last class bound is raised by so that the largest value lies
// inside the last class: 0.0002, but never more than two thousandths of the
// class width (tiny data would otherwise get a last class several times as
// wide as the others). It stays twice the counting tolerance of the classes.
double LastBoundNudge(double width);

// Run mode of the interval analysis: K = NrOfClasses equal classes over the
// data range, observed counts and the calculated frequency at every bound.
void ComputeIntervals(TavorixRun& run);

}  // namespace tavorix
