// Save-Run from the Input page: the checks, the run in the background and
// what the Output page shows afterwards.

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "UiTestSupport.h"
#include "core/NumberFormat.h"
#include "ui/RankedListWindow.h"
#include "ui/OptimizationHelp.h"
#include "ui/SelectionDialog.h"

namespace tavorix::test {
namespace {

class SaveRunTest : public WindowsTest {
 protected:
  // Quantiles of a Gumbel distribution (mode 10, scale 3) at the plotting
  // positions i/(n+1): a series with spread and without ties.
  static std::vector<double> GumbelSeries(int n) {
    std::vector<double> v;
    for (int i = 1; i <= n; ++i) v.push_back(10.0 - 3.0 * std::log(-std::log(i / (n + 1.0))));
    return v;
  }

  void SaveRun(const std::string& path) {
    dialogs.SaveNames.push_back(path);
    Button("SaveRunButton")->click();
    WaitForRun();
  }

  std::string RunMessage(const std::string& base) const {
    return "The input is saved in " + Path(base + ".inp") + "   Calculations were done and the output is saved in  " +
           Path(base + ".out");
  }
};

TEST_F(SaveRunTest, CancelledOrRefusedSaveWritesNothing) {
  PasteIntoCell(0, 1, Column(GumbelSeries(10)));
  dialogs.SaveNames = {std::nullopt};
  Button("SaveRunButton")->click();
  EXPECT_EQ(dialogs.LastMessage(), "The input data were not saved");

  const std::string existing = Path("old.inp");
  WriteFile(existing, "keep");
  dialogs.Answers = {false};
  SaveRun(existing);
  EXPECT_EQ(dialogs.Questions.back(), "The file already exists, overwrite?");
  EXPECT_EQ(dialogs.LastMessage(), "The input data were not saved");
  EXPECT_EQ(ReadFile(existing), "keep");
  EXPECT_EQ(dialogs.SaveSpecs.at(0).Filter, "Input files (*.inp)|*.inp");
}

TEST_F(SaveRunTest, ElevenZerosOfTwentyStopTheRunTenDoNot) {
  std::vector<double> values(20, 0.0);
  for (int i = 11; i < 20; ++i) values[i] = i;
  PasteIntoCell(0, 1, Column(values));
  Button("SaveRunButton")->click();
  EXPECT_EQ(dialogs.LastMessage(), "There are too many zero input data. Input is invalid.");
  EXPECT_TRUE(dialogs.SaveSpecs.empty());  // refused before the file is named
  EXPECT_EQ(form->CurrentPage(), Page::Input);

  values[10] = 10;
  PasteIntoCell(0, 1, Column(values));
  SaveRun(Path("ten.inp"));
  EXPECT_EQ(std::count(dialogs.Messages.begin(), dialogs.Messages.end(),
                       "There are too many zero input data. Input is invalid."),
            1);
  EXPECT_EQ(dialogs.LastMessage(), RunMessage("ten"));
  EXPECT_TRUE(Exists(Path("ten.inp")));
  EXPECT_TRUE(Exists(Path("ten.out")));
}

TEST_F(SaveRunTest, IdenticalValuesStopWithTheNoVariationMessage) {
  PasteIntoCell(0, 1, Column(std::vector<double>(20, 5.0)));
  SaveRun(Path("flat.inp"));
  EXPECT_EQ(dialogs.LastMessage(), "No variation between data. Program stops running");
  EXPECT_TRUE(Exists(Path("flat.inp")));
  EXPECT_FALSE(Exists(Path("flat.out")));
  EXPECT_TRUE(Widget("ProgressPanel")->isHidden());
  EXPECT_EQ(form->CurrentPage(), Page::Input);
}

TEST_F(SaveRunTest, InputFileRecordsTheCompositeOptionOfThePage) {
  // Line 10 of the file follows the option as it stands at Save-Run.
  QTest::keyClick(Combo("CompositeOptionBox"), Qt::Key_Down);
  ASSERT_EQ(Combo("CompositeOptionBox")->currentIndex(), 1);
  PasteIntoCell(0, 1, Column(GumbelSeries(20)));
  SaveRun(Path("option.inp"));
  ASSERT_EQ(dialogs.LastMessage(), RunMessage("option"));
  std::string text = ReadFile(Path("option.inp"));
  EXPECT_NE(text.find("\r\n Threshold: not used\r\n Composite distributions are allowed\r\n"), std::string::npos)
      << text.substr(0, 400);

  // Opened again the option is back; switched off, the next save says so.
  dialogs.OpenNames = {Path("option.inp")};
  form->ShowPage(Page::Input);
  Button("OpenInputButton")->click();
  ASSERT_EQ(Combo("CompositeOptionBox")->currentIndex(), 1);
  QTest::keyClick(Combo("CompositeOptionBox"), Qt::Key_Up);
  ASSERT_EQ(Combo("CompositeOptionBox")->currentIndex(), 0);
  dialogs.Answers = {true};
  SaveRun(Path("option.inp"));
  text = ReadFile(Path("option.inp"));
  EXPECT_NE(text.find("\r\n Threshold: not used\r\n No Composite distributions allowed\r\n"), std::string::npos)
      << text.substr(0, 400);
}

TEST_F(SaveRunTest, NewRunClosesTheGoodnessOfFitOfTheRunBefore) {
  PasteIntoCell(0, 1, Column(GumbelSeries(20)));
  SaveRun(Path("first.inp"));
  ASSERT_EQ(dialogs.LastMessage(), RunMessage("first"));
  Button("GoodnessButton")->click();
  ASSERT_FALSE(Widget("GoodnessPanel")->isHidden());

  // Other data, another run: the panel would still show the first figure.
  form->ShowPage(Page::Input);
  std::vector<double> other = GumbelSeries(20);
  for (double& v : other) v = v * v;
  PasteIntoCell(0, 1, Column(other));
  SaveRun(Path("second.inp"));
  ASSERT_EQ(dialogs.LastMessage(), RunMessage("second"));
  EXPECT_TRUE(Widget("GoodnessPanel")->isHidden());
}

TEST_F(SaveRunTest, TinyPositiveDataShowTheLeftMoveNotice) {
  // All values positive and the largest below 0.0004: the run moves them
  // to the left and says so.
  std::vector<double> values;
  for (int i = 1; i <= 20; ++i) values.push_back(0.0001 + i * 0.00001);
  QString text;
  for (double v : values) text += QString::number(v, 'f', 5) + "\r\n";
  PasteIntoCell(0, 1, text);
  SaveRun(Path("tiny.inp"));
  EXPECT_TRUE(dialogs.Showed(
      "The first values are high. The distribution will be  temporarily shifted to the left."));

  // Values from 1 up are not moved and give no notice.
  dialogs.Messages.clear();
  form->ShowPage(Page::Input);
  PasteIntoCell(0, 1, Column(GumbelSeries(20)));
  dialogs.Answers = {true};
  SaveRun(Path("tiny.inp"));
  EXPECT_EQ(dialogs.Messages, std::vector<std::string>{RunMessage("tiny")});
}

TEST_F(SaveRunTest, RunOfAnExampleLeavesItsFilesAndShowsTheOutputPage) {
  const std::string path = Path("failure.inp");
  std::filesystem::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/failure.inp", path);
  dialogs.OpenNames = {path};
  Button("OpenInputButton")->click();
  ASSERT_TRUE(dialogs.Messages.empty()) << dialogs.LastMessage();
  dialogs.Answers = {true};  // overwrite the opened file
  SaveRun(path);

  EXPECT_EQ(dialogs.LastMessage(), RunMessage("failure"));
  for (const char* ext : {".out", ".aux", ".Lst"}) EXPECT_TRUE(Exists(Path(std::string("failure") + ext))) << ext;
  for (const char* scratch : {"Temp.tmp", "TmpFile.Tmp", "Values.tmp"}) EXPECT_FALSE(Exists(Path(scratch)));
  EXPECT_EQ(dm->FileName, Path("failure.out"));

  // Progress lines arrived in their order; the panel is hidden again.
  const QStringList progress = Text("ProgressText")->toPlainText().split('\n');
  ASSERT_GE(progress.size(), 4);
  EXPECT_EQ(progress.front(), " Saving data .....");
  EXPECT_EQ(progress.at(1), " Calculating .....");
  EXPECT_TRUE(progress.contains(" Progress 75% ...."));
  EXPECT_EQ(progress.back(), " Filing results ..");
  EXPECT_TRUE(Widget("ProgressPanel")->isHidden());

  EXPECT_EQ(form->CurrentPage(), Page::Output);
  EXPECT_TRUE(Text("ReportText")->toPlainText().startsWith(" RESULTS OF Tavorix PROGRAM\n"));
  EXPECT_FALSE(Button("GraphicsButton")->isHidden());
  EXPECT_FALSE(Button("CalculatorButton")->isHidden());
  EXPECT_TRUE(Button("GoodnessButton")->isHidden());  // 24 data
  EXPECT_FALSE(Button("RankedListButton")->isHidden());
  EXPECT_FALSE(Action("SaveRunAction")->isEnabled());

  // The ranked list window shows the list file line by line.
  Button("RankedListButton")->click();
  EXPECT_TRUE(windows.RankedList->isVisible());
  const std::string list = ReadFile(Path("failure.Lst"));
  const std::string firstLine = list.substr(0, list.find("\r\n"));
  const QPlainTextEdit* header = FindIn<QPlainTextEdit>(windows.RankedList.get(), "ListHeaderText");
  EXPECT_EQ(header->toPlainText().split('\n').front().toStdString(), firstLine);

  // Goodness of fit right after the run uses the run's own value.
  Button("GoodnessButton")->click();
  EXPECT_EQ(Text("GoodnessText")->toPlainText().split('\n').at(2).toStdString(),
            "In this case the AvAbsDiff =" + FormatFixed(dm->AvAbsDiff, 5, 2) + " %");
}

TEST_F(SaveRunTest, SixHundredDataShowGoodnessOfFitAndCode23ItsExplanation) {
  ConfirmPreference("23");  // "Log-normal (optimized)"
  PasteIntoCell(0, 1, Column(GumbelSeries(600)));
  SaveRun(Path("n600.inp"));
  ASSERT_EQ(dialogs.LastMessage(), RunMessage("n600"));
  EXPECT_FALSE(Button("GoodnessButton")->isHidden());
  EXPECT_FALSE(Button("OptimizationButton")->isHidden());
  EXPECT_TRUE(Button("RankedListButton")->isHidden());  // a preferred distribution has no ranked list
  Button("OptimizationButton")->click();
  EXPECT_TRUE(windows.Optimization->isVisible());
}

TEST_F(SaveRunTest, FiveHundredDataHideGoodnessOfFitAndCode22HasNoExplanation) {
  ConfirmPreference("22");  // "Log-normal (standard)"
  PasteIntoCell(0, 1, Column(GumbelSeries(500)));

  // While the run works, the panel shows and typing does nothing; closing
  // asks whether to cancel the run (No here: the run goes on).
  form->SetStagePauseMs(40);
  dialogs.Answers = {false};
  bool running = false, panelShown = false, closed = true;
  QTimer::singleShot(0, form, [&] {
    running = form->RunInProgress();
    panelShown = Text("ProgressText")->isVisible();
    QTest::keyClicks(Edit("TitleEdit"), "typed");
    closed = form->close();
  });
  SaveRun(Path("n500.inp"));
  ASSERT_EQ(dialogs.LastMessage(), RunMessage("n500"));
  EXPECT_TRUE(running);
  EXPECT_TRUE(panelShown);
  EXPECT_EQ(Edit("TitleEdit")->text(), "");
  EXPECT_FALSE(closed);
  EXPECT_EQ(dialogs.Questions.back(), "A run is in progress. Do you want to cancel the run?");
  EXPECT_FALSE(windows.Finish->isVisible());
  EXPECT_TRUE(Button("GoodnessButton")->isHidden());
  EXPECT_TRUE(Button("OptimizationButton")->isHidden());
  EXPECT_FALSE(Button("CalculatorButton")->isHidden());
}

}  // namespace
}  // namespace tavorix::test
