#pragma once
// Drawing of a graph on a 623 x 441 bitmap: silver background, a plot area
// dark blue (colour) or white (black and white), titles, captions, legends,
// the series of the graph type and the axes.

#include <QColor>
#include <QImage>
#include <QSize>
#include <string>

#include "graphs/GraphView.h"

class QPainter;

namespace tavorix {

inline constexpr int kGraphWidth = 623;
inline constexpr int kGraphHeight = 441;

// Origin of the plot frame; the X axis runs 500 pixels right, the Y axis 300 up.
inline constexpr int kPlotLeft = 70;
inline constexpr int kPlotBottom = 350;

// The footer line naming the program: "Tavorix" and its version.
std::string GraphFooter();

// Written where the limit legend stands when a graph has too many data for
// its confidence belt.
inline constexpr const char* kBeltLimitNote = "90% belt shown for up to 250 data";
// The most data whose graphs get a confidence belt.
inline constexpr int kMaxBeltData = 250;

struct DrawOptions {
  bool Colour = true;  // cleared: black on white
  bool Belt = true;    // confidence lines (drawn only below the point limits)
};

// Fixed colours of the drawing.
inline const QColor kSilver{192, 192, 192};
inline const QColor kDarkBlue{0, 0, 139};

// Pixel column of value v on the X axis and row of value w on the Y axis.
int XPixel(const AxisState& axes, double v);
int YPixel(const AxisState& axes, double w);

// The one drawing of a graph, on any device, in the coordinates of the
// 623 x 441 bitmap (a painter scaled to another size draws the same layout).
// `smooth` turns on the device's smoothing of lines and text; the bitmap of
// the window is drawn without.
void PaintGraph(QPainter& painter, const GraphView& view, const DrawOptions& options, bool smooth);

// The graph on a 623 x 441 bitmap.
QImage DrawGraph(const GraphView& view, const DrawOptions& options);
// The same layout on a bitmap of another size (smoothed); the usual size
// gives the bitmap above.
QImage DrawGraph(const GraphView& view, const DrawOptions& options, const QSize& size);

// The size in logical pixels at which the graph fills `area`: the 623 x 441
// layout scaled with its aspect kept, never below its own size.
QSize GraphSizeForArea(const QSize& area);
// The graph for a screen: drawn at GraphSizeForArea(area) times the device
// pixel ratio, that ratio set on the image. At a ratio of 1 and the layout's
// own size it is the bitmap of DrawGraph.
QImage DrawGraphForArea(const GraphView& view, const DrawOptions& options, const QSize& area, double dpr);

}  // namespace tavorix
