#pragma once
// How the report and the confidence table print X values. Ordinary data use
// fixed notation with the table's decimals; tiny data (every value within
// (-0.01, 0.01)) would lose every digit that way and are printed in the
// "%8.3e" form instead.

#include <string>

#include "fitting/TavorixRun.h"

namespace tavorix {

// True when every value as read lies within (-0.01, 0.01), a zero counted as
// 0.001 (the value the run gives it).
bool IsTinyData(const TavorixRun& run);

// An X value in a table column of `width`: fixed with `decimals`, or in the
// "%8.3e" form (at least 8 wide) for tiny data. A fixed number wider than
// its column takes the "%8.3e" form as well, with at least one blank before
// it, so that it never runs into the column on its left.
std::string FormatXValue(double v, int width, int decimals, bool tiny);

// A single X value in running text: as FormatXValue, but a wide fixed number
// keeps its digits (nothing follows it on the line).
std::string FormatXNumber(double v, int width, int decimals, bool tiny);

// The input value of run value X: X + Shift - 0.0001.
inline double InputValueOf(const TavorixRun& run, long double x) {
  return static_cast<double>(x + run.Shift - 0.0001L);
}

}  // namespace tavorix
