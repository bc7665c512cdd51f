#include "graphs/draw/GraphDrawing.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "core/NumberFormat.h"

namespace tavorix {

namespace {

constexpr int kPlotWidth = 500;
constexpr int kPlotHeight = 300;

// Pixel coordinates stay within a range QPainter handles exactly.
int ClampPixel(long long p) { return static_cast<int>(std::clamp(p, -100000LL, 100000LL)); }

// Font sizes are points at 96 dots per inch, as pixel sizes. The bitmap of
// the window has crisp text; a smooth drawing (vector files, large bitmaps)
// lets the device smooth it.
QFont ArialFont(int points, bool smooth) {
  QFont f;
  f.setFamilies(QStringList{"Arial", "Liberation Sans"});
  f.setPixelSize((points * 96 + 36) / 72);
  f.setStyleStrategy(smooth ? QFont::PreferAntialias : QFont::NoAntialias);
  return f;
}

struct Palette {
  QColor Plot, Axes, Observed, Limits, Separation, Band;
};

Palette PaletteFor(bool colour) {
  if (!colour) return {Qt::white, Qt::black, Qt::black, Qt::black, Qt::black, Qt::black};
  return {kDarkBlue, Qt::white, QColor(0, 255, 255), QColor(255, 255, 0), QColor(0, 255, 0), QColor(255, 0, 255)};
}

class Drawer {
 public:
  Drawer(QPainter& painter, const GraphView& view, const DrawOptions& options, bool smooth)
      : p_(painter), v_(view), a_(view.Axes), o_(options), c_(PaletteFor(options.Colour)), smooth_(smooth) {
    p_.setRenderHint(QPainter::Antialiasing, smooth);
    p_.setRenderHint(QPainter::TextAntialiasing, smooth);
  }

  void Draw() {
    Frame();
    Texts();
    Legends();
    Series();
    Axes();
  }

 private:
  QFont Font(int points) const { return ArialFont(points, smooth_); }
  int X(double v) const { return XPixel(a_, v); }
  int Y(double w) const { return YPixel(a_, w); }

  // Text with its top-left corner at (x, y).
  void Text(int x, int y, const std::string& s, const QColor& colour) {
    p_.setPen(colour);
    const QFontMetrics fm(p_.font());
    p_.drawText(x, y + fm.ascent(), QString::fromStdString(s));
  }

  void Pen(const QColor& colour, Qt::PenStyle style) {
    QPen pen(colour);
    pen.setWidth(1);
    pen.setStyle(style);
    p_.setPen(pen);
  }

  void Line(int x1, int y1, int x2, int y2) { p_.drawLine(x1, y1, x2, y2); }

  void Circle(double vx, double vy) {
    const int x = X(vx), y = Y(vy);
    Pen(c_.Observed, Qt::SolidLine);
    p_.setBrush(c_.Plot);
    p_.drawEllipse(QRect(x - 2, y - 2, 4, 4));
    p_.setBrush(Qt::NoBrush);
  }

  void Frame() {
    p_.fillRect(0, 0, kGraphWidth, kGraphHeight, kSilver);
    p_.setFont(Font(12));
    Text(45, 2, v_.Data.Title1, Qt::black);
    p_.setFont(Font(10));
    Text(20, 425, GraphFooter(), Qt::black);
    p_.fillRect(QRect(QPoint(20, 19), QPoint(604, 419)), c_.Plot);
  }

  void Texts() {
    const int type = v_.Type;
    Text(45, 22, v_.Data.Title2, c_.Axes);
    const bool wideCaption = type == kGraphPredObserved || type == kGraphHistogramObs || type == kGraphProbabilityPaper;
    Text(wideCaption ? 400 : 470, 375, v_.Captions.Horizontal, c_.Axes);
    Text(82, 50, v_.Captions.Vertical, c_.Axes);
    // The long vertical caption of the predicted-observed graph takes the
    // row of the title, which moves up a row.
    const bool titleHigh = (type == kGraphCumulative && v_.Data.HasSeparation) || type == kGraphPredObserved;
    Text(270, titleHigh ? 35 : 50, v_.DistTitle, c_.Axes);
  }

