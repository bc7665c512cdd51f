// The Input page of the main window: titles, count and classes boxes, the
// composite option and list, the grid StringGrid1 with in-place editing and
// paste, opening an input file, clearing, and Save-Run.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <utility>

#include "ui/CalculatorWindow.h"
#include "core/SeriesLock.h"
#include "core/TextFile.h"
#include "core/DataImport.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "core/UDMTavorix.h"
#include "fitting/Registry.h"
#include "report/ParameterFile.h"
#include "report/RunPipeline.h"
#include "ui/GraphicsPage.h"
#include "ui/OutputPage.h"
#include "ui/InputGrid.h"
#include "ui/UDialogs.h"
#include "ui/RankedListWindow.h"
#include "ui/UMainForm.h"
#include "ui/SelectionDialog.h"

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
constexpr const char* kRecentFilesKey = "RecentFiles";

char SystemDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode()) : '.';
}

// One step of the grid on the undo stack. The change is made before the
// step is pushed, so the first redo (the push) does nothing.
class GridStep : public QUndoCommand {
 public:
  GridStep(TMainForm* form, const QString& what, TGridChange change)
      : QUndoCommand(what), form_(form), change_(std::move(change)) {}
  void undo() override { form_->ApplyGridStep(change_, true); }
  void redo() override {
    if (std::exchange(pushed_, true)) form_->ApplyGridStep(change_, false);
  }

 private:
  TMainForm* form_;
  TGridChange change_;
  bool pushed_ = false;
};

}  // namespace

void TMainForm::ChangeGrid(const QString& what, const std::function<void()>& change) {
  const std::vector<std::string> before = session_.Cells;
  change();
  TGridChange step = GridChangeBetween(before, session_.Cells);
  if (!step.Empty()) UndoStack->push(new GridStep(this, what, std::move(step)));
  ShowSessionGrid();
}

void TMainForm::ApplyGridStep(const TGridChange& change, bool undo) {
  undoing_ = true;
  ApplyGridChange(session_, change, undo);
  ShowSessionGrid();
  ShowPage(InputTabSheet);
}

void TMainForm::AppendRow() {
  ChangeGrid("Add row", [this] { InsertRow(session_, session_.RowCount()); });
}

