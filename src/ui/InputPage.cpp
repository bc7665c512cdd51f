#include "ui/InputPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <utility>

#include "core/DataImport.h"
#include "core/SeriesLock.h"
#include "core/Session.h"
#include "core/TavorixError.h"
#include "core/TextFile.h"
#include "core/TextLines.h"
#include "core/UDMTavorix.h"
#include "fitting/Registry.h"
#include "report/ParameterFile.h"
#include "report/RunPipeline.h"
#include "ui/Dialogs.h"
#include "ui/InputGrid.h"
#include "ui/SelectionDialog.h"
#include "ui/WindowPlacement.h"

namespace tavorix {

namespace fs = std::filesystem;

const std::vector<TCompositeItem>& CompositeItems() {
  static const std::vector<TCompositeItem> items = [] {
    std::vector<const DistributionInfo*> rows;
    for (const DistributionInfo& d : Registry())
      if (d.CompositeItemPlace > 0) rows.push_back(&d);
    std::sort(rows.begin(), rows.end(), [](const DistributionInfo* a, const DistributionInfo* b) {
      return a->CompositeItemPlace < b->CompositeItemPlace;
    });
    std::vector<TCompositeItem> list{{"Best fitting of all composite distributions", "1"}};
    bool separated = false;
    for (const DistributionInfo* d : rows) {
      if (!separated && d->Kind == DistKind::GeneralizedComposite) {
        list.push_back({"---The following use generalized distributions---", "1"});
        separated = true;
      }
      list.push_back({d->CompositeItem, d->Preference});
    }
    return list;
  }();
  return items;
}

namespace {

constexpr const char* kNoCompositeItem = "No composite distribution allowed, even if detected";
constexpr const char* kAllowCompositeItem = "Allow a composite distribution, if it can be detected";
constexpr const char* kPasteHelpText =
    "There may be data on the clipboard, for example a column of numbers copied from a "
    "spreadsheet or a text editor. To paste such a column into the grid, click the first cell of "
    "the \"Data value\" column and press Ctrl+V, or right-click it and choose \"Paste\". Every "
    "line of the copied text becomes one datum; the number of data follows the number of lines. "
    "A file of numbers (\".txt\", \".csv\") or an input file (\".inp\") can also be dropped on "
    "the window.\n\n"
    "Numbers may be written with a decimal point or, when no number of the column has a point, with a decimal "
    "comma. Commas may also separate thousands (1,234.5); when every comma of the column stands before exactly "
    "three digits (1,234), the program asks whether they are decimal commas or thousands separators. A column "
    "that mixes decimal commas and points, or holds anything else that is not a number, is refused with the "
    "first line in doubt; a first line of words (a heading) is left out. A copied block whose first column "
    "counts 1, 2, 3 ... gives its second column.\n\n"
    "Empty cells are left out when the data are saved, so data can be removed by emptying their cells (select "
    "them and press Delete) or with \"Delete rows\" of the right-click menu. Ctrl+C copies the values of the "
    "selected rows; Enter on the last row adds a row; Ctrl+Z undoes any change of the grid.";
constexpr const char* kClassesStatusText = "Number of classes: between 2 and 20; 5 is usual (2, 5, 10 or 20 are "
                                           "recommended, 10 or 20 only with more than 50 resp. 100 data).";
// One step of the grid on the undo stack. The change is made before the
// step is pushed, so the first redo (the push) does nothing.
class GridStep : public QUndoCommand {
 public:
  using Apply = std::function<void(const TGridChange&, bool undo)>;
  GridStep(Apply apply, const QString& what, TGridChange change)
      : QUndoCommand(what), apply_(std::move(apply)), change_(std::move(change)) {}
  void undo() override { apply_(change_, true); }
  void redo() override {
    if (std::exchange(pushed_, true)) apply_(change_, false);
  }

