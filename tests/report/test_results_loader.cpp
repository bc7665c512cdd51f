// Loading a results report with the distribution code of its parameter file.
#include <gtest/gtest.h>

#include "core/TavorixError.h"
#include "core/TestUtil.h"
#include "report/ResultsLoader.h"

namespace tavorix {
namespace {

const char* kReport = " RESULTS OF Tavorix PROGRAM\r\n Cumulative frequency analysis\r\n\r\n";

TEST(LoadResultsAndCode, ReadsTheCodeWithOrWithoutTheHeaderLine) {
  test::TempDir dir;
  const std::string out = dir.File("series.out");
  test::WriteFile(out, kReport);
  test::WriteFile(dir.File("series.aux"),
                  " Parameters for internal use, do not remove.\r\n57\r\n 1.5E+0000\r\n 2.0E+0000\r\n 1.0E-0004\r\n");
  LoadedResults loaded = LoadResultsAndCode(out);
  EXPECT_EQ(loaded.Lines, (std::vector<std::string>{" RESULTS OF Tavorix PROGRAM", " Cumulative frequency analysis", ""}));
  EXPECT_EQ(loaded.Code, 57);
  EXPECT_FALSE(loaded.ParameterFileMissing);

  test::WriteFile(dir.File("series.aux"), "57\r\n 1.5E+0000\r\n 2.0E+0000\r\n 1.0E-0004\r\n");
  loaded = LoadResultsAndCode(out);
  EXPECT_EQ(loaded.Code, 57);
  EXPECT_FALSE(loaded.ParameterFileMissing);
}

TEST(LoadResultsAndCode, MissingParameterFileGivesCodeZero) {
  test::TempDir dir;
  const std::string out = dir.File("series.out");
  test::WriteFile(out, kReport);
  const LoadedResults loaded = LoadResultsAndCode(out);
  EXPECT_EQ(loaded.Code, 0);
  EXPECT_TRUE(loaded.ParameterFileMissing);
  EXPECT_EQ(loaded.Lines.size(), 3u);
}

TEST(LoadResultsAndCode, ReportThatCannotBeOpenedThrowsTheProgramsMessage) {
  test::TempDir dir;
  const std::string out = dir.File("missing.out");
  try {
    LoadResultsAndCode(out);
    FAIL() << "no error";
  } catch (const TavorixError& e) {
    EXPECT_EQ(std::string(e.what()), "The file \"" + out +
                                         "\" could not be opened.  It may be damaged,  not created due to inadequate"
                                         " input data,  or in use by another program");
  }
}

// Random bytes under a results file's name, and a parameter file that holds
// text, are refused with the program's message; a file of another kind
// (the ranked list as a report) as well.
TEST(LoadResultsAndCode, FilesThatAreNoResultsFilesAreRefused) {
  test::TempDir dir;
  const std::string out = dir.File("series.out");
  auto refusal = [&] {
    try {
      LoadResultsAndCode(out);
    } catch (const TavorixError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  const std::string message = "The file \"" + out + "\" is not a results file of Tavorix";
  test::WriteFile(out, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18));
  EXPECT_EQ(refusal(), message);
  test::WriteFile(out, " List of AVERAGES of absolute values of the differences between\r\n");
  EXPECT_EQ(refusal(), message);

  test::WriteFile(out, kReport);
  test::WriteFile(dir.File("series.aux"), "GIF89a\r\n 1.5E+0000\r\n");
  EXPECT_EQ(refusal(), "The file \"" + dir.File("series.aux") + "\" is not a results file of Tavorix");
  test::WriteFile(dir.File("series.aux"), " Parameters for internal use, do not remove.\r\n4\r\n1.5\r\nx\r\n");
  EXPECT_NE(refusal(), "");
  test::WriteFile(dir.File("series.aux"), " Parameters for internal use, do not remove.\r\n4\r\n 1.5E+0000\r\n");
  EXPECT_EQ(refusal(), "");
}

TEST(ResultsFileKinds, RankedListIsKnownByItsFirstLine) {
  EXPECT_TRUE(IsRankedList({" List of AVERAGES of absolute values of the differences between", ""}));
  EXPECT_FALSE(IsRankedList({" RESULTS OF Tavorix PROGRAM"}));
  EXPECT_FALSE(IsRankedList({}));
}

}  // namespace
}  // namespace tavorix
