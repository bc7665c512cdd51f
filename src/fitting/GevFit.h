#pragma once
// The generalized extreme value fit, code 67:
//   Fc = exp(-(1 + K (X - A)/B)^(-1/K)),
// with the location A where the plotted data reach Fc = 0.37, and the shape
// K (-0.99..1.00) and scale B (0.31..1.70 times the spread of X) found on a
// grid.

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"

namespace tavorix {

constexpr int kGevShapeSteps = 200;
constexpr int kGevScaleSteps = 140;

// The location: linear interpolation at Fr = 0.37 between rank r - 1 and
// rank r, r being the first rank with Fr > 0.37.
double GevLocation(const TavorixRun& run);

// Search misfit of one grid point on the deviations dx[i] = X[i] - A
// (1-based, n data). A datum outside the support (1 + K dx/B <= 0) resets
// the running sum to 1000 and counts with Fc = exp(-1); K = 0 evaluates no
// datum, and a sum of exactly 0 counts as 1000.
// With stopAt at most 1000 the evaluation ends as soon as the running sum
// reaches stopAt and returns that partial sum: the full misfit could then
// not be below stopAt either (the squares only add, and a restart leaves at
// least 1000).
double GevSearchMisfit(const double* dx, const double* fr, int n, double k, double b,
                       double stopAt = 1000000.0);

// Fills run.Slots[67].P.Gev: K, Loc (A), Scale (B), Q = A - B/K and BeyondBound;
// P.A and P.B stay 0. When data lie beyond the bound (X >= 0.999 Q with
// K < 0, or X <= 1.001 Q with K > 0) the flag is raised and K is adjusted;
// Q keeps its value from before the adjustment. The score is the sum of
// |Fr - F| with the final parameters, F being 1 above an upper bound and 0
// below a lower one (the search's exclusion above does not apply to it). A
// final K of exactly 0 (no valid candidate) gives score 1000 and no list
// entry. Adds " This takes time .." and, from 501 data on, " Please wait
// ......" during the search.
void FitGev(TavorixRun& run, FitWorkspace& ws);

}  // namespace tavorix
