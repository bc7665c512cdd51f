#include "fitting/KumaraswamyFit.h"

#include <array>
#include <cmath>
#include <vector>

#include "fitting/ExponentScan.h"
#include "fitting/GridFitsASupport.h"
#include "fitting/LineFits.h"
#include "fitting/ParallelRows.h"
#include "fitting/StepLanes.h"
#include "fitting/VectorMath.h"

namespace tavorix {

namespace {

// xt[i] = ln(1 - (X_i/M)^A); lnr holds ln(X_i/M). Where 1 - (X_i/M)^A is
// not positive (its logarithm -inf or NaN) xt is the small positive 0.00001.
void KumaraswamyTransform(const double* __restrict lnr, double a, double* __restrict xt, int n) {
  LogOneMinusExpScaledArray(lnr + 1, a, xt + 1, n);
  for (int i = 1; i <= n; ++i)
    if (!(xt[i] > -HUGE_VAL)) xt[i] = 0.00001;
}

// Saturated squared misfit of Fc = 1 - exp(B Xt), cut off above `cutoff`.
double SearchMisfit(const double* __restrict xt, const double* __restrict fr, double b, int n,
                    double cutoff) {
  return gridfits::CutMisfit(fr, n, cutoff, [&](int i0, int m, double* fc) {
    ExpScaledArray(xt + i0, b, fc, m);
    for (int j = 0; j < m; ++j) fc[j] = 1.0 - fc[j];
  });
}

// The exponent scan of one bound with four exponents side by side in vector
// lanes (lanes::Available()): the values of RunExponentScan with
// KumaraswamyTransform, RatioLine and SearchMisfit. The group of the first
// step, which never wins, is neither cut nor offered.
void ScanInLanes(const double* lnr, const double* fr, const double* ft, int n, const LineState& base,
                 gridfits::LeastMisfit& least, std::vector<double>& xt, std::vector<double>& tail, std::array<double, kScanSteps + 1>& table) {
  constexpr int L = lanes::kLanes;
  static_assert(kScanSteps % L == 0);
  double sumF = 0;  // as RatioLine adds it
  for (int i = 1; i <= base.N; ++i) sumF += ft[i];
  double e = 0.19;
  for (int k0 = 1; k0 <= kScanSteps; k0 += L) {
    double a[L], sumX[L], b[L];
    for (double& v : a) v = e += 0.01;
    lanes::KumaraswamyTransform(lnr, n, a, xt.data(), sumX);
    for (int l = 0; l < L; ++l) {
      LineState line = base;
      FinishRatioLine(line, sumX[l], sumF, xt[4 + l], ft[1]);
      b[l] = line.ParA;
    }
    const bool first = k0 == 1;
    lanes::KumaraswamyMisfits(xt.data(), fr, n, b, first ? HUGE_VAL : least.Get(), tail.data(), &table[k0]);
    for (int l = 0; l < L; ++l)
      if (k0 + l > 1) least.Offer(table[k0 + l]);
  }
}

double BoundOf(const TavorixRun& run, int m) {
  return static_cast<double>((1.0L + 0.1L * m) * run.X[run.N]);
}

}  // namespace

void FitKumaraswamy(TavorixRun& run, FitWorkspace& ws) {
  FitSlot& slot = gridfits::StartSlot(run, 36);
  const int n = ws.N;
  gridfits::FtLogComplement(run, ws);

  // Misfit per bound m (rows) and exponent step k (columns), both 1-based.
  std::vector<double> misfit(static_cast<std::size_t>(kKumaraswamyBoundSteps) *
                             kKumaraswamyTableColumns);
  auto at = [&](int m, int k) -> double& {
    return misfit[static_cast<std::size_t>(m - 1) * kKumaraswamyTableColumns + (k - 1)];
  };
  const double* fr = ws.Fr.data();
  const double* ft = ws.Ft.data();
  double* xt = ws.Xt.data();

  // The rows fill their own parts of the table, side by side; every row
  // starts afresh (the ratio line keeps nothing from the step before).
  struct Scratch {
    explicit Scratch(int n)
        : LnRatio(n + 1, 0.0),
          Xt(n + 1, 0.0),
          Tmp(n + 1, 0.0),
          Lanes(static_cast<std::size_t>(lanes::kLanes) * (n + 1), 0.0),
          Tail(static_cast<std::size_t>(lanes::kLanes) * n, 0.0) {}
    std::vector<double> LnRatio, Xt, Tmp;
    std::vector<double> Lanes, Tail;  // Xt and the top points' terms of four exponents side by side
    LineState Line;
    std::array<double, 281> Table{};
  };
  const int threads = FitThreadsOf(run);
  std::vector<Scratch> scratch;
  for (int t = 0; t < threads; ++t) scratch.emplace_back(n);
  gridfits::LeastMisfit least;
  ParallelRows(threads, 1, kKumaraswamyBoundSteps, [&](int m, int worker) {
    run.ThrowIfCancelled();
    Scratch& w = scratch[worker];
    w.Line = ws.Line;
    const double bound = BoundOf(run, m);
    for (int i = 1; i <= n; ++i) w.Tmp[i] = ws.X[i] / bound;
    LogArray(w.Tmp.data() + 1, w.LnRatio.data() + 1, n);
    if (lanes::Available()) {
      ScanInLanes(w.LnRatio.data(), fr, ft, n, w.Line, least, w.Lanes, w.Tail, w.Table);
      for (int k = 1; k <= kScanSteps; ++k) at(m, k) = w.Table[k];
      return;
    }
    int step = 0;
    RunExponentScan(w.Table, [&](double a) {
      KumaraswamyTransform(w.LnRatio.data(), a, w.Xt.data(), n);
      RatioLine(w.Line, w.Xt.data(), ft);
      // The first step never wins: it is neither cut nor offered.
      const bool first = ++step == 1;
      const double sum = SearchMisfit(w.Xt.data(), fr, w.Line.ParA, n, first ? HUGE_VAL : least.Get());
      if (!first) least.Offer(sum);
      return sum;
    });
    for (int k = 1; k <= kScanSteps; ++k) at(m, k) = w.Table[k];
  });
  LineState& line = ws.Line;

  // The first step of every row never wins, as in the exponent scan.
  gridfits::GridBest best;
  for (int m = 1; m <= kKumaraswamyBoundSteps; ++m)
    for (int k = 2; k <= kScanSteps; ++k) best.Offer(at(m, k), m, k);
  if (!best.Found()) return;  // every misfit undefined: no candidate

  FitParams params;
  KumaraswamyParams& p = params.Kumaraswamy;
  p.M = BoundOf(run, best.I);
  p.A = ScanExponent(best.J);
  for (int i = 1; i <= n; ++i) xt[i] = std::log(1.0 - std::exp(p.A * std::log(ws.X[i] / p.M)));
  RatioLine(line, xt, ft);
  p.B = line.ParA;
  run.FcCalc.assign(static_cast<std::size_t>(n) + 1, 0.0L);
  for (int i = 1; i <= n; ++i) {
    ws.Fc[i] = 1.0 - std::exp(p.B * xt[i]);
    run.FcCalc[i] = ws.Fc[i];
  }
  gridfits::StoreResult(run, slot, params, gridfits::FinalSumAbs(ws));
  slot.StdErrX = 1.28 / p.B;
}

}  // namespace tavorix
