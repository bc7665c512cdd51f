// The Q-Q graph and the probability paper against a Gumbel fit whose X at a
// frequency is known in closed form: F = exp(-exp(-(A x + B))) on the moved
// scale x = X - Shift + 0.0001.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "core/TavorixError.h"
#include "core/TestUtil.h"
#include "graphs/fitted/FittedGraphs.h"

namespace tavorix {
namespace {

// The parameters of tests/data/graphs/gumbel12.aux.
constexpr double kA = 1.06353032422148E-0001, kB = -2.39196311295221E+0000, kShift = 1.0E-0004;

double GumbelX(double f) { return (-std::log(-std::log(f)) - kB) / kA + kShift - 0.0001; }

std::string Fixture(const std::string& name) { return std::string(TAVORIX_TEST_DATA_DIR) + "/graphs/" + name; }

// A copy of the gumbel12 report (and its parameter file) whose observed X
// are `x(rank)` for the 12 ranks.
template <class F>
std::string ReportWithX(const test::TempDir& dir, F x) {
  std::istringstream in(test::ReadFile(Fixture("gumbel12.out")));
  std::string out, line;
  int row = -5;  // the table starts five lines below its " Obs" line
  while (std::getline(in, line)) {
    if (line.rfind(" Obs", 0) == 0) row = -4;
    else if (row > -5) ++row;
    if (row >= 1 && row <= 12) {
      char value[32];
      std::snprintf(value, sizeof value, "%12.6f", x(row));
      line = value + line.substr(8);
    }
    out += line + "\n";
  }
  const std::string report = dir.File("qq.out");
  test::WriteFile(report, out);
  test::WriteFile(dir.File("qq.aux"), test::ReadFile(Fixture("gumbel12.aux")));
  return report;
}

TEST(FittedGraphs, QuantilesOfTheFittedDistributionLieOnTheOneToOneLine) {
  test::TempDir dir;
  const std::string report = ReportWithX(dir, [](int r) { return GumbelX(r / 13.0); });
  GraphView v;
  PrepareFittedGraph(report, kGraphQuantiles, v);
  ASSERT_EQ(v.Data.RowCount, 12);
  for (int r = 0; r < 12; ++r) {
    EXPECT_NEAR(static_cast<double>(v.Data.Observed[r]), GumbelX((r + 1) / 13.0), 1e-6) << "observed, rank " << r + 1;
    EXPECT_NEAR(static_cast<double>(v.Data.X[r]), static_cast<double>(v.Data.Observed[r]), 1e-4) << "rank " << r + 1;
  }
  // The 1:1 line is the diagonal: both axes are the same.
  EXPECT_EQ(v.Axes.Xlo, v.Axes.Ylo);
  EXPECT_EQ(v.Axes.Xhi, v.Axes.Yhi);
  EXPECT_EQ(v.Axes.XFactor, v.Axes.YFactor);
  EXPECT_LE(v.Axes.Xlo, GumbelX(1 / 13.0));
  EXPECT_GE(v.Axes.Xhi, GumbelX(12 / 13.0));

  // Observed values off the fitted quantiles stay off the line.
  const std::string off = ReportWithX(dir, [](int r) { return GumbelX(r / 13.0) + 2; });
  PrepareFittedGraph(off, kGraphQuantiles, v);
  EXPECT_NEAR(static_cast<double>(v.Data.Observed[5] - v.Data.X[5]), 2, 1e-4);
}

TEST(FittedGraphs, GumbelFitIsAStraightLineOnProbabilityPaper) {
  GraphView v;
  PrepareFittedGraph(Fixture("gumbel12.out"), kGraphProbabilityPaper, v);
  ASSERT_EQ(v.Data.RowCount, 12);
  // Observed points at the reduced variates of their plotting positions.
  EXPECT_NEAR(static_cast<double>(v.Data.X[0]), -std::log(-std::log(1 / 13.0)), 1e-12);
  EXPECT_NEAR(static_cast<double>(v.Data.Observed[11]), 47.3, 1e-9);
  // The axis holds every labelled return period, 1.1 to 1000.
  ASSERT_EQ(v.XMarks.size(), std::size(kPaperPeriods));
  EXPECT_LT(v.Axes.Xlo, v.XMarks.front().At);
  EXPECT_GT(v.Axes.Xhi, v.XMarks.back().At);
  EXPECT_EQ(v.XMarks.back().Label, "1000");
  const CurvePoints& c = v.Curve;
  ASSERT_GT(c.X.size(), 50u);
  for (std::size_t i = 0; i < c.X.size(); ++i) {
    const double f = std::exp(-std::exp(-c.X[i]));
    ASSERT_NEAR(c.F[i], GumbelX(f), 1e-6 * std::fabs(GumbelX(f)) + 1e-6) << "u = " << c.X[i];
    EXPECT_LE(c.Lower[i], c.F[i]);
    EXPECT_GE(c.Upper[i], c.F[i]);
  }
}

TEST(FittedGraphs, ReportWithoutParameterFileHasNoQQGraph) {
  test::TempDir dir;
  const std::string report = dir.File("alone.out");
  test::WriteFile(report, test::ReadFile(Fixture("gumbel12.out")));
  GraphView v;
  EXPECT_THROW(PrepareFittedGraph(report, kGraphQuantiles, v), TavorixError);
  // The probability paper still shows the observed points.
  PrepareFittedGraph(report, kGraphProbabilityPaper, v);
  EXPECT_EQ(v.Data.RowCount, 12);
  EXPECT_TRUE(v.Curve.X.empty());
}

}  // namespace
}  // namespace tavorix

