#pragma once
// Working arrays of the fitting engine, sized once per run and reused by
// every fit. A fit never writes the run's X and Fr: it transforms into Xt and
// Ft here, so the untransformed data and observed frequencies stay intact
// (the "private copies" that a fit restores from).

#include <array>
#include <vector>

#include "fitting/TavorixRun.h"
#include "fitting/LineFits.h"

namespace tavorix {

struct FitWorkspace {
  int N = 0;
  std::vector<double> X;      // ranked, moved data as doubles, 1..N
  std::vector<double> LnX;    // ln X, computed once per run
  std::vector<double> Fr;     // observed plotting positions, 1..N
  std::vector<double> Xt;     // transformed X of the fit at work
  std::vector<double> Ft;     // transformed frequencies of the fit at work
  std::vector<double> Fc;     // calculated frequencies of the fit at work
  std::vector<double> XWork;  // second working array
  LineState Line;             // slope, intercept, means of the last line fitted
  std::array<double, 281> ScanTable{};  // misfit per point of the exponent scan, 1..280
  CancelFlag Cancel = nullptr;          // the run's stop flag, for the long searches

  // Copies the prepared data of the run (N, X, Fr) and computes ln X.
  void Prepare(const TavorixRun& run);
};

// Squared misfit term with the deviation limited to 1 in size, as used by
// the saturated searches.
inline double SaturatedSq(double d) {
  return (d > 1.0 || d < -1.0) ? 1.0 : d * d;
}

// Average misfit in percent as written to the ranked list and the report.
inline double AverageOf(double score, int n) { return 100.0 * score / n; }

}  // namespace tavorix
