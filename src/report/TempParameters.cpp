#include "report/TempParameters.h"

#include <ostream>
#include <vector>

#include "core/NumberFormat.h"

namespace tavorix {

namespace {

std::vector<double> ParameterLines(const FittedDistribution& fd) {
  const int code = fd.DistCode;
  const FitParams& p = fd.P;
  if (code == 6) return {fd.ParA};
  if (code >= 20 && code <= 26) return {p.Mean, p.Sigma};
  if (code == 61) return {p.A, static_cast<double>(p.Terms)};
  if (code == 69) return {p.E, p.S};
  if (code == 67 || code == 68 || code == 73) return {};
  if (code == 62 || code == 63) return {1.0, 1.0};
  if (code < 6 || code > 50) return {fd.ParA, fd.ParB};
  return {};
}

}  // namespace

void WriteTempParameters(std::ostream& out, const TavorixRun& run) {
  const char* crlf = "\r\n";
  out << FormatInt(run.N, 4) << crlf << FormatInt(run.Fitted.DistCode, 3) << crlf
      << FormatScientific23(run.Shift) << crlf;
  for (double v : ParameterLines(run.Fitted)) out << FormatScientific23(v) << crlf;
}

}  // namespace tavorix
