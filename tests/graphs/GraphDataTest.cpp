// Reading graph data back from results reports, axis scaling and captions.
// The reports under tests/data/graphs are written by hand in the report's
// layout; the axis values below are worked out by hand from the ladder.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "core/TavorixError.h"
#include "core/TestUtil.h"
#include "graphs/GraphData.h"
#include "graphs/GraphView.h"

namespace tavorix {
namespace {

std::string Fixture(const std::string& name) { return std::string(TAVORIX_TEST_DATA_DIR) + "/graphs/" + name; }

GraphData Read(const std::string& name, int type) {
  GraphData d;
  ReadGraphData(Fixture(name), type, d);
  return d;
}

// A table of `values` as X (and the curve and its limits as given) for the
// scaling tests.
GraphData Rows(const std::vector<double>& x, const std::vector<double>& calculated = {},
               const std::vector<double>& upper = {}, const std::vector<double>& lower = {}) {
  GraphData d;
  d.RowCount = static_cast<int>(x.size());
  d.N = d.RowCount;
  auto fill = [&](std::vector<long double>& s, const std::vector<double>& v) {
    s.assign(d.RowCount, 0.0L);
    for (std::size_t i = 0; i < v.size() && i < s.size(); ++i) s[i] = v[i];
  };
  fill(d.X, x);
  fill(d.Observed, {});
  fill(d.Calculated, calculated);
  fill(d.Upper, upper);
  fill(d.Lower, lower);
  fill(d.ClassEnd, {});
  return d;
}

TEST(GraphDataRead, CumulativeTableWithTitlesCountsAndGoodnessOfFit) {
  const GraphData d = Read("gumbel12.out", kGraphCumulative);
  EXPECT_EQ(d.Title1, "Annual maximum discharge");
  EXPECT_EQ(d.Title2, "m3/s");
  EXPECT_EQ(d.RowCount, 12);
  EXPECT_EQ(d.N, 12);
  EXPECT_EQ(d.Code, 4);
  // First and last rows: X, rank %, calculated %, upper and lower limit.
  EXPECT_DOUBLE_EQ(static_cast<double>(d.X[0]), 14.20);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.Observed[0]), 7.69);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.Calculated[0]), 8.94);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.Upper[0]), 34.432);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.Lower[0]), 6.43);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.X[11]), 47.30);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.Upper[11]), 94.818);
  EXPECT_DOUBLE_EQ(d.AvAbsDiff, 1.92);
  EXPECT_FALSE(d.HasSeparation);
  EXPECT_FALSE(d.SparseData);
}

TEST(GraphDataRead, HistogramClassesWithBothFrequencies) {
  const GraphData calc = Read("gumbel12.out", kGraphHistogramCalc);
  const GraphData obs = Read("gumbel12.out", kGraphHistogramObs);
  ASSERT_EQ(calc.RowCount, 7);  // five classes and the rows below and above them
  EXPECT_EQ(calc.N, 12);        // the number of data, not of rows
  EXPECT_DOUBLE_EQ(static_cast<double>(calc.X[1]), 14.20);
  EXPECT_DOUBLE_EQ(static_cast<double>(calc.ClassEnd[1]), 20.82);
  // Both types read the same table; the drawing takes the bars of its type.
  for (const GraphData* d : {&calc, &obs}) {
    EXPECT_DOUBLE_EQ(static_cast<double>(d->Observed[2]), 33.3);
    EXPECT_DOUBLE_EQ(static_cast<double>(d->Calculated[2]), 25.1);
  }
  EXPECT_DOUBLE_EQ(static_cast<double>(obs.X[6]), 47.30);
}

TEST(GraphDataRead, ConfidenceBeltAndReturnPeriodColumns) {
  const GraphData belt = Read("negative12.out", kGraphConfidenceBelt);
  ASSERT_EQ(belt.RowCount, 12);
  EXPECT_DOUBLE_EQ(static_cast<double>(belt.X[1]), -42.1);
  EXPECT_DOUBLE_EQ(static_cast<double>(belt.Calculated[1]), -42.1);  // calculated X
  EXPECT_DOUBLE_EQ(static_cast<double>(belt.Lower[1]), -44.588);
  EXPECT_DOUBLE_EQ(static_cast<double>(belt.Upper[1]), -33.81);

  const GraphData ret = Read("negative12.out", kGraphReturnPeriods);
  ASSERT_EQ(ret.RowCount, 12);
  EXPECT_DOUBLE_EQ(static_cast<double>(ret.Observed[11]), 13.0);  // rank return period
  EXPECT_DOUBLE_EQ(static_cast<double>(ret.Calculated[11]), 14.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(ret.Lower[11]), 9.2);
  EXPECT_DOUBLE_EQ(static_cast<double>(ret.Upper[11]), 25.2);
}

