#pragma once
// The graphs drawn with the fitted distribution's X at frequencies: the Q-Q
// graph (type 7) and the probability paper (type 8), and the one entry that
// prepares every graph type.

#include <functional>
#include <string>
#include <vector>

#include "calculator/Calculator.h"
#include "graphs/GraphView.h"
#include "report/ExportHtml.h"

namespace tavorix {

struct BootstrapOptions;

inline constexpr const char* kQuantilesNotAvailable = " The Q-Q graph is not available for this distribution";

// Return periods labelled on the probability paper's axis.
inline constexpr double kPaperPeriods[] = {1.1, 2, 5, 10, 25, 50, 100, 200, 500, 1000};

// Reduced variate of the Gumbel scale, -ln(-ln F), and its inverse.
double GumbelVariate(double f);
double GumbelFrequency(double u);

// The calculator's files of a results report: its ".aux" and the ".inp"
// beside it; without the ".inp", the observed X of `rows` (a type 1 or 5
// table) stand for the data.
CalcInputs FittedInputsOf(const std::string& reportPath, const GraphData& rows);

// Types 7 and 8 from the report's table of observed and calculated
// frequencies and the fitted distribution. The Q-Q graph of a distribution
// without X from a frequency (Gamma) throws TavorixError
// (kQuantilesNotAvailable); its probability paper shows the observed points
// only. Errors as PrepareGraph; the view is left as it was.
void PrepareFittedGraph(const std::string& reportPath, int type, GraphView& view);

// Adds the bootstrap interval of X (a parametric bootstrap of the results
// file's fit, as `tavorix-cli bootstrap` makes it) to a prepared view of the
// return-period graph (4) or the probability paper (8): at the return period
// of every row (graph 4) or curve point (graph 8). Throws TavorixError where
// the file's fit cannot be bootstrapped and RunCancelled when options.Cancel
// is set; other types are left as they are.
void AddBootstrapBand(const std::string& reportPath, GraphView& view, const BootstrapOptions& options);

// Any graph type 1 to 8.
void PrepareAnyGraph(const std::string& reportPath, int type, GraphView& view, bool logPeriods = false);

// Graphs 1, 3, 4 and 7 of the report for its HTML page, each turned into an
// SVG document by `toSvg`; a graph the distribution does not give (the Q-Q
// graph without X from a frequency) is left out.
std::vector<HtmlGraph> ReportPageGraphs(const std::string& reportPath,
                                        const std::function<std::string(const GraphView&)>& toSvg);

}  // namespace tavorix
