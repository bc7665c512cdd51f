#include "ui/UMainForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QFileInfo>
#include <QLabel>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>
#include <filesystem>
#include <optional>

#include "ui/CalculatorWindow.h"
#include "core/UDMTavorix.h"
#include "ui/GraphicsPage.h"
#include "ui/IntroPage.h"
#include "ui/OutputPage.h"
#include "ui/InputGrid.h"
#include "ui/UDialogs.h"
#include "ui/FinishDialog.h"
#include "ui/SelectionDialog.h"
#include "ui/WindowPlacement.h"

namespace tavorix {

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

TMainForm::TMainForm(TDMTavorix& dm, TDialogs& dialogs, const SmallWindows& windows, QWidget* parent)
    : TBaseForm(parent),
      dialogs_(dialogs),
      dm_(&dm),
      finishForm_(&windows.Finish),
      selectForm_(&windows.Selection) {
  setObjectName("MainForm");
  setWindowTitle("Tavorix: a cumulative frequency analysis with emphasis on composite probability distributions");

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("Pages");
  intro_ = new IntroPage;
  InputTabSheet = new QWidget;
  PageControl1->addTab(intro_, "  Intro  ");
  PageControl1->addTab(InputTabSheet, "  Input  ");
  output_ = new OutputPage(state_, *dm_, dialogs_, windows.Calculator, windows.Optimization, windows.RankedList);
  PageControl1->addTab(output_, "  Output  ");
  graphics_ = new GraphicsPage(state_, *dm_, dialogs_);
  PageControl1->addTab(graphics_, " Graphics ");
  setCentralWidget(PageControl1);

  BuildMenus();
  BuildInputPage();

  connect(PageControl1, &QTabWidget::currentChanged, this, &TMainForm::PageChanged);
  connect(intro_, &IntroPage::Status, this, &TMainForm::ShowStatus);
  connect(graphics_, &GraphicsPage::Status, this, &TMainForm::ShowStatus);
  connect(graphics_, &GraphicsPage::PageRequested, this, [this](Page page) { ShowPage(page); });
  connect(graphics_, &GraphicsPage::OpenResultsRequested, this, &TMainForm::OutputOpenActionExecute);
  connect(graphics_, &GraphicsPage::PictureOpened, output_, &OutputPage::PictureOpened);
  connect(output_, &OutputPage::Status, this, &TMainForm::ShowStatus);
  connect(output_, &OutputPage::PageRequested, this, [this](Page page) { ShowPage(page); });
  connect(output_, &OutputPage::ResultsFileOpened, graphics_, &GraphicsPage::ResultsOpened);
  connect(output_, &OutputPage::GraphsRequested, this, [this] {
    graphics_->OfferChoices();
    ShowPage(Page::Graphics);
  });
  setAcceptDrops(true);
  resize(kMainFormWidth, 580);
  FormCreate();
  connect(selectForm_, &SelectionDialog::Confirmed, this, &TMainForm::PreferenceConfirmed);
  // The page shows the session as it starts.
  InitialiseInputPage(true);
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildMenus() {
  FileMenu = menuBar()->addMenu("&File");
  InputOpenAction = FileMenu->addAction("Open input");
  InputOpenAction->setObjectName("OpenInputAction");
  InputOpenAction->setShortcut(QKeySequence::Open);
  RecentMenu = FileMenu->addMenu("Recent files");
  RecentMenu->setObjectName("RecentMenu");
  OutputOpenAction = FileMenu->addAction("Open output");
  OutputOpenAction->setObjectName("OpenOutputAction");
  OpenGraphMenuItem = FileMenu->addAction("Open &Graph");  // has no action
  OpenGraphMenuItem->setObjectName("OpenGraphAction");
  InputSaveAction = FileMenu->addAction("Save input");  // Save-Run
  InputSaveAction->setObjectName("SaveRunAction");
  InputSaveAction->setShortcut(QKeySequence("Ctrl+R"));
  InputSaveOnlyAction = FileMenu->addAction("Save input without run");
  InputSaveOnlyAction->setObjectName("SaveInputAction");
  InputSaveOnlyAction->setShortcut(QKeySequence("Ctrl+S"));
  FileMenu->addSeparator();
  FileExitAction = FileMenu->addAction("Program E&xit");
  FileExitAction->setObjectName("ExitAction");
  FileExitAction->setShortcut(QKeySequence("Ctrl+Q"));
  FillRecentMenu();

  EditMenu = menuBar()->addMenu("&Edit");
  UndoStack = new QUndoStack(this);
  EditUndoAction = UndoStack->createUndoAction(this, "&Undo");
  EditUndoAction->setObjectName("UndoAction");
  EditUndoAction->setShortcut(QKeySequence::Undo);
  EditRedoAction = UndoStack->createRedoAction(this, "&Redo");
  EditRedoAction->setObjectName("RedoAction");
  EditRedoAction->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
  EditMenu->addAction(EditUndoAction);
  EditMenu->addAction(EditRedoAction);
  EditMenu->addSeparator();
  // An undone or redone step leaves the data unsaved unless it returns to
  // what was saved or opened.
  connect(UndoStack, &QUndoStack::indexChanged, this, [this] {
    if (undoing_) session_.Unsaved = !UndoStack->isClean();
    undoing_ = false;
  });
  EditCopyAction = EditMenu->addAction("&Copy");
  EditCopyAction->setObjectName("CopyAction");
  EditCopyAction->setShortcut(QKeySequence("Ctrl+C"));
  EditCutAction = EditMenu->addAction("Cu&t");
  EditCutAction->setObjectName("CutAction");
  EditCutAction->setShortcut(QKeySequence("Ctrl+X"));
  EditPasteAction = EditMenu->addAction("&Paste");
  EditPasteAction->setObjectName("PasteAction");
  EditPasteAction->setShortcut(QKeySequence("Ctrl+V"));
  EditDeleteAction = EditMenu->addAction("&Delete");
  EditDeleteAction->setObjectName("DeleteAction");
  EditDeleteAction->setShortcut(QKeySequence(Qt::Key_Delete));
  EditSelectAllAction = EditMenu->addAction("Select &all");
  EditSelectAllAction->setObjectName("SelectAllAction");
  EditSelectAllAction->setShortcut(QKeySequence::SelectAll);

  HelpAction = menuBar()->addAction("&Help");
  HelpAction->setObjectName("HelpAction");
  HelpAction->setShortcut(QKeySequence::HelpContents);
  connect(HelpAction, &QAction::triggered, this, [this] {
    ShowPage(Page::Intro);
    intro_->ShowIntroduction();
  });

  connect(InputOpenAction, &QAction::triggered, this, &TMainForm::InputOpenActionExecute);
  connect(OutputOpenAction, &QAction::triggered, this, &TMainForm::OutputOpenActionExecute);
  connect(InputSaveAction, &QAction::triggered, this, &TMainForm::InputSaveActionExecute);
  connect(InputSaveOnlyAction, &QAction::triggered, this, &TMainForm::InputSaveOnlyActionExecute);
  connect(FileExitAction, &QAction::triggered, this, &QWidget::close);
  connect(EditCopyAction, &QAction::triggered, this, &TMainForm::EditCopyActionExecute);
  connect(EditCutAction, &QAction::triggered, this, &TMainForm::EditCutActionExecute);
  connect(EditPasteAction, &QAction::triggered, this, &TMainForm::EditPasteActionExecute);
  connect(EditDeleteAction, &QAction::triggered, this, &TMainForm::EditDeleteActionExecute);
  connect(EditSelectAllAction, &QAction::triggered, this, [] {
    QWidget* w = QApplication::focusWidget();
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
    else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) m->selectAll();
    else if (auto* v = qobject_cast<QAbstractItemView*>(w)) v->selectAll();
  });
}

void TMainForm::FormCreate() {
  PageControl1->setCurrentWidget(intro_);
  previousPage_ = PageControl1->currentIndex();
  std::error_code ec;
  state_.StartDirectory = std::filesystem::current_path(ec).string();
  state_.DialogFolder = state_.StartDirectory;
  Title1Edit->clear();
  Title2Edit->clear();
  PasteHelpMemo->hide();
  PasteHelpButton->setText("Paste help");
  pasteHelpShown_ = false;
  state_.ResultsAvailable = state_.GraphMade = state_.OutputFileOpen = state_.ResultsComplete = false;
  FileNameLabel->hide();
  FileNameEdit->hide();
  StringGrid1->show();
  // The graph scaling works on a plot of 500 x 300 pixels (its default).
  if (QScreen* screen = QGuiApplication::primaryScreen()) PlaceWindow(screen->availableGeometry().width());
  IntroPageShow();
}

void TMainForm::PlaceWindow(int screenWidth) {
  const TWindowPlacement p = MainWindowPlacement(screenWidth);
  setGeometry(p.Left, geometry().y() > 0 ? geometry().y() : 30, p.Width, height());
}

void TMainForm::PageChanged(int index) {
  QWidget* previous = PageControl1->widget(previousPage_);
  previousPage_ = index;
  if (previous == output_) output_->Left();
  QWidget* page = PageControl1->widget(index);
  if (page == intro_) IntroPageShow();
  else if (page == InputTabSheet) InputTabSheetShow();
  else if (page == output_) OutputPageShow();
  else if (page == graphics_) GraphicsPageShow();
}

void TMainForm::ShowPage(QWidget* page) { PageControl1->setCurrentWidget(page); }

void TMainForm::ShowPage(Page page) { PageControl1->setCurrentIndex(static_cast<int>(page)); }

Page TMainForm::CurrentPage() const { return static_cast<Page>(PageControl1->currentIndex()); }

void TMainForm::OutputPageShow() {
  output_->Shown();
  UpdateCommands();
  graphics_->Prepare();
}

void TMainForm::OutputOpenActionExecute() {
  // Opened from the Graphics page the file goes to the graphs, from any
  // other page to the Output page.
  output_->OpenOutput(CurrentPage() == Page::Graphics);
}

void TMainForm::GraphicsPageShow() {
  graphics_->Shown();
  UpdateCommands();
}

void TMainForm::IntroPageShow() {
  intro_->Shown();
  UpdateCommands();
}

// --- closing -----------------------------------------------------------------

void TMainForm::closeEvent(QCloseEvent* event) {
  if (endingProgram_) {
    event->accept();
    return;
  }
  // The program ends only through the finish window.
  event->ignore();
  if (RunInProgress()) {
    if (closeAfterRun_ || !dialogs_.Confirm(std::string(kCancelRunQuestion))) return;
    // The window closes once the cancelled run has ended (or now, when the
    // run ended while the question was open).
    if (RunInProgress()) {
      closeAfterRun_ = true;
      CancelRunButtonClick();
      return;
    }
  }
  if (!UnsavedDataMayGo()) return;
  if (finishForm_) {
    finishForm_->show();
    finishForm_->raise();
  }
}

bool TMainForm::UnsavedDataMayGo() {
  if (!AskBeforeClosing(session_)) return true;
  switch (dialogs_.AskSave(std::string(kUnsavedQuestion))) {
    case TSaveAnswer::Save: return dm_ && SaveInput();
    case TSaveAnswer::Discard: return true;
    case TSaveAnswer::Cancel: break;
  }
  return false;
}

void TMainForm::EndProgram() {
  endingProgram_ = true;
  close();
}

// --- dropped files -------------------------------------------------------------

namespace {

std::optional<std::string> DroppedDataFile(const QMimeData* mime) {
  if (!mime || !mime->hasUrls() || mime->urls().size() != 1 || !mime->urls().front().isLocalFile())
    return std::nullopt;
  const QString path = mime->urls().front().toLocalFile();
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != "txt" && suffix != "csv" && suffix != "inp") return std::nullopt;
  return path.toStdString();
}

}  // namespace

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (!RunInProgress() && !pasteHelpShown_ && DroppedDataFile(event->mimeData())) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  const auto path = DroppedDataFile(event->mimeData());
  if (!path || RunInProgress()) return;
  event->acceptProposedAction();
  OpenDataFile(*path);
}

