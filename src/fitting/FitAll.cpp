#include "fitting/FitAll.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "core/AtomicFile.h"
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

void RunSingleStep(TavorixRun& run, FitWorkspace& ws, const SingleStep& step) {
  RunSingleFit(run, ws, step.Code);
  if (step.Code == 62) {
    AppendEntry(run, 62);
    AppendEntry(run, 63);
  } else {
    AppendEntry(run, step.Code);
  }
  if (step.Line) run.AddProgress(step.Line);
}

void RunNormal(TavorixRun& run, FitWorkspace& ws, int code) {
  FitNormalFamily(run, ws, code);
  AppendEntry(run, code);
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

  for (const auto& step : kFirstSingles) RunSingleStep(run, ws, step);
  if (run.CompositeOn)
    for (int code : kSimpleComposites) {
      FitSimpleComposite(run, ws, code);
      AppendEntry(run, code);
    }
  for (const auto& step : kMiddleSingles) RunSingleStep(run, ws, step);
  if (run.CompositeOn)
    for (int code : kGeneralizedComposites) {
      FitGeneralizedComposite(run, ws, code);
      AppendEntry(run, code);
    }
  for (const auto& step : kLateSingles) RunSingleStep(run, ws, step);

  RunNormal(run, ws, 20);
  RunNormal(run, ws, 21);
  RunNormal(run, ws, 22);
  run.AddProgress(" Still working ......");
  RunNormal(run, ws, 23);
  if (run.N >= 501) run.AddProgress(" Progressing ......");
  RunNormal(run, ws, 24);
  RunNormal(run, ws, 25);
  run.AddProgress(" Iterations ....");
  RunNormal(run, ws, 26);
  if (run.N >= 201 && run.FitStarted) {
    run.AddProgress(" Continuing .....");
    run.FitStarted = false;
  }

  ChooseBestDistribution(run);
}

std::string AverageLine(double average) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, average, std::chars_format::fixed, 4);
  std::string value(buf, res.ptr);
  if (value.size() < 6) value.insert(0, 6 - value.size(), ' ');
  return " Average = " + value;
}

void WriteRankedList(std::ostream& out, const std::string& fileName, const TavorixRun& run) {
  const char* crlf = "\r\n";
  out << " List of AVERAGES of absolute values of the differences between" << crlf
      << " observed and calcuated cumulative frequency values (in %)." << crlf << crlf
      << " The lower the average, the better the distribution fit. Averages are ranked." << crlf
      << crlf << " Name of this file : " << fileName << crlf << crlf;
  for (const auto& e : run.RankedList) out << e.Name << crlf << AverageLine(e.Average) << crlf << crlf;
}

void WriteRankedListFile(const std::string& path, const TavorixRun& run) {
  const auto slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  WriteFileAtomically(path, [&](std::ostream& out) { WriteRankedList(out, name, run); });
}

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("The file \"" + path + "\" could not be opened.");
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
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

}  // namespace

void SortRankedList(const std::string& path) {
  const std::vector<std::string> lines = ReadLines(path);
  const bool sevenLines = lines.size() > 5 && lines[5].compare(0, 5, " Name") == 0;
  const std::size_t header = std::min<std::size_t>(sevenLines ? 7 : 5, lines.size());
  struct Entry {
    std::string Name;
    double Average;
  };
  std::vector<Entry> entries;
  const std::size_t count = (lines.size() - header) / 3;
  for (std::size_t e = 0; e < count; ++e) {
    const std::size_t at = header + 3 * e;
    entries.push_back({lines[at], ParseAverage(lines[at + 1])});
  }
  // Adjacent exchanges only when the later value is strictly smaller: equal
  // averages keep their order.
  for (std::size_t pass = 0; pass + 1 < entries.size(); ++pass)
    for (std::size_t i = 0; i + 1 < entries.size() - pass; ++i)
      if (entries[i + 1].Average < entries[i].Average) std::swap(entries[i], entries[i + 1]);
  WriteFileAtomically(path, [&](std::ostream& out) {
    for (std::size_t i = 0; i < header; ++i) out << lines[i] << "\r\n";
    for (const auto& e : entries) out << e.Name << "\r\n" << AverageLine(e.Average) << "\r\n\r\n";
  });
}

}  // namespace tavorix
