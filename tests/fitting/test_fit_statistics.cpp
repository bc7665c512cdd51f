// Goodness-of-fit statistics: hand-checked small cases, a check against an
// independent implementation on a real series, and the statistics of every
// fit of a whole engine run.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FitTestSupport.h"
#include "fitting/Registry.h"
#include "fitting/FitAll.h"
#include "fitting/FitStatistics.h"

namespace tavorix {
namespace {

// F_i = (i - 1/2)/N, the frequencies of a uniform distribution fitted to the
// data 1..N: D = 1/(2N), W2 = 1/(12N); for N = 4 by hand
// A2 = -4 - (2/4)(ln 1/8 + 3 ln 3/8 + 5 ln 5/8 + 7 ln 7/8) = 0.1533336.
TEST(FitStatistics, UniformFrequenciesGiveTheirKnownValuesInAnyOrder) {
  std::vector<double> f = {0.875, 0.125, 0.625, 0.375};
  const GoodnessOfFit g = GoodnessOfFitOf(f);
  EXPECT_NEAR(g.KsD, 0.125, 1e-12);
  EXPECT_NEAR(g.CvmW2, 1.0 / 48.0, 1e-12);
  EXPECT_NEAR(g.AdA2, 0.1533336, 1e-6);
}

// One frequency moved up by 0.05: D grows by it, W2 by its square, and A2
// follows the two logarithms that hold it (by hand: 0.1636883).
TEST(FitStatistics, OneFrequencyOffByAKnownAmount) {
  std::vector<double> f = {0.125, 0.425, 0.625, 0.875};
  const GoodnessOfFit g = GoodnessOfFitOf(f);
  EXPECT_NEAR(g.KsD, 0.125 + 0.05, 1e-12);
  EXPECT_NEAR(g.CvmW2, 1.0 / 48.0 + 0.0025, 1e-12);
  EXPECT_NEAR(g.AdA2, 0.1636883, 1e-6);
}

TEST(FitStatistics, FrequenciesOfZeroAndOneAreClippedForA2) {
  std::vector<double> f = {0.0, 0.5, 1.0};
  const GoodnessOfFit g = GoodnessOfFitOf(f);
  // ln 1e-12 where the logarithm of 0 would stand: by hand 16.80698.
  EXPECT_NEAR(g.AdA2, 16.80698, 1e-5);
  EXPECT_NEAR(g.KsD, 1.0 / 3.0, 1e-12);
}

// SciPy's statistics for three distributions on the Venice series, with the
// same parameters, through the whole path: result slot, take-over, fitted
// curve, statistics, ranked-list order.
TEST(FitStatistics, AgreeWithAnIndependentImplementationOnARealSeries) {
  std::ifstream in(std::string(TAVORIX_TEST_DATA_DIR) + "/fit_statistics_independent.txt");
  ASSERT_TRUE(in) << "fixture missing";
  std::vector<double> data;
  struct Expected {
    int Code;
    double A, B, D, A2, W2;
  };
  std::vector<Expected> fits;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::string kind;
    s >> kind;
    if (kind == "data") {
      for (double v; s >> v;) data.push_back(v);
    } else if (kind == "fit") {
      Expected e{};
      s >> e.Code >> e.A >> e.B >> e.D >> e.A2 >> e.W2;
      fits.push_back(e);
    }
  }
  ASSERT_EQ(data.size(), 51u);
  ASSERT_EQ(fits.size(), 3u);

  TavorixRun run = testing::MakeRun(data);
  double average = 3.0;
  for (const Expected& e : fits) {
    FitSlot& slot = run.Slots[e.Code];
    slot.Ran = slot.HasResult = slot.Listed = true;
    slot.P.Line = {e.A, e.B};  // 4, 53 and 64: line codes
    // Listed in falling averages: the file order is the reverse.
    run.RankedList.push_back({e.Code, std::string(ListName(e.Code)), average});
    average -= 1.0;
  }
  const std::vector<RankedFitStatistics> rows = RankedFitsWithStatistics(run);
  ASSERT_EQ(rows.size(), 3u);
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const Expected& e = fits[fits.size() - 1 - k];
    SCOPED_TRACE(e.Code);
    EXPECT_EQ(rows[k].Rank, static_cast<int>(k) + 1);
    EXPECT_EQ(rows[k].Code, e.Code);
    EXPECT_NEAR(rows[k].Statistics.KsD, e.D, 1e-9);
    EXPECT_NEAR(rows[k].Statistics.AdA2, e.A2, 1e-7 * std::max(1.0, e.A2));
    EXPECT_NEAR(rows[k].Statistics.CvmW2, e.W2, 1e-9);
  }
}

// A whole best-of-all run: every ranked fit has statistics within their
// mathematical bounds, and the chosen distribution's equal its own row.
TEST(FitStatistics, EveryFitOfARunHasStatisticsAndTheChosenOneMatchesItsRow) {
  std::vector<double> values;
  for (int r = 1; r <= 40; ++r) values.push_back(10.0 + 3.0 * std::log(r + 2.0) + 0.1 * (r % 3));
  TavorixRun run = testing::MakeRun(values);
  run.FitThreads = 1;
  FitAllDistributions(run);
  const auto rows = RankedFitsWithStatistics(run);
  ASSERT_EQ(rows.size(), run.RankedList.size());
  ASSERT_GT(rows.size(), 20u);
  const double n = run.N;
  bool chosenSeen = false;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Code);
    EXPECT_GE(row.Statistics.KsD, 1.0 / (2 * n) - 1e-12);
    EXPECT_LE(row.Statistics.KsD, 1.0);
    EXPECT_GE(row.Statistics.CvmW2, 1.0 / (12 * n) - 1e-12);
    EXPECT_TRUE(std::isfinite(row.Statistics.AdA2));
    if (row.Code == run.Fitted.DistCode) {
      chosenSeen = true;
      const GoodnessOfFit chosen = ChosenFitStatistics(run);
      EXPECT_DOUBLE_EQ(chosen.KsD, row.Statistics.KsD);
      EXPECT_DOUBLE_EQ(chosen.AdA2, row.Statistics.AdA2);
      EXPECT_DOUBLE_EQ(chosen.CvmW2, row.Statistics.CvmW2);
    }
  }
  EXPECT_TRUE(chosenSeen);
  // The best average fits far better than the worst by D as well.
  EXPECT_LT(rows.front().Statistics.KsD, 0.2);
}

}  // namespace
}  // namespace tavorix
