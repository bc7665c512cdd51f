#include "graphs/fitted/FittedGraphs.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "calculator/Bootstrap.h"
#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "graphs/fitted/FittedQuantile.h"
#include "report/ParameterFile.h"

namespace tavorix {

namespace {

// Points of the fitted curve across the probability paper.
constexpr int kPaperCurvePoints = 120;

// Margin of the Gumbel axis beyond its outermost point or label.
constexpr double kPaperMargin = 0.3;

std::string PeriodLabel(double t) { return t < 2 ? FormatFixed(t, 1, 1) : FormatFixed(t, 1, 0); }

void QuantileGraph(const CalcInputs& in, GraphView& v) {
  GraphData& d = v.Data;
  const int n = d.RowCount;
  double lo = 1e300, hi = -1e300;
  std::vector<long double> fitted(n);
  const FittedQuantiles quantiles(in);
  for (int r = 0; r < n; ++r) {
    const FittedX q = quantiles.At((r + 1.0) / (n + 1.0));
    if (!q.X) throw TavorixError(kQuantilesNotAvailable);
    fitted[r] = *q.X;
    lo = std::min({lo, *q.X, static_cast<double>(d.X[r])});
    hi = std::max({hi, *q.X, static_cast<double>(d.X[r])});
  }
  d.Observed = d.X;
  d.X = fitted;
  for (auto* s : {&d.Calculated, &d.Upper, &d.Lower}) s->assign(n, 0.0L);
  // A margin of a tenth of the range on either side, as the cumulative graph has.
  const double margin = n > 0 ? 0.1 * (hi - lo) : 0;
  v.Axes = ScaleRanges(kGraphQuantiles, lo - margin, hi + margin, lo - margin, hi + margin);
}

void PaperGraph(const CalcInputs& in, GraphView& v) {
  GraphData& d = v.Data;
  const int n = d.RowCount;
  double ulo = GumbelVariate(1 - 1 / kPaperPeriods[0]);
  double uhi = GumbelVariate(1 - 1 / kPaperPeriods[std::size(kPaperPeriods) - 1]);
  double xlo = 1e300, xhi = -1e300;
  for (int r = 0; r < n; ++r) {
    const double u = GumbelVariate((r + 1.0) / (n + 1.0));
    ulo = std::min(ulo, u);
    uhi = std::max(uhi, u);
    xlo = std::min(xlo, static_cast<double>(d.X[r]));
    xhi = std::max(xhi, static_cast<double>(d.X[r]));
  }
  ulo -= kPaperMargin;
  uhi += kPaperMargin;

  CurvePoints& c = v.Curve;
  const FittedQuantiles quantiles(in);
  if (quantiles.Available()) {
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    for (int k = 0; k <= kPaperCurvePoints; ++k) {
      const double u = ulo + k * (uhi - ulo) / kPaperCurvePoints;
      const FittedX q = quantiles.At(GumbelFrequency(u));
      c.X.push_back(u);
      c.F.push_back(q.X.value_or(kNone));
      c.Lower.push_back(q.Lower.value_or(kNone));
      c.Upper.push_back(q.Upper.value_or(kNone));
      if (q.X && std::isfinite(*q.X)) {
        xlo = std::min(xlo, *q.X);
        xhi = std::max(xhi, *q.X);
      }
    }
  }
  d.Observed = d.X;
  for (int r = 0; r < n; ++r) d.X[r] = GumbelVariate((r + 1.0) / (n + 1.0));
  for (auto* s : {&d.Calculated, &d.Upper, &d.Lower}) s->assign(n, 0.0L);

  const double margin = 0.05 * (xhi - xlo);
  AxisState a = ScaleRanges(kGraphProbabilityPaper, 0, 1, xlo - margin, xhi + margin);
  a.XFactor = 1;
  a.Xlo = ulo;
  a.Xhi = uhi;
  a.Xdec = 2;
  v.Axes = a;
  for (double t : kPaperPeriods) v.XMarks.push_back({GumbelVariate(1 - 1 / t), PeriodLabel(t)});
}

}  // namespace

double GumbelVariate(double f) { return -std::log(-std::log(f)); }
double GumbelFrequency(double u) { return std::exp(-std::exp(-u)); }

CalcInputs FittedInputsOf(const std::string& reportPath, const GraphData& rows) {
  CalcInputs in;
  in.Param = ReadParam(WithExtension(reportPath, ".aux"));
  const std::string inp = WithExtension(reportPath, ".inp");
  std::error_code ec;
  if (std::filesystem::is_regular_file(inp, ec)) {
    in.Data = ReadCalcData(inp);
  } else {
    in.Data.N = rows.RowCount;
    for (int r = 0; r < rows.RowCount; ++r) in.Data.Values.push_back(static_cast<double>(rows.X[r]));
  }
  return in;
}

void PrepareFittedGraph(const std::string& reportPath, int type, GraphView& view) {
  GraphView v;
  ReadGraphData(reportPath, kGraphCumulative, v.Data);
  v.Data.SparseData = false;
  v.Type = type;
  v.DistTitle = DistributionTitle(v.Data.Code, view.DistTitle);
  const CalcInputs in = FittedInputsOf(reportPath, v.Data);
  if (type == kGraphQuantiles) QuantileGraph(in, v);
  else PaperGraph(in, v);
  v.Captions = MakeCaptions(type, v.Axes);
  view = std::move(v);
}

void AddBootstrapBand(const std::string& reportPath, GraphView& view, const BootstrapOptions& options) {
  if (view.Type != kGraphReturnPeriods && view.Type != kGraphProbabilityPaper) return;
  // Where each period stands across the graph: the row (graph 4) or the
  // curve point (graph 8) it belongs to.
  std::vector<double> periods, across;
  auto take = [&](double t, double at) {
    if (std::isfinite(t) && t > 1.000001 && t < 100000.0) {
      periods.push_back(t);
      across.push_back(at);
    }
  };
  if (view.Type == kGraphReturnPeriods) {
    for (int r = 0; r < view.Data.RowCount && r < static_cast<int>(view.Data.Calculated.size()); ++r) {
      const double y = static_cast<double>(view.Data.Calculated[r]);
      take(view.LogPeriods ? std::pow(10.0, y) : y, y);
    }
  } else {
    for (const double u : view.Curve.X) take(1 / (1 - GumbelFrequency(u)), u);
  }
  BootstrapBand band;
  if (!periods.empty()) {
    BootstrapOptions o = options;
    o.Periods = periods;
    const BootstrapResult boot = RunBootstrap(LoadBootstrapSeries(reportPath, o.Cancel), o);
    for (std::size_t k = 0; k < boot.Rows.size() && k < across.size(); ++k) {
      const BootstrapRow& row = boot.Rows[k];
      // Graph 4 has X across and the period up; graph 8 the variate across and X up.
      if (view.Type == kGraphReturnPeriods) {
        band.Lower.emplace_back(row.Lower, across[k]);
        band.Upper.emplace_back(row.Upper, across[k]);
      } else {
        band.Lower.emplace_back(across[k], row.Lower);
        band.Upper.emplace_back(across[k], row.Upper);
      }
    }
    band.Legend = "- - - " + FormatGeneral(100 * boot.Level) + "% bootstrap interval of X (" +
                  std::to_string(boot.Replicas) + " replicas" + (boot.Marked() ? ", fewer than 90% fitted" : "") + ")";
  }
  view.Band = std::move(band);
}

void PrepareAnyGraph(const std::string& reportPath, int type, GraphView& view, bool logPeriods) {
  if (type == kGraphQuantiles || type == kGraphProbabilityPaper) PrepareFittedGraph(reportPath, type, view);
  else PrepareGraph(reportPath, type, view, logPeriods);
}

std::vector<HtmlGraph> ReportPageGraphs(const std::string& reportPath,
                                        const std::function<std::string(const GraphView&)>& toSvg) {
  const std::pair<int, const char*> kGraphs[] = {{kGraphCumulative, "Cumulative distribution"},
                                                 {kGraphConfidenceBelt, "Confidence belt of X"},
                                                 {kGraphReturnPeriods, "Return periods"},
                                                 {kGraphQuantiles, "Quantiles observed-calculated (Q-Q)"}};
  std::vector<HtmlGraph> graphs;
  for (const auto& [type, caption] : kGraphs) {
    GraphView view;
    try {
      PrepareAnyGraph(reportPath, type, view);
    } catch (const TavorixError&) {
      if (type == kGraphQuantiles) continue;
      throw;
    }
    graphs.push_back({caption, toSvg(view)});
  }
  return graphs;
}

}  // namespace tavorix
