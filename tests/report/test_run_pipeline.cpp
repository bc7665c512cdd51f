// The Save-Run stages from a written input file to the results files.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

#include "core/TavorixError.h"
#include "core/TestUtil.h"
#include "core/UDMTavorix.h"
#include "report/ParameterFile.h"
#include "report/RunPipeline.h"

namespace tavorix {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;

// A run in its own folder; scratch files go to a private temporary folder
// below it, so the test sees whether they are removed.
class PipelineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TMPDIR");
    oldTmp_ = old ? old : "";
    hadTmp_ = old != nullptr;
    fs::create_directories(dir_.File("tmp"));
    setenv("TMPDIR", dir_.File("tmp").c_str(), 1);
  }
  void TearDown() override {
    if (hadTmp_)
      setenv("TMPDIR", oldTmp_.c_str(), 1);
    else
      unsetenv("TMPDIR");
  }

  PipelineResult Run(const std::vector<double>& values, const std::string& preference = "1",
                     const std::string& stopAfterLine = {}) {
    dm_ = TDMTavorix{};
    dm_.FileName = dir_.File("series.inp");
    dm_.Title1 = "Pipeline test";
    dm_.Title2 = "units";
    dm_.Values.assign(values.begin(), values.end());
    for (std::size_t i = 0; i < values.size(); ++i) dm_.Serials.push_back(static_cast<int>(i) + 1);
    dm_.RemoveFlags.assign(values.size(), 0);
    dm_.NrOfData = static_cast<int>(values.size());
    dm_.WriteInputFile();
    dm_.SelectionCode = preference;
    progress_.clear();
    pauses_ = 0;
    PipelineOptions options;
    stop_ = false;
    options.Progress = [this, stopAfterLine](std::string_view s) {
      progress_.emplace_back(s);
      if (!stopAfterLine.empty() && s == stopAfterLine) stop_ = true;
    };
    options.Pause = [this] { ++pauses_; };
    options.Cancel = &stop_;
    return RunSaveRunStages(dm_, run_, false, options);
  }

  bool Said(const std::string& line) const {
    return std::find(progress_.begin(), progress_.end(), line) != progress_.end();
  }
  bool ScratchFolderEmpty() const { return fs::is_empty(dir_.File("tmp")); }

  TempDir dir_;
  TDMTavorix dm_;
  TavorixRun run_;
  std::vector<std::string> progress_;
  int pauses_ = 0;
  std::atomic<bool> stop_{false};
  std::string oldTmp_;
  bool hadTmp_ = false;
};

std::vector<double> Gumbel(int n, double shift = 0) {
  std::vector<double> v;
  for (int r = n; r >= 1; --r) v.push_back(shift + 10.0 - 2.0 * std::log(-std::log(r / (n + 1.0))));
  return v;
}

TEST_F(PipelineTest, BestOfAllRunLeavesTheResultFilesAndNoScratchFiles) {
  const PipelineResult r = Run(Gumbel(20));
  ASSERT_FALSE(r.NoVariation);
  EXPECT_TRUE(fs::exists(r.OutputPath));
  EXPECT_TRUE(fs::exists(r.ParameterPath));
  EXPECT_TRUE(fs::exists(r.ListPath));
  EXPECT_TRUE(ScratchFolderEmpty());
  EXPECT_EQ(dm_.FileName, dir_.File("series.out"));
  EXPECT_TRUE(std::is_sorted(dm_.Values.begin(), dm_.Values.end())) << "the series is in ascending order after a run";
  EXPECT_DOUBLE_EQ(dm_.AvAbsDiff, r.AvAbsDiff);
  EXPECT_EQ(r.Message, "The input is saved in " + dir_.File("series.inp") +
                           "   Calculations were done and the output is saved in  " + dir_.File("series.out"));

  ParameterFileContents aux;
  ASSERT_TRUE(ReadParameterFile(r.ParameterPath, aux));
  EXPECT_EQ(aux.Code, r.DistCode);

  // The ranked list is re-sorted: ascending averages.
  std::vector<double> averages;
  const std::string list = ReadFile(r.ListPath);
  EXPECT_NE(list.find("\r\n Name of this file : series.Lst\r\n"), std::string::npos) << "the list names its own file";
  const std::regex average(" Average = *([0-9.]+)");
  for (std::sregex_iterator it(list.begin(), list.end(), average), end; it != end; ++it)
    averages.push_back(std::stod((*it)[1]));
  ASSERT_GT(averages.size(), 20u);
  EXPECT_TRUE(std::is_sorted(averages.begin(), averages.end()));

  // The stage lines frame the fit's own lines; 20 data say nothing of "almost done".
  ASSERT_GE(progress_.size(), 4u);
  EXPECT_EQ(progress_[0], " Saving data .....");
  EXPECT_EQ(progress_[1], " Calculating .....");
  EXPECT_EQ(progress_[progress_.size() - 2], " Progress 75% ....");
  EXPECT_EQ(progress_.back(), " Filing results ..");
  EXPECT_FALSE(Said(" Almost done ..."));
  EXPECT_EQ(pauses_, 4);

  // The confidence table follows the report.
  const std::string out = ReadFile(r.OutputPath);
  EXPECT_NE(out.find(" Confidence limits of calculated X-values"), std::string::npos);
  EXPECT_EQ(out.rfind(" RESULTS OF Tavorix PROGRAM", 0), 0u);
}

