// The fit-all engine with the real fits: order, list, preferences and the
// no-variation stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "fitting/Registry.h"
#include "fitting/FitAll.h"
#include "FitTestSupport.h"

namespace tavorix {
namespace {

std::vector<double> GumbelData(int n) {
  // Exact Gumbel quantiles with A = 0.5, B = -2 (X = -(ln(-ln F) + B)/A).
  return testing::QuantilesAtPlottingPositions(n, [](double f) { return -(std::log(-std::log(f)) - 2.0) / 0.5; });
}

std::vector<std::string> Collect(TavorixRun& run) {
  auto lines = std::make_shared<std::vector<std::string>>();
  run.Progress = [lines](std::string_view s) { lines->emplace_back(s); };
  FitAllDistributions(run);
  return *lines;
}

std::vector<int> RanCodes(const TavorixRun& run) {
  std::vector<int> codes;
  for (int c = 0; c < 100; ++c)
    if (run.Slots[c].Ran) codes.push_back(c);
  return codes;
}

TEST(Engine, BestOfAllRunsEveryFitInOrderAndChoosesTheLowestScore) {
  TavorixRun run = testing::MakeRun(GumbelData(30));
  run.FitStarted = true;
  const std::vector<std::string> progress = Collect(run);

  // Every single and normal fit ran; no composite without CompositeOn.
  for (const DistributionInfo& d : Registry()) {
    if (d.Kind == DistKind::TitleOnly) continue;
    EXPECT_EQ(run.Slots[d.Code].Ran, !IsCompositeKind(d.Kind)) << d.Code;
  }

  // The progress lines of the order table, in order (N = 30: no N-dependent lines).
  const std::vector<std::string> expected = {
      " 3 done", " 4 done", " 5 done", " please wait ...", " 31 done", " 34 done", " 36 done", " 32 done",
      " 51 done", " 52 done", " 53 done", " 54 done", " 69 done ...", " 50% completed ..", " 68 done",
      " 73 done", " 57 done", " 58 done", " 59 done", " 33 done", " progressing ...", " 60 done",
      " Advancing ...", " 62 done", " 64 done", " 65 done", " 66 done", " This takes time ..", " 67 done",
      " 90 done", " 91 done", " 92 done", " Still working ......", " 93 done", " 94 done", " 95 done",
      " Iterations ....", " 96 done"};
  EXPECT_EQ(progress, expected);
  EXPECT_TRUE(run.FitStarted) << "N below 201 leaves the flag";

  // The list holds the listed fits in the order they ran, with their averages.
  ASSERT_FALSE(run.RankedList.empty());
  for (const auto& e : run.RankedList) {
    EXPECT_TRUE(run.Slots[e.Code].Listed) << e.Code;
    EXPECT_EQ(e.Name, ListName(e.Code));
    EXPECT_DOUBLE_EQ(e.Average, 100.0 * run.Slots[e.Code].Score / run.N);
    EXPECT_TRUE(std::isfinite(e.Average));
  }
  EXPECT_EQ(run.RankedList.front().Code == 3 || run.RankedList.front().Code == 4, true);
  const bool has62 = std::any_of(run.RankedList.begin(), run.RankedList.end(), [](auto& e) { return e.Code == 62; });
  const bool has63 = std::any_of(run.RankedList.begin(), run.RankedList.end(), [](auto& e) { return e.Code == 63; });
  EXPECT_NE(has62, has63) << "only the chosen Student form is listed";

  // Exact Gumbel data: the Gumbel fit is essentially perfect; the choice
  // takes the lowest score, the earlier code on a tie.
  const int chosen = run.Fitted.DistCode;
  double best = 1e300;
  for (const DistributionInfo& d : Registry())
    if (run.Slots[d.Code].HasResult) best = std::min(best, run.Slots[d.Code].Score);
  EXPECT_DOUBLE_EQ(run.Slots[chosen].Score, best);
  EXPECT_LT(run.Slots[4].Score, 1e-6);
  EXPECT_FALSE(run.Slots[51].Listed) << "the generalized Gumbel ends at E = 1 on Gumbel data";
}

TEST(Engine, PreferredNormalCodeWritesOnlyItsOwnLineAndHandsOverItsValues) {
  TavorixRun run = testing::MakeRun(GumbelData(30), "21");
  const auto progress = Collect(run);
  EXPECT_EQ(progress, std::vector<std::string>({" 91 done"}));
  EXPECT_EQ(run.Fitted.DistCode, 21);
  EXPECT_DOUBLE_EQ(run.Fitted.MeanXt, run.Slots[21].P.Normal.Mean);
  EXPECT_DOUBLE_EQ(run.Fitted.StdErrX, run.Slots[21].P.Normal.Sigma);
  EXPECT_DOUBLE_EQ(run.Fitted.SdXt, run.Slots[21].P.Normal.Sigma0);
}

TEST(Engine, ContinuingLineFromTwoHundredAndOneDataWhileTheRunFlagIsSet) {
  TavorixRun run = testing::MakeRun(GumbelData(201));
  run.FitStarted = true;
  const auto progress = Collect(run);
  ASSERT_GE(progress.size(), 2u);
  EXPECT_EQ(progress[progress.size() - 2], " 96 done");
  EXPECT_EQ(progress.back(), " Continuing .....");
  EXPECT_FALSE(run.FitStarted) << "the engine clears the flag with the line";
}

TEST(Engine, KumaraswamyIsPreferredByItsOwnText) {
  TavorixRun run = testing::MakeRun(GumbelData(20), "39");
  Collect(run);
  EXPECT_EQ(RanCodes(run), std::vector<int>({36}));
  EXPECT_EQ(run.Fitted.DistCode, 36);
  EXPECT_TRUE(run.RankedList.empty());
}

TEST(Engine, StudentPreferenceEndsWithTheChosenForm) {
  TavorixRun run = testing::MakeRun(GumbelData(20), "62");
  const auto progress = Collect(run);
  EXPECT_TRUE(progress.empty()) << "the Student step line is not written when preferred";
  EXPECT_TRUE(run.Fitted.DistCode == 62 || run.Fitted.DistCode == 63);
  EXPECT_DOUBLE_EQ(run.Fitted.MeanXt, run.Slots[62].P.Student.Mean);
}

TEST(Engine, PreferredCompositeRunsAloneWhateverTheCompositeOption) {
  TavorixRun run = testing::MakeRun(GumbelData(40), "15");
  run.CompositeOn = false;
  const auto progress = Collect(run);
  EXPECT_EQ(RanCodes(run), std::vector<int>({15}));
  EXPECT_EQ(run.Fitted.DistCode, 15);
  EXPECT_TRUE(progress.empty());
  EXPECT_EQ(run.Fitted.P.Composite.BreakCount, run.Slots[15].P.Composite.BreakCount);

  TavorixRun gen = testing::MakeRun(GumbelData(40), "90");
  Collect(gen);
  EXPECT_EQ(RanCodes(gen), std::vector<int>({74}));
  EXPECT_EQ(gen.Fitted.DistCode, 74);
}

TEST(Engine, UnknownPreferenceChangesNothing) {
  TavorixRun run = testing::MakeRun(GumbelData(20), "77");
  run.Fitted.DistCode = 5;
  run.Fitted.P.Line.A = 1.25;
  Collect(run);
  EXPECT_TRUE(RanCodes(run).empty());
  EXPECT_EQ(run.Fitted.DistCode, 5);
  EXPECT_DOUBLE_EQ(run.Fitted.P.Line.A, 1.25);
}

TEST(Engine, ConstantDataStopBeforeAnyFit) {
  TavorixRun run = testing::MakeRun(std::vector<double>(12, 0.001));
  const auto progress = Collect(run);
  EXPECT_TRUE(run.NoVariation);
  EXPECT_TRUE(progress.empty());
  EXPECT_TRUE(RanCodes(run).empty());
}

TEST(Engine, TiesInsideAFitDoNotStopTheRun) {
  // Many tied minima: composite parts and lines inside searches meet tied
  // values, but the data vary, so the run goes on to a choice.
  std::vector<double> v(10, 0.001);
  for (int k = 1; k <= 20; ++k) v.push_back(0.5 * k);
  TavorixRun run = testing::MakeRun(v);
  run.CompositeOn = true;
  Collect(run);
  EXPECT_FALSE(run.NoVariation);
  EXPECT_NE(run.Fitted.DistCode, 0);
  for (const auto& e : run.RankedList) EXPECT_TRUE(std::isfinite(e.Average)) << e.Code;
}

TEST(Engine, CompositesRunWhenAllowedAndAreListedInTheirPlace) {
  TavorixRun run = testing::MakeRun(GumbelData(40));
  run.CompositeOn = true;
  const auto progress = Collect(run);
  for (const DistributionInfo& d : Registry()) {
    if (!IsCompositeKind(d.Kind)) continue;
    EXPECT_TRUE(run.Slots[d.Code].Ran) << d.Code;
  }
  // Simple composites follow code 6, generalized ones follow code 73.
  auto at = [&](const std::string& line) {
    return std::find(progress.begin(), progress.end(), line) - progress.begin();
  };
  EXPECT_LT(at(" please wait ..."), at(" 7 done"));
  EXPECT_LT(at(" 18 done"), at(" 31 done"));
  EXPECT_LT(at(" 73 done"), at(" 70 done"));
  EXPECT_EQ(at(" 80 done") + 1, at(" Progress 20% ....."));
  EXPECT_LT(at(" 85 done"), at(" 57 done"));
}

}  // namespace
}  // namespace tavorix

