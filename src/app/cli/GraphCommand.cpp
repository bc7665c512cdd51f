// tavorix-cli graph: draws one of the graphs of a results report and saves
// it as a BMP, PNG, SVG or PDF file (by the file name), without a display.

#include <cstdlib>
#include <iostream>
#include <optional>

#include "Commands.h"
#include "StopSignals.h"
#include "core/RunCancel.h"
#include "core/StringToFloat.h"

#ifdef TAVORIX_WITH_DRAWING
#include "DrawingApp.h"
#include "core/TavorixError.h"
#include "calculator/Bootstrap.h"
#include "graphs/fitted/FittedGraphs.h"
#endif

namespace tavorix::cli {

namespace {

struct GraphOptions {
  std::string Report, Output;
  int Type = 0;
  bool Colour = true;
  bool Belt = true;
  bool LogPeriods = false;
  int Width = 623, Height = 441;
  int Bootstrap = 0;  // replicas of the bootstrap band of graphs 4 and 8; 0 = none
};

// "WxH": a bitmap size of at least the usual 623 x 441 and at most 10000 pixels a side.
void ParseSize(const std::string& text, GraphOptions& g) {
  const auto x = text.find_first_of("xX");
  const auto w = x == std::string::npos ? std::nullopt : ParseFileInteger(text.substr(0, x));
  const auto h = x == std::string::npos ? std::nullopt : ParseFileInteger(text.substr(x + 1));
  if (!w || !h || *w < 623 || *h < 441 || *w > 10000 || *h > 10000)
    throw UsageError("the size is WIDTHxHEIGHT, from 623x441 to 10000x10000 pixels");
  g.Width = *w;
  g.Height = *h;
}

GraphOptions ParseGraphArgs(const Args& args) {
  GraphOptions g;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--type") {
      const auto t = ParseFileInteger(OptionValue(args, i));
      if (!t || *t < 1 || *t > 8) throw UsageError("the graph type is 1 to 8");
      g.Type = *t;
    } else if (a == "-o") {
      g.Output = OptionValue(args, i);
    } else if (a == "--bw") {
      g.Colour = false;
    } else if (a == "--no-belt") {
      g.Belt = false;
    } else if (a == "--log-periods") {
      g.LogPeriods = true;
    } else if (a == "--size") {
      ParseSize(OptionValue(args, i), g);
    } else if (a == "--bootstrap") {
      const auto b = ParseFileInteger(OptionValue(args, i));
      if (!b || *b < 1 || *b > 100000) throw UsageError("--bootstrap needs a number of replicas from 1 to 100000");
      g.Bootstrap = *b;
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError("unknown option " + a);
    } else if (g.Report.empty()) {
      g.Report = a;
    } else {
      throw UsageError("more than one results file given");
    }
  }
  if (g.Report.empty()) throw UsageError("no results file given");
  if (g.Type == 0) throw UsageError("no graph type given (--type 1..8)");
  if (g.Output.empty()) throw UsageError("no image file given (-o FILE.bmp|.png|.svg|.pdf)");
  CheckOutputPath(g.Output, SeriesFiles(g.Report), {".bmp", ".png", ".svg", ".pdf"}, "the image file");
  if (g.Bootstrap > 0 && g.Type != 4 && g.Type != 8)
    throw UsageError("--bootstrap belongs to the return-period graph and the probability paper (--type 4 or 8)");
  if (g.LogPeriods && g.Type != 4) throw UsageError("--log-periods belongs to the return-period graph (--type 4)");
  return g;
}


}  // namespace

int RunGraph(const Args& args) {
  const GraphOptions g = ParseGraphArgs(args);
  // A signal lets the file being written finish (or not start): no temporary file is left.
  const CancelFlag stop = InstallStopSignals();
  RequireNoDirectory(g.Report);
#ifdef TAVORIX_WITH_DRAWING
  const DrawingApp app;

  GraphView view;
  PrepareAnyGraph(g.Report, g.Type, view, g.LogPeriods);
  if (g.Bootstrap > 0) {
    BootstrapOptions options;
    options.Replicas = g.Bootstrap;
    options.Cancel = stop;
    AddBootstrapBand(g.Report, view, options);
  }
  ThrowIfCancelled(stop);
  std::string error;
  if (!app.Calls().Save(view, g.Colour, g.Belt, g.Output, g.Width, g.Height, &error)) throw TavorixError(error);
  std::cout << "The graph was saved in  " << g.Output << "\n";
  return IsCancelled(stop) ? StoppedExitStatus() : kExitOk;
#else
  (void)g;
  std::cerr << "tavorix-cli graph: this build has no drawing (configured without the Qt parts)\n";
  return kExitRefused;
#endif
}

}  // namespace tavorix::cli
