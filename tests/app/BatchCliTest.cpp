// tavorix-cli batch end to end: a folder of good, refused and unreadable
// series, resumption, the same results as single runs and as one job, and a
// clean stop on SIGINT.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <map>
#include <regex>
#include <thread>

#include "CliRunner.h"
#include "core/TestUtil.h"

namespace tavorix {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

using CsvRow = std::map<std::string, std::string>;

// The rows of a CSV summary keyed by the header's column names.
std::vector<CsvRow> ReadCsv(const std::string& text) {
  std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') records.back().back() += text[++i];
      else if (c == '"') quoted = false;
      else records.back().back() += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      records.back().emplace_back();
    } else if (c == '\n') {
      records.emplace_back(1);
    } else {
      records.back().back() += c;
    }
  }
  if (records.back() == std::vector<std::string>(1)) records.pop_back();
  std::vector<CsvRow> rows;
  for (std::size_t r = 1; r < records.size(); ++r) {
    EXPECT_EQ(records[r].size(), records[0].size()) << "row " << r;
    CsvRow row;
    for (std::size_t k = 0; k < records[0].size() && k < records[r].size(); ++k) row[records[0][k]] = records[r][k];
    rows.push_back(row);
  }
  return rows;
}

const CsvRow* RowOf(const std::vector<CsvRow>& rows, const std::string& fileName) {
  for (const auto& r : rows)
    if (fs::path(r.at("file")).filename() == fileName) return &r;
  return nullptr;
}

// A column of the row of a series; "(no row)" when the series is not listed.
std::string Field(const std::vector<CsvRow>& rows, const std::string& fileName, const std::string& column) {
  const CsvRow* row = RowOf(rows, fileName);
  return row ? row->at(column) : "(no row)";
}

// A skewed column of n values, different for each k.
std::string Column(int k, int n = 30) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    const double u = ((i * 7 + k * 3) % n + 0.5) / n;
    text += std::to_string(10.0 + (2.0 + k) * -std::log(1.0 - u) + 0.01 * k) + "\n";
  }
  return text;
}

const std::vector<std::string> kGood = {"a", "b", "c"};
const char* kResultExtensions[] = {".out", ".aux", ".Lst"};

std::string JsonField(const std::string& json, const std::string& key) {
  std::smatch m;
  if (!std::regex_search(json, m, std::regex("\"" + key + "\": ([^,\\s}]+)"))) return {};
  return m[1];
}

