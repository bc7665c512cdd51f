#include "fitting/FitAll.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <cmath>
#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "core/AtomicFile.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "fitting/Catalogue.h"
#include "fitting/Composites.h"
#include "fitting/FitWorkspace.h"
#include "fitting/LineFits.h"
#include "fitting/NormalFamily.h"
#include "fitting/StudentFit.h"

namespace tavorix {

namespace {

// One step of the best-of-all order: a single fit and the progress line it
// adds afterwards; `alone` says whether the line is also added when the fit
// is preferred on its own.
struct SingleStep {
  int Code;
  const char* Line;
  bool Alone;
};

constexpr SingleStep kFirstSingles[] = {
    {3, " 3 done", true}, {4, " 4 done", true}, {5, " 5 done", true}, {6, " please wait ...", true}};
constexpr SingleStep kMiddleSingles[] = {
    {31, " 31 done", false}, {34, " 34 done", false}, {36, " 36 done", false},
    {32, " 32 done", true},  {51, " 51 done", false}, {52, " 52 done", true},
    {53, " 53 done", true},  {54, " 54 done", true},  {69, " 69 done ...", false},
    {55, " 50% completed ..", true}, {68, " 68 done", false}, {73, " 73 done", false}};
constexpr SingleStep kLateSingles[] = {
    {56, nullptr, false},       {57, " 57 done", true},  {58, " 58 done", false},
    {35, " 59 done", false},    {33, " 33 done", false}, {59, " progressing ...", true},
    {60, " 60 done", true},     {61, " Advancing ...", true}, {62, " 62 done", false},
    {64, " 64 done", true},     {65, " 65 done", false}, {66, " 66 done", true},
    {67, " 67 done", true}};

constexpr int kSimpleComposites[] = {7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
constexpr int kGeneralizedComposites[] = {70, 71, 72, 74, 80, 81, 82, 83, 84, 85};

// Choice order after code 20: each replaces the best on a strictly lower score.
constexpr int kChoiceOrder[] = {21, 22, 23, 24, 25, 26, 3,  4,  5,  6,  31, 32, 34, 36, 51, 52, 53, 54,
                                55, 56, 57, 58, 33, 35, 59, 60, 62, 63, 64, 65, 66, 67, 68, 69, 73};
constexpr int kCompositeOrder[] = {7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18,
                                   70, 71, 72, 74, 80, 81, 82, 83, 84, 85};

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
  if (!info) return false;
  const int code = info->Code;
  int chosenStudent = 62;
  switch (info->Kind) {
    case DistKind::NormalFamily:
      FitNormalFamily(run, ws, code);
      break;
    case DistKind::SimpleComposite:
      FitSimpleComposite(run, ws, code);
      break;
    case DistKind::GeneralizedComposite:
      FitGeneralizedComposite(run, ws, code);
      break;
    case DistKind::Single: {
      if (code == 62)
        chosenStudent = FitStudent(run, ws);
      else
        RunSingleFit(run, ws, code);
      auto lineOf = [&](auto const& steps) {
        for (const auto& s : steps)
          if (s.Code == code && s.Alone && s.Line) run.AddProgress(s.Line);
      };
      lineOf(kFirstSingles);
      lineOf(kMiddleSingles);
      lineOf(kLateSingles);
      break;
    }
    case DistKind::TitleOnly:
      return false;
  }
  int chosen = code;
  if (code == 62) chosen = chosenStudent;
  SanitizeSlot(run.Slots[chosen]);
  if (run.Slots[chosen].HasResult) TakeFit(run, chosen);
  return true;
}

// One step of the best-of-all run: fits that run together, the codes whose
// results they leave (in list order), and the progress lines that follow.
struct EngineStep {
  std::vector<int> Codes;
  std::function<void(TavorixRun&, FitWorkspace&)> Fit;
  std::vector<std::string> LinesAfter;
  int Cost = 0;  // rough relative cost; the dearest steps are started first
};

int CostOf(int code) {
  switch (code) {
    case 33: case 59: return 9;
    case 31: case 32: return 8;
    case 36: return 7;
    case 70: case 71: case 72: case 74: case 80: case 81: case 82: case 83: case 84: case 85: return 6;
    case 69: case 67: return 5;
    case 26: case 23: case 68: case 61: return 4;
    default: return 0;
  }
}

std::vector<EngineStep> BestOfAllSteps(const TavorixRun& run) {
  std::vector<EngineStep> steps;
  auto single = [&](const SingleStep& s) {
    EngineStep step;
    step.Codes = s.Code == 62 ? std::vector<int>{62, 63} : std::vector<int>{s.Code};
    step.Fit = [code = s.Code](TavorixRun& r, FitWorkspace& ws) { RunSingleFit(r, ws, code); };
    if (s.Line) step.LinesAfter.push_back(s.Line);
    step.Cost = CostOf(s.Code);
    steps.push_back(std::move(step));
  };
  auto composite = [&](int code, bool generalized) {
    EngineStep step;
    step.Codes = {code};
    step.Fit = [code, generalized](TavorixRun& r, FitWorkspace& ws) {
      generalized ? FitGeneralizedComposite(r, ws, code) : FitSimpleComposite(r, ws, code);
    };
    step.Cost = CostOf(code);
    steps.push_back(std::move(step));
  };
  auto normal = [&](int code, std::vector<std::string> after) {
    EngineStep step;
    step.Codes = {code};
    step.Fit = [code](TavorixRun& r, FitWorkspace& ws) { FitNormalFamily(r, ws, code); };
    step.LinesAfter = std::move(after);
    step.Cost = CostOf(code);
    steps.push_back(std::move(step));
  };

  for (const auto& s : kFirstSingles) single(s);
  if (run.CompositeOn)
    for (int code : kSimpleComposites) composite(code, false);
  for (const auto& s : kMiddleSingles) {
    if (s.Code == 73) continue;  // fitted with 68, whose score it needs
    if (s.Code != 68) {
      single(s);
      continue;
    }
    EngineStep laplace;
    laplace.Codes = {68, 73};
    laplace.Fit = [](TavorixRun& r, FitWorkspace& ws) {
      RunSingleFit(r, ws, 68);
      r.AddProgress(" 68 done");
      RunSingleFit(r, ws, 73);
    };
    laplace.LinesAfter = {" 73 done"};
    laplace.Cost = CostOf(68);
    steps.push_back(std::move(laplace));
  }
  if (run.CompositeOn)
    for (int code : kGeneralizedComposites) composite(code, true);
  for (const auto& s : kLateSingles) single(s);
  normal(20, {});
  normal(21, {});
  normal(22, {" Still working ......"});
  normal(23, run.N >= 501 ? std::vector<std::string>{" Progressing ......"} : std::vector<std::string>{});
  normal(24, {});
  normal(25, {" Iterations ...."});
  normal(26, {});
  return steps;
}

// The result of one step, fitted on a private copy of the run.
struct StepOutcome {
  TavorixRun Run;
  std::vector<std::string> Lines;
  std::exception_ptr Error;
  bool Done = false;
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
  std::vector<StepOutcome> outcomes(steps.size());

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
  auto worker = [&] {
    for (std::size_t k = next++; k < launch.size(); k = next++) {
      const std::size_t i = launch[k];
      StepOutcome result;
      RunStepOnCopy(base, steps[i], result);
      std::lock_guard<std::mutex> lock(mutex);
      outcomes[i] = std::move(result);
      outcomes[i].Done = true;
      finished.notify_all();
    }
  };
  // With several threads the workers do all the fitting and this thread
  // only takes their results over in step order; alone, it fits every step
  // itself, in launch order.
  std::vector<std::thread> pool;
  if (threads > 1)
    for (unsigned t = 0; t < threads; ++t) pool.emplace_back(worker);
  else
    worker();

