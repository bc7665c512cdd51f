// Drawing on the offscreen platform: a few pixels at positions worked out by
// hand from the axis rules, colours of the two modes, and the saved files.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdint>
#include <string>

#include "core/TavorixError.h"
#include "core/TestUtil.h"
#include "graphs/GraphView.h"
#include "graphs/draw/GraphDrawing.h"
#include "graphs/draw/GraphFile.h"

namespace tavorix {
namespace {

const QColor kAqua(0, 255, 255), kYellow(255, 255, 0), kLime(0, 255, 0);
const QColor kWhite(255, 255, 255), kBlack(0, 0, 0);

std::string Fixture(const std::string& name) { return std::string(TAVORIX_TEST_DATA_DIR) + "/graphs/" + name; }

GraphView Prepared(const std::string& name, int type) {
  GraphView v;
  PrepareGraph(Fixture(name), type, v);
  return v;
}

bool Is(const QImage& img, int x, int y, const QColor& c) { return QColor(img.pixel(x, y)) == c; }

int Count(const QImage& img, const QRect& r, const QColor& c) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += Is(img, x, y, c) ? 1 : 0;
  return n;
}

// A cumulative graph of n points with limits 10 % either side.
GraphView Cumulative(int n) {
  GraphView v;
  v.Type = kGraphCumulative;
  GraphData& d = v.Data;
  d.RowCount = d.N = n;
  for (int i = 1; i <= n; ++i) {
    const long double f = 100.0L * i / (n + 1);
    d.X.push_back(i);
    d.Observed.push_back(f);
    d.Calculated.push_back(f);
    d.Upper.push_back(f + 10 > 99 ? 99 : f + 10);
    d.Lower.push_back(f - 10 < 0.5 ? 0.5 : f - 10);
  }
  v.Axes = ScaleGraph(kGraphCumulative, d);
  v.Captions = MakeCaptions(kGraphCumulative, v.Axes);
  return v;
}

TEST(GraphDrawing, PlotAreaIsDarkBlueInColourAndWhiteInBlackAndWhite) {
  const GraphView v = Prepared("gumbel12.out", kGraphCumulative);
  const QImage colour = DrawGraph(v, {true, true});
  const QImage bw = DrawGraph(v, {false, true});
  ASSERT_EQ(colour.size(), QSize(623, 441));
  EXPECT_TRUE(Is(colour, 600, 300, kDarkBlue));
  EXPECT_TRUE(Is(colour, 21, 20, kDarkBlue));  // the plot area's corners
  EXPECT_TRUE(Is(colour, 604, 419, kDarkBlue));
  EXPECT_TRUE(Is(colour, 605, 300, kSilver));
  EXPECT_TRUE(Is(colour, 5, 5, kSilver));
  EXPECT_TRUE(Is(bw, 600, 300, kWhite));
  EXPECT_TRUE(Is(bw, 5, 5, kSilver));
}

TEST(GraphDrawing, BlackAndWhiteHasNoColourInAnyType) {
  for (int type = 1; type <= 6; ++type) {
    const QImage img = DrawGraph(Prepared("gumbel12.out", type), {false, true});
    int other = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const QColor c(img.pixel(x, y));
        if (c != kBlack && c != kWhite && c != kSilver) ++other;
      }
    EXPECT_EQ(other, 0) << "type " << type;
  }
}

TEST(GraphDrawing, ObservedPointsAreCirclesAtTheirPixels) {
  // Data 14.2..47.3: axis 10..55 and Y 0..120 (300 pixels).
  // 14.2, 7.69 %: x = 70 + round(4.2 * 500 / 45) = 117, y = 350 - round(19.225) = 331.
  // 17.9, 15.38 %: x = 70 + round(87.78) = 158, y = 350 - round(38.45) = 312.
  const GraphView v = Prepared("gumbel12.out", kGraphCumulative);
  ASSERT_EQ(v.Axes.Xlo, 10);
  ASSERT_EQ(v.Axes.Xhi, 55);
  const QImage img = DrawGraph(v, {true, true});
  for (const QPoint p : {QPoint(117, 331), QPoint(158, 312)}) {
    EXPECT_GE(Count(img, QRect(p.x() - 2, p.y() - 2, 5, 5), kAqua), 8) << p.x() << "," << p.y();
    EXPECT_TRUE(Is(img, p.x(), p.y(), kDarkBlue)) << "a circle, not a dot";
    EXPECT_EQ(Count(img, QRect(p.x() + 4, p.y() - 2, 3, 5), kAqua), 0);
  }
}