TEST(CliBatch, RunsAFolderRecordsFailuresResumesAndRedoes) {
  TempDir dir;
  const fs::path data = dir.Path() / "series";
  fs::create_directories(data / "sub");
  for (std::size_t k = 0; k < kGood.size(); ++k) WriteFile((data / (kGood[k] + ".txt")).string(), Column(int(k)));
  WriteFile((data / "zeros.txt").string(), "0\n0\n0\n0\n0\n0\n0\n1\n2\n3\n");
  fs::create_symlink(dir.Path() / "nowhere.txt", data / "gone.txt");
  WriteFile((data / "sub" / "deep.txt").string(), Column(5));
  const std::string summary = dir.File("first.csv");

  // First call: the good series are done, both failures listed with their
  // messages, the subfolder left alone without --recursive.
  auto r = RunCli(dir, {"batch", data.string(), "--jobs", "2", "--summary", summary});
  EXPECT_EQ(r.Status, 1) << r.Err;
  const std::string first = ReadFile(summary);
  const auto rows = ReadCsv(first);
  ASSERT_EQ(rows.size(), kGood.size() + 2) << first;
  for (const auto& name : kGood) {
    const CsvRow* row = RowOf(rows, name + ".txt");
    ASSERT_NE(row, nullptr) << name;
    EXPECT_EQ(row->at("status"), "done");
    EXPECT_EQ(row->at("N"), "30");
    EXPECT_FALSE(row->at("name").empty());
    EXPECT_LT(std::stod(row->at("X10")), std::stod(row->at("X100"))) << name;
    for (const char* ext : kResultExtensions) EXPECT_TRUE(fs::exists(data / (name + ext))) << name << ext;
  }
  EXPECT_EQ(Field(rows, "zeros.txt", "message"), "There are too many zero input data. Input is invalid.");
  EXPECT_EQ(Field(rows, "gone.txt", "status"), "failed");
  EXPECT_NE(Field(rows, "gone.txt", "message").find("could not be opened"), std::string::npos);
  EXPECT_FALSE(fs::exists(data / "sub" / "deep.out"));

  // The files and figures are those of a single run of the same series.
  std::map<std::string, std::string> batchFiles;
  for (const char* ext : kResultExtensions) batchFiles[ext] = ReadFile((data / (std::string("b") + ext)).string());
  r = RunCli(dir, {"run", (data / "b.txt").string(), "--json"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  for (const char* ext : kResultExtensions)
    EXPECT_TRUE(test::SameBytes(ReadFile((data / (std::string("b") + ext)).string()), batchFiles[ext])) << ext;
  for (const char* key : {"AvAbsDiff", "R2"}) EXPECT_EQ(Field(rows, "b.txt", key), JsonField(r.Out, key)) << key;

  // Second call: nothing is run again (the input files the first call wrote
  // belong to their columns), the failures are tried and listed again.
  const auto outTime = fs::last_write_time(data / "a.out");
  r = RunCli(dir, {"batch", data.string(), "--summary", dir.File("second.json")});
  EXPECT_EQ(r.Status, 1) << r.Err;
  const std::string second = ReadFile(dir.File("second.json"));
  EXPECT_EQ(JsonField(second, "up_to_date"), std::to_string(kGood.size())) << second;
  EXPECT_EQ(JsonField(second, "failed"), "2");
  EXPECT_EQ(JsonField(second, "done"), "0");
  EXPECT_EQ(fs::last_write_time(data / "a.out"), outTime);

  // --force runs everything again, with the same summary on one job as on two.
  r = RunCli(dir, {"batch", data.string(), "--force", "--jobs", "1", "--summary", summary});
  EXPECT_EQ(r.Status, 1) << r.Err;
  EXPECT_NE(fs::last_write_time(data / "a.out"), outTime);
  EXPECT_TRUE(test::SameBytes(first, ReadFile(summary)));

  // --recursive takes the subfolder too.
  r = RunCli(dir, {"batch", data.string(), "--recursive", "--summary", summary});
  EXPECT_EQ(r.Status, 1) << r.Err;
  const auto deep = ReadCsv(ReadFile(summary));
  EXPECT_EQ(Field(deep, "deep.txt", "status"), "done");
  EXPECT_EQ(Field(deep, "a.txt", "status"), "up to date");
}

TEST(CliBatch, SigintStopsCleanlyAndTheSummaryListsWhatFinished) {
  TempDir dir;
  const fs::path data = dir.Path() / "series", scratch = dir.Path() / "tmp";
  fs::create_directories(data);
  fs::create_directories(scratch);
  constexpr int kSeries = 10;
  for (int k = 0; k < kSeries; ++k) WriteFile((data / ("s" + std::to_string(k) + ".txt")).string(), Column(k, 40));
  const std::string summary = dir.File("summary.csv");

  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("TMPDIR", scratch.c_str(), 1);
    const int err = open(dir.File("stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int out = open(dir.File("stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    execl(TAVORIX_CLI_PATH, TAVORIX_CLI_PATH, "batch", data.c_str(), "--jobs", "2", "--summary", summary.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  // Stop it once the first series has its results.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  auto anyResults = [&] {
    for (const auto& e : fs::directory_iterator(data))
      if (e.path().extension() == ".out") return true;
    return false;
  };
  while (!anyResults() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  kill(pid, SIGINT);
  int raw = 0;
  ASSERT_EQ(waitpid(pid, &raw, 0), pid);
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 130) << ReadFile(dir.File("stderr.txt"));

  // Every listed series is done with all its files; every other one left
  // nothing behind, not even its input file; no temporary file anywhere.
  const auto rows = ReadCsv(ReadFile(summary));
  EXPECT_GE(rows.size(), 1u);
  EXPECT_LT(rows.size(), std::size_t{kSeries});
  for (int k = 0; k < kSeries; ++k) {
    const std::string name = "s" + std::to_string(k);
    const CsvRow* row = RowOf(rows, name + ".txt");
    if (row) {
      EXPECT_EQ(row->at("status"), "done") << name;
    }
    for (const char* ext : {".inp", ".out", ".aux", ".Lst"})
      EXPECT_EQ(fs::exists(data / (name + ext)), row != nullptr) << name << ext;
  }
  EXPECT_TRUE(fs::is_empty(scratch)) << "a run's scratch folder was left";
  for (const auto& e : fs::recursive_directory_iterator(dir.Path())) EXPECT_NE(e.path().extension(), ".tmp") << e.path();
}

TEST(CliBatch, WrongCommandLinesExitTwo) {
  TempDir dir;
  fs::create_directories(dir.Path() / "empty");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"batch"},
           {"batch", dir.Path().string(), "--jobs", "0"},
           {"batch", dir.Path().string(), "--summary", dir.File("summary.txt")},
           {"batch", dir.Path().string(), "--summary", dir.File("missing/summary.csv")},
           {"batch", dir.Path().string(), "--prefer", "19"},
           {"batch", (dir.Path() / "empty").string()},
       })
    EXPECT_EQ(RunCli(dir, args).Status, 2) << args.back();
}

}  // namespace
}  // namespace tavorix