 private:
  Apply apply_;
  TGridChange change_;
  bool pushed_ = false;
};

}  // namespace

InputPage::InputPage(TSession& session, TWindowState& state, TDMTavorix& dm, TDialogs& dialogs,
                     SelectionDialog& selection, QWidget* parent)
    : QWidget(parent), session_(session), state_(state), dm_(dm), dialogs_(dialogs), selection_(selection) {
  setObjectName("InputPage");
  ResetSession(session_);

  undoStack_ = new QUndoStack(this);
  undoAction_ = undoStack_->createUndoAction(this, "&Undo");
  undoAction_->setObjectName("UndoAction");
  undoAction_->setShortcut(QKeySequence::Undo);
  redoAction_ = undoStack_->createRedoAction(this, "&Redo");
  redoAction_->setObjectName("RedoAction");
  redoAction_->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
  // An undone or redone step leaves the data unsaved unless it returns to
  // what was saved or opened.
  connect(undoStack_, &QUndoStack::indexChanged, this, [this] {
    if (undoing_) session_.Unsaved = !undoStack_->isClean();
    undoing_ = false;
  });

  auto* titleLabel = new QLabel("Title", this);
  titleEdit_ = new QLineEdit(this);
  titleEdit_->setObjectName("TitleEdit");
  auto* subtitleLabel = new QLabel("Subtitle", this);
  subtitleEdit_ = new QLineEdit(this);
  subtitleEdit_->setObjectName("SubtitleEdit");
  subtitleEdit_->setToolTip("Details about the variable and units");
  auto* countLabel = new QLabel("Number of data", this);
  countEdit_ = new QLineEdit("15", this);
  countEdit_->setObjectName("NrOfDataEdit");
  countEdit_->setToolTip("Between 6 and 2500");
  auto* classesLabel = new QLabel("Number of classes", this);
  classesEdit_ = new QLineEdit("5", this);
  classesEdit_->setObjectName("NrOfClassesEdit");
  classesEdit_->setToolTip("Between 2 and 20");
  classesEdit_->installEventFilter(this);
  auto* thresholdLabel = new QLabel("Threshold", this);
  thresholdEdit_ = new QLineEdit("not used", this);
  thresholdEdit_->setObjectName("ThresholdEdit");
  thresholdEdit_->setToolTip("All values below threshold are not used");
  thresholdEdit_->setEnabled(false);
  for (auto* e : {countEdit_, classesEdit_, thresholdEdit_}) e->setMaximumWidth(90);

  compositeOptionBox_ = new QComboBox(this);
  compositeOptionBox_->setObjectName("CompositeOptionBox");
  compositeOptionBox_->addItems({kNoCompositeItem, kAllowCompositeItem});
  compositeListLabel_ = new QLabel("Select composite distribution", this);
  compositeListLabel_->setObjectName("CompositeListLabel");
  compositeListBox_ = new QComboBox(this);
  compositeListBox_->setObjectName("CompositeListBox");
  for (const auto& item : CompositeItems())
    compositeListBox_->addItem(QString::fromUtf8(item.Text.data(), static_cast<int>(item.Text.size())));
  compositeListBox_->setMaxVisibleItems(static_cast<int>(CompositeItems().size()));

  selectButton_ = new QPushButton("Select a preferred probability distribution", this);
  selectButton_->setObjectName("SelectDistributionButton");
  selectLabel_ = new QLabel("Preferred distribution", this);
  preferredEdit_ = new QLineEdit("Best of All distributions", this);
  preferredEdit_->setObjectName("PreferredDistributionEdit");
  preferredEdit_->setReadOnly(true);

  fileNameLabel_ = new QLabel("File name", this);
  fileNameEdit_ = new QLineEdit(this);
  fileNameEdit_->setObjectName("FileNameEdit");
  fileNameEdit_->setReadOnly(true);

  openInputButton_ = new QPushButton(" Open input ", this);
  openInputButton_->setObjectName("OpenInputButton");
  clearButton_ = new QPushButton("Clear data", this);
  clearButton_->setObjectName("ClearButton");
  saveRunButton_ = new QPushButton(" Save-Run ", this);
  saveRunButton_->setObjectName("SaveRunButton");
  pasteHelpButton_ = new QPushButton("Paste help", this);
  pasteHelpButton_->setObjectName("PasteHelpButton");

  serialLabel_ = new QLabel("Serial Nr.", this);
  serialLabel_->setObjectName("SerialColumnLabel");
  valueLabel_ = new QLabel("Data value", this);
  valueLabel_->setObjectName("ValueColumnLabel");
  gridModel_ = new TGridModel(session_, this);
  grid_ = new TGridView(this);
  grid_->setObjectName("DataGrid");
  grid_->setModel(gridModel_);
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(20);
  grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  grid_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  grid_->setItemDelegate(
      new TGridDelegate(grid_, [this](int column, int row, const QString& text) { PasteAt(column, row, text); }));
  grid_->AddRow = [this] { AppendRow(); };
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  grid_->setColumnWidth(0, 62);
  grid_->setColumnWidth(1, 85);
  grid_->setFixedWidth(155);

  pasteHelpText_ = new QPlainTextEdit(kPasteHelpText, this);
  pasteHelpText_->setObjectName("PasteHelpText");
  pasteHelpText_->setReadOnly(true);
  progressPanel_ = new QFrame(this);
  progressPanel_->setObjectName("ProgressPanel");
  progressText_ = new QPlainTextEdit(progressPanel_);
  progressText_->setObjectName("ProgressText");
  progressText_->setReadOnly(true);
  progressText_->setStyleSheet("QPlainTextEdit { color: yellow; background-color: blue; }");
  progressText_->setMaximumHeight(110);
  cancelRunButton_ = new QPushButton("Cancel", progressPanel_);
  cancelRunButton_->setObjectName("CancelRunButton");
  auto* waitLayout = new QVBoxLayout(progressPanel_);
  waitLayout->setContentsMargins(0, 0, 0, 0);
  waitLayout->addWidget(progressText_);
  waitLayout->addWidget(cancelRunButton_, 0, Qt::AlignRight);
  progressPanel_->hide();

  auto* gridLabels = new QHBoxLayout;
  gridLabels->addWidget(serialLabel_);
  gridLabels->addWidget(valueLabel_);
  auto* left = new QVBoxLayout;
  left->addLayout(gridLabels);
  left->addWidget(grid_, 1);

  auto* form = new QGridLayout;
  int row = 0;
  form->addWidget(titleLabel, row, 0);
  form->addWidget(titleEdit_, row++, 1, 1, 2);
  form->addWidget(subtitleLabel, row, 0);
  form->addWidget(subtitleEdit_, row++, 1, 1, 2);
  form->addWidget(countLabel, row, 0);
  form->addWidget(countEdit_, row++, 1);
  form->addWidget(classesLabel, row, 0);
  form->addWidget(classesEdit_, row++, 1);
  form->addWidget(thresholdLabel, row, 0);
  form->addWidget(thresholdEdit_, row++, 1);
  form->addWidget(compositeOptionBox_, row++, 0, 1, 3);
  form->addWidget(compositeListLabel_, row, 0);
  form->addWidget(compositeListBox_, row++, 1, 1, 2);
  form->addWidget(selectButton_, row++, 0, 1, 3);
  form->addWidget(selectLabel_, row, 0);
  form->addWidget(preferredEdit_, row++, 1, 1, 2);
  form->addWidget(fileNameLabel_, row, 0);
  form->addWidget(fileNameEdit_, row++, 1, 1, 2);
  auto* buttons = new QHBoxLayout;
  for (auto* b : {openInputButton_, clearButton_, saveRunButton_, pasteHelpButton_}) buttons->addWidget(b);
  form->addLayout(buttons, row++, 0, 1, 3);
  form->addWidget(pasteHelpText_, row++, 0, 1, 3);
  form->addWidget(progressPanel_, row++, 0, 1, 3);
  form->setRowStretch(row, 1);
  form->setColumnStretch(2, 1);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(form, 1);

  insertRowAction_ = new QAction("Insert row", this);
  insertRowAction_->setObjectName("InsertRowAction");
  deleteRowsAction_ = new QAction("Delete rows", this);
  deleteRowsAction_->setObjectName("DeleteRowsAction");
  connect(insertRowAction_, &QAction::triggered, this, &InputPage::InsertRowActionExecute);
  connect(deleteRowsAction_, &QAction::triggered, this, &InputPage::DeleteRowsActionExecute);
  connect(grid_, &QWidget::customContextMenuRequested, this, &InputPage::ShowGridMenu);

  connect(countEdit_, &QLineEdit::editingFinished, this, &InputPage::CountEditExit);
  connect(classesEdit_, &QLineEdit::editingFinished, this, &InputPage::ClassesEditExit);
  connect(titleEdit_, &QLineEdit::textEdited, this, [this](const QString& t) { session_.Title1 = t.toStdString(); });
  connect(subtitleEdit_, &QLineEdit::textEdited, this, [this](const QString& t) { session_.Title2 = t.toStdString(); });
  connect(gridModel_, &TGridModel::CellEdited, this, &InputPage::CellEdited);
  connect(compositeOptionBox_, &QComboBox::activated, this, &InputPage::CompositeOptionChange);
  connect(compositeListBox_, &QComboBox::activated, this, &InputPage::CompositeListChange);
  connect(selectButton_, &QPushButton::clicked, this, &InputPage::SelectDistributionButtonClick);
  connect(openInputButton_, &QPushButton::clicked, this, &InputPage::OpenInput);
  connect(clearButton_, &QPushButton::clicked, this, &InputPage::ClearButtonClick);
  connect(saveRunButton_, &QPushButton::clicked, this, &InputPage::SaveRun);
  connect(pasteHelpButton_, &QPushButton::clicked, this, &InputPage::PasteHelpButtonClick);
  connect(cancelRunButton_, &QPushButton::clicked, this, &InputPage::CancelRun);
  connect(&runner_, &TRunController::Progress, progressText_, &QPlainTextEdit::appendPlainText);
  connect(&runner_, &TRunController::Finished, this, &InputPage::RunFinished);
  connect(&selection_, &SelectionDialog::Confirmed, this, &InputPage::PreferenceConfirmed);

  pasteHelpText_->hide();
  fileNameLabel_->hide();
  fileNameEdit_->hide();
  // The page shows the session as it starts.
  Initialise(true);
}

void InputPage::ChangeGrid(const QString& what, const std::function<void()>& change) {
  const std::vector<std::string> before = session_.Cells;
  change();
  TGridChange step = GridChangeBetween(before, session_.Cells);
  if (!step.Empty()) undoStack_->push(new GridStep(
        [this](const TGridChange& c, bool undo) { ApplyGridStep(c, undo); }, what, std::move(step)));
  ShowSessionGrid();
}

void InputPage::ApplyGridStep(const TGridChange& change, bool undo) {
  undoing_ = true;
  ApplyGridChange(session_, change, undo);
  ShowSessionGrid();
  emit PageRequested(Page::Input);
}

void InputPage::AppendRow() {
  ChangeGrid("Add row", [this] { InsertRow(session_, session_.RowCount()); });
}

void InputPage::OfferCommands(bool saveRun, bool files) {
  saveRunOffered_ = saveRun;
  filesOffered_ = files;
  saveRunButton_->setEnabled(saveRun);
  for (QPushButton* b : {clearButton_, openInputButton_}) b->setEnabled(files);
}

// --- the Edit menu on the grid ------------------------------------------------

bool InputPage::GridHasFocus() const { return QApplication::focusWidget() == grid_; }

void InputPage::CopyGridSelection() { QGuiApplication::clipboard()->setText(grid_->SelectedText()); }

void InputPage::PasteIntoGrid() {
  const QModelIndex current = grid_->currentIndex();
  PasteAt(1, current.isValid() ? current.row() : 0, QGuiApplication::clipboard()->text());
}

void InputPage::DeleteGridSelection() {
  const auto [first, last] = grid_->SelectedRows();
  if (first < 0) return;
  ChangeGrid("Delete", [&, first = first, last = last] { ClearCells(session_, first, last); });
}

void InputPage::SetEditActions(QAction* paste, QAction* copy, QAction* del) {
  pasteAction_ = paste;
  copyAction_ = copy;
  deleteAction_ = del;
}

bool InputPage::eventFilter(QObject* watched, QEvent* event) {
  // The classes hint goes to the status bar; the click and the typing go on.
  if (watched == classesEdit_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress))
    ClassesEditClick();
  return QWidget::eventFilter(watched, event);
}

