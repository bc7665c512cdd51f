#pragma once
// The window shown when the main window is closed; "Finish" (or closing it)
// ends the program.

#include <QWidget>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace tavorix {

class TFinishForm : public QWidget {
  Q_OBJECT

 public:
  explicit TFinishForm(QWidget* parent = nullptr);

  // What ending the program means; quits the application unless replaced.
  std::function<void()> EndProgram;

  QPlainTextEdit* Memo1;
  QPushButton* FinishButton;
  QStatusBar* StatusBar1;

 public slots:
  void FinishButtonClick();

 protected:
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace tavorix
