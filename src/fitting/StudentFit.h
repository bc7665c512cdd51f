#pragma once
// Student's t-distribution with 1 and 2 degrees of freedom (codes 62, 63),
// standardised by the mean and spread of the data. There is no parameter
// search: both forms are evaluated once and a fixed rule picks one of them.

#include "fitting/TavorixRun.h"
#include "fitting/FitWorkspace.h"

namespace tavorix {

struct StudentChoice {
  int Code = 62;       // the form that is listed (and taken when preferred)
  double Score62 = 0;  // always the absolute misfit of 1 d.f.
  double Score63 = 0;  // absolute misfit of 2 d.f. when chosen, else its squared misfit
};

// The choice from the squared (ss) and absolute (sumAbs) misfits of the two
// forms, in its fixed order: 63 when ss2 < ss1, and 63 as well when
// ss2 < sumAbs1. When 62 stays, the slot of 63 keeps ss2, which is then not
// below sumAbs1, so 63 cannot outrank 62.
StudentChoice ChooseStudent(double ss1, double ss2, double sumAbs1, double sumAbs2);

// Fits both forms into run.Slots[62] and [63] (P.Student: mean and
// spread of the data, from Regression); only the chosen one is Listed (best
// of all only). Returns the chosen code.
int FitStudent(TavorixRun& run, FitWorkspace& ws);

}  // namespace tavorix
