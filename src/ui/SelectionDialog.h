#pragma once
// The selection window: one radio button per single distribution; "Confirm"
// makes the checked one the preferred distribution of the next run.

#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

class QRadioButton;

namespace tavorix {

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

class SelectionDialog : public QWidget {
  Q_OBJECT

 public:
  explicit SelectionDialog(TDialogs& dialogs, QWidget* parent = nullptr);

  // Checks "Best of All Distributions" (the Input page went back to it).
  void CheckBestOfAll();

 signals:
  // "Confirm": the preference text of the checked button ("1" = best of
  // all) and the text that names the choice ("standard Gumbel distribution").
  void Confirmed(const std::string& code, const std::string& text);

 protected:
  // Opens centred on the main window.
  void showEvent(QShowEvent* event) override;

 private:
  void ConfirmButtonClick();

  TDialogs& dialogs_;
  std::vector<QRadioButton*> choices_;  // in the order of SelectChoices()
};

}  // namespace tavorix
