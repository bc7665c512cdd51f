#pragma once
// The four component kinds of the composite distributions and which kinds
// each composite code joins below and above its separation point.

namespace tavorix {

enum class ComponentKind { Logistic, Gumbel, MirroredGumbel, Poisson };

struct CompositeParts {
  ComponentKind Lower;
  ComponentKind Upper;
  bool Generalized;     // parts use X^E (codes 70-85)
  bool UpperIntercept;  // Bg is the intercept of the upper line (70, 71, 74), else 0
};

// The parts of a composite code; false for codes that are not composites.
bool CompositePartsOf(int code, CompositeParts& parts);

// Transformed observed frequency Ft of a kind.
double ComponentFt(ComponentKind kind, double f);

// Calculated frequency of a kind from z = A t + B, without any limit on z
// (the fitted curve and the calculator use it so).
double ComponentFc(ComponentKind kind, double z);

}  // namespace tavorix
