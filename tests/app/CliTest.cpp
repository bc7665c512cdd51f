// tavorix-cli end to end: the program is run as a user runs it.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "CliRunner.h"
#include "core/TestUtil.h"

namespace tavorix {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

using Result = test::CliResult;
using test::RunCli;

const char* kSix = "12.5\n0.25\n\n3\n-4.75\n1000\n0.003\n";

TEST(CliImport, WritesTheInputFileBesideTheData) {
  TempDir dir;
  WriteFile(dir.File("series.txt"), kSix);
  const Result r = RunCli(dir, {"import", dir.File("series.txt"), "--title1", "Six values", "--title2", "mm",
                             "--classes", "7", "--composite"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::string path = dir.File("series.inp");
  const std::string expected =
      " Input data for Tavorix program\r\n"
      " Cumulative frequency analysis\r\n"
      "\r\n"
      " Six values\r\n"
      " mm\r\n"
      "\r\n"
      " Filename: " + path + "\r\n"
      " Number of data: 6  Number of classes :  7\r\n"
      " Threshold: not used\r\n"
      " Composite distributions are allowed\r\n"
      "\r\n"
      " ------------------\r\n"
      " Serial    Variable\r\n"
      " ------------------\r\n"
      "    1      12.50\r\n"
      "    2  2.5E-0001\r\n"
      "    3       3.00\r\n"
      "    4 -4.75E+0000\r\n"
      "    5    1000.00\r\n"
      "    6  3.0E-0003\r\n";
  EXPECT_TRUE(test::SameBytes(expected, ReadFile(path)));
}

TEST(CliImport, OutputNameAndDecimalComma) {
  TempDir dir;
  WriteFile(dir.File("komma.txt"), "1,5\r\n2,5\r\n3,5\r\n4\r\n5\r\n6\r\n");
  const Result r = RunCli(dir, {"import", dir.File("komma.txt"), "-o", dir.File("out.inp")});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::string text = ReadFile(dir.File("out.inp"));
  EXPECT_NE(text.find("    1       1.50\r\n"), std::string::npos);
  EXPECT_NE(text.find(" Number of data: 6  Number of classes :  5\r\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("komma.inp")));
}

// Thousands separators are never read at another size: a column whose
// commas read both ways is refused naming the line until the user says which;
// a heading line is left out with a line on standard error.
TEST(CliImport, AmbiguousCommasAreRefusedUntilTheUserSaysWhich) {
  TempDir dir;
  WriteFile(dir.File("q.txt"), "Discharge\n1,234\n2,001\n987\n1,500\n1,100\n1,750\n1,320\n");
  for (const char* command : {"import", "run"}) {
    const Result r = RunCli(dir, {command, dir.File("q.txt")});
    EXPECT_EQ(r.Status, 1) << command;
    EXPECT_EQ(r.Err,
              "The commas of the numbers can be decimal commas or thousands separators\n"
              "Line 2: \"1,234\" reads as 1.234 with a decimal comma, as 1234 with a thousands separator\n"
              "Give --decimal-comma or --thousands-comma to say which.\n")
        << command;
    EXPECT_FALSE(std::filesystem::exists(dir.File("q.inp")));
  }
  Result r = RunCli(dir, {"import", dir.File("q.txt"), "--thousands-comma"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err, "Line 1: \"Discharge\" is not a number: left out as a heading\n");
  EXPECT_NE(ReadFile(dir.File("q.inp")).find("    1    1234.00\r\n"), std::string::npos);
  r = RunCli(dir, {"run", dir.File("q.txt"), "--decimal-comma", "--prefer", "4"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(ReadFile(dir.File("q.inp")).find("    1      1.234\r\n"), std::string::npos);
  EXPECT_EQ(RunCli(dir, {"import", dir.File("q.txt"), "--decimal-comma", "--thousands-comma"}).Status, 2);
}

TEST(CliImport, RefusedDataExitOneAndWriteNothing) {
  TempDir dir;
  WriteFile(dir.File("zeros.txt"), "0\n0\n0\n0\n1\n2\n3\n");
  WriteFile(dir.File("zeros.inp"), "previous file");
  Result r = RunCli(dir, {"import", dir.File("zeros.txt")});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "There are too many zero input data. Input is invalid.\n");
  EXPECT_EQ(ReadFile(dir.File("zeros.inp")), "previous file");

  WriteFile(dir.File("text.txt"), "1\n2\nthree\n4\n5\n6\n");
  r = RunCli(dir, {"import", dir.File("text.txt")});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "Not all data values in the inputfile are real\nRow 3: \"three\" is not a number\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("text.inp")));

  r = RunCli(dir, {"import", dir.File("missing.txt")});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("could not be opened"), std::string::npos);
}

TEST(CliImport, UsageErrorsExitTwo) {
  TempDir dir;
  WriteFile(dir.File("s.txt"), kSix);
  EXPECT_EQ(RunCli(dir, {}).Status, 2);
  EXPECT_EQ(RunCli(dir, {"frobnicate"}).Status, 2);
  EXPECT_EQ(RunCli(dir, {"import"}).Status, 2);
  EXPECT_EQ(RunCli(dir, {"import", dir.File("s.txt"), "--bogus"}).Status, 2);
  EXPECT_EQ(RunCli(dir, {"import", dir.File("s.txt"), "--classes"}).Status, 2);
  EXPECT_EQ(RunCli(dir, {"import", dir.File("s.txt"), "--classes", "many"}).Status, 2);
  // An input file given as data would be overwritten by its own output.
  WriteFile(dir.File("d.inp"), kSix);
  EXPECT_EQ(RunCli(dir, {"import", dir.File("d.inp")}).Status, 2);
  EXPECT_EQ(ReadFile(dir.File("d.inp")), kSix);
  EXPECT_FALSE(std::filesystem::exists(dir.File("s.inp")));
}

TEST(CliPrepare, PrintsTheRankedAndMovedDataAsJson) {
  TempDir dir;
  WriteFile(dir.File("p.txt"), "3\n-2\n0\n5\n3\n1\n");
  ASSERT_EQ(RunCli(dir, {"import", dir.File("p.txt"), "--title1", "Prep \"quoted\""}).Status, 0);
  const Result r = RunCli(dir, {"prepare", dir.File("p.inp"), "--json"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("\"N\": 6"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("\"Shift\": -2"), std::string::npos);
  EXPECT_NE(r.Out.find("\"Shifted\": false"), std::string::npos);
  EXPECT_NE(r.Out.find("\"title1\": \"Prep \\\"quoted\\\"\""), std::string::npos);
  // Rank 1 is serial 2 (-2), moved to 0.0001; the two 3s keep input order.
  EXPECT_NE(r.Out.find("{ \"rank\": 1, \"serial\": 2, \"value\": -2, \"X\": 0.0001, \"Fr\": 0.14285714285714285 }"),
            std::string::npos)
      << r.Out;
  EXPECT_LT(r.Out.find("\"serial\": 1, \"value\": 3"), r.Out.find("\"serial\": 5, \"value\": 3"));
}

TEST(CliPrepare, MissingFileExitsOne) {
  TempDir dir;
  const Result r = RunCli(dir, {"prepare", dir.File("none.inp"), "--json"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "The file \"" + dir.File("none.inp") +
                       "\" could not be opened. It may be in use by another program\nNo such file or directory\n");
  EXPECT_TRUE(r.Out.empty());
}

TEST(Cli, FolderGivenAsFileGetsTheOpenMessage) {
  TempDir dir;
  const std::string folder = dir.File("series");
  std::filesystem::create_directory(folder);
  const std::vector<std::vector<std::string>> commands = {
      {"import", folder}, {"prepare", folder}, {"run", folder}, {"calc", folder, "--x", "1"},
      {"graph", folder, "--type", "1", "-o", dir.File("g.bmp")}};
  for (const auto& args : commands) {
    const Result r = RunCli(dir, args);
    EXPECT_EQ(r.Status, 1) << args[0];
    EXPECT_EQ(r.Err, "The file \"" + folder + "\" could not be opened. It may be in use by another program\nIs a directory\n")
        << args[0];
  }
}

TEST(CliPrepare, ReadsEveryExample) {
  TempDir dir;
  const Result r = RunCli(dir, {"prepare", std::string(TAVORIX_EXAMPLES_DIR) + "/treering.inp", "--json"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("\"N\": 7980"), std::string::npos);
  EXPECT_NE(r.Out.find("\"rank\": 7980"), std::string::npos);
}

}  // namespace
}  // namespace tavorix

namespace tavorix {
namespace {

TEST(Cli, DoubleDashEndsTheOptions) {
  test::TempDir dir;
  std::filesystem::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/precip.inp", dir.File("-x.inp"));
  const auto r = test::RunCli(dir, {"prepare", "--json", "--", dir.File("-x.inp")});
  EXPECT_EQ(r.Status, 0) << r.Err;
  // A name that begins with "-" is a file after "--", not an option.
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  const auto relative = test::RunCli(dir, {"prepare", "--", "-x.inp"});
  std::filesystem::current_path(cwd);
  EXPECT_EQ(relative.Status, 0) << relative.Err;
  EXPECT_EQ(test::RunCli(dir, {"prepare", "-x.inp"}).Status, 2);
}

// Every command of the list has its help on standard output (exit 0), and a
// wrong command line gets the message, the usage and where the help is (exit 2).
TEST(Cli, EveryCommandHasItsHelpAndUsage) {
  test::TempDir dir;
  const auto list = test::RunCli(dir, {"--help"});
  ASSERT_EQ(list.Status, 0);
  std::istringstream lines(list.Out.substr(list.Out.find("\nCommands:\n") + 11));
  std::vector<std::string> commands;
  for (std::string line; std::getline(lines, line) && line.rfind("  ", 0) == 0;)
    commands.push_back(line.substr(2, line.find(' ', 2) - 2));
  EXPECT_GE(commands.size(), 8u) << list.Out;
  for (const auto& name : commands) {
    const auto help = test::RunCli(dir, {name, "--help"});
    EXPECT_EQ(help.Status, 0) << name;
    EXPECT_EQ(help.Out.find("Usage: tavorix-cli " + name + " [OPTIONS]"), help.Out.find('\n') + 1) << help.Out;
    EXPECT_EQ(help.Err, "") << name;
    const auto wrong = test::RunCli(dir, {name, "x.out", "--no-such-option"});
    EXPECT_EQ(wrong.Status, 2) << name;
    EXPECT_EQ(wrong.Err.rfind("tavorix-cli " + name + ": ", 0), 0u) << wrong.Err;
    EXPECT_NE(wrong.Err.find("\nUsage: tavorix-cli " + name + " "), std::string::npos) << wrong.Err;
    EXPECT_EQ(wrong.Out, "") << name;
  }
  EXPECT_EQ(test::RunCli(dir, {}).Status, 2);
  EXPECT_EQ(test::RunCli(dir, {"frobnicate"}).Status, 2);
}

}  // namespace
}  // namespace tavorix
