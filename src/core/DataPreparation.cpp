#include "core/DataPreparation.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <numeric>

#include "core/TavorixError.h"
#include "core/TextFile.h"
#include "core/TextLines.h"

namespace tavorix {
namespace {

constexpr long double kZeroReplacement = 0.001L;
constexpr long double kSmallestMoved = 0.0001L;
constexpr double kNeutralShift = 0.0001;
constexpr double kMinimumSearchStart = 1000000.0;
constexpr double kThreshold = -1000000.0;
constexpr std::size_t kReportTitleLength = 72;

// Line 4 or 5 without its first character, at most 72 characters.
std::string ReportTitle(const LineSet& lines, std::size_t index) {
  if (index >= lines.size() || lines[index].empty()) return {};
  return std::string(Utf8Prefix(std::string_view(lines[index]).substr(1), kReportTitleLength));
}


// A value not above the threshold would leave a rank unfilled; one beyond
// the magnitude the sums hold would overflow them.
void CheckValue(double value) {
  if (!(value > kThreshold)) throw TavorixError(ValueTooLowText(value));
  if (!(std::fabs(value) < kLargestDataMagnitude)) throw TavorixError(std::string(kDataTooLargeText));
}

}  // namespace

void PrepareData(PreparedRun& run, TDMTavorix& dm) {
  std::istringstream in(ReadTextFile(dm.FileName));
  PrepareData(run, dm, in, dm.FileName);
}

void PrepareData(PreparedRun& run, TDMTavorix& dm, std::istream& in, const std::string& path) {
  const LineSet lines = ReadLines(in);
  run.Shifted = false;
  run.ReportTitle1 = ReportTitle(lines, 3);
  run.ReportTitle2 = ReportTitle(lines, 4);

  // Header search from line 10 on: the data start two lines below " Serial    Variable".
  std::size_t header = 9;
  while (header < lines.size() && lines[header].compare(0, 6, " Seria") != 0) ++header;
  if (header >= lines.size()) throw TavorixError(InvalidRealsErrorText(path));
  // Every data line counts; empty lines among them are no data.
  std::vector<std::size_t> dataLines;
  for (std::size_t i = std::min(header + 2, lines.size()); i < lines.size(); ++i)
    if (!TrimBlanks(lines[i]).empty()) dataLines.push_back(i);
  const int n = static_cast<int>(dataLines.size());
  dm.NrOfData = n;

  // Each line is read and its value checked in turn, so that the first line
  // at fault is the one named.
  std::vector<double> values(static_cast<std::size_t>(n));
  std::vector<int> serials(static_cast<std::size_t>(n));
  for (std::size_t k = 0; k < values.size(); ++k) {
    const std::string& line = lines[dataLines[k]];
    if (!ParseDataLine(line, serials[k], values[k]))
      throw TavorixError(InvalidRealsErrorText(path) + "\n" + DataLineDetail(dataLines[k] + 1, line));
    CheckValue(values[k]);
  }
  PrepareValues(run, values, serials, &dm.RankedValues);
}

void PrepareValues(PreparedRun& run, const std::vector<double>& values, const std::vector<int>& serials,
                   std::vector<long double>* rankedValues) {
  const int n = static_cast<int>(values.size());
  run.Shifted = false;
  run.X.assign(static_cast<std::size_t>(n) + 1, 0.0L);
  run.Fr.assign(static_cast<std::size_t>(n) + 1, 0.0L);
  run.SerialOfRank.assign(static_cast<std::size_t>(n) + 1, 0);
  run.Threshold = kThreshold;

  double lowest = 0, highest = 0;
  for (int k = 1; k <= n; ++k) {
    const double value = values[static_cast<std::size_t>(k) - 1];
    CheckValue(value);
    run.SerialOfRank[k] = serials.empty() ? k : serials[static_cast<std::size_t>(k) - 1];
    run.X[k] = value == 0.0 ? kZeroReplacement : static_cast<long double>(value);
    const double used = static_cast<double>(run.X[k]);
    lowest = k == 1 ? used : std::min(lowest, used);
    highest = k == 1 ? used : std::max(highest, used);
  }
  if (highest > lowest && highest - lowest < kSmallestDataRange)
    throw TavorixError(std::string(kDataRangeTooSmallText));

  // Stable ranking: equal values keep their input order.
  std::vector<int> order(static_cast<std::size_t>(n));
  std::iota(order.begin(), order.end(), 1);
  std::stable_sort(order.begin(), order.end(), [&run](int a, int b) { return run.X[a] < run.X[b]; });
  const std::vector<long double> x(run.X);
  const std::vector<int> inputSerials(run.SerialOfRank);
  for (int r = 1; r <= n; ++r) {
    run.X[r] = x[order[r - 1]];
    run.SerialOfRank[r] = inputSerials[order[r - 1]];
  }

  if (rankedValues) rankedValues->assign(static_cast<std::size_t>(n) + 1, 0.0L);
  run.Shift = kMinimumSearchStart;
  for (int r = 1; r <= n; ++r) {
    run.Fr[r] = static_cast<long double>(r) / static_cast<long double>(n + 1);
    if (rankedValues) (*rankedValues)[r] = run.X[r];
    if (run.X[r] < run.Shift) run.Shift = static_cast<double>(run.X[r]);
  }

  if (run.Shift > 0) run.Shift = kNeutralShift;
  if (run.Shift < 0)
    for (int r = 1; r <= n; ++r) run.X[r] = run.X[r] - run.Shift + kSmallestMoved;

  // All values positive and the largest below 0.0004: move them left. Shift
  // keeps the move plus 0.0001 so that X + Shift - 0.0001 is the input value,
  // as after the other moves.
  if (n >= 1 && run.X[n] * 0.25L < run.Shift) {
    run.Shifted = true;
    run.Notices.emplace_back(kLeftMoveNotice);
    const long double move = 0.75L * run.X[1];
    for (int r = 1; r <= n; ++r) run.X[r] -= move;
    run.Shift = static_cast<double>(move + kSmallestMoved);
  }

  run.N = n;
}

}  // namespace tavorix