TEST(GraphDataRead, SeparationPointBelowThePreferenceLine) {
  const GraphData d = Read("composite12.out", kGraphCumulative);
  EXPECT_EQ(d.Code, 9);
  ASSERT_TRUE(d.HasSeparation);
  EXPECT_DOUBLE_EQ(d.P, 25.0);
  // Rows 0..5 lie below P = 25; the height is that of row 6 + 2 (31.20).
  EXPECT_DOUBLE_EQ(d.FcNearP, 69.02);
  EXPECT_FALSE(d.SparseData);  // never with a separation point
}

TEST(GraphDataRead, TitlesThatBeginLikeASectionAreNotTaken) {
  test::TempDir dir;
  std::string report = test::ReadFile(Fixture("gumbel12.out"));
  const std::string titles = " Annual maximum discharge\r\n m3/s\r\n";
  report.replace(report.find(titles), titles.size(), " Observed maxima\r\n Return flows\r\n");
  test::WriteFile(dir.File("titles.out"), report);
  GraphData cum, ret;
  ReadGraphData(dir.File("titles.out"), kGraphCumulative, cum);
  ReadGraphData(dir.File("titles.out"), kGraphReturnPeriods, ret);
  EXPECT_EQ(cum.Title1, "Observed maxima");
  EXPECT_EQ(cum.RowCount, 12);
  EXPECT_DOUBLE_EQ(static_cast<double>(cum.Observed[0]), 7.69);
  EXPECT_EQ(ret.RowCount, 12);
  EXPECT_DOUBLE_EQ(static_cast<double>(ret.Calculated[11]), 14.5);
}

TEST(GraphDataRead, UnreadableReportKeepsThePreviousData) {
  GraphData d = Read("gumbel12.out", kGraphCumulative);
  const std::string missing = Fixture("no-such-report.out");
  try {
    ReadGraphData(missing, kGraphCumulative, d);
    FAIL() << "no error for a missing report";
  } catch (const TavorixError& e) {
    EXPECT_EQ(std::string(e.what()), "The file \"" + missing +
                                         "\"could not be opened. It may be damaged,  not created due to inadequate "
                                         "input data,  in use by another program,  or the programmer should "
                                         "incorporate more time.");
  }
  EXPECT_EQ(d.RowCount, 12);
  EXPECT_EQ(d.Title1, "Annual maximum discharge");
}

TEST(GraphDataRead, ParameterFileWithHeaderOrBareCodeGivesTheSameCode) {
  test::TempDir dir;
  const std::string report = test::ReadFile(Fixture("gumbel12.out"));
  test::WriteFile(dir.File("header.out"), report);
  test::WriteFile(dir.File("header.aux"),
                  " Parameters for internal use, do not remove.\r\n57\r\n 1.0E+0000\r\n 2.0E+0000\r\n 1.0E-0004\r\n");
  test::WriteFile(dir.File("bare.out"), report);
  test::WriteFile(dir.File("bare.aux"), "57\r\n 1.0E+0000\r\n 2.0E+0000\r\n 1.0E-0004\r\n");
  test::WriteFile(dir.File("none.out"), report);
  GraphData a, b, c;
  ReadGraphData(dir.File("header.out"), kGraphCumulative, a);
  ReadGraphData(dir.File("bare.out"), kGraphCumulative, b);
  ReadGraphData(dir.File("none.out"), kGraphCumulative, c);
  EXPECT_EQ(a.Code, 57);
  EXPECT_EQ(b.Code, 57);
  EXPECT_EQ(c.Code, 0);  // no parameter file: no distribution to evaluate
}

