#pragma once
// The window that shows the list of distributions ranked by data fit.

#include <QWidget>

class QPlainTextEdit;

namespace tavorix {

class TListForm : public QWidget {
  Q_OBJECT

 public:
  explicit TListForm(QWidget* parent = nullptr);

  QPlainTextEdit* ListMemo;
 protected:
  // Opens centred on the main window.
  void showEvent(QShowEvent* event) override;
};

}  // namespace tavorix
