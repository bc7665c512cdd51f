// The cut-off of the grid searches' misfits: a misfit at or below it is the
// exact sum, one above it is reported above it and never above its whole
// sum, in the line pipeline and in the block sums of the other grids.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "fitting/FitWorkspace.h"
#include "fitting/GridFitsASupport.h"
#include "fitting/LinePipeline.h"

namespace tavorix {
namespace {

struct Steps {
  std::vector<double> Misfit;
  std::vector<LineState> Line;
};

// Two blocks and a part of points and 60 steps whose lines and misfits
// vary: Xt = ln(i + k/7), Fc = exp(-exp(A Xt + B)).
Steps RunWith(double cutoff) {
  constexpr int n = 2 * LinePipeline::kBlock + 5;
  std::vector<double> ft(n + 1), fr(n + 1);
  for (int i = 1; i <= n; ++i) {
    fr[i] = static_cast<double>(i) / (n + 1);
    ft[i] = std::log(-std::log(fr[i])) + 0.3 * std::sin(i);
  }
  LinePipeline pipeline(ft.data(), n);
  LineState line;
  line.N = n;
  Steps steps;
  pipeline.Run(
      line, fr.data(), 1, 60,
      [](int k, int i0, int m, double* xt) {
        for (int j = 0; j < m; ++j) xt[i0 + j] = std::log(i0 + j + k / 7.0);
      },
      [](double a, double b, const double* xt, int i0, int m, double* g) {
        for (int j = 0; j < m; ++j) g[j] = std::exp(-std::exp(a * xt[i0 + j] + b));
      },
      [](double f, double g) { return SaturatedSq(f - g); },
      [&](int, double misfit) {
        steps.Misfit.push_back(misfit);
        steps.Line.push_back(line);
        return true;
      },
      [] {}, [&] { return cutoff; });
  return steps;
}

TEST(LinePipeline, CutOffKeepsEveryMisfitUpToItAndBoundsTheOthers) {
  const Steps whole = RunWith(HUGE_VAL);
  ASSERT_EQ(whole.Misfit.size(), 60u);
  std::vector<double> sorted = whole.Misfit;
  std::sort(sorted.begin(), sorted.end());
  ASSERT_LT(sorted.front(), sorted.back());
  const double cutoff = sorted[sorted.size() / 3];
  const Steps cut = RunWith(cutoff);
  ASSERT_EQ(cut.Misfit.size(), whole.Misfit.size());
  int above = 0, shortened = 0;
  for (std::size_t k = 0; k < whole.Misfit.size(); ++k) {
    EXPECT_EQ(cut.Line[k].ParA, whole.Line[k].ParA) << k;  // the lines never change
    EXPECT_EQ(cut.Line[k].ParB, whole.Line[k].ParB) << k;
    if (whole.Misfit[k] <= cutoff) {
      EXPECT_EQ(cut.Misfit[k], whole.Misfit[k]) << k;
    } else {
      ++above;
      EXPECT_GT(cut.Misfit[k], cutoff) << k;
      EXPECT_LE(cut.Misfit[k], whole.Misfit[k]) << k;
      shortened += cut.Misfit[k] < whole.Misfit[k];
    }
  }
  EXPECT_GT(above, 0);
  EXPECT_GT(shortened, 0) << "no sum was cut short";
}

// Fc = 1 - exp(-(X/s)^2) on 75 points (two blocks and a part) for 40 scales.
TEST(CutMisfit, KeepsEveryMisfitUpToTheCutOffAndBoundsTheOthers) {
  constexpr int n = 75;
  std::vector<double> fr(n + 1), x(n + 1);
  for (int i = 1; i <= n; ++i) {
    fr[i] = static_cast<double>(i) / (n + 1);
    x[i] = std::sqrt(-std::log(1.0 - fr[i])) * (1.0 + 0.2 * std::sin(i));
  }
  auto misfit = [&](int step, double cutoff) {
    const double s = 0.2 + 0.05 * step;
    return gridfits::CutMisfit(fr.data(), n, cutoff, [&](int i0, int m, double* fc) {
      for (int j = 0; j < m; ++j) fc[j] = 1.0 - std::exp(-(x[i0 + j] / s) * (x[i0 + j] / s));
    });
  };
  std::vector<double> whole;
  for (int step = 0; step < 40; ++step) {
    double plain = 0;  // the plain loop in point order
    const double s = 0.2 + 0.05 * step;
    for (int i = 1; i <= n; ++i) plain += SaturatedSq(fr[i] - (1.0 - std::exp(-(x[i] / s) * (x[i] / s))));
    whole.push_back(misfit(step, HUGE_VAL));
    EXPECT_EQ(whole.back(), plain) << step;
  }
  const double cutoff = *std::min_element(whole.begin(), whole.end()) * 1.5;
  int shortened = 0;
  for (int step = 0; step < 40; ++step) {
    const double cut = misfit(step, cutoff);
    if (whole[step] <= cutoff) {
      EXPECT_EQ(cut, whole[step]) << step;
    } else {
      EXPECT_GT(cut, cutoff) << step;
      EXPECT_LE(cut, whole[step]) << step;
      shortened += cut < whole[step];
    }
  }
  EXPECT_GT(shortened, 0) << "no sum was cut short";
}

}  // namespace
}  // namespace tavorix
