#include "ui/USelectForm.h"

#include <algorithm>

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/UDMTavorix.h"
#include "fitting/Registry.h"
#include "ui/UDialogs.h"
#include "ui/WindowPlacement.h"

namespace tavorix {

const std::vector<TSelectChoice>& SelectChoices() {
  static const std::vector<TSelectChoice> choices = [] {
    std::vector<const DistributionInfo*> rows;
    for (const DistributionInfo& d : Registry())
      if (d.SelectPlace > 0) rows.push_back(&d);
    std::sort(rows.begin(), rows.end(),
              [](const DistributionInfo* a, const DistributionInfo* b) { return a->SelectPlace < b->SelectPlace; });
    std::vector<TSelectChoice> c{{"Best of All Distributions", "1", "Best of All"}};
    for (const DistributionInfo* d : rows) c.push_back({d->Caption, d->Preference, d->SelectPhrase});
    return c;
  }();
  return choices;
}

TSelectForm::TSelectForm(TDMTavorix& dm, TDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), dm_(dm), dialogs_(dialogs) {
  setObjectName("SelectForm");
  setWindowTitle("Tavorix: select distributions");

  RadioGroup1 = new QGroupBox("Make a selection then click \"Confirm\"", this);
  auto* grid = new QGridLayout(RadioGroup1);
  const auto& choices = SelectChoices();
  const int count = static_cast<int>(choices.size());
  const int firstColumn = (count + 1) / 2;  // the left column takes the odd one
  for (int i = 0; i < count; ++i) {
    auto* button = new QRadioButton(QString::fromUtf8(choices[i].Caption.data(),
                                                      static_cast<int>(choices[i].Caption.size())),
                                    RadioGroup1);
    button->setObjectName(QString("RadioButton%1").arg(i + 1));
    RadioButtons.push_back(button);
    grid->addWidget(button, i % firstColumn, i / firstColumn);
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
  const int count = static_cast<int>(RadioButtons.size());
  for (int i = 0; i < count && chosen < 0; ++i)
    if (RadioButtons[i]->isChecked()) chosen = i;
  if (chosen < 0) {
    hide();
    return;
  }
  const TSelectChoice& choice = SelectChoices()[chosen];
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