void InputPage::ShowSession() {
  auto put = [](QLineEdit* edit, const std::string& text) {
    const QString q = QString::fromStdString(text);
    if (edit->text() != q) edit->setText(q);
  };
  put(titleEdit_, session_.Title1);
  put(subtitleEdit_, session_.Title2);
  put(classesEdit_, session_.ClassesText);
  put(preferredEdit_, session_.PreferredText);
  ShowCompositeOption();
  ShowSessionGrid();
}

void InputPage::ShowSessionGrid() {
  gridModel_->Sync();
  countEdit_->setText(QString::number(session_.RowCount()));
  grid_->setFixedWidth(GridWidthFor(session_.RowCount()));
}

void InputPage::ShowCompositeOption() {
  const int item = session_.CompositeOption;
  if (compositeOptionBox_->currentIndex() != item) compositeOptionBox_->setCurrentIndex(item);
  if (compositeListBox_->currentIndex() != session_.CompositeItem)
    compositeListBox_->setCurrentIndex(session_.CompositeItem);
  compositeListBox_->setVisible(item == 1);
  compositeListLabel_->setVisible(item == 1);
  if (session_.PreferredCode == "1") selection_.CheckBestOfAll();
}

void InputPage::DeleteRankedList() {
  std::error_code ec;
  if (dm_.FileName.empty() || fs::is_directory(dm_.FileName, ec)) return;
  const std::string list = WithExtension(dm_.FileName, ".Lst");
  if (fs::exists(list, ec)) fs::remove(list, ec);
}

