// The calculator on the files of real fits: a public series is prepared and
// fitted with one preferred code, its parameter file written as a run writes
// it, and the calculator must give back at every datum the frequency that
// the fitted curve computed there, and, for the codes with a closed-form
// inverse, the datum from that frequency as the window prints it.
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
#include "report/ParameterFile.h"
#include "report/XValueFormat.h"

namespace tavorix {
namespace {

struct Case {
  const char* File;
  int Code;
};

class CalcOnFittedRun : public ::testing::TestWithParam<Case> {};

TEST_P(CalcOnFittedRun, GivesTheFittedFrequencyAtEveryDatumAndTheDatumBack) {
  const Case c = GetParam();
  test::TempDir dir;
  const std::string inp = dir.File("series.inp");
  std::filesystem::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/" + c.File, inp);

  TDMTavorix dm;
  dm.FileName = inp;
  TavorixRun run;
  PrepareData(run, dm);
  const DistributionInfo* info = FindDistribution(c.Code);
  ASSERT_NE(info, nullptr);
  run.PreferredCode = std::string(info->Preference);
  FitAllDistributions(run);
  // Student's preference takes the better of its two forms.
  if (c.Code == 62)
    ASSERT_TRUE(run.Fitted.DistCode == 62 || run.Fitted.DistCode == 63);
  else
    ASSERT_EQ(run.Fitted.DistCode, c.Code);
  EvaluateFittedCurve(run);
  {
    std::ofstream aux(dir.File("series.aux"), std::ios::binary);
    WriteParameterFile(aux, run.Fitted, run.Shift);
  }

  const CalcInputs in = ReadCalcInputs(dir.File("series.out"));
  ASSERT_EQ(in.Data.N, run.N);
  const bool invertible = c.Code < 20 || c.Code > 26;
  int compared = 0;
  for (int r = 1; r <= run.N; ++r) {
    const double x = InputValueOf(run, run.X[r]);
    const double fitted = static_cast<double>(run.FcCalc[r]);
    // Only where no clamp of either side applies.
    if (!(fitted > 0.001 && fitted < 0.999)) continue;
    ++compared;
    const FrequencyResult fr = CalcFrequent(in.Param, in.Data.N, x);
    ASSERT_NEAR(fr.F, fitted, 1e-9) << "rank " << r << " x " << x;
    if (!invertible) continue;
    TDecimalSettings settings;
    const double printed = ParseCalcFrequency(FormatGeneral(fr.F), settings);
    const ValueResult vr = CalcVal(in.Param, in.Data, printed);
    ASSERT_TRUE(vr.X.has_value()) << "rank " << r;
    ASSERT_NEAR(*vr.X, x, 1e-7 * std::max(1.0, std::fabs(x))) << "rank " << r;
  }
  EXPECT_GT(compared, run.N / 2) << "code " << run.Fitted.DistCode;
}

// Series with positive values (temperatures, river lengths) and with
// negative values (lake level anomalies, so Shift is negative). Among them
// the closed-form codes 4, 5, 6, 53, 54, 57, 60, 64, 68 and composites.
INSTANTIATE_TEST_SUITE_P(
    PreferredFits, CalcOnFittedRun,
    ::testing::Values(Case{"nhtemp.inp", 4}, Case{"lakehuron_anomaly.inp", 4}, Case{"nhtemp.inp", 5},
                      Case{"rivers.inp", 6}, Case{"lakehuron_anomaly.inp", 53}, Case{"nhtemp.inp", 54},
                      Case{"nhtemp.inp", 56}, Case{"lakehuron_anomaly.inp", 57}, Case{"nhtemp.inp", 60},
                      Case{"lakehuron_anomaly.inp", 64}, Case{"nhtemp.inp", 68}, Case{"nhtemp.inp", 3},
                      Case{"nhtemp.inp", 51}, Case{"lakehuron_anomaly.inp", 55}, Case{"nhtemp.inp", 58},
                      Case{"nhtemp.inp", 35}, Case{"nhtemp.inp", 33}, Case{"lakehuron_anomaly.inp", 59},
                      Case{"nhtemp.inp", 67}, Case{"nhtemp.inp", 31}, Case{"nhtemp.inp", 32},
                      Case{"nhtemp.inp", 34}, Case{"nhtemp.inp", 36}, Case{"nhtemp.inp", 62},
                      Case{"lakehuron_anomaly.inp", 62}, Case{"nhtemp.inp", 65}, Case{"nhtemp.inp", 66},
                      Case{"nhtemp.inp", 69}, Case{"nhtemp.inp", 73}, Case{"lakehuron_anomaly.inp", 9},
                      Case{"nhtemp.inp", 16}, Case{"nhtemp.inp", 71}, Case{"lakehuron_anomaly.inp", 84},
                      Case{"nhtemp.inp", 20}, Case{"nhtemp.inp", 23}, Case{"nhtemp.inp", 26}),
    [](const ::testing::TestParamInfo<Case>& i) {
      std::string name = std::string(i.param.File).substr(0, std::string(i.param.File).find('.'));
      return name + "_" + std::to_string(i.param.Code);
    });

}  // namespace
}  // namespace tavorix
