#include "calculator/Calculator.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/TextFile.h"
#include "core/UDMTavorix.h"
#include "fitting/Composites.h"
#include "fitting/FittedModel.h"
#include "fitting/Hastings.h"
#include "report/ParameterFile.h"
#include "report/ResultsLoader.h"
#include "report/ResultsSet.h"

namespace tavorix {

namespace {

FittedModel ModelOf(const CalcParameters& prm) {
  FittedDistribution fd;
  fd.DistCode = prm.Code;
  fd.P = prm.P;
  return FittedModel(fd, prm.Shift);
}

void RequireKnownCode(const CalcParameters& prm) {
  if (!CalcCodeKnown(prm.Code)) throw TavorixError(kCalcNoParameters);
}

// X in input units from a normal-family scan value Y. With floorBase a
// non-positive base of a root becomes 0.001 (the lower limit); otherwise
// such a Y has no value. The plain normal codes go back 0.001 above
// Shift + Y.
std::optional<double> NormalValue(const FittedModel& model, double y, bool floorBase) {
  if (model.Transform() == NormalTransform::Identity) return y + model.Shift() + 0.001;
  InverseResult x = model.FromTransformed(y);
  if (!x.Ok) {
    if (!floorBase) return std::nullopt;
    x = model.FromTransformed(0.001);
  }
  return model.ToInput(x.X);
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
  if (IsComposite(prm.Code)) prm.FP = CompositePartFc(prm.Code, prm.P, prm.P.Composite.BreakPoint, false);
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
  r.XMoved = model.ToMoved(x);
  if (r.XMoved <= 0) r.XMoved = 0.001;
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
  if (ModelOf(prm).ToMoved(x) <= 0) {
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

DataRange MaxMin(const CalcParameters& prm, const std::vector<double>& data) {
  DataRange r;
  std::vector<double> moved;
  moved.reserve(data.size());
  for (double d : data) {
    const double v = d - prm.Shift + 0.001;
    moved.push_back(v);
    if (v > r.Max) r.Max = v;
    if (v < r.Min) r.Min = v;
  }
  const FittedModel model = ModelOf(prm);
  if (!model.IsNormalFamily() || model.Transform() == NormalTransform::Identity) return r;
  r = DataRange{};
  for (double v : moved) {
    const double t = model.Transformed(v);
    if (!std::isfinite(t)) continue;  // ln or root of a value the run never has
    if (t > r.Max) r.Max = t;
    if (t < r.Min) r.Min = t;
  }
  return r;
}

namespace {

constexpr int kNormalScanSteps = 100000;

// Y of step k of the normal family's scan: from the minimum in steps of a
// ten-thousandth of the maximum; a maximum that is not positive (logarithms
// of data below 1) would step away from the data, so then the steps are a
// ten-thousandth of the range. Steps past the first 100 000 go on from
// there in steps of a ten-thousandth of the range.
double ScanY(const DataRange& range, int k) {
  if (range.Max > 0 && k <= kNormalScanSteps) return range.Max * 0.0001 * k + range.Min;
  const double step = (range.Max - range.Min) / 10000.0;
  if (range.Max > 0) return range.Max * 0.0001 * kNormalScanSteps + range.Min + step * (k - kNormalScanSteps);
  return range.Min + step * k;
}

// 100 000 steps; twice as many when the first 100 000 end below the
// maximum: a small positive maximum against a minimum far below it (the
// logarithm of a datum near 0) would otherwise leave the centre of the fit
// out of reach, with no X for most frequencies.
int ScanSteps(const DataRange& range) {
  return range.Max > 0 && ScanY(range, kNormalScanSteps) < range.Max ? 2 * kNormalScanSteps : kNormalScanSteps;
}

}  // namespace

std::optional<double> NormalCalc(const CalcParameters& prm, const DataRange& range, double q) {
  const int steps = ScanSteps(range);
  for (int k = 1; k <= steps; ++k) {
    const double y = ScanY(range, k);
    const double f = CalcNormalF((y - prm.P.Normal.Mean) / prm.P.Normal.Sigma);
    if (f > q) return y;
  }
  return std::nullopt;
}

ValueCalculator::ValueCalculator(const CalcParameters& prm, const CalcData& data) : prm_(prm), n_(data.N) {
  RequireKnownCode(prm);
  normal_ = ModelOf(prm).IsNormalFamily();
  if (normal_) range_ = MaxMin(prm, data.Values);
}

std::optional<double> ValueCalculator::NormalY(double q) const {
  // The scan is extended only as far as a frequency asks: up to the first
  // step whose running maximum exceeds q, or to its end.
  if (runningMax_.empty() || !(runningMax_.back() > q)) {
    double running = runningMax_.empty() ? -HUGE_VAL : runningMax_.back();
    const int steps = ScanSteps(range_);
    for (int k = static_cast<int>(runningMax_.size()) + 1; k <= steps; ++k) {
      // fmax drops a NaN frequency, which never exceeds q.
      running = std::fmax(running, CalcNormalF((ScanY(range_, k) - prm_.P.Normal.Mean) / prm_.P.Normal.Sigma));
      runningMax_.push_back(running);
      if (running > q) break;
    }
  }
  const auto it = std::upper_bound(runningMax_.begin(), runningMax_.end(), q);
  if (it == runningMax_.end()) return std::nullopt;
  return ScanY(range_, static_cast<int>(it - runningMax_.begin()) + 1);
}

ValueResult ValueCalculator::At(double f) const {
  ValueResult r;
  r.F = f;
  r.T = 1.0 / (1.0 - f);
  r.Sd = FrequencySd(f, n_);
  r.Fu = f + 3.4 * r.Sd * (1.0 - f);
  r.Fl = f - 3.4 * r.Sd * f;
  if (r.Fl < 0) r.Fl = 0;

  const FittedModel model = ModelOf(prm_);
  if (normal_) {
    auto at = [&](double q, bool floorBase) -> std::optional<double> {
      const auto y = NormalY(q);
      if (!y) return std::nullopt;
      return NormalValue(model, *y, floorBase);
    };
    r.X = at(f, false);
    r.Xl = at(r.Fl, true);
    r.Xu = at(r.Fu, false);
    return r;
  }
  if (!model.HasInverse()) return r;  // Gamma has no inverse

  // A composite takes its part once, from F against F(P), for all three.
  r.UpperPart = model.IsComposite() && f > prm_.FP;
  const CompositePart part = r.UpperPart ? CompositePart::Upper : CompositePart::Lower;
  auto at = [&](double q, NonPositive policy) -> std::optional<double> {
    if (!(q > 0 && q < 1)) return std::nullopt;
    const InverseResult inv = model.Inverse(q, part, policy);
    if (!inv.Ok) return std::nullopt;
    return Finite(model.ToInput(inv.X));
  };
  r.X = at(f, NonPositive::Fail);
  r.Xl = at(r.Fl, NonPositive::FloorAt0_001);
  r.Xu = at(r.Fu, NonPositive::Fail);
  return r;
}

ValueResult CalcVal(const CalcParameters& prm, const CalcData& data, double f) {
  return ValueCalculator(prm, data).At(f);
}

}  // namespace tavorix