  // The number of points joined by the lines of a cumulative graph.
  int CumulativePoints() const {
    return v_.Data.SparseData ? static_cast<int>(v_.Curve.X.size()) : v_.Data.RowCount;
  }

  // Whether the graph has few enough data for a confidence belt.
  bool BeltPossible() const {
    switch (v_.Type) {
      case kGraphCumulative: return CumulativePoints() <= kMaxBeltData;
      case kGraphReturnPeriods: return v_.Data.RowCount <= kMaxBeltData;
      case kGraphConfidenceBelt: return v_.Data.N <= kMaxBeltData;
      case kGraphProbabilityPaper: return !v_.Curve.X.empty();  // the limits come from the fitted curve
      default: return false;
    }
  }

  bool BeltDrawn() const { return o_.Belt && BeltPossible(); }

  // The limit legend, or the note that the graph has too many data for a
  // belt.
  void LimitLegend(int x, int y) {
    if (BeltDrawn())
      Legend(x, y, v_.Captions.Limits, c_.Limits, Qt::DotLine);
    else if (!BeltPossible())
      Text(x, y, kBeltLimitNote, c_.Limits);
  }

  // A legend whose leading dashes stand for a line: the line is drawn in
  // the pen it has on the graph, then the words follow where the text puts
  // them.
  void Legend(int x, int y, const std::string& s, const QColor& colour, Qt::PenStyle style) {
    const std::size_t words = s.find_first_not_of("- ");
    const std::string sample = s.substr(0, words == std::string::npos ? s.size() : words);
    const std::size_t dashes = sample.find_first_of('-');
    if (dashes == std::string::npos) return Text(x, y, s, colour);
    const QFontMetrics fm(p_.font());
    const int from = x + fm.horizontalAdvance(QString::fromStdString(sample.substr(0, dashes)));
    const std::size_t last = sample.find_last_of('-');
    const int to = x + fm.horizontalAdvance(QString::fromStdString(sample.substr(0, last + 1))) - 1;
    const int mid = y + fm.ascent() - fm.xHeight() / 2;
    Pen(colour, style);
    Line(from, mid, to, mid);
    if (words != std::string::npos)
      Text(x + fm.horizontalAdvance(QString::fromStdString(sample)), y, s.substr(words), colour);
  }

  void Legends() {
    const GraphCaptions& cap = v_.Captions;
    switch (v_.Type) {
      case kGraphCumulative:
        if (v_.Data.HasSeparation)
          Text(270, 50,
               o_.Colour ? "The separation line is shown as - - - -" : "The separation line is shown vertically",
               c_.Separation);
        Text(86, 65, cap.Observed, c_.Observed);
        Legend(86, 80, cap.Calculated, c_.Axes, Qt::SolidLine);
        LimitLegend(195, 80);
        break;
      case kGraphHistogramCalc:
      case kGraphHistogramObs:
        Text(86, 65, cap.Observed, c_.Axes);
        Text(86, 80, cap.Calculated, c_.Axes);
        Text(270, v_.Type == kGraphHistogramCalc ? 85 : 70, "- - - - - density function calculated", c_.Observed);
        break;
      case kGraphConfidenceBelt:
        Legend(86, 65, cap.Observed, c_.Axes, Qt::SolidLine);
        LimitLegend(86, 80);
        break;
      case kGraphReturnPeriods:
      case kGraphProbabilityPaper:
        Text(86, 65, cap.Observed, c_.Observed);
        // The linear axis ends below the largest observations: the graph says how many.
        if (const std::string note = PointsAboveAxisNote(PointsAboveAxis(v_)); !note.empty())
          Text(270, 65, note, c_.Observed);
        // A distribution without X from a frequency has no curve on the probability paper.
        if (v_.Type == kGraphProbabilityPaper && v_.Curve.X.empty()) break;
        Legend(86, 80, cap.Calculated, c_.Axes, Qt::SolidLine);
        LimitLegend(86, 95);
        if (!v_.Band.Empty()) Legend(86, 110, v_.Band.Legend, c_.Band, Qt::DashDotLine);
        break;
      case kGraphPredObserved:
      case kGraphQuantiles:
        Text(86, 70, cap.Observed, c_.Observed);
        Legend(86, 85, cap.Calculated, c_.Axes, Qt::DashLine);
        break;
      default:
        break;
    }
  }

