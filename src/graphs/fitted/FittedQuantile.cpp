#include "graphs/fitted/FittedQuantile.h"

#include "calculator/DesignTable.h"

namespace tavorix {

bool HasFittedQuantile(const CalcInputs& in) {
  return DesignValuesAvailable(in.Param.Code);
}

FittedQuantiles::FittedQuantiles(const CalcInputs& in) {
  if (HasFittedQuantile(in)) calc_.emplace(in.Param, in.Data);
}

FittedX FittedQuantiles::At(double f) const {
  FittedX out;
  if (!calc_ || !(f > 0 && f < 1)) return out;
  const ValueResult v = calc_->At(f);
  out.X = v.X;
  out.Lower = v.Xl;
  out.Upper = v.Xu;
  return out;
}


}  // namespace tavorix
