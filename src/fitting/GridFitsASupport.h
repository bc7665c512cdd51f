#pragma once
// Small pieces shared by the Burr, Dagum, Gompertz, Kumaraswamy, Rayleigh and
// Fisk grid fits: the transformed frequencies, the grid values formed from
// extended constants, the final score and the filling of a result slot.

#include <cmath>

#include "core/RunContext.h"
#include "fitting/FitWorkspace.h"

namespace tavorix::gridfits {

// A grid value base + step * i, formed in extended precision and stored as
// double, so that it is the same value however often it is formed.
inline double GridValue(long double base, long double step, int i) {
  return static_cast<double>(base + step * i);
}

// Ft = ln(1 - Fr) of the fits whose line runs through the upper tail.
inline void FtLogComplement(const TavorixRun& run, FitWorkspace& ws) {
  for (int i = 1; i <= ws.N; ++i) ws.Ft[i] = static_cast<double>(std::log(1.0L - run.Fr[i]));
}

// Ft = ln Fr.
inline void FtLog(const TavorixRun& run, FitWorkspace& ws) {
  for (int i = 1; i <= ws.N; ++i) ws.Ft[i] = static_cast<double>(std::log(run.Fr[i]));
}

// Final score: the sum of absolute deviations between the observed
// frequencies and the calculated ones in ws.Fc, without saturation.
inline double FinalSumAbs(const FitWorkspace& ws) {
  long double sum = 0;
  for (int i = 1; i <= ws.N; ++i) sum += std::fabs(static_cast<long double>(ws.Fr[i]) - ws.Fc[i]);
  return static_cast<double>(sum);
}

// Marks the slot of a fit as run, with no result yet (score 1000: never chosen).
inline FitSlot& StartSlot(TavorixRun& run, int code) {
  FitSlot& slot = run.Slots[code];
  slot = FitSlot{};
  slot.Ran = true;
  slot.Score = 1000;
  return slot;
}

// Stores the result of a fit that found its parameters; it has a ranked-list
// entry in a best-of-all run.
inline void StoreResult(TavorixRun& run, FitSlot& slot, const FitParams& p, double score) {
  slot.HasResult = true;
  slot.Listed = run.BestOfAll();
  slot.Score = score;
  slot.P = p;
}

}  // namespace tavorix::gridfits
