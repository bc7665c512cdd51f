#include "report/ConfidenceStage.h"
#include "report/ResultsReport.h"

#include <algorithm>
#include <cmath>
#include <istream>
#include <numbers>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "core/NumberFormat.h"
#include "core/StringToFloat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "fitting/Inverses.h"
#include "report/XValueFormat.h"

namespace tavorix {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kRule = " ----------------------------------------------------------";

std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

[[noreturn]] void ThrowBadRow(int rank) {
  throw TavorixError("Row " + FormatInt(rank) +
                     " of the table of observed and calculated cumulative frequencies in the results report"
                     " is missing or does not hold its seven numbers.");
}

bool IsNormalCode(int code) { return code >= 20 && code <= 26; }

// The data were moved (left move, or the move for negative values): the X
// printed in input units differ from the fit's values.
bool DataMoved(const TavorixRun& run) { return run.Shifted || run.Shift < 0; }

// Moved-scale value of an input-unit X.
double MovedValueOf(const TavorixRun& run, double x) { return x - run.Shift + 0.0001; }

// Input-unit value of a moved-scale X.
double InputUnits(const TavorixRun& run, double x) { return x + run.Shift - 0.0001; }

// The normal integral as the stepping inverse computes it: Hastings with
// five-digit constants, 0 where the polynomial is negative.
double ScanF(double y, double mean, double sigma) {
  const double z = (y - mean) / sigma;
  const double t = 1.0 / (1.0 + 0.23165 * z);
  const double s = t * (0.31938 + t * (-0.35656 + t * (1.78148 + t * (-1.82126 + t * 1.33027))));
  const double phi = std::exp(-z * z / 2.0) / std::sqrt(2.0 * std::numbers::pi);
  return s >= 0 ? 1.0 - phi * s : 0.0;
}

// Moved-scale X of a normal code from the scanned transformed value Y.
InverseResult FromTransformed(int code, double y, double e) {
  switch (code) {
    case 22: case 23: return {true, std::exp(y)};
    case 24: return {true, y * y};
    case 25: return y > 0 ? InverseResult{true, std::sqrt(y)} : InverseResult{};
    case 26: return y > 0 ? InverseResult{true, std::exp(std::log(y) / e)} : InverseResult{};
    default: return {true, y};
  }
}

struct ClampedLimits {
  double P, Pl, Pu;
};

ClampedLimits ClampedFrequencies(const ReportTableRow& row) {
  ClampedLimits c{row.Calc / 100.0, row.Lower / 100.0, row.Upper / 100.0};
  if (c.P >= 1) c.P = 0.9998;
  if (c.Pl >= 1) c.Pl = 0.9997;
  if (c.Pu >= 1) c.Pu = 0.9999;
  // Zero frequencies keep the order lower <= calculated <= upper.
  if (c.P <= 0) c.P = 0.0002;
  if (c.Pl <= 0) c.Pl = 0.0001;
  if (c.Pu <= 0) c.Pu = 0.0003;
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
  rows.reserve(n > 0 ? n : 0);
  for (int rank = 1; rank <= n; ++rank, ++at) {
    if (at >= lines.size()) ThrowBadRow(rank);
    const auto tokens = Tokens(lines[at]);
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
  for (const auto& row : rows) {
    const double x = moved ? MovedValueOf(run, row.X) : row.X;
    r.Max = std::max(r.Max, x);
    r.Min = std::min(r.Min, x);
  }
  r.Max += 0.05 * (r.Max - r.Min);
  switch (run.Fitted.DistCode) {
    case 22: case 23:
      r.Min = r.Min > 0 ? std::log(r.Min) : 0.0;
      r.Max = std::log(r.Max);
      break;
    case 24:
      r.Min = std::sqrt(r.Min);
      r.Max = std::sqrt(r.Max);
      break;
    case 25:
      r.Min = r.Min * r.Min;
      r.Max = r.Max * r.Max;
      break;
    case 26: {
      const double e = run.Fitted.P.E;
      r.Min = r.Min > 0 ? std::exp(e * std::log(r.Min)) : 0.0;
      r.Max = std::exp(e * std::log(r.Max));
      break;
    }
    default:
      break;
  }
  return r;
}

NormalScanner::NormalScanner(double mean, double sigma, XRange range) {
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
  RunningMaxF_.resize(Last_ - First_ + 1);
  double running = 0;
  for (int k = First_; k <= Last_; ++k) {
    // fmax drops a NaN (no spread): such a point never qualifies.
    running = std::fmax(running, ScanF(GridPoint(k), mean, sigma));
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
  return GridPoint(First_ + static_cast<int>(it - RunningMaxF_.begin()));
}

CalculatedX ComputeCalculatedX(const TavorixRun& run, const std::vector<ReportTableRow>& rows) {
  const int n = static_cast<int>(rows.size());
  const int code = run.Fitted.DistCode;
  CalculatedX cx;
  cx.CalcX.assign(n + 1, 0.0);
  cx.LowerX.assign(n + 1, 0.0);
  cx.UpperX.assign(n + 1, 0.0);

  FitParams p = run.Fitted.P;
  if (std::fabs(p.A) < 1e-13) p.A = 1e-13;
  // The Rayleigh exponent stands in the slope's place of the run summary.
  if (code == 69 && std::fabs(p.E) < 1e-13) p.E = 1e-13;
  // A frequency without an X lies below the distribution's lowest value
  // (a mass at the lower end of its range): the lower limit is that end.
  const double lowerFallback = InputUnits(run, 0.0);
  const int nBelowP = p.BreakCount;

  std::optional<NormalScanner> scanner;
  if (IsNormalCode(code)) scanner.emplace(p.Mean, p.Sigma, FindXRange(run, rows));

  // X at frequency q, moved scale; Ok false where the formula has no value.
  auto inverse = [&](double q, int rank) -> InverseResult {
    if (IsNormalCode(code)) return FromTransformed(code, scanner->Scan(q), p.E);
    const CompositePart part = rank <= nBelowP ? CompositePart::Lower : CompositePart::Upper;
    return InverseFc(code, p, q, part);
  };

  for (int i = 1; i <= n; ++i) {
    const ReportTableRow& row = rows[i - 1];
    if (code == 61) {
      cx.CalcX[i] = row.X;
      cx.LowerX[i] = 0.9 * row.X;
      cx.UpperX[i] = 1.1 * row.X;
      continue;
    }
    // Code 25 falls back to the input value of the moved zero, the other
    // codes to the observed X.
    const double upperFallback = code == 25 ? InputUnits(run, 0.0) : row.X;
    const ClampedLimits q = ClampedFrequencies(row);
    const InverseResult c = inverse(q.P, i);
    const InverseResult l = inverse(q.Pl, i);
    const InverseResult u = inverse(q.Pu, i);
    cx.CalcX[i] = c.Ok ? InputUnits(run, c.X) : upperFallback;
    cx.LowerX[i] = l.Ok ? InputUnits(run, l.X) : lowerFallback;
    cx.UpperX[i] = u.Ok ? InputUnits(run, u.X) : upperFallback;
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
    if (nonNegativeData && lower < 0) lower = 0;
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
