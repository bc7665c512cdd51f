// A data column as "tavorix-cli import" reads it and the same text pasted
// (or typed) into the grid of the Input page, followed by the checks of
// Save-Run. The first input byte chooses the options and the cell.

#include <sstream>

#include "FuzzSupport.h"
#include "core/DataImport.h"
#include "core/Session.h"
#include "core/UserDialogs.h"
#include "core/TavorixError.h"

using namespace tavorix;

namespace {

class QuietDialogs : public TDialogs {
 public:
  explicit QuietDialogs(bool yes) : yes_(yes) {}
  void ShowMessage(const std::string&) override {}
  bool Confirm(const std::string&) override { return yes_; }
  TSaveAnswer AskSave(const std::string&) override { return TSaveAnswer::Discard; }
  std::optional<std::string> OpenFileName(const TFileDialogSpec&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const TFileDialogSpec&) override { return std::nullopt; }

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
  options.Commas = (flags & 1) ? TCommaReading::Decimal : TCommaReading::Detect;
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

  TSession session;
  ResetSession(session);
  TDMTavorix dm;
  QuietDialogs dialogs(flags & 8);
  TDecimalSettings settings;
  settings.DecimalSeparator = (flags & 1) ? ',' : '.';
  const int column = (flags >> 4) & 1;
  const int row = (flags >> 5) & 7;
  if (flags & 0x80)
    SetCell(session, row, text.substr(0, text.find_first_of("\t\r\n")));
  else
    PasteText(session, row, column, text, settings, dialogs);
  if (CollectSeries(session, dm, settings, dialogs)) {
    if (dm.NrOfData < kMinimumNrOfData) fuzz::Fail("Save-Run accepted fewer than 6 values");
    WriteBack(dm);
  }
  return 0;
}
