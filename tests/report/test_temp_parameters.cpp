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

TavorixRun RunWith(int n, int code, double shift = 0.0001) {
  TavorixRun run;
  run.N = n;
  run.Shift = shift;
  run.Fitted.DistCode = code;
  run.Fitted.ParA = 8.0;  // leftovers that codes without A must not show
  run.Fitted.ParB = 9.0;
  return run;
}

TEST(TempParameters, GoldenFilesOfGumbelExponentialNormalAndGamma) {
  TavorixRun gumbel = RunWith(20, 4);
  gumbel.Fitted.ParA = 1.5;
  gumbel.Fitted.ParB = -2.25;
  TavorixRun exponential = RunWith(7, 6, -2.0);
  exponential.Fitted.ParA = 0.125;
  TavorixRun normal = RunWith(120, 20);
  normal.Fitted.P.Mean = 10.5;
  normal.Fitted.P.Sigma = 2.5;
  normal.Fitted.P.Sigma0 = 2.4;  // the plain sd is not the one used
  TavorixRun gamma = RunWith(2500, 61);
  gamma.Fitted.P.A = 0.75;
  gamma.Fitted.P.Terms = 3;
  const std::pair<const char*, const TavorixRun*> cases[] = {
      {"temp_gumbel.txt", &gumbel}, {"temp_exponential.txt", &exponential},
      {"temp_normal.txt", &normal}, {"temp_gamma.txt", &gamma}};
  for (const auto& [file, run] : cases) {
    const std::string golden = test::ReadFile(std::string(TAVORIX_TEST_DATA_DIR) + "/golden/" + file);
    ASSERT_FALSE(golden.empty()) << file;
    EXPECT_TRUE(test::SameBytes(golden, Written(*run))) << file;
  }
}

TEST(TempParameters, StudentWritesOnesAndCodesOfTheirOwnWriteNoParameters) {
  EXPECT_EQ(Written(RunWith(50, 63)), "  50\r\n 63\r\n 1.00000000000000E-0004\r\n 1.00000000000000E+0000\r\n"
                                      " 1.00000000000000E+0000\r\n");
  for (int code : {9, 31, 36, 67, 73}) EXPECT_EQ(Written(RunWith(50, code)).size(), 6u + 5u + 25u) << code;
}

}  // namespace
}  // namespace tavorix
