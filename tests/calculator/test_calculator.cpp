// The calculator's math: input checks, X to frequency, frequency to X, the
// normal-family scan and the files it reads. Expected values are worked out
// by hand from the distributions' formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "calculator/Calculator.h"
#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/TestUtil.h"
#include "core/UDMTavorix.h"
#include "fitting/FitTestSupport.h"
#include "report/ParameterFile.h"

namespace tavorix {
namespace {

// The calculator's parameters as a run would leave them: written to a
// parameter file and read back.
CalcParameters Params(int code, const FitParams& p, double shift) {
  FittedDistribution fd;
  fd.DistCode = code;
  fd.P = p;
  std::stringstream file;
  WriteParameterFile(file, fd, shift);
  return ReadParam(file);
}

// The same for a code whose family holds a line A, B.
CalcParameters Params(int code, FitParams p, double shift, double lineA, double lineB) {
  SetLine(p, code, lineA, lineB);
  return Params(code, p, shift);
}

// The data 1..n, or from `from` on in steps of 1.
CalcData Data(int n, double from = 1.0) {
  CalcData d;
  d.N = n;
  for (int i = 0; i < n; ++i) d.Values.push_back(from + i);
  return d;
}

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const TavorixError& e) {
    return e.what();
  }
  return "";
}

// --- input checks ---------------------------------------------------------------

TEST(CalcInput, FrequencyRangeIsOpenAtItsLimits) {
  TDecimalSettings s;
  EXPECT_EQ(MessageOf([&] { ParseCalcFrequency("0.000001", s); }), kCalcFrequencyRange);
  EXPECT_EQ(MessageOf([&] { ParseCalcFrequency("0.999999", s); }), kCalcFrequencyRange);
  EXPECT_EQ(MessageOf([&] { ParseCalcFrequency("1.5", s); }), kCalcFrequencyRange);
  EXPECT_DOUBLE_EQ(ParseCalcFrequency("0.0000011", s), 0.0000011);
  EXPECT_DOUBLE_EQ(ParseCalcFrequency("0.9999989", s), 0.9999989);
}

TEST(CalcInput, ReturnPeriodRangeAndPeriodsUpToOne) {
  TDecimalSettings s;
  EXPECT_EQ(MessageOf([&] { ParseCalcReturnPeriod("100000", s); }), kCalcPeriodRange);
  EXPECT_EQ(MessageOf([&] { ParseCalcReturnPeriod("0.000001", s); }), kCalcPeriodRange);
  // Inside the range but without a frequency above 0.
  EXPECT_EQ(MessageOf([&] { ParseCalcReturnPeriod("1", s); }), kCalcPeriodNotAboveOne);
  EXPECT_EQ(MessageOf([&] { ParseCalcReturnPeriod("0.5", s); }), kCalcPeriodNotAboveOne);
  const double f = FrequencyOfReturnPeriod(ParseCalcReturnPeriod("99999", s));
  EXPECT_NEAR(f, 0.999989999899999, 1e-15);
  EXPECT_EQ(FormatGeneral(f).substr(0, 10), "0.99998999");
}

TEST(CalcInput, TextThatIsNoNumberHasItsOwnMessagePerField) {
  TDecimalSettings s;
  EXPECT_EQ(MessageOf([&] { ParseCalcX("12,5x", s); }), "The value is not a valid real");
  EXPECT_EQ(MessageOf([&] { ParseCalcFrequency("half", s); }), "The frequency is not a valid integer");
  EXPECT_EQ(MessageOf([&] { ParseCalcReturnPeriod("", s); }), "The return period is not a valid real");
  EXPECT_DOUBLE_EQ(ParseCalcX(" -2.5E1 ", s), -25.0);
}

// --- confidence limits ------------------------------------------------------------

