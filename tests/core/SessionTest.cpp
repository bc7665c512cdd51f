#include "core/Session.h"

#include <gtest/gtest.h>

#include "core/DataImport.h"
#include "core/TavorixError.h"

namespace tavorix {
namespace {

// Records every message and answers the questions from a script.
class ScriptedDialogs : public TDialogs {
 public:
  std::vector<std::string> Messages, Questions;
  bool Answer = false;
  std::optional<int> Choice;  // the answer to a question with choices
  std::optional<int> AskChoice(const std::string& q, const std::vector<std::string>& choices) override {
    Questions.push_back(q);
    EXPECT_EQ(choices, (std::vector<std::string>{"decimal comma", "thousands separator"}));
    return Choice;
  }
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  bool Confirm(const std::string& q) override {
    Questions.push_back(q);
    return Answer;
  }
  TSaveAnswer AskSave(const std::string& q) override {
    Questions.push_back(q);
    return TSaveAnswer::Cancel;
  }
  std::optional<std::string> OpenFileName(const TFileDialogSpec&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const TFileDialogSpec&) override { return std::nullopt; }
};

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSession(s); }

  bool Paste(std::string_view text, int row = 0, int column = 1) {
    return PasteText(s, row, column, text, shown, dialogs);
  }

  TSession s;
  TDMTavorix dm;
  TDecimalSettings shown, settings;
  ScriptedDialogs dialogs;
};

TEST_F(SessionTest, StartsWithFifteenEmptyRowsThatHoldNoData) {
  EXPECT_EQ(s.RowCount(), 15);
  EXPECT_FALSE(HasData(s));
  EXPECT_FALSE(AskBeforeClosing(s));
}

// Each pasted text gives these cells, or is refused with this detail line.
struct PasteCase {
  const char* Text;
  std::vector<std::string> Cells;
  const char* Refusal;
};

class PasteReading : public SessionTest, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(PasteReading, ReadsNumbersAsImportDoes) {
  const PasteCase& c = GetParam();
  const bool pasted = Paste(c.Text);
  if (c.Refusal) {
    EXPECT_FALSE(pasted);
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0], std::string(kPasteFailedText) + (*c.Refusal ? "\n" : "") + c.Refusal);
    EXPECT_EQ(s.RowCount(), 15);
    EXPECT_FALSE(s.Unsaved);
    return;
  }
  ASSERT_TRUE(pasted) << (dialogs.Messages.empty() ? "" : dialogs.Messages.back());
  for (std::size_t i = 0; i < c.Cells.size(); ++i) EXPECT_EQ(s.Cells.at(i), c.Cells[i]) << i;
  // Import reads the same text to the same values.
  if (c.Cells.size() >= static_cast<std::size_t>(kMinimumNrOfData)) {
    TDMTavorix imported;
    ImportDataText(c.Text, {}, imported);
    EXPECT_EQ(imported.Values[0], std::stold(c.Cells[0]));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PasteReading,
    ::testing::Values(
        PasteCase{"1,5\r\n3,2\r\n5,1\r\n4\r\n6,5\r\n7,75\r\n", {"1.5", "3.2", "5.1", "4", "6.5", "7.75"}, nullptr},
        PasteCase{"1.5\n3.2\n5.1\n4\n6.5\n1.5E3\n", {"1.5", "3.2", "5.1", "4", "6.5", "1500"}, nullptr},
        PasteCase{"1\t7,5\n2\t8,5\n", {"7.5", "8.5"}, nullptr},
        PasteCase{"3\t7,5\n1\t8,5\n", {"3", "1"}, nullptr},
        PasteCase{"1.5\n2.5\n3,5\n", {}, "Line 3: \"3,5\" has a comma where the other numbers have a decimal point"},
        PasteCase{"1,5\n2,5\n3.5\n", {}, "Line 3: \"3.5\" has a point where the other numbers have a decimal comma"},
        PasteCase{"1,234.5\n2\n", {"1234.5", "2"}, nullptr},
        PasteCase{"1.234,5\n2\n", {}, "Line 1: \"1.234,5\" holds both a comma and a point"},
        PasteCase{"Q [m3/s]\n2\n", {"2"}, nullptr},
        PasteCase{"12\n1 234\n", {}, "Row 2: \"1 234\" is not a number"},
        PasteCase{"\r\n\r\n", {}, ""}));

