#include "ui/UBaseForm.h"

#include <QLabel>
#include <QStatusBar>

namespace tavorix {

TBaseForm::TBaseForm(QWidget* parent) : QMainWindow(parent) {
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  setStatusBar(StatusBar1);
}

void TBaseForm::ShowStatus(const QString& text) {
  StatusBar1->showMessage(text);
  StatusBar1->repaint();
}

QString TBaseForm::StatusText() const { return StatusBar1->currentMessage(); }

}  // namespace tavorix
