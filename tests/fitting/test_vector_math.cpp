// The array exp and log of the grid searches: accuracy against std::exp and
// std::log over wide ranges, the same classes of results (inf, 0, NaN, exact
// values) at the edges, and values that do not depend on the position of a
// datum in the array or the array's length.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "fitting/VectorMath.h"

namespace tavorix {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Distance in units in the last place between two finite doubles of the
// same sign (the ordering of their bit patterns).
std::int64_t UlpDistance(double a, double b) {
  const auto ia = std::bit_cast<std::int64_t>(a);
  const auto ib = std::bit_cast<std::int64_t>(b);
  return ia > ib ? ia - ib : ib - ia;
}

// Checks one result against the scalar value: the same class (NaN, inf of
// the same sign, zero, finite) and, for finite values, at most maxUlp apart.
void ExpectCloseOfSameClass(double got, double want, double arg, int maxUlp) {
  if (std::isnan(want)) {
    EXPECT_TRUE(std::isnan(got)) << "argument " << arg;
    return;
  }
  ASSERT_FALSE(std::isnan(got)) << "argument " << arg;
  if (std::isinf(want) || want == 0) {
    EXPECT_EQ(got, want) << "argument " << arg;
    return;
  }
  ASSERT_TRUE(std::isfinite(got)) << "argument " << arg;
  ASSERT_NE(got, 0.0) << "argument " << arg;
  ASSERT_EQ(std::signbit(got), std::signbit(want)) << "argument " << arg;
  EXPECT_LE(UlpDistance(got, want), maxUlp) << "argument " << arg << ": " << got << " vs " << want;
}

// Evenly spaced values from lo to hi (count of them).
std::vector<double> Spaced(double lo, double hi, int count) {
  std::vector<double> v(count);
  for (int i = 0; i < count; ++i) v[i] = lo + (hi - lo) * i / (count - 1);
  return v;
}

// Values spaced evenly in their logarithm, 10^lo .. 10^hi.
std::vector<double> LogSpaced(double lo, double hi, int count) {
  std::vector<double> v = Spaced(lo, hi, count);
  for (double& x : v) x = std::pow(10.0, x);
  return v;
}

// The scalar reference is std::exp and std::log themselves; the bound is
// that of the 4-wide library functions.
constexpr int kMaxUlp = 4;

TEST(VectorMath, ExpMatchesScalarOverTheWholeFiniteRange) {
  // The whole range where exp has a normal result, the subnormal results
  // below -708.4, and arguments near 0 where exp is near 1.
  std::vector<double> args = Spaced(-745.0, 709.7, 20011);
  for (double x : Spaced(-1e-3, 1e-3, 1001)) args.push_back(x);
  for (double x : LogSpaced(-300, -1, 301)) {
    args.push_back(x);
    args.push_back(-x);
  }
  std::vector<double> out(args.size());
  ExpArray(args.data(), out.data(), static_cast<int>(args.size()));
  for (std::size_t i = 0; i < args.size(); ++i)
    ExpectCloseOfSameClass(out[i], std::exp(args[i]), args[i], kMaxUlp);
}

TEST(VectorMath, LogMatchesScalarFromSubnormalsToTheLargestDouble) {
  std::vector<double> args = LogSpaced(-307, 308, 20011);
  for (double x : Spaced(0.5, 2.0, 2001)) args.push_back(x);  // results near 0
  args.push_back(std::numeric_limits<double>::denorm_min());
  args.push_back(1e-310);
  args.push_back(std::numeric_limits<double>::min());
  args.push_back(std::numeric_limits<double>::max());
  std::vector<double> out(args.size());
  LogArray(args.data(), out.data(), static_cast<int>(args.size()));
  for (std::size_t i = 0; i < args.size(); ++i)
    ExpectCloseOfSameClass(out[i], std::log(args[i]), args[i], kMaxUlp);
}

TEST(VectorMath, ExpGivesTheScalarClassesAtTheEdges) {
  const std::vector<double> args = {0.0,   -0.0,   709.78, 709.79, 710.0, 1000.0, 1e308, kInf,
                                    -745.13, -745.14, -746.0, -1000.0, -1e308, -kInf, kNaN, -kNaN};
  std::vector<double> out(args.size());
  ExpArray(args.data(), out.data(), static_cast<int>(args.size()));
  for (std::size_t i = 0; i < args.size(); ++i)
    ExpectCloseOfSameClass(out[i], std::exp(args[i]), args[i], kMaxUlp);
  // Spot values of the classes themselves.
  EXPECT_EQ(out[0], 1.0);
  EXPECT_EQ(out[1], 1.0);
  EXPECT_EQ(out[5], kInf);
  EXPECT_EQ(out[7], kInf);
  EXPECT_EQ(out[10], 0.0);
  EXPECT_EQ(out[13], 0.0);
  EXPECT_TRUE(std::isnan(out[14]));
}

TEST(VectorMath, LogGivesTheScalarClassesAtTheEdges) {
  const std::vector<double> args = {1.0, 0.0, -0.0, -1e-300, -1.0, -1e308, -kInf, kInf, kNaN, 5e-324};
  std::vector<double> out(args.size());
  LogArray(args.data(), out.data(), static_cast<int>(args.size()));
  for (std::size_t i = 0; i < args.size(); ++i)
    ExpectCloseOfSameClass(out[i], std::log(args[i]), args[i], kMaxUlp);
  EXPECT_EQ(out[0], 0.0);
  EXPECT_EQ(out[1], -kInf);
  EXPECT_EQ(out[2], -kInf);
  for (int i = 3; i <= 6; ++i) EXPECT_TRUE(std::isnan(out[i])) << args[i];
  EXPECT_EQ(out[7], kInf);
  EXPECT_TRUE(std::isnan(out[8]));
  EXPECT_NEAR(out[9], -744.44007192138126, 1e-10);  // ln 2^-1074 = -1074 ln 2
}

// A value's result must not depend on where it stands: the last one to
// three values of an array go through a padded block, the others straight.
TEST(VectorMath, ResultsDoNotDependOnPositionOrLength) {
  const std::vector<double> base = {0.3, -2.5, 7.25, 1e-5, 40.0, -700.0, 0.999, 3.0, 12.5, 0.01, 2.0};
  const int total = static_cast<int>(base.size());
  std::vector<double> whole(total), logWhole(total);
  ExpArray(base.data(), whole.data(), total);
  LogArray(base.data(), logWhole.data(), total);
  for (int offset = 0; offset < total; ++offset) {
    for (int n = 0; offset + n <= total; ++n) {
      std::vector<double> part(n + 2, -1.0);  // guards on both sides
      ExpArray(base.data() + offset, part.data() + 1, n);
      EXPECT_EQ(part[0], -1.0);
      EXPECT_EQ(part[n + 1], -1.0) << "written past the end at n = " << n;
      for (int i = 0; i < n; ++i)
        EXPECT_EQ(part[i + 1], whole[offset + i]) << "offset " << offset << ", n " << n;
      LogArray(base.data() + offset, part.data() + 1, n);
      EXPECT_EQ(part[n + 1], -1.0);
      for (int i = 0; i < n; ++i) {
        if (!std::isnan(logWhole[offset + i])) {
          EXPECT_EQ(part[i + 1], logWhole[offset + i]);
        }
      }
    }
  }
}

// Every vector path the processor has (not only the widest, which the tests
// above use) against the scalar loops, over edges and ordinary values, with
// lengths that leave a padded last block of every size; a value's result is
// the same wherever it stands.
class VectorPath : public ::testing::TestWithParam<MathPath> {};

TEST_P(VectorPath, AgreesWithTheScalarLoopsAtEveryPosition) {
  const MathPath path = GetParam();
  if (!MathPathAvailable(path)) GTEST_SKIP() << "this processor or build lacks the path";
  std::vector<double> args = Spaced(-745.0, 709.7, 1001);
  for (double x : {0.0, -0.0, 709.79, 710.0, -746.0, kInf, -kInf, kNaN, 1e-300, 5e-324, 1.0, 0.5})
    args.push_back(x);
  for (double x : LogSpaced(-307, 308, 999)) args.push_back(x);
  const int total = static_cast<int>(args.size());
  using Fn = void (*)(MathPath, const double*, double*, int);
  using Ref = void (*)(const double*, double*, int);
  const std::pair<Fn, Ref> unary[] = {{onpath::ExpArray, scalarmath::ExpArray},
                                      {onpath::LogArray, scalarmath::LogArray}};
  std::vector<double> got(total), want(total), part(17);
  for (const auto& [fn, ref] : unary) {
    fn(path, args.data(), got.data(), total);
    ref(args.data(), want.data(), total);
    for (int i = 0; i < total; ++i) ExpectCloseOfSameClass(got[i], want[i], args[i], kMaxUlp);
    for (int n = 1; n <= 16; ++n) {  // the first values again, as arrays of every short length
      fn(path, args.data() + total - n, part.data(), n);
      for (int i = 0; i < n; ++i)
        if (!std::isnan(got[total - n + i])) {
          EXPECT_EQ(part[i], got[total - n + i]) << "n " << n;
        }
    }
  }
  const std::vector<double> lnx = Spaced(-5.0, 5.0, 203);
  const int m = static_cast<int>(lnx.size());
  std::vector<double> scaled(m), affine(m), ref(m);
  // exp(-exp(u)): the inner error grows by e^u, at most e here.
  const std::vector<double> u = Spaced(-20.0, 1.0, 203);
  onpath::ExpNegExpArray(path, u.data(), scaled.data(), m);
  scalarmath::ExpNegExpArray(u.data(), ref.data(), m);
  for (int i = 0; i < m; ++i) ExpectCloseOfSameClass(scaled[i], ref[i], u[i], 4 * kMaxUlp);
  onpath::ExpScaledArray(path, lnx.data(), 1.37, scaled.data(), m);
  scalarmath::ExpScaledArray(lnx.data(), 1.37, ref.data(), m);
  for (int i = 0; i < m; ++i) ExpectCloseOfSameClass(scaled[i], ref[i], lnx[i], kMaxUlp);
  onpath::ExpAffineArray(path, lnx.data(), -2.1, 0.3, affine.data(), m);
  scalarmath::ExpAffineArray(lnx.data(), -2.1, 0.3, ref.data(), m);
  for (int i = 0; i < m; ++i) ExpectCloseOfSameClass(affine[i], ref[i], lnx[i], kMaxUlp);
  onpath::LogRatioArray(path, scaled.data(), 2.7, affine.data(), m);
  scalarmath::LogRatioArray(scaled.data(), 2.7, ref.data(), m);
  for (int i = 0; i < m; ++i) ExpectCloseOfSameClass(affine[i], ref[i], scaled[i], kMaxUlp);
  onpath::LogBelowArray(path, scaled.data(), 200.0, affine.data(), m);
  scalarmath::LogBelowArray(scaled.data(), 200.0, ref.data(), m);
  for (int i = 0; i < m; ++i) ExpectCloseOfSameClass(affine[i], ref[i], scaled[i], kMaxUlp);
  onpath::LogAboveArray(path, scaled.data(), -1.5, affine.data(), m);
  scalarmath::LogAboveArray(scaled.data(), -1.5, ref.data(), m);
  for (int i = 0; i < m; ++i) ExpectCloseOfSameClass(affine[i], ref[i], scaled[i], kMaxUlp);
  onpath::LogOneMinusExpScaledArray(path, lnx.data(), -0.9, affine.data(), m);
  scalarmath::LogOneMinusExpScaledArray(lnx.data(), -0.9, ref.data(), m);
  for (int i = 0; i < m; ++i) {  // the error of exp grows by exp / (1 - exp) in the logarithm
    const double v = std::exp(-0.9 * lnx[i]);
    if (std::isfinite(ref[i]))
      EXPECT_NEAR(affine[i], ref[i], 2e-15 * (1 + v / std::fabs(1 - v))) << lnx[i];
    else
      ExpectCloseOfSameClass(affine[i], ref[i], lnx[i], 0);
  }
  onpath::ExpNegExpAffineArray(path, u.data(), 0.8, 0.2, affine.data(), m);
  scalarmath::ExpNegExpAffineArray(u.data(), 0.8, 0.2, ref.data(), m);
  for (int i = 0; i < m; ++i) ExpectCloseOfSameClass(affine[i], ref[i], u[i], 4 * kMaxUlp);
}

INSTANTIATE_TEST_SUITE_P(VectorMath, VectorPath,
                         ::testing::Values(MathPath::Avx2, MathPath::Avx2Inline, MathPath::Avx512),
                         [](const auto& info) {
                           return info.param == MathPath::Avx2         ? "Avx2"
                                  : info.param == MathPath::Avx2Inline ? "Avx2Inline"
                                                                       : "Avx512";
                         });

// The inline 4-wide steps must give the library's values bit for bit, for
// every operation, over random arguments of every magnitude and the edges
// (the check at start-up sees far fewer values).
TEST(VectorMath, InlineStepsGiveTheLibrarysValuesBitForBit) {
  if (!MathPathAvailable(MathPath::Avx2)) GTEST_SKIP() << "this processor or build lacks the 4-wide path";
  ASSERT_TRUE(MathPathAvailable(MathPath::Avx2Inline)) << "the start-up check found the inline steps different";
  std::mt19937_64 random(17);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  std::vector<double> args;
  for (int i = 0; i < 60000; ++i) args.push_back(uniform(random) * std::pow(10.0, 4 * uniform(random)));
  for (int i = 0; i < 20000; ++i) args.push_back(std::ldexp(1 + std::fabs(uniform(random)), static_cast<int>(1100 * uniform(random))));
  for (int i = 0; i < 20000; ++i) args.push_back(709.8 * uniform(random));
  for (double x : {0.0, -0.0, 708.39, 708.4, 709.79, 710.0, -745.14, -746.0, kInf, -kInf, kNaN, 5e-324,
                   1e-310, std::numeric_limits<double>::min(), std::numeric_limits<double>::max(), 1.0})
    args.push_back(x);
  const int n = static_cast<int>(args.size());
  std::vector<double> lib(n), own(n);
  auto expectSameBits = [&](const char* op) {
    int differ = 0;
    for (int i = 0; i < n; ++i) differ += std::bit_cast<std::uint64_t>(lib[i]) != std::bit_cast<std::uint64_t>(own[i]);
    EXPECT_EQ(differ, 0) << op;
  };
  using Unary = void (*)(MathPath, const double*, double*, int);
  for (auto [fn, op] : {std::pair<Unary, const char*>{onpath::ExpArray, "exp"}, {onpath::LogArray, "log"},
                        {onpath::ExpNegExpArray, "exp(-exp)"}}) {
    fn(MathPath::Avx2, args.data(), lib.data(), n);
    fn(MathPath::Avx2Inline, args.data(), own.data(), n);
    expectSameBits(op);
  }
  using WithA = void (*)(MathPath, const double*, double, double*, int);
  for (auto [fn, op] : {std::pair<WithA, const char*>{onpath::ExpScaledArray, "exp(a x)"},
                        {onpath::LogRatioArray, "ln(a/(x+a))"}, {onpath::LogAboveArray, "ln(x-c)"},
                        {onpath::LogBelowArray, "ln(c-x)"},
                        {onpath::LogOneMinusExpScaledArray, "ln(1-exp(a x))"}}) {
    fn(MathPath::Avx2, args.data(), 0.37, lib.data(), n);
    fn(MathPath::Avx2Inline, args.data(), 0.37, own.data(), n);
    expectSameBits(op);
  }
  using WithAB = void (*)(MathPath, const double*, double, double, double*, int);
  for (auto [fn, op] : {std::pair<WithAB, const char*>{onpath::ExpAffineArray, "exp(a x + b)"},
                        {onpath::ExpNegExpAffineArray, "exp(-exp(a x + b))"}}) {
    fn(MathPath::Avx2, args.data(), 1.3, -0.2, lib.data(), n);
    fn(MathPath::Avx2Inline, args.data(), 1.3, -0.2, own.data(), n);
    expectSameBits(op);
  }
}

TEST(VectorMath, WorksInPlace) {
  std::vector<double> v = Spaced(-30.0, 30.0, 101);
  const std::vector<double> args = v;
  ExpArray(v.data(), v.data(), static_cast<int>(v.size()));
  for (std::size_t i = 0; i < v.size(); ++i) ExpectCloseOfSameClass(v[i], std::exp(args[i]), args[i], kMaxUlp);
  LogArray(v.data(), v.data(), static_cast<int>(v.size()));
  for (std::size_t i = 0; i < v.size(); ++i) EXPECT_NEAR(v[i], args[i], 1e-13 * (1 + std::fabs(args[i])));
}

// Equal, or both NaN (a logarithm of a negative distance).
bool SameValue(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

// The fused helpers form their arguments as a scalar loop would (product,
// then sum, or sum, then quotient, each rounded), so they equal ExpArray or
// LogArray on those arguments.
TEST(VectorMath, FusedHelpersFormTheirArgumentsAsTheScalarExpressions) {
  // Logarithms of data as the power tables use them, with a zero (X = 1).
  const std::vector<double> lnx = {-3.2, -0.1, 0.0, 0.7, 1.9, 4.4, 6.1, 0.33333333333333331};
  const int n = static_cast<int>(lnx.size());
  const double a = 1.37, b = -0.61;
  std::vector<double> args(n), want(n), got(n);

  for (int i = 0; i < n; ++i) args[i] = a * lnx[i];
  ExpArray(args.data(), want.data(), n);
  ExpScaledArray(lnx.data(), a, got.data(), n);
  for (int i = 0; i < n; ++i) EXPECT_EQ(got[i], want[i]) << i;

  for (int i = 0; i < n; ++i) args[i] = a * lnx[i] + b;
  ExpArray(args.data(), want.data(), n);
  ExpAffineArray(lnx.data(), a, b, got.data(), n);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(got[i], want[i]) << i;
    ExpectCloseOfSameClass(got[i], std::exp(a * lnx[i] + b), args[i], kMaxUlp);
  }

  // The Burr transform ln(S / (X^A + S)) on powers with a tiny and a huge one.
  const std::vector<double> powers = {1e-300, 0.37, 1.0, 2.5, 19.0, 1e300, 0.1, 7.0, 123.0};
  const int np = static_cast<int>(powers.size());
  for (double s : {0.2, 3.0, 1e5}) {
    std::vector<double> ratio(np), fused(np), plain(np);
    for (int i = 0; i < np; ++i) ratio[i] = s / (powers[i] + s);
    LogArray(ratio.data(), plain.data(), np);
    LogRatioArray(powers.data(), s, fused.data(), np);
    for (int i = 0; i < np; ++i) EXPECT_EQ(fused[i], plain[i]) << s << " " << i;
  }

  // The bound steppings: ln of the distance to a bound C, and the double
  // exponential of their line A Xt + B.
  for (double c : {-2.5, 0.0, 0.35, 150.0}) {
    std::vector<double> above(np), below(np), fused(np), plain(np);
    for (int i = 0; i < np; ++i) above[i] = powers[i] - c, below[i] = c - powers[i];
    LogArray(above.data(), plain.data(), np);
    LogAboveArray(powers.data(), c, fused.data(), np);
    for (int i = 0; i < np; ++i) EXPECT_TRUE(SameValue(fused[i], plain[i])) << c << " " << i;
    LogArray(below.data(), plain.data(), np);
    LogBelowArray(powers.data(), c, fused.data(), np);
    for (int i = 0; i < np; ++i) EXPECT_TRUE(SameValue(fused[i], plain[i])) << c << " " << i;
  }
  for (int i = 0; i < n; ++i) args[i] = a * lnx[i] + b;
  ExpNegExpArray(args.data(), want.data(), n);
  ExpNegExpAffineArray(lnx.data(), a, b, got.data(), n);
  for (int i = 0; i < n; ++i) EXPECT_EQ(got[i], want[i]) << i;

  // The Kumaraswamy transform ln(1 - (X/M)^A) from ln(X/M), with ratios
  // below, at and above 1 (a zero and negative differences).
  const std::vector<double> lnRatio = {-6.0, -0.7, -1e-9, 0.0, 0.2, -0.05};
  const int nr = static_cast<int>(lnRatio.size());
  for (double e : {0.4, 2.3}) {
    std::vector<double> diff(nr), plain(nr), fused(nr);
    ExpScaledArray(lnRatio.data(), e, diff.data(), nr);
    for (double& v : diff) v = 1.0 - v;
    LogArray(diff.data(), plain.data(), nr);
    LogOneMinusExpScaledArray(lnRatio.data(), e, fused.data(), nr);
    for (int i = 0; i < nr; ++i) EXPECT_TRUE(SameValue(fused[i], plain[i])) << e << " " << i;
  }

  // X^2 from ln X: the powers of a table row.
  const double x = 3.5;
  const double lx = std::log(x);
  ExpScaledArray(&lx, 2.0, got.data(), 1);
  EXPECT_NEAR(got[0], 12.25, 1e-13);
}

TEST(VectorMath, AffineOverflowAndUnderflowLikeScalar) {
  const std::vector<double> x = {1.0, 2.0, -1.0, kInf, kNaN};
  std::vector<double> got(x.size());
  ExpAffineArray(x.data(), 500.0, 0.0, got.data(), static_cast<int>(x.size()));
  EXPECT_NEAR(got[0] / std::exp(500.0), 1.0, 1e-15);
  EXPECT_EQ(got[1], kInf);
  EXPECT_NEAR(got[2] / std::exp(-500.0), 1.0, 1e-15);
  EXPECT_EQ(got[3], kInf);
  EXPECT_TRUE(std::isnan(got[4]));
  ExpScaledArray(x.data(), -800.0, got.data(), static_cast<int>(x.size()));
  EXPECT_EQ(got[0], 0.0);
  EXPECT_EQ(got[2], kInf);
  EXPECT_EQ(got[3], 0.0);
}

// exp(-exp(z)): the Gumbel cumulative function at -z, e^-1 at z = 0; it
// tends to 1 for z far below 0 and to 0 (not NaN) once exp(z) overflows.
TEST(VectorMath, DoubleExponentialFollowsTheGumbelFunction) {
  std::vector<double> z = Spaced(-40.0, 6.5, 931);
  const std::vector<double> edges = {0.0, -kInf, -1000.0, 709.0, 710.0, 1e300, kInf, kNaN};
  z.insert(z.end(), edges.begin(), edges.end());
  std::vector<double> got(z.size());
  ExpNegExpArray(z.data(), got.data(), static_cast<int>(z.size()));
  for (std::size_t i = 0; i < z.size(); ++i) {
    const double want = std::exp(-std::exp(z[i]));
    if (std::isnan(want)) {
      EXPECT_TRUE(std::isnan(got[i])) << z[i];
    } else if (want == 0 || want == 1) {
      EXPECT_EQ(got[i], want) << z[i];
    } else {
      // Two roundings of up to 4 ulp each; the outer exp magnifies the
      // relative error of the inner one by exp(z).
      EXPECT_NEAR(got[i], want, 2e-15 * want * (1 + std::exp(z[i]))) << z[i];
    }
  }
  const std::size_t e = z.size() - edges.size();
  EXPECT_NEAR(got[e], 0.36787944117144233, 2e-16);  // e^-1
  EXPECT_EQ(got[e + 1], 1.0);
  EXPECT_EQ(got[e + 2], 1.0);
  EXPECT_EQ(got[e + 3], 0.0);
  EXPECT_EQ(got[e + 4], 0.0);
  EXPECT_EQ(got[e + 6], 0.0);
  EXPECT_TRUE(std::isnan(got[e + 7]));
}

TEST(VectorMath, EmptyArraysWriteNothing) {
  double in = 2.0, out = -7.0;
  ExpArray(&in, &out, 0);
  LogArray(&in, &out, 0);
  ExpScaledArray(&in, 1.0, &out, 0);
  ExpAffineArray(&in, 1.0, 1.0, &out, 0);
  ExpNegExpArray(&in, &out, 0);
  EXPECT_EQ(out, -7.0);
}

}  // namespace
}  // namespace tavorix
