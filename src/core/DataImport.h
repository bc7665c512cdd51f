#pragma once
// Turns a plain column of numbers (one per line) into the series of the data
// module, with the same checks as Save-Run. Used by "tavorix-cli import".

#include <string>
#include <string_view>

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

// Fills dm from the text. Each line is one grid row; an empty line is an
// empty cell (a removed datum); a TAB moves to the next grid column, which
// does not exist to the right of the value column, so only the first field of
// a line is taken. Throws TavorixError with the program's message when the
// data are refused (non-real value, too many zeros, a value at or below
// -1 000 000, fewer than 6 values). Notes for the user (such as a changed
// number of classes) are appended to notes.
void ImportDataText(std::string_view text, const TImportOptions& options, TDMTavorix& dm,
                    std::string* notes = nullptr);

}  // namespace tavorix
