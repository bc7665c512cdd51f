#pragma once
// The four component kinds of the composite distributions and which kinds
// each composite code joins below and above its separation point.

#include <cmath>

namespace tavorix {

enum class ComponentKind { Logistic, Gumbel, MirroredGumbel, Poisson };

struct CompositeParts {
  ComponentKind Lower;
  ComponentKind Upper;
  bool Generalized;     // parts use X^E (codes 70-85)
  bool UpperIntercept;  // Bg is the intercept of the upper line (70, 71, 74), else 0
  bool UpperExponentFloor = false;  // the inverse keeps Eg at 0.1 or more (84)
};

// The parts of a composite code (from the registry); false for codes that
// are not composites.
bool CompositePartsOf(int code, CompositeParts& parts);

// Transformed observed frequency Ft of a kind.
double ComponentFt(ComponentKind kind, double f);

// Calculated frequency of a kind from z = A t + B, without any limit on z
// (the fitted curve and the calculator use it so); the Poisson kind is 0
// for z < 0.
double ComponentFc(ComponentKind kind, double z);

// The limits with which the composite searches evaluate a kind. They keep
// the exponentials in range and differ between the two composite groups.
enum class KindLimits {
  // Simple composites: Gumbel z in [-8, 8]; Poisson w = -z >= 8 gives the
  // value 8 itself (a deliberately bad frequency); the others unlimited.
  Simple,
  // Generalized composites: Gumbel and mirrored Gumbel z in [-8, 8], Poisson
  // w in [-8, 8]; logistic unlimited.
  Generalized,
  // As Generalized, with the logistic z in [-8, 8] too (only the upper
  // exponent search of code 70 uses it).
  GeneralizedLogisticLimited,
};

inline double LimitTo8(double z) { return z < -8.0 ? -8.0 : (z > 8.0 ? 8.0 : z); }

// Calculated frequency of a kind from z under the given limits; a template
// so that the per-datum loops of the searches inline it.
template <ComponentKind K, KindLimits L>
inline double LimitedComponentFc(double z) {
  if constexpr (K == ComponentKind::Logistic) {
    if constexpr (L == KindLimits::GeneralizedLogisticLimited) z = LimitTo8(z);
    return 1.0 / (1.0 + std::exp(z));
  } else if constexpr (K == ComponentKind::Gumbel) {
    return std::exp(-std::exp(-LimitTo8(z)));
  } else if constexpr (K == ComponentKind::MirroredGumbel) {
    if constexpr (L != KindLimits::Simple) z = LimitTo8(z);
    return 1.0 - std::exp(-std::exp(-z));
  } else {
    double w = -z;
    if constexpr (L == KindLimits::Simple) {
      if (w >= 8.0) return 8.0;
    } else {
      w = LimitTo8(w);
    }
    return 1.0 - std::exp(w);
  }
}

// The same with kind and limits chosen at run time.
double ComponentFcLimited(ComponentKind kind, KindLimits limits, double z);

}  // namespace tavorix
