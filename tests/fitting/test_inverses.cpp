// Every closed-form inverse gives back the frequency it was asked for when
// the fitted function is evaluated at its result.
#include <gtest/gtest.h>

#include <cmath>

#include "fitting/CompositeKinds.h"
#include "fitting/DistributionFunctions.h"
#include "FitTestSupport.h"
#include "fitting/Inverses.h"

namespace tavorix {
namespace {

struct InverseCase {
  int Code;
  FitParams P;
};

template <class Set>
FitParams With(Set set) {
  FitParams p;
  set(p);
  return p;
}

std::vector<InverseCase> SingleCases() {
  using P = FitParams;
  return {
      {3, With([](P& p) { p.PowerLine.A = 0.8, p.PowerLine.B = -0.2, p.PowerLine.E = 1.4; })},
      {4, With([](P& p) { p.Line.A = 0.5, p.Line.B = -2.0; })},
      {5, With([](P& p) { p.Line.A = -0.5, p.Line.B = 2.0; })},
      {6, With([](P& p) { p.Line.A = 0.3; })},
      {31, With([](P& p) { p.Burr.A = 1.5, p.Burr.S = std::pow(4.0, 1.5), p.Burr.E = 2.0, p.Burr.D = 0.05; })},
      {32, With([](P& p) { p.Burr.A = -1.5, p.Burr.S = std::pow(4.0, -1.5), p.Burr.E = 1.2, p.Burr.D = -0.02; })},
      {33, With([](P& p) { p.Bounded.A = 2.0, p.Bounded.B = -1.0, p.Bounded.C = 30.0; })},
      {34, With([](P& p) { p.Gompertz.A = -0.05, p.Gompertz.B = 1.3, p.Gompertz.E = 0.9; })},
      {35, With([](P& p) { p.Bounded.A = 2.0, p.Bounded.B = -1.0, p.Bounded.C = 0.5; })},
      {36, With([](P& p) { p.Kumaraswamy.M = 25.0, p.Kumaraswamy.A = 1.7, p.Kumaraswamy.B = 2.5; })},
      {51, With([](P& p) { p.PowerLine.A = 0.4, p.PowerLine.B = -1.5, p.PowerLine.E = 1.3; })},
      {52, With([](P& p) { p.PowerLine.A = -0.4, p.PowerLine.B = 5.0, p.PowerLine.E = 0.7; })},
      {53, With([](P& p) { p.Line.A = -0.6, p.Line.B = 3.0; })},
      {54, With([](P& p) { p.Line.A = -2.0, p.Line.B = 3.0; })},
      {55, With([](P& p) { p.PowerLine.A = -0.6, p.PowerLine.B = 5.0, p.PowerLine.E = 1.6; })},
      {56, With([](P& p) { p.Line.A = 2.5, p.Line.B = 6.0; })},
      {57, With([](P& p) { p.Line.A = 1.8, p.Line.B = -3.0; })},
      {58, With([](P& p) { p.Bounded.A = 2.2, p.Bounded.B = -2.0, p.Bounded.C = 0.3; })},
      {59, With([](P& p) { p.Bounded.A = 2.2, p.Bounded.B = -2.0, p.Bounded.C = 40.0; })},
      {60, With([](P& p) { p.Line.A = -1.8, p.Line.B = 3.0; })},
      {61, With([](P& p) { p.Gamma = {2.0, 3}; })},
      {62, With([](P& p) { p.Student = {10.0, 2.0}; })},
      {63, With([](P& p) { p.Student = {10.0, 2.0}; })},
      {64, With([](P& p) { p.Line.A = 0.9, p.Line.B = -9.0; })},
      {65, With([](P& p) { p.PowerLine.A = 0.9, p.PowerLine.B = -30.0, p.PowerLine.E = 1.2; })},
      {66, With([](P& p) { p.PowerLine.A = -0.2, p.PowerLine.B = 4.5, p.PowerLine.E = 1.3; })},
      {67, With([](P& p) { p.Gev.K = 0.2, p.Gev.Loc = 10.0, p.Gev.Scale = 3.0; })},
      {68, With([](P& p) { p.Laplace.Mode = 10.0, p.Laplace.S1 = 2.0, p.Laplace.S2 = 3.0; })},
      {69, With([](P& p) { p.Rayleigh.E = 1.5, p.Rayleigh.S = 20.0; })},
      {73, With([](P& p) {
         p.Laplace.Mode = 10.0, p.Laplace.S1 = 2.0, p.Laplace.S2 = 3.0;
         p.Laplace.E1 = p.Laplace.E2 = 1.0;
       })},
  };
}

TEST(Inverses, EverySingleCodeRoundTripsThroughItsFrequencyFunction) {
  for (const auto& c : SingleCases()) {
    const PlainFc fc = SingleFcOf(c.Code);
    ASSERT_TRUE(fc) << c.Code;
    ASSERT_TRUE(HasClosedFormInverse(c.Code)) << c.Code;
    for (double q : {0.02, 0.1, 0.3, 0.5, 0.7, 0.9, 0.98}) {
      const InverseResult r = InverseFc(c.Code, c.P, q, CompositePart::Lower);
      ASSERT_TRUE(r.Ok) << "code " << c.Code << " q " << q;
      EXPECT_NEAR(fc(c.P, r.X), q, 1e-9) << "code " << c.Code << " q " << q << " x " << r.X;
    }
  }
}

TEST(Inverses, CompositePartsRoundTripThroughTheirKinds) {
  for (int code : {7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 70, 71, 72, 74, 80, 81, 82, 83, 84, 85}) {
    CompositeParts parts{};
    ASSERT_TRUE(CompositePartsOf(code, parts));
    FitParams p;
    // Slopes with the sign that makes each kind increase in t.
    auto slope = [](ComponentKind k) { return k == ComponentKind::Logistic ? -0.8 : 0.8; };
    p.Composite.Lower.A = slope(parts.Lower);
    p.Composite.Lower.B = 0.1;
    p.Composite.Upper.A = slope(parts.Upper);
    p.Composite.Upper.B = 0.2;
    p.Composite.Lower.E = parts.Generalized ? 1.3 : 0.0;
    p.Composite.Upper.E = parts.Generalized ? 0.8 : 0.0;
    for (CompositePart part : {CompositePart::Lower, CompositePart::Upper}) {
      const bool lower = part == CompositePart::Lower;
      for (double q : {0.2, 0.5, 0.8}) {
        const InverseResult r = InverseFc(code, p, q, part);
        if (!r.Ok) continue;  // generalized forms have no value where t <= 0
        const CompositePartLine& line = lower ? p.Composite.Lower : p.Composite.Upper;
        const double t = parts.Generalized ? std::pow(r.X, line.E) : r.X;
        const double z = line.A * t + line.B;
        EXPECT_NEAR(ComponentFc(lower ? parts.Lower : parts.Upper, z), q, 1e-9)
            << "code " << code << (lower ? " lower" : " upper") << " q " << q;
      }
    }
  }
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

TEST(Inverses, NormalFamilyHasNoClosedForm) {
  for (int code : {20, 21, 22, 23, 24, 25, 26, 0, 1, 2, 19}) EXPECT_FALSE(HasClosedFormInverse(code)) << code;
}

}  // namespace
}  // namespace tavorix