TEST(GraphDrawing, PointsOfASeriesWiderThanAnIntLieOnThePlot) {
  GraphView v = Cumulative(9);
  const double x[] = {-999999, 1, 2, 3, 4, 5, 5e8, 1e9, 1.95e9};
  for (int i = 0; i < 9; ++i) v.Data.X[i] = x[i];
  v.Axes = ScaleGraph(kGraphCumulative, v.Data);
  for (double d : x) {
    EXPECT_GE(XPixel(v.Axes, d), kPlotLeft) << d;
    EXPECT_LE(XPixel(v.Axes, d), kPlotLeft + 500) << d;
  }
  EXPECT_LT(XPixel(v.Axes, 5), XPixel(v.Axes, 1.95e9));
}

TEST(GraphDrawing, BeltUpTo250DataElseANoteInTheLegend) {
  const QRect everywhere(0, 0, 623, 441), plot(71, 100, 499, 249), legend(195, 80, 250, 15);
  EXPECT_GT(Count(DrawGraph(Cumulative(250), {true, true}), plot, kYellow), 100);
  const QImage many = DrawGraph(Cumulative(251), {true, true});
  EXPECT_EQ(Count(many, plot, kYellow), 0);
  EXPECT_GT(Count(many, legend, kYellow), 20) << "the note on the missing belt";
  // A belt the user hid needs no note.
  EXPECT_EQ(Count(DrawGraph(Cumulative(100), {true, false}), everywhere, kYellow), 0);
}

// The legend's line samples are drawn in the pens of the curves: the
// calculated curve solid, the limits dotted.
TEST(GraphDrawing, LegendLinesHaveThePensOfTheirCurves) {
  const QImage img = DrawGraph(Cumulative(10), {true, true});
  auto longestRun = [&](const QRect& r, const QColor& c) {
    int best = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(), run = 0; x <= r.right(); ++x) {
        run = Is(img, x, y, c) ? run + 1 : 0;
        best = std::max(best, run);
      }
    return best;
  };
  EXPECT_GE(longestRun(QRect(86, 80, 30, 15), kWhite), 20);
  const int dotted = longestRun(QRect(195, 80, 25, 15), kYellow);
  EXPECT_GE(dotted, 1);
  EXPECT_LE(dotted, 3);
}

// The linear return periods say how many observations lie above their axis;
// the logarithmic form shows them all and draws the curve to the last datum.
TEST(GraphDrawing, ReturnPeriodsShowOrCountTheLargestObservations) {
  GraphView linear, log;
  PrepareGraph(Fixture("rows60.out"), kGraphReturnPeriods, linear);
  ASSERT_GT(PointsAboveAxis(linear), 0);
  // The last calculated period (14.5) is above every other row's (at most 12.4).
  PrepareGraph(Fixture("gumbel12.out"), kGraphReturnPeriods, log, true);
  const QRect noteRow(270, 66, 320, 12);  // right of the observed legend, under the title
  EXPECT_GT(Count(DrawGraph(linear, {true, true}), noteRow, kAqua), 20);
  const QImage img = DrawGraph(log, {true, true});
  EXPECT_EQ(Count(img, noteRow, kAqua), 0);
  const GraphData& d = log.Data;
  const int last = d.RowCount - 1;
  const QPoint datum(XPixel(log.Axes, static_cast<double>(d.X[last])),
                     YPixel(log.Axes, static_cast<double>(d.Observed[last])));
  EXPECT_GE(datum.y(), 50);
  EXPECT_GT(Count(img, QRect(datum.x() - 2, datum.y() - 2, 5, 5), kAqua), 0);
  // The curve reaches the last datum: white on the column halfway along its last segment.
  const int x0 = XPixel(log.Axes, static_cast<double>(d.X[last - 1])), x1 = XPixel(log.Axes, static_cast<double>(d.X[last]));
  const int y0 = YPixel(log.Axes, static_cast<double>(d.Calculated[last - 1]));
  const int y1 = YPixel(log.Axes, static_cast<double>(d.Calculated[last]));
  const int mid = (x0 + x1) / 2;
  EXPECT_GT(Count(img, QRect(mid, std::min(y0, y1), 1, std::abs(y1 - y0) + 1), kWhite), 0);
}

