#pragma once
// The normal family, codes 20 to 26: the normal integral of a transformed
// variable t, computed with the Hastings approximation instead of a line.
//
//   code  t              searched
//   20    X              nothing (plain mean and standard deviation)
//   21    X              standard deviation
//   22    ln X           nothing
//   23    ln X           mean and standard deviation
//   24    sqrt X         standard deviation
//   25    X^2            standard deviation
//   26    X^E            exponent E and standard deviation
//
// Results per code in run.Slots[code].P:
//   Mean    mean of t (code 23: the searched mean)
//   Sigma   standard deviation used by the curve (20, 22: the plain one)
//   Sigma0  plain standard deviation of t; left 0 for 20 and 22, which have
//           no separate plain value
//   E       exponent of code 26 (0 for the others)
// Slots[code].StdErrX is not used by these codes.
//
// Hand-over when a normal code is the preferred one (done by the engine):
// P.Normal.Mean goes to Fitted.MeanXt, P.Normal.Sigma to the standard-error value
// Fitted.StdErrX and P.Normal.Sigma0 to Fitted.SdXt; code 20 hands over only Mean
// and Sigma, code 22 nothing.

#include <span>

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"

namespace tavorix {

// Cumulative frequency of t under a normal distribution with the given mean
// and sigma, by the Hastings approximation with five-digit constants. Below
// the mean the lower tail mirrors the upper one, F(z) = 1 - H(-z), with the
// same polynomial: every F above the mean is the approximation itself.
double HastingsF(double t, double mean, double sigma);

// Fits one code of the family (20..26; other codes do nothing) on the
// prepared workspace and stores the result in run.Slots[code]: Ran,
// HasResult, Score (sum of |Fr - F|), Listed (best of all only; never for
// code 26 at E = 1, which then scores 1000 so that it cannot be chosen), the
// parameters above, the calculated frequencies in run.FcCalc (sized N + 1),
// and the progress line " 90 done" (code 20) ... " 96 done" (code 26).
// Data whose transformed values have no spread give no result: the slot
// keeps its score, HasResult stays false and no line is written.
//
// With run.NormalEvalOnly set, the call only evaluates the code with the
// Mean, Sigma and E already in its slot at ws.X[1..ws.N] into run.FcCalc;
// no score, list flag, parameter or progress line changes.
//
// The searches fill a plain misfit table and then choose from it with the
// rules below. A trial's sum of squares stops early once it reaches the
// smallest misfit among the earlier candidates, or exceeds the best misfit
// of a pilot row filled first (code 23: the plain mean; 26: E = 1): the
// terms are never negative, so such a trial can no longer be chosen, and
// its entry (the partial sum) leaves the choice exactly as the full sum
// would.
void FitNormalFamily(TavorixRun& run, FitWorkspace& ws, int code);

// Calculated frequency of a fitted normal code at x on the moved scale:
// HastingsF of the code's transform of x with Mean and Sigma (and E for
// 26). Gives 0 where the transform is undefined (x <= 0 for ln and sqrt),
// for a slot without result (Sigma <= 0) and for codes outside 20..26.
double NormalFamilyFc(int code, const FitParams& p, double x);

// --- the search grids and their choice rules --------------------------------
// Trial k of the sigma grid is sigma_k = (k + 99) sd0 / 200 (0.5 to 1.5 times
// sd0), trial j of the mean grid of code 23 mean_j = (j + 99) mean0 / 200, and
// trial j of the exponent grid of code 26 E_j = 0.19 + 0.01 j (0.20 .. 2.99).
// Tables are indexed from 0: entry (j, k) is at (j - 1) * kNormalSigmaSteps
// + (k - 1).

constexpr int kNormalSigmaSteps = 201;
constexpr int kNormalMeanSteps = 201;
constexpr int kNormalExponentSteps = 280;

struct NormalGridEntry {
  int J = 0;  // mean or exponent step (1-based; 0 = none chosen)
  int K = 0;  // sigma step (1-based; 0 = none chosen)
};

// Codes 21, 24, 25: entry 1 first, then k = 2..201 taken when strictly
// smaller, so the first of equal minima wins. ss holds 201 values.
int ChooseSigmaEntry(std::span<const double> ss);

// Code 23: entry (1, 1) first, then j = 2..201, k = 2..201 taken when
// strictly smaller. Entries with exactly one of j, k equal to 1 are never
// chosen. ss holds 201 x 201 values.
NormalGridEntry ChooseMeanSigmaEntry(std::span<const double> ss);

// Code 26: start value 1 000 000, then j = 1..280, k = 1..201 taken when
// strictly smaller. ss holds 280 x 201 values.
NormalGridEntry ChooseExponentSigmaEntry(std::span<const double> ss);

}  // namespace tavorix
