// Grid fits of Burr (31), Dagum (32), Gompertz (34), Kumaraswamy (36),
// generalized Rayleigh (69) and adjusted Fisk (56).
//
// Most cases build data as the exact quantiles of the fitted form at the
// plotting positions R/(N+1), with parameters placed on the search grid, so
// that the true grid point fits perfectly and must be found.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "FitTestSupport.h"
#include "fitting/BurrDagumFits.h"
#include "fitting/DistributionFunctions.h"
#include "fitting/FiskFit.h"
#include "fitting/GompertzFit.h"
#include "fitting/KumaraswamyFit.h"
#include "fitting/RayleighFit.h"
#include "fitting/Sampling.h"

namespace tavorix {
namespace {

using testing::MakeRun;
using testing::MakeWorkspace;
using testing::QuantilesAtPlottingPositions;

using FitFn = void (*)(TavorixRun&, FitWorkspace&);

TavorixRun RunFit(FitFn fit, const std::vector<double>& values, const std::string& preferred = "1") {
  TavorixRun run = MakeRun(values, preferred);
  FitWorkspace ws = MakeWorkspace(run);
  fit(run, ws);
  return run;
}

// Mean of -ln(1 - F) over the plotting positions: the mean of X^E for exact
// quantiles of 1 - exp(-X^E / S), divided by S.
double MeanExponentialQuantile(int n) {
  double sum = 0;
  for (int r = 1; r <= n; ++r) sum += -std::log(1.0 - static_cast<double>(r) / (n + 1));
  return sum / n;
}

// ---------------------------------------------------------------------------
// Burr and Dagum

TEST(BurrScaleGrid, StepFollowsTheBandOfTheLargestDatum) {
  struct Band {
    long double xmax;
    double step;
  };
  const Band bands[] = {
      {0.0005L, 0.001}, {0.5L, 0.001}, {0.5001L, 0.002}, {0.9999L, 0.002}, {1.0L, 0.001},
      {1.0001L, 0.01},  {5.0L, 0.01},  {5.01L, 0.02},    {10.0L, 0.02},    {10.5L, 0.1},
      {50.0L, 0.1},     {50.5L, 0.2},  {100.0L, 0.2},    {101.0L, 1.0},    {500.0L, 1.0},
      {501.0L, 2.0},    {1000.0L, 2.0}, {1001.0L, 10.0}, {5000.0L, 10.0},  {5001.0L, 20.0},
      {1.0e7L, 20.0}};
  for (const Band& b : bands) EXPECT_EQ(BurrScaleStep(b.xmax), b.step) << "largest X " << static_cast<double>(b.xmax);
}

TEST(BurrScaleGrid, CountsTheScaleValuesStrictlyBelowTheLargestDatum) {
  BurrScaleTable table{};
  // h = 0.001 added 1000 times passes 1 (1.0000000000000007), so 999 are below 1.
  EXPECT_EQ(FillBurrScaleTable(1.0L, table), 999);
  EXPECT_EQ(table[1], 0.001);
  // h = 0.002: the 375th sum is 0.7500000000000006, above 0.75.
  EXPECT_EQ(FillBurrScaleTable(0.75L, table), 374);
  // h = 20 adds exactly: 39980 is the last value below 40000.
  EXPECT_EQ(FillBurrScaleTable(40000.0L, table), 1999);
  EXPECT_EQ(table[2000], 40000.0);
  EXPECT_EQ(FillBurrScaleTable(1.0e6L, table), 2000);
  // The first value equals the largest datum: nothing is below it.
  EXPECT_EQ(FillBurrScaleTable(0.001L, table), 0);
}

// Burr XII, F = 1 - (1 + (x/b)^a)^(-k): in the fit's form E = k, D = 0,
// S = b^a. Grid point a = 2.00, b = 1.00 (h = 0.01 for a largest datum near 3.3).
TEST(BurrDagumFits, BurrRecoversExponentScaleAndSlopeOnExactQuantiles) {
  const double a = 2.0, b = 1.0, k = 1.5;
  const auto x = QuantilesAtPlottingPositions(40, [&](double f) {
    return b * std::pow(std::pow(1.0 - f, -1.0 / k) - 1.0, 1.0 / a);
  });
  const TavorixRun run = RunFit(FitBurr, x);
  const FitSlot& s = run.Slots[31];
  ASSERT_TRUE(s.Ran);
  ASSERT_TRUE(s.HasResult);
  EXPECT_TRUE(s.Listed);
  EXPECT_DOUBLE_EQ(s.P.Burr.A, a);
  EXPECT_NEAR(s.P.Burr.B, b, 1e-12);
  EXPECT_NEAR(s.P.Burr.S, std::pow(s.P.Burr.B, a), 1e-12);
  EXPECT_NEAR(s.P.Burr.E, k, 1e-8);
  EXPECT_NEAR(s.P.Burr.D, 0.0, 1e-8);
  EXPECT_LT(s.Score, 1e-8);
}

// Dagum, F = (1 + (x/b)^(-a))^(-p): with A = -a the fit's form has E = p,
// D = 0. Grid point A = -2.50, b = 2.00 (h = 0.02 for a largest datum near 8).
TEST(BurrDagumFits, DagumRecoversNegativeExponentScaleAndSlopeOnExactQuantiles) {
  const double a = 2.5, b = 2.0, p = 0.8;
  const auto x = QuantilesAtPlottingPositions(40, [&](double f) {
    return b * std::pow(std::pow(f, -1.0 / p) - 1.0, -1.0 / a);
  });
  const TavorixRun run = RunFit(FitDagum, x);
  const FitSlot& s = run.Slots[32];
  ASSERT_TRUE(s.HasResult);
  EXPECT_DOUBLE_EQ(s.P.Burr.A, -a);
  EXPECT_NEAR(s.P.Burr.B, b, 1e-12);
  EXPECT_NEAR(s.P.Burr.S, std::pow(b, -a), 1e-12);
  EXPECT_NEAR(s.P.Burr.E, p, 1e-8);
  EXPECT_NEAR(s.P.Burr.D, 0.0, 1e-8);
  EXPECT_LT(s.Score, 1e-8);
  EXPECT_FALSE(run.Slots[31].Ran);
}

TEST(BurrDagumFits, NoScaleValueBelowTheLargestDatumLeavesNoCandidate) {
  // Largest datum equal to the first scale value 0.001.
  const std::vector<double> tiny{0.0001, 0.0002, 0.0003, 0.0004, 0.0005, 0.0006, 0.0008, 0.001};
  for (FitFn fit : {FitBurr, FitDagum}) {
    const TavorixRun run = RunFit(fit, tiny);
    const FitSlot& s = run.Slots[fit == FitBurr ? 31 : 32];
    EXPECT_TRUE(s.Ran);
    EXPECT_FALSE(s.HasResult);
    EXPECT_FALSE(s.Listed);
    EXPECT_EQ(s.Score, 1000.0);
  }
  // Slightly above it, the one scale value below the data is a candidate.
  std::vector<double> above = tiny;
  above.back() = 0.0011;
  for (FitFn fit : {FitBurr, FitDagum}) {
    const TavorixRun run = RunFit(fit, above);
    const FitSlot& s = run.Slots[fit == FitBurr ? 31 : 32];
    EXPECT_TRUE(s.HasResult);
    EXPECT_TRUE(s.Listed);
    EXPECT_EQ(s.P.Burr.B, 0.001);
    EXPECT_LT(s.Score, 1000.0);
  }
}

TEST(BurrDagumFits, BusyLineOnlyForPreferredBurrWithMoreThan500Data) {
  // Data below 0.01 keep the scale grid at 9 values.
  auto countBusy = [](FitFn fit, int n, const std::string& preferred) {
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i) x[i] = 0.01 * (i + 1) / n;
    TavorixRun run = MakeRun(x, preferred);
    std::vector<std::string> lines;
    run.Progress = [&](std::string_view line) { lines.emplace_back(line); };
    FitWorkspace ws = MakeWorkspace(run);
    fit(run, ws);
    int busy = 0;
    for (const auto& l : lines) busy += l == " Burr is busy ....." ? 1 : 0;
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(busy)) << "no other progress line";
    return busy;
  };
  EXPECT_EQ(countBusy(FitBurr, 501, "31"), 1);
  EXPECT_EQ(countBusy(FitBurr, 500, "31"), 0);
  EXPECT_EQ(countBusy(FitBurr, 501, "1"), 0);
  EXPECT_EQ(countBusy(FitDagum, 501, "32"), 0);
}

