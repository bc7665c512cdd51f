#pragma once
// The window that explains the optimised mean and standard deviation of the
// normal-type distributions.

#include <QWidget>

class QPlainTextEdit;

namespace tavorix {

// The fixed text of the window, line by line.
extern const char* const kOptimizationText;

class TOptForm : public QWidget {
  Q_OBJECT

 public:
  explicit TOptForm(QWidget* parent = nullptr);

  QPlainTextEdit* OptMemo;
 protected:
  // Opens centred on the main window.
  void showEvent(QShowEvent* event) override;
};

}  // namespace tavorix
