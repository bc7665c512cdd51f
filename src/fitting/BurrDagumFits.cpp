#include "fitting/BurrDagumFits.h"

#include <cmath>
#include <memory>
#include <vector>

#include "fitting/GridFitsASupport.h"
#include "fitting/LineFits.h"
#include "fitting/VectorMath.h"

namespace tavorix {

using gridfits::GridValue;

double BurrScaleStep(long double xmax) {
  if (xmax <= 0.5L || xmax == 1.0L) return 0.001;
  if (xmax < 1.0L) return 0.002;
  if (xmax <= 5.0L) return 0.01;
  if (xmax <= 10.0L) return 0.02;
  if (xmax <= 50.0L) return 0.1;
  if (xmax <= 100.0L) return 0.2;
  if (xmax <= 500.0L) return 1.0;
  if (xmax <= 1000.0L) return 2.0;
  if (xmax <= 5000.0L) return 10.0;
  return 20.0;
}

int FillBurrScaleTable(long double xmax, BurrScaleTable& table) {
  const double h = BurrScaleStep(xmax);
  table[0] = 0;
  double b = 0;
  int below = 0;
  for (int k = 1; k <= kBurrScaleSteps; ++k) {
    b += h;
    table[k] = b;
    if (b < xmax) ++below;
  }
  return below;
}

namespace {

// The grid tables of one fit: scale values, their logarithms and the misfit
// of every scale value at the current exponent.
struct BurrGrid {
  BurrScaleTable Scale{};
  BurrScaleTable LnScale{};
  BurrScaleTable Misfit{};
};

template <bool Dagum>
double BurrExponent(int a) {
  if constexpr (Dagum)
    return GridValue(-0.2L, -0.01L, a);
  else
    return GridValue(0.2L, 0.01L, a);
}

// xa[i] = X_i^A for the exponent of the current grid row.
void PowersOf(const double* __restrict lnx, double a, double* __restrict xa, int n) {
  ExpScaledArray(lnx + 1, a, xa + 1, n);
}

// xt[i] = ln(S / (X_i^A + S)).
void ScaleTransform(const double* __restrict xa, double s, double* __restrict xt, int n) {
  for (int i = 1; i <= n; ++i) xt[i] = s / (xa[i] + s);
  LogArray(xt + 1, xt + 1, n);
}

// Calculated frequency from ez = e^z at z = E Xt + D: 1 - e^z (Burr) or e^z
// (Dagum).
template <bool Dagum>
inline double BurrFc(double ez) {
  if constexpr (Dagum)
    return ez;
  else
    return 1.0 - ez;
}

// Saturated squared misfit of the line E Xt + D; ez is a scratch array of
// N + 1 values that receives e^z.
template <bool Dagum>
double SearchMisfit(const double* __restrict xt, const double* __restrict fr, double e,
                    double d, double* __restrict ez, int n) {
  ExpAffineArray(xt + 1, e, d, ez + 1, n);
  double sum = 0;
  for (int i = 1; i <= n; ++i) sum += SaturatedSq(fr[i] - BurrFc<Dagum>(ez[i]));
  return sum;
}

template <bool Dagum>
void FitBurrShape(TavorixRun& run, FitWorkspace& ws, int code) {
  FitSlot& slot = gridfits::StartSlot(run, code);
  const int n = ws.N;

  long double xmax = 0;
  for (int i = 1; i <= n; ++i)
    if (run.X[i] > xmax) xmax = run.X[i];

  auto grid = std::make_unique<BurrGrid>();
  std::vector<double> ez(static_cast<std::size_t>(n) + 1, 0.0);
  const int kCount = FillBurrScaleTable(xmax, grid->Scale);
  if (kCount == 0) return;  // no scale value below the data: no candidate
  for (int k = 1; k <= kCount; ++k) grid->LnScale[k] = std::log(grid->Scale[k]);

  if constexpr (Dagum)
    gridfits::FtLog(run, ws);
  else
    gridfits::FtLogComplement(run, ws);

  const double* lnx = ws.LnX.data();
  const double* fr = ws.Fr.data();
  const double* ft = ws.Ft.data();
  double* xa = ws.XWork.data();
  double* xt = ws.Xt.data();
  LineState& line = ws.Line;
  const bool busyLine = !Dagum && run.PreferredCode == "31" && n >= 501;

  double best = 1000000.0;
  int aBest = 0, kBest = 0;
  for (int a = 1; a <= kBurrExponentSteps; ++a) {
    run.ThrowIfCancelled();
    const double A = BurrExponent<Dagum>(a);
    PowersOf(lnx, A, xa, n);
    if (busyLine && a == 150) run.AddProgress(" Burr is busy .....");
    for (int k = 1; k <= kCount; ++k) {
      ScaleTransform(xa, std::exp(A * grid->LnScale[k]), xt, n);
      Regression(line, xt, ft);
      grid->Misfit[k] = SearchMisfit<Dagum>(xt, fr, line.ParA, line.ParB, ez.data(), n);
    }
    for (int k = 1; k <= kCount; ++k) {
      if (grid->Misfit[k] < best) {
        best = grid->Misfit[k];
        aBest = a;
        kBest = k;
      }
    }
  }
  if (aBest == 0) return;  // every misfit undefined (overflowing powers): no candidate

  FitParams p;
  p.A = BurrExponent<Dagum>(aBest);
  p.B = grid->Scale[kBest];
  p.S = std::exp(p.A * grid->LnScale[kBest]);
  PowersOf(lnx, p.A, xa, n);
  ScaleTransform(xa, p.S, xt, n);
  Regression(line, xt, ft);
  p.E = line.ParA;
  p.D = line.ParB;
  ExpAffineArray(xt + 1, p.E, p.D, ws.Fc.data() + 1, n);
  for (int i = 1; i <= n; ++i) ws.Fc[i] = BurrFc<Dagum>(ws.Fc[i]);
  gridfits::StoreResult(run, slot, p, gridfits::FinalSumAbs(ws));
}

}  // namespace

void FitBurr(TavorixRun& run, FitWorkspace& ws) { FitBurrShape<false>(run, ws, 31); }
void FitDagum(TavorixRun& run, FitWorkspace& ws) { FitBurrShape<true>(run, ws, 32); }

}  // namespace tavorix
