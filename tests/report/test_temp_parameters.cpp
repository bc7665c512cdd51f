// The run summary "Temp.tmp": N, code, Shift and the code's parameter lines.
#include <gtest/gtest.h>

#include <sstream>

#include "core/TestUtil.h"
#include "report/TempParameters.h"

namespace tavorix {
namespace {

std::string Written(const TavorixRun& run) {
  std::ostringstream out;
  WriteTempParameters(out, run);
  return out.str();
}

std::string Golden(const std::string& name) {
  return test::ReadFile(std::string(TAVORIX_TEST_DATA_DIR) + "/golden/" + name);
}

TEST(TempParameters, GumbelWritesSlopeAndIntercept) {
  TavorixRun run;
  run.N = 20;
  run.Fitted.DistCode = 4;
  run.Fitted.ParA = 1.5;
  run.Fitted.ParB = -2.25;
  EXPECT_TRUE(test::SameBytes(Golden("temp_gumbel.txt"), Written(run)));
}

TEST(TempParameters, ExponentialWritesTheSlopeOnly) {
  TavorixRun run;
  run.N = 7;
  run.Shift = -2.0;
  run.Fitted.DistCode = 6;
  run.Fitted.ParA = 0.125;
  run.Fitted.ParB = 9.0;
  EXPECT_TRUE(test::SameBytes(Golden("temp_exponential.txt"), Written(run)));
}

TEST(TempParameters, NormalWritesMeanAndTheStandardDeviationUsed) {
  TavorixRun run;
  run.N = 120;
  run.Fitted.DistCode = 20;
  run.Fitted.ParA = 3.0;
  run.Fitted.P.Mean = 10.5;
  run.Fitted.P.Sigma = 2.5;
  run.Fitted.P.Sigma0 = 2.4;
  EXPECT_TRUE(test::SameBytes(Golden("temp_normal.txt"), Written(run)));
}

TEST(TempParameters, GammaWritesScaleAndTermCount) {
  TavorixRun run;
  run.N = 2500;
  run.Fitted.DistCode = 61;
  run.Fitted.ParA = 8.0;
  run.Fitted.P.A = 0.75;
  run.Fitted.P.Terms = 3;
  EXPECT_TRUE(test::SameBytes(Golden("temp_gamma.txt"), Written(run)));
}

TEST(TempParameters, StudentWritesOnesAndCodesOfTheirOwnWriteNoParameters) {
  TavorixRun run;
  run.N = 50;
  run.Fitted.DistCode = 63;
  run.Fitted.ParA = 4.0;
  EXPECT_EQ(Written(run), "  50\r\n 63\r\n 1.00000000000000E-0004\r\n 1.00000000000000E+0000\r\n"
                          " 1.00000000000000E+0000\r\n");
  for (int code : {9, 31, 36, 67, 73}) {
    run.Fitted.DistCode = code;
    EXPECT_EQ(Written(run).size(), 6u + 5u + 25u) << code;
  }
}

}  // namespace
}  // namespace tavorix
