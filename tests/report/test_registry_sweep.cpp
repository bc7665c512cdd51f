// The same checks for every row of the distribution registry, on the fit of
// one skewed series: the fitted model's frequency is a number in [0, 1]
// everywhere, rises over the data, its inverse returns the datum it came
// from, and the parameter file gives back the same model. A new code is
// covered by its row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "core/TextLines.h"
#include "fitting/Composites.h"
#include "fitting/FitAll.h"
#include "fitting/FitTestSupport.h"
#include "fitting/FittedModel.h"
#include "report/ParameterFile.h"

namespace tavorix {
namespace {

FittedModel ModelOf(int code) {
  TavorixRun run = testing::SkewedRunFittedByEveryRow();
  TakeFit(run, code);
  return FittedModel(run.Fitted, run.Shift);
}

// The frequency by which a datum of a rank was fitted (the part of a
// composite by rank).
double PartF(const FittedModel& m, double x, int rank) {
  if (m.IsComposite())
    return CompositePartFc(m.Code(), m.Params(), x, rank <= m.Params().Composite.BreakCount);
  return m.F(x, Guard::Search);
}

std::vector<int> FittedCodes() {
  std::vector<int> codes;
  for (const DistributionInfo& d : Registry())
    if (d.Kind != DistKind::TitleOnly) codes.push_back(d.Code);
  return codes;
}

class RegistrySweep : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    const FitSlot& slot = testing::SkewedRunFittedByEveryRow().Slots[GetParam()];
    ASSERT_TRUE(slot.Ran && slot.HasResult) << "the series gives code " << GetParam() << " no fit";
    model_ = ModelOf(GetParam());
  }
  const TavorixRun& run_ = testing::SkewedRunFittedByEveryRow();
  FittedModel model_;
};

TEST_P(RegistrySweep, FrequencyIsNeverNaNAndInZeroOneOverTheData) {
  const double lo = static_cast<double>(run_.X[1]), hi = static_cast<double>(run_.X[run_.N]);
  std::vector<double> axis{-1e300, -1e6, -1.0, 0.0, 1e-300, 1e-9, 1e6, 1e300};
  for (int k = 0; k <= 400; ++k) axis.push_back(lo - (hi - lo) + 3.0 * (hi - lo) * k / 400);
  for (Guard g : {Guard::Data, Guard::ClassBounds, Guard::Calculator}) {
    for (double x : axis) {
      const double f = model_.F(x, g);
      ASSERT_FALSE(std::isnan(f)) << "x = " << x;
      // The calculator answers with a frequency whatever X is typed.
      if (g == Guard::Calculator) {
        ASSERT_TRUE(f >= 0.0 && f <= 1.0) << "x = " << x << ": " << f;
      }
    }
    for (int k = 0; k <= 400; ++k) {
      const double x = lo + (hi - lo) * k / 400;
      const double f = model_.F(x, g);
      ASSERT_TRUE(f >= 0.0 && f <= 1.0) << "x = " << x << ": " << f;
    }
  }
  for (int i = 1; i <= run_.N; ++i) {
    const double f = model_.FAtRank(static_cast<double>(run_.X[i]), i);
    ASSERT_TRUE(f >= 0.0 && f <= 1.0) << "rank " << i << ": " << f;
  }
}

// Over the data by rank as the report evaluates them, and over X as the
// calculator and the graphs do: the two pieces of a composite or of the
// generalized Laplace meet without a step down.
TEST_P(RegistrySweep, FrequencyRisesOverTheData) {
  double previous = -1, previousAtX = -1;
  for (int i = 1; i <= run_.N; ++i) {
    const double x = static_cast<double>(run_.X[i]);
    const double f = model_.FAtRank(x, i);
    ASSERT_GE(f, previous - 1e-12) << "falls at rank " << i;
    previous = f;
    const double fx = model_.F(x, Guard::Calculator);
    ASSERT_GE(fx, previousAtX - 1e-12) << "falls at X = " << x;
    previousAtX = fx;
  }
}

