#pragma once
// How the report and the confidence table print X values. Ordinary data use
// fixed notation with the table's decimals; tiny data (every value within
// (-0.01, 0.01)) would lose every digit that way and are printed in the
// "%8.3e" form instead.

#include <string>

#include "core/RunContext.h"

namespace tavorix {

// True when every value as read lies within (-0.01, 0.01), a zero counted as
// 0.001 (the value the run gives it).
bool IsTinyData(const TavorixRun& run);

// An X value right-aligned in `width`: fixed with `decimals`, or in the
// "%8.3e" form (at least 8 wide) for tiny data.
std::string FormatXValue(double v, int width, int decimals, bool tiny);

// The input value of run value X: X + Shift - 0.0001.
inline double InputValueOf(const TavorixRun& run, long double x) {
  return static_cast<double>(x + run.Shift - 0.0001L);
}

}  // namespace tavorix
