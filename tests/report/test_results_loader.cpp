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

TEST(LoadResultsAndCode, MissingOrDamagedParameterFileGivesCodeZero) {
  test::TempDir dir;
  const std::string out = dir.File("series.out");
  test::WriteFile(out, kReport);
  for (const char* aux : {"", "1E+300\r\n"}) {
    if (*aux) test::WriteFile(dir.File("series.aux"), aux);
    const LoadedResults loaded = LoadResultsAndCode(out);
    EXPECT_EQ(loaded.Code, 0);
    EXPECT_TRUE(loaded.ParameterFileMissing);
    EXPECT_EQ(loaded.Lines.size(), 3u);
  }
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

}  // namespace
}  // namespace tavorix
