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
  const double y = (x - p.Student.Mean) / p.Student.Spread;
  return std::atan(y) / std::numbers::pi + 0.5;
}
double FcStudent2(const FitParams& p, double x) {
  const double y = (x - p.Student.Mean) / p.Student.Spread;
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
  if (p.Gev.K == 0) return std::exp(-std::exp(-(x - p.Gev.Loc) / p.Gev.Scale));
  const double t = 1.0 + p.Gev.K * (x - p.Gev.Loc) / p.Gev.Scale;
  if (t <= 0) return p.Gev.K > 0 ? 0.0 : 1.0;
  return std::exp(-std::exp(std::log(t) * (-1.0 / p.Gev.K)));
}

double FcLaplace(const FitParams& p, double x) { return LaplaceAt(x, p.Laplace.Mode, p.Laplace.S1, p.Laplace.S2); }

double FcRayleigh(const FitParams& p, double x) { return 1.0 - std::exp(-PowerOf(x, p.E) / p.S); }

double FcLaplaceGeneralized(const FitParams& p, double x) {
  // The half follows from the lower transform: below the mode with X^E1,
  // otherwise the upper half with X^E2.
  const double lower = PowerOf(x, p.Laplace.E1);
  if (lower <= p.Laplace.Mode) return LaplaceAt(lower, p.Laplace.Mode, p.Laplace.S1, p.Laplace.S2);
  return LaplaceAt(PowerOf(x, p.Laplace.E2), p.Laplace.Mode, p.Laplace.S1, p.Laplace.S2);
}

namespace {

// Fisher-Tippett / Frechet forms with the distance to the bound guarded: a
// scaled distance that is not positive is replaced by a floor.
template <SupportBound Side, bool Mirrored>
double GuardedBoundFc(const FitParams& p, double x, Guard use, BoundHits* hits) {
  const double floor = use == Guard::ClassBounds ? 0.001 : 0.0001;
  const double scale = std::exp(-p.B / p.A);
  double dist = (Side == SupportBound::Lower ? x - p.C : p.C - x) / scale;
  if (!(dist > 0)) {
    dist = floor;
    if (hits) (Side == SupportBound::Lower ? hits->BelowBoundC : hits->AboveBoundC) = true;
  }
  const double g = std::exp(-std::exp(p.A * std::log(dist)));
  return Mirrored ? 1.0 - g : g;
}

}  // namespace

double GuardedFcFrechet(const FitParams& p, double x, Guard use, BoundHits* hits) {
  return GuardedBoundFc<SupportBound::Lower, false>(p, x, use, hits);
}
double GuardedFcFrechetMirrored(const FitParams& p, double x, Guard use, BoundHits* hits) {
  return GuardedBoundFc<SupportBound::Lower, true>(p, x, use, hits);
}
double GuardedFcFisherTippett3(const FitParams& p, double x, Guard use, BoundHits* hits) {
  return GuardedBoundFc<SupportBound::Upper, false>(p, x, use, hits);
}
double GuardedFcFisherTippett3Mirrored(const FitParams& p, double x, Guard use, BoundHits* hits) {
  return GuardedBoundFc<SupportBound::Upper, true>(p, x, use, hits);
}

double GuardedFcGompertz(const FitParams& p, double x, Guard use, BoundHits*) {
  const double f = FcGompertz(p, x);
  return (use != Guard::ClassBounds && f < 0.001) ? 0.001 : f;
}

double GuardedFcFisk(const FitParams& p, double x, Guard, BoundHits*) {
  if (std::fabs(p.B) >= 0.001) return FcFisk(p, x);
  FitParams q = p;
  q.B = 0.001;
  return FcFisk(q, x);
}

double GuardedFcGev(const FitParams& p, double x, Guard, BoundHits*) {
  if (p.Gev.K != 0 && 1.0 + p.Gev.K * (x - p.Gev.Loc) / p.Gev.Scale <= 0) return std::exp(-1.0);
  return FcGev(p, x);
}

double FcLaplaceGeneralizedAtRank(int, const FitParams& p, double x, int rank) {
  const LaplaceParams& l = p.Laplace;
  const double t = PowerOf(x, rank < l.BreakRank ? l.E1 : l.E2);
  return t <= l.Mode ? 0.5 * std::exp((t - l.Mode) / l.S1) : 1.0 - 0.5 * std::exp(-(t - l.Mode) / l.S2);
}

}  // namespace tavorix
