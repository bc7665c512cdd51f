// The results report: a golden report written by hand from the layout, and
// the edge cases of its frame and tables.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "core/DataPreparation.h"
#include "core/TavorixError.h"
#include "core/TestUtil.h"
#include "core/UDMTavorix.h"
#include "fitting/FitAll.h"
#include "fitting/FitTestSupport.h"
#include "fitting/FittedCurve.h"
#include "report/ConfidenceStage.h"
#include "report/ResultsReport.h"
#include "report/XValueFormat.h"

namespace tavorix {
namespace {

using tavorix::testing::MakeRun;

double Gumbel(double a, double b, double x) { return std::exp(-std::exp(-(a * x + b))); }

// Nine values with a Gumbel fit A = 0.3, B = -2 chosen by hand (the fit is
// not run): the run of the golden report tests/data/golden/report_gumbel.out.
TavorixRun GoldenGumbelRun() {
  TavorixRun run = MakeRun({2, 3, 5, 6, 7, 8, 10, 12, 15}, "4");
  run.SerialOfRank = {0, 3, 11, 7, 105, 1, 9, 10, 2, 42};
  run.ReportTitle1 = "Golden series of the results report";
  run.ReportTitle2 = "Peak levels in cm, made up for the test";
  run.Fitted.DistCode = 4;
  run.Fitted.P.Line.A = 0.3;
  run.Fitted.P.Line.B = -2.0;
  run.Fitted.StdErrX = 9.99;  // a leftover of another fit: the Gumbel's own value is printed
  run.Slots[4].Ran = run.Slots[4].HasResult = true;
  run.Slots[4].StdErrX = 1.28 / 0.3;
  run.FcCalc.assign(10, 0.0L);
  for (int i = 1; i <= 9; ++i) run.FcCalc[i] = Gumbel(0.3, -2.0, static_cast<double>(run.X[i]));
  // Three classes of width 13/3 from 2; the last bound raised by 0.0002.
  const double width = 13.0 / 3.0;
  run.ClassCount = 3;
  run.ClassBounds[1] = 2.0;
  run.ClassBounds[2] = 2.0 + width;
  run.ClassBounds[3] = 2.0 + 2 * width;
  run.ClassBounds[4] = 2.0 + 3 * width + 0.0002;
  run.ClassCounts[1] = 4;
  run.ClassCounts[2] = 3;
  run.ClassCounts[3] = 2;
  for (int k = 1; k <= 4; ++k) run.ClassFc[k] = Gumbel(0.3, -2.0, run.ClassBounds[k]);
  return run;
}

// A run with a perfect fit (Fc = Fr) and two classes, for the frame checks.
TavorixRun SimpleRun(std::vector<double> values, int code = 4, std::string preferred = "1") {
  TavorixRun run = MakeRun(std::move(values), std::move(preferred));
  run.Fitted.DistCode = code;
  SetLine(run.Fitted.P, code, 1.0, -1.0);
  run.FcCalc = run.Fr;
  run.ClassCount = 2;
  const double lo = static_cast<double>(run.X[1]), hi = static_cast<double>(run.X[run.N]);
  run.ClassBounds[1] = lo;
  run.ClassBounds[2] = (lo + hi) / 2;
  run.ClassBounds[3] = hi + 0.0002;
  run.ClassFc[1] = 0.1;
  run.ClassFc[2] = 0.5;
  run.ClassFc[3] = 0.9;
  return run;
}

struct Written {
  std::string Text;
  std::vector<std::string> Lines;
  ReportSummary Summary;
};

Written Write(const TavorixRun& run, const std::string& path = "/data/golden_series.out") {
  std::ostringstream out;
  Written w;
  w.Summary = WriteResultsReport(out, run, path);
  w.Text = out.str();
  std::size_t at = 0;
  while (at < w.Text.size()) {
    const std::size_t end = w.Text.find("\r\n", at);
    if (end == std::string::npos) break;
    w.Lines.push_back(w.Text.substr(at, end - at));
    at = end + 2;
  }
  return w;
}

int IndexOf(const Written& w, const std::string& line) {
  for (std::size_t i = 0; i < w.Lines.size(); ++i)
    if (w.Lines[i] == line) return static_cast<int>(i);
  return -1;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

// The frequency table as the confidence stage reads it: the first line that
// begins with " Obs", four lines skipped, then N rows of seven numbers.
std::vector<std::vector<double>> ReadFrequencyTable(const Written& w, int n) {
  std::size_t at = 0;
  while (at < w.Lines.size() && !StartsWith(w.Lines[at], " Obs")) ++at;
  at += 5;
  std::vector<std::vector<double>> rows;
  for (int r = 0; r < n && at < w.Lines.size(); ++r, ++at) {
    std::istringstream in(w.Lines[at]);
    in.imbue(std::locale::classic());
    std::vector<double> row;
    double v = 0;
    while (in >> v) row.push_back(v);
    rows.push_back(row);
  }
  return rows;
}

TEST(ResultsReport, GoldenGumbelReport) {
  const Written w = Write(GoldenGumbelRun());
  const std::string golden = test::ReadFile(std::string(TAVORIX_TEST_DATA_DIR) + "/golden/report_gumbel.out");
  ASSERT_FALSE(golden.empty());
  EXPECT_TRUE(test::SameBytes(golden, w.Text));
  // Independent sums over the nine data: 100 * sum|Fc - Fr| / 9 and 1 - SSE/SST.
  EXPECT_NEAR(w.Summary.AvAbsDiff, 7.5110661, 1e-6);
  EXPECT_NEAR(w.Summary.R2, 0.8835781, 1e-6);
  EXPECT_DOUBLE_EQ(w.Summary.MedianX, 7.0);
  EXPECT_EQ(w.Summary.XDecimals, 2);
  EXPECT_EQ(w.Summary.ClassDecimals, 2);
}

TEST(ResultsReport, GoldenReportIsTheSameUnderAGermanLocale) {
  const Written plain = Write(GoldenGumbelRun());
  std::locale german;
  try {
    german = std::locale("de_DE.UTF-8");
  } catch (const std::runtime_error&) {
    GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  }
  const std::locale previous = std::locale::global(german);
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  const Written german_ = Write(GoldenGumbelRun());
  std::locale::global(previous);
  std::setlocale(LC_ALL, "C");
  EXPECT_TRUE(test::SameBytes(plain.Text, german_.Text));
}

TEST(ResultsReport, FrequencyTableIsReadBackByTheConfidenceStage) {
  const TavorixRun run = GoldenGumbelRun();
  const Written w = Write(run);
  for (std::size_t i = 0; i < w.Lines.size() && w.Lines[i] != " Observed and calculated cumulative frequencies"; ++i)
    EXPECT_FALSE(StartsWith(w.Lines[i], " Obs")) << "line " << i + 1;
  const auto rows = ReadFrequencyTable(w, 9);
  ASSERT_EQ(rows.size(), 9u);
  for (int i = 0; i < 9; ++i) {
    ASSERT_EQ(rows[i].size(), 7u) << "row " << i + 1;
    EXPECT_DOUBLE_EQ(rows[i][0], static_cast<double>(run.X[i + 1]));
    EXPECT_EQ(rows[i][1], static_cast<double>(run.SerialOfRank[i + 1]));
    EXPECT_NEAR(rows[i][2], 10.0 * (i + 1), 1e-9);
  }
}

TEST(ResultsReport, HighestRankOfNineData) {
  const Written w = Write(GoldenGumbelRun());
  const auto rows = ReadFrequencyTable(w, 9);
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows[8][2], 90.00);
  // Return period of rank 9: 1 / (1 - 0.9) = 10.
  const int last = IndexOf(w, " observed return periods :      0.53") - 3;
  ASSERT_GT(last, 0);
  EXPECT_TRUE(StartsWith(w.Lines[last], "   15.00      42        10.0 ")) << w.Lines[last];
}

TEST(ResultsReport, ZeroCalculatedFrequencyUsesHalfTheRankUpToTheNextRow) {
  TavorixRun run = GoldenGumbelRun();
  run.FcCalc[1] = 0;
  run.FcCalc[2] = 0.08;
  const Written w = Write(run);
  // Calc = 10/2 = 5; Sd = (100/9) sqrt(9 * 0.05 * 0.95) = 7.2648.
  EXPECT_NE(IndexOf(w, "    2.00      3       10.00      5.00      7.26      3.76    28.465"), -1);
  // Return period of F = 0.05: 1/(1 - 0.05) = 1.0526; its limits are those of
  // the frequency limits 0.03765 and 0.28465: 1.0391 and 1.3979.
  EXPECT_NE(IndexOf(w, "    2.00      3         1.11       1.05       1.04       1.40"), -1);
  // Never above the next row's calculated frequency: the column rises.
  run.FcCalc[2] = 0.04;
  const auto rows = ReadFrequencyTable(Write(run), 2);
  EXPECT_EQ(rows[0][3], 4.00);
  EXPECT_EQ(rows[1][3], 4.00);
}

TEST(ResultsReport, ConfidenceLimitsFollowThePreviousRankButNeverPassTheirValue) {
  TavorixRun run = GoldenGumbelRun();
  // Row 1: Calc 50, Sd 16.667, limits 21.667 and 78.333. Row 2: Calc 10 would
  // give 6.6 and 40.6; both are raised to the limits of row 1, the lower one
  // only as far as the calculated 10.
  run.FcCalc[1] = 0.5;
  run.FcCalc[2] = 0.1;
  const auto rows = ReadFrequencyTable(Write(run), 2);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][5], 21.67);
  EXPECT_EQ(rows[0][6], 78.333);
  EXPECT_EQ(rows[1][3], 10.00);
  EXPECT_EQ(rows[1][5], 10.00);
  EXPECT_EQ(rows[1][6], 78.333);
}