// ---------------------------------------------------------------------------
// Gompertz: F = 1 - exp(A (Z^c - 1)) with c = B E. For c = 1, A = -0.5 the
// quantile is Z = 1 - 2 ln(1 - F).

double GompertzZ(double f) { return 1.0 - 2.0 * std::log(1.0 - f); }

TEST(GompertzFit, KeepsXWhenNoDatumIsBelowOneAndTakesTheFirstOfEqualProducts) {
  const auto z = QuantilesAtPlottingPositions(30, GompertzZ);
  const TavorixRun run = RunFit(FitGompertz, z);
  const FitSlot& s = run.Slots[34];
  ASSERT_TRUE(s.HasResult);
  EXPECT_FALSE(s.P.Gompertz.XPlusOne);
  EXPECT_NEAR(s.P.Gompertz.A, -0.5, 1e-10);
  EXPECT_LT(s.Score, 1e-9);
  // Only the product B E enters the fit. The grid points with B E = 1 exactly
  // are (E, B) = (0.4, 2.5), (0.5, 2), (1, 1), (2, 0.5), (2.5, 0.4); they tie,
  // and the first in loop order (E outer) wins.
  EXPECT_DOUBLE_EQ(s.P.Gompertz.E, 0.4);
  EXPECT_DOUBLE_EQ(s.P.Gompertz.B, 2.5);
}