TEST(GraphDataRead, SparseDataFromFewDistinctValuesButNeverWithSixtyRows) {
  EXPECT_TRUE(Read("sparse8.out", kGraphCumulative).SparseData);  // 3 distinct values
  const GraphData sixty = Read("rows60.out", kGraphCumulative);     // 6 distinct values
  EXPECT_EQ(sixty.RowCount, 60);
  EXPECT_FALSE(sixty.SparseData);
}

TEST(GraphDataRead, ShortReportReadsAsEmpty) {
  test::TempDir dir;
  test::WriteFile(dir.File("short.out"), " RESULTS OF Tavorix PROGRAM\r\n Cumulative frequency analysis\r\n");
  GraphData d;
  ReadGraphData(dir.File("short.out"), kGraphCumulative, d);
  EXPECT_EQ(d.RowCount, 0);
  EXPECT_EQ(d.N, 0);
  EXPECT_TRUE(d.Title1.empty());
  const AxisState a = ScaleGraph(kGraphCumulative, d);  // still a drawable axis
  EXPECT_LT(a.Xlo, a.Xhi);
}

TEST(GraphScale, PredictedObservedAlwaysRunsFrom0To100InFourSteps) {
  GraphData d = Read("gumbel12.out", kGraphPredObserved);
  const AxisState a = ScaleGraph(kGraphPredObserved, d);
  // 100 lies on the rung of step 25: the upper end 25 * round(4.5) is 100.
  EXPECT_EQ(a.Xlo, 0);
  EXPECT_EQ(a.Xhi, 100);
  EXPECT_EQ(a.Xticks, 4);
  EXPECT_EQ(a.Xdec, 0);
  EXPECT_EQ(a.Ylo, 0);
  EXPECT_EQ(a.Yhi, 100);
  EXPECT_EQ(a.Yticks, 4);
  EXPECT_EQ(a.YFactor, 1);
  // The points become (Fr, Fc).
  EXPECT_DOUBLE_EQ(static_cast<double>(d.X[0]), 7.69);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.Calculated[0]), 8.94);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.X[11]), 92.31);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.XCopy[0]), 14.20);
}

TEST(GraphScale, TinyDataAreScaledByThousand) {
  // Cumulative: Xmax 0.009 + 10% of the range = 0.00985, Xmin below 0 becomes 0;
  // times 1000 that is 0 .. 9.85: ends 0 and 10, ten steps, two decimals.
  GraphData d = Rows({0.0005, 0.002, 0.004, 0.009});
  const AxisState a = ScaleGraph(kGraphCumulative, d);
  EXPECT_EQ(a.XFactor, 1000);
  EXPECT_EQ(a.Xlo, 0);
  EXPECT_EQ(a.Xhi, 10);
  EXPECT_EQ(a.Xticks, 10);
  EXPECT_EQ(a.Xdec, 2);
  EXPECT_EQ(MakeCaptions(kGraphCumulative, a).Horizontal, "     X-data * 1000");

  GraphData belt = Rows({0.0005, 0.009}, {0.0006, 0.008}, {0.0008, 0.0095}, {0.0004, 0.007});
  EXPECT_EQ(ScaleGraph(kGraphConfidenceBelt, belt).XFactor, 1000);
}

TEST(GraphScale, RungsAtTheirLowerBounds) {
  // Xmax 99.9: step 10, ends 10*round(1.5) = 20 and 10*round(10.49) = 100.
  GraphData a = Rows({20, 50, 99.9});
  const AxisState s = ScaleGraph(kGraphReturnPeriods, a);
  EXPECT_EQ(s.Xlo, 20);
  EXPECT_EQ(s.Xhi, 100);
  EXPECT_EQ(s.Xticks, 8);
  EXPECT_EQ(s.Xdec, 1);
  // Xmax 100: step 25, ends 25*round(0.3) = 0 and 25*round(4.5) = 100.
  GraphData b = Rows({20, 50, 100});
  const AxisState t = ScaleGraph(kGraphReturnPeriods, b);
  EXPECT_EQ(t.Xlo, 0);
  EXPECT_EQ(t.Xhi, 100);
  EXPECT_EQ(t.Xticks, 4);
  EXPECT_EQ(t.Xdec, 0);
  // From 1000 on the ends are the rounded data -/+ the margin.
  GraphData c = Rows({1200.4, 1500, 1849.6});
  const AxisState u = ScaleGraph(kGraphReturnPeriods, c);
  EXPECT_EQ(u.Xlo, 1100);
  EXPECT_EQ(u.Xhi, 1950);
  EXPECT_EQ(u.Xdec, 0);
}

