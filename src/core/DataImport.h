#pragma once
// Reading a column of numbers as the user gives it: a pasted clipboard text
// or a data file. The grid's paste and "tavorix-cli import" read through the
// same code, so a text means the same numbers in both.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/StringToFloat.h"
#include "core/UDMTavorix.h"

namespace tavorix {

struct TImportOptions {
  std::string Title1, Title2;
  std::string ClassesText = "5";  // as typed; checked like the classes box
  bool CompositeAllowed = false;
  // How commas are read: found from the column, or said by the user
  // (decimal comma, thousands separator).
  TCommaReading Commas = TCommaReading::Detect;
  // A line added under the refusal of a column whose commas read both ways
  // (how to say which they are); none when empty.
  std::string AmbiguityAdvice;
};

// Decimal separator of a data text: a comma when the text has commas and no point.
char DetectDecimalSeparator(std::string_view text);

// The first line of a column whose commas read both ways, and that line's cell.
struct TCommaAmbiguity {
  int Line = 0;
  std::string Cell;
};

// One column of a text: the cell of each line (blanks trimmed, "" for an
// empty line or a line without that field) and how its numbers are read.
struct TNumberColumn {
  std::vector<std::string> Cells;
  // How the commas of the cells are read (Detect: the column has no comma).
  TCommaReading Commas = TCommaReading::Detect;
  // Set when the column cannot be read safely: its numbers mix decimal
  // commas and points, or a comma that cannot be what the other numbers say.
  // Names the first doubtful line ("Line 3: ...").
  std::optional<std::string> Doubt;
  // Set when every comma of the column is followed by exactly three digits
  // and nothing tells a decimal comma from a thousands separator: the
  // column is read only once the user has said which.
  std::optional<TCommaAmbiguity> Ambiguous;
  // The first line, left out because it is no number (a heading such as
  // "Discharge"); Cells start at line FirstLine of the text.
  std::optional<std::string> Heading;
  int FirstLine = 1;
  // The field whose cells were taken: the one asked for, or the second when a
  // two-column block's first column counts 1, 2, 3 ... (serial numbers).
  int Field = 0;
};

// Splits text into lines (CR LF, LF or CR) and takes field `field` (0-based,
// fields separated by TABs) of each line. A first line of words that are no
// number is a heading and left out when more lines follow. With field 0, a block of two
// or more lines whose first fields count up by one (serial numbers, years)
// gives its second field. Commas: a column whose comma numbers include one
// that can only be a decimal comma ("1,5") has decimal commas; one that has a
// number in the thousands layout with a point ("1,234.5"), a point number, or
// a number with several commas ("1,234,567") beside numbers in that layout has
// thousands separators; a column whose every comma number reads both ways
// ("1,234") is ambiguous unless `commas` says which. A column that mixes
// decimal commas and points is doubtful.
TNumberColumn ReadNumberColumn(std::string_view text, int field = 0, TCommaReading commas = TCommaReading::Detect);

// The text of the question (or refusal) for an ambiguous column, with the
// first such value read both ways in the given decimal separator:
// "Line 1: "1,234" reads as 1.234 with a decimal comma, as 1234 with a
// thousands separator".
inline constexpr std::string_view kAmbiguousCommasText =
    "The commas of the numbers can be decimal commas or thousands separators";
std::string AmbiguousCommaDetail(const TCommaAmbiguity& ambiguity, char shownSeparator = '.');
// The same without the line: ""1,234" reads as 1.234 with ...".
std::string CommaReadings(std::string_view cell, char shownSeparator = '.');

// The status or standard-error note of a skipped heading line.
std::string HeadingNote(const TNumberColumn& column);

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
// a line is taken (the second after a counting first column). A heading line
// is left out with a note. Throws TavorixError with the program's message when the
// data are refused (non-real value, too many zeros, a value at or below
// -1 000 000, fewer than 6 values, commas that read both ways); a second line
// names the row at fault where there is one. Notes for the user (such as a changed number of
// classes) are appended to notes.
void ImportDataText(std::string_view text, const TImportOptions& options, TDMTavorix& dm,
                    std::string* notes = nullptr);

}  // namespace tavorix
