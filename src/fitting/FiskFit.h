#pragma once
// Adjusted Fisk (56): Fc = 1 - 1/(1 + (X/B)^A). A grid over A (0.3 to 20.1)
// and B (0.31 to 0.80 times the mean of X); the misfit is not saturated.
// Results: A, B.

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"

namespace tavorix {

constexpr int kFiskExponentSteps = 100;
constexpr int kFiskScaleSteps = 50;

void FitFisk(TavorixRun& run, FitWorkspace& ws);

}  // namespace tavorix
