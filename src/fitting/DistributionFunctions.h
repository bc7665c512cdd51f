#pragma once
// The cumulative frequency function of every single distribution code, as
// the fits compute it, on the moved scale of the run (X > 0). One function
// per code, taking the fitted parameters as a value. The functions are total:
// outside a bounded distribution's support they give 0 or 1, never NaN.
//
// Each function takes the parameter family of its code (see FitParams.h);
// the registry adapts them to the whole FitParams.

#include "fitting/TavorixRun.h"
#include "fitting/Registry.h"

namespace tavorix {

double FcExponentialGeneralized(const PowerLineParams& p, double x);  // 3
double FcGumbel(const LineParams& p, double x);                  // 4
double FcGumbelMirrored(const LineParams& p, double x);          // 5
double FcExponential(const LineParams& p, double x);             // 6
double FcBurr(const BurrParams& p, double x);                    // 31
double FcDagum(const BurrParams& p, double x);                   // 32
double FcFisherTippett3Mirrored(const BoundedParams& p, double x);  // 33
double FcGompertz(const GompertzParams& p, double x);                // 34
double FcFrechetMirrored(const BoundedParams& p, double x);         // 35
double FcKumaraswamy(const KumaraswamyParams& p, double x);             // 36
double FcGumbelGeneralized(const PowerLineParams& p, double x);       // 51
double FcGumbelMirroredGeneralized(const PowerLineParams& p, double x);  // 52
double FcLogistic(const LineParams& p, double x);                // 53
double FcLogLogistic(const LineParams& p, double x);             // 54
double FcLogisticGeneralized(const PowerLineParams& p, double x);     // 55
double FcFisk(const LineParams& p, double x);                    // 56
double FcWeibull(const LineParams& p, double x);                 // 57
double FcFrechet(const BoundedParams& p, double x);                 // 58
double FcFisherTippett3(const BoundedParams& p, double x);          // 59
double FcWeibullMirrored(const LineParams& p, double x);         // 60
double FcGamma(const GammaParams& p, double x);                   // 61
double FcStudent1(const StudentParams& p, double x);                // 62
double FcStudent2(const StudentParams& p, double x);                // 63
double FcCauchy(const LineParams& p, double x);                  // 64
double FcCauchyGeneralized(const PowerLineParams& p, double x);       // 65
double FcExponentialMirrored(const PowerLineParams& p, double x);     // 66
double FcGev(const GevParams& p, double x);                     // 67
double FcLaplace(const LaplaceParams& p, double x);                 // 68
double FcRayleigh(const RayleighParams& p, double x);                // 69
double FcLaplaceGeneralized(const LaplaceParams& p, double x);      // 73

// Evaluations with the guards of the fitted curve, the class bounds and the
// calculator, for the codes where they differ from the plain function:
// the bounded forms keep the scaled distance to the bound positive (0.0001
// at the data, 0.001 at class bounds) and report a value on the wrong side;
// Gompertz gives at least 0.001 at the data; Fisk keeps |B| at 0.001 or
// more.
double GuardedFcFrechet(const BoundedParams& p, double x, Guard use, BoundHits* hits);                 // 58
double GuardedFcFrechetMirrored(const BoundedParams& p, double x, Guard use, BoundHits* hits);         // 35
double GuardedFcFisherTippett3(const BoundedParams& p, double x, Guard use, BoundHits* hits);          // 59
double GuardedFcFisherTippett3Mirrored(const BoundedParams& p, double x, Guard use, BoundHits* hits);  // 33
double GuardedFcGompertz(const GompertzParams& p, double x, Guard use, BoundHits* hits);                // 34
// The least frequency of the Gompertz fit at the data and in the calculator.
inline constexpr double kGompertzLeastFrequency = 0.001;
double GuardedFcFisk(const LineParams& p, double x, Guard use, BoundHits* hits);                    // 56

// The generalized Laplace at the datum of a rank: below the break rank with
// the lower exponent, from it on with the upper one.
double FcLaplaceGeneralizedAtRank(int code, const FitParams& p, double x, int rank);  // 73

// Power x^e computed as exp(e ln x), the form every fit uses; 0 for x <= 0.
double PowerOf(double x, double e);

}  // namespace tavorix