  void Series() {
    switch (v_.Type) {
      case kGraphCumulative: Cumulative(); break;
      case kGraphReturnPeriods: ReturnPeriods(); break;
      case kGraphHistogramCalc: case kGraphHistogramObs: Histogram(); break;
      case kGraphConfidenceBelt: ConfidenceBelt(); break;
      case kGraphPredObserved: PredictedObserved(); break;
      case kGraphQuantiles: Quantiles(); break;
      case kGraphProbabilityPaper: ProbabilityPaper(); break;
      default: break;
    }
  }

  void ObservedCircles() {
    const GraphData& d = v_.Data;
    for (int r = 0; r < d.RowCount; ++r) Circle(static_cast<double>(d.X[r]), static_cast<double>(d.Observed[r]));
  }

  void Cumulative() {
    const GraphData& d = v_.Data;
    ObservedCircles();
    std::vector<double> x, calc, upper, lower;
    if (d.SparseData) {
      x = v_.Curve.X, calc = v_.Curve.F, upper = v_.Curve.Upper, lower = v_.Curve.Lower;
    } else {
      for (int r = 0; r < d.RowCount; ++r) {
        x.push_back(static_cast<double>(d.X[r]));
        calc.push_back(static_cast<double>(d.Calculated[r]));
        upper.push_back(static_cast<double>(d.Upper[r]));
        lower.push_back(static_cast<double>(d.Lower[r]));
      }
    }
    const std::size_t n = x.size();
    Pen(c_.Axes, Qt::SolidLine);
    for (std::size_t i = 0; i + 1 < n; ++i) Line(X(x[i]), Y(calc[i]), X(x[i + 1]), Y(calc[i + 1]));
    if (BeltDrawn()) {
      Pen(c_.Limits, Qt::DotLine);
      // The Y axis of this graph is fixed; its ends bound the lower line.
      for (std::size_t i = 0; i + 1 < n; ++i) {
        const bool inside = lower[i + 1] <= a_.Yhi && x[i + 1] * a_.XFactor <= a_.Xhi && lower[i + 1] > 0;
        if (inside) Line(X(x[i]), Y(lower[i]), X(x[i + 1]), Y(lower[i + 1]));
        Line(X(x[i]), Y(upper[i]), X(x[i + 1]), Y(upper[i + 1]));
      }
    }
    if (d.HasSeparation) {
      Pen(c_.Separation, o_.Colour ? Qt::DotLine : Qt::DashLine);
      Line(X(d.P), kPlotBottom, X(d.P), Y(d.FcNearP));
    }
  }

  void ReturnPeriods() {
    const GraphData& d = v_.Data;
    ObservedCircles();
    // Segments end inside the data ranges; the last return periods grow
    // without bound and would leave the plot.
    auto inRange = [&](int r, long double value) {
      const double y = static_cast<double>(value) * a_.YFactor;
      return y > a_.RangeYmin && y <= a_.RangeYmax && static_cast<double>(d.X[r]) * a_.XFactor <= a_.RangeXmax;
    };
    auto segment = [&](const std::vector<long double>& s, int r) {
      Line(X(static_cast<double>(d.X[r])), Y(static_cast<double>(s[r])), X(static_cast<double>(d.X[r + 1])),
           Y(static_cast<double>(s[r + 1])));
    };
    Pen(c_.Axes, Qt::SolidLine);
    for (int r = 0; r + 1 < d.RowCount; ++r)
      if (inRange(r + 1, d.Calculated[r + 1])) segment(d.Calculated, r);
    BandLines();
    if (!BeltDrawn()) return;
    Pen(c_.Limits, Qt::DotLine);
    for (int r = 0; r + 1 < d.RowCount; ++r) {
      const double low = static_cast<double>(d.Lower[r + 1]);
      if (low * a_.YFactor <= a_.RangeYmax && static_cast<double>(d.X[r + 1]) * a_.XFactor <= a_.RangeXmax && low > 0)
        segment(d.Lower, r);
      if (inRange(r + 1, d.Upper[r + 1])) segment(d.Upper, r);
    }
  }

