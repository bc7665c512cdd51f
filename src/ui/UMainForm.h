#pragma once
// The main window: four pages "  Intro  ", "  Input  ", "  Output  " and
// " Graphics ", the menus "&File" and "&Edit", and every handler of the
// pages under its name. Messages, questions and file dialogs go through
// TDialogs; the data module and the small windows are attached after the
// window is created, in the program's start-up order.

#include <QImage>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/SeriesLock.h"
#include "core/Session.h"
#include "core/StringToFloat.h"
#include "ui/RunController.h"
#include "ui/UBaseForm.h"
#include "ui/USelectForm.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QMenu;
class QDragEnterEvent;
class QDropEvent;
class QTabWidget;
class QUndoStack;

namespace tavorix {

class TDMTavorix;
class TDialogs;
class TFinishForm;
class TCalcForm;
class TOptForm;
class TListForm;
class TSelectForm;
class TGridModel;
class TGridView;
struct GraphView;

// Left edge and width of the main window on a screen of the given width:
// 100 pixels from the left at its designed width; on a screen of at most
// 860 pixels that is narrower than the window, 5 pixels from the left and 5
// pixels narrower than the screen; on wider screens 760 pixels wide.
struct TWindowPlacement {
  int Left = 100;
  int Width = 747;
};
inline constexpr int kMainFormWidth = 747;
TWindowPlacement MainWindowPlacement(int screenWidth, int windowWidth = kMainFormWidth);

// The items of the composite list: text and the preference text they store.
// The first item is the best of all composites; a separator (code "1", not
// a choice) stands before the first generalized composite.
struct TCompositeItem {
  std::string_view Text;
  std::string_view Code;
};
const std::vector<TCompositeItem>& CompositeItems();

// The Graphics page offers the confidence-belt toggle only where it changes
// the picture: graphs with a belt (cumulative, return periods, belt of X)
// with few enough points for the belt to be drawn.
bool BeltToggleOffered(int graphType, int points);

// The eleven lines of the goodness-of-fit panel.
QStringList GoodnessOfFitLines(double avAbsDiff);

class TMainForm : public TBaseForm, public TSelectionHost {
  Q_OBJECT

 public:
  TMainForm(TDialogs& dialogs, QWidget* parent = nullptr);

  // The finish window ends the program: the main window closes for good.
  void EndProgram();
  ~TMainForm() override;

  // The partners of the window, created after it (start-up order).
  void AttachDataModule(TDMTavorix* dm);
  void AttachWindows(TFinishForm* finish, TCalcForm* calc, TOptForm* opt, TListForm* list,
                     TSelectForm* select);

  // Places the window for a screen of the given width.
  void PlaceWindow(int screenWidth);

  // Opens an ".inp" or ".out" file given on the command line.
  void OpenFileFromCommandLine(const std::string& path);

  // Milliseconds of each pause between the stages of a run (500).
  void SetStagePauseMs(int ms) { stagePauseMs_ = ms; }

  // A Save-Run works in the background.
  bool RunInProgress() const { return runner_.Running(); }

  // Opens a dropped or recent file: ".inp" as input, ".txt" or ".csv" as a
  // column of numbers (the first numeric column of a ".csv").
  void OpenDataFile(const std::string& path);

  // The files of File ▸ Recent files, newest first.
  std::vector<std::string> RecentFiles() const;

  // The whole clipboard pasted at (column, row) of the grid.
  void PasteClipboardAt(int column, int row);

  // Undo (or redo) of one step of the grid.
  void ApplyGridStep(const TGridChange& change, bool undo);

  // TSelectionHost
  void PreferredDistributionConfirmed() override;
  void ShowSelectionText(const std::string& text) override;

  // --- components ---------------------------------------------------------
  QTabWidget* PageControl1;
  QWidget *IntroTabSheet, *InputTabSheet, *OutputTabSheet, *GraphicsTabSheet;

  QMenu *FileMenu, *EditMenu;
  QAction *InputOpenAction, *OutputOpenAction, *OpenGraphMenuItem, *InputSaveAction, *FileExitAction;
  QAction *InputSaveOnlyAction, *HelpAction;
  QMenu* RecentMenu;
  QAction *EditCopyAction, *EditCutAction, *EditPasteAction, *EditDeleteAction, *EditSelectAllAction;
  QAction *EditUndoAction, *EditRedoAction;
  // Every change of the grid is one step: typing, paste, Delete, inserted
  // and deleted rows, Clear data, a changed number of data.
  QUndoStack* UndoStack;
  // The grid's context menu.
  QAction *GridInsertRowAction, *GridDeleteRowsAction;

