#include "fitting/FitAll.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <cmath>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "core/TavorixError.h"
#include "fitting/Registry.h"
#include "fitting/Composites.h"
#include "fitting/FitWorkspace.h"
#include "fitting/LineFits.h"
#include "fitting/NormalFamily.h"
#include "fitting/StudentFit.h"

namespace tavorix {

namespace {

// The rows of the registry that take part in the run, sorted by a column;
// rows where the column is 0 take no part.
template <class Key>
std::vector<const DistributionInfo*> RowsBy(Key key) {
  std::vector<const DistributionInfo*> rows;
  for (const DistributionInfo& d : Registry())
    if (key(d) > 0) rows.push_back(&d);
  std::stable_sort(rows.begin(), rows.end(),
                   [&](const DistributionInfo* a, const DistributionInfo* b) { return key(*a) < key(*b); });
  return rows;
}

// A score that is not a finite number marks a failed fit: it never wins and
// has no list entry.
void SanitizeSlot(FitSlot& slot) {
  if (!std::isfinite(slot.Score)) {
    slot.Score = 1000;
    slot.Listed = false;
  }
}

void AppendEntry(TavorixRun& run, int code) {
  FitSlot& slot = run.Slots[code];
  SanitizeSlot(slot);
  if (!run.BestOfAll() || !slot.Ran || !slot.Listed) return;
  run.RankedList.push_back({code, std::string(ListName(code)), AverageOf(slot.Score, run.N)});
}

// Runs the preferred fit alone. Returns false when the text names no fit.
bool RunPreferred(TavorixRun& run, FitWorkspace& ws) {
  const DistributionInfo* info = FindByPreference(run.PreferredCode);
  if (!info || !info->Fit) return false;
  const int chosen = info->Fit(run, ws, info->Code);
  if (info->LinesWhenAlone) AddStepLines(run, *info);
  SanitizeSlot(run.Slots[chosen]);
  if (run.Slots[chosen].HasResult) TakeFit(run, chosen);
  return true;
}

// One step of the best-of-all run: fits that run together and the codes
// whose results they leave (in list order).
struct EngineStep {
  std::vector<int> Codes;
  std::function<void(TavorixRun&, FitWorkspace&)> Fit;
  int Cost = 0;  // rough relative cost; the dearest steps are started first
};

// The steps in fit order: every row with its own step, joined by the rows
// fitted with it (63 with 62, 73 with 68); the composites only with the
// composite option. Each fit is followed by its progress lines (composite
// fits add their own).
std::vector<EngineStep> BestOfAllSteps(const TavorixRun& run) {
  std::vector<EngineStep> steps;
  const auto rows = RowsBy([](const DistributionInfo& d) { return d.FitStep; });
  for (const DistributionInfo* d : rows) {
    if (d->FittedWith != 0) continue;
    if (IsCompositeKind(d->Kind) && !run.CompositeOn) continue;
    EngineStep step;
    std::vector<const DistributionInfo*> members{d};
    for (const DistributionInfo* other : rows)
      if (other->FittedWith == d->Code) members.push_back(other);
    for (const DistributionInfo* m : members) step.Codes.push_back(m->Code);
    if (d->StepFit) {
      step.Fit = [members, stepFit = d->StepFit](TavorixRun& r, FitWorkspace& ws) {
        stepFit(r, ws);
        for (const DistributionInfo* m : members)
          if (!IsCompositeKind(m->Kind)) AddStepLines(r, *m);
      };
    } else {
      step.Fit = [members](TavorixRun& r, FitWorkspace& ws) {
        for (const DistributionInfo* m : members) {
          if (m->Fit) m->Fit(r, ws, m->Code);
          if (!IsCompositeKind(m->Kind)) AddStepLines(r, *m);
        }
      };
    }
    step.Cost = d->Cost;
    steps.push_back(std::move(step));
  }
  return steps;
}

// The result of one step, fitted on a private copy of the run.
struct StepOutcome {
  TavorixRun Run;
  std::vector<std::string> Lines;
  std::exception_ptr Error;
};

void RunStepOnCopy(const TavorixRun& run, const EngineStep& step, StepOutcome& outcome) {
  try {
    run.ThrowIfCancelled();
    outcome.Run = run;
    outcome.Run.FitThreads = 1;  // the steps themselves keep the processors busy
    outcome.Run.Progress = [&outcome](std::string_view line) { outcome.Lines.emplace_back(line); };
    FitWorkspace ws;
    ws.Prepare(outcome.Run);
    step.Fit(outcome.Run, ws);
    outcome.Run.Progress = nullptr;
  } catch (...) {
    outcome.Error = std::current_exception();
  }
}

// Runs the steps, several at a time when the machine has the processors.
// Each step fits on its own copy of the run and workspace; the results are
// taken over strictly in step order, so slots, list and progress lines are
// the same whatever the number of threads.
void RunBestOfAllSteps(TavorixRun& run, const std::vector<EngineStep>& steps) {
  unsigned threads = run.FitThreads > 0 ? static_cast<unsigned>(run.FitThreads) : std::thread::hardware_concurrency();
  threads = std::clamp(threads, 1u, 16u);
  // Each outcome holds a whole run: made by the worker that fits the step,
  // not all at once here before any fitting starts.
  std::vector<std::unique_ptr<StepOutcome>> outcomes(steps.size());

  // Dearest steps first; equal costs in step order.
  std::vector<std::size_t> launch(steps.size());
  for (std::size_t i = 0; i < launch.size(); ++i) launch[i] = i;
  std::stable_sort(launch.begin(), launch.end(),
                   [&](std::size_t a, std::size_t b) { return steps[a].Cost > steps[b].Cost; });

  // The steps fit on copies of the run as it stands now; the run itself
  // takes the results over while they go on.
  const TavorixRun base = run;
  std::mutex mutex;
  std::condition_variable finished;
  std::atomic<std::size_t> next{0};
  // A long series takes minutes: it says how far the steps are as each ends.
  // The lines go out one at a time, in the order the steps end.
  std::mutex progressMutex;
  std::size_t stepsDone = 0;
  const bool stepLines = run.N > run.StepProgressFrom;
  auto worker = [&] {
    for (std::size_t k = next++; k < launch.size(); k = next++) {
      const std::size_t i = launch[k];
      auto result = std::make_unique<StepOutcome>();
      RunStepOnCopy(base, steps[i], *result);
      if (stepLines && !result->Error) {
        std::lock_guard<std::mutex> lock(progressMutex);
        run.AddProgress(" Fitted " + std::to_string(++stepsDone) + " of " + std::to_string(steps.size()) +
                        " fitting steps .....");
      }
      std::lock_guard<std::mutex> lock(mutex);
      outcomes[i] = std::move(result);
      finished.notify_all();
    }
  };
  // With several threads the workers do all the fitting and this thread
  // only takes their results over in step order; alone, it fits every step
  // itself, in launch order.
  // Where the system lets fewer threads start (a process limit), fewer
  // workers fit; where none, this thread fits every step.
  std::vector<std::thread> pool;
  if (threads > 1) {
    try {
      for (unsigned t = 0; t < threads; ++t) pool.emplace_back(worker);
    } catch (const std::system_error&) {
    }
  }
  if (pool.empty()) worker();

  std::exception_ptr error;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    std::unique_ptr<StepOutcome> outcome;
    {
      std::unique_lock<std::mutex> lock(mutex);
      finished.wait(lock, [&] { return outcomes[i] != nullptr; });
      outcome = std::move(outcomes[i]);
    }
    if (outcome->Error) {
      error = outcome->Error;
      next = launch.size();  // start nothing more; running steps finish
      break;
    }
    for (int code : steps[i].Codes) {
      run.Slots[code] = outcome->Run.Slots[code];
      AppendEntry(run, code);
    }
    std::lock_guard<std::mutex> lock(progressMutex);
    for (const auto& line : outcome->Lines) run.AddProgress(line);
  }
  for (auto& t : pool) t.join();
  if (error) std::rethrow_exception(error);
}

}  // namespace

