#include "core/DataPreparation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "core/TavorixError.h"
#include "core/TestUtil.h"

namespace tavorix {
namespace {

// An input file of the current layout with the given data lines (text).
std::string InputFile(const std::string& dataLines, const std::string& title1 = "Title one") {
  return " Input data for Tavorix program\r\n Cumulative frequency analysis\r\n\r\n " + title1 +
         "\r\n Title two\r\n\r\n Filename: /data/p.inp\r\n Number of data: 3  Number of classes :  5\r\n"
         " Threshold: not used\r\n No Composite distributions allowed\r\n\r\n ------------------\r\n"
         " Serial    Variable\r\n ------------------\r\n" +
         dataLines;
}

// Data lines for the values, numbered from 1.
std::string Lines(std::initializer_list<double> values) {
  TDMTavorix dm;
  dm.FileName = "/data/p.inp";
  for (double v : values) dm.Values.push_back(v);
  dm.NrOfData = static_cast<int>(values.size());
  std::ostringstream out;
  dm.WriteInputFile(out);
  const std::string text = out.str();
  std::size_t pos = 0;
  for (int i = 0; i < 14; ++i) pos = text.find('\n', pos) + 1;
  return text.substr(pos);
}

struct Prepared {
  PreparedRun run;
  TDMTavorix dm;
};

Prepared Prepare(const std::string& file) {
  Prepared p;
  std::istringstream in(file);
  PrepareData(p.run, p.dm, in, "/data/p.inp");
  return p;
}

TEST(PrepareData, RanksAndGivesPlottingPositions) {
  const Prepared p = Prepare(InputFile(Lines({3, 1, 2})));
  ASSERT_EQ(p.run.N, 3);
  ASSERT_EQ(p.run.X.size(), 4u);
  EXPECT_EQ(p.run.X[1], 1.0L);
  EXPECT_EQ(p.run.X[2], 2.0L);
  EXPECT_EQ(p.run.X[3], 3.0L);
  EXPECT_EQ(p.run.Fr[1], 0.25L);
  EXPECT_EQ(p.run.Fr[2], 0.5L);
  EXPECT_EQ(p.run.Fr[3], 0.75L);
  EXPECT_EQ(p.run.SerialOfRank[1], 2);
  EXPECT_EQ(p.run.SerialOfRank[2], 3);
  EXPECT_EQ(p.run.SerialOfRank[3], 1);
  EXPECT_EQ(p.dm.NrOfData, 3);
  EXPECT_EQ(p.run.Threshold, -1000000.0);
}

TEST(PrepareData, NegativeDataAreMovedSoTheSmallestIsOneTenThousandth) {
  const Prepared p = Prepare(InputFile(Lines({-2, 0, 5})));
  EXPECT_EQ(p.dm.RankedValues[1], -2.0L);
  EXPECT_NEAR(static_cast<double>(p.dm.RankedValues[2]), 0.001, 1e-15);
  EXPECT_EQ(p.dm.RankedValues[3], 5.0L);
  EXPECT_EQ(p.run.Shift, -2.0);
  EXPECT_FALSE(p.run.Shifted);
  EXPECT_NEAR(static_cast<double>(p.run.X[1]), 0.0001, 1e-15);
  EXPECT_NEAR(static_cast<double>(p.run.X[2]), 2.0011, 1e-15);
  EXPECT_NEAR(static_cast<double>(p.run.X[3]), 7.0001, 1e-15);
  // X + Shift - 0.0001 is the input value again.
  EXPECT_NEAR(static_cast<double>(p.run.X[3] + p.run.Shift - 0.0001L), 5.0, 1e-15);
}

TEST(PrepareData, PositiveDataAreNotMoved) {
  const Prepared p = Prepare(InputFile(Lines({10, 20, 30})));
  EXPECT_EQ(p.run.Shift, 0.0001);
  EXPECT_FALSE(p.run.Shifted);
  EXPECT_EQ(p.run.X[1], 10.0L);
  EXPECT_EQ(p.run.X[3], 30.0L);
  EXPECT_TRUE(p.run.Notices.empty());
}

TEST(PrepareData, ZeroBecomesOneThousandth) {
  const Prepared p = Prepare(InputFile(Lines({4, 0, 2})));
  EXPECT_NEAR(static_cast<double>(p.run.X[1]), 0.001, 1e-15);
  EXPECT_EQ(p.run.SerialOfRank[1], 2);
  EXPECT_EQ(p.run.Shift, 0.0001);
}

TEST(PrepareData, EqualValuesKeepTheOrderOfTheirSerials) {
  const Prepared p = Prepare(InputFile(Lines({5, 3, 5, 3, 4, 3})));
  const int expected[] = {0, 2, 4, 6, 5, 1, 3};
  for (int r = 1; r <= 6; ++r) EXPECT_EQ(p.run.SerialOfRank[r], expected[r]) << r;
}

TEST(PrepareData, ManyTiesKeepInputOrder) {
  std::string lines;
  for (int i = 1; i <= 700; ++i) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%5d %10.2f\r\n", i, static_cast<double>(7 - i % 7));
    lines += buf;
  }
  const Prepared p = Prepare(InputFile(lines));
  ASSERT_EQ(p.run.N, 700);
  for (int r = 2; r <= 700; ++r) {
    ASSERT_LE(p.run.X[r - 1], p.run.X[r]);
    if (p.run.X[r - 1] == p.run.X[r]) {
      ASSERT_LT(p.run.SerialOfRank[r - 1], p.run.SerialOfRank[r]) << r;
    }
  }
}

TEST(PrepareData, EmptyLinesAmongTheDataAreNoData) {
  const Prepared p = Prepare(InputFile(Lines({1, 2, 3}) + "\r\n  \r\n" + Lines({4, 5}) + "\r\n"));
  EXPECT_EQ(p.run.N, 5);
  EXPECT_EQ(p.dm.NrOfData, 5);
  EXPECT_EQ(p.run.X[5], 5.0L);
}

TEST(PrepareData, TinyPositiveDataAreMovedLeftAndShiftGivesThemBack) {
  const Prepared p = Prepare(InputFile(Lines({0.0003, 0.0001, 0.0002})));
  EXPECT_TRUE(p.run.Shifted);
  ASSERT_EQ(p.run.Notices.size(), 1u);
  EXPECT_EQ(p.run.Notices[0],
            "The first values are high. The distribution will be  temporarily shifted to the left.");
  // The move is 0.75 * 0.0001; Shift keeps the move plus 0.0001.
  EXPECT_NEAR(p.run.Shift, 0.000175, 1e-18);
  EXPECT_NEAR(static_cast<double>(p.run.X[1]), 0.000025, 1e-18);
  EXPECT_NEAR(static_cast<double>(p.run.X[3]), 0.000225, 1e-18);
  const double inputs[] = {0, 0.0001, 0.0002, 0.0003};
  for (int r = 1; r <= 3; ++r)
    EXPECT_NEAR(static_cast<double>(p.run.X[r] + p.run.Shift - 0.0001L), inputs[r], 1e-18) << r;
  // RankedValues hold the values before the move.
  EXPECT_EQ(static_cast<double>(p.dm.RankedValues[1]), 0.0001);
}

TEST(PrepareData, LargestOfHalfAThousandthIsNotMovedLeft) {
  const Prepared p = Prepare(InputFile(Lines({0.0001, 0.0005})));
  EXPECT_FALSE(p.run.Shifted);
  EXPECT_EQ(p.run.Shift, 0.0001);
}

TEST(PrepareData, NoDataLeavesNZero) {
  const Prepared p = Prepare(InputFile(""));
  EXPECT_EQ(p.run.N, 0);
  EXPECT_EQ(p.dm.NrOfData, 0);
  EXPECT_FALSE(p.run.Shifted);
  EXPECT_TRUE(p.run.Notices.empty());
  EXPECT_EQ(p.run.X.size(), 1u);
}

TEST(PrepareData, TitlesAreCutAtSeventyTwoCharacters) {
  const std::string longTitle(80, 'x');
  const Prepared p = Prepare(InputFile(Lines({1, 2}), longTitle));
  EXPECT_EQ(p.run.ReportTitle1, std::string(72, 'x'));
  EXPECT_EQ(p.run.ReportTitle2, "Title two");
}

TEST(PrepareData, FindsTheHeaderOfTheOlderLayout) {
  PreparedRun run;
  TDMTavorix dm;
  std::istringstream in(test::ReadFile(std::string(TAVORIX_TEST_DATA_DIR) + "/older_layout.inp"));
  PrepareData(run, dm, in, "older.inp");
  ASSERT_EQ(run.N, 6);
  EXPECT_EQ(run.X[1], 0.75L);
  EXPECT_EQ(run.X[6], 12.0L);
  EXPECT_EQ(run.SerialOfRank[6], 4);
}

TEST(PrepareData, InvalidLineAndTooLowValueAreErrors) {
  EXPECT_THROW(Prepare(InputFile("    1       abc\r\n")), TavorixError);
  EXPECT_THROW(Prepare(InputFile("    1       1.00\r\n    2 -1.0E+0006\r\n")), TavorixError);
  EXPECT_THROW(Prepare("no header here\r\n"), TavorixError);
}

// Data whose magnitude or spread the fits' sums cannot hold are refused with
// a message naming the limit, not taken for data without variation.
TEST(PrepareData, DataBeyondTheSumsLimitsAreRefusedWithTheirMessage) {
  std::string seventyAndHuge, smallAndHuge;
  for (int i = 1; i <= 70; ++i) seventyAndHuge += Lines({10 + 0.37 * i});
  seventyAndHuge += "   71 1.0E+0308\r\n";
  smallAndHuge = Lines({1, 2, 3, 4, 5}) + "    6 1.0E+0300\r\n";
  const std::string tinySpread = "    1 1.0E-0300\r\n    2 3.0E-0300\r\n    3 7.0E-0300\r\n";
  const std::pair<std::string, std::string_view> cases[] = {
      {seventyAndHuge, kDataTooLargeText},
      {smallAndHuge, kDataTooLargeText},
      {Lines({1, 2, 3}) + "    4 -1.0E+0100\r\n", "The data value -1E100 is at or below"},
      {tinySpread, kDataRangeTooSmallText},
  };
  for (const auto& [lines, message] : cases) {
    try {
      Prepare(InputFile(lines));
      ADD_FAILURE() << "accepted: " << lines.substr(0, 40);
    } catch (const TavorixError& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, message.size()), message);
    }
  }
  EXPECT_EQ(Prepare(InputFile(Lines({1, 2, 3}) + "    4 9.9E+0099\r\n")).run.N, 4);
  EXPECT_EQ(Prepare(InputFile("    1 1.0E-0090\r\n    2 3.0E-0090\r\n")).run.N, 2);
}

TEST(PrepareData, ReadsTheFileThatTheDataModuleWrote) {
  test::TempDir dir;
  TDMTavorix dm;
  dm.FileName = dir.File("written.inp");
  dm.Values = {2.345L, 0.123L, 123.456L, 7.0L};
  dm.NrOfData = 4;
  dm.WriteInputFile();
  PreparedRun run;
  PrepareData(run, dm);
  ASSERT_EQ(run.N, 4);
  // No digit is lost between the grid and the run.
  EXPECT_EQ(static_cast<double>(dm.RankedValues[1]), 0.123);
  EXPECT_EQ(static_cast<double>(dm.RankedValues[2]), 2.345);
  EXPECT_EQ(static_cast<double>(dm.RankedValues[4]), 123.456);

  dm.FileName = dir.File("missing.inp");
  EXPECT_THROW(PrepareData(run, dm), TavorixError);
}

}  // namespace
}  // namespace tavorix
