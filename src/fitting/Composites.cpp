// Parts shared by the simple and generalized composites: the part sums, the
// fitted curve, the admission rule, the trial separations, the progress lines.
#include "fitting/Composites.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "fitting/Registry.h"
#include "fitting/CompositeSums.h"
#include "fitting/DistributionFunctions.h"
#include "fitting/VectorMath.h"

namespace tavorix {

namespace {

constexpr int kSumsBlock = 64;

// The calculated frequencies of a block from z = a t + b, the exp going
// through the array functions: the same operations as LimitedComponentFc,
// in array passes.
template <ComponentKind K, KindLimits L>
void BlockFc(const double* t, double a, double b, double* fc, int m) {
  for (int j = 0; j < m; ++j) fc[j] = a * t[j] + b;
  if constexpr (K == ComponentKind::Logistic) {
    if constexpr (L == KindLimits::GeneralizedLogisticLimited)
      for (int j = 0; j < m; ++j) fc[j] = LimitTo8(fc[j]);
    ExpArray(fc, fc, m);
    for (int j = 0; j < m; ++j) fc[j] = 1.0 / (1.0 + fc[j]);
  } else if constexpr (K == ComponentKind::Gumbel) {
    for (int j = 0; j < m; ++j) fc[j] = -LimitTo8(fc[j]);
    ExpNegExpArray(fc, fc, m);
  } else if constexpr (K == ComponentKind::MirroredGumbel) {
    for (int j = 0; j < m; ++j) fc[j] = L != KindLimits::Simple ? -LimitTo8(fc[j]) : -fc[j];
    ExpNegExpArray(fc, fc, m);
    for (int j = 0; j < m; ++j) fc[j] = 1.0 - fc[j];
  } else {
    // w = -z; the simple limit gives the value 8 itself from w >= 8 on.
    bool capped[kSumsBlock] = {};
    for (int j = 0; j < m; ++j) {
      const double w = -fc[j];
      if constexpr (L == KindLimits::Simple) {
        capped[j] = w >= 8.0;
        fc[j] = capped[j] ? 0.0 : w;
      } else {
        fc[j] = LimitTo8(w);
      }
    }
    ExpArray(fc, fc, m);
    for (int j = 0; j < m; ++j) fc[j] = capped[j] ? 8.0 : 1.0 - fc[j];
  }
}

template <ComponentKind K, KindLimits L>
PartSums SumsOf(const double* t, const double* fr, int first, int last, double a, double b) {
  PartSums s;
  double fc[kSumsBlock];
  for (int i0 = first; i0 <= last; i0 += kSumsBlock) {
    const int m = std::min(kSumsBlock, last - i0 + 1);
    BlockFc<K, L>(t + i0, a, b, fc, m);
    for (int j = 0; j < m; ++j) {
      const double d = fr[i0 + j] - fc[j];
      s.SumSq += d * d;
      s.SaturatedSumSq += SaturatedSq(d);
      s.SumAbs += std::fabs(d);
    }
  }
  return s;
}

template <ComponentKind K>
PartSums SumsOfKind(KindLimits limits, const double* t, const double* fr, int first, int last,
                    double a, double b) {
  switch (limits) {
    case KindLimits::Simple: return SumsOf<K, KindLimits::Simple>(t, fr, first, last, a, b);
    case KindLimits::Generalized:
      return SumsOf<K, KindLimits::Generalized>(t, fr, first, last, a, b);
    case KindLimits::GeneralizedLogisticLimited:
      return SumsOf<K, KindLimits::GeneralizedLogisticLimited>(t, fr, first, last, a, b);
  }
  return {};
}


}  // namespace

double CompositePartFc(int code, const FitParams& p, double x, bool lower) {
  CompositeParts parts{};
  if (!CompositePartsOf(code, parts)) return 0.0;
  if (lower) {
    const double t = parts.Generalized ? PowerOf(x, p.Composite.Lower.E) : x;
    return ComponentFc(parts.Lower, p.Composite.Lower.A * t + p.Composite.Lower.B);
  }
  const double t = parts.Generalized ? PowerOf(x, p.Composite.Upper.E) : x;
  return ComponentFc(parts.Upper, p.Composite.Upper.A * t + p.Composite.Upper.B);
}

PartSums EvaluatePart(ComponentKind kind, KindLimits limits, const double* t, const double* fr,
                      int first, int last, double a, double b) {
  switch (kind) {
    case ComponentKind::Logistic:
      return SumsOfKind<ComponentKind::Logistic>(limits, t, fr, first, last, a, b);
    case ComponentKind::Gumbel:
      return SumsOfKind<ComponentKind::Gumbel>(limits, t, fr, first, last, a, b);
    case ComponentKind::MirroredGumbel:
      return SumsOfKind<ComponentKind::MirroredGumbel>(limits, t, fr, first, last, a, b);
    case ComponentKind::Poisson:
      return SumsOfKind<ComponentKind::Poisson>(limits, t, fr, first, last, a, b);
  }
  return {};
}

void SplitFt(double* ft, const double* low, const double* up, int m, int n) {
  for (int i = 1; i <= n; ++i) ft[i] = i <= m ? low[i] : up[i];
}

void FinishCompositeStep(TavorixRun& run, int code) {
  const DistributionInfo* info = FindDistribution(code);
  if (info == nullptr || run.PreferredCode == info->Preference) return;
  AddStepLines(run, *info);
}

double CompositeUpperFc(int code, const FitParams& p, double x) {
  return std::max(CompositePartFc(code, p, x, false), CompositePartFc(code, p, p.Composite.BreakPoint, true));
}

double CompositeFc(int code, const FitParams& p, double x) {
  return x <= p.Composite.BreakPoint ? CompositePartFc(code, p, x, true) : CompositeUpperFc(code, p, x);
}

double CompositeFcAtRank(int code, const FitParams& p, double x, int rank) {
  return rank <= p.Composite.BreakCount ? CompositePartFc(code, p, x, true) : CompositeUpperFc(code, p, x);
}

int GeneralizedTrialSeparation(int n, int j) { return n * (j + 4) / 20; }

}  // namespace tavorix