TEST(CalcLimits, SixDataAtOneHalf) {
  FitParams p;
  const CalcParameters prm = Params(4, p, 0.0001, 1.0, 0.0);
  const ValueResult r = CalcVal(prm, Data(6), 0.5);
  EXPECT_NEAR(r.Sd, 0.2041, 5e-5);
  EXPECT_NEAR(r.Fu, 0.847, 5e-4);
  EXPECT_NEAR(r.Fl, 0.153, 5e-4);
  EXPECT_DOUBLE_EQ(r.T, 2.0);
}

TEST(CalcLimits, ReturnPeriodLimitsAreThoseOfTheFrequencyLimits) {
  // Gumbel with A = 1, B = 0 reaches 0.5 at X' = -ln(ln 2).
  FitParams p;
  const CalcParameters prm = Params(4, p, 0.0001, 1.0, 0.0);
  const FrequencyResult r = CalcFrequent(prm, 6, -std::log(std::log(2.0)));
  EXPECT_NEAR(r.F, 0.5, 1e-12);
  EXPECT_NEAR(r.T, 2.0, 1e-11);
  EXPECT_NEAR(r.Fu, 0.8470110468942835, 1e-11);
  EXPECT_NEAR(r.Fl, 0.15298895310571647, 1e-11);
  ASSERT_TRUE(r.TLower && r.TUpper);
  // 1/(1 - Fl) and 1/(1 - Fu): a lower limit of a return period is never below 1.
  EXPECT_NEAR(*r.TLower, 1.1806221461534387, 1e-9);
  EXPECT_NEAR(*r.TUpper, 6.536419654489646, 1e-9);
}

// --- X to frequency -----------------------------------------------------------------

// X below the lowest value evaluated (X' < 0) and X outside the data are
// said; X within both is not.
TEST(CalcRangeNote, SaysWhereXLiesOutsideTheDistributionOrTheData) {
  FitParams p;
  const CalcParameters prm = Params(4, p, 0.0001, 1.0, 0.0);
  const CalcData data = Data(6);  // 1 .. 6
  EXPECT_EQ(CalcRangeNote(prm, data, 3.5), "");
  EXPECT_EQ(CalcRangeNote(prm, data, 7.0),
            "X lies outside the range of the data (1 to 6): the results are an extrapolation");
  EXPECT_EQ(CalcRangeNote(prm, data, 0.0).find("below the range"), std::string::npos);  // X' = 0
  for (double x : {-1000.0, -0.001}) {
    const std::string note = CalcRangeNote(prm, data, x);
    EXPECT_EQ(note.rfind("X lies below the range of the distribution: the results are those of X = 0.001\n", 0), 0u)
        << note;
    EXPECT_NE(note.find("outside the range of the data"), std::string::npos) << note;
  }
  CalcData decimal = data;
  decimal.Values.push_back(0.5);
  EXPECT_EQ(CalcRangeNote(prm, decimal, 9.0, ','),
            "X lies outside the range of the data (0,5 to 6): the results are an extrapolation");
}

TEST(CalcFrequent, TheLowerEndOfTheRangeIsEvaluatedAsItIs) {
  // Code 55 with B = 0: F(0) = 0.5; X' = 0 is X = Shift - 0.0001, where a
  // datum of 0 of non-negative data lies.
  FitParams p;
  p.PowerLine.E = 2.0;
  const FrequencyResult r = CalcFrequent(Params(55, p, 0.0001, -0.5, 0.0), 10, 0.0);
  EXPECT_EQ(r.XMoved, 0.0);
  EXPECT_DOUBLE_EQ(r.F, 0.5);
}

TEST(CalcFrequent, XBelowTheShiftIsEvaluatedAtOneThousandth) {
  FitParams p;
  const CalcParameters prm = Params(4, p, 10.0, 1.0, 0.0);
  const FrequencyResult r = CalcFrequent(prm, 20, 5.0);
  EXPECT_DOUBLE_EQ(r.XMoved, 0.001);
  EXPECT_NEAR(r.F, 0.36824732055131587, 1e-14);
}

