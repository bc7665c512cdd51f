#pragma once
// The run context: the variables of one run of the analysis. Every stage
// (data preparation, fitting, report, confidence stage) takes the run by
// reference; nothing is kept in globals, so several runs can exist side by
// side. Data preparation fills the part it knows (PreparedRun, core); the
// fits add their results.

#include <array>
#include <vector>

#include "core/RunContext.h"
#include "fitting/FitParams.h"

namespace tavorix {

struct TavorixRun : PreparedRun {
  // --- fitting -------------------------------------------------------------
  std::array<FitSlot, 100> Slots{};  // indexed by distribution code
  std::vector<RankedEntry> RankedList;
  FittedDistribution Fitted;
  std::vector<long double> FcCalc;  // calculated frequency per rank, 1..N

  // Bound flags raised by the evaluation of the chosen distribution.
  bool BelowBoundC = false;
  bool AboveBoundC = false;
};

}  // namespace tavorix
