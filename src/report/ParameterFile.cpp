#include "report/ParameterFile.h"

#include <fstream>
#include <istream>
#include <ostream>
#include <vector>

#include "core/NumberFormat.h"
#include "core/StringToFloat.h"
#include "core/TextLines.h"
#include "core/TavorixError.h"
#include "fitting/Registry.h"
#include "fitting/GammaFit.h"
#include "report/ResultsLoader.h"

namespace tavorix {

namespace {

using Field = ParamField;

// The members of a code's parameter lines, in file order (from the
// registry). The composite separation point is written in X units (moved
// value + Shift).
std::span<const Field> FieldsOf(int code) {
  const DistributionInfo* d = FindDistribution(code);
  return d ? d->Fields : std::span<const Field>{};
}

double* MemberOf(FittedDistribution& fd, Field f) {
  FitParams& p = fd.P;
  switch (f) {
    case Field::A: return &p.A;
    case Field::B: return &p.B;
    case Field::E: return &p.E;
    case Field::C: return &p.C;
    case Field::K: return &p.Gev.K;
    case Field::Loc: return &p.Gev.Loc;
    case Field::Scale: return &p.Gev.Scale;
    case Field::StudentMean: return &p.Student.Mean;
    case Field::StudentSpread: return &p.Student.Spread;
    case Field::Mode: return &p.Laplace.Mode;
    case Field::S1: return &p.Laplace.S1;
    case Field::S2: return &p.Laplace.S2;
    case Field::S: return &p.S;
    case Field::D: return &p.D;
    case Field::MBound: return &p.MBound;
    case Field::E1: return &p.Laplace.E1;
    case Field::E2: return &p.Laplace.E2;
    case Field::Mean: return &p.Normal.Mean;
    case Field::Sigma: return &p.Normal.Sigma;
    case Field::As: return &p.Composite.Lower.A;
    case Field::Bs: return &p.Composite.Lower.B;
    case Field::Es: return &p.Composite.Lower.E;
    case Field::Ag: return &p.Composite.Upper.A;
    case Field::Bg: return &p.Composite.Upper.B;
    case Field::Eg: return &p.Composite.Upper.E;
    case Field::BreakPoint: return &p.Composite.BreakPoint;
    case Field::ParA: return &fd.ParA;
    case Field::ParB: return &fd.ParB;
    default: return nullptr;
  }
}

const char* NameOf(Field f) {
  switch (f) {
    case Field::A: case Field::ParA: return "A";
    case Field::B: case Field::ParB: return "B";
    case Field::E: return "E";
    case Field::C: return "C";
    case Field::K: return "K";
    case Field::Loc: case Field::StudentMean: return "Location";
    case Field::Scale: case Field::StudentSpread: return "Scale";
    case Field::Mode: return "Mode";
    case Field::S1: return "LowerScale";
    case Field::S2: return "UpperScale";
    case Field::S: return "S";
    case Field::D: return "D";
    case Field::XPlusOneFlag: return "XPlusOne";
    case Field::MBound: return "M";
    case Field::Terms: return "n";
    case Field::E1: return "E1";
    case Field::E2: return "E2";
    case Field::Mean: return "Mean";
    case Field::Sigma: return "Sigma";
    case Field::As: return "As";
    case Field::Bs: return "Bs";
    case Field::Es: return "Es";
    case Field::Ag: return "Ag";
    case Field::Bg: return "Bg";
    case Field::Eg: return "Eg";
    case Field::BreakPoint: return "P";
    case Field::Zero: return "";
  }
  return "";
}

}  // namespace

std::vector<std::pair<std::string, double>> NamedParameters(const FittedDistribution& fd, double shift) {
  std::vector<std::pair<std::string, double>> named;
  FittedDistribution copy = fd;
  for (Field f : FieldsOf(fd.DistCode)) {
    const std::string name = NameOf(f);
    if (name.empty()) continue;
    bool seen = false;
    for (const auto& [n, v] : named) seen = seen || n == name;
    if (seen) continue;  // 69 repeats E and S
    double v = 0;
    switch (f) {
      case Field::XPlusOneFlag: v = fd.P.XPlusOne ? 1 : 0; break;
      case Field::Terms: v = fd.P.Terms; break;
      case Field::BreakPoint: v = fd.P.Composite.BreakPoint + shift; break;
      default: v = *MemberOf(copy, f); break;
    }
    named.emplace_back(name, v);
  }
  return named;
}

void WriteParameterFile(std::ostream& out, const FittedDistribution& fd, double shift) {
  const char* crlf = "\r\n";
  out << kParameterFileHeader << crlf << fd.DistCode << crlf;
  FittedDistribution copy = fd;
  for (Field f : FieldsOf(fd.DistCode)) {
    switch (f) {
      case Field::XPlusOneFlag: out << (fd.P.XPlusOne ? 1 : 0) << crlf; break;
      case Field::Terms: out << FormatScientific23(fd.P.Terms) << crlf; break;
      case Field::Zero: out << FormatScientific23(0.0) << crlf; break;
      case Field::BreakPoint: out << FormatScientific23(fd.P.Composite.BreakPoint + shift) << crlf; break;
      default: out << FormatScientific23(*MemberOf(copy, f)) << crlf; break;
    }
  }
  out << FormatScientific23(shift) << crlf;
}

ParameterFileContents ReadParameterFile(std::istream& in, int headerChars, std::string_view path) {
  const LineSet lines = ReadLines(in);
  std::size_t at = 0;
  auto nextNumber = [&]() -> double {
    if (at >= lines.size()) return 0.0;
    const auto v = ParseFileReal(TrimBlanks(lines[at++]));
    return v ? *v : 0.0;
  };
  ParameterFileContents c;
  const std::string header(kParameterFileHeader);
  if (!lines.empty() && lines[0].compare(0, headerChars, header, 0, headerChars) == 0) at = 1;
  // Counts and codes are checked before they become integers: a damaged file
  // must not choose a loop's length or reach an undefined conversion.
  const double code = nextNumber();
  if (!(code > -1 && code < kLargestParameterFileCode + 1)) throw TavorixError(ReportOpenErrorText(path));
  c.Code = static_cast<int>(code);
  c.Fit.DistCode = c.Code;
  const std::span<const Field> fields = FieldsOf(c.Code);
  std::vector<double> values;
  for (std::size_t i = 0; i < fields.size(); ++i) values.push_back(nextNumber());
  c.Shift = nextNumber();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const double v = values[i];
    switch (fields[i]) {
      case Field::XPlusOneFlag: c.Fit.P.XPlusOne = v != 0; break;
      case Field::Terms:
        if (!(v > -0.5 && v < kGammaMaxTerms + 0.5)) throw TavorixError(ReportOpenErrorText(path));
        c.Fit.P.Terms = static_cast<int>(v + (v >= 0 ? 0.5 : -0.5));
        break;
      case Field::Zero: break;
      case Field::BreakPoint: c.Fit.P.Composite.BreakPoint = v - c.Shift; break;
      default: *MemberOf(c.Fit, fields[i]) = v; break;
    }
  }
  // The linear fits keep A and B in ParA/ParB; the frequency functions read
  // them from the parameters.
  for (Field f : fields) {
    if (f == Field::ParA) c.Fit.P.A = c.Fit.ParA;
    if (f == Field::ParB) c.Fit.P.B = c.Fit.ParB;
  }
  return c;
}

bool ReadParameterFile(const std::string& path, ParameterFileContents& out, int headerChars) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    out = ParameterFileContents{};
    return false;
  }
  out = ReadParameterFile(in, headerChars, path);
  return true;
}

std::string WithExtension(const std::string& path, const std::string& extension) {
  const auto slash = path.find_last_of("/\\");
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + extension;
  return path.substr(0, dot) + extension;
}

}  // namespace tavorix
