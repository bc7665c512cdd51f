#include "ui/OutputPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "core/AtomicFile.h"
#include "core/NumberFormat.h"
#include "core/Session.h"
#include "core/TavorixError.h"
#include "core/TextFile.h"
#include "core/TextLines.h"
#include "core/UDMTavorix.h"
#include "fitting/Registry.h"
#include "graphs/draw/GraphDrawing.h"
#include "graphs/draw/GraphFile.h"
#include "graphs/fitted/FittedGraphs.h"
#include "graphs/GraphData.h"
#include "report/ExportHtml.h"
#include "report/ExportTables.h"
#include "report/ParameterFile.h"
#include "report/ResultsLoader.h"
#include "report/ResultsSet.h"
#include "ui/CalculatorWindow.h"
#include "ui/DesignValuesWindow.h"
#include "ui/Dialogs.h"
#include "ui/OptimizationHelp.h"
#include "ui/RankedListWindow.h"
#include "ui/WindowPlacement.h"

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

OutputPage::OutputPage(TWindowState& state, TDMTavorix& dm, TDialogs& dialogs, CalculatorWindow& calculator,
                       OptimizationHelp& optimization, RankedListWindow& rankedList, QWidget* parent)
    : QWidget(parent),
      state_(state),
      dm_(dm),
      dialogs_(dialogs),
      calculator_(calculator),
      optimization_(optimization),
      rankedList_(rankedList) {
  setObjectName("OutputPage");
  report_ = new QPlainTextEdit(this);
  report_->setObjectName("ReportText");
  report_->setReadOnly(true);
  report_->setLineWrapMode(QPlainTextEdit::NoWrap);
  report_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  auto* openOutputButton = new QPushButton("Open output", this);
  openOutputButton->setObjectName("OpenOutputButton");
  graphicsButton_ = new QPushButton("Graphics", this);
  graphicsButton_->setObjectName("GraphicsButton");
  calculatorButton_ = new QPushButton("Calculator", this);
  calculatorButton_->setObjectName("CalculatorButton");
  goodnessButton_ = new QPushButton("Goodness of fit", this);
  goodnessButton_->setObjectName("GoodnessButton");
  optimizationButton_ = new QPushButton("Optimization explained", this);
  optimizationButton_->setObjectName("OptimizationButton");
  rankedListButton_ = new QPushButton("List of distributions ranked by data fit", this);
  rankedListButton_->setObjectName("RankedListButton");
  for (QPushButton* b : {graphicsButton_, calculatorButton_, goodnessButton_, optimizationButton_, rankedListButton_})
    b->hide();
  // Design values work from the calculator's files: shown and hidden with it.
  auto* designButton = new QPushButton("Design values", this);
  designButton->setObjectName("DesignButton");
  FollowVisibility(calculatorButton_, designButton);
  // Exports and the table copy work from the results file: shown with "Graphics".
  auto* exportButton = new QPushButton("Export\u2026", this);
  exportButton->setObjectName("ExportButton");
  auto* exportMenu = new QMenu(exportButton);
  QAction* exportCsvAction = exportMenu->addAction("Tables as CSV files (folder)\u2026");
  exportCsvAction->setObjectName("ExportCsvAction");
  QAction* exportHtmlAction = exportMenu->addAction("Report as HTML page\u2026");
  exportHtmlAction->setObjectName("ExportHtmlAction");
  exportButton->setMenu(exportMenu);
  auto* copyTableButton = new QPushButton("Copy table", this);
  copyTableButton->setObjectName("CopyTableButton");
  copyTableButton->setToolTip("Copies the table under the cursor, tab-separated");
  FollowVisibility(graphicsButton_, exportButton);
  FollowVisibility(graphicsButton_, copyTableButton);

  goodnessPanel_ = new QFrame(this);
  goodnessPanel_->setObjectName("GoodnessPanel");
  goodnessPanel_->setFrameShape(QFrame::Box);
  goodnessPanel_->setAutoFillBackground(true);
  goodnessText_ = new QPlainTextEdit(goodnessPanel_);
  goodnessText_->setObjectName("GoodnessText");
  goodnessText_->setReadOnly(true);
  auto* closeGoodnessButton = new QPushButton("Close", goodnessPanel_);
  closeGoodnessButton->setObjectName("CloseGoodnessButton");
  auto* fitLayout = new QVBoxLayout(goodnessPanel_);
  fitLayout->addWidget(goodnessText_);
  fitLayout->addWidget(closeGoodnessButton, 0, Qt::AlignRight);
  goodnessPanel_->hide();

  // The buttons sit in two rows under the results, which keep the width.
  auto* buttons = new QGridLayout;
  int i = 0;
  for (QPushButton* b : {openOutputButton, graphicsButton_, calculatorButton_, goodnessButton_, optimizationButton_,
                         rankedListButton_, designButton, exportButton, copyTableButton}) {
    buttons->addWidget(b, i / 3, i % 3);
    ++i;
  }
  auto* layout = new QGridLayout(this);
  layout->addWidget(report_, 0, 0);
  layout->addWidget(goodnessPanel_, 0, 0);  // over the results while it is shown
  layout->addLayout(buttons, 1, 0);
  layout->setRowStretch(0, 1);

  connect(openOutputButton, &QPushButton::clicked, this, [this] { OpenOutput(false); });
  connect(graphicsButton_, &QPushButton::clicked, this, &OutputPage::GraphicsButtonClick);
  connect(calculatorButton_, &QPushButton::clicked, this, &OutputPage::CalculatorButtonClick);
  connect(goodnessButton_, &QPushButton::clicked, this, &OutputPage::GoodnessButtonClick);
  connect(optimizationButton_, &QPushButton::clicked, this, &OutputPage::OptimizationButtonClick);
  connect(rankedListButton_, &QPushButton::clicked, this, &OutputPage::RankedListButtonClick);
  connect(designButton, &QPushButton::clicked, this, &OutputPage::DesignButtonClick);
  connect(closeGoodnessButton, &QPushButton::clicked, this, &OutputPage::CloseGoodnessButtonClick);
  connect(exportCsvAction, &QAction::triggered, this, &OutputPage::ExportCsvActionExecute);
  connect(exportHtmlAction, &QAction::triggered, this, &OutputPage::ExportHtmlActionExecute);
  connect(copyTableButton, &QPushButton::clicked, this, &OutputPage::CopyTableButtonClick);

  // The real boxes stand over the calculator window, which raised them, so
  // that it stays in front of the main window; scripted dialogs answer all.
  if (!dynamic_cast<TQtDialogs*>(&dialogs_)) calculator_.SetDialogs(&dialogs_);
  calculator_.SetDecimalSettings(&state_.DecimalSettings);
  calculator_.SetDataModule(&dm_);
  rankedList_.SetDialogs(&dialogs_);
}

