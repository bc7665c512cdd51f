#include "report/ResultsLoader.h"

#include <filesystem>
#include <fstream>

#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "report/ParameterFile.h"

namespace tavorix {

std::string ReportOpenErrorText(std::string_view path) {
  std::string s = "The file \"";
  s += path;
  s += "\" could not be opened.  It may be damaged,";
  s += "  not created due to inadequate input data,";
  s += "  or in use by another program";
  return s;
}

LoadedResults LoadResultsAndCode(const std::string& outPath) {
  std::error_code ec;
  std::ifstream in(outPath, std::ios::binary);
  if (!in || std::filesystem::is_directory(outPath, ec)) throw TavorixError(ReportOpenErrorText(outPath));
  LoadedResults loaded;
  loaded.Lines = ReadLines(in);
  if (in.bad()) throw TavorixError(ReportOpenErrorText(outPath));
  // A damaged parameter file counts as missing: the report is still shown.
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
