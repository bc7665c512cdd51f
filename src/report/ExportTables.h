#pragma once
// The results of a run as tables for other programs: read back from the
// results report (".out"), the parameter file (".aux") and the ranked list
// (".Lst") of the same base name, and written as CSV files (header row, "."
// as decimal separator whatever the locale, UTF-8, LF line ends).

#include <iosfwd>
#include <string>
#include <vector>

namespace tavorix {

// A table of text cells; numbers are written in the shortest form that
// reads back to the same value.
struct ExportTable {
  std::string FileName;  // "intervals.csv", ...
  std::string Title;     // the report's heading of the table
  std::vector<std::string> Header;
  std::vector<std::vector<std::string>> Rows;
  // The report's lines of a table of the report (0-based): its heading and
  // its closing rule.
  std::size_t FirstLine = 0, LastLine = 0;
};

struct ResultsExport {
  std::string Title1, Title2;  // UTF-8
  std::string InputFile;       // as the report names it
  int N = 0;
  int Code = 0;
  std::string DistributionName;  // graph title of the code
  bool Preferred = false;        // the user preferred the distribution
  // The report's lines of the chosen distribution: formula and parameters.
  std::vector<std::string> Description;
  // The statistics line and the goodness-of-fit lines of the report.
  std::vector<std::string> Statistics;
  std::string ReturnPeriodAverage;  // the average difference of the return periods
  std::string ConfidenceR;          // efficiency coefficient R of calculated X
  ExportTable Intervals, Frequencies, ReturnPeriods, CalculatedX, Fits, Parameters;
  // Design values with the bootstrap interval of X, when an export asks for
  // them (design_values.csv and a table of the page); no rows otherwise.
  ExportTable DesignValues;
  std::string DesignNote;
};

// Reads the report at outPath with the files beside it. Throws TavorixError
// with the program's messages when the report or its parameter file cannot
// be read or is none, and when a table of the report is damaged. Without a
// ranked list (a run with a preferred distribution) the fits table has no
// rows.
ResultsExport ReadResultsExport(const std::string& outPath);

// The fits of a ranked list's lines in the list's order (rank, code, name,
// average). Throws TavorixError naming `path` when the lines are no ranked
// list or an average is no number.
void ReadFitsTable(const std::vector<std::string>& lines, const std::string& path, ExportTable& table);

// One CSV file: the header row, then the rows; a field with a comma, a
// double quote or a line end is quoted (quotes doubled).
void WriteCsv(std::ostream& out, const ExportTable& table);

// The table as tab-separated lines (header first), for the clipboard.
std::string TabSeparated(const ExportTable& table);

// The table of the report (intervals, frequencies, return periods,
// calculated X) whose lines hold the report line `line`; nullptr when the
// line lies outside them.
const ExportTable* ReportTableAtLine(const ResultsExport& results, std::size_t line);

// The CSV files named in the tables into the folder (made when missing),
// each atomically: intervals.csv, frequencies.csv, return_periods.csv,
// fits.csv and parameters.csv, and design_values.csv when the design values
// have rows. Returns their paths.
std::vector<std::string> WriteCsvFolder(const ResultsExport& results, const std::string& folder);

// The text as UTF-8: valid UTF-8 stays, other bytes are read as Latin-1.
std::string AsUtf8(const std::string& text);

}  // namespace tavorix
