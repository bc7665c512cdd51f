// A results report (".out") with the parameter file beside it (".aux", after
// a line "@@aux"): the frequency table for a count of rows, then the report,
// code and tables as the export reads them or one of the graphs as the
// Graphics page prepares it. The input's length chooses the row count and
// what reads the files, so that each run reads them once or twice rather
// than a dozen times.

#include <sstream>

#include "FuzzSupport.h"
#include "core/TavorixError.h"
#include "graphs/GraphView.h"
#include "report/ConfidenceStage.h"
#include "report/ExportTables.h"

using namespace tavorix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [report, aux] = fuzz::SplitAt(fuzz::AsText(data, size), "\n@@aux\n");
  static const std::string outPath = fuzz::ScratchPath("fuzz.out");
  static const std::string auxPath = fuzz::ScratchPath("fuzz.aux");
  fuzz::WriteScratchFile(outPath, report);
  if (aux.empty())
    fuzz::RemoveScratchFile(auxPath);
  else
    fuzz::WriteScratchFile(auxPath, aux);

  const int n = (size / 7) % 3 == 0 ? 1 : (size / 7) % 3 == 1 ? 6 : 12;
  std::istringstream table{std::string(report)};
  try {
    if (static_cast<int>(ReadReportTable(table, n).size()) != n) fuzz::Fail("table rows");
  } catch (const TavorixError&) {
  }
  // The export's readers or one graph (the input's length chooses).
  if (size % 3 == 0) {
    try {
      const ResultsExport results = ReadResultsExport(outPath);
      if (results.Frequencies.Rows.size() > static_cast<std::size_t>(results.N)) fuzz::Fail("more rows than data");
    } catch (const TavorixError&) {
    }
    return 0;
  }
  const int type = 1 + static_cast<int>(size / 3 % 6);
  GraphView view;
  try {
    PrepareGraph(outPath, type, view);
  } catch (const TavorixError&) {
    return 0;
  }
  if (view.Axes.Xhi <= view.Axes.Xlo || view.Axes.Yhi <= view.Axes.Ylo) fuzz::Fail("empty axis");
  return 0;
}
