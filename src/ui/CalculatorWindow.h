#pragma once
// The calculator window: X to cumulative frequency and return period in the
// upper half, a frequency or return period to X in the lower half, each with
// 90% confidence limits. Every calculation reads the files of the run anew
// (the ".aux" and ".inp" beside the current results file). "Bootstrap
// interval" adds the bootstrap interval of the X computed in the lower half,
// made on a worker with its progress and Cancel; hiding the window (closing
// it, opening another results file) cancels it.

#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "core/StringToFloat.h"
#include "ui/Dialogs.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace tavorix {

class TDMTavorix;
class TBootstrapController;
struct TBootstrapOutcome;

class CalculatorWindow : public QWidget {
  Q_OBJECT

 public:
  // dialogs: where the messages go; nullptr for real message boxes.
  explicit CalculatorWindow(QWidget* parent = nullptr, TDialogs* dialogs = nullptr);
  ~CalculatorWindow() override;

  // The results (or input) file whose ".aux" and ".inp" the calculator reads.
  void SetFileName(const std::string& path);
  // Alternatively the data module of the main window: its current FileName
  // is taken at every calculation. The series it holds is never changed.
  void SetDataModule(const TDMTavorix* dm);
  // The decimal separator of typed numbers (the main window's settings).
  void SetDecimalSettings(TDecimalSettings* settings);
  void SetDialogs(TDialogs* dialogs);

  // Entering a field clears the results it leads to; "Go ->" (or Enter in
  // the X field) computes from X; leaving the frequency or the period field
  // (for "Go ->", another field, or with Enter) computes X from it.
  void XFieldEnter();
  void FrequencyFieldEnter();
  void PeriodFieldEnter();
  void GoFromXClick();
  void FrequencyFieldExit();
  void PeriodFieldExit();
  // The bootstrap interval of X at the return period of the lower half.
  void BootstrapButtonClick();
  void CancelBootstrapButtonClick();
  bool BootstrapRunning() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  // Empties the fields for a new start; the lower half follows the
  // distribution of the run (Gamma gives no X from a frequency).
  void ClearForShow();
  void ClearAll();
  std::string CurrentFile() const;
  QString Number(double v) const;
  // A return period 1/(1 - F) in the digits that F carries: a period of
  // 100 asked as the frequency 0.99 shows as 100, not 99.9999999999999.
  QString Period(double t, double f) const;
  // Shows a result with its whole number in sight: from its start, in a
  // smaller font where the field is too narrow.
  void ShowWhole(QLineEdit* field, const QString& text);
  // A refusal of a typed value, with the values the field takes on a second line.
  void Refusal(const std::string& message);
  // X of the frequency f; typedPeriod is the return period typed for it.
  void FrequencyToX(double f, std::optional<double> typedPeriod);
  void Message(const QString& text);
  void BuildBootstrapControls();
  // Stops a bootstrap and empties its interval: the X it belonged to is gone.
  void ClearBootstrap();
  void BootstrapFinished(const TBootstrapOutcome& outcome);
  void ShowBootstrapRunning(bool running);

  // Upper half: X in, its frequency and return period with their limits out.
  QLineEdit* xEdit_;
  QPushButton* goFromXButton_;
  QLineEdit *frequencyOfX_, *periodOfX_, *frequencyLowerOfX_, *frequencyUpperOfX_, *periodLowerOfX_,
      *periodUpperOfX_;
  QLabel* rangeNote_;  // the note on an X outside the data or the distribution
  // Lower half: a frequency or a return period in, X with its limits out.
  QLineEdit *frequencyEdit_, *periodEdit_;
  QPushButton* goFromFrequencyButton_;
  QLineEdit *xOfFrequency_, *xLowerOfFrequency_, *xUpperOfFrequency_;
  // The labels of the lower half that Gamma results disable with its fields.
  QLabel *frequencyLabel_, *periodLabel_, *xOfFrequencyLabel_, *xLowerLabel_, *xUpperLabel_, *orLabel_;
  // The bootstrap of the lower half: replicas, the action with its progress
  // and Cancel, the interval and a note of replicas and failures.
  QSpinBox* replicasEdit_;
  QPushButton *bootstrapButton_, *cancelBootstrapButton_;
  QProgressBar* bootstrapProgress_;
  QLineEdit *xLowerBootstrap_, *xUpperBootstrap_;
  QLabel* bootstrapNote_;
  TBootstrapController* bootstrap_ = nullptr;
  // The return period whose X the lower half shows (empty without one), and
  // the period and file of the bootstrap running.
  std::optional<double> askedPeriod_;
  std::optional<double> bootstrapPeriod_;
  std::string bootstrapFile_;

  TDialogs* dialogs_ = nullptr;
  TQtDialogs boxes_;
  TDecimalSettings ownSettings_;
  TDecimalSettings* settings_ = &ownSettings_;
  const TDMTavorix* dm_ = nullptr;
  std::string fileName_;
};

}  // namespace tavorix
