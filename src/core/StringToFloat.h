#pragma once
// Text-to-number conversion. Numbers typed or pasted by the user go through
// StringToFloat, which honours the decimal separator of a settings object;
// numbers of the program's own files go through ParseFileReal/ParseFileInteger,
// which always use a point. None of them looks at the C or C++ locale.

#include <optional>
#include <string_view>

namespace tavorix {

// The decimal separator of the grid and the fields. Owned by the window (or
// the command-line import); there is no process-wide separator.
struct TDecimalSettings {
  char DecimalSeparator = '.';
};

// Converts text (blanks around it allowed; optional sign; digits with the
// current separator; optional exponent "E" or "e" with sign) into a finite
// double. When that fails for a text that is not blank and the separator is
// a comma, the settings switch to a point for good and the text is converted
// once more; a second failure (and a blank text) is returned as nullopt.
std::optional<double> StringToFloat(std::string_view text, TDecimalSettings& settings);

// A real of a file: fixed or exponent notation with a point, optional sign.
// The whole token must be the number; infinities and NaN are refused.
std::optional<double> ParseFileReal(std::string_view token);

// A decimal integer with optional sign; the whole token must be the number.
std::optional<int> ParseFileInteger(std::string_view token);

}  // namespace tavorix
