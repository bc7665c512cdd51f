#pragma once
// The main window: four pages "  Intro  ", "  Input  ", "  Output  " and
// " Graphics ", the menus "&File" and "&Edit", and every handler of the
// pages under its name. Messages, questions and file dialogs go through
// TDialogs; the data module and the small windows are attached after the
// window is created, in the program's start-up order.

#include <QImage>
#include <QString>
#include <array>
#include <memory>
#include <string>

#include "core/InputPage.h"
#include "core/StringToFloat.h"
#include "ui/UBaseForm.h"
#include "ui/USelectForm.h"

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTabWidget;

namespace tavorix {

class TDMTavorix;
class TDialogs;
class TFinishForm;
class TCalcForm;
class TOptForm;
class TListForm;
class TSelectForm;
class TMessageSink;
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

// The items of the composite list: text and the preference text they store
// (item 13 is a separator, not a choice).
inline constexpr int kCompositeItemCount = 25;
inline constexpr int kCompositeSeparatorItem = 13;
struct TCompositeItem {
  const char* Text;
  const char* Code;
};
extern const std::array<TCompositeItem, kCompositeItemCount> kCompositeItems;

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

  // TSelectionHost
  void PreferredDistributionConfirmed() override;
  void ShowSelectionText(const std::string& text) override;

  // --- components ---------------------------------------------------------
  QTabWidget* PageControl1;
  QWidget *IntroTabSheet, *InputTabSheet, *OutputTabSheet, *GraphicsTabSheet;

  QMenu *FileMenu, *EditMenu;
  QAction *InputOpenAction, *OutputOpenAction, *OpenGraphMenuItem, *InputSaveAction, *FileExitAction;
  QAction *EditCopyAction, *EditCutAction, *EditPasteAction, *EditDeleteAction;

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
  QTableWidget* StringGrid1;
  QLabel* FileNameLabel;
  QLineEdit* FileNameEdit;
  QPushButton *ClearButton, *SaveRunButton, *OpenInputButton, *PasteHelpButton;
  QPlainTextEdit *PasteHelpMemo, *WaitMemo;

  // Output page
  QPlainTextEdit* OutputMemo;
  QPushButton *SeeOutputButton, *ViewGraphButton, *CalcButton, *FitButton, *OptButton, *ListButton;
  QFrame* FitPanel;
  QPlainTextEdit* FitMemo;
  QPushButton* CloseFitButton;

  // Graphics page
  QLabel *GraphImage, *PictureImage;
  QGroupBox* ChoicePanel;
  std::array<QRadioButton*, 6> GraphRadioButtons{};  // graph types 1..6
  QPushButton *GoButton, *MakeGraphButton, *SelectButton, *SaveGraphButton, *SaveBlWhButton, *ConfBeltButton,
      *OpenGraphButton;

  // --- window state -------------------------------------------------------
  TInputPage Page;                 // the grid and boxes as the core sees them
  TDecimalSettings DecimalSettings;  // decimal separator of typed numbers
  bool ResultsAvailable = false;
  bool OnOutputPage = false;
  bool GraphMade = false;
  bool OutputFileOpen = false;
  bool ResultsComplete = false;    // a run has just finished: its AvAbsDiff is in the data module
  bool InputFileOpened = false;
  bool CompositeOn = false;
  bool ColourGraph = true;
  bool BeltOn = true;
  bool RunInProgress = false;
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
  void ShowPageState();  // the core page model into the widgets
  void ShowGrid();
  void SetCompositeOption(int item);
  void DeleteRankedList();
  void SetInitialFolders(const std::string& folder);
  void OpenInputFile(const std::string& path);
  void GridEditorPaste(int column, int row, const QString& text);
  friend class TGridDelegate;

  // Save-Run helpers
  bool SaveInputDialog();
  void ShowRunResults(int distCode);

  // Output page helpers
  bool LoadResults(const std::string& outPath);
  void OpenOutputFile(const std::string& path, bool fromOutputPage);
  void SetOutputButtons();

  // Graphics page helpers
  void ResetGraphicsPage();  // hides the graph and its buttons, belt on
  void PrepareGraphicsPage();
  void DrawGraph();
  void SaveGraph();

  TDialogs& dialogs_;
  TDMTavorix* dm_ = nullptr;
  TFinishForm* finishForm_ = nullptr;
  TCalcForm* calcForm_ = nullptr;
  TOptForm* optForm_ = nullptr;
  TListForm* listForm_ = nullptr;
  TSelectForm* selectForm_ = nullptr;
  std::unique_ptr<GraphView> graphView_;
  std::unique_ptr<TMessageSink> calcSink_;  // the calculator's messages go through dialogs_
  int previousPage_ = 0;
  int stagePauseMs_ = 500;
  bool syncingGrid_ = false;
  bool inCountExit_ = false;
  bool inClassesExit_ = false;
  bool pasteHelpShown_ = false;
  bool outputOpenedFromOutputPage_ = false;
};

}  // namespace tavorix
