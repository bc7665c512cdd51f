// The line-based single fits (3, 4, 5, 6, 51, 52, 53, 54, 55, 57, 60, 64,
// 65, 66) and Student (62, 63).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "FitTestSupport.h"
#include "fitting/DistributionFunctions.h"
#include "fitting/RegressionFits.h"
#include "fitting/StudentFit.h"

namespace tavorix {
namespace {

using testing::MakeRun;
using testing::MakeWorkspace;
using testing::QuantilesAtPlottingPositions;

constexpr int kN = 60;
constexpr double kPi = std::numbers::pi;

FitSlot FitOn(int code, const std::vector<double>& data, std::string preferred = "1") {
  TavorixRun run = MakeRun(data, std::move(preferred));
  FitWorkspace ws = MakeWorkspace(run);
  testing::FitCode(code, run, ws);
  return run.Slots[code];
}

// A distribution with known parameters and its exact inverse.
struct KnownCase {
  int Code;
  double A, B, E;  // E = 0 for the forms without exponent
  std::function<double(double)> Inverse;
};

void PrintTo(const KnownCase& c, std::ostream* os) { *os << "code " << c.Code; }

// y = A X^E + B (or A X + B) solved for X.
double Root(double lhs, double a, double b, double e) { return std::pow((lhs - b) / a, 1.0 / e); }

const KnownCase kKnown[] = {
    // Gumbel: exp(-exp(-(A X + B)))
    {4, 0.5, -2.0, 0, [](double f) { return Root(-std::log(-std::log(f)), 0.5, -2.0, 1); }},
    // Mirrored Gumbel: 1 - exp(-exp(-(A X + B)))
    {5, -0.8, 5.0, 0, [](double f) { return Root(-std::log(-std::log(1 - f)), -0.8, 5.0, 1); }},
    // Exponential: 1 - exp(-A X)
    {6, 0.4, 0.0, 0, [](double f) { return -std::log(1 - f) / 0.4; }},
    // Logistic: 1/(1 + exp(A X + B))
    {53, -0.7, 5.0, 0, [](double f) { return Root(std::log(1 / f - 1), -0.7, 5.0, 1); }},
    // Log-logistic: 1/(1 + exp(A ln X + B))
    {54, -2.5, 3.0, 0, [](double f) { return std::exp((std::log(1 / f - 1) - 3.0) / -2.5); }},
    // Weibull with shape 1.7 and scale 3: A = 1.7, B = -A ln 3
    {57, 1.7, -1.7 * std::log(3.0), 0, [](double f) { return 3.0 * std::pow(-std::log(1 - f), 1 / 1.7); }},
    // Mirrored Weibull exp(-(X/5)^-2): A = -2, B = 2 ln 5
    {60, -2.0, 2.0 * std::log(5.0), 0, [](double f) { return 5.0 * std::pow(-std::log(f), -0.5); }},
    // Cauchy: 0.5 + arctan(A X + B)/pi
    {64, 1.5, -25.0, 0, [](double f) { return Root(std::tan(kPi * (f - 0.5)), 1.5, -25.0, 1); }},
    // Generalized forms with E well away from 1.
    {3, 0.3, 0.01, 1.8, [](double f) { return Root(-std::log(1 - f), 0.3, 0.01, 1.8); }},
    {51, 2.0, -3.0, 0.5, [](double f) { return Root(-std::log(-std::log(f)), 2.0, -3.0, 0.5); }},
    {52, -1.0, 6.0, 1.6, [](double f) { return Root(-std::log(-std::log(1 - f)), -1.0, 6.0, 1.6); }},
    {55, -0.5, 5.0, 2.2, [](double f) { return Root(std::log(1 / f - 1), -0.5, 5.0, 2.2); }},
    {65, 1.0, -25.0, 0.6, [](double f) { return Root(std::tan(kPi * (f - 0.5)), 1.0, -25.0, 0.6); }},
    {66, -0.5, 5.0, 0.7, [](double f) { return Root(-std::log(f), -0.5, 5.0, 0.7); }},
};

class KnownDistribution : public ::testing::TestWithParam<KnownCase> {};

// The line of a regression fit with its exponent (0 for the unscanned forms).
PowerLineParams LineOf(int code, const FitParams& p) {
  if (FindDistribution(code)->Params.Family == ParamFamily::PowerLine) return p.PowerLine;
  return {p.Line.A, p.Line.B, 0.0};
}

TEST_P(KnownDistribution, GivesBackItsParameters) {
  const KnownCase& c = GetParam();
  const std::vector<double> data = QuantilesAtPlottingPositions(kN, c.Inverse);
  TavorixRun run = MakeRun(data);
  FitWorkspace ws = MakeWorkspace(run);
  testing::FitCode(c.Code, run, ws);
  const FitSlot& slot = run.Slots[c.Code];

  EXPECT_TRUE(slot.Ran);
  EXPECT_TRUE(slot.HasResult);
  EXPECT_TRUE(slot.Listed);
  const PowerLineParams line = LineOf(c.Code, slot.P);
  EXPECT_EQ(line.E, c.E);  // the scan lands exactly on the grid exponent
  EXPECT_NEAR(line.A, c.A, 1e-7 * std::fabs(c.A));
  EXPECT_NEAR(line.B, c.B, 1e-7 * std::max(1.0, std::fabs(c.B)));
  EXPECT_LT(slot.Score, 1e-8);  // the line passes through every point
  const bool gumbel = c.Code == 4 || c.Code == 5 || c.Code == 51;
  EXPECT_DOUBLE_EQ(slot.StdErrX, gumbel ? 1.28 / line.A : 0.0);

  // The parameters as handed over reproduce the plotting positions through
  // the code's own frequency function.
  const PlainFc fc = SingleFcOf(c.Code);
  ASSERT_TRUE(fc);
  for (int i = 1; i <= kN; ++i)
    EXPECT_NEAR(fc(slot.P, data[i - 1]), static_cast<double>(i) / (kN + 1), 1e-9) << i;
}

INSTANTIATE_TEST_SUITE_P(RegressionFits, KnownDistribution, ::testing::ValuesIn(kKnown),
                         [](const auto& info) { return "Code" + std::to_string(info.param.Code); });

std::vector<double> GumbelData() { return QuantilesAtPlottingPositions(kN, kKnown[0].Inverse); }

TEST(RegressionFits, AreListedOnlyInBestOfAll) {
  const std::vector<double> data = GumbelData();
  EXPECT_TRUE(FitOn(4, data, "1").Listed);
  const FitSlot preferred = FitOn(4, data, "4");
  EXPECT_TRUE(preferred.Ran);
  EXPECT_FALSE(preferred.Listed);
}

TEST(RegressionFits, GeneralizedFitEndingAtEOneCannotWinInBestOfAll) {
  const std::vector<double> data = GumbelData();
  const FitSlot gumbel = FitOn(4, data);
  const FitSlot best = FitOn(51, data, "1");
  EXPECT_EQ(best.P.PowerLine.E, 1.0);
  EXPECT_EQ(best.Score, 1000.0);
  EXPECT_FALSE(best.Listed);
  // Preferred alone it keeps its real score: that of its standard twin.
  const FitSlot alone = FitOn(51, data, "51");
  EXPECT_EQ(alone.P.PowerLine.E, 1.0);
  EXPECT_NEAR(alone.Score, gumbel.Score, 1e-9);
  EXPECT_NEAR(alone.P.PowerLine.A, gumbel.P.Line.A, 1e-9);
  EXPECT_NEAR(alone.P.PowerLine.B, gumbel.P.Line.B, 1e-9);
}

TEST(RegressionFits, BestExponentBeyondTheGridEndsAtEOne) {
  // Generalized Gumbel data with E = 4 and with E = 0.1: the misfit falls
  // towards the grid's end (2.99) or its unused first point (0.20).
  for (double e : {4.0, 0.1}) {
    SCOPED_TRACE(e);
    const auto data = QuantilesAtPlottingPositions(
        kN, [e](double f) { return Root(-std::log(-std::log(f)), 2.0, -3.0, e); });
    const FitSlot slot = FitOn(51, data);
    EXPECT_EQ(slot.P.PowerLine.E, 1.0);
    EXPECT_EQ(slot.Score, 1000.0);
    EXPECT_FALSE(slot.Listed);
  }
}

TEST(RegressionFits, MirroredExponentialAtEOneKeepsItsScoreUnlisted) {
  const auto data = QuantilesAtPlottingPositions(kN, [](double f) { return Root(-std::log(f), -0.5, 5.0, 1); });
  const FitSlot slot = FitOn(66, data);
  EXPECT_EQ(slot.P.PowerLine.E, 1.0);
  EXPECT_FALSE(slot.Listed);
  EXPECT_LT(slot.Score, 1e-6);
}

TEST(RegressionGuards, ExponentialGeneralizedClipsItsFinalValues) {
  using enum FcForm;
  // z = -(A Xt + B) >= 8 gives 8 in the search and 0.999 at the end.
  EXPECT_EQ(ShapeFc(ExponentialGeneralized, 1, -10, 1), 8.0);
  EXPECT_EQ(ShapeFinalFc(ExponentialGeneralized, 1, -10, 1), 0.999);
  EXPECT_DOUBLE_EQ(ShapeFc(ExponentialGeneralized, 1, 9, 1), 1 - std::exp(-10.0));
  EXPECT_EQ(ShapeFinalFc(ExponentialGeneralized, 1, 9, 1), 0.999);
  EXPECT_EQ(ShapeFinalFc(ExponentialGeneralized, 1, -1, 1), 0.001);  // exactly 0
  EXPECT_DOUBLE_EQ(ShapeFc(ExponentialGeneralized, 1, -1.5, 1), 1 - std::exp(0.5));
  EXPECT_EQ(ShapeFinalFc(ExponentialGeneralized, 1, -1.5, 1), 0.001);
  EXPECT_DOUBLE_EQ(ShapeFinalFc(ExponentialGeneralized, 1, 0, 1), 1 - std::exp(-1.0));
}

TEST(RegressionGuards, MirroredExponentialClipsOnlyAbove0999) {
  using enum FcForm;
  EXPECT_EQ(ShapeFc(ExponentialMirrored, 1, -10, 1), 8.0);
  EXPECT_EQ(ShapeFinalFc(ExponentialMirrored, 1, -10, 1), 0.999);
  EXPECT_DOUBLE_EQ(ShapeFc(ExponentialMirrored, 1, -1.01, 1), std::exp(0.01));
  EXPECT_EQ(ShapeFinalFc(ExponentialMirrored, 1, -1.01, 1), 0.999);
  EXPECT_DOUBLE_EQ(ShapeFinalFc(ExponentialMirrored, 1, 9, 1), std::exp(-10.0));  // tiny stays
}

TEST(RegressionGuards, ExponentialHasNoFinalClipping) {
  using enum FcForm;
  EXPECT_EQ(ShapeFinalFc(Exponential, -10, 0, 1), 8.0);  // z = -A X = 10
  EXPECT_DOUBLE_EQ(ShapeFinalFc(Exponential, 10, 0, 1), 1 - std::exp(-10.0));
  EXPECT_DOUBLE_EQ(ShapeFinalFc(Exponential, -1, 0, 1), 1 - std::exp(1.0));
  EXPECT_DOUBLE_EQ(ShapeFinalFc(Exponential, 0.5, 123, 2), 1 - std::exp(-1.0));  // B unused
}

TEST(RegressionGuards, GumbelArgumentAndWeibullPowerAreCapped) {
  using enum FcForm;
  EXPECT_DOUBLE_EQ(ShapeFc(Gumbel, 1, 0, 20), std::exp(-std::exp(-8.0)));
  EXPECT_DOUBLE_EQ(ShapeFc(Gumbel, 1, 0, -20), std::exp(-std::exp(8.0)));
  EXPECT_DOUBLE_EQ(ShapeFc(GumbelMirrored, 1, 0, 20), 1 - std::exp(-std::exp(-8.0)));
  EXPECT_DOUBLE_EQ(ShapeFc(Gumbel, 1, 0.5, 2), std::exp(-std::exp(-2.5)));
  // Xt = ln X: w = exp(A Xt + B), capped at 8.
  EXPECT_DOUBLE_EQ(ShapeFc(Weibull, 2, 0, 5), 1 - std::exp(-8.0));
  EXPECT_DOUBLE_EQ(ShapeFc(WeibullMirrored, 2, 0, 5), std::exp(-8.0));
  EXPECT_DOUBLE_EQ(ShapeFc(Weibull, 2, 0, 0.5), 1 - std::exp(-std::exp(1.0)));
  EXPECT_DOUBLE_EQ(ShapeFc(Logistic, 2, 1, 0.5), 1 / (1 + std::exp(2.0)));
  EXPECT_DOUBLE_EQ(ShapeFc(Cauchy, 2, 1, 0), 0.5 + std::atan(1.0) / kPi);
}

// Data 1..19 and one far outlier.
std::vector<double> WithOutlier(double outlier) {
  std::vector<double> data;
  for (int i = 1; i <= 19; ++i) data.push_back(i);
  data.push_back(outlier);
  return data;
}

// Sum of |Fr - Fc| over the data with Fc from the catalogue formula of the
// code at the slot's parameters, optionally clipped into [0.001, 0.999];
// counts in `outside` the values that the clip would change.
double ScoreFromFormula(int code, const FitSlot& slot, const std::vector<double>& data, bool clip,
                        int& outside) {
  const int n = static_cast<int>(data.size());
  double sum = 0;
  outside = 0;
  for (int i = 1; i <= n; ++i) {
    const PowerLineParams line = LineOf(code, slot.P);
    const double x = data[i - 1], p = line.A * std::pow(x, line.E) + line.B;
    double fc = code == 3 ? 1 - std::exp(-p) : code == 66 ? std::exp(-p) : 1 - std::exp(-line.A * x);
    if (fc <= 0 || fc > 0.999) ++outside;
    if (clip) fc = fc <= 0 ? 0.001 : (fc > 0.999 ? 0.999 : fc);
    sum += std::fabs(static_cast<double>(i) / (n + 1) - fc);
  }
  return sum;
}

TEST(RegressionFits, FinalScoresOf3And66UseClippedValuesAnd6TheRawOnes) {
  int outside = 0;
  // Outlier 60: the generalized exponential's first value falls to 0 or below.
  const auto data3 = WithOutlier(60);
  const FitSlot s3 = FitOn(3, data3);
  EXPECT_NEAR(s3.Score, ScoreFromFormula(3, s3, data3, true, outside), 1e-9);
  EXPECT_GT(outside, 0);
  // Outlier 400: the top value of 66 and of 6 rises above 0.999.
  const auto data = WithOutlier(400);
  const FitSlot s66 = FitOn(66, data);
  EXPECT_NEAR(s66.Score, ScoreFromFormula(66, s66, data, true, outside), 1e-9);
  EXPECT_GT(outside, 0);
  const FitSlot s6 = FitOn(6, data);
  EXPECT_NEAR(s6.Score, ScoreFromFormula(6, s6, data, false, outside), 1e-9);
  EXPECT_GT(outside, 0);
}

TEST(RegressionFits, LeaveTheRunDataAndTheWorkspaceDataUntouched) {
  std::vector<double> data = GumbelData();
  data[5] = data[6];  // a tie as well
  TavorixRun run = MakeRun(data);
  FitWorkspace ws = MakeWorkspace(run);
  const auto x = run.X, fr = run.Fr;
  const auto wx = ws.X, wlnx = ws.LnX, wfr = ws.Fr;
  for (const DistributionInfo& d : Registry()) {
    if (!d.Shape) continue;
    const int code = d.Code;
    testing::FitCode(code, run, ws);
    SCOPED_TRACE(code);
    EXPECT_TRUE(run.Slots[code].Ran);
    EXPECT_EQ(run.X, x);
    EXPECT_EQ(run.Fr, fr);
    EXPECT_EQ(ws.X, wx);
    EXPECT_EQ(ws.LnX, wlnx);
    EXPECT_EQ(ws.Fr, wfr);
  }
  FitStudent(run, ws);
  EXPECT_EQ(run.X, x);
  EXPECT_EQ(ws.X, wx);
}

TEST(StudentRule, SixtyTwoOnlyWhenSs2IsBelowNeitherSs1NorSumAbs1) {
  StudentChoice c = ChooseStudent(0.10, 0.20, 0.15, 0.30);
  EXPECT_EQ(c.Code, 62);
  EXPECT_EQ(c.Score62, 0.15);
  EXPECT_EQ(c.Score63, 0.20);  // 63 keeps its squared misfit, above 62's score

  c = ChooseStudent(0.10, 0.08, 0.50, 0.60);  // SS2 < SS1
  EXPECT_EQ(c.Code, 63);
  EXPECT_EQ(c.Score62, 0.50);
  EXPECT_EQ(c.Score63, 0.60);

  c = ChooseStudent(0.10, 0.12, 0.50, 0.55);  // SS2 >= SS1 but below SumAbs1
  EXPECT_EQ(c.Code, 63);
  EXPECT_EQ(c.Score63, 0.55);

  c = ChooseStudent(0.10, 0.10, 0.10, 0.40);  // equal values do not switch
  EXPECT_EQ(c.Code, 62);
  EXPECT_EQ(c.Score63, 0.10);
}

TEST(StudentFit, UsesMeanAndSampleSpreadAndListsOnlyTheChosenForm) {
  const std::vector<double> data{3, 1, 10, 2, 4};
  TavorixRun run = MakeRun(data);
  FitWorkspace ws = MakeWorkspace(run);
  const int code = FitStudent(run, ws);

  const double mean = 4.0, sd = std::sqrt(50.0 / 4.0);  // deviations -3 -2 -1 0 6
  double ss1 = 0, ss2 = 0, abs1 = 0, abs2 = 0;
  const double sorted[] = {1, 2, 3, 4, 10};
  for (int i = 1; i <= 5; ++i) {
    const double y = (sorted[i - 1] - mean) / sd;
    const double d1 = i / 6.0 - (0.5 + std::atan(y) / kPi);
    const double d2 = i / 6.0 - 0.5 * (1 + y / std::sqrt(2 + y * y));
    ss1 += d1 * d1;
    ss2 += d2 * d2;
    abs1 += std::fabs(d1);
    abs2 += std::fabs(d2);
  }
  const StudentChoice expected = ChooseStudent(ss1, ss2, abs1, abs2);
  EXPECT_EQ(code, expected.Code);
  for (int c : {62, 63}) {
    const FitSlot& slot = run.Slots[c];
    SCOPED_TRACE(c);
    EXPECT_TRUE(slot.Ran);
    EXPECT_TRUE(slot.HasResult);
    EXPECT_DOUBLE_EQ(slot.P.Student.Mean, mean);
    EXPECT_DOUBLE_EQ(slot.P.Student.Spread, sd);
    EXPECT_EQ(slot.Listed, c == code);
  }
  EXPECT_NEAR(run.Slots[62].Score, abs1, 1e-12);
  EXPECT_NEAR(run.Slots[63].Score, expected.Score63, 1e-12);

  TavorixRun alone = MakeRun(data, "62");
  FitWorkspace ws2 = MakeWorkspace(alone);
  EXPECT_EQ(FitStudent(alone, ws2), code);
  EXPECT_FALSE(alone.Slots[62].Listed);
  EXPECT_FALSE(alone.Slots[63].Listed);
}

}  // namespace
}  // namespace tavorix
