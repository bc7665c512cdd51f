// The vector files and the large bitmap of a graph: the same drawing on
// other devices.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <string>

#include "core/TestUtil.h"
#include "graphs/GraphView.h"
#include "graphs/draw/GraphDrawing.h"
#include "graphs/draw/GraphFile.h"

namespace tavorix {
namespace {

GraphView Prepared(int type) {
  GraphView v;
  PrepareGraph(std::string(TAVORIX_TEST_DATA_DIR) + "/graphs/gumbel12.out", type, v);
  return v;
}

TEST(GraphExport, SvgIsXmlWithAPointPerDatumAndTheCurve) {
  const QByteArray svg = GraphSvg(Prepared(kGraphCumulative), {true, true});
  QXmlStreamReader xml(svg);
  int circles = 0, lines = 0;
  QStringList texts;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"circle") ++circles;
    if (xml.name() == u"polyline") ++lines;
    if (xml.name() == u"text") texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(circles, 12);
  // 11 segments of the curve, 2 x 11 of the limits, the axes and their ticks.
  EXPECT_GE(lines, 11 + 22 + 2);
  EXPECT_TRUE(texts.contains("Gumbel distribution"));
}

TEST(GraphExport, PdfHasOnePage) {
  const QByteArray pdf = GraphPdf(Prepared(kGraphReturnPeriods), {false, true});
  ASSERT_TRUE(pdf.startsWith("%PDF"));
  EXPECT_EQ(QString::fromLatin1(pdf).count(QRegularExpression("/Type\\s*/Page\\b(?!s)")), 1);
}

TEST(GraphExport, FileFormatFollowsTheNameAndALargeBitmapKeepsTheLayout) {
  test::TempDir dir;
  const GraphView v = Prepared(kGraphCumulative);
  SaveGraph(v, {true, true}, dir.File("g.SVG"));
  SaveGraph(v, {true, true}, dir.File("g.pdf"));
  SaveGraph(v, {true, true}, dir.File("g.png"), QSize(1246, 882));
  EXPECT_EQ(test::ReadFile(dir.File("g.SVG")).substr(0, 5), "<?xml");
  EXPECT_EQ(test::ReadFile(dir.File("g.pdf")).substr(0, 4), "%PDF");
  const QImage big = LoadGraphImage(dir.File("g.png"));
  ASSERT_EQ(big.size(), QSize(1246, 882));
  // The plot area and the frame at twice their places; the observed point of
  // 14.2 (pixel 117, 331 of the usual bitmap) at twice its place.
  EXPECT_EQ(QColor(big.pixel(1200, 600)), kDarkBlue);
  EXPECT_EQ(QColor(big.pixel(1225, 600)), kSilver);
  int aqua = 0;
  for (int y = 2 * 331 - 5; y <= 2 * 331 + 5; ++y)
    for (int x = 2 * 117 - 5; x <= 2 * 117 + 5; ++x) aqua += QColor(big.pixel(x, y)).cyan() > 200 ? 1 : 0;
  EXPECT_GT(aqua, 8);
}

}  // namespace
}  // namespace tavorix