TEST_P(RegistrySweep, InverseReturnsTheDatumOfItsFrequency) {
  const int n = run_.N;
  for (int rank : {n / 4, n / 2, 3 * n / 4}) {
    const double x = static_cast<double>(run_.X[rank]);
    if (model_.IsNormalFamily()) {
      // The normal family inverts through its transform (the scan finds t).
      const InverseResult back = model_.FromTransformed(model_.Transformed(x));
      ASSERT_TRUE(back.Ok);
      EXPECT_NEAR(back.X, x, 1e-9 * std::fabs(x));
      continue;
    }
    if (!model_.HasInverse()) continue;  // Gamma: no closed form
    const double q = PartF(model_, x, rank);
    if (!(q > 1e-6 && q < 1 - 1e-6)) continue;  // a flat tail has no single X
    const bool upper = model_.IsComposite() && rank > model_.Params().Composite.BreakCount;
    const CompositePart part = upper ? CompositePart::Upper : CompositePart::Lower;
    const InverseResult inv = model_.Inverse(q, part);
    ASSERT_TRUE(inv.Ok) << "rank " << rank << " q " << q;
    EXPECT_NEAR(PartF(model_, inv.X, rank), q, 1e-9) << "rank " << rank;
  }
}

// The family in the row is where the fit leaves its parameters and where F,
// the inverse and the parameter file look for them; a fit that wrote
// elsewhere would be read as zeros.
TEST_P(RegistrySweep, ParametersLiveInTheRowsFamilyAndTheFileGivesThemBack) {
  const FitParams& p = run_.Slots[GetParam()].P;
  FitParams only;
  VisitFamily(FindDistribution(GetParam())->Params.Family, only, [&](auto& f) {
    using Family = std::decay_t<decltype(f)>;
    if constexpr (!std::is_same_v<Family, std::monostate>) f = p.Of<Family>();
  });
  EXPECT_TRUE(p == only);
  EXPECT_FALSE(p == FitParams{}) << "the family is empty";

  std::stringstream file;
  WriteParameterFile(file, model_.Fit(), run_.Shift);
  const ParameterFileContents back = ReadParameterFile(file);
  ASSERT_EQ(back.Code, GetParam());
  EXPECT_EQ(back.Shift, run_.Shift);
  const FittedModel read(back.Fit, back.Shift);
  const double breakPoint = model_.Params().Composite.BreakPoint;
  for (int i = 1; i <= run_.N; ++i) {
    const double x = static_cast<double>(run_.X[i]);
    if (model_.IsComposite() && std::fabs(x - breakPoint) < 1e-9 * std::fabs(breakPoint)) continue;  // P itself
    const double f = model_.F(x, Guard::Data);
    // The file holds 15 significant digits; a bound close to the data
    // magnifies their rounding.
    EXPECT_NEAR(read.F(x, Guard::Data), f, 1e-9) << "rank " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Registry, RegistrySweep, ::testing::ValuesIn(FittedCodes()),
                         [](const auto& info) { return "Code" + std::to_string(info.param); });

// The windows and the engine sort rows by these columns: a place taken
// twice would make their order depend on the table's order. The export
// finds a ranked list's codes by the names: a name taken twice would give
// one of them the other's code.
TEST(Registry, PlacesAndListNamesAreUniqueAndEveryFittedRowHasAStep) {
  std::vector<int> fit, choice, select, item;
  for (const DistributionInfo& d : Registry()) {
    if (!d.ListName.empty()) {
      const DistributionInfo* named = FindByListName(TrimBlanks(d.ListName));
      EXPECT_TRUE(named && named->Code == d.Code) << d.Code;
    }
    if (d.Kind == DistKind::TitleOnly) continue;
    EXPECT_TRUE(d.Fc) << d.Code;
    EXPECT_GT(d.FitStep, 0) << d.Code;
    EXPECT_TRUE(d.Fit || d.FittedWith) << d.Code;
    EXPECT_FALSE(d.Params.Fields.empty()) << d.Code;
    EXPECT_NE(d.Params.Family, ParamFamily::None) << d.Code;
    if (IsCompositeKind(d.Kind)) {
      EXPECT_TRUE(d.Inverse && d.FcAtRank) << d.Code;
    }
    for (auto [column, value] : {std::pair{&fit, d.FitStep}, {&choice, d.ChoicePlace},
                                 {&select, d.SelectPlace}, {&item, d.CompositeItemPlace}}) {
      if (value == 0) continue;
      EXPECT_EQ(std::count(column->begin(), column->end(), value), 0) << "code " << d.Code << " place " << value;
      column->push_back(value);
    }
  }
}

}  // namespace
}  // namespace tavorix
