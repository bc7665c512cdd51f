#pragma once
// Generalized Rayleigh (69): Fc = 1 - exp(-X^E / S). A grid over E (0.11 to
// 3.00) and, for each E, over S = (0.01 s MeanXt)^E with MeanXt the mean of
// X^E (s = 1..200). No line is fitted. Results: E, S.

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"

namespace tavorix {

constexpr int kRayleighExponentSteps = 290;
constexpr int kRayleighScaleSteps = 200;

void FitRayleigh(TavorixRun& run, FitWorkspace& ws);

}  // namespace tavorix
