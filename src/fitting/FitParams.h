#pragma once
// The parameters of a fit, in families: one per kind of parameter set. Each
// registry row names the family its code keeps its parameters in
// (Params.Family); a fit fills its own family and leaves the others zero.
// A new family is a struct here, its member of FitParams, its case of Of,
// its ParamFamily and its case of VisitFamily; then its parameter-file
// layout (Registry.cpp) and its examples for the tests that sweep the
// registry (tests/fitting/FitTestSupport.h).

#include <string>
#include <type_traits>
#include <variant>

namespace tavorix {

// A line A t + B of a reduced variable t: X for 4, 5, 6 (no B), 53 and 64;
// ln X for 54, 57 and 60 (C = exp(-B/A)); for Fisk (56) B is the scale.
struct LineParams {
  double A = 0, B = 0;
  bool operator==(const LineParams&) const = default;
};

// The line A t + B on t = X^E (3, 51, 52, 55, 65, 66).
struct PowerLineParams {
  double A = 0, B = 0, E = 0;
  bool operator==(const PowerLineParams&) const = default;
};

// The bounded forms (33, 35, 58, 59): the line A ln|X - C| + B and the bound C.
struct BoundedParams {
  double A = 0, B = 0, C = 0;
  bool operator==(const BoundedParams&) const = default;
};

// Burr (31) and Dagum (32): exponent A, scale B with S = B^A, and the slope E
// and intercept D of the final line.
struct BurrParams {
  double A = 0, B = 0, E = 0, D = 0, S = 0;
  bool operator==(const BurrParams&) const = default;
};

// Gompertz (34): F = 1 - exp(A (z^(B E) - 1)) with z = X, or X + 1 when
// XPlusOne is set.
struct GompertzParams {
  double A = 0, B = 0, E = 0;
  bool XPlusOne = false;
  bool operator==(const GompertzParams&) const = default;
};

// Kumaraswamy (36): bound M and the exponents A, B.
struct KumaraswamyParams {
  double M = 0, A = 0, B = 0;
  bool operator==(const KumaraswamyParams&) const = default;
};

// Gamma (61): scale A and the number of terms n.
struct GammaParams {
  double A = 0;
  int Terms = 0;
  bool operator==(const GammaParams&) const = default;
};

// Rayleigh (69): exponent E and divider S.
struct RayleighParams {
  double E = 0, S = 0;
  bool operator==(const RayleighParams&) const = default;
};

// A part of a composite distribution: the line A t + B of its reduced
// variable, t = X^E in the generalized composites (E unused otherwise).
struct CompositePartLine {
  double A = 0, B = 0, E = 0;
  bool operator==(const CompositePartLine&) const = default;
};

// A composite distribution: the lower part (the report's s) up to the
// separation point P, the upper part (g) above it.
struct CompositeParams {
  CompositePartLine Lower, Upper;
  double BreakPoint = 0;  // P on the moved scale
  int BreakCount = 0;     // data at or below P (the lower part's ranks)
  bool operator==(const CompositeParams&) const = default;
};

// GEV (67): shape K, location (the report's A) and scale (B); Q = A - B/K is
// the bound, and BeyondBound says that data lay beyond it and K was moved
// so that none does.
struct GevParams {
  double K = 0, Loc = 0, Scale = 0, Q = 0;
  bool BeyondBound = false;
  bool operator==(const GevParams&) const = default;
};

// Student (62, 63): mean and spread.
struct StudentParams {
  double Mean = 0, Spread = 0;
  bool operator==(const StudentParams&) const = default;
};

// Laplace (68) and generalized Laplace (73): the mode (73: B' on the
// transformed scale), the slopes A1, A2 of the halves with their scales
// S1 = 1/A1, S2 = 1/A2, the exponents E1, E2 of the halves (73) and the
// rank M where the upper half begins.
struct LaplaceParams {
  double Mode = 0, A1 = 0, A2 = 0, S1 = 0, S2 = 0, E1 = 0, E2 = 0;
  int BreakRank = 0;
  bool operator==(const LaplaceParams&) const = default;
};

// Normal family (20-26): mean and standard deviation of the transformed
// variable, Sigma0 the moments' value before a search optimised Sigma, and
// the exponent E of the power transform (26).
struct NormalParams {
  double Mean = 0, Sigma0 = 0, Sigma = 0, E = 0;
  bool operator==(const NormalParams&) const = default;
};

// The parameters of a fit. Each code keeps its parameters in one family (the
// registry's Family column names it); the other families stay zero.
struct FitParams {
  LineParams Line{};
  PowerLineParams PowerLine{};
  BoundedParams Bounded{};
  BurrParams Burr{};
  GompertzParams Gompertz{};
  KumaraswamyParams Kumaraswamy{};
  GammaParams Gamma{};
  RayleighParams Rayleigh{};
  GevParams Gev{};
  StudentParams Student{};
  LaplaceParams Laplace{};
  NormalParams Normal{};
  CompositeParams Composite{};

