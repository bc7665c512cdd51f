#pragma once
// The fits with a bound C found by stepping away from the data: Frechet (58)
// and mirrored Frechet (35) with C left of the smallest X, Fisher-Tippett
// type 3 (59) and its mirror (33) with C right of the largest X.
//
// At each step the data are linearised as Xt = ln(distance to C) against
// Ft = ln(-ln Fr) (58, 59) or ln(-ln(1 - Fr)) (35, 33), a least-squares line
// gives A and B, and Fc = exp(-w) (58, 59) or 1 - exp(-w) (35, 33) with
// w = (distance / exp(-B/A))^A. C moves in steps of 1 % of the data range,
// and the stepping stops at the first step that does not lower the misfit.
// Past its first 256 steps, steps whose misfit surely falls are taken from a
// polynomial through the misfits at a few bounds, without being formed; the
// stop is that of the steps done one by one.

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"

namespace tavorix {

enum class BoundSide { Left, Right };

struct LocationFitKind {
  int Code;
  BoundSide Side;  // Left: C = X[1] - 0.01 k R; Right: C = X[N] + 0.01 k R
  bool Mirrored;   // 35, 33: Ft = ln(-ln(1 - Fr)) and Fc = 1 - exp(-w)
  int MaxSteps;    // 10 000 to the left, 100 000 to the right
};

inline constexpr LocationFitKind kFrechetKind{58, BoundSide::Left, false, 10000};
inline constexpr LocationFitKind kFrechetMirroredKind{35, BoundSide::Left, true, 10000};
inline constexpr LocationFitKind kFisherTippett3MirroredKind{33, BoundSide::Right, true, 100000};
inline constexpr LocationFitKind kFisherTippett3Kind{59, BoundSide::Right, false, 100000};

// The bound of step k (k >= 1), moved to 0.001 beyond any datum that it
// would otherwise reach.
double LocationStepBound(const TavorixRun& run, const FitWorkspace& ws, BoundSide side, int k);

// Ft of the kind: ln(-ln Fr), or ln(-ln(1 - Fr)) when mirrored, with Fr kept
// inside (0, 1).
void FillLocationFt(const TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind);

// The squared misfit of step k alone (after FillLocationFt); g is a scratch
// array of N + 1 values. The reference of the stepping's tests.
double LocationStepMisfit(const TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind, int k,
                          double* g);

// Runs the stepping of one kind and fills run.Slots[kind.Code] with A, B
// (the final line) and C. A search whose first step gives no usable misfit
// has no candidate: score 1000, not listed.
void FitLocation(TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind);

// Both kinds' fits, as FitLocation(a) then FitLocation(b) make them. Two
// kinds on the same side step through the same bounds: on one thread with
// the steps side by side their Xt is formed once for both.
void FitLocationPair(TavorixRun& run, FitWorkspace& ws, const LocationFitKind& a, const LocationFitKind& b);

inline void FitFrechet(TavorixRun& run, FitWorkspace& ws) { FitLocation(run, ws, kFrechetKind); }
inline void FitFrechetMirrored(TavorixRun& run, FitWorkspace& ws) {
  FitLocation(run, ws, kFrechetMirroredKind);
}
inline void FitFisherTippett3Mirrored(TavorixRun& run, FitWorkspace& ws) {
  FitLocation(run, ws, kFisherTippett3MirroredKind);
}
inline void FitFisherTippett3(TavorixRun& run, FitWorkspace& ws) {
  FitLocation(run, ws, kFisherTippett3Kind);
}
// 58 and 35, and 33 and 59, in one (the best-of-all steps of the pairs).
inline void FitFrechetPair(TavorixRun& run, FitWorkspace& ws) {
  FitLocationPair(run, ws, kFrechetKind, kFrechetMirroredKind);
}
inline void FitFisherTippett3Pair(TavorixRun& run, FitWorkspace& ws) {
  FitLocationPair(run, ws, kFisherTippett3MirroredKind, kFisherTippett3Kind);
}

}  // namespace tavorix
