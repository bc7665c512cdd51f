// tavorix-cli bootstrap end to end: on the results of a run it fits the
// run's distribution again and bootstraps it; its X are the calculator's,
// its numbers do not depend on --jobs, a changed input file or a wrong
// command line is refused, and Ctrl+C stops it with 130.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>
#include <thread>

#include "CliRunner.h"
#include "core/TestUtil.h"

extern char** environ;

namespace tavorix {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunCli;
using test::TempDir;

// The numbers after a JSON key, in the order they occur.
std::vector<double> JsonNumbers(const std::string& json, const std::string& key) {
  std::vector<double> v;
  const std::regex re("\"" + key + "\": (-?[0-9.eE+-]+|null)");
  for (auto it = std::sregex_iterator(json.begin(), json.end(), re); it != std::sregex_iterator(); ++it)
    v.push_back((*it)[1] == "null" ? std::nan("") : std::stod((*it)[1]));
  return v;
}

// A run of an example series in dir (extra arguments for `run`).
std::string RunExample(const TempDir& dir, const std::string& name, const std::vector<std::string>& extra = {}) {
  fs::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/" + name + ".inp", dir.File(name + ".inp"),
                fs::copy_options::overwrite_existing);
  std::vector<std::string> args{"run", dir.File(name + ".inp"), "--json"};
  args.insert(args.end(), extra.begin(), extra.end());
  const auto r = RunCli(dir, args);
  EXPECT_EQ(r.Status, 0) << r.Err;
  return r.Out;
}

// Every example (but the largest) chosen best of all: the code of its
// parameter file, preferred alone, fits its data to the same parameters, and
// the statistics of that fit are those the run gives.
class BootstrapOnExample : public ::testing::TestWithParam<std::string> {};

