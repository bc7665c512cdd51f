#include "fitting/RayleighFit.h"

#include <cmath>
#include <vector>

#include "fitting/DistributionFunctions.h"
#include "fitting/GridFitsASupport.h"
#include "fitting/LineFits.h"
#include "fitting/ParallelRows.h"
#include "fitting/VectorMath.h"

namespace tavorix {

namespace {

double RayleighExponent(int e) { return gridfits::GridValue(0.1L, 0.01L, e); }

// Xt = X^E; returns the mean of Xt as the regression leaves it.
double PowersAndMean(FitWorkspace& ws, double e) {
  ExpScaledArray(ws.LnX.data() + 1, e, ws.Xt.data() + 1, ws.N);
  Regression(ws.Line, ws.Xt.data(), ws.Fr.data());
  return ws.Line.MeanXt;
}

double RayleighDivider(double meanXt, double e, int s) { return PowerOf(0.01 * s * meanXt, e); }

// Saturated squared misfit of Fc = 1 - exp(-Xt / S), cut off above `cutoff`.
double SearchMisfit(const double* __restrict xt, const double* __restrict fr, double s, int n,
                    double cutoff) {
  return gridfits::CutMisfit(fr, n, cutoff, [&](int i0, int m, double* fc) {
    for (int j = 0; j < m; ++j) fc[j] = -xt[i0 + j] / s;
    ExpArray(fc, fc, m);
    for (int j = 0; j < m; ++j) fc[j] = 1.0 - fc[j];
  });
}

}  // namespace

void FitRayleigh(TavorixRun& run, FitWorkspace& ws) {
  FitSlot& slot = gridfits::StartSlot(run, 69);
  const int n = ws.N;
  const double* fr = ws.Fr.data();
  const double* xt = ws.Xt.data();

  // The exponent rows are searched side by side, each on its own powers;
  // their bests are taken over in row order, the first of equal misfits
  // winning as in one loop over the whole grid.
  struct Row {
    double Misfit = 1000000.0;
    int S = 0;
  };
  struct Scratch {
    explicit Scratch(int n) : Powers(n + 1, 0.0) {}
    std::vector<double> Powers;
    LineState Line;
  };
  const int threads = FitThreadsOf(run);
  std::vector<Scratch> scratch;
  for (int t = 0; t < threads; ++t) scratch.emplace_back(n);
  std::vector<Row> rows(kRayleighExponentSteps + 1);
  gridfits::LeastMisfit least;
  ParallelRows(threads, 1, kRayleighExponentSteps, [&](int e, int worker) {
    run.ThrowIfCancelled();
    Scratch& w = scratch[worker];
    w.Line = ws.Line;
    const double E = RayleighExponent(e);
    ExpScaledArray(ws.LnX.data() + 1, E, w.Powers.data() + 1, n);
    Regression(w.Line, w.Powers.data(), fr);
    const double meanXt = w.Line.MeanXt;
    Row& row = rows[e];
    for (int s = 1; s <= kRayleighScaleSteps; ++s) {
      const double sumSq = SearchMisfit(w.Powers.data(), fr, RayleighDivider(meanXt, E, s), n, least.Get());
      if (sumSq < row.Misfit) {
        row.Misfit = sumSq;
        row.S = s;
      }
      least.Offer(sumSq);
    }
  });
  gridfits::GridBest best;
  for (int e = 1; e <= kRayleighExponentSteps; ++e) best.Offer(rows[e].Misfit, e, rows[e].S);
  if (!best.Found()) return;  // every misfit undefined: no candidate

  FitParams params;
  RayleighParams& p = params.Rayleigh;
  p.E = RayleighExponent(best.I);
  p.S = RayleighDivider(PowersAndMean(ws, p.E), p.E, best.J);
  for (int i = 1; i <= n; ++i) ws.Fc[i] = 1.0 - std::exp(-xt[i] / p.S);
  gridfits::StoreResult(run, slot, params, gridfits::FinalSumAbs(ws));
}

}  // namespace tavorix
