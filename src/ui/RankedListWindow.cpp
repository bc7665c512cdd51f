#include "ui/RankedListWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>

#include "core/AtomicFile.h"
#include "core/NumberFormat.h"
#include "core/StringToFloat.h"
#include "core/TextEscape.h"
#include "core/TextLines.h"
#include "ui/Dialogs.h"
#include "ui/WindowPlacement.h"

namespace tavorix {

namespace {

enum Column { kRank, kName, kAverage, kKsD, kAdA2, kCvmW2, kColumns };

// Sorts by the number it holds; cells without a number sort last.
class NumberItem : public QTableWidgetItem {
 public:
  explicit NumberItem(std::optional<double> v, int decimals)
      : QTableWidgetItem(v ? QString::fromStdString(FormatFixed(*v, 0, decimals)) : QString()) {
    setData(Qt::UserRole, v ? *v : std::numeric_limits<double>::infinity());
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
  }
};

struct ListEntry {
  std::string Name;
  double Average;
};

// Header lines and entries of a ranked list file: a 7-line header when the
// sixth line names the file, otherwise 5; then name, average and an empty
// line per entry.
void SplitRankedList(const std::vector<std::string>& lines, std::vector<std::string>& header,
                     std::vector<ListEntry>& entries) {
  const bool seven = lines.size() > 5 && lines[5].compare(0, 5, " Name") == 0;
  const std::size_t h = std::min<std::size_t>(seven ? 7 : 5, lines.size());
  header.assign(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(h));
  for (std::size_t at = h; at + 1 < lines.size(); at += 3) {
    const std::string& avg = lines[at + 1];
    const auto v = avg.size() > 10 ? ParseFileReal(TrimBlanks(std::string_view(avg).substr(10))) : std::nullopt;
    entries.push_back({lines[at], v.value_or(NAN)});
  }
}

QString CsvCell(const QString& text) { return QString::fromStdString(tavorix::CsvCell(text.toStdString())); }

}  // namespace

RankedListWindow::RankedListWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("RankedListWindow");
  setWindowTitle("Tavorix: list of parameters of fit");
  header_ = new QPlainTextEdit(this);
  header_->setObjectName("ListHeaderText");
  header_->setReadOnly(true);
  header_->setLineWrapMode(QPlainTextEdit::NoWrap);
  header_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  header_->setMaximumHeight(header_->fontMetrics().lineSpacing() * 8 + 12);

  table_ = new QTableWidget(0, kColumns, this);
  table_->setObjectName("FitTable");
  table_->setHorizontalHeaderLabels({"Rank", "Distribution", "Average %", "KS D", "AD A2", "CvM W2"});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
  table_->setSortingEnabled(true);

  auto* copyButton = new QPushButton("Copy", this);
  copyButton->setObjectName("CopyButton");
  auto* saveCsvButton = new QPushButton("Save as CSV", this);
  saveCsvButton->setObjectName("SaveCsvButton");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(copyButton);
  buttons->addWidget(saveCsvButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(header_);
  layout->addWidget(table_, 1);
  layout->addLayout(buttons);
  resize(640, 560);
  CloseOnEscape(this);

  connect(copyButton, &QPushButton::clicked, this, &RankedListWindow::CopyButtonClick);
  connect(saveCsvButton, &QPushButton::clicked, this, &RankedListWindow::SaveCsvButtonClick);
}

void RankedListWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) PlaceOverActiveWindow(this);
}

void RankedListWindow::SetRunResults(const std::string& listPath, std::shared_ptr<const TavorixRun> run) {
  runListPath_ = listPath;
  run_ = std::move(run);
  statistics_.clear();
}

void RankedListWindow::ShowRankedList(const std::string& listPath, const std::vector<std::string>& lines) {
  std::vector<std::string> header;
  std::vector<ListEntry> entries;
  SplitRankedList(lines, header, entries);
  QString text;
  for (const std::string& line : header) text += QString::fromStdString(line) + '\n';
  header_->setPlainText(text);

  // The statistics belong to the run that wrote this very file.
  std::error_code ec;
  const bool ofRun = run_ && !runListPath_.empty() && std::filesystem::equivalent(runListPath_, listPath, ec);
  if (ofRun && statistics_.empty()) statistics_ = RankedFitsWithStatistics(*run_);
  std::vector<bool> used(statistics_.size(), false);
  auto statisticsOf = [&](const std::string& name) -> const GoodnessOfFit* {
    if (!ofRun) return nullptr;
    for (std::size_t k = 0; k < statistics_.size(); ++k)
      if (!used[k] && statistics_[k].Name == name) {
        used[k] = true;
        return &statistics_[k].Statistics;
      }
    return nullptr;
  };

  table_->setSortingEnabled(false);
  table_->clearContents();
  table_->setRowCount(static_cast<int>(entries.size()));
  for (int r = 0; r < static_cast<int>(entries.size()); ++r) {
    const ListEntry& e = entries[r];
    const GoodnessOfFit* g = statisticsOf(e.Name);
    auto number = [](double v) { return std::isfinite(v) ? std::optional<double>(v) : std::nullopt; };
    table_->setItem(r, kRank, new NumberItem(r + 1.0, 0));
    table_->setItem(r, kName, new QTableWidgetItem(QString::fromStdString(std::string(TrimBlanks(e.Name)))));
    table_->setItem(r, kAverage, new NumberItem(number(e.Average), 4));
    table_->setItem(r, kKsD, new NumberItem(g ? number(g->KsD) : std::nullopt, 4));
    table_->setItem(r, kAdA2, new NumberItem(g ? number(g->AdA2) : std::nullopt, 4));
    table_->setItem(r, kCvmW2, new NumberItem(g ? number(g->CvmW2) : std::nullopt, 4));
  }
  table_->setSortingEnabled(true);
  table_->sortItems(kRank, Qt::AscendingOrder);
  table_->resizeColumnsToContents();
  table_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
}

QString RankedListWindow::TableText(QChar sep) const {
  auto cell = [&](const QString& text) { return sep == ',' ? CsvCell(text) : text; };
  QString text;
  for (int c = 0; c < table_->columnCount(); ++c)
    text += (c ? QString(sep) : QString()) + cell(table_->horizontalHeaderItem(c)->text());
  text += '\n';
  for (int r = 0; r < table_->rowCount(); ++r) {
    for (int c = 0; c < table_->columnCount(); ++c) {
      const QTableWidgetItem* item = table_->item(r, c);
      text += (c ? QString(sep) : QString()) + cell(item ? item->text() : QString());
    }
    text += '\n';
  }
  return text;
}

void RankedListWindow::CopyButtonClick() { QApplication::clipboard()->setText(TableText('\t')); }

void RankedListWindow::SaveCsvButtonClick() {
  if (!dialogs_) return;
  // The dialogs hand the focus back to the main window: the list stays in front.
  const auto path = dialogs_->SaveFileName({"CSV files (*.csv)|*.csv", "csv", "", ""});
  if (!path) return ShowInFront(this);
  std::error_code ec;
  if (std::filesystem::exists(*path, ec) && !dialogs_->Confirm("The file already exists, overwrite?"))
    return ShowInFront(this);
  const std::string text = TableText(',').toStdString();
  try {
    WriteFileAtomically(*path, [&](std::ostream& out) { out << text; });
  } catch (const std::exception& e) {
    dialogs_->ShowMessage(e.what());
  }
  ShowInFront(this);
}

}  // namespace tavorix
