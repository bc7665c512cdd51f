#include "ui/DesignValuesWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "core/AtomicFile.h"
#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "ui/BootstrapController.h"
#include "ui/Dialogs.h"
#include "ui/WindowPlacement.h"

namespace tavorix {

namespace {

QString StandardPeriodsText() {
  QString text;
  for (double t : kStandardReturnPeriods) text += (text.isEmpty() ? "" : ", ") + QString::fromStdString(FormatGeneral(t));
  return text;
}

// The columns of the table: the calculator's five, the extrapolation mark,
// the bootstrap interval.
constexpr int kMarkColumn = 5;
constexpr int kBootLowerColumn = 6;
constexpr int kBootUpperColumn = 7;

}  // namespace

DesignValuesWindow::DesignValuesWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("DesignForm");
  setWindowTitle("Design values");
  auto* periodsLabel = new QLabel("Return periods", this);
  periodsEdit_ = new QLineEdit(StandardPeriodsText(), this);
  periodsEdit_->setObjectName("PeriodsEdit");
  tableView_ = new QTableWidget(0, 8, this);
  tableView_->setObjectName("DesignTableView");
  tableView_->setHorizontalHeaderLabels(
      {"Ret. Per.", "Cum. Freq.", "X-value", "Lower X", "Upper X", "", "Lower X (bootstrap)", "Upper X (bootstrap)"});
  tableView_->setColumnHidden(kBootLowerColumn, true);
  tableView_->setColumnHidden(kBootUpperColumn, true);
  tableView_->verticalHeader()->hide();
  tableView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tableView_->horizontalHeader()->setStretchLastSection(true);
  noteLabel_ = new QLabel(this);
  noteLabel_->setObjectName("NoteLabel");
  noteLabel_->setWordWrap(true);
  copyButton_ = new QPushButton("Copy", this);
  copyButton_->setObjectName("CopyButton");
  saveCsvButton_ = new QPushButton("Save as CSV", this);
  saveCsvButton_->setObjectName("SaveCsvButton");
  auto* replicasLabel = new QLabel("Replicas", this);
  replicasEdit_ = new QSpinBox(this);
  replicasEdit_->setObjectName("ReplicasEdit");
  replicasEdit_->setRange(10, 100000);
  replicasEdit_->setValue(kDefaultReplicas);
  bootstrapButton_ = new QPushButton("Bootstrap interval", this);
  bootstrapButton_->setObjectName("BootstrapButton");
  cancelBootstrapButton_ = new QPushButton("Cancel", this);
  cancelBootstrapButton_->setObjectName("CancelBootstrapButton");
  cancelBootstrapButton_->hide();
  bootstrapProgress_ = new QProgressBar(this);
  bootstrapProgress_->setObjectName("BootstrapProgress");
  bootstrapProgress_->hide();
  bootstrap_ = new TBootstrapController(this);

  auto* top = new QHBoxLayout;
  top->addWidget(periodsLabel);
  top->addWidget(periodsEdit_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(replicasLabel);
  buttons->addWidget(replicasEdit_);
  buttons->addWidget(bootstrapButton_);
  buttons->addWidget(bootstrapProgress_, 1);
  buttons->addWidget(cancelBootstrapButton_);
  buttons->addStretch(1);
  buttons->addWidget(copyButton_);
  buttons->addWidget(saveCsvButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(tableView_, 1);
  layout->addWidget(noteLabel_);
  layout->addLayout(buttons);
  resize(760, 480);
  CloseOnEscape(this);

  connect(periodsEdit_, &QLineEdit::editingFinished, this, &DesignValuesWindow::PeriodsEditExit);
  connect(copyButton_, &QPushButton::clicked, this, &DesignValuesWindow::CopyButtonClick);
  connect(saveCsvButton_, &QPushButton::clicked, this, &DesignValuesWindow::SaveCsvButtonClick);
  connect(bootstrapButton_, &QPushButton::clicked, this, &DesignValuesWindow::BootstrapButtonClick);
  connect(cancelBootstrapButton_, &QPushButton::clicked, this, &DesignValuesWindow::CancelBootstrapButtonClick);
  bootstrap_->ShowProgressIn(bootstrapProgress_);
  connect(bootstrap_, &TBootstrapController::Finished, this, &DesignValuesWindow::BootstrapFinished);
}

void DesignValuesWindow::ShowFor(const std::string& outPath) {
  // A bootstrap of the file shown before ends without a result.
  bootstrap_->Cancel();
  outPath_ = outPath;
  Rebuild();
  ShowInFront(this);
}

void DesignValuesWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) PlaceOverActiveWindow(this);
}