  std::exception_ptr error;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    StepOutcome outcome;
    {
      std::unique_lock<std::mutex> lock(mutex);
      finished.wait(lock, [&] { return outcomes[i].Done; });
      outcome = std::move(outcomes[i]);
    }
    if (outcome.Error) {
      error = outcome.Error;
      next = launch.size();  // start nothing more; running steps finish
      break;
    }
    for (int code : steps[i].Codes) {
      run.Slots[code] = outcome.Run.Slots[code];
      AppendEntry(run, code);
    }
    for (const auto& line : outcome.Lines) run.AddProgress(line);
    for (const auto& line : steps[i].LinesAfter) run.AddProgress(line);
  }
  for (auto& t : pool) t.join();
  if (error) std::rethrow_exception(error);
}

}  // namespace

bool CompositeAdmitted(int code, int m, int n) {
  const int minimum = code == 70 ? 4 : 5;
  return m > minimum && m < n - 5;
}

void TakeFit(TavorixRun& run, int code) {
  const FitSlot& slot = run.Slots[code];
  FittedDistribution& fd = run.Fitted;
  fd.DistCode = code;
  fd.P = slot.P;
  fd.StdErrX = slot.StdErrX;
  fd.ParA = 0;
  fd.ParB = 0;
  switch (code) {
    case 31: case 32:
      fd.ParA = slot.P.E;
      fd.ParB = slot.P.S;
      break;
    case 34: case 36: case 61: case 67: case 68: case 69: case 73:
      break;  // these codes keep their parameters in their own members
    case 62: case 63:
      fd.MeanXt = slot.P.Loc;
      fd.SdXt = slot.P.Scale;
      break;
    case 20: case 21: case 23: case 24: case 25: case 26:
      fd.MeanXt = slot.P.Mean;
      fd.StdErrX = slot.P.Sigma;
      if (code != 20) fd.SdXt = slot.P.Sigma0;
      break;
    case 22:
      break;
    default:
      if (!IsComposite(code)) {
        fd.ParA = slot.P.A;
        fd.ParB = code == 6 ? 0.0 : slot.P.B;
      }
      break;
  }
}

