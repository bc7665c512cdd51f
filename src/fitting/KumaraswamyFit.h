#pragma once
// Kumaraswamy (36): Fc = 1 - (1 - (X/M)^A)^B. A grid over the bound M
// (1.1 .. 21 times the largest datum) and the exponent A (the exponent-scan
// values with its rules); B is the slope of the ratio line of ln(1 - Fr) on
// ln(1 - (X/M)^A). Results: M, A, B, the standard error 1.28/B, and the
// calculated frequency of every datum in the run's FcCalc.

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"

namespace tavorix {

constexpr int kKumaraswamyBoundSteps = 200;
constexpr int kKumaraswamyTableColumns = 300;  // of which the 280 exponent-scan steps are used

void FitKumaraswamy(TavorixRun& run, FitWorkspace& ws);

}  // namespace tavorix
