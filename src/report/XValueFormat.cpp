#include "report/XValueFormat.h"

#include <cmath>

#include "core/NumberFormat.h"

namespace tavorix {

bool IsTinyData(const TavorixRun& run) {
  if (run.N < 1) return false;
  double largest = 0;
  for (int i = 1; i <= run.N; ++i) largest = std::fmax(largest, std::fabs(InputValueOf(run, run.X[i])));
  return largest < 0.01;
}

std::string FormatXValue(double v, int width, int decimals, bool tiny) {
  if (!tiny) return FormatFixed(v, width, decimals);
  std::string s = FormatE3(v);
  if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), ' ');
  return s;
}

}  // namespace tavorix
