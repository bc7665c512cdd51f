#pragma once
// Builds run contexts for the fitting tests: ranked data with plotting
// positions R/(N+1), as data preparation leaves them for positive data.

#include <algorithm>
#include <functional>
#include <vector>

#include "core/RunContext.h"
#include "fitting/FitWorkspace.h"
#include "fitting/Registry.h"

namespace tavorix::testing {

// A run holding the given values (sorted ascending) with Fr = R/(N+1).
inline TavorixRun MakeRun(std::vector<double> values, std::string preferred = "1") {
  std::sort(values.begin(), values.end());
  TavorixRun run;
  run.N = static_cast<int>(values.size());
  run.X.assign(values.size() + 1, 0.0L);
  run.Fr.assign(values.size() + 1, 0.0L);
  run.SerialOfRank.assign(values.size() + 1, 0);
  for (int r = 1; r <= run.N; ++r) {
    run.X[r] = values[r - 1];
    run.Fr[r] = static_cast<long double>(r) / (run.N + 1);
    run.SerialOfRank[r] = r;
  }
  run.PreferredCode = std::move(preferred);
  return run;
}

// The exact quantiles of a distribution at the plotting positions R/(N+1),
// given its inverse cumulative function.
inline std::vector<double> QuantilesAtPlottingPositions(int n, const std::function<double(double)>& inverse) {
  std::vector<double> v(n);
  for (int r = 1; r <= n; ++r) v[r - 1] = inverse(static_cast<double>(r) / (n + 1));
  return v;
}

// Runs the fit of a code's registry row.
inline void FitCode(int code, TavorixRun& run, FitWorkspace& ws) { FindDistribution(code)->Fit(run, ws, code); }

// A workspace prepared for the run.
inline FitWorkspace MakeWorkspace(const TavorixRun& run) {
  FitWorkspace ws;
  ws.Prepare(run);
  return ws;
}

}  // namespace tavorix::testing

namespace tavorix {

// The plain frequency function of a single code, from the registry; empty
// for codes that are not single distributions.
using PlainFc = std::function<double(const FitParams&, double)>;
inline PlainFc SingleFcOf(int code) {
  const DistributionInfo* d = FindDistribution(code);
  if (!d || d->Kind != DistKind::Single || !d->Fc) return {};
  return [d, code](const FitParams& p, double x) { return d->Fc(code, p, x); };
}

// Sets the line A, B in the parameter family of `code`, where the family
// has both (a line, power-line or bounded code, and the others that keep an
// A and a B).
inline void SetLine(FitParams& p, int code, double a, double b) {
  const DistributionInfo* d = FindDistribution(code);
  VisitFamily(d ? d->Params.Family : ParamFamily::None, p, [&](auto& f) {
    if constexpr (requires { f.A = a, f.B = b; }) f.A = a, f.B = b;
  });
}

}  // namespace tavorix
