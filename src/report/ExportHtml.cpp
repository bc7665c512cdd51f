#include "report/ExportHtml.h"

#include <ostream>

#include "core/TextEscape.h"

namespace tavorix {

namespace {

constexpr const char* kStyle = R"(
body { font-family: "Liberation Sans", Arial, Helvetica, sans-serif; color: #1a1a1a; max-width: 62em;
       margin: 2em auto; padding: 0 1em; line-height: 1.4; }
h1 { font-size: 1.6em; margin-bottom: 0.1em; }
h2 { font-size: 1.2em; margin-top: 2em; border-bottom: 1px solid #bbb; padding-bottom: 0.2em; }
.subtitle { font-size: 1.1em; color: #444; margin-top: 0; }
.facts { color: #444; }
pre { background: #f4f4f4; padding: 0.8em; overflow-x: auto; font-size: 0.95em; }
table { border-collapse: collapse; font-size: 0.9em; margin: 0.5em 0; }
th, td { padding: 0.15em 0.7em; text-align: right; border-bottom: 1px solid #e2e2e2; }
th { background: #ececec; position: sticky; top: 0; }
td.text, th.text { text-align: left; }
.graphs { display: grid; grid-template-columns: repeat(auto-fit, minmax(28em, 1fr)); gap: 1em; }
figure { margin: 0; }
figure svg { width: 100%; height: auto; display: block; }
figcaption { font-size: 0.9em; color: #444; text-align: center; }
.scroll { max-height: 40em; overflow-y: auto; display: inline-block; }
footer { margin-top: 3em; font-size: 0.85em; color: #666; }
)";

// The SVG document from its root element on (no XML declaration, no doctype).
std::string InlineSvg(const std::string& svg) {
  const auto root = svg.find("<svg");
  return root == std::string::npos ? std::string() : svg.substr(root);
}

bool IsNumber(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
  return true;
}

void Table(std::ostream& out, const ExportTable& t, bool scroll) {
  if (t.Header.empty()) return;
  out << (scroll ? "<div class=\"scroll\">" : "<div>") << "<table>\n<thead><tr>";
  for (const std::string& h : t.Header) out << "<th>" << HtmlEscape(h) << "</th>";
  out << "</tr></thead>\n<tbody>\n";
  for (const auto& row : t.Rows) {
    out << "<tr>";
    for (const std::string& c : row) out << (IsNumber(c) || c.empty() ? "<td>" : "<td class=\"text\">") << HtmlEscape(c) << "</td>";
    out << "</tr>\n";
  }
  out << "</tbody></table></div>\n";
}

void Section(std::ostream& out, const std::string& heading, const ExportTable& t, const std::string& note = {}) {
  if (t.Rows.empty()) return;
  out << "<h2>" << HtmlEscape(heading) << "</h2>\n";
  Table(out, t, t.Rows.size() > 30);
  if (!note.empty()) out << "<p>" << HtmlEscape(note) << "</p>\n";
}

}  // namespace

std::string HtmlEscape(const std::string& text) { return XmlEscape(text); }

void WriteHtmlReport(std::ostream& out, const ResultsExport& r, const std::vector<HtmlGraph>& graphs,
                     const std::string& footer) {
  const std::string title = r.Title1.empty() ? "Cumulative frequency analysis" : r.Title1;
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      << "<title>" << HtmlEscape(title) << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n";
  out << "<h1>" << HtmlEscape(title) << "</h1>\n";
  if (!r.Title2.empty()) out << "<p class=\"subtitle\">" << HtmlEscape(r.Title2) << "</p>\n";
  out << "<p class=\"facts\">Cumulative frequency analysis of " << r.N << " data";
  // The file's name without its folder: a page to hand on names no local path.
  const std::string file = r.InputFile.substr(r.InputFile.find_last_of("/\\") + 1);
  if (!file.empty()) out << " from <code>" << HtmlEscape(file) << "</code>";
  out << ".</p>\n";

  out << "<h2>" << HtmlEscape(r.DistributionName.empty() ? "No distribution found" : r.DistributionName)
      << (r.Preferred ? " (preferred by the user)" : "") << "</h2>\n";
  if (!r.Description.empty()) {
    out << "<pre>";
    for (const std::string& line : r.Description) out << HtmlEscape(line) << "\n";
    out << "</pre>\n";
  }
  Table(out, r.Parameters, false);
  out << "<p class=\"facts\">Parameters as the parameter file holds them: on the scale of the fit, X &minus; Shift + 0.0001 (a separation point P in X units).</p>\n";
  if (!r.Statistics.empty()) {
    out << "<h2>Goodness of fit</h2>\n<pre>";
    for (const std::string& line : r.Statistics) out << HtmlEscape(line) << "\n";
    out << "</pre>\n";
  }

  if (!graphs.empty()) {
    out << "<h2>Graphs</h2>\n<div class=\"graphs\">\n";
    for (const HtmlGraph& g : graphs)
      out << "<figure>\n" << InlineSvg(g.Svg) << "\n<figcaption>" << HtmlEscape(g.Caption) << "</figcaption>\n</figure>\n";
    out << "</div>\n";
  }

  Section(out, "Interval analysis", r.Intervals);
  Section(out, "Observed and calculated cumulative frequencies", r.Frequencies);
  Section(out, "Return periods", r.ReturnPeriods, r.ReturnPeriodAverage);
  Section(out, "Confidence limits of calculated X-values", r.CalculatedX, r.ConfidenceR);
  Section(out, r.DesignValues.Title, r.DesignValues, r.DesignNote);
  Section(out, "Distributions ranked by data fit", r.Fits);
  out << "<footer>" << HtmlEscape(footer) << "</footer>\n</body>\n</html>\n";
}

}  // namespace tavorix
