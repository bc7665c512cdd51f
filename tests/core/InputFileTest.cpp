#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <sstream>

#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "core/UDMTavorix.h"
#include "core/TestUtil.h"

namespace tavorix {
namespace {

using test::ReadFile;
using test::SameBytes;
using test::TempDir;

const std::string kDataDir = TAVORIX_TEST_DATA_DIR;

std::string Written(TDMTavorix& dm) {
  std::ostringstream out;
  dm.WriteInputFile(out);
  return out.str();
}

TDMTavorix Series(std::initializer_list<long double> values) {
  TDMTavorix dm;
  dm.FileName = "/data/test.inp";
  dm.Values = values;
  dm.NrOfData = static_cast<int>(dm.Values.size());
  for (int i = 0; i < dm.NrOfData; ++i) dm.Serials.push_back(i + 1);
  dm.RemoveFlags.assign(dm.Values.size(), 0);
  return dm;
}

TDMTavorix ReadText(const std::string& text, const std::string& path = "/data/in.inp") {
  TDMTavorix dm;
  std::istringstream in(text);
  dm.ReadInputFile(in, path);
  return dm;
}

TEST(InputFile, WriterMatchesTheHandWrittenGoldenFile) {
  TDMTavorix dm = Series({0.5L, 1.0L, 2.345L, -3.0L, 99.0L, 123.456L, 0.123L, 0.000357L, 2.35L, 5.0L,
                          12345678.9L, 0.0L, -1234.5L, 1e-300L});
  // The values as the grid gives them: doubles.
  for (auto& v : dm.Values) v = static_cast<double>(v);
  dm.FileName = "/data/series/golden.inp";
  dm.Title1 = "Golden series: hand-written layout check";
  dm.Title2 = "Values in mm";
  dm.NrOfClasses = 7;
  dm.CompositeAllowed = true;
  dm.RemoveFlags[4] = 1;
  dm.RemoveFlags[9] = 1;
  EXPECT_TRUE(SameBytes(ReadFile(kDataDir + "/golden.inp"), Written(dm)));
  EXPECT_EQ(dm.NrOfData, 12);
  // The series in memory stays uncompacted.
  EXPECT_EQ(dm.Values.size(), 14u);
  EXPECT_EQ(dm.RemoveFlags[4], 1);
}

TEST(InputFile, ValueColumnOfTheWorkedExample) {
  TDMTavorix dm = Series({0.5L, 1.0L, 2.35L, -3.0L});
  for (auto& v : dm.Values) v = static_cast<double>(v);
  const LineSet lines = SplitLines(Written(dm));
  ASSERT_EQ(lines.size(), 18u);
  EXPECT_EQ(lines[14], "    1  5.0E-0001");
  EXPECT_EQ(lines[15], "    2       1.00");
  EXPECT_EQ(lines[16], "    3       2.35");
  EXPECT_EQ(lines[17], "    4 -3.0E+0000");
  EXPECT_EQ(lines[9], " No Composite distributions allowed");
}

TEST(InputFile, RemovedDataAreSkippedRenumberedAndCountedOnce) {
  TDMTavorix dm;
  dm.FileName = "/data/t.inp";
  for (int i = 0; i < 20; ++i) {
    dm.Values.push_back(10.0L + i);
    dm.Serials.push_back(i + 1);
    dm.RemoveFlags.push_back(i % 5 == 2 ? 1 : 0);  // rows 3, 8, 13, 18 empty
  }
  dm.NrOfData = 20;
  const LineSet lines = SplitLines(Written(dm));
  EXPECT_EQ(lines[7], " Number of data: 16  Number of classes :  5");
  ASSERT_EQ(lines.size(), 14u + 16u);
  EXPECT_EQ(lines[14], "    1      10.00");
  EXPECT_EQ(lines[16], "    3      13.00");  // the value of row 4 follows row 2
  EXPECT_EQ(lines[29], "   16      29.00");
  EXPECT_EQ(dm.NrOfData, 16);
}

TEST(InputFile, ReadBackGivesTheSameDoubles) {
  std::mt19937_64 gen(7);
  std::uniform_real_distribution<double> u(-5.0, 5.0);
  TDMTavorix dm;
  dm.FileName = "/data/roundtrip.inp";
  dm.Title1 = "Round trip";
  dm.Title2 = "Units: none";
  dm.NrOfClasses = 12;
  dm.CompositeAllowed = true;
  for (int i = 0; i < 400; ++i) {
    dm.Values.push_back(std::pow(10.0, u(gen)) * (i % 3 == 0 ? -1 : 1));
    dm.Serials.push_back(i + 1);
  }
  dm.RemoveFlags.assign(dm.Values.size(), 0);
  dm.NrOfData = 400;
  const TDMTavorix back = ReadText(Written(dm));
  EXPECT_EQ(back.Title1, "Round trip");
  EXPECT_EQ(back.Title2, "Units: none");
  EXPECT_EQ(back.NrOfClasses, 12);
  EXPECT_TRUE(back.CompositeAllowed);
  ASSERT_EQ(back.NrOfData, 400);
  for (int i = 0; i < 400; ++i) {
    EXPECT_EQ(back.Values[i], dm.Values[i]) << i;
    EXPECT_EQ(back.Serials[i], i + 1);
  }
  EXPECT_EQ(back.RemoveFlags, RemoveSet(400, 0));
}

TEST(InputFile, TenThousandValuesKeepCountClassesAndValues) {
  TDMTavorix dm;
  dm.FileName = "/data/big.inp";
  for (int i = 0; i < 10000; ++i) {
    dm.Values.push_back(0.001 * i + 0.0005);
    dm.Serials.push_back(i + 1);
  }
  dm.RemoveFlags.assign(10000, 0);
  dm.NrOfData = 10000;
  dm.NrOfClasses = 20;
  const std::string text = Written(dm);
  EXPECT_NE(text.find(" Number of data: 10000  Number of classes :  20\r\n"), std::string::npos);
  const TDMTavorix back = ReadText(text);
  EXPECT_EQ(back.NrOfData, 10000);
  EXPECT_EQ(back.NrOfClasses, 20);
  EXPECT_EQ(back.Values[9999], 0.001 * 9999 + 0.0005);
}

TEST(InputFile, ReadsTheGoldenFile) {
  TDMTavorix dm = ReadText(ReadFile(kDataDir + "/golden.inp"));
  EXPECT_EQ(dm.Title1, "Golden series: hand-written layout check");
  EXPECT_EQ(dm.NrOfClasses, 7);
  EXPECT_TRUE(dm.CompositeAllowed);
  ASSERT_EQ(dm.NrOfData, 12);
  EXPECT_EQ(dm.Values[2], 2.345);
  EXPECT_EQ(dm.Values[8], 12345678.9);
  EXPECT_EQ(dm.Values[10], -1234.5);
  EXPECT_EQ(dm.Serials[11], 12);
}

TEST(InputFile, ReadsTheOlderLayoutWithoutCompositeLine) {
  TDMTavorix dm = ReadText(ReadFile(kDataDir + "/older_layout.inp"));
  EXPECT_FALSE(dm.CompositeAllowed);
  EXPECT_EQ(dm.Title2, "Written before the composite option");
  EXPECT_EQ(dm.NrOfClasses, 10);
  ASSERT_EQ(dm.NrOfData, 6);
  EXPECT_EQ(dm.Values[0], 4.5);  // line 14 is the first datum
  EXPECT_EQ(dm.Values[2], 0.75);
  EXPECT_EQ(dm.Values[5], 3.0);
}

TEST(InputFile, LfOnlyAndCrLfFilesReadAlike) {
  const std::string crlf = ReadFile(kDataDir + "/golden.inp");
  std::string lf;
  for (char c : crlf)
    if (c != '\r') lf += c;
  const TDMTavorix a = ReadText(crlf), b = ReadText(lf);
  EXPECT_EQ(a.Values, b.Values);
  EXPECT_EQ(a.Title1, b.Title1);
  EXPECT_EQ(a.CompositeAllowed, b.CompositeAllowed);
}

std::string FileWithLine8AndData(const std::string& line8, const std::string& data) {
  return " Input data for Tavorix program\r\n Cumulative frequency analysis\r\n\r\n T1\r\n T2\r\n\r\n"
         " Filename: x\r\n" +
         line8 + "\r\n Threshold: not used\r\n No Composite distributions allowed\r\n\r\n"
                 " ------------------\r\n Serial    Variable\r\n ------------------\r\n" +
         data;
}

TEST(InputFile, UnreadableNumberOfClassesBecomesFive) {
  const std::string data = "    1       1.00\r\n";
  EXPECT_EQ(ReadText(FileWithLine8AndData(" Number of data: 1  Number of classes :  x", data)).NrOfClasses, 5);
  EXPECT_EQ(ReadText(FileWithLine8AndData(" Number of data: 1", data)).NrOfClasses, 5);
  EXPECT_EQ(ReadText(FileWithLine8AndData(" Number of data: 1  Number of classes :  0", data)).NrOfClasses, 5);
  EXPECT_EQ(ReadText(FileWithLine8AndData(" Number of data: 1  Number of classes :  80", data)).NrOfClasses, 50);
  EXPECT_EQ(ReadText(FileWithLine8AndData(" Number of data: 1234  Number of classes :  20", data)).NrOfClasses, 20);
}

TEST(InputFile, EveryDataLineIsReadAndADifferentCountIsAWarning) {
  // An empty line inside the data, stray CRs and trailing empty lines.
  const std::string text =
      FileWithLine8AndData(" Number of data: 3  Number of classes :  5",
                           "    1       1.00\r\n    2       2.00\r\n\r\n \r\n    3       3.00\r\r\n    4       4.00\r\n\r\n");
  const TDMTavorix dm = ReadText(text);
  EXPECT_EQ(dm.NrOfData, 4);
  EXPECT_EQ(dm.Values.back(), 4.0L);
  ASSERT_EQ(dm.ReadNotes.size(), 1u);
  EXPECT_EQ(dm.ReadNotes[0], "The input file says 3 values but holds 4");
  // The count that agrees gives no warning.
  EXPECT_TRUE(ReadText(FileWithLine8AndData(" Number of data: 1  Number of classes :  5", "    1       1.00\r\n"))
                  .ReadNotes.empty());
}

TEST(InputFile, CrCrLfLineEndsReadAsOneLineEnd) {
  std::string text = ReadFile(kDataDir + "/golden.inp");
  std::string doubled;
  for (char c : text) doubled += c == '\r' ? std::string("\r\r") : std::string(1, c);
  const TDMTavorix a = ReadText(text), b = ReadText(doubled);
  EXPECT_EQ(a.Values, b.Values);
  EXPECT_EQ(a.Title2, b.Title2);
  EXPECT_EQ(a.NrOfClasses, b.NrOfClasses);
}

class MalformedDataLine : public ::testing::TestWithParam<const char*> {};

TEST_P(MalformedDataLine, IsReportedAndLeavesTheSeriesAsItWas) {
  TDMTavorix dm = Series({4.0L, 5.0L, 6.0L});
  dm.Title1 = "Current";
  const TDMTavorix before = dm;
  const std::string text = FileWithLine8AndData(" Number of data: 2  Number of classes :  9",
                                                std::string("    1       1.00\r\n") + GetParam() + "\r\n");
  std::istringstream in(text);
  try {
    dm.ReadInputFile(in, "/data/bad.inp");
    FAIL() << "no error for [" << GetParam() << "]";
  } catch (const TavorixError& e) {
    // The program's message, then the line at fault.
    EXPECT_EQ(std::string(e.what()), "A program error occurred.Real numbers in the inputfile \"/data/bad.inp\" are invalid"
                                     "\nLine 16: \"" + std::string(GetParam()) + "\"");
  }
  EXPECT_EQ(dm.Values, before.Values);
  EXPECT_EQ(dm.Title1, "Current");
  EXPECT_EQ(dm.NrOfData, 3);
  EXPECT_EQ(dm.NrOfClasses, 5);
}

INSTANTIATE_TEST_SUITE_P(Lines, MalformedDataLine,
                         ::testing::Values("    2", "    2 abc", "  2.5  3.0", "    2    1,5", "    2 1.5 7",
                                           "    x       1.00", "    2    nan"));

TEST(InputFile, TruncatedHeaderIsInvalid) {
  EXPECT_THROW(ReadText(" Input data for Tavorix program\r\n Cumulative frequency analysis\r\n"), TavorixError);
}

TEST(InputFile, ValueAtOrBelowMinusOneMillionIsRefusedByName) {
  const std::string text = FileWithLine8AndData(" Number of data: 2  Number of classes :  5",
                                                "    1       1.00\r\n    2 -1.0E+0006\r\n");
  try {
    ReadText(text);
    FAIL();
  } catch (const TavorixError& e) {
    EXPECT_NE(std::string(e.what()).find("-1000000"), std::string::npos) << e.what();
  }
}

TEST(InputFile, OpenFailureCarriesThePath) {
  TDMTavorix dm;
  dm.FileName = "/nonexistent/folder/x.inp";
  try {
    dm.ReadInputFile();
    FAIL();
  } catch (const TavorixError& e) {
    EXPECT_STREQ(e.what(),
                 "The file \"/nonexistent/folder/x.inp\" could not be opened. It may be in use by another program\n"
                 "No such file or directory");
  }
  EXPECT_THROW(dm.WriteInputFile(), TavorixError);
}

TEST(InputFile, FileWriteIsAtomicAndKeepsThePreviousFileOnFailure) {
  TempDir dir;
  TDMTavorix dm = Series({1.0L, 2.0L, 3.0L});
  dm.FileName = dir.File("series.inp");
  dm.WriteInputFile();
  const std::string first = ReadFile(dm.FileName);
  EXPECT_NE(first.find(" Filename: " + dm.FileName + "\r\n"), std::string::npos);

  dm.Values[1] = std::nan("");
  dm.NrOfData = 3;
  EXPECT_THROW(dm.WriteInputFile(), TavorixError);
  EXPECT_EQ(ReadFile(dm.FileName), first);
  EXPECT_EQ(dm.NrOfData, 3);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1) << "a temporary file was left behind";
}

}  // namespace
}  // namespace tavorix