void ChooseBestDistribution(TavorixRun& run) {
  for (int code = 20; code <= 26; ++code)
    if (run.Slots[code].Score < 0.001) run.Slots[code].Score = 1000;
  auto scoreOf = [&](int code) {
    const FitSlot& s = run.Slots[code];
    if (!s.Ran || !s.HasResult || !std::isfinite(s.Score)) return 1000.0;
    return s.Score;
  };
  double best = scoreOf(20);
  int bestCode = 20;
  for (int code : kChoiceOrder) {
    const double s = scoreOf(code);
    if (s < best) {
      best = s;
      bestCode = code;
    }
  }
  if (run.CompositeOn) {
    const double bestSingle = best;
    for (int code : kCompositeOrder) {
      const FitSlot& slot = run.Slots[code];
      if (!slot.Ran || !slot.HasResult) continue;
      const double s = scoreOf(code);
      if (s < best && s < bestSingle && CompositeAdmitted(code, slot.P.BreakCount, run.N)) {
        best = s;
        bestCode = code;
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

// The list as every reader of the program splits a file: CR LF, LF and a
// lone CR each end a line.
LineSet ReadListLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw TavorixError(FileOpenErrorText(path));
  return ReadLines(in);
}

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

void SortRankedList(const std::string& path) {
  const LineSet lines = ReadListLines(path);
  const bool sevenLines = lines.size() > 5 && lines[5].compare(0, 5, " Name") == 0;
  const std::size_t header = std::min<std::size_t>(sevenLines ? 7 : 5, lines.size());
  std::vector<RankedEntry> entries;
  const std::size_t count = (lines.size() - header) / 3;
  for (std::size_t e = 0; e < count; ++e) {
    const std::size_t at = header + 3 * e;
    entries.push_back({0, lines[at], ParseAverage(lines[at + 1])});
  }
  SortByAverage(entries);
  WriteFileAtomically(path, [&](std::ostream& out) {
    for (std::size_t i = 0; i < header; ++i) out << lines[i] << "\r\n";
    for (const auto& e : entries) out << e.Name << "\r\n" << AverageLine(e.Average) << "\r\n\r\n";
  });
}

}  // namespace tavorix
