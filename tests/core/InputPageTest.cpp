#include "core/InputPage.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/TextLines.h"

namespace tavorix {
namespace {

// Records every message and answers the questions from a script.
class ScriptedDialogs : public TUserDialogs {
 public:
  std::vector<std::string> Messages, Questions;
  bool Answer = false;
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  bool Confirm(const std::string& q) override {
    Questions.push_back(q);
    return Answer;
  }
};

class InputPageTest : public ::testing::Test {
 protected:
  void SetUp() override { InitInputPage(page, dm); }

  void SetValues(const std::vector<std::string>& cells) {
    page.Grid.Cells.resize(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
      page.Grid.Cells[i][0] = std::to_string(i + 1);
      page.Grid.Cells[i][1] = cells[i];
    }
    dm.NrOfData = static_cast<int>(cells.size());
  }

  TInputPage page;
  TDMTavorix dm;
  TDecimalSettings settings;
  ScriptedDialogs dialogs;
};

TEST_F(InputPageTest, StartsWithFifteenZeroRows) {
  ASSERT_EQ(page.Grid.RowCount(), 15);
  EXPECT_EQ(page.Grid.Cells[14][0], "15");
  EXPECT_EQ(page.Grid.Cells[14][1], "0");
  EXPECT_EQ(page.NrOfDataText, "15");
  EXPECT_EQ(page.Grid.Width, 155);
  EXPECT_EQ(dm.NrOfData, 15);
}

TEST_F(InputPageTest, PasteOfTwoCommaLinesFillsTwoRows) {
  settings.DecimalSeparator = ',';
  ASSERT_TRUE(HandlePasteMultiCell(page, dm, settings, 1, 0, "1,5\r\n2,5\r\n", dialogs));
  ASSERT_EQ(dm.NrOfData, 2);
  EXPECT_EQ(dm.Values, (DataArrayR{1.5L, 2.5L}));
  EXPECT_EQ(dm.Serials, (DataArrayI{1, 2}));
  EXPECT_EQ(page.Grid.RowCount(), 2);
  EXPECT_EQ(page.Grid.Cells[1][0], "2");
  EXPECT_EQ(page.Grid.FixedCols, 1);
  EXPECT_EQ(page.NrOfDataText, "2");
  // Fewer data than before: the question was asked and answered No.
  ASSERT_EQ(dialogs.Questions.size(), 1u);
  EXPECT_EQ(dialogs.Questions[0],
            "The number of data is less than the original number. Do you want to maintain the original number?");
}

TEST_F(InputPageTest, PasteDropsLettersAndBlanks) {
  ASSERT_TRUE(HandlePasteMultiCell(page, dm, settings, 1, 0, "1.5E3", dialogs));
  EXPECT_EQ(page.Grid.Cells[0][1], "1.53");
  EXPECT_EQ(static_cast<double>(dm.Values[0]), 1.53);
  // No line end: the row count stays, the other rows keep their zeros.
  EXPECT_EQ(dm.NrOfData, 15);
  ASSERT_TRUE(HandlePasteMultiCell(page, dm, settings, 1, 0, " +2 000,5x\r\n", dialogs));
  EXPECT_EQ(page.Grid.Cells[0][1], "20005");
}

TEST_F(InputPageTest, PasteWithCommaSeparatorDropsPoints) {
  settings.DecimalSeparator = ',';
  ASSERT_TRUE(HandlePasteMultiCell(page, dm, settings, 1, 0, "1.5\r\n", dialogs));
  EXPECT_EQ(dm.Values[0], 15.0L);
}

TEST_F(InputPageTest, KeepingTheOriginalCountKeepsTheRowsBelow) {
  page.Grid.Cells[3][1] = "44";
  dialogs.Answer = true;
  ASSERT_TRUE(HandlePasteMultiCell(page, dm, settings, 1, 0, "7\r\n8\r\n", dialogs));
  ASSERT_EQ(dm.NrOfData, 15);
  EXPECT_EQ(dm.Values[0], 7.0L);
  EXPECT_EQ(dm.Values[1], 8.0L);
  EXPECT_EQ(dm.Values[3], 44.0L);
  EXPECT_EQ(page.Grid.RowCount(), 15);
}

TEST_F(InputPageTest, PasteOfTwoColumnsTakesTheValueColumn) {
  ASSERT_TRUE(HandlePasteMultiCell(page, dm, settings, 0, 0, "9\t2\r\n8\t4\r\n", dialogs));
  ASSERT_EQ(dm.NrOfData, 2);
  EXPECT_EQ(dm.Values, (DataArrayR{2.0L, 4.0L}));
  // Column 0 is renumbered whatever was pasted there.
  EXPECT_EQ(page.Grid.Cells[0][0], "1");
  EXPECT_EQ(page.Grid.Cells[1][0], "2");
}

TEST_F(InputPageTest, PasteStartingLowerCountsTheRowsAbove) {
  dialogs.Answer = false;
  ASSERT_TRUE(HandlePasteMultiCell(page, dm, settings, 1, 13, "5\r\n6\r\n7\r\n", dialogs));
  EXPECT_EQ(dm.NrOfData, 16);
  EXPECT_EQ(dm.Values[15], 7.0L);
  EXPECT_EQ(page.Grid.Width, 170);
  EXPECT_TRUE(dialogs.Questions.empty());
}

TEST_F(InputPageTest, LfOnlyPasteIsSplitIntoRows) {
  ASSERT_TRUE(HandlePasteMultiCell(page, dm, settings, 1, 0, "4\n5\n6\n7\n8\n9\n", dialogs));
  EXPECT_EQ(dm.NrOfData, 6);
  EXPECT_EQ(dm.Values[5], 9.0L);
}

TEST_F(InputPageTest, FailedPasteShowsTheMessageAndKeepsEverything) {
  const TInputPage before = page;
  const DataArrayR values = dm.Values;
  StringGrid1SetEditText(page, dm, settings, 1, 0, "abc\r\n", dialogs);
  ASSERT_FALSE(dialogs.Messages.empty());
  EXPECT_EQ(dialogs.Messages[0], "There are no data to be pasted or the data are incompatible");
  EXPECT_EQ(page.Grid.Cells, before.Grid.Cells);
  EXPECT_EQ(dm.Values, values);
}

TEST_F(InputPageTest, EditAfterPasteOfTwoRowsAsksForTheMinimum) {
  settings.DecimalSeparator = ',';
  StringGrid1SetEditText(page, dm, settings, 1, 0, "1,5\r\n2,5\r\n", dialogs);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0], " The minimum number of data is 6");
  EXPECT_EQ(page.NrOfDataText, "6");
  EXPECT_TRUE(page.DataEntered);
  EXPECT_FALSE(page.InProgress);
}

