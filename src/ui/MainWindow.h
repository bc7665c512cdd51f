#pragma once
// The main window: the tabs of the four pages "  Intro  ", "  Input  ",
// "  Output  " and " Graphics ", the menus "&File", "&Edit" and "&Help",
// and the status bar. The pages do the work; the window routes the menus
// to them and passes on what an event of one page means for another.

#include <QString>
#include <string>
#include <vector>

#include "core/Session.h"
#include "ui/Page.h"
#include <QMainWindow>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QMenu;
class QStatusBar;
class QTabWidget;

namespace tavorix {

class TDMTavorix;
class TDialogs;
class FinishDialog;
class CalculatorWindow;
class OptimizationHelp;
class RankedListWindow;
class SelectionDialog;
class IntroPage;
class InputPage;
class OutputPage;
class GraphicsPage;
struct TRunOutcome;

// Left edge and width of the main window on a screen of the given width:
// 100 pixels from the left at its designed width; on a screen of at most
// 860 pixels that is narrower than the window, 5 pixels from the left and 5
// pixels narrower than the screen; on wider screens 760 pixels wide.
struct TWindowPlacement {
  int Left = 100;
  int Width = 747;
};
inline constexpr int kMainWindowWidth = 747;
TWindowPlacement MainWindowPlacement(int screenWidth, int windowWidth = kMainWindowWidth);

// The windows the main window opens, created before it.
struct SmallWindows {
  FinishDialog& Finish;
  CalculatorWindow& Calculator;
  OptimizationHelp& Optimization;
  RankedListWindow& RankedList;
  SelectionDialog& Selection;
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // dm: the data module (the series saved last and the current file name).
  MainWindow(TDMTavorix& dm, TDialogs& dialogs, const SmallWindows& windows, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The finish window ends the program: the main window closes for good.
  void EndProgram();

  // Brings a page to the front, as a click on its tab does.
  void ShowPage(Page page);
  Page CurrentPage() const;

  // Shows the text in the status bar and repaints, so that it is seen even
  // before control returns to the event loop.
  void ShowStatus(const QString& text);
  QString StatusText() const;

  // Places the window for a screen of the given width.
  void PlaceWindow(int screenWidth);

  // Opens an ".inp" or ".out" file given on the command line.
  void OpenFileFromCommandLine(const std::string& path);
  // Opens a dropped or recent file: ".inp" as input, ".txt" or ".csv" as a
  // column of numbers (the first numeric column of a ".csv").
  void OpenDataFile(const std::string& path);
  // The files of File ▸ Recent files, newest first.
  std::vector<std::string> RecentFiles() const;

  // A Save-Run works in the background; its stages pause this many
  // milliseconds between them (500).
  bool RunInProgress() const;
  void SetStagePauseMs(int ms);

  // The session model: the series and the settings of the Input page, and
  // the state of the window beyond them.
  TSession& Session() { return session_; }
  TWindowState& State() { return state_; }

 protected:
  // Closing asks to cancel a run or to save typed data, then shows the
  // finish window instead of closing.
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void ConnectPages();
  void PageChanged(int index);
  // Save-Run and the file commands, offered by page, paste help and run.
  void UpdateCommands();
  // While a run works the window takes no input but the Cancel button.
  void RunningChanged(bool running);
  void ShowRunResults(const TRunOutcome& outcome);
  // File ▸ Open output and "Make graph": a file opened from the Graphics
  // page goes to the graphs, from any other page to the Output page.
  void OpenOutput();
  void RememberRecentFile(const std::string& path);
  void FillRecentMenu();
  // The Edit menu works on the focused widget and changes only what can be edited.
  void EditCopyActionExecute();
  void EditCutActionExecute();
  void EditPasteActionExecute();
  void EditDeleteActionExecute();
  void EditSelectAllActionExecute();

  TDialogs& dialogs_;
  FinishDialog& finish_;
  TSession session_;
  TWindowState state_;

  QTabWidget* pages_;
  QStatusBar* statusBar_;
  IntroPage* intro_;
  InputPage* input_;
  OutputPage* output_;
  GraphicsPage* graphics_;

  QAction *openInputAction_, *openOutputAction_, *saveRunAction_, *saveInputAction_, *exitAction_, *helpAction_;
  QMenu* recentMenu_;
  QAction *copyAction_, *cutAction_, *pasteAction_, *deleteAction_, *selectAllAction_;

  int previousPage_ = 0;
  bool endingProgram_ = false;
  bool closeAfterRun_ = false;  // the window was closed during a run that is being cancelled
};

}  // namespace tavorix