TEST_F(SessionTest, PasteIntoTheSerialColumnTakesTheSecondField) {
  ASSERT_TRUE(Paste("1\t7,5\n2\t8,5\n3\t9\n4\t1\n5\t2\n6\t3\n", 0, 0));
  EXPECT_EQ(s.Cells[0], "7.5");
  EXPECT_EQ(s.Cells[5], "3");
}

TEST_F(SessionTest, ShortPasteAsksToKeepTheRowsOnlyWhenTheyHoldData) {
  ASSERT_TRUE(Paste("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n"));
  EXPECT_TRUE(dialogs.Questions.empty());  // the empty rows of the start are not data
  EXPECT_EQ(s.RowCount(), 10);

  dialogs.Answer = true;
  ASSERT_TRUE(Paste("11\n12\n13\n14\n15\n16\n17\n"));
  // The second line says what Yes does.
  EXPECT_EQ(dialogs.Questions,
            std::vector<std::string>{std::string(kKeepOriginalCountQuestion) +
                                     "\nYes keeps the 3 values of the previous series below the pasted ones."});
  EXPECT_EQ(s.RowCount(), 10);
  EXPECT_EQ(s.Cells[9], "10");

  dialogs.Answer = false;
  ASSERT_TRUE(Paste("1\n2\n"));
  EXPECT_EQ(dialogs.Messages.back(), kMinimumCountText);
  EXPECT_EQ(s.RowCount(), kMinimumNrOfData);
  EXPECT_EQ(s.Cells[2], "");
}

TEST_F(SessionTest, PasteStartingLowerKeepsTheRowsAboveAndBelow) {
  ASSERT_TRUE(Paste("5\r\n6\r\n7\r\n", 13));
  EXPECT_EQ(s.RowCount(), 16);
  EXPECT_EQ(s.Cells[15], "7");
  EXPECT_TRUE(dialogs.Questions.empty());
  ResetSession(s);
  ASSERT_TRUE(Paste("8\r\n", 2));
  EXPECT_EQ(s.RowCount(), 15);  // empty rows below a paste lower down stay
  EXPECT_EQ(s.Cells[2], "8");
}

TEST_F(SessionTest, CommasThatReadBothWaysAreAskedAbout) {
  const char* column = "1,234\r\n2,001\r\n987\r\n1,500\r\n1,100\r\n1,750\r\n1,320\r\n";
  EXPECT_FALSE(Paste(column));  // cancelled: nothing pasted, nothing said
  EXPECT_EQ(s.RowCount(), 15);
  EXPECT_TRUE(dialogs.Messages.empty());
  ASSERT_EQ(dialogs.Questions.size(), 1u);
  EXPECT_EQ(dialogs.Questions[0],
            "The commas of the numbers can be decimal commas or thousands separators:\n"
            "Line 1: \"1,234\" reads as 1.234 with a decimal comma, as 1234 with a thousands separator.");
  dialogs.Choice = 1;
  ASSERT_TRUE(Paste(column));
  EXPECT_EQ(s.Cells, (std::vector<std::string>{"1234", "2001", "987", "1500", "1100", "1750", "1320"}));
  dialogs.Choice = 0;
  shown.DecimalSeparator = ',';
  ASSERT_TRUE(Paste(column));
  EXPECT_EQ(s.Cells[0], "1,234");
  EXPECT_EQ(s.Cells[2], "987");
}

TEST_F(SessionTest, HeadingLineIsLeftOutWithANote) {
  std::string note;
  ASSERT_TRUE(PasteText(s, 0, 1, "Discharge\r\n12\r\n13\r\n", shown, dialogs, &note));
  EXPECT_EQ(s.Cells[0], "12");
  EXPECT_EQ(s.Cells[1], "13");
  EXPECT_EQ(note, "Line 1: \"Discharge\" is not a number: left out as a heading");
}