TEST(CalcFrequent, FrequencyIsKeptInsideZeroAndOne) {
  FitParams p;
  const CalcParameters prm = Params(4, p, 0.0001, 1.0, 0.0);
  EXPECT_DOUBLE_EQ(CalcFrequent(prm, 20, 100.0).F, 0.9999999);
  const CalcParameters low = Params(4, p, 0.0001, 1.0, -30.0);  // exp(-exp(30)) underflows to 0
  EXPECT_DOUBLE_EQ(CalcFrequent(low, 20, 1.0).F, 0.0000001);
}

TEST(CalcFrequent, GammaSumsItsRoundedNumberOfTerms) {
  // Bare code line, scale A = 2 and a term count 2.6 that rounds to 3:
  // F = 1 - e^-r (1 + r + r^2/2) with r = X'/A = 2.
  std::istringstream file("61\r\n 2.00000000000000E+0000\r\n 2.60000000000000E+0000\r\n 1.00000000000000E-0004\r\n");
  const CalcParameters prm = ReadParam(file);
  ASSERT_EQ(prm.Code, 61);
  EXPECT_NEAR(CalcFrequent(prm, 10, 4.0).F, 0.3233235838169365, 1e-12);
  // And back: the X of that frequency, its limits around it.
  const ValueResult v = CalcVal(prm, Data(10), 0.3233235838169365);
  ASSERT_TRUE(v.X && v.Xl && v.Xu);
  EXPECT_NEAR(*v.X, 4.0, 1e-12);
  EXPECT_LT(*v.Xl, *v.X);
  EXPECT_GT(*v.Xu, *v.X);
}

TEST(CalcFrequent, GompertzGivesAtLeastOneThousandth) {
  FitParams p;
  p.Gompertz.A = -0.5;
  p.Gompertz.B = 1.0;
  p.Gompertz.E = 1.0;
  const CalcParameters prm = Params(34, p, 0.0001);
  EXPECT_DOUBLE_EQ(CalcFrequent(prm, 10, 0.0).F, 0.001);
  // Further up the fitted function itself: 1 - exp(-0.5 (X'^1 - 1)) at X' = 3.
  EXPECT_NEAR(CalcFrequent(prm, 10, 3.0).F, 1.0 - std::exp(-1.0), 1e-12);
  // So 0.001 is reached at the lower end of the range.
  EXPECT_EQ(*CalcVal(prm, Data(10), 0.001).X, 0.0);
}

TEST(CalcVal, FrequencyAboveAllTheDistributionReachesHasNoX) {
  // Dagum (32), F = 0.9 X/(1 + X), never reaches 0.9.
  FitParams p;
  p.Burr = {.A = -1.0, .E = 1.0, .D = std::log(0.9), .S = 1.0};
  const CalcParameters prm = Params(32, p, 0.0001);
  EXPECT_NEAR(*CalcVal(prm, Data(10), 0.5).X, 1.25, 1e-12);
  EXPECT_FALSE(CalcVal(prm, Data(10), 0.95).X.has_value());
}

TEST(CalcFrequent, NormalLowerTailMirrorsTheUpperTail) {
  // A normal fit with mean 100 and sigma 20, as 10 000 normal values give it.
  FitParams p;
  p.Normal.Mean = 100.0;
  p.Normal.Sigma = 20.0;
  const CalcParameters prm = Params(21, p, 0.0001);
  // z = 0: 1 - phi(0) (0.31938 - 0.35656 + 1.78148 - 1.82126 + 1.33027).
  EXPECT_NEAR(CalcFrequent(prm, 10000, 100.0).F, 0.5000016505500804, 1e-12);
  // z = -2.005 (2.25%, where the unmirrored form gave 0) and z = -5
  // (X' = 0): 1 - H(-z).
  EXPECT_NEAR(CalcFrequent(prm, 10000, 59.9).F, 1.0 - CalcNormalF(2.005), 1e-15);
  EXPECT_NEAR(CalcFrequent(prm, 10000, 59.9).F, 0.02248, 1e-5);
  EXPECT_NEAR(CalcFrequent(prm, 10000, 0.0).F, 1.0 - CalcNormalF(5.0), 1e-15);
  // Frequency 0.01 lies 2.326 sigma below the mean (the unmirrored form gave 63).
  CalcData data;
  for (int v = 40; v <= 160; ++v) data.Values.push_back(v);
  data.N = static_cast<int>(data.Values.size());
  EXPECT_NEAR(*CalcVal(prm, data, 0.01).X, 100.0 - 2.3263 * 20.0, 0.02);
}

