#include "ui/UFinishForm.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShowEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "ui/WindowPlacement.h"

namespace tavorix {

TFinishForm::TFinishForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("FinishForm");
  setWindowTitle("Tavorix finish");
  // exit(), not quit(): quit() first asks every window to close, and the
  // main window answers a close by showing this window again.
  EndProgram = [] { QCoreApplication::exit(0); };

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

// Space or Enter on the window presses Finish.
void TFinishForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) PlaceOverActiveWindow(this);
  FinishButton->setFocus();
}

void TFinishForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    FinishButton->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace tavorix
