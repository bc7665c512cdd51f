#pragma once
// The fitted distribution's X at a cumulative frequency, with its 90%
// limits, for the graphs that plot X against frequencies (Q-Q, probability
// paper) and for the exports. Every such X goes through FittedQuantiles, so
// there is one place that turns a frequency into X.

#include <optional>

#include "calculator/Calculator.h"

namespace tavorix {

struct FittedX {
  // Input units; empty where the distribution has no X for the frequency.
  std::optional<double> X, Lower, Upper;
};

// Whether the distribution of the files gives X from a frequency at all.
bool HasFittedQuantile(const CalcInputs& in);

// X at cumulative frequencies (0 < f < 1) and X at the 90% limits of f for
// the number of data of the input file, as the calculator gives them; the
// calculator is prepared once for all the frequencies of a graph.
class FittedQuantiles {
 public:
  explicit FittedQuantiles(const CalcInputs& in);
  bool Available() const { return calc_.has_value(); }
  // Empty values where the distribution gives no X (or none at all).
  FittedX At(double f) const;

 private:
  std::optional<ValueCalculator> calc_;
};


}  // namespace tavorix
