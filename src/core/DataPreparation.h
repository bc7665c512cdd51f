#pragma once
// First stage of a run: reads the series back from the input file, ranks it,
// gives every rank its plotting position and moves the values onto a
// positive range.

#include <istream>
#include <string>
#include <vector>

#include "core/RunContext.h"
#include "core/UDMTavorix.h"

namespace tavorix {

inline constexpr std::string_view kLeftMoveNotice =
    "The first values are high. The distribution will be  temporarily shifted to the left.";

// The sums of the fits hold data below this magnitude, and data that differ
// by at least kSmallestDataRange (identical data are no variation instead).
inline constexpr double kLargestDataMagnitude = 1e100;
inline constexpr double kSmallestDataRange = 1e-100;
inline constexpr std::string_view kDataTooLargeText =
    "Values of 1E+100 or more are too large for the analysis: its sums would overflow. Input is invalid.";
inline constexpr std::string_view kDataRangeTooSmallText =
    "The data differ by less than 1E-100, too little for the sums of the analysis. Input is invalid.";

// Reads dm.FileName and fills run.N, X, Fr, SerialOfRank, Threshold, Shift,
// Shifted and the report titles; sets dm.NrOfData and dm.RankedValues (the
// ranked values before any move). The left-move notice goes to run.Notices.
// Throws TavorixError when the file cannot be opened or holds an invalid
// data line, a value at or below the threshold, or data beyond the limits
// above.
void PrepareData(PreparedRun& run, TDMTavorix& dm);

// The same from a stream; path only names the file in messages.
void PrepareData(PreparedRun& run, TDMTavorix& dm, std::istream& in, const std::string& path);

// The part of PrepareData after the file is read, on values in input order
// (with their serial numbers; 1, 2, 3 … when none are given): ranks them
// stably (a zero becomes 0.001), gives each rank R/(N+1) and moves them
// onto a positive range. The ranked values before any move go to
// rankedValues (1-based) when given. Throws TavorixError for values it
// refuses, as PrepareData does.
void PrepareValues(PreparedRun& run, const std::vector<double>& values, const std::vector<int>& serials = {},
                   std::vector<long double>* rankedValues = nullptr);

}  // namespace tavorix
