// The four line fits: certified reference data, hand-computed lines, the
// break-rank variants and the no-variation rule.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fitting/LineFits.h"

namespace tavorix {
namespace {

// Rows of numbers from a reference file, '#' lines skipped.
std::vector<std::vector<double>> ReadRows(const std::string& name) {
  std::ifstream in(std::string(TAVORIX_TEST_DATA_DIR) + "/nist/" + name);
  EXPECT_TRUE(in) << name;
  std::vector<std::vector<double>> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream s(line);
    std::vector<double> row;
    for (double v; s >> v;) row.push_back(v);
    if (!row.empty()) rows.push_back(row);
  }
  return rows;
}

// 1-based arrays of xt (and a dummy ft) from one column of values.
struct Points {
  std::vector<double> xt{0.0}, ft{0.0};
  void Add(double x, double f) {
    xt.push_back(x);
    ft.push_back(f);
  }
  int N() const { return static_cast<int>(xt.size()) - 1; }
};

LineState RegressionOf(const Points& p) {
  LineState s;
  s.N = p.N();
  Regression(s, p.xt.data(), p.ft.data());
  return s;
}

// |got - certified| within rel * |certified|: rel = 1e-12 asks for twelve
// significant digits, 1e-9 for nine.
void ExpectDigits(double got, double certified, double rel, const char* what) {
  EXPECT_LE(std::fabs(got - certified), rel * std::fabs(certified))
      << what << ": got " << got << ", certified " << certified;
}

TEST(ReferenceData, NorrisInterceptAndSlopeToTwelveDigits) {
  Points p;
  for (const auto& row : ReadRows("norris.txt")) p.Add(row.at(1), row.at(0));  // file: y x
  ASSERT_EQ(p.N(), 36);
  const LineState s = RegressionOf(p);
  EXPECT_FALSE(s.NoVariation);
  ExpectDigits(s.ParB, -0.262323073774029, 1e-12, "intercept");
  ExpectDigits(s.ParA, 1.00211681802045, 1e-12, "slope");
}

TEST(ReferenceData, MichelsonMeanAndSdToTwelveDigits) {
  Points p;
  for (const auto& row : ReadRows("michelso.txt")) p.Add(row.at(0), 0.5);
  ASSERT_EQ(p.N(), 100);
  const LineState s = RegressionOf(p);
  ExpectDigits(s.MeanXt, 299.852400000000, 1e-12, "mean");
  ExpectDigits(s.SdXt, 0.0790105478190518, 1e-12, "sd");
}

TEST(ReferenceData, NumAcc4MeanAndSdToNineDigitsFromTheRunPrecision) {
  // Values near 1e7 with a spread of 0.1: a one-pass variance loses every
  // digit here, and even the doubles nearest to the values have a spread
  // off by 6e-9 relative, so the data are read and fitted as the run holds
  // them, in extended precision.
  std::ifstream in(std::string(TAVORIX_TEST_DATA_DIR) + "/nist/numacc4.txt");
  std::vector<long double> xt{0.0L}, ft{0.0L};
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    xt.push_back(std::stold(line));
    ft.push_back(static_cast<long double>(xt.size()));
  }
  ASSERT_EQ(xt.size(), 1002u);
  LineState s;
  s.N = 1001;
  Regression(s, xt.data(), ft.data());
  ExpectDigits(s.MeanXt, 10000000.2, 1e-9, "mean");
  ExpectDigits(s.SdXt, 0.1, 1e-9, "sd");
}

TEST(LineFits, RegressionLowUsesTheLowerPointsButTheWholeNForSdXt) {
  // Points 1..3 lie on f = 2x; points 4, 5 are far off and must be ignored.
  Points p;
  p.Add(1, 2);
  p.Add(2, 4);
  p.Add(3, 6);
  p.Add(10, -50);
  p.Add(20, 99);
  LineState s;
  s.N = 5;
  s.M = 3;
  RegressionLow(s, p.xt.data(), p.ft.data());
  EXPECT_DOUBLE_EQ(s.ParA, 2.0);
  EXPECT_NEAR(s.ParB, 0.0, 1e-15);
  EXPECT_DOUBLE_EQ(s.MeanXt, 2.0);
  EXPECT_DOUBLE_EQ(s.MeanFt, 4.0);
  EXPECT_DOUBLE_EQ(s.SdXt, std::sqrt(2.0 / 4.0));  // Sxx = 2 over the 3 points, N - 1 = 4
}

TEST(LineFits, RatioLineRunsThroughTheFirstPointAndTheCentroid) {
  Points p;
  p.Add(1, 1);
  p.Add(2, 5);
  p.Add(3, 2);
  p.Add(6, 4);  // centroid (3, 3)
  LineState s;
  s.N = 4;
  RatioLine(s, p.xt.data(), p.ft.data());
  EXPECT_DOUBLE_EQ(s.ParA, 1.0);  // (3 - 1) / (3 - 1)
  EXPECT_DOUBLE_EQ(s.ParB, 0.0);
  EXPECT_DOUBLE_EQ(s.MeanXt, 3.0);
  EXPECT_DOUBLE_EQ(s.MeanFt, 3.0);
}