void TMainForm::BuildInputPage() {
  state_.DecimalSettings.DecimalSeparator = SystemDecimalSeparator();
  ResetSession(session_);

  Title1Label = new QLabel("Title", InputTabSheet);
  Title1Edit = new QLineEdit(InputTabSheet);
  Title1Edit->setObjectName("TitleEdit");
  Title2Label = new QLabel("Subtitle", InputTabSheet);
  Title2Edit = new QLineEdit(InputTabSheet);
  Title2Edit->setObjectName("SubtitleEdit");
  Title2Edit->setToolTip("Details about the variable and units");
  NrOfDataLabel = new QLabel("Number of data", InputTabSheet);
  NrOfDataEdit = new QLineEdit("15", InputTabSheet);
  NrOfDataEdit->setObjectName("NrOfDataEdit");
  NrOfDataEdit->setToolTip("Between 6 and 2500");
  NrOfClassesLabel = new QLabel("Number of classes", InputTabSheet);
  NrOfClassesEdit = new QLineEdit("5", InputTabSheet);
  NrOfClassesEdit->setObjectName("NrOfClassesEdit");
  NrOfClassesEdit->setToolTip("Between 2 and 20");
  NrOfClassesEdit->installEventFilter(this);
  ThresholdLabel = new QLabel("Threshold", InputTabSheet);
  ThresholdEdit = new QLineEdit("not used", InputTabSheet);
  ThresholdEdit->setObjectName("ThresholdEdit");
  ThresholdEdit->setToolTip("All values below threshold are not used");
  ThresholdEdit->setEnabled(false);
  for (auto* e : {NrOfDataEdit, NrOfClassesEdit, ThresholdEdit}) e->setMaximumWidth(90);

  OptionComboBox = new QComboBox(InputTabSheet);
  OptionComboBox->setObjectName("CompositeOptionBox");
  OptionComboBox->addItems({kNoCompositeItem, kAllowCompositeItem});
  DisconLabel = new QLabel("Select composite distribution", InputTabSheet);
  DisconLabel->setObjectName("CompositeListLabel");
  DisconComboBox = new QComboBox(InputTabSheet);
  DisconComboBox->setObjectName("CompositeListBox");
  for (const auto& item : CompositeItems())
    DisconComboBox->addItem(QString::fromUtf8(item.Text.data(), static_cast<int>(item.Text.size())));
  DisconComboBox->setMaxVisibleItems(static_cast<int>(CompositeItems().size()));

  SelectionButton = new QPushButton("Select a preferred probability distribution", InputTabSheet);
  SelectionButton->setObjectName("SelectDistributionButton");
  SelectionLabel = new QLabel("Preferred distribution", InputTabSheet);
  SelectionEdit = new QLineEdit("Best of All distributions", InputTabSheet);
  SelectionEdit->setObjectName("PreferredDistributionEdit");
  SelectionEdit->setReadOnly(true);

  FileNameLabel = new QLabel("File name", InputTabSheet);
  FileNameEdit = new QLineEdit(InputTabSheet);
  FileNameEdit->setObjectName("FileNameEdit");
  FileNameEdit->setReadOnly(true);

  OpenInputButton = new QPushButton(" Open input ", InputTabSheet);
  OpenInputButton->setObjectName("OpenInputButton");
  ClearButton = new QPushButton("Clear data", InputTabSheet);
  ClearButton->setObjectName("ClearButton");
  SaveRunButton = new QPushButton(" Save-Run ", InputTabSheet);
  SaveRunButton->setObjectName("SaveRunButton");
  PasteHelpButton = new QPushButton("Paste help", InputTabSheet);
  PasteHelpButton->setObjectName("PasteHelpButton");

  GridLabel1 = new QLabel("Serial Nr.", InputTabSheet);
  GridLabel1->setObjectName("SerialColumnLabel");
  GridLabel2 = new QLabel("Data value", InputTabSheet);
  GridLabel2->setObjectName("ValueColumnLabel");
  GridModel = new TGridModel(session_, this);
  StringGrid1 = new TGridView(InputTabSheet);
  StringGrid1->setObjectName("DataGrid");
  StringGrid1->setModel(GridModel);
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->verticalHeader()->setDefaultSectionSize(20);
  StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
  StringGrid1->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  StringGrid1->setItemDelegate(new TGridDelegate(
      StringGrid1, [this](int column, int row, const QString& text) { GridEditorPaste(column, row, text); }));
  StringGrid1->AddRow = [this] { AppendRow(); };
  StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
  StringGrid1->setColumnWidth(0, 62);
  StringGrid1->setColumnWidth(1, 85);
  StringGrid1->setFixedWidth(155);

  PasteHelpMemo = new QPlainTextEdit(kPasteHelpText, InputTabSheet);
  PasteHelpMemo->setObjectName("PasteHelpText");
  PasteHelpMemo->setReadOnly(true);
  WaitPanel = new QFrame(InputTabSheet);
  WaitPanel->setObjectName("ProgressPanel");
  WaitMemo = new QPlainTextEdit(WaitPanel);
  WaitMemo->setObjectName("ProgressText");
  WaitMemo->setReadOnly(true);
  WaitMemo->setStyleSheet("QPlainTextEdit { color: yellow; background-color: blue; }");
  WaitMemo->setMaximumHeight(110);
  CancelRunButton = new QPushButton("Cancel", WaitPanel);
  CancelRunButton->setObjectName("CancelRunButton");
  auto* waitLayout = new QVBoxLayout(WaitPanel);
  waitLayout->setContentsMargins(0, 0, 0, 0);
  waitLayout->addWidget(WaitMemo);
  waitLayout->addWidget(CancelRunButton, 0, Qt::AlignRight);
  WaitPanel->hide();

  auto* gridLabels = new QHBoxLayout;
  gridLabels->addWidget(GridLabel1);
  gridLabels->addWidget(GridLabel2);
  auto* left = new QVBoxLayout;
  left->addLayout(gridLabels);
  left->addWidget(StringGrid1, 1);

  auto* form = new QGridLayout;
  int row = 0;
  form->addWidget(Title1Label, row, 0);
  form->addWidget(Title1Edit, row++, 1, 1, 2);
  form->addWidget(Title2Label, row, 0);
  form->addWidget(Title2Edit, row++, 1, 1, 2);
  form->addWidget(NrOfDataLabel, row, 0);
  form->addWidget(NrOfDataEdit, row++, 1);
  form->addWidget(NrOfClassesLabel, row, 0);
  form->addWidget(NrOfClassesEdit, row++, 1);
  form->addWidget(ThresholdLabel, row, 0);
  form->addWidget(ThresholdEdit, row++, 1);
  form->addWidget(OptionComboBox, row++, 0, 1, 3);
  form->addWidget(DisconLabel, row, 0);
  form->addWidget(DisconComboBox, row++, 1, 1, 2);
  form->addWidget(SelectionButton, row++, 0, 1, 3);
  form->addWidget(SelectionLabel, row, 0);
  form->addWidget(SelectionEdit, row++, 1, 1, 2);
  form->addWidget(FileNameLabel, row, 0);
  form->addWidget(FileNameEdit, row++, 1, 1, 2);
  auto* buttons = new QHBoxLayout;
  for (auto* b : {OpenInputButton, ClearButton, SaveRunButton, PasteHelpButton}) buttons->addWidget(b);
  form->addLayout(buttons, row++, 0, 1, 3);
  form->addWidget(PasteHelpMemo, row++, 0, 1, 3);
  form->addWidget(WaitPanel, row++, 0, 1, 3);
  form->setRowStretch(row, 1);
  form->setColumnStretch(2, 1);

  auto* layout = new QHBoxLayout(InputTabSheet);
  layout->addLayout(left);
  layout->addLayout(form, 1);

  GridInsertRowAction = new QAction("Insert row", this);
  GridInsertRowAction->setObjectName("InsertRowAction");
  GridDeleteRowsAction = new QAction("Delete rows", this);
  GridDeleteRowsAction->setObjectName("DeleteRowsAction");
  connect(GridInsertRowAction, &QAction::triggered, this, &TMainForm::GridInsertRowActionExecute);
  connect(GridDeleteRowsAction, &QAction::triggered, this, &TMainForm::GridDeleteRowsActionExecute);
  connect(StringGrid1, &QWidget::customContextMenuRequested, this, &TMainForm::ShowGridMenu);

  connect(NrOfDataEdit, &QLineEdit::editingFinished, this, &TMainForm::NrOfDataEditExit);
  connect(NrOfClassesEdit, &QLineEdit::editingFinished, this, &TMainForm::NrOfClassesEditExit);
  connect(Title1Edit, &QLineEdit::textEdited, this, [this](const QString& t) { session_.Title1 = t.toStdString(); });
  connect(Title2Edit, &QLineEdit::textEdited, this, [this](const QString& t) { session_.Title2 = t.toStdString(); });
  connect(GridModel, &TGridModel::CellEdited, this, &TMainForm::StringGrid1SetEditText);
  connect(OptionComboBox, &QComboBox::activated, this, &TMainForm::OptionComboBoxChange);
  connect(DisconComboBox, &QComboBox::activated, this, &TMainForm::DisconComboBoxChange);
  connect(SelectionButton, &QPushButton::clicked, this, &TMainForm::SelectionButtonClick);
  connect(OpenInputButton, &QPushButton::clicked, this, &TMainForm::InputOpenActionExecute);
  connect(ClearButton, &QPushButton::clicked, this, &TMainForm::ClearButtonClick);
  connect(SaveRunButton, &QPushButton::clicked, this, &TMainForm::InputSaveActionExecute);
  connect(PasteHelpButton, &QPushButton::clicked, this, &TMainForm::PasteHelpButtonClick);
  connect(CancelRunButton, &QPushButton::clicked, this, &TMainForm::CancelRunButtonClick);
  connect(&runner_, &TRunController::Progress, WaitMemo, &QPlainTextEdit::appendPlainText);
  connect(&runner_, &TRunController::Finished, this, &TMainForm::RunFinished);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  // The classes hint goes to the status bar; the click and the typing go on.
  if (watched == NrOfClassesEdit && (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress))
    NrOfClassesEditClick();
  return TBaseForm::eventFilter(watched, event);
}

