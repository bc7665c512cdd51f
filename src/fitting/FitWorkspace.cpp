#include "fitting/FitWorkspace.h"

#include <cmath>

namespace tavorix {

void FitWorkspace::Prepare(const TavorixRun& run) {
  N = run.N;
  Cancel = run.Cancel;
  const std::size_t size = static_cast<std::size_t>(N) + 1;
  X.assign(size, 0.0);
  LnX.assign(size, 0.0);
  Fr.assign(size, 0.0);
  Xt.assign(size, 0.0);
  Ft.assign(size, 0.0);
  Fc.assign(size, 0.0);
  XWork.assign(size, 0.0);
  for (int i = 1; i <= N; ++i) {
    X[i] = static_cast<double>(run.X[i]);
    LnX[i] = X[i] > 0 ? static_cast<double>(std::log(run.X[i])) : 0.0;
    Fr[i] = static_cast<double>(run.Fr[i]);
  }
  Line = LineState{};
  Line.N = N;
}

}  // namespace tavorix