namespace tavorix {
namespace {

// Several fits at a time must give exactly what one at a time gives: the
// same slots, list, progress lines and choice.
TEST(Engine, ThreadsDoNotChangeAnyResult) {
  std::vector<double> v = GumbelData(60);
  for (int i = 0; i < 60; i += 7) v[i] *= 1.0 + 0.01 * i;  // not an exact fit for any code
  for (bool composites : {false, true}) {
    TavorixRun one = testing::MakeRun(v);
    one.CompositeOn = composites;
    one.FitThreads = 1;
    TavorixRun many = one;
    many.FitThreads = 4;
    const auto linesOne = Collect(one);
    const auto linesMany = Collect(many);
    EXPECT_EQ(linesOne, linesMany);
    ASSERT_EQ(one.RankedList.size(), many.RankedList.size());
    for (std::size_t i = 0; i < one.RankedList.size(); ++i) {
      EXPECT_EQ(one.RankedList[i].Code, many.RankedList[i].Code);
      EXPECT_EQ(one.RankedList[i].Average, many.RankedList[i].Average);
    }
    for (int code = 0; code < 100; ++code) {
      EXPECT_EQ(one.Slots[code].Score, many.Slots[code].Score) << code;
      EXPECT_TRUE(one.Slots[code].P == many.Slots[code].P) << code;
    }
    EXPECT_EQ(one.Fitted.DistCode, many.Fitted.DistCode);
  }
}

}  // namespace
}  // namespace tavorix

