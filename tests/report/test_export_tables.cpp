// CSV tables and the HTML page of a results report, each row checked
// against the report's own row.

#include <gtest/gtest.h>

#include <clocale>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/TavorixError.h"
#include "core/TestUtil.h"
#include "report/ExportHtml.h"
#include "report/ExportTables.h"

namespace tavorix {
namespace {

std::string Data(const std::string& name) { return std::string(TAVORIX_TEST_DATA_DIR) + "/" + name; }

// gumbel12 with the ranked list of the golden files beside it.
std::string CopyOfRun(const test::TempDir& dir) {
  for (const char* ext : {".out", ".aux"})
    test::WriteFile(dir.File(std::string("run") + ext), test::ReadFile(Data(std::string("graphs/gumbel12") + ext)));
  test::WriteFile(dir.File("run.Lst"), test::ReadFile(Data("golden/ranked_list.Lst")));
  return dir.File("run.out");
}

std::vector<std::string> Split(const std::string& text, char by) {
  std::vector<std::string> out;
  std::string cell;
  std::istringstream in(text);
  while (std::getline(in, cell, by)) out.push_back(cell);
  return out;
}

std::vector<double> NumbersOf(const std::vector<std::string>& cells) {
  std::vector<double> v;
  for (const std::string& c : cells) v.push_back(std::stod(c));
  return v;
}

// The rows of numbers of the report's table under the heading that begins
// with `marker`, read independently of the program's readers.
std::vector<std::vector<double>> ReportRows(const std::string& report, const std::string& marker, int headerLines) {
  std::vector<std::vector<double>> rows;
  std::istringstream in(report);
  std::string line;
  int lineNo = 0, start = -1;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (start < 0 && lineNo++ >= 5 && line.rfind(marker, 0) == 0) start = lineNo + headerLines;
    else if (start >= 0 && lineNo++ >= start) {
      if (line.rfind(" ---", 0) == 0) break;
      std::istringstream cells(line);
      std::vector<double> row;
      for (std::string c; cells >> c;) row.push_back(std::stod(c));
      rows.push_back(row);
    }
  }
  return rows;
}

TEST(ExportTables, EveryCsvRowEqualsItsReportRow) {
  test::TempDir dir;
  const std::string out = CopyOfRun(dir);
  // Files take the point as decimal separator whatever the locale.
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  const auto written = WriteCsvFolder(ReadResultsExport(out), dir.File("csv"));
  std::setlocale(LC_ALL, previous.c_str());
  ASSERT_EQ(written.size(), 5u);

  const std::string report = test::ReadFile(out);
  const std::map<std::string, std::pair<std::string, int>> tables = {
      {"intervals.csv", {" Int", 4}}, {"frequencies.csv", {" Obs", 4}}, {"return_periods.csv", {" Ret", 4}}};
  for (const auto& [file, section] : tables) {
    const auto lines = Split(test::ReadFile(dir.File("csv/" + file)), '\n');
    const auto expected = ReportRows(report, section.first, section.second);
    ASSERT_EQ(lines.size(), expected.size() + 1) << file;
    ASSERT_GE(expected.size(), 7u) << file;
    for (std::size_t r = 0; r < expected.size(); ++r) {
      const auto cells = Split(lines[r + 1], ',');
      ASSERT_EQ(cells.size(), Split(lines[0], ',').size()) << file << " row " << r;
      EXPECT_EQ(NumbersOf(cells), expected[r]) << file << " row " << r;
    }
  }

  const auto fits = Split(test::ReadFile(dir.File("csv/fits.csv")), '\n');
  ASSERT_GE(fits.size(), 3u);
  EXPECT_EQ(fits[0], "rank,code,name,average %");
  EXPECT_EQ(fits[1], "1,4,Gumbel distribution,3.5");
  EXPECT_EQ(fits[2], "2,53,Logistic distribution,12.25");

  const auto params = Split(test::ReadFile(dir.File("csv/parameters.csv")), '\n');
  ASSERT_EQ(params.size(), 2u);
  EXPECT_EQ(params[0].substr(0, 10), "code,name,");
  EXPECT_EQ(params[0].substr(params[0].size() - 6), ",Shift");
  EXPECT_EQ(params[1], "4,Gumbel distribution,0.106353032422148,-2.39196311295221,0.0001");
}

TEST(ExportTables, DamagedTableIsRefused) {
  test::TempDir dir;
  const std::string out = CopyOfRun(dir);
  std::string report = test::ReadFile(out);
  const auto row = report.find("   14.20     20.82");
  ASSERT_NE(row, std::string::npos) << "an interval row of the fixture";
  test::WriteFile(out, report.replace(row, 8, "   14,20"));
  EXPECT_THROW(ReadResultsExport(out), TavorixError);
}

TEST(ExportHtml, PageIsSelfContainedWithTheGraphsInlineAndTheTitlesEscaped) {
  test::TempDir dir;
  ResultsExport r = ReadResultsExport(CopyOfRun(dir));
  r.Title1 = "Floods <Rhine> & \"Main\"";
  std::ostringstream page;
  WriteHtmlReport(page, r, {{"Cumulative distribution", "<?xml version=\"1.0\"?>\n<svg><circle/></svg>"}}, "Tavorix");
  const std::string html = page.str();
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(html.find("<h1>Floods &lt;Rhine&gt; &amp; &quot;Main&quot;</h1>"), std::string::npos);
  EXPECT_NE(html.find("<figure>\n<svg><circle/></svg>"), std::string::npos);
  EXPECT_EQ(html.find("<?xml"), std::string::npos);
  for (const char* external : {" src=", " href=", "@import", "url("}) EXPECT_EQ(html.find(external), std::string::npos) << external;
  // The chosen distribution, its parameters and every table.
  for (const char* part : {"<h2>Gumbel distribution</h2>", "A    = ", "<th>Shift</th>", "<h2>Interval analysis</h2>",
                           "<h2>Return periods</h2>", "<h2>Distributions ranked by data fit</h2>",
                           "<h2>Confidence limits of calculated X-values</h2>"})
    EXPECT_NE(html.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace tavorix

namespace tavorix {
namespace {

TEST(ExportText, TitlesBecomeUtf8) {
  EXPECT_EQ(AsUtf8("Pegel K\xC3\xB6ln"), "Pegel K\xC3\xB6ln");  // UTF-8 stays
  EXPECT_EQ(AsUtf8("Pegel K\xF6ln"), "Pegel K\xC3\xB6ln");      // Latin-1 is converted
  EXPECT_EQ(AsUtf8("cut \xC3"), "cut \xC3\x83");                // a cut sequence is no UTF-8
}

}  // namespace
}  // namespace tavorix
