#pragma once
// The results report of a run: header, the description of the chosen
// distribution, statistics of X, the interval analysis, observed and
// calculated cumulative frequencies with 90% limits, goodness of fit and
// return periods. The confidence stage takes the rows of its frequency table
// as printed and the final stage appends the confidence lines to it.

#include <iosfwd>
#include <cstddef>
#include <string>
#include <vector>

#include "fitting/TavorixRun.h"

namespace tavorix {

// What the run keeps from the report besides the text.
// Lines 4 and 5 of the report hold the user's titles, free text that may
// begin like a section marker (" Obs", " Int", " Ret", " Con"); readers look
// for the markers only after these first lines.
inline constexpr std::size_t kReportTitleLines = 5;
// The first line of every results report, by which its readers know it.
inline constexpr const char* kReportFirstLine = " RESULTS OF Tavorix PROGRAM";

// One row of the report's table " Observed and calculated cumulative
// frequencies": X (input units), serial number, then Rank, Calc, St.Dev,
// Lower and Upper in %.
struct ReportTableRow {
  double X = 0;
  int Serial = 0;
  double Rank = 0, Calc = 0, StDev = 0, Lower = 0, Upper = 0;
};

struct ReportSummary {
  bool Found = false;     // a distribution was chosen (DistCode is not 0)
  double AvAbsDiff = 0;   // average |Fc - Fr| in %, for the data module
  double R2 = 0;          // efficiency coefficient of Fc against Fr
  double MedianX = 0;     // median of the data in input units
  int XDecimals = 0;      // decimals of X in the frequency and return-period tables
  int ClassDecimals = 0;  // decimals of the statistics line and the class limits
  bool TinyData = false;  // X values are printed in the "%8.3e" form
  // The rows of the frequency table as printed: every number is its printed
  // text read back, so the rows hold exactly what the report shows.
  std::vector<ReportTableRow> Table;
  // Rank of the first row with a printed field that is no number (not
  // finite), else 0; such a table has no usable rows.
  int UnreadableRow = 0;
};

// Writes the report body with CR LF line ends. inputPath names the series; it is printed with the extension
// ".inp". The run is only read: X values are printed in input units.
ReportSummary WriteResultsReport(std::ostream& out, const TavorixRun& run, const std::string& inputPath);

// Decimals of X in the frequency and return-period tables, from the largest
// value in input units: 4 below 1, 3 below 10, 2 below 100, 1 below 500, else 0.
int FrequencyTableDecimals(double largestX);
// The largest magnitude of X as the report prints it (input units when moved).
double LargestPrintedX(const TavorixRun& run);

// Decimals of the statistics line and the interval table, from the highest
// class boundary in input units: 3, 2 above 10, 1 above 100, 0 above 1000.
int ClassTableDecimals(double highestBound);

}  // namespace tavorix
