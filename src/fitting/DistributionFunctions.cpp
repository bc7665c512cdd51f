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

double FcExponentialGeneralized(const PowerLineParams& p, double x) {
  return Clamp01(1.0 - std::exp(-(p.A * PowerOf(x, p.E) + p.B)));
}
double FcGumbel(const LineParams& p, double x) { return GumbelOf(p.A * x + p.B); }
double FcGumbelMirrored(const LineParams& p, double x) { return 1.0 - GumbelOf(p.A * x + p.B); }
double FcExponential(const LineParams& p, double x) { return Clamp01(1.0 - std::exp(-p.A * x)); }

double FcBurr(const BurrParams& p, double x) {
  const double z = std::log(p.S / (PowerOf(x, p.A) + p.S));
  return Clamp01(1.0 - std::exp(p.E * z + p.D));
}
double FcDagum(const BurrParams& p, double x) {
  // With A < 0, X^A grows without bound as X falls to 0, so Fc tends to 0.
  if (x <= 0) return 0.0;
  const double z = std::log(p.S / (PowerOf(x, p.A) + p.S));
  return Clamp01(std::exp(p.E * z + p.D));
}

// Fisher-Tippett / Frechet forms: w = (distance to the bound / exp(-B/A))^A.
static double BoundForm(const BoundedParams& p, double distance) {
  if (distance <= 0) return 0.0;
  const double scale = std::exp(-p.B / p.A);
  return std::exp(-PowerOf(distance / scale, p.A));
}
double FcFisherTippett3Mirrored(const BoundedParams& p, double x) {
  return x >= p.C ? 1.0 : 1.0 - BoundForm(p, p.C - x);
}
double FcFrechetMirrored(const BoundedParams& p, double x) {
  return x <= p.C ? 0.0 : 1.0 - BoundForm(p, x - p.C);
}
double FcFrechet(const BoundedParams& p, double x) { return x <= p.C ? 0.0 : BoundForm(p, x - p.C); }
double FcFisherTippett3(const BoundedParams& p, double x) {
  return x >= p.C ? 1.0 : BoundForm(p, p.C - x);
}

double FcGompertz(const GompertzParams& p, double x) {
  const double z = p.XPlusOne ? x + 1.0 : x;
  if (z <= 0) return 0.0;
  return Clamp01(1.0 - std::exp(p.A * (std::exp(p.B * p.E * std::log(z)) - 1.0)));
}

double FcKumaraswamy(const KumaraswamyParams& p, double x) {
  if (x <= 0) return 0.0;
  if (x >= p.M) return 1.0;
  const double v = 1.0 - PowerOf(x / p.M, p.A);
  return Clamp01(1.0 - PowerOf(v, p.B));
}

double FcGumbelGeneralized(const PowerLineParams& p, double x) { return GumbelOf(p.A * PowerOf(x, p.E) + p.B); }
double FcGumbelMirroredGeneralized(const PowerLineParams& p, double x) {
  return 1.0 - GumbelOf(p.A * PowerOf(x, p.E) + p.B);
}
double FcLogistic(const LineParams& p, double x) { return 1.0 / (1.0 + std::exp(p.A * x + p.B)); }
double FcLogLogistic(const LineParams& p, double x) {
  if (x <= 0) return p.A > 0 ? 1.0 : 0.0;
  return 1.0 / (1.0 + std::exp(p.A * std::log(x) + p.B));
}
double FcLogisticGeneralized(const PowerLineParams& p, double x) {
  return 1.0 / (1.0 + std::exp(p.A * PowerOf(x, p.E) + p.B));
}
double FcFisk(const LineParams& p, double x) {
  if (x <= 0) return 0.0;
  return Clamp01(1.0 - 1.0 / (1.0 + PowerOf(x / p.B, p.A)));
}
// w = (X/C)^A with C = exp(-B/A); at X <= 0 its limit from the right, which
// is 0 for A > 0 and unbounded for A < 0 (the mirrored form has A < 0).
static double WeibullW(const LineParams& p, double x) {
  if (x <= 0) return p.A > 0 ? 0.0 : HUGE_VAL;
  const double c = std::exp(-p.B / p.A);
  return PowerOf(x / c, p.A);
}
double FcWeibull(const LineParams& p, double x) { return 1.0 - std::exp(-WeibullW(p, x)); }
double FcWeibullMirrored(const LineParams& p, double x) { return std::exp(-WeibullW(p, x)); }

