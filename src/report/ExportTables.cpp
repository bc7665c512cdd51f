#include "report/ExportTables.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "core/TextEscape.h"
#include "core/AtomicFile.h"
#include "core/NumberFormat.h"
#include "core/StringToFloat.h"
#include "core/TavorixError.h"
#include "core/TextFile.h"
#include "core/TextLines.h"
#include "fitting/Registry.h"
#include "report/ConfidenceStage.h"
#include "report/ParameterFile.h"
#include "report/ResultsLoader.h"
#include "report/ResultsReport.h"

namespace tavorix {

namespace {

bool StartsWith(std::string_view line, std::string_view prefix) { return line.substr(0, prefix.size()) == prefix; }

std::string Number(double v) { return FormatShortest(v); }

std::string DamagedTable(const std::string& path, const std::string& title) {
  return "The file \"" + path + "\" holds a damaged table \"" + title + "\"";
}

// Index of the first line after the titles that begins with the marker, or lines.size().
std::size_t FindSection(const LineSet& lines, std::string_view marker) {
  for (std::size_t i = kReportTitleLines; i < lines.size(); ++i)
    if (StartsWith(lines[i], marker)) return i;
  return lines.size();
}

// Rows of numbers of the section that begins with `marker`: `headerLines`
// lines below the marker line, up to the rule " ---". Each row holds
// `columns` numbers; the second column (the serial number) is an integer
// when `serial` is set. A report without the section gives no rows.
void ReadSection(const LineSet& lines, const std::string& path, std::string_view marker, std::size_t headerLines,
                 bool serial, ExportTable& table) {
  const std::size_t at = FindSection(lines, marker);
  if (at == lines.size()) return;
  table.Title = std::string(TrimBlanks(lines[at]));
  table.FirstLine = at;
  std::size_t i = at + 1 + headerLines;
  for (; i < lines.size() && !StartsWith(lines[i], " ---"); ++i) {
    const auto tokens = SplitBlanks(lines[i]);
    if (tokens.size() != table.Header.size()) throw TavorixError(DamagedTable(path, table.Title));
    std::vector<std::string> row;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
      if (serial && k == 1) {
        const auto v = ParseFileInteger(tokens[k]);
        if (!v) throw TavorixError(DamagedTable(path, table.Title));
        row.push_back(FormatInt(*v));
      } else {
        const auto v = ParseFileReal(tokens[k]);
        if (!v) throw TavorixError(DamagedTable(path, table.Title));
        row.push_back(Number(*v));
      }
    }
    table.Rows.push_back(std::move(row));
  }
  table.LastLine = std::min(i, lines.size() - 1);
}

void ReadFrequencies(const LineSet& lines, int n, ExportTable& table) {
  const std::size_t at = FindSection(lines, " Obs");
  if (at == lines.size()) return;
  table.Title = std::string(TrimBlanks(lines[at]));
  table.FirstLine = at;
  table.LastLine = std::min(at + 5 + static_cast<std::size_t>(std::max(n, 0)), lines.size() - 1);
  std::ostringstream text;
  for (const std::string& line : lines) text << line << '\n';
  std::istringstream in(text.str());
  for (const ReportTableRow& r : ReadReportTable(in, n))
    table.Rows.push_back({Number(r.X), FormatInt(r.Serial), Number(r.Rank), Number(r.Calc), Number(r.StDev),
                          Number(r.Lower), Number(r.Upper)});
}

void ReadFits(const std::string& lstPath, ExportTable& table) {
  const std::optional<std::string> text = TryReadTextFile(lstPath);
  if (!text) return;
  ReadFitsTable(SplitLines(*text), lstPath, table);
}

void ReadParameters(const std::string& auxPath, ResultsExport& r) {
  ParameterFileContents pf;
  if (!ReadParameterFile(auxPath, pf, 5)) throw TavorixError(ReportOpenErrorText(auxPath));
  ExportTable& t = r.Parameters;
  t.Header = {"code", "name"};
  std::vector<std::string> row = {FormatInt(pf.Code), r.DistributionName};
  for (const auto& [name, value] : NamedParameters(pf.Fit, pf.Shift)) {
    t.Header.push_back(name);
    row.push_back(Number(value));
  }
  t.Header.push_back("Shift");
  row.push_back(Number(pf.Shift));
  t.Rows.push_back(std::move(row));
}

// The lines of the report from `from` up to (without) the first line that
// begins with `end`, without the empty lines at either end.
std::vector<std::string> Block(const LineSet& lines, std::size_t from, std::string_view end) {
  std::vector<std::string> out;
  for (std::size_t i = from; i < lines.size() && !StartsWith(lines[i], end); ++i) out.push_back(AsUtf8(lines[i]));
  while (!out.empty() && TrimBlanks(out.back()).empty()) out.pop_back();
  while (!out.empty() && TrimBlanks(out.front()).empty()) out.erase(out.begin());
  return out;
}

// The closing lines below a table: the non-empty lines after its rule up to
// the next empty pair or heading.
std::vector<std::string> LinesAfterTable(const LineSet& lines, std::string_view marker) {
  std::size_t at = FindSection(lines, marker);
  std::vector<std::string> out;
  if (at == lines.size()) return out;
  ++at;
  while (at < lines.size() && !StartsWith(lines[at], " ---")) ++at;  // rule above the header
  ++at;
  while (at < lines.size() && !StartsWith(lines[at], " ---")) ++at;  // rule below the header
  ++at;
  while (at < lines.size() && !StartsWith(lines[at], " ---")) ++at;  // closing rule
  for (++at; at < lines.size() && !TrimBlanks(lines[at]).empty(); ++at) out.push_back(AsUtf8(lines[at]));
  return out;
}

std::string CsvField(const std::string& s) { return CsvCell(s); }

}  // namespace

