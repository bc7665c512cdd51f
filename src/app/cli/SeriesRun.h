#pragma once
// One series analysed as `tavorix-cli run` analyses it; `run` and `batch`
// both call RunSeries. An input file is read and never written; a plain
// column of numbers becomes an input file beside it (as `import` writes it),
// written together with the results.

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/RunContext.h"
#include "core/StringToFloat.h"
#include "core/UDMTavorix.h"
#include "report/RunPipeline.h"

namespace tavorix::cli {

struct SeriesSettings {
  std::string Prefer = "1";  // code of the selection window, "39" or "90"; "1" = best of all
  std::string Classes;       // as typed, a valid integer; empty keeps the input file's (5 for a column)
  bool Composite = false;    // allow composite distributions (an input file may allow them itself)
  // How the commas of a plain column are read, and the line under the
  // refusal of a column whose commas read both ways.
  TCommaReading Commas = TCommaReading::Detect;
  std::string CommaAdvice;
  bool WaitForLock = true;   // wait while another run has the series; otherwise SeriesBusy
};

// Another run holds the series and the settings say not to wait.
class SeriesBusy : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct SeriesRun {
  TDMTavorix Data;
  TavorixRun Run;
  PipelineResult Result;
};

// Runs the series in the file input under the lock of its series. Notes of
// the import (such as a changed number of classes, or a count on line 8 that
// differs from the data) go to notes as they arise. Throws TavorixError when
// the file cannot be read or its data are refused, RunCancelled when
// options.Cancel is set (a stopped series changes no file), and SeriesBusy.
void RunSeries(const std::string& input, const SeriesSettings& settings, const PipelineOptions& options,
               SeriesRun& series, const std::function<void(std::string_view)>& notes = {});

// Why a finished run has no results: the no-variation message, or the line of
// a preferred distribution that was not found; empty when it has results.
std::string SeriesFailure(const PipelineResult& result);

}  // namespace tavorix::cli
