#pragma once
// The single distributions whose parameters come from one straight line
// through transformed frequencies: codes 3, 4, 5, 6, 51, 52, 53, 54, 55, 57,
// 60, 64, 65 and 66. They share one shape, written once here:
//   Ft = a transform of the observed frequencies,
//   Xt = X, ln X or X^E (the generalized forms scan E first),
//   a line through (Xt, Ft), slope A and intercept B,
//   Fc = the code's function of A*Xt + B with its overflow guard.
// Each fit assumes ws.Prepare(run) was called for the run and fills
// run.Slots[code]: Ran, HasResult, Score (final sum of |Fr - Fc|), P.Line
// (P.PowerLine for the scanned forms), StdErrX = 1.28/A for the Gumbel fits 4, 5
// and 51, and Listed when the fit writes its ranked-list entry.

#include "core/RunContext.h"
#include "fitting/FitWorkspace.h"

namespace tavorix {

// Transform of the observed frequency Fr into the line's Ft.
enum class FtForm {
  NegLnOneMinusFr,   // -ln(1 - Fr)               3, 6
  NegLnNegLnFr,      // -ln(-ln Fr)               4, 51
  NegLnNegLnOneMinus,  // -ln(-ln(1 - Fr))        5, 52
  LnOddsInverse,     // ln(1/Fr - 1)              53, 54, 55
  LnNegLnOneMinus,   // ln(-ln(1 - Fr)), Fr clipped to [0.001, 0.999]   57
  LnNegLnFr,         // ln(-ln Fr), Fr clipped to [0.001, 0.999]         60
  TanCentred,        // tan(pi (Fr - 0.5))        64, 65
  NegLnFr,           // -ln Fr, Fr <= 0 taken as 0.001                   66
};

// Transform of the data into the line's Xt.
enum class XtForm { X, LnX, PowerE };

// Calculated frequency as a function of z = A*Xt + B, with the guards.
enum class FcForm {
  ExponentialGeneralized,  // 1 - e^-(z), 8 when -(z) >= 8; final clip   3
  Exponential,             // 1 - e^(-A X), 8 when -A X >= 8; no clip    6
  Gumbel,                  // exp(-exp(-z)), z clipped to [-8, 8]        4, 51
  GumbelMirrored,          // 1 - exp(-exp(-z)), z clipped               5, 52
  Logistic,                // 1/(1 + e^z)                                53, 54, 55
  Weibull,                 // 1 - e^-w, w = (X/C)^A = e^z capped at 8    57
  WeibullMirrored,         // e^-w, w as for Weibull                     60
  Cauchy,                  // 0.5 + arctan(z)/pi                         64, 65
  ExponentialMirrored,     // e^-(z), 8 when -(z) >= 8; final clip       66
};

enum class LineForm { LeastSquares, Ratio };

struct RegressionShape {
  int Code;
  FtForm Ft;
  XtForm Xt;
  FcForm Fc;
  LineForm Line;
  bool RecordsStdErrX;  // 1.28/A is the standard error of X (Gumbel 4, 5, 51)
  bool KeepsScoreAtE1;  // at E = 1 only unlisted, not scored 1000 (66)
};

// The shape of a code, or nullptr when the code is not one of these fits.
const RegressionShape* FindRegressionShape(int code);

// Runs the fit of a code that has a regression shape (no-op otherwise).
void FitByRegression(int code, TavorixRun& run, FitWorkspace& ws);

// Calculated frequency of a form at one transformed value, as the search
// evaluates it (overflow guards, no final clipping).
double ShapeFc(FcForm form, double a, double b, double xt);
// The same with the clipping of the final evaluation (3 and 66).
double ShapeFinalFc(FcForm form, double a, double b, double xt);
// Ft of a form for one observed frequency.
long double ShapeFt(FtForm form, long double fr);

}  // namespace tavorix
