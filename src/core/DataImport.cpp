#include "core/DataImport.h"

#include <algorithm>
#include <optional>
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

namespace {

// A heading is words: a line with a letter that is no number in any reading
// (a malformed number such as "1.234,5" is not a heading).
bool IsHeading(std::string_view cell) {
  const bool letters = std::any_of(cell.begin(), cell.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80;
  });
  return letters && !ReadNumber(cell, TCommaReading::Decimal) && !ReadNumber(cell, TCommaReading::Thousands) &&
         !ReadNumber(cell, TCommaReading::Detect);
}

// Lines whose first fields count up by one, two lines or more: the serial
// numbers (or years) of a copied two-column block.
bool FirstFieldCounts(const std::vector<std::string_view>& lines, std::size_t from) {
  std::optional<long long> previous;
  int counted = 0;
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (TrimBlanks(lines[i]).empty()) continue;
    if (lines[i].find('\t') == std::string_view::npos) return false;
    const auto serial = ParseFileInteger(TrimBlanks(Field(lines[i], 0)));
    if (!serial || (previous && *serial != *previous + 1)) return false;
    previous = *serial;
    ++counted;
  }
  return counted >= 2;
}

}  // namespace

TNumberColumn ReadNumberColumn(std::string_view text, int field, TCommaReading commas) {
  TNumberColumn column;
  // Views into the text: a column of millions of lines is not copied line by line.
  std::vector<std::string_view> lines;
  LineCursor cursor(text);
  for (std::string_view line; cursor.Next(line);) lines.push_back(line);
  std::size_t first = 0;
  auto nonEmptyAfter = [&](std::size_t from) {
    for (std::size_t i = from; i < lines.size(); ++i)
      if (!TrimBlanks(lines[i]).empty()) return true;
    return false;
  };
  if (!lines.empty()) {
    const std::string_view head = TrimBlanks(Field(lines[0], field));
    if (IsHeading(head) && nonEmptyAfter(1)) {
      column.Heading = std::string(TrimBlanks(lines[0]));
      first = 1;
    }
  }
  if (field == 0 && FirstFieldCounts(lines, first)) field = 1;
  column.Field = field;
  column.FirstLine = static_cast<int>(first) + 1;
  column.Cells.reserve(lines.size() - first);
  for (std::size_t i = first; i < lines.size(); ++i) column.Cells.emplace_back(TrimBlanks(Field(lines[i], field)));

  auto lineOf = [&](std::size_t cell) { return column.FirstLine + static_cast<int>(cell); };
  auto doubt = [&](std::size_t cell, const char* why) {
    column.Doubt = "Line " + FormatInt(lineOf(cell)) + ": \"" + VisibleText(column.Cells[cell]) + "\" " + why;
  };
  // Per kind of number: how many, and the first one.
  struct Kind {
    int Count = 0;
    std::size_t First = 0;
    void Add(std::size_t i) {
      if (Count++ == 0) First = i;
    }
  };
  Kind comma, point, both, thousands, bothWays, otherComma;
  for (std::size_t i = 0; i < column.Cells.size(); ++i) {
    const std::string& c = column.Cells[i];
    const bool hasComma = c.find(',') != std::string::npos, hasPoint = c.find('.') != std::string::npos;
    if (hasPoint && !hasComma) point.Add(i);
    if (!hasComma) continue;
    comma.Add(i);
    if (hasPoint) both.Add(i);
    if (HasThousandsLayout(c)) thousands.Add(i);
    else otherComma.Add(i);
    if (CommaReadsBothWays(c)) bothWays.Add(i);
  }

  // A comma cell that is no group of thousands where thousands are read.
  auto readThousands = [&] {
    column.Commas = TCommaReading::Thousands;
    if (otherComma.Count > 0)
      doubt(otherComma.First, both.Count > 0 && both.First == otherComma.First
                                  ? "holds both a comma and a point"
                                  : "has a comma where the other numbers have a thousands separator");
  };
  if (commas == TCommaReading::Decimal) {
    column.Commas = TCommaReading::Decimal;
  } else if (commas == TCommaReading::Thousands) {
    readThousands();
  } else if (comma.Count == 0) {
    column.Commas = TCommaReading::Detect;
  } else if (otherComma.Count == 0) {
    // Every comma stands before three digits: a point or a second comma says
    // they separate thousands; otherwise the column reads both ways.
    if (point.Count > 0 || both.Count > 0 || bothWays.Count < comma.Count) readThousands();
    else column.Ambiguous = TCommaAmbiguity{lineOf(bothWays.First), column.Cells[bothWays.First]};
  } else if (both.Count > 0) {
    // "1,234.5" beside a comma that is no thousands separator, or "1.234,5".
    if (thousands.Count > 0 && both.First == thousands.First) readThousands();
    else doubt(both.First, "holds both a comma and a point");
  } else if (point.Count > 0) {
    // Decimal commas and points: the less common separator is the doubtful one.
    column.Commas = TCommaReading::Decimal;
    if (comma.Count <= point.Count) doubt(comma.First, "has a comma where the other numbers have a decimal point");
    else doubt(point.First, "has a point where the other numbers have a decimal comma");
  } else {
    column.Commas = TCommaReading::Decimal;
  }
  return column;
}

