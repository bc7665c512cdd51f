#pragma once
// One series analysed as `tavorix-cli run` analyses it; `run` and `batch`
// both call RunSeries. A plain column of numbers is first written as an
// input file beside it (as `import` does), an input file is read and saved
// again (Save-Run saves the input first), then the whole pipeline runs.

#include <functional>
#include <string>
#include <string_view>

#include "core/RunContext.h"
#include "core/UDMTavorix.h"
#include "report/RunPipeline.h"

namespace tavorix::cli {

struct SeriesSettings {
  std::string Prefer = "1";  // code of the selection window, "39" or "90"; "1" = best of all
  std::string Classes;       // as typed; empty keeps the input file's (5 for a column)
  bool Composite = false;    // allow composite distributions (an input file may allow them itself)
};

// Checks of the command-line values; throw UsageError.
void CheckPreference(const std::string& prefer);
void CheckClasses(const std::string& classes);

struct SeriesRun {
  TDMTavorix Data;
  TavorixRun Run;
  PipelineResult Result;
};

// Runs the series in the file input. Notes of the import (such as a changed
// number of classes) go to notes as they arise. Throws TavorixError when the
// file cannot be read or its data are refused, and RunCancelled when
// options.Cancel is set; a stopped series leaves its input file as it was
// (an input file it had just created is removed again).
void RunSeries(const std::string& input, const SeriesSettings& settings, const PipelineOptions& options,
               SeriesRun& series, const std::function<void(std::string_view)>& notes = {});

// Why a finished run has no results: the no-variation message, or the line of
// a preferred distribution that was not found; empty when it has results.
std::string SeriesFailure(const PipelineResult& result);

}  // namespace tavorix::cli
