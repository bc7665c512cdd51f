#pragma once
// Inverse of the fitted cumulative frequency function of every code that
// has one in closed form: the X (on the moved scale of the run) at which the
// fitted distribution reaches frequency q. Shared by the confidence stage of
// the report and by the calculator, which convert the result to input units
// with + Shift - 0.0001.

#include "core/RunContext.h"

namespace tavorix {

// What to do where a formula would raise a non-positive value to a power or
// take its logarithm.
enum class NonPositive {
  Fail,           // no value: the caller applies its fallback
  FloorAt0_001,   // the value becomes 0.001 first (the calculator's lower limit)
};

// Which part of a composite to invert.
enum class CompositePart { Lower, Upper };

struct InverseResult {
  bool Ok = false;   // false: the formula has no value here (fallback applies)
  double X = 0;      // moved scale
};

// q must lie strictly inside (0, 1). Codes without a closed-form inverse
// (the normal family 20-26, Gamma 61) and unknown codes give Ok = false.
InverseResult InverseFc(int code, const FitParams& p, double q, CompositePart part,
                        NonPositive policy = NonPositive::Fail);

bool HasClosedFormInverse(int code);

}  // namespace tavorix
