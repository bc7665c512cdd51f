// tavorix-cli graph: draws one of the graphs of a results report and saves
// it as a BMP, PNG, SVG or PDF file (by the file name), without a display.

#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <utility>

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
  std::pair<int, int> Size = {623, 441};  // pixels of a bitmap
  int Bootstrap = 0;  // replicas of the bootstrap band of graphs 4 and 8; 0 = none
};

// "WxH": a bitmap size of at least the usual 623 x 441 and at most 10000 pixels a side.
std::pair<int, int> ReadSize(const std::string& text) {
  const auto x = text.find_first_of("xX");
  const auto w = x == std::string::npos ? std::nullopt : ParseFileInteger(text.substr(0, x));
  const auto h = x == std::string::npos ? std::nullopt : ParseFileInteger(text.substr(x + 1));
  if (!w || !h || *w < 623 || *h < 441 || *w > 10000 || *h > 10000)
    throw CLI::ValidationError("the size is WIDTHxHEIGHT, from 623x441 to 10000x10000 pixels, not " + text);
  return {*w, *h};
}

int ReadType(const std::string& text) {
  const auto t = ParseFileInteger(text);
  if (!t || *t < 1 || *t > 8) throw CLI::ValidationError("the graph type is 1 to 8, not " + text);
  return *t;
}

int RunGraph(const GraphOptions& g) {
  CheckOutputPath(g.Output, SeriesFiles(g.Report), {".bmp", ".png", ".svg", ".pdf"}, "the image file");
  if (g.Bootstrap > 0 && g.Type != 4 && g.Type != 8)
    throw UsageError("--bootstrap belongs to the return-period graph and the probability paper (--type 4 or 8)");
  if (g.LogPeriods && g.Type != 4) throw UsageError("--log-periods belongs to the return-period graph (--type 4)");
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
  if (!app.Calls().Save(view, g.Colour, g.Belt, g.Output, g.Size.first, g.Size.second, &error)) throw TavorixError(error);
  std::cout << "The graph was saved in  " << g.Output << "\n";
  return IsCancelled(stop) ? StoppedExitStatus() : kExitOk;
#else
  (void)g;
  std::cerr << "tavorix-cli graph: this build has no drawing (configured without the Qt parts)\n";
  return kExitRefused;
#endif
}

}  // namespace

CommandRun DefineGraph(CLI::App& app) {
  auto g = std::make_shared<GraphOptions>();
  app.add_option("FILE.out", g->Report, "the results report of a run")->required();
  AddReadOption(app, "--type", g->Type, ReadType,
                "1 cumulative distribution, 2 histogram calculated, 3 confidence belt of X, 4 return periods, "
                "5 predicted-observed, 6 histogram observed, 7 Q-Q, 8 probability paper")
      ->type_name("1..8")
      ->required();
  app.add_flag_callback("--bw", [g] { g->Colour = false; }, "black and white");
  app.add_flag_callback("--no-belt", [g] { g->Belt = false; }, "without the confidence belt");
  app.add_flag("--log-periods", g->LogPeriods, "graph 4 on a logarithmic axis of return periods");
  AddReadOption(app, "--size", g->Size, ReadSize, "a larger BMP or PNG, from 623x441 to 10000x10000 pixels")
      ->type_name("WxH");
  app.add_option("-o", g->Output, "the image file: BMP, PNG, SVG or PDF by its extension")
      ->type_name("FILE")
      ->required();
  AddCountOption(app, "--bootstrap", g->Bootstrap,
                 "graphs 4 and 8: draw the bootstrap interval of X from B replicas")
      ->type_name("B");
  return [g] { return RunGraph(*g); };
}

}  // namespace tavorix::cli
