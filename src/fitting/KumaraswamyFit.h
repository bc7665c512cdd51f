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

// Past the first rows of bounds, a row is formed only when its misfits may
// come near the least one (see the far rows in KumaraswamyFit.cpp); the
// choice is that of every row formed.
void FitKumaraswamy(TavorixRun& run, FitWorkspace& ws);
// The same forming every row: the reference of the tests.
void FitKumaraswamyEveryRow(TavorixRun& run, FitWorkspace& ws);

}  // namespace tavorix
