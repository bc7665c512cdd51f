// The parameter file: exact layout per code and a faithful read-back.
#include <gtest/gtest.h>

#include <sstream>

#include "core/TavorixError.h"
#include "fitting/FitTestSupport.h"
#include "fitting/FittedModel.h"
#include "report/ParameterFile.h"

namespace tavorix {
namespace {

std::string Written(const FittedDistribution& fd, double shift) {
  std::ostringstream out;
  WriteParameterFile(out, fd, shift);
  return out.str();
}

TEST(ParameterFile, GumbelLayout) {
  FittedDistribution fd;
  fd.DistCode = 4;
  fd.P.Line.A = 1.5;
  fd.P.Line.B = -2.25;
  EXPECT_EQ(Written(fd, 0.0001),
            " Parameters for internal use, do not remove.\r\n"
            "4\r\n"
            " 1.50000000000000E+0000\r\n"
            "-2.25000000000000E+0000\r\n"
            " 1.00000000000000E-0004\r\n");
}

TEST(ParameterFile, ExponentialNormalAndGammaLayouts) {
  FittedDistribution e;
  e.DistCode = 6;
  e.P.Line.A = 0.125;
  e.P.Line.B = 7.0;  // not a parameter of code 6
  EXPECT_EQ(Written(e, 0.0001),
            " Parameters for internal use, do not remove.\r\n6\r\n"
            " 1.25000000000000E-0001\r\n 1.00000000000000E-0004\r\n");
  FittedDistribution n;
  n.DistCode = 20;
  n.P.Normal.Mean = 12.5;
  n.P.Normal.Sigma = 3.0;
  EXPECT_EQ(Written(n, 0.0001),
            " Parameters for internal use, do not remove.\r\n20\r\n"
            " 1.25000000000000E+0001\r\n 3.00000000000000E+0000\r\n 1.00000000000000E-0004\r\n");
  FittedDistribution g;
  g.DistCode = 61;
  g.P.Gamma.A = 2.5;
  g.P.Gamma.Terms = 3;
  EXPECT_EQ(Written(g, -4.0),
            " Parameters for internal use, do not remove.\r\n61\r\n"
            " 2.50000000000000E+0000\r\n 3.00000000000000E+0000\r\n-4.00000000000000E+0000\r\n");
}

TEST(ParameterFile, GevAndLaplaceWriteZeroForAAndBAndTheGeneralizedLaplaceItsExponents) {
  FittedDistribution fd;
  fd.DistCode = 67;
  fd.P.Line.A = 9.0;  // leftovers of earlier line fits must not appear
  fd.P.Line.B = 9.0;
  fd.P.Gev.K = -0.25;
  fd.P.Gev.Loc = 10.0;
  fd.P.Gev.Scale = 2.0;
  EXPECT_EQ(Written(fd, -2.0),
            " Parameters for internal use, do not remove.\r\n67\r\n"
            " 0.00000000000000E+0000\r\n 0.00000000000000E+0000\r\n"
            "-2.50000000000000E-0001\r\n 1.00000000000000E+0001\r\n 2.00000000000000E+0000\r\n"
            "-2.00000000000000E+0000\r\n");
  FittedDistribution l;
  l.DistCode = 73;
  l.P.Laplace = {.Mode = 6.0, .S1 = 2.0, .S2 = 3.0, .E1 = 0.5, .E2 = 1.5};
  EXPECT_EQ(Written(l, 0.0001),
            " Parameters for internal use, do not remove.\r\n73\r\n"
            " 6.00000000000000E+0000\r\n 2.00000000000000E+0000\r\n 3.00000000000000E+0000\r\n"
            " 5.00000000000000E-0001\r\n 1.50000000000000E+0000\r\n 1.00000000000000E-0004\r\n");
}

TEST(ParameterFile, GompertzFlagIsAnIntegerAndBurrStartsWithS) {
  FittedDistribution g;
  g.DistCode = 34;
  g.P.Gompertz.XPlusOne = true;
  g.P.Gompertz.A = -0.5;
  g.P.Gompertz.B = 1.25;
  g.P.Gompertz.E = 0.5;
  EXPECT_EQ(Written(g, 0.0001),
            " Parameters for internal use, do not remove.\r\n34\r\n1\r\n"
            " 1.25000000000000E+0000\r\n 5.00000000000000E-0001\r\n-5.00000000000000E-0001\r\n"
            " 1.00000000000000E-0004\r\n");
  FittedDistribution b;
  b.DistCode = 31;
  b.P.Burr.S = 4.0;
  b.P.Burr.A = 2.0;
  b.P.Burr.E = 1.5;
  b.P.Burr.B = 2.0;
  b.P.Burr.D = 0.125;
  EXPECT_EQ(Written(b, 0.0001),
            " Parameters for internal use, do not remove.\r\n31\r\n"
            " 4.00000000000000E+0000\r\n 2.00000000000000E+0000\r\n 1.50000000000000E+0000\r\n"
            " 2.00000000000000E+0000\r\n 1.25000000000000E-0001\r\n 1.00000000000000E-0004\r\n");
}

TEST(ParameterFile, CompositeSeparationPointIsWrittenInXUnits) {
  FittedDistribution fd;
  fd.DistCode = 14;
  fd.P.Composite.Lower.A = -1.0;
  fd.P.Composite.Lower.B = 2.0;
  fd.P.Composite.Upper.A = 0.5;
  fd.P.Composite.Upper.B = 0.0;
  fd.P.Composite.BreakPoint = 3.0;
  const std::string text = Written(fd, -1.5);
  EXPECT_NE(text.find("\r\n 1.50000000000000E+0000\r\n-1.50000000000000E+0000\r\n"), std::string::npos)
      << "P = 3.0 + Shift, then Shift";
  std::istringstream in(text);
  const ParameterFileContents c = ReadParameterFile(in);
  EXPECT_EQ(c.Code, 14);
  EXPECT_DOUBLE_EQ(c.Fit.P.Composite.BreakPoint, 3.0);
  EXPECT_DOUBLE_EQ(c.Shift, -1.5);
}

// Every row on the examples of its family: what is read back writes the
// same file again and gives the same frequency over the example's range.
TEST(ParameterFile, EveryRowReadsBackWhatWasWritten) {
  for (const DistributionInfo& d : Registry()) {
    if (d.Kind == DistKind::TitleOnly) continue;
    SCOPED_TRACE(d.Code);
    const auto examples = testing::ExamplesOf(d.Params.Family);
    ASSERT_FALSE(examples.empty());
    for (const testing::Example& e : examples) {
      const FittedDistribution fd{.DistCode = d.Code, .P = e.P};
      const std::string file = Written(fd, -1.5);
      std::istringstream in(file);
      const ParameterFileContents c = ReadParameterFile(in);
      ASSERT_EQ(c.Code, d.Code);
      EXPECT_EQ(c.Shift, -1.5);
      EXPECT_EQ(Written(c.Fit, c.Shift), file);
      const FittedModel written(fd, -1.5), read(c.Fit, c.Shift);
      for (int k = 0; k <= 200; ++k) {
        const double x = e.Lo + (e.Hi - e.Lo) * k / 200;
        EXPECT_NEAR(read.F(x, Guard::Data), written.F(x, Guard::Data), 1e-12) << "x = " << x;
      }
    }
  }
}

TEST(ParameterFile, FirstLineMayBeTheCodeAndMissingNumbersReadAsZero) {
  std::istringstream bare("57\r\n 2.0E+0000\r\n");
  const ParameterFileContents c = ReadParameterFile(bare, 4);
  EXPECT_EQ(c.Code, 57);
  EXPECT_DOUBLE_EQ(c.Fit.P.Line.A, 2.0);
  EXPECT_DOUBLE_EQ(c.Fit.P.Line.B, 0.0);
  EXPECT_DOUBLE_EQ(c.Shift, 0.0);
  std::istringstream headed(" Parameters for internal use, do not remove.\n57\n");
  EXPECT_EQ(ReadParameterFile(headed, 4).Code, 57);
  ParameterFileContents missing;
  EXPECT_FALSE(ReadParameterFile("/nonexistent/file.aux", missing));
  EXPECT_EQ(missing.Code, 0);
}

// A code or term count that no run writes is refused before it becomes an
// integer or the length of a loop.
TEST(ParameterFile, CodeAndTermCountOutsideTheirRangeAreDamage) {
  const char* damaged[] = {"1E+300\r\n", "-2147483649\r\n", "1000\r\n", "-1\r\n",
                           "61\r\n 2.0E+0000\r\n 2.0E+0009\r\n 0.0E+0000\r\n",
                           "61\r\n 2.0E+0000\r\n 21\r\n 0.0E+0000\r\n"};
  for (const char* text : damaged) {
    std::istringstream in(text);
    try {
      ReadParameterFile(in, 4, "/runs/p.aux");
      ADD_FAILURE() << "accepted " << text;
    } catch (const TavorixError& e) {
      EXPECT_NE(std::string(e.what()).find("\"/runs/p.aux\" could not be opened.  It may be damaged"),
                std::string::npos);
    }
  }
  std::istringstream highest("61\r\n 2.0E+0000\r\n 2.0E+0001\r\n 0.0E+0000\r\n");
  EXPECT_EQ(ReadParameterFile(highest, 4).Fit.P.Gamma.Terms, 20);
}

TEST(ParameterFile, ExtensionIsReplacedOnlyInTheFileName) {
  EXPECT_EQ(WithExtension("/a/b.c/series.inp", ".aux"), "/a/b.c/series.aux");
  EXPECT_EQ(WithExtension("/a/b.c/series", ".out"), "/a/b.c/series.out");
}

}  // namespace
}  // namespace tavorix
