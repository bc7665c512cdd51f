// The calculator on the files of real fits: public series are prepared and
// fitted with each preferable row of the registry, the parameter file
// written as a run writes it, and the calculator must give back at every
// datum the frequency that the fitted curve computed there, and, but for the
// normal family, the datum from that frequency as the window prints it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "calculator/Calculator.h"
#include "core/DataPreparation.h"
#include "core/NumberFormat.h"
#include "core/TestUtil.h"
#include "core/UDMTavorix.h"
#include "fitting/Registry.h"
#include "fitting/FitAll.h"
#include "fitting/FittedCurve.h"
#include "fitting/FittedModel.h"
#include "report/ParameterFile.h"
#include "report/XValueFormat.h"

namespace tavorix {
namespace {

// Counts of the data of one series that the checks reached.
struct Compared {
  int N = 0, Frequencies = 0, Values = 0;
};

// Fits the series with the row preferred and compares the calculator with
// the fitted curve at every datum where no clamp of either side applies.
Compared CompareOnSeries(const DistributionInfo& row, const char* file) {
  test::TempDir dir;
  const std::string inp = dir.File("series.inp");
  std::filesystem::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/" + file, inp);
  TDMTavorix dm;
  dm.FileName = inp;
  TavorixRun run;
  PrepareData(run, dm);
  run.PreferredCode = std::string(row.Preference);
  FitAllDistributions(run);
  // Student's preference takes the better of its two forms.
  const DistributionInfo* chosen = FindDistribution(run.Fitted.DistCode);
  EXPECT_TRUE(chosen && (chosen == &row || chosen->FittedWith == row.Code)) << run.Fitted.DistCode;
  if (!chosen) return {};
  EvaluateFittedCurve(run);
  {
    std::ofstream aux(dir.File("series.aux"), std::ios::binary);
    WriteParameterFile(aux, run.Fitted, run.Shift);
  }
  const CalcInputs in = ReadCalcInputs(dir.File("series.out"));
  EXPECT_EQ(in.Data.N, run.N);
  const FittedModel model(run.Fitted, run.Shift);
  Compared c{run.N};
  for (int r = 1; r <= run.N; ++r) {
    const double x = InputValueOf(run, run.X[r]);
    const double fitted = static_cast<double>(run.FcCalc[r]);
    if (!(fitted > 0.001 && fitted < 0.999)) continue;
    // The curve takes a composite's part by rank, the calculator by X: a
    // tie at the separation point may lie in the other part.
    if (model.IsComposite() && model.InLowerPart(model.ToMoved(x)) != (r <= run.Fitted.P.Composite.BreakCount))
      continue;
    ++c.Frequencies;
    const FrequencyResult fr = CalcFrequent(in.Param, in.Data.N, x);
    EXPECT_NEAR(fr.F, fitted, 1e-9) << "rank " << r << " x " << x;
    if (model.IsNormalFamily()) continue;
    TDecimalSettings settings;
    const double printed = ParseCalcFrequency(FormatGeneral(fr.F), settings);
    const ValueResult vr = CalcVal(in.Param, in.Data, printed);
    EXPECT_TRUE(vr.X.has_value()) << "rank " << r;
    if (!vr.X) continue;
    // The datum, or where F is flat an X of the same frequency.
    const bool datum = std::fabs(*vr.X - x) <= 1e-7 * std::max(1.0, std::fabs(x));
    const bool sameF = std::fabs(CalcFrequent(in.Param, in.Data.N, *vr.X).F - printed) <= 1e-9;
    EXPECT_TRUE(datum || sameF) << "rank " << r << " x " << x << " back " << *vr.X;
    c.Values += datum;
  }
  return c;
}

class CalcOnFittedRun : public ::testing::TestWithParam<const DistributionInfo*> {};

// Every preferable row on series with positive values (temperatures, river
// lengths) and with negative values (lake level anomalies, so Shift is
// negative).
TEST_P(CalcOnFittedRun, GivesTheFittedFrequencyAtEveryDatumAndTheDatumBack) {
  const DistributionInfo& row = *GetParam();
  int n = 0, frequencies = 0, values = 0;
  for (const char* file : {"nhtemp.inp", "lakehuron_anomaly.inp", "rivers.inp"}) {
    SCOPED_TRACE(file);
    const Compared c = CompareOnSeries(row, file);
    n += c.N, frequencies += c.Frequencies, values += c.Values;
  }
  EXPECT_GT(frequencies, n / 2);
  // The normal family inverts by its scans: not to the datum's digits.
  if (row.Kind != DistKind::NormalFamily) {
    EXPECT_GT(values, frequencies / 2);
  }
}

std::vector<const DistributionInfo*> PreferableRows() {
  std::vector<const DistributionInfo*> rows;
  for (const DistributionInfo& d : Registry())
    if (!d.Preference.empty()) rows.push_back(&d);
  return rows;
}

INSTANTIATE_TEST_SUITE_P(Registry, CalcOnFittedRun, ::testing::ValuesIn(PreferableRows()),
                         [](const auto& info) { return "Code" + std::to_string(info.param->Code); });

}  // namespace
}  // namespace tavorix
