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

CalcData Data(int n) {
  CalcData d;
  d.N = n;
  for (int i = 1; i <= n; ++i) d.Values.push_back(i);
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

// X below the lowest value evaluated (X' <= 0) and X outside the data are
// said; X within both is not.
TEST(CalcRangeNote, SaysWhereXLiesOutsideTheDistributionOrTheData) {
  FitParams p;
  const CalcParameters prm = Params(4, p, 0.0001, 1.0, 0.0);
  const CalcData data = Data(6);  // 1 .. 6
  EXPECT_EQ(CalcRangeNote(prm, data, 3.5), "");
  EXPECT_EQ(CalcRangeNote(prm, data, 7.0),
            "X lies outside the range of the data (1 to 6): the results are an extrapolation");
  for (double x : {-1000.0, 0.0}) {
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
  const ValueResult v = CalcVal(prm, Data(10), 0.5);
  EXPECT_FALSE(v.X || v.Xl || v.Xu);
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
  // (X' = 0.001): 1 - H(-z).
  EXPECT_NEAR(CalcFrequent(prm, 10000, 59.9).F, 1.0 - CalcNormalF(2.005), 1e-15);
  EXPECT_NEAR(CalcFrequent(prm, 10000, 59.9).F, 0.02248, 1e-5);
  EXPECT_NEAR(CalcFrequent(prm, 10000, 0.0).F, 1.0 - CalcNormalF(4.99995), 1e-15);
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

// Code 12: Gumbel below P = 3, logistic above, with a jump at P so that the
// two parts give clearly different X for the same frequency.
CalcParameters GumbelLogistic(double shift) {
  FitParams p;
  p.Composite.Lower = {1.0, -2.0, 0.0};
  p.Composite.Upper = {-1.5, 4.0, 0.0};
  p.Composite.BreakPoint = 3.0;
  return Params(12, p, shift);
}

double UpperInverse(double q, double shift) { return (std::log(1.0 / q - 1.0) - 4.0) / -1.5 + shift - 0.0001; }
double LowerInverse(double q, double shift) { return -(std::log(-std::log(q)) - 2.0) + shift - 0.0001; }

TEST(CalcVal, CompositePartIsChosenOnceByTheFrequency) {
  const double shift = 2.5;
  const CalcParameters prm = GumbelLogistic(shift);
  // F(P) of the upper (logistic) part at the separation point.
  const double fp = 1.0 / (1.0 + std::exp(-1.5 * 3.0 + 4.0));
  EXPECT_NEAR(prm.FP, fp, 1e-12);

  const ValueResult above = CalcVal(prm, Data(12), fp + 1e-6);
  EXPECT_TRUE(above.UpperPart);
  ASSERT_TRUE(above.X && above.Xl && above.Xu);
  EXPECT_NEAR(*above.X, UpperInverse(fp + 1e-6, shift), 1e-9);
  // The lower limit lies below F(P) and still takes the upper part.
  ASSERT_LT(above.Fl, fp);
  EXPECT_NEAR(*above.Xl, UpperInverse(above.Fl, shift), 1e-9);
  EXPECT_NEAR(*above.Xu, UpperInverse(above.Fu, shift), 1e-9);

  const ValueResult below = CalcVal(prm, Data(12), fp - 1e-6);
  EXPECT_FALSE(below.UpperPart);
  ASSERT_TRUE(below.X && below.Xl && below.Xu);
  EXPECT_NEAR(*below.X, LowerInverse(fp - 1e-6, shift), 1e-9);
  ASSERT_GT(below.Fu, fp);
  EXPECT_NEAR(*below.Xu, LowerInverse(below.Fu, shift), 1e-9);
}

TEST(CalcVal, CompositeFrequencyFromXTakesThePartOfX) {
  const CalcParameters prm = GumbelLogistic(0.0001);
  // At P itself the lower part, just above it the upper part.
  EXPECT_NEAR(CalcFrequent(prm, 12, 3.0).F, std::exp(-std::exp(-(3.0 - 2.0))), 1e-12);
  EXPECT_NEAR(CalcFrequent(prm, 12, 3.001).F, 1.0 / (1.0 + std::exp(-1.5 * 3.001 + 4.0)), 1e-12);
}

TEST(CalcVal, UndefinedRootsShowNothingExceptTheFlooredLowerLimit) {
  // Code 55, F = 1/(1 + exp(A X'^E + B)) with B = 0: F(0) = 0.5, so below
  // 0.5 the value raised to 1/E is negative.
  FitParams p;
  p.PowerLine.E = 2.0;
  const double shift = -1.0;
  const CalcParameters prm = Params(55, p, shift, -0.5, 0.0);
  const ValueResult r = CalcVal(prm, Data(6), 0.3);
  EXPECT_FALSE(r.X.has_value());
  ASSERT_TRUE(r.Xl.has_value());
  EXPECT_NEAR(*r.Xl, std::sqrt(0.001) + shift - 0.0001, 1e-12);
  ASSERT_TRUE(r.Xu.has_value());  // Fu = 0.745 lies above 0.5
  EXPECT_NEAR(*r.Xu, std::sqrt(-2.0 * std::log(1.0 / r.Fu - 1.0)) + shift - 0.0001, 1e-12);
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

TEST(CalcVal, NormalCodes20And21GoBackOneThousandthAboveShiftPlusY) {
  FitParams p;
  p.Normal.Mean = 5.0;
  p.Normal.Sigma = 1.0;
  const double shift = 0.0001;
  const CalcData data = Data(10);  // 1..10, moved 1.0009..10.0009 for the scan
  for (int code : {20, 21}) {
    const CalcParameters prm = Params(code, p, shift);
    const ValueResult r = CalcVal(prm, data, 0.5);
    ASSERT_TRUE(r.X.has_value());
    const double y = *r.X - shift - 0.001;
    // y is the first scan step Min + Max 0.0001 k whose frequency exceeds 0.5.
    const double max = 10.0009, min = 1.0009, step = max * 0.0001;
    const double k = (y - min) / step;
    EXPECT_NEAR(k, std::round(k), 1e-6) << code;
    EXPECT_GT(CalcNormalF(y - 5.0), 0.5);
    EXPECT_LE(CalcNormalF(y - step - 5.0), 0.5);
    EXPECT_NEAR(y, 5.0, step) << code;
  }
}

TEST(CalcVal, LogNormalOfDataBelowOneScansOverTheTransformedRange) {
  // Data 0.1 .. 0.6: every logarithm is negative, so the steps are a ten-
  // thousandth of the transformed range from its minimum.
  CalcData data;
  data.N = 6;
  data.Values = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6};
  FitParams p;
  p.Normal.Mean = std::log(0.3);
  p.Normal.Sigma = 0.5;
  const double shift = 0.0001;
  const CalcParameters prm = Params(22, p, shift);
  const DataRange range = MaxMin(prm, data.Values);
  EXPECT_NEAR(range.Min, std::log(0.1009), 1e-12);
  EXPECT_NEAR(range.Max, std::log(0.6009), 1e-12);
  const ValueResult r = CalcVal(prm, data, 0.5);
  ASSERT_TRUE(r.X.has_value());
  // The median of a log-normal is e^mean; one step of the scan is tolerated.
  const double step = (range.Max - range.Min) / 10000.0;
  EXPECT_NEAR(std::log(*r.X - shift + 0.0001), p.Normal.Mean, 1.01 * step);
  ASSERT_TRUE(r.Xl && r.Xu);
  EXPECT_LT(*r.Xl, *r.X);
  EXPECT_GT(*r.Xu, *r.X);
}

TEST(CalcVal, NormalScanThatFindsNothingShowsNoValue) {
  // The scan of code 20 ends at Min + 10 Max; a mean far above it never
  // reaches the frequency.
  FitParams p;
  p.Normal.Mean = 1000.0;
  p.Normal.Sigma = 1.0;
  const CalcParameters prm = Params(20, p, 0.0001);
  const ValueResult r = CalcVal(prm, Data(10), 0.5);
  EXPECT_FALSE(r.X || r.Xl || r.Xu);
}

TEST(ValueCalculator, PreparedScanFindsTheStepOfTheLinearScan) {
  // Both ways of the range (positive maximum, and logarithms of data below
  // 1), frequencies from the lower tail (where the approximation is not
  // monotone) to the top and beyond what the scan reaches.
  CalcData below;
  below.N = 6;
  below.Values = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6};
  FitParams low;
  low.Normal.Mean = std::log(0.3);
  low.Normal.Sigma = 0.5;
  FitParams wide;
  wide.Normal.Mean = 5.0;
  wide.Normal.Sigma = 2.0;
  wide.Normal.E = 0.7;
  const std::pair<CalcParameters, CalcData> cases[] = {
      {Params(22, low, 0.0001), below}, {Params(20, wide, 0.0001), Data(10)}, {Params(26, wide, -3.0), Data(10)}};
  for (const auto& [prm, data] : cases) {
    SCOPED_TRACE(prm.Code);
    const ValueCalculator calc(prm, data);
    const DataRange range = MaxMin(prm, data.Values);
    for (double q = -0.01; q <= 1.01; q += 0.0037) EXPECT_EQ(calc.NormalY(q), NormalCalc(prm, range, q)) << q;
  }
}

TEST(CalcVal, LogNormalOfDataNearZeroReachesItsCentre) {
  // ln of the moved 0 is about -7 and the largest logarithm 0.64: 100 000
  // steps of a ten-thousandth of 0.64 end near -0.6, below the fit's median.
  CalcData data;
  data.Values = {0.0, 0.3, 0.6, 1.2, 1.5, 1.9};
  data.N = 6;
  FitParams p;
  p.Normal.Mean = std::log(0.8);
  p.Normal.Sigma = 0.8;
  const CalcParameters prm = Params(22, p, 0.0001);
  for (double f : {0.1, 0.5, 0.9}) {
    const ValueResult r = CalcVal(prm, data, f);
    ASSERT_TRUE(r.X && r.Xl && r.Xu) << f;
    EXPECT_LT(*r.Xl, *r.X);
    EXPECT_LT(*r.X, *r.Xu);
  }
  EXPECT_NEAR(*CalcVal(prm, data, 0.5).X, 0.8, 0.002);
}

TEST(CalcVal, MaxMinTransformsTheMovedDataForCodes22To26) {
  CalcData data;
  data.Values = {2.0, 5.0, 3.0};
  FitParams p;
  p.Normal.E = 0.5;
  const double shift = 1.0;
  // Moved by d - Shift + 0.001: 1.001, 4.001, 2.001.
  const DataRange plain = MaxMin(Params(21, p, shift), data.Values);
  EXPECT_DOUBLE_EQ(plain.Max, 4.001);
  EXPECT_DOUBLE_EQ(plain.Min, 1.001);
  const DataRange squared = MaxMin(Params(25, p, shift), data.Values);
  EXPECT_NEAR(squared.Max, 4.001 * 4.001, 1e-12);
  const DataRange power = MaxMin(Params(26, p, shift), data.Values);
  EXPECT_NEAR(power.Min, std::sqrt(1.001), 1e-12);
  EXPECT_EQ(data.Values, (std::vector<double>{2.0, 5.0, 3.0}));
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
