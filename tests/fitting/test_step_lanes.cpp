// Four steps side by side in vector lanes must give, lane by lane, the values
// of each step done alone: the array exp and log, the line sums added in
// point order, the misfits, and the cut-off's bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "fitting/FitWorkspace.h"
#include "fitting/StepLanes.h"
#include "fitting/VectorMath.h"

namespace tavorix {
namespace {

constexpr int L = lanes::kLanes;

bool Same(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) || (std::isnan(a) && std::isnan(b));
}

struct Series {
  std::vector<double> X, Fr, Df;  // 1..n
};

Series MakeSeries(int n) {
  std::mt19937_64 random(static_cast<unsigned>(n));
  std::uniform_real_distribution<double> u(0.0, 1.0);
  Series s{std::vector<double>(n + 1), std::vector<double>(n + 1), std::vector<double>(n + 1)};
  for (int i = 1; i <= n; ++i) s.X[i] = 2.0 + 40.0 * u(random) * u(random);
  std::sort(s.X.begin() + 1, s.X.end());
  for (int i = 1; i <= n; ++i) {
    s.Fr[i] = static_cast<double>(i) / (n + 1);
    s.Df[i] = u(random) - 0.5;
  }
  return s;
}

// Lane l of the interleaved Xt against one step's values, and the sums of the
// lanes against the same sums added one point after the other.
void ExpectLaneOfStep(const std::vector<double>& xt4, const std::vector<double>& one, const Series& s, int n,
                      int l, const lanes::FirstSums& first) {
  double sum = 0, lo = one[1], hi = one[1];
  for (int i = 1; i <= n; ++i) {
    ASSERT_TRUE(Same(xt4[4 * i + l], one[i])) << "lane " << l << ", point " << i;
    sum += one[i];
    lo = one[i] < lo ? one[i] : lo;
    hi = one[i] > hi ? one[i] : hi;
  }
  EXPECT_TRUE(Same(first.SumX[l], sum)) << l;
  EXPECT_TRUE(Same(first.Lo[l], lo)) << l;
  EXPECT_TRUE(Same(first.Hi[l], hi)) << l;
  const double meanX = sum / n;
  double dx = 0, sxx = 0, sxy = 0;
  for (int i = 1; i <= n; ++i) {
    const double d = one[i] - meanX;
    dx += d;
    sxx += d * d;
    sxy += d * s.Df[i];
  }
  double means[L];
  for (int k = 0; k < L; ++k) means[k] = first.SumX[k] / n;
  const lanes::DeviationSums second = lanes::Deviations(xt4.data(), s.Df.data(), n, means);
  EXPECT_TRUE(Same(second.DxSum[l], dx)) << l;
  EXPECT_TRUE(Same(second.Sxx[l], sxx)) << l;
  EXPECT_TRUE(Same(second.Sxy[l], sxy)) << l;
}

TEST(StepLanes, BoundStepsAreThoseOfEachStepAlone) {
  if (!lanes::Available()) GTEST_SKIP() << "the inline 4-wide path is not the active one";
  for (int n : {1, 6, 37, 300}) {
    const Series s = MakeSeries(n);
    for (bool left : {true, false}) {
      const double c[L] = {left ? 1.5 : 45.0, left ? -3.0 : 60.0, left ? 1.999 : 42.01, left ? -100.0 : 500.0};
      std::vector<double> xt4(static_cast<std::size_t>(L) * (n + 1)), one(n + 1), g(n + 1);
      const lanes::FirstSums first = lanes::BoundTransform(s.X.data(), n, c, left, xt4.data());
      const double a[L] = {1.3, 0.7, 2.2, -0.5}, b[L] = {-0.4, 0.1, -2.0, 0.9};
      for (bool mirrored : {false, true}) {
        double misfit[L];
        lanes::BoundMisfits(xt4.data(), s.Fr.data(), n, a, b, mirrored, misfit);
        for (int l = 0; l < L; ++l) {
          (left ? LogAboveArray : LogBelowArray)(s.X.data() + 1, c[l], one.data() + 1, n);
          ExpectLaneOfStep(xt4, one, s, n, l, first);
          ExpNegExpAffineArray(one.data() + 1, a[l], b[l], g.data() + 1, n);
          double sum = 0;
          for (int i = 1; i <= n; ++i) {
            const double d = s.Fr[i] - (mirrored ? 1.0 - g[i] : g[i]);
            sum += d * d;
          }
          EXPECT_TRUE(Same(misfit[l], sum)) << "n " << n << ", lane " << l << ", mirrored " << mirrored;
        }
      }
    }
  }
}

TEST(StepLanes, BurrStepsAreThoseOfEachStepAloneAndTheCutOffBoundsThem) {
  if (!lanes::Available()) GTEST_SKIP() << "the inline 4-wide path is not the active one";
  for (int n : {1, 9, 300}) {
    const Series s = MakeSeries(n);
    std::vector<double> xa(n + 1);
    for (int i = 1; i <= n; ++i) xa[i] = std::pow(s.X[i], 1.7);
    const double scale[L] = {0.5, 20.0, 300.0, 1e6};
    std::vector<double> xt4(static_cast<std::size_t>(L) * (n + 1)), one(n + 1), ez(n + 1),
        tail(static_cast<std::size_t>(L) * n);
    const lanes::FirstSums first = lanes::RatioTransform(xa.data(), n, scale, xt4.data());
    const double a[L] = {1.1, 0.4, 2.5, 0.9}, b[L] = {0.3, -0.2, 1.4, -3.0};
    for (bool dagum : {false, true}) {
      double whole[L];
      lanes::BurrMisfits(xt4.data(), s.Fr.data(), n, a, b, dagum, HUGE_VAL, tail.data(), whole);
      for (int l = 0; l < L; ++l) {
        LogRatioArray(xa.data() + 1, scale[l], one.data() + 1, n);
        ExpectLaneOfStep(xt4, one, s, n, l, first);
        ExpAffineArray(one.data() + 1, a[l], b[l], ez.data() + 1, n);
        double sum = 0;
        for (int i = 1; i <= n; ++i) sum += SaturatedSq(s.Fr[i] - (dagum ? ez[i] : 1.0 - ez[i]));
        EXPECT_TRUE(Same(whole[l], sum)) << "n " << n << ", lane " << l << ", dagum " << dagum;
      }
      // A cut-off below some lanes' misfits: every lane keeps its whole sum.
      // Below all of them: each lane is above it and at most its whole sum.
      const double least = *std::min_element(whole, whole + L);
      for (double cutoff : {least, least * 0.01}) {
        double cut[L];
        lanes::BurrMisfits(xt4.data(), s.Fr.data(), n, a, b, dagum, cutoff, tail.data(), cut);
        const bool allAbove = std::all_of(whole, whole + L, [&](double w) { return w > cutoff; });
        int shortened = 0;
        for (int l = 0; l < L; ++l) {
          if (!allAbove) {
            EXPECT_TRUE(Same(cut[l], whole[l])) << l;
            continue;
          }
          EXPECT_GT(cut[l], cutoff) << l;
          EXPECT_LE(cut[l], whole[l]) << l;
          shortened += cut[l] < whole[l];
        }
        if (allAbove && n == 300) {
          EXPECT_GT(shortened, 0) << "no sum was cut short";
        }
      }
    }
  }
}

TEST(StepLanes, KumaraswamyStepsAreThoseOfEachStepAlone) {
  if (!lanes::Available()) GTEST_SKIP() << "the inline 4-wide path is not the active one";
  for (int n : {3, 300}) {
    const Series s = MakeSeries(n);
    std::vector<double> lnr(n + 1);  // ln(X / M), the top one above 0 (a difference below 0)
    for (int i = 1; i <= n; ++i) lnr[i] = std::log(s.X[i] / (s.X[n] * 0.999));
    const double a[L] = {0.2, 0.9, 1.7, 2.99}, b[L] = {0.8, 1.9, 0.3, 4.0};
    std::vector<double> xt4(static_cast<std::size_t>(L) * (n + 1)), one(n + 1), ez(n + 1),
        tail(static_cast<std::size_t>(L) * n);
    double sumX[L], whole[L], cut[L];
    lanes::KumaraswamyTransform(lnr.data(), n, a, xt4.data(), sumX);
    lanes::KumaraswamyMisfits(xt4.data(), s.Fr.data(), n, b, HUGE_VAL, tail.data(), whole);
    for (int l = 0; l < L; ++l) {
      LogOneMinusExpScaledArray(lnr.data() + 1, a[l], one.data() + 1, n);
      double sum = 0;
      for (int i = 1; i <= n; ++i) {
        if (!(one[i] > -HUGE_VAL)) one[i] = 0.00001;
        ASSERT_TRUE(Same(xt4[4 * i + l], one[i])) << "lane " << l << ", point " << i;
        sum += one[i];
      }
      EXPECT_TRUE(Same(sumX[l], sum)) << l;
      ExpScaledArray(one.data() + 1, b[l], ez.data() + 1, n);
      double misfit = 0;
      for (int i = 1; i <= n; ++i) misfit += SaturatedSq(s.Fr[i] - (1.0 - ez[i]));
      EXPECT_TRUE(Same(whole[l], misfit)) << l;
    }
    const double cutoff = *std::min_element(whole, whole + L) * 0.5;
    lanes::KumaraswamyMisfits(xt4.data(), s.Fr.data(), n, b, cutoff, tail.data(), cut);
    for (int l = 0; l < L; ++l) {
      EXPECT_GT(cut[l], cutoff) << l;
      EXPECT_LE(cut[l], whole[l]) << l;
    }
  }
}

// The lines of a group are those FinishLeastSquares makes step by step, a
// step without variation (all its Xt equal) keeping the line before it.
TEST(StepLanes, LinesAreThoseOfEachStepInStepOrder) {
  if (!lanes::Available()) GTEST_SKIP() << "the inline 4-wide path is not the active one";
  const int n = 37;
  const Series s = MakeSeries(n);
  // Ft close to a line in ln X: intercepts that cancel, where each rounding
  // of a product shows.
  std::vector<double> ft(n + 1), df(n + 1);
  double sumF = 0, dfSum = 0;
  for (int i = 1; i <= n; ++i) sumF += ft[i] = 2.0 * std::log(s.X[i]) - 1.0 + 0.01 * s.Df[i];
  for (int i = 1; i <= n; ++i) dfSum += df[i] = ft[i] - sumF / n;
  std::vector<std::vector<double>> groups;
  std::vector<lanes::FirstSums> firsts;
  for (int flat : {0, 1, 3}) {
    std::vector<double>& xt4 = groups.emplace_back(static_cast<std::size_t>(L) * (n + 1));
    lanes::FirstSums& first = firsts.emplace_back();
    for (int l = 0; l < L; ++l) {
      for (int i = 1; i <= n; ++i) {
        const double v = l == flat ? 2.5 : std::log(s.X[i] + 0.5 * l);
        xt4[4 * i + l] = v;
        first.SumX[l] += v;
        first.Lo[l] = i == 1 || v < first.Lo[l] ? v : first.Lo[l];
        first.Hi[l] = i == 1 || v > first.Hi[l] ? v : first.Hi[l];
      }
    }
    LineState line, alone;
    line.N = alone.N = n;
    line.ParA = alone.ParA = 0.75;  // the line before the group
    line.ParB = alone.ParB = -1.5;
    LineState after[L];
    lanes::MakeLines(xt4.data(), first, {df.data(), sumF, dfSum}, n, line, after);
    double means[L];
    for (int l = 0; l < L; ++l) means[l] = first.SumX[l] / n;
    const lanes::DeviationSums second = lanes::Deviations(xt4.data(), df.data(), n, means);
    for (int l = 0; l < L; ++l) {
      LineSums sums;
      sums.SumX = first.SumX[l];
      sums.SumF = sumF;
      sums.Lo = first.Lo[l];
      sums.Hi = first.Hi[l];
      sums.DxSum = second.DxSum[l];
      sums.DfSum = dfSum;
      sums.Sxx = second.Sxx[l];
      sums.Sxy = second.Sxy[l];
      FinishLeastSquares(alone, sums, n, n - 1);
      EXPECT_EQ(after[l].NoVariation, l == flat);
      EXPECT_EQ(after[l].NoVariation, alone.NoVariation);
      for (auto field : {&LineState::ParA, &LineState::ParB, &LineState::MeanFt, &LineState::MeanXt, &LineState::SdXt})
        EXPECT_TRUE(Same(after[l].*field, alone.*field)) << "flat " << flat << ", lane " << l;
    }
    EXPECT_TRUE(Same(line.ParA, alone.ParA));
  }
  // Two groups in one pass: the lines of the two in turn.
  for (int g : {1, 2}) {
    LineState both, inTurn;
    both.N = inTurn.N = n;
    LineState pair[2 * L], turn[2 * L];
    lanes::MakeLinesOfTwo(groups[0].data(), firsts[0], groups[g].data(), firsts[g], {df.data(), sumF, dfSum}, n,
                          both, pair, pair + L);
    lanes::MakeLines(groups[0].data(), firsts[0], {df.data(), sumF, dfSum}, n, inTurn, turn);
    lanes::MakeLines(groups[g].data(), firsts[g], {df.data(), sumF, dfSum}, n, inTurn, turn + L);
    for (int k = 0; k < 2 * L; ++k) {
      EXPECT_EQ(pair[k].NoVariation, turn[k].NoVariation) << k;
      for (auto field : {&LineState::ParA, &LineState::ParB, &LineState::MeanFt, &LineState::MeanXt, &LineState::SdXt})
        EXPECT_TRUE(Same(pair[k].*field, turn[k].*field)) << "group " << g << ", step " << k;
    }
  }
}

}  // namespace
}  // namespace tavorix