TEST(CalcFrequent, NoParameterFileAsksForARun) {
  test::TempDir dir;
  const CalcParameters prm = ReadParam(dir.File("none.aux"));
  EXPECT_FALSE(prm.Found);
  EXPECT_EQ(MessageOf([&] { CalcFrequent(prm, 10, 1.0); }), kCalcNoParameters);
  EXPECT_EQ(MessageOf([&] { CalcVal(prm, Data(10), 0.5); }), kCalcNoParameters);
}

// --- frequency to X ---------------------------------------------------------------------

// Code 12: Gumbel below P = 3, logistic above. The lower part reaches
// exp(-exp(-1)) = 0.692 at P; the upper part starts from 0.818 at P with
// intercept 3 (a jump up) or from 0.622 with intercept 4 (the parts overlap).
CalcParameters GumbelLogistic(double shift, double upperB = 4.0) {
  FitParams p;
  p.Composite.Lower = {1.0, -2.0, 0.0};
  p.Composite.Upper = {-1.5, upperB, 0.0};
  p.Composite.BreakPoint = 3.0;
  return Params(12, p, shift);
}

double UpperInverse(double q, double shift, double upperB = 4.0) {
  return (std::log(1.0 / q - 1.0) - upperB) / -1.5 + shift - 0.0001;
}
double LowerInverse(double q, double shift) { return -(std::log(-std::log(q)) - 2.0) + shift - 0.0001; }

TEST(CalcVal, CompositeFrequencyTakesItsPartAndKeepsToItsSide) {
  const double shift = 2.5, p = 3.0 + shift - 0.0001;
  const double lowerAtP = std::exp(-std::exp(-1.0));
  // A jump up at P: every frequency inside it has X = P.
  const CalcParameters jump = GumbelLogistic(shift, 3.0);
  EXPECT_NEAR(jump.FP, lowerAtP, 1e-12);
  const ValueCalculator calc(jump, Data(12));
  EXPECT_NEAR(*calc.Quantile(0.5), LowerInverse(0.5, shift), 1e-9);
  bool upper = false;
  EXPECT_NEAR(*calc.Quantile(0.75, &upper), p, 1e-12);
  EXPECT_TRUE(upper);
  EXPECT_NEAR(*calc.Quantile(0.9), UpperInverse(0.9, shift, 3.0), 1e-9);
  // X and its limits are each the X of their own frequency.
  const ValueResult r = calc.At(0.75);
  ASSERT_LT(r.Fl, lowerAtP);
  EXPECT_NEAR(*r.Xl, LowerInverse(r.Fl, shift), 1e-9);
  EXPECT_EQ(r.Xu, calc.Quantile(r.Fu));

  // Overlapping parts: a frequency that the lower part reaches below P
  // takes it, even where the upper part reaches it too.
  const CalcParameters overlap = GumbelLogistic(shift);
  const ValueCalculator both(overlap, Data(12));
  EXPECT_NEAR(*both.Quantile(0.65), LowerInverse(0.65, shift), 1e-9);
  EXPECT_LT(*both.Quantile(0.65), p);
  EXPECT_NEAR(*both.Quantile(0.7), UpperInverse(0.7, shift), 1e-9);
  EXPECT_GT(*both.Quantile(0.7), p);
}

