// The description block of the chosen distribution: headings, the term line
// of moved data, formula variants and the parameter lines per code.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "fitting/Registry.h"
#include "report/DescriptionBlock.h"

namespace tavorix {
namespace {

// A run whose data were not moved (positive data: Shift 0.0001).
TavorixRun Unmoved(int code) {
  TavorixRun run;
  run.N = 3;
  run.X = {0, 1.5L, 2.5L, 4.0L};
  run.Fitted.DistCode = code;
  return run;
}

// A run of negative data moved by -Shift + 0.0001 (input minimum -2).
TavorixRun MovedForNegatives(int code) {
  TavorixRun run = Unmoved(code);
  run.Shift = -2.0;
  return run;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(text.substr(at) + "<no CR LF>");
      break;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

std::vector<std::string> Block(const TavorixRun& run) {
  std::ostringstream out;
  WriteDistributionBlock(out, run);
  return Split(out.str());
}

std::vector<std::string> TwoPart(const TavorixRun& run) {
  std::ostringstream out;
  WriteCompositeTwoPartBlock(out, run);
  return Split(out.str());
}

using Lines = std::vector<std::string>;

TEST(DescriptionBlock, WeibullOfMovedDataPrintsTheTTermAndC) {
  TavorixRun run = MovedForNegatives(57);
  run.Fitted.P.Line.A = 2.0;
  run.Fitted.P.Line.B = -4.0;  // C = exp(-B/A) = e^2 = 7.389
  EXPECT_EQ(Block(run), (Lines{" Cumulative frequency function of the Weibull type :", "",
                               " An additional term T is used : T = 2.00E+000",
                               "     Freq = exp[-{(X+T)/C}^A)}", "     C    = exp(-B/A) = 7.39E+000"}));
}

TEST(DescriptionBlock, TermAfterTheLeftMoveIsMinusThreeQuartersOfTheSmallestValue) {
  // Input values from 0.0002: moved by 0.75 * 0.0002, Shift keeps 0.0001 more.
  TavorixRun run = Unmoved(5);
  run.Shifted = true;
  run.Shift = 0.75 * 0.0002 + 0.0001;
  EXPECT_EQ(Block(run), (Lines{" Gumbel mirrored cumulative frequency function :", "",
                               " An additional term C is used : C = -1.50E-004",
                               "     Freq = 1-exp[-exp{-(A*(X+C)+B)}]"}));
}

TEST(DescriptionBlock, GeneralizedLogisticUsesTheYLabelAndItsExponent) {
  TavorixRun run = MovedForNegatives(55);
  run.Fitted.P.PowerLine.E = 1.25;
  EXPECT_EQ(Block(run), (Lines{" The cumulative frequency function is generalized", " logistic :", "",
                               " The variable X is replaced by Y=X+C, with C = 2.00E+000",
                               "     Freq = 1/{1+exp(A*Y^E+B)}", "     The exponent E = 1.25E+000"}));
}

TEST(DescriptionBlock, GammaPrintsTheSummationLineAndItsTwoValuesMovedOrNot) {
  TavorixRun unmoved = Unmoved(61);
  unmoved.Fitted.P.Gamma = {3.7, 10};
  EXPECT_EQ(Block(unmoved), (Lines{" Cumulative frequency of the Gamma (Erlang) type", "",
                                   "     Fc = 1 - Sum [ (1/n!).{(X/A)^n}.exp(-X/A) ]",
                                   "     Summation from n=0 to n=B", "     A = 3.70E+000  B = 1.00E+001"}));
  TavorixRun moved = MovedForNegatives(61);
  moved.Fitted.P.Gamma = {0.5, 2};
  EXPECT_EQ(Block(moved),
            (Lines{" Cumulative frequency of the Gamma (Erlang) type", "",
                   " An additional term C is used : C = 2.00E+000",
                   "     Fc = 1 - Sum(1/n!).[ {(X+C)/A}^n.exp{-(X+C)/A} ]", "     Summation from n=0 to n=B",
                   "     A = 5.00E-001  B = 2.00E+000"}));
}

TEST(DescriptionBlock, BoundWarningsFollowTheFlagsOfTheEvaluation) {
  TavorixRun frechet = Unmoved(58);
  frechet.Fitted.P.Bounded.C = 0.5;
  EXPECT_EQ(Block(frechet).back(), "     C    = 5.00E-001");
  frechet.BelowBoundC = true;
  EXPECT_EQ(Block(frechet).back(), " Warning, there are values smaller than the lower bound C");
  frechet.AboveBoundC = true;  // the other flag does not concern 58
  frechet.BelowBoundC = false;
  EXPECT_EQ(Block(frechet).back(), "     C    = 5.00E-001");

  TavorixRun ft3 = Unmoved(33);
  ft3.Fitted.P.Bounded.C = 12.0;
  ft3.AboveBoundC = true;
  EXPECT_EQ(Block(ft3), (Lines{" Cumulative frequency of mirrorred Fisher-Tippett type III :", "",
                               "     Freq = 1 - exp[-{(C-X)/exp(-B/A)}^A]", "     C    = 1.20E+001",
                               " Warning, there are values larger than the upper bound C"}));
}

TEST(DescriptionBlock, GevPrintsKAAndBAndTheBoundMessage) {
  TavorixRun run = Unmoved(67);
  run.Fitted.P.Gev.K = -0.25;
  run.Fitted.P.Gev.Loc = 10.0;
  run.Fitted.P.Gev.Scale = 2.5;
  const Lines plain = Block(run);
  ASSERT_EQ(plain.size(), 4u);
  EXPECT_EQ(plain[3], "     K = -2.50E-001  A = 1.00E+001  B = 2.50E+000");
  run.Fitted.P.Gev.BeyondBound = true;
  const Lines flagged = Block(run);
  ASSERT_EQ(flagged.size(), 6u);
  EXPECT_EQ(flagged[4], " The K-value is not optimal: ");
  EXPECT_EQ(flagged[5], " There are data beyond the bound.");
}

TEST(DescriptionBlock, RayleighPrintsFixedThreeDecimals) {
  TavorixRun run = Unmoved(69);
  run.Fitted.P.Rayleigh.E = 1.5;
  run.Fitted.P.Rayleigh.S = 123.4567;
  EXPECT_EQ(Block(run).back(), "     The exponent E =    1.500 The value of divider S =  123.457");
}

TEST(DescriptionBlock, OwnParameterLinesOfBurrKumaraswamyAndLaplace) {
  TavorixRun burr = Unmoved(31);
  burr.Fitted.P.Burr.B = 3.0;
  burr.Fitted.P.Burr.A = 1.5;
  burr.Fitted.P.Burr.D = -0.125;
  burr.Fitted.P.Burr.E = 2.0;
  EXPECT_EQ(Block(burr).back(), "    B = 3.00E+000    A = 1.50E+000    D = -1.25E-001    E = 2.00E+000");

  TavorixRun dagum = MovedForNegatives(32);
  EXPECT_EQ(Block(dagum)[3], "    Freq = exp(E*Z+D) where Z = ln[B/{X^(A+C)+B}]+D");

  TavorixRun kuma = Unmoved(36);
  kuma.Fitted.P.Kumaraswamy.M = 11.0;
  kuma.Fitted.P.Kumaraswamy.A = 0.5;
  kuma.Fitted.P.Kumaraswamy.B = 2.0;
  EXPECT_EQ(Block(kuma).back(), "      M = 1.10E+001      A = 5.00E-001      B = 2.00E+000");

  TavorixRun laplace = MovedForNegatives(68);
  laplace.Fitted.P.Laplace.Mode = 4.5;
  laplace.Fitted.P.Laplace.A1 = 0.8;
  laplace.Fitted.P.Laplace.A2 = 1.2;
  EXPECT_EQ(Block(laplace), (Lines{" Cumulative frequency of the composite Laplace distribution :", "",
                                   " An additional term C is used : C = 2.00E+000",
                                   " X<B Freq = 0.5*exp{A1*(X+C-B)}", " X>B Freq = 1-0.5*exp{A2*(B-X-C)}",
                                   "        B =  4.50E+000  A1 =  8.00E-001  A2 =  1.20E+000"}));

  TavorixRun general = Unmoved(73);
  general.Fitted.P.Laplace.Mode = 2.0;
  general.Fitted.P.Laplace.A1 = 1.0;
  general.Fitted.P.Laplace.A2 = 3.0;
  general.Fitted.P.Laplace.E1 = 0.75;
  general.Fitted.P.Laplace.E2 = 1.25;
  const Lines lines = Block(general);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[4], " B =  2.00E+000  A1 =  1.00E+000  A2 =  3.00E+000");
  EXPECT_EQ(lines[5], " The exponents are: E1 =  7.50E-001  and E2 =  1.25E+000");
}

TEST(DescriptionBlock, GompertzFormulaFollowsMoveAndXPlusOneFlag) {
  TavorixRun run = Unmoved(34);
  EXPECT_EQ(Block(run)[2], "     Freq = 1-exp[A*{Exp(B*X^E) - 1}]");
  run.Fitted.P.Gompertz.XPlusOne = true;
  EXPECT_EQ(Block(run)[2], "     Freq = 1-exp[A*{Exp(B*Z^E) - 1}]    where Z = X+1");
  run.Shift = -2.0;
  EXPECT_EQ(Block(run), (Lines{" Cumulative generalized Gompertz frequency function", "",
                               " An additional term C is used : C = 2.00E+000",
                               "     Freq = 1-exp[A*{Exp(B*Z^E) - 1}]  where Z = X-C"}));
  run.Fitted.P.Gompertz.XPlusOne = false;  // moved without the flag: no term line
  EXPECT_EQ(Block(run), (Lines{" Cumulative generalized Gompertz frequency function", "",
                               "     Freq = 1-exp[A*{Exp{B*X^E) - 1}]"}));
}

TEST(DescriptionBlock, NormalFamilyValueLines) {
  TavorixRun normal = Unmoved(20);
  EXPECT_EQ(Block(normal), (Lines{" The cumulative frequency function is normal.",
                                  " The numerical method of Hastings is applied.", ""}));

  TavorixRun optimized = MovedForNegatives(21);
  optimized.Fitted.P.Normal.Sigma0 = 2.0;
  optimized.Fitted.P.Normal.Sigma = 1.8;
  EXPECT_EQ(Block(optimized), (Lines{" The probability distribution is optimized normal.",
                                     " The numerical method of Hastings is applied.",
                                     " An additional term C is used : C = 2.00E+000",
                                     " The standard error of X+C : 2.00E+000 is optimized as : 1.80E+000", ""}));

  // The plain log-normal has its standard deviation in Sigma only.
  TavorixRun logNormal = Unmoved(22);
  logNormal.Fitted.P.Normal.Mean = 1.5;
  logNormal.Fitted.P.Normal.Sigma = 0.25;
  EXPECT_EQ(Block(logNormal), (Lines{" The cumulative frequency function is log-normal.",
                                     " The numerical method of Hastings is applied.",
                                     " The mean value of Ln (X) is : 1.50E+000",
                                     " The standard error of Ln(X) : 2.50E-001", ""}));

  TavorixRun generalized = Unmoved(26);
  generalized.Fitted.P.Normal.E = 0.5;
  generalized.Fitted.P.Normal.Mean = 3.0;
  generalized.Fitted.P.Normal.Sigma0 = 1.0;
  generalized.Fitted.P.Normal.Sigma = 0.9;
  EXPECT_EQ(Block(generalized), (Lines{" The frequency function is generalized normal.",
                                       " The X-data were temporarily transformed into X^E",
                                       " The exponent E is : 5.00E-001",
                                       " The numerical method of Hastings is applied.",
                                       " The average value of X^E  : 3.00E+000",
                                       " The standard error of X^E : 1.00E+000 is optimized as : 9.00E-001", ""}));
}

TEST(DescriptionBlock, SimpleCompositeHeadingPrintsTheSeparationPoint) {
  TavorixRun run = Unmoved(12);
  run.Fitted.P.Composite.BreakPoint = 4.23445;  // printed as P + Shift = 4.23455
  EXPECT_EQ(Block(run), (Lines{" The cumulative frequency function is composed of :",
                               " Gumbel (<P) and logistic (>P) :", " The separation point is : P =  4.235", ""}));
  // Negative data: P in input units (moved 4.0001 is input 4.0001 - 2 - 0.0001).
  TavorixRun moved = MovedForNegatives(12);
  moved.Fitted.P.Composite.BreakPoint = 4.0001;
  EXPECT_EQ(Block(moved)[2], " The separation point is : P =  2.000");
}

TEST(DescriptionBlock, LogisticPlusPoissonWithoutMove) {
  TavorixRun run = Unmoved(18);
  run.Fitted.P.Composite.Lower.A = -1.5;
  run.Fitted.P.Composite.Lower.B = 3.0;
  run.Fitted.P.Composite.Upper.A = 0.5;
  run.Fitted.P.Composite.Upper.B = -0.25;
  EXPECT_EQ(TwoPart(run), (Lines{"     X < P :  Freq = 1/{1+exp(Ag*X+Bg)}",
                                 "          As = -1.50E+000        Bs = 3.00E+000",
                                 "     X > P :  Freq = 1-exp{-(Ag*X+Bg)}",
                                 "          Ag = 5.00E-001        Bg = -2.50E-001"}));
  // Moved: the C term label (not the Y one of the other simple composites).
  run.Shift = -2.0;
  EXPECT_EQ(TwoPart(run)[0], " An additional term C is used : C = 2.00E+000");
  EXPECT_EQ(TwoPart(run)[1], "     X < P :  Freq = 1/[1+exp{Ag*(X+C)+Bg}]");
}

TEST(DescriptionBlock, TwoPartBlockOfGumbelCompositesStartsWithAnEmptyLine) {
  EXPECT_EQ(TwoPart(Unmoved(9))[0], "");
  EXPECT_EQ(TwoPart(Unmoved(10))[0], "");
  EXPECT_EQ(TwoPart(Unmoved(7))[0], "      X < P :  Freq = 1-exp[-exp{-(As*X+Bs)}]");
  const Lines moved = TwoPart(MovedForNegatives(9));
  ASSERT_EQ(moved.size(), 6u);
  EXPECT_EQ(moved[1], " The variable X is replaced by Y=X+C, with C = 2.00E+000");
  EXPECT_EQ(moved[4], " X > P :  Freq = exp[-exp{-(Ag*Y+Bg)}]");
  EXPECT_TRUE(TwoPart(Unmoved(70)).empty());
  EXPECT_TRUE(TwoPart(Unmoved(4)).empty());
}

TEST(DescriptionBlock, GeneralizedCompositeSeparationLabels) {
  for (int code : {71, 74}) {
    TavorixRun run = Unmoved(code);
    run.Fitted.P.Composite.BreakPoint = 2.5;
    EXPECT_EQ(Block(run)[1], " The separation point is P = : 2.50E+000") << code;
  }
  TavorixRun run = Unmoved(83);
  run.Fitted.P.Composite.BreakPoint = 2.5;
  run.Fitted.P.Composite.Lower.A = 1.0;
  run.Fitted.P.Composite.Lower.B = -2.0;
  run.Fitted.P.Composite.Lower.E = 0.5;
  run.Fitted.P.Composite.Upper.A = 3.0;
  run.Fitted.P.Composite.Upper.B = 0.0;
  run.Fitted.P.Composite.Upper.E = 1.5;
  EXPECT_EQ(Block(run), (Lines{" The frequency function is generalized Gumbel + Poisson:",
                               " The separation point is : P = 2.50E+000", "",
                               " X < P :  Freq = exp[-exp{-(As*X^Es+Bs)}]",
                               "          As = 1.00E+000        Bs = -2.00E+000",
                               "          The value of exponent Es is: 5.00E-001",
                               " X > P :  Freq = 1-exp{-(Ag*X^Eg+Bg)}",
                               "          Ag = 3.00E+000        Bg = 0.00E+000",
                               "          The value of exponent Eg is: 1.50E+000"}));
  // Moved data: Y label, the part formulas with the term, P in input units.
  TavorixRun moved = MovedForNegatives(84);
  moved.Fitted.P.Composite.BreakPoint = 4.5001;
  const Lines lines = Block(moved);
  EXPECT_EQ(lines[1], " The separation point is : P = 2.50E+000");
  EXPECT_EQ(lines[3], " The variable X is replaced by Y=X+C, with C = 2.00E+000");
  EXPECT_EQ(lines[4], " X < P :  Freq = 1-exp[-{As*(X+C)^Es+Bs}]");
  EXPECT_EQ(lines[7], " X > P : Freq = 1/{1+exp(Ag*Y^Eg+Bg)}");
}

// Every row has its words: a heading, and its formula (both parts of a
// composite) for the data as entered and for moved data; the normal family
// names its method instead.
TEST(DescriptionBlock, EveryRowWritesItsHeadingAndFormulaMovedOrNot) {
  for (const DistributionInfo& d : Registry()) {
    if (d.Kind == DistKind::TitleOnly) continue;
    SCOPED_TRACE(d.Code);
    const bool normal = d.Kind == DistKind::NormalFamily;
    for (const TavorixRun& run : {Unmoved(d.Code), MovedForNegatives(d.Code)}) {
      Lines lines = Block(run);
      const Lines parts = TwoPart(run);
      lines.insert(lines.end(), parts.begin(), parts.end());
      ASSERT_GE(lines.size(), 2u);
      EXPECT_FALSE(lines[0].empty());
      const auto formulas = std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        const auto has = [&](const char* text) { return line.find(text) != std::string::npos; };
        return normal ? has("Hastings") : has("Freq = ") || has("Fc = ");
      });
      EXPECT_GE(formulas, IsCompositeKind(d.Kind) ? 2 : 1);
    }
    // Moved data change the formula or add a term line, except for the
    // Gompertz without its flag.
    if (d.Form != ReportForm::Gompertz) {
      EXPECT_NE(Block(MovedForNegatives(d.Code)), Block(Unmoved(d.Code)));
    }
  }
  EXPECT_EQ(Block(Unmoved(0)), Lines{""});
}

}  // namespace
}  // namespace tavorix
