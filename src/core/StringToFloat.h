#pragma once
// Text-to-number conversion. Numbers typed or pasted by the user go through
// StringToFloat and ReadNumber, which know the decimal comma and the comma
// as thousands separator; numbers of the program's own files go through
// ParseFileReal/ParseFileInteger, which always use a point. None of them
// looks at the C or C++ locale.

#include <optional>
#include <string_view>

namespace tavorix {

// The decimal separator in which the grid and the fields show numbers: the
// locale's, for the whole session. Owned by the window (or the command-line
// import); there is no process-wide separator.
struct TDecimalSettings {
  char DecimalSeparator = '.';
};

// How the commas of a number are read. A point is always a decimal point.
//   Detect:    the one reading the text has; a text that reads both ways
//              ("1,234": 1.234 or 1234) has none.
//   Decimal:   a comma is the decimal separator.
//   Thousands: commas separate groups of three digits before the point.
enum class TCommaReading { Detect, Decimal, Thousands };

// A text in the thousands layout: a sign, 1 to 3 digits, one or more groups
// of a comma and 3 digits, then optionally a point and decimals ("1,234",
// "-12,345,678.25").
bool HasThousandsLayout(std::string_view text);

// A text that is a number both with a decimal comma and with a thousands
// separator: the thousands layout with one comma and no point ("1,234").
bool CommaReadsBothWays(std::string_view text);

// One number (blanks around it allowed; optional sign; optional exponent "E"
// or "e" with sign), its commas read as `commas` says; nullopt when the text
// is no finite number that way.
std::optional<double> ReadNumber(std::string_view text, TCommaReading commas);

// A typed value in the session's separator: the separator of the settings is
// read first; a number written with the other separator is read where it has
// only one reading ("12,5" is 12.5 in a session with a decimal point, "12.5"
// in one with a decimal comma; "1,234" is refused where the point is the
// separator). The settings are never changed: numbers are shown and read in
// one way for the whole session. nullopt for a blank text and a non-number.
std::optional<double> StringToFloat(std::string_view text, const TDecimalSettings& settings);

// A real of a file: fixed or exponent notation with a point, optional sign.
// The whole token must be the number; infinities and NaN are refused.
std::optional<double> ParseFileReal(std::string_view token);

// A decimal integer with optional sign; the whole token must be the number.
std::optional<int> ParseFileInteger(std::string_view token);

}  // namespace tavorix