  // Intro page
  QGroupBox* HelpGroupBox;
  QPushButton *ContButton, *DisContButton, *ConfButton, *InterButton, *BackButton;
  QPlainTextEdit *ContMemo, *DisConMemo, *ConfMemo, *IntervalMemo, *IntroMemo;

  // Input page
  QLineEdit *Title1Edit, *Title2Edit, *NrOfDataEdit, *NrOfClassesEdit, *ThresholdEdit;
  QLabel *Title1Label, *Title2Label, *NrOfDataLabel, *NrOfClassesLabel, *ThresholdLabel;
  QComboBox *OptionComboBox, *DisconComboBox;
  QLabel* DisconLabel;
  QPushButton* SelectionButton;
  QLabel* SelectionLabel;
  QLineEdit* SelectionEdit;
  QLabel *GridLabel1, *GridLabel2;
  TGridView* StringGrid1;
  TGridModel* GridModel;
  QLabel* FileNameLabel;
  QLineEdit* FileNameEdit;
  QPushButton *ClearButton, *SaveRunButton, *OpenInputButton, *PasteHelpButton;
  QPlainTextEdit *PasteHelpMemo, *WaitMemo;
  QFrame* WaitPanel;        // the progress lines and the Cancel button of a run
  QPushButton* CancelRunButton;

  // Output page
  QPlainTextEdit* OutputMemo;
  QPushButton *SeeOutputButton, *ViewGraphButton, *CalcButton, *FitButton, *OptButton, *ListButton;
  QPushButton *ExportButton, *CopyTableButton;  // shown with the results
  QAction *ExportCsvAction, *ExportHtmlAction;  // the menu of "Export…"
  QFrame* FitPanel;
  QPlainTextEdit* FitMemo;
  QPushButton* CloseFitButton;

  // Graphics page
  QLabel *GraphImage, *PictureImage;
  QGroupBox* ChoicePanel;
  std::array<QRadioButton*, 8> GraphRadioButtons{};  // graph types 1..8
  QCheckBox* LogPeriodsBox;  // return periods (type 4) on a logarithmic axis
  QPushButton *GoButton, *MakeGraphButton, *SelectButton, *SaveGraphButton, *SaveBlWhButton, *ConfBeltButton,
      *OpenGraphButton;

  // --- window state -------------------------------------------------------
  TSession Session;                // the series and the settings of the Input page
  TDecimalSettings DecimalSettings;  // decimal separator of typed numbers
  bool ResultsAvailable = false;
  bool OnOutputPage = false;
  bool GraphMade = false;
  bool OutputFileOpen = false;
  bool ResultsComplete = false;    // a run has just finished: its AvAbsDiff is in the data module
  bool InputFileOpened = false;
  bool ColourGraph = true;
  bool BeltOn = true;
  int CurrentCode = 0;
  int GraphType = 1;
  std::string StartDirectory;
  std::string LastInputPath;
  std::string InputDir, OutputDir;  // initial folders of the input and output dialogs
  QImage GraphBitmap;              // the graph drawn last