TEST(LineFits, RatioLineHighRunsThroughPointMAndTheCentroidAboveIt) {
  Points p;
  p.Add(1, 100);  // below M: ignored
  p.Add(2, 1);    // point M
  p.Add(4, 2);
  p.Add(6, 6);    // centroid of 3..4 = (5, 4)
  LineState s;
  s.N = 4;
  s.M = 2;
  RatioLineHigh(s, p.xt.data(), p.ft.data());
  EXPECT_DOUBLE_EQ(s.ParA, 1.0);  // (4 - 1) / (5 - 2)
  EXPECT_DOUBLE_EQ(s.ParB, -1.0);
}

TEST(LineFits, RatioLineHighWithMEqualNUsesMeansOf1000) {
  Points p;
  p.Add(1, 0.5);
  p.Add(5, 1.0);
  LineState s;
  s.N = 2;
  s.M = 2;
  RatioLineHigh(s, p.xt.data(), p.ft.data());
  EXPECT_DOUBLE_EQ(s.MeanXt, 1000.0);
  EXPECT_DOUBLE_EQ(s.MeanFt, 1000.0);
  EXPECT_DOUBLE_EQ(s.ParA, 999.0 / 995.0);
  EXPECT_DOUBLE_EQ(s.ParB, 1000.0 - 999.0 / 995.0 * 1000.0);
}

TEST(LineFits, RatioLineHighGivesSlope100WhenTheCentroidIsAbovePointM) {
  Points p;
  p.Add(3, 1);  // point M
  p.Add(2, 2);
  p.Add(4, 4);  // centroid x = 3, the same as point M
  LineState s;
  s.N = 3;
  s.M = 1;
  RatioLineHigh(s, p.xt.data(), p.ft.data());
  EXPECT_DOUBLE_EQ(s.ParA, 100.0);
  EXPECT_DOUBLE_EQ(s.ParB, 3.0 - 100.0 * 3.0);
}

// A line state left by an earlier fit, to see what a failed fit keeps.
LineState Earlier(int n) {
  LineState s;
  s.N = n;
  s.ParA = 7;
  s.ParB = -3;
  s.SdXt = 11;
  return s;
}

void ExpectKeptEarlierLine(const LineState& s) {
  EXPECT_TRUE(s.NoVariation);
  EXPECT_EQ(s.ParA, 7);
  EXPECT_EQ(s.ParB, -3);
  EXPECT_EQ(s.SdXt, 11);
}

TEST(NoVariation, ConstantDataKeepTheEarlierLine) {
  Points p;
  for (int i = 1; i <= 8; ++i) p.Add(5.0, i);
  LineState s = Earlier(p.N());
  Regression(s, p.xt.data(), p.ft.data());
  ExpectKeptEarlierLine(s);
  EXPECT_DOUBLE_EQ(s.MeanXt, 5.0);  // the means are formed before the check
  EXPECT_DOUBLE_EQ(s.MeanFt, 4.5);
}

TEST(NoVariation, TiedValuesNotExactInBinaryHaveNoVariation) {
  // 0.001 repeated: rounding of the mean can leave a tiny positive Sxx; the
  // points still all share one Xt.
  for (int n = 2; n <= 64; ++n) {
    Points p;
    for (int i = 1; i <= n; ++i) p.Add(0.001, 0.1 * i);
    LineState s = Earlier(n);
    Regression(s, p.xt.data(), p.ft.data());
    SCOPED_TRACE(n);
    ExpectKeptEarlierLine(s);
  }
}

TEST(NoVariation, TiedLowerPartHasNoVariationInRegressionLow) {
  for (int m = 2; m <= 40; ++m) {
    Points p;
    for (int i = 1; i <= m; ++i) p.Add(0.001, 0.1 * i);
    p.Add(2.0, 9.0);
    p.Add(3.0, 9.5);
    LineState s = Earlier(p.N());
    s.M = m;
    RegressionLow(s, p.xt.data(), p.ft.data());
    SCOPED_TRACE(m);
    ExpectKeptEarlierLine(s);
  }
}

TEST(NoVariation, IsClearedByTheNextLineThatVaries) {
  Points flat, sloped;
  for (int i = 1; i <= 5; ++i) {
    flat.Add(0.001, i);
    sloped.Add(i, 3.0 * i + 1.0);
  }
  LineState s = Earlier(5);
  Regression(s, flat.xt.data(), flat.ft.data());
  ASSERT_TRUE(s.NoVariation);
  Regression(s, sloped.xt.data(), sloped.ft.data());
  EXPECT_FALSE(s.NoVariation);
  EXPECT_NEAR(s.ParA, 3.0, 1e-14);
  EXPECT_NEAR(s.ParB, 1.0, 1e-14);
  EXPECT_DOUBLE_EQ(s.SdXt, std::sqrt(10.0 / 4.0));
}

}  // namespace
}  // namespace tavorix
