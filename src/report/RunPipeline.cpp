#include "report/RunPipeline.h"

#include <filesystem>
#include <optional>
#include <sstream>

#include "core/AtomicFile.h"
#include "core/DataPreparation.h"
#include "core/RunCancel.h"
#include "core/TavorixError.h"
#include "fitting/FitAll.h"
#include "fitting/Registry.h"
#include "fitting/FittedCurve.h"
#include "report/ConfidenceStage.h"
#include "report/ParameterFile.h"
#include "report/ResultsReport.h"

namespace tavorix {

namespace fs = std::filesystem;

namespace {

// A run that ends without results leaves none of an earlier run beside its
// input: the report, parameter file and ranked list would describe other data.
void RemoveResultsFiles(const PipelineResult& result) {
  std::error_code ec;
  for (const std::string* path : {&result.ListPath, &result.OutputPath, &result.ParameterPath})
    fs::remove(*path, ec);
}

// The stages themselves; nothing beside the input is written before every
// result is computed.
PipelineResult RunStages(TDMTavorix& dm, TavorixRun& run, const PipelineOptions& options, PipelineResult result) {
  auto progress = [&](const char* line) {
    if (options.Progress) options.Progress(line);
  };
  auto pause = [&] {
    if (options.Pause) options.Pause();
    run.ThrowIfCancelled();
  };

  progress(" Saving data .....");
  pause();
  progress(" Calculating .....");

  // The stages up to the report.
  run.PreferredCode = dm.SelectionCode.substr(0, 4);
  PrepareData(run, dm);
  run.NoVariation = false;
  ReportSummary summary;
  std::string reportText;
  // The ranked list as its file holds it, written with the other results.
  std::optional<std::string> listText;
  if (dm.NrOfData < 1) {
    run.NoVariation = true;
  } else {
    if (dm.NrOfData < 6) throw TavorixError(" The minimum number of data is 6");
    run.FitStarted = true;
    FitAllDistributions(run);
    if (!run.NoVariation) {
      if (run.BestOfAll()) {
        // The list names itself by what follows the last '/' or '\\' of its path.
        const std::string name = result.ListPath.substr(result.ListPath.find_last_of("/\\") + 1);
        std::ostringstream list;
        WriteRankedList(list, name,
                        options.SortRankedList ? SortedByPrintedAverage(run.RankedList) : run.RankedList);
        listText = std::move(list).str();
      }
      EvaluateFittedCurve(run);
      run.ReportStage = true;
      ComputeIntervals(run);
      std::ostringstream report;
      summary = WriteResultsReport(report, run, result.InputPath);
      reportText = std::move(report).str();
    }
  }
  if (run.NoVariation) {
    RemoveResultsFiles(result);
    result.NoVariation = true;
    result.Message = kNoVariationMessage;
    return result;
  }

  pause();
  progress(" Progress 75% ....");

  // The confidence stage, the parameter file and the results file.
  const int code = run.Fitted.DistCode;
  const std::optional<CalculatedX> cx = RunConfidenceStage(run, summary);
  if (dm.NrOfData > 250) progress(" Almost done ...");
  std::ostringstream values;
  if (cx) WriteConfidenceTable(values, run, summary.Table, *cx);
  // Every result is computed: from here on the run writes its files and is
  // no longer stopped.
  run.ThrowIfCancelled();
  if (listText && run.BestOfAll()) {
    WriteFileAtomically(result.ListPath, [&](std::ostream& out) { out << *listText; });
  } else {
    std::error_code ec;
    fs::remove(result.ListPath, ec);
  }
  WriteFileAtomically(result.ParameterPath,
                      [&](std::ostream& out) { WriteParameterFile(out, run.Fitted, run.Shift); });
  WriteFileAtomically(result.OutputPath, [&](std::ostream& out) {
    out << reportText;
    if (!NoXFromFrequency(code)) out << values.view();
  });
  if (options.Pause) options.Pause();

  // After a run the series in memory is in ascending order.
  for (int i = 1; i <= dm.NrOfData && i < static_cast<int>(dm.RankedValues.size()); ++i)
    if (i - 1 < static_cast<int>(dm.Values.size())) dm.Values[i - 1] = dm.RankedValues[i];

  progress(" Filing results ..");
  if (options.Pause) options.Pause();
  dm.FileName = result.OutputPath;
  dm.AvAbsDiff = summary.AvAbsDiff;

  result.DistCode = code;
  result.AvAbsDiff = summary.AvAbsDiff;
  result.R2 = summary.R2;

  ParameterFileContents check;
  if (!ReadParameterFile(result.ParameterPath, check))
    throw TavorixError(FileOpenErrorText(result.ParameterPath));

  result.Message = "The input is saved in " + result.InputPath +
                   "   Calculations were done and the output is saved in  " + result.OutputPath;
  return result;
}

}  // namespace

PipelineResult RunSaveRunStages(TDMTavorix& dm, TavorixRun& run, bool compositeOn,
                                const PipelineOptions& options) {
  PipelineResult result;
  result.InputPath = WithExtension(dm.FileName, ".inp");
  result.ListPath = WithExtension(result.InputPath, ".Lst");
  result.OutputPath = WithExtension(result.InputPath, ".out");
  result.ParameterPath = WithExtension(result.InputPath, ".aux");

  run = TavorixRun{};
  run.Progress = options.Progress;
  run.InputPath = result.InputPath;
  run.ListFileName = result.InputPath;
  run.CompositeOn = compositeOn;
  run.NrOfClasses = dm.NrOfClasses;
  run.Cancel = options.Cancel;
  run.FitThreads = options.FitThreads;

  // A run that ends without results leaves no results of an earlier run
  // behind; a cancelled run leaves every file as it was.
  const PipelineResult paths = result;
  try {
    return RunStages(dm, run, options, std::move(result));
  } catch (const RunCancelled&) {
    throw;
  } catch (...) {
    RemoveResultsFiles(paths);
    throw;
  }
}

}  // namespace tavorix
