#pragma once
// Text that leaves the program in a file format of its own rules: each
// writer escapes through one of these, so that a title, a file name or a
// data line can never become markup, a formula or an invalid document.

#include <string>
#include <string_view>

namespace tavorix {

// The text as valid UTF-8: every byte that does not belong to a well-formed
// UTF-8 sequence becomes U+FFFD.
std::string ValidUtf8(std::string_view text);

// Text for XML and HTML content and attribute values (in double quotes):
// valid UTF-8 with & < > " as entities; control characters that XML does not allow become U+FFFD.
std::string XmlEscape(std::string_view text);

// One CSV cell: valid UTF-8; a text that a spreadsheet would take for a
// formula (beginning with =, +, -, @, TAB or CR, and not a number) gets a
// leading apostrophe; quoted when it holds a comma, quote or line end.
// With alwaysQuote the cell is quoted whatever it holds.
std::string CsvCell(std::string_view text, bool alwaysQuote = false);

// A message for a terminal: control characters other than the line end
// shown as \xHH, so that an escape sequence in a file cannot drive it.
std::string TerminalText(std::string_view text);

}  // namespace tavorix
