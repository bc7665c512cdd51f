#pragma once
// Errors that the user can mend leave the core as a TavorixError carrying the
// program's own message text; the front end shows it (message box or stderr).

#include <stdexcept>
#include <string>
#include <string_view>

namespace tavorix {

class TavorixError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Prefix of a fatal data error; the message follows without a blank.
inline constexpr std::string_view ProgramErrorPrefix = "A program error occurred.";

// "The file "PATH" could not be opened. It may be in use by another program",
// with the system's reason for an error number err (errno) on a second line
// ("No space left on device", "Permission denied").
std::string FileOpenErrorText(std::string_view path, int err = 0);

// The system's reason for an error number, in its own words.
std::string SystemReason(int err);

// Text of a file name or data line for a message or a file: control
// characters (line ends, escape sequences) shown as \xHH, so that a name can
// neither break a line of a file nor drive the terminal.
std::string VisibleText(std::string_view text);

// "A program error occurred.Real numbers in the inputfile "PATH" are invalid"
std::string InvalidRealsErrorText(std::string_view path);

// "Line 52: "    2 abc"": the detail line that names a data line of a file
// that cannot be read (shown visibly, at most 80 characters of it).
std::string DataLineDetail(std::size_t lineNumber, std::string_view line);

// Refusal of a value at or below the threshold of -1 000 000; such a value
// would leave the highest ranks of a run unfilled.
std::string ValueTooLowText(double value);

}  // namespace tavorix
