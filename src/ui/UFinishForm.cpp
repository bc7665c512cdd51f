#include "ui/UFinishForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace tavorix {

TFinishForm::TFinishForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("FinishForm");
  setWindowTitle("Tavorix finish");
  EndProgram = [] { QApplication::quit(); };

  Memo1 = new QPlainTextEdit(this);
  Memo1->setReadOnly(true);
  Memo1->setPlainText(" Thank you for using Tavorix");
  FinishButton = new QPushButton("Finish", this);
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1->showMessage("Click Finish to end the program");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Memo1);
  layout->addWidget(FinishButton, 0, Qt::AlignHCenter);
  layout->addWidget(StatusBar1);
  resize(320, 180);

  connect(FinishButton, &QPushButton::clicked, this, &TFinishForm::FinishButtonClick);
}

void TFinishForm::FinishButtonClick() {
  if (EndProgram) EndProgram();
}

void TFinishForm::closeEvent(QCloseEvent* event) {
  event->accept();
  if (EndProgram) EndProgram();
}

}  // namespace tavorix
