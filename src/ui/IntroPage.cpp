#include "ui/IntroPage.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/HelpTexts.h"

namespace tavorix {

namespace {

// A help text and the button that shows it, in the order of the buttons.
struct HelpTopic {
  const char* Caption;
  const char* ButtonName;
  const char* TextName;
  const char* Text;
};

const HelpTopic kTopics[] = {
    {"Introduction", "IntroductionButton", "IntroductionText", kIntroHelpText},
    {"Distributions", "DistributionsButton", "DistributionsText", kDistributionsHelpText},
    {"Composition", "CompositionButton", "CompositionText", kCompositionHelpText},
    {"Confidence", "ConfidenceButton", "ConfidenceText", kConfidenceHelpText},
    {"Intervals/histogram", "IntervalsButton", "IntervalsText", kIntervalsHelpText},
};

}  // namespace

IntroPage::IntroPage(QWidget* parent) : QWidget(parent) {
  setObjectName("IntroPage");
  auto* texts = new QVBoxLayout;
  for (const HelpTopic& topic : kTopics) {
    auto* text = new QPlainTextEdit(this);
    text->setObjectName(topic.TextName);
    text->setReadOnly(true);
    text->setPlainText(topic.Text);
    texts_.push_back(text);
    texts->addWidget(text);
  }
  auto* group = new QGroupBox("Help", this);
  group->setObjectName("HelpButtons");
  auto* buttons = new QVBoxLayout(group);
  for (std::size_t i = 0; i < texts_.size(); ++i) {
    auto* button = new QPushButton(kTopics[i].Caption, group);
    button->setObjectName(kTopics[i].ButtonName);
    buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, text = texts_[i]] { ShowHelp(text); });
  }
  buttons->addStretch();
  // The formulas of the distributions stand in columns.
  QPlainTextEdit* distributions = texts_[1];
  distributions->setLineWrapMode(QPlainTextEdit::NoWrap);
  distributions->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(texts, 1);
  layout->addWidget(group);
}

void IntroPage::Shown() {
  ShowIntroduction();
  emit Status("Click on the Input tab to proceed.");
}

void IntroPage::ShowIntroduction() { ShowHelp(texts_.front()); }

void IntroPage::ShowHelp(const QPlainTextEdit* text) {
  for (QPlainTextEdit* t : texts_) t->setVisible(t == text);
}

}  // namespace tavorix