// --- selection window --------------------------------------------------------

void TMainForm::SelectionButtonClick() {
  if (!selectForm_) return;
  ShowInFront(selectForm_);
}

void TMainForm::PreferenceConfirmed(const std::string& code, const std::string& text) {
  if (dm_) dm_->SelectionCode = code;
  // A preferred distribution: the ranked list of an earlier run no longer applies.
  if (code != "1") {
    output_->OfferRankedList(false);
    DeleteRankedList();
  }
  const bool compositesSwitchedOff = ChoosePreferred(session_, code, text);
  ShowSession();
  if (compositesSwitchedOff)
    ShowStatus("Composite distributions are switched off: the preferred distribution is fitted alone.");
}

// --- Edit menu ---------------------------------------------------------------
// The actions work on the focused widget, and change only what can be edited.

namespace {

QLineEdit* FocusedLineEdit() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }
QPlainTextEdit* FocusedMemo() { return qobject_cast<QPlainTextEdit*>(QApplication::focusWidget()); }

}  // namespace

void TMainForm::EditCopyActionExecute() {
  if (auto* e = FocusedLineEdit()) e->copy();
  else if (auto* m = FocusedMemo()) m->copy();
  else if (QApplication::focusWidget() == StringGrid1) QGuiApplication::clipboard()->setText(StringGrid1->SelectedText());
}

