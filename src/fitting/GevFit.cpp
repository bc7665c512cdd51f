#include "fitting/GevFit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "fitting/LineFits.h"
#include "fitting/VectorMath.h"

namespace tavorix {

double GevLocation(const TavorixRun& run) {
  int r = 2;  // Fr[1] = 1/(N+1) never passes 0.37 for N >= 2
  while (r < run.N && !(run.Fr[r] > 0.37L)) ++r;
  const long double x0 = run.X[r - 1], x1 = run.X[r];
  const long double f0 = run.Fr[r - 1], f1 = run.Fr[r];
  return static_cast<double>(x0 + (x1 - x0) * (0.37L - f0) / (f1 - f0));
}

double GevSearchMisfit(const double* dx, const double* fr, int n, double k, double b, double stopAt) {
  if (stopAt > 1000) stopAt = HUGE_VAL;  // the restart at 1000 may still lower the sum
  double sum = 0;
  if (k != 0) {
    const double negInvK = -1.0 / k;
    // The data go in blocks: the logarithms and double exponentials of a
    // block are formed together, then its terms are summed in rank order
    // with the stop after each datum. A datum outside the support
    // (1 + t not positive) takes y = 0; the log sees 1 in its place.
    constexpr int kBlock = 32;
    double u[kBlock], g[kBlock];
    for (int first = 1; first <= n; first += kBlock) {
      const int m = std::min(kBlock, n - first + 1);
      for (int j = 0; j < m; ++j) {
        const double t = dx[first + j] * k / b;
        u[j] = 1.0 + t;
        g[j] = u[j] > 0 ? u[j] : 1.0;
      }
      LogArray(g, g, m);
      for (int j = 0; j < m; ++j) g[j] = u[j] > 0 ? g[j] * negInvK : 0.0;
      ExpNegExpArray(g, g, m);
      for (int j = 0; j < m; ++j) {
        if (!(u[j] > 0)) sum = 1000;
        const double d = fr[first + j] - g[j];
        sum += d * d;
        if (sum >= stopAt) return sum;
      }
    }
  }
  return sum == 0 ? 1000.0 : sum;
}

void FitGev(TavorixRun& run, FitWorkspace& ws) {
  FitSlot& slot = run.Slots[67];
  slot = FitSlot{};
  slot.Ran = true;
  const int n = run.N;
  const double loc = GevLocation(run);
  Regression(ws.Line, ws.X.data(), ws.Fr.data());
  const double spread = ws.Line.SdXt;
  double* dx = ws.XWork.data();
  for (int i = 1; i <= n; ++i) dx[i] = ws.X[i] - loc;
  const double* fr = ws.Fr.data();

  double best = 1000000.0;
  int kBest = 0, jBest = 0;
  for (int k = 1; k <= kGevShapeSteps; ++k) {
    run.ThrowIfCancelled();
    if (k == 100) run.AddProgress(" This takes time ..");
    if (k == 160 && n >= 501) run.AddProgress(" Please wait ......");
    const double shape = static_cast<double>(0.01L * k - 1.0L);  // exactly 0 at k = 100
    for (int j = 1; j <= kGevScaleSteps; ++j) {
      const double scale = static_cast<double>(0.3L * spread + 0.01L * j * spread);
      const double sum = GevSearchMisfit(dx, fr, n, shape, scale, best);
      if (sum < best) {
        best = sum;
        kBest = k;
        jBest = j;
      }
    }
  }

  FitParams& p = slot.P;
  p.Gev.Loc = loc;
  if (kBest > 0) {
    p.Gev.K = static_cast<double>(0.01L * kBest - 1.0L);
    p.Gev.Scale = static_cast<double>(0.3L * spread + 0.01L * jBest * spread);
  }
  if (p.Gev.K == 0) {  // no grid point without data outside the support
    slot.Score = 1000;
    return;
  }
  p.Gev.Q = p.Gev.Loc - p.Gev.Scale / p.Gev.K;
  for (int i = 1; i <= n; ++i) {
    if ((p.Gev.K < 0 && ws.X[i] >= 0.999 * p.Gev.Q) || (p.Gev.K > 0 && ws.X[i] <= 1.001 * p.Gev.Q)) {
      p.Gev.BeyondBound = true;
      break;
    }
  }
  if (p.Gev.BeyondBound) {
    if (p.Gev.K < 0) p.Gev.K = -p.Gev.Scale / (0.999 * p.Gev.Q - p.Gev.Loc);
    if (p.Gev.K > 0) p.Gev.K = -p.Gev.Scale / (1.001 * p.Gev.Q - p.Gev.Loc);
  }

  // Beyond the bound the distribution has ended: F is 1 above an upper
  // bound (K < 0) and 0 below a lower one (K > 0).
  const double negInvK = -1.0 / p.Gev.K;
  const double beyond = p.Gev.K < 0 ? 1.0 : 0.0;
  double sumAbs = 0;
  for (int i = 1; i <= n; ++i) {
    const double t = dx[i] * p.Gev.K / p.Gev.Scale;
    const double f = 1.0 + t > 0 ? std::exp(-std::exp(std::log(1.0 + t) * negInvK)) : beyond;
    sumAbs += std::fabs(fr[i] - f);
  }
  slot.Score = sumAbs;
  slot.HasResult = true;
  slot.Listed = run.BestOfAll();
}

}  // namespace tavorix
