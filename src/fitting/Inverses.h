#pragma once
// Inverse of the fitted cumulative frequency function of every code that
// has one in closed form: the X (on the moved scale of the run) at which the
// fitted distribution reaches frequency q. The registry holds each code's
// inverse; the fitted model is how the report, the calculator and the graphs
// reach it.

#include "fitting/FitParams.h"

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

// q must lie strictly inside (0, 1). Codes without an inverse (the normal
// family 20-26, inverted by their scans) and unknown codes give Ok = false.
InverseResult InverseFc(int code, const FitParams& p, double q, CompositePart part,
                        NonPositive policy = NonPositive::Fail);

bool HasClosedFormInverse(int code);

// The inverses of the single codes, by code (q in (0, 1)).
InverseResult InverseExponentialGeneralized(const PowerLineParams& p, double q, NonPositive policy);  // 3
InverseResult InverseGumbel(const LineParams& p, double q, NonPositive policy);                  // 4
InverseResult InverseGumbelMirrored(const LineParams& p, double q, NonPositive policy);          // 5
InverseResult InverseExponential(const LineParams& p, double q, NonPositive policy);             // 6
InverseResult InverseBurr(const BurrParams& p, double q, NonPositive policy);                    // 31
InverseResult InverseDagum(const BurrParams& p, double q, NonPositive policy);                   // 32
InverseResult InverseFisherTippett3Mirrored(const BoundedParams& p, double q, NonPositive policy);  // 33
InverseResult InverseGompertz(const GompertzParams& p, double q, NonPositive policy);                // 34
InverseResult InverseFrechetMirrored(const BoundedParams& p, double q, NonPositive policy);         // 35
InverseResult InverseKumaraswamy(const KumaraswamyParams& p, double q, NonPositive policy);             // 36
InverseResult InverseGumbelGeneralized(const PowerLineParams& p, double q, NonPositive policy);       // 51
InverseResult InverseGumbelMirroredGeneralized(const PowerLineParams& p, double q, NonPositive policy);  // 52
InverseResult InverseLogistic(const LineParams& p, double q, NonPositive policy);                // 53
InverseResult InverseLogLogistic(const LineParams& p, double q, NonPositive policy);             // 54
InverseResult InverseLogisticGeneralized(const PowerLineParams& p, double q, NonPositive policy);     // 55
InverseResult InverseFisk(const LineParams& p, double q, NonPositive policy);                    // 56
InverseResult InverseWeibull(const LineParams& p, double q, NonPositive policy);                 // 57
InverseResult InverseFrechet(const BoundedParams& p, double q, NonPositive policy);                 // 58
InverseResult InverseFisherTippett3(const BoundedParams& p, double q, NonPositive policy);          // 59
InverseResult InverseWeibullMirrored(const LineParams& p, double q, NonPositive policy);         // 60
// No closed form: the rising F inverted by bisection to the last bit.
InverseResult InverseGamma(const GammaParams& p, double q, NonPositive policy);                   // 61
InverseResult InverseStudent1(const StudentParams& p, double q, NonPositive policy);                // 62
InverseResult InverseStudent2(const StudentParams& p, double q, NonPositive policy);                // 63
InverseResult InverseCauchy(const LineParams& p, double q, NonPositive policy);                  // 64
InverseResult InverseCauchyGeneralized(const PowerLineParams& p, double q, NonPositive policy);       // 65
InverseResult InverseExponentialMirrored(const PowerLineParams& p, double q, NonPositive policy);     // 66
InverseResult InverseGev(const GevParams& p, double q, NonPositive policy);                     // 67
InverseResult InverseLaplace(const LaplaceParams& p, double q, NonPositive policy);                 // 68
InverseResult InverseRayleigh(const RayleighParams& p, double q, NonPositive policy);                // 69
InverseResult InverseLaplaceGeneralized(const LaplaceParams& p, double q, NonPositive policy);      // 73

// The part of a composite (its kinds from the registry).
InverseResult InverseComposite(int code, const FitParams& p, double q, CompositePart part, NonPositive policy);

}  // namespace tavorix
