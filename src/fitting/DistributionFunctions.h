#pragma once
// The cumulative frequency function of every single distribution code, as
// the fits compute it, on the moved scale of the run (X > 0). One function
// per code, taking the fitted parameters as a value. The functions are total:
// outside a bounded distribution's support they give 0 or 1, never NaN.
//
// Parameter use per code (members of FitParams):
//   3, 51, 52, 55, 65, 66: A, B, E        4, 5, 53, 54, 64: A, B      6: A
//   57, 60: A, B (C = exp(-B/A))          58, 35, 33, 59: A, B, C (bound)
//   31, 32: A (exponent), S (= B^A), E (slope), D (intercept)
//   34: A, B, E, XPlusOne                 36: MBound, A, B
//   56: A, B                               61: A (scale), Terms (n)
//   62, 63: Student (Mean, Spread)         67: Gev (K, Loc, Scale)
//   68: Laplace (Mode, S1, S2)             69: E, S
//   73: Laplace (Mode on the transformed scale, S1, S2, E1, E2)

#include "core/RunContext.h"
#include "fitting/Registry.h"

namespace tavorix {

double FcExponentialGeneralized(const FitParams& p, double x);  // 3
double FcGumbel(const FitParams& p, double x);                  // 4
double FcGumbelMirrored(const FitParams& p, double x);          // 5
double FcExponential(const FitParams& p, double x);             // 6
double FcBurr(const FitParams& p, double x);                    // 31
double FcDagum(const FitParams& p, double x);                   // 32
double FcFisherTippett3Mirrored(const FitParams& p, double x);  // 33
double FcGompertz(const FitParams& p, double x);                // 34
double FcFrechetMirrored(const FitParams& p, double x);         // 35
double FcKumaraswamy(const FitParams& p, double x);             // 36
double FcGumbelGeneralized(const FitParams& p, double x);       // 51
double FcGumbelMirroredGeneralized(const FitParams& p, double x);  // 52
double FcLogistic(const FitParams& p, double x);                // 53
double FcLogLogistic(const FitParams& p, double x);             // 54
double FcLogisticGeneralized(const FitParams& p, double x);     // 55
double FcFisk(const FitParams& p, double x);                    // 56
double FcWeibull(const FitParams& p, double x);                 // 57
double FcFrechet(const FitParams& p, double x);                 // 58
double FcFisherTippett3(const FitParams& p, double x);          // 59
double FcWeibullMirrored(const FitParams& p, double x);         // 60
double FcGamma(const FitParams& p, double x);                   // 61
double FcStudent1(const FitParams& p, double x);                // 62
double FcStudent2(const FitParams& p, double x);                // 63
double FcCauchy(const FitParams& p, double x);                  // 64
double FcCauchyGeneralized(const FitParams& p, double x);       // 65
double FcExponentialMirrored(const FitParams& p, double x);     // 66
double FcGev(const FitParams& p, double x);                     // 67
double FcLaplace(const FitParams& p, double x);                 // 68
double FcRayleigh(const FitParams& p, double x);                // 69
double FcLaplaceGeneralized(const FitParams& p, double x);      // 73

// Evaluations with the guards of the fitted curve, the class bounds and the
// calculator, for the codes where they differ from the plain function:
// the bounded forms keep the scaled distance to the bound positive (0.0001
// at the data, 0.001 at class bounds) and report a value on the wrong side;
// Gompertz gives at least 0.001 at the data; Fisk keeps |B| at 0.001 or
// more; GEV gives exp(-1) beyond its bound.
double GuardedFcFrechet(const FitParams& p, double x, Guard use, BoundHits* hits);                 // 58
double GuardedFcFrechetMirrored(const FitParams& p, double x, Guard use, BoundHits* hits);         // 35
double GuardedFcFisherTippett3(const FitParams& p, double x, Guard use, BoundHits* hits);          // 59
double GuardedFcFisherTippett3Mirrored(const FitParams& p, double x, Guard use, BoundHits* hits);  // 33
double GuardedFcGompertz(const FitParams& p, double x, Guard use, BoundHits* hits);                // 34
double GuardedFcFisk(const FitParams& p, double x, Guard use, BoundHits* hits);                    // 56
double GuardedFcGev(const FitParams& p, double x, Guard use, BoundHits* hits);                     // 67

// The generalized Laplace at the datum of a rank: below the break rank with
// the lower exponent, from it on with the upper one.
double FcLaplaceGeneralizedAtRank(int code, const FitParams& p, double x, int rank);  // 73

// Power x^e computed as exp(e ln x), the form every fit uses; 0 for x <= 0.
double PowerOf(double x, double e);

}  // namespace tavorix