// --- session into the widgets ------------------------------------------------

void TMainForm::ShowSession() {
  auto put = [](QLineEdit* edit, const std::string& text) {
    const QString q = QString::fromStdString(text);
    if (edit->text() != q) edit->setText(q);
  };
  put(Title1Edit, session_.Title1);
  put(Title2Edit, session_.Title2);
  put(NrOfClassesEdit, session_.ClassesText);
  put(SelectionEdit, session_.PreferredText);
  ShowCompositeOption();
  ShowSessionGrid();
}

void TMainForm::ShowSessionGrid() {
  GridModel->Sync();
  NrOfDataEdit->setText(QString::number(session_.RowCount()));
  StringGrid1->setFixedWidth(GridWidthFor(session_.RowCount()));
}

void TMainForm::ShowCompositeOption() {
  const int item = session_.CompositeOption;
  if (OptionComboBox->currentIndex() != item) OptionComboBox->setCurrentIndex(item);
  if (DisconComboBox->currentIndex() != session_.CompositeItem) DisconComboBox->setCurrentIndex(session_.CompositeItem);
  DisconComboBox->setVisible(item == 1);
  DisconLabel->setVisible(item == 1);
  if (selectForm_ && session_.PreferredCode == "1") selectForm_->CheckBestOfAll();
}

