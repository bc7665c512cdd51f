// tavorix-cli export: the results of a run as CSV tables for spreadsheets
// and as one self-contained HTML page with its graphs.

#include <iostream>
#include <memory>
#include <sstream>

#include "Commands.h"
#include "StopSignals.h"
#include "calculator/Bootstrap.h"
#include "core/AtomicFile.h"
#include "core/NumberFormat.h"
#include "core/StringToFloat.h"
#include "core/TextLines.h"
#include "core/TavorixError.h"
#include "report/ExportHtml.h"
#include "report/ExportTables.h"

#ifdef TAVORIX_WITH_DRAWING
#include "DrawingApp.h"
#include "graphs/fitted/FittedGraphs.h"
#endif

namespace tavorix::cli {

namespace {

struct ExportOptions {
  std::string Report, CsvFolder, HtmlFile;
  int Bootstrap = 0;  // replicas of the design values' bootstrap; 0: no design values
};

// The design values at the standard return periods with their bootstrap
// columns (Xl_boot, Xu_boot, p_ks, p_ad, p_cvm).
void AddDesignValues(ResultsExport& results, const std::string& report, int replicas) {
  const DesignTable table = MakeDesignTable(ReadCalcInputs(report), kStandardReturnPeriods);
  if (!table.Available) throw TavorixError(kDesignNotAvailable);
  BootstrapOptions options;
  options.Replicas = replicas;
  options.Cancel = InstallStopSignals();
  const BootstrapResult boot = RunBootstrap(LoadBootstrapSeries(report, options.Cancel), options);
  auto cells = DesignTableCells(table, boot);
  ExportTable& t = results.DesignValues;
  t.FileName = "design_values.csv";
  t.Title = "Design values";
  t.Header = cells[0];
  t.Rows.assign(cells.begin() + 1, cells.end());
  t.FirstLine = t.LastLine = 0;
  results.DesignNote = "X and its limits as the calculator gives them; Xl_boot and Xu_boot the " +
                       FormatGeneral(100 * boot.Level) + "% bootstrap interval of X from " +
                       std::to_string(boot.Replicas) + " replicas (" + std::to_string(boot.Failed) +
                       " failed" + (boot.Marked() ? ", fewer than 90% succeeded" : "") +
                       "); p_ks, p_ad, p_cvm the bootstrap p-values of the fit.";
}


int RunExport(const ExportOptions& e) {
  if (e.CsvFolder.empty() && e.HtmlFile.empty()) throw UsageError("nothing to export (--csv DIR, --html FILE)");
  if (!e.HtmlFile.empty()) CheckOutputPath(e.HtmlFile, SeriesFiles(e.Report), {".html", ".htm"}, "--html");
  if (!e.CsvFolder.empty()) CheckOutputPath(e.CsvFolder, SeriesFiles(e.Report), {}, "--csv");
  // A signal stops the export between its files; a file being written is
  // finished or not put in place, so no temporary file is left.
  const CancelFlag stop = InstallStopSignals();
  RequireNoDirectory(e.Report);
  ResultsExport results = ReadResultsExport(e.Report);
  if (e.Bootstrap > 0) {
    try {
      AddDesignValues(results, e.Report, e.Bootstrap);
    } catch (const RunCancelled&) {
      std::cerr << " The bootstrap was stopped; nothing was written.\n";
      return StoppedExitStatus();
    }
  }
  if (!e.CsvFolder.empty()) {
    ThrowIfCancelled(stop);
    for (const std::string& path : WriteCsvFolder(results, e.CsvFolder)) std::cout << "Written " << path << "\n";
  }
  if (!e.HtmlFile.empty()) {
#ifdef TAVORIX_WITH_DRAWING
    const DrawingApp app;
    const DrawingCalls& draw = app.Calls();
    const std::vector<HtmlGraph> graphs =
        ReportPageGraphs(e.Report, [&](const GraphView& view) { return draw.Svg(view, true, true); });
    WriteFileAtomically(
        e.HtmlFile, [&](std::ostream& out) { WriteHtmlReport(out, results, graphs, draw.Footer()); }, stop);
    std::cout << "Written " << e.HtmlFile << "\n";
#else
    std::cerr << "tavorix-cli export: this build has no drawing (configured without the Qt parts)\n";
    return kExitRefused;
#endif
  }
  return kExitOk;
}

}  // namespace

CommandRun DefineExport(CLI::App& app) {
  auto e = std::make_shared<ExportOptions>();
  app.add_option("FILE.out", e->Report, "the results report of a run")->required();
  app.add_option("--csv", e->CsvFolder, "write the tables as CSV files into this folder")->type_name("DIR");
  app.add_option("--html", e->HtmlFile, "write the results with their graphs as one HTML page")
      ->type_name("FILE.html");
  AddCountOption(app, "--bootstrap", e->Bootstrap, "add the design values with their bootstrap interval from B replicas")
      ->type_name("B");
  return [e] { return RunExport(*e); };
}

}  // namespace tavorix::cli
