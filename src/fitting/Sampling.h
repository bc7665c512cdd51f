#pragma once
// Values drawn at random from a fitted distribution, for the parametric
// bootstrap: the distribution's quantile at a uniform frequency. Composites
// draw through their two parts and the separation point P, the normal family
// through its transform. Every step is defined here bit for bit (the
// standard library's distributions differ between implementations), so a
// seed gives the same values everywhere.

#include <cstdint>
#include <random>

#include "fitting/FittedModel.h"

namespace tavorix {

// The random stream of one replica: a std::mt19937_64 seeded from the seed
// and the replica's index, so that every replica draws the same values
// whatever thread and order it runs in.
std::mt19937_64 ReplicaStream(std::uint64_t seed, std::uint64_t index);

// A frequency strictly inside (0, 1) from the top 53 bits of one draw.
inline double UniformFrequency(std::mt19937_64& rng) {
  return (static_cast<double>(rng() >> 11) + 0.5) * 0x1p-53;
}

// The standard normal quantile (Wichura's algorithm AS 241, relative error
// about 1e-16) for 0 < p < 1.
double StandardNormalQuantile(double p);

// Whether values can be drawn from the model: it has a quantile in closed
// form, or belongs to the normal family.
bool CanSample(const FittedModel& model);

// The value on the moved scale at which the distribution reaches the
// frequency u (0 < u < 1): the least x with F(x) >= u.
// - Single codes: the inverse. Where it has no value because u lies below
//   the frequency of the distribution's lower end (a power or root of a
//   non-positive value), the lower end of the moved scale, 0.
// - Composites: the lower part's inverse for u up to the lower part's
//   frequency at P; above it the upper part's inverse, never below P (where
//   the upper part starts above the lower one, the frequencies between
//   them fall on P itself).
// - Normal family: t = mean + sigma z(u), then X of t; a t outside the range
//   of the transform (below 0 for the root and the powers) is the lower end 0.
// Ok is false only for models that cannot be sampled and for a quantile
// that is not a finite number.
InverseResult QuantileOf(const FittedModel& model, double u);

}  // namespace tavorix
