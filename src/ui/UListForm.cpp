#include "ui/UListForm.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ui/WindowPlacement.h"

namespace tavorix {

TListForm::TListForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("ListForm");
  setWindowTitle("Tavorix: list of parameters of fit");
  ListMemo = new QPlainTextEdit(this);
  ListMemo->setObjectName("ListMemo");
  ListMemo->setReadOnly(true);
  ListMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  ListMemo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ListMemo);
  resize(560, 520);
  CloseOnEscape(this);
}

void TListForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) PlaceOverActiveWindow(this);
}

}  // namespace tavorix
