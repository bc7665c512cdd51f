#pragma once
// The selection window: one radio button per single distribution; "Confirm"
// makes the checked one the preferred distribution of the next run.

#include <QWidget>
#include <array>
#include <string>
#include <string_view>
#include <vector>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace tavorix {

class TDMTavorix;
class TDialogs;

// One button of the window: caption, the preference text it stores and the
// phrase that names the choice.
struct TSelectChoice {
  std::string_view Caption;
  std::string_view Code;
  std::string_view Phrase;
};

// "Best of All" first, then the distributions with a button, in the order
// of the registry's selection places.
const std::vector<TSelectChoice>& SelectChoices();

// What the selection window changes on the main window.
class TSelectionHost {
 public:
  virtual ~TSelectionHost() = default;
  // A preferred distribution (not best of all) was confirmed: the ranked
  // list of an earlier run no longer applies and composites are switched off.
  virtual void PreferredDistributionConfirmed() = 0;
  virtual void ShowSelectionText(const std::string& text) = 0;
};

class TSelectForm : public QWidget {
  Q_OBJECT

 public:
  TSelectForm(TDMTavorix& dm, TDialogs& dialogs, QWidget* parent = nullptr);

  void SetHost(TSelectionHost* host) { host_ = host; }

  QGroupBox* RadioGroup1;
  std::vector<QRadioButton*> RadioButtons;  // RadioButton1 .. RadioButtonN
  QPushButton* Button1;

  QRadioButton* RadioButton(int number) const { return RadioButtons[number - 1]; }

 public slots:
  void Button1Click();

 private:
  TDMTavorix& dm_;
  TDialogs& dialogs_;
  TSelectionHost* host_ = nullptr;
 protected:
  // Opens centred on the main window.
  void showEvent(QShowEvent* event) override;
};

}  // namespace tavorix
