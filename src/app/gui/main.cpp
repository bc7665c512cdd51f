// tavorix: the desktop program. Takes an optional ".inp" or ".out" file to
// open at start.

#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <exception>

#include "ui/TavorixWindows.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"

namespace {

// An error that escapes a window's handler is shown and the program goes
// on: only the finish window ends it.
class TTavorixApplication : public QApplication {
 public:
  using QApplication::QApplication;
  tavorix::TQtDialogs* Dialogs = nullptr;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      if (Dialogs) Dialogs->ShowMessage(e.what());
    } catch (...) {
      if (Dialogs) Dialogs->ShowMessage("An unexpected error occurred.");
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  TTavorixApplication app(argc, argv);
  QApplication::setApplicationName("tavorix");
  QApplication::setOrganizationName("tavorix");
  QGuiApplication::setDesktopFileName("tavorix");
  QApplication::setWindowIcon(QIcon::fromTheme("tavorix"));
  // The main window ends only through the finish window.
  QApplication::setQuitOnLastWindowClosed(false);

  // The application title is the caption of the program's message boxes.
  tavorix::TQtDialogs dialogs;
  dialogs.SetCaption(tavorix::kApplicationTitle);
  app.Dialogs = &dialogs;
  tavorix::TTavorixWindows windows = tavorix::CreateTavorixWindows(dialogs);
  dialogs.SetParent(windows.Main.get());
  windows.Main->show();

  const QStringList args = QApplication::arguments();
  if (args.size() > 1) windows.Main->OpenFileFromCommandLine(args.at(1).toStdString());
  return QApplication::exec();
}
