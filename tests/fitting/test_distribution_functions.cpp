// The frequency function of every single code: a cumulative frequency
// (inside [0, 1], non-decreasing over its range) for typical parameters, and
// a number (never NaN) anywhere on the axis.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "fitting/DistributionFunctions.h"
#include "FitTestSupport.h"

namespace tavorix {
namespace {

struct FunctionCase {
  int Code;
  FitParams P;
  double Lo, Hi;  // a range over which the function climbs from near 0 to near 1
};

void PrintTo(const FunctionCase& c, std::ostream* os) { *os << "code " << c.Code; }

FitParams Make(auto&& set) {
  FitParams p;
  set(p);
  return p;
}

const FunctionCase kCases[] = {
    {3, Make([](FitParams& p) { p.PowerLine.A = 0.5, p.PowerLine.B = 0.01, p.PowerLine.E = 1.3; }), 0.01, 12},
    {4, Make([](FitParams& p) { p.Line.A = 1, p.Line.B = -3; }), 0.01, 12},
    {5, Make([](FitParams& p) { p.Line.A = -1, p.Line.B = 4; }), 0.01, 12},
    {6, Make([](FitParams& p) { p.Line.A = 0.5; }), 0.01, 15},
    {31, Make([](FitParams& p) { p.Burr.A = 1.5, p.Burr.S = std::pow(2.0, 1.5), p.Burr.E = 2, p.Burr.D = 0; }), 0.01, 50},
    {32, Make([](FitParams& p) { p.Burr.A = -1.5, p.Burr.S = std::pow(2.0, -1.5), p.Burr.E = 2, p.Burr.D = 0; }), 0.01, 50},
    {33, Make([](FitParams& p) { p.Bounded.A = -2, p.Bounded.B = 0, p.Bounded.C = 10; }), 0.01, 12},
    {34, Make([](FitParams& p) { p.Gompertz.A = -0.5, p.Gompertz.B = 1, p.Gompertz.E = 1; }), 0.01, 15},
    {35, Make([](FitParams& p) { p.Bounded.A = 2, p.Bounded.B = 0, p.Bounded.C = 1; }), 0.01, 6},
    {36, Make([](FitParams& p) { p.Kumaraswamy.M = 10, p.Kumaraswamy.A = 1.5, p.Kumaraswamy.B = 2; }), 0.01, 12},
    {51, Make([](FitParams& p) { p.PowerLine.A = 1, p.PowerLine.B = -2, p.PowerLine.E = 0.8; }), 0.01, 20},
    {52, Make([](FitParams& p) { p.PowerLine.A = -1, p.PowerLine.B = 4, p.PowerLine.E = 0.8; }), 0.01, 20},
    {53, Make([](FitParams& p) { p.Line.A = -1, p.Line.B = 5; }), 0.01, 12},
    {54, Make([](FitParams& p) { p.Line.A = -2, p.Line.B = 1; }), 0.01, 30},
    {55, Make([](FitParams& p) { p.PowerLine.A = -1, p.PowerLine.B = 5, p.PowerLine.E = 1.2; }), 0.01, 12},
    {56, Make([](FitParams& p) { p.Line.A = 3, p.Line.B = 4; }), 0.01, 30},
    {57, Make([](FitParams& p) { p.Line.A = 1.5, p.Line.B = -1; }), 0.01, 12},
    {58, Make([](FitParams& p) { p.Bounded.A = -2, p.Bounded.B = 0, p.Bounded.C = 0.5; }), 0.01, 30},
    {59, Make([](FitParams& p) { p.Bounded.A = 2, p.Bounded.B = 0, p.Bounded.C = 10; }), 0.01, 12},
    {60, Make([](FitParams& p) { p.Line.A = -1.5, p.Line.B = 1; }), 0.01, 30},
    {61, Make([](FitParams& p) { p.Gamma.A = 2, p.Gamma.Terms = 3; }), 0.01, 40},
    {62, Make([](FitParams& p) { p.Student.Mean = 5, p.Student.Spread = 2; }), -400, 400},
    {63, Make([](FitParams& p) { p.Student.Mean = 5, p.Student.Spread = 2; }), -100, 100},
    {64, Make([](FitParams& p) { p.Line.A = 1, p.Line.B = -5; }), -400, 400},
    {65, Make([](FitParams& p) { p.PowerLine.A = 1, p.PowerLine.B = -10, p.PowerLine.E = 0.9; }), 0.01, 800},
    {66, Make([](FitParams& p) { p.PowerLine.A = -0.5, p.PowerLine.B = 4, p.PowerLine.E = 0.9; }), 0.01, 12},
    {67, Make([](FitParams& p) { p.Gev.K = 0.2, p.Gev.Loc = 5, p.Gev.Scale = 2; }), 0.01, 200},
    {68, Make([](FitParams& p) { p.Laplace.Mode = 5, p.Laplace.S1 = 1, p.Laplace.S2 = 2; }), 0.01, 30},
    {69, Make([](FitParams& p) { p.Rayleigh.E = 1.5, p.Rayleigh.S = 3; }), 0.01, 12},
    {73, Make([](FitParams& p) { p.Laplace = {.Mode = 4, .S1 = 1, .S2 = 2, .E1 = 0.8, .E2 = 1.2}; }), 0.01, 30},
};

// Codes whose function is defined through X^E, ln X or X/scale alone.
const std::set<int> kPositiveSupport{3, 31, 32, 36, 51, 52, 54, 55, 56, 57, 60, 61, 65, 66, 69, 73};

class SingleFunction : public ::testing::TestWithParam<FunctionCase> {};

TEST_P(SingleFunction, IsACumulativeFrequencyOverItsRange) {
  const FunctionCase& c = GetParam();
  const PlainFc fc = SingleFcOf(c.Code);
  ASSERT_TRUE(fc);
  constexpr int kSteps = 2000;
  double previous = -1;
  for (int k = 0; k <= kSteps; ++k) {
    const double x = c.Lo + (c.Hi - c.Lo) * k / kSteps;
    const double f = fc(c.P, x);
    ASSERT_GE(f, 0.0) << "x = " << x;
    ASSERT_LE(f, 1.0) << "x = " << x;
    ASSERT_GE(f, previous - 1e-15) << "falls at x = " << x;
    previous = f;
  }
  EXPECT_LT(fc(c.P, c.Lo), 0.05);
  EXPECT_GT(fc(c.P, c.Hi), 0.95);
}

TEST_P(SingleFunction, GivesANumberInsideZeroOneAnywhere) {
  const FunctionCase& c = GetParam();
  const PlainFc fc = SingleFcOf(c.Code);
  for (double x : {-1e300, -50.0, -1.0, -1e-9, 0.0, 1e-300, 1e-9, 1e6, 1e300}) {
    const double f = fc(c.P, x);
    EXPECT_FALSE(std::isnan(f)) << "x = " << x;
    EXPECT_GE(f, 0.0) << "x = " << x;
    EXPECT_LE(f, 1.0) << "x = " << x;
  }
  // Far to the right every distribution has reached (nearly) 1.
  EXPECT_GT(fc(c.P, 1e300), 0.95);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, SingleFunction, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return "Code" + std::to_string(info.param.Code); });

TEST(SingleFunctions, BelowTheSupportMatchTheLimitFromTheRight) {
  // The data are positive; at X <= 0 a function of X^E, ln X or X/scale
  // gives its value just above 0.
  for (const auto& c : kCases) {
    if (!kPositiveSupport.contains(c.Code)) continue;
    SCOPED_TRACE(c.Code);
    const PlainFc fc = SingleFcOf(c.Code);
    EXPECT_NEAR(fc(c.P, 0.0), fc(c.P, 1e-12), 1e-3);
    EXPECT_NEAR(fc(c.P, -5.0), fc(c.P, 1e-12), 1e-3);
  }
}

TEST(SingleFunctions, CoverEverySingleCodeAndNoOther) {
  int count = 0;
  for (int code = 0; code < 100; ++code)
    if (SingleFcOf(code)) ++count;
  EXPECT_EQ(count, static_cast<int>(std::size(kCases)));
  for (int code : {0, 1, 2, 7, 20, 26, 39, 70, 74, 85}) EXPECT_FALSE(SingleFcOf(code)) << code;
}

TEST(SingleFunctions, SpotValuesOfTheirFormulas) {
  // Values computed by hand from the catalogue's formulas.
  LineParams p;
  p.A = 1, p.B = 0;
  EXPECT_NEAR(FcGumbel(p, 0), std::exp(-1.0), 1e-15);                  // exp(-exp(0))
  EXPECT_NEAR(FcLogistic(p, 0), 0.5, 1e-15);
  EXPECT_NEAR(FcCauchy(p, 1), 0.75, 1e-15);                            // 0.5 + (pi/4)/pi
  p.A = 2, p.B = -2 * std::log(3.0);                                   // Weibull scale 3, shape 2
  EXPECT_NEAR(FcWeibull(p, 3), 1 - std::exp(-1.0), 1e-14);
  EXPECT_NEAR(FcWeibullMirrored(p, 3), std::exp(-1.0), 1e-14);
  StudentParams s;
  s.Mean = 5, s.Spread = 2;
  EXPECT_NEAR(FcStudent1(s, 7), 0.75, 1e-15);                           // Y = 1
  EXPECT_NEAR(FcStudent2(s, 7), 0.5 * (1 + 1 / std::sqrt(3.0)), 1e-15);
  GammaParams g;
  g.A = 2, g.Terms = 2;                                                // 1 - e^-r (1 + r), r = 1
  EXPECT_NEAR(FcGamma(g, 2), 1 - 2 * std::exp(-1.0), 1e-15);
  KumaraswamyParams k;
  k.M = 2, k.A = 1, k.B = 2;                                           // 1 - (1 - 1/2)^2
  EXPECT_NEAR(FcKumaraswamy(k, 1), 0.75, 1e-15);
  LaplaceParams l;
  l.Mode = 5, l.S1 = 1, l.S2 = 2;
  EXPECT_NEAR(FcLaplace(l, 5), 0.5, 1e-15);
  EXPECT_NEAR(FcLaplace(l, 7), 1 - 0.5 * std::exp(-1.0), 1e-15);
  EXPECT_NEAR(FcLaplace(l, 4), 0.5 * std::exp(-1.0), 1e-15);
  EXPECT_NEAR(PowerOf(8, 1.0 / 3), 2.0, 1e-14);
  EXPECT_EQ(PowerOf(0, 2), 0.0);
  EXPECT_EQ(PowerOf(-4, 0.5), 0.0);
}

}  // namespace
}  // namespace tavorix
