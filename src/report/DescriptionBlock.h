#pragma once
// The block of the results report that describes the chosen distribution in
// words: heading lines, the formula as it applies to the data, and the
// fitted parameters. The layout follows the registry row's form, the words
// are the row's.

#include <iosfwd>

#include "fitting/TavorixRun.h"

namespace tavorix {

// Heading lines (with the value lines of the normal family), an empty line,
// then the formula block with the code's own parameter lines. The report
// writes the general A and B lines after it. CR LF line ends.
void WriteDistributionBlock(std::ostream& out, const TavorixRun& run);

// The two-part block of the simple composites 7-18, which stands after the
// general lines of the report; nothing for any other code.
void WriteCompositeTwoPartBlock(std::ostream& out, const TavorixRun& run);

// True when the data were moved (to the left, or because of negative
// values). The formulas are then printed with the term C = 0.0001 - Shift,
// so that X + C is the value the fit worked on.
bool DataMoved(const TavorixRun& run);

// A value on the run's scale as the report prints it: the input value when
// the data were moved, the value itself otherwise (the two are equal then,
// and this keeps the printed digits exact).
double PrintedX(const TavorixRun& run, long double x);

}  // namespace tavorix
