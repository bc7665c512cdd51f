// The Input page of the main window: titles, count and classes boxes, the
// composite option and list, the grid StringGrid1 with in-place editing and
// paste, opening an input file, clearing, and Save-Run.

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QEventLoop>
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
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <filesystem>
#include <memory>

#include "core/UDMTavorix.h"
#include "report/ParameterFile.h"
#include "report/RunPipeline.h"
#include "ui/UDialogs.h"
#include "ui/UListForm.h"
#include "ui/UMainForm.h"
#include "ui/USelectForm.h"

namespace tavorix {

namespace fs = std::filesystem;

const std::array<TCompositeItem, kCompositeItemCount> kCompositeItems{{
    {"Best fitting of all composite distributions", "1"},
    {"Composite logistic distribution", "8"},
    {"Composite Gumbel distribution", "9"},
    {"Composite Gumbel mirrored", "7"},
    {"Logistic + Gumbel", "15"},
    {"Logistic + Poisson", "18"},
    {"Logistic + Gumbel mirrored", "14"},
    {"Gumbel + Logistic", "12"},
    {"Gumbel + Poisson", "16"},
    {"Gumbel + Gumbel mirrored", "13"},
    {"Gumbel mirrored + logistic", "10"},
    {"Gumbel mirrored + Gumbel", "11"},
    {"Gumbel mirrored + Poisson", "17"},
    {"---The following use generalized distributions---", "1"},
    {"Composite generalized logistic distribution", "70"},
    {"Composite generalized Gumbel distribution", "71"},
    {"Composite generalized Gumbel mirrored", "90"},
    {"Composite generalized Poisson distribution", "72"},
    {"Gen. logistic + gen. Gumbel", "80"},
    {"Gen logistic + gen. Poisson", "81"},
    {"Gen. Gumbel + gen. logistic", "82"},
    {"Gen. Gumbel + gen. Poisson", "83"},
    {"Gen. Poisson + gen. logistic", "84"},
    {"Gen. Poisson + gen. Gumbel", "85"},
    {"Generalized Laplace distribution", "73"},
}};

namespace {

constexpr const char* kNoCompositeItem = "No composite distribution allowed, even if detected";
constexpr const char* kAllowCompositeItem = "Allow a composite distribution, if it can be detected";
constexpr const char* kPasteHelpText =
    "There may be data on the clipboard, for example a column of numbers copied from a "
    "spreadsheet or a text editor. To paste such a column into the grid, right-click twice on "
    "the first cell of the \"Data value\" column and choose \"paste\" in the menu that appears "
    "(or click the cell twice and press Ctrl+V). Every line of the copied text becomes one "
    "datum; the number of data follows the number of lines.\n\n"
    "Numbers are read with the decimal separator of this computer. Letters, blanks and "
    "thousands separators are left out.\n\n"
    "Empty cells are left out when the data are saved, so data can be removed by emptying "
    "their cells.";

constexpr const char* kRunFailedText = "The calculations stopped because of an error.";

// Swallows the user's input to every window while a run works on the data
// module in the background; painting goes on.
class TInputBlocker : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::ContextMenu:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
        return true;
      case QEvent::Close:
        event->ignore();
        return true;
      default:
        return QObject::eventFilter(watched, event);
    }
  }
};

char SystemDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode()) : '.';
}

}  // namespace

// The in-place editor of the grid. Text that holds a TAB or a line end was
// pasted: it goes to the paste handling instead of into the cell.
class TGridDelegate : public QStyledItemDelegate {
 public:
  TGridDelegate(TMainForm* form) : QStyledItemDelegate(form->StringGrid1), form_(form) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
    auto* editor = new QLineEdit(parent);
    editor->setObjectName("StringGrid1Editor");
    editor->setFrame(false);
    const int row = index.row(), column = index.column();
    connect(editor, &QLineEdit::textChanged, editor, [this, editor, row, column](const QString& text) {
      if (!text.contains('\t') && !text.contains('\r') && !text.contains('\n')) return;
      auto* self = const_cast<TGridDelegate*>(this);
      QSignalBlocker block(editor);
      emit self->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
      form_->GridEditorPaste(column, row, text);
    });
    return editor;
  }

 private:
  TMainForm* form_;
};