// Rank 47 of 48 data has the return period 49/2 = 24.5 exactly, which
// prints as 25 (no decimals where the calculated frequency is 0.99 or more).
TEST(ResultsReport, RankReturnPeriodThatIsAHalfRoundsUp) {
  std::vector<double> values(48);
  for (int i = 0; i < 48; ++i) values[i] = 10.0 + i;
  TavorixRun run = SimpleRun(values);
  run.FcCalc[47] = 0.995;
  const Written w = Write(run);
  const int first = IndexOf(w, "   Ranked      No.       Rank       Calc.      Lower    Upper") + 2;
  ASSERT_GT(first, 1);
  const std::string& row = w.Lines[first + 46];
  EXPECT_TRUE(StartsWith(row, "   56.00      47          25        200 ")) << row;
}

TEST(ResultsReport, DecimalsOfXFollowTheLargestValue) {
  EXPECT_EQ(FrequencyTableDecimals(0.8), 4);
  EXPECT_EQ(FrequencyTableDecimals(1.0), 3);
  EXPECT_EQ(FrequencyTableDecimals(99.9), 2);
  EXPECT_EQ(FrequencyTableDecimals(100.0), 1);
  EXPECT_EQ(FrequencyTableDecimals(499.9), 1);
  EXPECT_EQ(FrequencyTableDecimals(750.0), 0);
  EXPECT_EQ(ClassTableDecimals(10.0), 3);
  EXPECT_EQ(ClassTableDecimals(10.5), 2);
  EXPECT_EQ(ClassTableDecimals(100.5), 1);
  EXPECT_EQ(ClassTableDecimals(1000.5), 0);

  const Written small = Write(SimpleRun({0.2, 0.35, 0.4, 0.5, 0.65, 0.8}));
  EXPECT_EQ(ReadFrequencyTable(small, 6)[5][0], 0.8);
  EXPECT_NE(small.Text.find("\r\n  0.8000      6  "), std::string::npos);
  const Written large = Write(SimpleRun({120, 250, 310, 480, 600, 750}));
  EXPECT_NE(large.Text.find("\r\n     750      6  "), std::string::npos);
}

