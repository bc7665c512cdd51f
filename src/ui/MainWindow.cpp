#include "ui/MainWindow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>
#include <optional>
#include <utility>

#include "core/UDMTavorix.h"
#include "ui/FinishDialog.h"
#include "ui/GraphicsPage.h"
#include "ui/InputPage.h"
#include "ui/IntroPage.h"
#include "ui/OutputPage.h"
#include "ui/RunController.h"

namespace tavorix {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRecentFilesKey = "RecentFiles";

char SystemDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode()) : '.';
}

std::optional<std::string> DroppedDataFile(const QMimeData* mime) {
  if (!mime || !mime->hasUrls() || mime->urls().size() != 1 || !mime->urls().front().isLocalFile())
    return std::nullopt;
  const QString path = mime->urls().front().toLocalFile();
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != "txt" && suffix != "csv" && suffix != "inp") return std::nullopt;
  return path.toStdString();
}

}  // namespace

TWindowPlacement MainWindowPlacement(int screenWidth, int windowWidth) {
  TWindowPlacement p{100, windowWidth};
  if (screenWidth <= 860 && screenWidth < windowWidth) {
    p.Left = 5;
    p.Width = screenWidth - 5;
  } else if (screenWidth > 860) {
    p.Width = 760;
  }
  return p;
}

MainWindow::MainWindow(TDMTavorix& dm, TDialogs& dialogs, const SmallWindows& windows, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), finish_(windows.Finish) {
  setObjectName("MainWindow");
  setWindowTitle("Tavorix: a cumulative frequency analysis with emphasis on composite probability distributions");
  state_.DecimalSettings.DecimalSeparator = SystemDecimalSeparator();
  std::error_code ec;
  state_.StartDirectory = fs::current_path(ec).string();
  state_.DialogFolder = state_.StartDirectory;

  statusBar_ = new QStatusBar(this);
  statusBar_->setObjectName("StatusBar");
  statusBar_->setSizeGripEnabled(false);
  setStatusBar(statusBar_);

  pages_ = new QTabWidget(this);
  pages_->setObjectName("Pages");
  intro_ = new IntroPage;
  input_ = new InputPage(session_, state_, dm, dialogs, windows.Selection);
  output_ = new OutputPage(state_, dm, dialogs, windows.Calculator, windows.Optimization, windows.RankedList);
  graphics_ = new GraphicsPage(state_, dm, dialogs);
  pages_->addTab(intro_, "  Intro  ");
  pages_->addTab(input_, "  Input  ");
  pages_->addTab(output_, "  Output  ");
  pages_->addTab(graphics_, " Graphics ");
  setCentralWidget(pages_);
  BuildMenus();
  ConnectPages();
  setAcceptDrops(true);
  resize(kMainWindowWidth, 580);

  pages_->setCurrentWidget(intro_);
  previousPage_ = pages_->currentIndex();
  if (QScreen* screen = QGuiApplication::primaryScreen()) PlaceWindow(screen->availableGeometry().width());
  intro_->Shown();
  UpdateCommands();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  openInputAction_ = file->addAction("Open input");
  openInputAction_->setObjectName("OpenInputAction");
  openInputAction_->setShortcut(QKeySequence::Open);
  recentMenu_ = file->addMenu("Recent files");
  recentMenu_->setObjectName("RecentMenu");
  openOutputAction_ = file->addAction("Open output");
  openOutputAction_->setObjectName("OpenOutputAction");
  file->addAction("Open &Graph")->setObjectName("OpenGraphAction");  // has no action
  saveRunAction_ = file->addAction("Save input");  // Save-Run
  saveRunAction_->setObjectName("SaveRunAction");
  saveRunAction_->setShortcut(QKeySequence("Ctrl+R"));
  saveInputAction_ = file->addAction("Save input without run");
  saveInputAction_->setObjectName("SaveInputAction");
  saveInputAction_->setShortcut(QKeySequence("Ctrl+S"));
  file->addSeparator();
  exitAction_ = file->addAction("Program E&xit");
  exitAction_->setObjectName("ExitAction");
  exitAction_->setShortcut(QKeySequence("Ctrl+Q"));
  FillRecentMenu();

  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->addAction(input_->UndoAction());
  edit->addAction(input_->RedoAction());
  edit->addSeparator();
  copyAction_ = edit->addAction("&Copy");
  copyAction_->setObjectName("CopyAction");
  copyAction_->setShortcut(QKeySequence("Ctrl+C"));
  cutAction_ = edit->addAction("Cu&t");
  cutAction_->setObjectName("CutAction");
  cutAction_->setShortcut(QKeySequence("Ctrl+X"));
  pasteAction_ = edit->addAction("&Paste");
  pasteAction_->setObjectName("PasteAction");
  pasteAction_->setShortcut(QKeySequence("Ctrl+V"));
  deleteAction_ = edit->addAction("&Delete");
  deleteAction_->setObjectName("DeleteAction");
  deleteAction_->setShortcut(QKeySequence(Qt::Key_Delete));
  selectAllAction_ = edit->addAction("Select &all");
  selectAllAction_->setObjectName("SelectAllAction");
  selectAllAction_->setShortcut(QKeySequence::SelectAll);
  input_->SetEditActions(pasteAction_, copyAction_, deleteAction_);

  helpAction_ = menuBar()->addAction("&Help");
  helpAction_->setObjectName("HelpAction");
  helpAction_->setShortcut(QKeySequence::HelpContents);

  connect(openInputAction_, &QAction::triggered, input_, &InputPage::OpenInput);
  connect(openOutputAction_, &QAction::triggered, this, &MainWindow::OpenOutput);
  connect(saveRunAction_, &QAction::triggered, input_, &InputPage::SaveRun);
  connect(saveInputAction_, &QAction::triggered, input_, &InputPage::SaveInputOnly);
  connect(exitAction_, &QAction::triggered, this, &QWidget::close);
  connect(copyAction_, &QAction::triggered, this, &MainWindow::EditCopyActionExecute);
  connect(cutAction_, &QAction::triggered, this, &MainWindow::EditCutActionExecute);
  connect(pasteAction_, &QAction::triggered, this, &MainWindow::EditPasteActionExecute);
  connect(deleteAction_, &QAction::triggered, this, &MainWindow::EditDeleteActionExecute);
  connect(selectAllAction_, &QAction::triggered, this, &MainWindow::EditSelectAllActionExecute);
  connect(helpAction_, &QAction::triggered, this, [this] {
    ShowPage(Page::Intro);
    intro_->ShowIntroduction();
  });
}

