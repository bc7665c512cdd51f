#pragma once
// The session of the desktop program: the series as the grid shows it and
// every setting of the Input page, each held once, with the rules by which
// typing, pasting and the boxes change them, the checks of Save-Run, and the
// rules that decide which buttons and pages are offered. No widgets: the
// window shows this state and turns events into calls; messages and
// questions go through TDialogs.

#include <string>
#include <string_view>
#include <vector>

#include "core/StringToFloat.h"
#include "core/UDMTavorix.h"
#include "core/UserDialogs.h"

namespace tavorix {

// Texts of the Input page.
inline constexpr std::string_view kPasteFailedText =
    "There are no data to be pasted or the data are incompatible";
inline constexpr std::string_view kKeepOriginalCountQuestion =
    "The number of data is less than the original number. Do you want to maintain the original number?";
// The buttons of the question on commas that read both ways.
inline constexpr std::string_view kDecimalCommaChoice = "decimal comma";
inline constexpr std::string_view kThousandsChoice = "thousands separator";
inline constexpr std::string_view kCountNotIntegerText = "The number of data is not a valid integer";
inline constexpr std::string_view kMinimumCountText = " The minimum number of data is 6";
inline constexpr std::string_view kMaximumCountText = " The maximum number of data is 1000000";
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
inline constexpr std::string_view kNoDataText = "There are no data. Type or paste the data into the grid.";
inline constexpr std::string_view kUnsavedQuestion = "The data were changed and not saved. Save them?";
inline constexpr std::string_view kCancelRunQuestion = "A run is in progress. Do you want to cancel the run?";
inline constexpr std::string_view kBestOfAllText = "Best of All distributions";

inline constexpr int kMinimumNrOfData = 6;
// The grid holds at most this many rows; a count typed above it is bounded.
inline constexpr int kMaximumNrOfData = 1000000;
inline constexpr int kStartRows = 15;
// A clipboard line longer than this is no number: the paste is refused.
inline constexpr std::size_t kMaximumPastedLine = 1000;

struct TSession {
  std::vector<std::string> Cells;  // value cell of each grid row; "" = empty, left out
  std::string Title1, Title2;
  std::string ClassesText = "5";
  int CompositeOption = 0;         // 0 "No composite ...", 1 "Allow a composite ..."
  int CompositeItem = 0;           // item of the composite list
  std::string PreferredCode = "1"; // "1" = best of all
  std::string PreferredText = std::string(kBestOfAllText);
  std::string InputPath;           // the ".inp" opened or saved last; empty before
  bool Unsaved = false;            // typed or pasted data not yet saved

