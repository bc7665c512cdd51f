#pragma once
// The window that explains the optimised mean and standard deviation of the
// normal-type distributions.

#include <QWidget>

namespace tavorix {

// The fixed text of the window, line by line.
extern const char* const kOptimizationText;

class OptimizationHelp : public QWidget {
  Q_OBJECT

 public:
  explicit OptimizationHelp(QWidget* parent = nullptr);

 protected:
  // Opens centred on the main window.
  void showEvent(QShowEvent* event) override;
};

}  // namespace tavorix
