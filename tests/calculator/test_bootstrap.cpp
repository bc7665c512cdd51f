// The parametric bootstrap: replicas prepared as a run prepares its data,
// intervals that cover the true X as often as they claim, p-values that are
// not small for data of the fitted distribution, the same numbers whatever
// the number of threads, and failed replicas counted.
#include "calculator/Bootstrap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <sstream>
#include <vector>

#include "core/DataPreparation.h"
#include "core/TavorixError.h"
#include "core/UDMTavorix.h"
#include "fitting/Sampling.h"

namespace tavorix {
namespace {

TEST(Bootstrap, ValuesArePreparedAsAnInputFileIs) {
  const std::vector<std::vector<double>> series = {
      {3, 1, 2, 2, 7.5, 1},                 // ties keep their order
      {-2, 0, 5, 0, 3.25, -1.5},            // negative data moved, zeros become 0.001
      {0.0002, 0.00025, 0.0003, 0.00021},   // tiny data moved to the left
  };
  for (const auto& values : series) {
    TDMTavorix dm;
    dm.FileName = "/data/p.inp";
    dm.Values.assign(values.begin(), values.end());
    dm.NrOfData = static_cast<int>(values.size());
    std::ostringstream file;
    dm.WriteInputFile(file);
    TDMTavorix read;
    std::istringstream in(file.str());
    read.ReadInputFile(in, "/data/p.inp");
    TavorixRun fromFile, fromValues;
    TDMTavorix prepared;
    std::istringstream again(file.str());
    PrepareData(fromFile, prepared, again, "/data/p.inp");
    PrepareValues(fromValues, std::vector<double>(read.Values.begin(), read.Values.end()));
    EXPECT_EQ(fromValues.N, fromFile.N);
    EXPECT_EQ(fromValues.X, fromFile.X);
    EXPECT_EQ(fromValues.Fr, fromFile.Fr);
    EXPECT_EQ(fromValues.SerialOfRank, fromFile.SerialOfRank);
    EXPECT_EQ(fromValues.Shift, fromFile.Shift);
    EXPECT_EQ(fromValues.Shifted, fromFile.Shifted);
  }
  TavorixRun run;
  EXPECT_THROW(PrepareValues(run, {1, 2, NAN}), TavorixError);
  EXPECT_THROW(PrepareValues(run, {1, 2, -2e6}), TavorixError);
}

TEST(Bootstrap, SortedQuantileInterpolatesBetweenNeighbours) {
  EXPECT_DOUBLE_EQ(SortedQuantile({1, 2, 3, 4, 5}, 0.5), 3);
  EXPECT_DOUBLE_EQ(SortedQuantile({1, 2, 3, 4, 5}, 0.05), 1.2);
  EXPECT_DOUBLE_EQ(SortedQuantile({1, 2, 3, 4, 5}, 1.0), 5);
  EXPECT_TRUE(std::isnan(SortedQuantile({}, 0.5)));
}

// A Gumbel sample of n values with F = exp(-exp(-(x - mu)/beta)).
std::vector<double> GumbelSample(int n, double mu, double beta, std::uint64_t seed) {
  std::mt19937_64 rng = ReplicaStream(seed, 0);
  std::vector<double> v(n);
  for (double& x : v) x = mu - beta * std::log(-std::log(UniformFrequency(rng)));
  return v;
}

// Gumbel samples of 50 with known parameters: the 90% interval of the
// 100-year X covers the true value about as often as it says, and the
// p-values of the fit statistics are spread over (0, 1), not piled up near 0.
TEST(Bootstrap, IntervalsCoverAndPValuesAreNotSmallForDataOfTheFittedCode) {
  constexpr int kTrials = 200;
  const double mu = 100, beta = 20;
  const double trueX100 = mu - beta * std::log(-std::log(0.99));
  BootstrapOptions options;
  options.Replicas = 200;
  options.Periods = {100};
  options.Jobs = 2;
  int covered = 0, smallKs = 0, smallAd = 0, smallCvm = 0;
  for (int trial = 0; trial < kTrials; ++trial) {
    const BootstrapSeries s = FitBootstrapSeries(GumbelSample(50, mu, beta, 1000 + trial), 4, false);
    options.Seed = static_cast<std::uint64_t>(trial);
    const BootstrapResult r = RunBootstrap(s, options);
    ASSERT_EQ(r.Failed, 0);
    ASSERT_EQ(r.Rows.size(), 1u);
    const BootstrapRow& row = r.Rows[0];
    ASSERT_TRUE(row.X);
    EXPECT_LE(row.Lower, *row.X);
    EXPECT_LE(*row.X, row.Upper);
    covered += row.Lower <= trueX100 && trueX100 <= row.Upper;
    smallKs += r.PKs < 0.01;
    smallAd += r.PAd < 0.01;
    smallCvm += r.PCvm < 0.01;
  }
  EXPECT_GE(covered, 0.80 * kTrials);
  EXPECT_LE(covered, 0.97 * kTrials);
  EXPECT_LT(smallKs, 0.05 * kTrials);
  EXPECT_LT(smallAd, 0.05 * kTrials);
  EXPECT_LT(smallCvm, 0.05 * kTrials);
}

void ExpectSameResults(const BootstrapResult& a, const BootstrapResult& b) {
  EXPECT_EQ(a.Failed, b.Failed);
  EXPECT_EQ(a.Chosen, b.Chosen);
  auto same = [](double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); };
  EXPECT_TRUE(same(a.PKs, b.PKs) && same(a.PAd, b.PAd) && same(a.PCvm, b.PCvm));
  ASSERT_EQ(a.Rows.size(), b.Rows.size());
  for (std::size_t k = 0; k < a.Rows.size(); ++k) {
    EXPECT_TRUE(same(a.Rows[k].Lower, b.Rows[k].Lower)) << "row " << k;
    EXPECT_TRUE(same(a.Rows[k].Upper, b.Rows[k].Upper)) << "row " << k;
    EXPECT_TRUE(same(a.Rows[k].Median, b.Rows[k].Median)) << "row " << k;
  }
}

TEST(Bootstrap, NumbersDependOnTheSeedNotOnTheThreads) {
  const BootstrapSeries s = FitBootstrapSeries(GumbelSample(40, 10, 3, 5), 51, true);
  BootstrapOptions options;
  options.Replicas = 40;
  options.Seed = 99;
  options.Jobs = 1;
  const BootstrapResult one = RunBootstrap(s, options);
  options.Jobs = 3;
  ExpectSameResults(one, RunBootstrap(s, options));
  options.Seed = 100;
  EXPECT_NE(RunBootstrap(s, options).Rows[6].Upper, one.Rows[6].Upper);

  // The choice redone in each replica, composites included.
  options.Replicas = 4;
  options.Reselect = true;
  options.Jobs = 1;
  const BootstrapResult reselected = RunBootstrap(s, options);
  int chosen = 0;
  for (const auto& [code, count] : reselected.Chosen) chosen += count;
  EXPECT_EQ(chosen, 4);
  options.Jobs = 2;
  ExpectSameResults(reselected, RunBootstrap(s, options));
}

TEST(Bootstrap, FailedReplicasAreCountedAndTheIntervalMarked) {
  // A root-normal fit moved so far down that most of its mass lies at the
  // lower end: a replica whose values all fall there has no variation.
  BootstrapSeries s = FitBootstrapSeries({4, 9, 16, 25, 36, 49}, 24, false);
  s.Fit.P.Normal.Mean = -1.5 * s.Fit.P.Normal.Sigma;
  BootstrapOptions options;
  options.Replicas = 60;
  int identical = 0;
  std::vector<double> data;
  for (int i = 0; i < options.Replicas; ++i) {
    DrawReplicaData(s, options.Seed, i, data);
    identical += std::all_of(data.begin(), data.end(), [&](double v) { return v == data[0]; });
  }
  ASSERT_GT(identical, options.Replicas / 5);
  ASSERT_LT(identical, options.Replicas);
  const BootstrapResult r = RunBootstrap(s, options);
  EXPECT_GE(r.Failed, identical);
  EXPECT_LT(r.Failed, r.Replicas);
  EXPECT_EQ(r.Replicas, options.Replicas);
  EXPECT_TRUE(r.Marked());
}

TEST(Bootstrap, StopsWhenCancelled) {
  const BootstrapSeries s = FitBootstrapSeries(GumbelSample(40, 10, 3, 5), 4, false);
  std::atomic<bool> stop{false};
  BootstrapOptions options;
  options.Replicas = 100000;
  options.Cancel = &stop;
  options.Progress = [&](int done, int) {
    if (done > 0) stop = true;
  };
  EXPECT_THROW(RunBootstrap(s, options), RunCancelled);
}

}  // namespace
}  // namespace tavorix