std::string AsUtf8(const std::string& text) {
  auto valid = [&] {
    for (std::size_t i = 0; i < text.size();) {
      const auto c = static_cast<unsigned char>(text[i]);
      const int more = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
      if (more < 0 || (more > 0 && i + more >= text.size())) return false;
      for (int k = 1; k <= more; ++k)
        if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return false;
      i += 1 + more;
    }
    return true;
  };
  if (valid()) return text;
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// The ranked list: after its header, each fit is a name line, an average
// line and an empty line.
void ReadFitsTable(const LineSet& lines, const std::string& path, ExportTable& table) {
  if (!IsRankedList(lines)) throw TavorixError(NotResultsFileText(path));
  std::size_t at = 0;
  while (at < lines.size() && !StartsWith(lines[at], " Name")) ++at;
  at = at < lines.size() ? at + 1 : 5;
  int rank = 0;
  for (; at + 1 < lines.size(); ++at) {
    if (!StartsWith(lines[at + 1], " Average =")) continue;
    const std::string name(TrimBlanks(lines[at]));
    const auto average = ParseFileReal(TrimBlanks(std::string_view(lines[at + 1]).substr(10)));
    if (!average) throw TavorixError(NotResultsFileText(path));
    const DistributionInfo* d = FindByListName(name);
    const std::string code = d ? FormatInt(d->Code) : std::string();
    table.Rows.push_back({FormatInt(++rank), code, AsUtf8(name), Number(*average)});
    ++at;
  }
}

ResultsExport ReadResultsExport(const std::string& outPath) {
  const LoadedResults loaded = LoadResultsAndCode(outPath);
  if (loaded.ParameterFileMissing) throw TavorixError(ReportOpenErrorText(WithExtension(outPath, ".aux")));
  const LineSet& lines = loaded.Lines;
  ResultsExport r;
  auto line = [&](std::size_t i) { return i < lines.size() ? lines[i] : std::string(); };
  r.Title1 = AsUtf8(line(3).empty() ? "" : line(3).substr(1));
  r.Title2 = AsUtf8(line(4).empty() ? "" : line(4).substr(1));
  const std::string inputLine = line(5);
  const auto colon = inputLine.find(": ");
  r.InputFile = AsUtf8(colon == std::string::npos ? "" : inputLine.substr(colon + 2));
  const auto n = line(6).size() > 21 ? ParseFileInteger(TrimBlanks(std::string_view(lines[6]).substr(21)))
                                     : std::nullopt;
  if (!n || *n < 0) throw TavorixError(NotResultsFileText(outPath));
  r.N = *n;
  r.Code = loaded.Code;
  r.DistributionName = std::string(TitleName(r.Code));
  r.Preferred = StartsWith(line(7), " Probability distribution preferred");
  r.Description = Block(lines, r.Preferred ? 8 : 7, " Average X:");
  const std::size_t stats = FindSection(lines, " Average X:");
  if (stats < lines.size()) r.Statistics.push_back(std::string(TrimBlanks(lines[stats])));
  for (const std::string& s : LinesAfterTable(lines, " Obs")) r.Statistics.push_back(std::string(TrimBlanks(s)));
  const auto retEnd = LinesAfterTable(lines, " Ret");
  if (!retEnd.empty()) r.ReturnPeriodAverage = std::string(TrimBlanks(retEnd.back()));
  const auto conEnd = LinesAfterTable(lines, " Con");
  if (!conEnd.empty()) r.ConfidenceR = std::string(TrimBlanks(conEnd.back()));

  r.Intervals = {"intervals.csv", "", {"lower", "upper", "observed %", "calculated %"}, {}};
  ReadSection(lines, outPath, " Int", 4, false, r.Intervals);
  r.Frequencies = {"frequencies.csv", "",
                   {"X", "serial", "rank %", "calculated %", "st.dev %", "lower %", "upper %"}, {}};
  ReadFrequencies(lines, r.N, r.Frequencies);
  r.ReturnPeriods = {"return_periods.csv", "",
                     {"X", "serial", "rank", "calculated", "lower", "upper"}, {}};
  ReadSection(lines, outPath, " Ret", 4, true, r.ReturnPeriods);
  r.CalculatedX = {"calculated_x.csv", "", {"X observed", "serial", "X calculated", "lower", "upper"}, {}};
  ReadSection(lines, outPath, " Con", 5, true, r.CalculatedX);
  r.Fits = {"fits.csv", "List of distributions ranked by data fit", {"rank", "code", "name", "average %"}, {}};
  ReadFits(WithExtension(outPath, ".Lst"), r.Fits);
  r.Parameters.FileName = "parameters.csv";
  r.Parameters.Title = "Parameters";
  ReadParameters(WithExtension(outPath, ".aux"), r);
  return r;
}

void WriteCsv(std::ostream& out, const ExportTable& table) {
  auto row = [&](const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) out << (i ? "," : "") << CsvField(cells[i]);
    out << '\n';
  };
  row(table.Header);
  for (const auto& r : table.Rows) row(r);
}

