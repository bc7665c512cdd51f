#include "report/ConfidenceStage.h"
#include "report/DescriptionBlock.h"
#include "report/ResultsReport.h"

#include <algorithm>
#include <cmath>
#include <istream>
#include <numbers>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

#include "core/NumberFormat.h"
#include "core/StringToFloat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "fitting/Bisection.h"
#include "fitting/Composites.h"
#include "fitting/FittedModel.h"
#include "fitting/Hastings.h"
#include "fitting/Registry.h"
#include "report/XValueFormat.h"

namespace tavorix {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kRule = " ----------------------------------------------------------";

[[noreturn]] void ThrowBadRow(int rank) {
  throw TavorixError("Row " + FormatInt(rank) +
                     " of the table of observed and calculated cumulative frequencies in the results report"
                     " is missing or does not hold its seven numbers.");
}

struct ClampedLimits {
  double P, Pl, Pu;
};

ClampedLimits ClampedFrequencies(const ReportTableRow& row) {
  ClampedLimits c{row.Calc / 100.0, row.Lower / 100.0, row.Upper / 100.0};
  if (c.P >= 1) c.P = 0.9998;
  if (c.Pl >= 1) c.Pl = 0.9997;
  if (c.Pu >= 1) c.Pu = 0.9999;
  // Zero frequencies keep the order lower <= calculated <= upper, and stay
  // below the smallest printed frequency above 0 (0.01%), so that a row
  // printed as 0.00 never gets an X above the row after it.
  if (c.P <= 0) c.P = 0.00002;
  if (c.Pl <= 0) c.Pl = 0.00001;
  if (c.Pu <= 0) c.Pu = 0.00003;
  return c;
}

double EfficiencyCoefficient(const std::vector<ReportTableRow>& rows, const std::vector<double>& calcX) {
  const std::size_t n = rows.size();
  if (n == 0) return 0;
  double sum = 0;
  for (const auto& r : rows) sum += r.X;
  const double mean = sum / static_cast<double>(n);
  double ssRes = 0, ssTot = 0;
  for (std::size_t i = 0; i < n; ++i) {
    ssRes += (rows[i].X - calcX[i + 1]) * (rows[i].X - calcX[i + 1]);
    ssTot += (rows[i].X - mean) * (rows[i].X - mean);
  }
  double r = (ssTot > 0 && ssRes < ssTot) ? std::sqrt(1.0 - ssRes / ssTot) : 0.0;
  return std::min(r, 0.99999);
}

}  // namespace

std::vector<ReportTableRow> ReadReportTable(std::istream& report, int n) {
  const LineSet lines = ReadLines(report);
  std::size_t at = kReportTitleLines;
  while (at < lines.size() && lines[at].compare(0, 4, " Obs") != 0) ++at;
  if (at == lines.size())
    throw TavorixError("The results report holds no table of observed and calculated cumulative frequencies.");
  at += 5;
  std::vector<ReportTableRow> rows;
  // A count read from a damaged file may be huge: reserve no more rows than
  // there are lines.
  const std::size_t rowLines = lines.size() - std::min(at, lines.size());
  if (n > 0) rows.reserve(std::min<std::size_t>(static_cast<std::size_t>(n), rowLines));
  for (int rank = 1; rank <= n; ++rank, ++at) {
    if (at >= lines.size()) ThrowBadRow(rank);
    const auto tokens = SplitBlanks(lines[at]);
    if (tokens.size() < 7) ThrowBadRow(rank);
    ReportTableRow row;
    const auto x = ParseFileReal(tokens[0]);
    const auto serial = ParseFileInteger(tokens[1]);
    if (!x || !serial) ThrowBadRow(rank);
    row.X = *x;
    row.Serial = *serial;
    double* percents[] = {&row.Rank, &row.Calc, &row.StDev, &row.Lower, &row.Upper};
    for (int k = 0; k < 5; ++k) {
      const auto v = ParseFileReal(tokens[2 + k]);
      if (!v) ThrowBadRow(rank);
      *percents[k] = *v;
    }
    rows.push_back(row);
  }
  return rows;
}

