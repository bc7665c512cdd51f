// The command line never loses a user's data: an input file is read and not
// written, the results of a series are replaced as one set or not at all,
// one run has a series at a time, no output lands on an input, and only
// regular files of a sane size are read.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <regex>
#include <thread>

#include "CliRunner.h"
#include "core/SeriesLock.h"
#include "core/TextEscape.h"
#include "core/TestUtil.h"

namespace tavorix {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

const std::string kPrecip = std::string(TAVORIX_EXAMPLES_DIR) + "/precip.inp";

std::string Precip() { return ReadFile(kPrecip); }

// The text with `insert` put before line `line` (1-based).
std::string InsertBeforeLine(const std::string& text, int line, const std::string& insert) {
  std::size_t at = 0;
  for (int k = 1; k < line; ++k) at = text.find('\n', at) + 1;
  return text.substr(0, at) + insert + text.substr(at);
}

int JsonN(const std::string& json) {
  std::smatch m;
  return std::regex_search(json, m, std::regex("\"n\": ([0-9]+)")) ? std::stoi(m[1]) : -1;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

TEST(InputFileSafety, RunReadsEveryDataLineAndLeavesTheFileAsItWas) {
  TempDir dir;
  const std::string path = dir.File("m.inp");
  // An empty line inside the data, and a read-only file.
  const std::string text = InsertBeforeLine(Precip(), 50, "\r\n");
  WriteFile(path, text);
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const auto r = RunCli(dir, {"run", path, "--json"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(JsonN(r.Out), 70);
  EXPECT_EQ(ReadFile(path), text);
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

TEST(InputFileSafety, CountThatDiffersFromTheDataIsAWarningAndOddLineEndsAreRead) {
  TempDir dir;
  // A file cut after 45 of its 70 data lines.
  std::string cut = Precip();
  std::size_t at = 0;
  for (int k = 0; k < 14 + 45; ++k) at = cut.find('\n', at) + 1;
  cut.resize(at);
  WriteFile(dir.File("cut.inp"), cut);
  const auto r = RunCli(dir, {"run", dir.File("cut.inp"), "--json"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(JsonN(r.Out), 45);
  EXPECT_NE(r.Err.find("The input file says 70 values but holds 45"), std::string::npos) << r.Err;
  EXPECT_EQ(ReadFile(dir.File("cut.inp")), cut);

  // CR CR LF line ends, and a UTF-8 byte order mark.
  WriteFile(dir.File("crcr.inp"), "\xEF\xBB\xBF" + Replaced(Precip(), "\r\n", "\r\r\n"));
  const auto crcr = RunCli(dir, {"run", dir.File("crcr.inp"), "--json"});
  ASSERT_EQ(crcr.Status, 0) << crcr.Err;
  EXPECT_EQ(JsonN(crcr.Out), 70);
  EXPECT_NE(ReadFile(dir.File("crcr.out")).find("Average annual precipitation of 70 US cities"), std::string::npos);

  // An unreadable data line is refused by its number; UTF-16 is named.
  WriteFile(dir.File("bad.inp"), InsertBeforeLine(Precip(), 20, "    6      fifty\r\n"));
  const auto bad = RunCli(dir, {"run", dir.File("bad.inp")});
  EXPECT_EQ(bad.Status, 1);
  EXPECT_NE(bad.Err.find("Line 20: \"    6      fifty\""), std::string::npos) << bad.Err;
  EXPECT_FALSE(fs::exists(dir.File("bad.out")));
  std::string utf16 = "\xFF\xFE";
  for (char c : Precip()) utf16 += std::string{c, '\0'};
  WriteFile(dir.File("wide.inp"), utf16);
  const auto wide = RunCli(dir, {"run", dir.File("wide.inp")});
  EXPECT_EQ(wide.Status, 1);
  EXPECT_NE(wide.Err.find("UTF-16 text; save it as UTF-8"), std::string::npos) << wide.Err;
}

// The three results files of a run.
struct ResultsSet {
  std::string Out, Aux, Lst;
  static ResultsSet Of(const TempDir& dir, const std::string& name) {
    return {ReadFile(dir.File(name + ".out")), ReadFile(dir.File(name + ".aux")), ReadFile(dir.File(name + ".Lst"))};
  }
  bool operator==(const ResultsSet&) const = default;
};

TEST(ResultsSafety, FilesOfDifferentRunsAreRefused) {
  TempDir dir;
  WriteFile(dir.File("p.inp"), Precip());
  ASSERT_EQ(RunCli(dir, {"run", dir.File("p.inp")}).Status, 0);
  fs::create_directory(dir.File("other"));
  WriteFile(dir.File("other/p.inp"), Precip());
  ASSERT_EQ(RunCli(dir, {"run", dir.File("other/p.inp"), "--prefer", "31"}).Status, 0);
  // A preferred run leaves no ranked list.
  EXPECT_FALSE(fs::exists(dir.File("other/p.Lst")));
  // The report of the second run beside the parameter file of the first, as
  // a run killed between its renames would leave them.
  fs::copy_file(dir.File("other/p.out"), dir.File("p.out"), fs::copy_options::overwrite_existing);
  const std::string mixed = "The results files of " + dir.File("p") + " are from different runs";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"calc", dir.File("p.out"), "--x", "40"},
        {"graph", dir.File("p.out"), "--type", "1", "-o", dir.File("g.png")},
        {"export", dir.File("p.out"), "--csv", dir.File("csv")}}) {
    const auto r = RunCli(dir, args);
    EXPECT_EQ(r.Status, 1) << args[0];
    EXPECT_NE(r.Err.find(mixed), std::string::npos) << args[0] << ": " << r.Err;
  }
  // A ranked list left from another run is refused as well.
  const auto list = RunCli(dir, {"calc", dir.File("other/p.out"), "--x", "40"});
  EXPECT_EQ(list.Status, 0) << list.Err;
  WriteFile(dir.File("other/p.Lst"), ReadFile(dir.File("p.Lst")));
  EXPECT_EQ(RunCli(dir, {"calc", dir.File("other/p.out"), "--x", "40"}).Status, 1);
}

TEST(ResultsSafety, RefusedDataRemoveOnlyResultsFilesOfThisProgram) {
  TempDir dir;
  WriteFile(dir.File("p.inp"), Precip());
  ASSERT_EQ(RunCli(dir, {"run", dir.File("p.inp")}).Status, 0);
  // Identical values: no results, and none of the run before.
  std::string same = Precip().substr(0, Precip().find(" ------------------\r\n Serial"));
  same += " ------------------\r\n Serial    Variable\r\n ------------------\r\n";
  for (int k = 1; k <= 10; ++k) same += "    " + std::to_string(k % 10) + "       5.00\r\n";
  WriteFile(dir.File("p.inp"), same);
  EXPECT_EQ(RunCli(dir, {"run", dir.File("p.inp")}).Status, 1);
  for (const char* ext : {".out", ".aux", ".Lst"}) EXPECT_FALSE(fs::exists(dir.File(std::string("p") + ext))) << ext;
  // Files of the same names that this program did not write stay.
  WriteFile(dir.File("q.inp"), same);
  fs::create_directory(dir.File("q.out"));
  WriteFile(dir.File("q.Lst"), "my own list\n");
  EXPECT_EQ(RunCli(dir, {"run", dir.File("q.inp")}).Status, 1);
  EXPECT_TRUE(fs::is_directory(dir.File("q.out")));
  EXPECT_EQ(ReadFile(dir.File("q.Lst")), "my own list\n");
}

// A small file system of its own, filled up: the second run cannot write.
class FullDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    disk_ = dir_.File("disk");
    fs::create_directory(disk_);
    if (::geteuid() != 0 || ::mount("tmpfs", disk_.c_str(), "tmpfs", 0, "size=1m") != 0)
      GTEST_SKIP() << "skipped: mounting a small tmpfs needs root";
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) ::umount(disk_.c_str());
  }
  void Fill() {
    std::ofstream fill(disk_ + "/fill", std::ios::binary);
    const std::string block(4096, 'x');
    while (fill.write(block.data(), block.size())) {
    }
  }
  TempDir dir_;
  std::string disk_;
  bool mounted_ = false;
};

TEST_F(FullDisk, FailedWriteKeepsThePreviousResultsAndSaysWhy) {
  WriteFile(disk_ + "/p.inp", Precip());
  ASSERT_EQ(RunCli(dir_, {"run", disk_ + "/p.inp"}).Status, 0);
  const auto read = [&] { return ResultsSet{ReadFile(disk_ + "/p.out"), ReadFile(disk_ + "/p.aux"), ReadFile(disk_ + "/p.Lst")}; };
  const ResultsSet before = read();
  Fill();
  const auto again = RunCli(dir_, {"run", disk_ + "/p.inp", "--composite"});
  EXPECT_EQ(again.Status, 1);
  EXPECT_NE(again.Err.find("No space left on device"), std::string::npos) << again.Err;
  EXPECT_TRUE(read() == before);
  const auto batch = RunCli(dir_, {"batch", disk_ + "/p.inp", "--force", "--summary", dir_.File("s.csv")});
  EXPECT_EQ(batch.Status, 1);
  EXPECT_TRUE(read() == before);
  // Nothing half-written is left beside them.
  for (const auto& e : fs::directory_iterator(disk_))
    EXPECT_EQ(e.path().filename().string().find(".tvx"), std::string::npos) << e.path();
  // The CSV tables are written as one folder or not at all.
  fs::remove(disk_ + "/fill");
  ASSERT_EQ(RunCli(dir_, {"export", disk_ + "/p.out", "--csv", disk_ + "/csv"}).Status, 0);
  std::map<std::string, std::string> tables;
  for (const auto& e : fs::directory_iterator(disk_ + "/csv")) tables[e.path().string()] = ReadFile(e.path());
  ASSERT_EQ(RunCli(dir_, {"run", disk_ + "/p.inp", "--prefer", "31"}).Status, 0);
  Fill();
  EXPECT_EQ(RunCli(dir_, {"export", disk_ + "/p.out", "--csv", disk_ + "/csv"}).Status, 1);
  for (const auto& [path, text] : tables) EXPECT_EQ(ReadFile(path), text) << path;
}

TEST(SeriesLockCli, BusySeriesIsSkippedByBatchAndAwaitedByRun) {
  TempDir dir;
  WriteFile(dir.File("p.inp"), Precip());
  auto lock = SeriesLock::Acquire(dir.File("p.inp"), false);
  ASSERT_TRUE(lock.has_value());
  EXPECT_FALSE(SeriesLock::Acquire(dir.File("p.out"), false).has_value()) << "one lock per series";

  const auto batch = RunCli(dir, {"batch", dir.File("p.inp"), "--summary", dir.File("s.csv")});
  EXPECT_EQ(batch.Status, 1);
  EXPECT_NE(ReadFile(dir.File("s.csv")).find(",busy,"), std::string::npos) << ReadFile(dir.File("s.csv"));
  EXPECT_FALSE(fs::exists(dir.File("p.out")));

  TempDir runDir;
  auto run = std::async(std::launch::async, [&] { return RunCli(runDir, {"run", dir.File("p.inp")}); });
  EXPECT_EQ(run.wait_for(std::chrono::milliseconds(1500)), std::future_status::timeout) << "the run did not wait";
  EXPECT_FALSE(fs::exists(dir.File("p.out")));
  lock.reset();
  const auto r = run.get();
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Err.find("is in progress; waiting for it to finish"), std::string::npos) << r.Err;
  EXPECT_TRUE(fs::exists(dir.File("p.out")));
  EXPECT_FALSE(fs::exists(SeriesLock::LockFileName(dir.File("p.inp")))) << "the lock file is removed";
}

