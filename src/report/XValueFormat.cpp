#include "report/XValueFormat.h"

#include <algorithm>
#include <cmath>

#include "core/NumberFormat.h"

namespace tavorix {

bool IsTinyData(const TavorixRun& run) {
  if (run.N < 1) return false;
  double largest = 0;
  for (int i = 1; i <= run.N; ++i) largest = std::fmax(largest, std::fabs(InputValueOf(run, run.X[i])));
  return largest < 0.01;
}

std::string FormatXNumber(double v, int width, int decimals, bool tiny) {
  if (!tiny) return FormatFixed(v, width, decimals);
  std::string s = FormatE3(v);
  if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), ' ');
  return s;
}

std::string FormatXValue(double v, int width, int decimals, bool tiny) {
  std::string s = FormatXNumber(v, width, decimals, tiny);
  if (tiny || static_cast<int>(s.size()) <= width) return s;
  s = FormatE3(v);
  s.insert(0, std::max<int>(1, width - static_cast<int>(s.size())), ' ');
  return s;
}

}  // namespace tavorix
