#include "ui/FinishDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>

#include "ui/WindowPlacement.h"

namespace tavorix {

FinishDialog::FinishDialog(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("FinishDialog");
  setWindowTitle("Tavorix finish");
  // exit(), not quit(): quit() first asks every window to close, and the
  // main window answers a close by showing this window again.
  EndProgram = [] { QCoreApplication::exit(0); };

  auto* thanks = new QPlainTextEdit(this);
  thanks->setReadOnly(true);
  thanks->setPlainText(" Thank you for using Tavorix");
  finishButton_ = new QPushButton("Finish", this);
  finishButton_->setObjectName("FinishButton");
  auto* status = new QStatusBar(this);
  status->setSizeGripEnabled(false);
  status->showMessage("Click Finish to end the program");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(thanks);
  layout->addWidget(finishButton_, 0, Qt::AlignHCenter);
  layout->addWidget(status);
  resize(320, 180);

  connect(finishButton_, &QPushButton::clicked, this, &FinishDialog::FinishButtonClick);
}

void FinishDialog::FinishButtonClick() {
  if (EndProgram) EndProgram();
}

// Space or Enter on the window presses Finish.
void FinishDialog::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) PlaceOverActiveWindow(this);
  finishButton_->setFocus();
}

void FinishDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    finishButton_->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace tavorix
