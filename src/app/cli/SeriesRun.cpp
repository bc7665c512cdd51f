#include "SeriesRun.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "Commands.h"
#include "core/AtomicFile.h"
#include "core/DataImport.h"
#include "core/RunCancel.h"
#include "core/StringToFloat.h"
#include "core/TextLines.h"
#include "fitting/Registry.h"

namespace tavorix::cli {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kInputFileHeader = " Input data for Tavorix program";

// An input file as it was before the series wrote it, so that a stopped
// series can put it back with its time.
struct SavedFile {
  std::string Path;
  std::optional<std::string> Text;  // empty: the file did not exist
  fs::file_time_type Time;

  explicit SavedFile(std::string path) : Path(std::move(path)) {
    std::error_code ec;
    if (!fs::exists(Path, ec)) return;
    Text = ReadWholeFile(Path);
    Time = fs::last_write_time(Path, ec);
  }

  void Restore() const {
    std::error_code ec;
    if (!Text) {
      fs::remove(Path, ec);
      return;
    }
    WriteFileAtomically(Path, [&](std::ostream& out) { out << *Text; });
    fs::last_write_time(Path, Time, ec);
  }
};

}  // namespace

void CheckPreference(const std::string& prefer) {
  if (prefer.empty() || prefer.size() > 4 || (prefer != "1" && !FindByPreference(prefer)))
    throw UsageError("unknown preference " + prefer + " (use a code of the selection window, 39 or 90)");
}

void CheckClasses(const std::string& classes) {
  if (!ParseFileInteger(TrimBlanks(classes))) throw UsageError("The number of classes is not a valid integer");
}

void RunSeries(const std::string& input, const SeriesSettings& settings, const PipelineOptions& options,
               SeriesRun& series, const std::function<void(std::string_view)>& notes) {
  TDMTavorix& dm = series.Data;
  const std::string text = ReadWholeFile(input);
  if (text.starts_with(kInputFileHeader)) {
    dm.FileName = fs::absolute(input).lexically_normal().string();
    dm.ReadInputFile();
    if (!settings.Classes.empty()) {
      dm.NrOfClasses = std::clamp(*ParseFileInteger(TrimBlanks(settings.Classes)), 1, 50);
      dm.NrOfClassesText = std::to_string(dm.NrOfClasses);
    }
    if (settings.Composite) dm.CompositeAllowed = true;
  } else {
    TImportOptions import;
    import.ClassesText = settings.Classes.empty() ? "5" : settings.Classes;
    import.CompositeAllowed = settings.Composite;
    std::string importNotes;
    ImportDataText(text, import, dm, &importNotes);
    if (notes && !importNotes.empty()) notes(importNotes);
    dm.FileName = fs::absolute(fs::path(input).replace_extension(".inp")).lexically_normal().string();
  }
  // The input file is saved first, as Save-Run does.
  const SavedFile before(dm.FileName);
  dm.WriteInputFile();
  dm.SelectionCode = settings.Prefer;
  try {
    series.Result = RunSaveRunStages(dm, series.Run, dm.CompositeAllowed, options);
  } catch (const RunCancelled&) {
    before.Restore();
    throw;
  }
}

std::string SeriesFailure(const PipelineResult& result) {
  if (result.NoVariation) return result.Message;
  if (result.DistCode == 0) return " The frequency distibution cannot be found :";
  return {};
}

}  // namespace tavorix::cli
