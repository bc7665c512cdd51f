#include "fitting/StudentFit.h"

#include <cmath>
#include <numbers>

#include "fitting/LineFits.h"

namespace tavorix {

StudentChoice ChooseStudent(double ss1, double ss2, double sumAbs1, double sumAbs2) {
  StudentChoice c;
  c.Code = 62;
  if (ss2 < ss1) c.Code = 63;
  c.Score62 = sumAbs1;
  if (ss2 < sumAbs1) c.Code = 63;
  c.Score63 = c.Code == 63 ? sumAbs2 : ss2;
  return c;
}

int FitStudent(TavorixRun& run, FitWorkspace& ws) {
  ws.Line.N = ws.N;
  // Only the mean and spread of the data are used (taken in the run's
  // precision); the frequencies stand in for Ft.
  Regression(ws.Line, run.X.data(), run.Fr.data());
  const double mean = ws.Line.MeanXt;
  const double spread = ws.Line.SdXt;

  long double ss1 = 0, ss2 = 0, abs1 = 0, abs2 = 0;
  for (int i = 1; i <= ws.N; ++i) {
    const double y = (ws.X[i] - mean) / spread;
    const double d1 = ws.Fr[i] - (std::atan(y) / std::numbers::pi + 0.5);
    const double d2 = ws.Fr[i] - 0.5 * (1.0 + y / std::sqrt(y * y + 2.0));
    ss1 += d1 * d1;
    ss2 += d2 * d2;
    abs1 += std::fabs(d1);
    abs2 += std::fabs(d2);
  }
  const StudentChoice choice =
      ChooseStudent(static_cast<double>(ss1), static_cast<double>(ss2), static_cast<double>(abs1),
                    static_cast<double>(abs2));

  for (int code : {62, 63}) {
    FitSlot& slot = run.Slots[code];
    slot = FitSlot{};
    slot.Ran = true;
    slot.HasResult = true;
    slot.Score = code == 62 ? choice.Score62 : choice.Score63;
    slot.P.Student.Mean = mean;
    slot.P.Student.Spread = spread;
    slot.Listed = run.BestOfAll() && code == choice.Code;
  }
  return choice.Code;
}

}  // namespace tavorix
