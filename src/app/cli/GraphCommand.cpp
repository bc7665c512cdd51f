// tavorix-cli graph: draws one of the six graphs of a results report and
// saves it as a BMP (or PNG) file, without a display.

#include <cstdlib>
#include <iostream>

#include "Commands.h"
#include "core/StringToFloat.h"

#ifdef TAVORIX_WITH_DRAWING
#include <QGuiApplication>
#include <QtGlobal>

#include "graphs/GraphView.h"
#include "graphs/draw/GraphDrawing.h"
#include "graphs/draw/GraphFile.h"
#endif

namespace tavorix::cli {

namespace {

struct GraphOptions {
  std::string Report, Output;
  int Type = 0;
  bool Colour = true;
  bool Belt = true;
};

GraphOptions ParseGraphArgs(const Args& args) {
  GraphOptions g;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--type") {
      const auto t = ParseFileInteger(OptionValue(args, i));
      if (!t || *t < 1 || *t > 6) throw UsageError("the graph type is 1 to 6");
      g.Type = *t;
    } else if (a == "-o") {
      g.Output = OptionValue(args, i);
    } else if (a == "--bw") {
      g.Colour = false;
    } else if (a == "--no-belt") {
      g.Belt = false;
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError("unknown option " + a);
    } else if (g.Report.empty()) {
      g.Report = a;
    } else {
      throw UsageError("more than one results file given");
    }
  }
  if (g.Report.empty()) throw UsageError("no results file given");
  if (g.Type == 0) throw UsageError("no graph type given (--type 1..6)");
  if (g.Output.empty()) throw UsageError("no image file given (-o FILE.bmp)");
  return g;
}

#ifdef TAVORIX_WITH_DRAWING
// Qt's notes go to stderr, except the offscreen platform's remark about a
// missing runtime folder, which says nothing to a user of the command.
void QtMessageToStderr(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (text.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR"))) return;
  std::cerr << text.toStdString() << "\n";
}
#endif

}  // namespace

int RunGraph(const Args& args) {
  const GraphOptions g = ParseGraphArgs(args);
  RequireNoDirectory(g.Report);
#ifdef TAVORIX_WITH_DRAWING
  // Drawing needs a Qt platform; without a display the offscreen one serves.
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (!std::getenv("QT_QPA_PLATFORM") && (!display || !*display) && (!wayland || !*wayland))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int argc = 1;
  char name[] = "tavorix-cli";
  char* argv[] = {name, nullptr};
  qInstallMessageHandler(QtMessageToStderr);
  QGuiApplication app(argc, argv);

  GraphView view;
  PrepareGraph(g.Report, g.Type, view);
  const QImage image = DrawGraph(view, DrawOptions{g.Colour, g.Belt});
  SaveGraphImage(image, g.Output);
  std::cout << "The graph was saved in  " << g.Output << "\n";
  return kExitOk;
#else
  (void)g;
  std::cerr << "tavorix-cli graph: this build has no drawing (configured without the Qt parts)\n";
  return kExitRefused;
#endif
}

}  // namespace tavorix::cli