double FcGamma(const GammaParams& p, double x) {
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

double FcStudent1(const StudentParams& p, double x) {
  const double y = (x - p.Mean) / p.Spread;
  return std::atan(y) / std::numbers::pi + 0.5;
}
double FcStudent2(const StudentParams& p, double x) {
  const double y = (x - p.Mean) / p.Spread;
  // hypot keeps Y / sqrt(Y^2 + 2) at +-1 where Y^2 would overflow.
  return 0.5 * (1.0 + y / std::hypot(y, std::numbers::sqrt2));
}
double FcCauchy(const LineParams& p, double x) { return 0.5 + std::atan(p.A * x + p.B) / std::numbers::pi; }
double FcCauchyGeneralized(const PowerLineParams& p, double x) {
  return 0.5 + std::atan(p.A * PowerOf(x, p.E) + p.B) / std::numbers::pi;
}
double FcExponentialMirrored(const PowerLineParams& p, double x) {
  return Clamp01(std::exp(-(p.A * PowerOf(x, p.E) + p.B)));
}

double FcGev(const GevParams& p, double x) {
  if (p.K == 0) return std::exp(-std::exp(-(x - p.Loc) / p.Scale));
  const double t = 1.0 + p.K * (x - p.Loc) / p.Scale;
  if (t <= 0) return p.K > 0 ? 0.0 : 1.0;
  return std::exp(-std::exp(std::log(t) * (-1.0 / p.K)));
}

double FcLaplace(const LaplaceParams& p, double x) { return LaplaceAt(x, p.Mode, p.S1, p.S2); }

double FcRayleigh(const RayleighParams& p, double x) { return 1.0 - std::exp(-PowerOf(x, p.E) / p.S); }

namespace {

// The upper half on X^E2. With E2 unlike E1, X^E2 of an X above the lower
// half's break can still lie below the mode; the upper half then stays at
// 0.5 (as the fit's search takes it) rather than falling back into the
// lower half's formula, so the frequency never falls.
double LaplaceUpperHalf(const LaplaceParams& p, double x) {
  const double t = PowerOf(x, p.E2);
  return t <= p.Mode ? 0.5 : LaplaceAt(t, p.Mode, p.S1, p.S2);
}

}  // namespace

double FcLaplaceGeneralized(const LaplaceParams& p, double x) {
  // The half follows from the lower transform: below the mode with X^E1,
  // otherwise the upper half with X^E2.
  const double lower = PowerOf(x, p.E1);
  if (lower <= p.Mode) return LaplaceAt(lower, p.Mode, p.S1, p.S2);
  return LaplaceUpperHalf(p, x);
}

namespace {

// Fisher-Tippett / Frechet forms with the distance to the bound guarded: a
// scaled distance that is not positive is replaced by a floor.
template <SupportBound Side, bool Mirrored>
double GuardedBoundFc(const BoundedParams& p, double x, Guard use, BoundHits* hits) {
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

double GuardedFcFrechet(const BoundedParams& p, double x, Guard use, BoundHits* hits) {
  return GuardedBoundFc<SupportBound::Lower, false>(p, x, use, hits);
}
double GuardedFcFrechetMirrored(const BoundedParams& p, double x, Guard use, BoundHits* hits) {
  return GuardedBoundFc<SupportBound::Lower, true>(p, x, use, hits);
}
double GuardedFcFisherTippett3(const BoundedParams& p, double x, Guard use, BoundHits* hits) {
  return GuardedBoundFc<SupportBound::Upper, false>(p, x, use, hits);
}
double GuardedFcFisherTippett3Mirrored(const BoundedParams& p, double x, Guard use, BoundHits* hits) {
  return GuardedBoundFc<SupportBound::Upper, true>(p, x, use, hits);
}

double GuardedFcGompertz(const GompertzParams& p, double x, Guard use, BoundHits*) {
  const double f = FcGompertz(p, x);
  return (use != Guard::ClassBounds && f < kGompertzLeastFrequency) ? kGompertzLeastFrequency : f;
}

double GuardedFcFisk(const LineParams& p, double x, Guard, BoundHits*) {
  if (std::fabs(p.B) >= 0.001) return FcFisk(p, x);
  LineParams q = p;
  q.B = 0.001;
  return FcFisk(q, x);
}

double FcLaplaceGeneralizedAtRank(int, const FitParams& p, double x, int rank) {
  const LaplaceParams& l = p.Laplace;
  if (rank >= l.BreakRank) return LaplaceUpperHalf(l, x);
  const double t = PowerOf(x, l.E1);
  return t <= l.Mode ? 0.5 * std::exp((t - l.Mode) / l.S1) : 1.0 - 0.5 * std::exp(-(t - l.Mode) / l.S2);
}

}  // namespace tavorix
