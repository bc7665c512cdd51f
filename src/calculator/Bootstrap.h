#pragma once
// Parametric bootstrap of a finished run: each replica draws N values from
// the fitted distribution, fits them as the run fitted its data (the same
// code preferred; with Reselect the best of all, with the composites when
// the run allowed them) and forms X at each return period as the
// calculator does. The spread of the replicas' X gives a percentile
// interval of X; the share of replicas whose goodness-of-fit statistic is at
// least the observed one is its p-value (the way to get p-values when the
// parameters come from the same data).
//
// Every replica draws from a random stream of its own (seed and replica
// index), and the results are gathered by index, so the numbers depend on
// the seed alone, not on the number of threads.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "calculator/Calculator.h"
#include "calculator/DesignTable.h"
#include "core/DataPreparation.h"
#include "core/RunCancel.h"
#include "fitting/TavorixRun.h"
#include "fitting/FitStatistics.h"

namespace tavorix {

inline constexpr int kDefaultReplicas = 1000;
inline constexpr double kDefaultBootstrapLevel = 0.90;
inline constexpr std::uint64_t kDefaultBootstrapSeed = 1;
// An interval from fewer successful replicas than this share is marked.
inline constexpr double kFewestSuccessfulShare = 0.90;

inline constexpr const char* kBootstrapNotAvailable =
    " A bootstrap is not available for this distribution: no values can be drawn from it";
inline constexpr const char* kBootstrapFitFailed =
    " The distribution of the results cannot be fitted again on the input data: run the series again";
inline constexpr const char* kBootstrapInputChanged =
    " The results do not belong to the input file as it is now: run the series again";
inline constexpr const char* kBootstrapMarkedNote =
    " * fewer than 90% of the replicas succeeded: the interval stands on the replicas that did";

// The fitted series a bootstrap starts from.
struct BootstrapSeries {
  // The parameter file and the data as the calculator reads them: X of the
  // fit at each return period is the design value of the calculator.
  CalcInputs Calc;
  // The fit made again on the data, with every value of its record: the
  // distribution the replicas draw from.
  FittedDistribution Fit;
  double Shift = 0;
  int N = 0;
  // The preference that fits the code again ("39" for 36, "62" for 63).
  std::string Preference;
  bool CompositeOn = false;  // the input file allows composite distributions
  GoodnessOfFit Observed;    // the statistics of the fit at the data
};

// The series of values (input units, input order) fitted with the code
// preferred, the calculator's inputs made from that fit. Throws TavorixError
// with the data's messages when the values are refused, kBootstrapFitFailed
// when the code finds no fit and kBootstrapNotAvailable when no values can
// be drawn from it.
BootstrapSeries FitBootstrapSeries(const std::vector<double>& values, int code, bool compositeOn,
                                   CancelFlag cancel = nullptr);

// The same for the results file at outPath: the ".inp" and ".aux" beside it.
// The code of the parameter file is fitted again on the input file's data;
// when that fit differs from the parameter file, the input file was changed
// after the run: TavorixError with kBootstrapInputChanged. A code without X
// from a frequency (Gamma) is refused with kDesignNotAvailable.
BootstrapSeries LoadBootstrapSeries(const std::string& outPath, CancelFlag cancel = nullptr);

struct BootstrapOptions {
  int Replicas = kDefaultReplicas;
  std::vector<double> Periods = kStandardReturnPeriods;
  double Level = kDefaultBootstrapLevel;
  std::uint64_t Seed = kDefaultBootstrapSeed;
  int Jobs = 0;           // replicas fitted side by side; 0 = one per processor
  bool Reselect = false;  // best of all in every replica
  CancelFlag Cancel = nullptr;
  // Replicas finished of all; called on the calling thread, now and then and
  // once at the end.
  std::function<void(int done, int total)> Progress;
};

struct BootstrapRow {
  double Period = 0;
  double F = 0;               // 1 - 1/T
  std::optional<double> X;    // X of the fit (empty where the calculator has none)
  // Percentile interval at the level and median of the successful
  // replicas' X; NaN when no replica succeeded.
  double Lower = 0, Upper = 0, Median = 0;
};

struct BootstrapResult {
  int Code = 0;
  int N = 0;
  int Replicas = 0;
  int Failed = 0;  // no fit, data refused, or no X at some period
  double Level = 0;
  std::uint64_t Seed = 0;
  bool Reselect = false;
  std::vector<BootstrapRow> Rows;
  GoodnessOfFit Observed;
  // Share of the successful replicas whose statistic is at least the
  // observed one; NaN when none succeeded.
  double PKs = 0, PAd = 0, PCvm = 0;
  // Reselect: how often each code was chosen (every replica that chose one).
  std::map<int, int> Chosen;

  int Successful() const { return Replicas - Failed; }
  // Fewer than 90% of the replicas succeeded.
  bool Marked() const { return Successful() < kFewestSuccessfulShare * Replicas; }
};

// Runs the replicas. Throws RunCancelled when options.Cancel is set.
BootstrapResult RunBootstrap(const BootstrapSeries& series, const BootstrapOptions& options);

// One replica, as RunBootstrap runs replica `index`: its data (input units,
// drawn order), the code it chose (0 when the fit failed), its statistics
// and X at every period of the options; Ok false when it failed.
struct ReplicaOutcome {
  bool Ok = false;
  int Code = 0;
  GoodnessOfFit Statistics;
  std::vector<double> X;
};
ReplicaOutcome RunReplica(const BootstrapSeries& series, const BootstrapOptions& options, int index,
                          std::vector<double>* data = nullptr);

// The values (input units) that replica `index` draws from the series' fit.
void DrawReplicaData(const BootstrapSeries& series, std::uint64_t seed, int index, std::vector<double>& values);


// The design table's cells (DesignTableCells) with the bootstrap's columns
// Xl_boot, Xu_boot, p_ks, p_ad and p_cvm after them (the p-values, which
// belong to the fit, on every row); "n.a" where a value has none. The
// bootstrap was made at the table's return periods.
std::vector<std::vector<std::string>> DesignTableCells(const DesignTable& table, const BootstrapResult& boot);
// The same as CSV with a header line, LF line ends.
void WriteDesignTableCsv(std::ostream& out, const DesignTable& table, const BootstrapResult& boot);

// The value at share p (0..1) of sorted values, interpolated between the
// two nearest (the sample quantile of type 7); NaN for no values.
double SortedQuantile(const std::vector<double>& sorted, double p);

}  // namespace tavorix