void InputPage::Initialise(bool keepTitles) {
  const std::string title1 = session_.Title1, title2 = session_.Title2;
  ResetSession(session_);
  if (keepTitles) {
    session_.Title1 = title1;
    session_.Title2 = title2;
  }
  dm_.NrOfClasses = 5;
  dm_.NrOfClassesText = "5";
  dm_.SelectionCode = "1";
  fileNameLabel_->hide();
  fileNameEdit_->hide();
  ShowSession();
}

void InputPage::Shown() {
  emit Status("Enter data or use \"Open\" to see examples under \"Data\" or to edit existing files. "
             "Thereafter use \"Save-Run\".");
  selectButton_->show();
  selectLabel_->show();
  preferredEdit_->show();
  grid_->setColumnWidth(0, 62);
  grid_->setColumnWidth(1, 85);
  state_.ResultsComplete = false;
}

void InputPage::PasteHelpButtonClick() {
  pasteHelpShown_ = !pasteHelpShown_;
  pasteHelpText_->setVisible(pasteHelpShown_);
  pasteHelpButton_->setText(pasteHelpShown_ ? "Close help" : " Paste help ");
  for (QWidget* w : {static_cast<QWidget*>(grid_), static_cast<QWidget*>(serialLabel_),
                     static_cast<QWidget*>(valueLabel_)})
    w->setVisible(!pasteHelpShown_);
  emit PasteHelpToggled();
}