void TMainForm::DeleteRankedList() {
  if (!dm_) return;
  std::error_code ec;
  if (dm_->FileName.empty() || fs::is_directory(dm_->FileName, ec)) return;
  const std::string list = WithExtension(dm_->FileName, ".Lst");
  if (fs::exists(list, ec)) fs::remove(list, ec);
}

void TMainForm::InitialiseInputPage(bool keepTitles) {
  const std::string title1 = session_.Title1, title2 = session_.Title2;
  ResetSession(session_);
  if (keepTitles) {
    session_.Title1 = title1;
    session_.Title2 = title2;
  }
  if (dm_) {
    dm_->NrOfClasses = 5;
    dm_->NrOfClassesText = "5";
    dm_->SelectionCode = "1";
  }
  FileNameLabel->hide();
  FileNameEdit->hide();
  ShowSession();
}

void TMainForm::UpdateCommands() {
  const bool running = RunInProgress();
  const bool onInput = PageControl1->currentWidget() == InputTabSheet;
  const bool saveRun = SaveRunOffered(onInput, pasteHelpShown_, running);
  const bool files = FileCommandsOffered(pasteHelpShown_, running);
  SaveRunButton->setEnabled(saveRun);
  for (QAction* a : {InputSaveAction, InputSaveOnlyAction}) a->setEnabled(saveRun);
  for (QAction* a : {InputOpenAction, OutputOpenAction}) a->setEnabled(files);
  RecentMenu->setEnabled(files);
  for (QPushButton* b : {ClearButton, OpenInputButton}) b->setEnabled(files);
}

// --- Input page handlers -----------------------------------------------------

void TMainForm::InputTabSheetShow() {
  ShowStatus("Enter data or use \"Open\" to see examples under \"Data\" or to edit existing files. "
             "Thereafter use \"Save-Run\".");
  SelectionButton->show();
  SelectionLabel->show();
  SelectionEdit->show();
  StringGrid1->setColumnWidth(0, 62);
  StringGrid1->setColumnWidth(1, 85);
  state_.ResultsComplete = false;
  UpdateCommands();
}

void TMainForm::PasteHelpButtonClick() {
  pasteHelpShown_ = !pasteHelpShown_;
  PasteHelpMemo->setVisible(pasteHelpShown_);
  PasteHelpButton->setText(pasteHelpShown_ ? "Close help" : " Paste help ");
  for (QWidget* w : {static_cast<QWidget*>(StringGrid1), static_cast<QWidget*>(GridLabel1),
                     static_cast<QWidget*>(GridLabel2)})
    w->setVisible(!pasteHelpShown_);
  UpdateCommands();
}

void TMainForm::NrOfDataEditExit() {
  // A message box takes the focus away and would end the editing once more.
  if (inCountExit_ || !dm_) return;
  inCountExit_ = true;
  const std::string typed = NrOfDataEdit->text().toStdString();
  ChangeGrid("Number of data", [&] { CountBoxExit(session_, typed, dialogs_); });
  inCountExit_ = false;
}

