#pragma once
// Design values: X with its 90% limits at a list of return periods, from the
// distribution of a finished run. Every row is what the calculator gives for
// that return period.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/Calculator.h"

namespace tavorix {

// The return periods of the table when the user names none.
inline const std::vector<double> kStandardReturnPeriods = {2, 5, 10, 20, 25, 50, 100, 200, 500, 1000};

inline constexpr const char* kDesignNotAvailable = " Design values are not available for this distribution";
inline constexpr const char* kDesignExtrapolatedNote =
    " * beyond the largest plotted return period of the data (N + 1): extrapolated";

struct DesignRow {
  double Period = 0;          // the return period asked for
  ValueResult Value;          // the calculator's result for it
  bool Extrapolated = false;  // T > N + 1
};

struct DesignTable {
  int Code = 0;
  int N = 0;
  bool Available = false;  // false for a code without an X from a frequency (Gamma)
  std::vector<DesignRow> Rows;
  bool AnyExtrapolated() const;
};

// Whether the calculator gives X from a frequency for the code.
bool DesignValuesAvailable(int code);

// One row per period, in the order given; each period passes the
// calculator's return-period check (TavorixError with its message).
// Unknown codes are refused as the calculator refuses them.
DesignTable MakeDesignTable(const CalcInputs& in, const std::vector<double>& periods);

// "2,5,10": return periods separated by commas (blanks allowed); each is
// read as the calculator reads a typed return period.
std::vector<double> ParseReturnPeriods(std::string_view text, TDecimalSettings& settings);

// The table as text cells: a header row (T, F, X, Xl, Xu, extrapolated),
// then one row per period; T as asked for (the calculator's T = 1/(1 - F)
// may differ from it in the last digits), the other numbers in the general
// format, "n.a" where the inverse has no value, "yes"/"no" for extrapolated.
std::vector<std::vector<std::string>> DesignTableCells(const DesignTable& table);

// CSV with a header line, LF line ends.
void WriteDesignTableCsv(std::ostream& out, const DesignTable& table);

}  // namespace tavorix
