// tavorix-cli import: a column of numbers becomes an input file (".inp"),
// checked as Save-Run checks the grid.

#include <filesystem>
#include <iostream>
#include <memory>

#include "Commands.h"
#include "core/DataImport.h"
#include "core/StringToFloat.h"
#include "core/TextLines.h"
#include "core/UDMTavorix.h"

namespace tavorix::cli {

namespace {

struct ImportArgs {
  std::string Input, Output;
  TImportOptions Options;
};

int RunImport(ImportArgs& a) {
  namespace fs = std::filesystem;
  const std::string& input = a.Input;
  const fs::path target =
      fs::absolute(a.Output.empty() ? fs::path(input).replace_extension(".inp") : fs::path(a.Output)).lexically_normal();
  if (fs::exists(input) && fs::exists(target) && fs::equivalent(input, target))
    throw UsageError("the output file would replace the data file; name another with -o");

  TDMTavorix dm;
  dm.FileName = target.string();
  a.Options.AmbiguityAdvice = kCommaAdvice;
  std::string notes;
  ImportDataText(ReadWholeFile(input), a.Options, dm, &notes);
  std::cerr << notes;
  dm.WriteInputFile();
  std::cout << dm.FileName << ": " << dm.NrOfData << " data written\n";
  return kExitOk;
}

}  // namespace

CommandRun DefineImport(CLI::App& app) {
  auto a = std::make_shared<ImportArgs>();
  a->Options.ClassesText = "5";
  app.add_option("DATA.txt", a->Input, "the column of numbers, one a line")->required();
  app.add_option("-o", a->Output, "the input file to write (default: DATA with the extension .inp)")
      ->type_name("FILE.inp");
  app.add_option("--title1", a->Options.Title1, "first title line")->type_name("T");
  app.add_option("--title2", a->Options.Title2, "second title line")->type_name("T");
  AddClassesOption(app, a->Options.ClassesText);
  app.add_flag("--composite", a->Options.CompositeAllowed, "allow composite distributions");
  AddCommaOptions(app, a->Options.Commas);
  return [a] { return RunImport(*a); };
}

}  // namespace tavorix::cli