void TMainForm::NrOfClassesEditClick() { ShowStatus(kClassesStatusText); }

void TMainForm::NrOfClassesEditExit() {
  if (inClassesExit_ || !dm_) return;
  inClassesExit_ = true;
  const std::string text = ClassesBoxExit(session_, NrOfClassesEdit->text().toStdString(), dialogs_);
  NrOfClassesEdit->setText(QString::fromStdString(text));
  dm_->NrOfClassesText = text;
  dm_->NrOfClasses = ClassesOf(session_);
  inClassesExit_ = false;
}

void TMainForm::StringGrid1SetEditText(int column, int row, const QString& text) {
  if (!dm_ || column != 1) return;
  const std::string s = text.toStdString();
  if (s.find_first_of("\t\r\n") != std::string::npos) {
    GridEditorPaste(column, row, text);
    return;
  }
  ChangeGrid("Typing", [&] { TypeCell(session_, row, s, state_.DecimalSettings, dialogs_); });
}

void TMainForm::GridEditorPaste(int column, int row, const QString& text) {
  std::string note;
  bool pasted = false;
  ChangeGrid("Paste", [&] { pasted = PasteText(session_, row, column, text.toStdString(), state_.DecimalSettings, dialogs_, &note); });
  ShowPage(InputTabSheet);
  if (!pasted) return;
  // A note of this paste, or the page's own text in place of an older one.
  if (!note.empty()) ShowStatus(QString::fromStdString(note));
  else InputTabSheetShow();
  StringGrid1->clearSelection();
  StringGrid1->setFocus();
}

void TMainForm::PasteClipboardAt(int column, int row) {
  GridEditorPaste(column, row, QGuiApplication::clipboard()->text());
}

void TMainForm::ShowGridMenu(const QPoint& pos) {
  QMenu menu(this);
  menu.addAction(EditPasteAction);
  menu.addAction(EditCopyAction);
  menu.addAction(EditDeleteAction);
  menu.addSeparator();
  menu.addAction(GridInsertRowAction);
  menu.addAction(GridDeleteRowsAction);
  StringGrid1->setFocus();
  menu.exec(StringGrid1->viewport()->mapToGlobal(pos));
}

void TMainForm::GridInsertRowActionExecute() {
  const int row = StringGrid1->currentIndex().isValid() ? StringGrid1->currentIndex().row() : session_.RowCount();
  ChangeGrid("Insert row", [&] { InsertRow(session_, row); });
}

void TMainForm::GridDeleteRowsActionExecute() {
  const auto [first, last] = StringGrid1->SelectedRows();
  if (first < 0) return;
  StringGrid1->clearSelection();
  ChangeGrid("Delete rows", [&, first = first, last = last] {
    DeleteRows(session_, first, last - first + 1);
    if (session_.RowCount() < kMinimumNrOfData) session_.Cells.resize(kMinimumNrOfData);
  });
}

