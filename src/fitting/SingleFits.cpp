// Dispatch of the single fits by code.
#include "fitting/BurrDagumFits.h"
#include "fitting/FiskFit.h"
#include "fitting/FitAll.h"
#include "fitting/GammaFit.h"
#include "fitting/GevFit.h"
#include "fitting/GompertzFit.h"
#include "fitting/KumaraswamyFit.h"
#include "fitting/LaplaceFits.h"
#include "fitting/LocationFits.h"
#include "fitting/RayleighFit.h"
#include "fitting/RegressionFits.h"
#include "fitting/StudentFit.h"

namespace tavorix {

void RunSingleFit(TavorixRun& run, FitWorkspace& ws, int code) {
  if (FindRegressionShape(code)) {
    FitByRegression(code, run, ws);
    return;
  }
  switch (code) {
    case 31: FitBurr(run, ws); break;
    case 32: FitDagum(run, ws); break;
    case 33: FitFisherTippett3Mirrored(run, ws); break;
    case 34: FitGompertz(run, ws); break;
    case 35: FitFrechetMirrored(run, ws); break;
    case 36: FitKumaraswamy(run, ws); break;
    case 56: FitFisk(run, ws); break;
    case 58: FitFrechet(run, ws); break;
    case 59: FitFisherTippett3(run, ws); break;
    case 61: FitGamma(run, ws); break;
    case 62: FitStudent(run, ws); break;
    case 67: FitGev(run, ws); break;
    case 68: FitLaplace(run, ws); break;
    case 69: FitRayleigh(run, ws); break;
    case 73: FitLaplaceGeneralized(run, ws); break;
    default: break;
  }
}

}  // namespace tavorix
