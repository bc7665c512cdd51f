#pragma once
// Loading a results report for the Output page, with the distribution code
// from the parameter file beside it (after a run, or when the user opens an
// older ".out" file). The window shows the lines and, when the parameter
// file is missing, kRunAgainText.

#include <string>
#include <string_view>
#include <vector>

namespace tavorix {

inline constexpr const char* kRunAgainText = " If you wish to make use of the calculator, run the program again";

// "The file "PATH" could not be opened.  It may be damaged,  not created due
// to inadequate input data,  or in use by another program"
std::string ReportOpenErrorText(std::string_view path);

// "The file "PATH" is not a results file of Tavorix": a results report,
// parameter file or ranked list that does not hold what a run writes there.
std::string NotResultsFileText(std::string_view path);

// Whether the lines are what a run writes as its results report (".out"),
// parameter file (".aux": the header line or none, then the code and one
// number a line) and ranked list (".Lst"), judged by their first lines.
bool IsResultsReport(const std::vector<std::string>& lines);
bool IsParameterFile(const std::vector<std::string>& lines);
bool IsRankedList(const std::vector<std::string>& lines);

// Reads the file at path and throws TavorixError with NotResultsFileText
// when the test does not accept its lines (a file that cannot be opened
// passes: its reader reports that).
void CheckResultsFile(const std::string& path, bool (*accepts)(const std::vector<std::string>&));

struct LoadedResults {
  std::vector<std::string> Lines;     // the report, line by line
  int Code = 0;                       // distribution code from the ".aux"; 0 when missing
  bool ParameterFileMissing = false;  // the ".aux" does not exist or cannot be opened
};

// Reads the report at outPath and the code from the ".aux" of the same base
// name (with or without its header line). Throws TavorixError with
// ReportOpenErrorText when the report cannot be opened, and with
// NotResultsFileText when the report or an existing ".aux" is not one.
LoadedResults LoadResultsAndCode(const std::string& outPath);

}  // namespace tavorix
