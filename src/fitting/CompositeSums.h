#pragma once
// Misfit sums of one part of a composite (shared by the composite fits).

#include "fitting/TavorixRun.h"
#include "fitting/CompositeKinds.h"

namespace tavorix {

// Sums over the data of one part, d = observed - calculated frequency.
struct PartSums {
  double SumSq = 0;           // sum of d^2
  double SaturatedSumSq = 0;  // the same with |d| > 1 counted as 1
  double SumAbs = 0;          // sum of |d|
};

// Evaluates z = a t[i] + b for i = first..last with the kind's frequency
// under the given limits and sums the deviations from fr[i]. An empty range
// gives zero sums.
PartSums EvaluatePart(ComponentKind kind, KindLimits limits, const double* t, const double* fr,
                      int first, int last, double a, double b);

// Builds ft[1..n]: the lower kind's transform of the observed frequencies for
// ranks 1..m, the upper kind's above (precomputed in low and up).
void SplitFt(double* ft, const double* low, const double* up, int m, int n);

// Adds the composite's progress line(s) unless the run prefers it.
void FinishCompositeStep(TavorixRun& run, int code);

}  // namespace tavorix