TEST(ResultsReport, MedianIsTheValueAtRankNPlusOneDivTwo) {
  const Written seven = Write(SimpleRun({7, 1, 6, 2, 5, 3, 4}));
  EXPECT_EQ(seven.Summary.MedianX, 4.0);
  EXPECT_NE(seven.Text.find("     Median X:  4.000     St.Dev. X:"), std::string::npos);
  const Written eight = Write(SimpleRun({8, 1, 7, 2, 6, 3, 5, 4}));
  EXPECT_EQ(eight.Summary.MedianX, 4.0);
}

TEST(ResultsReport, PreferredDistributionLine) {
  const Written preferred = Write(SimpleRun({1, 2, 3, 4, 5, 6}, 4, "4"));
  ASSERT_GT(preferred.Lines.size(), 9u);
  EXPECT_EQ(preferred.Lines[7], " Probability distribution preferred by user.");
  EXPECT_EQ(preferred.Lines[8], "");
  const Written best = Write(SimpleRun({1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(best.Lines[7], "");
  EXPECT_EQ(best.Lines[8], "The cumulative frequency function is double exponential (Gumbel):");
  EXPECT_EQ(IndexOf(best, " Probability distribution preferred by user."), -1);
}

TEST(ResultsReport, GeneralAAndBLinesPerCode) {
  struct Case {
    int Code;
    bool A, B;
  };
  const Case cases[] = {{3, true, true},   {4, true, true},   {6, true, false},  {33, true, true},
                        {35, true, true},  {51, true, true},  {57, true, true},  {60, true, true},
                        {64, true, true},  {66, true, true},  {61, false, false}, {62, false, false},
                        {67, false, false}, {68, false, false}, {69, false, false}, {31, false, false},
                        {34, false, false}, {36, false, false}, {20, false, false}, {12, false, false},
                        {73, false, false}, {80, false, false}};
  for (const Case& c : cases) {
    TavorixRun run = SimpleRun({1, 2, 3, 4, 5, 6}, c.Code);
    SetLine(run.Fitted.P, c.Code, 0.5, -1.5);
    const Written w = Write(run);
    EXPECT_EQ(IndexOf(w, "     A    = 5.00E-001") != -1, c.A) << c.Code;
    EXPECT_EQ(IndexOf(w, "     B    = -1.50E+000") != -1, c.B) << c.Code;
  }
}

TEST(ResultsReport, OtherCodesHaveOneEmptyLineInsteadOfTheModeLines) {
  TavorixRun mirrored = GoldenGumbelRun();
  mirrored.Fitted.DistCode = 5;
  const Written w = Write(mirrored);
  EXPECT_EQ(IndexOf(w, "   Mode   =  6.6667E+000"), -1);
  const int b = IndexOf(w, "     B    = -2.00E+000");
  ASSERT_NE(b, -1);
  EXPECT_EQ(w.Lines[b + 1], "");
  EXPECT_TRUE(StartsWith(w.Lines[b + 2], " Average X:"));
}

TEST(ResultsReport, SimpleCompositeTwoPartBlockStandsBeforeTheStatistics) {
  TavorixRun run = SimpleRun({1, 2, 3, 4, 5, 6}, 9);
  run.Fitted.P.Composite.BreakPoint = 3.5;
  const Written w = Write(run);
  const int p = IndexOf(w, " The separation point is : P =  3.500");
  ASSERT_NE(p, -1);
  // Heading's empty line, the frame's empty line, then the block of code 9
  // that starts with its own empty line.
  EXPECT_EQ(w.Lines[p + 1], "");
  EXPECT_EQ(w.Lines[p + 2], "");
  EXPECT_EQ(w.Lines[p + 3], "");
  EXPECT_EQ(w.Lines[p + 4], " X < P :  Freq = exp[-exp{-(As*X+Bs)}]");
  EXPECT_TRUE(StartsWith(w.Lines[p + 8], " Average X:"));
}

TEST(ResultsReport, IntervalTableCarriesANegativeValueAndCapsCumulativeValues) {
  TavorixRun run = GoldenGumbelRun();
  run.ClassFc[1] = -0.02;
  run.ClassFc[2] = 0.30;
  run.ClassFc[3] = 0.80;
  run.ClassFc[4] = 1.05;
  run.ClassCounts[3] = 1;  // one datum counted in no class
  const Written w = Write(run);
  const int first = IndexOf(w, "    Lower    Upper      Obs. (%)  Calc.") + 2;
  ASSERT_GT(first, 1);
  EXPECT_EQ(w.Lines[first], "   -0.17      2.00       0.0       0.0");
  EXPECT_EQ(w.Lines[first + 1], "    2.00      6.33      44.4      30.0");
  EXPECT_EQ(w.Lines[first + 2], "    6.33     10.67      33.3      50.0");
  EXPECT_EQ(w.Lines[first + 3], "   10.67     15.00      11.1      20.0");
  EXPECT_EQ(w.Lines[first + 4], "   15.00     21.50      11.1       0.0");
}

// Input -5, -3, 1, 2, 4, 7, 11, 15, 20: moved by +5.0001 (Shift = -5).
TavorixRun NegativeDataRun() {
  const std::vector<double> input = {-5, -3, 1, 2, 4, 7, 11, 15, 20};
  std::vector<double> moved;
  for (double v : input) moved.push_back(v + 5.0 + 0.0001);
  TavorixRun run = SimpleRun(moved, 4);
  run.Shift = -5.0;
  run.Fitted.P.Line.A = 0.2;
  run.Fitted.P.Line.B = -2.0;  // mode 10 on the moved scale, 4.9999 in input units
  run.Slots[4].HasResult = true;
  run.Slots[4].StdErrX = 1.28 / 0.2;
  return run;
}

TEST(ResultsReport, NegativeDataArePrintedInInputUnits) {
  const TavorixRun run = NegativeDataRun();
  const Written w = Write(run);
  EXPECT_DOUBLE_EQ(w.Summary.MedianX, 4.0);
  // Mean of the input values 52/9 = 5.778; bounds in input units up to 20.0002.
  EXPECT_NE(IndexOf(w, " An additional term C is used : C = 5.00E+000"), -1);
  EXPECT_NE(IndexOf(w, "     Freq = exp[-exp{-(A*(X+C)+B)}]"), -1);
  EXPECT_NE(IndexOf(w, "   Mode   =  4.9999E+000"), -1);
  const int stats = IndexOf(w, "   Mode   =  4.9999E+000") + 3;
  EXPECT_TRUE(StartsWith(w.Lines[stats], " Average X:   5.78     Median X:   4.00     St.Dev. X:")) << w.Lines[stats];
  const int classes = IndexOf(w, "    Lower    Upper      Obs. (%)  Calc.") + 3;
  EXPECT_TRUE(StartsWith(w.Lines[classes], "   -5.00      7.50 ")) << w.Lines[classes];
  const auto rows = ReadFrequencyTable(w, 9);
  const double input[] = {-5, -3, 1, 2, 4, 7, 11, 15, 20};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(rows[i][0], input[i]);
  const int returns = IndexOf(w, "   Ranked      No.       Rank       Calc.      Lower    Upper") + 2;
  EXPECT_TRUE(StartsWith(w.Lines[returns], "   -5.00      1  ")) << w.Lines[returns];
}

TEST(ResultsReport, TinyDataArePrintedInTheScientificForm) {
  // Input 0.00030 ... 0.00040: moved left by 0.75 * 0.0003.
  const std::vector<double> input = {0.00030, 0.00031, 0.00033, 0.00035, 0.00036, 0.00038, 0.00040};
  std::vector<double> moved;
  for (double v : input) moved.push_back(v - 0.75 * 0.00030);
  TavorixRun run = SimpleRun(moved, 53);
  run.Shifted = true;
  run.Shift = 0.75 * 0.00030 + 0.0001;
  const Written w = Write(run);
  EXPECT_TRUE(w.Summary.TinyData);
  EXPECT_NEAR(w.Summary.MedianX, 0.00035, 1e-15);
  const auto rows = ReadFrequencyTable(w, 7);
  ASSERT_EQ(rows.size(), 7u);
  for (int i = 0; i < 7; ++i) {
    ASSERT_EQ(rows[i].size(), 7u);
    EXPECT_NEAR(rows[i][0], input[i], 5e-7);
  }
  EXPECT_NE(w.Text.find("\r\n3.00E-004      1       12.50"), std::string::npos);
  EXPECT_NE(w.Text.find("     Median X:3.50E-004     St.Dev. X:"), std::string::npos);
  const int classes = IndexOf(w, "    Lower    Upper      Obs. (%)  Calc.") + 3;
  EXPECT_TRUE(StartsWith(w.Lines[classes], "3.00E-004 3.50E-004")) << w.Lines[classes];
}

TEST(ResultsReport, NoDistributionFoundEndsAfterTheHeader) {
  TavorixRun run = SimpleRun({1, 2, 3, 4, 5, 6}, 0, "57");
  run.ReportTitle1 = "Title one";
  run.ReportTitle2 = "Title two";
  const Written w = Write(run, "/d/series.txt");
  EXPECT_FALSE(w.Summary.Found);
  EXPECT_TRUE(test::SameBytes(" RESULTS OF Tavorix PROGRAM\r\n"
                              " Cumulative frequency analysis\r\n"
                              "\r\n"
                              " Title one\r\n"
                              " Title two\r\n"
                              " Name of input file used: /d/series.inp\r\n"
                              " Number of data used: 6\r\n"
                              " Probability distribution preferred by user.\r\n"
                              "\r\n"
                              " The frequency distibution cannot be found :\r\n",
                              w.Text));
}

// --- the report of real runs: data preparation, the preferred fit, the
// fitted curve and the classes ------------------------------------------------

TavorixRun PreparedAndFitted(const std::vector<double>& values, const std::string& preferred) {
  TDMTavorix dm;
  dm.FileName = "/data/series.inp";
  dm.Title1 = "Series of a real run";
  dm.Title2 = "Made up";
  for (double v : values) dm.Values.push_back(v);
  dm.NrOfData = static_cast<int>(values.size());
  dm.NrOfClasses = 4;
  dm.NrOfClassesText = "4";
  std::ostringstream file;
  dm.WriteInputFile(file);
  TavorixRun run;
  std::istringstream in(file.str());
  PrepareData(run, dm, in, dm.FileName);
  run.PreferredCode = preferred;
  run.NrOfClasses = 4;
  FitAllDistributions(run);
  EvaluateFittedCurve(run);
  run.ReportStage = true;
  ComputeIntervals(run);
  return run;
}

// Exact Gumbel quantiles (A = 0.5, B = -2, mode 4) at R/16, moved by `offset`.
std::vector<double> GumbelQuantiles(double offset) {
  return testing::QuantilesAtPlottingPositions(
      15, [offset](double f) { return offset + 4.0 - 2.0 * std::log(-std::log(f)); });
}

double SumOfColumn(const Written& w, const std::string& header, int rows, int column) {
  const int first = IndexOf(w, header) + 2;
  double sum = 0;
  for (int r = 0; r < rows; ++r) {
    std::istringstream in(w.Lines[first + r]);
    in.imbue(std::locale::classic());
    double v = 0;
    for (int c = 0; c <= column; ++c) in >> v;
    sum += v;
  }
  return sum;
}

TEST(ResultsReportOfARun, GumbelReportAgreesWithTheFit) {
  const TavorixRun run = PreparedAndFitted(GumbelQuantiles(0.0), "4");
  ASSERT_EQ(run.Fitted.DistCode, 4);
  const Written w = Write(run);
  // The report's average difference is the engine's score in %.
  EXPECT_NEAR(w.Summary.AvAbsDiff, 100.0 * run.Slots[4].Score / run.N, 1e-9);
  EXPECT_GT(w.Summary.R2, 0.9999);
  EXPECT_NE(IndexOf(w, "   Mode   =  4.0000E+000"), -1);
  EXPECT_NE(IndexOf(w, " The standard error of X is optimized as    2.56"), -1);
  // Observed and calculated class frequencies each add up to 100 % over the
  // K + 2 rows (up to the rounding of the printed values).
  const std::string header = "    Lower    Upper      Obs. (%)  Calc.";
  EXPECT_NEAR(SumOfColumn(w, header, 6, 2), 100.0, 0.3);
  EXPECT_NEAR(SumOfColumn(w, header, 6, 3), 100.0, 0.3);
  const auto rows = ReadFrequencyTable(w, run.N);
  ASSERT_EQ(rows.size(), 15u);
  for (int i = 0; i < 15; ++i) EXPECT_NEAR(rows[i][3], 100.0 * (i + 1) / 16.0, 0.006) << i;
}

TEST(ResultsReportOfARun, NegativeDataKeepTheirInputValues) {
  const std::vector<double> input = GumbelQuantiles(-8.0);  // -6.04 ... 1.42
  const TavorixRun run = PreparedAndFitted(input, "4");
  ASSERT_LT(run.Shift, 0);
  const Written w = Write(run);
  EXPECT_NEAR(w.Summary.MedianX, input[7], 1e-9);
  EXPECT_NE(IndexOf(w, "   Mode   =  -4.0000E+000"), -1);
  const auto rows = ReadFrequencyTable(w, run.N);
  ASSERT_EQ(rows.size(), 15u);
  for (int i = 0; i < 15; ++i) EXPECT_NEAR(rows[i][0], input[i], 0.0005) << i;
  const int firstClass = IndexOf(w, "    Lower    Upper      Obs. (%)  Calc.") + 3;
  std::istringstream in(w.Lines[firstClass]);
  double lower = 0;
  in >> lower;
  EXPECT_NEAR(lower, input[0], 0.0005);
}

// The rows the confidence stage takes are exactly the numbers of the printed
// table, with fixed, negative and scientific X; a row printed with a field
// that is no number stops the stage as reading the text would.
TEST(ResultsReportOfARun, TableRowsAreThePrintedNumbers) {
  std::vector<double> tinyData;
  for (double v : {0.00030, 0.00031, 0.00033, 0.00035, 0.00036, 0.00038, 0.00040}) tinyData.push_back(v - 0.000225);
  TavorixRun tiny = SimpleRun(tinyData, 53);
  tiny.Shifted = true;
  tiny.Shift = 0.000325;
  const TavorixRun runs[] = {GoldenGumbelRun(), tiny, PreparedAndFitted(GumbelQuantiles(-8.0), "4"),
                             PreparedAndFitted(GumbelQuantiles(1000.0), "1")};
  for (const TavorixRun& run : runs) {
    const Written w = Write(run);
    std::istringstream text(w.Text);
    const std::vector<ReportTableRow> printed = ReadReportTable(text, run.N);
    EXPECT_EQ(w.Summary.UnreadableRow, 0);
    ASSERT_EQ(w.Summary.Table.size(), printed.size());
    for (std::size_t i = 0; i < printed.size(); ++i) {
      const ReportTableRow& a = w.Summary.Table[i];
      const ReportTableRow& b = printed[i];
      EXPECT_TRUE(a.X == b.X && a.Serial == b.Serial && a.Rank == b.Rank && a.Calc == b.Calc &&
                  a.StDev == b.StDev && a.Lower == b.Lower && a.Upper == b.Upper)
          << "row " << i + 1 << " of a run of " << run.N;
    }
  }
  TavorixRun broken = GoldenGumbelRun();
  broken.FcCalc[4] = std::numeric_limits<long double>::quiet_NaN();
  const Written w = Write(broken);
  EXPECT_EQ(w.Summary.UnreadableRow, 4);
  std::istringstream text(w.Text);
  EXPECT_THROW(ReadReportTable(text, broken.N), TavorixError);
  EXPECT_THROW(RunConfidenceStage(broken, w.Summary), TavorixError);
}

// A fixed X that fits its column stays fixed; a wider one takes the e3 form
// with a blank before it, so the column to its left stays apart.
TEST(XValueColumns, NumberWiderThanItsColumnTakesTheE3Form) {
  EXPECT_EQ(FormatXValue(12345678, 8, 0, false), "12345678");
  EXPECT_EQ(FormatXValue(123456789, 8, 0, false), " 1.23E+008");
  EXPECT_EQ(FormatXValue(-2e14, 10, 0, false), " -2.00E+014");
  EXPECT_EQ(FormatXValue(1e15, 13, 0, false), "    1.00E+015");
  EXPECT_EQ(FormatXValue(0.005, 8, 4, true), "5.00E-003");
  EXPECT_EQ(FormatXNumber(1234.5678, 6, 3, false), "1234.568");
}

}  // namespace
}  // namespace tavorix