bool CompositeAdmitted(int code, int m, int n) {
  const DistributionInfo* d = FindDistribution(code);
  return d && d->FewestLowerData > 0 && m >= d->FewestLowerData && m < n - 5;
}

void TakeFit(TavorixRun& run, int code) {
  const FitSlot& slot = run.Slots[code];
  FittedDistribution& fd = run.Fitted;
  fd.DistCode = code;
  fd.P = slot.P;
  fd.StdErrX = slot.StdErrX;
  const DistributionInfo* d = FindDistribution(code);
  switch (d ? d->Hand : HandOver::None) {
    case HandOver::Student:
      fd.MeanXt = slot.P.Student.Mean;
      fd.SdXt = slot.P.Student.Spread;
      break;
    case HandOver::NormalSearched:
      fd.SdXt = slot.P.Normal.Sigma0;
      [[fallthrough]];
    case HandOver::NormalPlain:
      fd.MeanXt = slot.P.Normal.Mean;
      fd.StdErrX = slot.P.Normal.Sigma;
      break;
    default:
      break;
  }
}

void ChooseBestDistribution(TavorixRun& run) {
  for (const DistributionInfo& d : Registry())
    if (d.Kind == DistKind::NormalFamily && run.Slots[d.Code].Score < 0.001) run.Slots[d.Code].Score = 1000;
  auto scoreOf = [&](int code) {
    const FitSlot& s = run.Slots[code];
    if (!s.Ran || !s.HasResult || !std::isfinite(s.Score)) return 1000.0;
    return s.Score;
  };
  const auto order = RowsBy([](const DistributionInfo& d) { return d.ChoicePlace; });
  int bestCode = 0;
  double best = 0;
  for (const DistributionInfo* d : order) {
    if (IsCompositeKind(d->Kind)) continue;
    const double s = scoreOf(d->Code);
    if (bestCode == 0 || s < best) {
      best = s;
      bestCode = d->Code;
    }
  }
  if (run.CompositeOn) {
    const double bestSingle = best;
    for (const DistributionInfo* d : order) {
      if (!IsCompositeKind(d->Kind)) continue;
      const FitSlot& slot = run.Slots[d->Code];
      if (!slot.Ran || !slot.HasResult) continue;
      const double s = scoreOf(d->Code);
      if (s < best && s < bestSingle && CompositeAdmitted(d->Code, slot.P.Composite.BreakCount, run.N)) {
        best = s;
        bestCode = d->Code;
      }
    }
  }
  TakeFit(run, bestCode);
}

