#pragma once
// The fit-all engine: fits every distribution in a fixed order (or only the
// preferred one), keeps the ranked list, and chooses the best distribution.

#include <iosfwd>
#include <string>
#include <vector>

#include "fitting/TavorixRun.h"

namespace tavorix {

// The first line of the ranked list, by which its readers know it.
inline constexpr const char* kRankedListFirstLine =
    " List of AVERAGES of absolute values of the differences between";

// Fits and ranks. Stops at once with run.NoVariation set when the raw data
// have no spread. In best of all the ranked list is kept in run.RankedList
// (and written beside the input by the caller); the choice and the hand-over
// of the parameters land in run.Fitted. A preference runs that fit alone.
void FitAllDistributions(TavorixRun& run);

// The best-of-all choice over the slots (normal family, singles, then the
// admitted composites when CompositeOn).
void ChooseBestDistribution(TavorixRun& run);

// Hands the result of a fit over into run.Fitted (DistCode, the
// parameters and the values that the report reads).
void TakeFit(TavorixRun& run, int code);

// The ranked list file: seven header lines (line 6 names the file itself)
// and three lines per entry, CR LF line ends.
void WriteRankedList(std::ostream& out, const std::string& fileName, const std::vector<RankedEntry>& entries);

// The entries in ascending order of their averages as the list prints them
// (four decimals), equal printed averages in their order. The averages are
// the printed values.
std::vector<RankedEntry> SortedByPrintedAverage(std::vector<RankedEntry> entries);

// " Average = " line of a ranked-list entry.
std::string AverageLine(double average);

// Composite admission: at least the row's fewest lower data (6; code 70:
// 5) in the lower part and fewer than N - 5. False for other codes.
bool CompositeAdmitted(int code, int m, int n);

}  // namespace tavorix