TEST(GraphScale, IntervalCountIsClampedTo4Through10) {
  // Data 1..2: ends round(0.5) = 0 and round(2.5) = 2, two steps, raised to 4.
  GraphData few = Rows({1, 1.5, 2});
  const AxisState a = ScaleGraph(kGraphReturnPeriods, few);
  EXPECT_EQ(a.Xlo, 0);
  EXPECT_EQ(a.Xhi, 2);
  EXPECT_EQ(a.Xticks, 4);
  // Data -20..5: ends round(-20.5) = -20 and round(5.5) = 6, 26 steps, cut to 10.
  GraphData many = Rows({-20, -3, 5});
  const AxisState b = ScaleGraph(kGraphReturnPeriods, many);
  EXPECT_EQ(b.XFactor, 1);
  EXPECT_EQ(b.Xlo, -20);
  EXPECT_EQ(b.Xhi, 6);
  EXPECT_EQ(b.Xticks, 10);
  // The cumulative graph keeps its 12 steps of 10 up to 120.
  GraphData cum = Rows({1, 2, 3});
  const AxisState c = ScaleGraph(kGraphCumulative, cum);
  EXPECT_EQ(c.Ylo, 0);
  EXPECT_EQ(c.Yhi, 120);
  EXPECT_EQ(c.Yticks, 12);
}

// Series spanning more than an int: every axis still holds its data.
TEST(GraphScale, AxesOfAWideSeriesContainItsData) {
  const std::vector<std::vector<double>> series = {
      {-999999, 1, 2, 3, 4, 5, 5e8, 1e9, 1.95e9}, {1, 2, 3e12, 9.5e13}, {-999999, -5, 3e98}};
  for (const auto& x : series) {
    for (int type : {kGraphCumulative, kGraphConfidenceBelt, kGraphReturnPeriods}) {
      GraphData d = Rows(x, x, x, x);
      const AxisState a = ScaleGraph(type, d);
      for (double v : x) {
        EXPECT_LE(a.Xlo, v * a.XFactor) << "type " << type << ", X " << v;
        EXPECT_GE(a.Xhi, v * a.XFactor) << "type " << type << ", X " << v;
      }
      if (type == kGraphConfidenceBelt) {
        EXPECT_GE(a.Yhi, x.back() * a.YFactor);
      }
      EXPECT_GE(a.Xticks, 4);
      EXPECT_LE(a.Xticks, 10);
    }
  }
}

TEST(GraphScale, MainlyNegativeDataAreScaledByTheirSmallEnd) {
  // -0.05..-0.02: |Xmax| = 0.02 lies between 0.01 and 0.1, factor 100;
  // -5..-2 gives ends round(-5.5) = -6 and round(-1.5) = -2.
  GraphData d = Rows({-0.05, -0.03, -0.02});
  const AxisState a = ScaleGraph(kGraphReturnPeriods, d);
  EXPECT_EQ(a.XFactor, 100);
  EXPECT_EQ(a.Xlo, -6);
  EXPECT_EQ(a.Xhi, -2);
  EXPECT_EQ(a.Xticks, 4);
}

