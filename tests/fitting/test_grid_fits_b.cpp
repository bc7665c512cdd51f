// Laplace (68), generalized Laplace (73), the bound-stepping fits (58, 35,
// 33, 59), Gamma (61) and GEV (67), on data built from known distributions
// and on hand-built edge cases.

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "fitting/FitTestSupport.h"
#include "fitting/GammaFit.h"
#include "fitting/FittedModel.h"
#include "fitting/GevFit.h"
#include "fitting/LaplaceFits.h"
#include "fitting/LocationFits.h"

namespace tavorix {
namespace {

using testing::MakeRun;
using testing::MakeWorkspace;
using testing::QuantilesAtPlottingPositions;

// Quantile of an asymmetric Laplace distribution with mode mu, scale s1
// below and s2 above the mode.
double LaplaceQuantile(double f, double mu, double s1, double s2) {
  return f <= 0.5 ? mu + s1 * std::log(2 * f) : mu - s2 * std::log(2 * (1 - f));
}

// Quantile of the GEV distribution exp(-(1 + k (x - a)/b)^(-1/k)).
double GevQuantile(double f, double a, double b, double k) {
  return a + b * (std::pow(-std::log(f), -k) - 1) / k;
}

// Erlang quantile by bisection on its Poisson-sum distribution function.
double ErlangQuantile(double f, int terms, double scale) {
  auto cdf = [&](double x) {
    double term = 1, sum = 0;
    for (int k = 0; k < terms; ++k) {
      sum += term;
      term *= (x / scale) / (k + 1);
    }
    return 1 - std::exp(-x / scale) * sum;
  };
  double lo = 0, hi = 1000 * scale;
  for (int it = 0; it < 200; ++it) {
    const double mid = 0.5 * (lo + hi);
    (cdf(mid) < f ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

// Whether v = lo + (hi - lo) j / 20 for some j in 1..20.
bool OnModeLattice(double v, double lo, double hi) {
  const double j = (v - lo) / (hi - lo) * 20;
  return j > 0.5 && j < 20.5 && std::fabs(j - std::round(j)) < 1e-6;
}

int FirstRankAbove(const TavorixRun& run, double b) {
  for (int i = 1; i <= run.N; ++i)
    if (run.X[i] > b) return i;
  return run.N;
}

// ---------------------------------------------------------------- Laplace

TEST(LaplaceFit, RecoversModeAndSlopesFromLaplaceQuantiles) {
  const double mu = 20, s1 = 2, s2 = 4;
  TavorixRun run = MakeRun(QuantilesAtPlottingPositions(201, [&](double f) { return LaplaceQuantile(f, mu, s1, s2); }));
  FitWorkspace ws = MakeWorkspace(run);
  FitLaplace(run, ws);
  const FitSlot& slot = run.Slots[68];
  ASSERT_TRUE(slot.HasResult);
  EXPECT_TRUE(slot.Listed);
  const double step = (run.X[134] - run.X[67]) / 20.0;  // modes between X[67] and X[134]
  EXPECT_NEAR(slot.P.Laplace.Mode, mu, step);
  EXPECT_NEAR(slot.P.Laplace.S1, s1, 0.05 * s1);
  EXPECT_NEAR(slot.P.Laplace.S2, s2, 0.05 * s2);
  EXPECT_DOUBLE_EQ(slot.P.Laplace.S1, 1 / slot.P.Laplace.A1);
  EXPECT_DOUBLE_EQ(slot.P.Laplace.S2, 1 / slot.P.Laplace.A2);
  EXPECT_EQ(slot.P.Laplace.BreakRank, FirstRankAbove(run, slot.P.Laplace.Mode));
  // The calculated frequencies are kept per rank and are close to Fr.
  ASSERT_EQ(run.FcCalc.size(), 202u);
  double sumAbs = 0;
  for (int i = 1; i <= run.N; ++i) sumAbs += std::fabs(static_cast<double>(run.FcCalc[i] - run.Fr[i]));
  EXPECT_NEAR(slot.Score, sumAbs, 1e-9);
  EXPECT_LT(100 * slot.Score / run.N, 1.0);
}

TEST(LaplaceFit, EightDataTakeModesBetweenRanks3And5And73BetweenRanks2And5) {
  const std::vector<double> data{1.3, 2.1, 4.4, 6.9, 11.2, 15.8, 22.5, 30.1};
  TavorixRun run = MakeRun(data);
  FitWorkspace ws = MakeWorkspace(run);
  FitLaplace(run, ws);
  const FitParams& p68 = run.Slots[68].P;
  EXPECT_TRUE(OnModeLattice(p68.Laplace.Mode, data[2], data[4])) << p68.Laplace.Mode;
  EXPECT_FALSE(OnModeLattice(p68.Laplace.Mode, data[1], data[4])) << "mode also fits ranks 2..5; change the data";
  EXPECT_EQ(p68.Laplace.BreakRank, FirstRankAbove(run, p68.Laplace.Mode));

  run.PreferredCode = "73";
  FitLaplaceGeneralized(run, ws);
  const FitParams& p73 = run.Slots[73].P;
  const double mode = std::pow(p73.Laplace.Mode, 1 / p73.Laplace.E1);  // back from B' = B^E1
  EXPECT_TRUE(OnModeLattice(mode, data[1], data[4])) << mode;
  EXPECT_FALSE(OnModeLattice(mode, data[2], data[4])) << "mode also fits ranks 3..5; change the data";
  EXPECT_EQ(p73.Laplace.BreakRank, FirstRankAbove(run, mode));
}

TEST(LaplaceGeneralizedFit, FindsTheExponentOfPoweredLaplaceData) {
  // X = Y^2 with Y Laplace: X^E straightens the data for E near 0.5 (not
  // exactly there, since no candidate mode falls on the true one), which
  // the standard fit cannot do.
  TavorixRun run = MakeRun(QuantilesAtPlottingPositions(101, [](double f) {
    return std::pow(LaplaceQuantile(f, 9, 1, 1.5), 2);
  }));
  FitWorkspace ws = MakeWorkspace(run);
  FitLaplace(run, ws);
  FitLaplaceGeneralized(run, ws);
  const FitSlot& slot = run.Slots[73];
  ASSERT_TRUE(slot.HasResult);
  EXPECT_GT(slot.P.Laplace.E1, 0.3);
  EXPECT_LT(slot.P.Laplace.E1, 0.8);
  EXPECT_GT(slot.P.Laplace.E2, 0.3);
  EXPECT_LT(slot.P.Laplace.E2, 0.8);
  EXPECT_LT(slot.Score, 0.5 * run.Slots[68].Score);
  EXPECT_TRUE(slot.Listed);
  // The final values are those of the generalized fit, rank by rank.
  double sumAbs = 0;
  for (int i = 1; i <= run.N; ++i) sumAbs += std::fabs(static_cast<double>(run.FcCalc[i] - run.Fr[i]));
  EXPECT_NEAR(slot.Score, sumAbs, 1e-9);
}

TEST(LaplaceGeneralizedFit, CountsOnlyWhenFivePercentBetterThanLaplace) {
  TavorixRun run = MakeRun(QuantilesAtPlottingPositions(40, [](double f) { return LaplaceQuantile(f, 15, 2, 3); }));
  FitWorkspace ws = MakeWorkspace(run);

  run.PreferredCode = "73";  // alone: no comparison, no list
  run.Slots[68].Score = 0;
  FitLaplaceGeneralized(run, ws);
  const double own = run.Slots[73].Score;
  EXPECT_LT(own, 1000);
  EXPECT_FALSE(run.Slots[73].Listed);

  run.PreferredCode = "1";
  run.Slots[68].Score = own / 0.95 * 1.01;  // 73 is more than 5 % better
  FitLaplaceGeneralized(run, ws);
  EXPECT_EQ(run.Slots[73].Score, own);
  EXPECT_TRUE(run.Slots[73].Listed);

  run.Slots[68].Score = own / 0.95 * 0.99;  // 73 is less than 5 % better
  FitLaplaceGeneralized(run, ws);
  EXPECT_EQ(run.Slots[73].Score, 1000);
  EXPECT_FALSE(run.Slots[73].Listed);
  EXPECT_TRUE(run.Slots[73].Ran);
}

// ------------------------------------------------------- bound stepping

struct BoundCase {
  LocationFitKind Kind;
  double Bound;
  double Slope;  // the A that the data were built with: +-alpha
  double (*Quantile)(double f, double alpha);
  std::vector<double> Values(int n, double alpha) const {
    return QuantilesAtPlottingPositions(n, [&](double f) { return Quantile(f, alpha); });
  }
  std::vector<double> Values(int n) const { return Values(n, std::fabs(Slope)); }
};

// Frechet and its mirror have C below the data, Fisher-Tippett type 3 and
// its mirror above; the slopes are the exponents of ln(distance to C). A
// larger exponent puts C further from the data.
const BoundCase kBoundCases[] = {
    {kFrechetKind, 5, -3, [](double f, double a) { return 5 + 2 * std::pow(-std::log(f), -1 / a); }},
    {kFrechetMirroredKind, 5, 1.5, [](double f, double a) { return 5 + 3 * std::pow(-std::log(1 - f), 1 / a); }},
    {kFisherTippett3MirroredKind, 30, -3, [](double f, double a) { return 30 - 2 * std::pow(-std::log(1 - f), -1 / a); }},
    {kFisherTippett3Kind, 30, 1.5, [](double f, double a) { return 30 - 3 * std::pow(-std::log(f), 1 / a); }},
};

void PrintTo(const BoundCase& c, std::ostream* os) { *os << "code " << c.Kind.Code << ", bound " << c.Bound; }

class BoundFit : public ::testing::TestWithParam<BoundCase> {};

TEST_P(BoundFit, RecoversTheBoundOfItsOwnDistribution) {
  const BoundCase& c = GetParam();
  TavorixRun run = MakeRun(c.Values(50));
  FitWorkspace ws = MakeWorkspace(run);
  FitLocation(run, ws, c.Kind);
  const FitSlot& slot = run.Slots[c.Kind.Code];
  ASSERT_TRUE(slot.HasResult);
  EXPECT_TRUE(slot.Listed);
  const double range = static_cast<double>(run.X[run.N] - run.X[1]);
  EXPECT_NEAR(slot.P.Bounded.C, c.Bound, 0.01 * range);  // within one step
  EXPECT_NEAR(slot.P.Bounded.A, c.Slope, 0.1 * std::fabs(c.Slope));
  EXPECT_LT(100 * slot.Score / run.N, 1.0);
}

INSTANTIATE_TEST_SUITE_P(GridFitsB, BoundFit, ::testing::ValuesIn(kBoundCases),
                         [](const auto& info) { return "Code" + std::to_string(info.param.Kind.Code); });

// The stepping forms several steps in one pass, on several threads chunks of
// steps ahead, and far from the data takes the steps whose misfit surely
// falls from a polynomial through a few of them; it must stop where the
// steps done one at a time stop: at the first step that does not lower the
// misfit. Exponents far from the kind's own put C hundreds or thousands of
// steps away; the Gumbel sample runs the right-hand kinds through all their
// steps.
TEST_P(BoundFit, StopsAtTheStepOfTheStepsDoneOneAtATime) {
  const BoundCase& c = GetParam();
  std::vector<std::vector<double>> series{
      c.Values(37), QuantilesAtPlottingPositions(41, [](double f) { return 50 - 10 * std::log(-std::log(f)); })};
  for (double alpha : {8.0, 20.0, 60.0, 200.0}) series.push_back(c.Values(29, alpha));
  bool stopsFar = false;
  for (const auto& values : series) {
    TavorixRun run = MakeRun(values);
    FitWorkspace ref = MakeWorkspace(run);
    FillLocationFt(run, ref, c.Kind);
    std::vector<double> g(run.N + 1);
    double best = 1000000.0;
    int kBest = 0;
    for (int k = 1; k <= c.Kind.MaxSteps; ++k) {
      const double sum = LocationStepMisfit(run, ref, c.Kind, k, g.data());
      if (!(sum < best)) break;
      best = sum;
      kBest = k;
    }
    ASSERT_GT(kBest, 0);
    stopsFar = stopsFar || (kBest > 300 && kBest < c.Kind.MaxSteps);
    for (int threads : {1, 3}) {  // one thread, or chunks of steps formed side by side
      run.FitThreads = threads;
      FitWorkspace ws = MakeWorkspace(run);
      FitLocation(run, ws, c.Kind);
      EXPECT_EQ(run.Slots[c.Kind.Code].P.Bounded.C, LocationStepBound(run, ref, c.Kind.Side, kBest))
          << threads << " threads, N = " << run.N << ", stops at step " << kBest;
    }
  }
  EXPECT_TRUE(stopsFar) << "no series stops far from its data";
}

// 58 and 35, and 33 and 59, step through the same bounds; fitted as a pair
// (the best-of-all step of the two) each gives what it gives alone, also
// where one stops long before the other.
TEST(BoundFit, ThePairsOfOneSideFitAsEachAlone) {
  struct Pair {
    LocationFitKind A, B;
    void (*Fit)(TavorixRun&, FitWorkspace&);
    const BoundCase *CaseA, *CaseB;
  };
  for (const Pair& pair : {Pair{kFrechetKind, kFrechetMirroredKind, FitFrechetPair, &kBoundCases[0], &kBoundCases[1]},
                           Pair{kFisherTippett3MirroredKind, kFisherTippett3Kind, FitFisherTippett3Pair,
                                &kBoundCases[2], &kBoundCases[3]}}) {
    const int a = pair.A.Code, b = pair.B.Code;
    bool stopsApart = false;
    for (const auto& values :
         {pair.CaseA->Values(37), pair.CaseB->Values(45),
          QuantilesAtPlottingPositions(23, [](double f) { return 50 - 10 * std::log(-std::log(f)); })}) {
      TavorixRun alone = MakeRun(values);
      alone.FitThreads = 1;
      TavorixRun together = alone;
      for (const LocationFitKind& kind : {pair.A, pair.B}) {
        FitWorkspace ws = MakeWorkspace(alone);
        FitLocation(alone, ws, kind);
      }
      FitWorkspace ws = MakeWorkspace(together);
      pair.Fit(together, ws);
      for (int code : {a, b}) {
        const FitSlot &s1 = alone.Slots[code], &s2 = together.Slots[code];
        EXPECT_EQ(s2.HasResult, s1.HasResult) << code;
        EXPECT_EQ(s2.Listed, s1.Listed) << code;
        EXPECT_EQ(s2.Score, s1.Score) << code;
        EXPECT_EQ(s2.P.Bounded.A, s1.P.Bounded.A) << code;
        EXPECT_EQ(s2.P.Bounded.B, s1.P.Bounded.B) << code;
        EXPECT_EQ(s2.P.Bounded.C, s1.P.Bounded.C) << code;
      }
      stopsApart = stopsApart || alone.Slots[a].P.Bounded.C != alone.Slots[b].P.Bounded.C;
    }
    EXPECT_TRUE(stopsApart) << a << " and " << b << " stopped at the same step on every series";
  }
}

TEST(BoundFit, FrechetSteppingThatWorsensAtTheSecondStepKeepsTheFirst) {
  // Frechet data whose bound lies 1.2 % of the range below X[1]: step 1
  // (1 %) is nearer the bound than step 2 (2 %). The shape gives that ratio
  // of the distance to the bound to the range; found by bisection.
  const int n = 30;
  auto q = [&](double alpha, int r) { return std::pow(-std::log(r / (n + 1.0)), -1 / alpha); };
  auto ratio = [&](double alpha) { return q(alpha, 1) / (q(alpha, n) - q(alpha, 1)); };
  double lo = 0.5, hi = 5;  // ratio rises with alpha
  for (int it = 0; it < 200; ++it) {
    const double mid = 0.5 * (lo + hi);
    (ratio(mid) < 0.012 ? lo : hi) = mid;
  }
  const double alpha = 0.5 * (lo + hi);
  std::vector<double> data;
  for (int r = 1; r <= n; ++r) data.push_back(3 + 2 * q(alpha, r));
  TavorixRun run = MakeRun(data);
  FitWorkspace ws = MakeWorkspace(run);
  FitFrechet(run, ws);
  const long double firstStep = run.X[1] - 0.01L * (run.X[n] - run.X[1]);
  EXPECT_DOUBLE_EQ(run.Slots[58].P.Bounded.C, static_cast<double>(firstStep));
}

TEST(BoundFit, StepBoundMovesBeyondADatumItWouldReach) {
  TavorixRun run = MakeRun({2, 4, 6, 8, 10, 12});
  FitWorkspace ws = MakeWorkspace(run);
  EXPECT_DOUBLE_EQ(LocationStepBound(run, ws, BoundSide::Left, 3), 2 - 0.3);
  EXPECT_DOUBLE_EQ(LocationStepBound(run, ws, BoundSide::Right, 250), 12 + 25);
  // A range too small to move the bound off the data in double precision.
  TavorixRun flat = MakeRun({1e9, 1e9, 1e9, 1e9, 1e9, 1e9 + 1e-7});
  FitWorkspace wsFlat = MakeWorkspace(flat);
  EXPECT_DOUBLE_EQ(LocationStepBound(flat, wsFlat, BoundSide::Left, 1), 1e9 - 0.001);
  EXPECT_DOUBLE_EQ(LocationStepBound(flat, wsFlat, BoundSide::Right, 1), wsFlat.X[6] + 0.001);
}

// ------------------------------------------------------------------ Gamma

struct ErlangCase {
  int Terms;
  int ScaleTenths;  // A = 0.1 * ScaleTenths, a point of the grid
};

void PrintTo(const ErlangCase& c, std::ostream* os) { *os << c.Terms << " terms, scale " << 0.1 * c.ScaleTenths; }

class GammaFit : public ::testing::TestWithParam<ErlangCase> {};

TEST_P(GammaFit, RecoversTermsAndScaleFromErlangQuantiles) {
  const ErlangCase& c = GetParam();
  const double scale = 0.1 * c.ScaleTenths;
  TavorixRun run = MakeRun(QuantilesAtPlottingPositions(40, [&](double f) { return ErlangQuantile(f, c.Terms, scale); }));
  FitWorkspace ws = MakeWorkspace(run);
  FitGamma(run, ws);
  const FitSlot& slot = run.Slots[61];
  ASSERT_TRUE(slot.HasResult);
  EXPECT_EQ(slot.P.Gamma.Terms, c.Terms);
  EXPECT_NEAR(slot.P.Gamma.A, scale, 1e-12);
  EXPECT_LT(slot.Score, 1e-6);
  ASSERT_EQ(run.FcCalc.size(), 41u);
  for (int i = 1; i <= run.N; ++i) EXPECT_NEAR(static_cast<double>(run.FcCalc[i]), static_cast<double>(run.Fr[i]), 1e-8);
}

INSTANTIATE_TEST_SUITE_P(GridFitsB, GammaFit,
                         ::testing::Values(ErlangCase{1, 53}, ErlangCase{3, 20}, ErlangCase{7, 4}, ErlangCase{20, 117}),
                         [](const auto& info) {
                           return "Terms" + std::to_string(info.param.Terms) + "Scale" +
                                  std::to_string(info.param.ScaleTenths) + "Tenths";
                         });

// -------------------------------------------------------------------- GEV

TEST(GevFit, ShapeSignFollowsTheData) {
  for (const double k : {0.2, -0.2}) {
    TavorixRun run = MakeRun(QuantilesAtPlottingPositions(99, [&](double f) { return GevQuantile(f, 10, 2, k); }));
    FitWorkspace ws = MakeWorkspace(run);
    FitGev(run, ws);
    const FitSlot& slot = run.Slots[67];
    ASSERT_TRUE(slot.HasResult);
    EXPECT_TRUE(slot.Listed);
    EXPECT_NEAR(slot.P.Gev.K, k, 0.05) << k;
    EXPECT_NEAR(slot.P.Gev.Loc, 10, 0.05) << k;
    EXPECT_NEAR(slot.P.Gev.Scale, 2, 0.1) << k;
    EXPECT_DOUBLE_EQ(slot.P.Gev.Q, slot.P.Gev.Loc - slot.P.Gev.Scale / slot.P.Gev.K);
    EXPECT_FALSE(slot.P.Gev.BeyondBound);
    FitParams onlyGev;
    onlyGev.Gev = slot.P.Gev;
    EXPECT_TRUE(slot.P == onlyGev) << "the GEV keeps its parameters in its own family";
    EXPECT_LT(100 * slot.Score / run.N, 1.0) << k;
  }
}

TEST(GevFit, LocationInterpolatesBetweenTheRanksAroundFrequency037) {
  // Fr = r/11: rank 5 (0.4545) is the first above 0.37, rank 4 is 0.3636.
  TavorixRun run = MakeRun({1, 3, 6, 10, 20, 21, 22, 24, 27, 31});
  EXPECT_NEAR(GevLocation(run), 10 + 10 * (0.37 - 4 / 11.0) * 11, 1e-12);
  FitWorkspace ws = MakeWorkspace(run);
  FitGev(run, ws);
  EXPECT_NEAR(run.Slots[67].P.Gev.Loc, 10.7, 1e-12);
}

TEST(GevFit, SearchMisfitRestartsAt1000OutsideTheSupportAndRejectsShapeZero) {
  const double fr[] = {0, 0.25, 0.5, 0.75};
  const double e1 = std::exp(-1.0);
  // K = 1, B = 1: datum 1 lies below the support, the sum restarts there.
  const double dxLow[] = {0, -2, 0, 1};
  EXPECT_NEAR(GevSearchMisfit(dxLow, fr, 3, 1, 1),
              1000 + std::pow(0.25 - e1, 2) + std::pow(0.5 - e1, 2) + std::pow(0.75 - std::exp(-0.5), 2), 1e-12);
  // K = -0.5, B = 1: datum 3 lies above the support; what came before is dropped.
  const double dxHigh[] = {0, -1, 0, 3};
  EXPECT_NEAR(GevSearchMisfit(dxHigh, fr, 3, -0.5, 1), 1000 + std::pow(0.75 - e1, 2), 1e-12);
  // K = 0 evaluates nothing and counts as 1000.
  EXPECT_EQ(GevSearchMisfit(dxLow, fr, 3, 0, 1), 1000);
}

TEST(GevFit, SearchMisfitStopsEarlyOnlyWhenTheResultCannotWin) {
  const double fr[] = {0, 0.25, 0.5, 0.75};
  const double dx[] = {0, -1, 0, 1};
  const double full = GevSearchMisfit(dx, fr, 3, 0.5, 1);
  ASSERT_LT(full, 1);
  EXPECT_EQ(GevSearchMisfit(dx, fr, 3, 0.5, 1, 1000), full);
  EXPECT_GE(GevSearchMisfit(dx, fr, 3, 0.5, 1, 0.5 * full), 0.5 * full);
  // Above 1000 a later restart can still lower the sum: K = -0.5, B = 1;
  // data 1 and 3 lie outside the support, datum 2 is far off in between.
  const double frRestart[] = {0, 0.25, 0.5, 0.37};
  const double dxRestart[] = {0, 5, 1.99, 5};
  const double withRestart = GevSearchMisfit(dxRestart, frRestart, 3, -0.5, 1);
  EXPECT_NEAR(withRestart, 1000 + std::pow(0.37 - std::exp(-1.0), 2), 1e-9);
  EXPECT_EQ(GevSearchMisfit(dxRestart, frRestart, 3, -0.5, 1, 1000.05), withRestart);
}

// Data within 0.1 % of the bound raise the flag and change K; Q stays at
// the grid's value A - B/K, so B/(A - Q) is a grid shape 0.01 k - 1.
void ExpectGridBound(const FitParams& p) {
  const double gridShape = p.Gev.Scale / (p.Gev.Loc - p.Gev.Q);
  EXPECT_NEAR(gridShape * 100, std::round(gridShape * 100), 1e-6) << gridShape;
}

TEST(GevFit, BoundFlagAdjustsShapeWithLowerBound) {
  TavorixRun run = MakeRun(QuantilesAtPlottingPositions(60, [](double f) { return GevQuantile(f, 1000, 1, 0.5); }));
  FitWorkspace ws = MakeWorkspace(run);
  FitGev(run, ws);
  const FitParams& p = run.Slots[67].P;
  ASSERT_TRUE(p.Gev.BeyondBound);
  ExpectGridBound(p);
  EXPECT_GT(p.Gev.Scale / (p.Gev.Loc - p.Gev.Q), 0);
  EXPECT_NEAR(p.Gev.K, -p.Gev.Scale / (1.001 * p.Gev.Q - p.Gev.Loc), 1e-12);
  EXPECT_GT(p.Gev.K, 0);
}

TEST(GevFit, BoundFlagAdjustsShapeWithUpperBound) {
  TavorixRun run = MakeRun(QuantilesAtPlottingPositions(60, [](double f) { return GevQuantile(f, 1000, 1, -0.5); }));
  FitWorkspace ws = MakeWorkspace(run);
  FitGev(run, ws);
  const FitParams& p = run.Slots[67].P;
  ASSERT_TRUE(p.Gev.BeyondBound);
  ExpectGridBound(p);
  ASSERT_GT(0.999 * p.Gev.Q - p.Gev.Loc, 0);
  EXPECT_NEAR(p.Gev.K, -p.Gev.Scale / (0.999 * p.Gev.Q - p.Gev.Loc), 1e-12);
  EXPECT_LT(p.Gev.K, 0);
}

// Beyond the bound the distribution has ended: F is 1 above an upper bound
// and 0 below a lower one, in the score as in every later evaluation.
TEST(GevFit, DataBeyondTheBoundHaveFrequencyOneAboveAndZeroBelow) {
  for (const double k : {0.5, -0.5}) {
    TavorixRun run = MakeRun(QuantilesAtPlottingPositions(60, [&](double f) { return GevQuantile(f, 1000, 1, k); }));
    FitWorkspace ws = MakeWorkspace(run);
    FitGev(run, ws);
    const FitSlot& slot = run.Slots[67];
    ASSERT_TRUE(slot.P.Gev.BeyondBound) << k;
    FittedDistribution fd;
    fd.DistCode = 67;
    fd.P = slot.P;
    const FittedModel model(fd, 0.0);
    int beyond = 0;
    double score = 0;
    for (int i = 1; i <= run.N; ++i) {
      const double x = static_cast<double>(run.X[i]);
      const double f = model.F(x, Guard::Data);
      if (1.0 + slot.P.Gev.K * (x - slot.P.Gev.Loc) / slot.P.Gev.Scale <= 0) {
        ++beyond;
        const double end = slot.P.Gev.K < 0 ? 1.0 : 0.0;
        for (Guard g : {Guard::Search, Guard::Data, Guard::ClassBounds, Guard::Calculator})
          EXPECT_EQ(model.F(x, g), end) << "k " << k << ", rank " << i;
      }
      score += std::fabs(static_cast<double>(run.Fr[i]) - f);
    }
    EXPECT_GT(beyond, 0) << k;
    EXPECT_NEAR(slot.Score, score, 1e-12) << k;
  }
}

TEST(GevFit, UpperBoundAdjustmentThatTurnsShapePositiveIsAdjustedAgain) {
  // The bound lies less than 0.1 % above A: the first adjustment makes K
  // positive, and the second one, on 1.001 Q, makes it negative again.
  TavorixRun run = MakeRun(QuantilesAtPlottingPositions(60, [](double f) { return GevQuantile(f, 1000, 0.4, -0.5); }));
  FitWorkspace ws = MakeWorkspace(run);
  FitGev(run, ws);
  const FitParams& p = run.Slots[67].P;
  ASSERT_TRUE(p.Gev.BeyondBound);
  ExpectGridBound(p);
  ASSERT_LT(0.999 * p.Gev.Q - p.Gev.Loc, 0);
  EXPECT_NEAR(p.Gev.K, -p.Gev.Scale / (1.001 * p.Gev.Q - p.Gev.Loc), 1e-12);
  EXPECT_LT(p.Gev.K, 0);
}

TEST(GevFit, AddsItsProgressLinesDuringTheSearch) {
  for (const int n : {500, 501}) {
    TavorixRun run = MakeRun(QuantilesAtPlottingPositions(n, [](double f) { return GevQuantile(f, 10, 2, 0.1); }));
    std::vector<std::string> lines;
    run.Progress = [&](std::string_view line) { lines.emplace_back(line); };
    FitWorkspace ws = MakeWorkspace(run);
    FitGev(run, ws);
    std::vector<std::string> expected{" This takes time .."};
    if (n == 501) expected.push_back(" Please wait ......");
    EXPECT_EQ(lines, expected) << n;
  }
}

// ------------------------------------------------------------ all of them

TEST(GridFitsB, LeaveTheRunDataAsTheyFoundThem) {
  TavorixRun run = MakeRun(QuantilesAtPlottingPositions(30, [](double f) { return GevQuantile(f, 10, 2, -0.2); }));
  const std::vector<long double> x = run.X, fr = run.Fr;
  FitWorkspace ws = MakeWorkspace(run);
  for (auto fit : {FitLaplace, FitLaplaceGeneralized, FitFrechet, FitFrechetMirrored, FitFisherTippett3Mirrored,
                   FitFisherTippett3, FitGamma, FitGev})
    fit(run, ws);
  EXPECT_EQ(run.X, x);
  EXPECT_EQ(run.Fr, fr);
  for (int code : {68, 73, 58, 35, 33, 59, 61, 67}) {
    EXPECT_TRUE(run.Slots[code].Ran) << code;
    EXPECT_TRUE(run.Slots[code].HasResult) << code;
  }
}

}  // namespace
}  // namespace tavorix
