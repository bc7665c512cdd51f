#pragma once
// Small pieces shared by the Burr, Dagum, Gompertz, Kumaraswamy, Rayleigh and
// Fisk grid fits: the transformed frequencies, the grid values formed from
// extended constants, the choice of the best grid point, the final score, the
// filling of a result slot and the cut-off of the misfit sums.

#include <algorithm>
#include <atomic>
#include <cmath>

#include "fitting/TavorixRun.h"
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

// The grid point (I, J) of the least misfit offered, I the step of the outer
// loop and J that of the inner one. A misfit takes the place only when it is
// lower: of equal misfits the first offered stays, and one that is not a
// number never wins. I stays 0 while nothing has won.
struct GridBest {
  double Misfit = 1000000.0;
  int I = 0, J = 0;

  void Offer(double misfit, int i, int j) {
    if (misfit < Misfit) {
      Misfit = misfit;
      I = i;
      J = j;
    }
  }
  bool Found() const { return I != 0; }
};

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

// The least misfit found so far anywhere in a grid, shared by the threads
// that search its rows. Only misfits that may win are offered (a scan's
// first step, which never wins, is not). A misfit above it cannot be the
// least of the grid, so its sum may stop there: the row then holds a partial
// sum, or the step of one, as its best, but such a row never wins the
// comparison of the rows, whatever the threads' timing.
class LeastMisfit {
 public:
  double Get() const { return value_.load(std::memory_order_relaxed); }
  void Offer(double misfit) {
    double seen = Get();
    while (misfit < seen && !value_.compare_exchange_weak(seen, misfit, std::memory_order_relaxed)) {
    }
  }

 private:
  std::atomic<double> value_{HUGE_VAL};
};

// The saturated squared misfit of fr[1..n] against the calculated values
// that fcOf(i0, m, fc) writes for points i0 .. i0 + m - 1, summed in point
// order. Once the sum is above `cutoff` it can only end above it (the terms
// are nonnegative): the partial sum is returned. The last block is summed
// first as such a bound, since a poor fit often misses most at the top.
template <class FcOf>
double CutMisfit(const double* fr, int n, double cutoff, FcOf&& fcOf) {
  constexpr int kBlock = 32;
  const int lastI0 = (n - 1) / kBlock * kBlock + 1;
  const int lastM = n - lastI0 + 1;
  double last[kBlock] = {};
  fcOf(lastI0, lastM, last);
  double probe = 0;
  for (int j = 0; j < lastM; ++j) probe += SaturatedSq(fr[lastI0 + j] - last[j]);
  if (probe > cutoff) return probe;
  double sum = 0, fc[kBlock];
  for (int i0 = 1; i0 < lastI0; i0 += kBlock) {
    fcOf(i0, kBlock, fc);
    for (int j = 0; j < kBlock; ++j) sum += SaturatedSq(fr[i0 + j] - fc[j]);
    if (sum > cutoff) return sum;
  }
  for (int j = 0; j < lastM; ++j) sum += SaturatedSq(fr[lastI0 + j] - last[j]);
  return sum;
}

}  // namespace tavorix::gridfits