TEST(GompertzFit, WorksOnXPlusOneWhenSomeDatumIsBelowOne) {
  // X = Z - 1 starts near 0.07: the fit must add 1 back to fit exactly.
  const auto x = QuantilesAtPlottingPositions(30, [](double f) { return GompertzZ(f) - 1.0; });
  ASSERT_LT(x.front(), 1.0);
  const TavorixRun run = RunFit(FitGompertz, x);
  const FitSlot& s = run.Slots[34];
  ASSERT_TRUE(s.HasResult);
  EXPECT_TRUE(s.P.Gompertz.XPlusOne);
  EXPECT_NEAR(s.P.Gompertz.A, -0.5, 1e-10);
  EXPECT_NEAR(s.P.Gompertz.B * s.P.Gompertz.E, 1.0, 1e-12);
  EXPECT_LT(s.Score, 1e-9);
  EXPECT_NEAR(FcGompertz(s.P.Gompertz, x[10]), 11.0 / 31.0, 1e-12);
}

// ---------------------------------------------------------------------------
// Kumaraswamy: F = 1 - (1 - (x/M)^A)^B, quantile x = M (1 - (1-F)^(1/B))^(1/A).
// B is chosen so that the largest quantile is exactly M / 1.5, which puts M
// on the bound grid (m = 5).

std::vector<double> KumaraswamyOnGrid(int n, double m, double a, double& b) {
  b = std::log(1.0 / (n + 1)) / std::log(1.0 - std::pow(1.5, -a));
  const double shape = b;
  return QuantilesAtPlottingPositions(n, [&](double f) {
    return m * std::pow(1.0 - std::pow(1.0 - f, 1.0 / shape), 1.0 / a);
  });
}

TEST(KumaraswamyFit, RecoversBoundExponentAndShapeOnExactQuantiles) {
  double b = 0;
  const auto x = KumaraswamyOnGrid(30, 10.0, 2.0, b);
  ASSERT_NEAR(x.back(), 10.0 / 1.5, 1e-12);
  TavorixRun run = MakeRun(x, "39");
  FitWorkspace ws = MakeWorkspace(run);
  FitKumaraswamy(run, ws);
  const FitSlot& s = run.Slots[36];
  ASSERT_TRUE(s.HasResult);
  EXPECT_FALSE(s.Listed) << "a preferred fit has no list entry";
  EXPECT_NEAR(s.P.Kumaraswamy.M, 10.0, 1e-9);
  EXPECT_DOUBLE_EQ(s.P.Kumaraswamy.A, 2.0);
  EXPECT_NEAR(s.P.Kumaraswamy.B, b, 1e-8 * b);
  EXPECT_DOUBLE_EQ(s.StdErrX, 1.28 / s.P.Kumaraswamy.B);
  EXPECT_LT(s.Score, 1e-9);
  ASSERT_EQ(run.FcCalc.size(), x.size() + 1);
  for (int r = 1; r <= run.N; ++r)
    EXPECT_NEAR(static_cast<double>(run.FcCalc[r]), r / 31.0, 1e-10) << "rank " << r;
}