TEST_F(InputPageTest, TypingInACellShowsNoCountMessage) {
  StringGrid1SetEditText(page, dm, settings, 1, 2, "3.75", dialogs);
  EXPECT_EQ(page.Grid.Cells[2][1], "3.75");
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(InputPageTest, CountBelowSixIsResetToSix) {
  page.NrOfDataText = "5";
  NrOfDataEditExit(page, dm, settings, dialogs);
  ASSERT_FALSE(dialogs.Messages.empty());
  EXPECT_EQ(dialogs.Messages[0], " The minimum number of data is 6");
  EXPECT_EQ(page.NrOfDataText, "6");
  // 6 is still below the 15 rows: they are not removed by the count.
  EXPECT_EQ(dialogs.Messages.back(), " To remove data, empty the relevant data cells ");
  EXPECT_EQ(dm.NrOfData, 15);
}

TEST_F(InputPageTest, CountThatIsNoIntegerIsReported) {
  page.NrOfDataText = "1O";
  NrOfDataEditExit(page, dm, settings, dialogs);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0], "The number of data is not a valid integer");
  EXPECT_EQ(dm.NrOfData, 15);
}

TEST_F(InputPageTest, LargerCountAddsEmptyRows) {
  page.Grid.Cells[0][1] = "2.5";
  page.NrOfDataText = "20";
  NrOfDataEditExit(page, dm, settings, dialogs);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0], " Add data in the last cells at the end of the column");
  ASSERT_EQ(page.Grid.RowCount(), 20);
  EXPECT_EQ(page.Grid.Cells[19][0], "20");
  EXPECT_EQ(page.Grid.Cells[19][1], "");
  EXPECT_EQ(page.Grid.Cells[14][1], "0");
  EXPECT_EQ(dm.NrOfData, 20);
  EXPECT_EQ(dm.Values[0], 2.5L);
  EXPECT_EQ(dm.Serials[19], 20);
  EXPECT_EQ(page.Grid.Width, 170);
}

