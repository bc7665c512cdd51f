#pragma once
// The window shown when the main window is closed; "Finish" ends the
// program, closing the window any other way (its X, Escape) returns to it.

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

  // What ending the program means; leaves the event loop unless replaced.
  std::function<void()> EndProgram;

  QPlainTextEdit* Memo1;
  QPushButton* FinishButton;
  QStatusBar* StatusBar1;

 public slots:
  void FinishButtonClick();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
};

}  // namespace tavorix
