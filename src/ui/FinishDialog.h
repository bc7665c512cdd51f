#pragma once
// The window shown when the main window is closed; "Finish" ends the
// program, closing the window any other way (its X, Escape) returns to it.

#include <QWidget>
#include <functional>

class QPushButton;

namespace tavorix {

class FinishDialog : public QWidget {
  Q_OBJECT

 public:
  explicit FinishDialog(QWidget* parent = nullptr);

  // What ending the program means; leaves the event loop unless replaced.
  std::function<void()> EndProgram;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void FinishButtonClick();

  QPushButton* finishButton_;
};

}  // namespace tavorix