void TMainForm::BuildInputPage() {
  DecimalSettings.DecimalSeparator = SystemDecimalSeparator();

  Title1Label = new QLabel("Title", InputTabSheet);
  Title1Edit = new QLineEdit(InputTabSheet);
  Title1Edit->setObjectName("Title1Edit");
  Title2Label = new QLabel("Subtitle", InputTabSheet);
  Title2Edit = new QLineEdit(InputTabSheet);
  Title2Edit->setObjectName("Title2Edit");
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
  OptionComboBox->setObjectName("OptionComboBox");
  OptionComboBox->addItems({kNoCompositeItem, kAllowCompositeItem});
  DisconLabel = new QLabel("Select composite distribution", InputTabSheet);
  DisconComboBox = new QComboBox(InputTabSheet);
  DisconComboBox->setObjectName("DisconComboBox");
  for (const auto& item : kCompositeItems) DisconComboBox->addItem(item.Text);
  DisconComboBox->setMaxVisibleItems(kCompositeItemCount);

  SelectionButton = new QPushButton("Select a preferred probability distribution", InputTabSheet);
  SelectionButton->setObjectName("SelectionButton");
  SelectionLabel = new QLabel("Preferred distribution", InputTabSheet);
  SelectionEdit = new QLineEdit("Best of All distributions", InputTabSheet);
  SelectionEdit->setObjectName("SelectionEdit");
  SelectionEdit->setReadOnly(true);

  FileNameLabel = new QLabel("File name", InputTabSheet);
  FileNameEdit = new QLineEdit(InputTabSheet);
  FileNameEdit->setObjectName("FileNameEdit");
  FileNameEdit->setReadOnly(true);

  OpenInputButton = new QPushButton(" Open input ", InputTabSheet);
  ClearButton = new QPushButton("Clear data", InputTabSheet);
  SaveRunButton = new QPushButton(" Save-Run ", InputTabSheet);
  SaveRunButton->setObjectName("SaveRunButton");
  PasteHelpButton = new QPushButton("Paste help", InputTabSheet);

  GridLabel1 = new QLabel("Serial Nr.", InputTabSheet);
  GridLabel2 = new QLabel("Data value", InputTabSheet);
  StringGrid1 = new QTableWidget(0, 2, InputTabSheet);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->verticalHeader()->setDefaultSectionSize(20);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  StringGrid1->setItemDelegate(new TGridDelegate(this));
  StringGrid1->setColumnWidth(0, 62);
  StringGrid1->setColumnWidth(1, 85);
  StringGrid1->setFixedWidth(155);

  PasteHelpMemo = new QPlainTextEdit(kPasteHelpText, InputTabSheet);
  PasteHelpMemo->setObjectName("PasteHelpMemo");
  PasteHelpMemo->setReadOnly(true);
  WaitMemo = new QPlainTextEdit(InputTabSheet);
  WaitMemo->setObjectName("WaitMemo");
  WaitMemo->setReadOnly(true);
  WaitMemo->setStyleSheet("QPlainTextEdit { color: yellow; background-color: blue; }");
  WaitMemo->setMaximumHeight(110);
  WaitMemo->hide();

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
  form->addWidget(WaitMemo, row++, 0, 1, 3);
  form->setRowStretch(row, 1);
  form->setColumnStretch(2, 1);

  auto* layout = new QHBoxLayout(InputTabSheet);
  layout->addLayout(left);
  layout->addLayout(form, 1);

  connect(NrOfDataEdit, &QLineEdit::editingFinished, this, &TMainForm::NrOfDataEditExit);
  connect(NrOfClassesEdit, &QLineEdit::editingFinished, this, &TMainForm::NrOfClassesEditExit);
  connect(Title1Edit, &QLineEdit::textChanged, this, [this](const QString& t) { Page.Title1Text = t.toStdString(); });
  connect(Title2Edit, &QLineEdit::textChanged, this, [this](const QString& t) { Page.Title2Text = t.toStdString(); });
  connect(StringGrid1, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!syncingGrid_) StringGrid1SetEditText(item->column(), item->row(), item->text());
  });
  connect(OptionComboBox, &QComboBox::activated, this, &TMainForm::OptionComboBoxChange);
  connect(DisconComboBox, &QComboBox::activated, this, &TMainForm::DisconComboBoxChange);
  connect(SelectionButton, &QPushButton::clicked, this, &TMainForm::SelectionButtonClick);
  connect(OpenInputButton, &QPushButton::clicked, this, &TMainForm::InputOpenActionExecute);
  connect(ClearButton, &QPushButton::clicked, this, &TMainForm::ClearButtonClick);
  connect(SaveRunButton, &QPushButton::clicked, this, &TMainForm::InputSaveActionExecute);
  connect(PasteHelpButton, &QPushButton::clicked, this, &TMainForm::PasteHelpButtonClick);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == NrOfClassesEdit && event->type() == QEvent::MouseButtonPress) NrOfClassesEditClick();
  return TBaseForm::eventFilter(watched, event);
}

