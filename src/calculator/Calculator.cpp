#include "calculator/Calculator.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/TextFile.h"
#include "core/UDMTavorix.h"
#include "fitting/Bisection.h"
#include "fitting/Composites.h"
#include "fitting/FittedModel.h"
#include "fitting/Hastings.h"
#include "report/ParameterFile.h"
#include "report/ResultsLoader.h"
#include "report/ResultsSet.h"

namespace tavorix {

namespace {

// X' below 0 is evaluated here.
constexpr double kLowestEvaluated = 0.001;

FittedModel ModelOf(const CalcParameters& prm) {
  FittedDistribution fd;
  fd.DistCode = prm.Code;
  fd.P = prm.P;
  return FittedModel(fd, prm.Shift);
}

void RequireKnownCode(const CalcParameters& prm) {
  if (!CalcCodeKnown(prm.Code)) throw TavorixError(kCalcNoParameters);
}

std::optional<double> Finite(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace

// --- files ---------------------------------------------------------------------

CalcParameters ReadParam(std::istream& in, std::string_view path) {
  const ParameterFileContents c = ReadParameterFile(in, 5, path);
  CalcParameters prm;
  prm.Found = true;
  prm.Code = c.Code;
  prm.P = c.Fit.P;
  prm.Shift = c.Shift;
  if (IsComposite(prm.Code)) prm.FP = CompositePartFc(prm.Code, prm.P, prm.P.Composite.BreakPoint, true);
  return prm;
}

CalcParameters ReadParam(const std::string& auxPath) {
  const std::optional<std::string> text = TryReadTextFile(auxPath);
  if (!text) return CalcParameters{};
  std::istringstream in(*text);
  return ReadParam(in, auxPath);
}

CalcData ReadCalcData(const std::string& inpPath) {
  TDMTavorix dm;
  dm.FileName = inpPath;
  dm.ReadInputFile();
  // A file without a single data line gives no frequencies at all.
  if (dm.NrOfData < 1) throw TavorixError(InvalidRealsErrorText(inpPath));
  CalcData data;
  data.N = dm.NrOfData;
  data.Values.assign(dm.Values.begin(), dm.Values.end());
  return data;
}

CalcInputs ReadCalcInputs(const std::string& outOrInpPath) {
  CalcInputs in;
  in.Data = ReadCalcData(WithExtension(outOrInpPath, ".inp"));
  const std::string aux = WithExtension(outOrInpPath, ".aux");
  CheckResultsFile(aux, IsParameterFile);
  CheckResultsSet(aux);
  in.Param = ReadParam(aux);
  return in;
}

bool CalcCodeKnown(int code) {
  FittedDistribution fd;
  fd.DistCode = code;
  return FittedModel(fd, 0).Evaluable();
}

// --- input checks ----------------------------------------------------------------

std::string WithAcceptedRange(const std::string& message, char sep) {
  // The texts of the messages stay; the range the field takes follows.
  std::string range;
  if (message == kCalcValueNotReal)
    range = "Accepted: any number, such as " + FormatGeneral(12.5, sep) + " or " + FormatGeneral(-1.5, sep) + "E3";
  else if (message == kCalcFrequencyNotValid)
    range = std::string("Accepted: a number above 0") + sep + "000001 and below 0" + sep + "999999";
  else if (message == kCalcPeriodNotReal || message == kCalcPeriodRange || message == kCalcPeriodNotAboveOne)
    range = "Accepted: a number above 1 and below 100000";
  return range.empty() ? message : message + "\n" + range;
}

double ParseCalcX(std::string_view text, TDecimalSettings& settings) {
  const auto v = StringToFloat(text, settings);
  if (!v) throw TavorixError(kCalcValueNotReal);
  return *v;
}

void CheckCalcFrequency(double f) {
  if (!(f > 0.000001 && f < 0.999999)) throw TavorixError(kCalcFrequencyRange);
}

double ParseCalcFrequency(std::string_view text, TDecimalSettings& settings) {
  const auto v = StringToFloat(text, settings);
  if (!v) throw TavorixError(kCalcFrequencyNotValid);
  CheckCalcFrequency(*v);
  return *v;
}

void CheckCalcReturnPeriod(double t) {
  if (!(t > 0.000001 && t < 100000.0)) throw TavorixError(kCalcPeriodRange);
  if (t <= 1.0) throw TavorixError(kCalcPeriodNotAboveOne);
}

double ParseCalcReturnPeriod(std::string_view text, TDecimalSettings& settings) {
  const auto v = StringToFloat(text, settings);
  if (!v) throw TavorixError(kCalcPeriodNotReal);
  CheckCalcReturnPeriod(*v);
  return *v;
}

// --- X to frequency ----------------------------------------------------------------

double FrequencySd(double f, int n) { return std::sqrt(f * (1.0 - f) * n) / n; }

double CalcNormalF(double z) { return HastingsCalcF(z); }

FrequencyResult CalcFrequent(const CalcParameters& prm, int n, double x) {
  RequireKnownCode(prm);
  FrequencyResult r;
  r.X = x;
  const FittedModel model = ModelOf(prm);
  // The lower end of the range, X' = 0, is evaluated as it is (a datum of 0
  // lies there); below it the results are those of X' = 0.001.
  r.XMoved = model.ToMoved(x);
  if (r.XMoved < 0) r.XMoved = kLowestEvaluated;
  double f = model.F(r.XMoved, Guard::Calculator);
  if (!(f > 0)) f = 0.0000001;  // NaN included
  if (f >= 1) f = 0.9999999;
  r.F = f;
  r.T = 1.0 / (1.0 - f);
  r.Sd = FrequencySd(f, n);
  r.Fu = f + 3.4 * r.Sd * (1.0 - f);
  if (r.Fu > 1) r.Fu = 1;
  r.Fl = f - 3.4 * r.Sd * f;
  if (r.Fl < 0) r.Fl = 0;
  // A return period rises with the frequency: its limits are the return
  // periods of the frequency limits.
  r.TLower = Finite(1.0 / (1.0 - r.Fl));
  r.TUpper = Finite(1.0 / (1.0 - r.Fu));
  return r;
}

std::string CalcRangeNote(const CalcParameters& prm, const CalcData& data, double x, char decimalSeparator) {
  std::string note;
  if (ModelOf(prm).ToMoved(x) < 0) {
    note = "X lies below the range of the distribution: the results are those of X = " +
           FormatGeneral(prm.Shift - 0.0001 + 0.001, decimalSeparator);
  }
  if (data.Values.empty()) return note;
  const auto [low, high] = std::minmax_element(data.Values.begin(), data.Values.end());
  if (x < *low || x > *high) {
    if (!note.empty()) note += "\n";
    note += "X lies outside the range of the data (" + FormatGeneral(*low, decimalSeparator) + " to " + FormatGeneral(*high, decimalSeparator) +
            "): the results are an extrapolation";
  }
  return note;
}

// --- frequency to X ----------------------------------------------------------------

std::optional<double> NormalQuantileY(const CalcParameters& prm, double q) {
  const double mean = prm.P.Normal.Mean, sigma = prm.P.Normal.Sigma;
  if (!(sigma > 0) || !std::isfinite(mean) || !(q > 0 && q < 1)) return std::nullopt;
  // 40 sigma either side the approximation is 0 and 1 in double precision.
  return SmallestWhere([&](double y) { return CalcNormalF((y - mean) / sigma) >= q; }, mean - 40 * sigma,
                       mean + 40 * sigma);
}

ValueCalculator::ValueCalculator(const CalcParameters& prm, const CalcData& data) : prm_(prm), n_(data.N) {
  RequireKnownCode(prm);
  const FittedModel model = ModelOf(prm);
  rangeStart_ = model.ToInput(0.0);
  const bool nonNegative = !data.Values.empty() && *std::min_element(data.Values.begin(), data.Values.end()) >= 0;
  if (nonNegative) rangeStart_ = std::max(rangeStart_, 0.0);
}

std::optional<double> ValueCalculator::Quantile(double q, bool* upperPart) const {
  if (!(q > 0 && q < 1)) return std::nullopt;
  const FittedModel model = ModelOf(prm_);
  if (model.IsNormalFamily()) {
    const auto y = NormalQuantileY(prm_, q);
    if (!y) return std::nullopt;
    // A transformed value that no X has lies below the transform of the
    // lower end of the range; an infinite or undefined X is no value.
    const InverseResult x = model.FromTransformed(*y);
    return x.Ok ? Finite(model.ToInput(x.X)) : rangeStart_;
  }
  // A composite's part: the lower one up to what it reaches at P, the upper
  // one above.
  const bool upper = model.IsComposite() && q > prm_.FP;
  if (upperPart) *upperPart = upper;
  const CompositePart part = upper ? CompositePart::Upper : CompositePart::Lower;
  const FittedModel::PartQuantile x = model.Quantile(q, part);
  if (!x.Ok) return std::nullopt;  // the distribution never reaches q
  if (x.LowerEnd) return std::max(rangeStart_, model.ToInput(x.X));
  return Finite(model.ToInput(x.X));
}

ValueResult ValueCalculator::At(double f) const {
  ValueResult r;
  r.F = f;
  r.T = 1.0 / (1.0 - f);
  r.Sd = FrequencySd(f, n_);
  r.Fu = f + 3.4 * r.Sd * (1.0 - f);
  r.Fl = f - 3.4 * r.Sd * f;
  if (r.Fl < 0) r.Fl = 0;
  if (!ModelOf(prm_).HasInverse() && !ModelOf(prm_).IsNormalFamily()) return r;
  r.X = Quantile(f, &r.UpperPart);
  r.Xl = Quantile(r.Fl);
  r.Xu = Quantile(r.Fu);
  return r;
}

ValueResult CalcVal(const CalcParameters& prm, const CalcData& data, double f) {
  return ValueCalculator(prm, data).At(f);
}

}  // namespace tavorix