void DesignValuesWindow::PeriodsEditExit() {
  if (!outPath_.empty() && !BootstrapRunning()) Rebuild();
}

void DesignValuesWindow::Rebuild() {
  boot_.reset();
  table_ = DesignTable{};
  tableView_->setRowCount(0);
  std::string note;
  try {
    TDecimalSettings settings;
    const std::vector<double> periods = ParseReturnPeriods(periodsEdit_->text().toStdString(), settings);
    table_ = MakeDesignTable(ReadCalcInputs(outPath_), periods);
    if (!table_.Available) note = kDesignNotAvailable;
    else if (table_.AnyExtrapolated()) note = kDesignExtrapolatedNote;
  } catch (const std::exception& e) {
    table_ = DesignTable{};
    note = e.what();
  }
  const auto cells = DesignTableCells(table_);
  tableView_->setRowCount(static_cast<int>(table_.Rows.size()));
  for (int r = 0; r < static_cast<int>(table_.Rows.size()); ++r) {
    for (int c = 0; c < kMarkColumn; ++c) {
      auto* item = new QTableWidgetItem(QString::fromStdString(cells[r + 1][c]));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      tableView_->setItem(r, c, item);
    }
    tableView_->setItem(r, kMarkColumn, new QTableWidgetItem(table_.Rows[r].Extrapolated ? "*" : ""));
  }
  tableView_->resizeColumnsToContents();
  tableView_->setVisible(table_.Available);
  tableNote_ = std::string(TrimBlanks(note));
  noteLabel_->setText(QString::fromStdString(tableNote_));
  copyButton_->setEnabled(!table_.Rows.empty());
  saveCsvButton_->setEnabled(!table_.Rows.empty());
  bootstrapButton_->setEnabled(!table_.Rows.empty());
  ShowBootstrap();
}

std::vector<std::vector<std::string>> DesignValuesWindow::Cells() const {
  return boot_ ? DesignTableCells(table_, *boot_) : DesignTableCells(table_);
}

bool DesignValuesWindow::BootstrapRunning() const { return bootstrap_->Running(); }

void DesignValuesWindow::BootstrapButtonClick() {
  if (table_.Rows.empty() || BootstrapRunning()) return;
  TBootstrapRequest request;
  request.OutPath = outPath_;
  for (const DesignRow& row : table_.Rows) request.Periods.push_back(row.Period);
  request.Replicas = replicasEdit_->value();
  bootstrapProgress_->setRange(0, request.Replicas);
  bootstrapProgress_->setValue(0);
  bootstrapProgress_->show();
  cancelBootstrapButton_->show();
  bootstrapButton_->setEnabled(false);
  periodsEdit_->setEnabled(false);
  bootstrap_->Start(std::move(request));
}

void DesignValuesWindow::CancelBootstrapButtonClick() { bootstrap_->Cancel(); }

void DesignValuesWindow::BootstrapFinished(const TBootstrapOutcome& outcome) {
  bootstrapProgress_->hide();
  cancelBootstrapButton_->hide();
  bootstrapButton_->setEnabled(!table_.Rows.empty());
  periodsEdit_->setEnabled(true);
  if (outcome.Result && outcome.Result->Rows.size() == table_.Rows.size()) boot_ = outcome.Result;
  if (!outcome.Error.empty() && dialogs_) dialogs_->ShowMessage(std::string(TrimBlanks(outcome.Error)));
  ShowBootstrap();
}

