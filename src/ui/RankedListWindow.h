#pragma once
// The window that shows the list of distributions ranked by data fit: the
// header of the ranked list file, and a table of the fits with their average
// difference and, for the fits of the last run, the goodness-of-fit
// statistics. A click on a column header sorts by that column.

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "fitting/FitStatistics.h"

class QPlainTextEdit;
class QTableWidget;

namespace tavorix {

class TDialogs;

class RankedListWindow : public QWidget {
  Q_OBJECT

 public:
  explicit RankedListWindow(QWidget* parent = nullptr);

  // The run whose ranked list file is `listPath`; its statistics are
  // computed when that list is first shown.
  void SetRunResults(const std::string& listPath, std::shared_ptr<const TavorixRun> run);
  // Shows the lines of the ranked list file at `listPath`.
  void ShowRankedList(const std::string& listPath, const std::vector<std::string>& lines);
  // Save as CSV asks for the file name and before overwriting through these.
  void SetDialogs(TDialogs* dialogs) { dialogs_ = dialogs; }


 protected:
  // Opens centred on the main window.
  void showEvent(QShowEvent* event) override;

 private:
  // The table as shown (current order), header first, cells joined by `sep`;
  // CSV quotes the names.
  QString TableText(QChar sep) const;
  void CopyButtonClick();
  void SaveCsvButtonClick();

  QPlainTextEdit* header_;  // the header lines of the file
  QTableWidget* table_;
  TDialogs* dialogs_ = nullptr;
  std::string runListPath_;
  std::shared_ptr<const TavorixRun> run_;
  std::vector<RankedFitStatistics> statistics_;  // of run_, once computed
};

}  // namespace tavorix