void TMainForm::InputOpenActionExecute() {
  if (!dm_ || !InputOpenAction->isEnabled()) return;
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

void TMainForm::OpenInputFile(const std::string& path) {
  TDMTavorix series = *dm_;
  series.FileName = path;
  try {
    series.ReadInputFile();
  } catch (const std::exception& e) {
    // The series stays as it was; the program goes on with it.
    dialogs_.ShowMessage(e.what());
    return;
  }
  *dm_ = std::move(series);
  dm_->SelectionCode = "1";
  FileNameEdit->setText(QString::fromStdString(path));
  FileNameLabel->show();
  FileNameEdit->show();
  LoadSeries(session_, *dm_, state_.DecimalSettings);
  // Another series: the steps of the one before are gone.
  UndoStack->clear();
  dm_->NrOfClassesText = session_.ClassesText;
  state_.DialogFolder = fs::path(path).parent_path().string();
  ShowSession();
  output_->SeriesOpened();
  RememberRecentFile(path);
  ShowPage(InputTabSheet);
  // A count on line 8 that differs from the data read: every datum is shown, and the user told.
  if (!dm_->ReadNotes.empty()) ShowStatus(QString::fromStdString(dm_->ReadNotes.front()));
}

void TMainForm::OpenDataFile(const std::string& path) {
  if (!dm_ || RunInProgress()) return;
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
  RememberRecentFile(path);
  ShowPage(InputTabSheet);
  if (!note.empty()) ShowStatus(QString::fromStdString(note));
}

void TMainForm::ForgetResults() {
  output_->ResultsForgotten();
  graphics_->ResultsForgotten();
}

void TMainForm::ClearButtonClick() {
  if (!dm_) return;
  if (!dialogs_.Confirm(std::string(kClearQuestion))) return;
  ForgetResults();
  ChangeGrid("Clear data", [this] { InitialiseInputPage(); });
  ShowPage(InputTabSheet);
}

void TMainForm::OptionComboBoxChange() {
  SetCompositeOption(session_, OptionComboBox->currentIndex());
  session_.PreferredText = "Best of All Distributions";
  if (dm_) dm_->SelectionCode = session_.PreferredCode;
  ShowSession();
}

void TMainForm::DisconComboBoxChange() {
  if (!dm_) return;
  const int item = DisconComboBox->currentIndex();
  if (item < 0 || item >= static_cast<int>(CompositeItems().size())) return;
  if (!ChooseCompositeItem(session_, item, CompositeItems()[item].Code)) {
    dialogs_.ShowMessage("This is not a selection option");
  } else if (item != 0) {
    DeleteRankedList();
    output_->OfferRankedList(false);
  } else {
    output_->OfferRankedList(true);
  }
  dm_->SelectionCode = session_.PreferredCode;
  ShowSession();
}

void TMainForm::OpenFileFromCommandLine(const std::string& path) {
  if (!dm_) return;
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    dialogs_.ShowMessage("File does not exist, please select another one,");
    return;
  }
  if (fs::path(path).extension() == ".out") {
    ShowPage(Page::Output);
    output_->OpenOutputFile(path, false);
  } else {
    ShowPage(InputTabSheet);
    OpenDataFile(path);
  }
}

// --- recent files --------------------------------------------------------------

std::vector<std::string> TMainForm::RecentFiles() const {
  std::vector<std::string> list;
  for (const QString& p : QSettings().value(kRecentFilesKey).toStringList()) list.push_back(p.toStdString());
  return list;
}

void TMainForm::RememberRecentFile(const std::string& path) {
  std::error_code ec;
  const std::string absolute = fs::absolute(path, ec).lexically_normal().string();
  QStringList list;
  for (const std::string& p : WithRecentFile(RecentFiles(), absolute)) list << QString::fromStdString(p);
  QSettings().setValue(kRecentFilesKey, list);
  FillRecentMenu();
}

void TMainForm::FillRecentMenu() {
  RecentMenu->clear();
  const std::vector<std::string> files = RecentFiles();
  for (const std::string& path : files) {
    QAction* a = RecentMenu->addAction(QString::fromStdString(path));
    connect(a, &QAction::triggered, this, [this, path] { OpenDataFile(path); });
  }
  if (files.empty()) RecentMenu->addAction("(none)")->setEnabled(false);
}

// --- Save-Run ----------------------------------------------------------------

bool TMainForm::SaveInputDialog() {
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
  dm_->FileName = path;
  return true;
}

bool TMainForm::SaveInput() {
  // The boxes may still be in edit: take what they show.
  NrOfClassesEditExit();
  session_.Title1 = Title1Edit->text().toStdString();
  session_.Title2 = Title2Edit->text().toStdString();
  // Every check comes before the file is named and written.
  TDMTavorix series = *dm_;
  TSession checked = session_;
  if (!CollectSeries(checked, series, state_.DecimalSettings, dialogs_)) return false;
  const std::string previousFile = dm_->FileName;
  if (!SaveInputDialog()) {
    dm_->FileName = previousFile;
    dialogs_.ShowMessage("The input data were not saved");
    return false;
  }
  series.FileName = dm_->FileName;
  try {
    series.WriteInputFile();
  } catch (const std::exception& e) {
    dm_->FileName = previousFile;
    // The message says why on its second line (a full disk, a folder that cannot be written).
    dialogs_.ShowMessage(e.what());
    return false;
  }
  *dm_ = std::move(series);
  // The empty rows go from the grid: a step that can be undone.
  ChangeGrid("Save", [&] { session_ = std::move(checked); });
  session_.InputPath = dm_->FileName;
  session_.Unsaved = false;
  UndoStack->setClean();
  FileNameEdit->setText(QString::fromStdString(dm_->FileName));
  FileNameLabel->show();
  FileNameEdit->show();
  state_.DialogFolder = fs::path(dm_->FileName).parent_path().string();
  RememberRecentFile(dm_->FileName);
  return true;
}