// --- page state --------------------------------------------------------------

void TMainForm::ShowPageState() {
  auto put = [](QLineEdit* edit, const std::string& text) {
    const QString q = QString::fromStdString(text);
    if (edit->text() != q) edit->setText(q);
  };
  put(Title1Edit, Page.Title1Text);
  put(Title2Edit, Page.Title2Text);
  put(NrOfDataEdit, Page.NrOfDataText);
  put(NrOfClassesEdit, Page.NrOfClassesText);
  ShowGrid();
}

void TMainForm::ShowGrid() {
  syncingGrid_ = true;
  const int rows = Page.Grid.RowCount();
  if (StringGrid1->rowCount() != rows) StringGrid1->setRowCount(rows);
  const bool fixedSerials = Page.Grid.FixedCols > 0;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < 2; ++c) {
      const QString text = QString::fromStdString(Page.Grid.Cells[r][c]);
      QTableWidgetItem* item = StringGrid1->item(r, c);
      if (!item) {
        item = new QTableWidgetItem(text);
        StringGrid1->setItem(r, c, item);
      } else if (item->text() != text) {
        item->setText(text);
      }
      if (c == 0) {
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (!fixedSerials) flags |= Qt::ItemIsEditable;
        if (item->flags() != flags) item->setFlags(flags);
        item->setBackground(fixedSerials ? palette().button() : palette().base());
      }
    }
  }
  StringGrid1->setFixedWidth(Page.Grid.Width);
  syncingGrid_ = false;
}

void TMainForm::SetCompositeOption(int item) {
  OptionComboBox->setCurrentIndex(item);
  DisconComboBox->setCurrentIndex(0);
  DisconComboBox->setVisible(item == 1);
  DisconLabel->setVisible(item == 1);
}

void TMainForm::SetInitialFolders(const std::string& folder) {
  InputDir = folder;
  OutputDir = folder;
}

void TMainForm::DeleteRankedList() {
  if (!dm_) return;
  std::error_code ec;
  if (dm_->FileName.empty() || fs::is_directory(dm_->FileName, ec)) return;
  const std::string list = WithExtension(dm_->FileName, ".Lst");
  if (fs::exists(list, ec)) fs::remove(list, ec);
}

void TMainForm::InitialiseInputPage(bool keepTitles) {
  const std::string title1 = Page.Title1Text, title2 = Page.Title2Text;
  InitInputPage(Page, *dm_);
  if (keepTitles) {
    Page.Title1Text = title1;
    Page.Title2Text = title2;
  }
  Page.NrOfClassesText = "5";
  dm_->NrOfClasses = 5;
  dm_->NrOfClassesText = "5";
  dm_->SelectionCode = "1";
  SelectionEdit->setText("Best of All distributions");
  if (selectForm_) selectForm_->RadioButton(1)->setChecked(true);
  FileNameLabel->hide();
  FileNameEdit->hide();
  SetCompositeOption(0);
  ShowPageState();
}

// --- Input page handlers -----------------------------------------------------

void TMainForm::InputTabSheetShow() {
  ShowStatus("Enter data or use \"Open\" to see examples under \"Data\" or to edit existing files. "
             "Thereafter use \"Save-Run\".");
  InputSaveAction->setEnabled(true);
  SaveRunButton->setEnabled(!pasteHelpShown_);
  // Before any data the page is set up afresh, but titles typed already stay.
  if (dm_ && !InputFileOpened && !Page.DataEntered) InitialiseInputPage(true);
  SelectionButton->show();
  SelectionLabel->show();
  SelectionEdit->show();
  StringGrid1->setColumnWidth(0, 62);
  StringGrid1->setColumnWidth(1, 85);
  CompositeOn = OptionComboBox->currentIndex() == 1;
  ResultsComplete = false;
}

void TMainForm::PasteHelpButtonClick() {
  pasteHelpShown_ = !pasteHelpShown_;
  PasteHelpMemo->setVisible(pasteHelpShown_);
  PasteHelpButton->setText(pasteHelpShown_ ? "Close help" : " Paste help ");
  for (QWidget* w : {static_cast<QWidget*>(StringGrid1), static_cast<QWidget*>(GridLabel1),
                     static_cast<QWidget*>(GridLabel2)})
    w->setVisible(!pasteHelpShown_);
  for (QPushButton* b : {ClearButton, SaveRunButton, OpenInputButton}) b->setEnabled(!pasteHelpShown_);
}

