#pragma once
// The results files of one run (".out", ".Lst", ".aux") belong together: the
// parameter file ends with a line that fingerprints the report and the
// ranked list it was written with. A reader that finds files of different
// runs side by side (a run killed between its renames) refuses them instead
// of showing a report with the parameters of another fit.

#include <optional>
#include <string>
#include <string_view>

namespace tavorix {

// Start of the fingerprint line of the parameter file.
inline constexpr std::string_view kResultsSetLabel = " Results set:";

// The fingerprint line for a report and a ranked list (none in a preferred
// run): " Results set: out 0123456789abcdef Lst 0123456789abcdef" (or
// "Lst none"). The fingerprint is of the lines, whatever their line ends.
std::string ResultsSetLine(std::string_view reportText, std::optional<std::string_view> listText);

// "The results files of BASE are from different runs"
std::string MixedResultsText(std::string_view seriesPath);

// Throws TavorixError with MixedResultsText when the parameter file beside
// path (any file of the series) carries a fingerprint line that the report
// or the ranked list beside it does not match. A parameter file without the
// line (an older run) or a missing one passes: their readers decide.
void CheckResultsSet(const std::string& path);

}  // namespace tavorix