TEST(OutputSafety, NoOutputReplacesAnInputAndUnknownFormatsAreRefused) {
  TempDir dir;
  WriteFile(dir.File("p.inp"), Precip());
  ASSERT_EQ(RunCli(dir, {"run", dir.File("p.inp")}).Status, 0);
  const ResultsSet before = ResultsSet::Of(dir, "p");
  WriteFile(dir.File("data.csv"), "1\n2\n3\n4\n5\n6\n7\n");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"run", dir.File("p.inp"), "--fits-csv", dir.File("p.inp")},
        {"export", dir.File("p.out"), "--html", dir.File("p.inp")},
        {"export", dir.File("p.out"), "--html", dir.File("page.txt")},
        {"graph", dir.File("p.out"), "--type", "1", "-o", dir.File("p.out")},
        {"graph", dir.File("p.out"), "--type", "1", "-o", dir.File("p.xyz")},
        {"batch", dir.File("data.csv"), "--summary", dir.File("data.csv")}}) {
    const auto r = RunCli(dir, args);
    EXPECT_EQ(r.Status, 2) << args[0] << " " << args.back() << ": " << r.Err;
  }
  EXPECT_EQ(ReadFile(dir.File("p.inp")), Precip());
  EXPECT_TRUE(ResultsSet::Of(dir, "p") == before);
  EXPECT_EQ(ReadFile(dir.File("data.csv")), "1\n2\n3\n4\n5\n6\n7\n");
  EXPECT_FALSE(fs::exists(dir.File("p.xyz")));

  // A rewritten file keeps its mode, and a link stays a link to it.
  WriteFile(dir.File("real.csv"), "old\n");
  fs::permissions(dir.File("real.csv"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(dir.File("real.csv"), dir.File("fits.csv"));
  ASSERT_EQ(RunCli(dir, {"run", dir.File("p.inp"), "--fits-csv", dir.File("fits.csv")}).Status, 0);
  EXPECT_TRUE(fs::is_symlink(dir.File("fits.csv")));
  EXPECT_EQ(ReadFile(dir.File("real.csv")).rfind("rank,", 0), 0u);
  EXPECT_EQ(fs::status(dir.File("real.csv")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(InputFileSafety, OnlyRegularFilesOfASaneSizeAreRead) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("f.txt").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", dir.File("z.inp"));
  {
    std::ofstream big(dir.File("big.txt"), std::ios::binary);
    big.seekp((65LL << 20) - 1);
    big.put('\n');
  }
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"run", dir.File("f.txt")}, {"run", dir.File("z.inp")}, {"import", dir.File("f.txt")},
        {"run", dir.File("big.txt")}}) {
    const auto r = RunCli(dir, args);
    EXPECT_EQ(r.Status, 1) << args[1];
    EXPECT_TRUE(r.Err.find("not a regular file") != std::string::npos ||
                r.Err.find("larger than 64 MB") != std::string::npos)
        << r.Err;
  }
  const auto batch = RunCli(dir, {"batch", dir.File("f.txt"), "--summary", dir.File("s.csv")});
  EXPECT_EQ(batch.Status, 1);
  EXPECT_NE(ReadFile(dir.File("s.csv")).find("not a regular file"), std::string::npos);
}

