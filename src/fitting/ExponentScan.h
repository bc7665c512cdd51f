#pragma once
// The standard exponent scan: E runs from 0.20 to 2.99 in 280 steps of 0.01
// and the step with the smallest misfit wins, with fixed edge rules.

#include <array>

namespace tavorix {

constexpr int kScanSteps = 280;

// Runs the scan. sumSqAt(E) returns the saturated squared misfit of the fit
// with exponent E; E is accumulated from 0.19 in steps of 0.01 in double
// precision. The misfits are stored in table[1..280]. Returns the best step
// k (2..280; the first point never wins; the lowest k wins a tie).
template <class SumSqAt>
int RunExponentScan(std::array<double, 281>& table, SumSqAt&& sumSqAt) {
  double e = 0.19;
  for (int k = 1; k <= kScanSteps; ++k) {
    e += 0.01;
    table[k] = sumSqAt(e);
  }
  double best = 1000000.0;
  int kBest = 0;
  for (int k = 2; k <= kScanSteps; ++k) {
    if (table[k] < best) {
      best = table[k];
      kBest = k;
    }
  }
  return kBest;
}

// The exponent of scan step k: 0.19 + 0.01 k formed in extended precision
// and stored as double; E = 1 when it lies below 0.21 or above 2.98 (so the
// edge steps 2 and 280 give 1) or within 0.95 .. 1.05. kBest = 0 gives 1.
double ScanExponent(int kBest);

// The snapping rules alone, applied to an exponent stored as double.
double SnapExponent(double e);

}  // namespace tavorix
