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

struct LoadedResults {
  std::vector<std::string> Lines;     // the report, line by line
  int Code = 0;                       // distribution code from the ".aux"; 0 when missing
  bool ParameterFileMissing = false;  // the ".aux" does not exist or cannot be opened
};

// Reads the report at outPath and the code from the ".aux" of the same base
// name (with or without its header line). Throws TavorixError with
// ReportOpenErrorText when the report cannot be opened.
LoadedResults LoadResultsAndCode(const std::string& outPath);

}  // namespace tavorix
