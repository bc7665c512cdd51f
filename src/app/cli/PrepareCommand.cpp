// tavorix-cli prepare: the prepared run data of an input file (ranked and
// moved values, plotting positions, serials), as JSON or as a plain table.

#include <iostream>
#include <memory>

#include "Commands.h"
#include "Json.h"
#include "core/DataPreparation.h"
#include "core/NumberFormat.h"
#include "fitting/TavorixRun.h"
#include "core/UDMTavorix.h"

namespace tavorix::cli {
namespace {

void PrintJson(const TavorixRun& run, const TDMTavorix& dm) {
  Json ranks = Json::array();
  for (int r = 1; r <= run.N; ++r)
    ranks.push_back({{"rank", r},
                     {"serial", run.SerialOfRank[r]},
                     {"value", static_cast<double>(dm.RankedValues[r])},
                     {"X", static_cast<double>(run.X[r])},
                     {"Fr", static_cast<double>(run.Fr[r])}});
  WriteJson(std::cout, {{"file", dm.FileName},
                        {"title1", run.ReportTitle1},
                        {"title2", run.ReportTitle2},
                        {"N", run.N},
                        {"Threshold", run.Threshold},
                        {"Shift", run.Shift},
                        {"Shifted", run.Shifted},
                        {"notices", run.Notices},
                        {"ranks", ranks}});
}

void PrintTable(const TavorixRun& run) {
  std::cout << " N = " << run.N << "   Shift = " << FormatGeneral(run.Shift)
            << "   Shifted = " << (run.Shifted ? "yes" : "no") << "\n";
  std::cout << "  Rank Serial              X        Fr\n";
  for (int r = 1; r <= run.N; ++r)
    std::cout << FormatInt(r, 6) << FormatInt(run.SerialOfRank[r], 7)
              << FormatFixed(static_cast<double>(run.X[r]), 15, 6)
              << FormatFixed(static_cast<double>(run.Fr[r]), 10, 6) << "\n";
}

int RunPrepare(const std::string& input, bool json) {
  RequireNoDirectory(input);
  TDMTavorix dm;
  dm.FileName = input;
  TavorixRun run;
  PrepareData(run, dm);
  if (json) {
    PrintJson(run, dm);
  } else {
    for (const auto& m : run.Notices) std::cerr << m << "\n";
    PrintTable(run);
  }
  return kExitOk;
}

}  // namespace

CommandRun DefinePrepare(CLI::App& app) {
  auto input = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  app.add_option("FILE.inp", *input, "the input file")->required();
  app.add_flag("--json", *json, "the prepared data as JSON");
  return [input, json] { return RunPrepare(*input, *json); };
}

}  // namespace tavorix::cli
