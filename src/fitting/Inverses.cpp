#include "fitting/Inverses.h"

#include <cmath>
#include <numbers>

#include "fitting/CompositeKinds.h"

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

InverseResult CompositeInverse(int code, const FitParams& p, double q, CompositePart part,
                               NonPositive policy) {
  CompositeParts parts{};
  CompositePartsOf(code, parts);
  const bool lower = part == CompositePart::Lower;
  const ComponentKind kind = lower ? parts.Lower : parts.Upper;
  const double a = lower ? p.As : p.Ag;
  const double b = lower ? p.Bs : p.Bg;
  const double t = ComponentLinear(kind, q, a, b);
  if (!parts.Generalized) return Value(t);
  double e = lower ? p.Es : p.Eg;
  if (code == 84 && !lower && e < 0.1) e = 0.1;
  return RootOf(t, e, policy);
}

// Bound forms: the scaled distance to the bound, from -ln of a frequency.
double BoundDistance(const FitParams& p, double minusLog) {
  return std::exp(-p.B / p.A) * std::exp(std::log(minusLog) / p.A);
}

}  // namespace

bool HasClosedFormInverse(int code) {
  if (code >= 20 && code <= 26) return false;
  if (code == 61) return false;
  CompositeParts parts{};
  if (CompositePartsOf(code, parts)) return true;
  switch (code) {
    case 3: case 4: case 5: case 6: case 31: case 32: case 33: case 34: case 35: case 36:
    case 51: case 52: case 53: case 54: case 55: case 56: case 57: case 58: case 59: case 60:
    case 62: case 63: case 64: case 65: case 66: case 67: case 68: case 69: case 73:
      return true;
    default:
      return false;
  }
}

InverseResult InverseFc(int code, const FitParams& p, double q, CompositePart part, NonPositive policy) {
  CompositeParts parts{};
  if (CompositePartsOf(code, parts)) return CompositeInverse(code, p, q, part, policy);
  switch (code) {
    case 3: return RootOf(-(std::log(1.0 - q) + p.B) / p.A, p.E, policy);
    case 4: return Value(-(L1(q) + p.B) / p.A);
    case 5: return Value((-L2(q) - p.B) / p.A);
    case 6: {
      const double y = -std::log(1.0 - q) / p.A;
      if (!(y > 0) && policy == NonPositive::Fail) return {};
      return Value(y > 0 ? y : 0.001);
    }
    case 31: case 32: {
      // Z from the line E Z + D of the transformed frequency, then
      // X^A = S e^(-Z) - S.
      const double ft = code == 31 ? std::log(1.0 - q) : std::log(q);
      const double z = (ft - p.D) / p.E;
      // A negative h is a frequency below the distribution's value at its
      // lower end: there is no X for it.
      const double h = p.S * std::exp(-z) - p.S;
      return RootOf(h, p.A, policy);
    }
    case 33: return Value(p.C - BoundDistance(p, -std::log(1.0 - q)));
    case 34: {
      // 1 - exp(A (Z^(B E) - 1)) = q  =>  Z = (ln(1-q)/A + 1)^(1/(B E)).
      InverseResult z = RootOf(std::log(1.0 - q) / p.A + 1.0, p.B * p.E, policy);
      if (z.Ok && p.XPlusOne) z.X -= 1.0;
      return z;
    }
    case 35: return Value(BoundDistance(p, -std::log(1.0 - q)) + p.C);
    case 36: {
      InverseResult base = RootOf(1.0 - std::exp(std::log(1.0 - q) / p.B), p.A, policy);
      if (base.Ok) base.X *= p.MBound;
      return base;
    }
    case 51: {
      const double a = p.A == 0 ? 0.0001 : p.A;
      return RootOf(-(L1(q) + p.B) / a, p.E, policy);
    }
    case 52: return RootOf((-L2(q) - p.B) / p.A, p.E, policy);
    case 53: return Value((G(q) - p.B) / p.A);
    case 54: return Value(std::exp((G(q) - p.B) / p.A));
    case 55: return RootOf((G(q) - p.B) / p.A, p.E, policy);
    case 56: {
      // 1 - 1/(1 + (X/B)^A) = q  =>  X = B (q/(1-q))^(1/A).
      const double b = std::fabs(p.B) < 0.001 ? 0.001 : p.B;
      return Value(b * std::exp(std::log(q / (1.0 - q)) / p.A));
    }
    case 57: return Value(std::exp((L2(q) - p.B) / p.A));
    case 58: return Value(BoundDistance(p, -std::log(q)) + p.C);
    case 59: return Value(p.C - BoundDistance(p, -std::log(q)));
    case 60: return Value(std::exp((L1(q) - p.B) / p.A));
    case 62: return Value(p.Scale * T(q) + p.Loc);
    case 63: {
      const double u = 2.0 * q - 1.0;
      return Value(p.Scale * std::numbers::sqrt2 * u / std::sqrt(1.0 - u * u) + p.Loc);
    }
    case 64: return Value((T(q) - p.B) / p.A);
    case 65: return RootOf((T(q) - p.B) / p.A, p.E, policy);
    case 66: return RootOf(-(std::log(q) + p.B) / p.A, p.E, policy);
    case 67: {
      if (p.K == 0) return Value(p.Loc - p.Scale * std::log(-std::log(q)));
      return Value((std::exp(-p.K * std::log(-std::log(q))) - 1.0) * p.Scale / p.K + p.Loc);
    }
    case 68:
      if (q >= 0.5) return Value(p.Mode - std::log(2.0 - 2.0 * q) * p.S2);
      return Value(p.Mode + std::log(2.0 * q) * p.S1);
    case 69: return RootOf(-std::log(1.0 - q) * p.S, p.E, policy);
    case 73:
      if (q >= 0.5) return RootOf(p.Mode - std::log(2.0 - 2.0 * q) * p.S2, p.E2, policy);
      return RootOf(p.Mode + std::log(2.0 * q) * p.S1, p.E1, policy);
    default:
      return {};
  }
}

}  // namespace tavorix
