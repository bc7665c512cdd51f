#pragma once
// The calculator: the distribution of the last run applied to single values.
// X to cumulative frequency and return period, and a frequency or return
// period to X, each with 90% confidence limits. It works only from the files
// of a run: the parameter file (".aux") for the distribution and the input
// file (".inp") for the number of data and the data themselves.
//
// Every X the user sees is in input units; the fitted functions work on the
// moved scale of the run, X' = X - Shift + 0.0001, and results go back with
// + Shift - 0.0001, as in the report.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fitting/TavorixRun.h"
#include "core/StringToFloat.h"

namespace tavorix {

// Messages of refused input.
inline constexpr const char* kCalcValueNotReal = "The value is not a valid real";
inline constexpr const char* kCalcFrequencyNotValid = "The frequency is not a valid integer";
inline constexpr const char* kCalcFrequencyRange = "The frequency must be >0.000001 and <0.999999";
inline constexpr const char* kCalcPeriodNotReal = "The return period is not a valid real";
inline constexpr const char* kCalcPeriodRange = "The return period must be >0.000001 and <100000";
// A return period of at most 1 passes the range test but has no frequency.
inline constexpr const char* kCalcPeriodNotAboveOne =
    "The return period must be >1: a return period of 1 or less has no cumulative frequency";
// No parameter file, or one without a distribution that can be evaluated.
inline constexpr const char* kCalcNoParameters = " If you wish to make use of the calculator, run the program again";

// The parameter file as the calculator uses it.
struct CalcParameters {
  bool Found = false;  // the parameter file existed
  int Code = 0;
  FitParams P;         // moved scale; A and B copied from the line fit
  double Shift = 0;
  double FP = 0;       // composites: lower part's frequency at the separation point
};

// Reads the parameter file (header line or bare code; 0 for every missing
// number) and computes F(P) of the lower part for the composites. A missing file gives
// Found = false and code 0; a damaged one throws TavorixError naming `path`.
CalcParameters ReadParam(std::istream& in, std::string_view path = {});
CalcParameters ReadParam(const std::string& auxPath);

// The input file's number of data and values (input order, input units).
struct CalcData {
  int N = 0;
  std::vector<double> Values;
};

// Reads the ".inp" with the data module's reader; throws TavorixError with
// the program's messages when it cannot be read.
CalcData ReadCalcData(const std::string& inpPath);

// Both files beside a results or input file: FILE.aux and FILE.inp.
struct CalcInputs {
  CalcParameters Param;
  CalcData Data;
};
CalcInputs ReadCalcInputs(const std::string& outOrInpPath);

// Whether the code can be evaluated at all (false for 0, 1, 2 and unknown
// codes); CalcFrequent and CalcVal refuse the others with kCalcNoParameters.
bool CalcCodeKnown(int code);

// --- input checks (throw TavorixError with the messages above) --------------
double ParseCalcX(std::string_view text, TDecimalSettings& settings);

// A refusal of the calculator's input with the values its field accepts on a
// second line ("Accepted: a number above 0.000001 and below 0.999999"), in
// the decimal separator sep; other messages as they are.
std::string WithAcceptedRange(const std::string& message, char sep);
// Frequency typed by the user, 0.000001 < F < 0.999999.
double ParseCalcFrequency(std::string_view text, TDecimalSettings& settings);
void CheckCalcFrequency(double f);
// Return period typed by the user, 1 < T < 100000 (the range message for
// values outside (0.000001, 100000)); returns T.
double ParseCalcReturnPeriod(std::string_view text, TDecimalSettings& settings);
void CheckCalcReturnPeriod(double t);
inline double FrequencyOfReturnPeriod(double t) { return 1.0 - 1.0 / t; }

// --- X to frequency ----------------------------------------------------------
struct FrequencyResult {
  double X = 0;       // the X given, input units
  double XMoved = 0;  // X' on the moved scale (0.001 when X' < 0)
  double F = 0;       // cumulative frequency, within [0.0000001, 0.9999999]
  double T = 0;       // return period 1/(1 - F)
  double Sd = 0;
  double Fl = 0, Fu = 0;
  // Return-period limits 1/(1 - Fl) and 1/(1 - Fu); empty where Fu reaches 1.
  std::optional<double> TLower, TUpper;
};

// Standard deviation of a frequency estimated from n data, sqrt(F (1-F) n)/n.
double FrequencySd(double f, int n);

FrequencyResult CalcFrequent(const CalcParameters& prm, int n, double x);

// What the calculator says about an X whose frequency is not a plain
// reading of the fitted distribution: below the lowest value it evaluates
// (X' < 0, where every X gives the frequency of X' = 0.001) and outside
// the range of the data (an extrapolation). Empty when X lies within both.
std::string CalcRangeNote(const CalcParameters& prm, const CalcData& data, double x,
                          char decimalSeparator = '.');

// --- frequency to X ----------------------------------------------------------
struct ValueResult {
  double F = 0, T = 0;
  double Sd = 0, Fl = 0, Fu = 0;
  bool UpperPart = false;  // composites: X is of the upper part
  // Input units; empty ("n.a") where there is no X: a frequency limit of 0
  // or 1, a frequency above all that the distribution reaches.
  std::optional<double> X, Xl, Xu;
};

// The transformed value Y of the normal family whose frequency, by the
// calculator's approximation, first reaches q (0 < q < 1): the smallest such
// Y, to the last bit. Empty without a spread or outside (0, 1).
std::optional<double> NormalQuantileY(const CalcParameters& prm, double q);

// The calculator's normal approximation: 1 - phi(z) S(t), the lower tail
// mirrored from the upper one.
double CalcNormalF(double z);

ValueResult CalcVal(const CalcParameters& prm, const CalcData& data, double f);

// Frequency to X for any number of frequencies of one fit (graphs, tables);
// the results are those of CalcVal. X, Xl and Xu are each the quantile of
// their frequency, the smallest X whose frequency reaches it: a composite
// takes the lower part for a frequency up to F(P) of the lower part and the
// upper part above, with every X on its part's side of P (so a frequency
// inside a jump of the parts at P has X = P); a frequency below everything
// the distribution reaches has the lower end of its range (the moved zero,
// not below 0 for non-negative data).
class ValueCalculator {
 public:
  // Throws TavorixError (kCalcNoParameters) when the code cannot be evaluated.
  ValueCalculator(const CalcParameters& prm, const CalcData& data);
  ValueResult At(double f) const;
  // X in input units at frequency q; empty outside (0, 1). upperPart, when
  // given, tells whether a composite took its upper part.
  std::optional<double> Quantile(double q, bool* upperPart = nullptr) const;

 private:
  CalcParameters prm_;
  int n_ = 0;
  double rangeStart_ = 0;  // input units
};

}  // namespace tavorix