bool OutputPage::LoadResults(const std::string& outPath) {
  LoadedResults loaded;
  try {
    loaded = LoadResultsAndCode(outPath);
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
    return false;
  }
  report_->clear();
  report_->hide();
  QString text;
  for (const std::string& line : loaded.Lines) {
    text += QString::fromStdString(line);
    text += '\n';
  }
  report_->setPlainText(text);
  report_->show();
  state_.ResultsCode = loaded.Code;
  if (loaded.ParameterFileMissing) dialogs_.ShowMessage(kRunAgainText);
  return true;
}

void OutputPage::Shown() {
  if (state_.ResultsAvailable) {
    const int c = state_.ResultsCode;
    optimizationButton_->setVisible(c == 21 || c == 23 || c == 25 || c == 26);
  } else {
    for (QPushButton* b : {graphicsButton_, goodnessButton_, optimizationButton_, calculatorButton_}) b->hide();
  }
  emit Status("The output file can be inspected. Use \"Open output\" to see examples under \"Data\" or to "
             "inspect any other output file.");
}

void OutputPage::Left() { calculator_.hide(); }

void OutputPage::GoodnessButtonClick() {
  if (!state_.ResultsComplete) {
    // An opened results file: its parameter file holds no AvAbsDiff, the
    // report's goodness-of-fit line does.
    GraphData data;
    try {
      ReadGraphData(WithExtension(dm_.FileName, ".out"), kGraphCumulative, data);
    } catch (const std::exception& e) {
      dialogs_.ShowMessage(e.what());
      return;
    }
    dm_.AvAbsDiff = data.AvAbsDiff;
  }
  goodnessText_->setPlainText(GoodnessOfFitLines(dm_.AvAbsDiff).join('\n'));
  goodnessPanel_->show();
  goodnessPanel_->raise();
}

void OutputPage::CloseGoodnessButtonClick() { goodnessPanel_->hide(); }

void OutputPage::OptimizationButtonClick() { ShowInFront(&optimization_); }

void OutputPage::CalculatorButtonClick() { ShowInFront(&calculator_); }

void OutputPage::GraphicsButtonClick() {
  state_.ResultsAvailable = true;
  emit GraphsRequested();
}

