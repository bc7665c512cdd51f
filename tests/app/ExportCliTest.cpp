// tavorix-cli export end to end: CSV folder and HTML page of a results file.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CliRunner.h"
#include "core/TestUtil.h"

namespace tavorix {
namespace {

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(CliExport, WritesTheCsvTablesAndAPageWithFourGraphs) {
  test::TempDir dir;
  for (const char* ext : {".out", ".aux"})
    test::WriteFile(dir.File(std::string("run") + ext),
                    test::ReadFile(std::string(TAVORIX_TEST_DATA_DIR) + "/graphs/gumbel12" + ext));
  const test::CliResult r =
      test::RunCli(dir, {"export", dir.File("run.out"), "--csv", dir.File("tables"), "--html", dir.File("run.html")});
  if (r.Err.find("has no drawing") != std::string::npos) GTEST_SKIP() << "built without drawing";
  ASSERT_EQ(r.Status, 0) << r.Err;
  for (const char* f : {"intervals", "frequencies", "return_periods", "fits", "parameters"})
    EXPECT_TRUE(std::filesystem::exists(dir.File(std::string("tables/") + f + ".csv"))) << f;
  const std::string html = test::ReadFile(dir.File("run.html"));
  EXPECT_EQ(Count(html, "<svg"), 4);  // graphs 1, 3, 4 and 7
  EXPECT_EQ(Count(html, "<circle"), 3 * 12);  // the observed points of graphs 1, 4 and 7

  EXPECT_EQ(test::RunCli(dir, {"export", dir.File("run.out")}).Status, 2);
  EXPECT_EQ(test::RunCli(dir, {"export", dir.File("none.out"), "--csv", dir.File("t2")}).Status, 1);
}

}  // namespace
}  // namespace tavorix
