#pragma once
// The Laplace fit (code 68) and the generalized Laplace fit (code 73).
//
// Both split the ranked data at a candidate mode B into a lower part (ranks
// 1..M, M = the first rank with X > B, so that datum belongs to the lower
// part) and an upper part (ranks M+1..N). The lower part is linearised as
// ln(2 Fr) and fitted by least squares, the upper part as ln 0.5 - ln(1 - Fr)
// and fitted by the ratio line from point M. Twenty candidate modes are
// tried; the generalized fit also scans the exponents E1 (lower part) and
// E2 (upper part) of Xt = X^E.

#include <array>

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"

namespace tavorix {

constexpr int kLaplaceModes = 20;

// The candidate modes between the data at ranks lowRank and highRank:
// B_j = X[lowRank] + (X[highRank] - X[lowRank]) j / 20, j = 1..20, formed in
// extended precision, and the break rank of each (N when no datum lies
// above B_j).
struct LaplaceModeCandidates {
  std::array<double, kLaplaceModes + 1> B{};
  std::array<int, kLaplaceModes + 1> M{};
};
LaplaceModeCandidates MakeLaplaceModes(const TavorixRun& run, int lowRank, int highRank);

// Code 68: modes between X[round(N/3)] and X[round(2N/3)]. Fills
// run.Slots[68].P.Laplace (Mode, A1, A2, S1, S2, BreakRank) and run.FcCalc.
void FitLaplace(TavorixRun& run, FitWorkspace& ws);

// Code 73: modes between X[N div 3] and X[2N div 3], exponents 0.025..2.000.
// Fills run.Slots[73] (E1, E2, BreakRank, Mode = B' in the transformed
// scale, S1, S2, A1, A2) and run.FcCalc. In best of all it counts only when
// its score is below 0.95 times the score in run.Slots[68], which the engine
// fills first; otherwise its score is 1000 and it is not listed.
void FitLaplaceGeneralized(TavorixRun& run, FitWorkspace& ws);

}  // namespace tavorix