 public slots:
  void FormCreate();
  // Intro
  void IntroTabSheetShow();
  void ContButtonClick();
  void DisContButtonClick();
  void ConfButtonClick();
  void InterButtonClick();
  void BackButtonClick();
  // Input
  void InputTabSheetShow();
  void PasteHelpButtonClick();
  void NrOfDataEditExit();
  void NrOfClassesEditClick();
  void NrOfClassesEditExit();
  void StringGrid1SetEditText(int column, int row, const QString& text);
  void InputOpenActionExecute();
  void ClearButtonClick();
  void InputSaveActionExecute();
  void InputSaveOnlyActionExecute();
  void CancelRunButtonClick();
  void GridInsertRowActionExecute();
  void GridDeleteRowsActionExecute();
  void OptionComboBoxChange();
  void DisconComboBoxChange();
  void SelectionButtonClick();
  // Output
  void OutputTabSheetShow();
  void OutputTabSheetExit();
  void FitButtonClick();
  void CloseFitButtonClick();
  void OptButtonClick();
  void CalcButtonClick();
  void ViewGraphButtonClick();
  void ListButtonClick();
  void ExportCsvActionExecute();   // the tables as CSV files into a folder
  void ExportHtmlActionExecute();  // one HTML page with tables and graphs
  void CopyTableButtonClick();     // the report's table under the cursor, tab-separated
  void OutputOpenActionExecute();
  // Graphics
  void GraphicsTabSheetShow();
  void MakeGraphButtonClick();
  void SelectButtonClick();
  void GoButtonClick();
  void SaveGraphButtonClick();
  void SaveBlWhButtonClick();
  void ConfBeltButtonClick();
  void GraphOpenActionExecute();
  // Edit menu
  void EditCopyActionExecute();
  void EditCutActionExecute();
  void EditPasteActionExecute();
  void EditDeleteActionExecute();

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormClose
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void BuildIntroPage();
  void BuildInputPage();
  void BuildOutputPage();
  void BuildGraphicsPage();
  void PageChanged(int index);
  void ShowPage(QWidget* page);
  void ShowHelp(QPlainTextEdit* memo);
  void AttachCalculator();

  // Input page helpers
  void InitialiseInputPage(bool keepTitles = false);
  void ShowSession();  // the session into the widgets
  void ShowSessionGrid();
  void ShowCompositeOption();
  void DeleteRankedList();
  void SetInitialFolders(const std::string& folder);
  void OpenInputFile(const std::string& path);
  void GridEditorPaste(int column, int row, const QString& text);
  void ForgetResults();
  void UpdateCommands();
  void RememberRecentFile(const std::string& path);
  // Runs `change` and records what it did to the grid as one undo step.
  void ChangeGrid(const QString& what, const std::function<void()>& change);
  // Before other data replace typed or pasted data that were never saved:
  // asks to save, discard or cancel; true when the data may go.
  bool UnsavedDataMayGo();
  // Adds an empty row below the last (Enter on the last row).
  void AppendRow();
  void FillRecentMenu();
  void ShowGridMenu(const QPoint& pos);

  // Save-Run helpers
  bool SaveInputDialog();
  bool SaveInput();  // checks, asks for the name and writes the ".inp"; true when written
  void SetRunning(bool running);
  void RunFinished(const TRunOutcome& outcome);
  void ShowRunResults(int distCode);

  // Output page helpers
  bool LoadResults(const std::string& outPath);
  void OpenOutputFile(const std::string& path, bool fromOutputPage);

  // Graphics page helpers
  void ResetGraphicsPage();  // hides the graph and its buttons, belt on
  void PrepareGraphicsPage();
  void DrawGraph();
  void SaveGraph();
  // The graph drawn last, scaled to the graph area at the screen's device
  // pixel ratio; an opened picture scaled to fit the area.
  void ShowGraphOnScreen();
  void ShowPictureOnScreen();
  bool GraphEvent(QObject* watched, QEvent* event);  // resizes of the graph area

  TDialogs& dialogs_;
  TDMTavorix* dm_ = nullptr;
  TFinishForm* finishForm_ = nullptr;
  TCalcForm* calcForm_ = nullptr;
  TOptForm* optForm_ = nullptr;
  TListForm* listForm_ = nullptr;
  TSelectForm* selectForm_ = nullptr;
  std::unique_ptr<GraphView> graphView_;
  int previousPage_ = 0;
  int stagePauseMs_ = 500;
  TRunController runner_;
  std::optional<SeriesLock> runLock_;  // held while a run has the series
  bool endingProgram_ = false;
  bool inCountExit_ = false;
  bool inClassesExit_ = false;
  bool pasteHelpShown_ = false;
  bool outputOpenedFromOutputPage_ = false;
  QWidget* graphArea_ = nullptr;   // the viewport the graph fills
  QImage picture_;                 // the picture opened last
  bool drawnColour_ = true, drawnBelt_ = true;  // the graph drawn last
  double shownDpr_ = 1;            // device pixel ratio of the picture on the page
  bool closeAfterRun_ = false;   // the window was closed during a run that is being cancelled
  bool undoing_ = false;         // an undo or redo of the grid is under way
};

}  // namespace tavorix