TEST(InputFileSafety, LongAndHostileNamesAreRunAndShownEscaped) {
  TempDir dir;
  // A name of 250 bytes: the temporary and lock files must not lengthen it.
  const std::string longName = dir.File(std::string(246, 'n') + ".inp");
  WriteFile(longName, Precip());
  const auto r = RunCli(dir, {"run", longName});
  EXPECT_EQ(r.Status, 0) << r.Err;
  // A line end in a name does not reach a file as one.
  const std::string odd = dir.File("a\nb.inp");
  WriteFile(odd, Precip());
  ASSERT_EQ(RunCli(dir, {"run", odd}).Status, 0);
  const std::string out = ReadFile(dir.File("a\nb.out"));
  EXPECT_EQ(out.find("a\nb"), std::string::npos);
  EXPECT_NE(out.find("a\\x0ab.inp"), std::string::npos);
  EXPECT_EQ(RunCli(dir, {"calc", dir.File("a\nb.out"), "--x", "40"}).Status, 0);
}

// Threads the system refuses (a process limit, which root does not have)
// leave their series to the others instead of ending the process.
TEST(ProcessLimit, BatchRunsWithTheWorkersItGets) {
  TempDir dir;
  if (::geteuid() != 0 || std::system("command -v su >/dev/null 2>&1 && command -v bash >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "skipped: needs root to run the batch as another user under a process limit";
  fs::permissions(dir.Path(), fs::perms::all);
  std::string column;
  for (int k = 1; k <= 12; ++k) column += std::to_string(10 + k * k % 7) + "\n";
  for (int k = 0; k < 40; ++k) WriteFile(dir.File("s" + std::to_string(k) + ".txt"), column);
  for (const auto& e : fs::directory_iterator(dir.Path())) fs::permissions(e.path(), fs::perms::all);
  const std::string command = "su nobody -s /bin/bash -c " +
                              test::ShellQuote("ulimit -u 20 && " + test::ShellQuote(TAVORIX_CLI_PATH) + " batch " +
                                               test::ShellQuote(dir.Path().string()) + " --jobs 40 --summary " +
                                               test::ShellQuote(dir.File("s.csv")) + " >/dev/null 2>&1");
  const int raw = std::system(command.c_str());
  if (!fs::exists(dir.File("s.csv")) && WIFEXITED(raw) && WEXITSTATUS(raw) == 126)
    GTEST_SKIP() << "skipped: the program cannot be run as nobody here";
  ASSERT_TRUE(WIFEXITED(raw)) << "ended by a signal";
  EXPECT_EQ(WEXITSTATUS(raw), 0);
  int done = 0;
  for (int k = 0; k < 40; ++k) done += fs::exists(dir.File("s" + std::to_string(k) + ".out"));
  EXPECT_EQ(done, 40);
}

TEST(OutputSafety, NamesAndLinesReachNoFileAsFormulasInvalidTextOrTerminalCodes) {
  TempDir dir;
  std::string column;
  for (int k = 1; k <= 12; ++k) column += std::to_string(10 + k * k % 7) + "\n";
  WriteFile(dir.File("=1+2.txt"), column);
  WriteFile(dir.File("@SUM(1+1).txt"), column);
  // A Latin-1 name, and a data line with an escape sequence that retitles a terminal.
  const std::string latin = dir.File("Z\xFCrich.txt");
  WriteFile(latin, column + "\x1b]0;owned\x07\n");
  const auto b = RunCli(dir, {"batch", dir.File("=1+2.txt"), dir.File("@SUM(1+1).txt"), latin, "--summary",
                              dir.File("s.csv")});
  const std::string csv = ReadFile(dir.File("s.csv"));
  EXPECT_EQ(ValidUtf8(csv), csv);
  for (const std::string line : {"\n=", "\n@", ",=", ",@"}) EXPECT_EQ(csv.find(line), std::string::npos) << csv;
  EXPECT_EQ(b.Err.find('\x1b'), std::string::npos);

  WriteFile(latin, column);
  const auto r = RunCli(dir, {"run", latin, "--json"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ValidUtf8(r.Out), r.Out);
  EXPECT_NE(r.Out.find("Z\xEF\xBF\xBDrich"), std::string::npos);
}

}  // namespace
}  // namespace tavorix