// A typed value is read as a pasted one, and shown in the session's form.
TEST_F(SessionTest, TypedValueIsReadAsAPastedOne) {
  ASSERT_TRUE(TypeCell(s, 0, "12,5", shown, dialogs));
  EXPECT_EQ(s.Cells[0], "12.5");
  ASSERT_TRUE(TypeCell(s, 1, "x7", shown, dialogs));
  EXPECT_EQ(s.Cells[1], "x7");  // Save-Run names it
  EXPECT_FALSE(TypeCell(s, 2, "1,234", shown, dialogs));  // asked, cancelled
  EXPECT_EQ(s.Cells[2], "");
  ASSERT_EQ(dialogs.Questions.size(), 1u);
  EXPECT_EQ(dialogs.Questions[0],
            "The commas of the numbers can be decimal commas or thousands separators:\n"
            "Row 3: \"1,234\" reads as 1.234 with a decimal comma, as 1234 with a thousands separator.");
  dialogs.Choice = 1;
  ASSERT_TRUE(TypeCell(s, 2, "1,234", shown, dialogs));
  EXPECT_EQ(s.Cells[2], "1234");
  // With a decimal comma the comma is the session's own: no question.
  shown.DecimalSeparator = ',';
  ASSERT_TRUE(TypeCell(s, 3, "1,234", shown, dialogs));
  ASSERT_TRUE(TypeCell(s, 4, "12.5", shown, dialogs));
  EXPECT_EQ(s.Cells[3], "1,234");
  EXPECT_EQ(s.Cells[4], "12,5");
  EXPECT_EQ(dialogs.Questions.size(), 2u);
}

// Under a decimal comma the grid shows commas; a value typed with a point
// joins them, and Save-Run reads every value the grid shows.
TEST_F(SessionTest, DecimalCommaSessionReadsWhatItShows) {
  shown.DecimalSeparator = settings.DecimalSeparator = ',';
  dm.Values = {49.9, 52.3, 49.4, 51.1, 49.4, 47.1};
  dm.NrOfData = 6;
  LoadSeries(s, dm, shown);
  EXPECT_EQ(s.Cells[0], "49,9");
  InsertRow(s, 3);
  ASSERT_TRUE(TypeCell(s, 3, "12.5", shown, dialogs));
  ASSERT_TRUE(CollectSeries(s, dm, settings, dialogs)) << dialogs.Messages.back();
  EXPECT_EQ(dm.Values, (DataArrayR{49.9, 52.3, 49.4, 12.5, 51.1, 49.4, 47.1}));
  EXPECT_EQ(settings.DecimalSeparator, ',');
  LoadSeries(s, dm, shown);
  EXPECT_EQ(s.Cells[4], "51,1");
}

TEST_F(SessionTest, GridChangesUndoAndRedo) {
  using Cells = std::vector<std::string>;
  const std::vector<std::pair<Cells, Cells>> cases = {
      {{"1", "2", "3"}, {"1", "5", "3"}},             // typing
      {{"1", "2", "3"}, {"1", "", "2", "3"}},         // inserted row
      {{"1", "2", "3", "4"}, {"1", "4"}},             // deleted rows
      {{"1", "2"}, {"7", "8", "9", "10"}},            // longer paste
      {{"1", "2", "3", "4"}, {"9"}},                  // shorter paste
      {{"1", "1", "1"}, {"1", "1", "1", "1"}},        // added row of the same text
      {{"1", "2"}, {"1", "2"}},
  };
  for (const auto& [before, after] : cases) {
    const TGridChange change = GridChangeBetween(before, after);
    EXPECT_EQ(change.Empty(), before == after);
    EXPECT_LE(change.Before.size() + change.After.size(), before.size() + after.size());
    s.Cells = before;
    ApplyGridChange(s, change, false);
    EXPECT_EQ(s.Cells, after);
    ApplyGridChange(s, change, true);
    EXPECT_EQ(s.Cells, before);
  }
}

