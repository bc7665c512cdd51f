#include "graphs/draw/GraphFile.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QSvgGenerator>
#include <cctype>
#include <ostream>

#include "core/TextEscape.h"
#include "core/AtomicFile.h"
#include "core/TavorixError.h"

namespace tavorix {

namespace {

std::string LowerExtension(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

void WriteBytes(const QByteArray& bytes, const std::string& path) {
  WriteFileAtomically(path, [&](std::ostream& out) { out.write(bytes.constData(), bytes.size()); });
}

// The title of a vector file: the first title line of the graph, or the
// distribution's title when that is empty.
QString DocumentTitle(const GraphView& view) {
  return QString::fromStdString(view.Data.Title1.empty() ? view.DistTitle : view.Data.Title1);
}

}  // namespace

GraphFormat GraphFormatOf(const std::string& path) {
  const std::string ext = LowerExtension(path);
  if (ext == ".png") return GraphFormat::Png;
  if (ext == ".svg") return GraphFormat::Svg;
  if (ext == ".pdf") return GraphFormat::Pdf;
  return GraphFormat::Bmp;
}

void SaveGraphImage(const QImage& image, const std::string& path) {
  const bool png = GraphFormatOf(path) == GraphFormat::Png;
  // Three bytes a pixel: the BMP writer then stores 24 bits per pixel.
  const QImage pixels = image.convertToFormat(QImage::Format_RGB888);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!pixels.save(&buffer, png ? "PNG" : "BMP")) throw TavorixError(FileOpenErrorText(path));
  WriteBytes(bytes, path);
}

QByteArray GraphSvg(const GraphView& view, const DrawOptions& options) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(kGraphWidth, kGraphHeight));
  svg.setViewBox(QRect(0, 0, kGraphWidth, kGraphHeight));
  svg.setResolution(96);
  // The generator writes its title and description into the document as
  // they are (unlike its text elements): they are escaped here, so that a
  // title of the data can be neither markup nor break the XML.
  svg.setTitle(QString::fromStdString(XmlEscape(DocumentTitle(view).toStdString())));
  svg.setDescription(QString::fromStdString(XmlEscape(view.DistTitle)));
  {
    QPainter painter(&svg);
    PaintGraph(painter, view, options, true);
  }
  return bytes;
}

QByteArray GraphPdf(const GraphView& view, const DrawOptions& options) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setResolution(96);
    // 623 x 441 pixels at 96 dots per inch, in points.
    pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(kGraphWidth * 0.75, kGraphHeight * 0.75), QPageSize::Point),
                                  QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    pdf.setTitle(DocumentTitle(view));
    pdf.setCreator(QString::fromStdString(GraphFooter()));
    QPainter painter(&pdf);
    PaintGraph(painter, view, options, true);
  }
  return bytes;
}

void SaveGraph(const GraphView& view, const DrawOptions& options, const std::string& path, const QSize& bitmapSize) {
  switch (GraphFormatOf(path)) {
    case GraphFormat::Svg: WriteBytes(GraphSvg(view, options), path); break;
    case GraphFormat::Pdf: WriteBytes(GraphPdf(view, options), path); break;
    default: SaveGraphImage(DrawGraph(view, options, bitmapSize), path); break;
  }
}

QImage LoadGraphImage(const std::string& path) {
  QImage image;
  if (!image.load(QString::fromStdString(path))) return QImage();
  return image;
}

}  // namespace tavorix
