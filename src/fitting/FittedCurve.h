#pragma once
// Evaluation of the chosen distribution: at every datum of the run (for the
// report and the confidence stage), at curve points and at class bounds (for
// the interval table and the graphs).


#include "fitting/TavorixRun.h"
#include "fitting/Registry.h"

namespace tavorix {

// Calculated cumulative frequency of the fitted distribution at x (moved
// scale), with the guards of `use` (Data or ClassBounds); see FittedModel.
double Fcode(const FittedDistribution& fd, double x, Guard use, BoundHits* hits = nullptr);

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