TEST(CalcVal, CompositeFrequencyFromXTakesThePartOfX) {
  const CalcParameters prm = GumbelLogistic(0.0001);
  // At P itself the lower part, above it the upper part; just above P the
  // upper part starts below what the lower part reaches there, and the
  // frequency stays at that until the upper part rises above it.
  const double atP = std::exp(-std::exp(-(3.0 - 2.0)));
  EXPECT_NEAR(CalcFrequent(prm, 12, 3.0).F, atP, 1e-12);
  ASSERT_LT(1.0 / (1.0 + std::exp(-1.5 * 3.001 + 4.0)), atP);
  EXPECT_NEAR(CalcFrequent(prm, 12, 3.001).F, atP, 1e-12);
  EXPECT_NEAR(CalcFrequent(prm, 12, 3.5).F, 1.0 / (1.0 + std::exp(-1.5 * 3.5 + 4.0)), 1e-12);
}

TEST(CalcVal, FrequencyBelowTheReachOfTheDistributionIsTheLowerEndOfItsRange) {
  // Code 55, F = 1/(1 + exp(A X'^E + B)) with B = 0: F(0) = 0.5, so below
  // 0.5 no X' >= 0 has the frequency; X is the moved zero in input units.
  FitParams p;
  p.PowerLine.E = 2.0;
  const double shift = -1.0;
  const CalcParameters prm = Params(55, p, shift, -0.5, 0.0);
  const ValueResult r = CalcVal(prm, Data(6, shift), 0.3);
  ASSERT_TRUE(r.X && r.Xl && r.Xu);
  EXPECT_DOUBLE_EQ(*r.X, shift - 0.0001);
  EXPECT_DOUBLE_EQ(*r.Xl, shift - 0.0001);
  // Fu = 0.745 lies above 0.5.
  EXPECT_NEAR(*r.Xu, std::sqrt(-2.0 * std::log(1.0 / r.Fu - 1.0)) + shift - 0.0001, 1e-12);
  // Not below 0 for data that are not.
  EXPECT_EQ(*CalcVal(Params(55, p, 0.0, -0.5, 0.0), Data(6), 0.3).X, 0.0);
}

TEST(CalcVal, BoundsAreConvertedLikeEveryValue) {
  // Frechet (58) with lower bound C = 1.5 on the moved scale: X' = C +
  // e^(-B/A) (-ln q)^(1/A). With data below zero (Shift -3.25) the bound in
  // input units is 1.5 - 3.25 - 0.0001.
  FitParams p;
  p.Bounded.C = 1.5;
  const double shift = -3.25;
  const CalcParameters prm = Params(58, p, shift, -2.0, 1.0);
  const double q = 0.4;
  const double moved = 1.5 + std::exp(0.5) / std::sqrt(-std::log(q));
  const ValueResult r = CalcVal(prm, Data(10), q);
  ASSERT_TRUE(r.X.has_value());
  EXPECT_NEAR(*r.X, moved + shift - 0.0001, 1e-12);
}

TEST(CalcVal, FiskIsTheFittedFunctionInBothDirections) {
  // 56: F = 1 - 1/(1 + (X'/B)^A): one half at X' = B, 0.8 at B 4^(1/A).
  const CalcParameters prm = Params(56, FitParams{}, 0.0001, 2.0, 3.0);
  EXPECT_NEAR(CalcFrequent(prm, 10, 3.0).F, 0.5, 1e-12);
  const ValueResult r = CalcVal(prm, Data(10), 0.8);
  ASSERT_TRUE(r.X.has_value());
  EXPECT_NEAR(*r.X, 6.0, 1e-12);
}

// --- normal family -------------------------------------------------------------------------

TEST(CalcVal, NormalQuantileIsTheSmallestValueThatReachesTheFrequency) {
  FitParams p;
  p.Normal.Mean = 5.0;
  p.Normal.Sigma = 2.0;
  p.Normal.E = 0.7;
  for (int code : {20, 21, 22, 26}) {
    const CalcParameters prm = Params(code, p, 0.0001);
    for (double q = 0.0001; q < 1; q += 0.0371) {
      const std::optional<double> y = NormalQuantileY(prm, q);
      ASSERT_TRUE(y) << code << " " << q;
      EXPECT_GE(CalcNormalF((*y - 5.0) / 2.0), q) << code << " " << q;
      EXPECT_LT(CalcNormalF((std::nextafter(*y, -HUGE_VAL) - 5.0) / 2.0), q) << code << " " << q;
    }
  }
  // The approximation steps up across the mean (0.4999983 to 0.5000017), so
  // the median is the mean itself; codes 20 and 21 go back by the same move
  // as every code, and the data do not limit where X may lie.
  for (double mean : {5.0, 1000.0}) {
    p.Normal.Mean = mean;
    for (int code : {20, 21}) EXPECT_DOUBLE_EQ(*CalcVal(Params(code, p, 0.0001), Data(10), 0.5).X, mean) << code;
  }
  EXPECT_FALSE(NormalQuantileY(Params(20, p, 0.0001), 1.0));
}

