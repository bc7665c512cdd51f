#include "graphs/GraphData.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "core/StringToFloat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "fitting/Registry.h"
#include "report/ParameterFile.h"
#include "report/ResultsLoader.h"
#include "report/ResultsSet.h"
#include "core/TextFile.h"
#include "report/ResultsReport.h"

namespace tavorix {

namespace {

// The report's message when it cannot be opened (the pieces are joined
// without separators, double blanks included).
std::string ReportOpenErrorText(const std::string& path) {
  return "The file \"" + path + "\"could not be opened." + " It may be damaged,  not created due to inadequate" +
         " input data,  in use by another program,  or the" + " programmer should incorporate more time.";
}

// Above this a number of data in a report is damage, not data.
constexpr double kLargestGraphCount = 1e9;

bool StartsWith(const std::string& line, std::string_view prefix) {
  return line.compare(0, prefix.size(), prefix) == 0;
}

// The blank-separated numbers of a line; a token that is no number reads as 0.
std::vector<double> NumbersOf(std::string_view line) {
  std::vector<double> out;
  for (std::string_view token : SplitBlanks(line)) out.push_back(ParseFileReal(token).value_or(0.0));
  return out;
}

// The last blank-separated token of a line as a number (0 when it is none).
double LastNumberOf(std::string_view line) {
  line = TrimBlanks(line);
  const auto blank = line.find_last_of(" \t");
  const std::string_view token = blank == std::string_view::npos ? line : line.substr(blank + 1);
  return ParseFileReal(token).value_or(0.0);
}

std::string_view SectionMarker(int type) {
  switch (type) {
    case kGraphHistogramCalc: case kGraphHistogramObs: return " Int";
    case kGraphConfidenceBelt: return " Con";
    case kGraphReturnPeriods: return " Ret";
    default: return " Obs";
  }
}

// Index of the first table row of the type's section, or lines.size(). The
// user's titles may begin like a marker, so the search starts after them.
std::size_t FirstRowOfSection(const LineSet& lines, int type) {
  const std::string_view marker = SectionMarker(type);
  const std::size_t headerLines = type == kGraphConfidenceBelt ? 5 : 4;
  for (std::size_t i = kReportTitleLines; i < lines.size(); ++i)
    if (StartsWith(lines[i], marker)) return std::min(lines.size(), i + 1 + headerLines);
  return lines.size();
}

// Reads the separation point from the description block: the first line
// between the header and the statistics line that begins with " The sepa";
// its number is the last token ("P = 12.345" or "P = : 1.23E+002").
void ReadSeparation(const LineSet& lines, GraphData& d) {
  for (std::size_t i = 7; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (StartsWith(line, " Average X:") || StartsWith(line, " Int") || StartsWith(line, " Obs")) break;
    if (StartsWith(line, " The sepa")) {
      d.P = LastNumberOf(line);
      d.HasSeparation = true;
      return;
    }
  }
}

// Cumulative graph only: fewer than 10 distinct X values, or a gap wider
// than 0.3 of the range, calls for a curve computed at points of the axis.
bool IsSparse(const GraphData& d) {
  if (d.HasSeparation || d.RowCount >= 51 || d.RowCount == 0) return false;
  int distinct = 0;
  long double lo = d.X[0], hi = d.X[0];
  for (int i = 0; i < d.RowCount; ++i) {
    if (i == 0 || d.X[i] != d.X[i - 1]) ++distinct;
    lo = std::min(lo, d.X[i]);
    hi = std::max(hi, d.X[i]);
  }
  if (distinct < 10) return true;
  for (int i = 1; i < d.RowCount; ++i)
    if (d.X[i] - d.X[i - 1] > 0.3L * (hi - lo)) return true;
  return false;
}

void ReadRows(const LineSet& lines, int type, GraphData& d) {
  const std::size_t first = FirstRowOfSection(lines, type);
  std::size_t end = first;
  while (end < lines.size() && !StartsWith(lines[end], " ---")) ++end;
  d.RowCount = static_cast<int>(end - first);
  for (auto* s : {&d.X, &d.Observed, &d.Calculated, &d.Upper, &d.Lower, &d.ClassEnd}) s->assign(d.RowCount, 0.0L);
  for (int r = 0; r < d.RowCount; ++r) {
    std::vector<double> v = NumbersOf(lines[first + r]);
    v.resize(7, 0.0);
    d.X[r] = v[0];
    switch (type) {
      case kGraphHistogramCalc:
      case kGraphHistogramObs:  // lower, upper, observed %, calculated %
        d.ClassEnd[r] = v[1];
        d.Observed[r] = v[2];
        d.Calculated[r] = v[3];
        break;
      case kGraphConfidenceBelt:  // X, serial, calculated X, lower, upper
        d.Calculated[r] = v[2];
        d.Lower[r] = v[3];
        d.Upper[r] = v[4];
        break;
      case kGraphReturnPeriods:  // X, serial, rank, calculated, lower, upper
        d.Observed[r] = v[2];
        d.Calculated[r] = v[3];
        d.Lower[r] = v[4];
        d.Upper[r] = v[5];
        break;
      default:  // X, serial, rank %, calculated %, st.dev, lower, upper
        d.Observed[r] = v[2];
        d.Calculated[r] = v[3];
        d.Lower[r] = v[5];
        d.Upper[r] = v[6];
        break;
    }
  }
  d.XCopy = d.X;

  if (type != kGraphCumulative) return;
  int below = 0;
  if (d.HasSeparation)
    for (int r = 0; r < d.RowCount; ++r)
      if (d.X[r] < d.P) ++below;
  if (d.RowCount > 0) d.FcNearP = static_cast<double>(d.Calculated[std::min(below + 2, d.RowCount - 1)]);
  // The third line after the table ends with the average absolute difference.
  const std::size_t avgLine = end + 2;
  if (avgLine < lines.size()) {
    std::string text = lines[avgLine];
    const auto colon = text.find_last_of(':');
    if (colon != std::string::npos) text.erase(0, colon + 1);
    std::erase(text, '%');
    d.AvAbsDiff = ParseFileReal(TrimBlanks(text)).value_or(0.0);
  }
  d.SparseData = IsSparse(d);
}

// The scale factor that brings a small axis maximum to a readable size.
int FactorFor(double m, double upperOfTen) {
  if (m < 0.01) return 1000;
  if (0.01 < m && m < 0.1) return 100;
  if (0.1 < m && m < upperOfTen) return 10;
  return 1;
}

struct Ladder {
  double Lo = 0, Hi = 1, Step = 1;
  int Decimals = 2;
};

// Rounding with halves to even as RoundHalfEven, in double so that an axis
// end of any accepted series stays exact.
double RoundWhole(double v) {
  double r = std::round(v);
  if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
  return r;
}

// The axis ladder: ends, step and label decimals from the scaled maximum.
Ladder AxisLadder(double lo, double hi) {
  struct Rung {
    double AtLeast;
    double Margin;
    double Step;
    int Decimals;
    bool Plain;  // ends are round(value) -/+ margin, not multiples of the step
  };
  static constexpr Rung kRungs[] = {
      {50000, 5000, 10000, 0, true}, {25000, 2500, 5000, 0, true}, {10000, 1000, 2500, 0, true},
      {5000, 500, 1000, 0, true},    {2500, 250, 500, 0, true},    {1000, 100, 250, 0, true},
      {500, 50, 100, 0, false},      {250, 25, 50, 0, false},      {100, 12.5, 25, 0, false},
      {70, 5, 10, 1, false},         {50, 2.5, 5, 1, false},       {30, 2, 4, 2, false},
      {20, 1.5, 3, 2, false},        {10, 1, 2, 2, false},
  };
  Ladder l;
  for (const Rung& r : kRungs) {
    if (hi < r.AtLeast) continue;
    l.Step = r.Step;
    l.Decimals = r.Decimals;
    if (r.Plain) {
      l.Lo = RoundWhole(lo) - r.Margin;
      l.Hi = RoundWhole(hi) + r.Margin;
    } else {
      l.Lo = r.Step * RoundWhole((lo - r.Margin) / r.Step);
      l.Hi = r.Step * RoundWhole((hi + r.Margin) / r.Step);
    }
    if (!(l.Hi > l.Lo)) l.Hi = l.Lo + l.Step;
    return l;
  }
  l.Lo = RoundWhole(lo - 0.5);
  l.Hi = RoundWhole(hi + 0.5);
  if (!(l.Hi > l.Lo)) l.Hi = l.Lo + 1;
  return l;
}

// Number of axis intervals: the ladder's steps, 4 to 10.
int Intervals(const Ladder& l) {
  const double steps = RoundWhole((l.Hi - l.Lo) / l.Step);
  return steps >= 10 ? 10 : steps > 4 ? static_cast<int>(steps) : 4;
}

}  // namespace

void ReadGraphData(const std::string& reportPath, int type, GraphData& data) {
  const std::optional<std::string> text = TryReadTextFile(reportPath);
  if (!text) throw TavorixError(ReportOpenErrorText(reportPath));
  const LineSet lines = SplitLines(*text);
  if (!IsResultsReport(lines)) throw TavorixError(NotResultsFileText(reportPath));
  CheckResultsFile(WithExtension(reportPath, ".aux"), IsParameterFile);
  CheckResultsSet(reportPath);

  GraphData d;
  ParameterFileContents pf;
  ReadParameterFile(WithExtension(reportPath, ".aux"), pf, 4);
  d.Code = pf.Code;

  auto line = [&](std::size_t i) -> const std::string& {
    static const std::string kEmpty;
    return i < lines.size() ? lines[i] : kEmpty;
  };
  d.Title1 = line(3).empty() ? std::string() : line(3).substr(1);
  d.Title2 = line(4).empty() ? std::string() : line(4).substr(1);
  if (line(6).size() > 21) {
    const std::vector<double> n = NumbersOf(std::string_view(line(6)).substr(21));
    // The number of data is checked before it becomes an integer.
    if (!n.empty() && !(n[0] > -1 && n[0] < kLargestGraphCount)) throw TavorixError(ReportOpenErrorText(reportPath));
    if (!n.empty()) d.N = static_cast<int>(n[0]);
  }
  ReadSeparation(lines, d);
  ReadRows(lines, type, d);
  if (type == kGraphCumulative || type == kGraphPredObserved) d.N = d.RowCount;
  data = std::move(d);
}

namespace {

// Scale factors, axis ladders and intervals from the raw ranges of the
// graph type.
AxisState FinishScale(int type, double xmin, double xmax, double ymin, double ymax, double obsMax) {
  AxisState a;
  // A table without rows still gets a usable axis.
  if (xmin > xmax) xmin = 0, xmax = 1;
  if (ymin > ymax) ymin = 0, ymax = 1;

  const bool xMainlyNegative = xmin < 0 && std::fabs(xmin) > std::fabs(xmax);
  if (!xMainlyNegative && xmin > -0.001) a.XFactor = FactorFor(xmax, 1.1);
  else if (xMainlyNegative && std::fabs(xmin) > 0.001) a.XFactor = FactorFor(std::fabs(xmax), 1.1);
  xmin *= a.XFactor;
  xmax *= a.XFactor;

  const bool yScaled = type == kGraphConfidenceBelt || type == kGraphReturnPeriods || type == kGraphPredObserved ||
                       type == kGraphQuantiles || type == kGraphProbabilityPaper;
  if (yScaled) {
    const bool yMainlyNegative = ymin < 0 && std::fabs(ymin) > std::fabs(ymax);
    if (!yMainlyNegative && ymin > 0) {
      a.YFactor = FactorFor(ymax, 1.0);
    } else if (yMainlyNegative && ymax < 0) {
      if (ymin > -0.01) a.YFactor = 1000;
      else if (-0.1 < ymin && ymin < -0.01) a.YFactor = 100;
      else if (-1 < ymin && ymin < -0.1) a.YFactor = 10;
    }
    ymin *= a.YFactor;
    ymax *= a.YFactor;
  }
  a.RangeXmax = xmax;
  a.RangeYmin = ymin;
  a.RangeYmax = ymax;

  const Ladder lx = AxisLadder(xmin, xmax);
  a.Xlo = lx.Lo;
  a.Xhi = lx.Hi;
  a.Xdec = lx.Decimals;
  a.Xticks = Intervals(lx);

  if (yScaled) {
    const Ladder ly = AxisLadder(ymin, ymax);
    a.Ylo = ly.Lo;
    a.Yhi = ly.Hi;
    a.Ydec = ly.Decimals;
    a.Yticks = Intervals(ly);
  } else if (type == kGraphCumulative) {
    a.Ylo = 0;
    a.Yhi = 120;
    a.Yticks = 12;
    a.Ydec = 0;
  } else {
    a.Ylo = 0;
    a.Yhi = 10 * RoundWhole((obsMax + 15) / 10);
    a.Yticks = std::clamp(static_cast<int>(a.Yhi / 10), 4, 10);
    a.Ydec = 1;
  }
  return a;
}

}  // namespace

AxisState ScaleGraph(int type, GraphData& d) {
  const int rows = d.RowCount;
  double xmin = 10000000, xmax = -1000000, ymin = 10000000, ymax = -1000000;
  double obsMax = 0;
  auto overX = [&](int from, int to) {
    for (int r = from; r < to; ++r) {
      xmin = std::min(xmin, static_cast<double>(d.X[r]));
      xmax = std::max(xmax, static_cast<double>(d.X[r]));
    }
  };

  switch (type) {
    case kGraphCumulative: {
      overX(0, rows);
      const double smallest = xmin;
      xmax = xmax + 0.1 * (xmax - xmin);
      xmin = xmin - 0.1 * (xmax - xmin);
      if (smallest >= 0 && xmin < 0) xmin = 0;
      break;
    }
    case kGraphHistogramCalc:
    case kGraphHistogramObs: {
      overX(1, rows);
      double calcMax = 0;
      obsMax = 0;
      for (int r = 1; r < rows; ++r) {
        obsMax = std::max(obsMax, static_cast<double>(d.Observed[r]));
        calcMax = std::max(calcMax, static_cast<double>(d.Calculated[r]));
      }
      obsMax = std::min(std::max(obsMax, calcMax) * 1.1, 100.0);
      break;
    }
    case kGraphConfidenceBelt:
      overX(0, rows);
      for (int r = 0; r < rows; ++r) {
        ymax = std::max(ymax, static_cast<double>(d.Upper[r]));
        ymin = std::min(ymin, static_cast<double>(d.Lower[r]));
      }
      if (ymax > 0) ymax *= 1.1;
      else if (ymax < 0) ymax *= 0.9;
      break;
    case kGraphReturnPeriods:
      overX(0, rows);
      for (int r = 0; r + 1 < rows; ++r)
        ymax = std::max({ymax, static_cast<double>(d.Calculated[r]), static_cast<double>(d.Upper[r])});
      ymin = 0;
      break;
    case kGraphPredObserved:
      d.X = d.Observed;
      xmin = ymin = 0;
      xmax = ymax = 100;
      break;
    default:
      break;
  }
  return FinishScale(type, xmin, xmax, ymin, ymax, obsMax);
}

AxisState ScaleRanges(int type, double xmin, double xmax, double ymin, double ymax) {
  AxisState a = FinishScale(type, xmin, xmax, ymin, ymax, 0);
  if (type == kGraphQuantiles) {
    a.Ylo = a.Xlo;
    a.Yhi = a.Xhi;
    a.Yticks = a.Xticks;
    a.Ydec = a.Xdec;
    a.YFactor = a.XFactor;
  }
  return a;
}

GraphCaptions MakeCaptions(int type, const AxisState& axes) {
  GraphCaptions c;
  auto scaled = [](int factor, std::string_view plain, std::string_view pad) {
    if (factor == 1) return std::string(plain);
    return std::string(pad) + "X-data * " + std::to_string(factor);
  };
  switch (type) {
    case kGraphCumulative: c.Vertical = "Cumulative frequency (%)"; break;
    case kGraphHistogramCalc: case kGraphHistogramObs: c.Vertical = "Interval frequency (%)"; break;
    case kGraphConfidenceBelt: c.Vertical = scaled(axes.YFactor, "X-data", ""); break;
    case kGraphReturnPeriods: c.Vertical = "Return period"; break;
    case kGraphPredObserved: c.Vertical = "Cumulative frequency calculated (%)"; break;
    case kGraphQuantiles: c.Vertical = scaled(axes.YFactor, "X-data", "") + " observed"; break;
    case kGraphProbabilityPaper: c.Vertical = scaled(axes.YFactor, "X-data", ""); break;
    default: break;
  }
  if (type == kGraphPredObserved) {
    c.Horizontal = "Cumulative frequency observed (%)";
  } else if (type == kGraphQuantiles) {
    c.Horizontal = scaled(axes.XFactor, "X-data", "") + " calculated";
  } else if (type == kGraphProbabilityPaper) {
    c.Horizontal = "Return period (Gumbel scale)";
  } else {
    const char* pad = axes.XFactor == 10 ? "       " : axes.XFactor == 100 ? "      " : "     ";
    c.Horizontal = scaled(axes.XFactor, "         X-Data", pad);
  }
  c.Observed = "  o    observed";
  c.Calculated = "-----  calculated";
  c.Limits = "- - -  90% conf. limit";
  switch (type) {
    case kGraphHistogramCalc:
      c.Observed = "  #    observed";
      c.Calculated = "____calculated";
      break;
    case kGraphHistogramObs:
      c.Observed = " ";
      c.Calculated = "____observed";
      break;
    case kGraphConfidenceBelt:
      c.Observed = "----- observed/calculated";
      break;
    case kGraphPredObserved:
    case kGraphQuantiles:
      c.Observed = "   o   Observed";
      c.Calculated = " - - - Obs = Calc";
      break;
    default:
      break;
  }
  return c;
}

std::string DistributionTitle(int code, std::string_view previous) {
  if (code == 0) return {};
  if (!FindDistribution(code)) return std::string(previous);
  return std::string(TitleName(code));
}

}  // namespace tavorix
