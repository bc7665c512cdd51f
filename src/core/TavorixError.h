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

// "The file "PATH"could not be opened. It may be in use by another program"
std::string FileOpenErrorText(std::string_view path);

// "A program error occurred.Real numbers in the inputfile "PATH" are invalid"
std::string InvalidRealsErrorText(std::string_view path);

// Refusal of a value at or below the threshold of -1 000 000; such a value
// would leave the highest ranks of a run unfilled.
std::string ValueTooLowText(double value);

}  // namespace tavorix
