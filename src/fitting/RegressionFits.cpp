#include "fitting/RegressionFits.h"

#include <cmath>
#include <numbers>
#include <type_traits>

#include "fitting/ExponentScan.h"
#include "fitting/LineFits.h"

namespace tavorix {

namespace {

// Value that the exponential forms return instead of evaluating e^z for z >= 8.
constexpr double kOverflowFc = 8.0;

template <FcForm F>
inline double FcOf(double a, double b, double xt) {
  if constexpr (F == FcForm::ExponentialGeneralized) {
    const double z = -(a * xt + b);
    return z >= 8.0 ? kOverflowFc : 1.0 - std::exp(z);
  } else if constexpr (F == FcForm::Exponential) {
    const double z = -a * xt;
    return z >= 8.0 ? kOverflowFc : 1.0 - std::exp(z);
  } else if constexpr (F == FcForm::ExponentialMirrored) {
    const double z = -(a * xt + b);
    return z >= 8.0 ? kOverflowFc : std::exp(z);
  } else if constexpr (F == FcForm::Gumbel || F == FcForm::GumbelMirrored) {
    double z = a * xt + b;
    z = z > 8.0 ? 8.0 : (z < -8.0 ? -8.0 : z);
    const double g = std::exp(-std::exp(-z));
    return F == FcForm::Gumbel ? g : 1.0 - g;
  } else if constexpr (F == FcForm::Logistic) {
    return 1.0 / (1.0 + std::exp(a * xt + b));
  } else if constexpr (F == FcForm::Weibull || F == FcForm::WeibullMirrored) {
    // xt = ln X, so (X/C)^A with C = exp(-B/A) is exp(A xt + B).
    double w = std::exp(a * xt + b);
    w = w > 8.0 ? 8.0 : (w < -8.0 ? -8.0 : w);
    return F == FcForm::Weibull ? 1.0 - std::exp(-w) : std::exp(-w);
  } else {
    static_assert(F == FcForm::Cauchy);
    return 0.5 + std::atan(a * xt + b) / std::numbers::pi;
  }
}

// The final evaluation of the generalized and the mirrored exponential forms
// clips Fc into [0.001, 0.999]; the first also raises 0 itself, the second
// only negative values.
template <FcForm F>
inline double FinalFcOf(double a, double b, double xt) {
  double fc = FcOf<F>(a, b, xt);
  if constexpr (F == FcForm::ExponentialGeneralized) {
    if (fc <= 0) fc = 0.001;
    if (fc > 0.999) fc = 0.999;
  } else if constexpr (F == FcForm::ExponentialMirrored) {
    if (fc < 0) fc = 0.001;
    if (fc > 0.999) fc = 0.999;
  }
  return fc;
}

// Calls fn with the form as a compile-time constant, so that the per-datum
// loops are compiled once per form with no branch on the form inside.
template <class Fn>
decltype(auto) WithForm(FcForm form, Fn&& fn) {
  using enum FcForm;
  switch (form) {
    case ExponentialGeneralized: return fn(std::integral_constant<FcForm, ExponentialGeneralized>{});
    case Exponential: return fn(std::integral_constant<FcForm, Exponential>{});
    case Gumbel: return fn(std::integral_constant<FcForm, Gumbel>{});
    case GumbelMirrored: return fn(std::integral_constant<FcForm, GumbelMirrored>{});
    case Logistic: return fn(std::integral_constant<FcForm, Logistic>{});
    case Weibull: return fn(std::integral_constant<FcForm, Weibull>{});
    case WeibullMirrored: return fn(std::integral_constant<FcForm, WeibullMirrored>{});
    case Cauchy: return fn(std::integral_constant<FcForm, Cauchy>{});
    case ExponentialMirrored: break;
  }
  return fn(std::integral_constant<FcForm, ExponentialMirrored>{});
}

long double ClipFr(long double fr) {
  if (fr >= 1) return 0.999L;
  if (fr <= 0) return 0.001L;
  return fr;
}

void FillFt(FtForm form, const TavorixRun& run, FitWorkspace& ws) {
  for (int i = 1; i <= ws.N; ++i) ws.Ft[i] = static_cast<double>(ShapeFt(form, run.Fr[i]));
}

void FillPower(FitWorkspace& ws, double e) {
  const double* lnx = ws.LnX.data();
  double* xt = ws.Xt.data();
  for (int i = 1; i <= ws.N; ++i) xt[i] = std::exp(e * lnx[i]);
}

void FillXt(XtForm form, FitWorkspace& ws) {
  const std::vector<double>& src = form == XtForm::LnX ? ws.LnX : ws.X;
  for (int i = 1; i <= ws.N; ++i) ws.Xt[i] = src[i];
}

void FitLine(LineForm form, FitWorkspace& ws) {
  if (form == LineForm::Ratio)
    RatioLine(ws.Line, ws.Xt.data(), ws.Ft.data());
  else
    Regression(ws.Line, ws.Xt.data(), ws.Ft.data());
}

// Search misfit: sum of squared deviations, each limited to 1 in size.
template <FcForm F>
double SaturatedSumSq(const FitWorkspace& ws, double a, double b) {
  const double* xt = ws.Xt.data();
  const double* fr = ws.Fr.data();
  double sum = 0;
  for (int i = 1; i <= ws.N; ++i) sum += SaturatedSq(fr[i] - FcOf<F>(a, b, xt[i]));
  return sum;
}

// Final evaluation: Fc into ws.Fc and the score, the sum of |Fr - Fc|.
template <FcForm F>
double FinalScore(FitWorkspace& ws, double a, double b) {
  long double sumAbs = 0;
  for (int i = 1; i <= ws.N; ++i) {
    const double fc = FinalFcOf<F>(a, b, ws.Xt[i]);
    ws.Fc[i] = fc;
    sumAbs += std::fabs(ws.Fr[i] - fc);
  }
  return static_cast<double>(sumAbs);
}

}  // namespace

long double ShapeFt(FtForm form, long double fr) {
  using std::log;
  switch (form) {
    case FtForm::NegLnOneMinusFr: return -log(1 - fr);
    case FtForm::NegLnNegLnFr: return -log(-log(fr));
    case FtForm::NegLnNegLnOneMinus: return -log(-log(1 - fr));
    case FtForm::LnOddsInverse: return log(1 / fr - 1);
    case FtForm::LnNegLnOneMinus: return log(-log(1 - ClipFr(fr)));
    case FtForm::LnNegLnFr: return log(-log(ClipFr(fr)));
    case FtForm::TanCentred: return std::tan(std::numbers::pi_v<long double> * (fr - 0.5L));
    case FtForm::NegLnFr: return -log(fr <= 0 ? 0.001L : fr);
  }
  return 0;
}

double ShapeFc(FcForm form, double a, double b, double xt) {
  return WithForm(form, [&](auto f) { return FcOf<decltype(f)::value>(a, b, xt); });
}

double ShapeFinalFc(FcForm form, double a, double b, double xt) {
  return WithForm(form, [&](auto f) { return FinalFcOf<decltype(f)::value>(a, b, xt); });
}

void FitByRegression(int code, const RegressionShape& shape, TavorixRun& run, FitWorkspace& ws) {
  ws.Line.N = ws.N;
  FillFt(shape.Ft, run, ws);
  const bool scanned = shape.Xt == XtForm::PowerE;
  double e = 0;
  if (scanned) {
    const int kBest = WithForm(shape.Fc, [&](auto form) {
      return RunExponentScan(ws.ScanTable, [&](double trial) {
        FillPower(ws, trial);
        Regression(ws.Line, ws.Xt.data(), ws.Ft.data());
        return SaturatedSumSq<decltype(form)::value>(ws, ws.Line.ParA, ws.Line.ParB);
      });
    });
    e = ScanExponent(kBest);
    FillPower(ws, e);
  } else {
    FillXt(shape.Xt, ws);
  }
  FitLine(shape.Line, ws);
  const double a = ws.Line.ParA;
  const double b = ws.Line.ParB;
  const double score = WithForm(shape.Fc, [&](auto form) { return FinalScore<decltype(form)::value>(ws, a, b); });

  FitSlot& slot = run.Slots[code];
  slot = FitSlot{};
  slot.Ran = true;
  slot.HasResult = true;
  slot.Score = score;
  // The ratio line's intercept is unused; the scanned forms keep their exponent.
  const double intercept = shape.Line == LineForm::LeastSquares ? b : 0.0;
  if (scanned)
    slot.P.PowerLine = {a, intercept, e};
  else
    slot.P.Line = {a, intercept};
  if (shape.RecordsStdErrX) slot.StdErrX = 1.28 / a;
  slot.Listed = run.BestOfAll();
  // A generalized form that ends at E = 1 is its standard twin: it gets no
  // list entry and, unless its shape keeps the score, one that can never win.
  if (scanned && e == 1.0 && run.BestOfAll()) {
    slot.Listed = false;
    if (!shape.KeepsScoreAtE1) slot.Score = 1000;
  }
}

}  // namespace tavorix
