#include "fitting/GompertzFit.h"

#include <cmath>

#include "fitting/GridFitsASupport.h"
#include "fitting/LineFits.h"

namespace tavorix {

namespace {

// xt[i] = exp(B E ln Z_i) - 1; be is the product B E.
void GompertzTransform(const double* __restrict lnz, double be, double* __restrict xt, int n) {
  for (int i = 1; i <= n; ++i) xt[i] = std::exp(be * lnz[i]) - 1.0;
}

// Saturated squared misfit of Fc = 1 - exp(A Xt).
double SearchMisfit(const double* __restrict xt, const double* __restrict fr, double a, int n) {
  double sum = 0;
  for (int i = 1; i <= n; ++i) sum += SaturatedSq(fr[i] - (1.0 - std::exp(a * xt[i])));
  return sum;
}

double GompertzValue(int i) { return gridfits::GridValue(0.2L, 0.1L, i); }

}  // namespace

void FitGompertz(TavorixRun& run, FitWorkspace& ws) {
  FitSlot& slot = gridfits::StartSlot(run, 34);
  const int n = ws.N;

  // Z = X + 1 for all data as soon as one datum lies below 1; ln Z in XWork.
  bool plusOne = false;
  for (int i = 1; i <= n; ++i)
    if (run.X[i] < 1.0L) plusOne = true;
  for (int i = 1; i <= n; ++i)
    ws.XWork[i] = plusOne ? static_cast<double>(std::log(run.X[i] + 1.0L)) : ws.LnX[i];
  gridfits::FtLogComplement(run, ws);

  const double* lnz = ws.XWork.data();
  const double* fr = ws.Fr.data();
  const double* ft = ws.Ft.data();
  double* xt = ws.Xt.data();
  LineState& line = ws.Line;

  gridfits::GridBest best;
  for (int e = 1; e <= kGompertzSteps; ++e) {
    const double E = GompertzValue(e);
    for (int b = 1; b <= kGompertzSteps; ++b) {
      GompertzTransform(lnz, GompertzValue(b) * E, xt, n);
      RatioLine(line, xt, ft);
      best.Offer(SearchMisfit(xt, fr, line.ParA, n), e, b);
    }
  }
  if (!best.Found()) return;  // every misfit undefined: no candidate

  FitParams params;
  GompertzParams& p = params.Gompertz;
  p.E = GompertzValue(best.I);
  p.B = GompertzValue(best.J);
  p.XPlusOne = plusOne;
  GompertzTransform(lnz, p.B * p.E, xt, n);
  RatioLine(line, xt, ft);
  p.A = line.ParA;
  // A calculated frequency below 0.001 counts as 0.001.
  for (int i = 1; i <= n; ++i) {
    const double fc = 1.0 - std::exp(p.A * xt[i]);
    ws.Fc[i] = fc < 0.001 ? 0.001 : fc;
  }
  gridfits::StoreResult(run, slot, params, gridfits::FinalSumAbs(ws));
}

}  // namespace tavorix
