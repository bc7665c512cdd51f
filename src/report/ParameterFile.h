#pragma once
// The parameter file (".aux") that a run leaves beside its results: the
// chosen distribution's code and parameters, and the run's Shift. The
// calculator and the graphs read it back; this is its one definition.

#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fitting/TavorixRun.h"

namespace tavorix {

inline constexpr const char* kParameterFileHeader = " Parameters for internal use, do not remove.";

// Writes the file: header line, code, the code's parameter lines (each real
// in the 23-character scientific form), Shift last. CR LF line ends.
void WriteParameterFile(std::ostream& out, const FittedDistribution& fd, double shift);

struct ParameterFileContents {
  int Code = 0;
  FittedDistribution Fit;  // parameters as the fit holds them (moved scale)
  double Shift = 0;
};

// Largest distribution code a parameter file may hold.
inline constexpr int kLargestParameterFileCode = 999;

// Reads a parameter file. The first line is the header when its first
// `headerChars` characters equal the header's (" Para" for 5, " Par" for 4);
// otherwise it is the code itself. Missing or unreadable numbers read as 0.
// A code outside 0..kLargestParameterFileCode, or a Gamma term count outside
// 0..kGammaMaxTerms, is no file a run writes: it throws
// TavorixError with the damaged-file message naming `path`.
ParameterFileContents ReadParameterFile(std::istream& in, int headerChars = 5, std::string_view path = {});

// False (and code 0) when the file does not exist or cannot be opened;
// throws as above when it is damaged.
bool ReadParameterFile(const std::string& path, ParameterFileContents& out, int headerChars = 5);

// The parameters of the chosen distribution by name, in the order of its
// parameter lines ("A", "B", "E", "C", "K", "Location", "Scale", ...), on the
// moved scale except the separation point "P", which is in X units.
std::vector<std::pair<std::string, double>> NamedParameters(const FittedDistribution& fd, double shift);

// The path of the same base name with another extension (".aux", ".out", ".Lst").
std::string WithExtension(const std::string& path, const std::string& extension);

}  // namespace tavorix