std::string TabSeparated(const ExportTable& table) {
  std::string out;
  auto row = [&](const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) out += (i ? "\t" : "") + cells[i];
    out += '\n';
  };
  row(table.Header);
  for (const auto& r : table.Rows) row(r);
  return out;
}

const ExportTable* ReportTableAtLine(const ResultsExport& r, std::size_t line) {
  for (const ExportTable* t : {&r.Intervals, &r.Frequencies, &r.ReturnPeriods, &r.CalculatedX})
    if (!t->Rows.empty() && t->FirstLine <= line && line <= t->LastLine) return t;
  return nullptr;
}

std::vector<std::string> WriteCsvFolder(const ResultsExport& r, const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const ExportTable* t : {&r.Intervals, &r.Frequencies, &r.ReturnPeriods, &r.Fits, &r.Parameters}) {
    std::ostringstream text;
    WriteCsv(text, *t);
    files.emplace_back(t->FileName, std::move(text).str());
  }
  if (!r.DesignValues.Rows.empty()) {
    std::ostringstream text;
    WriteCsv(text, r.DesignValues);
    files.emplace_back(r.DesignValues.FileName, std::move(text).str());
  }
  WriteFolderAtomically(folder, files);
  std::vector<std::string> written;
  for (const auto& f : files) written.push_back((std::filesystem::path(folder) / f.first).string());
  return written;
}

}  // namespace tavorix