// On a screen the graph is drawn at the area's size and the pixel ratio,
// every position of the layout scaled; at its own size and ratio 1 it is the
// bitmap itself.
TEST(GraphDrawing, ScreenDrawingScalesTheLayout) {
  const GraphView v = Prepared("gumbel12.out", kGraphCumulative);
  EXPECT_EQ(GraphSizeForArea(QSize(500, 300)), QSize(623, 441));  // never smaller
  EXPECT_EQ(GraphSizeForArea(QSize(1246, 2000)), QSize(1246, 882));
  EXPECT_EQ(DrawGraphForArea(v, {}, QSize(623, 441), 1.0), DrawGraph(v, {}));
  const QImage sharp = DrawGraphForArea(v, {}, QSize(623, 441), 2.0);
  EXPECT_EQ(sharp.size(), QSize(1246, 882));
  EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
  const QImage plain = DrawGraph(v, {});
  for (const QPoint& p : {QPoint(5, 5), QPoint(300, 410), QPoint(30, 30)})
    EXPECT_EQ(sharp.pixelColor(2 * p.x(), 2 * p.y()), plain.pixelColor(p)) << p.x() << "," << p.y();
}

TEST(GraphDrawing, ZeroPercentClassKeepsABarOfHalfAPercent) {
  GraphView v;
  v.Type = kGraphHistogramObs;
  GraphData& d = v.Data;
  d.RowCount = 5;
  d.N = 10;
  d.X = {0, 10, 20, 30, 40};
  d.ClassEnd = {10, 20, 30, 40, 50};
  d.Observed = {0, 0, 30, 40, 0};  // the bars; class 1 empty
  d.Calculated = {0, 10, 20, 30, 5};
  // Y: 40 * 1.1 = 44, Yhi = 10 * round(5.9) = 60. X: 10..40 on rung 30 (step
  // 4): ends 8 and 4 * round(10.5) = 40; x of 10 = 70 + round(31.25) = 101.
  // Half a percent of 60 is 0.3: y = 350 - round(1.5) = 348.
  v.Axes = ScaleGraph(kGraphHistogramObs, d);
  ASSERT_EQ(v.Axes.Yhi, 60);
  ASSERT_EQ(v.Axes.Xlo, 8);
  ASSERT_EQ(v.Axes.Xhi, 40);
  v.Captions = MakeCaptions(kGraphHistogramObs, v.Axes);
  const QImage img = DrawGraph(v, {true, true});
  EXPECT_TRUE(Is(img, 101, 349, kWhite));
  EXPECT_TRUE(Is(img, 101, 348, kWhite));
  EXPECT_TRUE(Is(img, 101, 347, kDarkBlue));
  EXPECT_TRUE(Is(img, 120, 348, kDarkBlue));  // no top for an empty class
  // The next class (30 %) rises from x = 70 + round(187.5) = 258 to y = 200.
  EXPECT_TRUE(Is(img, 258, 201, kWhite));
  EXPECT_TRUE(Is(img, 300, 200, kWhite));
}

