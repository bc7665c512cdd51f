#include "fitting/BurrDagumFits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "fitting/GridFitsASupport.h"
#include "fitting/LineFits.h"
#include "fitting/LinePipeline.h"
#include "fitting/ParallelRows.h"
#include "fitting/StepLanes.h"
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

// The grid tables of one fit: scale values and their logarithms.
struct BurrGrid {
  BurrScaleTable Scale{};
  BurrScaleTable LnScale{};
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

// The best scale step of one grid row (the first of equal misfits), and the
// line the row leaves behind.
struct RowBest {
  double Misfit = 1000000.0;
  int K = 0;
  bool UsedLineBefore = false;  // a step without variation took the line of the row before
  LineState LineAfter;
};

// Working arrays of one thread.
struct RowScratch {
  RowScratch(const double* ft, int n)
      : Xa(static_cast<std::size_t>(n) + 1, 0.0),
        Lanes(2 * static_cast<std::size_t>(lanes::kLanes) * (n + 1), 0.0),
        Tail(static_cast<std::size_t>(lanes::kLanes) * n, 0.0),
        Pipeline(ft, n) {}
  std::vector<double> Xa;
  std::vector<double> Lanes, Tail;  // Xt of two groups of four steps side by side, the top points' terms
  LinePipeline Pipeline;
};

// Takes the misfits of a row in step order, with the line of each step.
struct RowTaker {
  RowBest& Row;
  gridfits::LeastMisfit& Least;
  bool Variation = false;
  void Take(int k, double misfit, const LineState& line) {
    if (line.NoVariation && !Variation) Row.UsedLineBefore = true;
    Variation = Variation || !line.NoVariation;
    if (misfit < Row.Misfit) {
      Row.Misfit = misfit;
      Row.K = k;
    }
    // A step that took the line of the row before may be searched again
    // with another line: only misfits of the row's own lines are offered.
    if (Variation) Least.Offer(misfit);
  }
};

// SearchRow with four scale steps side by side in vector lanes
// (lanes::Available()); the values are those of the pipeline. Lanes past
// kCount repeat its scale and are thrown away.
template <bool Dagum>
RowBest SearchRowInLanes(const BurrGrid& grid, int kCount, double A, const FitWorkspace& ws,
                         RowScratch& scratch, LineState line, gridfits::LeastMisfit& least) {
  constexpr int L = lanes::kLanes;
  const int n = ws.N;
  double* xa = scratch.Xa.data();
  PowersOf(ws.LnX.data(), A, xa, n);
  const LinePipeline& pipeline = scratch.Pipeline;
  RowBest row;
  RowTaker taker{row, least};
  const lanes::LineFtSums ft{pipeline.FtDeviations(), pipeline.SumF(), pipeline.DfSum()};
  // Xt of a group from step k0, with its first sums; lanes past kCount
  // repeat its scale.
  auto transform = [&](int k0, double* xt) {
    double s[L];
    for (int l = 0; l < L; ++l) s[l] = k0 + l <= kCount ? std::exp(A * grid.LnScale[k0 + l]) : s[l - 1];
    return lanes::RatioTransform(xa, n, s, xt);
  };
  // The misfits of a group, taken in step order.
  auto misfits = [&](int k0, const double* xt, const LineState* after) {
    const lanes::GroupLines lines(after);
    double misfit[L];
    lanes::BurrMisfits(xt, ws.Fr.data(), n, lines.A, lines.B, Dagum, least.Get(), scratch.Tail.data(), misfit);
    for (int l = 0; l < L && k0 + l <= kCount; ++l) taker.Take(k0 + l, misfit[l], after[l]);
  };
  // Two groups at a time, their deviation sums formed in one pass.
  double* xt0 = scratch.Lanes.data();
  double* xt1 = xt0 + static_cast<std::size_t>(L) * (n + 1);
  for (int k0 = 1; k0 <= kCount; k0 += 2 * L) {
    LineState after0[L], after1[L];
    const lanes::FirstSums first0 = transform(k0, xt0);
    if (k0 + L > kCount) {
      lanes::MakeLines(xt0, first0, ft, n, line, after0);
      misfits(k0, xt0, after0);
      line = after0[kCount - k0];
      break;
    }
    const lanes::FirstSums first1 = transform(k0 + L, xt1);
    lanes::MakeLinesOfTwo(xt0, first0, xt1, first1, ft, n, line, after0, after1);
    misfits(k0, xt0, after0);
    misfits(k0 + L, xt1, after1);
    line = after1[std::min(L, kCount - k0 - L + 1) - 1];
  }
  row.LineAfter = line;
  return row;
}

// One grid row: for every scale step k, the line of ln(S / (X^A + S))
// against Ft and its saturated squared misfit, starting from the line `line`.
template <bool Dagum>
RowBest SearchRow(const BurrGrid& grid, int kCount, double A, const FitWorkspace& ws, RowScratch& scratch,
                  LineState line, gridfits::LeastMisfit& least) {
  if (lanes::Available()) return SearchRowInLanes<Dagum>(grid, kCount, A, ws, scratch, line, least);
  const int n = ws.N;
  double* xa = scratch.Xa.data();
  PowersOf(ws.LnX.data(), A, xa, n);
  std::array<double, 3> scale{};  // S of the steps being transformed, by k % 3
  RowBest row;
  RowTaker taker{row, least};
  scratch.Pipeline.Run(
      line, ws.Fr.data(), 1, kCount,
      [&](int k, int i0, int m, double* xt) {
        if (i0 == 1) scale[k % 3] = std::exp(A * grid.LnScale[k]);
        LogRatioArray(xa + i0, scale[k % 3], xt + i0, m);
      },
      [](double e, double d, const double* xt, int i0, int m, double* g) {
        ExpAffineArray(xt + i0, e, d, g, m);
      },
      [](double fr, double ez) { return SaturatedSq(fr - BurrFc<Dagum>(ez)); },
      [&](int k, double misfit) {
        taker.Take(k, misfit, line);
        return true;
      },
      [] {}, [&] { return least.Get(); });
  row.LineAfter = line;
  return row;
}

template <bool Dagum>
void FitBurrShape(TavorixRun& run, FitWorkspace& ws, int code) {
  FitSlot& slot = gridfits::StartSlot(run, code);
  const int n = ws.N;

  long double xmax = 0;
  for (int i = 1; i <= n; ++i)
    if (run.X[i] > xmax) xmax = run.X[i];

  auto grid = std::make_unique<BurrGrid>();
  const int kCount = FillBurrScaleTable(xmax, grid->Scale);
  if (kCount == 0) return;  // no scale value below the data: no candidate
  for (int k = 1; k <= kCount; ++k) grid->LnScale[k] = std::log(grid->Scale[k]);

  if constexpr (Dagum)
    gridfits::FtLog(run, ws);
  else
    gridfits::FtLogComplement(run, ws);

  const double* lnx = ws.LnX.data();
  const double* ft = ws.Ft.data();
  double* xa = ws.XWork.data();
  double* xt = ws.Xt.data();
  LineState& line = ws.Line;
  const bool busyLine = !Dagum && run.PreferredCode == "31" && n >= 501;
  bool busyShown = false;

  // The rows are searched side by side, each from the line before the
  // search; a row whose first steps lack variation needs the line of the row
  // before it and is searched again when the rows are taken over in order.
  const int threads = FitThreadsOf(run);
  std::vector<RowScratch> scratch;
  for (int t = 0; t < threads; ++t) scratch.emplace_back(ft, n);
  std::vector<RowBest> rows(kBurrExponentSteps + 1);
  const LineState lineBefore = line;
  gridfits::LeastMisfit least;
  ParallelRows(threads, 1, kBurrExponentSteps, [&](int a, int worker) {
    run.ThrowIfCancelled();
    if (worker == 0 && busyLine && a >= 150 && !busyShown) {
      run.AddProgress(" Burr is busy .....");
      busyShown = true;
    }
    rows[a] = SearchRow<Dagum>(*grid, kCount, BurrExponent<Dagum>(a), ws, scratch[worker], lineBefore, least);
  });
  if (busyLine && !busyShown) run.AddProgress(" Burr is busy .....");

  gridfits::GridBest best;
  for (int a = 1; a <= kBurrExponentSteps; ++a) {
    if (rows[a].UsedLineBefore && a > 1)
      rows[a] = SearchRow<Dagum>(*grid, kCount, BurrExponent<Dagum>(a), ws, scratch[0], line, least);
    line = rows[a].LineAfter;
    best.Offer(rows[a].Misfit, a, rows[a].K);
  }
  if (!best.Found()) return;  // every misfit undefined (overflowing powers): no candidate

  FitParams params;
  BurrParams& p = params.Burr;
  p.A = BurrExponent<Dagum>(best.I);
  p.B = grid->Scale[best.J];
  p.S = std::exp(p.A * grid->LnScale[best.J]);
  PowersOf(lnx, p.A, xa, n);
  ScaleTransform(xa, p.S, xt, n);
  Regression(line, xt, ft);
  p.E = line.ParA;
  p.D = line.ParB;
  ExpAffineArray(xt + 1, p.E, p.D, ws.Fc.data() + 1, n);
  for (int i = 1; i <= n; ++i) ws.Fc[i] = BurrFc<Dagum>(ws.Fc[i]);
  gridfits::StoreResult(run, slot, params, gridfits::FinalSumAbs(ws));
}

}  // namespace

void FitBurr(TavorixRun& run, FitWorkspace& ws) { FitBurrShape<false>(run, ws, 31); }
void FitDagum(TavorixRun& run, FitWorkspace& ws) { FitBurrShape<true>(run, ws, 32); }

}  // namespace tavorix
