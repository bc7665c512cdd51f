// Evaluation of the chosen distribution at the data, at curve points and at
// the class bounds of the interval analysis.
#include <gtest/gtest.h>

#include <cmath>

#include "fitting/FittedCurve.h"
#include "FitTestSupport.h"

namespace tavorix {
namespace {

FittedDistribution Gumbel(double a, double b) {
  FittedDistribution fd;
  fd.DistCode = 4;
  fd.P.Line.A = a;
  fd.P.Line.B = b;
  return fd;
}

TEST(Intervals, TenDataInThreeClasses) {
  TavorixRun run = testing::MakeRun({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  run.NrOfClasses = 3;
  run.Fitted = Gumbel(1.0, -5.0);
  ComputeIntervals(run);
  ASSERT_EQ(run.ClassCount, 3);
  EXPECT_DOUBLE_EQ(run.ClassBounds[1], 1.0);
  EXPECT_DOUBLE_EQ(run.ClassBounds[2], 4.0);
  EXPECT_DOUBLE_EQ(run.ClassBounds[3], 7.0);
  EXPECT_NEAR(run.ClassBounds[4], 10.0002, 1e-12);
  EXPECT_EQ(run.ClassCounts[1], 3);
  EXPECT_EQ(run.ClassCounts[2], 3);
  EXPECT_EQ(run.ClassCounts[3], 4);
  for (int k = 1; k <= 4; ++k)
    EXPECT_NEAR(run.ClassFc[k], std::exp(-std::exp(-(run.ClassBounds[k] - 5.0))), 1e-12);
}

TEST(Intervals, DatumJustBelowABoundCountsInTheClassAbove) {
  TavorixRun run = testing::MakeRun({1, 2, 3, 3.99995, 5, 6, 7, 8, 9, 10});
  run.NrOfClasses = 3;
  run.Fitted = Gumbel(1.0, -5.0);
  ComputeIntervals(run);
  EXPECT_EQ(run.ClassCounts[1], 3);
  EXPECT_EQ(run.ClassCounts[2], 3);
  EXPECT_EQ(run.ClassCounts[3], 4);
}

TEST(Intervals, NarrowClassesAreNotSwallowedByTheLastOne) {
  // Ten values 0.00001 apart: classes of 0.00003 width, far below 0.0001.
  std::vector<double> v;
  for (int i = 0; i < 10; ++i) v.push_back(1.0 + 0.00001 * i);
  TavorixRun run = testing::MakeRun(v);
  run.NrOfClasses = 3;
  run.Fitted = Gumbel(1.0, -1.0);
  ComputeIntervals(run);
  EXPECT_EQ(run.ClassCounts[1], 3);
  EXPECT_EQ(run.ClassCounts[2], 3);
  EXPECT_EQ(run.ClassCounts[3], 4);
}

TEST(FittedCurve, FrechetWithADatumBelowItsBoundRaisesTheFlag) {
  TavorixRun run = testing::MakeRun({1, 2, 3, 4, 5, 6});
  run.Fitted.DistCode = 58;
  run.Fitted.P.Bounded.A = 2.0;
  run.Fitted.P.Bounded.B = -1.0;
  run.Fitted.P.Bounded.C = 1.5;  // the smallest datum lies below C
  EvaluateFittedCurve(run);
  EXPECT_TRUE(run.BelowBoundC);
  // The guarded distance 0.0001 gives exp(-(0.0001)^A) at that datum.
  EXPECT_NEAR(static_cast<double>(run.FcCalc[1]), std::exp(-std::pow(0.0001, 2.0)), 1e-12);
  for (int i = 2; i <= 6; ++i) {
    const double scale = std::exp(0.5);
    const double expected = std::exp(-std::pow((i - 1.5) / scale, 2.0));
    EXPECT_NEAR(static_cast<double>(run.FcCalc[i]), expected, 1e-12);
  }

  run.Fitted.P.Bounded.C = 0.5;
  EvaluateFittedCurve(run);
  EXPECT_FALSE(run.BelowBoundC);
}

TEST(FittedCurve, IntervalGuardOfTheBoundDistanceIsOneThousandth) {
  FittedDistribution fd;
  fd.DistCode = 59;  // upper bound
  fd.P.Bounded.A = 1.0;
  fd.P.Bounded.B = 0.0;
  fd.P.Bounded.C = 5.0;
  EXPECT_NEAR(Fcode(fd, 6.0, Guard::ClassBounds), std::exp(-0.001), 1e-15);
  EXPECT_NEAR(Fcode(fd, 6.0, Guard::Data), std::exp(-0.0001), 1e-15);
}

TEST(FittedCurve, CompositeSwitchesFormulaExactlyAtTheBreakPoint) {
  FittedDistribution fd;
  fd.DistCode = 9;  // Gumbel below and above
  fd.P.Composite.Lower.A = 1.0;
  fd.P.Composite.Lower.B = 0.0;
  fd.P.Composite.Upper.A = 2.0;
  fd.P.Composite.Upper.B = -1.0;
  fd.P.Composite.BreakPoint = 2.0;
  for (int k = 1; k <= 20; ++k) {
    const double x = 0.2 * k;
    const double expected = x <= 2.0 ? std::exp(-std::exp(-x)) : std::exp(-std::exp(-(2.0 * x - 1.0)));
    EXPECT_NEAR(Fcode(fd, x, Guard::Data), expected, 1e-14) << "x = " << x;
  }
}

TEST(FittedCurve, CompositeDataChooseThePartByRank) {
  TavorixRun run = testing::MakeRun({1, 2, 3, 4, 5, 6, 7, 8});
  run.Fitted.DistCode = 9;
  run.Fitted.P.Composite.Lower.A = 1.0;
  run.Fitted.P.Composite.Upper.A = 2.0;
  run.Fitted.P.Composite.BreakPoint = 6.5;  // by value the sixth datum would be lower
  run.Fitted.P.Composite.BreakCount = 4;    // by rank only four are
  EvaluateFittedCurve(run);
  for (int i = 1; i <= 8; ++i) {
    const double a = i <= 4 ? 1.0 : 2.0;
    EXPECT_NEAR(static_cast<double>(run.FcCalc[i]), std::exp(-std::exp(-a * i)), 1e-14) << "rank " << i;
  }
}

TEST(FittedCurve, GevBeyondItsBoundGivesZeroBelowAndOneAbove) {
  FittedDistribution fd;
  fd.DistCode = 67;
  fd.P.Gev.K = 0.5;
  fd.P.Gev.Loc = 10.0;
  fd.P.Gev.Scale = 2.0;
  // 1 + K(X-A)/B = -0.25: below the lower bound of K > 0.
  EXPECT_EQ(Fcode(fd, 5.0, Guard::Data), 0.0);
  EXPECT_EQ(Fcode(fd, 5.0, Guard::ClassBounds), 0.0);
  EXPECT_NEAR(Fcode(fd, 12.0, Guard::Data), std::exp(-std::pow(1.5, -2.0)), 1e-14);  // 1 + K(X-A)/B = 1.5
  // K < 0: above the upper bound 14.
  fd.P.Gev.K = -0.5;
  EXPECT_EQ(Fcode(fd, 15.0, Guard::Data), 1.0);
  EXPECT_EQ(Fcode(fd, 15.0, Guard::ClassBounds), 1.0);
}

TEST(FittedCurve, KumaraswamyOutsideItsSupportGivesZeroOrOne) {
  FittedDistribution fd;
  fd.DistCode = 36;
  fd.P.Kumaraswamy.M = 10.0;
  fd.P.Kumaraswamy.A = 2.0;
  fd.P.Kumaraswamy.B = 3.0;
  EXPECT_EQ(Fcode(fd, 10.0002, Guard::ClassBounds), 1.0);
  EXPECT_EQ(Fcode(fd, 0.0, Guard::ClassBounds), 0.0);
  EXPECT_NEAR(Fcode(fd, 5.0, Guard::Data), 1.0 - std::pow(1.0 - 0.25, 3.0), 1e-14);
}

TEST(FittedCurve, GompertzIsRaisedToOneThousandthOnlyForData) {
  FittedDistribution fd;
  fd.DistCode = 34;
  fd.P.Gompertz.A = -0.0001;
  fd.P.Gompertz.B = 1.0;
  fd.P.Gompertz.E = 1.0;
  const double raw = 1.0 - std::exp(-0.0001 * (std::exp(std::log(2.0)) - 1.0));
  ASSERT_LT(raw, 0.001);
  EXPECT_DOUBLE_EQ(Fcode(fd, 2.0, Guard::Data), 0.001);
  EXPECT_NEAR(Fcode(fd, 2.0, Guard::ClassBounds), raw, 1e-15);
}

}  // namespace
}  // namespace tavorix

namespace tavorix {
namespace {

TEST(Intervals, TinyDataKeepTheLastClassAsWideAsTheOthers) {
  // Data 0.00031 .. 0.00072 in 5 classes of 0.000082: the last bound is
  // raised by two thousandths of the width, not by 0.0002 (which would make
  // the last class more than three times as wide).
  TavorixRun run = testing::MakeRun({0.00031, 0.00035, 0.00038, 0.00042, 0.00044, 0.00049, 0.00053,
                                     0.00057, 0.00061, 0.00072});
  run.NrOfClasses = 5;
  run.Fitted = Gumbel(10000.0, -4.5);
  ComputeIntervals(run);
  const double width = (0.00072 - 0.00031) / 5;
  EXPECT_NEAR(run.ClassBounds[6], 0.00072 + width / 500, 1e-15);
  double counted = 0;
  for (int k = 1; k <= 5; ++k) counted += run.ClassCounts[k];
  EXPECT_EQ(counted, 10) << "every datum lies in a class";
  EXPECT_EQ(run.ClassCounts[4], 2);  // 0.00057 and 0.00061
  EXPECT_EQ(run.ClassCounts[5], 1);  // the largest value alone

  // Ordinary data keep the 0.0002.
  EXPECT_DOUBLE_EQ(LastBoundNudge(3.0), 0.0002);
}

}  // namespace
}  // namespace tavorix

namespace tavorix {
namespace {

TEST(Intervals, LargestValueOfAShortRangeStaysInTheLastClass) {
  // Range 0.07 in 5 classes: width 0.014, bounds 2, 2.014, 2.028, 2.042,
  // 2.056 and 2.07 raised a little. The counting tolerance here is
  // 0.014/1000; the raised last bound must lie beyond it, or 2.07 is put
  // onto the bound and falls out of every class.
  TavorixRun run = testing::MakeRun({2.0, 2.01, 2.02, 2.03, 2.05, 2.07});
  run.NrOfClasses = 5;
  run.Fitted = Gumbel(50.0, -102.0);
  ComputeIntervals(run);
  EXPECT_GT(run.ClassBounds[6], 2.07 + 0.014 / 1000);
  EXPECT_LE(run.ClassBounds[6], 2.07 + 0.0002);
  const double expected[] = {0, 2, 1, 1, 1, 1};
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(run.ClassCounts[k], expected[k]) << "class " << k;

  // The same over many short ranges: every datum is counted.
  for (double start : {0.5, 1.0, 2.0, 3.3, 7.1, 10.0}) {
    for (double range : {0.01, 0.011, 0.013, 0.017, 0.02, 0.03, 0.05, 0.07}) {
      for (int classes = 2; classes <= 20; ++classes) {
        TavorixRun r = testing::MakeRun({start, start + range / 3, start + range / 2, start + range});
        r.NrOfClasses = classes;
        r.Fitted = Gumbel(1.0, -start);
        ComputeIntervals(r);
        double counted = 0;
        for (int k = 1; k <= classes; ++k) counted += r.ClassCounts[k];
        EXPECT_EQ(counted, 4) << start << " + " << range << " in " << classes << " classes";
      }
    }
  }
}

}  // namespace
}  // namespace tavorix
