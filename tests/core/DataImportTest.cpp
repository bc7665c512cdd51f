#include "core/DataImport.h"

#include <gtest/gtest.h>

#include "core/TavorixError.h"

namespace tavorix {
namespace {

std::string ErrorOf(const std::string& text, const TImportOptions& options = {}) {
  TDMTavorix dm;
  try {
    ImportDataText(text, options, dm);
  } catch (const TavorixError& e) {
    return e.what();
  }
  return "";
}

TEST(DataImport, OneNumberPerLine) {
  TDMTavorix dm;
  TImportOptions o;
  o.Title1 = "Rivers";
  o.Title2 = "miles";
  o.ClassesText = "10";
  o.CompositeAllowed = true;
  ImportDataText("735\n320\n325\n392\n524\n450\n", o, dm);
  ASSERT_EQ(dm.NrOfData, 6);
  EXPECT_EQ(dm.Values[0], 735.0L);
  EXPECT_EQ(dm.Values[5], 450.0L);
  EXPECT_EQ(dm.Serials[5], 6);
  EXPECT_EQ(dm.Title1, "Rivers");
  EXPECT_EQ(dm.NrOfClasses, 10);
  EXPECT_TRUE(dm.CompositeAllowed);
}

TEST(DataImport, CrLfTabsAndBlankLines) {
  TDMTavorix dm;
  ImportDataText("1.5\t99\r\n\r\n2.5\r\n 3.5 \r\n4.5\r\n5.5\r\n6.5\r\n", {}, dm);
  ASSERT_EQ(dm.NrOfData, 6);  // the blank line is a removed datum
  EXPECT_EQ(dm.Values[0], 1.5L);
  EXPECT_EQ(dm.Values[1], 2.5L);
  EXPECT_EQ(dm.Values[2], 3.5L);
}

TEST(DataImport, CommaOnlyTextUsesTheDecimalComma) {
  EXPECT_EQ(DetectDecimalSeparator("1,5\n2,5\n"), ',');
  EXPECT_EQ(DetectDecimalSeparator("1,5\n2.5\n"), '.');
  EXPECT_EQ(DetectDecimalSeparator("15\n25\n"), '.');
  TDMTavorix dm;
  ImportDataText("1,5\n2,25\n3\n4\n5\n6\n", {}, dm);
  EXPECT_EQ(dm.Values[1], 2.25L);
}

TEST(DataImport, ForcedCommaFallsBackToThePoint) {
  TDMTavorix dm;
  TImportOptions o;
  o.Commas = TCommaReading::Decimal;
  ImportDataText("1.5\n2.5\n3\n4\n5\n6\n", o, dm);
  EXPECT_EQ(dm.Values[0], 1.5L);
}

TEST(DataImport, ExponentNotationIsKept) {
  TDMTavorix dm;
  ImportDataText("1.5E3\n2e-2\n3\n4\n5\n6\n", {}, dm);
  EXPECT_EQ(dm.Values[0], 1500.0L);
  EXPECT_EQ(static_cast<double>(dm.Values[1]), 0.02);
}

TEST(DataImport, RefusalsCarryTheProgramsMessages) {
  EXPECT_EQ(ErrorOf("1\n2\nx\n4\n5\n6\n"), "Not all data values in the inputfile are real\nRow 3: \"x\" is not a number");
  EXPECT_EQ(ErrorOf("1.5\n2.5\n3,5\n4\n5\n6\n"),
            "Not all data values in the inputfile are real\n"
            "Line 3: \"3,5\" has a comma where the other numbers have a decimal point");
  EXPECT_EQ(ErrorOf("0\n0\n0\n0\n1\n2\n3\n"), "There are too many zero input data. Input is invalid.");
  EXPECT_EQ(ErrorOf("1\n2\n3\n\n4\n5\n"), "The minimum number of data is 6");
  EXPECT_EQ(ErrorOf("\n\n"), "The minimum number of data is 6");
  EXPECT_NE(ErrorOf("1\n2\n-2e6\n4\n5\n6\n").find("-2000000"), std::string::npos);
  EXPECT_EQ(ErrorOf("0\n0\n0\n1\n2\n3\n"), "");
}

// The same numbers with thousands separators are read at their size, or
// refused until the user says how the commas are meant.
TEST(DataImport, CommasAreNeverReadAtAnotherSize) {
  const std::string column = "1,234\n2,001\n987\n1,500\n1,100\n1,750\n1,320\n";
  TImportOptions o;
  o.AmbiguityAdvice = "Say which.";
  EXPECT_EQ(ErrorOf(column, o),
            "The commas of the numbers can be decimal commas or thousands separators\n"
            "Line 1: \"1,234\" reads as 1.234 with a decimal comma, as 1234 with a thousands separator\n"
            "Say which.");
  TDMTavorix dm;
  o.Commas = TCommaReading::Thousands;
  ImportDataText(column, o, dm);
  EXPECT_EQ(dm.Values[0], 1234.0L);
  EXPECT_EQ(dm.Values[2], 987.0L);
  EXPECT_EQ(dm.Values[6], 1320.0L);
  o.Commas = TCommaReading::Decimal;
  ImportDataText(column, o, dm);
  EXPECT_EQ(static_cast<double>(dm.Values[0]), 1.234);
  EXPECT_EQ(dm.Values[2], 987.0L);

  // Only one reading: a point or a second comma says thousands, a comma
  // before fewer or more than three digits says decimal comma.
  const std::vector<std::pair<std::string, double>> decided = {
      {"1,234.5\n2,001\n987\n4\n5\n6\n", 1234.5},
      {"1,234\n987.5\n3\n4\n5\n6\n", 1234},
      {"1,234\n2,345,678\n3\n4\n5\n6\n", 1234},
      {"1,234\n1,5\n3\n4\n5\n6\n", 1.234},
  };
  for (const auto& [text, first] : decided) {
    ImportDataText(text, {}, dm);
    EXPECT_EQ(static_cast<double>(dm.Values[0]), first) << text;
  }
  EXPECT_EQ(ErrorOf("1,234.5\n2,5\n3\n4\n5\n6\n"),
            "Not all data values in the inputfile are real\n"
            "Line 2: \"2,5\" has a comma where the other numbers have a thousands separator");
  EXPECT_EQ(ErrorOf("1.234,5\n2\n3\n4\n5\n6\n"),
            "Not all data values in the inputfile are real\nLine 1: \"1.234,5\" holds both a comma and a point");
}

TEST(DataImport, HeadingLineIsLeftOutWithANote) {
  for (const char* heading : {"Discharge", "Q [m3/s]"}) {
    TDMTavorix dm;
    std::string notes;
    ImportDataText(std::string(heading) + "\r\n1.5\r\n2\r\n3\r\n4\r\n5\r\n6\r\n", {}, dm, &notes);
    ASSERT_EQ(dm.NrOfData, 6);
    EXPECT_EQ(dm.Values[0], 1.5L);
    EXPECT_EQ(notes, "Line 1: \"" + std::string(heading) + "\" is not a number: left out as a heading\n");
  }
  // Only the first line is a heading.
  EXPECT_EQ(ErrorOf("1\nDischarge\n3\n4\n5\n6\n7\n"),
            "Not all data values in the inputfile are real\nRow 2: \"Discharge\" is not a number");
}

TEST(DataImport, CountingFirstColumnGivesTheSecond) {
  TDMTavorix dm;
  ImportDataText("Nr\tQ\n1\t7.5\n2\t8.5\n3\t\n4\t9\n5\t1\n6\t2\n7\t3\n", {}, dm);
  ASSERT_EQ(dm.NrOfData, 6);  // row 3 is empty: left out
  EXPECT_EQ(dm.Values[0], 7.5L);
  EXPECT_EQ(dm.Values[5], 3.0L);
  // First fields that do not count are the values.
  ImportDataText("5\t1\n3\t2\n4\t3\n6\t4\n7\t5\n8\t6\n", {}, dm);
  EXPECT_EQ(dm.Values[0], 5.0L);
}

TEST(DataImport, ClassesFollowTheClassesBox) {
  TDMTavorix dm;
  TImportOptions o;
  o.ClassesText = "80";
  ImportDataText("1\n2\n3\n4\n5\n6\n", o, dm);
  EXPECT_EQ(dm.NrOfClasses, 50);
}

TEST(DataImport, RefusedDataLeaveTheSeriesAsItWas) {
  TDMTavorix dm;
  dm.Values = {1, 2};
  dm.NrOfData = 2;
  EXPECT_THROW(ImportDataText("a\nb\n", {}, dm), TavorixError);
  EXPECT_EQ(dm.NrOfData, 2);
  EXPECT_EQ(dm.Values.size(), 2u);
}

}  // namespace
}  // namespace tavorix