TEST_F(PipelineTest, AlmostDoneLineAbove250Data) {
  Run(Gumbel(251), "4");
  EXPECT_TRUE(Said(" Almost done ..."));
  Run(Gumbel(250), "4");
  EXPECT_FALSE(Said(" Almost done ..."));
}

TEST_F(PipelineTest, GammaResultsHaveAConfidenceTable) {
  const PipelineResult r = Run(Gumbel(30), "61");
  ASSERT_EQ(r.DistCode, 61);
  const std::string out = ReadFile(r.OutputPath);
  EXPECT_NE(out.find(" Confidence limits of calculated X-values"), std::string::npos);
  EXPECT_NE(out.find(" Return period = 1/(1-Cum.Frq)"), std::string::npos);
  EXPECT_TRUE(ScratchFolderEmpty());
}

TEST_F(PipelineTest, IdenticalValuesStopAndKeepTheInputOnly) {
  const PipelineResult r = Run(std::vector<double>(8, 4.5));
  EXPECT_TRUE(r.NoVariation);
  EXPECT_EQ(r.Message, "No variation between data. Program stops running");
  EXPECT_TRUE(fs::exists(dir_.File("series.inp")));
  EXPECT_FALSE(fs::exists(dir_.File("series.out")));
  EXPECT_FALSE(fs::exists(dir_.File("series.Lst")));
  EXPECT_TRUE(ScratchFolderEmpty());
}

TEST_F(PipelineTest, RunWithoutResultsRemovesTheResultsOfTheRunBefore) {
  const std::vector<std::vector<double>> failing = {std::vector<double>(8, 4.5), {1, 2, 3, 4, 5}};
  for (const auto& values : failing) {
    ASSERT_NE(Run(Gumbel(20)).DistCode, 0);
    ASSERT_TRUE(fs::exists(dir_.File("series.aux")));
    try {
      Run(values);
    } catch (const TavorixError&) {
    }
    for (const char* ext : {".out", ".aux", ".Lst"})
      EXPECT_FALSE(fs::exists(dir_.File(std::string("series") + ext))) << values.size() << " values, " << ext;
    EXPECT_TRUE(fs::exists(dir_.File("series.inp")));
  }
}

TEST_F(PipelineTest, PreferredFitWithoutResultGivesTheCannotBeFoundReport) {
  // All values far below the first Burr scale step: the fit has no candidate.
  const PipelineResult r = Run({0.00011, 0.00012, 0.00014, 0.00015, 0.00017, 0.0002, 0.00022, 0.00025}, "31");
  ASSERT_FALSE(r.NoVariation);
  EXPECT_EQ(r.DistCode, 0);
  const std::string out = ReadFile(r.OutputPath);
  const std::string last = " The frequency distibution cannot be found :\r\n";
  ASSERT_GE(out.size(), last.size());
  EXPECT_EQ(out.substr(out.size() - last.size()), last);
  const std::string aux = ReadFile(r.ParameterPath);
  EXPECT_EQ(aux.rfind(" Parameters for internal use, do not remove.\r\n0\r\n", 0), 0u);
  // Code, Shift and the line that ties the files of the run together.
  EXPECT_EQ(std::count(aux.begin(), aux.end(), '\n'), 4);
}

TEST_F(PipelineTest, AlmostDoneLineAbove250DataAlsoWithoutADistribution) {
  // The final stage says " Almost done ..." for more than 250 data whether
  // or not it has a confidence table to compute.
  std::vector<double> v;
  for (int k = 0; k < 251; ++k) v.push_back(0.00011 + 0.0000005 * k);
  const PipelineResult r = Run(v, "31");
  ASSERT_EQ(r.DistCode, 0);
  EXPECT_TRUE(Said(" Almost done ..."));
}

TEST_F(PipelineTest, NegativeDataAreReportedInInputUnits) {
  std::vector<double> v;
  for (int k = -5; k <= 20; ++k) v.push_back(k);  // median 7.5 (rank 13 of 26 is 7)
  const PipelineResult r = Run(v, "53");
  ASSERT_EQ(r.DistCode, 53);
  const std::string out = ReadFile(r.OutputPath);
  EXPECT_NE(out.find("Median X:   7.00"), std::string::npos) << "the median of the data as entered";
  std::smatch m;
  ASSERT_TRUE(std::regex_search(out, m, std::regex(" data values : *([0-9.]+)")));
  EXPECT_GT(std::stod(m[1]), 0.99) << "calculated X agree with the data for a closed-form fit";
  EXPECT_NE(out.find("\r\n   -5.00 "), std::string::npos) << "the smallest datum printed as entered";
}

