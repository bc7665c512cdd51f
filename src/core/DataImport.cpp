#include "core/DataImport.h"

#include <algorithm>
#include <vector>

#include "core/NumberFormat.h"
#include "core/Session.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"

namespace tavorix {
namespace {

// Answers no question and keeps the messages of the checks.
class RecordingDialogs : public TDialogs {
 public:
  std::vector<std::string> Messages;
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  bool Confirm(const std::string&) override { return false; }
  TSaveAnswer AskSave(const std::string&) override { return TSaveAnswer::Cancel; }
  std::optional<std::string> OpenFileName(const TFileDialogSpec&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const TFileDialogSpec&) override { return std::nullopt; }
};

std::string_view Field(std::string_view line, int field) {
  for (int f = 0; f < field; ++f) {
    const auto tab = line.find('\t');
    if (tab == std::string_view::npos) return {};
    line.remove_prefix(tab + 1);
  }
  return line.substr(0, line.find('\t'));
}

}  // namespace

char DetectDecimalSeparator(std::string_view text) {
  const bool commas = text.find(',') != std::string_view::npos;
  const bool points = text.find('.') != std::string_view::npos;
  return commas && !points ? ',' : '.';
}

TNumberColumn ReadNumberColumn(std::string_view text, int field, bool forceComma) {
  TNumberColumn column;
  const LineSet lines = SplitLines(text);
  column.Cells.reserve(lines.size());
  int commaLines = 0, pointLines = 0, firstComma = -1, firstPoint = -1, firstBoth = -1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string cell(TrimBlanks(Field(lines[i], field)));
    const bool comma = cell.find(',') != std::string::npos;
    const bool point = cell.find('.') != std::string::npos;
    const int line = static_cast<int>(i) + 1;
    if (comma && point && firstBoth < 0) firstBoth = line;
    if (comma && !point && commaLines++ == 0) firstComma = line;
    if (point && !comma && pointLines++ == 0) firstPoint = line;
    column.Cells.push_back(std::move(cell));
  }
  column.DecimalSeparator = forceComma || (commaLines > 0 && pointLines == 0 && firstBoth < 0) ? ',' : '.';
  if (forceComma) return column;
  auto doubt = [&](int line, const char* why) {
    column.Doubt = "Line " + FormatInt(line) + ": \"" + column.Cells[line - 1] + "\" " + why;
  };
  if (firstBoth > 0) {
    doubt(firstBoth, "holds both a comma and a point");
  } else if (commaLines > 0 && pointLines > 0) {
    // The less common separator is the doubtful one.
    if (commaLines <= pointLines) doubt(firstComma, "has a comma where the other numbers have a decimal point");
    else doubt(firstPoint, "has a point where the other numbers have a decimal comma");
  }
  return column;
}

std::string FirstNumericColumn(std::string_view text) {
  const char delimiter = text.find('\t') != std::string_view::npos   ? '\t'
                         : text.find(';') != std::string_view::npos ? ';'
                                                                    : ',';
  std::vector<std::vector<std::string>> rows;
  std::size_t columns = 0;
  for (const std::string& line : SplitLines(text)) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
      const auto end = line.find(delimiter, start);
      std::string_view f = TrimBlanks(std::string_view(line).substr(start, end == std::string::npos ? end : end - start));
      if (f.size() >= 2 && f.front() == '"' && f.back() == '"') f = f.substr(1, f.size() - 2);
      fields.emplace_back(f);
      if (end == std::string::npos) break;
      start = end + 1;
    }
    columns = std::max(columns, fields.size());
    rows.push_back(std::move(fields));
  }
  auto isNumber = [delimiter](const std::string& f) {
    TDecimalSettings settings;
    settings.DecimalSeparator = delimiter == ',' ? '.' : (f.find(',') != std::string::npos ? ',' : '.');
    return !f.empty() && StringToFloat(f, settings).has_value();
  };
  for (std::size_t c = 0; c < columns; ++c) {
    std::size_t numbers = 0, filled = 0;
    for (const auto& row : rows) {
      if (c >= row.size() || row[c].empty()) continue;
      ++filled;
      if (isNumber(row[c])) ++numbers;
    }
    if (numbers == 0 || 2 * numbers < filled) continue;
    std::string out;
    bool started = false;  // heading lines above the first number are left out
    for (const auto& row : rows) {
      const bool number = c < row.size() && isNumber(row[c]);
      started = started || number;
      if (!started) continue;
      if (number) out += row[c];
      out += "\n";
    }
    return out;
  }
  return {};
}

std::optional<double> ColumnValue(const TNumberColumn& column, const std::string& cell) {
  TDecimalSettings settings;
  settings.DecimalSeparator = column.DecimalSeparator;
  return StringToFloat(cell, settings);
}

std::string NotANumberDetail(int row, std::string_view text) {
  return "Row " + FormatInt(row) + ": \"" + std::string(Utf8Prefix(text, 40)) + "\" is not a number";
}

void ImportDataText(std::string_view text, const TImportOptions& options, TDMTavorix& dm,
                    std::string* notes) {
  const TNumberColumn column = ReadNumberColumn(text, 0, options.DecimalComma);
  if (column.Doubt) throw TavorixError(std::string(kNotRealText) + "\n" + *column.Doubt);
  TDecimalSettings settings;
  settings.DecimalSeparator = column.DecimalSeparator;

  // A file without a single number is too short, as the batch tools have always said.
  if (std::all_of(column.Cells.begin(), column.Cells.end(), [](const std::string& c) { return c.empty(); }))
    throw TavorixError(std::string(TrimBlanks(kMinimumCountText)));

  TSession session;
  session.Cells = column.Cells;
  session.Title1 = options.Title1;
  session.Title2 = options.Title2;
  session.CompositeOption = options.CompositeAllowed ? 1 : 0;
  RecordingDialogs dialogs;
  session.ClassesText = ClassesBoxExit(session, options.ClassesText, dialogs);
  const std::size_t classNotes = dialogs.Messages.size();

  TDMTavorix series = dm;
  if (!CollectSeries(session, series, settings, dialogs))
    throw TavorixError(dialogs.Messages.size() > classNotes ? std::string(TrimBlanks(dialogs.Messages.back()))
                                                           : std::string(kNotRealText));
  if (notes)
    for (std::size_t i = 0; i < classNotes; ++i) *notes += dialogs.Messages[i] + "\n";
  dm = std::move(series);
}

}  // namespace tavorix
