// The example input files of Data/ read back with the sizes and ranges of
// the public series they were made from.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/DataPreparation.h"
#include "core/UDMTavorix.h"

namespace tavorix {
namespace {

struct Example {
  const char* Name;
  int N;
  double Min, Max;
};

// Sizes and extremes of the source series.
const Example kExamples[] = {
    {"precip", 70, 7.0, 67.0},          {"rivers", 141, 135, 3710},
    {"lakehuron", 98, 575.96, 581.86},  {"lakehuron_anomaly", 98, -3.04, 2.86},
    {"quakes_mag", 1000, 4.0, 6.4},     {"venice_max", 51, 78, 194},
    {"failure", 24, 6.0, 153.2},        {"nhtemp", 60, 47.9, 54.6},
    {"treering", 7980, 0.0, 1.908},
};

class ExampleFile : public ::testing::TestWithParam<Example> {};

TEST_P(ExampleFile, ReadsWithItsSizeAndRange) {
  const Example& e = GetParam();
  TDMTavorix dm;
  dm.FileName = std::string(TAVORIX_EXAMPLES_DIR) + "/" + e.Name + ".inp";
  dm.ReadInputFile();
  ASSERT_EQ(dm.NrOfData, e.N);
  EXPECT_FALSE(dm.Title1.empty());
  EXPECT_FALSE(dm.Title2.empty());
  EXPECT_EQ(static_cast<double>(*std::min_element(dm.Values.begin(), dm.Values.end())), e.Min);
  EXPECT_EQ(static_cast<double>(*std::max_element(dm.Values.begin(), dm.Values.end())), e.Max);

  PreparedRun run;
  PrepareData(run, dm);
  EXPECT_EQ(run.N, e.N);
  EXPECT_FALSE(run.Shifted);
  if (e.Min < 0) {
    EXPECT_EQ(run.Shift, e.Min);
  } else {
    EXPECT_EQ(run.Shift, 0.0001);
  }
}

INSTANTIATE_TEST_SUITE_P(Data, ExampleFile, ::testing::ValuesIn(kExamples),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace tavorix
