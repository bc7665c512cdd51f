// The Output page of the main window: the results file, goodness of fit,
// the ranked list, the optimisation text, the calculator, and opening an
// existing results file.

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QClipboard>
#include <QFontDatabase>
#include <QMenu>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <fstream>

#include "ui/CalculatorWindow.h"
#include "core/TextFile.h"
#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "core/UDMTavorix.h"
#include "core/AtomicFile.h"
#include "graphs/GraphData.h"
#include "fitting/Registry.h"
#include "graphs/draw/GraphDrawing.h"
#include "graphs/draw/GraphFile.h"
#include "graphs/fitted/FittedGraphs.h"
#include "report/ResultsSet.h"
#include "report/ExportHtml.h"
#include "report/ExportTables.h"
#include "report/ParameterFile.h"
#include "report/ResultsLoader.h"
#include "ui/DesignValuesWindow.h"
#include "ui/GraphicsPage.h"
#include "ui/UDialogs.h"
#include "ui/RankedListWindow.h"
#include "ui/UMainForm.h"
#include "ui/WindowPlacement.h"
#include "ui/OptimizationHelp.h"

namespace tavorix {

namespace fs = std::filesystem;

namespace {

// Shows and hides the follower whenever the leader is shown or hidden.
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

void FollowVisibility(QWidget* leader, QWidget* follower) { new VisibilityFollower(leader, follower); }

}  // namespace

QStringList GoodnessOfFitLines(double avAbsDiff) {
  return {
      "Tavorix calculates AvAbsDiff: the average of the absolute values of the differences between observed and "
      "calculated cumulative frequencies in %, the latter on the basis of the fitted probability distribution.",
      "",
      QString::fromStdString("In this case the AvAbsDiff =" + FormatFixed(avAbsDiff, 5, 2) + " %"),
      "",
      "The AvAbsDiff may be classified as follows:",
      "",
      "            AvAbsDiff < 1%    very good",
      "   1% < AvAbsDiff < 2%    good",
      "   2% < AvAbsDiff < 3%    medium",
      "   3% < AvAbsDiff < 5%    poor",
      "            AvAbsDiff > 5%    very poor",
  };
}

void TMainForm::BuildOutputPage() {
  OutputMemo = new QPlainTextEdit(OutputTabSheet);
  OutputMemo->setObjectName("ReportText");
  OutputMemo->setReadOnly(true);
  OutputMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  OutputMemo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  SeeOutputButton = new QPushButton("Open output", OutputTabSheet);
  SeeOutputButton->setObjectName("OpenOutputButton");
  ViewGraphButton = new QPushButton("Graphics", OutputTabSheet);
  ViewGraphButton->setObjectName("GraphicsButton");
  CalcButton = new QPushButton("Calculator", OutputTabSheet);
  CalcButton->setObjectName("CalculatorButton");
  FitButton = new QPushButton("Goodness of fit", OutputTabSheet);
  FitButton->setObjectName("GoodnessButton");
  OptButton = new QPushButton("Optimization explained", OutputTabSheet);
  OptButton->setObjectName("OptimizationButton");
  ListButton = new QPushButton("List of distributions ranked by data fit", OutputTabSheet);
  ListButton->setObjectName("RankedListButton");
  for (QPushButton* b : {ViewGraphButton, CalcButton, FitButton, OptButton, ListButton}) b->hide();
  // Design values work from the calculator's files: shown and hidden with it.
  auto* designButton = new QPushButton("Design values", OutputTabSheet);
  designButton->setObjectName("DesignButton");
  FollowVisibility(CalcButton, designButton);
  // Exports and the table copy work from the results file: shown with "Graphics".
  ExportButton = new QPushButton("Export\u2026", OutputTabSheet);
  ExportButton->setObjectName("ExportButton");
  auto* exportMenu = new QMenu(ExportButton);
  ExportCsvAction = exportMenu->addAction("Tables as CSV files (folder)\u2026");
  ExportCsvAction->setObjectName("ExportCsvAction");
  ExportHtmlAction = exportMenu->addAction("Report as HTML page\u2026");
  ExportHtmlAction->setObjectName("ExportHtmlAction");
  ExportButton->setMenu(exportMenu);
  CopyTableButton = new QPushButton("Copy table", OutputTabSheet);
  CopyTableButton->setObjectName("CopyTableButton");
  CopyTableButton->setToolTip("Copies the table under the cursor, tab-separated");
  FollowVisibility(ViewGraphButton, ExportButton);
  FollowVisibility(ViewGraphButton, CopyTableButton);

  FitPanel = new QFrame(OutputTabSheet);
  FitPanel->setObjectName("GoodnessPanel");
  FitPanel->setFrameShape(QFrame::Box);
  FitPanel->setAutoFillBackground(true);
  FitMemo = new QPlainTextEdit(FitPanel);
  FitMemo->setObjectName("GoodnessText");
  FitMemo->setReadOnly(true);
  CloseFitButton = new QPushButton("Close", FitPanel);
  CloseFitButton->setObjectName("CloseGoodnessButton");
  auto* fitLayout = new QVBoxLayout(FitPanel);
  fitLayout->addWidget(FitMemo);
  fitLayout->addWidget(CloseFitButton, 0, Qt::AlignRight);
  FitPanel->hide();

  // The buttons sit in two rows under the results, which keep the width.
  auto* buttons = new QGridLayout;
  int i = 0;
  for (QPushButton* b : {SeeOutputButton, ViewGraphButton, CalcButton, FitButton, OptButton, ListButton,
                         designButton, ExportButton, CopyTableButton}) {
    buttons->addWidget(b, i / 3, i % 3);
    ++i;
  }
  auto* layout = new QGridLayout(OutputTabSheet);
  layout->addWidget(OutputMemo, 0, 0);
  layout->addWidget(FitPanel, 0, 0);  // over the results while it is shown
  layout->addLayout(buttons, 1, 0);
  layout->setRowStretch(0, 1);

  connect(SeeOutputButton, &QPushButton::clicked, this, &TMainForm::OutputOpenActionExecute);
  connect(ViewGraphButton, &QPushButton::clicked, this, &TMainForm::ViewGraphButtonClick);
  connect(CalcButton, &QPushButton::clicked, this, &TMainForm::CalcButtonClick);
  connect(FitButton, &QPushButton::clicked, this, &TMainForm::FitButtonClick);
  connect(OptButton, &QPushButton::clicked, this, &TMainForm::OptButtonClick);
  connect(ListButton, &QPushButton::clicked, this, &TMainForm::ListButtonClick);
  connect(CloseFitButton, &QPushButton::clicked, this, &TMainForm::CloseFitButtonClick);
  connect(ExportCsvAction, &QAction::triggered, this, &TMainForm::ExportCsvActionExecute);
  connect(ExportHtmlAction, &QAction::triggered, this, &TMainForm::ExportHtmlActionExecute);
  connect(CopyTableButton, &QPushButton::clicked, this, &TMainForm::CopyTableButtonClick);
  connect(designButton, &QPushButton::clicked, this, [this] {
    auto* form = findChild<DesignValuesWindow*>("DesignForm");
    if (!form) {
      form = new DesignValuesWindow(this);
      form->SetDialogs(&dialogs_);
    }
    form->ShowFor(WithExtension(dm_->FileName, ".out"));
  });
}

void TMainForm::AttachCalculator() {
  if (!calcForm_) return;
  // The real boxes stand over the calculator window, which raised them, so
  // that it stays in front of the main window; scripted dialogs answer all.
  if (!dynamic_cast<TQtDialogs*>(&dialogs_)) calcForm_->SetDialogs(&dialogs_);
  calcForm_->SetDecimalSettings(&state_.DecimalSettings);
  if (dm_) calcForm_->SetDataModule(dm_);
}

bool TMainForm::LoadResults(const std::string& outPath) {
  LoadedResults loaded;
  try {
    loaded = LoadResultsAndCode(outPath);
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
    return false;
  }
  OutputMemo->clear();
  OutputMemo->hide();
  QString text;
  for (const std::string& line : loaded.Lines) {
    text += QString::fromStdString(line);
    text += '\n';
  }
  OutputMemo->setPlainText(text);
  OutputMemo->show();
  state_.ResultsCode = loaded.Code;
  if (loaded.ParameterFileMissing) dialogs_.ShowMessage(kRunAgainText);
  return true;
}

void TMainForm::OutputTabSheetShow() {
  if (state_.ResultsAvailable) {
    const int c = state_.ResultsCode;
    OptButton->setVisible(c == 21 || c == 23 || c == 25 || c == 26);
  } else {
    for (QPushButton* b : {ViewGraphButton, FitButton, OptButton, CalcButton}) b->hide();
  }
  UpdateCommands();
  ShowStatus("The output file can be inspected. Use \"Open output\" to see examples under \"Data\" or to "
             "inspect any other output file.");
  graphics_->Prepare();
}

void TMainForm::OutputTabSheetExit() {
  if (calcForm_) calcForm_->hide();
}

void TMainForm::FitButtonClick() {
  if (!dm_) return;
  if (!state_.ResultsComplete) {
    // An opened results file: its parameter file holds no AvAbsDiff, the
    // report's goodness-of-fit line does.
    GraphData data;
    try {
      ReadGraphData(WithExtension(dm_->FileName, ".out"), kGraphCumulative, data);
    } catch (const std::exception& e) {
      dialogs_.ShowMessage(e.what());
      return;
    }
    dm_->AvAbsDiff = data.AvAbsDiff;
  }
  FitMemo->setPlainText(GoodnessOfFitLines(dm_->AvAbsDiff).join('\n'));
  FitPanel->show();
  FitPanel->raise();
}

void TMainForm::CloseFitButtonClick() { FitPanel->hide(); }

void TMainForm::OptButtonClick() {
  if (!optForm_) return;
  ShowInFront(optForm_);
}

void TMainForm::CalcButtonClick() {
  if (!calcForm_) return;
  ShowInFront(calcForm_);
}

void TMainForm::ViewGraphButtonClick() {
  state_.ResultsAvailable = true;
  graphics_->OfferChoices();
  ShowPage(Page::Graphics);
}

void TMainForm::ListButtonClick() {
  if (!dm_ || !listForm_) return;
  const std::string path = WithExtension(dm_->FileName, ".Lst");
  const std::optional<std::string> text = TryReadTextFile(path);
  if (!text) {
    dialogs_.ShowMessage(FileOpenErrorText(path));
    return;
  }
  try {
    CheckResultsSet(path);
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
    return;
  }
  const LineSet lines = SplitLines(*text);
  if (!IsRankedList(lines)) {
    dialogs_.ShowMessage(NotResultsFileText(path));
    return;
  }
  listForm_->SetDialogs(&dialogs_);
  listForm_->ShowRankedList(path, lines);
  ShowInFront(listForm_);
}

void TMainForm::OutputOpenActionExecute() {
  if (!dm_) return;
  // Opened from the Graphics page the file goes to the graphs, from any
  // other page to the Output page.
  const bool fromOutputPage = CurrentPage() != Page::Graphics;
  TFileDialogSpec spec = kOutputFileDialog;
  spec.InitialDir = state_.DialogFolder;
  const auto path = dialogs_.OpenFileName(spec);
  if (!path) {
    dialogs_.ShowMessage("No output file was selected");
    return;
  }
  std::error_code ec;
  if (!fs::exists(*path, ec)) {
    dialogs_.ShowMessage("File does not exist, please select another one,");
    return;
  }
  OpenOutputFile(*path, fromOutputPage);
}

void TMainForm::OpenOutputFile(const std::string& path, bool fromOutputPage) {
  std::error_code ec;
  // A file that is refused changes nothing, the current file name included.
  if (!LoadResults(path)) return;
  dm_->FileName = path;
  ShowStatus("The output file can be imported into spreadsheets");
  state_.OutputFileOpen = true;
  state_.ResultsComplete = false;
  state_.DialogFolder = fs::path(path).parent_path().string();
  ViewGraphButton->show();
  CalcButton->setVisible(state_.ResultsCode > 0);
  OutputMemo->show();
  graphics_->ResultsOpened();
  if (calcForm_) calcForm_->hide();
  if (listForm_) listForm_->hide();
  FitPanel->hide();
  GraphData data;
  try {
    ReadGraphData(path, kGraphCumulative, data);
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
  }
  state_.ResultsCode = data.Code;
  FitButton->setVisible(data.N > 250);
  ListButton->setVisible(fs::exists(WithExtension(path, ".Lst"), ec));
  // The optimisation table belongs to the normal codes whose spread was searched.
  const DistributionInfo* fitted = FindDistribution(state_.ResultsCode);
  OptButton->setVisible(fitted && fitted->Hand == HandOver::NormalSearched);
  if (fromOutputPage) {
    ShowPage(OutputTabSheet);
  } else {
    ShowPage(Page::Graphics);
    ShowStatus("Select type of graph");
  }
}

void TMainForm::ExportCsvActionExecute() {
  if (!dm_) return;
  const std::string out = WithExtension(dm_->FileName, ".out");
  TFileDialogSpec spec{"Folder of CSV tables (*)|*", "", state_.DialogFolder,
                       fs::path(out).stem().string() + "-tables"};
  const auto folder = dialogs_.SaveFileName(spec);
  if (!folder) {
    dialogs_.ShowMessage("The tables were not exported");
    return;
  }
  try {
    WriteCsvFolder(ReadResultsExport(out), *folder);
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
    return;
  }
  dialogs_.ShowMessage("The tables were saved as CSV files in  " + *folder);
}

void TMainForm::ExportHtmlActionExecute() {
  if (!dm_) return;
  const std::string out = WithExtension(dm_->FileName, ".out");
  TFileDialogSpec spec{"HTML page (*.html)|*.html", "html", state_.DialogFolder, fs::path(out).stem().string() + ".html"};
  const auto path = dialogs_.SaveFileName(spec);
  if (!path) {
    dialogs_.ShowMessage("The report was not exported");
    return;
  }
  std::error_code ec;
  if (fs::exists(*path, ec) && !dialogs_.Confirm("The file already exists, overwrite?")) return;
  try {
    const ResultsExport results = ReadResultsExport(out);
    const std::vector<HtmlGraph> graphs = ReportPageGraphs(out, [](const GraphView& view) {
      const QByteArray svg = GraphSvg(view, DrawOptions{true, true});
      return std::string(svg.constData(), static_cast<std::size_t>(svg.size()));
    });
    WriteFileAtomically(*path, [&](std::ostream& o) { WriteHtmlReport(o, results, graphs, GraphFooter()); });
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
    return;
  }
  dialogs_.ShowMessage("The report was saved in  " + *path);
}

void TMainForm::CopyTableButtonClick() {
  if (!dm_) return;
  const auto line = static_cast<std::size_t>(OutputMemo->textCursor().blockNumber());
  try {
    const ResultsExport results = ReadResultsExport(WithExtension(dm_->FileName, ".out"));
    const ExportTable* table = ReportTableAtLine(results, line);
    if (!table) {
      dialogs_.ShowMessage("Click into a table of the results first, then copy it");
      return;
    }
    QApplication::clipboard()->setText(QString::fromStdString(TabSeparated(*table)));
    ShowStatus(QString::fromStdString("Copied: " + table->Title));
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
  }
}

}  // namespace tavorix