  // The family of type T.
  template <class T>
  T& Of() {
    return const_cast<T&>(static_cast<const FitParams*>(this)->Of<T>());
  }
  template <class T>
  const T& Of() const;

  bool operator==(const FitParams&) const = default;
};

template <class T>
const T& FitParams::Of() const {
  if constexpr (std::is_same_v<T, LineParams>) return Line;
  else if constexpr (std::is_same_v<T, PowerLineParams>) return PowerLine;
  else if constexpr (std::is_same_v<T, BoundedParams>) return Bounded;
  else if constexpr (std::is_same_v<T, BurrParams>) return Burr;
  else if constexpr (std::is_same_v<T, GompertzParams>) return Gompertz;
  else if constexpr (std::is_same_v<T, KumaraswamyParams>) return Kumaraswamy;
  else if constexpr (std::is_same_v<T, GammaParams>) return Gamma;
  else if constexpr (std::is_same_v<T, RayleighParams>) return Rayleigh;
  else if constexpr (std::is_same_v<T, GevParams>) return Gev;
  else if constexpr (std::is_same_v<T, StudentParams>) return Student;
  else if constexpr (std::is_same_v<T, LaplaceParams>) return Laplace;
  else if constexpr (std::is_same_v<T, NormalParams>) return Normal;
  else {
    static_assert(std::is_same_v<T, CompositeParams>, "not a parameter family");
    return Composite;
  }
}

// The family that holds a code's parameters (a member of FitParams).
enum class ParamFamily {
  None, Line, PowerLine, Bounded, Burr, Gompertz, Kumaraswamy, Gamma, Rayleigh, Gev, Student, Laplace, Normal,
  Composite
};

// Calls f with the family `family` of p (with a std::monostate for None) and
// returns its result.
template <class P, class F>
decltype(auto) VisitFamily(ParamFamily family, P& p, F&& f) {
  switch (family) {
    case ParamFamily::Line: return f(p.Line);
    case ParamFamily::PowerLine: return f(p.PowerLine);
    case ParamFamily::Bounded: return f(p.Bounded);
    case ParamFamily::Burr: return f(p.Burr);
    case ParamFamily::Gompertz: return f(p.Gompertz);
    case ParamFamily::Kumaraswamy: return f(p.Kumaraswamy);
    case ParamFamily::Gamma: return f(p.Gamma);
    case ParamFamily::Rayleigh: return f(p.Rayleigh);
    case ParamFamily::Gev: return f(p.Gev);
    case ParamFamily::Student: return f(p.Student);
    case ParamFamily::Laplace: return f(p.Laplace);
    case ParamFamily::Normal: return f(p.Normal);
    case ParamFamily::Composite: return f(p.Composite);
    case ParamFamily::None: break;
  }
  std::monostate none;
  return f(none);
}

// Result slot of one fit for the whole engine run.
struct FitSlot {
  bool Ran = false;        // the fit was run in this engine run
  bool HasResult = false;  // the fit produced parameters (a composite may have none)
  bool Listed = false;     // the fit has an entry in the ranked list (best of all only)
  double Score = 0;        // SumAbs of the final evaluation; 1000 marks "must not win"
  FitParams P;
  double StdErrX = 0;      // 1.28/A of the Gumbel fits, 1.28/B of Kumaraswamy
};

// One entry of the ranked list, in the order in which the fits ran.
struct RankedEntry {
  int Code = 0;
  std::string Name;   // list name, with its leading blank
  double Average = 0; // 100 * score / N
};

// The distribution that the engine chose, as the later stages read it.
struct FittedDistribution {
  int DistCode = 0;
  FitParams P;
  double StdErrX = 0;  // standard error of X printed by the report (codes 4, 20-26)
  double MeanXt = 0, SdXt = 0;  // values copied by Student and a preferred normal code
};

}  // namespace tavorix
