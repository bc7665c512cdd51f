// Normal family (codes 20-26): the Hastings approximation, the seven fits,
// their grid choices, the exponent rule of code 26 and evaluation-only mode.
//
// Expected grid entries for data built from exact normal quantiles were
// worked out independently with a separate implementation of the same
// approximation and search; they are stable against rounding (the
// runner-up misfits differ by 2 % for the sigma grids and by 0.1 % or more
// for the exponent grid).

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "fitting/FitTestSupport.h"
#include "fitting/Hastings.h"
#include "fitting/NormalFamily.h"

namespace tavorix {
namespace {

using testing::MakeRun;
using testing::MakeWorkspace;
using testing::QuantilesAtPlottingPositions;

// Inverse of the standard normal integral, by bisection on erfc.
double NormalQuantile(double p) {
  double lo = -40, hi = 40;
  for (int i = 0; i < 200; ++i) {
    const double mid = 0.5 * (lo + hi);
    if (0.5 * std::erfc(-mid / std::sqrt(2.0)) < p) lo = mid; else hi = mid;
  }
  return 0.5 * (lo + hi);
}

// Exact quantiles of a normal distribution, mapped through `to` into data.
std::vector<double> NormalData(int n, double mean, double sigma,
                               const std::function<double(double)>& to = [](double t) { return t; }) {
  return QuantilesAtPlottingPositions(n, [&](double p) { return to(mean + sigma * NormalQuantile(p)); });
}

struct SampleMoments {
  double Mean = 0, Sd = 0;
};

// Two-pass mean and standard deviation with divisor n - 1, in extended
// precision.
SampleMoments MomentsOf(const std::vector<double>& t) {
  long double s = 0, q = 0;
  for (double v : t) s += v;
  const long double mean = s / t.size();
  for (double v : t) q += (v - mean) * (v - mean);
  return {static_cast<double>(mean), static_cast<double>(std::sqrt(q / (t.size() - 1)))};
}

// The run's data mapped through a transform.
std::vector<double> Transform(const TavorixRun& run, const std::function<double(double)>& f) {
  std::vector<double> t;
  for (int i = 1; i <= run.N; ++i) t.push_back(f(static_cast<double>(run.X[i])));
  return t;
}

// Grid value (step + 99) * base / 200 of the sigma and mean grids.
double GridStep(int step, double base) {
  return static_cast<double>((step + 99) * static_cast<long double>(base) / 200);
}

struct Fitted {
  TavorixRun Run;
  std::vector<std::string> Lines;
};

Fitted FitCode(std::vector<double> values, int code, std::string preferred = "1") {
  Fitted f{MakeRun(std::move(values), std::move(preferred)), {}};
  f.Run.Progress = [lines = &f.Lines](std::string_view s) { lines->emplace_back(s); };
  FitWorkspace ws = MakeWorkspace(f.Run);
  FitNormalFamily(f.Run, ws, code);
  return f;
}

// Sum of |Fr - FcCalc| over the run.
double AbsMisfit(const TavorixRun& run) {
  double s = 0;
  for (int i = 1; i <= run.N; ++i) s += std::fabs(static_cast<double>(run.Fr[i] - run.FcCalc[i]));
  return s;
}

// --- HastingsF ----------------------------------------------------------------

TEST(HastingsF, GivesTheFiveDigitApproximation) {
  // Reference values from the five-digit formula in 40-digit decimal
  // arithmetic; at z = 0 the longer published constants would give 0.5000000005.
  const struct { double Z, F; } cases[] = {
      {0.0, 0.50000165055008041}, {1.0, 0.84134788491230134}, {2.0, 0.97725054032697607},
      {3.0, 0.99865007269506719}, {-0.5, 0.30853336856009737}, {-1.0, 0.15865211508769866},
      {-1.5, 0.066805636335651827}, {-2.0, 0.022749459673023929}, {-4.5, 3.400695019023313723e-6},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(HastingsF(5.0 + 2.0 * c.Z, 5.0, 2.0), c.F, 1e-14) << "z = " << c.Z;
  }
}

TEST(HastingsF, LowerTailMirrorsTheUpperTailInEveryForm) {
  // Applied to negative z as it stands, the polynomial would outgrow 1/phi
  // (F 0.0006 at z = -1.9 and 0 from z = -2 on, where the normal integral
  // gives 0.0228). The fits', the scan's and the calculator's forms all take
  // 1 - H(-z), down to the far tail and across z = -1/0.23165.
  const double zPole = -1.0 / 0.23165;
  for (double z : {-0.3, -1.9, -2.0, -3.0, zPole - 1e-9, zPole, zPole + 1e-9, -8.0}) {
    const double upper = HastingsF(-z, 0, 1);
    EXPECT_NEAR(HastingsF(z, 0, 1), 1.0 - upper, 1e-15) << "z = " << z;
    EXPECT_GT(HastingsF(z, 0, 1), 0.0) << "z = " << z;
    EXPECT_NEAR(HastingsScanF(z), 1.0 - upper, 1e-15) << "z = " << z;
    EXPECT_NEAR(HastingsCalcF(z), 1.0 - upper, 1e-15) << "z = " << z;
  }
  EXPECT_EQ(HastingsF(-1e10, 0, 1), 0.0);
  EXPECT_EQ(HastingsF(NAN, 0, 1), 0.0);
}

TEST(HastingsF, FollowsTheNormalIntegralAndRisesThroughout) {
  double previous = 0;
  for (int i = -6000; i <= 8000; i += 7) {
    const double z = i / 1000.0;
    const double f = HastingsF(z, 0, 1);
    EXPECT_GE(f, previous) << "z = " << z;
    EXPECT_LE(f, 1.0);
    EXPECT_NEAR(f, 0.5 * std::erfc(-z / std::sqrt(2.0)), 5e-6) << "z = " << z;
    previous = f;
  }
}

// --- plain codes 20 and 22 ---------------------------------------------------------

TEST(NormalFamily, StandardNormalTakesSampleMeanAndSd) {
  const Fitted f = FitCode(NormalData(100, 10, 2), 20);
  const FitSlot& s = f.Run.Slots[20];
  const SampleMoments m = MomentsOf(Transform(f.Run, [](double x) { return x; }));
  ASSERT_TRUE(s.HasResult);
  EXPECT_TRUE(s.Ran);
  EXPECT_NEAR(s.P.Normal.Mean, 10.0, 1e-12);
  EXPECT_NEAR(s.P.Normal.Sigma, m.Sd, 1e-12);
  // Quantiles at R/(N+1) spread a little less than the population.
  EXPECT_GT(s.P.Normal.Sigma, 0.95 * 2.0);
  EXPECT_LT(s.P.Normal.Sigma, 2.0);
  EXPECT_EQ(s.P.Normal.Sigma0, 0.0);
  EXPECT_NEAR(s.Score, AbsMisfit(f.Run), 1e-12);
  EXPECT_TRUE(s.Listed);
}

TEST(NormalFamily, StandardLogNormalWorksOnLogarithms) {
  const Fitted f = FitCode(NormalData(60, 2, 0.5, [](double t) { return std::exp(t); }), 22);
  const FitSlot& s = f.Run.Slots[22];
  const SampleMoments m = MomentsOf(Transform(f.Run, [](double x) { return std::log(x); }));
  ASSERT_TRUE(s.HasResult);
  EXPECT_NEAR(s.P.Normal.Mean, 2.0, 1e-12);
  EXPECT_NEAR(s.P.Normal.Sigma, m.Sd, 1e-12);
  EXPECT_EQ(s.P.Normal.Sigma0, 0.0);
  for (int i = 1; i <= f.Run.N; ++i) {
    const double x = static_cast<double>(f.Run.X[i]);
    EXPECT_NEAR(static_cast<double>(f.Run.FcCalc[i]), HastingsF(std::log(x), m.Mean, m.Sd), 1e-12);
  }
  EXPECT_NEAR(s.Score, AbsMisfit(f.Run), 1e-12);
}

// --- sigma grid codes 21, 24, 25 and the mean/sigma grid of 23 ---------------------

// Data whose transformed values t are the exact quantiles of N(mean, sigma);
// `to` maps t into X.
struct GridCase {
  int Code;
  double Mean, Sigma;
  std::function<double(double)> To, Back;  // t -> X and X -> t
};

class SigmaGrid : public ::testing::TestWithParam<int> {};

GridCase CaseFor(int code) {
  const auto id = [](double v) { return v; };
  switch (code) {
    case 21: return {21, 10, 2, id, id};
    case 23: return {23, 2, 0.5, [](double t) { return std::exp(t); }, [](double x) { return std::log(x); }};
    case 24: return {24, 10, 2, [](double t) { return t * t; }, [](double x) { return std::sqrt(x); }};
    default: return {25, 10, 2, [](double t) { return std::sqrt(t); }, [](double x) { return x * x; }};
  }
}

TEST_P(SigmaGrid, ExactNormalQuantilesGiveBackMeanAndSigma) {
  // The misfit depends on t only through (t - mean) / sd0, so all four codes
  // choose the same sigma step, 108 of 201 (for 23 with mean step 101, the
  // sample mean itself): the step nearest to the true sigma.
  const GridCase c = CaseFor(GetParam());
  const Fitted f = FitCode(NormalData(100, c.Mean, c.Sigma, c.To), c.Code);
  const FitSlot& s = f.Run.Slots[c.Code];
  const SampleMoments m = MomentsOf(Transform(f.Run, c.Back));
  ASSERT_TRUE(s.HasResult);
  EXPECT_NEAR(s.P.Normal.Mean, c.Mean, 1e-12 * c.Mean);
  EXPECT_NEAR(s.P.Normal.Mean, m.Mean, 1e-12 * c.Mean);
  EXPECT_NEAR(s.P.Normal.Sigma0, m.Sd, 1e-12 * m.Sd);
  EXPECT_NEAR(s.P.Normal.Sigma, GridStep(108, m.Sd), 1e-12 * m.Sd);
  EXPECT_NEAR(s.P.Normal.Sigma, c.Sigma, 0.5 * m.Sd / 200);
  EXPECT_NEAR(s.Score, AbsMisfit(f.Run), 1e-12);
  for (int i = 1; i <= f.Run.N; ++i) {
    const double t = c.Back(static_cast<double>(f.Run.X[i]));
    EXPECT_NEAR(static_cast<double>(f.Run.FcCalc[i]), HastingsF(t, s.P.Normal.Mean, s.P.Normal.Sigma), 1e-12);
  }
}

INSTANTIATE_TEST_SUITE_P(NormalFamily, SigmaGrid, ::testing::Values(21, 23, 24, 25));

// A tight cluster with one far value on each side: sd0 is large, and every
// sigma of the grid (0.5 sd0 and up) is too wide, so the misfit rises with k.
std::vector<double> ClusterWithOutliers(double centre, double spread, double low, double high) {
  std::vector<double> v = NormalData(20, centre, spread);
  v.push_back(low);
  v.push_back(high);
  return v;
}

TEST(NormalFamily, OptimizedNormalTakesFirstEntryWhenBestSigmaIsHalfSd0) {
  const Fitted f = FitCode(ClusterWithOutliers(10, 0.1, 0.5, 19.5), 21);
  const FitSlot& s = f.Run.Slots[21];
  const SampleMoments m = MomentsOf(Transform(f.Run, [](double x) { return x; }));
  ASSERT_TRUE(s.HasResult);
  EXPECT_NEAR(s.P.Normal.Sigma0, m.Sd, 1e-12);
  EXPECT_EQ(s.P.Normal.Sigma, 0.5 * s.P.Normal.Sigma0);
}

TEST(NormalFamily, OptimizedLogNormalNeverTakesAnEdgeEntryAlone) {
  // On ln X this is the cluster above: over the whole table the smallest
  // misfit lies at (mean step 101, sigma step 1), which is no candidate; the
  // fit takes (101, 2), the best entry with both steps above 1.
  std::vector<double> x = ClusterWithOutliers(3, 0.03, 2, 4);
  for (double& v : x) v = std::exp(v);
  const Fitted f = FitCode(x, 23);
  const FitSlot& s = f.Run.Slots[23];
  const SampleMoments m = MomentsOf(Transform(f.Run, [](double v) { return std::log(v); }));
  ASSERT_TRUE(s.HasResult);
  EXPECT_NEAR(s.P.Normal.Mean, m.Mean, 1e-12 * m.Mean);
  EXPECT_NEAR(s.P.Normal.Sigma, GridStep(2, m.Sd), 1e-12);
  EXPECT_GT(s.P.Normal.Sigma, 0.5 * s.P.Normal.Sigma0);
}

// --- the choice rules on hand-made tables -------------------------------------------

constexpr std::size_t kRow = kNormalSigmaSteps;
std::size_t At(int j, int k) { return (j - 1) * kRow + (k - 1); }

TEST(NormalGridChoice, SigmaGridKeepsFirstOfEqualMinima) {
  std::vector<double> ss(kRow, 2.0);
  EXPECT_EQ(ChooseSigmaEntry(ss), 1);
  ss[149] = 1.0;
  ss[159] = 1.0;
  EXPECT_EQ(ChooseSigmaEntry(ss), 150);
  ss[0] = 1.0;
  EXPECT_EQ(ChooseSigmaEntry(ss), 1);
  for (std::size_t k = 0; k < kRow; ++k) ss[k] = 500.0 - k;
  EXPECT_EQ(ChooseSigmaEntry(ss), 201);
}

TEST(NormalGridChoice, MeanSigmaGridSkipsEntriesWithOneStepAtOne) {
  std::vector<double> ss(kNormalMeanSteps * kRow, 5.0);
  EXPECT_EQ(ChooseMeanSigmaEntry(ss).J, 1);
  EXPECT_EQ(ChooseMeanSigmaEntry(ss).K, 1);
  ss[At(1, 7)] = 0.0;    // first row: no candidate
  ss[At(9, 1)] = 0.0;    // first column: no candidate
  ss[At(201, 1)] = 0.0;
  ss[At(4, 4)] = 1.0;
  NormalGridEntry e = ChooseMeanSigmaEntry(ss);
  EXPECT_EQ(e.J, 4);
  EXPECT_EQ(e.K, 4);
  ss[At(1, 1)] = 0.5;  // the start entry stays when nothing is strictly smaller
  e = ChooseMeanSigmaEntry(ss);
  EXPECT_EQ(e.J, 1);
  EXPECT_EQ(e.K, 1);
  ss[At(3, 6)] = 0.2;  // equal minima: the first in row order wins
  ss[At(3, 5)] = 0.2;
  ss[At(4, 2)] = 0.2;
  e = ChooseMeanSigmaEntry(ss);
  EXPECT_EQ(e.J, 3);
  EXPECT_EQ(e.K, 5);
  ss[At(201, 201)] = 0.1;
  e = ChooseMeanSigmaEntry(ss);
  EXPECT_EQ(e.J, 201);
  EXPECT_EQ(e.K, 201);
}

TEST(NormalGridChoice, ExponentSigmaGridTakesAnyFirstStrictMinimum) {
  std::vector<double> ss(kNormalExponentSteps * kRow, 0.5);
  NormalGridEntry e = ChooseExponentSigmaEntry(ss);
  EXPECT_EQ(e.J, 1);
  EXPECT_EQ(e.K, 1);
  ss[At(200, 3)] = 0.25;
  ss[At(200, 2)] = 0.25;
  ss[At(280, 1)] = 0.25;
  e = ChooseExponentSigmaEntry(ss);
  EXPECT_EQ(e.J, 200);
  EXPECT_EQ(e.K, 2);
  std::vector<double> huge(kNormalExponentSteps * kRow, 1e6);  // start value is 1 000 000
  huge[At(280, 201)] = 999999.0;
  e = ChooseExponentSigmaEntry(huge);
  EXPECT_EQ(e.J, 280);
  EXPECT_EQ(e.K, 201);
}

// --- the searches against a full table ---------------------------------------------

// An irregular series (two groups and a long upper tail).
const std::vector<double> kIrregular = {0.8, 1.1, 1.3, 1.35, 1.9, 2.2, 2.25, 2.4, 3.0, 3.1, 3.3, 3.35, 3.4,
                                        3.6, 4.4, 4.5, 5.2, 5.9, 6.1, 7.7, 9.4, 12.0, 15.5, 21.0, 34.0};

// Full sum of squares of one trial on transformed values t (0-based).
double FullMisfit(const std::vector<double>& t, const std::vector<long double>& fr, double mean,
                  double sigma, bool saturate) {
  double ss = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    double d = static_cast<double>(fr[i + 1]) - HastingsF(t[i], mean, sigma);
    if (saturate && std::fabs(d) > 1) d = 1;
    ss += d * d;
  }
  return ss;
}

TEST(NormalFamily, MeanSigmaSearchPicksTheEntryOfTheFullTable) {
  const Fitted f = FitCode(kIrregular, 23);
  const std::vector<double> t = Transform(f.Run, [](double x) { return std::log(x); });
  const SampleMoments m = MomentsOf(t);
  std::vector<double> ss(kNormalMeanSteps * kNormalSigmaSteps);
  for (int j = 1; j <= kNormalMeanSteps; ++j)
    for (int k = 1; k <= kNormalSigmaSteps; ++k)
      ss[At(j, k)] = FullMisfit(t, f.Run.Fr, GridStep(j, m.Mean), GridStep(k, m.Sd), false);
  const NormalGridEntry e = ChooseMeanSigmaEntry(ss);
  const FitSlot& s = f.Run.Slots[23];
  EXPECT_EQ(s.P.Normal.Mean, GridStep(e.J, m.Mean));
  EXPECT_EQ(s.P.Normal.Sigma, GridStep(e.K, m.Sd));
}

TEST(NormalFamily, ExponentSigmaSearchPicksTheEntryOfTheFullTable) {
  std::vector<double> x = kIrregular;
  for (double& v : x) v = std::log(v) + 1;  // best exponent about 0.5
  const Fitted f = FitCode(x, 26);
  const FitWorkspace ws = MakeWorkspace(f.Run);
  std::vector<double> ss(kNormalExponentSteps * kNormalSigmaSteps);
  std::vector<double> t(f.Run.N);
  for (int j = 1; j <= kNormalExponentSteps; ++j) {
    const double e = static_cast<double>(0.19L + 0.01L * j);
    for (int i = 1; i <= f.Run.N; ++i) t[i - 1] = std::exp(e * ws.LnX[i]);
    const SampleMoments m = MomentsOf(t);
    for (int k = 1; k <= kNormalSigmaSteps; ++k)
      ss[At(j, k)] = FullMisfit(t, f.Run.Fr, m.Mean, GridStep(k, m.Sd), true);
  }
  const NormalGridEntry e = ChooseExponentSigmaEntry(ss);
  const double exponent = static_cast<double>(0.19L + 0.01L * e.J);
  ASSERT_FALSE(exponent > 0.95 && exponent < 1.05);  // the data are meant to need no snapping
  const FitSlot& s = f.Run.Slots[26];
  EXPECT_EQ(s.P.Normal.E, exponent);
  EXPECT_NEAR(s.P.Normal.Sigma, GridStep(e.K, s.P.Normal.Sigma0), 1e-15 * s.P.Normal.Sigma);
}

// --- code 26 -----------------------------------------------------------------------

// X^1.01 are exact normal quantiles (mean 10, sigma 4); the grid's best
// entry, near E = 1.01 with sigma step 116, lies within 0.95..1.05.
std::vector<double> NearOneExponentData() {
  return NormalData(40, 10, 4, [](double t) { return std::pow(t, 1 / 1.01); });
}

TEST(NormalFamily, GeneralizedNormalSnapsExponentNearOneAndCannotWin) {
  const Fitted f = FitCode(NearOneExponentData(), 26);
  const FitSlot& s = f.Run.Slots[26];
  const SampleMoments m = MomentsOf(Transform(f.Run, [](double x) { return std::exp(std::log(x)); }));
  ASSERT_TRUE(s.HasResult);
  EXPECT_EQ(s.P.Normal.E, 1.0);
  EXPECT_NEAR(s.P.Normal.Mean, m.Mean, 1e-12);
  EXPECT_NEAR(s.P.Normal.Sigma0, m.Sd, 1e-12);
  EXPECT_NEAR(s.P.Normal.Sigma, GridStep(116, m.Sd), 1e-12);
  EXPECT_EQ(s.Score, 1000.0);
  EXPECT_FALSE(s.Listed);
  EXPECT_EQ(f.Lines, std::vector<std::string>{" 96 done"});
}

TEST(NormalFamily, GeneralizedNormalPreferredKeepsItsScoreAtExponentOne) {
  const Fitted f = FitCode(NearOneExponentData(), 26, "26");
  const FitSlot& s = f.Run.Slots[26];
  ASSERT_TRUE(s.HasResult);
  EXPECT_EQ(s.P.Normal.E, 1.0);
  EXPECT_LT(s.Score, 1000.0);
  EXPECT_NEAR(s.Score, AbsMisfit(f.Run), 1e-12);
  EXPECT_FALSE(s.Listed);  // a preferred run has no ranked list
  EXPECT_EQ(f.Lines, std::vector<std::string>{" 96 done"});
}

TEST(NormalFamily, GeneralizedNormalFindsExponentAwayFromOne) {
  // X^2 are exact normal quantiles (mean 10, sigma 4): best entry E = 2,
  // sigma step 116.
  const Fitted f = FitCode(NormalData(40, 10, 4, [](double t) { return std::sqrt(t); }), 26);
  const FitSlot& s = f.Run.Slots[26];
  const SampleMoments m = MomentsOf(Transform(f.Run, [](double x) { return std::exp(2.0 * std::log(x)); }));
  ASSERT_TRUE(s.HasResult);
  EXPECT_DOUBLE_EQ(s.P.Normal.E, 2.0);
  EXPECT_NEAR(s.P.Normal.Mean, m.Mean, 1e-12 * m.Mean);
  EXPECT_NEAR(s.P.Normal.Sigma0, m.Sd, 1e-12 * m.Sd);
  EXPECT_NEAR(s.P.Normal.Sigma, GridStep(116, m.Sd), 1e-12 * m.Sd);
  EXPECT_TRUE(s.Listed);
  EXPECT_NEAR(s.Score, AbsMisfit(f.Run), 1e-12);
}

// --- the routine as the engine drives it --------------------------------------------

TEST(NormalFamily, EachCodeWritesItsProgressLineAndCurveMatchesEvaluation) {
  const std::vector<double> data = NormalData(30, 3, 0.4, [](double t) { return std::exp(t); });
  TavorixRun run = MakeRun(data);
  std::vector<std::string> lines;
  run.Progress = [&](std::string_view s) { lines.emplace_back(s); };
  FitWorkspace ws = MakeWorkspace(run);
  for (int code = 20; code <= 26; ++code) {
    FitNormalFamily(run, ws, code);
    const FitSlot& s = run.Slots[code];
    ASSERT_TRUE(s.HasResult) << code;
    EXPECT_EQ(s.Listed, code != 26 || s.P.Normal.E != 1.0) << code;
    for (int i = 1; i <= run.N; ++i) {
      EXPECT_NEAR(NormalFamilyFc(code, s.P, static_cast<double>(run.X[i])),
                  static_cast<double>(run.FcCalc[i]), 1e-12)
          << "code " << code << " rank " << i;
    }
  }
  EXPECT_EQ(lines, (std::vector<std::string>{" 90 done", " 91 done", " 92 done", " 93 done", " 94 done",
                                             " 95 done", " 96 done"}));
  // The fits read the run's data and never change them.
  for (int i = 1; i <= run.N; ++i) EXPECT_EQ(static_cast<double>(run.X[i]), ws.X[i]);
}

TEST(NormalFamily, DataWithoutSpreadGiveNoResultAndNoLine) {
  for (int code = 20; code <= 26; ++code) {
    const Fitted f = FitCode(std::vector<double>(12, 5.0), code);
    const FitSlot& s = f.Run.Slots[code];
    EXPECT_TRUE(s.Ran) << code;
    EXPECT_FALSE(s.HasResult) << code;
    EXPECT_FALSE(s.Listed) << code;
    EXPECT_EQ(s.Score, 0.0) << code;
    EXPECT_TRUE(f.Lines.empty()) << code;
  }
}

TEST(NormalFamily, OtherCodesAreLeftAlone) {
  for (int code : {3, 19, 27, 90}) {
    const Fitted f = FitCode(NormalData(12, 10, 2), code);
    EXPECT_FALSE(f.Run.Slots[code].Ran) << code;
    EXPECT_TRUE(f.Lines.empty()) << code;
    EXPECT_TRUE(f.Run.FcCalc.empty()) << code;
  }
}

TEST(NormalFamily, EvaluationOnlyChangesNothingButFcCalc) {
  // Parameters as a fit would leave them; the curve is evaluated at points
  // other than the data, as the fitted-curve stage does.
  const std::function<double(double)> transforms[] = {
      [](double x) { return x; },           [](double x) { return x; },
      [](double x) { return std::log(x); }, [](double x) { return std::log(x); },
      [](double x) { return std::sqrt(x); }, [](double x) { return x * x; },
      [](double x) { return std::pow(x, 1.5); }};
  for (int code = 20; code <= 26; ++code) {
    TavorixRun run = MakeRun(NormalData(12, 10, 2));
    std::vector<std::string> lines;
    run.Progress = [&](std::string_view s) { lines.emplace_back(s); };
    FitSlot& slot = run.Slots[code];
    slot.Ran = slot.HasResult = slot.Listed = true;
    slot.Score = 0.123;
    slot.P.Normal.Mean = 1.5;
    slot.P.Normal.Sigma = 0.8;
    slot.P.Normal.Sigma0 = 0.7;
    slot.P.Normal.E = 1.5;
    FitWorkspace ws = MakeWorkspace(run);
    ws.N = 20;
    ws.X.assign(21, 0.0);
    for (int k = 1; k <= 20; ++k) ws.X[k] = 0.2 * k;
    run.NormalEvalOnly = true;
    FitNormalFamily(run, ws, code);

    ASSERT_EQ(run.FcCalc.size(), 21u) << code;
    for (int k = 1; k <= 20; ++k) {
      const double want = HastingsF(transforms[code - 20](0.2 * k), 1.5, 0.8);
      EXPECT_NEAR(static_cast<double>(run.FcCalc[k]), want, 1e-12) << "code " << code << " point " << k;
    }
    EXPECT_TRUE(lines.empty()) << code;
    EXPECT_EQ(slot.Score, 0.123) << code;
    EXPECT_TRUE(slot.Listed && slot.HasResult) << code;
    EXPECT_EQ(slot.P.Normal.Mean, 1.5);
    EXPECT_EQ(slot.P.Normal.Sigma, 0.8);
    EXPECT_EQ(slot.P.Normal.Sigma0, 0.7);
    EXPECT_EQ(slot.P.Normal.E, 1.5);
  }
}

TEST(NormalFamilyFc, IsZeroWhereTheTransformHasNoValue) {
  FitParams p;
  p.Normal.Mean = 1;
  p.Normal.Sigma = 0.5;
  p.Normal.E = 2;
  EXPECT_EQ(NormalFamilyFc(22, p, 0.0), 0.0);
  EXPECT_EQ(NormalFamilyFc(23, p, -1.0), 0.0);
  EXPECT_EQ(NormalFamilyFc(24, p, -1.0), 0.0);
  // A power of 0 is 0.
  EXPECT_EQ(NormalFamilyFc(26, p, 0.0), HastingsF(0.0, 1, 0.5));
  EXPECT_EQ(NormalFamilyFc(27, p, 1.0), 0.0);
  // Two sigma to the left of the mean: the lower tail, 1 - H(2).
  EXPECT_NEAR(NormalFamilyFc(20, p, 1 - 2 * 0.5), 0.022749459673023929, 1e-15);
  EXPECT_GT(NormalFamilyFc(20, p, 1.0), 0.5);
  p.Normal.Sigma = 0;
  EXPECT_EQ(NormalFamilyFc(20, p, 1.0), 0.0);
}

}  // namespace
}  // namespace tavorix
