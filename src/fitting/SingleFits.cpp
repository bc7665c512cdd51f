// Dispatch of the single fits by code, through the registry.
#include "fitting/FitAll.h"
#include "fitting/Registry.h"

namespace tavorix {

void RunSingleFit(TavorixRun& run, FitWorkspace& ws, int code) {
  const DistributionInfo* d = FindDistribution(code);
  if (d && d->Kind == DistKind::Single && d->Fit) d->Fit(run, ws, code);
}

}  // namespace tavorix
