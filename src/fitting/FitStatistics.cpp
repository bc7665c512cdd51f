#include "fitting/FitStatistics.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string_view>

#include "core/TextEscape.h"
#include "core/NumberFormat.h"
#include "core/StringToFloat.h"
#include "core/TextLines.h"
#include "fitting/FitAll.h"
#include "fitting/FittedCurve.h"

namespace tavorix {

GoodnessOfFit GoodnessOfFitOf(std::vector<double>& f) {
  GoodnessOfFit g;
  const std::size_t n = f.size();
  if (n == 0) return g;
  std::sort(f.begin(), f.end());
  const double nd = static_cast<double>(n);
  constexpr double kLow = 1e-12, kHigh = 1.0 - 1e-12;
  auto clipped = [&](double v) { return std::clamp(v, kLow, kHigh); };
  double d = 0, adSum = 0, w2 = 1.0 / (12.0 * nd);
  for (std::size_t k = 0; k < n; ++k) {
    const double i = static_cast<double>(k + 1);
    d = std::max({d, i / nd - f[k], f[k] - (i - 1.0) / nd});
    adSum += (2.0 * i - 1.0) * (std::log(clipped(f[k])) + std::log(1.0 - clipped(f[n - 1 - k])));
    const double dev = f[k] - (2.0 * i - 1.0) / (2.0 * nd);
    w2 += dev * dev;
  }
  g.KsD = d;
  g.AdA2 = -nd - adSum / nd;
  g.CvmW2 = w2;
  return g;
}

FitEvaluator::FitEvaluator(const TavorixRun& run) {
  scratch_.N = run.N;
  scratch_.X = run.X;
  scratch_.Slots = run.Slots;
  scratch_.PreferredCode = run.PreferredCode;
  scratch_.FcCalc.assign(run.N + 1, 0.0L);
  f_.reserve(run.N);
}

const std::vector<long double>& FitEvaluator::FrequenciesOf(int code) {
  TakeFit(scratch_, code);
  EvaluateFittedCurve(scratch_);
  return scratch_.FcCalc;
}

const std::vector<long double>& FitEvaluator::FrequenciesOf(const FittedDistribution& fitted) {
  scratch_.Fitted = fitted;
  EvaluateFittedCurve(scratch_);
  return scratch_.FcCalc;
}

GoodnessOfFit FitEvaluator::FromCurve() {
  f_.assign(scratch_.FcCalc.begin() + 1, scratch_.FcCalc.begin() + 1 + scratch_.N);
  return GoodnessOfFitOf(f_);
}

GoodnessOfFit FitEvaluator::StatisticsOf(int code) {
  FrequenciesOf(code);
  return FromCurve();
}

GoodnessOfFit FitEvaluator::StatisticsOf(const FittedDistribution& fitted) {
  FrequenciesOf(fitted);
  return FromCurve();
}

std::vector<RankedEntry> RankedInFileOrder(const TavorixRun& run) {
  auto listed = [](double average) {
    const std::string line = AverageLine(average);
    return ParseFileReal(TrimBlanks(std::string_view(line).substr(10))).value_or(average);
  };
  std::vector<RankedEntry> ranked = run.RankedList;
  std::stable_sort(ranked.begin(), ranked.end(), [&](const RankedEntry& a, const RankedEntry& b) {
    return listed(a.Average) < listed(b.Average);
  });
  return ranked;
}

std::vector<RankedFitStatistics> RankedFitsWithStatistics(const TavorixRun& run) {
  std::vector<RankedFitStatistics> rows;
  if (run.RankedList.empty() || run.N < 1) return rows;
  FitEvaluator evaluator(run);
  int rank = 0;
  for (const RankedEntry& e : RankedInFileOrder(run))
    rows.push_back({++rank, e.Code, e.Name, e.Average, evaluator.StatisticsOf(e.Code)});
  return rows;
}

GoodnessOfFit ChosenFitStatistics(const TavorixRun& run) {
  if (run.Fitted.DistCode == 0 || run.N < 1) return {};
  return FitEvaluator(run).StatisticsOf(run.Fitted);
}

namespace {

std::string CsvQuoted(std::string_view text) { return CsvCell(text, true); }

std::string CsvNumber(double v) { return std::isfinite(v) ? FormatShortest(v) : std::string(); }

}  // namespace

void WriteRankedFitsCsv(std::ostream& out, const std::vector<RankedFitStatistics>& rows) {
  out << "rank,code,name,average,ks_D,ad_A2,cvm_W2\n";
  for (const auto& r : rows)
    out << r.Rank << ',' << r.Code << ',' << CsvQuoted(TrimBlanks(r.Name)) << ',' << CsvNumber(r.Average) << ','
        << CsvNumber(r.Statistics.KsD) << ',' << CsvNumber(r.Statistics.AdA2) << ','
        << CsvNumber(r.Statistics.CvmW2) << "\n";
}

}  // namespace tavorix
