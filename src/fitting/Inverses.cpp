#include "fitting/Inverses.h"

#include <cmath>
#include <numbers>

#include "fitting/Bisection.h"
#include "fitting/CompositeKinds.h"
#include "fitting/DistributionFunctions.h"
#include "fitting/Registry.h"

namespace tavorix {

namespace {

double L1(double q) { return std::log(-std::log(q)); }
double L2(double q) { return std::log(-std::log(1.0 - q)); }
double G(double q) { return std::log(1.0 / q - 1.0); }
double T(double q) { return std::tan(std::numbers::pi * (q - 0.5)); }

InverseResult Value(double x) { return {std::isfinite(x), x}; }

// Y^(1/e) for the forms whose transformed value must be positive.
InverseResult RootOf(double y, double e, NonPositive policy) {
  if (!(y > 0)) {
    if (policy == NonPositive::Fail) return {};
    y = 0.001;
  }
  return Value(std::exp(std::log(y) / e));
}

// The linear value t = (Ft - B)/A of a component kind, with A t + B = z.
double ComponentLinear(ComponentKind kind, double q, double a, double b) {
  switch (kind) {
    case ComponentKind::Logistic: return (G(q) - b) / a;
    case ComponentKind::Gumbel: return -(L1(q) + b) / a;
    case ComponentKind::MirroredGumbel: return (-L2(q) - b) / a;
    case ComponentKind::Poisson: return -(std::log(1.0 - q) + b) / a;
  }
  return 0.0;
}

// Bound forms: the scaled distance to the bound, from -ln of a frequency.
double BoundDistance(const BoundedParams& p, double minusLog) {
  return std::exp(-p.B / p.A) * std::exp(std::log(minusLog) / p.A);
}

// Burr and Dagum: Z from the line E Z + D of the transformed frequency ft,
// then X^A = S e^(-Z) - S. A negative value is a frequency below the
// distribution's value at its lower end: there is no X for it.
InverseResult BurrForm(const BurrParams& p, double ft, NonPositive policy) {
  const double z = (ft - p.D) / p.E;
  // S e^(-z) - S without the cancellation of a small z.
  const double h = p.S * std::expm1(-z);
  return RootOf(h, p.A, policy);
}

}  // namespace

InverseResult InverseComposite(int code, const FitParams& p, double q, CompositePart part, NonPositive policy) {
  CompositeParts parts{};
  CompositePartsOf(code, parts);
  const bool lower = part == CompositePart::Lower;
  const ComponentKind kind = lower ? parts.Lower : parts.Upper;
  const double a = lower ? p.Composite.Lower.A : p.Composite.Upper.A;
  const double b = lower ? p.Composite.Lower.B : p.Composite.Upper.B;
  const double t = ComponentLinear(kind, q, a, b);
  if (!parts.Generalized) return Value(t);
  double e = lower ? p.Composite.Lower.E : p.Composite.Upper.E;
  if (parts.UpperExponentFloor && !lower && e < 0.1) e = 0.1;
  return RootOf(t, e, policy);
}

InverseResult InverseExponentialGeneralized(const PowerLineParams& p, double q, NonPositive policy) {
  return RootOf(-(std::log(1.0 - q) + p.B) / p.A, p.E, policy);
}
InverseResult InverseGumbel(const LineParams& p, double q, NonPositive) { return Value(-(L1(q) + p.B) / p.A); }
InverseResult InverseGumbelMirrored(const LineParams& p, double q, NonPositive) {
  return Value((-L2(q) - p.B) / p.A);
}
InverseResult InverseExponential(const LineParams& p, double q, NonPositive policy) {
  const double y = -std::log(1.0 - q) / p.A;
  if (!(y > 0) && policy == NonPositive::Fail) return {};
  return Value(y > 0 ? y : 0.001);
}
InverseResult InverseBurr(const BurrParams& p, double q, NonPositive policy) {
  return BurrForm(p, std::log(1.0 - q), policy);
}
InverseResult InverseDagum(const BurrParams& p, double q, NonPositive policy) {
  return BurrForm(p, std::log(q), policy);
}
InverseResult InverseFisherTippett3Mirrored(const BoundedParams& p, double q, NonPositive) {
  return Value(p.C - BoundDistance(p, -std::log(1.0 - q)));
}
InverseResult InverseGompertz(const GompertzParams& p, double q, NonPositive policy) {
  // The fitted curve and the calculator give at least 0.001: a frequency up
  // to that has no X above the lower end of the range.
  if (q <= kGompertzLeastFrequency) return {};
  // 1 - exp(A (Z^(B E) - 1)) = q  =>  Z = (ln(1-q)/A + 1)^(1/(B E)).
  InverseResult z = RootOf(std::log(1.0 - q) / p.A + 1.0, p.B * p.E, policy);
  if (z.Ok && p.XPlusOne) z.X -= 1.0;
  return z;
}
InverseResult InverseFrechetMirrored(const BoundedParams& p, double q, NonPositive) {
  return Value(BoundDistance(p, -std::log(1.0 - q)) + p.C);
}
InverseResult InverseKumaraswamy(const KumaraswamyParams& p, double q, NonPositive policy) {
  InverseResult base = RootOf(1.0 - std::exp(std::log(1.0 - q) / p.B), p.A, policy);
  if (base.Ok) base.X *= p.M;
  return base;
}
InverseResult InverseGumbelGeneralized(const PowerLineParams& p, double q, NonPositive policy) {
  const double a = p.A == 0 ? 0.0001 : p.A;
  return RootOf(-(L1(q) + p.B) / a, p.E, policy);
}
InverseResult InverseGumbelMirroredGeneralized(const PowerLineParams& p, double q, NonPositive policy) {
  return RootOf((-L2(q) - p.B) / p.A, p.E, policy);
}
InverseResult InverseLogistic(const LineParams& p, double q, NonPositive) { return Value((G(q) - p.B) / p.A); }
InverseResult InverseLogLogistic(const LineParams& p, double q, NonPositive) {
  return Value(std::exp((G(q) - p.B) / p.A));
}
InverseResult InverseLogisticGeneralized(const PowerLineParams& p, double q, NonPositive policy) {
  return RootOf((G(q) - p.B) / p.A, p.E, policy);
}
InverseResult InverseFisk(const LineParams& p, double q, NonPositive) {
  // 1 - 1/(1 + (X/B)^A) = q  =>  X = B (q/(1-q))^(1/A).
  const double b = std::fabs(p.B) < 0.001 ? 0.001 : p.B;
  return Value(b * std::exp(std::log(q / (1.0 - q)) / p.A));
}
InverseResult InverseWeibull(const LineParams& p, double q, NonPositive) {
  return Value(std::exp((L2(q) - p.B) / p.A));
}
InverseResult InverseFrechet(const BoundedParams& p, double q, NonPositive) {
  return Value(BoundDistance(p, -std::log(q)) + p.C);
}
InverseResult InverseFisherTippett3(const BoundedParams& p, double q, NonPositive) {
  return Value(p.C - BoundDistance(p, -std::log(q)));
}
InverseResult InverseWeibullMirrored(const LineParams& p, double q, NonPositive) {
  return Value(std::exp((L1(q) - p.B) / p.A));
}
InverseResult InverseGamma(const GammaParams& p, double q, NonPositive) {
  if (!(p.A > 0) || p.Terms < 1) return {};
  // F rises from 0 at X = 0 to 1: the bracket doubles from the mean until F
  // reaches q there.
  double high = p.A * p.Terms;
  while (FcGamma(p, high) < q) {
    high *= 2;
    if (!std::isfinite(high)) return {};
  }
  return Value(SmallestWhere([&](double x) { return FcGamma(p, x) >= q; }, 0.0, high));
}
InverseResult InverseStudent1(const StudentParams& p, double q, NonPositive) {
  return Value(p.Spread * T(q) + p.Mean);
}
InverseResult InverseStudent2(const StudentParams& p, double q, NonPositive) {
  const double u = 2.0 * q - 1.0;
  return Value(p.Spread * std::numbers::sqrt2 * u / std::sqrt(1.0 - u * u) + p.Mean);
}
InverseResult InverseCauchy(const LineParams& p, double q, NonPositive) { return Value((T(q) - p.B) / p.A); }
InverseResult InverseCauchyGeneralized(const PowerLineParams& p, double q, NonPositive policy) {
  return RootOf((T(q) - p.B) / p.A, p.E, policy);
}
InverseResult InverseExponentialMirrored(const PowerLineParams& p, double q, NonPositive policy) {
  return RootOf(-(std::log(q) + p.B) / p.A, p.E, policy);
}
InverseResult InverseGev(const GevParams& p, double q, NonPositive) {
  if (p.K == 0) return Value(p.Loc - p.Scale * std::log(-std::log(q)));
  return Value((std::exp(-p.K * std::log(-std::log(q))) - 1.0) * p.Scale / p.K + p.Loc);
}
InverseResult InverseLaplace(const LaplaceParams& p, double q, NonPositive) {
  if (q >= 0.5) return Value(p.Mode - std::log(2.0 - 2.0 * q) * p.S2);
  return Value(p.Mode + std::log(2.0 * q) * p.S1);
}
InverseResult InverseRayleigh(const RayleighParams& p, double q, NonPositive policy) {
  return RootOf(-std::log(1.0 - q) * p.S, p.E, policy);
}
InverseResult InverseLaplaceGeneralized(const LaplaceParams& p, double q, NonPositive policy) {
  // The lower half ends at X = mode^(1/E1), where F = 0.5; the upper half
  // starts there too (a jump up where X^E2 lies above the mode, a flat
  // stretch at 0.5 where it lies below), so its X is never below that end.
  if (q <= 0.5) return RootOf(p.Mode + std::log(2.0 * q) * p.S1, p.E1, policy);
  const InverseResult lowerEnd = RootOf(p.Mode, p.E1, policy);
  const InverseResult x = RootOf(p.Mode - std::log(2.0 - 2.0 * q) * p.S2, p.E2, policy);
  if (x.Ok && lowerEnd.Ok && lowerEnd.X > x.X) return lowerEnd;
  return x;
}

bool HasClosedFormInverse(int code) {
  const DistributionInfo* d = FindDistribution(code);
  return d && d->Inverse;
}

InverseResult InverseFc(int code, const FitParams& p, double q, CompositePart part, NonPositive policy) {
  const DistributionInfo* d = FindDistribution(code);
  if (!d || !d->Inverse) return {};
  return d->Inverse(code, p, q, part, policy);
}

}  // namespace tavorix