void MainWindow::ConnectPages() {
  connect(pages_, &QTabWidget::currentChanged, this, &MainWindow::PageChanged);
  auto showPage = [this](Page page) { ShowPage(page); };
  connect(intro_, &IntroPage::Status, this, &MainWindow::ShowStatus);
  connect(input_, &InputPage::Status, this, &MainWindow::ShowStatus);
  connect(output_, &OutputPage::Status, this, &MainWindow::ShowStatus);
  connect(graphics_, &GraphicsPage::Status, this, &MainWindow::ShowStatus);
  connect(input_, &InputPage::PageRequested, this, showPage);
  connect(output_, &OutputPage::PageRequested, this, showPage);
  connect(graphics_, &GraphicsPage::PageRequested, this, showPage);

  connect(input_, &InputPage::PasteHelpToggled, this, &MainWindow::UpdateCommands);
  connect(input_, &InputPage::FileUsed, this, &MainWindow::RememberRecentFile);
  connect(input_, &InputPage::RunningChanged, this, &MainWindow::RunningChanged);
  connect(input_, &InputPage::RunSucceeded, this, &MainWindow::ShowRunResults);
  connect(input_, &InputPage::SeriesOpened, output_, &OutputPage::SeriesOpened);
  connect(input_, &InputPage::RankedListOffered, output_, &OutputPage::OfferRankedList);
  connect(input_, &InputPage::DataCleared, this, [this] {
    output_->ResultsForgotten();
    graphics_->ResultsForgotten();
  });
  connect(output_, &OutputPage::ResultsFileOpened, graphics_, &GraphicsPage::ResultsOpened);
  connect(output_, &OutputPage::GraphsRequested, this, [this] {
    graphics_->OfferChoices();
    ShowPage(Page::Graphics);
  });
  connect(graphics_, &GraphicsPage::OpenResultsRequested, this, &MainWindow::OpenOutput);
  connect(graphics_, &GraphicsPage::PictureOpened, output_, &OutputPage::PictureOpened);
}

