#include "core/DataImport.h"

#include <vector>

#include "core/InputPage.h"
#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"

namespace tavorix {
namespace {

// Answers no question and keeps the messages of the checks.
class RecordingDialogs : public TUserDialogs {
 public:
  std::vector<std::string> Messages;
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  bool Confirm(const std::string&) override { return false; }
};

}  // namespace

char DetectDecimalSeparator(std::string_view text) {
  const bool commas = text.find(',') != std::string_view::npos;
  const bool points = text.find('.') != std::string_view::npos;
  return commas && !points ? ',' : '.';
}

void ImportDataText(std::string_view text, const TImportOptions& options, TDMTavorix& dm,
                    std::string* notes) {
  TDecimalSettings settings;
  settings.DecimalSeparator = options.DecimalComma ? ',' : DetectDecimalSeparator(text);

  const LineSet lines = SplitLines(text);
  TInputPage page;
  page.Title1Text = options.Title1;
  page.Title2Text = options.Title2;
  page.Grid.Cells.resize(lines.size());
  for (std::size_t r = 0; r < lines.size(); ++r) {
    const std::string& line = lines[r];
    page.Grid.Cells[r][0] = FormatInt(static_cast<long long>(r) + 1);
    page.Grid.Cells[r][1] = std::string(TrimBlanks(line.substr(0, line.find('\t'))));
  }

  TDMTavorix series = dm;
  series.NrOfData = static_cast<std::int32_t>(lines.size());
  RecordingDialogs dialogs;
  if (!CollectSeriesAtSaveRun(page, series, settings, dialogs))
    throw TavorixError(dialogs.Messages.empty() ? std::string(kNotRealText) : dialogs.Messages.back());
  if (series.NrOfData < kMinimumNrOfData) throw TavorixError(std::string(TrimBlanks(kMinimumCountText)));

  page.NrOfClassesText = options.ClassesText;
  NrOfClassesEditExit(page, series, dialogs);
  if (notes)
    for (const auto& m : dialogs.Messages) *notes += m + "\n";
  series.CompositeAllowed = options.CompositeAllowed;
  dm = std::move(series);
}

}  // namespace tavorix
