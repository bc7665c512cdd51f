#pragma once
// The single distributions whose parameters come from one straight line
// through transformed frequencies: every registry row with a regression
// shape (RegressionShape.h). The fit is written once here. It assumes ws.Prepare(run) was called for the run and fills
// run.Slots[code]: Ran, HasResult, Score (final sum of |Fr - Fc|), P.Line
// (P.PowerLine for the scanned forms), StdErrX = 1.28/A where the shape says so,
// and Listed when the fit writes its ranked-list entry.

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"
#include "fitting/RegressionShape.h"

namespace tavorix {

// Runs the fit of a code whose registry row has a regression shape.
void FitByRegression(int code, const RegressionShape& shape, TavorixRun& run, FitWorkspace& ws);

// Calculated frequency of a form at one transformed value, as the search
// evaluates it (overflow guards, no final clipping).
double ShapeFc(FcForm form, double a, double b, double xt);
// The same with the clipping of the final evaluation (3 and 66).
double ShapeFinalFc(FcForm form, double a, double b, double xt);
// Ft of a form for one observed frequency.
long double ShapeFt(FtForm form, long double fr);

}  // namespace tavorix