void MainWindow::ShowStatus(const QString& text) {
  statusBar_->showMessage(text);
  statusBar_->repaint();
}

QString MainWindow::StatusText() const { return statusBar_->currentMessage(); }

void MainWindow::PlaceWindow(int screenWidth) {
  const TWindowPlacement p = MainWindowPlacement(screenWidth);
  setGeometry(p.Left, geometry().y() > 0 ? geometry().y() : 30, p.Width, height());
}

void MainWindow::ShowPage(Page page) { pages_->setCurrentIndex(static_cast<int>(page)); }

Page MainWindow::CurrentPage() const { return static_cast<Page>(pages_->currentIndex()); }

void MainWindow::PageChanged(int index) {
  if (static_cast<Page>(std::exchange(previousPage_, index)) == Page::Output) output_->Left();
  const Page page = static_cast<Page>(index);
  switch (page) {
    case Page::Intro: intro_->Shown(); break;
    case Page::Input: input_->Shown(); break;
    case Page::Output: output_->Shown(); break;
    case Page::Graphics: graphics_->Shown(); break;
  }
  UpdateCommands();
  // The graph choices follow the results shown on the Output page.
  if (page == Page::Output) graphics_->Prepare();
}

void MainWindow::UpdateCommands() {
  const bool running = input_->RunInProgress();
  const bool saveRun = SaveRunOffered(CurrentPage() == Page::Input, input_->PasteHelpShown(), running);
  const bool files = FileCommandsOffered(input_->PasteHelpShown(), running);
  input_->OfferCommands(saveRun, files);
  for (QAction* a : {saveRunAction_, saveInputAction_}) a->setEnabled(saveRun);
  for (QAction* a : {openInputAction_, openOutputAction_}) a->setEnabled(files);
  recentMenu_->setEnabled(files);
}

void MainWindow::RunningChanged(bool running) {
  pages_->tabBar()->setEnabled(!running);
  menuBar()->setEnabled(!running);
  for (QAction* a : {copyAction_, cutAction_, pasteAction_, deleteAction_, selectAllAction_, exitAction_, helpAction_})
    a->setEnabled(!running);
  UpdateCommands();
  // The window was closed during the run: it closes once the run has ended.
  if (!running && std::exchange(closeAfterRun_, false)) QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::ShowRunResults(const TRunOutcome& outcome) {
  const PipelineResult& result = outcome.Result;
  output_->ShowRunResults(result.DistCode, ListOfferedAfterRun(session_), result.ListPath, outcome.Run);
  graphics_->RunFinished();
  ShowPage(Page::Output);
}

void MainWindow::OpenOutput() { output_->OpenOutput(CurrentPage() == Page::Graphics); }

bool MainWindow::RunInProgress() const { return input_->RunInProgress(); }

void MainWindow::SetStagePauseMs(int ms) { input_->SetStagePauseMs(ms); }

// --- files -------------------------------------------------------------------

void MainWindow::OpenFileFromCommandLine(const std::string& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    dialogs_.ShowMessage("File does not exist, please select another one,");
    return;
  }
  if (fs::path(path).extension() == ".out") {
    ShowPage(Page::Output);
    output_->OpenOutputFile(path, false);
  } else {
    ShowPage(Page::Input);
    input_->OpenDataFile(path);
  }
}

void MainWindow::OpenDataFile(const std::string& path) { input_->OpenDataFile(path); }