void InputPage::CountEditExit() {
  // A message box takes the focus away and would end the editing once more.
  if (inCountExit_) return;
  inCountExit_ = true;
  const std::string typed = countEdit_->text().toStdString();
  ChangeGrid("Number of data", [&] { CountBoxExit(session_, typed, dialogs_); });
  inCountExit_ = false;
}

void InputPage::ClassesEditClick() { emit Status(kClassesStatusText); }

void InputPage::ClassesEditExit() {
  if (inClassesExit_) return;
  inClassesExit_ = true;
  const std::string text = ClassesBoxExit(session_, classesEdit_->text().toStdString(), dialogs_);
  classesEdit_->setText(QString::fromStdString(text));
  dm_.NrOfClassesText = text;
  dm_.NrOfClasses = ClassesOf(session_);
  inClassesExit_ = false;
}

void InputPage::CellEdited(int column, int row, const QString& text) {
  if (column != 1) return;
  const std::string s = text.toStdString();
  if (s.find_first_of("\t\r\n") != std::string::npos) {
    PasteAt(column, row, text);
    return;
  }
  ChangeGrid("Typing", [&] { TypeCell(session_, row, s, state_.DecimalSettings, dialogs_); });
}

void InputPage::PasteAt(int column, int row, const QString& text) {
  std::string note;
  bool pasted = false;
  ChangeGrid("Paste", [&] {
    pasted = PasteText(session_, row, column, text.toStdString(), state_.DecimalSettings, dialogs_, &note);
  });
  emit PageRequested(Page::Input);
  if (!pasted) return;
  // A note of this paste, or the page's own text in place of an older one.
  if (!note.empty()) emit Status(QString::fromStdString(note));
  else Shown();
  grid_->clearSelection();
  grid_->setFocus();
}

