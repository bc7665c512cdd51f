#include "fitting/GammaFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace tavorix {

namespace {

// Beyond this ratio X/A every term (X/A)^k exp(-X/A)/k! with k < 20 is below
// 1e-260, so Fc is 1 to double precision; stopping there also keeps the
// running power from overflowing.
constexpr double kNegligibleRatio = 700.0;

double ScaleOf(int a) { return static_cast<double>(0.1L * a); }

// Adds, for one datum at ratio r = X/A, the squared deviation of the fits
// with n = 1..20 terms to misfit[1..20]. The Poisson sum grows one term per
// n; k! is built by running multiplication, and so is r^k.
void AddDatumMisfits(double r, double fr, std::array<double, kGammaMaxTerms + 1>& misfit) {
  if (r > kNegligibleRatio) {
    const double d = fr - 1.0;
    for (int n = 1; n <= kGammaMaxTerms; ++n) misfit[n] += d * d;
    return;
  }
  const double e = std::exp(-r);
  double power = 1.0, factorial = 1.0, sum = 0.0;
  for (int n = 1; n <= kGammaMaxTerms; ++n) {
    sum += power * e / factorial;  // term k = n - 1
    const double d = fr - (1.0 - sum);
    misfit[n] += d * d;
    power *= r;
    factorial *= n;
  }
}

// Fc of the n-term fit at ratio r, formed as in the search.
double GammaFc(double r, int terms) {
  if (r > kNegligibleRatio) return 1.0;
  const double e = std::exp(-r);
  double power = 1.0, factorial = 1.0, sum = 0.0;
  for (int k = 0; k < terms; ++k) {
    sum += power * e / factorial;
    power *= r;
    factorial *= k + 1;
  }
  return 1.0 - sum;
}

}  // namespace

void FitGamma(TavorixRun& run, FitWorkspace& ws) {
  FitSlot& slot = run.Slots[61];
  slot = FitSlot{};
  slot.Ran = true;
  const int n = run.N;
  // Data at or below zero are taken as 0.001.
  double* x = ws.XWork.data();
  for (int i = 1; i <= n; ++i) x[i] = ws.X[i] <= 0 ? 0.001 : ws.X[i];
  const double* fr = ws.Fr.data();

  // Misfit of every (n, A): one pass over the data per A gives all twenty
  // term counts, each summed in rank order.
  std::vector<std::array<double, kGammaMaxTerms + 1>> misfit(kGammaScaleSteps + 1);
  for (int a = 1; a <= kGammaScaleSteps; ++a) {
    const double scale = ScaleOf(a);
    auto& row = misfit[a];
    row.fill(0.0);
    for (int i = 1; i <= n; ++i) AddDatumMisfits(x[i] / scale, fr[i], row);
  }
  // Strict minimum in the order terms (outer), scale (inner), from 100 000.
  double best = 100000.0;
  int termsBest = 0, aBest = 0;
  for (int t = 1; t <= kGammaMaxTerms; ++t)
    for (int a = 1; a <= kGammaScaleSteps; ++a)
      if (misfit[a][t] < best) {
        best = misfit[a][t];
        termsBest = t;
        aBest = a;
      }
  if (termsBest == 0) {
    slot.Score = 1000;
    return;
  }

  GammaParams& p = slot.P.Gamma;
  p.A = ScaleOf(aBest);
  p.Terms = termsBest;
  run.FcCalc.assign(static_cast<std::size_t>(n) + 1, 0.0L);
  double sumAbs = 0;
  for (int i = 1; i <= n; ++i) {
    const double fc = GammaFc(x[i] / p.A, p.Terms);
    run.FcCalc[i] = fc;
    sumAbs += std::fabs(fr[i] - fc);
  }
  slot.Score = sumAbs;
  slot.HasResult = true;
  slot.Listed = run.BestOfAll();
}

}  // namespace tavorix
