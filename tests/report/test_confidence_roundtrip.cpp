// The confidence stage on real fits: with the calculated frequencies of the
// fitted curve itself (unrounded), the calculated X of every rank is the
// datum again, in input units, for every preferable row of the registry.
#include <gtest/gtest.h>

#include <cmath>

#include "fitting/FitAll.h"
#include "fitting/FittedCurve.h"
#include "fitting/FittedModel.h"
#include "report/ConfidenceStage.h"
#include "report/ConfidenceTestSupport.h"
#include "report/XValueFormat.h"

namespace tavorix {
namespace {

// Gumbel quantiles (A = 0.5, B = -2) moved down by 5: negative data, so the
// run moves them and every result must be converted back.
std::vector<double> NegativeSkewedData(int n) {
  return testing::QuantilesAtPlottingPositions(n, [](double f) { return -(std::log(-std::log(f)) - 2.0) / 0.5 - 5.0; });
}

std::vector<ReportTableRow> RowsOfFittedCurve(const TavorixRun& run) {
  std::vector<ReportTableRow> rows(run.N);
  for (int i = 1; i <= run.N; ++i) {
    ReportTableRow& r = rows[i - 1];
    r.X = InputValueOf(run, run.X[i]);
    r.Serial = run.SerialOfRank[i];
    r.Calc = r.Lower = r.Upper = 100.0 * static_cast<double>(run.FcCalc[i]);
  }
  return rows;
}

// Step of the normal scan's grid for the run's range.
double ScanStep(const TavorixRun& run, const std::vector<ReportTableRow>& rows) {
  const XRange r = FindXRange(run, rows);
  if (r.Max > 0 && r.Min >= 0) return 0.001 * r.Max;
  return 11.0 * (r.Max - r.Min) / 10000.0;
}

// The preference text of every row that has one ("62" lets the Student fit
// choose between its two forms).
std::vector<std::string> Preferences() {
  std::vector<std::string> texts;
  for (const DistributionInfo& d : Registry())
    if (!d.Preference.empty()) texts.emplace_back(d.Preference);
  return texts;
}

class FittedRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(FittedRoundTrip, CalculatedXGivesTheDataBack) {
  TavorixRun run = testing::MakeMovedRun(NegativeSkewedData(30));
  ASSERT_LT(run.Shift, 0);
  run.PreferredCode = GetParam();
  run.CompositeOn = true;
  FitAllDistributions(run);
  const int code = run.Fitted.DistCode;
  ASSERT_NE(code, 0) << GetParam();
  EvaluateFittedCurve(run);
  const auto rows = RowsOfFittedCurve(run);
  const CalculatedX cx = ComputeCalculatedX(run, rows);
  const FittedModel model(run.Fitted, run.Shift);
  const bool normal = model.IsNormalFamily();
  const double step = normal ? ScanStep(run, rows) : 0.0;
  int checked = 0;
  for (int i = 1; i <= run.N; ++i) {
    const double f = static_cast<double>(run.FcCalc[i]);
    if (!(f > 0.0011 && f < 0.9989)) continue;  // at the evaluation's limits: no unique X
    // The generalized Laplace is flat at 0.5 above its lower half's end
    // where X^E2 has not yet passed the mode: X there is that end.
    if (code == 73 && f == 0.5) {
      const InverseResult end = model.Inverse(0.5, CompositePart::Lower);
      ASSERT_TRUE(end.Ok);
      EXPECT_NEAR(cx.CalcX[i], model.ToInput(end.X), 1e-9 * (1 + std::fabs(end.X))) << "rank " << i;
      EXPECT_LE(cx.CalcX[i], rows[i - 1].X + 1e-9) << "rank " << i;
      continue;
    }
    ++checked;
    if (!normal) {
      EXPECT_NEAR(cx.CalcX[i], rows[i - 1].X, 1e-6 * (1 + std::fabs(rows[i - 1].X)))
          << "code " << code << " rank " << i << " Fc " << f;
      continue;
    }
    // The scan returns the first grid point above the datum's transformed
    // value: within one step of it.
    const double above =
        model.Transformed(model.ToMoved(cx.CalcX[i])) - model.Transformed(static_cast<double>(run.X[i]));
    EXPECT_GT(above, -1e-9) << "code " << code << " rank " << i;
    EXPECT_LE(above, step * (1 + 1e-6)) << "code " << code << " rank " << i;
  }
  EXPECT_GT(checked, run.N / 2) << code;
}

INSTANTIATE_TEST_SUITE_P(Registry, FittedRoundTrip, ::testing::ValuesIn(Preferences()),
                         [](const auto& info) { return "Preferred" + info.param; });

}  // namespace
}  // namespace tavorix
