#include "graphs/fitted/FittedQuantile.h"

#include "calculator/DesignTable.h"

namespace tavorix {

bool HasFittedQuantile(const CalcInputs& in) {
  return DesignValuesAvailable(in.Param.Code);
}

FittedX FittedQuantile(const CalcInputs& in, double f) {
  FittedX out;
  if (!HasFittedQuantile(in) || !(f > 0 && f < 1)) return out;
  const ValueResult v = CalcVal(in.Param, in.Data, f);
  out.X = v.X;
  out.Lower = v.Xl;
  out.Upper = v.Xu;
  return out;
}

}  // namespace tavorix
