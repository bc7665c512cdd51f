#pragma once
// Base of the main window: a status bar and one operation that shows a text
// in it at once.

#include <QMainWindow>
#include <QString>

class QStatusBar;

namespace tavorix {

class TBaseForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TBaseForm(QWidget* parent = nullptr);

  // Shows the text in the status bar and repaints, so that it is seen even
  // before control returns to the event loop.
  void ShowStatus(const QString& text);
  QString StatusText() const;

  QStatusBar* StatusBar1;
};

}  // namespace tavorix
