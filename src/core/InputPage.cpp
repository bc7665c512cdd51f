#include "core/InputPage.h"

#include <algorithm>

#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"

namespace tavorix {
namespace {

void SetRowCount(TInputGrid& grid, int rows) {
  grid.Cells.resize(static_cast<std::size_t>(std::max(rows, 0)));
}

void NumberSerials(TInputGrid& grid) {
  for (int r = 0; r < grid.RowCount(); ++r) grid.Cells[r][0] = FormatInt(r + 1);
}

bool IsLineEnd(std::string_view text, std::size_t i) {
  // A lone LF ends a line too: clipboards of this platform carry LF only.
  return text[i] == '\r' || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'));
}

}  // namespace

int GridWidthFor(int nrOfData) { return nrOfData < 16 ? 155 : 170; }

void InitInputPage(TInputPage& page, TDMTavorix& dm) {
  page = TInputPage{};
  SetRowCount(page.Grid, 15);
  NumberSerials(page.Grid);
  for (auto& row : page.Grid.Cells) row[1] = "0";
  page.Grid.Width = GridWidthFor(15);
  dm.Title1.clear();
  dm.Title2.clear();
  dm.NrOfData = 15;
  dm.Values.assign(15, 0.0L);
  dm.Serials.resize(15);
  for (int i = 0; i < 15; ++i) dm.Serials[i] = i + 1;
  dm.RemoveFlags.assign(15, 0);
}

bool HandlePasteMultiCell(TInputPage& page, TDMTavorix& dm, TDecimalSettings& settings, int column,
                          int row, std::string_view text, TUserDialogs& dialogs) {
  if (column < 0 || column > 1 || row < 0) return false;
  // Work on a copy: a failed paste leaves the page as it was.
  TInputPage p = page;
  TInputGrid& grid = p.Grid;
  const int oldRowCount = grid.RowCount();
  // The cell at (c, r); nullptr for columns the grid does not have.
  auto cell = [&grid](int c, int r) -> std::string* {
    if (c < 0 || c > 1) return nullptr;
    if (r >= grid.RowCount()) SetRowCount(grid, r + 1);
    return &grid.Cells[r][c];
  };
  auto clear = [&](int c, int r) {
    if (auto* s = cell(c, r)) s->clear();
  };

  clear(column, row);
  int c = column, r = row, lineEnds = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '\t') {
      ++c;
      if (i + 1 < text.size()) clear(c, r);
    } else if (IsLineEnd(text, i)) {
      ++lineEnds;
      ++r;
      c = column;
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (i + 1 < text.size()) clear(c, r);
    } else if ((ch >= '0' && ch <= '9') || ch == '-' || ch == settings.DecimalSeparator) {
      if (auto* s = cell(c, r)) *s += ch;
    }
    // Any other character (letters, blanks, "+", "E", thousands separators) is dropped.
  }

  grid.FixedCols = 1;
  int count = lineEnds > 0 ? lineEnds + row : oldRowCount + row;
  if (count < page.PreviousNrOfData &&
      dialogs.Confirm(std::string(kKeepOriginalCountQuestion)))
    count = page.PreviousNrOfData;
  SetRowCount(grid, count);
  NumberSerials(grid);

  DataArrayR values(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    auto v = StringToFloat(grid.Cells[i][1], settings);
    if (!v) return false;
    values[i] = *v;
  }
  p.NrOfDataText = FormatInt(count);
  grid.Width = GridWidthFor(count);
  page = std::move(p);
  dm.NrOfData = count;
  dm.Values = std::move(values);
  dm.Serials.resize(static_cast<std::size_t>(count));
  for (int j = 0; j < count; ++j) dm.Serials[j] = j + 1;
  dm.RemoveFlags.assign(static_cast<std::size_t>(count), 0);
  return true;
}

void StringGrid1SetEditText(TInputPage& page, TDMTavorix& dm, TDecimalSettings& settings, int column,
                            int row, std::string_view text, TUserDialogs& dialogs) {
  if (text.find_first_of("\t\r\n") != std::string_view::npos) {
    if (!HandlePasteMultiCell(page, dm, settings, column, row, text, dialogs))
      dialogs.ShowMessage(std::string(kPasteFailedText));
  } else if (column >= 0 && column <= 1 && row >= 0 && row < page.Grid.RowCount()) {
    page.Grid.Cells[row][column] = std::string(text);
  }
  page.PreviousNrOfData = dm.NrOfData;
  page.InProgress = true;
  NrOfDataEditExit(page, dm, settings, dialogs);
  page.InProgress = false;
  page.DataEntered = true;
}

