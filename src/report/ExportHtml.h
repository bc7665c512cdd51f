#pragma once
// The results of a run as one self-contained HTML page: titles, the chosen
// distribution with its formula and parameters, goodness of fit, graphs
// (inline SVG documents that the caller draws) and every table.

#include <iosfwd>
#include <string>
#include <vector>

#include "report/ExportTables.h"

namespace tavorix {

struct HtmlGraph {
  std::string Caption;
  std::string Svg;  // an SVG document; its XML declaration is dropped when it is put inline
};

// Writes the page (UTF-8, LF line ends). Nothing refers to another file.
// `footer` names the program that made it.
void WriteHtmlReport(std::ostream& out, const ResultsExport& results, const std::vector<HtmlGraph>& graphs,
                     const std::string& footer);

// Text with &, <, > and " as entities.
std::string HtmlEscape(const std::string& text);

}  // namespace tavorix
