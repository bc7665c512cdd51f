#pragma once
// Burr (31) and Dagum (32): a grid over the exponent A and the scale B.
// At every grid point Z = ln(S / (X^A + S)) with S = B^A is the regressor of
// ln(1 - Fr) (Burr) or ln Fr (Dagum); the line gives the slope E and the
// intercept D. Results: A, B, S, E, D.

#include <array>

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"

namespace tavorix {

constexpr int kBurrExponentSteps = 330;  // A = 0.21 .. 3.50 (negative for Dagum)
constexpr int kBurrScaleSteps = 2000;    // scale values k*h, k = 1..2000

using BurrScaleTable = std::array<double, kBurrScaleSteps + 1>;  // 1-based

// Step h of the scale table, chosen by the largest datum.
double BurrScaleStep(long double xmax);

// Fills table[1..2000] with h, 2h, ... by repeated addition of h and returns
// K, the number of entries below xmax (the scale values that are searched).
int FillBurrScaleTable(long double xmax, BurrScaleTable& table);

// The fits. A series whose largest datum is not above the first scale value
// has no candidate: score 1000, no result, no ranked-list entry.
void FitBurr(TavorixRun& run, FitWorkspace& ws);
void FitDagum(TavorixRun& run, FitWorkspace& ws);

}  // namespace tavorix