void InputPage::ShowGridMenu(const QPoint& pos) {
  QMenu menu(this);
  menu.addAction(pasteAction_);
  menu.addAction(copyAction_);
  menu.addAction(deleteAction_);
  menu.addSeparator();
  menu.addAction(insertRowAction_);
  menu.addAction(deleteRowsAction_);
  grid_->setFocus();
  menu.exec(grid_->viewport()->mapToGlobal(pos));
}

void InputPage::InsertRowActionExecute() {
  const int row = grid_->currentIndex().isValid() ? grid_->currentIndex().row() : session_.RowCount();
  ChangeGrid("Insert row", [&] { InsertRow(session_, row); });
}

void InputPage::DeleteRowsActionExecute() {
  const auto [first, last] = grid_->SelectedRows();
  if (first < 0) return;
  grid_->clearSelection();
  ChangeGrid("Delete rows", [&, first = first, last = last] {
    DeleteRows(session_, first, last - first + 1);
    if (session_.RowCount() < kMinimumNrOfData) session_.Cells.resize(kMinimumNrOfData);
  });
}

void InputPage::OpenInput() {
  if (!filesOffered_) return;
  if (!UnsavedDataMayGo()) return;
  TFileDialogSpec spec = kInputFileDialog;
  spec.InitialDir = state_.DialogFolder;
  const auto path = dialogs_.OpenFileName(spec);
  if (!path) {
    dialogs_.ShowMessage("No input file was selected");
    return;
  }
  std::error_code ec;
  if (!fs::exists(*path, ec)) {
    dialogs_.ShowMessage("File does not exist, please select another one,");
    return;
  }
  OpenInputFile(*path);
}

void InputPage::OpenInputFile(const std::string& path) {
  TDMTavorix series = dm_;
  series.FileName = path;
  try {
    series.ReadInputFile();
  } catch (const std::exception& e) {
    // The series stays as it was; the program goes on with it.
    dialogs_.ShowMessage(e.what());
    return;
  }
  dm_ = std::move(series);
  dm_.SelectionCode = "1";
  fileNameEdit_->setText(QString::fromStdString(path));
  fileNameLabel_->show();
  fileNameEdit_->show();
  LoadSeries(session_, dm_, state_.DecimalSettings);
  // Another series: the steps of the one before are gone.
  undoStack_->clear();
  dm_.NrOfClassesText = session_.ClassesText;
  state_.DialogFolder = fs::path(path).parent_path().string();
  ShowSession();
  emit SeriesOpened();
  emit FileUsed(path);
  emit PageRequested(Page::Input);
  // A count on line 8 that differs from the data read: every datum is shown, and the user told.
  if (!dm_.ReadNotes.empty()) emit Status(QString::fromStdString(dm_.ReadNotes.front()));
}