  void Histogram() {
    const GraphData& d = v_.Data;
    // Type 2 draws the calculated frequencies as bars and marks the observed
    // ones, type 6 draws the observed ones as bars.
    const std::vector<long double>& bars = v_.Type == kGraphHistogramObs ? d.Observed : d.Calculated;
    Pen(c_.Axes, Qt::SolidLine);
    for (int r = 1; r <= d.RowCount - 2; ++r) {
      const double bar = static_cast<double>(bars[r]);
      const double height = std::max(bar, 0.005 * a_.Yhi);
      const int xl = X(static_cast<double>(d.X[r])), xr = X(static_cast<double>(d.ClassEnd[r])), yt = Y(height);
      if (bar >= 0) Line(xl, kPlotBottom, xl, yt);
      if (bar > 0) {
        Line(xl, yt, xr, yt);
        Line(xr, yt, xr, kPlotBottom);
      }
    }
    if (v_.Type == kGraphHistogramCalc) {
      for (int r = 1; r <= d.RowCount - 2; ++r) {
        const double mid = static_cast<double>(d.X[r] + d.ClassEnd[r]) / 2;
        Text(X(mid) - 2, Y(static_cast<double>(d.Observed[r])) - 7, "#", c_.Axes);
      }
    }
    const DensityCurve& dc = v_.Density;
    if (!dc.Valid) return;
    for (int i = 1; i <= 19; ++i) {
      const double b0 = dc.Bound[i - 1], b1 = dc.Bound[i];
      const bool straddles = d.HasSeparation && (b0 < d.P) != (b1 < d.P);
      Pen(c_.Observed, straddles ? Qt::DotLine : Qt::DashLine);
      Line(X(b0), Y(dc.Density[i]), X(b1), Y(dc.Density[i + 1]));
    }
  }

  void ConfidenceBelt() {
    const GraphData& d = v_.Data;
    auto lineOf = [&](const std::vector<long double>& s) {
      for (int r = 0; r + 1 < d.RowCount; ++r)
        Line(X(static_cast<double>(d.X[r])), Y(static_cast<double>(s[r])), X(static_cast<double>(d.X[r + 1])),
             Y(static_cast<double>(s[r + 1])));
    };
    Pen(c_.Axes, Qt::SolidLine);
    lineOf(d.Calculated);
    if (!BeltDrawn()) return;
    Pen(c_.Limits, Qt::DotLine);
    lineOf(d.Lower);
    lineOf(d.Upper);
  }

  void PredictedObserved() {
    const GraphData& d = v_.Data;
    for (int r = 0; r < d.RowCount; ++r) Circle(static_cast<double>(d.X[r]), static_cast<double>(d.Calculated[r]));
    if (d.RowCount < 1) return;
    // The line of equality, from the first observed frequency to the last.
    const double first = static_cast<double>(d.X[0]), last = static_cast<double>(d.X[d.RowCount - 1]);
    Pen(c_.Axes, Qt::DashLine);
    Line(X(first), Y(first), X(last), Y(last));
  }

  // Observed against calculated X, with the 1:1 line from corner to corner
  // (both axes are the same).
  void Quantiles() {
    const GraphData& d = v_.Data;
    for (int r = 0; r < d.RowCount; ++r) Circle(static_cast<double>(d.X[r]), static_cast<double>(d.Observed[r]));
    Pen(c_.Axes, Qt::DashLine);
    Line(kPlotLeft, kPlotBottom, kPlotLeft + kPlotWidth, kPlotBottom - kPlotHeight);
  }

