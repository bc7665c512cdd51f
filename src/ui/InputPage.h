#pragma once
// The Input page: titles, the count and classes boxes, the composite option
// and list, the preferred distribution, the grid of values with in-place
// editing, paste and undo, opening an input or data file, clearing, and
// Save-Run with its progress panel and Cancel.

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/SeriesLock.h"
#include "ui/Page.h"
#include "ui/RunController.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QUndoStack;

namespace tavorix {

class TDMTavorix;
class TDialogs;
class TGridModel;
class TGridView;
class SelectionDialog;
struct TSession;
struct TWindowState;
struct TGridChange;

// The items of the composite list: text and the preference text they store.
// The first item is the best of all composites; a separator (code "1", not
// a choice) stands before the first generalized composite.
struct TCompositeItem {
  std::string_view Text;
  std::string_view Code;
};
const std::vector<TCompositeItem>& CompositeItems();

class InputPage : public QWidget {
  Q_OBJECT

 public:
  InputPage(TSession& session, TWindowState& state, TDMTavorix& dm, TDialogs& dialogs, SelectionDialog& selection,
            QWidget* parent = nullptr);

  // The page came to the front.
  void Shown();

  // "Open input", "Save-Run" and "Save input without run" of the page and
  // the File menu; each does nothing while it is not offered.
  void OpenInput();
  void SaveRun();
  void SaveInputOnly();
  // Opens a dropped or recent file: ".inp" as input, ".txt" or ".csv" as a
  // column of numbers (the first numeric column of a ".csv").
  void OpenDataFile(const std::string& path);
  // Before other data replace typed or pasted data that were never saved:
  // asks to save, discard or cancel; true when the data may go.
  bool UnsavedDataMayGo();

  // What the page offers: Save-Run (on this page), and opening and clearing.
  void OfferCommands(bool saveRun, bool files);
  bool PasteHelpShown() const { return pasteHelpShown_; }

  // The Edit menu on the grid, when the grid has the focus.
  bool GridHasFocus() const;
  void CopyGridSelection();
  void PasteIntoGrid();
  void DeleteGridSelection();
  // The Edit menu's own actions, shown in the grid's context menu too.
  void SetEditActions(QAction* paste, QAction* copy, QAction* del);
  // Undo and redo of the grid's steps, for the Edit menu.
  QAction* UndoAction() const { return undoAction_; }
  QAction* RedoAction() const { return redoAction_; }

  // The run of Save-Run.
  bool RunInProgress() const { return runner_.Running(); }
  void CancelRun();
  // Milliseconds of each pause between the stages of a run (500).
  void SetStagePauseMs(int ms) { stagePauseMs_ = ms; }

 signals:
  void Status(const QString& text);
  void PageRequested(tavorix::Page page);
  // The paste help was shown or hidden: what is offered changes.
  void PasteHelpToggled();
  // An input or data file was opened or saved (File ▸ Recent files).
  void FileUsed(const std::string& path);
  // Another series was opened: the results shown are not its own.
  void SeriesOpened();
  // Clear data: the results are forgotten.
  void DataCleared();
  // Whether the ranked list of the last run applies to the next run's choice.
  void RankedListOffered(bool offered);
  // A run started or ended: the window takes no other input meanwhile.
  void RunningChanged(bool running);
  // A run has ended with results; the data module holds its series.
  void RunSucceeded(const tavorix::TRunOutcome& outcome);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PasteHelpButtonClick();
  void CountEditExit();
  void ClassesEditClick();
  void ClassesEditExit();
  void CellEdited(int column, int row, const QString& text);
  void ClearButtonClick();
  void InsertRowActionExecute();
  void DeleteRowsActionExecute();
  void CompositeOptionChange();
  void CompositeListChange();
  void SelectDistributionButtonClick();
  // "Confirm" of the selection window: the preferred distribution of the next run.
  void PreferenceConfirmed(const std::string& code, const std::string& text);

  // The page as at start and after Clear data (the titles may stay).
  void Initialise(bool keepTitles);
  void ShowSession();  // the session into the widgets
  void ShowSessionGrid();
  void ShowCompositeOption();
  void DeleteRankedList();
  void OpenInputFile(const std::string& path);
  // Text pasted at (column, row) of the grid.
  void PasteAt(int column, int row, const QString& text);
  // Runs `change` and records what it did to the grid as one undo step.
  void ChangeGrid(const QString& what, const std::function<void()>& change);
  // Undo (or redo) of one step of the grid.
  void ApplyGridStep(const TGridChange& change, bool undo);
  // Adds an empty row below the last (Enter on the last row).
  void AppendRow();
  void ShowGridMenu(const QPoint& pos);
  bool SaveInputDialog();
  bool SaveInput();  // checks, asks for the name and writes the ".inp"; true when written
  void SetRunning(bool running);
  void RunFinished(const TRunOutcome& outcome);

  TSession& session_;
  TWindowState& state_;
  TDMTavorix& dm_;
  TDialogs& dialogs_;
  SelectionDialog& selection_;

  QLineEdit *titleEdit_, *subtitleEdit_, *countEdit_, *classesEdit_, *thresholdEdit_;
  QComboBox *compositeOptionBox_, *compositeListBox_;
  QLabel* compositeListLabel_;
  QPushButton* selectButton_;
  QLabel* selectLabel_;
  QLineEdit* preferredEdit_;
  QLabel *serialLabel_, *valueLabel_;
  TGridView* grid_;
  TGridModel* gridModel_;
  QLabel* fileNameLabel_;
  QLineEdit* fileNameEdit_;
  QPushButton *openInputButton_, *clearButton_, *saveRunButton_, *pasteHelpButton_;
  QPlainTextEdit *pasteHelpText_, *progressText_;
  QFrame* progressPanel_;  // the progress lines and the Cancel button of a run
  QPushButton* cancelRunButton_;
  // Every change of the grid is one step: typing, paste, Delete, inserted
  // and deleted rows, Clear data, a changed number of data.
  QUndoStack* undoStack_;
  QAction *undoAction_, *redoAction_;
  // The grid's context menu: the Edit menu's actions and its own.
  QAction *pasteAction_ = nullptr, *copyAction_ = nullptr, *deleteAction_ = nullptr;
  QAction *insertRowAction_, *deleteRowsAction_;

  TRunController runner_;
  std::optional<SeriesLock> runLock_;  // held while a run has the series
  int stagePauseMs_ = 500;
  bool saveRunOffered_ = false, filesOffered_ = false;
  bool pasteHelpShown_ = false;
  bool inCountExit_ = false;
  bool inClassesExit_ = false;
  bool undoing_ = false;  // an undo or redo of the grid is under way
};

}  // namespace tavorix
