#pragma once
// The "Design values" window of the Output page: X with its 90% limits at
// the standard return periods (or the periods the user lists), from the
// distribution of the results file shown, each row as the calculator gives it.

#include <QWidget>
#include <string>

#include "calculator/DesignTable.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tavorix {

class TDialogs;

class TDesignForm : public QWidget {
  Q_OBJECT

 public:
  explicit TDesignForm(QWidget* parent = nullptr);

  void SetDialogs(TDialogs* dialogs) { dialogs_ = dialogs; }
  // Makes the table for the results file (its ".aux" and ".inp") and shows
  // the window.
  void ShowFor(const std::string& outPath);

  QLineEdit* PeriodsEdit;  // return periods separated by commas
  QTableWidget* DesignTableView;
  QLabel* NoteLabel;       // the extrapolation note, or why there is no table
  QPushButton* CopyButton;
  QPushButton* SaveCsvButton;

  void PeriodsEditExit();
  void CopyButtonClick();
  void SaveCsvButtonClick();

 private:
  void Rebuild();

  TDialogs* dialogs_ = nullptr;
  std::string outPath_;
  DesignTable table_;
};

// Shows and hides `follower` whenever `leader` is shown or hidden.
void FollowVisibility(QWidget* leader, QWidget* follower);

}  // namespace tavorix