std::vector<std::string> MainWindow::RecentFiles() const {
  std::vector<std::string> list;
  for (const QString& p : QSettings().value(kRecentFilesKey).toStringList()) list.push_back(p.toStdString());
  return list;
}

void MainWindow::RememberRecentFile(const std::string& path) {
  std::error_code ec;
  const std::string absolute = fs::absolute(path, ec).lexically_normal().string();
  QStringList list;
  for (const std::string& p : WithRecentFile(RecentFiles(), absolute)) list << QString::fromStdString(p);
  QSettings().setValue(kRecentFilesKey, list);
  FillRecentMenu();
}

void MainWindow::FillRecentMenu() {
  recentMenu_->clear();
  const std::vector<std::string> files = RecentFiles();
  for (const std::string& path : files) {
    QAction* a = recentMenu_->addAction(QString::fromStdString(path));
    connect(a, &QAction::triggered, this, [this, path] { input_->OpenDataFile(path); });
  }
  if (files.empty()) recentMenu_->addAction("(none)")->setEnabled(false);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!input_->RunInProgress() && !input_->PasteHelpShown() && DroppedDataFile(event->mimeData()))
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const auto path = DroppedDataFile(event->mimeData());
  if (!path || input_->RunInProgress()) return;
  event->acceptProposedAction();
  input_->OpenDataFile(*path);
}

// --- closing -----------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
  if (endingProgram_) {
    event->accept();
    return;
  }
  // The program ends only through the finish window.
  event->ignore();
  if (input_->RunInProgress()) {
    if (closeAfterRun_ || !dialogs_.Confirm(std::string(kCancelRunQuestion))) return;
    // The window closes once the cancelled run has ended (or now, when the
    // run ended while the question was open).
    if (input_->RunInProgress()) {
      closeAfterRun_ = true;
      input_->CancelRun();
      return;
    }
  }
  if (!input_->UnsavedDataMayGo()) return;
  finish_.show();
  finish_.raise();
}

void MainWindow::EndProgram() {
  endingProgram_ = true;
  close();
}

// --- Edit menu ---------------------------------------------------------------

namespace {

QLineEdit* FocusedLineEdit() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }
QPlainTextEdit* FocusedText() { return qobject_cast<QPlainTextEdit*>(QApplication::focusWidget()); }

}  // namespace

void MainWindow::EditCopyActionExecute() {
  if (auto* e = FocusedLineEdit()) e->copy();
  else if (auto* m = FocusedText()) m->copy();
  else if (input_->GridHasFocus()) input_->CopyGridSelection();
}

void MainWindow::EditCutActionExecute() {
  if (auto* e = FocusedLineEdit()) {
    if (!e->isReadOnly()) e->cut();
  } else if (auto* m = FocusedText()) {
    if (!m->isReadOnly()) m->cut();
  } else if (input_->GridHasFocus()) {
    input_->CopyGridSelection();
    input_->DeleteGridSelection();
  }
}

void MainWindow::EditPasteActionExecute() {
  if (auto* e = FocusedLineEdit()) {
    if (!e->isReadOnly()) e->paste();
  } else if (auto* m = FocusedText()) {
    if (!m->isReadOnly()) m->paste();
  } else if (input_->GridHasFocus()) {
    input_->PasteIntoGrid();
  }
}

void MainWindow::EditDeleteActionExecute() {
  if (auto* e = FocusedLineEdit()) {
    if (!e->isReadOnly()) e->del();
  } else if (auto* m = FocusedText()) {
    if (!m->isReadOnly()) m->textCursor().removeSelectedText();
  } else if (input_->GridHasFocus()) {
    input_->DeleteGridSelection();
  }
}

void MainWindow::EditSelectAllActionExecute() {
  QWidget* w = QApplication::focusWidget();
  if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
  else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) m->selectAll();
  else if (auto* v = qobject_cast<QAbstractItemView*>(w)) v->selectAll();
}

}  // namespace tavorix