TEST_F(PipelineTest, DecimalsFollowTheLargestMagnitudeOfNegativeData) {
  // -700 .. -350: printed as entered, with the decimals of values of
  // several hundreds (none), not the 4 decimals of values below 1.
  std::vector<double> v;
  for (int k = 0; k < 15; ++k) v.push_back(-700.0 + 25.0 * k);
  const PipelineResult r = Run(v, "53");
  ASSERT_EQ(r.DistCode, 53);
  const std::string out = ReadFile(r.OutputPath);
  EXPECT_NE(out.find("\r\n    -700      "), std::string::npos) << "frequency table row of the smallest datum";
  EXPECT_NE(out.find(" Average X: -525.0     Median X: -525.0"), std::string::npos) << "class-table decimals";
  EXPECT_NE(out.find("\r\n    -700       "), std::string::npos) << "confidence table row of the smallest datum";
}

// Every row of the table of calculated X values: Lower <= Calculated <= Upper.
// The series and preferences are those where the limits once left the
// calculated X: a Burr fit with a mass at its lower end (limits below it
// were mirrored), zero frequencies inverted at unordered stand-ins (Gumbel),
// a lower frequency limit carried past a calculated frequency that drops
// (normal, GEV), and negative calculated X (composite on negative data).
TEST_F(PipelineTest, CalculatedXLiesBetweenItsLimitsInEveryRow) {
  auto series = [](const std::string& name) {
    TDMTavorix dm;
    dm.FileName = std::string(TAVORIX_EXAMPLES_DIR) + "/" + name + ".inp";
    dm.ReadInputFile();
    return std::vector<double>(dm.Values.begin(), dm.Values.end());
  };
  const std::vector<std::pair<std::vector<double>, std::string>> cases = {
      {{11, 17, 9.3, 22.1, 15, 0}, "1"},  {series("nhtemp"), "4"},  {series("nhtemp"), "20"},
      {series("precip"), "67"},           {series("lakehuron_anomaly"), "10"},
  };
  for (const auto& [values, preference] : cases) {
    const PipelineResult r = Run(values, preference);
    ASSERT_GT(r.DistCode, 0) << preference;
    const std::string out = ReadFile(r.OutputPath);
    auto at = out.find(" Confidence limits of calculated X-values");
    ASSERT_NE(at, std::string::npos) << preference;
    for (int skip = 0; skip < 6; ++skip) at = out.find("\r\n", at) + 2;
    for (int row = 1; row <= static_cast<int>(values.size()); ++row) {
      const std::string line = out.substr(at, out.find("\r\n", at) - at);
      std::istringstream in(line);
      double x = 0, serial = 0, calc = 0, lower = 0, upper = 0;
      ASSERT_TRUE(in >> x >> serial >> calc >> lower >> upper) << line;
      EXPECT_LE(lower, calc) << "preference " << preference << ", row " << row << ": " << line;
      EXPECT_LE(calc, upper) << "preference " << preference << ", row " << row << ": " << line;
      at += line.size() + 2;
    }
  }
}

TEST_F(PipelineTest, FewerThanSixDataAreRefused) {
  EXPECT_THROW(Run({1, 2, 3, 4, 5}), TavorixError);
  EXPECT_TRUE(ScratchFolderEmpty());
}

// A run stopped at any point (before the fits, inside a long grid search,
// between the later stages) changes none of the files of the run before it.
TEST_F(PipelineTest, StoppedRunChangesNoResultFile) {
  const std::vector<double> first = Gumbel(60);
  ASSERT_EQ(Run(first).DistCode != 0, true);
  const std::string out = ReadFile(dir_.File("series.out"));
  const std::string aux = ReadFile(dir_.File("series.aux"));
  const std::string lst = ReadFile(dir_.File("series.Lst"));
  std::vector<double> second = Gumbel(60, 5.0);
  second.push_back(40);
  for (const char* line : {" Saving data .....", " Calculating .....", " Progress 75% ...."}) {
    SCOPED_TRACE(line);
    EXPECT_THROW(Run(second, "1", line), RunCancelled);
    EXPECT_EQ(ReadFile(dir_.File("series.out")), out);
    EXPECT_EQ(ReadFile(dir_.File("series.aux")), aux);
    EXPECT_EQ(ReadFile(dir_.File("series.Lst")), lst);
    EXPECT_TRUE(ScratchFolderEmpty());
  }
  // A preferred grid fit stops inside its search.
  EXPECT_THROW(Run(second, "31", " Calculating ....."), RunCancelled);
  EXPECT_EQ(ReadFile(dir_.File("series.out")), out);
}

}  // namespace
}  // namespace tavorix
