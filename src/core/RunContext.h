#pragma once
// The variables of one run of the analysis that data preparation fills, and
// the run's flags. The run context of the later stages (TavorixRun,
// fitting/TavorixRun.h) adds the results of the fits to them.
//
// Arrays indexed by rank are 1-based: index 0 is unused so the formulas read
// as written (X[1] is the smallest value).

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/RunCancel.h"

namespace tavorix {

// Receives the short progress lines of a run (" 3 done", " Calculating .....").
using ProgressSink = std::function<void(std::string_view)>;

// The prepared data and flags of a run; nothing in it knows a distribution.
struct PreparedRun {
  // --- prepared data -------------------------------------------------------
  int N = 0;
  std::vector<long double> X;      // ranked, moved values, 1..N
  std::vector<long double> Fr;     // plotting positions R/(N+1), 1..N
  std::vector<int> SerialOfRank;   // serial number of the datum at each rank
  double Threshold = -1000000.0;
  double Shift = 0.0001;           // X of the run = input value - Shift + 0.0001
  bool Shifted = false;            // the "first values are high" move was applied
  std::string ReportTitle1, ReportTitle2;
  std::vector<std::string> Notices;  // messages for the user raised by a stage

  // --- run flags -----------------------------------------------------------
  std::string PreferredCode = "1";  // "1" = best of all
  bool CompositeOn = false;
  bool NoVariation = false;
  bool FitStarted = false;
  bool ReportStage = false;
  bool NormalEvalOnly = false;
  int NrOfClasses = 5;
  int FitThreads = 0;        // threads of the fit-all engine; 0 = one per processor
  // From this number of data on (more than it), best of all says as each
  // fitting step ends how many are done: a long series takes minutes.
  int StepProgressFrom = 10000;
  std::string InputPath;     // the ".inp" file of the run
  std::string ListFileName;  // the ranked list ".Lst"

  ProgressSink Progress;
  void AddProgress(std::string_view line) const {
    if (Progress) Progress(line);
  }
  // Set by the front end to stop the run; copies of the run share the flag.
  CancelFlag Cancel = nullptr;
  void ThrowIfCancelled() const { tavorix::ThrowIfCancelled(Cancel); }

  // --- interval analysis (classes 1..K, bounds 1..K+1) ---------------------
  int ClassCount = 0;
  std::array<double, 52> ClassBounds{};
  std::array<double, 52> ClassCounts{};
  std::array<double, 52> ClassFc{};

  bool BestOfAll() const { return PreferredCode == "1"; }
};

}  // namespace tavorix