XRange FindXRange(const TavorixRun& run, const std::vector<ReportTableRow>& rows) {
  XRange r{10000000.0, 0.0};
  const bool moved = DataMoved(run);
  const FittedModel model(run.Fitted, run.Shift);
  for (const auto& row : rows) {
    const double x = moved ? model.ToMoved(row.X) : row.X;
    r.Max = std::max(r.Max, x);
    r.Min = std::min(r.Min, x);
  }
  r.Max += 0.05 * (r.Max - r.Min);
  // The finest gap between neighbouring distinct data, on the scale of the
  // normal code's variable (the rows are ranked, the transforms rise).
  double previous = NAN;
  for (const auto& row : rows) {
    const double x = moved ? model.ToMoved(row.X) : row.X;
    const double t = model.IsNormalFamily() ? model.Transformed(x) : x;
    if (!std::isfinite(t)) continue;
    if (t > previous) r.FinestGap = std::min(r.FinestGap, t - previous);
    previous = t;
  }
  if (!model.IsNormalFamily() || model.Transform() == NormalTransform::Identity) return r;
  // The lower end of ln and powers is 0 where the data reach 0 or below.
  const NormalTransform t = model.Transform();
  const bool zeroFloor = t == NormalTransform::Log || t == NormalTransform::Power;
  r.Min = zeroFloor && !(r.Min > 0) ? 0.0 : model.Transformed(r.Min);
  r.Max = model.Transformed(r.Max);
  return r;
}

NormalScanner::NormalScanner(double mean, double sigma, XRange range) : Mean_(mean), Sigma_(sigma) {
  Mended_ = !(range.Max > 0) || range.Min < 0;
  if (Mended_) {
    const double w = range.Max - range.Min;
    Start_ = range.Min - 5.0 * w;
    Step_ = 11.0 * w / 10000.0;
    First_ = 0;
  } else {
    Top_ = range.Max;
    Step_ = 0.001 * range.Max;
    First_ = 1;
  }
  Last_ = 10000;
  Refine_ = Step_ > range.FinestGap;
  RunningMaxF_.resize(Last_ - First_ + 1);
  double running = 0;
  for (int k = First_; k <= Last_; ++k) {
    // fmax drops a NaN (no spread): such a point never qualifies.
    running = std::fmax(running, HastingsScanF((GridPoint(k) - mean) / sigma));
    RunningMaxF_[k - First_] = running;
  }
}

double NormalScanner::GridPoint(int k) const {
  return Mended_ ? Start_ + k * Step_ : Step_ * k;
}

double NormalScanner::Scan(double q) const {
  // The first grid point whose F exceeds q is the first whose running
  // maximum exceeds q.
  const auto it = std::upper_bound(RunningMaxF_.begin(), RunningMaxF_.end(), q);
  if (it == RunningMaxF_.end()) return Mended_ ? GridPoint(Last_) : 10.0 * Top_;
  const int k = First_ + static_cast<int>(it - RunningMaxF_.begin());
  if (!Refine_) return GridPoint(k);
  // A step wider than the gaps of the data would give neighbouring data one
  // X: the first Y of the step whose F exceeds q, to the last bit.
  return SmallestWhere([&](double y) { return HastingsScanF((y - Mean_) / Sigma_) > q; }, GridPoint(k - 1),
                       GridPoint(k));
}

