#include "core/Session.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "core/DataImport.h"
#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"

namespace tavorix {
namespace {

void Resize(TSession& s, int rows) { s.Cells.resize(static_cast<std::size_t>(std::clamp(rows, 0, kMaximumNrOfData))); }

bool AnyDataFrom(const TSession& s, int row) {
  for (int r = std::max(row, 0); r < s.RowCount(); ++r)
    if (!TrimBlanks(s.Cells[r]).empty()) return true;
  return false;
}

void ShowRefusal(TDialogs& dialogs, std::string_view detail) {
  std::string text(kPasteFailedText);
  if (!detail.empty()) text += "\n" + std::string(detail);
  dialogs.ShowMessage(text);
}

}  // namespace

void ResetSession(TSession& s) {
  s = TSession{};
  Resize(s, kStartRows);
}

bool HasData(const TSession& s) { return AnyDataFrom(s, 0); }

int GridWidthFor(int rows) { return rows < 16 ? 155 : 170; }

void SetCell(TSession& s, int row, std::string_view text) {
  if (row < 0 || row >= s.RowCount()) return;
  s.Cells[row] = std::string(text);
  s.Unsaved = true;
}

bool TypeCell(TSession& s, int row, std::string_view text, const TDecimalSettings& shown, TDialogs& dialogs) {
  if (row < 0 || row >= s.RowCount()) return false;
  const std::string_view t = TrimBlanks(text);
  std::optional<double> v = StringToFloat(t, shown);
  if (!v && CommaReadsBothWays(t)) {
    const auto choice = dialogs.AskChoice(
        std::string(kAmbiguousCommasText) + ":\nRow " + FormatInt(row + 1) + ": " + CommaReadings(t, shown.DecimalSeparator) + ".",
        {std::string(kDecimalCommaChoice), std::string(kThousandsChoice)});
    if (!choice) return false;
    v = ReadNumber(t, *choice == 0 ? TCommaReading::Decimal : TCommaReading::Thousands);
  }
  SetCell(s, row, v ? FormatGeneral(*v, shown.DecimalSeparator) : std::string(text));
  return true;
}

std::string KeepOriginalCountQuestion(int kept) {
  return std::string(kKeepOriginalCountQuestion) + "\nYes keeps the " + FormatInt(kept) +
         (kept == 1 ? " value" : " values") + " of the previous series below the pasted ones.";
}

bool PasteText(TSession& s, int row, int column, std::string_view text, const TDecimalSettings& shown,
               TDialogs& dialogs, std::string* note) {
  if (row < 0 || column < 0 || column > 1) return false;
  const auto lineEnd = text.find_first_of("\r\n");
  if (std::min(lineEnd, text.size()) > kMaximumPastedLine) {
    ShowRefusal(dialogs, "The clipboard holds a line of " + FormatInt(static_cast<long long>(std::min(lineEnd, text.size()))) +
                             " characters, not a column of numbers");
    return false;
  }
  // Fields are placed as the grid's columns lie: pasted into the serial
  // column, the second field of a line is the value.
  const int field = column == 0 ? 1 : 0;
  TNumberColumn pasted = ReadNumberColumn(text, field);
  if (pasted.Ambiguous) {
    const auto choice = dialogs.AskChoice(std::string(kAmbiguousCommasText) + ":\n" +
                                              AmbiguousCommaDetail(*pasted.Ambiguous, shown.DecimalSeparator) + ".",
                                          {std::string(kDecimalCommaChoice), std::string(kThousandsChoice)});
    if (!choice) return false;
    pasted = ReadNumberColumn(text, field, *choice == 0 ? TCommaReading::Decimal : TCommaReading::Thousands);
  }
  if (pasted.Doubt) {
    ShowRefusal(dialogs, *pasted.Doubt);
    return false;
  }
  std::vector<std::string> cells;
  cells.reserve(pasted.Cells.size());
  bool anyNumber = false;
  for (std::size_t i = 0; i < pasted.Cells.size(); ++i) {
    const std::string& cell = pasted.Cells[i];
    if (cell.empty()) {
      cells.emplace_back();
      continue;
    }
    const auto v = ColumnValue(pasted, cell);
    if (!v) {
      ShowRefusal(dialogs, NotANumberDetail(row + static_cast<int>(i) + 1, cell));
      return false;
    }
    anyNumber = true;
    cells.push_back(FormatGeneral(*v, shown.DecimalSeparator));
  }
  if (!anyNumber) {
    ShowRefusal(dialogs, "");
    return false;
  }
  const long long end = static_cast<long long>(row) + static_cast<long long>(cells.size());
  if (end > kMaximumNrOfData) {
    ShowRefusal(dialogs, std::string(TrimBlanks(kMaximumCountText)));
    return false;
  }

  TSession next = s;
  int count = static_cast<int>(end);
  if (count < next.RowCount()) {
    // Rows with data below the paste stay only if the user says so; empty
    // rows below go when the paste fills the column from its top.
    int kept = 0;
    for (int r = count; r < next.RowCount(); ++r) kept += TrimBlanks(next.Cells[r]).empty() ? 0 : 1;
    if (kept > 0 ? dialogs.Confirm(KeepOriginalCountQuestion(kept)) : row > 0) count = next.RowCount();
  }
  Resize(next, std::max(count, row + static_cast<int>(cells.size())));
  for (std::size_t i = 0; i < cells.size(); ++i) next.Cells[row + i] = std::move(cells[i]);
  Resize(next, count);
  if (next.RowCount() < kMinimumNrOfData) {
    dialogs.ShowMessage(std::string(kMinimumCountText));
    Resize(next, kMinimumNrOfData);
  }
  next.Unsaved = true;
  s = std::move(next);
  if (note) *note = HeadingNote(pasted);
  return true;
}

std::string CountBoxExit(TSession& s, std::string_view typed, TDialogs& dialogs) {
  auto parsed = ParseFileInteger(TrimBlanks(typed));
  if (!parsed) {
    // A number too large for an integer is still a number: bounded below.
    const auto real = ParseFileReal(TrimBlanks(typed));
    if (real && *real > kMaximumNrOfData) parsed = kMaximumNrOfData + 1;
  }
  if (!parsed) {
    dialogs.ShowMessage(std::string(kCountNotIntegerText));
    return FormatInt(s.RowCount());
  }
  int count = *parsed;
  if (count < kMinimumNrOfData) {
    dialogs.ShowMessage(std::string(kMinimumCountText));
    count = kMinimumNrOfData;
  } else if (count > kMaximumNrOfData) {
    dialogs.ShowMessage(std::string(kMaximumCountText));
    count = kMaximumNrOfData;
  }
  if (count > s.RowCount()) {
    dialogs.ShowMessage(std::string(kAddDataText));
    Resize(s, count);
  } else if (count < s.RowCount() && !AnyDataFrom(s, count)) {
    // Only empty rows go: nothing is lost.
    Resize(s, count);
  } else if (count < s.RowCount()) {
    // The count is not applied: data are removed by emptying their cells.
    dialogs.ShowMessage(std::string(kRemoveDataText));
  }
  return FormatInt(s.RowCount());
}

std::string ClassesBoxExit(TSession& s, std::string_view typed, TDialogs& dialogs) {
  auto parsed = ParseFileInteger(TrimBlanks(typed));
  std::string text(typed);
  // Fewer than one class cannot make a histogram; treated like a non-integer.
  if (!parsed || *parsed < 1) {
    dialogs.ShowMessage(std::string(kClassesNotIntegerText));
    text = "5";
  } else if (*parsed > 50) {
    text = "50";
  }
  s.ClassesText = text;
  return text;
}

int ClassesOf(const TSession& s) {
  const auto parsed = ParseFileInteger(TrimBlanks(s.ClassesText));
  return parsed && *parsed >= 1 ? std::min(*parsed, 50) : 5;
}

void InsertRow(TSession& s, int row) {
  if (s.RowCount() >= kMaximumNrOfData) return;
  row = std::clamp(row, 0, s.RowCount());
  s.Cells.insert(s.Cells.begin() + row, std::string());
}

void DeleteRows(TSession& s, int first, int count) {
  first = std::clamp(first, 0, s.RowCount());
  count = std::clamp(count, 0, s.RowCount() - first);
  if (count == 0) return;
  const bool hadData = AnyDataFrom(s, first) && [&] {
    for (int r = first; r < first + count; ++r)
      if (!TrimBlanks(s.Cells[r]).empty()) return true;
    return false;
  }();
  s.Cells.erase(s.Cells.begin() + first, s.Cells.begin() + first + count);
  if (hadData) s.Unsaved = true;
}

void ClearCells(TSession& s, int firstRow, int lastRow) {
  for (int r = std::max(firstRow, 0); r <= lastRow && r < s.RowCount(); ++r) {
    if (!s.Cells[r].empty()) s.Unsaved = true;
    s.Cells[r].clear();
  }
}

void SetCompositeOption(TSession& s, int item) {
  s.CompositeOption = item == 1 ? 1 : 0;
  s.CompositeItem = 0;
  s.PreferredCode = "1";
  s.PreferredText = std::string(kBestOfAllText);
}

bool ChooseCompositeItem(TSession& s, int item, std::string_view code) {
  if (item <= 0 || code == "1") {
    s.CompositeItem = 0;
    s.PreferredCode = "1";
    s.PreferredText = std::string(kBestOfAllText);
    return item <= 0;
  }
  s.CompositeItem = item;
  s.PreferredCode = std::string(code);
  s.PreferredText = "See \"Select composite distribution\"";
  return true;
}

bool ChoosePreferred(TSession& s, std::string_view code, std::string_view text) {
  s.PreferredCode = std::string(code);
  s.PreferredText = std::string(text);
  if (code == "1") return false;
  const bool changed = s.CompositeOption != 0 || s.CompositeItem != 0;
  s.CompositeOption = 0;
  s.CompositeItem = 0;
  return changed;
}

bool CompositeOnForRun(const TSession& s) { return s.CompositeOption == 1; }
bool SortRankedListAfterRun(const TSession& s) { return s.CompositeItem <= 0; }
bool ListOfferedAfterRun(const TSession& s) { return s.PreferredCode == "1" && s.CompositeItem <= 0; }
bool GoodnessOfFitOffered(int nrOfData) { return nrOfData > 500; }

bool SaveRunOffered(bool onInputPage, bool pasteHelpShown, bool running) {
  return onInputPage && !pasteHelpShown && !running;
}
bool FileCommandsOffered(bool pasteHelpShown, bool running) { return !pasteHelpShown && !running; }

bool AskBeforeClosing(const TSession& s) { return s.Unsaved && HasData(s); }

std::string InputPathFor(const std::string& chosen) {
  if (chosen.empty()) return chosen;
  return std::filesystem::path(chosen).extension() == ".inp" ? chosen : chosen + ".inp";
}

std::vector<std::string> WithRecentFile(std::vector<std::string> list, const std::string& path, std::size_t limit) {
  list.erase(std::remove(list.begin(), list.end(), path), list.end());
  list.insert(list.begin(), path);
  if (list.size() > limit) list.resize(limit);
  return list;
}

bool CollectSeries(TSession& s, TDMTavorix& dm, TDecimalSettings& settings, TDialogs& dialogs) {
  DataArrayR kept;
  std::vector<std::string> keptTexts;
  for (int i = 0; i < s.RowCount(); ++i) {
    const std::string& text = s.Cells[i];
    if (TrimBlanks(text).empty()) continue;
    const auto v = StringToFloat(text, settings);
    if (!v) {
      dialogs.ShowMessage(std::string(kNotRealText) + "\n" + NotANumberDetail(i + 1, TrimBlanks(text)));
      return false;
    }
    if (*v <= -1000000.0) {
      dialogs.ShowMessage(ValueTooLowText(*v));
      return false;
    }
    kept.push_back(*v);
    keptTexts.push_back(text);
  }
  if (kept.empty()) {
    dialogs.ShowMessage(std::string(kNoDataText));
    return false;
  }
  const auto zeros = std::count(kept.begin(), kept.end(), 0.0L);
  if (static_cast<double>(zeros) > 0.5 * static_cast<double>(kept.size())) {
    dialogs.ShowMessage(std::string(kTooManyZerosText));
    return false;
  }
  if (static_cast<int>(kept.size()) < kMinimumNrOfData) {
    dialogs.ShowMessage(std::string(kMinimumCountText));
    return false;
  }

  const int k = static_cast<int>(kept.size());
  dm.Title1 = s.Title1;
  dm.Title2 = s.Title2;
  dm.Threshold = -1000000.0;
  dm.Values = std::move(kept);
  dm.Serials.resize(static_cast<std::size_t>(k));
  for (int j = 0; j < k; ++j) dm.Serials[j] = j + 1;
  dm.RemoveFlags.assign(static_cast<std::size_t>(k), 0);
  dm.NrOfData = k;
  dm.NrOfClassesText = s.ClassesText;
  dm.NrOfClasses = ClassesOf(s);
  dm.CompositeAllowed = s.CompositeOption == 1;
  dm.SelectionCode = s.PreferredCode.substr(0, 4);
  s.Cells = std::move(keptTexts);
  return true;
}

TGridChange GridChangeBetween(const std::vector<std::string>& before, const std::vector<std::string>& after) {
  std::size_t head = 0;
  const std::size_t shorter = std::min(before.size(), after.size());
  while (head < shorter && before[head] == after[head]) ++head;
  std::size_t tail = 0;
  while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) ++tail;
  TGridChange c;
  c.First = static_cast<int>(head);
  c.Before.assign(before.begin() + static_cast<std::ptrdiff_t>(head), before.end() - static_cast<std::ptrdiff_t>(tail));
  c.After.assign(after.begin() + static_cast<std::ptrdiff_t>(head), after.end() - static_cast<std::ptrdiff_t>(tail));
  return c;
}

