// The confidence stage: reading the report's frequency table, the inverse
// per code with its clamps and fallbacks, the normal scan, and the table
// " Confidence limits of calculated X-values".
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include "core/TavorixError.h"
#include "core/TestUtil.h"
#include "fitting/Hastings.h"
#include "report/ConfidenceStage.h"
#include "report/ConfidenceTestSupport.h"

namespace tavorix {
namespace {

using testing::MakeMovedRun;
using testing::MakeRun;
using testing::ReportWithTable;
using testing::TableRowsFromFc;

std::vector<ReportTableRow> Rows(const std::string& tableRows, int n) {
  std::istringstream in(ReportWithTable(tableRows));
  return ReadReportTable(in, n);
}

std::string TableText(const TavorixRun& run, const std::vector<ReportTableRow>& rows) {
  std::ostringstream out;
  WriteConfidenceTable(out, run, rows, ComputeCalculatedX(run, rows));
  return out.str();
}

// The line of rank i (1-based) in a written table.
std::string RowLine(const std::string& table, int i) {
  std::istringstream in(table);
  std::string line;
  for (int k = 0; k < 8 + i; ++k) std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

void SetCode(TavorixRun& run, int code) { run.Fitted.DistCode = code; }

// --- reading the table back ------------------------------------------------

TEST(ReadReportTable, ReadsTheRowsBelowTheHeadingInFixedAndScientificForm) {
  // The user's titles (lines 4 and 5) may begin like the table's caption.
  const std::string report =
      " RESULTS OF Tavorix PROGRAM\n Cumulative frequency analysis\n\n"
      " Observed rainfall\n Obs. station 7\n"
      " Interval analysis\n    Lower    Upper      Obs. (%)  Calc.\n"
      " Observed and calculated cumulative frequencies\n ---\n header\n header\n ---\n"
      "3.57E-004      7     33.33     35.12     21.70      9.21    61.035\n"
      "  -1.250     12     66.67     64.90     21.80     39.95    89.853\n"
      " ---\n";
  std::istringstream in(report);
  const auto rows = ReadReportTable(in, 2);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_DOUBLE_EQ(rows[0].X, 3.57e-4);
  EXPECT_EQ(rows[0].Serial, 7);
  EXPECT_DOUBLE_EQ(rows[0].Calc, 35.12);
  EXPECT_DOUBLE_EQ(rows[0].Upper, 61.035);
  EXPECT_DOUBLE_EQ(rows[1].X, -1.25);
  EXPECT_EQ(rows[1].Serial, 12);
  EXPECT_DOUBLE_EQ(rows[1].Rank, 66.67);
  EXPECT_DOUBLE_EQ(rows[1].StDev, 21.80);
  EXPECT_DOUBLE_EQ(rows[1].Lower, 39.95);
}

TEST(ReadReportTable, MissingTableOrRowsAreReportedAsErrors) {
  std::istringstream noTable(" RESULTS OF Tavorix PROGRAM\r\n The frequency distibution cannot be found :\r\n");
  EXPECT_THROW(ReadReportTable(noTable, 3), TavorixError);
  const std::string oneRow = "   1.000      1     50.00     48.00     20.00     20.00    80.000\r\n";
  std::istringstream shortTable(ReportWithTable(oneRow));
  EXPECT_THROW(ReadReportTable(shortTable, 2), TavorixError);  // the next line is the closing rule
  std::istringstream sixNumbers(ReportWithTable("   1.000      1     50.00     48.00     20.00     20.00\r\n"));
  EXPECT_THROW(ReadReportTable(sixNumbers, 1), TavorixError);
  // A damaged report's count of data may be huge; the rows are missing, not the memory.
  std::istringstream hugeCount(ReportWithTable(oneRow));
  EXPECT_THROW(ReadReportTable(hugeCount, std::numeric_limits<int>::max()), TavorixError);
}

// --- the table of an exponential fit, written by hand ----------------------

TEST(ConfidenceTable, ExponentialFitMatchesTheHandWrittenTable) {
  // Code 6 with A = 1: X = -ln(1 - q). Row 1 has a 0% lower limit (inverted
  // at 0.0003), row 5 an upper limit equal to its calculated frequency
  // (printed as 1.01 times the calculated X).
  TavorixRun run = MakeRun({0.2, 0.55, 0.9, 1.6, 2.4});
  SetCode(run, 6);
  run.Fitted.P.Line.A = 1.0;
  const auto rows = Rows(
      "   0.200      3     16.67     18.13     17.24      0.00    45.210\r\n"
      "   0.550      1     33.33     42.31     22.09     10.54    85.620\r\n"
      "   0.900      5     50.00     55.00     22.25     15.03    90.130\r\n"
      "   1.600      2     66.67     79.81     17.95     31.10    97.060\r\n"
      "   2.400      4     83.33     90.93     12.84     85.00    90.930\r\n",
      5);
  const std::string expected = test::ReadFile(std::string(TAVORIX_TEST_DATA_DIR) + "/golden/values_exponential.txt");
  ASSERT_FALSE(expected.empty());
  EXPECT_TRUE(test::SameBytes(expected, TableText(run, rows)));
}

// --- clamps, fallbacks and the choice of formula ---------------------------

TEST(ComputeCalculatedX, FullAndZeroFrequenciesAreInvertedAtTheClampValues) {
  // Exponential with A = 2: X = -ln(1 - q)/2.
  TavorixRun run = MakeRun({1.0, 2.0});
  SetCode(run, 6);
  run.Fitted.P.Line.A = 2.0;
  const auto rows = Rows(
      "   1.000      1     33.33    100.00      0.00      0.00   100.000\r\n"
      "   2.000      2     66.67      0.00      0.00    100.00     0.000\r\n",
      2);
  const CalculatedX cx = ComputeCalculatedX(run, rows);
  // Zero frequencies stay below 0.01%, the smallest printed frequency above
  // 0, whose X is 5.00025e-5: a row printed 0.00 never gets a larger X than
  // a row after it.
  EXPECT_NEAR(cx.CalcX[1], 4.2585966, 1e-6);    // q = 0.9998
  EXPECT_NEAR(cx.LowerX[1], 5.0000250e-6, 1e-12);  // q = 0.00001
  EXPECT_NEAR(cx.UpperX[1], 4.6051702, 1e-6);   // q = 0.9999
  EXPECT_NEAR(cx.CalcX[2], 1.0000100e-5, 1e-12);   // q = 0.00002
  EXPECT_NEAR(cx.LowerX[2], 4.0558640, 1e-6);   // q = 0.9997
  EXPECT_NEAR(cx.UpperX[2], 1.5000225e-5, 1e-12);  // q = 0.00003: above the calculated X of q = 0.00002
}

TEST(ComputeCalculatedX, FrequencyWithoutAValueIsTheLowerEndOfTheDistribution) {
  // Code 3 with A = 1, B = 1, E = 1: Y = -ln(1 - q) - 1 has no value for
  // q below 1 - 1/e. Data -2 ... 8.5 are moved by Shift = -2.
  const std::string table =
      "  -2.000      1     14.29     70.00     18.71     10.00    90.000\r\n"
      "  -1.000      2     28.57     50.00     20.00     10.00    90.000\r\n";
  TavorixRun run = MakeMovedRun({-2.0, -1.0, 0.5, 1.0, 3.0, 8.5});
  ASSERT_DOUBLE_EQ(run.Shift, -2.0);
  SetCode(run, 3);
  run.Fitted.P.PowerLine.A = 1.0;
  run.Fitted.P.PowerLine.B = 1.0;
  run.Fitted.P.PowerLine.E = 1.0;
  const auto rows = Rows(table, 2);
  const CalculatedX cx = ComputeCalculatedX(run, rows);
  EXPECT_NEAR(cx.CalcX[1], -1.7961272, 1e-6);  // -ln 0.3 - 1 on the moved scale, + Shift - 0.0001
  EXPECT_NEAR(cx.LowerX[1], -2.0001, 1e-12);  // the moved zero in input units
  EXPECT_NEAR(cx.UpperX[1], -0.6975149, 1e-6);  // -ln 0.1 - 1 - 2.0001
  EXPECT_NEAR(cx.CalcX[2], -2.0001, 1e-12);      // no value at 50%: the moved zero, not the observed X
  // Decimals follow the largest input value 8.5 (3), not its moved 10.5001;
  // the negative lower limit stays because the data are negative.
  std::ostringstream out;
  WriteConfidenceTable(out, run, rows, cx);
  EXPECT_EQ(RowLine(out.str(), 1), "  -2.000       1       -1.796         -2.000         -0.698");

  // Data that are not negative: the lower end is not below 0 either.
  TavorixRun positive = MakeRun({1.0, 2.0, 3.0});
  positive.Shift = 0.0;
  SetCode(positive, 3);
  positive.Fitted.P = run.Fitted.P;
  const auto positiveRows = Rows(
      "   1.000      1     25.00     50.00     20.00     10.00    90.000\r\n"
      "   2.000      2     50.00     50.00     20.00     10.00    90.000\r\n",
      2);
  const CalculatedX px = ComputeCalculatedX(positive, positiveRows);
  EXPECT_DOUBLE_EQ(px.LowerX[1], 0.0);
  EXPECT_DOUBLE_EQ(px.CalcX[1], 0.0);
}

TEST(ComputeCalculatedX, CompositeSwitchesPartByRankNotByFrequency) {
  // Code 9, Gumbel in both parts: -(ln(-ln q) + B)/A. At q = 0.5 the lower
  // part (1, 0) gives 0.366513; the upper part (0.5, -1) would give 2.733026,
  // but above P = 1 the distribution stays at the 0.692 the lower part
  // reaches there, so an upper rank at 0.5 has X = P.
  TavorixRun run = MakeRun({0.1, 0.2, 0.3, 0.4});
  SetCode(run, 9);
  FitParams& p = run.Fitted.P;
  p.Composite.Lower.A = 1.0;
  p.Composite.Lower.B = 0.0;
  p.Composite.Upper.A = 0.5;
  p.Composite.Upper.B = -1.0;
  p.Composite.BreakPoint = 1.0;
  p.Composite.BreakCount = 2;
  std::string table;
  for (int i = 1; i <= 4; ++i)
    table += "   0." + std::to_string(i) + "000      " + std::to_string(i) +
             "     20.00     50.00     22.36     25.00    75.000\r\n";
  const auto rows = Rows(table, 4);
  CalculatedX cx = ComputeCalculatedX(run, rows);
  EXPECT_NEAR(cx.CalcX[2], 0.3665129, 1e-6);
  EXPECT_DOUBLE_EQ(cx.CalcX[3], 1.0);
  p.Composite.BreakCount = 3;
  cx = ComputeCalculatedX(run, rows);
  EXPECT_NEAR(cx.CalcX[3], 0.3665129, 1e-6);
  EXPECT_DOUBLE_EQ(cx.CalcX[4], 1.0);
}

TEST(ComputeCalculatedX, CompositeXKeepsToTheSideOfThePartOfItsRank) {
  // The parts of CompositeSwitchesPartByRankNotByFrequency: the lower one
  // reaches 0.692 at P = 1, the upper one starts from 0.192 there, so the
  // distribution stays at 0.692 above P until the upper part reaches it
  // (X = 4). A lower rank at 80% has X = P; the other rows keep their part's
  // inverse, except limits beyond where the other part starts (90% above
  // 0.692; 50% of an upper rank below it), which are that part's X.
  TavorixRun run = MakeRun({0.1, 0.2, 0.3, 0.4});
  SetCode(run, 9);
  FitParams& p = run.Fitted.P;
  p.Composite.Lower = {1.0, 0.0, 0.0};
  p.Composite.Upper = {0.5, -1.0, 0.0};
  p.Composite.BreakPoint = 1.0;
  p.Composite.BreakCount = 2;
  const auto rows = Rows(
      "   0.1000      1     20.00     10.00     22.36      5.00    15.000\r\n"
      "   0.2000      2     40.00     80.00     22.36     60.00    90.000\r\n"
      "   0.3000      3     60.00     75.00     22.36     50.00    80.000\r\n"
      "   0.4000      4     80.00     90.00     22.36     85.00    95.000\r\n",
      4);
  const CalculatedX cx = ComputeCalculatedX(run, rows);
  auto lower = [](double q) { return -std::log(-std::log(q)); };
  auto upper = [](double q) { return 2.0 - 2.0 * std::log(-std::log(q)); };
  EXPECT_NEAR(cx.CalcX[1], lower(0.10), 1e-12);
  EXPECT_NEAR(cx.UpperX[1], lower(0.15), 1e-12);
  EXPECT_NEAR(cx.LowerX[2], lower(0.60), 1e-12);
  EXPECT_DOUBLE_EQ(cx.CalcX[2], 1.0);
  EXPECT_NEAR(cx.UpperX[2], upper(0.90), 1e-12);
  EXPECT_NEAR(cx.LowerX[3], lower(0.50), 1e-12);
  EXPECT_NEAR(cx.CalcX[3], upper(0.75), 1e-12);
  EXPECT_NEAR(cx.UpperX[3], upper(0.80), 1e-12);
  EXPECT_NEAR(cx.CalcX[4], upper(0.90), 1e-12);
}

TEST(ComputeCalculatedX, FrequencyAboveAllTheDistributionReachesIsFarBeyondTheData) {
  // Dagum (32), F = 0.9 X/(1 + X), never reaches 0.9: the upper limit of
  // 95% has no X; it is 10 times the top of the X range (2 + 5% of 1).
  TavorixRun run = MakeRun({1.0, 2.0});
  SetCode(run, 32);
  run.Fitted.P.Burr = {.A = -1.0, .E = 1.0, .D = std::log(0.9), .S = 1.0};
  const auto rows = Rows(
      "   1.000      1     33.33     45.00     35.00     30.00    95.000\r\n"
      "   2.000      2     66.67     60.00     35.00     40.00    70.000\r\n",
      2);
  const CalculatedX cx = ComputeCalculatedX(run, rows);
  EXPECT_NEAR(cx.CalcX[1], 1.0, 1e-12);
  EXPECT_NEAR(cx.UpperX[1], 20.5, 1e-12);
  EXPECT_NEAR(cx.UpperX[2], 3.5, 1e-12);  // 0.9 X/(1 + X) = 0.7
}

TEST(ComputeCalculatedX, GammaIsInvertedNumerically) {
  // Two terms, scale 1.5: F = 1 - e^-r (1 + r), r = X/1.5; each X is the
  // one whose F is the row's frequency.
  TavorixRun run = MakeRun({2.0, 4.0, 10.0});
  SetCode(run, 61);
  run.Fitted.P.Gamma.A = 1.5;
  run.Fitted.P.Gamma.Terms = 2;
  const auto rows = Rows(
      "   2.000      1     25.00     20.00     23.09      6.61    50.000\r\n"
      "   4.000      2     50.00     55.00     28.72     23.00    90.000\r\n"
      "  10.000      3     75.00     99.00      5.74     97.00    99.990\r\n",
      3);
  const CalculatedX cx = ComputeCalculatedX(run, rows);
  auto f = [](double x) { return 1.0 - std::exp(-x / 1.5) * (1.0 + x / 1.5); };
  for (int i = 1; i <= 3; ++i) {
    const ReportTableRow& r = rows[i - 1];
    for (const auto& [x, q] : {std::pair{cx.CalcX[i], r.Calc}, {cx.LowerX[i], r.Lower}, {cx.UpperX[i], r.Upper}}) {
      EXPECT_NEAR(f(x), q / 100.0, 1e-12) << "row " << i;
    }
  }
}

// --- R and units -------------------------------------------------------------

TEST(ComputeCalculatedX, ClosedFormInverseReproducesTheDataAndPrintsCappedR) {
  // Gumbel quantiles at the plotting positions: the printed frequencies
  // (two decimals) invert to within a few thousandths of the data.
  const double a = 0.8, b = -2.0;
  auto quantile = [&](double f) { return -(std::log(-std::log(f)) + b) / a; };
  TavorixRun run = MakeRun(testing::QuantilesAtPlottingPositions(30, quantile));
  SetCode(run, 4);
  run.Fitted.P.Line.A = a;
  run.Fitted.P.Line.B = b;
  auto fc = [&](double x) { return std::exp(-std::exp(-(a * x + b))); };
  const auto rows = Rows(TableRowsFromFc(run, fc, 3), 30);
  const CalculatedX cx = ComputeCalculatedX(run, rows);
  for (int i = 1; i <= 30; ++i) EXPECT_NEAR(cx.CalcX[i], rows[i - 1].X, 0.02) << i;
  const std::string table = TableText(run, rows);
  EXPECT_NE(table.find("\r\n data values :   0.99999\r\n"), std::string::npos);
}

TEST(ComputeCalculatedX, NegativeDataStayInInputUnits) {
  // -5 ... 20 moved by Shift = -5; logistic (53) on the moved scale with
  // Fc = 1/(1 + exp(A x + B)).
  std::vector<double> values;
  for (int v = -5; v <= 20; ++v) values.push_back(v);
  TavorixRun run = MakeMovedRun(values);
  ASSERT_DOUBLE_EQ(run.Shift, -5.0);
  SetCode(run, 53);
  run.Fitted.P.Line.A = -0.2;
  run.Fitted.P.Line.B = 2.5;
  auto fc = [](double x) { return 1.0 / (1.0 + std::exp(-0.2 * x + 2.5)); };
  const auto rows = Rows(TableRowsFromFc(run, fc, 2), run.N);
  const CalculatedX cx = ComputeCalculatedX(run, rows);
  EXPECT_NEAR(cx.CalcX[1], -5.0, 0.02);
  EXPECT_NEAR(cx.CalcX[run.N], 20.0, 0.05);
  EXPECT_GT(cx.R, 0.9999);
  const std::string table = TableText(run, rows);
  EXPECT_EQ(RowLine(table, 1).substr(0, 8), "   -5.00");
  EXPECT_EQ(RowLine(table, 26).substr(0, 8), "   20.00");
}

// --- the normal family ---------------------------------------------------------

TEST(NormalScan, FindsTheQuantilesOfANormalCode) {
  // Code 20 with mean 10 and sigma 2 over data 5 ... 15: the range top is
  // 15.5, the scan step 0.0155. The normal quantiles at 50%, 84.13% and
  // 97.72% are 10, 12 and 14.
  TavorixRun run = MakeRun({5.0, 7.5, 10.0, 12.5, 15.0});
  SetCode(run, 20);
  run.Fitted.P.Normal.Mean = 10.0;
  run.Fitted.P.Normal.Sigma = 2.0;
  run.Fitted.P.Normal.Sigma0 = 5.0;  // the plain sd must not be used
  const auto rows = Rows(
      "   5.000      1     16.67     50.00     22.36     20.00    84.130\r\n"
      "   7.500      2     33.33     84.13     16.33     50.00    97.720\r\n"
      "  10.000      3     50.00     97.72      6.68     90.00    99.990\r\n"
      "  12.500      4     66.67     97.72      6.68     90.00    99.990\r\n"
      "  15.000      5     83.33     97.72      6.68     90.00    99.990\r\n",
      5);
  const XRange range = FindXRange(run, rows);
  EXPECT_NEAR(range.Max, 15.5, 1e-12);
  const CalculatedX cx = ComputeCalculatedX(run, rows);
  EXPECT_NEAR(cx.CalcX[1], 10.0, 0.02);
  EXPECT_NEAR(cx.UpperX[1], 12.0, 0.02);
  EXPECT_NEAR(cx.CalcX[2], 12.0, 0.02);
  EXPECT_NEAR(cx.UpperX[2], 14.0, 0.02);
  EXPECT_NEAR(cx.CalcX[3], 14.0, 0.02);
}

TEST(NormalScan, StepWiderThanTheGapsOfTheDataIsRefined) {
  // Data 0.3000, 0.3001, ... (the finest gap 0.0001) up to 2: the step
  // 0.0021 of the range top 2.085 would give some twenty neighbouring data
  // one X; the scan refines within it to the first Y whose F exceeds q.
  std::vector<double> data;
  for (int i = 0; i < 50; ++i) data.push_back(0.3 + 0.0001 * i);
  data.push_back(2.0);
  TavorixRun run = MakeRun(data);
  SetCode(run, 21);
  std::string table;
  for (int i = 1; i <= run.N; ++i)
    table += FormatFixed(data[i - 1], 8, 4) + "      " + std::to_string(i) + (i < 10 ? "  " : " ") +
             "     50.00     50.00     10.00     40.00    60.000\r\n";
  const auto rows = Rows(table, run.N);
  const XRange range = FindXRange(run, rows);
  EXPECT_NEAR(range.FinestGap, 0.0001, 1e-12);
  const NormalScanner fine(1.0, 0.5, range);
  XRange coarse = range;
  coarse.FinestGap = 0.01;
  const NormalScanner grid(1.0, 0.5, coarse);
  const double step = 0.001 * range.Max;
  for (double q : {0.09, 0.0901, 0.0902, 0.5, 0.9}) {
    const double y = fine.Scan(q);
    EXPECT_GT(HastingsScanF((y - 1.0) / 0.5), q) << q;
    EXPECT_LE(HastingsScanF((std::nextafter(y, 0.0) - 1.0) / 0.5), q) << q;
    // The grid point of the unrefined scan lies within the step above it.
    const double g = grid.Scan(q);
    EXPECT_NEAR(g / step, std::round(g / step), 1e-9) << q;
    EXPECT_GE(g, y) << q;
    EXPECT_LT(g - y, step * (1 + 1e-9)) << q;
  }
  EXPECT_LT(fine.Scan(0.0901), fine.Scan(0.0902));
}

TEST(NormalScan, LogNormalDataBelowOneUseTheWidenedScan) {
  // Code 22 with ln X ~ N(ln 0.3, 0.5) on data 0.1 ... 0.8: the transformed
  // range lies below 0. Quantiles at 50%, 84.13% and 97.72%: 0.3,
  // 0.3 e^0.5 = 0.494616 and 0.3 e = 0.815485.
  TavorixRun run = MakeRun({0.1, 0.2, 0.3, 0.5, 0.8});
  SetCode(run, 22);
  run.Fitted.P.Normal.Mean = std::log(0.3);
  run.Fitted.P.Normal.Sigma = 0.5;
  const auto rows = Rows(
      "  0.1000      1     16.67     50.00     22.36     84.13    97.720\r\n"
      "  0.2000      2     33.33     50.00     22.36     84.13    97.720\r\n"
      "  0.3000      3     50.00     50.00     22.36     84.13    97.720\r\n"
      "  0.5000      4     66.67     50.00     22.36     84.13    97.720\r\n"
      "  0.8000      5     83.33     50.00     22.36     84.13    97.720\r\n",
      5);
  const XRange range = FindXRange(run, rows);
  EXPECT_NEAR(range.Min, std::log(0.1), 1e-12);
  EXPECT_NEAR(range.Max, std::log(0.835), 1e-12);
  const CalculatedX cx = ComputeCalculatedX(run, rows);
  EXPECT_NEAR(cx.CalcX[1], 0.3, 0.003);
  EXPECT_NEAR(cx.LowerX[1], 0.494616, 0.004);
  EXPECT_NEAR(cx.UpperX[1], 0.815485, 0.006);
}

TEST(NormalScan, RangeOfMovedDataIsTakenOnTheMovedScale) {
  // -5 ... 20 moved by Shift = -5: the fit saw 0.0001 ... 25.0001.
  std::vector<double> values;
  for (int v = -5; v <= 20; v += 5) values.push_back(v);
  TavorixRun run = MakeMovedRun(values);
  SetCode(run, 20);
  std::string table;
  for (int i = 1; i <= run.N; ++i)
    table += FormatFixed(values[i - 1], 8, 2) + "      " + std::to_string(i) +
             "     50.00     50.00     20.00     20.00    80.000\r\n";
  const XRange range = FindXRange(run, Rows(table, run.N));
  EXPECT_NEAR(range.Min, 0.0001, 1e-9);
  EXPECT_NEAR(range.Max, 25.0001 + 0.05 * 25.0, 1e-9);
}

// --- the written table -------------------------------------------------------

TEST(ConfidenceTable, LimitsArePrintedWithTheTableCorrections) {
  auto rowsOf = [](double x1) {
    std::vector<ReportTableRow> rows(2);
    rows[0].X = x1;
    rows[0].Serial = 1;
    rows[1].X = 5.0;
    rows[1].Serial = 2;
    return rows;
  };
  CalculatedX cx;
  cx.CalcX = {0, 0.8, 4.0};
  cx.LowerX = {0, -0.3, 3.5};
  cx.UpperX = {0, 2.0, 4.0};  // rank 2: not above the calculated X
  TavorixRun run = MakeRun({0.5, 5.0});
  std::ostringstream out;
  WriteConfidenceTable(out, run, rowsOf(0.5), cx);
  EXPECT_EQ(RowLine(out.str(), 1), "   0.500       1        0.800          0.000          2.000");
  EXPECT_EQ(RowLine(out.str(), 2), "   5.000       2        4.000          3.500          4.040");
  // Negative data keep a negative lower limit.
  TavorixRun negative = MakeMovedRun({-0.5, 5.0});
  std::ostringstream out2;
  WriteConfidenceTable(out2, negative, rowsOf(-0.5), cx);
  EXPECT_EQ(RowLine(out2.str(), 1), "  -0.500       1        0.800         -0.300          2.000");
  // A negative calculated X of data that are not negative keeps its lower
  // limit below it.
  cx.CalcX[1] = -0.1;
  std::ostringstream out3;
  WriteConfidenceTable(out3, run, rowsOf(0.5), cx);
  EXPECT_EQ(RowLine(out3.str(), 1), "   0.500       1       -0.100         -0.300          2.000");
}

TEST(ConfidenceTable, TinyDataPrintEveryXInScientificForm) {
  // Exponential with A = 300 on data 0.001 ... 0.009.
  std::vector<double> values;
  for (int k = 1; k <= 9; ++k) values.push_back(0.001 * k);
  TavorixRun run = MakeRun(values);
  SetCode(run, 6);
  run.Fitted.P.Line.A = 300.0;
  auto fc = [](double x) { return 1.0 - std::exp(-300.0 * x); };
  const auto rows = Rows(TableRowsFromFc(run, fc, 4, true), 9);
  EXPECT_DOUBLE_EQ(rows[0].X, 0.001);
  const CalculatedX cx = ComputeCalculatedX(run, rows);
  EXPECT_NEAR(cx.CalcX[1], 0.001, 2e-5);
  const std::string line = RowLine(TableText(run, rows), 1);
  EXPECT_EQ(line.substr(0, 17), "1.00E-003       1");
  EXPECT_EQ(line.substr(17, 13), "    1.00E-003");
}

TEST(ConfidenceStage, RunWithoutDistributionHasNoTable) {
  TavorixRun run = MakeRun({1.0, 2.0, 3.0});
  std::ostringstream report;
  const ReportSummary summary = WriteResultsReport(report, run, "/data/series.inp");
  EXPECT_FALSE(RunConfidenceStage(run, summary).has_value());
}

}  // namespace
}  // namespace tavorix