TEST_F(SessionTest, LongSingleLineIsRefused) {
  EXPECT_FALSE(Paste(std::string(5000, '1')));
  EXPECT_EQ(dialogs.Messages.back(), std::string(kPasteFailedText) +
                                         "\nThe clipboard holds a line of 5000 characters, not a column of numbers");
}

TEST_F(SessionTest, TenValuesTypedInTheStartGridRunOnTenValues) {
  for (int i = 0; i < 10; ++i) SetCell(s, i, std::to_string(i + 1));
  EXPECT_TRUE(AskBeforeClosing(s));
  ASSERT_TRUE(CollectSeries(s, dm, settings, dialogs));
  EXPECT_EQ(dm.NrOfData, 10);
  EXPECT_EQ(s.RowCount(), 10);
}

TEST_F(SessionTest, SaveRunChecksNameTheFaultAndChangeNothing) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, std::string(kNoDataText)},
      {{"1", "2", "3"}, std::string(kMinimumCountText)},
      {{"1", "2", "x3", "4", "5", "6"}, std::string(kNotRealText) + "\nRow 3: \"x3\" is not a number"},
      {{"0", "0", "0", "0", "5", "6", "7"}, std::string(kTooManyZerosText)},
      {{"1", "2", "-1000000", "4", "5", "6"}, ValueTooLowText(-1000000)},
  };
  for (const auto& [cells, message] : cases) {
    ResetSession(s);
    for (std::size_t i = 0; i < cells.size(); ++i) SetCell(s, static_cast<int>(i), cells[i]);
    const TSession before = s;
    dm.NrOfData = 99;
    EXPECT_FALSE(CollectSeries(s, dm, settings, dialogs));
    EXPECT_EQ(dialogs.Messages.back(), message);
    EXPECT_EQ(s.Cells, before.Cells);
    EXPECT_EQ(dm.NrOfData, 99);
  }
}

TEST_F(SessionTest, CollectedSeriesCarriesEverySettingOfThePage) {
  for (int i = 0; i < 8; ++i) SetCell(s, i * 2, std::to_string(i + 1));
  s.ClassesText = "80";
  SetCompositeOption(s, 1);
  ASSERT_TRUE(ChooseCompositeItem(s, 2, "9"));
  ASSERT_TRUE(CollectSeries(s, dm, settings, dialogs));
  EXPECT_EQ(dm.NrOfData, 8);
  EXPECT_EQ(dm.Values[7], 8.0L);
  EXPECT_EQ(dm.NrOfClasses, 50);
  EXPECT_TRUE(dm.CompositeAllowed);
  EXPECT_EQ(dm.SelectionCode, "9");
  EXPECT_EQ(s.RowCount(), 8);  // the empty rows are gone
  EXPECT_TRUE(CompositeOnForRun(s));
  EXPECT_FALSE(SortRankedListAfterRun(s));
  EXPECT_FALSE(ListOfferedAfterRun(s));
}

TEST_F(SessionTest, PreferenceAndCompositeOptionResetEachOtherVisibly) {
  SetCompositeOption(s, 1);
  EXPECT_TRUE(ChoosePreferred(s, "4", "standard Gumbel distribution"));
  EXPECT_EQ(s.CompositeOption, 0);
  EXPECT_FALSE(CompositeOnForRun(s));
  EXPECT_FALSE(ChoosePreferred(s, "22", "standard log-normal distribution"));  // already off
  SetCompositeOption(s, 1);
  EXPECT_EQ(s.PreferredCode, "1");
  EXPECT_EQ(s.PreferredText, kBestOfAllText);
  EXPECT_FALSE(ChooseCompositeItem(s, 13, "1"));  // the separator is no choice
  EXPECT_EQ(s.CompositeItem, 0);

  // An opened file brings its own composite option and no preference.
  ChoosePreferred(s, "4", "standard Gumbel distribution");
  dm.CompositeAllowed = true;
  dm.NrOfData = 6;
  dm.Values.assign(6, 2.5L);
  dm.NrOfClasses = 7;
  LoadSeries(s, dm, shown);
  EXPECT_EQ(s.PreferredCode, "1");
  EXPECT_EQ(s.CompositeOption, 1);
  EXPECT_EQ(s.ClassesText, "7");
  EXPECT_EQ(s.Cells[5], "2.5");
  EXPECT_FALSE(s.Unsaved);
}

