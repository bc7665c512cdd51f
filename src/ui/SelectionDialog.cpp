#include "ui/SelectionDialog.h"

#include <algorithm>

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/UserDialogs.h"
#include "fitting/Registry.h"
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

SelectionDialog::SelectionDialog(TDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs) {
  setObjectName("SelectionDialog");
  setWindowTitle("Tavorix: select distributions");

  auto* group = new QGroupBox("Make a selection then click \"Confirm\"", this);
  group->setObjectName("Choices");
  auto* grid = new QGridLayout(group);
  const auto& choices = SelectChoices();
  const int count = static_cast<int>(choices.size());
  const int firstColumn = (count + 1) / 2;  // the left column takes the odd one
  for (int i = 0; i < count; ++i) {
    auto* button = new QRadioButton(QString::fromUtf8(choices[i].Caption.data(),
                                                      static_cast<int>(choices[i].Caption.size())),
                                    group);
    button->setObjectName(QString("Choice%1").arg(i + 1));
    choices_.push_back(button);
    grid->addWidget(button, i % firstColumn, i / firstColumn);
  }
  choices_.front()->setChecked(true);

  auto* confirm = new QPushButton(" Confirm", this);
  confirm->setObjectName("ConfirmButton");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(confirm, 0, Qt::AlignHCenter);

  connect(confirm, &QPushButton::clicked, this, &SelectionDialog::ConfirmButtonClick);
  CloseOnEscape(this);
}

void SelectionDialog::CheckBestOfAll() { choices_.front()->setChecked(true); }

void SelectionDialog::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) PlaceOverActiveWindow(this);
}

void SelectionDialog::ConfirmButtonClick() {
  const auto checked = std::find_if(choices_.begin(), choices_.end(), [](QRadioButton* b) { return b->isChecked(); });
  if (checked == choices_.end()) {
    hide();
    return;
  }
  const TSelectChoice& choice = SelectChoices()[static_cast<std::size_t>(checked - choices_.begin())];
  const bool preferred = checked != choices_.begin();
  const std::string text = std::string(choice.Phrase) + (preferred ? " distribution" : " distributions");
  if (preferred) hide();
  emit Confirmed(std::string(choice.Code), text);
  if (preferred)
    dialogs_.ShowMessage("Please be aware that the " + text + " selected" +
                         " may or may not be suitable in this case.");
  hide();
}

}  // namespace tavorix
