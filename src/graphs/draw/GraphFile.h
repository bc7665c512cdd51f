#pragma once
// Saving a drawn graph and loading a saved one. A graph saves as a bitmap
// (BMP, PNG) or in vector form (SVG, PDF); every format is drawn by the same
// drawing routine, so all have the same layout.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <string>

#include "graphs/draw/GraphDrawing.h"

namespace tavorix {

enum class GraphFormat { Bmp, Png, Svg, Pdf };

// The format of a file name by its extension (any case): ".png", ".svg" and
// ".pdf"; every other name is a BMP file.
GraphFormat GraphFormatOf(const std::string& path);

// Writes the graph as a 24-bit BMP file, or as PNG when the name ends in
// ".png", atomically (a failure leaves any earlier file as it was). Throws
// TavorixError when the file cannot be written.
void SaveGraphImage(const QImage& image, const std::string& path);

// The graph as an SVG document and as a one-page PDF document, both in the
// 623 x 441 layout of the bitmap (the PDF page is 623 x 441 pixels at 96 dots
// per inch).
QByteArray GraphSvg(const GraphView& view, const DrawOptions& options);
QByteArray GraphPdf(const GraphView& view, const DrawOptions& options);

// Draws the graph and writes it in the format of the file name, atomically.
// `bitmapSize` is the size of a BMP or PNG file (the vector formats have the
// usual layout). Throws TavorixError when the file cannot be written.
void SaveGraph(const GraphView& view, const DrawOptions& options, const std::string& path,
               const QSize& bitmapSize = QSize(kGraphWidth, kGraphHeight));

// Loads a saved graph; a null image when the file cannot be read as one.
QImage LoadGraphImage(const std::string& path);

}  // namespace tavorix
