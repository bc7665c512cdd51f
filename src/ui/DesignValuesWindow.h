#pragma once
// The "Design values" window of the Output page: X with its 90% limits at
// the standard return periods (or the periods the user lists), from the
// distribution of the results file shown, each row as the calculator gives it.

#include <QWidget>
#include <optional>
#include <string>

#include "calculator/Bootstrap.h"
#include "calculator/DesignTable.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace tavorix {

class TDialogs;
class TBootstrapController;
struct TBootstrapOutcome;

class DesignValuesWindow : public QWidget {
  Q_OBJECT

 public:
  explicit DesignValuesWindow(QWidget* parent = nullptr);

  void SetDialogs(TDialogs* dialogs) { dialogs_ = dialogs; }
  // Makes the table for the results file (its ".aux" and ".inp") and shows
  // the window.
  void ShowFor(const std::string& outPath);
  bool BootstrapRunning() const;

 protected:
  // Opens centred on the main window, whole on its screen.
  void showEvent(QShowEvent* event) override;

 private:
  void PeriodsEditExit();
  void CopyButtonClick();
  void SaveCsvButtonClick();
  void BootstrapButtonClick();
  void CancelBootstrapButtonClick();
  void Rebuild();
  void BootstrapFinished(const TBootstrapOutcome& outcome);
  void ShowBootstrap();
  void WidenToShowEveryColumn();
  std::vector<std::vector<std::string>> Cells() const;

  QLineEdit* periodsEdit_;  // return periods separated by commas
  QTableWidget* tableView_;
  QLabel* noteLabel_;       // the extrapolation note, or why there is no table
  QPushButton* copyButton_;
  QPushButton* saveCsvButton_;
  // "Bootstrap interval": the bootstrap interval of X beside the report's
  // limits (the columns after the extrapolation mark), with its progress
  // and Cancel.
  QSpinBox* replicasEdit_;
  QPushButton* bootstrapButton_;
  QPushButton* cancelBootstrapButton_;
  QProgressBar* bootstrapProgress_;
  TDialogs* dialogs_ = nullptr;
  std::string outPath_;
  DesignTable table_;
  TBootstrapController* bootstrap_ = nullptr;
  std::optional<BootstrapResult> boot_;  // of the table shown
  std::string tableNote_;
};

}  // namespace tavorix
