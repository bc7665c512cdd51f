#pragma once
// Generalized Gompertz (34): Fc = 1 - exp(A (Z^(B E) - 1)) with Z = X, or
// Z = X + 1 for all data when some X is below 1. A grid over E and B (0.3 to
// 3.5 each); A is the slope of the ratio line of ln(1 - Fr) on Z^(B E) - 1.
// Results: A, B, E and the X + 1 flag.

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"

namespace tavorix {

constexpr int kGompertzSteps = 33;  // grid steps of E and of B

void FitGompertz(TavorixRun& run, FitWorkspace& ws);

}  // namespace tavorix
