#include "fitting/KumaraswamyFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
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
void ScanInLanes(const double* lnr, const double* fr, const double* ft, int n, const LineState& base, bool cut,
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
    lanes::KumaraswamyMisfits(xt.data(), fr, n, b, first || !cut ? HUGE_VAL : least.Get(), tail.data(), &table[k0]);
    for (int l = 0; l < L; ++l)
      if (k0 + l > 1) least.Offer(table[k0 + l]);
  }
}

double BoundOf(const TavorixRun& run, int m) {
  return static_cast<double>((1.0L + 0.1L * m) * run.X[run.N]);
}

// The far rows. Past the first rows the misfit of each exponent is a smooth
// function of t = 1 / (1 + 0.1 m), the largest datum over the bound (the
// logarithms meet the data only at t >= 1). Its rows from kNearRows on are
// formed in full at the rows nearest to the Chebyshev points of that stretch
// in t and at rows between them; a polynomial through the first gives every
// other row's misfits, its largest difference at the second is its error,
// and a row is formed only when one of its misfits may come within many
// errors of the least misfit formed. A row left out is surely above the
// least one, so the choice is that of the grid formed row by row.
constexpr int kNearRows = 20;        // rows 1 .. kNearRows - 1 are all formed
constexpr int kFarDegree = 10;       // the polynomial's degree
constexpr double kSureAbove = 16.0;  // a row left out lies this many errors above

double RowT(double m) { return 1.0 / (1.0 + 0.1 * m); }

struct FarRows {
  std::vector<int> Nodes, Checks;
};

FarRows ChooseFarRows() {
  constexpr double kPi = 3.14159265358979323846;
  const double t0 = RowT(kNearRows), t1 = RowT(kKumaraswamyBoundSteps);
  auto rowAt = [&](double x) {
    const double t = 0.5 * (t0 + t1) + 0.5 * (t0 - t1) * x;
    return static_cast<int>(std::lround((1.0 / t - 1.0) / 0.1));
  };
  FarRows rows;
  for (int j = 0; j <= kFarDegree; ++j) rows.Nodes.push_back(rowAt(std::cos(kPi * j / kFarDegree)));
  for (int i = 0; i < kFarDegree; ++i) {  // between each two nodes, where a row lies between them
    const int m = rowAt(std::cos(kPi * (i + 0.5) / kFarDegree));
    if (m > rows.Nodes[i] && m < rows.Nodes[i + 1]) rows.Checks.push_back(m);
  }
  return rows;
}

// The polynomial through the misfit rows at the nodes, in barycentric form.
class FarPolynomial {
 public:
  explicit FarPolynomial(const std::vector<int>& nodes) {
    for (int m : nodes) t_.push_back(RowT(m));
    for (std::size_t j = 0; j < t_.size(); ++j) {
      double w = 1;
      for (std::size_t i = 0; i < t_.size(); ++i)
        if (i != j) w *= t_[j] - t_[i];
      w_.push_back(1 / w);
    }
  }
  // The weights of the node rows at row m (they sum to one).
  std::vector<double> WeightsAt(int m) const {
    const double t = RowT(m);
    std::vector<double> q(t_.size());
    double den = 0;
    for (std::size_t j = 0; j < t_.size(); ++j) den += q[j] = w_[j] / (t - t_[j]);
    for (double& v : q) v /= den;
    return q;
  }

 private:
  std::vector<double> t_, w_;
};

void FitKumaraswamyGrid(TavorixRun& run, FitWorkspace& ws, bool everyRow) {
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
  // Row m of the table; `cut`: misfits above the least one may be left as
  // partial sums, else every misfit is summed in full.
  auto formRow = [&](int m, int worker, bool cut) {
    run.ThrowIfCancelled();
    Scratch& w = scratch[worker];
    w.Line = ws.Line;
    const double bound = BoundOf(run, m);
    for (int i = 1; i <= n; ++i) w.Tmp[i] = ws.X[i] / bound;
    LogArray(w.Tmp.data() + 1, w.LnRatio.data() + 1, n);
    if (lanes::Available()) {
      ScanInLanes(w.LnRatio.data(), fr, ft, n, w.Line, cut, least, w.Lanes, w.Tail, w.Table);
      for (int k = 1; k <= kScanSteps; ++k) at(m, k) = w.Table[k];
      return;
    }
    int step = 0;
    RunExponentScan(w.Table, [&](double a) {
      KumaraswamyTransform(w.LnRatio.data(), a, w.Xt.data(), n);
      RatioLine(w.Line, w.Xt.data(), ft);
      // The first step never wins: it is neither cut nor offered.
      const bool first = ++step == 1;
      const double sum = SearchMisfit(w.Xt.data(), fr, w.Line.ParA, n, first || !cut ? HUGE_VAL : least.Get());
      if (!first) least.Offer(sum);
      return sum;
    });
    for (int k = 1; k <= kScanSteps; ++k) at(m, k) = w.Table[k];
  };
  auto formRows = [&](const std::vector<int>& rows, bool cut) {
    if (rows.empty()) return;
    ParallelRows(threads, 0, static_cast<int>(rows.size()) - 1,
                 [&](int r, int worker) { formRow(rows[r], worker, cut); });
  };

  if (everyRow) {
    ParallelRows(threads, 1, kKumaraswamyBoundSteps, [&](int m, int worker) { formRow(m, worker, true); });
  } else {
    // The near rows with the far block's nodes and checks, those in full.
    const FarRows far = ChooseFarRows();
    std::vector<int> near, full = far.Nodes;
    for (int m = 1; m < kNearRows; ++m) near.push_back(m);
    full.insert(full.end(), far.Checks.begin(), far.Checks.end());
    formRows(full, false);
    formRows(near, true);
    // Each exponent's polynomial, its error at the checks, and the rows that
    // may come near the least misfit.
    const FarPolynomial polynomial(far.Nodes);
    auto valueAt = [&](const std::vector<double>& q, int k) {
      double v = 0;
      for (std::size_t j = 0; j < q.size(); ++j) v += q[j] * at(far.Nodes[j], k);
      return v;
    };
    std::array<double, kScanSteps + 1> error{};
    for (int c : far.Checks) {
      const std::vector<double> q = polynomial.WeightsAt(c);
      for (int k = 2; k <= kScanSteps; ++k) {
        const double formed = at(c, k);
        error[k] = std::max({error[k], std::fabs(valueAt(q, k) - formed),
                             4 * std::numeric_limits<double>::epsilon() * std::fabs(formed)});
        if (!std::isfinite(formed)) error[k] = HUGE_VAL;
      }
    }
    const double leastFormed = least.Get();
    std::vector<int> nearLeast;
    for (int m = kNearRows + 1; m < kKumaraswamyBoundSteps; ++m) {
      if (std::find(full.begin(), full.end(), m) != full.end()) continue;
      const std::vector<double> q = polynomial.WeightsAt(m);
      bool above = true;
      for (int k = 2; k <= kScanSteps && above; ++k) above = valueAt(q, k) - kSureAbove * error[k] > leastFormed;
      if (above) {
        for (int k = 1; k <= kScanSteps; ++k) at(m, k) = HUGE_VAL;
      } else {
        nearLeast.push_back(m);
      }
    }
    formRows(nearLeast, true);
  }
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

}  // namespace

void FitKumaraswamy(TavorixRun& run, FitWorkspace& ws) { FitKumaraswamyGrid(run, ws, false); }
void FitKumaraswamyEveryRow(TavorixRun& run, FitWorkspace& ws) { FitKumaraswamyGrid(run, ws, true); }

}  // namespace tavorix
