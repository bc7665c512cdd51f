#pragma once
// Every number that the text files and the windows show is formatted here.
// All forms are locale-free (std::to_chars): a decimal point is always a
// point, whatever the C or C++ global locale says. Rounding is that of a C
// printf of the stored double: the exact decimal expansion is rounded to
// nearest, ties to even.

#include <string>

namespace tavorix {

// w:d — fixed notation with d decimals, right-aligned in w characters,
// wider when the number needs more. "%8.3f" is FormatFixed(v, 8, 3).
std::string FormatFixed(double v, int width, int decimals);

// The default form of a real written without width (23 characters):
// sign position, one digit, point, 14 digits, "E", sign, 4 exponent digits.
// 1.5 gives " 1.50000000000000E+0000".
std::string FormatScientific23(double v);

// The value field of a data line of an input file: FormatInputFixed from
// 1.0 up, FormatInputScientific below 1.0 (every negative value included).
std::string FormatInputValue(double v);

// Fixed notation with 2 decimals, more when 2 do not read back to the same
// double (at most 17 significant digits), right-aligned in at least 10.
// 123.45 gives "    123.45", 2.345 gives "     2.345".
std::string FormatInputFixed(double v);

// Sign position, one digit, point, mantissa digits, "E", sign and 4 exponent
// digits: 2 significant digits, more when 2 do not read back to the same
// double (at most 17). 0.5 gives " 5.0E-0001", 0.123 gives " 1.23E-0001".
std::string FormatInputScientific(double v);

// Scientific form with the given number of significant digits, "E", the
// exponent's sign and at least three exponent digits, right-aligned in at
// least width characters. FormatE(1234.5, 3) gives "1.23E+003".
std::string FormatE(double v, int significant, int width = 8);
inline std::string FormatE3(double v) { return FormatE(v, 3, 8); }  // "%8.3e"
inline std::string FormatE5(double v) { return FormatE(v, 5, 8); }  // "%8.5e"

// General format of a grid cell or calculator field: the value rounded to 15
// significant digits, trailing zeros dropped. Fixed notation for magnitudes
// from 1E-5 up to below 1E15, otherwise a mantissa, "E", a minus sign for
// negative exponents and the exponent without leading zeros (1E-7, 2.5E20).
// 1.5 gives "1.5", 100 gives "100", 0.1 + 0.2 gives "0.3".
std::string FormatGeneral(double v, char decimalSeparator = '.');

// Shortest digits that read back to the same double, in the style of %g
// (0.0001, 1e-05, 1e+20), for machine-readable output; "nan" and "inf" are
// not numbers there, callers check first.
std::string FormatShortest(double v);

// Integer in decimal without padding.
std::string FormatInt(long long v);

// Integer right-aligned in width characters, wider when needed.
std::string FormatInt(long long v, int width);

// Rounding to the nearest integer with halves to even, as the graphs' axis
// ladder and pixel positions round; beyond 1e15 in size (and NaN: 0) the
// result is held at +-1e15.
long long RoundHalfEven(double v);

}  // namespace tavorix
