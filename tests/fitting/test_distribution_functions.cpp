// The frequency function and the inverse of every registry row, on example
// parameters of its family: a cumulative frequency (inside [0, 1], rising
// from near 0 to near 1), a number in [0, 1] anywhere on the axis, and an
// inverse that gives back the frequency it was asked for. A new row is
// covered by its family's examples; a family without examples fails.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fitting/CompositeKinds.h"
#include "fitting/DistributionFunctions.h"
#include "fitting/Inverses.h"
#include "FitTestSupport.h"

namespace tavorix {
namespace {

using testing::Example;
using testing::ExamplesOf;

std::vector<const DistributionInfo*> RowsWithF() {
  std::vector<const DistributionInfo*> rows;
  for (const DistributionInfo& d : Registry())
    if (d.Kind != DistKind::TitleOnly && !IsCompositeKind(d.Kind)) rows.push_back(&d);
  return rows;
}

constexpr int kSteps = 2000;

double F(const DistributionInfo& d, const FitParams& p, double x) { return d.Fc(d.Code, p, x); }

// True when F climbs from below 0.05 to above 0.95 over the example's range
// without falling.
bool RisesOver(const DistributionInfo& d, const Example& e) {
  double previous = -1;
  for (int k = 0; k <= kSteps; ++k) {
    const double f = F(d, e.P, e.Lo + (e.Hi - e.Lo) * k / kSteps);
    if (!(f >= previous - 1e-15 && f <= 1.0)) return false;
    previous = f;
  }
  return F(d, e.P, e.Lo) < 0.05 && F(d, e.P, e.Hi) > 0.95;
}

class RowFunction : public ::testing::TestWithParam<const DistributionInfo*> {};

TEST_P(RowFunction, IsACumulativeFrequencyForAnExampleOfItsFamily) {
  const DistributionInfo& d = *GetParam();
  const std::vector<Example> examples = ExamplesOf(d.Params.Family);
  ASSERT_FALSE(examples.empty()) << "no example parameters for the family of code " << d.Code;
  int rising = 0;
  for (const Example& e : examples) rising += RisesOver(d, e);
  EXPECT_GT(rising, 0) << "code " << d.Code << " rises from near 0 to near 1 for no example of its family";
}

TEST_P(RowFunction, GivesANumberInsideZeroOneAnywhere) {
  const DistributionInfo& d = *GetParam();
  for (const Example& e : ExamplesOf(d.Params.Family)) {
    for (double x : {-1e300, -50.0, -1.0, -1e-9, 0.0, 1e-300, 1e-9, 1e6, 1e300}) {
      const double f = F(d, e.P, x);
      EXPECT_TRUE(f >= 0.0 && f <= 1.0) << "x = " << x << ": " << f;
    }
  }
}

TEST_P(RowFunction, InverseGivesBackTheFrequency) {
  const DistributionInfo& d = *GetParam();
  if (!d.Inverse) {
    EXPECT_EQ(d.Kind, DistKind::NormalFamily) << "only the normal family inverts by its scans";
    return;
  }
  for (const Example& e : ExamplesOf(d.Params.Family)) {
    if (!RisesOver(d, e)) continue;
    for (double q : {0.02, 0.1, 0.3, 0.5, 0.7, 0.9, 0.98}) {
      const InverseResult r = InverseFc(d.Code, e.P, q, CompositePart::Lower);
      ASSERT_TRUE(r.Ok) << "q " << q;
      EXPECT_NEAR(F(d, e.P, r.X), q, 1e-9) << "q " << q << " x " << r.X;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Registry, RowFunction, ::testing::ValuesIn(RowsWithF()),
                         [](const auto& info) { return "Code" + std::to_string(info.param->Code); });

// A composite's example takes each part's slope with the sign that makes its
// kind rise.
TEST(CompositeRows, PartsRoundTripThroughTheirKinds) {
  auto slope = [](ComponentKind k) { return k == ComponentKind::Logistic ? -0.8 : 0.8; };
  for (const DistributionInfo& d : Registry()) {
    if (!IsCompositeKind(d.Kind)) continue;
    SCOPED_TRACE(d.Code);
    const CompositeParts& parts = d.Parts;
    const double e = parts.Generalized ? 1.3 : 0.0;
    const FitParams p{.Composite = {.Lower = {slope(parts.Lower), 0.1, e}, .Upper = {slope(parts.Upper), 0.2, e}}};
    for (CompositePart part : {CompositePart::Lower, CompositePart::Upper}) {
      const bool lower = part == CompositePart::Lower;
      const CompositePartLine& line = lower ? p.Composite.Lower : p.Composite.Upper;
      int inverted = 0;
      for (double q : {0.2, 0.5, 0.8}) {
        const InverseResult r = InverseFc(d.Code, p, q, part);
        if (!r.Ok) continue;  // generalized forms have no value where t <= 0
        ++inverted;
        const double t = parts.Generalized ? std::pow(r.X, line.E) : r.X;
        EXPECT_NEAR(ComponentFc(lower ? parts.Lower : parts.Upper, line.A * t + line.B), q, 1e-9)
            << (lower ? "lower" : "upper") << " q " << q;
      }
      EXPECT_GT(inverted, 0) << (lower ? "lower" : "upper");
    }
  }
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

TEST(Inverses, NonPositiveValuesFailOrTakeTheFloor) {
  FitParams p;
  p.PowerLine.A = 1.0;
  p.PowerLine.B = 5.0;  // -(ln(1-q) + 5) < 0 for moderate q
  p.PowerLine.E = 2.0;
  EXPECT_FALSE(InverseFc(3, p, 0.5, CompositePart::Lower).Ok);
  const InverseResult floored = InverseFc(3, p, 0.5, CompositePart::Lower, NonPositive::FloorAt0_001);
  ASSERT_TRUE(floored.Ok);
  EXPECT_NEAR(floored.X, std::sqrt(0.001), 1e-15);
}

TEST(Inverses, LogLogisticInvertsBelowOne) {
  FitParams p;
  p.Line.A = -2.0;
  p.Line.B = -1.0;  // median at ln X = -0.5
  const InverseResult r = InverseFc(54, p, 0.5, CompositePart::Lower);
  ASSERT_TRUE(r.Ok);
  EXPECT_NEAR(r.X, std::exp(-0.5), 1e-14);
}

TEST(Inverses, UnknownCodesHaveNone) {
  for (int code : {0, 1, 2, 19}) EXPECT_FALSE(HasClosedFormInverse(code)) << code;
}

}  // namespace
}  // namespace tavorix