// Past the first rows of bounds only the rows that may come near the least
// misfit are formed; the fit must be the one of every row formed, also where
// the best bound lies among the far rows (Kumaraswamy quantiles with their
// bound 0.5 to 15 times the largest datum beyond it, log-normal data whose
// misfit falls to the last row) and on one or two threads.
TEST(KumaraswamyFit, FormingOnlyTheRowsNearTheLeastGivesTheFitOfEveryRow) {
  std::vector<std::vector<double>> series;
  for (double beyond : {1.5, 4.5, 16.0}) {
    for (int n : {12, 40, 150}) {
      const double b = std::log(1.0 / (n + 1)) / std::log(1.0 - std::pow(beyond, -1.7));
      series.push_back(QuantilesAtPlottingPositions(
          n, [&](double f) { return 10 * std::pow(1.0 - std::pow(1.0 - f, 1.0 / b), 1.0 / 1.7); }));
    }
  }
  for (int n : {25, 90}) {
    series.push_back(QuantilesAtPlottingPositions(n, [](double f) { return std::exp(2 + 0.5 * StandardNormalQuantile(f)); }));
    series.push_back(QuantilesAtPlottingPositions(n, [](double f) { return 50 - 10 * std::log(-std::log(f)); }));
  }
  bool farBest = false;
  for (const auto& x : series) {
    for (int threads : {1, 2}) {
      TavorixRun every = MakeRun(x), some = MakeRun(x);
      every.FitThreads = some.FitThreads = threads;
      FitWorkspace ws1 = MakeWorkspace(every), ws2 = MakeWorkspace(some);
      FitKumaraswamyEveryRow(every, ws1);
      FitKumaraswamy(some, ws2);
      const FitSlot &a = every.Slots[36], &b = some.Slots[36];
      ASSERT_EQ(b.HasResult, a.HasResult);
      EXPECT_EQ(b.P.Kumaraswamy.M, a.P.Kumaraswamy.M) << "N = " << x.size();
      EXPECT_EQ(b.P.Kumaraswamy.A, a.P.Kumaraswamy.A) << "N = " << x.size();
      EXPECT_EQ(b.P.Kumaraswamy.B, a.P.Kumaraswamy.B) << "N = " << x.size();
      EXPECT_EQ(b.Score, a.Score) << "N = " << x.size();
      farBest = farBest || a.P.Kumaraswamy.M > 3.05 * x.back();
    }
  }
  EXPECT_TRUE(farBest) << "no series has its best bound among the far rows";
}

TEST(KumaraswamyFit, ExponentNearOneIsSetToOne) {
  double b = 0;
  const auto x = KumaraswamyOnGrid(30, 10.0, 0.97, b);
  const TavorixRun run = RunFit(FitKumaraswamy, x);
  const FitSlot& s = run.Slots[36];
  ASSERT_TRUE(s.HasResult);
  EXPECT_EQ(s.P.Kumaraswamy.A, 1.0);
  EXPECT_NEAR(s.P.Kumaraswamy.M, 10.0, 1e-9);
}

// ---------------------------------------------------------------------------
// Rayleigh: F = 1 - exp(-x^E / S), quantile x = (-S ln(1 - F))^(1/E). The
// divider grid is S_s = (0.01 s mean(X^E))^E with mean(X^E) = S c; S = c^(E/(1-E))
// puts S on the grid at s = 100.

std::vector<double> RayleighOnGrid(int n, double e, double& s) {
  s = std::pow(MeanExponentialQuantile(n), e / (1.0 - e));
  const double divider = s;
  return QuantilesAtPlottingPositions(n, [&](double f) {
    return std::pow(-divider * std::log(1.0 - f), 1.0 / e);
  });
}

TEST(RayleighFit, RecoversExponentAndDividerOnExactQuantiles) {
  double s = 0;
  const auto x = RayleighOnGrid(30, 2.0, s);
  const TavorixRun run = RunFit(FitRayleigh, x);
  const FitSlot& slot = run.Slots[69];
  ASSERT_TRUE(slot.HasResult);
  EXPECT_TRUE(slot.Listed);
  EXPECT_DOUBLE_EQ(slot.P.Rayleigh.E, 2.0);
  EXPECT_NEAR(slot.P.Rayleigh.S, s, 1e-9 * s);
  EXPECT_LT(slot.Score, 1e-9);
}

