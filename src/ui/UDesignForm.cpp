#include "ui/UDesignForm.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "core/AtomicFile.h"
#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "ui/BootstrapController.h"
#include "ui/UDialogs.h"
#include "ui/WindowPlacement.h"

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

// The columns of the table: the calculator's five, the extrapolation mark,
// the bootstrap interval.
constexpr int kMarkColumn = 5;
constexpr int kBootLowerColumn = 6;
constexpr int kBootUpperColumn = 7;

}  // namespace

TDesignForm::TDesignForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("DesignForm");
  setWindowTitle("Design values");
  auto* periodsLabel = new QLabel("Return periods", this);
  PeriodsEdit = new QLineEdit(StandardPeriodsText(), this);
  PeriodsEdit->setObjectName("PeriodsEdit");
  DesignTableView = new QTableWidget(0, 8, this);
  DesignTableView->setObjectName("DesignTableView");
  DesignTableView->setHorizontalHeaderLabels(
      {"Ret. Per.", "Cum. Freq.", "X-value", "Lower X", "Upper X", "", "Lower X (bootstrap)", "Upper X (bootstrap)"});
  DesignTableView->setColumnHidden(kBootLowerColumn, true);
  DesignTableView->setColumnHidden(kBootUpperColumn, true);
  DesignTableView->verticalHeader()->hide();
  DesignTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DesignTableView->horizontalHeader()->setStretchLastSection(true);
  NoteLabel = new QLabel(this);
  NoteLabel->setObjectName("NoteLabel");
  NoteLabel->setWordWrap(true);
  CopyButton = new QPushButton("Copy", this);
  SaveCsvButton = new QPushButton("Save as CSV", this);
  auto* replicasLabel = new QLabel("Replicas", this);
  ReplicasEdit = new QSpinBox(this);
  ReplicasEdit->setObjectName("ReplicasEdit");
  ReplicasEdit->setRange(10, 100000);
  ReplicasEdit->setValue(kDefaultReplicas);
  BootstrapButton = new QPushButton("Bootstrap interval", this);
  BootstrapButton->setObjectName("BootstrapButton");
  CancelBootstrapButton = new QPushButton("Cancel", this);
  CancelBootstrapButton->setObjectName("CancelBootstrapButton");
  CancelBootstrapButton->hide();
  BootstrapProgress = new QProgressBar(this);
  BootstrapProgress->setObjectName("BootstrapProgress");
  BootstrapProgress->hide();
  bootstrap_ = new TBootstrapController(this);

  auto* top = new QHBoxLayout;
  top->addWidget(periodsLabel);
  top->addWidget(PeriodsEdit, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(replicasLabel);
  buttons->addWidget(ReplicasEdit);
  buttons->addWidget(BootstrapButton);
  buttons->addWidget(BootstrapProgress, 1);
  buttons->addWidget(CancelBootstrapButton);
  buttons->addStretch(1);
  buttons->addWidget(CopyButton);
  buttons->addWidget(SaveCsvButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(DesignTableView, 1);
  layout->addWidget(NoteLabel);
  layout->addLayout(buttons);
  resize(760, 480);
  CloseOnEscape(this);

  connect(PeriodsEdit, &QLineEdit::editingFinished, this, &TDesignForm::PeriodsEditExit);
  connect(CopyButton, &QPushButton::clicked, this, &TDesignForm::CopyButtonClick);
  connect(SaveCsvButton, &QPushButton::clicked, this, &TDesignForm::SaveCsvButtonClick);
  connect(BootstrapButton, &QPushButton::clicked, this, &TDesignForm::BootstrapButtonClick);
  connect(CancelBootstrapButton, &QPushButton::clicked, this, &TDesignForm::CancelBootstrapButtonClick);
  connect(bootstrap_, &TBootstrapController::Progress, this, [this](int done, int total) {
    BootstrapProgress->setMaximum(total);
    BootstrapProgress->setValue(done);
  });
  connect(bootstrap_, &TBootstrapController::Finished, this, &TDesignForm::BootstrapFinished);
}

void FollowVisibility(QWidget* leader, QWidget* follower) { new VisibilityFollower(leader, follower); }

void TDesignForm::ShowFor(const std::string& outPath) {
  // A bootstrap of the file shown before ends without a result.
  bootstrap_->Cancel();
  outPath_ = outPath;
  Rebuild();
  ShowInFront(this);
}

void TDesignForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) PlaceOverActiveWindow(this);
}

