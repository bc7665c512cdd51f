#include "report/ParameterFile.h"

#include <sstream>
#include <type_traits>
#include <variant>
#include <istream>
#include <ostream>
#include <vector>

#include "core/NumberFormat.h"
#include "core/StringToFloat.h"
#include "core/TextFile.h"
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
  return d ? d->Params.Fields : std::span<const Field>{};
}

// The member of a family that a parameter-file line holds; nullptr for a
// line that is always 0 or one that the family does not have.
using MemberRef = std::variant<std::nullptr_t, double*, int*, bool*>;

template <class Fam>
MemberRef MemberIn(Fam& f, Field field) {
  if constexpr (std::is_same_v<Fam, std::monostate>) {
    return nullptr;
  } else {
    switch (field) {
      case Field::A: if constexpr (requires { f.A; }) return &f.A; break;
      case Field::B: if constexpr (requires { f.B; }) return &f.B; break;
      case Field::E: if constexpr (requires { f.E; }) return &f.E; break;
      case Field::C: if constexpr (requires { f.C; }) return &f.C; break;
      case Field::K: if constexpr (requires { f.K; }) return &f.K; break;
      case Field::Loc: if constexpr (requires { f.Loc; }) return &f.Loc; break;
      case Field::Scale: if constexpr (requires { f.Scale; }) return &f.Scale; break;
      case Field::Mean: case Field::StudentMean: if constexpr (requires { f.Mean; }) return &f.Mean; break;
      case Field::StudentSpread: if constexpr (requires { f.Spread; }) return &f.Spread; break;
      case Field::Mode: if constexpr (requires { f.Mode; }) return &f.Mode; break;
      case Field::S1: if constexpr (requires { f.S1; }) return &f.S1; break;
      case Field::S2: if constexpr (requires { f.S2; }) return &f.S2; break;
      case Field::E1: if constexpr (requires { f.E1; }) return &f.E1; break;
      case Field::E2: if constexpr (requires { f.E2; }) return &f.E2; break;
      case Field::S: if constexpr (requires { f.S; }) return &f.S; break;
      case Field::D: if constexpr (requires { f.D; }) return &f.D; break;
      case Field::MBound: if constexpr (requires { f.M; }) return &f.M; break;
      case Field::Sigma: if constexpr (requires { f.Sigma; }) return &f.Sigma; break;
      case Field::XPlusOneFlag: if constexpr (requires { f.XPlusOne; }) return &f.XPlusOne; break;
      case Field::Terms: if constexpr (requires { f.Terms; }) return &f.Terms; break;
      case Field::As: if constexpr (requires { f.Lower; }) return &f.Lower.A; break;
      case Field::Bs: if constexpr (requires { f.Lower; }) return &f.Lower.B; break;
      case Field::Es: if constexpr (requires { f.Lower; }) return &f.Lower.E; break;
      case Field::Ag: if constexpr (requires { f.Upper; }) return &f.Upper.A; break;
      case Field::Bg: if constexpr (requires { f.Upper; }) return &f.Upper.B; break;
      case Field::Eg: if constexpr (requires { f.Upper; }) return &f.Upper.E; break;
      case Field::BreakPoint: if constexpr (requires { f.BreakPoint; }) return &f.BreakPoint; break;
      case Field::Zero: break;
    }
    return nullptr;
  }
}

// The member that line f of code `code` holds, in the code's family.
MemberRef MemberOf(FitParams& p, int code, Field f) {
  const DistributionInfo* d = FindDistribution(code);
  return VisitFamily(d ? d->Params.Family : ParamFamily::None, p, [&](auto& fam) { return MemberIn(fam, f); });
}

// The value of line f of the fit (0 for a line the family does not hold).
// The break point is in X units.
double FieldValue(const FittedDistribution& fd, Field f, double shift) {
  FitParams p = fd.P;
  const MemberRef m = MemberOf(p, fd.DistCode, f);
  const double v = std::visit(
      [](auto member) -> double {
        if constexpr (std::is_same_v<decltype(member), std::nullptr_t>)
          return 0.0;
        else
          return *member;
      },
      m);
  return f == Field::BreakPoint ? v + shift : v;
}

// Stores the value v of line f of the fit; v is already checked.
void SetField(FittedDistribution& fd, Field f, double v, double shift) {
  std::visit(
      [&](auto member) {
        using T = decltype(member);
        if constexpr (std::is_same_v<T, double*>)
          *member = f == Field::BreakPoint ? v - shift : v;
        else if constexpr (std::is_same_v<T, int*>)
          *member = static_cast<int>(v + (v >= 0 ? 0.5 : -0.5));
        else if constexpr (std::is_same_v<T, bool*>)
          *member = v != 0;
      },
      MemberOf(fd.P, fd.DistCode, f));
}

const char* NameOf(Field f) {
  switch (f) {
    case Field::A: return "A";
    case Field::B: return "B";
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
  for (Field f : FieldsOf(fd.DistCode)) {
    const std::string name = NameOf(f);
    if (name.empty()) continue;
    bool seen = false;
    for (const auto& [n, v] : named) seen = seen || n == name;
    if (seen) continue;  // 69 repeats E and S
    const double v = FieldValue(fd, f, shift);
    named.emplace_back(name, v);
  }
  return named;
}

void WriteParameterFile(std::ostream& out, const FittedDistribution& fd, double shift) {
  const char* crlf = "\r\n";
  out << kParameterFileHeader << crlf << fd.DistCode << crlf;
  for (Field f : FieldsOf(fd.DistCode)) {
    if (f == Field::XPlusOneFlag)
      out << FieldValue(fd, f, shift) << crlf;
    else
      out << FormatScientific23(FieldValue(fd, f, shift)) << crlf;
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
    if (fields[i] == Field::Terms && !(v > -0.5 && v < kGammaMaxTerms + 0.5))
      throw TavorixError(ReportOpenErrorText(path));
    SetField(c.Fit, fields[i], v, c.Shift);
  }
  return c;
}

bool ReadParameterFile(const std::string& path, ParameterFileContents& out, int headerChars) {
  const std::optional<std::string> text = TryReadTextFile(path);
  if (!text) {
    out = ParameterFileContents{};
    return false;
  }
  std::istringstream in(*text);
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
