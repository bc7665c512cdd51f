#ifdef TAVORIX_WITH_DRAWING
#include "DrawingApp.h"

#include <QString>
#include <QtGlobal>
#include <cstdlib>
#include <iostream>

namespace tavorix::cli {

namespace {

// Qt's notes go to stderr, except the offscreen platform's remark about a
// missing runtime folder, which says nothing to a user of the command.
void QtMessageToStderr(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (text.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR"))) return;
  std::cerr << text.toStdString() << "\n";
}

}  // namespace

DrawingApp::DrawingApp() {
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (!std::getenv("QT_QPA_PLATFORM") && (!display || !*display) && (!wayland || !*wayland))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QtMessageToStderr);
  app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

DrawingApp::~DrawingApp() = default;

}  // namespace tavorix::cli
#endif