void TMainForm::NrOfDataEditExit() {
  // A message box takes the focus away and would end the editing once more.
  if (inCountExit_ || !dm_) return;
  inCountExit_ = true;
  Page.NrOfDataText = NrOfDataEdit->text().toStdString();
  tavorix::NrOfDataEditExit(Page, *dm_, DecimalSettings, dialogs_);
  ShowPageState();
  inCountExit_ = false;
}

void TMainForm::NrOfClassesEditClick() { tavorix::NrOfClassesEditClick(dialogs_); }

void TMainForm::NrOfClassesEditExit() {
  if (inClassesExit_ || !dm_) return;
  inClassesExit_ = true;
  Page.NrOfClassesText = NrOfClassesEdit->text().toStdString();
  tavorix::NrOfClassesEditExit(Page, *dm_, dialogs_);
  ShowPageState();
  inClassesExit_ = false;
}

void TMainForm::StringGrid1SetEditText(int column, int row, const QString& text) {
  if (!dm_) return;
  const std::string s = text.toStdString();
  const bool multiCell = s.find_first_of("\t\r\n") != std::string::npos;
  Page.NrOfDataText = NrOfDataEdit->text().toStdString();
  tavorix::StringGrid1SetEditText(Page, *dm_, DecimalSettings, column, row, s, dialogs_);
  ShowPageState();
  if (multiCell) ShowPage(InputTabSheet);
}

void TMainForm::GridEditorPaste(int column, int row, const QString& text) {
  StringGrid1SetEditText(column, row, text);
  StringGrid1->setFocus();
}

void TMainForm::InputOpenActionExecute() {
  if (!dm_) return;
  TFileDialogSpec spec = kInputFileDialog;
  spec.InitialDir = InputDir;
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
  const std::string previousFile = dm_->FileName;
  dm_->FileName = path;
  try {
    dm_->ReadInputFile();
  } catch (const std::exception& e) {
    // The series stays as it was; the program goes on with it.
    dm_->FileName = previousFile;
    dialogs_.ShowMessage(e.what());
    return;
  }
  InputFileOpened = true;
  FileNameEdit->setText(QString::fromStdString(path));
  FileNameLabel->show();
  FileNameEdit->show();
  FillPageFromSeries(Page, *dm_, DecimalSettings);
  dm_->NrOfClassesText = Page.NrOfClassesText;
  SetInitialFolders(fs::path(path).parent_path().string());
  SetCompositeOption(dm_->CompositeAllowed ? 1 : 0);
  CompositeOn = dm_->CompositeAllowed;
  ShowPageState();
  OutputMemo->hide();
  for (QPushButton* b : {CalcButton, ViewGraphButton, FitButton, ListButton}) b->hide();
  if (listForm_) listForm_->hide();
  ShowPage(InputTabSheet);
}

void TMainForm::ClearButtonClick() {
  if (!dm_) return;
  if (!tavorix::ClearButtonClick(Page, *dm_, dialogs_)) return;
  InputFileOpened = false;
  ResultsAvailable = false;
  InitialiseInputPage();
  ShowPage(InputTabSheet);
}

void TMainForm::OptionComboBoxChange() {
  const int item = OptionComboBox->currentIndex();
  CompositeOn = item == 1;
  SetCompositeOption(item);
  if (dm_) dm_->SelectionCode = "1";
  SelectionEdit->setText("Best of All Distributions");
  if (selectForm_) selectForm_->RadioButton(1)->setChecked(true);
}

void TMainForm::DisconComboBoxChange() {
  if (!dm_) return;
  int item = DisconComboBox->currentIndex();
  if (item < 0 || item >= kCompositeItemCount) return;
  dm_->SelectionCode = kCompositeItems[item].Code;
  if (item == kCompositeSeparatorItem) {
    dialogs_.ShowMessage("This is not a selection option");
    DisconComboBox->setCurrentIndex(0);
    dm_->SelectionCode = "1";
    item = 0;
  }
  if (item != 0) {
    DeleteRankedList();
    CompositeOn = false;
    ListButton->hide();
    SelectionEdit->setText("See \"Select composite distribution\"");
    if (selectForm_) selectForm_->RadioButton(1)->setChecked(true);
  } else {
    CompositeOn = true;
    ListButton->show();
    SelectionEdit->setText("Best of All distributions");
  }
}

void TMainForm::OpenFileFromCommandLine(const std::string& path) {
  if (!dm_) return;
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    dialogs_.ShowMessage("File does not exist, please select another one,");
    return;
  }
  if (fs::path(path).extension() == ".out") {
    ShowPage(OutputTabSheet);
    OpenOutputFile(path, true);
  } else {
    ShowPage(InputTabSheet);
    OpenInputFile(path);
  }
}

// --- Save-Run ----------------------------------------------------------------

