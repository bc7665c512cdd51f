// Values drawn from a fitted distribution follow its cumulative frequency:
// for every row of the registry, fitted on one skewed series, a
// Kolmogorov-Smirnov test of 2000 draws against F. And the pieces the draws
// are made of: the normal quantile and the replicas' random streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "fitting/Composites.h"
#include "fitting/FitAll.h"
#include "fitting/FitTestSupport.h"
#include "fitting/FittedModel.h"
#include "fitting/Sampling.h"

namespace tavorix {
namespace {

TEST(Sampling, NormalQuantileInvertsTheNormalDistribution) {
  auto phi = [](double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); };
  for (double p : {1e-300, 1e-100, 1e-20, 1e-8, 1e-4, 0.001, 0.02425, 0.075, 0.2, 0.4, 0.5}) {
    for (double q : {p, 1.0 - p}) {
      if (!(q > 0 && q < 1)) continue;
      const double z = StandardNormalQuantile(q);
      // Relative in the nearer tail: erfc holds its precision there.
      const double tail = q < 0.5 ? phi(z) : phi(-z);
      EXPECT_NEAR(tail / std::min(q, 1.0 - q), 1.0, 1e-12) << "q = " << q << " z = " << z;
    }
  }
  EXPECT_NEAR(StandardNormalQuantile(0.975), 1.959963984540054, 1e-15);
}

TEST(Sampling, ReplicaStreamsDependOnSeedAndIndexOnly) {
  auto first = [](std::uint64_t seed, std::uint64_t index) {
    std::mt19937_64 rng = ReplicaStream(seed, index);
    return UniformFrequency(rng);
  };
  EXPECT_EQ(first(7, 3), first(7, 3));
  EXPECT_NE(first(7, 3), first(7, 4));
  EXPECT_NE(first(7, 3), first(8, 3));
  EXPECT_NE(first(1ull << 32, 0), first(0, 0));  // the seed's high half counts
  std::mt19937_64 rng = ReplicaStream(1, 0);
  for (int i = 0; i < 1000; ++i) {
    const double u = UniformFrequency(rng);
    ASSERT_TRUE(u > 0 && u < 1);
  }
}

// Whether the distribution lives on x >= 0 of the moved scale, with the
// frequency F(0) as a mass at 0: its quantile formula has no value below
// that frequency (a power or root of a negative value), though F may have
// one below 0 (X^E with E = 1, the square of the normal family).
bool LivesFromZero(const FittedModel& m) {
  const double f0 = m.F(0.0, Guard::Data);
  if (!(f0 > 0)) return false;
  if (m.IsNormalFamily()) {
    const NormalTransform t = m.Transform();
    return t == NormalTransform::Sqrt || t == NormalTransform::Square || t == NormalTransform::Power;
  }
  return !m.Inverse(f0 / 2, CompositePart::Lower).Ok;
}

// The distribution function the draws aim at: F itself, 0 below 0 for a
// distribution that lives from 0, and where a composite's upper part starts
// below its lower one at P, the lower part's frequency there until the upper
// part passes it (F made monotone at P).
double Target(const FittedModel& m, double x) {
  if (x < 0 && LivesFromZero(m)) return 0.0;
  double f = m.F(x, Guard::Data);
  if (m.IsComposite() && x > m.Params().Composite.BreakPoint)
    f = std::max(f, CompositePartFc(m.Code(), m.Params(), m.Params().Composite.BreakPoint, true));
  return f;
}

// Kolmogorov-Smirnov D of sorted draws against Target, with its one-sided
// limits at each distinct value (a draw may fall on an atom: the lower end
// of the distribution, or P where the upper part starts above the lower).
double KsDistance(const FittedModel& m, const std::vector<double>& sorted) {
  const double n = static_cast<double>(sorted.size());
  double d = 0;
  for (std::size_t i = 0; i < sorted.size();) {
    std::size_t j = i;
    while (j < sorted.size() && sorted[j] == sorted[i]) ++j;
    const double x = sorted[i];
    const double right = Target(m, std::nextafter(x, HUGE_VAL));
    const double left = Target(m, std::nextafter(x, -HUGE_VAL));
    d = std::max({d, static_cast<double>(j) / n - right, left - static_cast<double>(i) / n});
    i = j;
  }
  return d;
}

// Asymptotic p-value of the Kolmogorov distribution with Stephens' correction.
double KsPValue(double d, double n) {
  const double lambda = (std::sqrt(n) + 0.12 + 0.11 / std::sqrt(n)) * d;
  double p = 0;
  for (int k = 1; k <= 100; ++k) p += 2.0 * ((k % 2) ? 1.0 : -1.0) * std::exp(-2.0 * k * k * lambda * lambda);
  return std::clamp(p, 0.0, 1.0);
}

TEST(Sampling, DrawsFollowTheFittedDistributionOfEveryCode) {
  const TavorixRun& run = testing::SkewedRunFittedByEveryRow();
  constexpr int kDraws = 2000;
  int swept = 0;
  for (const DistributionInfo& d : Registry()) {
    if (d.Kind == DistKind::TitleOnly) continue;
    SCOPED_TRACE("code " + std::to_string(d.Code));
    const FitSlot& slot = run.Slots[d.Code];
    ASSERT_TRUE(slot.Ran && slot.HasResult) << "the series gives no fit";
    TavorixRun chosen = run;
    TakeFit(chosen, d.Code);
    const FittedModel model(chosen.Fitted, chosen.Shift);

    std::mt19937_64 rng = ReplicaStream(20240611, static_cast<std::uint64_t>(d.Code));
    std::vector<double> draws;
    bool drawn = CanSample(model);
    for (int i = 0; drawn && i < kDraws; ++i) {
      const InverseResult x = QuantileOf(model, UniformFrequency(rng));
      drawn = x.Ok;
      draws.push_back(x.X);
    }
    double p = 0;
    if (drawn) {
      std::sort(draws.begin(), draws.end());
      p = KsPValue(KsDistance(model, draws), kDraws);
    }
    ++swept;
    ASSERT_TRUE(drawn) << "no values can be drawn";
    EXPECT_GT(p, 0.001);
  }
  EXPECT_GT(swept, 50);
}

}  // namespace
}  // namespace tavorix