void TMainForm::InputSaveOnlyActionExecute() {
  if (!dm_ || RunInProgress() || !InputSaveOnlyAction->isEnabled()) return;
  if (SaveInput()) ShowStatus(QString::fromStdString("The input is saved in " + dm_->FileName));
}

void TMainForm::InputSaveActionExecute() {
  if (!dm_ || RunInProgress() || !InputSaveAction->isEnabled()) return;
  if (!SaveInput()) return;
  // One run per series: another run of it (the command line) is not joined.
  try {
    runLock_ = SeriesLock::Acquire(dm_->FileName, false);
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
    return;
  }
  if (!runLock_) {
    dialogs_.ShowMessage(SeriesBusyText(dm_->FileName) + "; run it again when that run has finished");
    return;
  }

  WaitMemo->clear();
  TRunRequest request;
  request.Series = *dm_;
  request.CompositeOn = CompositeOnForRun(session_);
  request.SortRankedList = SortRankedListAfterRun(session_);
  request.PauseMs = stagePauseMs_;
  runner_.Start(std::move(request));
  SetRunning(true);
}

void TMainForm::CancelRunButtonClick() {
  runner_.Cancel();
  CancelRunButton->setEnabled(false);
}

// While a run works the window takes no input but the Cancel button; it
// keeps painting and shows the progress lines as they come.
void TMainForm::SetRunning(bool running) {
  WaitPanel->setVisible(running);
  CancelRunButton->setEnabled(running);
  PageControl1->tabBar()->setEnabled(!running);
  menuBar()->setEnabled(!running);
  for (QWidget* w : InputTabSheet->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w != WaitPanel) w->setEnabled(!running);
  for (QAction* a : {EditCopyAction, EditCutAction, EditPasteAction, EditDeleteAction, EditSelectAllAction,
                     FileExitAction, HelpAction})
    a->setEnabled(!running);
  EditUndoAction->setEnabled(!running && UndoStack->canUndo());
  EditRedoAction->setEnabled(!running && UndoStack->canRedo());
  // The threshold is not used: its box stays disabled, whatever the run.
  ThresholdEdit->setEnabled(false);
  ThresholdEdit->setText("not used");
  if (running) CancelRunButton->setFocus();
  UpdateCommands();
}

void TMainForm::RunFinished(const TRunOutcome& outcome) {
  SetRunning(false);
  runLock_.reset();
  // The window was closed during the run: it closes once the run has ended.
  if (std::exchange(closeAfterRun_, false)) QTimer::singleShot(0, this, &QWidget::close);
  // Notices of the stages (the left move of tiny data) wait for the run to end.
  for (const std::string& notice : outcome.Notices) dialogs_.ShowMessage(notice);
  if (outcome.Cancelled) {
    ShowStatus("The run was cancelled; no results were written.");
    ShowPage(InputTabSheet);
    return;
  }
  if (!outcome.Error.empty()) {
    dialogs_.ShowMessage(outcome.Error);
    ShowPage(InputTabSheet);
    return;
  }
  const PipelineResult& result = outcome.Result;
  if (result.NoVariation) {
    dialogs_.ShowMessage(kNoVariationMessage);
    return;
  }
  *dm_ = outcome.Series;
  // The list window computes the goodness-of-fit statistics from the run
  // when its ranked list is shown.
  dialogs_.ShowMessage(result.Message);
  output_->ShowRunResults(result.DistCode, ListOfferedAfterRun(session_), result.ListPath, outcome.Run);
  graphics_->RunFinished();
  ShowPage(Page::Output);
}

}  // namespace tavorix