TEST_F(SessionTest, CountBoxAddsRowsDropsOnlyEmptyOnesAndIsBounded) {
  EXPECT_EQ(CountBoxExit(s, "8", dialogs), "8");
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(CountBoxExit(s, "20", dialogs), "20");
  EXPECT_EQ(dialogs.Messages.back(), kAddDataText);
  SetCell(s, 12, "4.5");
  EXPECT_EQ(CountBoxExit(s, "10", dialogs), "20");
  EXPECT_EQ(dialogs.Messages.back(), kRemoveDataText);
  EXPECT_EQ(CountBoxExit(s, "abc", dialogs), "20");
  EXPECT_EQ(dialogs.Messages.back(), kCountNotIntegerText);
  EXPECT_EQ(CountBoxExit(s, "2000000000", dialogs), "1000000");
  EXPECT_EQ(dialogs.Messages[dialogs.Messages.size() - 2], kMaximumCountText);
  EXPECT_EQ(CountBoxExit(s, "99999999999999", dialogs), "1000000");
  EXPECT_EQ(s.RowCount(), kMaximumNrOfData);
}

TEST_F(SessionTest, RowsAreInsertedDeletedAndCleared) {
  ASSERT_TRUE(Paste("1\n2\n3\n4\n5\n6\n7\n"));
  InsertRow(s, 1);
  EXPECT_EQ(s.Cells[1], "");
  EXPECT_EQ(s.Cells[2], "2");
  DeleteRows(s, 0, 3);
  EXPECT_EQ(s.Cells[0], "3");
  ClearCells(s, 0, 1);
  EXPECT_EQ(s.Cells[1], "");
  EXPECT_EQ(s.Cells[2], "5");
}

TEST_F(SessionTest, OfferRules) {
  EXPECT_TRUE(SaveRunOffered(true, false, false));
  EXPECT_FALSE(SaveRunOffered(false, false, false));
  EXPECT_FALSE(SaveRunOffered(true, true, false));
  EXPECT_FALSE(SaveRunOffered(true, false, true));
  EXPECT_FALSE(FileCommandsOffered(true, false));
  EXPECT_TRUE(GoodnessOfFitOffered(501));
  EXPECT_FALSE(GoodnessOfFitOffered(500));
}

TEST(SessionPaths, SaveRunWritesAnInpFile) {
  EXPECT_EQ(InputPathFor("/d/rain"), "/d/rain.inp");
  EXPECT_EQ(InputPathFor("/d/rain.txt"), "/d/rain.txt.inp");
  EXPECT_EQ(InputPathFor("/d/rain.inp"), "/d/rain.inp");
  EXPECT_EQ(WithRecentFile({"a", "b", "c"}, "c", 3), (std::vector<std::string>{"c", "a", "b"}));
  EXPECT_EQ(WithRecentFile({"a", "b", "c"}, "d", 3), (std::vector<std::string>{"d", "a", "b"}));
}

TEST(TableColumns, FirstNumericColumnOfACsv) {
  EXPECT_EQ(FirstNumericColumn("date;rain\n2001;1,5\nx;2,5\n"), "1,5\n2,5\n");
  EXPECT_EQ(FirstNumericColumn("station,rain\nA,1.5\nB,2.5\n"), "1.5\n2.5\n");
  EXPECT_EQ(FirstNumericColumn("name\train\n\"A\"\t3\n\"B\"\t4\n"), "3\n4\n");
  EXPECT_EQ(FirstNumericColumn("a,b\nc,d\n"), "");
}

}  // namespace
}  // namespace tavorix
