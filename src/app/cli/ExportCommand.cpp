// tavorix-cli export: the results of a run as CSV tables for spreadsheets
// and as one self-contained HTML page with its graphs.

#include <iostream>
#include <sstream>

#include "Commands.h"
#include "core/AtomicFile.h"
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
};

ExportOptions ParseExportArgs(const Args& args) {
  ExportOptions e;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--csv") {
      e.CsvFolder = OptionValue(args, i);
    } else if (a == "--html") {
      e.HtmlFile = OptionValue(args, i);
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError("unknown option " + a);
    } else if (e.Report.empty()) {
      e.Report = a;
    } else {
      throw UsageError("more than one results file given");
    }
  }
  if (e.Report.empty()) throw UsageError("no results file given");
  if (e.CsvFolder.empty() && e.HtmlFile.empty()) throw UsageError("nothing to export (--csv DIR, --html FILE)");
  if (!e.HtmlFile.empty()) CheckOutputPath(e.HtmlFile, SeriesFiles(e.Report), {".html", ".htm"}, "--html");
  if (!e.CsvFolder.empty()) CheckOutputPath(e.CsvFolder, SeriesFiles(e.Report), {}, "--csv");
  return e;
}


}  // namespace

int RunExport(const Args& args) {
  const ExportOptions e = ParseExportArgs(args);
  RequireNoDirectory(e.Report);
  const ResultsExport results = ReadResultsExport(e.Report);
  if (!e.CsvFolder.empty()) {
    for (const std::string& path : WriteCsvFolder(results, e.CsvFolder)) std::cout << "Written " << path << "\n";
  }
  if (!e.HtmlFile.empty()) {
#ifdef TAVORIX_WITH_DRAWING
    const DrawingApp app;
    const DrawingCalls& draw = app.Calls();
    const std::vector<HtmlGraph> graphs =
        ReportPageGraphs(e.Report, [&](const GraphView& view) { return draw.Svg(view, true, true); });
    WriteFileAtomically(e.HtmlFile, [&](std::ostream& out) {
      WriteHtmlReport(out, results, graphs, draw.Footer());
    });
    std::cout << "Written " << e.HtmlFile << "\n";
#else
    std::cerr << "tavorix-cli export: this build has no drawing (configured without the Qt parts)\n";
    return kExitRefused;
#endif
  }
  return kExitOk;
}

}  // namespace tavorix::cli
