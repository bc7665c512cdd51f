#pragma once
// Goodness-of-fit statistics of the fits of an engine run: Kolmogorov-Smirnov
// D, Anderson-Darling A2 and Cramer-von Mises W2, from each fit's calculated
// cumulative frequency at the ranked data. They are shown beside the average
// difference; the ranking and the choice do not use them.

#include <iosfwd>
#include <string>
#include <vector>

#include "fitting/TavorixRun.h"

namespace tavorix {

struct GoodnessOfFit {
  double KsD = 0;
  double AdA2 = 0;
  double CvmW2 = 0;
};

// The three statistics of the calculated frequencies f (one per datum, any
// order; f is sorted ascending in place). For the logarithms of A2 each
// frequency is kept within [1e-12, 1 - 1e-12]. An empty f gives zeros.
GoodnessOfFit GoodnessOfFitOf(std::vector<double>& f);

// Evaluates fits of a finished engine run at the run's ranked data: a fit's
// result slot is taken over into a private fitted-distribution record, as
// the choice takes over the winner, and evaluated by the fitted-curve stage
// (the same guards as the report). The buffers are sized once, so evaluating
// every fit of the run allocates nothing per fit.
class FitEvaluator {
 public:
  explicit FitEvaluator(const TavorixRun& run);

  // Calculated frequency of the fit `code` at X[1..N] (index 0 unused).
  const std::vector<long double>& FrequenciesOf(int code);
  const std::vector<long double>& FrequenciesOf(const FittedDistribution& fitted);

  GoodnessOfFit StatisticsOf(int code);
  GoodnessOfFit StatisticsOf(const FittedDistribution& fitted);

 private:
  GoodnessOfFit FromCurve();

  TavorixRun scratch_;
  std::vector<double> f_;
};

// One row of the ranked list with the statistics of its fit.
struct RankedFitStatistics {
  int Rank = 0;  // 1 for the first row of the ranked list file
  int Code = 0;
  std::string Name;    // list name, with its leading blank
  double Average = 0;  // 100 * score / N, as in the ranked list
  GoodnessOfFit Statistics;
};

// The run's ranked entries in the order of the ranked list file after its
// sorting: by the averages as the file shows them (four decimals), equal
// ones in the order the fits ran.
std::vector<RankedEntry> RankedInFileOrder(const TavorixRun& run);

// Every ranked fit of a best-of-all run with its statistics, in file order.
// Empty for a preferred run (it has no ranked list).
std::vector<RankedFitStatistics> RankedFitsWithStatistics(const TavorixRun& run);

// Statistics of the distribution the run chose (or the preferred one).
GoodnessOfFit ChosenFitStatistics(const TavorixRun& run);

// CSV of the ranked fits, LF line ends: a header line "rank,code,name,
// average,ks_D,ad_A2,cvm_W2", then one row per fit; the name without its
// leading and trailing blanks, quoted; numbers in their shortest round-trip form.
void WriteRankedFitsCsv(std::ostream& out, const std::vector<RankedFitStatistics>& rows);

}  // namespace tavorix
