// A results report (".out") with the parameter file beside it (".aux", after
// a line "@@aux"): the report's frequency table as the confidence stage
// reads it, the report and code as the Output page loads them, and the six
// graphs as the Graphics page prepares them.

#include <sstream>

#include "FuzzSupport.h"
#include "core/TavorixError.h"
#include "graphs/GraphView.h"
#include "report/ConfidenceStage.h"
#include "report/ResultsLoader.h"

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

  for (int n : {1, 6, 12}) {
    std::istringstream table{std::string(report)};
    try {
      if (static_cast<int>(ReadReportTable(table, n).size()) != n) fuzz::Fail("table rows");
    } catch (const TavorixError&) {
    }
  }
  try {
    (void)LoadResultsAndCode(outPath);
  } catch (const TavorixError&) {
  }
  for (int type = 1; type <= 6; ++type) {
    GraphView view;
    try {
      PrepareGraph(outPath, type, view);
    } catch (const TavorixError&) {
      continue;
    }
    if (view.Axes.Xhi <= view.Axes.Xlo || view.Axes.Yhi <= view.Axes.Ylo) fuzz::Fail("empty axis");
  }
  return 0;
}
