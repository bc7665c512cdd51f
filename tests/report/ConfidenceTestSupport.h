#pragma once
// Run contexts and report text for the confidence-stage tests: the frequency
// table of a results report, written in the report's row layout.

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "core/NumberFormat.h"
#include "fitting/FitTestSupport.h"

namespace tavorix::testing {

// A run of the given input values with the move of data preparation for
// negative values (Shift = smallest value, X = value - Shift + 0.0001).
inline TavorixRun MakeMovedRun(std::vector<double> inputValues) {
  TavorixRun run = MakeRun(std::move(inputValues));
  const double smallest = static_cast<double>(run.X[1]);
  if (smallest < 0) {
    run.Shift = smallest;
    for (int i = 1; i <= run.N; ++i) run.X[i] = run.X[i] - smallest + 0.0001L;
  }
  return run;
}

// A report around the given table rows: lines before the table (none of
// them starting with " Obs"), the table heading, the rows, and what follows.
inline std::string ReportWithTable(const std::string& rows) {
  return std::string(" RESULTS OF Tavorix PROGRAM\r\n Cumulative frequency analysis\r\n\r\n") +
         " Interval analysis\r\n --------------------------------------\r\n"
         "   Class limits of X    Class frequency\r\n    Lower    Upper      Obs. (%)  Calc.\r\n"
         " --------------------------------------\r\n\r\n\r\n"
         " Observed and calculated cumulative frequencies\r\n"
         " ------------------------------------------------------------------\r\n"
         "   X-value   Serial    Cumulative frequency (%)       90%conf limit\r\n"
         "   Ranked     No.      Rank      Calc.    St.Dev     Lower    Upper\r\n"
         " ------------------------------------------------------------------\r\n" +
         rows +
         " ------------------------------------------------------------------\r\n"
         " Average of absolute differences between calculated and\r\n";
}

// Table rows of a run whose calculated frequency at the moved value x is
// fc(x): X printed in input units with the given decimals (or in the
// scientific form), the percentages with two decimals and binomial limits.
inline std::string TableRowsFromFc(const TavorixRun& run, const std::function<double(double)>& fc, int decimals,
                                   bool scientific = false) {
  std::string text;
  for (int i = 1; i <= run.N; ++i) {
    const double moved = static_cast<double>(run.X[i]);
    const double input = moved + run.Shift - 0.0001;
    const double rank = 100.0 * static_cast<double>(run.Fr[i]);
    double calc = std::fmin(100.0 * fc(moved), 99.99);
    if (calc <= 0) calc = rank * 0.5;
    const double sd = 100.0 * std::sqrt(calc / 100.0 * (1 - calc / 100.0) / run.N);
    const double lower = std::fmax(calc - 3.4 * sd * calc / 100.0, 0.0001);
    const double upper = std::fmin(calc + 3.4 * sd * (100.0 - calc) / 100.0, 99.99);
    const int serial = run.SerialOfRank[i];
    text += (scientific ? FormatE3(input) : FormatFixed(input, 8, decimals)) + "      " + FormatInt(serial) +
            (serial < 10 ? "  " : serial < 100 ? " " : "") + FormatFixed(rank, 10, 2) + FormatFixed(calc, 10, 2) +
            FormatFixed(sd, 10, 2) + FormatFixed(lower, 10, 2) + FormatFixed(upper, 10, 3) + "\r\n";
  }
  return text;
}

}  // namespace tavorix::testing