TEST(GraphDrawing, SeparationLineRisesAtPToTheCurve) {
  // P = 25 on the axis 10..55: x = 70 + round(166.67) = 237; the line ends at
  // FcNearP = 69.02 %: y = 350 - round(172.55) = 177.
  const GraphView v = Prepared("composite12.out", kGraphCumulative);
  const QImage colour = DrawGraph(v, {true, true});
  EXPECT_GT(Count(colour, QRect(237, 180, 1, 168), kLime), 50);
  EXPECT_EQ(Count(colour, QRect(237, 100, 1, 75), kLime), 0);
  EXPECT_EQ(Count(colour, QRect(232, 100, 4, 250), kLime), 0);
  const QImage bw = DrawGraph(v, {false, true});
  EXPECT_GT(Count(bw, QRect(237, 180, 1, 168), kBlack), 50);
}

TEST(GraphDrawing, DensityCurveOfNegativeDataRunsOverTheBars) {
  // Axis -46..-12: the data -45.8 .. -12.7 lie at x 73 .. 560. The density
  // peaks near the mode -37.51 (x = 70 + round(124.85) = 195) at 25.9 % of
  // the axis 0..50: y = 350 - round(155.4) = 195.
  const GraphView v = Prepared("negative12.out", kGraphHistogramCalc);
  ASSERT_EQ(v.Axes.Xlo, -46);
  ASSERT_EQ(v.Axes.Xhi, -12);
  ASSERT_EQ(v.Axes.Yhi, 50);
  const QImage img = DrawGraph(v, {true, true});
  int count = 0, top = 1000, topX = 0, left = 1000, right = 0;
  for (int y = 105; y < 350; ++y)
    for (int x = 0; x < 623; ++x)
      if (Is(img, x, y, kAqua)) {
        ++count;
        left = std::min(left, x);
        right = std::max(right, x);
        if (y < top) top = y, topX = x;
      }
  ASSERT_GT(count, 50);
  EXPECT_GE(left, 73);
  EXPECT_LE(right, 560);
  EXPECT_NEAR(top, 195, 4);
  EXPECT_NEAR(topX, 195, 30);
}

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

TEST(GraphFile, BmpIs24Bit623By441AndLoadsBackIdentical) {
  test::TempDir dir;
  const QImage img = DrawGraph(Prepared("gumbel12.out", kGraphHistogramCalc), {true, true});
  const std::string path = dir.File("graph.bmp");
  SaveGraphImage(img, path);
  const std::string bytes = test::ReadFile(path);
  ASSERT_GE(bytes.size(), 54u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(Le(bytes, 18, 4), 623u);
  EXPECT_EQ(Le(bytes, 22, 4), 441u);
  EXPECT_EQ(Le(bytes, 28, 2), 24u);  // bits per pixel
  EXPECT_EQ(Le(bytes, 30, 4), 0u);   // no compression
  // Rows of 623 * 3 bytes padded to 1872.
  EXPECT_EQ(bytes.size(), Le(bytes, 10, 4) + 1872u * 441u);

  const QImage back = LoadGraphImage(path);
  ASSERT_FALSE(back.isNull());
  EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), img.convertToFormat(QImage::Format_RGB32));

  const std::string png = dir.File("graph.png");
  SaveGraphImage(img, png);
  EXPECT_EQ(test::ReadFile(png).substr(1, 3), "PNG");
  EXPECT_EQ(LoadGraphImage(png).convertToFormat(QImage::Format_RGB32), img.convertToFormat(QImage::Format_RGB32));
}

TEST(GraphFile, UnwritableFolderThrowsAndMissingFileLoadsNull) {
  test::TempDir dir;
  const QImage img = DrawGraph(Prepared("gumbel12.out", kGraphCumulative), {true, true});
  EXPECT_THROW(SaveGraphImage(img, dir.File("no-folder/graph.bmp")), TavorixError);
  EXPECT_TRUE(LoadGraphImage(dir.File("none.bmp")).isNull());
}

}  // namespace
}  // namespace tavorix
