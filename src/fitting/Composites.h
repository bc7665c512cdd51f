#pragma once
// The composite distributions: one component kind below a separation point P
// and another above it.
//
// Simple composites (codes 7-18) search P on an even grid of X and fit both
// parts on X itself. Generalized composites (70, 71, 72, 74, 80-85) try eleven
// fixed fractions of the data as the lower part and give each part its own
// exponent on X.
//
// Each fit is one step of the fit-all run. It assumes ws.Prepare(run) was
// called, never writes the run's X or Fr, and leaves its result in
// run.Slots[code] (P.Composite: both parts, BreakPoint and BreakCount):
//   Ran        always true;
//   HasResult  false when no separation was admissible (the slot then holds
//              score 1000 and zero parameters and must take no part in the
//              choice);
//   Score      sum of |observed - calculated frequency| over all N data;
//   Listed     best of all and HasResult.
// Whether the group runs at all (CompositeOn, a preferred composite) is the
// engine's decision; the steps themselves do not look at CompositeOn.
// After the step the composite's progress line(s) are added, unless the run
// prefers this composite: the step then ends the fit-all run and the engine
// takes the result.

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"

namespace tavorix {

// Codes 7..18.
void FitSimpleComposite(TavorixRun& run, FitWorkspace& ws, int code);
// Codes 70, 71, 72, 74, 80..85.
void FitGeneralizedComposite(TavorixRun& run, FitWorkspace& ws, int code);

// The frequency of one part (lower or upper) of a composite at x on the moved
// scale, as fitted, with the unlimited kind functions.
double CompositePartFc(int code, const FitParams& p, double x, bool lower);

// The distribution's frequency above P: the upper part, but never below what
// the lower part reaches at P. Where the fitted upper part starts below that
// (a step down at P) the frequency stays there until the upper part rises
// above it, so that it never falls.
double CompositeUpperFc(int code, const FitParams& p, double x);

// Calculated frequency of a fitted composite at x on the moved scale: the
// lower part for x <= BreakPoint, CompositeUpperFc above (fitted curve,
// calculator, graphs).
double CompositeFc(int code, const FitParams& p, double x);
// The same for the datum of the given rank: ranks 1..BreakCount belong to the
// lower part (data with ties at P stay in the part the fit gave them).
double CompositeFcAtRank(int code, const FitParams& p, double x, int rank);

// Size of the lower part of generalized trial j (1..11): floor(n (j+4) / 20),
// that is 25 %, 30 %, ... 75 % of n with the fraction dropped.
int GeneralizedTrialSeparation(int n, int j);
constexpr int kGeneralizedTrials = 11;

// Steps of the simple separation grid and of the generalized exponent searches.
constexpr int kSimpleGridPoints = 49;
constexpr int kCompositeExponentSteps = 300;

}  // namespace tavorix
