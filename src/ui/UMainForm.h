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
#include "ui/Page.h"
#include "ui/RunController.h"
#include "ui/UBaseForm.h"

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
class FinishDialog;
class CalculatorWindow;
class OptimizationHelp;
class RankedListWindow;
class SelectionDialog;
class TGridModel;
class TGridView;
class IntroPage;
class GraphicsPage;
class OutputPage;
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

// The windows the main window opens, created before it.
struct SmallWindows {
  FinishDialog& Finish;
  CalculatorWindow& Calculator;
  OptimizationHelp& Optimization;
  RankedListWindow& RankedList;
  SelectionDialog& Selection;
};

class TMainForm : public TBaseForm {
  Q_OBJECT

 public:
  // dm: the data module (the series saved last and the current file name).
  TMainForm(TDMTavorix& dm, TDialogs& dialogs, const SmallWindows& windows, QWidget* parent = nullptr);

  // The finish window ends the program: the main window closes for good.
  void EndProgram();
  ~TMainForm() override;

  // Brings a page to the front, as a click on its tab does.
  void ShowPage(Page page);
  Page CurrentPage() const;

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

  // "Confirm" of the selection window: the preferred distribution of the next run.
  void PreferenceConfirmed(const std::string& code, const std::string& text);

  // --- components ---------------------------------------------------------
  QTabWidget* PageControl1;
  QWidget* InputTabSheet;

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


  // The session model: the series and the settings of the Input page, and
  // the state of the window beyond them.
  TSession& Session() { return session_; }
  TWindowState& State() { return state_; }


 public slots:
  void FormCreate();
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
  void OutputPageShow();
  void OutputOpenActionExecute();
  void GraphicsPageShow();
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
  void BuildInputPage();
  void BuildGraphicsPage();
  void PageChanged(int index);
  void ShowPage(QWidget* page);
  void IntroPageShow();

  // Input page helpers
  void InitialiseInputPage(bool keepTitles = false);
  void ShowSession();  // the session into the widgets
  void ShowSessionGrid();
  void ShowCompositeOption();
  void DeleteRankedList();
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



  TDialogs& dialogs_;
  IntroPage* intro_;
  GraphicsPage* graphics_;
  OutputPage* output_;
  TSession session_;
  TWindowState state_;
  TDMTavorix* dm_;
  FinishDialog* finishForm_;
  SelectionDialog* selectForm_;
  int previousPage_ = 0;
  int stagePauseMs_ = 500;
  TRunController runner_;
  std::optional<SeriesLock> runLock_;  // held while a run has the series
  bool endingProgram_ = false;
  bool inCountExit_ = false;
  bool inClassesExit_ = false;
  bool pasteHelpShown_ = false;
  bool outputOpenedFromOutputPage_ = false;
  bool closeAfterRun_ = false;   // the window was closed during a run that is being cancelled
  bool undoing_ = false;         // an undo or redo of the grid is under way
};

}  // namespace tavorix
