#include "fitting/ExponentScan.h"

namespace tavorix {

double SnapExponent(double e) {
  // The comparisons are made in extended precision: the double nearest 0.21
  // lies below the extended 0.21, which sends scan step 2 to E = 1.
  const long double x = e;
  if (x < 0.21L || x > 2.98L) return 1.0;
  if (x > 0.95L && x < 1.05L) return 1.0;
  return e;
}

double ScanExponent(int kBest) {
  const double e = static_cast<double>(0.19L + 0.01L * kBest);
  return SnapExponent(e);
}

}  // namespace tavorix