TEST(GraphScale, ValueAxesOfBeltReturnPeriodsAndHistograms) {
  // Belt: upper limits up to 0.8, times 1.1 = 0.88, factor 10: 8.8 on the
  // rung below 10, ends round(1.5) = 2 and round(9.3) = 9.
  GraphData belt = Rows({1, 2, 3}, {0.3, 0.5, 0.7}, {0.4, 0.6, 0.8}, {0.2, 0.4, 0.6});
  const AxisState a = ScaleGraph(kGraphConfidenceBelt, belt);
  EXPECT_EQ(a.YFactor, 10);
  EXPECT_EQ(a.Ylo, 2);
  EXPECT_EQ(a.Yhi, 9);
  EXPECT_EQ(a.Yticks, 7);
  EXPECT_EQ(MakeCaptions(kGraphConfidenceBelt, a).Vertical, "X-data * 10");

  // Return periods: the last row's 400 does not count; 25.2 of the row
  // before it sets the axis: rung 20, ends 3*round(-0.5) = 0 and 3*round(8.9) = 27.
  GraphData ret = Rows({1, 2, 3}, {2, 14.5, 40}, {3, 25.2, 400});
  const AxisState b = ScaleGraph(kGraphReturnPeriods, ret);
  EXPECT_EQ(b.Ylo, 0);
  EXPECT_EQ(b.Yhi, 27);
  EXPECT_DOUBLE_EQ(b.RangeYmax, 25.2);

  // Histogram: largest of observed (33.3) and calculated (25.1) times 1.1 is
  // 36.63; 10 * round(5.163) = 50 with 5 steps of one decimal.
  GraphData hist = Read("gumbel12.out", kGraphHistogramCalc);
  const AxisState c = ScaleGraph(kGraphHistogramCalc, hist);
  EXPECT_EQ(c.Ylo, 0);
  EXPECT_EQ(c.Yhi, 50);
  EXPECT_EQ(c.Yticks, 5);
  EXPECT_EQ(c.Ydec, 1);
  // X over the lower limits of rows 1..6: 14.2 .. 47.3, rung 30 (step 4).
  EXPECT_EQ(c.Xlo, 12);
  EXPECT_EQ(c.Xhi, 48);
  EXPECT_EQ(c.Xticks, 9);
}

TEST(GraphTitles, CatalogueTitleEmptyForZeroPreviousForUnknown) {
  EXPECT_EQ(DistributionTitle(9, "x"), "Composite Gumbel distribution");
  EXPECT_EQ(DistributionTitle(18, ""), "Composite lLogistic + Poisson distribution");
  EXPECT_EQ(DistributionTitle(0, "Gumbel distribution"), "");
  EXPECT_EQ(DistributionTitle(19, "Gumbel distribution"), "Gumbel distribution");
}

}  // namespace
}  // namespace tavorix

namespace tavorix {
namespace {

TEST(GraphScale, LogarithmicReturnPeriodsRunFromOneToTheDecadeAbove) {
  GraphView linear, log;
  PrepareGraph(Fixture("gumbel12.out"), kGraphReturnPeriods, linear);
  PrepareGraph(Fixture("gumbel12.out"), kGraphReturnPeriods, log, true);
  ASSERT_EQ(log.Data.RowCount, linear.Data.RowCount);
  ASSERT_GT(linear.Data.RowCount, 2);
  for (int r = 0; r < log.Data.RowCount; ++r)
    EXPECT_NEAR(static_cast<double>(log.Data.Calculated[r]), std::log10(static_cast<double>(linear.Data.Calculated[r])),
                1e-12);
  // Every observed point and the whole calculated curve lie on the axis,
  // which ends at the decade above the largest of them.
  double top = 0;
  for (int r = 0; r < linear.Data.RowCount; ++r)
    top = std::max({top, static_cast<double>(linear.Data.Observed[r]), static_cast<double>(linear.Data.Calculated[r])});
  EXPECT_EQ(log.Axes.Ylo, 0);
  EXPECT_EQ(log.Axes.Yhi, std::ceil(std::log10(top)));
  EXPECT_GE(log.Axes.RangeYmax, log.Data.Calculated[log.Data.RowCount - 1]);
  EXPECT_EQ(PointsAboveAxis(log), 0);
  // The linear axis ends below the largest observations (61 rows, the last
  // ones observed at 15.3 to 61 above calculated 9.2), and says so.
  GraphView many;
  PrepareGraph(Fixture("rows60.out"), kGraphReturnPeriods, many);
  EXPECT_EQ(many.Axes.Yhi, 14);
  EXPECT_EQ(PointsAboveAxis(many), 4);
  EXPECT_EQ(PointsAboveAxisNote(4), "4 observed points lie above the axis");
  EXPECT_EQ(PointsAboveAxisNote(1), "1 observed point lies above the axis");
  EXPECT_EQ(PointsAboveAxisNote(0), "");
  ASSERT_GE(log.YMarks.size(), 4u);
  EXPECT_EQ(log.YMarks[0].Label, "1");
  EXPECT_EQ(log.YMarks[3].Label, "10");
  EXPECT_NEAR(log.YMarks[1].At, std::log10(2.0), 1e-12);
  EXPECT_EQ(log.Axes.Xlo, linear.Axes.Xlo);  // the X axis stays
}

}  // namespace
}  // namespace tavorix
