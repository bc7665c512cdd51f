#pragma once
// First stage of a run: reads the series back from the input file, ranks it,
// gives every rank its plotting position and moves the values onto a
// positive range.

#include <istream>
#include <string>

#include "core/RunContext.h"
#include "core/UDMTavorix.h"

namespace tavorix {

inline constexpr std::string_view kLeftMoveNotice =
    "The first values are high. The distribution will be  temporarily shifted to the left.";

// Reads dm.FileName and fills run.N, X, Fr, SerialOfRank, Threshold, Shift,
// Shifted and the report titles; sets dm.NrOfData and dm.RankedValues (the
// ranked values before any move). The left-move notice goes to run.Notices.
// Throws TavorixError when the file cannot be opened or holds an invalid
// data line or a value at or below the threshold.
void PrepareData(TavorixRun& run, TDMTavorix& dm);

// The same from a stream; path only names the file in messages.
void PrepareData(TavorixRun& run, TDMTavorix& dm, std::istream& in, const std::string& path);

}  // namespace tavorix
