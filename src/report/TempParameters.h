#pragma once
// The run summary "Temp.tmp" that the run writes after the fitted curve:
// N, the chosen code, Shift and the code's parameters, one value a line.
// Nothing reads it back for the computation (the confidence stage takes its
// parameters from the fitted-distribution record); it keeps its layout.

#include <iosfwd>

#include "core/RunContext.h"

namespace tavorix {

// N right-aligned in 4, the code right-aligned in 3, Shift, then the
// parameter lines: slope A and intercept B for codes below 6 or above 50
// other than 61, 67, 68, 69 and 73 (1.0 and 1.0 for 62 and 63); A alone for
// code 6; mean and standard deviation for 20 to 26; scale and term count for
// 61; E and the divider for 69; none for the other codes. Reals in the
// 23-character scientific form, CR LF line ends.
void WriteTempParameters(std::ostream& out, const TavorixRun& run);

}  // namespace tavorix
