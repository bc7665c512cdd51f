// tavorix-cli run end to end: the whole analysis of every example series,
// and the refusals with their exit statuses.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>

#include "CliRunner.h"
#include "core/TestUtil.h"
#include "core/TextLines.h"

namespace tavorix {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunCli;
using test::TempDir;

// The number after a JSON key at its first occurrence.
double JsonNumber(const std::string& json, const std::string& key) {
  std::smatch m;
  const std::regex re("\"" + key + "\": (-?[0-9.eE+-]+)");
  if (!std::regex_search(json, m, re)) return std::nan("");
  return std::stod(m[1]);
}

class RunOnExample : public ::testing::TestWithParam<std::string> {};

TEST_P(RunOnExample, WritesTheThreeFilesAndAgreesWithThem) {
  TempDir dir;
  const std::string name = GetParam();
  fs::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/" + name + ".inp", dir.File(name + ".inp"));
  const auto r = RunCli(dir, {"run", dir.File(name + ".inp"), "--json", "--fits-csv", dir.File("fits.csv")});
  ASSERT_EQ(r.Status, 0) << r.Err;
  for (const char* ext : {".out", ".aux", ".Lst"}) EXPECT_TRUE(fs::exists(dir.File(name + ext))) << ext;

  // The ".aux" code is the chosen code of the summary.
  const std::string aux = ReadFile(dir.File(name + ".aux"));
  const auto secondLine = aux.substr(aux.find('\n') + 1);
  const int code = std::stoi(secondLine.substr(0, secondLine.find('\r')));
  EXPECT_EQ(code, static_cast<int>(JsonNumber(r.Out, "code")));

  // The report's average absolute difference is the summary's, to its two decimals.
  const std::string out = ReadFile(dir.File(name + ".out"));
  std::smatch m;
  ASSERT_TRUE(std::regex_search(out, m, std::regex(" observed frequencies : *([0-9.]+)%")));
  EXPECT_NEAR(std::stod(m[1]), JsonNumber(r.Out, "AvAbsDiff"), 0.0051);

  // The summary's ranked fits come in the order of the ranked list file,
  // also where two averages agree to the four decimals the file shows.
  std::vector<std::string> listed, summarised;
  const std::string lst = ReadFile(dir.File(name + ".Lst"));
  const std::regex entry("\r\n( [^\r\n]+)\r\n Average = ");
  for (auto it = std::sregex_iterator(lst.begin(), lst.end(), entry); it != std::sregex_iterator(); ++it)
    listed.push_back((*it)[1]);
  const std::string ranked = r.Out.substr(r.Out.find("\"ranked\""));
  const std::regex jsonName("\"list_name\": \"([^\"]*)\"");
  for (auto it = std::sregex_iterator(ranked.begin(), ranked.end(), jsonName); it != std::sregex_iterator(); ++it)
    summarised.push_back((*it)[1]);
  EXPECT_FALSE(listed.empty());
  EXPECT_EQ(summarised, listed);

  // Every ranked fit has its statistics, in the summary and in the CSV
  // (same order); the chosen fit's are those of its own row.
  const double n = JsonNumber(r.Out, "n");
  const std::string chosen = r.Out.substr(r.Out.find("\"chosen\""), r.Out.find("\"AvAbsDiff\"") - r.Out.find("\"chosen\""));
  std::istringstream csv(ReadFile(dir.File("fits.csv")));
  std::string line;
  std::getline(csv, line);
  EXPECT_EQ(line, "rank,code,name,average,ks_D,ad_A2,cvm_W2");
  std::size_t rows = 0, at = 0;
  bool chosenRowSeen = false;
  for (; std::getline(csv, line); ++rows) {
    ASSERT_LT(rows, listed.size());
    SCOPED_TRACE(line);
    std::smatch f;
    ASSERT_TRUE(std::regex_match(line, f, std::regex("([0-9]+),([0-9]+),\"([^\"]*)\",([^,]+),([^,]+),([^,]+),([^,]+)")));
    EXPECT_EQ(std::stoi(f[1]), static_cast<int>(rows) + 1);
    EXPECT_EQ(f[3].str(), TrimBlanks(listed[rows]));
    const double d = std::stod(f[5]), w2 = std::stod(f[7]);
    EXPECT_GE(d, 1 / (2 * n) - 1e-12);
    EXPECT_LE(d, 1.0);
    EXPECT_GE(w2, 1 / (12 * n) - 1e-12);
    at = ranked.find("\"ks_D\"", at);
    ASSERT_NE(at, std::string::npos);
    EXPECT_DOUBLE_EQ(JsonNumber(ranked.substr(at), "ks_D"), d);
    EXPECT_DOUBLE_EQ(JsonNumber(ranked.substr(at), "cvm_W2"), w2);
    at += 6;
    if (std::stoi(f[2]) == code) {
      chosenRowSeen = true;
      EXPECT_DOUBLE_EQ(JsonNumber(chosen, "ks_D"), d);
      EXPECT_DOUBLE_EQ(JsonNumber(chosen, "ad_A2"), std::stod(f[6]));
    }
  }
  EXPECT_EQ(rows, listed.size());
  EXPECT_TRUE(chosenRowSeen);

  // No scratch file stays beside the input.
  for (const auto& entry : fs::directory_iterator(dir.Path())) {
    const std::string file = entry.path().filename().string();
    EXPECT_EQ(file.find(".tmp"), std::string::npos) << file;
    EXPECT_EQ(file.find(".Tmp"), std::string::npos) << file;
  }
}

INSTANTIATE_TEST_SUITE_P(Data, RunOnExample,
                         ::testing::Values("failure", "lakehuron", "lakehuron_anomaly", "nhtemp", "precip",
                                           "quakes_mag", "rivers", "venice_max", "treering"));

TEST(CliRun, PlainColumnIsImportedFirstAndAPreferenceRunsAlone) {
  TempDir dir;
  test::WriteFile(dir.File("levels.txt"), "3.1\n2.4\n5.0\n4.4\n3.9\n2.8\n6.1\n3.3\n");
  const auto r = RunCli(dir, {"run", dir.File("levels.txt"), "--prefer", "4"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(fs::exists(dir.File("levels.inp")));
  EXPECT_TRUE(fs::exists(dir.File("levels.out")));
  EXPECT_FALSE(fs::exists(dir.File("levels.Lst"))) << "a preferred distribution has no ranked list";
  EXPECT_NE(r.Out.find("Calculations were done and the output is saved in  "), std::string::npos);
  EXPECT_NE(ReadFile(dir.File("levels.out")).find(" Probability distribution preferred by user."), std::string::npos);
}

// The statistics leave every results file as it is; a preferred run's CSV
// holds its one fit.
TEST(CliRun, StatisticsChangeNoResultsFile) {
  TempDir dir;
  test::WriteFile(dir.File("levels.txt"), "3.1\n2.4\n5.0\n4.4\n3.9\n2.8\n6.1\n3.3\n4.0\n3.6\n");
  ASSERT_EQ(RunCli(dir, {"run", dir.File("levels.txt")}).Status, 0);
  std::vector<std::string> before;
  for (const char* ext : {".out", ".aux", ".Lst"}) before.push_back(ReadFile(dir.File(std::string("levels") + ext)));
  auto r = RunCli(dir, {"run", dir.File("levels.inp"), "--json", "--fits-csv", dir.File("fits.csv")});
  ASSERT_EQ(r.Status, 0) << r.Err;
  int k = 0;
  for (const char* ext : {".out", ".aux", ".Lst"})
    EXPECT_EQ(ReadFile(dir.File(std::string("levels") + ext)), before[k++]) << ext;

  r = RunCli(dir, {"run", dir.File("levels.inp"), "--prefer", "4", "--fits-csv", dir.File("fits.csv")});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::string csv = ReadFile(dir.File("fits.csv"));
  EXPECT_EQ(csv.substr(csv.find('\n') + 1, 26), "1,4,\"Gumbel distribution\",") << csv;
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2) << csv;
}

TEST(CliRun, IdenticalValuesStopWithTheNoVariationMessage) {
  TempDir dir;
  test::WriteFile(dir.File("flat.txt"), "2\n2\n2\n2\n2\n2\n2\n");
  const auto r = RunCli(dir, {"run", dir.File("flat.txt")});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("No variation between data. Program stops running"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir.File("flat.inp"))) << "the input is kept";
  EXPECT_FALSE(fs::exists(dir.File("flat.out")));
}

TEST(CliRun, UsageErrorsExitTwo) {
  TempDir dir;
  EXPECT_EQ(RunCli(dir, {"run"}).Status, 2);
  EXPECT_EQ(RunCli(dir, {"run", "x.inp", "--prefer", "19"}).Status, 2);
  EXPECT_EQ(RunCli(dir, {"run", "x.inp", "--bogus"}).Status, 2);
}

}  // namespace
}  // namespace tavorix
