// The standard exponent scan on synthetic misfit curves: the grid, the
// minimum rules and the snapping of E.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "fitting/ExponentScan.h"

namespace tavorix {
namespace {

// Runs the scan on a misfit that is smallest at the grid exponent `target`
// (its value rises with the distance from it).
int ScanWithMinimumAt(double target) {
  std::array<double, 281> table{};
  return RunExponentScan(table, [&](double e) { return std::fabs(e - target); });
}

TEST(ExponentScan, VisitsTheGridFrom020To299InOrder) {
  std::array<double, 281> table{};
  std::vector<double> seen;
  RunExponentScan(table, [&](double e) {
    seen.push_back(e);
    return 100.0 - seen.size();  // distinct values, stored per step
  });
  ASSERT_EQ(seen.size(), 280u);
  EXPECT_NEAR(seen.front(), 0.20, 1e-12);
  EXPECT_NEAR(seen[80], 1.00, 1e-12);
  EXPECT_NEAR(seen.back(), 2.99, 1e-12);
  for (int k = 1; k <= 280; ++k) EXPECT_EQ(table[k], 100.0 - k) << k;
}

TEST(ExponentScan, EdgeMinimaAndMinimaNearOneAllGiveEOne) {
  EXPECT_EQ(ScanWithMinimumAt(0.21), 2);
  EXPECT_EQ(ScanExponent(2), 1.0);
  EXPECT_EQ(ScanWithMinimumAt(2.99), 280);
  EXPECT_EQ(ScanExponent(280), 1.0);
  EXPECT_EQ(ScanWithMinimumAt(0.97), 78);
  EXPECT_EQ(ScanExponent(78), 1.0);
  // A minimum beyond either end of the grid lands on an edge as well.
  EXPECT_EQ(ScanExponent(ScanWithMinimumAt(5.0)), 1.0);
  EXPECT_EQ(ScanExponent(ScanWithMinimumAt(0.05)), 1.0);
}

TEST(ExponentScan, TheFirstGridPointNeverWins) {
  // Smallest at E = 0.20 (step 1): step 2, the next best, is taken.
  EXPECT_EQ(ScanWithMinimumAt(0.20), 2);
  std::array<double, 281> table{};
  const int k = RunExponentScan(table, [](double e) { return e < 0.205 ? 0.0 : 5.0; });
  EXPECT_EQ(k, 2);
}

TEST(ExponentScan, TheLowestStepWinsATie) {
  std::array<double, 281> table{};
  // Equal minima at E = 0.50 (step 31) and E = 1.50 (step 131).
  const int k = RunExponentScan(table, [](double e) {
    return (std::fabs(e - 0.5) < 0.005 || std::fabs(e - 1.5) < 0.005) ? 0.25 : 1.0;
  });
  EXPECT_EQ(k, 31);
  // A flat misfit: step 2 is the first candidate.
  EXPECT_EQ(RunExponentScan(table, [](double) { return 3.0; }), 2);
}

TEST(ExponentScan, InnerStepsKeepTheirExponent) {
  EXPECT_EQ(ScanWithMinimumAt(1.5), 131);
  EXPECT_EQ(ScanExponent(131), 1.5);
  EXPECT_EQ(ScanExponent(3), 0.22);
  EXPECT_EQ(ScanExponent(279), 2.98);  // 2.98 as a double is not above 2.98
  EXPECT_EQ(ScanExponent(31), 0.5);
}

TEST(ExponentScan, SnapsStrictlyInsideTheBandAroundOne) {
  EXPECT_EQ(ScanExponent(76), 0.95);  // the border itself stays
  EXPECT_EQ(ScanExponent(77), 1.0);   // 0.96
  EXPECT_EQ(ScanExponent(85), 1.0);   // 1.04
  EXPECT_EQ(ScanExponent(86), 1.05);
  EXPECT_EQ(SnapExponent(0.9500001), 1.0);
  EXPECT_EQ(SnapExponent(1.0499999), 1.0);
  EXPECT_EQ(SnapExponent(0.2100001), 0.2100001);
  EXPECT_EQ(SnapExponent(0.2099999), 1.0);
  EXPECT_EQ(SnapExponent(2.9800001), 1.0);
}

}  // namespace
}  // namespace tavorix
