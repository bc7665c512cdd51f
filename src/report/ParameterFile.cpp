#include "report/ParameterFile.h"

#include <fstream>
#include <istream>
#include <ostream>
#include <vector>

#include "core/NumberFormat.h"
#include "core/StringToFloat.h"
#include "core/TextLines.h"
#include "core/TavorixError.h"
#include "fitting/CompositeKinds.h"
#include "fitting/GammaFit.h"
#include "report/ResultsLoader.h"

namespace tavorix {

namespace {

// The members of a code's parameter lines, in file order. The composite
// separation point is written in X units (moved value + Shift).
enum class Field { A, B, E, C, K, Loc, Scale, Mode, S1, S2, S, Q, D, XPlusOneFlag, MBound, Terms, E1, E2,
                   Mean, Sigma, As, Bs, Es, Ag, Bg, Eg, BreakPoint, ParA, ParB, Zero };

std::vector<Field> FieldsOf(int code) {
  using F = Field;
  CompositeParts parts{};
  if (CompositePartsOf(code, parts)) {
    if (parts.Generalized) return {F::Es, F::Eg, F::As, F::Bs, F::Ag, F::Bg, F::BreakPoint};
    return {F::As, F::Bs, F::Ag, F::Bg, F::BreakPoint};
  }
  switch (code) {
    case 3: case 51: case 52: case 55: case 65: case 66: return {F::ParA, F::ParB, F::E};
    case 4: case 5: case 53: case 54: case 56: case 57: case 60: case 64: return {F::ParA, F::ParB};
    case 33: case 59: case 35: case 58: return {F::ParA, F::ParB, F::C};
    case 61: return {F::A, F::Terms};
    case 67: return {F::Zero, F::Zero, F::K, F::Loc, F::Scale};
    case 68: return {F::Zero, F::Zero, F::Mode, F::S1, F::S2};
    case 69: return {F::E, F::S, F::E, F::S};
    case 6: return {F::ParA};
    case 20: case 21: case 22: case 23: case 24: case 25: return {F::Mean, F::Sigma};
    case 26: return {F::Mean, F::Sigma, F::E};
    case 31: case 32: return {F::S, F::A, F::E, F::B, F::D};
    case 34: return {F::XPlusOneFlag, F::B, F::E, F::A};
    case 36: return {F::MBound, F::A, F::B};
    case 73: return {F::Mode, F::S1, F::S2, F::E1, F::E2};
    case 62: case 63: return {F::Loc, F::Scale};
    default: return {};
  }
}

double* MemberOf(FittedDistribution& fd, Field f) {
  FitParams& p = fd.P;
  switch (f) {
    case Field::A: return &p.A;
    case Field::B: return &p.B;
    case Field::E: return &p.E;
    case Field::C: return &p.C;
    case Field::K: return &p.K;
    case Field::Loc: return &p.Loc;
    case Field::Scale: return &p.Scale;
    case Field::Mode: return &p.Mode;
    case Field::S1: return &p.S1;
    case Field::S2: return &p.S2;
    case Field::S: return &p.S;
    case Field::Q: return &p.Q;
    case Field::D: return &p.D;
    case Field::MBound: return &p.MBound;
    case Field::E1: return &p.E1;
    case Field::E2: return &p.E2;
    case Field::Mean: return &p.Mean;
    case Field::Sigma: return &p.Sigma;
    case Field::As: return &p.As;
    case Field::Bs: return &p.Bs;
    case Field::Es: return &p.Es;
    case Field::Ag: return &p.Ag;
    case Field::Bg: return &p.Bg;
    case Field::Eg: return &p.Eg;
    case Field::BreakPoint: return &p.BreakPoint;
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
    case Field::Loc: return "Location";
    case Field::Scale: return "Scale";
    case Field::Mode: return "Mode";
    case Field::S1: return "LowerScale";
    case Field::S2: return "UpperScale";
    case Field::S: return "S";
    case Field::Q: return "Q";
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
      case Field::BreakPoint: v = fd.P.BreakPoint + shift; break;
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
      case Field::BreakPoint: out << FormatScientific23(fd.P.BreakPoint + shift) << crlf; break;
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
  const std::vector<Field> fields = FieldsOf(c.Code);
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
      case Field::BreakPoint: c.Fit.P.BreakPoint = v - c.Shift; break;
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
