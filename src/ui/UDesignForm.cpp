#include "ui/UDesignForm.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <sstream>

#include "core/AtomicFile.h"
#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "ui/UDialogs.h"

namespace tavorix {

namespace {

class VisibilityFollower : public QObject {
 public:
  VisibilityFollower(QWidget* leader, QWidget* follower) : QObject(follower), follower_(follower) {
    leader->installEventFilter(this);
    follower->setVisible(leader->isVisibleTo(leader->parentWidget()));
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::ShowToParent) follower_->show();
    if (event->type() == QEvent::HideToParent) follower_->hide();
    return false;
  }

 private:
  QWidget* follower_;
};

QString StandardPeriodsText() {
  QString text;
  for (double t : kStandardReturnPeriods) text += (text.isEmpty() ? "" : ", ") + QString::fromStdString(FormatGeneral(t));
  return text;
}

}  // namespace

TDesignForm::TDesignForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("DesignForm");
  setWindowTitle("Design values");
  auto* periodsLabel = new QLabel("Return periods", this);
  PeriodsEdit = new QLineEdit(StandardPeriodsText(), this);
  PeriodsEdit->setObjectName("PeriodsEdit");
  DesignTableView = new QTableWidget(0, 6, this);
  DesignTableView->setObjectName("DesignTableView");
  DesignTableView->setHorizontalHeaderLabels(
      {"Ret. Per.", "Cum. Freq.", "X-value", "Lower X", "Upper X", ""});
  DesignTableView->verticalHeader()->hide();
  DesignTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DesignTableView->horizontalHeader()->setStretchLastSection(true);
  NoteLabel = new QLabel(this);
  NoteLabel->setObjectName("NoteLabel");
  NoteLabel->setWordWrap(true);
  CopyButton = new QPushButton("Copy", this);
  SaveCsvButton = new QPushButton("Save as CSV", this);

  auto* top = new QHBoxLayout;
  top->addWidget(periodsLabel);
  top->addWidget(PeriodsEdit, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(CopyButton);
  buttons->addWidget(SaveCsvButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(DesignTableView, 1);
  layout->addWidget(NoteLabel);
  layout->addLayout(buttons);
  resize(760, 480);

  connect(PeriodsEdit, &QLineEdit::editingFinished, this, &TDesignForm::PeriodsEditExit);
  connect(CopyButton, &QPushButton::clicked, this, &TDesignForm::CopyButtonClick);
  connect(SaveCsvButton, &QPushButton::clicked, this, &TDesignForm::SaveCsvButtonClick);
}

void FollowVisibility(QWidget* leader, QWidget* follower) { new VisibilityFollower(leader, follower); }

void TDesignForm::ShowFor(const std::string& outPath) {
  outPath_ = outPath;
  Rebuild();
  show();
  raise();
}

void TDesignForm::PeriodsEditExit() {
  if (!outPath_.empty()) Rebuild();
}

void TDesignForm::Rebuild() {
  table_ = DesignTable{};
  DesignTableView->setRowCount(0);
  std::string note;
  try {
    TDecimalSettings settings;
    const std::vector<double> periods = ParseReturnPeriods(PeriodsEdit->text().toStdString(), settings);
    table_ = MakeDesignTable(ReadCalcInputs(outPath_), periods);
    if (!table_.Available) note = kDesignNotAvailable;
    else if (table_.AnyExtrapolated()) note = kDesignExtrapolatedNote;
  } catch (const std::exception& e) {
    table_ = DesignTable{};
    note = e.what();
  }
  const auto cells = DesignTableCells(table_);
  DesignTableView->setRowCount(static_cast<int>(table_.Rows.size()));
  for (int r = 0; r < static_cast<int>(table_.Rows.size()); ++r) {
    for (int c = 0; c < 5; ++c) {
      auto* item = new QTableWidgetItem(QString::fromStdString(cells[r + 1][c]));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      DesignTableView->setItem(r, c, item);
    }
    DesignTableView->setItem(r, 5, new QTableWidgetItem(table_.Rows[r].Extrapolated ? "*" : ""));
  }
  DesignTableView->resizeColumnsToContents();
  DesignTableView->setVisible(table_.Available);
  NoteLabel->setText(QString::fromStdString(std::string(TrimBlanks(note))));
  CopyButton->setEnabled(!table_.Rows.empty());
  SaveCsvButton->setEnabled(!table_.Rows.empty());
}

void TDesignForm::CopyButtonClick() {
  QString text;
  for (const auto& row : DesignTableCells(table_)) {
    for (std::size_t c = 0; c < row.size(); ++c) text += (c ? "\t" : "") + QString::fromStdString(row[c]);
    text += '\n';
  }
  QApplication::clipboard()->setText(text);
}

void TDesignForm::SaveCsvButtonClick() {
  if (!dialogs_ || table_.Rows.empty()) return;
  const auto path = dialogs_->SaveFileName({"CSV files (*.csv)|*.csv", "csv", "", ""});
  if (!path) return;
  std::error_code ec;
  if (std::filesystem::exists(*path, ec) && !dialogs_->Confirm("The file already exists, overwrite?")) return;
  try {
    WriteFileAtomically(*path, [&](std::ostream& out) { WriteDesignTableCsv(out, table_); });
  } catch (const std::exception& e) {
    dialogs_->ShowMessage(e.what());
  }
}

}  // namespace tavorix
