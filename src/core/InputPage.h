#pragma once
// The logic of the Input page without widgets: the two-column grid as text
// cells, the count and classes boxes, and the rules that turn typed or pasted
// text into the series of the data module. Message boxes and Yes/No questions
// go through TUserDialogs so that the window (or a test) answers them.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/StringToFloat.h"
#include "core/UDMTavorix.h"

namespace tavorix {

// Shows the program's messages and asks its Yes/No questions.
class TUserDialogs {
 public:
  virtual ~TUserDialogs() = default;
  virtual void ShowMessage(const std::string& text) = 0;
  virtual bool Confirm(const std::string& question) = 0;  // true on Yes
};

// Texts of the Input page.
inline constexpr std::string_view kPasteFailedText =
    "There are no data to be pasted or the data are incompatible";
inline constexpr std::string_view kKeepOriginalCountQuestion =
    "The number of data is less than the original number. Do you want to maintain the original number?";
inline constexpr std::string_view kCountNotIntegerText = "The number of data is not a valid integer";
inline constexpr std::string_view kMinimumCountText = " The minimum number of data is 6";
inline constexpr std::string_view kAddDataText = " Add data in the last cells at the end of the column";
inline constexpr std::string_view kRemoveDataText = " To remove data, empty the relevant data cells ";
inline constexpr std::string_view kClassesHelpText =
    "For interval analysis (histogram) a number of interval classes is needed.  It is recommended to "
    "use 2, 5, 10 or 20 classes.  Use 10 or 20 only when there are more than 50 resp. 100 data";
inline constexpr std::string_view kClassesNotIntegerText =
    "The number of classes is not a valid integer. It is set to 5";
inline constexpr std::string_view kClearQuestion = "The data will be cleared, are you sure?";
inline constexpr std::string_view kNotRealText = "Not all data values in the inputfile are real";
inline constexpr std::string_view kTooManyZerosText = "There are too many zero input data. Input is invalid.";

inline constexpr int kMinimumNrOfData = 6;

// Grid StringGrid1: row r holds datum r (0-based); column 0 the serial
// number, column 1 the value, both as the text the cell shows.
struct TInputGrid {
  std::vector<std::array<std::string, 2>> Cells;
  int FixedCols = 0;
  int Width = 155;  // pixels: 155 below 16 data, 170 from 16 up
  int RowCount() const { return static_cast<int>(Cells.size()); }
};

// The Input page: grid, edit boxes and the window's own bookkeeping.
struct TInputPage {
  TInputGrid Grid;
  std::string Title1Text, Title2Text;
  std::string NrOfDataText = "15";
  std::string NrOfClassesText = "5";
  int PreviousNrOfData = 15;  // to detect shrinking
  int LastTypedCount = 15;
  bool DataEntered = false;
  bool InProgress = false;    // a paste or edit is running: no add/remove messages
  bool HadEmptyCells = false; // at the last Save-Run
};

int GridWidthFor(int nrOfData);

// The page as first shown: 15 rows numbered 1..15 with values "0", count
// "15", titles empty; the series holds the same 15 zeros.
void InitInputPage(TInputPage& page, TDMTavorix& dm);

// Pastes multi-cell text at (column, row). Returns false, leaving page and
// series unchanged, when the pasted values cannot all be converted.
bool HandlePasteMultiCell(TInputPage& page, TDMTavorix& dm, TDecimalSettings& settings, int column,
                          int row, std::string_view text, TUserDialogs& dialogs);

// A cell's text changed (typing, or a paste when the text holds a TAB or a line end).
void StringGrid1SetEditText(TInputPage& page, TDMTavorix& dm, TDecimalSettings& settings, int column,
                            int row, std::string_view text, TUserDialogs& dialogs);

// Leaving the count box (and after every grid edit).
void NrOfDataEditExit(TInputPage& page, TDMTavorix& dm, TDecimalSettings& settings,
                      TUserDialogs& dialogs);

void NrOfClassesEditClick(TUserDialogs& dialogs);
void NrOfClassesEditExit(TInputPage& page, TDMTavorix& dm, TUserDialogs& dialogs);

// Asks before clearing; on Yes the page is as first shown. Returns the answer.
bool ClearButtonClick(TInputPage& page, TDMTavorix& dm, TUserDialogs& dialogs);

// Refills the page from the series after an input file was opened: titles,
// classes, count, and the grid with values in general format.
void FillPageFromSeries(TInputPage& page, const TDMTavorix& dm, const TDecimalSettings& settings);

// The checks of Save-Run before anything is written: collects titles and
// values from the page into the series. Empty value cells are removed data:
// the kept values move to the front and the grid is rebuilt with one row per
// kept value. Returns false after showing the message (non-real value, a
// value at or below -1 000 000, too many zeros); the series is then unchanged.
bool CollectSeriesAtSaveRun(TInputPage& page, TDMTavorix& dm, TDecimalSettings& settings,
                            TUserDialogs& dialogs);

}  // namespace tavorix