TEST_F(InputPageTest, RaisingTheCountTwiceKeepsTheDecimalComma) {
  // 15 -> 20 leaves five empty rows; 20 -> 25 reads them back. Values typed
  // with a comma afterwards must still be real numbers at Save-Run.
  settings.DecimalSeparator = ',';
  page.NrOfDataText = "20";
  NrOfDataEditExit(page, dm, settings, dialogs);
  page.NrOfDataText = "25";
  NrOfDataEditExit(page, dm, settings, dialogs);
  ASSERT_EQ(page.Grid.RowCount(), 25);
  for (int r = 0; r < 25; ++r) page.Grid.Cells[r][1] = std::to_string(r + 1) + ",5";
  ASSERT_TRUE(CollectSeriesAtSaveRun(page, dm, settings, dialogs)) << dialogs.Messages.back();
  EXPECT_EQ(dm.Values[24], 25.5L);
  EXPECT_EQ(settings.DecimalSeparator, ',');
}

TEST_F(InputPageTest, SmallerCountIsNotApplied) {
  page.NrOfDataText = "10";
  NrOfDataEditExit(page, dm, settings, dialogs);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0], " To remove data, empty the relevant data cells ");
  EXPECT_EQ(dm.NrOfData, 15);
  EXPECT_EQ(page.Grid.RowCount(), 15);
}

TEST_F(InputPageTest, ClassesChecks) {
  NrOfClassesEditClick(dialogs);
  EXPECT_EQ(dialogs.Messages.back(),
            "For interval analysis (histogram) a number of interval classes is needed.  It is recommended to use 2, "
            "5, 10 or 20 classes.  Use 10 or 20 only when there are more than 50 resp. 100 data");

  page.NrOfClassesText = "ten";
  NrOfClassesEditExit(page, dm, dialogs);
  EXPECT_EQ(dialogs.Messages.back(), "The number of classes is not a valid integer. It is set to 5");
  EXPECT_EQ(page.NrOfClassesText, "5");
  EXPECT_EQ(dm.NrOfClasses, 5);

  const auto shown = dialogs.Messages.size();
  page.NrOfClassesText = "80";
  NrOfClassesEditExit(page, dm, dialogs);
  EXPECT_EQ(dm.NrOfClasses, 50);
  EXPECT_EQ(page.NrOfClassesText, "50");
  EXPECT_EQ(dm.NrOfClassesText, "50");

  page.NrOfClassesText = "10";
  NrOfClassesEditExit(page, dm, dialogs);
  EXPECT_EQ(dm.NrOfClasses, 10);
  EXPECT_EQ(dialogs.Messages.size(), shown);
}

TEST_F(InputPageTest, ElevenZerosOfTwentyStopTheRunTenDoNot) {
  std::vector<std::string> cells(20, "3");
  for (int i = 0; i < 11; ++i) cells[i] = "0";
  SetValues(cells);
  EXPECT_FALSE(CollectSeriesAtSaveRun(page, dm, settings, dialogs));
  EXPECT_EQ(dialogs.Messages.back(), "There are too many zero input data. Input is invalid.");

  cells[10] = "3";
  SetValues(cells);
  EXPECT_TRUE(CollectSeriesAtSaveRun(page, dm, settings, dialogs));
  EXPECT_EQ(dm.NrOfData, 20);
}

TEST_F(InputPageTest, NonRealValueStopsTheRunAndKeepsTheSeries) {
  SetValues({"1", "2", "1.2.3", "4", "5", "6"});
  dm.Values = {9, 9, 9, 9, 9, 9};
  page.Title1Text = "New title";
  EXPECT_FALSE(CollectSeriesAtSaveRun(page, dm, settings, dialogs));
  EXPECT_EQ(dialogs.Messages.back(), "Not all data values in the inputfile are real");
  EXPECT_EQ(dm.Values[0], 9.0L);
  EXPECT_EQ(dm.Title1, "");
}

