#include "fitting/CompositeKinds.h"

#include <cmath>

namespace tavorix {

bool CompositePartsOf(int code, CompositeParts& parts) {
  using K = ComponentKind;
  switch (code) {
    case 7: parts = {K::MirroredGumbel, K::MirroredGumbel, false, false}; return true;
    case 8: parts = {K::Logistic, K::Logistic, false, false}; return true;
    case 9: parts = {K::Gumbel, K::Gumbel, false, false}; return true;
    case 10: parts = {K::MirroredGumbel, K::Logistic, false, false}; return true;
    case 11: parts = {K::MirroredGumbel, K::Gumbel, false, false}; return true;
    case 12: parts = {K::Gumbel, K::Logistic, false, false}; return true;
    case 13: parts = {K::Gumbel, K::MirroredGumbel, false, false}; return true;
    case 14: parts = {K::Logistic, K::MirroredGumbel, false, false}; return true;
    case 15: parts = {K::Logistic, K::Gumbel, false, false}; return true;
    case 16: parts = {K::Gumbel, K::Poisson, false, false}; return true;
    case 17: parts = {K::MirroredGumbel, K::Poisson, false, false}; return true;
    case 18: parts = {K::Logistic, K::Poisson, false, false}; return true;
    case 70: parts = {K::Logistic, K::Logistic, true, true}; return true;
    case 71: parts = {K::Gumbel, K::Gumbel, true, true}; return true;
    case 72: parts = {K::Poisson, K::Poisson, true, false}; return true;
    case 74: parts = {K::MirroredGumbel, K::MirroredGumbel, true, true}; return true;
    case 80: parts = {K::Logistic, K::Gumbel, true, false}; return true;
    case 81: parts = {K::Logistic, K::Poisson, true, false}; return true;
    case 82: parts = {K::Gumbel, K::Logistic, true, false}; return true;
    case 83: parts = {K::Gumbel, K::Poisson, true, false}; return true;
    case 84: parts = {K::Poisson, K::Logistic, true, false}; return true;
    case 85: parts = {K::Poisson, K::Gumbel, true, false}; return true;
    default: return false;
  }
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
    case ComponentKind::Poisson: return 1.0 - std::exp(-z);
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