TEST_P(BootstrapOnExample, RefitsTheRunsDistributionAndItsStatistics) {
  TempDir dir;
  const std::string run = RunExample(dir, GetParam(), {"--composite"});
  const auto r = RunCli(dir, {"bootstrap", dir.File(GetParam() + ".out"), "--replicas", "4"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  std::smatch m;
  for (const auto& [label, key] : {std::pair{"KS D", "ks_D"}, {"AD A2", "ad_A2"}, {"CvM W2", "cvm_W2"}}) {
    ASSERT_TRUE(std::regex_search(r.Out, m, std::regex(std::string("  ") + label + " +([-0-9.eE+]+)"))) << r.Out;
    const double expected = JsonNumbers(run, key).at(0);  // the chosen fit's comes first
    EXPECT_NEAR(std::stod(m[1]), expected, 1e-9 * std::fabs(expected)) << label;
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, BootstrapOnExample,
                         ::testing::Values("precip", "venice_max", "rivers", "nhtemp", "lakehuron", "failure"));

TEST(BootstrapCli, GivesTheCalculatorsXWithIntervalsTheSameWhateverTheJobs) {
  TempDir dir;
  RunExample(dir, "precip", {"--prefer", "4"});
  const std::string out = dir.File("precip.out");
  const auto r = RunCli(dir, {"bootstrap", out, "--replicas", "60", "--periods", "10,100", "--json", "--jobs", "1"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  for (const char* key : {"\"file\"", "\"code\"", "\"N\"", "\"replicas\"", "\"failed\"", "\"level\"", "\"seed\"",
                          "\"rows\"", "\"T\"", "\"F\"", "\"X\"", "\"Xl_boot\"", "\"Xu_boot\"", "\"X_median\"",
                          "\"p_ks\"", "\"p_ad\"", "\"p_cvm\""})
    EXPECT_NE(r.Out.find(key), std::string::npos) << key;
  EXPECT_EQ(r.Out.find("\"chosen\""), std::string::npos);
  EXPECT_EQ(JsonNumbers(r.Out, "failed"), std::vector<double>{0});
  EXPECT_EQ(JsonNumbers(r.Out, "replicas"), std::vector<double>{60});

  const auto calc = RunCli(dir, {"calc", out, "--table", "--periods", "10,100", "--json"});
  ASSERT_EQ(calc.Status, 0) << calc.Err;
  const auto x = JsonNumbers(r.Out, "X"), lower = JsonNumbers(r.Out, "Xl_boot"), upper = JsonNumbers(r.Out, "Xu_boot");
  ASSERT_EQ(x.size(), 2u);
  EXPECT_EQ(x, JsonNumbers(calc.Out, "X"));
  for (std::size_t k = 0; k < x.size(); ++k) {
    EXPECT_LT(lower[k], x[k]);
    EXPECT_GT(upper[k], x[k]);
  }
  for (const char* p : {"p_ks", "p_ad", "p_cvm"}) {
    const double v = JsonNumbers(r.Out, p).at(0);
    EXPECT_TRUE(v >= 0 && v <= 1) << p;
  }

  const auto three = RunCli(dir, {"bootstrap", out, "--replicas", "60", "--periods", "10,100", "--json", "--jobs", "3"});
  EXPECT_EQ(three.Out, r.Out);
  const auto seeded = RunCli(dir, {"bootstrap", out, "--replicas", "60", "--periods", "10,100", "--json", "--seed", "2"});
  EXPECT_NE(seeded.Out, r.Out);
}

TEST(BootstrapCli, RefusesAChangedInputFileAndAWrongCommandLine) {
  TempDir dir;
  RunExample(dir, "precip", {"--prefer", "57"});
  const std::string out = dir.File("precip.out");
  EXPECT_EQ(RunCli(dir, {"bootstrap", out, "--level", "1.5"}).Status, 2);
  EXPECT_EQ(RunCli(dir, {"bootstrap", out, "--json", "--csv"}).Status, 2);
  EXPECT_EQ(RunCli(dir, {"bootstrap", out, "--replicas", "0"}).Status, 2);
  EXPECT_EQ(RunCli(dir, {"bootstrap", out, "--seed", "-1"}).Status, 2);
  EXPECT_EQ(RunCli(dir, {"bootstrap", out, "--periods", "0.5"}).Status, 1);

  // Another series saved under the name of the run's input.
  fs::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/rivers.inp", dir.File("precip.inp"),
                fs::copy_options::overwrite_existing);
  const auto changed = RunCli(dir, {"bootstrap", out, "--replicas", "4"});
  EXPECT_EQ(changed.Status, 1);
  EXPECT_NE(changed.Err.find("do not belong to the input file"), std::string::npos) << changed.Err;

  // Gamma, inverted numerically, is bootstrapped as any other code.
  RunExample(dir, "precip", {"--prefer", "61"});
  const auto gamma = RunCli(dir, {"bootstrap", out, "--replicas", "4", "--json"});
  EXPECT_EQ(gamma.Status, 0) << gamma.Err;
  EXPECT_NE(gamma.Out.find("\"code\": 61"), std::string::npos) << gamma.Out;
}

// batch --bootstrap B adds the interval of X100 and the p-values of each
// series to the summary: those of `bootstrap --periods 100 --replicas B`.
TEST(BootstrapCli, BatchAddsTheIntervalOfX100AndThePValues) {
  TempDir dir;
  for (const char* name : {"precip", "venice_max"})
    fs::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/" + name + ".inp", dir.File(std::string(name) + ".inp"));
  const std::string summary = dir.File("summary.csv");
  const auto r = RunCli(dir, {"batch", dir.File("precip.inp"), dir.File("venice_max.inp"), "--bootstrap", "30",
                              "--summary", summary});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::string text = ReadFile(summary);
  const std::string header = text.substr(0, text.find('\n'));
  EXPECT_EQ(header, "file,N,status,message,code,name,AvAbsDiff,R2,X10,X100,Xl_boot100,Xu_boot100,p_ks,p_ad,p_cvm");
  const std::string precipRow = text.substr(text.find("precip.inp"));
  const auto single = RunCli(dir, {"bootstrap", dir.File("precip.out"), "--periods", "100", "--replicas", "30", "--json"});
  ASSERT_EQ(single.Status, 0) << single.Err;
  std::vector<std::string> expected;
  for (const char* key : {"Xl_boot", "Xu_boot", "p_ks", "p_ad", "p_cvm"}) {
    std::smatch m;
    ASSERT_TRUE(std::regex_search(single.Out, m, std::regex(std::string("\"") + key + "\": ([^,\\s}]+)")));
    expected.push_back(m[1]);
  }
  std::string tail = precipRow.substr(0, precipRow.find('\n'));
  for (int k = 0; k < 5; ++k) tail = tail.substr(tail.find(',') + 1);
  std::vector<std::string> fields;
  for (std::size_t at = 0;; at = tail.find(',', at) + 1) {
    fields.push_back(tail.substr(at, tail.find(',', at) - at));
    if (tail.find(',', at) == std::string::npos) break;
  }
  ASSERT_GE(fields.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(fields.end() - 5, fields.end()), expected) << precipRow;

  const auto plain = RunCli(dir, {"batch", dir.File("precip.inp"), "--summary", summary});
  ASSERT_EQ(plain.Status, 0) << plain.Err;
  EXPECT_EQ(ReadFile(summary).substr(0, ReadFile(summary).find('\n')), "file,N,status,message,code,name,AvAbsDiff,R2,X10,X100");
  EXPECT_EQ(RunCli(dir, {"batch", dir.File("precip.inp"), "--bootstrap", "0"}).Status, 2);
}

// The lines of a CSV text split at commas.
std::vector<std::vector<std::string>> CsvCells(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    rows.emplace_back();
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) rows.back().push_back(cell);
  }
  return rows;
}

// calc --table --bootstrap B and export --bootstrap B carry the columns
// Xl_boot, Xu_boot, p_ks, p_ad, p_cvm: the numbers of `bootstrap` with B.
TEST(BootstrapCli, DesignTablesCarryTheBootstrapColumns) {
  TempDir dir;
  RunExample(dir, "venice_max");
  const std::string out = dir.File("venice_max.out");
  const auto boot = RunCli(dir, {"bootstrap", out, "--replicas", "40", "--csv"});
  ASSERT_EQ(boot.Status, 0) << boot.Err;
  const auto bootRows = CsvCells(boot.Out);
  const auto pValues = RunCli(dir, {"bootstrap", out, "--replicas", "40", "--json"}).Out;

  const auto table = RunCli(dir, {"calc", out, "--table", "--bootstrap", "40", "--csv"});
  ASSERT_EQ(table.Status, 0) << table.Err;
  const auto rows = CsvCells(table.Out);
  ASSERT_EQ(rows.size(), bootRows.size());
  EXPECT_EQ(rows[0], (std::vector<std::string>{"T", "F", "X", "Xl", "Xu", "extrapolated", "Xl_boot", "Xu_boot", "p_ks",
                                               "p_ad", "p_cvm"}));
  for (std::size_t r = 1; r < rows.size(); ++r) {
    ASSERT_EQ(rows[r].size(), 11u);
    for (int c : {6, 7}) {
      const double expected = std::stod(bootRows[r][c - 3]);
      EXPECT_NEAR(std::stod(rows[r][c]), expected, 1e-13 * std::fabs(expected)) << "row " << r;
    }
    EXPECT_EQ(std::stod(rows[r][8]), JsonNumbers(pValues, "p_ks").at(0));
    EXPECT_EQ(std::stod(rows[r][10]), JsonNumbers(pValues, "p_cvm").at(0));
  }
  const auto json = RunCli(dir, {"calc", out, "--table", "--bootstrap", "40", "--json"});
  EXPECT_EQ(JsonNumbers(json.Out, "Xl_boot").size(), rows.size() - 1);
  EXPECT_EQ(JsonNumbers(json.Out, "p_ad"), JsonNumbers(pValues, "p_ad"));
  EXPECT_EQ(RunCli(dir, {"calc", out, "--period", "10", "--bootstrap", "40"}).Status, 2);

  const auto exported = RunCli(dir, {"export", out, "--csv", dir.File("csv"), "--bootstrap", "40"});
  ASSERT_EQ(exported.Status, 0) << exported.Err;
  EXPECT_EQ(ReadFile(dir.File("csv/design_values.csv")), table.Out);
  const auto plain = RunCli(dir, {"export", out, "--csv", dir.File("plain")});
  ASSERT_EQ(plain.Status, 0) << plain.Err;
  EXPECT_FALSE(fs::exists(dir.File("plain/design_values.csv")));

  // The page has the table with its note; without --bootstrap it has none.
  if (RunCli(dir, {"export", out, "--html", dir.File("plain.html")}).Status != 0) return;  // a build without drawing
  EXPECT_EQ(ReadFile(dir.File("plain.html")).find("Design values"), std::string::npos);
  ASSERT_EQ(RunCli(dir, {"export", out, "--html", dir.File("page.html"), "--bootstrap", "40"}).Status, 0);
  const std::string page = ReadFile(dir.File("page.html"));
  EXPECT_NE(page.find("<h2>Design values</h2>"), std::string::npos);
  EXPECT_NE(page.find("<th>Xl_boot</th><th>Xu_boot</th><th>p_ks</th><th>p_ad</th><th>p_cvm</th>"), std::string::npos);
  EXPECT_NE(page.find("bootstrap interval of X from 40 replicas (0 failed)"), std::string::npos);
}

TEST(BootstrapCli, CtrlCStopsItWith130) {
  TempDir dir;
  RunExample(dir, "precip", {"--prefer", "4"});
  const std::string out = dir.File("precip.out");
  const std::string err = dir.File("stderr.txt");
  char* argv[] = {const_cast<char*>(TAVORIX_CLI_PATH), const_cast<char*>("bootstrap"), const_cast<char*>(out.c_str()),
                  const_cast<char*>("--replicas"), const_cast<char*>("200000"), nullptr};
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, TAVORIX_CLI_PATH, &files, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&files);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const auto sent = std::chrono::steady_clock::now();
  ASSERT_EQ(kill(pid, SIGINT), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(2));
  ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
  EXPECT_EQ(WEXITSTATUS(status), 130);
  EXPECT_NE(ReadFile(err).find("The bootstrap was stopped"), std::string::npos);
}

}  // namespace
}  // namespace tavorix
