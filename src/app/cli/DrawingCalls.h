#pragma once
// The calls of the drawing module: the drawing of graphs for the commands
// that draw (graph, export) is a module of its own, loaded when such a
// command runs, so that the other commands start without loading Qt and the
// libraries it brings. The module and the program are built together; a
// module of another build is refused by its version.

#include <string>

#include "graphs/GraphView.h"

namespace tavorix::cli {

inline constexpr int kDrawingCallsVersion = 2;

struct DrawingCalls {
  int Version;
  // Starts and stops the Qt application object that drawing needs.
  void (*Start)();
  void (*Stop)();
  // Draws the graph and writes it in the format of the file name (`width` x
  // `height` for a bitmap); false with the message in `error` when the file
  // cannot be written.
  bool (*Save)(const GraphView& view, bool colour, bool belt, const std::string& path, int width, int height,
               std::string* error);
  // The graph as an SVG document.
  std::string (*Svg)(const GraphView& view, bool colour, bool belt);
  // The footer line naming the program and its version.
  std::string (*Footer)();
};

}  // namespace tavorix::cli

// The one symbol the module exports.
extern "C" const tavorix::cli::DrawingCalls* tavorix_cli_drawing_calls();
