#include "SeriesRun.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "core/DataImport.h"
#include "core/RunCancel.h"
#include "core/SeriesLock.h"
#include "core/StringToFloat.h"
#include "core/TextFile.h"
#include "core/TextLines.h"
#include "core/TavorixError.h"

namespace tavorix::cli {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kInputFileHeader = " Input data for Tavorix program";

}  // namespace

void RunSeries(const std::string& input, const SeriesSettings& settings, const PipelineOptions& options,
               SeriesRun& series, const std::function<void(std::string_view)>& notes) {
  // One run of a series at a time: the lock is held from reading the input
  // until the results are in place.
  const std::optional<SeriesLock> lock = SeriesLock::Acquire(
      fs::path(input).replace_extension(".inp").string(), settings.WaitForLock,
      [&] {
        if (notes) notes(SeriesBusyText(input) + "; waiting for it to finish\n");
      },
      options.Cancel);
  if (!lock) throw SeriesBusy(SeriesBusyText(input));

  TDMTavorix& dm = series.Data;
  const std::string text = ReadTextFile(input);
  PipelineOptions pipeline = options;
  const std::string_view withoutMark = std::string_view(text).substr(text.starts_with("\xEF\xBB\xBF") ? 3 : 0);
  if (withoutMark.starts_with(kInputFileHeader)) {
    // An input file is read as it is and never written: the run analyses what it holds.
    dm.FileName = fs::absolute(input).lexically_normal().string();
    dm.ReadInputText(text, dm.FileName);
    if (notes)
      for (const auto& note : dm.ReadNotes) notes(note + "\n");
    if (!settings.Classes.empty()) {
      dm.NrOfClasses = std::clamp(*ParseFileInteger(TrimBlanks(settings.Classes)), 1, 50);
      dm.NrOfClassesText = std::to_string(dm.NrOfClasses);
    }
    if (settings.Composite) dm.CompositeAllowed = true;
    pipeline.WriteInput = false;
  } else {
    // A column of numbers becomes the input file beside it, written with the results.
    const fs::path target = fs::absolute(fs::path(input).replace_extension(".inp")).lexically_normal();
    std::error_code ec;
    if (fs::equivalent(input, target, ec))
      throw TavorixError("The file \"" + VisibleText(target.string()) +
                         "\" holds a column of numbers, not an input file of this program; give it the "
                         "extension .txt to run it as a column");
    TImportOptions import;
    import.ClassesText = settings.Classes.empty() ? "5" : settings.Classes;
    import.CompositeAllowed = settings.Composite;
    import.Commas = settings.Commas;
    import.AmbiguityAdvice = settings.CommaAdvice;
    std::string importNotes;
    ImportDataText(text, import, dm, &importNotes);
    if (notes && !importNotes.empty()) notes(importNotes);
    dm.FileName = target.string();
    pipeline.WriteInput = true;
  }
  dm.SelectionCode = settings.Prefer;
  series.Result = RunSaveRunStages(dm, series.Run, dm.CompositeAllowed, pipeline);
}

std::string SeriesFailure(const PipelineResult& result) {
  if (result.NoVariation) return result.Message;
  if (result.DistCode == 0) return " The frequency distibution cannot be found :";
  return {};
}

}  // namespace tavorix::cli