void NrOfDataEditExit(TInputPage& page, TDMTavorix& dm, TDecimalSettings& settings,
                      TUserDialogs& dialogs) {
  auto parsed = ParseFileInteger(TrimBlanks(page.NrOfDataText));
  if (!parsed) {
    dialogs.ShowMessage(std::string(kCountNotIntegerText));
    return;
  }
  int count = *parsed;
  if (count < kMinimumNrOfData) {
    dialogs.ShowMessage(std::string(kMinimumCountText));
    page.NrOfDataText = FormatInt(kMinimumNrOfData);
    count = kMinimumNrOfData;
  }
  if (!page.InProgress && count > page.PreviousNrOfData) {
    dialogs.ShowMessage(std::string(kAddDataText));
    TInputGrid& grid = page.Grid;
    const int existing = std::min(grid.RowCount(), count);
    // Re-read the series from the existing rows; a cell that does not
    // convert keeps the number the series had.
    dm.Serials.resize(static_cast<std::size_t>(count));
    dm.Values.resize(static_cast<std::size_t>(count), 0.0L);
    for (int r = 0; r < existing; ++r) {
      auto serial = ParseFileInteger(TrimBlanks(grid.Cells[r][0]));
      dm.Serials[r] = serial ? *serial : r + 1;
      if (auto v = StringToFloat(grid.Cells[r][1], settings)) dm.Values[r] = *v;
    }
    for (int r = existing; r < count; ++r) dm.Serials[r] = r + 1;
    dm.RemoveFlags.assign(static_cast<std::size_t>(count), 0);
    SetRowCount(grid, count);
    for (int r = existing; r < count; ++r) {
      grid.Cells[r][0] = FormatInt(r + 1);
      grid.Cells[r][1].clear();
    }
    dm.NrOfData = count;
    page.PreviousNrOfData = count;
  } else if (!page.InProgress && count < page.PreviousNrOfData) {
    // The count is not applied: data are removed by emptying their cells.
    dialogs.ShowMessage(std::string(kRemoveDataText));
  }
  page.Grid.Width = GridWidthFor(dm.NrOfData);
  page.LastTypedCount = count;
}

void NrOfClassesEditClick(TUserDialogs& dialogs) { dialogs.ShowMessage(std::string(kClassesHelpText)); }

void NrOfClassesEditExit(TInputPage& page, TDMTavorix& dm, TUserDialogs& dialogs) {
  auto parsed = ParseFileInteger(TrimBlanks(page.NrOfClassesText));
  // Fewer than one class cannot make a histogram; treated like a non-integer.
  if (!parsed || *parsed < 1) {
    dialogs.ShowMessage(std::string(kClassesNotIntegerText));
    page.NrOfClassesText = "5";
    parsed = 5;
  }
  int classes = *parsed;
  if (classes > 50) {
    classes = 50;
    page.NrOfClassesText = "50";
  }
  dm.NrOfClassesText = page.NrOfClassesText;
  dm.NrOfClasses = classes;
}

bool ClearButtonClick(TInputPage& page, TDMTavorix& dm, TUserDialogs& dialogs) {
  if (!dialogs.Confirm(std::string(kClearQuestion))) return false;
  InitInputPage(page, dm);
  return true;
}

void FillPageFromSeries(TInputPage& page, const TDMTavorix& dm, const TDecimalSettings& settings) {
  page.Title1Text = dm.Title1;
  page.Title2Text = dm.Title2;
  page.NrOfClassesText = FormatInt(dm.NrOfClasses);
  page.NrOfDataText = FormatInt(dm.NrOfData);
  page.PreviousNrOfData = dm.NrOfData;
  TInputGrid& grid = page.Grid;
  SetRowCount(grid, dm.NrOfData);
  for (int r = 0; r < dm.NrOfData; ++r) {
    const auto i = static_cast<std::size_t>(r);
    grid.Cells[r][0] = i < dm.Serials.size() ? FormatInt(dm.Serials[i]) : FormatInt(r + 1);
    grid.Cells[r][1] =
        i < dm.Values.size() ? FormatGeneral(static_cast<double>(dm.Values[i]), settings.DecimalSeparator) : "";
  }
  grid.Width = GridWidthFor(dm.NrOfData);
}

bool CollectSeriesAtSaveRun(TInputPage& page, TDMTavorix& dm, TDecimalSettings& settings,
                            TUserDialogs& dialogs) {
  const int n = std::max(dm.NrOfData, 0);
  DataArrayR kept;
  std::vector<std::string> keptTexts;
  bool removed = false;
  for (int i = 0; i < n; ++i) {
    const std::string text = i < page.Grid.RowCount() ? page.Grid.Cells[i][1] : std::string();
    if (TrimBlanks(text).empty()) {
      removed = true;
      continue;
    }
    auto v = StringToFloat(text, settings);
    if (!v) {
      dialogs.ShowMessage(std::string(kNotRealText));
      return false;
    }
    if (*v <= -1000000.0) {
      dialogs.ShowMessage(ValueTooLowText(*v));
      return false;
    }
    kept.push_back(*v);
    keptTexts.push_back(text);
  }
  // Zeros are counted among the data that are kept: a removed row holds no value.
  const auto zeros = std::count(kept.begin(), kept.end(), 0.0L);
  if (static_cast<double>(zeros) > 0.5 * static_cast<double>(kept.size())) {
    dialogs.ShowMessage(std::string(kTooManyZerosText));
    return false;
  }

  dm.Title1 = page.Title1Text;
  dm.Title2 = page.Title2Text;
  dm.Threshold = -1000000.0;
  const int k = static_cast<int>(kept.size());
  dm.Values = std::move(kept);
  dm.Serials.resize(static_cast<std::size_t>(k));
  for (int j = 0; j < k; ++j) dm.Serials[j] = j + 1;
  dm.RemoveFlags.assign(static_cast<std::size_t>(k), 0);
  dm.NrOfData = k;

  page.HadEmptyCells = removed;
  if (removed) {
    SetRowCount(page.Grid, k);
    NumberSerials(page.Grid);
    for (int j = 0; j < k; ++j) page.Grid.Cells[j][1] = keptTexts[j];
    page.NrOfDataText = FormatInt(k);
    page.PreviousNrOfData = k;
    page.Grid.Width = GridWidthFor(k);
  }
  return true;
}

}  // namespace tavorix
