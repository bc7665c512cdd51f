#pragma once
// The Output page: the results file as text and the tools to judge it
// (goodness of fit, ranked list, optimisation text, calculator, design
// values, exports), and opening an existing results file.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <string>

#include "ui/Page.h"

class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace tavorix {

class TDMTavorix;
class TDialogs;
struct TWindowState;
struct TavorixRun;
class CalculatorWindow;
class DesignValuesWindow;
class OptimizationHelp;
class RankedListWindow;

// The eleven lines of the goodness-of-fit panel.
QStringList GoodnessOfFitLines(double avAbsDiff);

class OutputPage : public QWidget {
  Q_OBJECT

 public:
  OutputPage(TWindowState& state, TDMTavorix& dm, TDialogs& dialogs, CalculatorWindow& calculator,
             OptimizationHelp& optimization, RankedListWindow& rankedList, QWidget* parent = nullptr);

  // The page came to the front, or was left.
  void Shown();
  void Left();

  // "Open output": asks for a results file and shows it on this page, or
  // on the Graphics page when it is for the graphs.
  void OpenOutput(bool forGraphs);
  void OpenOutputFile(const std::string& path, bool forGraphs);

  // A run has ended with results in the data module's file: the report and
  // the tools for it; the ranked list window computes its statistics from
  // the run when it is shown.
  void ShowRunResults(int distCode, bool rankedListOffered, const std::string& listPath,
                      std::shared_ptr<const TavorixRun> run);
  // Another series was opened: its results are not known.
  void SeriesOpened();
  // A saved graph was opened on the Graphics page.
  void PictureOpened();
  // Clear data: no results, the current file the start folder.
  void ResultsForgotten();
  // The ranked list applies to the next run's choice (best of all) or not.
  void OfferRankedList(bool offered);

 signals:
  void Status(const QString& text);
  void PageRequested(tavorix::Page page);
  // A results file was opened: the graphs can be drawn from it.
  void ResultsFileOpened();
  // "Graphics": the graph choices for the results shown.
  void GraphsRequested();

 private:
  void GoodnessButtonClick();
  void CloseGoodnessButtonClick();
  void OptimizationButtonClick();
  void CalculatorButtonClick();
  void GraphicsButtonClick();
  void RankedListButtonClick();
  void DesignButtonClick();
  void ExportCsvActionExecute();   // the tables as CSV files into a folder
  void ExportHtmlActionExecute();  // one HTML page with tables and graphs
  void CopyTableButtonClick();     // the report's table under the cursor, tab-separated

  bool LoadResults(const std::string& outPath);

  TWindowState& state_;
  TDMTavorix& dm_;
  TDialogs& dialogs_;
  CalculatorWindow& calculator_;
  OptimizationHelp& optimization_;
  RankedListWindow& rankedList_;
  DesignValuesWindow* designValues_ = nullptr;  // made when first asked for

  QPlainTextEdit* report_;
  QPushButton *graphicsButton_, *calculatorButton_, *goodnessButton_, *optimizationButton_, *rankedListButton_;
  QFrame* goodnessPanel_;
  QPlainTextEdit* goodnessText_;
};

}  // namespace tavorix
