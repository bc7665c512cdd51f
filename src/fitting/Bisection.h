#pragma once
// Inversion of a rising function to the last bit: bisection over the
// doubles themselves, in their order, so that it ends after at most 64
// halvings with two neighbouring doubles, whatever the scale of the values.

#include <bit>
#include <cstdint>

namespace tavorix {

// Keys that rise with the doubles they stand for (-0 just below +0).
inline std::uint64_t OrderedKey(double x) {
  const auto u = std::bit_cast<std::uint64_t>(x);
  return (u >> 63) != 0 ? ~u : (u | (std::uint64_t{1} << 63));
}
inline double FromOrderedKey(std::uint64_t k) {
  return std::bit_cast<double>((k >> 63) != 0 ? (k & ~(std::uint64_t{1} << 63)) : ~k);
}

// The smallest double x in [lo, hi] at which `holds(x)` is true, for a test
// that is false below some point and true from it on (holds(hi) must be
// true; lo is returned when holds(lo) is).
template <class Holds>
double SmallestWhere(Holds&& holds, double lo, double hi) {
  if (holds(lo)) return lo;
  std::uint64_t below = OrderedKey(lo), at = OrderedKey(hi);
  while (at - below > 1) {
    const std::uint64_t mid = below + (at - below) / 2;
    if (holds(FromOrderedKey(mid)))
      at = mid;
    else
      below = mid;
  }
  return FromOrderedKey(at);
}

}  // namespace tavorix
