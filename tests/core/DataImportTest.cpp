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
  o.DecimalComma = true;
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