TEST(CalcVal, NormalFrequencyBelowTheTransformOfZeroIsTheLowerEndOfTheRange) {
  // Root-normal (24) and square-normal (25) with the mean 1 sigma above the
  // transform of the moved zero: F there is 1 - H(1) = 0.159.
  FitParams p;
  p.Normal.Mean = 1.0;
  p.Normal.Sigma = 1.0;
  for (int code : {24, 25}) {
    const CalcParameters prm = Params(code, p, -2.0);
    EXPECT_DOUBLE_EQ(*CalcVal(prm, Data(10, -2.0), 0.1).X, -2.0001) << code;
    EXPECT_GT(*CalcVal(prm, Data(10, -2.0), 0.2).X, -2.0001) << code;
  }
}

TEST(CalcVal, LogNormalMedianIsTheExponentialOfTheMean) {
  CalcData data;
  data.N = 6;
  data.Values = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6};
  FitParams p;
  p.Normal.Mean = std::log(0.3);
  p.Normal.Sigma = 0.5;
  const ValueResult r = CalcVal(Params(22, p, 0.0001), data, 0.5);
  ASSERT_TRUE(r.X && r.Xl && r.Xu);
  EXPECT_NEAR(*r.X, 0.3, 1e-14);
  EXPECT_LT(*r.Xl, *r.X);
  EXPECT_GT(*r.Xu, *r.X);
}

// --- files -------------------------------------------------------------------------------------

TEST(CalcFiles, ReadsTheParameterAndInputFilesBesideTheResults) {
  test::TempDir dir;
  TDMTavorix dm;
  dm.FileName = dir.File("series.inp");
  dm.Title1 = "Six values";
  dm.Values = {4.0, -1.5, 2.25, 7.0, 0.5, 3.0};
  dm.Serials = {1, 2, 3, 4, 5, 6};
  dm.RemoveFlags.assign(6, 0);
  dm.NrOfData = 6;
  dm.WriteInputFile();
  FittedDistribution fd;
  fd.DistCode = 53;
  fd.P.Line.A = -0.9;
  fd.P.Line.B = 3.0;
  {
    std::ofstream aux(dir.File("series.aux"), std::ios::binary);
    WriteParameterFile(aux, fd, -1.5);
  }
  const CalcInputs in = ReadCalcInputs(dir.File("series.out"));
  EXPECT_EQ(in.Data.N, 6);
  EXPECT_EQ(in.Data.Values, (std::vector<double>{4.0, -1.5, 2.25, 7.0, 0.5, 3.0}));
  EXPECT_TRUE(in.Param.Found);
  EXPECT_EQ(in.Param.Code, 53);
  EXPECT_DOUBLE_EQ(in.Param.Shift, -1.5);
  // The logistic at X' = X - Shift + 0.0001 = 3.3333: 1/(1 + exp(-0.9 X' + 3)).
  const double x = 10.0 / 3.0 - 1.5 - 0.0001;
  EXPECT_NEAR(CalcFrequent(in.Param, in.Data.N, x).F, 0.5, 1e-12);
}

TEST(CalcFiles, MissingInputFileGivesTheOpenMessage) {
  test::TempDir dir;
  const std::string msg = MessageOf([&] { ReadCalcInputs(dir.File("gone.out")); });
  EXPECT_EQ(msg, FileOpenErrorText(dir.File("gone.inp"), ENOENT));
}

}  // namespace
}  // namespace tavorix
