#include "fitting/FittedModel.h"

#include <algorithm>
#include <cmath>

#include "fitting/Composites.h"
#include "fitting/Hastings.h"

namespace tavorix {

namespace {

double Finite(double f) { return std::isfinite(f) ? f : (f > 0 ? 1.0 : 0.0); }

}  // namespace

double NormalTransformed(NormalTransform transform, double e, double x) {
  switch (transform) {
    case NormalTransform::Log: return x > 0 ? std::log(x) : NAN;
    case NormalTransform::Sqrt: return x >= 0 ? std::sqrt(x) : NAN;
    case NormalTransform::Square: return x * x;
    case NormalTransform::Power: return x > 0 ? std::exp(e * std::log(x)) : NAN;
    case NormalTransform::Identity:
    case NormalTransform::None: return x;
  }
  return x;
}

FittedModel::FittedModel(const FittedDistribution& fit, double shift)
    : fit_(fit), shift_(shift), info_(FindDistribution(fit.DistCode)) {}

bool FittedModel::IsComposite() const {
  return info_ && IsCompositeKind(info_->Kind);
}

bool FittedModel::InLowerPart(double x) const {
  // P comes back from the parameter file's 15 digits and X' from the input
  // units, so a value typed as P itself may differ from it in the last
  // digits; such a value still counts as at P.
  const double p = fit_.P.Composite.BreakPoint;
  return x <= p + 1e-12 * std::max(1.0, std::fabs(p));
}

FittedModel::PartQuantile FittedModel::Quantile(double q, CompositePart part) const {
  PartQuantile out;
  if (!HasInverse()) return out;
  const bool composite = IsComposite();
  const bool lower = !composite || part == CompositePart::Lower;
  const double p = fit_.P.Composite.BreakPoint;
  const double start = lower ? 0.0 : p;
  // What the part reaches at the lower end of its range.
  auto reachedAtStart = [&] {
    if (!composite) return F(0.0, Guard::Data);
    if (!lower) return Finite(CompositeUpperFc(fit_.DistCode, fit_.P, start));
    return Finite(CompositePartFc(fit_.DistCode, fit_.P, start, lower));
  };
  const InverseResult inv = Inverse(q, part);
  // An upper part's X below P: P where q lies below what the part reaches
  // there (a jump up at P), none where the part falls away from P. Where
  // the distribution stays at the lower part's frequency above P, a q up to
  // that frequency is reached at P already.
  const bool belowStart =
      !inv.Ok || (composite && !lower && (inv.X < p || q <= CompositePartFc(fit_.DistCode, fit_.P, p, true)));
  if (belowStart) {
    if (q <= reachedAtStart()) {
      out.Ok = out.LowerEnd = true;
      out.X = start;
    } else {
      out.Above = true;
    }
    return out;
  }
  out.Ok = true;
  // A lower part's X above P: q lies inside a jump up at P.
  out.X = composite && lower ? std::min(inv.X, p) : inv.X;
  return out;
}

double FittedModel::F(double x, Guard use, BoundHits* hits) const {
  if (!Evaluable()) return 0.0;
  const int code = fit_.DistCode;
  const FitParams& p = fit_.P;
  if (use == Guard::Search) return info_->Fc(code, p, x);
  if (use == Guard::Calculator) {
    double f;
    if (IsComposite())
      f = InLowerPart(x) ? CompositePartFc(code, p, x, true) : CompositeUpperFc(code, p, x);
    else if (IsNormalFamily())
      f = HastingsCalcF((Transformed(x) - p.Normal.Mean) / p.Normal.Sigma);
    else
      f = F(x, Guard::Data);
    return std::clamp(Finite(f), 0.0, 1.0);
  }
  if (info_->GuardedFc) return Finite(info_->GuardedFc(p, x, use, hits));
  return Finite(info_->Fc(code, p, x));
}

double FittedModel::FAtRank(double x, int rank, BoundHits* hits) const {
  if (!Evaluable()) return 0.0;
  if (info_->FcAtRank) return Finite(info_->FcAtRank(fit_.DistCode, fit_.P, x, rank));
  return F(x, Guard::Data, hits);
}

InverseResult FittedModel::Inverse(double q, CompositePart part, NonPositive policy) const {
  if (!HasInverse()) return {};
  return info_->Inverse(fit_.DistCode, fit_.P, q, part, policy);
}

double FittedModel::Transformed(double x) const { return NormalTransformed(Transform(), fit_.P.Normal.E, x); }

InverseResult FittedModel::FromTransformed(double t) const {
  switch (Transform()) {
    case NormalTransform::Log: return {true, std::exp(t)};
    case NormalTransform::Sqrt: return t >= 0 ? InverseResult{true, t * t} : InverseResult{};
    case NormalTransform::Square: return t > 0 ? InverseResult{true, std::sqrt(t)} : InverseResult{};
    case NormalTransform::Power:
      return t > 0 ? InverseResult{true, std::exp(std::log(t) / fit_.P.Normal.E)} : InverseResult{};
    case NormalTransform::Identity:
    case NormalTransform::None: return {true, t};
  }
  return {true, t};
}

}  // namespace tavorix
