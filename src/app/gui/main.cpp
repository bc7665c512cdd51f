// tavorix: the desktop program. Takes an optional ".inp" or ".out" file to
// open at start.

#include <QApplication>
#include <QStringList>

#include "ui/TavorixWindows.h"
#include "ui/UDialogs.h"
#include "ui/UMainForm.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("tavorix");
  QApplication::setApplicationDisplayName(tavorix::kApplicationTitle);
  // The main window ends only through the finish window.
  QApplication::setQuitOnLastWindowClosed(false);

  tavorix::TQtDialogs dialogs;
  tavorix::TTavorixWindows windows = tavorix::CreateTavorixWindows(dialogs);
  dialogs.SetParent(windows.MainForm.get());
  windows.MainForm->show();

  const QStringList args = QApplication::arguments();
  if (args.size() > 1) windows.MainForm->OpenFileFromCommandLine(args.at(1).toStdString());
  return QApplication::exec();
}
