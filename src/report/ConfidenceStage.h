#pragma once
// The confidence stage of a run: it takes the observed/calculated frequency
// table of the results report, turns every calculated frequency and its 90%
// limits back into X values of the fitted distribution, and writes the table
// " Confidence limits of calculated X-values" with the efficiency
// coefficient R of calculated against observed X.
//
// Units: the report prints X in the user's input units. The observed column,
// the fallbacks, the "X(1) >= 0" rule and R stay in input units; the inverse
// formulas work on the moved scale of the fit and their results are
// converted with + Shift - 0.0001. The frequencies used are the printed,
// rounded ones.

#include <cmath>
#include <iosfwd>
#include <optional>
#include <vector>

#include "fitting/TavorixRun.h"
#include "report/ResultsReport.h"

namespace tavorix {

// The table of a stored report: finds the first line that begins with
// " Obs", skips the four lines below it (rule, two header lines, rule) and
// reads n rows of seven blank-separated numbers; X may be fixed ("12.345") or
// scientific ("3.57E-004"). Throws TavorixError when the table is missing,
// short or malformed.
std::vector<ReportTableRow> ReadReportTable(std::istream& report, int n);

// Observed X range of the table on the moved scale of the fit, the top
// widened by 5% of the range, then put on the scale of the normal code's
// transformed variable (ln for 22 and 23, square root for 24, square for 25,
// power E for 26). Other codes keep the moved scale.
struct XRange {
  double Min = 0, Max = 0;
  double FinestGap = HUGE_VAL;  // between neighbouring distinct data, same scale
};
XRange FindXRange(const TavorixRun& run, const std::vector<ReportTableRow>& rows);

// The stepping inverse of the normal family: the first Y of a fixed grid at
// which the Hastings approximation (five-digit constants) of the normal
// integral with the given mean and sigma exceeds q. The grid is
// 0.001 k Max for k = 1..10000 (10 Max when none qualifies); when Max is not
// positive or Min is negative the written grid holds nothing useful, and the
// grid runs from Min - 5w to Max + 5w (w = Max - Min) in 10000 equal steps
// instead (its top when none qualifies).
//
// The grid and its running maximum of F are built once; each query is a
// binary search that returns exactly the first qualifying grid point. Where
// the step is wider than the finest gap of the data, neighbouring data would
// share one X: the scan then refines within the step it found, to the first
// Y whose F exceeds q to the last bit.
class NormalScanner {
 public:
  NormalScanner(double mean, double sigma, XRange transformedRange);
  double Scan(double q) const;

 private:
  double GridPoint(int k) const;
  double Mean_ = 0, Sigma_ = 1;
  bool Refine_ = false;
  bool Mended_ = false;
  double Start_ = 0, Step_ = 0, Top_ = 0;
  int First_ = 1, Last_ = 10000;
  std::vector<double> RunningMaxF_;  // index k - First_
};

// Calculated X values and their lower and upper 90% limits (input units,
// 1-based), and the efficiency coefficient R.
struct CalculatedX {
  std::vector<double> CalcX, LowerX, UpperX;
  double R = 0;
};

// Inverts every row's Calc, Lower and Upper frequency with the chosen
// distribution's parameters (run.Fitted). Composites take the lower part for
// ranks up to the break count and the upper part above it, and keep each
// X on its part's side of the separation point. A frequency below all that
// the distribution reaches has the lower end of its range as X. Gamma (61)
// is not inverted.
CalculatedX ComputeCalculatedX(const TavorixRun& run, const std::vector<ReportTableRow>& rows);

// Decimals of the X columns: 4 below 1, 3 below 10, 2 below 100, 1 below
// 500, else 0, from the largest value in input units.
int XDecimals(double largestX);

// Writes the confidence table (CR LF): heading, one row per observation with
// the printed corrections (a negative lower limit is 0 when the smallest
// datum is not negative; an upper limit not above the calculated X is 1% of
// its size above it), and R.
void WriteConfidenceTable(std::ostream& out, const TavorixRun& run, const std::vector<ReportTableRow>& rows,
                          const CalculatedX& cx);

// The stage for a report just written: computes the calculated X values
// from the rows of its frequency table as printed (report.Table), for
// WriteConfidenceTable. A run without a chosen distribution (DistCode 0) has
// no table: the result is empty. Throws TavorixError, as ReadReportTable
// does, when a row was printed with a field that is no number.
std::optional<CalculatedX> RunConfidenceStage(const TavorixRun& run, const ReportSummary& report);

}  // namespace tavorix