CalculatedX ComputeCalculatedX(const TavorixRun& run, const std::vector<ReportTableRow>& rows) {
  const int n = static_cast<int>(rows.size());
  CalculatedX cx;
  cx.CalcX.assign(n + 1, 0.0);
  cx.LowerX.assign(n + 1, 0.0);
  cx.UpperX.assign(n + 1, 0.0);

  FittedDistribution fit = run.Fitted;
  FitParams& p = fit.P;
  // A slope (Rayleigh: an exponent) of 0 would divide by zero in the inverse.
  const DistributionInfo* d = FindDistribution(fit.DistCode);
  VisitFamily(d ? d->Params.Family : ParamFamily::None, p, [](auto& f) {
    if constexpr (requires { f.A; })
      if (std::fabs(f.A) < 1e-13) f.A = 1e-13;
    if constexpr (std::is_same_v<std::decay_t<decltype(f)>, RayleighParams>)
      if (std::fabs(f.E) < 1e-13) f.E = 1e-13;
  });
  const FittedModel model(fit, run.Shift);
  const int nBelowP = p.Composite.BreakCount;

  std::optional<NormalScanner> scanner;
  if (model.IsNormalFamily()) scanner.emplace(p.Normal.Mean, p.Normal.Sigma, FindXRange(run, rows));

  // A frequency without an X lies below the distribution's lowest value (a
  // mass at the lower end of its range): its X is that end, the moved zero,
  // and not below 0 for data that are not. Above all that a distribution
  // reaches (one whose F stays below 1), X is the end of the normal scan's
  // range, 10 times the top of the X range.
  double rangeStart = model.ToInput(0.0);
  if (n > 0 && rows.front().X >= 0) rangeStart = std::max(rangeStart, 0.0);
  const double rangeEnd = model.ToInput(10.0 * FindXRange(run, rows).Max);
  // X at frequency q, input units. Composites take the part of the rank for
  // the calculated X, and an X of a part lies on that part's side of P. A
  // limit whose frequency lies beyond where the other part starts at P (above
  // what the lower part reaches there, below what the upper part starts
  // from) is the other part's X: the distribution goes on there.
  const bool composite = model.IsComposite();
  const double lowerAtP = composite ? CompositePartFc(fit.DistCode, p, p.Composite.BreakPoint, true) : 0.0;
  const double upperAtP = composite ? CompositeUpperFc(fit.DistCode, p, p.Composite.BreakPoint) : 0.0;
  auto inverse = [&](double q, int rank, bool limit) -> double {
    if (scanner) {
      const InverseResult x = model.FromTransformed(scanner->Scan(q));
      return x.Ok ? model.ToInput(x.X) : rangeStart;
    }
    bool upper = rank > nBelowP;
    if (composite && limit) upper = upper ? !(q < upperAtP) : q > lowerAtP;
    const FittedModel::PartQuantile x = model.Quantile(q, upper ? CompositePart::Upper : CompositePart::Lower);
    if (x.Above) return rangeEnd;
    if (x.LowerEnd) return std::max(rangeStart, model.ToInput(x.X));
    return model.ToInput(x.X);
  };

  // Without an inverse (Gamma) the calculated X is the observed one, its
  // limits 10% either side.
  const bool hasInverse = scanner || model.HasInverse();
  for (int i = 1; i <= n; ++i) {
    const ReportTableRow& row = rows[i - 1];
    if (!hasInverse) {
      cx.CalcX[i] = row.X;
      cx.LowerX[i] = 0.9 * row.X;
      cx.UpperX[i] = 1.1 * row.X;
      continue;
    }
    const ClampedLimits q = ClampedFrequencies(row);
    cx.CalcX[i] = inverse(q.P, i, false);
    cx.LowerX[i] = inverse(q.Pl, i, true);
    cx.UpperX[i] = inverse(q.Pu, i, true);
  }
  cx.R = EfficiencyCoefficient(rows, cx.CalcX);
  return cx;
}

int XDecimals(double largestX) { return FrequencyTableDecimals(largestX); }

void WriteConfidenceTable(std::ostream& out, const TavorixRun& run, const std::vector<ReportTableRow>& rows,
                          const CalculatedX& cx) {
  const int n = static_cast<int>(rows.size());
  double largest = n > 0 ? std::max(std::fabs(rows.front().X), std::fabs(rows.back().X)) : 0.0;
  if (run.N >= 1 && static_cast<int>(run.X.size()) > run.N) largest = LargestPrintedX(run);
  const int d = XDecimals(largest);
  const bool tiny = IsTinyData(run);
  const bool nonNegativeData = n > 0 && rows.front().X >= 0;

  out << kCrLf << kCrLf;
  out << " Confidence limits of calculated X-values" << kCrLf;
  out << kRule << kCrLf;
  out << "   Observed            Calculated      90% confidence limit  " << kCrLf;
  out << "   X-value   Serial    X-Value         of calulated X-Value  " << kCrLf;
  out << "   Ranked     No.                      Lower        Upper    " << kCrLf;
  out << kRule << kCrLf;
  for (int i = 1; i <= n; ++i) {
    const ReportTableRow& row = rows[i - 1];
    const double calc = cx.CalcX[i];
    double lower = cx.LowerX[i];
    double upper = cx.UpperX[i];
    // Not where the calculated X itself is negative: the limit stays below it.
    if (nonNegativeData && lower < 0 && calc >= 0) lower = 0;
    if (upper <= calc) upper = (calc < 0 ? 0.99 : 1.01) * calc;
    out << FormatXValue(row.X, 8, d, tiny) << FormatInt(row.Serial, 8) << FormatXValue(calc, 13, d, tiny)
        << FormatXValue(lower, 15, d, tiny) << FormatXValue(upper, 15, d, tiny) << kCrLf;
  }
  out << kRule << kCrLf;
  out << " Efficiency coefficient (R) of calculated and observed " << kCrLf;
  out << " data values :" << FormatFixed(cx.R, 10, 5) << kCrLf;
  out << kCrLf;
}

std::optional<CalculatedX> RunConfidenceStage(const TavorixRun& run, const ReportSummary& report) {
  if (run.Fitted.DistCode == 0) return std::nullopt;
  if (report.UnreadableRow != 0) ThrowBadRow(report.UnreadableRow);
  if (static_cast<int>(report.Table.size()) != run.N) ThrowBadRow(static_cast<int>(report.Table.size()) + 1);
  return ComputeCalculatedX(run, report.Table);
}

}  // namespace tavorix