  // Observed X at their plotting positions on the Gumbel scale, the fitted
  // curve and its 90% limits. A segment is drawn only when both ends lie on
  // the plot: the limits of the far return periods leave it.
  void ProbabilityPaper() {
    const GraphData& d = v_.Data;
    for (int r = 0; r < d.RowCount; ++r) Circle(static_cast<double>(d.X[r]), static_cast<double>(d.Observed[r]));
    const CurvePoints& c = v_.Curve;
    auto onPlot = [&](double w) { return std::isfinite(w) && Y(w) >= kPlotBottom - kPlotHeight && Y(w) <= kPlotBottom; };
    auto lineOf = [&](const std::vector<double>& s) {
      for (std::size_t i = 0; i + 1 < c.X.size(); ++i)
        if (onPlot(s[i]) && onPlot(s[i + 1])) Line(X(c.X[i]), Y(s[i]), X(c.X[i + 1]), Y(s[i + 1]));
    };
    Pen(c_.Axes, Qt::SolidLine);
    lineOf(c.F);
    BandLines();
    if (!BeltDrawn()) return;
    Pen(c_.Limits, Qt::DotLine);
    lineOf(c.Lower);
    lineOf(c.Upper);
  }

  // The bootstrap interval of X: its two lines, each segment drawn where
  // both ends lie on the plot.
  void BandLines() {
    auto onPlot = [&](const std::pair<double, double>& p) {
      if (!std::isfinite(p.first) || !std::isfinite(p.second)) return false;
      const int x = X(p.first), y = Y(p.second);
      return x >= kPlotLeft && x <= kPlotLeft + kPlotWidth && y >= kPlotBottom - kPlotHeight && y <= kPlotBottom;
    };
    Pen(c_.Band, Qt::DashDotLine);
    for (const auto* line : {&v_.Band.Lower, &v_.Band.Upper})
      for (std::size_t i = 0; i + 1 < line->size(); ++i)
        if (onPlot((*line)[i]) && onPlot((*line)[i + 1]))
          Line(X((*line)[i].first), Y((*line)[i].second), X((*line)[i + 1].first), Y((*line)[i + 1].second));
  }

  // Label in fixed notation, at least decimals + 2 characters wide.
  static std::string Label(double v, int decimals) { return FormatFixed(v, decimals + 2, decimals); }

  void Axes() {
    p_.setFont(Font(8));
    const QFontMetrics fm(p_.font());
    Pen(c_.Axes, Qt::SolidLine);
    Line(kPlotLeft, kPlotBottom, kPlotLeft, kPlotBottom - kPlotHeight);
    for (const AxisMark& m : v_.YMarks) {
      const int y = Y(m.At);
      Line(kPlotLeft, y, kPlotLeft - 4, y);
      const QString s = QString::fromStdString(m.Label);
      Text(kPlotLeft - 6 - fm.horizontalAdvance(s), y - fm.height() / 2, m.Label, c_.Axes);
      Pen(c_.Axes, Qt::SolidLine);
    }
    const int ty = v_.YMarks.empty() ? a_.Yticks : -1;
    for (int k = ty >= 11 ? ty - 10 : 0; k <= ty; ++k) {
      const int y = static_cast<int>(RoundHalfEven(static_cast<double>(k) / ty * kPlotHeight + 50));
      Pen(c_.Axes, Qt::SolidLine);
      Line(kPlotLeft, y, kPlotLeft - 4, y);
      const QString s =
          QString::fromStdString(Label(a_.Yhi - static_cast<double>(k) / ty * (a_.Yhi - a_.Ylo), a_.Ydec));
      Text(kPlotLeft - 6 - fm.horizontalAdvance(s), y - fm.height() / 2, s.toStdString(), c_.Axes);
    }
    Pen(c_.Axes, Qt::SolidLine);
    Line(kPlotLeft, kPlotBottom, kPlotLeft + kPlotWidth, kPlotBottom);
    for (const AxisMark& m : v_.XMarks) {
      const int x = X(m.At);
      Line(x, kPlotBottom, x, kPlotBottom + 4);
      const QString s = QString::fromStdString(m.Label);
      Text(x - fm.horizontalAdvance(s) / 2, 362, m.Label, c_.Axes);
      Pen(c_.Axes, Qt::SolidLine);
    }
    const int tx = v_.XMarks.empty() ? a_.Xticks : -1;
    for (int k = 0; k <= tx; ++k) {
      const double at = static_cast<double>(k) / tx * kPlotWidth;
      const int x = static_cast<int>(RoundHalfEven(at + 70));
      Pen(c_.Axes, Qt::SolidLine);
      Line(x, kPlotBottom, x, kPlotBottom + 4);
      Text(static_cast<int>(RoundHalfEven(at + 62)), 362,
           Label(a_.Xlo + static_cast<double>(k) * (a_.Xhi - a_.Xlo) / tx, a_.Xdec), c_.Axes);
    }
  }