TEST_F(InputPageTest, ValueAtMinusOneMillionIsRefusedByName) {
  SetValues({"1", "2", "-1000000", "4", "5", "6"});
  EXPECT_FALSE(CollectSeriesAtSaveRun(page, dm, settings, dialogs));
  EXPECT_NE(dialogs.Messages.back().find("-1000000"), std::string::npos);
  SetValues({"1", "2", "-999999.5", "4", "5", "6"});
  EXPECT_TRUE(CollectSeriesAtSaveRun(page, dm, settings, dialogs));
}

TEST_F(InputPageTest, EmptyCellsAreRemovedAndTheRestMovesUp) {
  std::vector<std::string> cells;
  for (int i = 1; i <= 20; ++i) cells.push_back(i % 5 == 0 ? "" : std::to_string(i) + ".5");
  cells[6] = "   ";  // blanks only: empty as well
  SetValues(cells);
  page.Title1Text = "T1";
  page.Title2Text = "T2";
  ASSERT_TRUE(CollectSeriesAtSaveRun(page, dm, settings, dialogs));
  EXPECT_TRUE(page.HadEmptyCells);
  ASSERT_EQ(dm.NrOfData, 15);
  EXPECT_EQ(dm.Values[0], 1.5L);
  EXPECT_EQ(dm.Values[4], 6.5L);  // 5 and 7 removed
  EXPECT_EQ(dm.Values[5], 8.5L);
  EXPECT_EQ(dm.Values[14], 19.5L);
  EXPECT_EQ(dm.Serials[14], 15);
  ASSERT_EQ(page.Grid.RowCount(), 15);
  EXPECT_EQ(page.Grid.Cells[5][1], "8.5");
  EXPECT_EQ(page.Grid.Cells[14][0], "15");
  EXPECT_EQ(page.NrOfDataText, "15");
  EXPECT_EQ(dm.Title1, "T1");
  EXPECT_EQ(dm.Threshold, -1000000.0);

  // The file then holds the 15 kept values numbered 1..15.
  dm.FileName = "/data/x.inp";
  std::ostringstream out;
  dm.WriteInputFile(out);
  const LineSet lines = SplitLines(out.str());
  EXPECT_EQ(lines[7], " Number of data: 15  Number of classes :  5");
  ASSERT_EQ(lines.size(), 29u);
  EXPECT_EQ(lines[28], "   15      19.50");
}

TEST_F(InputPageTest, ClearAsksFirst) {
  page.Grid.Cells[0][1] = "12";
  page.Title1Text = "Title";
  dialogs.Answer = false;
  EXPECT_FALSE(ClearButtonClick(page, dm, dialogs));
  EXPECT_EQ(page.Grid.Cells[0][1], "12");
  dialogs.Answer = true;
  EXPECT_TRUE(ClearButtonClick(page, dm, dialogs));
  EXPECT_EQ(dialogs.Questions.back(), "The data will be cleared, are you sure?");
  EXPECT_EQ(page.Grid.Cells[0][1], "0");
  EXPECT_EQ(page.Title1Text, "");
  EXPECT_EQ(page.Grid.RowCount(), 15);
}

TEST_F(InputPageTest, OpenedSeriesFillsTheGridInGeneralFormat) {
  dm.Title1 = "A";
  dm.NrOfClasses = 10;
  dm.Values = {0.1L + 0.2L, 2.0L, 1e-7L};
  dm.Serials = {1, 2, 3};
  dm.NrOfData = 3;
  FillPageFromSeries(page, dm, TDecimalSettings{','});
  ASSERT_EQ(page.Grid.RowCount(), 3);
  EXPECT_EQ(page.Grid.Cells[1][1], "2");
  EXPECT_EQ(page.Grid.Cells[2][1], "1E-7");
  EXPECT_EQ(page.Grid.Cells[2][0], "3");
  EXPECT_EQ(page.NrOfClassesText, "10");
  EXPECT_EQ(page.PreviousNrOfData, 3);
  EXPECT_EQ(page.Title1Text, "A");
}

}  // namespace
}  // namespace tavorix