TEST(RayleighFit, ExponentNearOneIsKept) {
  double s = 0;
  const auto x = RayleighOnGrid(30, 0.97, s);
  const TavorixRun run = RunFit(FitRayleigh, x);
  const FitSlot& slot = run.Slots[69];
  ASSERT_TRUE(slot.HasResult);
  EXPECT_NEAR(slot.P.Rayleigh.E, 0.97, 1e-12);
  EXPECT_NEAR(slot.P.Rayleigh.S, s, 1e-8 * s);
}

// ---------------------------------------------------------------------------
// Fisk: F = 1 - 1/(1 + (x/B)^A), quantile x = B (F/(1-F))^(1/A).

TEST(FiskFit, LandsNextToTheParametersOfLogLogisticData) {
  // The scale grid spans 0.31 .. 0.80 times the mean of X: a heavy upper
  // tail (small A) puts the median B inside it.
  const double a = 2.1, b = 10.0;
  const auto x = QuantilesAtPlottingPositions(60, [&](double f) { return b * std::pow(f / (1.0 - f), 1.0 / a); });
  double mean = 0;
  for (double v : x) mean += v;
  mean /= x.size();
  ASSERT_GT(b, 0.31 * mean);
  ASSERT_LT(b, 0.80 * mean);
  const TavorixRun run = RunFit(FitFisk, x);
  const FitSlot& s = run.Slots[56];
  ASSERT_TRUE(s.HasResult);
  // A lies on the grid (steps of 0.2), B between two grid values (steps of
  // 0.01 mean X): the best point is at most one step away in each.
  EXPECT_NEAR(s.P.Line.A, a, 0.2 + 1e-9);
  EXPECT_NEAR(s.P.Line.B, b, 0.01 * mean + 1e-9);
  EXPECT_LT(AverageOf(s.Score, run.N), 1.0);
}

TEST(FiskFit, ScaleValuesBelow0001AreRaisedTo0001) {
  // Mean X 0.0011: even the largest scale value 0.8 * mean is below 0.001.
  std::vector<double> x;
  for (int i = 1; i <= 10; ++i) x.push_back(0.0002 * i);
  const TavorixRun run = RunFit(FitFisk, x);
  EXPECT_EQ(run.Slots[56].P.Line.B, 0.001);
}

// ---------------------------------------------------------------------------
// All six: the score is the sum of absolute deviations of the catalogue's
// frequency function at the fitted parameters (Gompertz with its floor of
// 0.001), and the list entry follows the preference.

struct FitCase {
  int code;
  FitFn fit;
};

class GridFitsAScore : public ::testing::TestWithParam<FitCase> {};

TEST_P(GridFitsAScore, ScoreIsTheFinalAbsoluteMisfitOfTheCatalogueFunction) {
  const FitCase c = GetParam();
  // A skewed series (Weibull quantiles) that no form fits exactly; some of
  // its data lie below 1.
  const auto x = QuantilesAtPlottingPositions(25, [](double f) { return 3.0 * std::pow(-std::log(1.0 - f), 0.6); });
  const TavorixRun run = RunFit(c.fit, x);
  const FitSlot& s = run.Slots[c.code];
  ASSERT_TRUE(s.Ran);
  ASSERT_TRUE(s.HasResult);
  EXPECT_TRUE(s.Listed);
  const PlainFc fc = SingleFcOf(c.code);
  ASSERT_TRUE(fc);
  double sum = 0;
  for (int r = 1; r <= run.N; ++r) {
    double f = fc(s.P, x[r - 1]);
    if (c.code == 34 && f < 0.001) f = 0.001;
    sum += std::fabs(r / 26.0 - f);
  }
  EXPECT_NEAR(s.Score, sum, 1e-9);
  for (int other : {31, 32, 34, 36, 56, 69}) {
    if (other != c.code) {
      EXPECT_FALSE(run.Slots[other].Ran) << other;
    }
  }

  const TavorixRun preferred = RunFit(c.fit, x, std::to_string(c.code));
  EXPECT_FALSE(preferred.Slots[c.code].Listed);
  EXPECT_EQ(preferred.Slots[c.code].Score, s.Score);
}

INSTANTIATE_TEST_SUITE_P(AllSix, GridFitsAScore,
                         ::testing::Values(FitCase{31, FitBurr}, FitCase{32, FitDagum}, FitCase{34, FitGompertz},
                                           FitCase{36, FitKumaraswamy}, FitCase{56, FitFisk},
                                           FitCase{69, FitRayleigh}),
                         [](const auto& info) { return "Code" + std::to_string(info.param.code); });

}  // namespace
}  // namespace tavorix
