// tavorix-cli run: the whole Save-Run pipeline on an input file (or on a
// plain column of numbers, which is first written as an input file).

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>

#include "Commands.h"
#include "Json.h"
#include "SeriesRun.h"
#include "StopSignals.h"
#include "core/AtomicFile.h"
#include "core/DataImport.h"
#include "core/StringToFloat.h"
#include "core/TavorixError.h"
#include "core/TextEscape.h"
#include "core/TextLines.h"
#include "core/UDMTavorix.h"
#include "fitting/Registry.h"
#include "fitting/FitAll.h"
#include "fitting/FitStatistics.h"
#include "fitting/FitWorkspace.h"
#include "report/ParameterFile.h"
#include "report/RunPipeline.h"

namespace tavorix::cli {

namespace {

void AddStatistics(Json& json, const GoodnessOfFit& g) {
  json["ks_D"] = g.KsD;
  json["ad_A2"] = g.AdA2;
  json["cvm_W2"] = g.CvmW2;
}

void PrintJson(std::ostream& out, const PipelineResult& r, const TavorixRun& run,
               const std::vector<RankedFitStatistics>& ranked) {
  const ReportLine line = ReportedLine(run.Fitted.DistCode, run.Fitted.P);
  Json parameters = Json::object();
  for (const auto& [name, value] : NamedParameters(run.Fitted, run.Shift)) parameters[name] = value;
  Json chosen = {{"code", r.DistCode},
                 {"list_name", std::string(ListName(r.DistCode))},
                 {"title", std::string(TitleName(r.DistCode))},
                 {"ParA", line.A},
                 {"ParB", line.B},
                 {"parameters", parameters}};
  AddStatistics(chosen, ChosenFitStatistics(run));
  // The ranked fits in the order of the ranked list file.
  Json rows = Json::array();
  for (const auto& e : ranked) {
    Json row = {{"code", e.Code}, {"list_name", e.Name}, {"average", e.Average}};
    AddStatistics(row, e.Statistics);
    rows.push_back(std::move(row));
  }
  WriteJson(out, {{"input", r.InputPath},
                  {"output", r.OutputPath},
                  {"parameters_file", r.ParameterPath},
                  {"ranked_list", std::filesystem::exists(r.ListPath) ? r.ListPath : std::string()},
                  {"n", run.N},
                  {"shift", run.Shift},
                  {"shifted", run.Shifted},
                  {"chosen", chosen},
                  {"AvAbsDiff", r.AvAbsDiff},
                  {"R2", r.R2},
                  {"ranked", rows}});
}

struct RunArgs {
  std::string Input, FitsCsv;
  SeriesSettings Settings;
  bool Json = false;
};

int RunRun(const RunArgs& a) {
  if (!a.FitsCsv.empty()) CheckOutputPath(a.FitsCsv, SeriesFiles(a.Input), {".csv"}, "--fits-csv");

  PipelineOptions options;
  options.Progress = [](std::string_view line) { std::cerr << line << "\n"; };
  options.Cancel = InstallStopSignals();
  SeriesRun series;
  try {
    RunSeries(a.Input, a.Settings, options, series,
              [](std::string_view notes) { std::cerr << TerminalText(notes); });
  } catch (const RunCancelled&) {
    std::cerr << " The run was stopped; no results were written.\n";
    return StoppedExitStatus();
  }
  const TavorixRun& run = series.Run;
  const PipelineResult& r = series.Result;
  for (const auto& notice : run.Notices) std::cerr << TerminalText(notice) << "\n";
  if (const std::string failure = SeriesFailure(r); !failure.empty()) {
    std::cerr << failure << "\n";
    return kExitRefused;
  }
  // The statistics cost an evaluation of every fit at every datum: only
  // when they are asked for.
  std::vector<RankedFitStatistics> ranked;
  if (a.Json || !a.FitsCsv.empty()) ranked = RankedFitsWithStatistics(run);
  if (!a.FitsCsv.empty()) {
    // A preferred run has no ranked list: its one fit is the one row.
    std::vector<RankedFitStatistics> rows = ranked;
    if (!run.BestOfAll())
      rows.push_back({1, r.DistCode, std::string(ListName(r.DistCode)),
                      AverageOf(run.Slots[r.DistCode].Score, run.N), ChosenFitStatistics(run)});
    WriteFileAtomically(a.FitsCsv, [&](std::ostream& out) { WriteRankedFitsCsv(out, rows); });
  }
  if (a.Json)
    PrintJson(std::cout, r, run, ranked);
  else
    std::cout << r.Message << "\n";
  return kExitOk;
}

}  // namespace

CommandRun DefineRun(CLI::App& app) {
  auto a = std::make_shared<RunArgs>();
  a->Settings.CommaAdvice = kCommaAdvice;
  app.add_option("FILE.inp|DATA.txt", a->Input, "an input file, or a column of numbers (written as FILE.inp beside it)")
      ->required();
  AddPreferOption(app, a->Settings.Prefer);
  app.add_flag("--composite", a->Settings.Composite, "allow composite distributions");
  AddClassesOption(app, a->Settings.Classes);
  app.add_flag("--json", a->Json, "a summary as JSON on standard output");
  AddReadOption(app, "--fits-csv", a->FitsCsv,
                [](const std::string& text) {
                  if (text.empty()) throw CLI::ValidationError("needs a file name");
                  return text;
                },
                "the goodness-of-fit statistics of every ranked fit as CSV")
      ->type_name("FILE.csv");
  AddCommaOptions(app, a->Settings.Commas);
  return [a] { return RunRun(*a); };
}

}  // namespace tavorix::cli