void InputPage::OpenDataFile(const std::string& path) {
  if (RunInProgress()) return;
  std::string ext = fs::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    dialogs_.ShowMessage("File does not exist, please select another one,");
    return;
  }
  if (!UnsavedDataMayGo()) return;
  if (ext == ".inp") {
    OpenInputFile(path);
    return;
  }
  std::string text;
  try {
    text = ReadTextFile(path);
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
    return;
  }
  if (ext == ".csv") text = FirstNumericColumn(text);
  TSession next = session_;
  next.Cells.clear();
  std::string note;
  if (!PasteText(next, 0, 1, text, state_.DecimalSettings, dialogs_, &note)) return;
  // Save-Run proposes the column's name as an input file.
  next.InputPath = WithExtension(path, ".inp");
  ChangeGrid("Open", [&] { session_ = std::move(next); });
  ShowSession();
  emit FileUsed(path);
  emit PageRequested(Page::Input);
  if (!note.empty()) emit Status(QString::fromStdString(note));
}

void InputPage::ClearButtonClick() {
  if (!dialogs_.Confirm(std::string(kClearQuestion))) return;
  emit DataCleared();
  ChangeGrid("Clear data", [this] { Initialise(false); });
  emit PageRequested(Page::Input);
}

void InputPage::CompositeOptionChange() {
  SetCompositeOption(session_, compositeOptionBox_->currentIndex());
  session_.PreferredText = "Best of All Distributions";
  dm_.SelectionCode = session_.PreferredCode;
  ShowSession();
}

void InputPage::CompositeListChange() {
  const int item = compositeListBox_->currentIndex();
  if (item < 0 || item >= static_cast<int>(CompositeItems().size())) return;
  if (!ChooseCompositeItem(session_, item, CompositeItems()[item].Code)) {
    dialogs_.ShowMessage("This is not a selection option");
  } else if (item != 0) {
    DeleteRankedList();
    emit RankedListOffered(false);
  } else {
    emit RankedListOffered(true);
  }
  dm_.SelectionCode = session_.PreferredCode;
  ShowSession();
}

bool InputPage::SaveInputDialog() {
  TFileDialogSpec spec = kInputFileDialog;
  spec.InitialDir = state_.DialogFolder;
  // A series opened or saved before is offered under its own name.
  if (!session_.InputPath.empty()) {
    spec.FileName = session_.InputPath;
    spec.InitialDir = fs::path(session_.InputPath).parent_path().string();
  }
  const auto chosen = dialogs_.SaveFileName(spec);
  if (!chosen) return false;
  const std::string path = InputPathFor(*chosen);
  std::error_code ec;
  if (fs::exists(path, ec) && !dialogs_.Confirm("The file already exists, overwrite?")) return false;
  dm_.FileName = path;
  return true;
}

bool InputPage::SaveInput() {
  // The boxes may still be in edit: take what they show.
  ClassesEditExit();
  session_.Title1 = titleEdit_->text().toStdString();
  session_.Title2 = subtitleEdit_->text().toStdString();
  // Every check comes before the file is named and written.
  TDMTavorix series = dm_;
  TSession checked = session_;
  if (!CollectSeries(checked, series, state_.DecimalSettings, dialogs_)) return false;
  const std::string previousFile = dm_.FileName;
  if (!SaveInputDialog()) {
    dm_.FileName = previousFile;
    dialogs_.ShowMessage("The input data were not saved");
    return false;
  }
  series.FileName = dm_.FileName;
  try {
    series.WriteInputFile();
  } catch (const std::exception& e) {
    dm_.FileName = previousFile;
    // The message says why on its second line (a full disk, a folder that cannot be written).
    dialogs_.ShowMessage(e.what());
    return false;
  }
  dm_ = std::move(series);
  // The empty rows go from the grid: a step that can be undone.
  ChangeGrid("Save", [&] { session_ = std::move(checked); });
  session_.InputPath = dm_.FileName;
  session_.Unsaved = false;
  undoStack_->setClean();
  fileNameEdit_->setText(QString::fromStdString(dm_.FileName));
  fileNameLabel_->show();
  fileNameEdit_->show();
  state_.DialogFolder = fs::path(dm_.FileName).parent_path().string();
  emit FileUsed(dm_.FileName);
  return true;
}

