#pragma once
// The five help texts of the Intro page.

namespace tavorix {

extern const char* const kIntroHelpText;         // "Introduction"
extern const char* const kDistributionsHelpText; // "Distributions"
extern const char* const kCompositionHelpText;   // "Composition"
extern const char* const kConfidenceHelpText;    // "Confidence"
extern const char* const kIntervalsHelpText;     // "Intervals/histogram"

}  // namespace tavorix