void FitAllDistributions(TavorixRun& run) {
  FitWorkspace ws;
  ws.Prepare(run);
  // Raw data without spread: no fit at all.
  for (int i = 1; i <= run.N; ++i) {
    ws.Xt[i] = ws.X[i];
    ws.Ft[i] = ws.Fr[i];
  }
  Regression(ws.Line, ws.Xt.data(), ws.Ft.data());
  if (run.N < 2 || ws.Line.NoVariation) {
    run.NoVariation = true;
    return;
  }
  if (run.PreferredCode.size() > 4) run.PreferredCode.resize(4);
  run.NormalEvalOnly = false;
  run.Slots = {};
  run.RankedList.clear();
  run.FcCalc.assign(run.N + 1, 0.0L);

  if (!run.BestOfAll()) {
    RunPreferred(run, ws);
    return;
  }

  RunBestOfAllSteps(run, BestOfAllSteps(run));
  if (run.N >= 201 && run.FitStarted) {
    run.AddProgress(" Continuing .....");
    run.FitStarted = false;
  }

  ChooseBestDistribution(run);
}

std::string AverageLine(double average) {
  // Room for the widest double in fixed notation (309 digits, sign, point,
  // 4 decimals): an average read back from a damaged list can be that large.
  char buf[320];
  auto res = std::to_chars(buf, buf + sizeof buf, average, std::chars_format::fixed, 4);
  std::string value(buf, res.ptr);
  if (value.size() < 6) value.insert(0, 6 - value.size(), ' ');
  return " Average = " + value;
}

void WriteRankedList(std::ostream& out, const std::string& fileName, const std::vector<RankedEntry>& entries) {
  const char* crlf = "\r\n";
  out << kRankedListFirstLine << crlf
      << " observed and calcuated cumulative frequency values (in %)." << crlf << crlf
      << " The lower the average, the better the distribution fit. Averages are ranked." << crlf
      << crlf << " Name of this file : " << fileName << crlf << crlf;
  for (const auto& e : entries) out << e.Name << crlf << AverageLine(e.Average) << crlf << crlf;
}

namespace {

double ParseAverage(const std::string& line) {
  // " Average =" then a real number.
  std::string rest = line.size() > 10 ? line.substr(10) : std::string();
  const auto first = rest.find_first_not_of(' ');
  if (first == std::string::npos) return 0;
  double v = 0;
  std::from_chars(rest.data() + first, rest.data() + rest.size(), v);
  return v;
}

// Ascending averages by adjacent exchanges, only when the later value is
// strictly smaller: equal averages keep their order.
void SortByAverage(std::vector<RankedEntry>& entries) {
  for (std::size_t pass = 0; pass + 1 < entries.size(); ++pass)
    for (std::size_t i = 0; i + 1 < entries.size() - pass; ++i)
      if (entries[i + 1].Average < entries[i].Average) std::swap(entries[i], entries[i + 1]);
}

}  // namespace

std::vector<RankedEntry> SortedByPrintedAverage(std::vector<RankedEntry> entries) {
  // Each average becomes the value its line shows, which prints as the same line.
  for (auto& e : entries) e.Average = ParseAverage(AverageLine(e.Average));
  SortByAverage(entries);
  return entries;
}

}  // namespace tavorix
