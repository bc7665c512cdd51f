#pragma once
// The Hastings approximation of the normal integral, with five-digit
// constants, in the three forms the program uses. All share one polynomial
// and take the lower tail as the mirror of the upper one; they differ in how
// the density is computed, and each stage keeps its own form so that its
// results stay what they are.

#include <cmath>
#include <numbers>

namespace tavorix {

inline constexpr double kHastingsP = 0.23165;
inline constexpr double kInvSqrt2Pi = 0.3989422804014327;  // 1 / sqrt(2 pi)

// The polynomial S(u) = u (b1 + u (b2 + u (b3 + u (b4 + u b5)))).
inline double HastingsPolynomial(double u) {
  constexpr double b1 = 0.31938, b2 = -0.35656, b3 = 1.78148, b4 = -1.82126, b5 = 1.33027;
  return u * (b1 + u * (b2 + u * (b3 + u * (b4 + u * b5))));
}

// The exponent of the density at z.
inline double DensityExponent(double z) { return -0.5 * z * z; }

// The fits' form on the standardised value z, given g = exp(DensityExponent(z))
// (the fits compute g in array passes). Below the mean the lower tail is the
// mirror of the upper one, F(z) = 1 - H(-z) = phi(z) S(u(-z)): applied as it
// stands to negative z, the polynomial outgrows 1/phi and the lowest 3% of the
// distribution would have no frequency. 0 where z is not a number.
inline double HastingsWith(double z, double g) {
  const double den = 1.0 + kHastingsP * std::fabs(z);
  if (!(den > 0.0)) return 0.0;
  const double poly = HastingsPolynomial(1.0 / den);
  const double tail = g * kInvSqrt2Pi * poly;
  if (z < 0.0) return tail;
  const double f = 1.0 - tail;
  return (poly < 0.0 || f < 0.0) ? 0.0 : f;
}
inline double HastingsAt(double z) { return HastingsWith(z, std::exp(DensityExponent(z))); }

// The density as the stepping inverses and the calculator compute it.
inline double HastingsDensity(double z) { return std::exp(-z * z / 2.0) / std::sqrt(2.0 * std::numbers::pi); }

// The stepping inverse of the confidence stage, with the same mirror below the
// mean; 0 where z is not a number.
inline double HastingsScanF(double z) {
  const double s = HastingsPolynomial(1.0 / (1.0 + kHastingsP * std::fabs(z)));
  if (z < 0) return HastingsDensity(z) * s;
  return s >= 0 ? 1.0 - HastingsDensity(z) * s : 0.0;
}

// The calculator, with the same mirror below the mean.
inline double HastingsCalcF(double z) {
  const double s = HastingsPolynomial(1.0 / (1.0 + kHastingsP * std::fabs(z)));
  if (z < 0) return HastingsDensity(z) * s;
  return 1.0 - HastingsDensity(z) * s;
}

}  // namespace tavorix