void TDesignForm::PeriodsEditExit() {
  if (!outPath_.empty() && !BootstrapRunning()) Rebuild();
}

void TDesignForm::Rebuild() {
  boot_.reset();
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
    for (int c = 0; c < kMarkColumn; ++c) {
      auto* item = new QTableWidgetItem(QString::fromStdString(cells[r + 1][c]));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      DesignTableView->setItem(r, c, item);
    }
    DesignTableView->setItem(r, kMarkColumn, new QTableWidgetItem(table_.Rows[r].Extrapolated ? "*" : ""));
  }
  DesignTableView->resizeColumnsToContents();
  DesignTableView->setVisible(table_.Available);
  tableNote_ = std::string(TrimBlanks(note));
  NoteLabel->setText(QString::fromStdString(tableNote_));
  CopyButton->setEnabled(!table_.Rows.empty());
  SaveCsvButton->setEnabled(!table_.Rows.empty());
  BootstrapButton->setEnabled(!table_.Rows.empty());
  ShowBootstrap();
}

std::vector<std::vector<std::string>> TDesignForm::Cells() const {
  return boot_ ? DesignTableCells(table_, *boot_) : DesignTableCells(table_);
}

bool TDesignForm::BootstrapRunning() const { return bootstrap_->Running(); }

void TDesignForm::BootstrapButtonClick() {
  if (table_.Rows.empty() || BootstrapRunning()) return;
  TBootstrapRequest request;
  request.OutPath = outPath_;
  for (const DesignRow& row : table_.Rows) request.Periods.push_back(row.Period);
  request.Replicas = ReplicasEdit->value();
  BootstrapProgress->setRange(0, request.Replicas);
  BootstrapProgress->setValue(0);
  BootstrapProgress->show();
  CancelBootstrapButton->show();
  BootstrapButton->setEnabled(false);
  PeriodsEdit->setEnabled(false);
  bootstrap_->Start(std::move(request));
}

void TDesignForm::CancelBootstrapButtonClick() { bootstrap_->Cancel(); }

void TDesignForm::BootstrapFinished(const TBootstrapOutcome& outcome) {
  BootstrapProgress->hide();
  CancelBootstrapButton->hide();
  BootstrapButton->setEnabled(!table_.Rows.empty());
  PeriodsEdit->setEnabled(true);
  if (outcome.Result && outcome.Result->Rows.size() == table_.Rows.size()) boot_ = outcome.Result;
  if (!outcome.Error.empty() && dialogs_) dialogs_->ShowMessage(std::string(TrimBlanks(outcome.Error)));
  ShowBootstrap();
}

// The bootstrap columns and the note of the bootstrap, or neither.
void TDesignForm::ShowBootstrap() {
  DesignTableView->setColumnHidden(kBootLowerColumn, !boot_);
  DesignTableView->setColumnHidden(kBootUpperColumn, !boot_);
  if (!boot_) return;
  auto shown = [](double v) { return QString::fromStdString(std::isfinite(v) ? FormatGeneral(v) : "n.a"); };
  for (int r = 0; r < static_cast<int>(boot_->Rows.size()) && r < DesignTableView->rowCount(); ++r) {
    for (const auto& [column, value] : {std::pair{kBootLowerColumn, boot_->Rows[r].Lower},
                                        std::pair{kBootUpperColumn, boot_->Rows[r].Upper}}) {
      auto* item = new QTableWidgetItem(shown(value));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      DesignTableView->setItem(r, column, item);
    }
  }
  DesignTableView->resizeColumnsToContents();
  std::string note = tableNote_.empty() ? "" : tableNote_ + "\n";
  note += "Bootstrap: " + FormatGeneral(100 * boot_->Level) + "% interval of X from " +
          std::to_string(boot_->Replicas) + " replicas, " + std::to_string(boot_->Failed) + " failed" +
          (boot_->Marked() ? " (fewer than 90% succeeded)" : "") + "; p-values KS D " + FormatGeneral(boot_->PKs) +
          ", AD A2 " + FormatGeneral(boot_->PAd) + ", CvM W2 " + FormatGeneral(boot_->PCvm);
  NoteLabel->setText(QString::fromStdString(note));
}

void TDesignForm::CopyButtonClick() {
  QString text;
  for (const auto& row : Cells()) {
    for (std::size_t c = 0; c < row.size(); ++c) text += (c ? "\t" : "") + QString::fromStdString(row[c]);
    text += '\n';
  }
  QApplication::clipboard()->setText(text);
}

void TDesignForm::SaveCsvButtonClick() {
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
