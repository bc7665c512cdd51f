#include "report/ResultsLoader.h"

#include <filesystem>
#include <fstream>

#include "core/StringToFloat.h"
#include "core/TavorixError.h"
#include "core/TextFile.h"
#include "core/TextLines.h"
#include "fitting/FitAll.h"
#include "report/ParameterFile.h"
#include "report/ResultsReport.h"
#include "report/ResultsSet.h"

namespace tavorix {

std::string ReportOpenErrorText(std::string_view path) {
  std::string s = "The file \"";
  s += path;
  s += "\" could not be opened.  It may be damaged,";
  s += "  not created due to inadequate input data,";
  s += "  or in use by another program";
  return s;
}

std::string NotResultsFileText(std::string_view path) {
  std::string s = "The file \"";
  s += path;
  s += "\" is not a results file of Tavorix";
  return s;
}

bool IsResultsReport(const std::vector<std::string>& lines) {
  return !lines.empty() && lines[0] == kReportFirstLine;
}

bool IsParameterFile(const std::vector<std::string>& lines) {
  std::size_t at = !lines.empty() && lines[0] == kParameterFileHeader ? 1 : 0;
  if (at >= lines.size() || !ParseFileInteger(TrimBlanks(lines[at]))) return false;
  for (++at; at < lines.size(); ++at) {
    const std::string_view v = TrimBlanks(lines[at]);
    if (lines[at].starts_with(kResultsSetLabel)) continue;
    if (!v.empty() && !ParseFileReal(v)) return false;
  }
  return true;
}

bool IsRankedList(const std::vector<std::string>& lines) {
  return !lines.empty() && lines[0] == kRankedListFirstLine;
}

void CheckResultsFile(const std::string& path, bool (*accepts)(const std::vector<std::string>&)) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return;
  const std::optional<std::string> text = TryReadTextFile(path);
  if (!text) return;
  if (!accepts(SplitLines(*text))) throw TavorixError(NotResultsFileText(path));
}

LoadedResults LoadResultsAndCode(const std::string& outPath) {
  std::error_code ec;
  const std::optional<std::string> text = TryReadTextFile(outPath);
  if (!text || std::filesystem::is_directory(outPath, ec)) throw TavorixError(ReportOpenErrorText(outPath));
  LoadedResults loaded;
  loaded.Lines = SplitLines(*text);
  if (!IsResultsReport(loaded.Lines)) throw TavorixError(NotResultsFileText(outPath));
  CheckResultsFile(WithExtension(outPath, ".aux"), IsParameterFile);
  CheckResultsSet(outPath);
  // A parameter file with a code or count out of range counts as missing:
  // the report is still shown.
  ParameterFileContents parameters;
  try {
    loaded.ParameterFileMissing = !ReadParameterFile(WithExtension(outPath, ".aux"), parameters, 5);
  } catch (const TavorixError&) {
    loaded.ParameterFileMissing = true;
    parameters = ParameterFileContents{};
  }
  loaded.Code = parameters.Code;
  return loaded;
}

}  // namespace tavorix
