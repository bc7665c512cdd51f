// Curves the graphs compute with the fitted distribution: the sparse
// cumulative curve and the density curve, in the user's units for data that
// were moved (negative values) and data that were not.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "graphs/GraphCurves.h"
#include "graphs/GraphView.h"

namespace tavorix {
namespace {

std::string Fixture(const std::string& name) { return std::string(TAVORIX_TEST_DATA_DIR) + "/graphs/" + name; }

double GumbelF(double a, double b, double x) { return std::exp(-std::exp(-(a * x + b))); }

TEST(GraphCurves, SparseCurveFollowsTheFittedGumbelAcrossTheAxis) {
  GraphView v;
  PrepareGraph(Fixture("sparse8.out"), kGraphCumulative, v);
  ASSERT_TRUE(v.Data.SparseData);
  // Data 5..20: axis 3 .. 24 (rung 20, step 3); 20 points 1.05 apart.
  ASSERT_EQ(v.Axes.Xlo, 3);
  ASSERT_EQ(v.Axes.Xhi, 24);
  ASSERT_EQ(v.Curve.X.size(), 20u);
  const double a = 1.44277102260531E-0001, b = -1.04866622760296E+0000;  // the parameter file
  for (std::size_t k = 0; k < 20; ++k) {
    const double x = 3 + 1.05 * static_cast<double>(k + 1);
    EXPECT_NEAR(v.Curve.X[k], x, 1e-9);
    const double f = GumbelF(a, b, x);
    const double sd = std::sqrt(f * (1 - f) / 8);
    EXPECT_NEAR(v.Curve.F[k], 100 * f, 1e-6) << "point " << k;
    EXPECT_NEAR(v.Curve.Lower[k], 100 * (f - 3.4 * sd * f), 1e-6);
    EXPECT_NEAR(v.Curve.Upper[k], 100 * (f + 3.4 * sd * (1 - f)), 1e-6);
  }
}

// Index 1..20 of the largest density.
int PeakOf(const DensityCurve& dc) {
  int peak = 1;
  for (int i = 2; i <= 20; ++i)
    if (dc.Density[i] > dc.Density[peak]) peak = i;
  return peak;
}

TEST(GraphCurves, DensityCurvePeaksAtTheModeWithTheHistogramsScale) {
  // Gumbel with A = 0.10635: mode -B/A = 22.49, peak density A/e per unit;
  // over a histogram class of 6.62 that is 100 * A * 6.62 / e = 25.90 %.
  GraphView v;
  PrepareGraph(Fixture("gumbel12.out"), kGraphHistogramCalc, v);
  const DensityCurve& dc = v.Density;
  ASSERT_TRUE(dc.Valid);
  const int peak = PeakOf(dc);
  const double width = dc.Bound[2] - dc.Bound[1];
  EXPECT_NEAR((dc.Bound[peak - 1] + dc.Bound[peak]) / 2, 22.49, width);
  EXPECT_NEAR(dc.Density[peak], 25.90, 0.02 * 25.90);
  // The curve spans the histogram from the first row's lower limit 10.89,
  // cut to the axis start 12, to the last limit.
  EXPECT_DOUBLE_EQ(dc.Bound[0], 12);
  EXPECT_NEAR(dc.Bound[20], 47.30, 1e-3);
}

TEST(GraphCurves, DensityOfNegativeDataLiesWhereTheDataAre) {
  // The same series 60 lower: Shift -45.8 moves it to 0.0001 .. 33.1001.
  // The fitted mode 8.291 on the moved scale is -37.51 in the user's units.
  GraphView v;
  PrepareGraph(Fixture("negative12.out"), kGraphHistogramCalc, v);
  const DensityCurve& dc = v.Density;
  ASSERT_TRUE(dc.Valid);
  EXPECT_EQ(v.Axes.Xlo, -46);
  EXPECT_EQ(v.Axes.Xhi, -12);
  // The first class starts left of the smallest datum and is raised to it.
  EXPECT_NEAR(dc.Bound[0], -45.8, 1e-3);
  EXPECT_NEAR(dc.Bound[20], -12.7, 1e-3);
  const int peak = PeakOf(dc);
  const double width = dc.Bound[2] - dc.Bound[1];
  EXPECT_NEAR((dc.Bound[peak - 1] + dc.Bound[peak]) / 2, -37.51, width);
  EXPECT_NEAR(dc.Density[peak], 25.90, 0.02 * 25.90);
}

}  // namespace
}  // namespace tavorix