bool TMainForm::SaveInputDialog() {
  TFileDialogSpec spec = kInputFileDialog;
  spec.InitialDir = InputDir;
  const auto path = dialogs_.SaveFileName(spec);
  if (!path) return false;
  std::error_code ec;
  if (fs::exists(*path, ec) && !dialogs_.Confirm("The file already exists, overwrite?")) return false;
  dm_->FileName = *path;
  return true;
}

void TMainForm::InputSaveActionExecute() {
  if (!dm_ || RunInProgress || !InputSaveAction->isEnabled()) return;
  // The boxes may still be in edit: take what they show.
  NrOfClassesEditExit();
  if (!SaveInputDialog()) {
    dialogs_.ShowMessage("The input data were not saved");
    return;
  }
  Page.Title1Text = Title1Edit->text().toStdString();
  Page.Title2Text = Title2Edit->text().toStdString();
  const bool collected = CollectSeriesAtSaveRun(Page, *dm_, DecimalSettings, dialogs_);
  ShowPageState();
  if (!collected) return;

  dm_->NrOfClassesText = NrOfClassesEdit->text().toStdString();
  // The file records the composite option as the page shows it.
  dm_->CompositeAllowed = OptionComboBox->currentIndex() == 1;
  try {
    dm_->WriteInputFile();
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
    return;
  }
  NrOfDataEdit->setText(QString::number(dm_->NrOfData));
  CompositeOn = OptionComboBox->currentIndex() == 1;

  // The stages run on a worker thread; the window keeps painting and the
  // progress panel shows each line as it comes, but takes no input.
  WaitMemo->clear();
  WaitMemo->show();
  PipelineOptions options;
  options.SortRankedList = DisconComboBox->currentIndex() <= 0;
  options.Progress = [this](std::string_view line) {
    const QString text = QString::fromUtf8(line.data(), static_cast<int>(line.size()));
    QMetaObject::invokeMethod(WaitMemo, [this, text] { WaitMemo->appendPlainText(text); }, Qt::QueuedConnection);
  };
  const int pauseMs = stagePauseMs_;
  options.Pause = [pauseMs] { QThread::msleep(static_cast<unsigned long>(pauseMs)); };

  TavorixRun run;
  PipelineResult result;
  std::string error;
  const bool compositeOn = CompositeOn;
  TDMTavorix& dm = *dm_;
  QThread* worker = QThread::create([&] {
    try {
      result = RunSaveRunStages(dm, run, compositeOn, options);
    } catch (const std::exception& e) {
      error = e.what();
      if (error.empty()) error = kRunFailedText;
    } catch (...) {
      error = kRunFailedText;
    }
  });
  TInputBlocker blocker;
  qApp->installEventFilter(&blocker);
  RunInProgress = true;
  QEventLoop loop;
  connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  loop.exec();
  worker->wait();
  delete worker;
  QCoreApplication::sendPostedEvents(WaitMemo, QEvent::MetaCall);
  RunInProgress = false;
  qApp->removeEventFilter(&blocker);

  WaitMemo->hide();
  // Notices of the stages (the left move of tiny data) wait for the run to end:
  // the worker cannot show a box.
  for (const std::string& notice : run.Notices) dialogs_.ShowMessage(notice);
  if (!error.empty()) {
    dialogs_.ShowMessage(error);
    ShowPage(InputTabSheet);
    return;
  }
  if (result.NoVariation) {
    dialogs_.ShowMessage(kNoVariationMessage);
    return;
  }
  LastInputPath = result.InputPath;
  // The list window computes the goodness-of-fit statistics from the run
  // when its ranked list is shown.
  if (listForm_) listForm_->SetRunResults(result.ListPath, std::make_shared<const TavorixRun>(std::move(run)));
  dialogs_.ShowMessage(result.Message);
  ShowRunResults(result.DistCode);
}

void TMainForm::ShowRunResults(int distCode) {
  CurrentCode = distCode;
  ResultsComplete = true;
  ResultsAvailable = true;
  OutputFileOpen = true;
  GraphMade = false;
  LoadResults(dm_->FileName);
  ViewGraphButton->show();
  CalcButton->show();
  GraphImage->hide();
  PictureImage->hide();
  // A goodness-of-fit panel left open shows the figure of the run before.
  FitPanel->hide();
  FitButton->setVisible(dm_->NrOfData > 500);
  ListButton->setVisible(dm_->SelectionCode == "1" && DisconComboBox->currentIndex() <= 0);
  if (listForm_) listForm_->hide();
  ShowPage(OutputTabSheet);
}

}  // namespace tavorix
