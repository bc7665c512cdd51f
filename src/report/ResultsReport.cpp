#include "report/ResultsReport.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "fitting/Registry.h"
#include "core/StringToFloat.h"
#include "fitting/LineFits.h"
#include "report/DescriptionBlock.h"
#include "report/ParameterFile.h"
#include "report/XValueFormat.h"

namespace tavorix {

namespace {

void Line(std::ostream& out, std::string_view text) { out << text << "\r\n"; }

constexpr std::string_view kIntervalRule = " --------------------------------------";
constexpr std::string_view kFrequencyRule = " ------------------------------------------------------------------";
constexpr std::string_view kReturnRule = " --------------------------------------------------------------";

// Factor of the 90% limits: twice the Student t-value 1.7.
constexpr long double kLimitFactor = 3.4L;

void WriteHeader(std::ostream& out, const TavorixRun& run, const std::string& inputPath) {
  Line(out, kReportFirstLine);
  Line(out, " Cumulative frequency analysis");
  Line(out, "");
  Line(out, " " + run.ReportTitle1);
  Line(out, " " + run.ReportTitle2);
  // A name's control characters (a line end in it) are shown, never written.
  Line(out, " Name of input file used: " + VisibleText(WithExtension(inputPath, ".inp")));
  Line(out, " Number of data used: " + FormatInt(run.N));
  if (!run.BestOfAll()) Line(out, " Probability distribution preferred by user.");
  Line(out, "");
}

// The general A and B lines that follow the description block.
void WriteGeneralLines(std::ostream& out, const TavorixRun& run) {
  const DistributionInfo* d = FindDistribution(run.Fitted.DistCode);
  if (!d || !d->LineLines) return;
  const ReportLine line = ReportedLine(run.Fitted.DistCode, run.Fitted.P);
  Line(out, "     A    = " + FormatE3(line.A));
  if (d->Hand != HandOver::LineA) Line(out, "     B    = " + FormatE3(line.B));
}

// Gumbel: its mode and the standard error of X of its own fit.
void WriteModeLines(std::ostream& out, const TavorixRun& run, bool tiny) {
  const DistributionInfo* d = FindDistribution(run.Fitted.DistCode);
  if (d && d->ModeLines) {
    const FittedDistribution& fd = run.Fitted;
    const FitSlot& gumbel = run.Slots[d->Code];
    const LineParams& l = fd.P.Line;
    const double stdErr = gumbel.HasResult ? gumbel.StdErrX : 1.28 / l.A;
    Line(out, "   Mode   =  " + FormatE5(PrintedX(run, -l.B / l.A)));
    Line(out, " The standard error of X is optimized as " + FormatXValue(stdErr, 7, 2, tiny));
  }
  Line(out, "");
}

void WriteStatistics(std::ostream& out, const TavorixRun& run, int d, bool tiny, ReportSummary& s) {
  // The mean and spread of the ranked data as a least-squares line over
  // (X, Fr) leaves them; the spread does not depend on the move.
  LineState line;
  line.N = run.N;
  Regression(line, run.X.data(), run.Fr.data());
  s.MedianX = PrintedX(run, run.X[(run.N + 1) / 2]);
  Line(out, " Average X:" + FormatXValue(PrintedX(run, line.MeanXt), 7, d, tiny) +
                "     Median X:" + FormatXValue(s.MedianX, 7, d, tiny) +
                "     St.Dev. X:" + FormatXValue(line.SdXt, 7, d + 1, tiny));
  Line(out, "");
  Line(out, "");
}

void WriteIntervalTable(std::ostream& out, const TavorixRun& run, int d, bool tiny) {
  Line(out, " Interval analysis");
  Line(out, kIntervalRule);
  Line(out, "   Class limits of X    Class frequency");
  Line(out, "    Lower    Upper      Obs. (%)  Calc.");
  Line(out, kIntervalRule);
  const int k = run.ClassCount;
  if (k >= 1) {
    auto bound = [&](int i) { return PrintedX(run, run.ClassBounds[i]); };
    auto cumulative = [&](int i) { return std::min(run.ClassFc[i], 1.0); };
    // A negative calculated frequency is printed as 0 and carried into the
    // next row, so that the rows still add up to the cumulative values.
    double carried = 0;
    auto calculated = [&](double v) {
      v += carried;
      carried = v < 0 ? v : 0.0;
      return v < 0 ? 0.0 : v;
    };
    auto row = [&](double lower, double upper, double observed, double calc) {
      Line(out, FormatXValue(lower, 8, d, tiny) + FormatXValue(upper, 10, d, tiny) + FormatFixed(observed, 10, 1) +
                    FormatFixed(calc, 10, 1));
    };
    const double n = run.N;
    const double b1 = bound(1);
    row(b1 - (bound(2) - b1) * 0.5, b1, 0.0, calculated(100.0 * cumulative(1)));
    double counted = 0;
    for (int i = 1; i <= k; ++i) {
      counted += run.ClassCounts[i];
      row(bound(i), bound(i + 1), 100.0 * run.ClassCounts[i] / n,
          calculated(100.0 * (cumulative(i + 1) - cumulative(i))));
    }
    const double width = k >= 2 ? bound(k) - bound(k - 1) : bound(k + 1) - bound(k);
    const double above = std::max(0.0, 100.0 * (1.0 - cumulative(k + 1)) + carried);
    row(bound(k + 1), bound(k + 1) + width * 1.5, 100.0 * (n - counted) / n, above);
  }
  Line(out, kIntervalRule);
  Line(out, "");
  Line(out, "");
}

std::string RankedXText(const TavorixRun& run, int i, int e, bool tiny) {
  return FormatXValue(PrintedX(run, run.X[i]), 8, e, tiny);
}

// Ranked X value and serial number, the first columns of both tables.
std::string RankedXAndSerial(const TavorixRun& run, int i, int e, bool tiny) {
  const int serial = run.SerialOfRank[i];
  std::string text = RankedXText(run, i, e, tiny) + "      " + FormatInt(serial);
  if (serial < 10)
    text += "  ";
  else if (serial < 100)
    text += " ";
  return text;
}

// The number a printed field reads back as (blanks around it dropped).
std::optional<double> ReadBack(std::string_view field) {
  const auto first = field.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  return ParseFileReal(field.substr(first, field.find_last_not_of(' ') + 1 - first));
}

void WriteFrequencyTable(std::ostream& out, const TavorixRun& run, int e, bool tiny, ReportSummary& s) {
  Line(out, " Observed and calculated cumulative frequencies");
  Line(out, kFrequencyRule);
  Line(out, "   X-value   Serial    Cumulative frequency (%)       90%conf limit");
  Line(out, "   Ranked     No.      Rank      Calc.    St.Dev     Lower    Upper");
  Line(out, kFrequencyRule);
  const long double n = run.N;
  auto rankOf = [&](int i) { return std::min(100.0L * run.Fr[i], 99.99L); };
  // A calculated frequency of 0 is printed as half the rank frequency, but
  // never above the next row's calculated frequency: the column rises, and
  // the X values of the confidence table with it.
  std::vector<long double> calcs(static_cast<std::size_t>(run.N) + 1);
  long double next = 99.99L;
  for (int i = run.N; i >= 1; --i) {
    long double calc = 100.0L * run.FcCalc[i];
    if (calc <= 0) calc = std::min(rankOf(i) * 0.5L, next);
    next = calcs[i] = std::min(calc, 99.99L);
  }
  long double lowerPrev = 0.001L, upperPrev = 0.999L;
  for (int i = 1; i <= run.N; ++i) {
    const long double rank = rankOf(i);
    const long double calc = calcs[i];
    const long double sd = (100.0L / n) * std::sqrt(n * (calc / 100.0L) * (1.0L - calc / 100.0L));
    long double lower = calc - kLimitFactor * sd * calc / 100.0L;
    if (lower <= 0) lower = 0.0001L;
    if (lower < lowerPrev) lower = lowerPrev;
    // The lower limit carried from the row before may pass a calculated
    // frequency that drops (a zero frequency replaced by half the rank
    // frequency, then the first real one); a limit never passes its value.
    lower = std::min({lower, calc, 99.99L});
    lowerPrev = lower;
    long double upper = calc + kLimitFactor * sd * (100.0L - calc) / 100.0L;
    if (upper < upperPrev) upper = upperPrev;
    if (calc * 1.00001L >= upper) upper = 99.99L;
    upperPrev = upper;
    const std::string percents[] = {FormatFixed(static_cast<double>(rank), 10, 2),
                                    FormatFixed(static_cast<double>(calc), 10, 2),
                                    FormatFixed(static_cast<double>(sd), 10, 2),
                                    FormatFixed(static_cast<double>(lower), 10, 2),
                                    FormatFixed(static_cast<double>(upper), 10, 3)};
    Line(out, RankedXAndSerial(run, i, e, tiny) + percents[0] + percents[1] + percents[2] + percents[3] +
                  percents[4]);

    ReportTableRow row;
    row.Serial = run.SerialOfRank[i];
    const std::optional<double> x = ReadBack(RankedXText(run, i, e, tiny));
    double* fields[] = {&row.Rank, &row.Calc, &row.StDev, &row.Lower, &row.Upper};
    bool readable = x.has_value();
    for (int k = 0; k < 5 && readable; ++k) {
      const std::optional<double> v = ReadBack(percents[k]);
      readable = v.has_value();
      if (readable) *fields[k] = *v;
    }
    if (!readable && s.UnreadableRow == 0) s.UnreadableRow = i;
    row.X = x.value_or(0.0);
    s.Table.push_back(row);
  }
  Line(out, kFrequencyRule);
}

void WriteGoodnessOfFit(std::ostream& out, const TavorixRun& run, ReportSummary& s) {
  long double sumAbs = 0, sumSq = 0, sumFr = 0;
  for (int i = 1; i <= run.N; ++i) {
    const long double d = run.FcCalc[i] - run.Fr[i];
    sumAbs += std::fabs(d);
    sumSq += d * d;
    sumFr += run.Fr[i];
  }
  const long double meanFr = sumFr / run.N;
  long double spread = 0;
  for (int i = 1; i <= run.N; ++i) spread += (run.Fr[i] - meanFr) * (run.Fr[i] - meanFr);
  s.AvAbsDiff = static_cast<double>(100.0L * sumAbs / run.N);
  s.R2 = static_cast<double>(1.0L - sumSq / spread);
  Line(out, " Average of absolute differences between calculated and");
  Line(out, " observed frequencies :" + FormatFixed(s.AvAbsDiff, 10, 2) + "%");
  Line(out, " Efficiency coefficient (R^2) of calculated and observed");
  Line(out, " cumulative frequency :" + FormatFixed(s.R2, 11, 4));
  Line(out, "");
  Line(out, "");
}

void WriteReturnPeriods(std::ostream& out, const TavorixRun& run, int e, bool tiny) {
  Line(out, " Return period = 1/(1-Cum.Frq), time units as used for the data ");
  Line(out, kReturnRule);
  Line(out, "   X-value    Serial      Return period        90% conf limit");
  Line(out, "   Ranked      No.       Rank       Calc.      Lower    Upper");
  Line(out, kReturnRule);
  const long double n = run.N;
  long double sumDiff = 0;
  for (int i = 1; i <= run.N; ++i) {
    const long double fr = run.Fr[i];
    long double f = run.FcCalc[i];
    if (f <= 0) f = fr * 0.5L;
    f = std::min(f, 0.9999L);
    const long double sd = std::sqrt(f * (1.0L - f) / n);
    long double lower = f - kLimitFactor * sd * f;
    if (lower <= 0) lower = 0.001L;
    const long double upper = std::min(f + kLimitFactor * sd * (1.0L - f), 0.9999L);
    // (N + 1)/(N + 1 - R) rather than 1/(1 - Fr): a rank return period that
    // is a half, such as 24.5, is then exactly a half and prints rounded up.
    const long double tRank = (n + 1.0L) / (n + 1.0L - i);
    const long double tCalc = 1.0L / (1.0L - f);
    // A return period rises with the frequency, so its limits are those of
    // the frequency limits.
    const long double tLower = 1.0L / (1.0L - lower);
    const long double tUpper = 1.0L / (1.0L - upper);
    const int decimals = f < 0.6L ? 2 : (f < 0.99L && upper < 0.99L ? 1 : 0);
    Line(out, RankedXAndSerial(run, i, e, tiny) + FormatFixed(static_cast<double>(tRank), 11, decimals) +
                  FormatFixed(static_cast<double>(tCalc), 11, decimals) +
                  FormatFixed(static_cast<double>(tLower), 11, decimals) +
                  FormatFixed(static_cast<double>(tUpper), 11, decimals));
    const long double capped = std::min(run.FcCalc[i], 0.99999L);
    sumDiff += std::fabs(tRank - 1.0L / (1.0L - capped));
  }
  Line(out, kReturnRule);
  Line(out, " Average of absolute differences between calculated and");
  Line(out, " observed return periods :" + FormatFixed(static_cast<double>(sumDiff / n), 10, 2));
}

}  // namespace

double LargestPrintedX(const TavorixRun& run) {
  if (run.N < 1) return 0;
  return std::max(std::fabs(PrintedX(run, run.X[1])), std::fabs(PrintedX(run, run.X[run.N])));
}

int FrequencyTableDecimals(double largestX) {
  if (largestX < 1) return 4;
  if (largestX < 10) return 3;
  if (largestX < 100) return 2;
  if (largestX < 500) return 1;
  return 0;
}

int ClassTableDecimals(double highestBound) {
  if (highestBound > 1000) return 0;
  if (highestBound > 100) return 1;
  if (highestBound > 10) return 2;
  return 3;
}

ReportSummary WriteResultsReport(std::ostream& out, const TavorixRun& run, const std::string& inputPath) {
  ReportSummary s;
  WriteHeader(out, run, inputPath);
  if (run.Fitted.DistCode == 0) {
    Line(out, " The frequency distibution cannot be found :");
    return s;
  }
  s.Found = true;
  s.TinyData = IsTinyData(run);
  // The decimals follow the largest printed magnitude, so that data below
  // zero (printed as entered) get as many decimals as their size needs.
  const int top = std::max(run.ClassCount, 0) + 1;
  s.ClassDecimals = ClassTableDecimals(std::max(std::fabs(PrintedX(run, run.ClassBounds[1])),
                                                std::fabs(PrintedX(run, run.ClassBounds[top]))));
  s.XDecimals = FrequencyTableDecimals(LargestPrintedX(run));

  WriteDistributionBlock(out, run);
  WriteGeneralLines(out, run);
  WriteModeLines(out, run, s.TinyData);
  WriteCompositeTwoPartBlock(out, run);
  WriteStatistics(out, run, s.ClassDecimals, s.TinyData, s);
  WriteIntervalTable(out, run, s.ClassDecimals, s.TinyData);
  s.Table.reserve(run.N > 0 ? run.N : 0);
  WriteFrequencyTable(out, run, s.XDecimals, s.TinyData, s);
  WriteGoodnessOfFit(out, run, s);
  WriteReturnPeriods(out, run, s.XDecimals, s.TinyData);
  return s;
}

}  // namespace tavorix
