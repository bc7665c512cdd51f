#pragma once
// The Intro page: five help texts in one place, one shown at a time, and the
// "Help" buttons that choose among them.

#include <QString>
#include <QWidget>
#include <vector>

class QPlainTextEdit;

namespace tavorix {

class IntroPage : public QWidget {
  Q_OBJECT

 public:
  explicit IntroPage(QWidget* parent = nullptr);

  // The page came to the front: it shows the introduction.
  void Shown();
  void ShowIntroduction();

 signals:
  void Status(const QString& text);

 private:
  void ShowHelp(const QPlainTextEdit* text);

  std::vector<QPlainTextEdit*> texts_;  // the introduction first
};

}  // namespace tavorix
