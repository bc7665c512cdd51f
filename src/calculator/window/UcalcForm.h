#pragma once
// The calculator window: X to cumulative frequency and return period in the
// upper half, a frequency or return period to X in the lower half, each with
// 90% confidence limits. Every calculation reads the files of the run anew
// (the ".aux" and ".inp" beside the current results file).

#include <QString>
#include <QWidget>
#include <string>

#include "core/StringToFloat.h"
#include "ui/UDialogs.h"

class QLabel;
class QLineEdit;

namespace tavorix {

class TDMTavorix;

class TCalcForm : public QWidget {
  Q_OBJECT

 public:
  // dialogs: where the messages go; nullptr for real message boxes.
  explicit TCalcForm(QWidget* parent = nullptr, TDialogs* dialogs = nullptr);
  ~TCalcForm() override;

  // The results (or input) file whose ".aux" and ".inp" the calculator reads.
  void SetFileName(const std::string& path);
  // Alternatively the data module of the main window: its current FileName
  // is taken at every calculation. The series it holds is never changed.
  void SetDataModule(const TDMTavorix* dm);
  // The decimal separator of typed numbers (the main window's settings).
  void SetDecimalSettings(TDecimalSettings* settings);
  void SetDialogs(TDialogs* dialogs);

  // Upper half.
  QLabel *Label7, *Label1, *Label2, *Label3, *Label15, *Label16, *Label17, *Label9, *Label10, *Label11;
  QLineEdit *Edit1, *Edit7, *Edit2, *Edit3, *Edit13, *Edit14, *Edit9, *Edit10;
  // Lower half.
  QLabel *Label8, *Label4, *Label18, *Label5, *Label6, *Label12, *Label13, *Label14;
  QLabel* Label19;  // the note on an X outside the data or the distribution
  QLineEdit *Edit4, *Edit5, *Edit8, *Edit6, *Edit11, *Edit12;

 public slots:
  void FormShow();
  void FormHide();
  void FormClose();
  void Edit1Enter();
  void Edit4Enter();
  void Edit5Enter();
  void Edit7Click();
  void Edit4Exit();
  void Edit5Exit();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
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
  void FrequencyToX(double f, bool fromPeriod);
  void Message(const QString& text);
  void BuildControls();

  TDialogs* dialogs_ = nullptr;
  TQtDialogs boxes_;
  TDecimalSettings ownSettings_;
  TDecimalSettings* settings_ = &ownSettings_;
  const TDMTavorix* dm_ = nullptr;
  std::string fileName_;
};

}  // namespace tavorix
