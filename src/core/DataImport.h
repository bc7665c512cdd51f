#pragma once
// Reading a column of numbers as the user gives it: a pasted clipboard text
// or a data file. The grid's paste and "tavorix-cli import" read through the
// same code, so a text means the same numbers in both.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/UDMTavorix.h"

namespace tavorix {

struct TImportOptions {
  std::string Title1, Title2;
  std::string ClassesText = "5";  // as typed; checked like the classes box
  bool CompositeAllowed = false;
  bool DecimalComma = false;      // force the comma as decimal separator
};

// Decimal separator of a data text: a comma when the text has commas and no point.
char DetectDecimalSeparator(std::string_view text);

// One column of a text: the cell of each line (blanks trimmed, "" for an
// empty line or a line without that field) and the decimal separator its
// numbers use.
struct TNumberColumn {
  std::vector<std::string> Cells;
  char DecimalSeparator = '.';
  // Set when the column cannot be read safely: its numbers mix decimal
  // commas and points, or one number holds both. Names the first doubtful
  // line ("Line 3: ...").
  std::optional<std::string> Doubt;
};

// Splits text into lines (CR LF, LF or CR) and takes field `field` (0-based,
// fields separated by TABs) of each line. A column whose numbers use commas
// and never a point has decimal commas (forced with forceComma); a comma
// column with points, or a number with both, is doubtful: nothing is ever
// read as a thousands separator.
TNumberColumn ReadNumberColumn(std::string_view text, int field = 0, bool forceComma = false);

// The first numeric column of a table text (".csv"): fields separated by
// TABs, else by semicolons, else by commas; the first column in which most
// non-empty lines hold a number, as one field per line (heading lines that
// hold no number in it become empty lines).
std::string FirstNumericColumn(std::string_view text);

// The value of one cell of a column read by ReadNumberColumn.
std::optional<double> ColumnValue(const TNumberColumn& column, const std::string& cell);

// "Row 3: "abc" is not a number": the detail line under a refusal.
std::string NotANumberDetail(int row, std::string_view text);

// Fills dm from the text. Each line is one grid row; an empty line is an
// empty cell (a removed datum); a TAB moves to the next grid column, which
// does not exist to the right of the value column, so only the first field of
// a line is taken. Throws TavorixError with the program's message when the
// data are refused (non-real value, too many zeros, a value at or below
// -1 000 000, fewer than 6 values); a second line names the row at fault
// where there is one. Notes for the user (such as a changed number of
// classes) are appended to notes.
void ImportDataText(std::string_view text, const TImportOptions& options, TDMTavorix& dm,
                    std::string* notes = nullptr);

}  // namespace tavorix
