#include "fitting/DistributionFunctions.h"

#include <cmath>
#include <numbers>

namespace tavorix {

namespace {

double Clamp01(double f) { return f < 0 ? 0 : (f > 1 ? 1 : f); }

double GumbelOf(double z) { return std::exp(-std::exp(-z)); }

// Laplace halves around the mode, on an already transformed value t.
double LaplaceAt(double t, double mode, double s1, double s2) {
  if (t <= mode) return Clamp01(0.5 * std::exp((t - mode) / s1));
  return Clamp01(1.0 - 0.5 * std::exp(-(t - mode) / s2));
}

}  // namespace

double PowerOf(double x, double e) { return x > 0 ? std::exp(e * std::log(x)) : 0.0; }

double FcExponentialGeneralized(const FitParams& p, double x) {
  return Clamp01(1.0 - std::exp(-(p.A * PowerOf(x, p.E) + p.B)));
}
double FcGumbel(const FitParams& p, double x) { return GumbelOf(p.A * x + p.B); }
double FcGumbelMirrored(const FitParams& p, double x) { return 1.0 - GumbelOf(p.A * x + p.B); }
double FcExponential(const FitParams& p, double x) { return Clamp01(1.0 - std::exp(-p.A * x)); }

double FcBurr(const FitParams& p, double x) {
  const double z = std::log(p.S / (PowerOf(x, p.A) + p.S));
  return Clamp01(1.0 - std::exp(p.E * z + p.D));
}
double FcDagum(const FitParams& p, double x) {
  // With A < 0, X^A grows without bound as X falls to 0, so Fc tends to 0.
  if (x <= 0) return 0.0;
  const double z = std::log(p.S / (PowerOf(x, p.A) + p.S));
  return Clamp01(std::exp(p.E * z + p.D));
}

// Fisher-Tippett / Frechet forms: w = (distance to the bound / exp(-B/A))^A.
static double BoundForm(const FitParams& p, double distance) {
  if (distance <= 0) return 0.0;
  const double scale = std::exp(-p.B / p.A);
  return std::exp(-PowerOf(distance / scale, p.A));
}
double FcFisherTippett3Mirrored(const FitParams& p, double x) {
  return x >= p.C ? 1.0 : 1.0 - BoundForm(p, p.C - x);
}
double FcFrechetMirrored(const FitParams& p, double x) {
  return x <= p.C ? 0.0 : 1.0 - BoundForm(p, x - p.C);
}
double FcFrechet(const FitParams& p, double x) { return x <= p.C ? 0.0 : BoundForm(p, x - p.C); }
double FcFisherTippett3(const FitParams& p, double x) {
  return x >= p.C ? 1.0 : BoundForm(p, p.C - x);
}

double FcGompertz(const FitParams& p, double x) {
  const double z = p.XPlusOne ? x + 1.0 : x;
  if (z <= 0) return 0.0;
  return Clamp01(1.0 - std::exp(p.A * (std::exp(p.B * p.E * std::log(z)) - 1.0)));
}

double FcKumaraswamy(const FitParams& p, double x) {
  if (x <= 0) return 0.0;
  if (x >= p.MBound) return 1.0;
  const double v = 1.0 - PowerOf(x / p.MBound, p.A);
  return Clamp01(1.0 - PowerOf(v, p.B));
}

double FcGumbelGeneralized(const FitParams& p, double x) { return GumbelOf(p.A * PowerOf(x, p.E) + p.B); }
double FcGumbelMirroredGeneralized(const FitParams& p, double x) {
  return 1.0 - GumbelOf(p.A * PowerOf(x, p.E) + p.B);
}
double FcLogistic(const FitParams& p, double x) { return 1.0 / (1.0 + std::exp(p.A * x + p.B)); }
double FcLogLogistic(const FitParams& p, double x) {
  if (x <= 0) return p.A > 0 ? 1.0 : 0.0;
  return 1.0 / (1.0 + std::exp(p.A * std::log(x) + p.B));
}
double FcLogisticGeneralized(const FitParams& p, double x) {
  return 1.0 / (1.0 + std::exp(p.A * PowerOf(x, p.E) + p.B));
}
double FcFisk(const FitParams& p, double x) {
  if (x <= 0) return 0.0;
  return Clamp01(1.0 - 1.0 / (1.0 + PowerOf(x / p.B, p.A)));
}
// w = (X/C)^A with C = exp(-B/A); at X <= 0 its limit from the right, which
// is 0 for A > 0 and unbounded for A < 0 (the mirrored form has A < 0).
static double WeibullW(const FitParams& p, double x) {
  if (x <= 0) return p.A > 0 ? 0.0 : HUGE_VAL;
  const double c = std::exp(-p.B / p.A);
  return PowerOf(x / c, p.A);
}
double FcWeibull(const FitParams& p, double x) { return 1.0 - std::exp(-WeibullW(p, x)); }
double FcWeibullMirrored(const FitParams& p, double x) { return std::exp(-WeibullW(p, x)); }

double FcGamma(const FitParams& p, double x) {
  if (x <= 0 || p.A <= 0) return 0.0;
  const double r = x / p.A;
  double term = std::exp(-r);  // k = 0
  double sum = term;
  for (int k = 1; k < p.Terms; ++k) {
    term *= r / k;
    sum += term;
  }
  return Clamp01(1.0 - sum);
}

double FcStudent1(const FitParams& p, double x) {
  const double y = (x - p.Loc) / p.Scale;
  return std::atan(y) / std::numbers::pi + 0.5;
}
double FcStudent2(const FitParams& p, double x) {
  const double y = (x - p.Loc) / p.Scale;
  // hypot keeps Y / sqrt(Y^2 + 2) at +-1 where Y^2 would overflow.
  return 0.5 * (1.0 + y / std::hypot(y, std::numbers::sqrt2));
}
double FcCauchy(const FitParams& p, double x) { return 0.5 + std::atan(p.A * x + p.B) / std::numbers::pi; }
double FcCauchyGeneralized(const FitParams& p, double x) {
  return 0.5 + std::atan(p.A * PowerOf(x, p.E) + p.B) / std::numbers::pi;
}
double FcExponentialMirrored(const FitParams& p, double x) {
  return Clamp01(std::exp(-(p.A * PowerOf(x, p.E) + p.B)));
}

double FcGev(const FitParams& p, double x) {
  if (p.K == 0) return std::exp(-std::exp(-(x - p.Loc) / p.Scale));
  const double t = 1.0 + p.K * (x - p.Loc) / p.Scale;
  if (t <= 0) return p.K > 0 ? 0.0 : 1.0;
  return std::exp(-std::exp(std::log(t) * (-1.0 / p.K)));
}

double FcLaplace(const FitParams& p, double x) { return LaplaceAt(x, p.Mode, p.S1, p.S2); }

double FcRayleigh(const FitParams& p, double x) { return 1.0 - std::exp(-PowerOf(x, p.E) / p.S); }

double FcLaplaceGeneralized(const FitParams& p, double x) {
  // The half follows from the lower transform: below the mode with X^E1,
  // otherwise the upper half with X^E2.
  const double lower = PowerOf(x, p.E1);
  if (lower <= p.Mode) return LaplaceAt(lower, p.Mode, p.S1, p.S2);
  return LaplaceAt(PowerOf(x, p.E2), p.Mode, p.S1, p.S2);
}

FcFunction SingleFcFunction(int code) {
  switch (code) {
    case 3: return FcExponentialGeneralized;
    case 4: return FcGumbel;
    case 5: return FcGumbelMirrored;
    case 6: return FcExponential;
    case 31: return FcBurr;
    case 32: return FcDagum;
    case 33: return FcFisherTippett3Mirrored;
    case 34: return FcGompertz;
    case 35: return FcFrechetMirrored;
    case 36: return FcKumaraswamy;
    case 51: return FcGumbelGeneralized;
    case 52: return FcGumbelMirroredGeneralized;
    case 53: return FcLogistic;
    case 54: return FcLogLogistic;
    case 55: return FcLogisticGeneralized;
    case 56: return FcFisk;
    case 57: return FcWeibull;
    case 58: return FcFrechet;
    case 59: return FcFisherTippett3;
    case 60: return FcWeibullMirrored;
    case 61: return FcGamma;
    case 62: return FcStudent1;
    case 63: return FcStudent2;
    case 64: return FcCauchy;
    case 65: return FcCauchyGeneralized;
    case 66: return FcExponentialMirrored;
    case 67: return FcGev;
    case 68: return FcLaplace;
    case 69: return FcRayleigh;
    case 73: return FcLaplaceGeneralized;
    default: return nullptr;
  }
}

}  // namespace tavorix
