// The parameter file: exact layout per code and a faithful read-back.
#include <gtest/gtest.h>

#include <sstream>

#include "core/TavorixError.h"
#include "fitting/CompositeKinds.h"
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

TEST(ParameterFile, GevAndLaplaceWriteZeroForAAndB) {
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

TEST(ParameterFile, EveryCodeReadsBackWhatWasWritten) {
  const std::vector<int> codes = {3,  4,  5,  6,  7,  11, 18, 20, 23, 26, 31, 32, 33, 34, 35, 36, 51, 52, 53,
                                  54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 73, 74, 85};
  for (int code : codes) {
    FittedDistribution fd;
    fd.DistCode = code;
    FitParams& p = fd.P;
    p.Line = {1.25, -0.75};
    p.PowerLine = {1.25, -0.75, 0.75};
    p.Bounded = {2.5, 3.5, 12.0};
    p.Burr = {2.5, 3.5, 0.75, -0.1, 8.0};
    p.Gompertz = {2.5, 3.5, 0.75, true};
    p.Kumaraswamy = {30.0, 2.5, 3.5};
    p.Gamma = {2.5, 4};
    p.Rayleigh = {0.75, 8.0};
    p.Gev.K = 0.3;
    p.Gev.Loc = 4.0;
    p.Gev.Scale = 1.5;
    p.Student.Mean = 4.0;
    p.Student.Spread = 1.5;
    p.Laplace.Mode = 6.0;
    p.Laplace.S1 = 2.0;
    p.Laplace.S2 = 3.0;
    p.Laplace.E1 = 0.5;
    p.Laplace.E2 = 1.5;
    p.Normal.Mean = 5.0;
    p.Normal.Sigma = 1.25;
    p.Normal.E = 0.75;
    p.Composite.Lower.A = 1.0;
    p.Composite.Lower.B = -1.0;
    p.Composite.Lower.E = 0.8;
    p.Composite.Upper.A = 2.0;
    p.Composite.Upper.B = -2.0;
    p.Composite.Upper.E = 1.2;
    p.Composite.BreakPoint = 7.0;
    std::istringstream in(Written(fd, 0.0001));
    const ParameterFileContents c = ReadParameterFile(in);
    ASSERT_EQ(c.Code, code);
    EXPECT_DOUBLE_EQ(c.Shift, 0.0001) << code;
    const FitParams& r = c.Fit.P;
    switch (code) {
      case 6:
        EXPECT_EQ(r.Line, (LineParams{1.25, 0.0}));
        break;
      case 4: case 5: case 53: case 54: case 56: case 57: case 60: case 64:
        EXPECT_EQ(r.Line, p.Line) << code;
        break;
      case 3: case 51: case 52: case 55: case 65: case 66:
        EXPECT_EQ(r.PowerLine, p.PowerLine) << code;
        break;
      case 33: case 35: case 58: case 59:
        EXPECT_EQ(r.Bounded, p.Bounded) << code;
        break;
      case 61:
        EXPECT_EQ(r.Gamma, p.Gamma);
        break;
      case 67:
        EXPECT_DOUBLE_EQ(r.Gev.K, 0.3);
        EXPECT_DOUBLE_EQ(r.Gev.Scale, 1.5);
        break;
      case 68: case 73:
        EXPECT_DOUBLE_EQ(r.Laplace.Mode, 6.0) << code;
        EXPECT_DOUBLE_EQ(r.Laplace.S2, 3.0) << code;
        break;
      case 69:
        EXPECT_EQ(r.Rayleigh, p.Rayleigh);
        break;
      case 31: case 32:
        EXPECT_EQ(r.Burr, p.Burr) << code;
        break;
      case 34:
        EXPECT_EQ(r.Gompertz, p.Gompertz);
        break;
      case 36:
        EXPECT_EQ(r.Kumaraswamy, p.Kumaraswamy);
        break;
      case 62: case 63:
        EXPECT_DOUBLE_EQ(r.Student.Mean, 4.0) << code;
        break;
      case 20: case 23: case 26:
        EXPECT_DOUBLE_EQ(r.Normal.Mean, 5.0) << code;
        EXPECT_DOUBLE_EQ(r.Normal.Sigma, 1.25) << code;
        if (code == 26) {
          EXPECT_DOUBLE_EQ(r.Normal.E, 0.75);
        }
        break;
      default: {
        CompositeParts parts{};
        ASSERT_TRUE(CompositePartsOf(code, parts)) << code;
        EXPECT_DOUBLE_EQ(r.Composite.Upper.B, -2.0) << code;
        EXPECT_DOUBLE_EQ(r.Composite.BreakPoint, 7.0) << code;
        if (parts.Generalized) {
          EXPECT_DOUBLE_EQ(r.Composite.Upper.E, 1.2) << code;
        }
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
