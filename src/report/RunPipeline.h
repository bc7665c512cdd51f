#pragma once
// The Save-Run pipeline after the input file is written: data preparation,
// the fit of all distributions, the report, the confidence stage and the
// parameter file, joined into the results file beside the input. The
// desktop program and the command line run the same code; the front end
// supplies where progress lines go and how long to pause between stages.

#include <functional>
#include <string>

#include "fitting/TavorixRun.h"
#include "core/UDMTavorix.h"

namespace tavorix {

struct PipelineOptions {
  // Re-sort the ranked list when the run is best of all and no composite is
  // selected in the composite list.
  bool SortRankedList = true;
  ProgressSink Progress;
  // Called where the desktop program pauses 500 ms so that the progress
  // panel shows each line; the command line passes nothing.
  std::function<void()> Pause;
  // Stops the run (RunCancelled) when set; a stopped run writes nothing.
  CancelFlag Cancel = nullptr;
  // Threads of the fit-all engine; 0 = one per processor.
  int FitThreads = 0;
  // The series comes from dm in memory (a column of numbers run directly):
  // its input file is prepared from memory and written together with the
  // results, or alone when its data give no results. Without it the run
  // reads the input file at dm.FileName and never writes it.
  bool WriteInput = false;
};

struct PipelineResult {
  bool NoVariation = false;
  std::string InputPath;   // ".inp"
  std::string OutputPath;  // ".out"
  std::string ParameterPath;  // ".aux"
  std::string ListPath;    // ".Lst" (exists after a best-of-all run)
  int DistCode = 0;
  double AvAbsDiff = 0;
  double R2 = 0;
  std::string Message;     // what the front end shows at the end
};

inline constexpr const char* kNoVariationMessage = "No variation between data. Program stops running";

// Runs the stages on dm.FileName (an ".inp" just written) with the run's
// PreferredCode taken from dm.SelectionCode and CompositeOn as given. The
// run context is filled as the stages leave it. Afterwards dm.FileName ends
// in ".out", dm.Values holds the ranked values and dm.AvAbsDiff the fit.
// The results files (".out", ".aux", ".Lst") are written only once every
// result is computed, and replaced as one set: a failure to write them
// leaves the files of the run before exactly as they were. A run whose data
// are refused (no variation, too few or invalid data) removes the results
// files of an earlier run (regular files of this program only); a cancelled
// run changes no file.
PipelineResult RunSaveRunStages(TDMTavorix& dm, TavorixRun& run, bool compositeOn,
                                const PipelineOptions& options);

}  // namespace tavorix
