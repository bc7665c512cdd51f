// The drawing module of tavorix-cli: the Qt application object and the
// drawing and saving of graphs, behind the calls of DrawingCalls.h.

#include <QByteArray>
#include <QGuiApplication>
#include <QSize>
#include <QString>
#include <QtGlobal>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "DrawingCalls.h"
#include "core/TavorixError.h"
#include "graphs/draw/GraphDrawing.h"
#include "graphs/draw/GraphFile.h"

namespace tavorix::cli {

namespace {

// Qt's notes go to stderr, except the offscreen platform's remark about a
// missing runtime folder, which says nothing to a user of the command.
void QtMessageToStderr(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (text.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR"))) return;
  std::cerr << text.toStdString() << "\n";
}

int gArgc = 1;
char gName[] = "tavorix-cli";
char* gArgv[] = {gName, nullptr};
std::unique_ptr<QGuiApplication> gApp;

// Without a display the offscreen platform serves.
void Start() {
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (!std::getenv("QT_QPA_PLATFORM") && (!display || !*display) && (!wayland || !*wayland))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QtMessageToStderr);
  gApp = std::make_unique<QGuiApplication>(gArgc, gArgv);
}

void Stop() { gApp.reset(); }

bool Save(const GraphView& view, bool colour, bool belt, const std::string& path, int width, int height,
          std::string* error) {
  try {
    SaveGraph(view, DrawOptions{colour, belt}, path, QSize(width, height));
    return true;
  } catch (const TavorixError& e) {
    *error = e.what();
    return false;
  }
}

std::string Svg(const GraphView& view, bool colour, bool belt) {
  const QByteArray svg = GraphSvg(view, DrawOptions{colour, belt});
  return std::string(svg.constData(), static_cast<std::size_t>(svg.size()));
}

std::string Footer() { return GraphFooter(); }

const DrawingCalls kCalls{kDrawingCallsVersion, Start, Stop, Save, Svg, Footer};

}  // namespace

}  // namespace tavorix::cli

extern "C" __attribute__((visibility("default"))) const tavorix::cli::DrawingCalls* tavorix_cli_drawing_calls() {
  return &tavorix::cli::kCalls;
}
