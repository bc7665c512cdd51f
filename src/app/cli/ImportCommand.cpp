// tavorix-cli import: a column of numbers becomes an input file (".inp"),
// checked as Save-Run checks the grid.

#include <filesystem>
#include <iostream>

#include "Commands.h"
#include "core/DataImport.h"
#include "core/StringToFloat.h"
#include "core/TextLines.h"
#include "core/UDMTavorix.h"

namespace tavorix::cli {

int RunImport(const Args& args) {
  std::string input, output;
  TImportOptions options;
  options.ClassesText = "5";
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-o") {
      output = OptionValue(args, i);
    } else if (a == "--title1") {
      options.Title1 = OptionValue(args, i);
    } else if (a == "--title2") {
      options.Title2 = OptionValue(args, i);
    } else if (a == "--classes") {
      options.ClassesText = OptionValue(args, i);
      if (!ParseFileInteger(TrimBlanks(options.ClassesText)))
        throw UsageError("The number of classes is not a valid integer");
    } else if (a == "--composite") {
      options.CompositeAllowed = true;
    } else if (a == "--decimal-comma" || a == "--thousands-comma") {
      options.Commas = CommaReadingOption(a, options.Commas);
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError("unknown option " + a);
    } else if (input.empty()) {
      input = a;
    } else {
      throw UsageError("more than one data file given");
    }
  }
  if (input.empty()) throw UsageError("no data file given");

  namespace fs = std::filesystem;
  if (output.empty()) output = fs::path(input).replace_extension(".inp").string();
  const fs::path target = fs::absolute(output).lexically_normal();
  if (fs::exists(input) && fs::exists(target) && fs::equivalent(input, target))
    throw UsageError("the output file would replace the data file; name another with -o");

  TDMTavorix dm;
  dm.FileName = target.string();
  options.AmbiguityAdvice = kCommaAdvice;
  std::string notes;
  ImportDataText(ReadWholeFile(input), options, dm, &notes);
  std::cerr << notes;
  dm.WriteInputFile();
  std::cout << dm.FileName << ": " << dm.NrOfData << " data written\n";
  return kExitOk;
}

}  // namespace tavorix::cli
