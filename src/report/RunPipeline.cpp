#include "report/RunPipeline.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <locale>
#include <optional>
#include <sstream>

#include "core/AtomicFile.h"
#include "core/DataPreparation.h"
#include "core/RunCancel.h"
#include "core/TavorixError.h"
#include "core/TextFile.h"
#include "core/TextLines.h"
#include "fitting/FitAll.h"
#include "fitting/Registry.h"
#include "fitting/FittedCurve.h"
#include "report/ConfidenceStage.h"
#include "report/ParameterFile.h"
#include "report/ResultsLoader.h"
#include "report/ResultsReport.h"
#include "report/ResultsSet.h"

namespace tavorix {

namespace fs = std::filesystem;

namespace {

// The file at path is a regular file (not a link, folder or device) whose
// lines the test accepts.
bool IsOurRegularFile(const std::string& path, bool (*accepts)(const std::vector<std::string>&)) {
  std::error_code ec;
  if (!fs::is_regular_file(fs::symlink_status(path, ec))) return false;
  const std::optional<std::string> text = TryReadTextFile(path);
  return text && accepts(SplitLines(*text));
}

// Data that give no results leave none of an earlier run beside their input:
// the report, parameter file and ranked list would describe other data. Only
// files that are what a run writes there are removed.
void RemoveStaleResults(const PipelineResult& result) {
  std::error_code ec;
  if (IsOurRegularFile(result.ListPath, IsRankedList)) fs::remove(result.ListPath, ec);
  if (IsOurRegularFile(result.OutputPath, IsResultsReport)) fs::remove(result.OutputPath, ec);
  if (IsOurRegularFile(result.ParameterPath, IsParameterFile)) fs::remove(result.ParameterPath, ec);
}

std::string InputFileText(TDMTavorix& dm) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  dm.WriteInputFile(text);
  return std::move(text).str();
}

// Data preparation from the input file on disk, or from the input file's
// text of the series in memory (the values as the written file holds them). Data that are refused remove the stale
// results of an earlier run.
void PrepareRunData(TavorixRun& run, TDMTavorix& dm, const PipelineOptions& options, const PipelineResult& result,
                    const std::string& inputText) {
  std::istringstream memory;
  std::istringstream file;
  std::istream* in = &memory;
  if (options.WriteInput) {
    memory.str(inputText);
  } else {
    file.str(ReadTextFile(dm.FileName));
    in = &file;
  }
  try {
    PrepareData(run, dm, *in, dm.FileName);
    if (dm.NrOfData >= 1 && dm.NrOfData < 6) throw TavorixError(" The minimum number of data is 6");
  } catch (const TavorixError&) {
    RemoveStaleResults(result);
    throw;
  }
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
  // The input file as the series in memory gives it (written once: writing
  // compacts the count of the series).
  const std::string inputText = options.WriteInput ? InputFileText(dm) : std::string();
  PrepareRunData(run, dm, options, result, inputText);
  run.NoVariation = false;
  ReportSummary summary;
  std::string reportText;
  // The ranked list as its file holds it, written with the other results.
  std::optional<std::string> listText;
  if (dm.NrOfData < 1) {
    run.NoVariation = true;
  } else {
    run.FitStarted = true;
    FitAllDistributions(run);
    if (!run.NoVariation) {
      if (run.BestOfAll()) {
        // The list names itself by what follows the last '/' or '\\' of its path.
        const std::string name = VisibleText(result.ListPath.substr(result.ListPath.find_last_of("/\\") + 1));
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
    run.ThrowIfCancelled();
    RemoveStaleResults(result);
    if (options.WriteInput)
      WriteFileAtomically(result.InputPath, [&](std::ostream& out) { out << inputText; });
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
  // no longer stopped. They replace those of the run before as one set, the
  // parameter file last: its last line fingerprints the report and the list.
  run.ThrowIfCancelled();
  FileSet files;
  if (options.WriteInput) files.Write(result.InputPath, inputText);
  if (listText && run.BestOfAll()) {
    files.Write(result.ListPath, *listText);
  } else {
    listText.reset();
    if (IsOurRegularFile(result.ListPath, IsRankedList)) files.Remove(result.ListPath);
  }
  std::string outputText = std::move(reportText);
  if (cx && !NoXFromFrequency(code)) outputText += values.view();
  std::ostringstream parameters;
  parameters.imbue(std::locale::classic());
  WriteParameterFile(parameters, run.Fitted, run.Shift);
  parameters << ResultsSetLine(outputText, listText ? std::optional<std::string_view>(*listText) : std::nullopt)
             << "\r\n";
  files.Write(result.OutputPath, std::move(outputText));
  files.Write(result.ParameterPath, std::move(parameters).str());
  files.Commit();
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

  return RunStages(dm, run, options, std::move(result));
}

}  // namespace tavorix