void InputPage::SaveInputOnly() {
  if (RunInProgress() || !saveRunOffered_) return;
  if (SaveInput()) emit Status(QString::fromStdString("The input is saved in " + dm_.FileName));
}

void InputPage::SaveRun() {
  if (RunInProgress() || !saveRunOffered_) return;
  if (!SaveInput()) return;
  // One run per series: another run of it (the command line) is not joined.
  try {
    runLock_ = SeriesLock::Acquire(dm_.FileName, false);
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
    return;
  }
  if (!runLock_) {
    dialogs_.ShowMessage(SeriesBusyText(dm_.FileName) + "; run it again when that run has finished");
    return;
  }

  progressText_->clear();
  TRunRequest request;
  request.Series = dm_;
  request.CompositeOn = CompositeOnForRun(session_);
  request.SortRankedList = SortRankedListAfterRun(session_);
  request.PauseMs = stagePauseMs_;
  runner_.Start(std::move(request));
  SetRunning(true);
}

void InputPage::CancelRun() {
  runner_.Cancel();
  cancelRunButton_->setEnabled(false);
}

// While a run works the window takes no input but the Cancel button; it
// keeps painting and shows the progress lines as they come.
void InputPage::SetRunning(bool running) {
  progressPanel_->setVisible(running);
  cancelRunButton_->setEnabled(running);
  for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w != progressPanel_) w->setEnabled(!running);
  undoAction_->setEnabled(!running && undoStack_->canUndo());
  redoAction_->setEnabled(!running && undoStack_->canRedo());
  // The threshold is not used: its box stays disabled, whatever the run.
  thresholdEdit_->setEnabled(false);
  thresholdEdit_->setText("not used");
  if (running) cancelRunButton_->setFocus();
  emit RunningChanged(running);
}

void InputPage::RunFinished(const TRunOutcome& outcome) {
  SetRunning(false);
  runLock_.reset();
  // Notices of the stages (the left move of tiny data) wait for the run to end.
  for (const std::string& notice : outcome.Notices) dialogs_.ShowMessage(notice);
  if (outcome.Cancelled) {
    emit Status("The run was cancelled; no results were written.");
    emit PageRequested(Page::Input);
    return;
  }
  if (!outcome.Error.empty()) {
    dialogs_.ShowMessage(outcome.Error);
    emit PageRequested(Page::Input);
    return;
  }
  const PipelineResult& result = outcome.Result;
  if (result.NoVariation) {
    dialogs_.ShowMessage(kNoVariationMessage);
    return;
  }
  dm_ = outcome.Series;
  dialogs_.ShowMessage(result.Message);
  emit RunSucceeded(outcome);
}

void InputPage::SelectDistributionButtonClick() { ShowInFront(&selection_); }

void InputPage::PreferenceConfirmed(const std::string& code, const std::string& text) {
  dm_.SelectionCode = code;
  // A preferred distribution: the ranked list of an earlier run no longer applies.
  if (code != "1") {
    emit RankedListOffered(false);
    DeleteRankedList();
  }
  const bool compositesSwitchedOff = ChoosePreferred(session_, code, text);
  ShowSession();
  if (compositesSwitchedOff)
    emit Status("Composite distributions are switched off: the preferred distribution is fitted alone.");
}

bool InputPage::UnsavedDataMayGo() {
  if (!AskBeforeClosing(session_)) return true;
  switch (dialogs_.AskSave(std::string(kUnsavedQuestion))) {
    case TSaveAnswer::Save: return SaveInput();
    case TSaveAnswer::Discard: return true;
    case TSaveAnswer::Cancel: break;
  }
  return false;
}

}  // namespace tavorix