void OutputPage::DesignButtonClick() {
  if (!designValues_) {
    designValues_ = new DesignValuesWindow(this);
    designValues_->SetDialogs(&dialogs_);
  }
  designValues_->ShowFor(WithExtension(dm_.FileName, ".out"));
}

void OutputPage::RankedListButtonClick() {
  const std::string path = WithExtension(dm_.FileName, ".Lst");
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
  rankedList_.ShowRankedList(path, lines);
  ShowInFront(&rankedList_);
}

void OutputPage::OpenOutput(bool forGraphs) {
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
  OpenOutputFile(*path, forGraphs);
}

void OutputPage::OpenOutputFile(const std::string& path, bool forGraphs) {
  std::error_code ec;
  // A file that is refused changes nothing, the current file name included.
  if (!LoadResults(path)) return;
  dm_.FileName = path;
  emit Status("The output file can be imported into spreadsheets");
  state_.OutputFileOpen = true;
  state_.ResultsComplete = false;
  state_.DialogFolder = fs::path(path).parent_path().string();
  graphicsButton_->show();
  calculatorButton_->setVisible(state_.ResultsCode > 0);
  report_->show();
  emit ResultsFileOpened();
  calculator_.hide();
  rankedList_.hide();
  goodnessPanel_->hide();
  GraphData data;
  try {
    ReadGraphData(path, kGraphCumulative, data);
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
  }
  state_.ResultsCode = data.Code;
  goodnessButton_->setVisible(data.N > 250);
  rankedListButton_->setVisible(fs::exists(WithExtension(path, ".Lst"), ec));
  // The optimisation table belongs to the normal codes whose spread was searched.
  const DistributionInfo* fitted = FindDistribution(state_.ResultsCode);
  optimizationButton_->setVisible(fitted && fitted->Hand == HandOver::NormalSearched);
  if (forGraphs) {
    emit PageRequested(Page::Graphics);
    emit Status("Select type of graph");
  } else {
    emit PageRequested(Page::Output);
  }
}

void OutputPage::ShowRunResults(int distCode, bool rankedListOffered, const std::string& listPath,
                                std::shared_ptr<const TavorixRun> run) {
  rankedList_.SetRunResults(listPath, std::move(run));
  state_.ResultsCode = distCode;
  state_.ResultsComplete = true;
  state_.ResultsAvailable = true;
  state_.OutputFileOpen = true;
  state_.GraphMade = false;
  LoadResults(dm_.FileName);
  graphicsButton_->show();
  calculatorButton_->show();
  // A goodness-of-fit panel left open shows the figure of the run before.
  goodnessPanel_->hide();
  goodnessButton_->setVisible(GoodnessOfFitOffered(dm_.NrOfData));
  rankedListButton_->setVisible(rankedListOffered);
  rankedList_.hide();
}

void OutputPage::SeriesOpened() {
  report_->hide();
  for (QPushButton* b : {calculatorButton_, graphicsButton_, goodnessButton_, rankedListButton_}) b->hide();
  rankedList_.hide();
}

void OutputPage::PictureOpened() {
  report_->hide();
  for (QPushButton* b : {graphicsButton_, goodnessButton_, optimizationButton_, calculatorButton_}) b->hide();
}

void OutputPage::ResultsForgotten() {
  state_.ResultsAvailable = state_.ResultsComplete = state_.OutputFileOpen = state_.GraphMade = false;
  report_->clear();
  report_->hide();
  for (QPushButton* b : {calculatorButton_, graphicsButton_, goodnessButton_, optimizationButton_, rankedListButton_})
    b->hide();
  goodnessPanel_->hide();
  rankedList_.hide();
  calculator_.hide();
  dm_.FileName = state_.StartDirectory;
}

void OutputPage::OfferRankedList(bool offered) { rankedListButton_->setVisible(offered); }

void OutputPage::ExportCsvActionExecute() {
  const std::string out = WithExtension(dm_.FileName, ".out");
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

void OutputPage::ExportHtmlActionExecute() {
  const std::string out = WithExtension(dm_.FileName, ".out");
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

void OutputPage::CopyTableButtonClick() {
  const auto line = static_cast<std::size_t>(report_->textCursor().blockNumber());
  try {
    const ResultsExport results = ReadResultsExport(WithExtension(dm_.FileName, ".out"));
    const ExportTable* table = ReportTableAtLine(results, line);
    if (!table) {
      dialogs_.ShowMessage("Click into a table of the results first, then copy it");
      return;
    }
    QApplication::clipboard()->setText(QString::fromStdString(TabSeparated(*table)));
    emit Status(QString::fromStdString("Copied: " + table->Title));
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
  }
}

}  // namespace tavorix
