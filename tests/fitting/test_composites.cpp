// Composite distributions: kind limits, separations, admission, the fits on
// data with a known junction, and an independent recomputation of the lines
// and scores that the fits report.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fitting/CompositeKinds.h"
#include "fitting/Composites.h"
#include "fitting/FitAll.h"
#include "FitTestSupport.h"

namespace tavorix {
namespace {

using testing::MakeRun;
using testing::MakeWorkspace;
using testing::QuantilesAtPlottingPositions;

// The codes of the registry's rows of a kind.
std::vector<int> CodesOf(DistKind kind) {
  std::vector<int> codes;
  for (const DistributionInfo& d : Registry())
    if (d.Kind == kind) codes.push_back(d.Code);
  return codes;
}
const std::vector<int> kSimpleCodes = CodesOf(DistKind::SimpleComposite);
const std::vector<int> kGeneralizedCodes = CodesOf(DistKind::GeneralizedComposite);

CompositeParts PartsOf(int code) {
  CompositeParts parts{};
  EXPECT_TRUE(CompositePartsOf(code, parts)) << code;
  return parts;
}

// Two Gumbel populations joined at X = 10: below, z = 0.5 X - 4; above,
// z = 0.1 X (through the origin, as a simple composite's upper line). Both
// give z = 1 at X = 10, where F = exp(-exp(-1)) = 0.692.
double TwoGumbelQuantile(double f) {
  const double z = -std::log(-std::log(f));
  return f <= std::exp(-std::exp(-1.0)) ? (z + 4.0) / 0.5 : z / 0.1;
}

// The same series with a small deterministic wobble, so that no line fits
// exactly and the searches have a genuine minimum.
std::vector<double> WobbledSeries(int n) {
  std::vector<double> v = QuantilesAtPlottingPositions(n, TwoGumbelQuantile);
  for (int i = 0; i < n; ++i) v[i] *= 1.0 + 0.03 * std::sin(1.7 * i);
  return v;
}

struct Collected {
  std::vector<std::string> Lines;
};
void CollectProgress(TavorixRun& run, Collected& c) {
  run.Progress = [&c](std::string_view line) { c.Lines.emplace_back(line); };
}

// ---------------------------------------------------------------------------

TEST(CompositeKinds, LimitsOnZDifferBetweenTheGroups) {
  using K = ComponentKind;
  using L = KindLimits;
  const double e8 = std::exp(8.0);
  // Gumbel: z in [-8, 8] in both groups.
  for (L l : {L::Simple, L::Generalized}) {
    EXPECT_DOUBLE_EQ(ComponentFcLimited(K::Gumbel, l, 20.0), std::exp(-std::exp(-8.0)));
    EXPECT_DOUBLE_EQ(ComponentFcLimited(K::Gumbel, l, 3.0), std::exp(-std::exp(-3.0)));
  }
  // Mirrored Gumbel: unlimited in simple composites, [-8, 8] in generalized.
  EXPECT_DOUBLE_EQ(ComponentFcLimited(K::MirroredGumbel, L::Simple, 12.0),
                   1.0 - std::exp(-std::exp(-12.0)));
  EXPECT_DOUBLE_EQ(ComponentFcLimited(K::MirroredGumbel, L::Generalized, 12.0),
                   1.0 - std::exp(-std::exp(-8.0)));
  // Poisson, w = -z. Simple: w >= 8 gives the value 8 itself, smaller w is
  // not limited. Generalized: w in [-8, 8].
  EXPECT_EQ(ComponentFcLimited(K::Poisson, L::Simple, -8.0), 8.0);
  EXPECT_EQ(ComponentFcLimited(K::Poisson, L::Simple, -30.0), 8.0);
  EXPECT_DOUBLE_EQ(ComponentFcLimited(K::Poisson, L::Simple, -7.5), 1.0 - std::exp(7.5));
  EXPECT_DOUBLE_EQ(ComponentFcLimited(K::Poisson, L::Simple, 20.0), 1.0 - std::exp(-20.0));
  EXPECT_DOUBLE_EQ(ComponentFcLimited(K::Poisson, L::Generalized, -30.0), 1.0 - e8);
  EXPECT_DOUBLE_EQ(ComponentFcLimited(K::Poisson, L::Generalized, 20.0), 1.0 - std::exp(-8.0));
  // Logistic: unlimited, except in code 70's upper search.
  for (L l : {L::Simple, L::Generalized})
    EXPECT_DOUBLE_EQ(ComponentFcLimited(K::Logistic, l, 20.0), 1.0 / (1.0 + std::exp(20.0)));
  EXPECT_DOUBLE_EQ(ComponentFcLimited(K::Logistic, L::GeneralizedLogisticLimited, 20.0),
                   1.0 / (1.0 + e8));
  EXPECT_DOUBLE_EQ(ComponentFcLimited(K::Logistic, L::GeneralizedLogisticLimited, -20.0),
                   1.0 / (1.0 + 1.0 / e8));
}

TEST(CompositeSeparations, GeneralizedTrialsAreFloorsOfFivePercentSteps) {
  std::vector<int> n20, n37, n12;
  for (int j = 1; j <= kGeneralizedTrials; ++j) {
    n20.push_back(GeneralizedTrialSeparation(20, j));
    n37.push_back(GeneralizedTrialSeparation(37, j));
    n12.push_back(GeneralizedTrialSeparation(12, j));
  }
  EXPECT_EQ(n20, (std::vector<int>{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  // 37 x 0.25 = 9.25, x 0.30 = 11.1, x 0.35 = 12.95, ... x 0.75 = 27.75.
  EXPECT_EQ(n37, (std::vector<int>{9, 11, 12, 14, 16, 18, 20, 22, 24, 25, 27}));
  EXPECT_EQ(n12, (std::vector<int>{3, 3, 4, 4, 5, 6, 6, 7, 7, 8, 9}));
}

TEST(CompositeSeparations, TwelveDataAdmitOnlySixLowerData) {
  for (int code : kSimpleCodes) {
    for (int m = 0; m <= 12; ++m) EXPECT_EQ(CompositeAdmitted(code, m, 12), m == 6) << m;
  }
  for (int code : kGeneralizedCodes) {
    const bool is70 = code == 70;
    for (int m = 0; m <= 12; ++m)
      EXPECT_EQ(CompositeAdmitted(code, m, 12), m == 6 || (is70 && m == 5)) << code << " " << m;
  }
  // Twelve data: the generalized fits can only end on one of the trials
  // 3, 4, 5, 6, 7, 8, 9.
  TavorixRun run = MakeRun(WobbledSeries(12));
  FitWorkspace ws = MakeWorkspace(run);
  for (int code : kGeneralizedCodes) {
    FitGeneralizedComposite(run, ws, code);
    const int m = run.Slots[code].P.Composite.BreakCount;
    EXPECT_TRUE(m >= 3 && m <= 9) << code;
    EXPECT_DOUBLE_EQ(run.Slots[code].P.Composite.BreakPoint, static_cast<double>(run.X[m]));
  }
}

// ---------------------------------------------------------------------------
// Simple composites

TEST(SimpleComposites, DatumEqualToAGridPointBelongsToTheLowerPart) {
  // Range 1..51 gives the grid step 1, so the grid points are 2, 3, ... 50.
  // P = 3 leaves {1, 2, 3} below and {4, 5, 51} above; every other grid point
  // leaves fewer than 3 on one side. Were 3 counted above, P = 4 would win.
  TavorixRun run = MakeRun({1, 2, 3, 4, 5, 51});
  FitWorkspace ws = MakeWorkspace(run);
  for (int code : kSimpleCodes) {
    FitSimpleComposite(run, ws, code);
    const FitSlot& slot = run.Slots[code];
    ASSERT_TRUE(slot.HasResult) << code;
    EXPECT_EQ(slot.P.Composite.BreakPoint, 3.0) << code;
    EXPECT_EQ(slot.P.Composite.BreakCount, 3) << code;
  }
}

TEST(SimpleComposites, HeavyTiesLeaveNoAdmissibleSeparation) {
  // Every grid point lies between the tied 1s and the 9: 7 data below, 1 above.
  TavorixRun run = MakeRun({1, 1, 1, 1, 1, 1, 1, 9});
  FitWorkspace ws = MakeWorkspace(run);
  Collected progress;
  CollectProgress(run, progress);
  for (int code : kSimpleCodes) {
    FitSimpleComposite(run, ws, code);
    const FitSlot& slot = run.Slots[code];
    EXPECT_TRUE(slot.Ran);
    EXPECT_FALSE(slot.HasResult) << code;
    EXPECT_FALSE(slot.Listed) << code;
    EXPECT_EQ(slot.P.Composite.BreakCount, 0);
  }
  // The steps still report that they ran.
  EXPECT_EQ(progress.Lines.size(), 12u);
}

TEST(Composites, TiedLowerDataAreNotACandidateAndLeaveNoTraceOfEarlierLines) {
  // Nine tied minima then spread data: separations whose lower part holds
  // only the tied values cannot give a line and must not be chosen, and the
  // result must not depend on whatever line the workspace fitted before.
  std::vector<double> v(9, 1.0);
  for (int k = 0; k < 21; ++k) v.push_back(2.0 + 0.5 * k);
  TavorixRun run = MakeRun(v);
  for (int code : {9, 14, 71, 80}) {
    FitWorkspace ws = MakeWorkspace(run);
    ws.Line.ParA = 123.0;
    ws.Line.ParB = -7.0;
    code < 20 ? FitSimpleComposite(run, ws, code) : FitGeneralizedComposite(run, ws, code);
    const FitSlot first = run.Slots[code];
    ASSERT_TRUE(first.HasResult) << code;
    EXPECT_GT(first.P.Composite.BreakCount, 9) << code;

    FitWorkspace other = MakeWorkspace(run);
    other.Line.ParA = -55.0;
    other.Line.ParB = 3.0;
    code < 20 ? FitSimpleComposite(run, other, code) : FitGeneralizedComposite(run, other, code);
    const FitSlot& second = run.Slots[code];
    EXPECT_EQ(first.Score, second.Score) << code;
    EXPECT_EQ(first.P.Composite.Lower.A, second.P.Composite.Lower.A) << code;
    EXPECT_EQ(first.P.Composite.BreakCount, second.P.Composite.BreakCount) << code;
  }
}

TEST(SimpleComposites, PoissonUpperPartWithLargeWGetsTheValueEight) {
  // Three low data, then 27 data packed just below the top of the range: every
  // admissible grid point leaves exactly the three below. The upper line runs
  // through point 3, whose logistic transform ln(31/3 - 1) = 2.23 exceeds the
  // mean Poisson transform of the upper part, so its slope is negative and
  // z = Ag X lies far below -8 for all upper data.
  std::vector<double> v = {100.0, 100.1, 100.2};
  for (int k = 0; k < 27; ++k) v.push_back(101.97 + 0.001 * k);
  TavorixRun run = MakeRun(v);
  FitWorkspace ws = MakeWorkspace(run);
  FitSimpleComposite(run, ws, 18);
  const FitSlot& slot = run.Slots[18];
  ASSERT_TRUE(slot.HasResult);
  ASSERT_EQ(slot.P.Composite.BreakCount, 3);
  ASSERT_LT(slot.P.Composite.Upper.A * 101.97, -8.0);
  // Each upper datum contributes |F - 8| = 8 - F; the three lower ones at most 1.
  double upper = 0;
  for (int r = 4; r <= 30; ++r) upper += 8.0 - r / 31.0;
  EXPECT_GE(slot.Score, upper - 1e-9);
  EXPECT_LE(slot.Score, upper + 3.0);
}

TEST(SimpleComposites, TwoGumbelPopulationsAreFoundAtTheirJunction) {
  TavorixRun run = MakeRun(QuantilesAtPlottingPositions(100, TwoGumbelQuantile));
  FitWorkspace ws = MakeWorkspace(run);
  for (int code : kSimpleCodes) FitSimpleComposite(run, ws, code);
  const FitSlot& gumbel = run.Slots[9];
  ASSERT_TRUE(gumbel.HasResult);
  for (int code : kSimpleCodes) {
    if (code != 9) {
      EXPECT_LT(gumbel.Score, run.Slots[code].Score) << code;
    }
  }
  const double step = static_cast<double>(run.X[100] - run.X[1]) / 50;
  EXPECT_LT(std::fabs(gumbel.P.Composite.BreakPoint - 10.0), step);
  EXPECT_NEAR(gumbel.P.Composite.Lower.A, 0.5, 0.025);
  EXPECT_NEAR(gumbel.P.Composite.Upper.A, 0.1, 0.005);
  EXPECT_EQ(gumbel.P.Composite.Upper.B, 0.0);
  EXPECT_LT(AverageOf(gumbel.Score, 100), 0.5);
}

// ---------------------------------------------------------------------------
// Generalized composites

TEST(GeneralizedComposites, TwoGumbelPopulationsAreFoundAtTheirJunction) {
  // The junction F = 0.692 lies at rank 0.692 x 101 = 69.9; the 70 % trial
  // (M = 70) is the nearest.
  TavorixRun run = MakeRun(QuantilesAtPlottingPositions(100, TwoGumbelQuantile));
  FitWorkspace ws = MakeWorkspace(run);
  for (int code : kGeneralizedCodes) FitGeneralizedComposite(run, ws, code);
  const FitSlot& gumbel = run.Slots[71];
  ASSERT_TRUE(gumbel.HasResult);
  for (int code : kGeneralizedCodes) {
    if (code != 71) {
      EXPECT_LT(gumbel.Score, run.Slots[code].Score) << code;
    }
  }
  EXPECT_EQ(gumbel.P.Composite.BreakCount, 70);
  EXPECT_DOUBLE_EQ(gumbel.P.Composite.BreakPoint, static_cast<double>(run.X[70]));
  EXPECT_NEAR(gumbel.P.Composite.Lower.E, 1.0, 0.05);
  EXPECT_NEAR(gumbel.P.Composite.Upper.E, 1.0, 0.05);
  EXPECT_LT(AverageOf(gumbel.Score, 100), 0.1);
}

// ---------------------------------------------------------------------------
// Independent recomputation: the lines of the reported separation and
// exponents, the score, and the minimality of the chosen search steps.

struct PlainLine {
  long double A = 0, B = 0;
};

PlainLine LeastSquaresOver(const std::vector<long double>& t, const std::vector<long double>& f,
                           int first, int last) {
  const long double n = last - first + 1;
  long double st = 0, sf = 0;
  for (int i = first; i <= last; ++i) st += t[i], sf += f[i];
  const long double mt = st / n, mf = sf / n;
  long double sxx = 0, sxy = 0;
  for (int i = first; i <= last; ++i) sxx += (t[i] - mt) * (t[i] - mt), sxy += (t[i] - mt) * (f[i] - mf);
  PlainLine l;
  l.A = sxy / sxx;
  l.B = mf - l.A * mt;
  return l;
}

PlainLine ThroughPointAndUpperCentroid(const std::vector<long double>& t,
                                       const std::vector<long double>& f, int m, int n) {
  long double st = 0, sf = 0;
  for (int i = m + 1; i <= n; ++i) st += t[i], sf += f[i];
  const long double mt = st / (n - m), mf = sf / (n - m);
  PlainLine l;
  l.A = (mf - f[m]) / (mt - t[m]);
  l.B = mf - l.A * mt;
  return l;
}

struct Recomputed {
  PlainLine Low, Up;
  long double SumSq = 0, SatSumSq = 0, SumAbs = 0;
};

// Transformed frequencies split at m, the given t, both lines, and the sums
// over the requested parts (lower ranks 1..m, upper m+1..n); Bg is kept only
// where the code has an upper intercept.
Recomputed Recompute(const TavorixRun& run, const CompositeParts& parts, KindLimits lowLimits,
                     KindLimits upLimits, const std::vector<long double>& t, int m,
                     bool lowerSums, bool upperSums) {
  const int n = run.N;
  std::vector<long double> f(n + 1);
  for (int i = 1; i <= n; ++i)
    f[i] = ComponentFt(i <= m ? parts.Lower : parts.Upper, static_cast<double>(run.Fr[i]));
  Recomputed r;
  r.Low = LeastSquaresOver(t, f, 1, m);
  r.Up = ThroughPointAndUpperCentroid(t, f, m, n);
  if (!parts.UpperIntercept) r.Up.B = 0;
  for (int i = 1; i <= n; ++i) {
    const bool low = i <= m;
    if ((low && !lowerSums) || (!low && !upperSums)) continue;
    const PlainLine& l = low ? r.Low : r.Up;
    const double z = static_cast<double>(l.A * t[i] + l.B);
    const double fc = ComponentFcLimited(low ? parts.Lower : parts.Upper, low ? lowLimits : upLimits, z);
    const long double d = run.Fr[i] - fc;
    r.SumSq += d * d;
    r.SatSumSq += std::fabs(d) > 1 ? 1 : d * d;
    r.SumAbs += std::fabs(d);
  }
  return r;
}

void ExpectRelNear(long double expected, double actual, const char* what, int code) {
  EXPECT_NEAR(actual, static_cast<double>(expected), 1e-9 * (1 + std::fabs(expected)))
      << what << " of code " << code;
}

TEST(GeneralizedComposites, ReportedLinesScoreAndExponentsFollowFromTheSeparation) {
  TavorixRun run = MakeRun(WobbledSeries(40));
  FitWorkspace ws = MakeWorkspace(run);
  const int n = run.N;
  auto power = [&](int i, double e) { return std::exp(static_cast<long double>(e) * std::log(run.X[i])); };
  for (int code : kGeneralizedCodes) {
    FitGeneralizedComposite(run, ws, code);
    const FitSlot& slot = run.Slots[code];
    ASSERT_TRUE(slot.HasResult);
    const CompositeParts parts = PartsOf(code);
    const int m = slot.P.Composite.BreakCount;
    bool isTrial = false;
    for (int j = 1; j <= kGeneralizedTrials; ++j) isTrial |= m == n * (j + 4) / 20;
    EXPECT_TRUE(isTrial) << code;
    EXPECT_DOUBLE_EQ(slot.P.Composite.BreakPoint, static_cast<double>(run.X[m]));

    // Final pass: lower part on X^Es, upper on X^Eg, the upper line anchored
    // at point M with X[M]^Es and the lower kind's transform.
    std::vector<long double> t(n + 1);
    for (int i = 1; i <= n; ++i) t[i] = power(i, i <= m ? slot.P.Composite.Lower.E : slot.P.Composite.Upper.E);
    const Recomputed fin = Recompute(run, parts, KindLimits::Generalized, KindLimits::Generalized,
                                     t, m, true, true);
    ExpectRelNear(fin.Low.A, slot.P.Composite.Lower.A, "As", code);
    ExpectRelNear(fin.Low.B, slot.P.Composite.Lower.B, "Bs", code);
    ExpectRelNear(fin.Up.A, slot.P.Composite.Upper.A, "Ag", code);
    ExpectRelNear(fin.Up.B, slot.P.Composite.Upper.B, "Bg", code);
    ExpectRelNear(fin.SumAbs, slot.Score, "score", code);

    // Es minimises the saturated lower misfit over E = 0.01 .. 3.00.
    long double chosen = -1;
    std::vector<long double> lowS(kCompositeExponentSteps + 1);
    for (int k = 1; k <= kCompositeExponentSteps; ++k) {
      for (int i = 1; i <= m; ++i) t[i] = power(i, 0.01 * k);
      lowS[k] = Recompute(run, parts, KindLimits::Generalized, KindLimits::Generalized, t, m, true,
                          false)
                    .SatSumSq;
      if (std::fabs(0.01 * k - slot.P.Composite.Lower.E) < 1e-9) chosen = lowS[k];
    }
    ASSERT_GT(chosen, 0) << code;
    for (int k = 1; k <= kCompositeExponentSteps; ++k) {
      if (lowS[k] > 0) {
        EXPECT_LE(chosen, lowS[k] * (1 + 1e-9)) << code << " lower k " << k;
      }
    }

    // Eg minimises the saturated upper misfit with point M kept at X[M]^Es
    // (code 70 limits the logistic z here).
    const KindLimits upLimits =
        code == 70 ? KindLimits::GeneralizedLogisticLimited : KindLimits::Generalized;
    for (int i = 1; i <= m; ++i) t[i] = power(i, slot.P.Composite.Lower.E);
    chosen = -1;
    std::vector<long double> upS(kCompositeExponentSteps + 1);
    for (int k = 1; k <= kCompositeExponentSteps; ++k) {
      for (int i = m + 1; i <= n; ++i) t[i] = power(i, 0.01 * k);
      upS[k] = Recompute(run, parts, KindLimits::Generalized, upLimits, t, m, false, true).SatSumSq;
      if (std::fabs(0.01 * k - slot.P.Composite.Upper.E) < 1e-9) chosen = upS[k];
    }
    ASSERT_GT(chosen, 0) << code;
    for (int k = 1; k <= kCompositeExponentSteps; ++k) {
      if (upS[k] > 0) {
        EXPECT_LE(chosen, upS[k] * (1 + 1e-9)) << code << " upper k " << k;
      }
    }
  }
}

TEST(SimpleComposites, ReportedSeparationMinimisesTheSquaredMisfitOfTheGrid) {
  TavorixRun run = MakeRun(WobbledSeries(30));
  FitWorkspace ws = MakeWorkspace(run);
  const int n = run.N;
  std::vector<long double> x(n + 1);
  for (int i = 1; i <= n; ++i) x[i] = run.X[i];
  const long double step = (run.X[n] - run.X[1]) / 50;
  for (int code : kSimpleCodes) {
    FitSimpleComposite(run, ws, code);
    const FitSlot& slot = run.Slots[code];
    ASSERT_TRUE(slot.HasResult);
    const CompositeParts parts = PartsOf(code);
    const Recomputed chosen = Recompute(run, parts, KindLimits::Simple, KindLimits::Simple, x,
                                        slot.P.Composite.BreakCount, true, true);
    ExpectRelNear(chosen.Low.A, slot.P.Composite.Lower.A, "As", code);
    ExpectRelNear(chosen.Low.B, slot.P.Composite.Lower.B, "Bs", code);
    ExpectRelNear(chosen.Up.A, slot.P.Composite.Upper.A, "Ag", code);
    EXPECT_EQ(slot.P.Composite.Upper.B, 0.0);
    ExpectRelNear(chosen.SumAbs, slot.Score, "score", code);
    // The reported P is a grid point, and it is the admissible one with the
    // smallest squared misfit.
    bool onGrid = false;
    for (int k = 1; k <= kSimpleGridPoints; ++k) {
      const long double p = run.X[1] + k * step;
      onGrid |= std::fabs(p - slot.P.Composite.BreakPoint) < 1e-9;
      int m = 0;
      while (m < n && run.X[m + 1] <= p) ++m;
      if (m < 3 || n - m < 3) continue;
      const Recomputed other = Recompute(run, parts, KindLimits::Simple, KindLimits::Simple, x, m,
                                         true, true);
      EXPECT_LE(chosen.SumSq, other.SumSq * (1 + 1e-9)) << code << " grid point " << k;
    }
    EXPECT_TRUE(onGrid) << code;
  }
}

// ---------------------------------------------------------------------------
// Step ending: progress lines, preference, list entry, fitted curve

TEST(CompositeSteps, ProgressLinesFollowTheTable) {
  TavorixRun run = MakeRun(WobbledSeries(20));
  FitWorkspace ws = MakeWorkspace(run);
  Collected progress;
  CollectProgress(run, progress);
  for (int code : kSimpleCodes) FitSimpleComposite(run, ws, code);
  for (int code : kGeneralizedCodes) FitGeneralizedComposite(run, ws, code);
  const std::vector<std::string> expected = {
      " 7 done", " 8 done", " 9 done", " 10 done", " 11 done", " 12 done", " 13 done",
      " 14 done", " 15 done", " 16 done", " 17 done", " 18 done",
      " 70 done", " 71 done", " 72 done", " 74 done", " 80 done", " Progress 20% .....",
      " 81 done", " 82 done .....", " 83 done", " 84 done", " Progress 60% .....", " 85 done"};
  EXPECT_EQ(progress.Lines, expected);
  for (int code : kSimpleCodes) EXPECT_TRUE(run.Slots[code].Listed) << code;
  for (int code : kGeneralizedCodes) EXPECT_TRUE(run.Slots[code].Listed) << code;
}

TEST(CompositeSteps, PreferredCompositeAddsNoProgressAndNoListEntry) {
  {
    TavorixRun run = MakeRun(WobbledSeries(20), "15");
    FitWorkspace ws = MakeWorkspace(run);
    Collected progress;
    CollectProgress(run, progress);
    FitSimpleComposite(run, ws, 15);
    EXPECT_TRUE(run.Slots[15].HasResult);
    EXPECT_FALSE(run.Slots[15].Listed);
    EXPECT_TRUE(progress.Lines.empty());
  }
  {
    // Code 74 is preferred by the text "90"; the text "74" is not its own.
    TavorixRun run = MakeRun(WobbledSeries(20), "90");
    FitWorkspace ws = MakeWorkspace(run);
    Collected progress;
    CollectProgress(run, progress);
    FitGeneralizedComposite(run, ws, 74);
    EXPECT_TRUE(run.Slots[74].HasResult);
    EXPECT_FALSE(run.Slots[74].Listed);
    EXPECT_TRUE(progress.Lines.empty());
    run.PreferredCode = "74";
    FitGeneralizedComposite(run, ws, 74);
    EXPECT_EQ(progress.Lines, std::vector<std::string>{" 74 done"});
  }
}

TEST(CompositeCurve, PartFollowsTheBreakPointOrTheRank) {
  // Code 15: logistic below, Gumbel above, on X itself.
  FitParams p;
  p.Composite.Lower.A = -1.0;
  p.Composite.Lower.B = 3.0;
  p.Composite.Upper.A = 0.5;
  p.Composite.Upper.B = 0.0;
  p.Composite.BreakPoint = 4.0;
  p.Composite.BreakCount = 5;
  EXPECT_DOUBLE_EQ(CompositeFc(15, p, 4.0), 1.0 / (1.0 + std::exp(-1.0)));
  EXPECT_DOUBLE_EQ(CompositeFc(15, p, 4.5), std::exp(-std::exp(-2.25)));
  // A datum at P with rank 6 lies in the upper part; rank 5 in the lower.
  EXPECT_DOUBLE_EQ(CompositeFcAtRank(15, p, 4.0, 6), std::exp(-std::exp(-2.0)));
  EXPECT_DOUBLE_EQ(CompositeFcAtRank(15, p, 4.0, 5), 1.0 / (1.0 + std::exp(-1.0)));
  // The curve uses the unlimited kinds: a Poisson upper part (code 16) far
  // below its line is 0 there (no mass below its range), not the search's 8
  // and not the formula's negative 1 - exp(9); the distribution then stays
  // at what the lower part reaches at P.
  FitParams poisson;
  poisson.Composite.BreakPoint = 1.0;
  poisson.Composite.Upper.A = -3.0;
  EXPECT_EQ(CompositePartFc(16, poisson, 3.0, false), 0.0);
  EXPECT_DOUBLE_EQ(CompositeFc(16, poisson, 3.0), CompositePartFc(16, poisson, 1.0, true));
  poisson.Composite.Upper.A = 3.0;
  EXPECT_DOUBLE_EQ(CompositeFc(16, poisson, 3.0), 1.0 - std::exp(-9.0));

  // Code 85: Poisson on X^Es below, Gumbel on X^Eg above.
  FitParams g;
  g.Composite.Lower.A = 0.3;
  g.Composite.Lower.B = 0.1;
  g.Composite.Lower.E = 0.5;
  g.Composite.Upper.A = 0.05;
  g.Composite.Upper.B = 0.2;
  g.Composite.Upper.E = 2.0;
  g.Composite.BreakPoint = 9.0;
  g.Composite.BreakCount = 7;
  EXPECT_NEAR(CompositeFc(85, g, 9.0), 1.0 - std::exp(-1.0), 1e-14);
  EXPECT_NEAR(CompositeFc(85, g, 10.0), std::exp(-std::exp(-5.2)), 1e-14);
}

}  // namespace
}  // namespace tavorix