void TMainForm::EditCutActionExecute() {
  if (auto* e = FocusedLineEdit()) {
    if (!e->isReadOnly()) e->cut();
  } else if (auto* m = FocusedMemo()) {
    if (!m->isReadOnly()) m->cut();
  } else if (QApplication::focusWidget() == StringGrid1) {
    EditCopyActionExecute();
    EditDeleteActionExecute();
  }
}

void TMainForm::EditPasteActionExecute() {
  if (auto* e = FocusedLineEdit()) {
    if (!e->isReadOnly()) e->paste();
  } else if (auto* m = FocusedMemo()) {
    if (!m->isReadOnly()) m->paste();
  } else if (QApplication::focusWidget() == StringGrid1) {
    const QModelIndex current = StringGrid1->currentIndex();
    PasteClipboardAt(1, current.isValid() ? current.row() : 0);
  }
}

void TMainForm::EditDeleteActionExecute() {
  if (auto* e = FocusedLineEdit()) {
    if (!e->isReadOnly()) e->del();
  } else if (auto* m = FocusedMemo()) {
    if (!m->isReadOnly()) m->textCursor().removeSelectedText();
  } else if (QApplication::focusWidget() == StringGrid1) {
    const auto [first, last] = StringGrid1->SelectedRows();
    if (first < 0) return;
    ChangeGrid("Delete", [&, first = first, last = last] { ClearCells(session_, first, last); });
  }
}

}  // namespace tavorix