#include "calculator/Bootstrap.h"
#include "report/RunPipeline.h"

namespace tavorix {
namespace {

// The bootstrap band of the probability paper lies about the fitted curve:
// below it on one line and above it on the other wherever both are drawn,
// and it widens towards the rare return periods.
TEST(FittedGraphs, BootstrapBandLiesAboutTheFittedCurve) {
  test::TempDir dir;
  // A run of 60 Gumbel quantiles with the Gumbel preferred.
  TDMTavorix dm;
  dm.FileName = dir.File("g.inp");
  for (int i = 1; i <= 60; ++i) {
    dm.Values.push_back(GumbelX(i / 61.0));
    dm.Serials.push_back(i);
  }
  dm.NrOfData = 60;
  dm.RemoveFlags.assign(60, 0);
  dm.SelectionCode = "4";
  dm.WriteInputFile();
  TavorixRun run;
  ASSERT_EQ(RunSaveRunStages(dm, run, false, {}).DistCode, 4);
  GraphView view;
  PrepareAnyGraph(dir.File("g.out"), kGraphProbabilityPaper, view);
  BootstrapOptions options;
  options.Replicas = 60;
  AddBootstrapBand(dir.File("g.out"), view, options);
  ASSERT_EQ(view.Band.Lower.size(), view.Band.Upper.size());
  ASSERT_GT(view.Band.Lower.size(), 100u);
  int inside = 0;
  for (std::size_t k = 0; k < view.Band.Lower.size(); ++k) {
    // The band stands at the fitted curve's points.
    ASSERT_EQ(view.Band.Lower[k].first, view.Curve.X[k]);
    const double x = view.Curve.F[k];
    inside += view.Band.Lower[k].second <= x && x <= view.Band.Upper[k].second;
  }
  EXPECT_GT(inside, static_cast<int>(0.9 * view.Band.Lower.size()));
  const auto width = [&](std::size_t k) { return view.Band.Upper[k].second - view.Band.Lower[k].second; };
  EXPECT_GT(width(view.Band.Lower.size() - 1), width(view.Band.Lower.size() / 2));
  EXPECT_NE(view.Band.Legend.find("bootstrap interval of X (60 replicas)"), std::string::npos);
  // Graphs without X across leave no band.
  GraphView cumulative;
  PrepareAnyGraph(dir.File("g.out"), kGraphCumulative, cumulative);
  AddBootstrapBand(dir.File("g.out"), cumulative, options);
  EXPECT_TRUE(cumulative.Band.Empty());
}

}  // namespace
}  // namespace tavorix