// The bootstrap columns and the note of the bootstrap, or neither.
void DesignValuesWindow::ShowBootstrap() {
  tableView_->setColumnHidden(kBootLowerColumn, !boot_);
  tableView_->setColumnHidden(kBootUpperColumn, !boot_);
  if (!boot_) return;
  auto shown = [](double v) { return QString::fromStdString(std::isfinite(v) ? FormatGeneral(v) : "n.a"); };
  for (int r = 0; r < static_cast<int>(boot_->Rows.size()) && r < tableView_->rowCount(); ++r) {
    for (const auto& [column, value] : {std::pair{kBootLowerColumn, boot_->Rows[r].Lower},
                                        std::pair{kBootUpperColumn, boot_->Rows[r].Upper}}) {
      auto* item = new QTableWidgetItem(shown(value));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      tableView_->setItem(r, column, item);
    }
  }
  tableView_->resizeColumnsToContents();
  WidenToShowEveryColumn();
  std::string note = tableNote_.empty() ? "" : tableNote_ + "\n";
  note += "Bootstrap: " + FormatGeneral(100 * boot_->Level) + "% interval of X from " +
          std::to_string(boot_->Replicas) + " replicas, " + std::to_string(boot_->Failed) + " failed" +
          (boot_->Marked() ? " (fewer than 90% succeeded)" : "") + "; p-values KS D " + FormatGeneral(boot_->PKs) +
          ", AD A2 " + FormatGeneral(boot_->PAd) + ", CvM W2 " + FormatGeneral(boot_->PCvm);
  noteLabel_->setText(QString::fromStdString(note));
}

// The bootstrap's two columns make the table wider than the window opened
// for the report's: the window grows by what the columns lack, as far as its
// screen allows, and moves left where it would leave the screen.
void DesignValuesWindow::WidenToShowEveryColumn() {
  const int lacking = tableView_->horizontalHeader()->length() - tableView_->viewport()->width();
  if (lacking <= 0) return;
  const QScreen* screen = this->screen();
  const QRect area = screen ? screen->availableGeometry() : QRect();
  const int frameExtra = frameGeometry().width() - width();
  int wanted = width() + lacking;
  if (screen) wanted = std::min(wanted, area.width() - frameExtra);
  if (wanted <= width()) return;
  resize(wanted, height());
  if (screen && isVisible() && frameGeometry().right() > area.right())
    move(std::max(area.left(), area.right() + 1 - frameGeometry().width()), y());
}

void DesignValuesWindow::CopyButtonClick() {
  QString text;
  for (const auto& row : Cells()) {
    for (std::size_t c = 0; c < row.size(); ++c) text += (c ? "\t" : "") + QString::fromStdString(row[c]);
    text += '\n';
  }
  QApplication::clipboard()->setText(text);
}

void DesignValuesWindow::SaveCsvButtonClick() {
  if (!dialogs_ || table_.Rows.empty()) return;
  const auto path = dialogs_->SaveFileName({"CSV files (*.csv)|*.csv", "csv", "", ""});
  if (!path) return ShowInFront(this);
  std::error_code ec;
  if (std::filesystem::exists(*path, ec) && !dialogs_->Confirm("The file already exists, overwrite?"))
    return ShowInFront(this);
  try {
    WriteFileAtomically(*path, [&](std::ostream& out) {
      if (boot_)
        WriteDesignTableCsv(out, table_, *boot_);
      else
        WriteDesignTableCsv(out, table_);
    });
  } catch (const std::exception& e) {
    dialogs_->ShowMessage(e.what());
  }
  // The dialog handed the focus back to the main window: the table stays in front.
  ShowInFront(this);
}

}  // namespace tavorix