namespace tavorix {
namespace {

// A heavy fit preferred on its own splits its grid over threads; the slot
// must be exactly that of one thread (choices and first-of-equal tie-breaks).
class PreferredThreads : public ::testing::TestWithParam<const char*> {};

TEST_P(PreferredThreads, SplittingTheGridChangesNothing) {
  std::vector<double> v = GumbelData(60);
  for (int i = 0; i < 60; i += 5) v[i] *= 1.0 + 0.013 * i;
  TavorixRun one = testing::MakeRun(v, GetParam());
  one.FitThreads = 1;
  TavorixRun three = one;
  three.FitThreads = 3;
  EXPECT_EQ(Collect(one), Collect(three));
  const int code = one.Fitted.DistCode;
  ASSERT_EQ(code, three.Fitted.DistCode);
  const FitSlot& a = one.Slots[code];
  const FitSlot& b = three.Slots[code];
  ASSERT_TRUE(a.HasResult);
  EXPECT_EQ(a.Score, b.Score);
  EXPECT_TRUE(a.P == b.P);
}

INSTANTIATE_TEST_SUITE_P(Engine, PreferredThreads, ::testing::Values("31", "32", "33", "39", "59", "69"),
                         [](const auto& info) { return std::string("Code") + info.param; });

}  // namespace
}  // namespace tavorix

namespace tavorix {
namespace {

// A long series says as each fitting step ends how many are done, and the
// lines of the steps themselves stay in their order among them.
TEST(Engine, LongSeriesCountTheFittingStepsAsTheyEnd) {
  TavorixRun run = testing::MakeRun(GumbelData(30));
  run.StepProgressFrom = 29;  // as if 30 values were a long series
  run.FitThreads = 2;
  const auto lines = Collect(run);
  std::vector<std::string> counts, others;
  for (const auto& l : lines) (l.rfind(" Fitted ", 0) == 0 ? counts : others).push_back(l);
  ASSERT_FALSE(counts.empty());
  const std::string total = counts.back().substr(counts.back().find(" of ") + 4);
  for (std::size_t k = 0; k < counts.size(); ++k)
    EXPECT_EQ(counts[k], " Fitted " + std::to_string(k + 1) + " of " + total) << k;
  EXPECT_EQ(total, std::to_string(counts.size()) + " fitting steps .....");
  TavorixRun shortRun = testing::MakeRun(GumbelData(30));
  EXPECT_EQ(others, Collect(shortRun)) << "a series below the limit has no count lines";
}

}  // namespace
}  // namespace tavorix
