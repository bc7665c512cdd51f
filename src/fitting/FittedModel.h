#pragma once
// A fitted distribution as every later stage uses it: the code, its
// parameters and the run's Shift. It owns the move between input units and
// the moved scale of the fits, the cumulative frequency with an explicit
// guard policy, the inverse and the transform of the normal family. The
// report, the confidence stage, the calculator and the graphs evaluate a fit
// only through it.

#include "fitting/TavorixRun.h"
#include "fitting/Inverses.h"
#include "fitting/Registry.h"

namespace tavorix {

// The transformed variable t of the normal family at x (moved scale); NaN
// outside the transform's domain (x <= 0 for ln and powers, x < 0 for the
// root). Identity and None give x.
double NormalTransformed(NormalTransform transform, double e, double x);

class FittedModel {
 public:
  FittedModel() = default;
  FittedModel(const FittedDistribution& fit, double shift);

  int Code() const { return fit_.DistCode; }
  const FitParams& Params() const { return fit_.P; }
  const FittedDistribution& Fit() const { return fit_; }
  double Shift() const { return shift_; }
  // The registry row; nullptr for code 0 and unknown codes.
  const DistributionInfo* Info() const { return info_; }
  // Whether the model can be evaluated (false for 0, 1, 2 and unknown codes).
  bool Evaluable() const { return info_ != nullptr && info_->Fc != nullptr; }
  bool IsComposite() const;
  bool IsNormalFamily() const { return info_ && info_->Kind == DistKind::NormalFamily; }

  // X of the fits = input value - Shift + 0.0001, and back.
  double ToMoved(double input) const { return input - shift_ + 0.0001; }
  double ToInput(double moved) const { return moved + shift_ - 0.0001; }

  // Cumulative frequency at x on the moved scale. Search gives the plain
  // function. Data and ClassBounds apply the fitted curve's guards (never
  // NaN; composites take the lower part for x <= P). Calculator evaluates
  // as Data, except that a composite counts an x within rounding of P as at
  // P and the normal family uses the calculator's form of the approximation;
  // its result lies in [0, 1].
  double F(double x, Guard use, BoundHits* hits = nullptr) const;
  // The datum of a rank of the run (composites and the generalized Laplace
  // choose their part by rank), with the Data guards.
  double FAtRank(double x, int rank, BoundHits* hits = nullptr) const;

  // The composite part that x on the moved scale belongs to (calculator's
  // tolerance at P).
  bool InLowerPart(double x) const;
  // X on the moved scale at frequency q (0 < q < 1) as the quantile of a
  // part (of the whole distribution for other codes): the smallest X whose
  // frequency reaches q. An X of a composite's part lies on that part's side
  // of the separation point P, so that where the parts leave a jump at P
  // every frequency inside it has X = P. Where no X of the part reaches q,
  // q lies either below all that the part reaches (X is then the lower end
  // of the part's range: the moved zero, or P for a composite's upper part;
  // LowerEnd is set) or above it (a distribution whose F stays below q;
  // Above is set, X is no value). Codes without a closed-form inverse give
  // neither.
  struct PartQuantile {
    bool Ok = false;        // X is a value
    bool LowerEnd = false;  // X is the lower end of the part's range
    bool Above = false;     // no X reaches q
    double X = 0;
  };
  PartQuantile Quantile(double q, CompositePart part = CompositePart::Lower) const;

  // X on the moved scale at frequency q; Ok false where the formula has no
  // value, and for codes without a closed form (normal family, Gamma).
  bool HasInverse() const { return info_ && info_->Inverse; }
  InverseResult Inverse(double q, CompositePart part = CompositePart::Lower,
                        NonPositive policy = NonPositive::Fail) const;

  // The normal family's transform of x, and the moved X of a transformed
  // value (Ok false where no X has it: a root of t <= 0, a negative root).
  NormalTransform Transform() const { return info_ ? info_->Transform : NormalTransform::None; }
  double Transformed(double x) const;
  InverseResult FromTransformed(double t) const;

 private:
  FittedDistribution fit_{};
  double shift_ = 0;
  const DistributionInfo* info_ = nullptr;
};

}  // namespace tavorix