void ApplyGridChange(TSession& s, const TGridChange& change, bool undo) {
  const auto& from = undo ? change.After : change.Before;
  const auto& to = undo ? change.Before : change.After;
  const auto first = s.Cells.begin() + std::min<std::ptrdiff_t>(change.First, s.RowCount());
  const auto last = first + std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(from.size()), s.Cells.end() - first);
  s.Cells.insert(s.Cells.erase(first, last), to.begin(), to.end());
  s.Unsaved = true;
}

void LoadSeries(TSession& s, const TDMTavorix& dm, const TDecimalSettings& shown) {
  ResetSession(s);
  s.Title1 = dm.Title1;
  s.Title2 = dm.Title2;
  s.ClassesText = FormatInt(dm.NrOfClasses);
  s.CompositeOption = dm.CompositeAllowed ? 1 : 0;
  s.InputPath = dm.FileName;
  const int n = std::clamp(dm.NrOfData, 0, kMaximumNrOfData);
  s.Cells.assign(static_cast<std::size_t>(n), std::string());
  for (int r = 0; r < n; ++r) {
    const auto i = static_cast<std::size_t>(r);
    if (i < dm.Values.size()) s.Cells[i] = FormatGeneral(static_cast<double>(dm.Values[i]), shown.DecimalSeparator);
  }
}

}  // namespace tavorix
