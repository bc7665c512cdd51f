#include "ui/USelectForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/UDMTavorix.h"
#include "ui/UDialogs.h"
#include "ui/WindowPlacement.h"

namespace tavorix {

// In the order in which the choice is evaluated.
const std::array<TSelectChoice, kSelectChoiceCount> kSelectChoices{{
    {"Best of All Distributions", "1", "Best of All"},
    {"Normal (standard)", "20", "standard normal"},
    {"Normal (optimized)", "21", "optimized normal"},
    {"Log-normal (standard)", "22", "standard log-normal"},
    {"Log-normal (optimized)", "23", "optimized log-normal"},
    {"Root-normal", "24", "root-normal"},
    {"Square-normal", "25", "square-normal"},
    {"Generalized normal", "26", "generalized normal"},
    {"Logistic (standard)", "53", "standard logistic"},
    {"Log-logistic", "54", "log-logistic"},
    {"Logistic generalized", "55", "generalized logistic"},
    {"Burr distribution", "31", "Burr probability"},
    {"Cauchy (standard)", "64", "standard Cauchy"},
    {"Cauchy generalized", "65", "generalized Cauchy"},
    {"Dagum distribution", "32", "Dagum probability"},
    {"Exponential (standard)", "6", "standard exponential"},
    {"Exponential generalized", "3", "generalized exponential"},
    {"Exponential general. mirr.", "66", "gen. exponential mirrored"},
    {"Frechet (typical)", "58", "Frechet"},
    {"GEV (Gen. Extreme. Value)", "67", "GEV probability"},
    {"Gompertz (generalized)", "34", "generalized Gompertz"},
    {"Gumbel (standard)", "4", "standard Gumbel"},
    {"Gumbel generalized", "51", "generalized Gumbel"},
    {"Gumbel mirrored", "5", "mirrored Gumbel"},
    {"Gumbel mirrored generalized", "52", "generalized mirrored Gumbel"},
    {"Laplace (standard)", "68", "standard Laplace"},
    {"Laplace generalized", "73", "generalized Laplace"},
    {"Fisk (adjusted)", "56", "Fisk adjusted"},
    {"Weibull (standard)", "57", "Weibull"},
    {"Weibull mirrored", "60", "mirrored Weibull"},
    {"Student (1 or 2 d.f.)", "62", "Student"},
    {"Fisher-Tippet III", "59", "Fisher Tippet III"},
    {"F-T III mirrored", "33", "Fisher Tippet III mirrored"},
    {"Frechet mirrored", "35", "Frechet mirrored"},
    {"Kumaraswamy generalized", "39", "Kumaraswamy generalized"},
    {"Rayleigh generalized", "69", "Rayleigh generalized"},
    {"Gamma (Erlang)", "61", "Gamma (Erlang)"},
}};

TSelectForm::TSelectForm(TDMTavorix& dm, TDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), dm_(dm), dialogs_(dialogs) {
  setObjectName("SelectForm");
  setWindowTitle("Tavorix: select distributions");

  RadioGroup1 = new QGroupBox("Make a selection then click \"Confirm\"", this);
  auto* grid = new QGridLayout(RadioGroup1);
  constexpr int kFirstColumn = (kSelectChoiceCount + 1) / 2;  // 19 left, 18 right
  for (int i = 0; i < kSelectChoiceCount; ++i) {
    auto* button = new QRadioButton(QString::fromUtf8(kSelectChoices[i].Caption.data(),
                                                      static_cast<int>(kSelectChoices[i].Caption.size())),
                                    RadioGroup1);
    button->setObjectName(QString("RadioButton%1").arg(i + 1));
    RadioButtons[i] = button;
    grid->addWidget(button, i % kFirstColumn, i / kFirstColumn);
  }
  RadioButtons[0]->setChecked(true);

  Button1 = new QPushButton(" Confirm", this);
  Button1->setObjectName("Button1");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(RadioGroup1);
  layout->addWidget(Button1, 0, Qt::AlignHCenter);

  connect(Button1, &QPushButton::clicked, this, &TSelectForm::Button1Click);
  CloseOnEscape(this);
}

void TSelectForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) PlaceOverActiveWindow(this);
}

void TSelectForm::Button1Click() {
  int chosen = -1;
  for (int i = 0; i < kSelectChoiceCount && chosen < 0; ++i)
    if (RadioButtons[i]->isChecked()) chosen = i;
  if (chosen < 0) {
    hide();
    return;
  }
  const TSelectChoice& choice = kSelectChoices[chosen];
  dm_.SelectionCode = std::string(choice.Code);
  const bool preferred = chosen != 0;
  if (preferred) {
    if (host_) host_->PreferredDistributionConfirmed();
    hide();
  }
  const std::string text = std::string(choice.Phrase) + (preferred ? " distribution" : " distributions");
  if (host_) host_->ShowSelectionText(text);
  if (preferred)
    dialogs_.ShowMessage("Please be aware that the " + text + " selected" +
                         " may or may not be suitable in this case.");
  hide();
}

}  // namespace tavorix
