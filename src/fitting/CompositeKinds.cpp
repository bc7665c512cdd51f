#include "fitting/CompositeKinds.h"

#include <algorithm>
#include <cmath>

#include "fitting/Registry.h"

namespace tavorix {

bool CompositePartsOf(int code, CompositeParts& parts) {
  const DistributionInfo* d = FindDistribution(code);
  if (!d || !IsCompositeKind(d->Kind)) return false;
  parts = d->Parts;
  return true;
}

double ComponentFt(ComponentKind kind, double f) {
  switch (kind) {
    case ComponentKind::Logistic: return std::log(1.0 / f - 1.0);
    case ComponentKind::Gumbel: return -std::log(-std::log(f));
    case ComponentKind::MirroredGumbel: return -std::log(-std::log(1.0 - f));
    case ComponentKind::Poisson: return -std::log(1.0 - f);
  }
  return 0.0;
}

double ComponentFc(ComponentKind kind, double z) {
  switch (kind) {
    case ComponentKind::Logistic: return 1.0 / (1.0 + std::exp(z));
    case ComponentKind::Gumbel: return std::exp(-std::exp(-z));
    case ComponentKind::MirroredGumbel: return 1.0 - std::exp(-std::exp(-z));
    // Below the lower end of its range (z < 0) the Poisson part has no
    // mass: its frequency is 0, not the negative value of the formula.
    case ComponentKind::Poisson: return std::max(0.0, 1.0 - std::exp(-z));
  }
  return 0.0;
}

namespace {

template <ComponentKind K>
double LimitedFcOf(KindLimits limits, double z) {
  switch (limits) {
    case KindLimits::Simple: return LimitedComponentFc<K, KindLimits::Simple>(z);
    case KindLimits::Generalized: return LimitedComponentFc<K, KindLimits::Generalized>(z);
    case KindLimits::GeneralizedLogisticLimited:
      return LimitedComponentFc<K, KindLimits::GeneralizedLogisticLimited>(z);
  }
  return 0.0;
}

}  // namespace

double ComponentFcLimited(ComponentKind kind, KindLimits limits, double z) {
  switch (kind) {
    case ComponentKind::Logistic: return LimitedFcOf<ComponentKind::Logistic>(limits, z);
    case ComponentKind::Gumbel: return LimitedFcOf<ComponentKind::Gumbel>(limits, z);
    case ComponentKind::MirroredGumbel: return LimitedFcOf<ComponentKind::MirroredGumbel>(limits, z);
    case ComponentKind::Poisson: return LimitedFcOf<ComponentKind::Poisson>(limits, z);
  }
  return 0.0;
}

}  // namespace tavorix
