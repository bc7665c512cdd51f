#include "calculator/DesignTable.h"

#include "fitting/Registry.h"

#include <algorithm>
#include <optional>
#include <ostream>

#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"

namespace tavorix {

bool DesignTable::AnyExtrapolated() const {
  for (const DesignRow& r : Rows)
    if (r.Extrapolated) return true;
  return false;
}

bool DesignValuesAvailable(int code) { return !NoXFromFrequency(code) && CalcCodeKnown(code); }

DesignTable MakeDesignTable(const CalcInputs& in, const std::vector<double>& periods) {
  for (double t : periods) CheckCalcReturnPeriod(t);
  DesignTable table;
  table.Code = in.Param.Code;
  table.N = in.Data.N;
  if (!CalcCodeKnown(table.Code)) throw TavorixError(kCalcNoParameters);
  table.Available = DesignValuesAvailable(table.Code);
  if (!table.Available) return table;
  // The largest plotted return period is that of the largest datum, N + 1.
  const double largestPlotted = table.N + 1.0;
  const ValueCalculator calc(in.Param, in.Data);
  for (double t : periods) {
    ValueResult value = calc.At(FrequencyOfReturnPeriod(t));
    value.T = t;  // the period as asked, not 1/(1 - F) of its frequency
    table.Rows.push_back({t, value, t > largestPlotted});
  }
  return table;
}

std::vector<double> ParseReturnPeriods(std::string_view text, TDecimalSettings& settings) {
  std::vector<double> periods;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    periods.push_back(ParseCalcReturnPeriod(TrimBlanks(text.substr(start, comma - start)), settings));
    start = comma + 1;
  }
  return periods;
}

std::vector<std::vector<std::string>> DesignTableCells(const DesignTable& table) {
  auto shown = [](const std::optional<double>& v) { return v ? FormatGeneral(*v) : std::string("n.a"); };
  std::vector<std::vector<std::string>> cells = {{"T", "F", "X", "Xl", "Xu", "extrapolated"}};
  for (const DesignRow& r : table.Rows) {
    const ValueResult& v = r.Value;
    cells.push_back({FormatGeneral(r.Period), FormatGeneral(v.F), shown(v.X), shown(v.Xl), shown(v.Xu),
                     r.Extrapolated ? "yes" : "no"});
  }
  return cells;
}

void WriteDesignTableCsv(std::ostream& out, const DesignTable& table) {
  for (const auto& row : DesignTableCells(table)) {
    for (std::size_t c = 0; c < row.size(); ++c) out << (c ? "," : "") << row[c];
    out << "\n";
  }
}

}  // namespace tavorix