std::string CommaReadings(std::string_view cell, char shownSeparator) {
  const auto asDecimal = ReadNumber(cell, TCommaReading::Decimal);
  const auto asThousands = ReadNumber(cell, TCommaReading::Thousands);
  return "\"" + std::string(cell) + "\" reads as " + FormatGeneral(asDecimal.value_or(0), shownSeparator) +
         " with a decimal comma, as " + FormatGeneral(asThousands.value_or(0), shownSeparator) +
         " with a thousands separator";
}

std::string AmbiguousCommaDetail(const TCommaAmbiguity& ambiguity, char shownSeparator) {
  return "Line " + FormatInt(ambiguity.Line) + ": " + CommaReadings(ambiguity.Cell, shownSeparator);
}

std::string HeadingNote(const TNumberColumn& column) {
  if (!column.Heading) return {};
  return "Line 1: \"" + std::string(Utf8Prefix(*column.Heading, 40)) + "\" is not a number: left out as a heading";
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
    return !f.empty() && ReadNumber(f, delimiter == ',' ? TCommaReading::Detect : TCommaReading::Decimal).has_value();
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
  return ReadNumber(cell, column.Commas);
}

std::string NotANumberDetail(int row, std::string_view text) {
  return "Row " + FormatInt(row) + ": \"" + VisibleText(Utf8Prefix(text, 40)) + "\" is not a number";
}

void ImportDataText(std::string_view text, const TImportOptions& options, TDMTavorix& dm,
                    std::string* notes) {
  const TNumberColumn column = ReadNumberColumn(text, 0, options.Commas);
  if (column.Ambiguous) {
    std::string message = std::string(kAmbiguousCommasText) + "\n" + AmbiguousCommaDetail(*column.Ambiguous);
    if (!options.AmbiguityAdvice.empty()) message += "\n" + options.AmbiguityAdvice;
    throw TavorixError(message);
  }
  if (column.Doubt) throw TavorixError(std::string(kNotRealText) + "\n" + *column.Doubt);

  // A file without a single number is too short, as the batch tools have always said.
  if (std::all_of(column.Cells.begin(), column.Cells.end(), [](const std::string& c) { return c.empty(); }))
    throw TavorixError(std::string(TrimBlanks(kMinimumCountText)));

  TSession session;
  session.Cells.reserve(column.Cells.size());
  for (const std::string& cell : column.Cells) {
    // The cells are read as the column says; Save-Run's check then reads
    // them in the point form.
    const auto v = cell.empty() ? std::nullopt : ColumnValue(column, cell);
    session.Cells.push_back(v ? FormatShortest(*v) : cell);
  }
  session.Title1 = options.Title1;
  session.Title2 = options.Title2;
  session.CompositeOption = options.CompositeAllowed ? 1 : 0;
  RecordingDialogs dialogs;
  session.ClassesText = ClassesBoxExit(session, options.ClassesText, dialogs);
  const std::size_t classNotes = dialogs.Messages.size();

  TDMTavorix series = dm;
  TDecimalSettings settings;
  if (!CollectSeries(session, series, settings, dialogs))
    throw TavorixError(dialogs.Messages.size() > classNotes ? std::string(TrimBlanks(dialogs.Messages.back()))
                                                           : std::string(kNotRealText));
  if (notes) {
    if (column.Heading) *notes += HeadingNote(column) + "\n";
    for (std::size_t i = 0; i < classNotes; ++i) *notes += dialogs.Messages[i] + "\n";
  }
  dm = std::move(series);
}

}  // namespace tavorix
