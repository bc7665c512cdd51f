#pragma once
// Builds run contexts for the fitting tests: ranked data with plotting
// positions R/(N+1), as data preparation leaves them for positive data.

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "fitting/FitAll.h"
#include "fitting/TavorixRun.h"
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

// 60 right-skewed values with a kink, every registry row fitted on them
// (best of all with composites), so that every composite finds parts.
inline const TavorixRun& SkewedRunFittedByEveryRow() {
  static const TavorixRun run = [] {
    TavorixRun r;
    r.N = 60;
    r.X.assign(r.N + 1, 0.0L);
    r.Fr.assign(r.N + 1, 0.0L);
    r.SerialOfRank.assign(r.N + 1, 0);
    for (int i = 1; i <= r.N; ++i) {
      const double f = static_cast<double>(i) / (r.N + 1);
      r.X[i] = 20.0 + 4.0 * -std::log(-std::log(f)) + (i > 40 ? 0.6 * (i - 40) : 0.0);
      r.Fr[i] = f;
      r.SerialOfRank[i] = i;
    }
    r.CompositeOn = true;
    FitAllDistributions(r);
    return r;
  }();
  return run;
}

// Example parameters of a family and a range over which a row of the family
// may climb from near 0 to near 1.
struct Example {
  FitParams P;
  double Lo, Hi;
};

// The examples of each family, for the tests that sweep the registry: a new
// family fails them until it has examples here. Mirrored forms rise where
// the plain ones fall: a family has an example of each slope where its rows
// need both. The composite example mixes the slopes of a logistic lower
// part and a rising upper part.
inline std::vector<Example> ExamplesOf(ParamFamily family) {
  switch (family) {
    case ParamFamily::Line:
      return {{{.Line = {1, -3}}, -1e4, 1e4}, {{.Line = {-1, 3}}, -1e4, 1e4}, {{.Line = {3, 4}}, -10, 1e4}};
    case ParamFamily::PowerLine:
      return {{{.PowerLine = {1, -30, 0.8}}, -10, 1e4}, {{.PowerLine = {-1, 30, 0.8}}, -10, 1e4}};
    case ParamFamily::Bounded:
      return {{{.Bounded = {2, 0, 10}}, -1e4, 1e4}, {{.Bounded = {-2, 0, 10}}, -1e4, 1e4}};
    case ParamFamily::Burr:
      return {{{.Burr = {.A = 1.5, .B = 2, .E = 2, .D = 0.05, .S = std::pow(2.0, 1.5)}}, -10, 1e3},
              {{.Burr = {.A = -1.5, .B = 2, .E = 1.2, .D = -0.02, .S = std::pow(2.0, -1.5)}}, -10, 1e3}};
    case ParamFamily::Gompertz: return {{{.Gompertz = {.A = -0.05, .B = 1.3, .E = 0.9}}, -10, 1e3}};
    case ParamFamily::Kumaraswamy: return {{{.Kumaraswamy = {10, 1.5, 2}}, -10, 12}};
    case ParamFamily::Gamma: return {{{.Gamma = {2, 3}}, -10, 100}};
    case ParamFamily::Rayleigh: return {{{.Rayleigh = {1.5, 20}}, -10, 100}};
    case ParamFamily::Gev: return {{{.Gev = {.K = 0.2, .Loc = 10, .Scale = 3, .Q = -5}}, -10, 1e4}};
    case ParamFamily::Student: return {{{.Student = {10, 2}}, -1e4, 1e4}};
    case ParamFamily::Laplace:
      return {{{.Laplace = {.Mode = 10, .A1 = 0.5, .A2 = 1.0 / 3, .S1 = 2, .S2 = 3, .E1 = 1, .E2 = 1}}, -10, 200},
              {{.Laplace = {.Mode = 4, .A1 = 1, .A2 = 0.5, .S1 = 1, .S2 = 2, .E1 = 1.2, .E2 = 1.2}}, -10, 200}};
    case ParamFamily::Normal: return {{{.Normal = {.Mean = 2, .Sigma0 = 0.5, .Sigma = 0.5, .E = 0.5}}, 0.01, 1e3}};
    case ParamFamily::Composite:
      return {{{.Composite = {.Lower = {-0.8, 0.1, 1.3}, .Upper = {0.8, 0.2, 0.7}, .BreakPoint = 5, .BreakCount = 3}},
               0.01, 20}};
    case ParamFamily::None: break;
  }
  return {};
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
