#pragma once
// The shape of a single distribution whose parameters come from one straight
// line through transformed frequencies (a column of its registry row):
//   Ft = a transform of the observed frequencies,
//   Xt = X, ln X or X^E (the generalized forms scan E first),
//   a line through (Xt, Ft), slope A and intercept B,
//   Fc = the form's function of A*Xt + B with its overflow guard.
// RegressionFits.cpp fits every row that has one.

namespace tavorix {

// Transform of the observed frequency Fr into the line's Ft.
enum class FtForm {
  NegLnOneMinusFr,     // -ln(1 - Fr)
  NegLnNegLnFr,        // -ln(-ln Fr)
  NegLnNegLnOneMinus,  // -ln(-ln(1 - Fr))
  LnOddsInverse,       // ln(1/Fr - 1)
  LnNegLnOneMinus,     // ln(-ln(1 - Fr)), Fr clipped to [0.001, 0.999]
  LnNegLnFr,           // ln(-ln Fr), Fr clipped to [0.001, 0.999]
  TanCentred,          // tan(pi (Fr - 0.5))
  NegLnFr,             // -ln Fr, Fr <= 0 taken as 0.001
};

// Transform of the data into the line's Xt.
enum class XtForm { X, LnX, PowerE };

// Calculated frequency as a function of z = A*Xt + B, with the guards.
enum class FcForm {
  ExponentialGeneralized,  // 1 - e^-(z), 8 when -(z) >= 8; final clip to [0.001, 0.999]
  Exponential,             // 1 - e^(-A X), 8 when -A X >= 8; no clip
  Gumbel,                  // exp(-exp(-z)), z clipped to [-8, 8]
  GumbelMirrored,          // 1 - exp(-exp(-z)), z clipped
  Logistic,                // 1/(1 + e^z)
  Weibull,                 // 1 - e^-w, w = (X/C)^A = e^z capped at 8
  WeibullMirrored,         // e^-w, w as for Weibull
  Cauchy,                  // 0.5 + arctan(z)/pi
  ExponentialMirrored,     // e^-(z), 8 when -(z) >= 8; final clip to [0.001, 0.999]
};

enum class LineForm { LeastSquares, Ratio };

struct RegressionShape {
  FtForm Ft = FtForm::NegLnOneMinusFr;
  XtForm Xt = XtForm::X;
  FcForm Fc = FcForm::ExponentialGeneralized;
  LineForm Line = LineForm::LeastSquares;
  bool RecordsStdErrX = false;  // 1.28/A is the standard error of X (the Gumbel fits)
  bool KeepsScoreAtE1 = false;  // at E = 1 only unlisted, not scored 1000
};

}  // namespace tavorix