  QPainter& p_;
  const GraphView& v_;
  const AxisState& a_;
  DrawOptions o_;
  Palette c_;
  bool smooth_;
};

}  // namespace

std::string GraphFooter() { return std::string("Tavorix ") + TAVORIX_VERSION; }

int XPixel(const AxisState& a, double v) {
  const double span = a.Xhi - a.Xlo;
  if (span == 0) return kPlotLeft;
  return ClampPixel(kPlotLeft + RoundHalfEven((a.XFactor * v - a.Xlo) * kPlotWidth / span));
}

int YPixel(const AxisState& a, double w) {
  const double span = a.Yhi - a.Ylo;
  if (span == 0) return kPlotBottom;
  return ClampPixel(kPlotBottom - RoundHalfEven((a.YFactor * w - a.Ylo) * kPlotHeight / span));
}

void PaintGraph(QPainter& painter, const GraphView& view, const DrawOptions& options, bool smooth) {
  Drawer drawer(painter, view, options, smooth);
  drawer.Draw();
}

QImage DrawGraph(const GraphView& view, const DrawOptions& options) {
  QImage image(kGraphWidth, kGraphHeight, QImage::Format_RGB32);
  image.setDotsPerMeterX(3780);  // 96 dots per inch
  image.setDotsPerMeterY(3780);
  {
    QPainter painter(&image);
    PaintGraph(painter, view, options, false);
  }
  return image;
}

QImage DrawGraph(const GraphView& view, const DrawOptions& options, const QSize& size) {
  if (size == QSize(kGraphWidth, kGraphHeight)) return DrawGraph(view, options);
  QImage image(size, QImage::Format_RGB32);
  // Dots per inch grow with the size, so the picture prints as large as the bitmap of the window.
  const int dpm = static_cast<int>(std::lround(3780.0 * size.width() / kGraphWidth));
  image.setDotsPerMeterX(dpm);
  image.setDotsPerMeterY(dpm);
  image.fill(kSilver);
  {
    QPainter painter(&image);
    painter.scale(static_cast<double>(size.width()) / kGraphWidth, static_cast<double>(size.height()) / kGraphHeight);
    PaintGraph(painter, view, options, true);
  }
  return image;
}

QSize GraphSizeForArea(const QSize& area) {
  const double scale = std::max(1.0, std::min(static_cast<double>(area.width()) / kGraphWidth,
                                               static_cast<double>(area.height()) / kGraphHeight));
  return {static_cast<int>(std::lround(kGraphWidth * scale)), static_cast<int>(std::lround(kGraphHeight * scale))};
}

QImage DrawGraphForArea(const GraphView& view, const DrawOptions& options, const QSize& area, double dpr) {
  const QSize logical = GraphSizeForArea(area);
  if (!(dpr > 0)) dpr = 1;
  QImage image = DrawGraph(view, options,
                           QSize(static_cast<int>(std::lround(logical.width() * dpr)),
                                 static_cast<int>(std::lround(logical.height() * dpr))));
  image.setDevicePixelRatio(dpr);
  return image;
}

}  // namespace tavorix
