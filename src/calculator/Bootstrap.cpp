#include "calculator/Bootstrap.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <numeric>
#include <ostream>
#include <thread>

#include "core/DataPreparation.h"
#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/UDMTavorix.h"
#include "fitting/Composites.h"
#include "fitting/FitAll.h"
#include "fitting/FittedModel.h"
#include "fitting/Registry.h"
#include "fitting/Sampling.h"
#include "report/ParameterFile.h"
#include "report/RunPipeline.h"

namespace tavorix {

namespace {

// The calculator's parameters of a fit, as reading its parameter file gives them.
CalcParameters CalcParametersOf(const FittedDistribution& fit, double shift) {
  CalcParameters prm;
  prm.Found = true;
  prm.Code = fit.DistCode;
  prm.P = fit.P;
  prm.Shift = shift;
  if (IsComposite(prm.Code)) prm.FP = CompositePartFc(prm.Code, prm.P, prm.P.Composite.BreakPoint, true);
  return prm;
}

// The preference text that fits a code alone: its own, or that of the row
// whose fit also fits it (63 by the Student fit "62").
std::string PreferenceOf(int code) {
  const DistributionInfo* d = FindDistribution(code);
  if (d && d->Preference.empty() && d->FittedWith != 0) d = FindDistribution(d->FittedWith);
  return d ? std::string(d->Preference) : std::string();
}

bool NearlyEqual(double a, double b) {
  return std::fabs(a - b) <= 1e-8 * std::max(std::fabs(a), std::fabs(b)) + 1e-300;
}

bool FiniteStatistics(const GoodnessOfFit& g) {
  return std::isfinite(g.KsD) && std::isfinite(g.AdA2) && std::isfinite(g.CvmW2);
}

// Share of the values at least `observed`; NaN for none.
double ShareAtLeast(const std::vector<double>& values, double observed) {
  if (values.empty()) return NAN;
  const auto n = std::count_if(values.begin(), values.end(), [&](double v) { return v >= observed; });
  return static_cast<double>(n) / static_cast<double>(values.size());
}

double NormalF(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

// The bias correction of the percentile interval: z of the share of the
// replicas' X below X of the fit (ties count half), kept within half a
// replica of 0 and 1.
double MedianBiasZ(const std::vector<double>& sorted, double x) {
  if (sorted.empty()) return 0.0;
  const auto below = std::lower_bound(sorted.begin(), sorted.end(), x) - sorted.begin();
  const auto ties = std::upper_bound(sorted.begin(), sorted.end(), x) - sorted.begin() - below;
  const double n = static_cast<double>(sorted.size());
  const double share = (static_cast<double>(below) + 0.5 * static_cast<double>(ties)) / n;
  return StandardNormalQuantile(std::clamp(share, 0.5 / n, 1.0 - 0.5 / n));
}

}  // namespace


double SortedQuantile(const std::vector<double>& sorted, double p) {
  if (sorted.empty()) return NAN;
  const double h = (static_cast<double>(sorted.size()) - 1.0) * std::clamp(p, 0.0, 1.0);
  const auto lo = static_cast<std::size_t>(std::floor(h));
  if (lo + 1 >= sorted.size()) return sorted.back();
  return sorted[lo] + (h - static_cast<double>(lo)) * (sorted[lo + 1] - sorted[lo]);
}

BootstrapSeries FitBootstrapSeries(const std::vector<double>& values, int code, bool compositeOn,
                                   CancelFlag cancel) {
  BootstrapSeries s;
  s.Preference = PreferenceOf(code);
  s.CompositeOn = compositeOn;
  if (s.Preference.empty() || s.Preference == "1") throw TavorixError(kBootstrapFitFailed);
  auto run = std::make_unique<TavorixRun>();
  PrepareValues(*run, values);
  run->PreferredCode = s.Preference;
  run->Cancel = cancel;
  FitAllDistributions(*run);
  if (run->NoVariation) throw TavorixError(kNoVariationMessage);
  if (run->Fitted.DistCode == 0) throw TavorixError(kBootstrapFitFailed);
  s.Fit = run->Fitted;
  s.Shift = run->Shift;
  s.N = run->N;
  if (!CanSample(FittedModel(s.Fit, s.Shift))) throw TavorixError(kBootstrapNotAvailable);
  s.Observed = ChosenFitStatistics(*run);
  s.Calc.Param = CalcParametersOf(s.Fit, s.Shift);
  s.Calc.Data.N = s.N;
  s.Calc.Data.Values = values;
  return s;
}

BootstrapSeries LoadBootstrapSeries(const std::string& outPath, CancelFlag cancel) {
  CalcInputs in = ReadCalcInputs(outPath);
  if (!in.Param.Found || !CalcCodeKnown(in.Param.Code)) throw TavorixError(kCalcNoParameters);
  if (!DesignValuesAvailable(in.Param.Code)) throw TavorixError(kDesignNotAvailable);
  TDMTavorix dm;
  dm.FileName = WithExtension(outPath, ".inp");
  dm.ReadInputFile();
  BootstrapSeries s = FitBootstrapSeries(in.Data.Values, in.Param.Code, dm.CompositeAllowed, cancel);

  // The fit of the data must be the one the parameter file holds.
  FittedDistribution fromFile;
  fromFile.DistCode = in.Param.Code;
  fromFile.P = in.Param.P;
  const auto named = NamedParameters(s.Fit, s.Shift);
  const auto namedInFile = NamedParameters(fromFile, in.Param.Shift);
  bool same = s.Fit.DistCode == in.Param.Code && named.size() == namedInFile.size() &&
              NearlyEqual(s.Shift, in.Param.Shift);
  for (std::size_t k = 0; same && k < named.size(); ++k) same = NearlyEqual(named[k].second, namedInFile[k].second);
  if (!same) throw TavorixError(kBootstrapInputChanged);
  s.Calc = std::move(in);
  return s;
}

void DrawReplicaData(const BootstrapSeries& series, std::uint64_t seed, int index, std::vector<double>& values) {
  std::mt19937_64 rng = ReplicaStream(seed, static_cast<std::uint64_t>(index));
  const FittedModel model(series.Fit, series.Shift);
  values.resize(static_cast<std::size_t>(series.N));
  for (double& v : values) {
    const InverseResult x = QuantileOf(model, UniformFrequency(rng));
    v = x.Ok ? model.ToInput(x.X) : NAN;  // refused by the preparation: a failed replica
  }
}

ReplicaOutcome RunReplica(const BootstrapSeries& series, const BootstrapOptions& options, int index,
                          std::vector<double>* data) {
  ReplicaOutcome out;
  std::vector<double> local;
  std::vector<double>& values = data ? *data : local;
  DrawReplicaData(series, options.Seed, index, values);
  try {
    auto run = std::make_unique<TavorixRun>();
    PrepareValues(*run, values);
    run->PreferredCode = options.Reselect ? "1" : series.Preference;
    run->CompositeOn = options.Reselect && series.CompositeOn;
    run->FitThreads = 1;  // the replicas themselves keep the processors busy
    run->Cancel = options.Cancel;
    FitAllDistributions(*run);
    if (run->NoVariation || run->Fitted.DistCode == 0) return out;
    out.Code = run->Fitted.DistCode;
    out.Statistics = ChosenFitStatistics(*run);
    if (!FiniteStatistics(out.Statistics) || !CalcCodeKnown(out.Code)) return out;
    const ValueCalculator calc(CalcParametersOf(run->Fitted, run->Shift), CalcData{series.N, values});
    out.X.reserve(options.Periods.size());
    for (double t : options.Periods) {
      const std::optional<double> x = calc.At(FrequencyOfReturnPeriod(t)).X;
      if (!x || !std::isfinite(*x)) return out;
      out.X.push_back(*x);
    }
    out.Ok = true;
  } catch (const RunCancelled&) {
    throw;
  } catch (const std::exception&) {
    // Data the preparation refuses, a fit that throws: a failed replica.
  }
  return out;
}

BootstrapResult RunBootstrap(const BootstrapSeries& series, const BootstrapOptions& options) {
  const int total = std::max(0, options.Replicas);
  BootstrapResult result;
  result.Code = series.Fit.DistCode;
  result.N = series.N;
  result.Replicas = total;
  result.Level = options.Level;
  result.Seed = options.Seed;
  result.Reselect = options.Reselect;
  result.Observed = series.Observed;
  const DesignTable design = MakeDesignTable(series.Calc, options.Periods);

  std::vector<ReplicaOutcome> outcomes(static_cast<std::size_t>(total));
  unsigned threads = options.Jobs > 0 ? static_cast<unsigned>(options.Jobs) : std::thread::hardware_concurrency();
  threads = std::clamp(threads, 1u, static_cast<unsigned>(std::max(1, total)));
  std::atomic<int> next{0};
  std::mutex mutex;
  std::condition_variable changed;
  int done = 0, running = static_cast<int>(threads);
  bool stopped = false;
  std::exception_ptr error;
  auto worker = [&] {
    std::vector<double> data;
    for (int i = next++; i < total; i = next++) {
      try {
        ThrowIfCancelled(options.Cancel);
        outcomes[static_cast<std::size_t>(i)] = RunReplica(series, options, i, &data);
      } catch (...) {
        std::lock_guard lock(mutex);
        if (!error) error = std::current_exception();
        next = total;  // start no more replicas
        break;
      }
      std::lock_guard lock(mutex);
      ++done;
      changed.notify_all();
    }
    std::lock_guard lock(mutex);
    --running;
    changed.notify_all();
  };
  std::vector<std::thread> pool;
  for (unsigned t = 0; t < threads; ++t) pool.emplace_back(worker);
  {
    // Progress at most five times a second, from this thread.
    std::unique_lock lock(mutex);
    auto reported = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    while (running > 0) {
      changed.wait_for(lock, std::chrono::milliseconds(200));
      const auto now = std::chrono::steady_clock::now();
      if (options.Progress && now - reported >= std::chrono::milliseconds(200)) {
        reported = now;
        const int finished = done;
        lock.unlock();
        options.Progress(finished, total);
        lock.lock();
      }
    }
    stopped = error != nullptr;
  }
  for (auto& t : pool) t.join();
  if (stopped) std::rethrow_exception(error);
  if (options.Progress) options.Progress(total, total);

  std::vector<double> ks, ad, cvm;
  for (const ReplicaOutcome& o : outcomes) {
    if (options.Reselect && o.Code != 0) ++result.Chosen[o.Code];
    if (!o.Ok) {
      ++result.Failed;
      continue;
    }
    ks.push_back(o.Statistics.KsD);
    ad.push_back(o.Statistics.AdA2);
    cvm.push_back(o.Statistics.CvmW2);
  }
  result.PKs = ShareAtLeast(ks, series.Observed.KsD);
  result.PAd = ShareAtLeast(ad, series.Observed.AdA2);
  result.PCvm = ShareAtLeast(cvm, series.Observed.CvmW2);

  const double tail = (1.0 - options.Level) / 2.0;
  const double zLow = StandardNormalQuantile(tail), zHigh = -zLow;
  std::vector<double> xs;
  for (std::size_t j = 0; j < options.Periods.size(); ++j) {
    BootstrapRow row;
    row.Period = options.Periods[j];
    row.F = FrequencyOfReturnPeriod(row.Period);
    if (j < design.Rows.size()) row.X = design.Rows[j].Value.X;
    xs.clear();
    for (const ReplicaOutcome& o : outcomes)
      if (o.Ok) xs.push_back(o.X[j]);
    std::sort(xs.begin(), xs.end());
    const double z0 = row.X ? MedianBiasZ(xs, *row.X) : 0.0;
    row.Lower = SortedQuantile(xs, NormalF(2 * z0 + zLow));
    row.Upper = SortedQuantile(xs, NormalF(2 * z0 + zHigh));
    row.Median = SortedQuantile(xs, 0.5);
    result.Rows.push_back(row);
  }
  return result;
}

std::vector<std::vector<std::string>> DesignTableCells(const DesignTable& table, const BootstrapResult& boot) {
  auto shown = [](double v) { return std::isfinite(v) ? FormatGeneral(v) : std::string("n.a"); };
  std::vector<std::vector<std::string>> cells = DesignTableCells(table);
  for (const char* h : {"Xl_boot", "Xu_boot", "p_ks", "p_ad", "p_cvm"}) cells[0].emplace_back(h);
  for (std::size_t r = 1; r < cells.size(); ++r) {
    const bool has = r - 1 < boot.Rows.size();
    for (double v : {has ? boot.Rows[r - 1].Lower : NAN, has ? boot.Rows[r - 1].Upper : NAN, boot.PKs, boot.PAd,
                     boot.PCvm})
      cells[r].push_back(shown(v));
  }
  return cells;
}

void WriteDesignTableCsv(std::ostream& out, const DesignTable& table, const BootstrapResult& boot) {
  for (const auto& row : DesignTableCells(table, boot)) {
    for (std::size_t c = 0; c < row.size(); ++c) out << (c ? "," : "") << row[c];
    out << "\n";
  }
}

}  // namespace tavorix
