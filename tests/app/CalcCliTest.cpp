// tavorix-cli calc end to end, on the files of a run written into a
// temporary folder: the ".inp" by the data module, the ".aux" by hand in its
// layout (header line, code, one real per line, Shift last).

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>

#include "core/NumberFormat.h"
#include "core/StringToFloat.h"
#include "CliRunner.h"
#include "core/TestUtil.h"
#include "core/UDMTavorix.h"

namespace tavorix {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

using Result = test::CliResult;
using test::RunCli;

void WriteInput(const TempDir& dir) {
  TDMTavorix dm;
  dm.FileName = dir.File("run.inp");
  dm.Values = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
  dm.Serials = {1, 2, 3, 4, 5, 6};
  dm.RemoveFlags.assign(6, 0);
  dm.NrOfData = 6;
  dm.WriteInputFile();
}

// Gumbel (4) with A = 1, B = 0 and Shift 0.0001: F = exp(-exp(-X)).
const char* kGumbelAux =
    " Parameters for internal use, do not remove.\r\n"
    "4\r\n"
    " 1.00000000000000E+0000\r\n"
    " 0.00000000000000E+0000\r\n"
    " 1.00000000000000E-0004\r\n";

// The number after "label" on its line of the plain output.
double Labelled(const std::string& out, const std::string& label) {
  const auto at = out.find(label);
  if (at == std::string::npos) return NAN;
  const auto colon = out.find(':', at);
  const auto end = out.find('\n', colon);
  const auto v = ParseFileReal(out.substr(colon + 2, end - colon - 2));
  return v ? *v : NAN;
}

// The number after "key": in the JSON output (NaN for null).
double JsonNumber(const std::string& out, const std::string& key) {
  const auto at = out.find("\"" + key + "\":");
  if (at == std::string::npos) return NAN;
  auto start = out.find_first_not_of(' ', at + key.size() + 3);
  auto end = out.find_first_of(",\n}", start);
  const auto v = ParseFileReal(out.substr(start, end - start));
  return v ? *v : NAN;
}

TEST(CliCalc, XGivesFrequencyAndReturnPeriodWithLimits) {
  TempDir dir;
  WriteInput(dir);
  WriteFile(dir.File("run.aux"), kGumbelAux);
  const Result r = RunCli(dir, {"calc", dir.File("run.out"), "--x", "0.36651292058166435"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find(" Cum. Freq.  : 0.5\n"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find(" Ret. Per.   : 2\n"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find(" 90% confidence limits of cum. freq.\n   Lower     : 0.15298895310571"), std::string::npos)
      << r.Out;
  // Return-period limits 1/(1 - Fl) and 1/(1 - Fu).
  const auto periods = r.Out.find("90% confidence limits of ret. per.");
  ASSERT_NE(periods, std::string::npos);
  EXPECT_NEAR(Labelled(r.Out.substr(periods), "Lower"), 1.1806221461534387, 1e-12);
  EXPECT_NEAR(Labelled(r.Out.substr(periods), "Upper"), 6.536419654489646, 1e-12);
}

TEST(CliCalc, FrequencyAndReturnPeriodGiveXAsJson) {
  TempDir dir;
  WriteInput(dir);
  WriteFile(dir.File("run.aux"), kGumbelAux);
  Result r = RunCli(dir, {"calc", dir.File("run.out"), "--freq", "0.9", "--json"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("\"code\": 4"), std::string::npos) << r.Out;
  EXPECT_NEAR(JsonNumber(r.Out, "X"), -std::log(-std::log(0.9)), 1e-12) << r.Out;
  EXPECT_NEAR(JsonNumber(r.Out, "T"), 10.0, 1e-9);
  // The input file named directly works as well.
  r = RunCli(dir, {"calc", dir.File("run.inp"), "--period", "4"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NEAR(Labelled(r.Out, "Cum. Freq."), 0.75, 1e-15);
  EXPECT_NEAR(Labelled(r.Out, "X-value"), -std::log(-std::log(0.75)), 1e-12);
  // A period comes back as it was asked, not as 1/(1 - F) of its frequency.
  r = RunCli(dir, {"calc", dir.File("run.out"), "--period", "100"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("Ret. Per.   : 100\n"), std::string::npos) << r.Out;
  r = RunCli(dir, {"calc", dir.File("run.out"), "--period", "100", "--json"});
  EXPECT_EQ(JsonNumber(r.Out, "T"), 100.0) << r.Out;
}

TEST(CliCalc, UndefinedValuesAreNotAvailable) {
  // Code 55 with B = 0 has F(0) = 0.5: 0.3 lies below all it reaches, and
  // its X is the lower end of the range.
  TempDir dir;
  WriteInput(dir);
  WriteFile(dir.File("run.aux"),
            " Parameters for internal use, do not remove.\r\n55\r\n-5.00000000000000E-0001\r\n"
            " 0.00000000000000E+0000\r\n 2.00000000000000E+0000\r\n 1.00000000000000E-0004\r\n");
  Result r = RunCli(dir, {"calc", dir.File("run.out"), "--freq", "0.3"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find(" X-value     : 0\n"), std::string::npos) << r.Out;
  // Code 26 with E = 0 divides by E: an infinite X is not available either.
  WriteFile(dir.File("run.aux"),
            " Parameters for internal use, do not remove.\r\n26\r\n 1.00000000000000E+0000\r\n"
            " 5.00000000000000E-0001\r\n 0.00000000000000E+0000\r\n 1.00000000000000E-0004\r\n");
  r = RunCli(dir, {"calc", dir.File("run.out"), "--freq", "0.5"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find(" X-value     : n.a\n"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find(" Upper     : n.a\n"), std::string::npos) << r.Out;
}

TEST(CliCalc, RefusedInputExitsWithOneAndTheMessage) {
  TempDir dir;
  WriteInput(dir);
  WriteFile(dir.File("run.aux"), kGumbelAux);
  const std::string out = dir.File("run.out");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--freq", "0.999999"}, "The frequency must be >0.000001 and <0.999999"},
      // The program's texts, then what the value may be.
      {{"--freq", "x"}, "The frequency is not a valid integer\nAccepted: a number above 0.000001 and below 0.999999"},
      {{"--freq", "nan"}, "The frequency is not a valid integer\nAccepted: a number above 0.000001 and below 0.999999"},
      {{"--period", "100000"},
       "The return period must be >0.000001 and <100000\nAccepted: a number above 1 and below 100000"},
      {{"--period", "1"},
       "The return period must be >1: a return period of 1 or less has no cumulative frequency\n"
       "Accepted: a number above 1 and below 100000"},
      {{"--x", "1.2.3"}, "The value is not a valid real\nAccepted: any number, such as 12.5 or -1.5E3"},
      {{"--period", "1.0000001"},
       "The return period must be >1.000001: a shorter one has a cumulative frequency below 0.000001"},
  };
  for (const auto& [options, message] : cases) {
    std::vector<std::string> args = {"calc", out};
    args.insert(args.end(), options.begin(), options.end());
    const Result r = RunCli(dir, args);
    EXPECT_EQ(r.Status, 1) << options[1];
    EXPECT_EQ(r.Err, message + "\n");
    EXPECT_EQ(r.Out, "");
  }
  // A Gamma term count far above the fit's bound is a damaged file, refused at once.
  WriteFile(dir.File("run.aux"), "61\r\n 1.0E+0000\r\n 2.0E+0009\r\n 1.0E-0004\r\n");
  const Result damaged = RunCli(dir, {"calc", out, "--x", "2"});
  EXPECT_EQ(damaged.Status, 1);
  EXPECT_NE(damaged.Err.find("run.aux\" could not be opened.  It may be damaged"), std::string::npos) << damaged.Err;
  std::remove(dir.File("run.aux").c_str());
  const Result r = RunCli(dir, {"calc", out, "--x", "2"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, " If you wish to make use of the calculator, run the program again\n");
}

// Every row of the design table is what --period gives for its T; X and its
// limits grow with T; the periods beyond N + 1 = 7 are marked.
TEST(CliCalc, DesignTableEqualsThePeriodCalculationRowByRow) {
  TempDir dir;
  WriteInput(dir);
  WriteFile(dir.File("run.aux"), kGumbelAux);
  const std::string out = dir.File("run.out");
  const Result table = RunCli(dir, {"calc", out, "--table", "--json"});
  ASSERT_EQ(table.Status, 0) << table.Err;
  const std::vector<double> periods = {2, 5, 10, 20, 25, 50, 100, 200, 500, 1000};
  std::size_t at = table.Out.find("\"rows\"");
  ASSERT_NE(at, std::string::npos) << table.Out;
  double lastX = -INFINITY, lastXl = -INFINITY, lastXu = -INFINITY;
  for (double t : periods) {
    SCOPED_TRACE(t);
    at = table.Out.find('{', at);
    ASSERT_NE(at, std::string::npos);
    const std::string row = table.Out.substr(at, table.Out.find('}', at) - at);
    at += row.size();
    const Result single = RunCli(dir, {"calc", out, "--period", FormatGeneral(t), "--json"});
    ASSERT_EQ(single.Status, 0) << single.Err;
    for (const char* key : {"T", "F", "Fl", "Fu", "X", "Xl", "Xu"})
      EXPECT_EQ(JsonNumber(row, key), JsonNumber(single.Out, key)) << key;
    EXPECT_EQ(JsonNumber(row, "T"), t);
    EXPECT_NE(row.find(t > 7 ? "\"extrapolated\": true" : "\"extrapolated\": false"), std::string::npos) << row;
    EXPECT_GT(JsonNumber(row, "X"), lastX);
    EXPECT_GT(JsonNumber(row, "Xl"), lastXl);
    EXPECT_GT(JsonNumber(row, "Xu"), lastXu);
    EXPECT_LT(JsonNumber(row, "Xl"), JsonNumber(row, "X"));
    EXPECT_GT(JsonNumber(row, "Xu"), JsonNumber(row, "X"));
    lastX = JsonNumber(row, "X");
    lastXl = JsonNumber(row, "Xl");
    lastXu = JsonNumber(row, "Xu");
  }
  EXPECT_EQ(table.Out.find('{', at), std::string::npos) << "one row per period";
}

TEST(CliCalc, DesignTableTakesTheUsersPeriodsAsTextOrCsv) {
  TempDir dir;
  WriteInput(dir);
  WriteFile(dir.File("run.aux"), kGumbelAux);
  const std::string out = dir.File("run.out");
  Result r = RunCli(dir, {"calc", out, "--table", "--periods", "4, 12", "--csv"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out.substr(0, r.Out.find('\n')), "T,F,X,Xl,Xu,extrapolated");
  EXPECT_NE(r.Out.find("\n4,0.75,"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find(",no\n12,"), std::string::npos) << r.Out;
  EXPECT_EQ(r.Out.substr(r.Out.size() - 5), ",yes\n") << r.Out;

  r = RunCli(dir, {"calc", out, "--table", "--periods", "4,12"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find(" *\n * beyond the largest plotted return period of the data (N + 1): extrapolated\n"),
            std::string::npos)
      << r.Out;

  // A period the calculator refuses refuses the table.
  r = RunCli(dir, {"calc", out, "--table", "--periods", "2,1"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "The return period must be >1: a return period of 1 or less has no cumulative frequency\n");
}

TEST(CliCalc, DesignTableOfTheGammaFitComesFromItsNumericInverse) {
  TempDir dir;
  WriteInput(dir);
  WriteFile(dir.File("run.aux"),
            " Parameters for internal use, do not remove.\r\n61\r\n 2.00000000000000E+0000\r\n"
            " 3.00000000000000E+0000\r\n 1.00000000000000E-0004\r\n");
  const Result r = RunCli(dir, {"calc", dir.File("run.out"), "--table", "--json"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out.find("null"), std::string::npos) << r.Out;
}

TEST(CliCalc, UsageErrorsExitWithTwo) {
  TempDir dir;
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"calc", dir.File("run.out")},
           {"calc", "--x", "1"},
           {"calc", dir.File("run.out"), "--x", "1", "--freq", "0.5"},
           {"calc", dir.File("run.out"), "--x"},
           {"calc", dir.File("run.out"), "--y", "1"},
           {"calc", dir.File("run.out"), "--table", "--period", "5"},
           {"calc", dir.File("run.out"), "--table", "--json", "--csv"},
           {"calc", dir.File("run.out"), "--x", "1", "--periods", "5"}}) {
    const Result r = RunCli(dir, args);
    EXPECT_EQ(r.Status, 2) << args.back();
    EXPECT_NE(r.Err.find("Usage: tavorix-cli calc"), std::string::npos) << r.Err;
  }
}

}  // namespace
}  // namespace tavorix
