#include "report/RunPipeline.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/AtomicFile.h"
#include "core/DataPreparation.h"
#include "core/RunCancel.h"
#include "core/TavorixError.h"
#include "fitting/FitAll.h"
#include "fitting/FittedCurve.h"
#include "report/ConfidenceStage.h"
#include "report/ParameterFile.h"
#include "report/ResultsReport.h"
#include "report/TempParameters.h"

namespace tavorix {

namespace fs = std::filesystem;

namespace {

// The run's scratch files ("Temp.tmp", "TmpFile.Tmp", "Values.tmp") live in
// a private folder that is removed when the run ends, however it ends.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "tavorix-run-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw TavorixError("The run's temporary folder could not be created.");
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const char* name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) throw TavorixError(FileOpenErrorText(path));
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw TavorixError(FileOpenErrorText(path));
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
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

  ScratchFolder scratch;
  const std::string tempParameters = scratch.File("Temp.tmp");
  const std::string reportScratch = scratch.File("TmpFile.Tmp");
  const std::string valuesScratch = scratch.File("Values.tmp");
  // The ranked list names itself in its header: it keeps its own name here.
  const std::string listScratch = scratch.File(fs::path(result.ListPath).filename().string().c_str());

  // The stages up to the report.
  run.PreferredCode = dm.SelectionCode.substr(0, 4);
  PrepareData(run, dm);
  run.NoVariation = false;
  ReportSummary summary;
  if (dm.NrOfData < 1) {
    run.NoVariation = true;
  } else {
    if (dm.NrOfData < 6) throw TavorixError(" The minimum number of data is 6");
    run.FitStarted = true;
    FitAllDistributions(run);
    if (!run.NoVariation) {
      if (run.BestOfAll()) WriteRankedListFile(listScratch, run);
      EvaluateFittedCurve(run);
      {
        std::ostringstream temp;
        WriteTempParameters(temp, run);
        WriteText(tempParameters, temp.str());
      }
      run.ReportStage = true;
      ComputeIntervals(run);
      std::ostringstream report;
      summary = WriteResultsReport(report, run, result.InputPath);
      WriteText(reportScratch, report.str());
    }
  }
  if (run.NoVariation) {
    std::error_code ec;
    fs::remove(result.ListPath, ec);
    result.NoVariation = true;
    result.Message = kNoVariationMessage;
    return result;
  }

  pause();
  progress(" Progress 75% ....");

  // The confidence stage, the parameter file and the results file.
  const std::string reportText = ReadText(reportScratch);
  const int code = run.Fitted.DistCode;
  std::string valuesText;
  std::vector<ReportTableRow> rows;
  CalculatedX cx;
  if (code != 0) {
    std::istringstream table(reportText);
    rows = ReadReportTable(table, run.N);
    cx = ComputeCalculatedX(run, rows);
  }
  if (dm.NrOfData > 250) progress(" Almost done ...");
  if (code != 0) {
    std::ostringstream values;
    WriteConfidenceTable(values, run, rows, cx);
    WriteText(valuesScratch, values.str());
    valuesText = ReadText(valuesScratch);
  }
  // Every result is computed: from here on the run writes its files and is
  // no longer stopped.
  run.ThrowIfCancelled();
  const bool listed = run.BestOfAll() && fs::exists(listScratch);
  if (listed && options.SortRankedList) SortRankedList(listScratch);
  if (listed) {
    const std::string listText = ReadText(listScratch);
    WriteFileAtomically(result.ListPath, [&](std::ostream& out) { out << listText; });
  } else {
    std::error_code ec;
    fs::remove(result.ListPath, ec);
  }
  WriteFileAtomically(result.ParameterPath,
                      [&](std::ostream& out) { WriteParameterFile(out, run.Fitted, run.Shift); });
  WriteFileAtomically(result.OutputPath, [&](std::ostream& out) {
    out << reportText;
    if (code != 61) out << valuesText;
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

  // A run that ends without results leaves no ranked list of an earlier run
  // behind; a cancelled run leaves every file as it was.
  auto removeStaleList = [&] {
    std::error_code ec;
    fs::remove(result.ListPath, ec);
  };
  try {
    return RunStages(dm, run, options, std::move(result));
  } catch (const RunCancelled&) {
    throw;
  } catch (...) {
    removeStaleList();
    throw;
  }
}

}  // namespace tavorix
