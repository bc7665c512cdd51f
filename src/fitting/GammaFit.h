#pragma once
// The Gamma (Erlang) fit, code 61: Fc = 1 - sum over k = 0..n-1 of
// (X/A)^k exp(-X/A) / k!, with the number of terms n (1..20) and the scale
// A (0.1..50.0) found on a grid.

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"

namespace tavorix {

constexpr int kGammaMaxTerms = 20;
constexpr int kGammaScaleSteps = 500;

// Fills run.Slots[61] (A = scale, Terms = n) and keeps the calculated
// frequency of every datum of the final fit in run.FcCalc (1..N).
void FitGamma(TavorixRun& run, FitWorkspace& ws);

}  // namespace tavorix
