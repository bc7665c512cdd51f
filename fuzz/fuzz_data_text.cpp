// A data column as "tavorix-cli import" reads it and the same text pasted
// into the grid of the Input page, followed by the checks of Save-Run. The
// first input byte chooses the options and the paste cell.

#include <sstream>

#include "FuzzSupport.h"
#include "core/DataImport.h"
#include "core/InputPage.h"
#include "core/TavorixError.h"

using namespace tavorix;

namespace {

class QuietDialogs : public TUserDialogs {
 public:
  explicit QuietDialogs(bool yes) : yes_(yes) {}
  void ShowMessage(const std::string&) override {}
  bool Confirm(const std::string&) override { return yes_; }

 private:
  bool yes_;
};

void WriteBack(TDMTavorix& dm) {
  std::ostringstream out;
  try {
    dm.WriteInputFile(out);
  } catch (const TavorixError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t flags = data[0];
  const std::string_view text = fuzz::AsText(data + 1, size - 1);

  TImportOptions options;
  options.DecimalComma = flags & 1;
  options.CompositeAllowed = flags & 2;
  options.ClassesText = (flags & 4) ? "12" : "5";
  TDMTavorix imported;
  try {
    std::string notes;
    ImportDataText(text, options, imported, &notes);
    if (imported.NrOfData < kMinimumNrOfData) fuzz::Fail("import accepted fewer than 6 values");
    WriteBack(imported);
  } catch (const TavorixError&) {
  }

  TInputPage page;
  TDMTavorix dm;
  QuietDialogs dialogs(flags & 8);
  InitInputPage(page, dm);
  TDecimalSettings settings;
  settings.DecimalSeparator = (flags & 1) ? ',' : '.';
  const int column = (flags >> 4) & 1;
  const int row = (flags >> 5) & 7;
  if (flags & 0x80)
    StringGrid1SetEditText(page, dm, settings, column, row, text, dialogs);
  else
    HandlePasteMultiCell(page, dm, settings, column, row, text, dialogs);
  NrOfDataEditExit(page, dm, settings, dialogs);
  if (CollectSeriesAtSaveRun(page, dm, settings, dialogs)) WriteBack(dm);
  return 0;
}
