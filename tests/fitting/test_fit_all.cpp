// The fit-all engine: ranked list, its sorting, the choice and the
// hand-over of the chosen fit.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "fitting/Registry.h"
#include "fitting/FitAll.h"
#include "FitTestSupport.h"

namespace tavorix {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Compares two texts line by line and names the first line that differs.
void ExpectSameText(const std::string& expected, const std::string& actual) {
  std::istringstream e(expected), a(actual);
  std::string le, la;
  int line = 0;
  while (true) {
    const bool moreE = static_cast<bool>(std::getline(e, le));
    const bool moreA = static_cast<bool>(std::getline(a, la));
    ++line;
    if (!moreE || !moreA) {
      EXPECT_EQ(moreE, moreA) << "files differ in length at line " << line;
      break;
    }
    ASSERT_EQ(le, la) << "first difference at line " << line;
  }
  EXPECT_EQ(expected, actual);
}

TavorixRun RunWithEntries() {
  TavorixRun run = testing::MakeRun({1, 2, 3, 4, 5, 6, 7, 8});
  // Prints as 3.5000, as Cauchy's does.
  run.RankedList.push_back({4, std::string(ListName(4)), 3.50004});
  run.RankedList.push_back({53, std::string(ListName(53)), 12.25});
  run.RankedList.push_back({64, std::string(ListName(64)), 3.5});
  return run;
}

TEST(RankedList, WritesTheFixedLayoutWithCrLf) {
  std::ostringstream out;
  WriteRankedList(out, "series.Lst", RunWithEntries().RankedList);
  ExpectSameText(ReadFile(std::string(TAVORIX_TEST_DATA_DIR) + "/golden/ranked_list.Lst"), out.str());
}

TEST(RankedList, AverageLineHasFourDecimalsInAtLeastSixCharacters) {
  EXPECT_EQ(AverageLine(3.5), " Average = 3.5000");
  EXPECT_EQ(AverageLine(12.25), " Average = 12.2500");
  EXPECT_EQ(AverageLine(0.0), " Average = 0.0000");
  EXPECT_EQ(AverageLine(100000.0 / 3.0), " Average = 33333.3333");
  // A damaged list may hold any average; it is written out in full.
  EXPECT_EQ(AverageLine(std::ldexp(1.0, 200)),
            " Average = 1606938044258990275541962092341162602522202993782792835301376.0000");
}

TEST(SortedList, SortsAscendingByThePrintedAverageAndKeepsListOrderOfEqualOnes) {
  const TavorixRun run = RunWithEntries();
  std::string expected = ReadFile(std::string(TAVORIX_TEST_DATA_DIR) + "/golden/ranked_list.Lst");
  // Expected order: Gumbel 3.5000, Cauchy 3.5000 (list order kept), Logistic 12.25.
  const std::string logistic = " Logistic distribution\r\n Average = 12.2500\r\n\r\n";
  const std::string cauchy = " Cauchy distribution\r\n Average = 3.5000\r\n\r\n";
  expected.replace(expected.find(logistic), logistic.size(), "");
  expected += logistic;
  ASSERT_NE(expected.find(cauchy), std::string::npos);
  std::ostringstream sorted;
  WriteRankedList(sorted, "series.Lst", SortedByPrintedAverage(run.RankedList));
  ExpectSameText(expected, sorted.str());
}

TEST(CompositeAdmission, NeedsSixLowerPointsExceptCode70AndFiveAbove) {
  // N = 12: only M = 6 is admitted; code 70 also takes M = 5.
  for (int m = 1; m <= 12; ++m) {
    EXPECT_EQ(CompositeAdmitted(9, m, 12), m == 6) << "M = " << m;
    EXPECT_EQ(CompositeAdmitted(70, m, 12), m == 5 || m == 6) << "M = " << m;
  }
}

// Fills a slot as a fit would, for the choice tests.
void SetSlot(TavorixRun& run, int code, double score, int breakCount = 0) {
  FitSlot& s = run.Slots[code];
  s.Ran = true;
  s.HasResult = true;
  s.Score = score;
  s.P.Line = {static_cast<double>(code), static_cast<double>(-code)};  // recognisable parameters
  s.P.Composite.BreakCount = breakCount;
}

TavorixRun RunWithAllSingles(double score) {
  TavorixRun run = testing::MakeRun(std::vector<double>(30, 1.0));
  for (const DistributionInfo& d : Registry())
    if (d.Kind != DistKind::TitleOnly && !IsCompositeKind(d.Kind)) SetSlot(run, d.Code, score);
  return run;
}

TEST(Choice, EqualScoresKeepTheEarlierFitInTheChoiceOrder) {
  TavorixRun run = RunWithAllSingles(5.0);
  run.Slots[4].Score = 1.0;
  run.Slots[51].Score = 1.0;
  ChooseBestDistribution(run);
  EXPECT_EQ(run.Fitted.DistCode, 4);
  const ReportLine line = ReportedLine(run.Fitted.DistCode, run.Fitted.P);
  EXPECT_DOUBLE_EQ(line.A, 4.0);
  EXPECT_DOUBLE_EQ(line.B, -4.0);
}

TEST(Choice, NormalScoresBelowOneThousandthCountAsFailed) {
  TavorixRun run = RunWithAllSingles(5.0);
  run.Slots[20].Score = 0.0;  // no result from the normal fit
  run.Slots[57].Score = 2.0;
  ChooseBestDistribution(run);
  EXPECT_EQ(run.Fitted.DistCode, 57);
  EXPECT_DOUBLE_EQ(run.Slots[20].Score, 1000.0);
}

TEST(Choice, CompositesOnlyWhenAllowedAndAdmitted) {
  TavorixRun run = RunWithAllSingles(5.0);
  SetSlot(run, 14, 1.0, 10);
  SetSlot(run, 9, 0.5, 5);    // too few lower points for a simple composite
  SetSlot(run, 70, 0.9, 5);   // five lower points are enough for code 70 only
  ChooseBestDistribution(run);
  EXPECT_EQ(run.Fitted.DistCode, 20) << "composites are not chosen without CompositeOn";

  run.CompositeOn = true;
  run.Slots[70].Score = 1.5;
  ChooseBestDistribution(run);
  EXPECT_EQ(run.Fitted.DistCode, 14);
  EXPECT_DOUBLE_EQ(ReportedLine(14, run.Fitted.P).A, 0.0) << "composites hand no line over";
  EXPECT_EQ(run.Fitted.P.Composite.BreakCount, 10);

  run.Slots[70].Score = 0.9;
  ChooseBestDistribution(run);
  EXPECT_EQ(run.Fitted.DistCode, 70);
}

TEST(Choice, NonFiniteScoresNeverWin) {
  TavorixRun run = RunWithAllSingles(5.0);
  run.Slots[53].Score = std::numeric_limits<double>::quiet_NaN();
  run.Slots[54].Score = -std::numeric_limits<double>::infinity();
  ChooseBestDistribution(run);
  EXPECT_EQ(run.Fitted.DistCode, 20);
}

TEST(HandOver, BurrGivesSlopeAndScaleAndStudentGivesMeanAndSpread) {
  TavorixRun run = RunWithAllSingles(5.0);
  run.Slots[31].P.Burr.E = 2.5;
  run.Slots[31].P.Burr.S = 7.0;
  TakeFit(run, 31);
  const ReportLine line = ReportedLine(run.Fitted.DistCode, run.Fitted.P);
  EXPECT_DOUBLE_EQ(line.A, 2.5);
  EXPECT_DOUBLE_EQ(line.B, 7.0);
  run.Slots[63].P.Student.Mean = 11.0;
  run.Slots[63].P.Student.Spread = 3.0;
  TakeFit(run, 63);
  EXPECT_EQ(run.Fitted.DistCode, 63);
  EXPECT_DOUBLE_EQ(run.Fitted.MeanXt, 11.0);
  EXPECT_DOUBLE_EQ(run.Fitted.SdXt, 3.0);
}

}  // namespace
}  // namespace tavorix