  int RowCount() const { return static_cast<int>(Cells.size()); }
};

// The state of the window beyond the series, each flag held once: what the
// Output and Graphics pages show and offer, how numbers are typed, and where
// the file dialogs open. Clear data forgets the results, not the rest.
struct TWindowState {
  bool ResultsAvailable = false;  // results are shown: the Output page offers its tools
  bool ResultsComplete = false;   // a run has just finished: its AvAbsDiff is in the data module
  bool OutputFileOpen = false;    // a results file is open: the graphs can be drawn from it
  bool GraphMade = false;         // a graph or picture is shown: its save buttons stay
  int ResultsCode = 0;            // distribution code of the results shown
  int GraphType = 1;              // the graph drawn last (1..8)
  bool BeltOn = true;             // the graphs show their confidence belt
  TDecimalSettings DecimalSettings;  // decimal separator of typed and shown numbers
  std::string StartDirectory;     // the working folder at start: the current file of a cleared window
  std::string DialogFolder;       // where the file dialogs open: the folder of the file used last
};

// The session as at start and after Clear data: 15 empty rows, defaults,
// no results.
void ResetSession(TSession& s);

// True when at least one cell holds text.
bool HasData(const TSession& s);

int GridWidthFor(int rows);

// A typed cell (no line end or TAB in the text), as typed.
void SetCell(TSession& s, int row, std::string_view text);

// A value typed into a cell, read as a pasted value is read and shown in the
// session's form ("12,5" typed in a session with a decimal point shows
// 12.5). A comma that reads both ways ("1,234") is asked about, unless the
// comma is the session's own separator. A text that is no number stays as
// typed (Save-Run names its row). Returns false, leaving the cell as it
// was, when the question was cancelled.
bool TypeCell(TSession& s, int row, std::string_view text, const TDecimalSettings& shown, TDialogs& dialogs);

// Pastes text at `row` of the grid column `column` (0 serial, 1 value). The
// text is read as ReadNumberColumn reads it: one row per line, a heading
// line left out (the note says so), the second field of a block whose first
// field counts 1, 2, 3 ...; starting in the serial column, the second field
// of each line lands in the value column. Commas that read both ways are
// asked about ("decimal comma" or "thousands separator"). Values are shown
// with the decimal separator of `shown`. When the paste ends above the last
// row, rows below that hold data stay only if the user wants to keep the
// original number (the question says how many values stay); empty rows below
// stay unless the paste started at the top. Returns false, leaving the
// session unchanged, after showing why the paste is refused (a doubtful or
// non-numeric row, a line too long, no numbers) or when the question on the
// commas was cancelled.
bool PasteText(TSession& s, int row, int column, std::string_view text, const TDecimalSettings& shown,
               TDialogs& dialogs, std::string* note = nullptr);

// The question before a shorter paste drops rows with data: the question
// and, on a second line, what Yes does with the `kept` values below.
std::string KeepOriginalCountQuestion(int kept);

// The count box was left with `typed`: a larger count adds empty rows, a
// smaller one drops rows only when they are empty (data are removed by
// emptying their cells). Returns the text the box shows afterwards, which is
// always the number of rows.
std::string CountBoxExit(TSession& s, std::string_view typed, TDialogs& dialogs);

// The classes box was left with `typed`: non-integers and values below 1
// become 5 with a message, values above 50 become 50. Returns the box text.
std::string ClassesBoxExit(TSession& s, std::string_view typed, TDialogs& dialogs);
int ClassesOf(const TSession& s);

void InsertRow(TSession& s, int row);
void DeleteRows(TSession& s, int first, int count);
void ClearCells(TSession& s, int firstRow, int lastRow);

// The composite option of the page; switching it resets the preferred
// distribution to best of all.
void SetCompositeOption(TSession& s, int item);
// An item of the composite list. Returns false for the separator item,
// which is not a choice (the list returns to item 0).
bool ChooseCompositeItem(TSession& s, int item, std::string_view code);
// A distribution of the selection window. A preference other than best of
// all switches composites off; returns true when that changed the option.
bool ChoosePreferred(TSession& s, std::string_view code, std::string_view text);

// What the next run does, as the page shows it.
bool CompositeOnForRun(const TSession& s);
bool SortRankedListAfterRun(const TSession& s);
bool ListOfferedAfterRun(const TSession& s);
bool GoodnessOfFitOffered(int nrOfData);

// Save-Run is offered on the Input page only, and the file commands
// anywhere, while no paste help covers the grid and no run works.
bool SaveRunOffered(bool onInputPage, bool pasteHelpShown, bool running);
bool FileCommandsOffered(bool pasteHelpShown, bool running);

// Closing asks first when typed or pasted data were never saved.
bool AskBeforeClosing(const TSession& s);

// The path Save-Run writes: the chosen name with ".inp" added when it has
// another extension or none.
std::string InputPathFor(const std::string& chosen);

// File ▸ Recent files: the path first, no duplicates, at most `limit`.
std::vector<std::string> WithRecentFile(std::vector<std::string> list, const std::string& path,
                                        std::size_t limit = 6);

// The checks of Save-Run before anything is written. Fills dm (titles,
// values of the non-empty cells, classes, composite option, preferred code)
// and drops the empty rows from the grid. Returns false after showing the
// message (non-real value with its row, a value at or below -1 000 000, no
// data, too many zeros, fewer than 6 data); session and dm are then unchanged.
bool CollectSeries(TSession& s, TDMTavorix& dm, TDecimalSettings& settings, TDialogs& dialogs);

// One change of the grid as an undo step: the rows from First that were
// Before and became After (the rows above and below are the same).
struct TGridChange {
  int First = 0;
  std::vector<std::string> Before, After;
  bool Empty() const { return Before == After; }
};
// The smallest change that turns `before` into `after`.
TGridChange GridChangeBetween(const std::vector<std::string>& before, const std::vector<std::string>& after);
// Puts the After rows of the change in place (undo: the Before rows).
void ApplyGridChange(TSession& s, const TGridChange& change, bool undo);

// The session after an input file was read into dm: titles, classes,
// composite option and values in general format; the preference returns to
// best of all (the file does not record it).
void LoadSeries(TSession& s, const TDMTavorix& dm, const TDecimalSettings& shown);

}  // namespace tavorix
