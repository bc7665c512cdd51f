// Quitting, the grid as a spreadsheet, refused and cancelled runs, and what
// Clear data and Open input leave on the pages.

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cmath>

#include "UiTestSupport.h"
#include "core/SeriesLock.h"
#include "ui/SelectionDialog.h"

namespace tavorix::test {
namespace {

class WindowUseTest : public WindowsTest {
 protected:
  static QString Series(int n) {
    QString text;
    for (int i = 1; i <= n; ++i) text += QString::number(10.0 - 3.0 * std::log(-std::log(i / (n + 1.0))), 'f', 4) + "\r\n";
    return text;
  }
  void SaveRun(const std::string& path) {
    dialogs.SaveNames.push_back(path);
    Button("SaveRunButton")->click();
    WaitForRun();
  }
};

TEST(FinishWindowTest, FinishEndsTheEventLoopAndClosingItReturnsToTheProgram) {
  ScriptedDialogs dialogs;
  TTavorixWindows windows = CreateTavorixWindows(dialogs);
  windows.Main->show();
  windows.Main->close();
  ASSERT_TRUE(windows.Finish->isVisible());

  // Escape (or its X) closes the finish window only.
  QTest::keyClick(windows.Finish.get(), Qt::Key_Escape);
  EXPECT_FALSE(windows.Finish->isVisible());
  EXPECT_TRUE(windows.Main->isVisible());

  windows.Main->close();
  QTimer::singleShot(0, windows.Finish.get(), [&] { FindIn<QPushButton>(windows.Finish.get(), "FinishButton")->click(); });
  QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });  // a program that does not end
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(windows.Main->isVisible());
}

TEST_F(WindowUseTest, ClosingWithUnsavedDataAsksSaveDiscardOrCancel) {
  PasteIntoCell(0, 1, Series(8));
  dialogs.SaveAnswers = {TSaveAnswer::Cancel, TSaveAnswer::Save, TSaveAnswer::Discard};
  form->close();
  ASSERT_EQ(dialogs.Questions.size(), 1u);
  EXPECT_EQ(dialogs.Questions.back(), "The data were changed and not saved. Save them?");
  EXPECT_FALSE(windows.Finish->isVisible());

  // Save writes the input file, then the finish window comes.
  dialogs.SaveNames = {Path("kept")};
  form->close();
  EXPECT_TRUE(Exists(Path("kept.inp")));
  EXPECT_TRUE(windows.Finish->isVisible());
  windows.Finish->hide();

  // Saved data close without a question; new edits ask again.
  const std::size_t asked = dialogs.Questions.size();
  form->close();
  EXPECT_EQ(dialogs.Questions.size(), asked);
  windows.Finish->hide();
  PasteIntoCell(0, 1, Series(9));
  form->close();
  EXPECT_TRUE(windows.Finish->isVisible());
  EXPECT_FALSE(Exists(Path("kept.inp.inp")));
}

TEST_F(WindowUseTest, TenThousandPastedLinesAreKeptWhole) {
  QString text;
  for (int i = 0; i < 10000; ++i) text += QString::number(1000.0 + i * 0.0001, 'f', 10) + "\r\n";  // 15 characters a line
  ASSERT_GT(text.size(), 32767);
  PasteIntoCell(0, 1, text);
  EXPECT_EQ(Rows(), 10000);
  EXPECT_EQ(Edit("NrOfDataEdit")->text(), "10000");
  EXPECT_EQ(Cell(9999, 1), "1000.9999");
}

TEST_F(WindowUseTest, GridModelStaysConsistentThroughEdits) {
  QAbstractItemModelTester tester(Grid()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  PasteIntoCell(0, 1, Series(20));
  Grid()->setCurrentIndex(Grid()->model()->index(2, 1));
  Action("InsertRowAction")->trigger();
  EXPECT_EQ(Rows(), 21);
  EXPECT_EQ(Cell(2, 1), "");
  Grid()->selectionModel()->select(
      QItemSelection(Grid()->model()->index(0, 0), Grid()->model()->index(4, 1)), QItemSelectionModel::ClearAndSelect);
  Action("DeleteRowsAction")->trigger();
  EXPECT_EQ(Rows(), 16);
  EXPECT_EQ(Edit("NrOfDataEdit")->text(), "16");
  TypeInto(Edit("NrOfDataEdit"), "30");
  EXPECT_EQ(Rows(), 30);
}

TEST_F(WindowUseTest, SelectionIsCopiedAsValuesAndDeleteEmptiesIt) {
  PasteIntoCell(0, 1, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
  QApplication::setActiveWindow(form);
  Grid()->setFocus();
  Grid()->setCurrentIndex(Grid()->model()->index(1, 0));
  Grid()->selectionModel()->select(
      QItemSelection(Grid()->model()->index(1, 0), Grid()->model()->index(2, 1)), QItemSelectionModel::ClearAndSelect);
  Action("CopyAction")->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "2\n3\n");
  Action("DeleteAction")->trigger();
  EXPECT_EQ(Cell(1, 1), "");
  EXPECT_EQ(Cell(2, 1), "");
  EXPECT_EQ(Cell(3, 1), "4");
}

TEST_F(WindowUseTest, RefusedSaveRunWritesNoFile) {
  const std::string good = Path("good.inp");
  WriteFile(good, "good data");
  PasteIntoCell(0, 1, "1\r\n2\r\n3\r\n");
  Button("SaveRunButton")->click();  // no save dialog: the check comes first
  EXPECT_EQ(dialogs.LastMessage(), " The minimum number of data is 6");
  EXPECT_TRUE(dialogs.SaveSpecs.empty());

  dialogs.Answers = {true};
  Button("ClearButton")->click();
  Button("SaveRunButton")->click();
  EXPECT_EQ(dialogs.LastMessage(), "There are no data. Type or paste the data into the grid.");
  EXPECT_TRUE(dialogs.SaveSpecs.empty());
  EXPECT_EQ(ReadFile(good), "good data");
}

TEST_F(WindowUseTest, FileThatCannotBeWrittenSaysWhy) {
  PasteIntoCell(0, 1, Series(8));
  dialogs.SaveNames = {Path("missing-folder/rain.inp")};
  Action("SaveInputAction")->trigger();
  EXPECT_EQ(dialogs.LastMessage(), "The file \"" + Path("missing-folder/rain.inp") +
                                       "\" could not be opened. It may be in use by another program\n"
                                       "No such file or directory");
}

TEST_F(WindowUseTest, SeriesThatAnotherRunHasIsNotRunAgain) {
  PasteIntoCell(0, 1, Series(12));
  auto other = SeriesLock::Acquire(Path("busy.inp"), false);
  ASSERT_TRUE(other.has_value());
  dialogs.SaveNames = {Path("busy.inp")};
  Button("SaveRunButton")->click();
  EXPECT_EQ(dialogs.LastMessage(),
            "Another run of " + Path("busy") + " is in progress; run it again when that run has finished");
  EXPECT_FALSE(form->RunInProgress());
  EXPECT_FALSE(std::filesystem::exists(Path("busy.out")));
  // Once the other run is over, the series runs and its lock goes with the run.
  other.reset();
  dialogs.Answers = {true};  // the input file saved a moment ago is written again
  SaveRun(Path("busy.inp"));
  EXPECT_TRUE(std::filesystem::exists(Path("busy.out")));
  EXPECT_TRUE(SeriesLock::Acquire(Path("busy.inp"), false).has_value());
}

TEST_F(WindowUseTest, OpenedFileShowsEveryDatumAndSaysWhenItsCountDiffers) {
  const std::string path = Path("cut.inp");
  WriteFile(path,
            " Input data for Tavorix program\r\n Cumulative frequency analysis\r\n\r\n T\r\n U\r\n\r\n"
            " Filename: x\r\n Number of data: 9  Number of classes :  5\r\n Threshold: not used\r\n"
            " No Composite distributions allowed\r\n\r\n ------------------\r\n Serial    Variable\r\n"
            " ------------------\r\n    1       1.50\r\n    2       2.50\r\n\r\n    3       3.50\r\n"
            "    4       4.50\r\n    5       5.50\r\n    6       6.50\r\n    7       7.50\r\n");
  dialogs.OpenNames = {path};
  Action("OpenInputAction")->trigger();
  EXPECT_EQ(Edit("NrOfDataEdit")->text(), "7");
  EXPECT_EQ(form->StatusText(), "The input file says 9 values but holds 7");
}

TEST_F(WindowUseTest, NameWithoutInpExtensionGetsIt) {
  PasteIntoCell(0, 1, Series(12));
  SaveRun(Path("rain.txt"));
  EXPECT_TRUE(Exists(Path("rain.txt.inp")));
  EXPECT_TRUE(Exists(Path("rain.txt.out")));
  EXPECT_EQ(dm->FileName, Path("rain.txt.out"));
  EXPECT_FALSE(Exists(Path("rain.txt")));
}

TEST_F(WindowUseTest, CancelStopsTheRunWritesNothingAndReturnsToInput) {
  PasteIntoCell(0, 1, Series(30));
  form->SetStagePauseMs(2000);
  dialogs.SaveNames = {Path("stopped.inp")};
  Button("SaveRunButton")->click();
  ASSERT_TRUE(form->RunInProgress());
  EXPECT_FALSE(Grid()->isEnabled());
  EXPECT_FALSE(Action("OpenInputAction")->isEnabled());
  EXPECT_TRUE(Button("CancelRunButton")->isEnabled());
  QElapsedTimer clock;
  clock.start();
  Button("CancelRunButton")->click();
  WaitForRun();
  EXPECT_LT(clock.elapsed(), 1000);
  EXPECT_TRUE(Exists(Path("stopped.inp")));
  for (const char* ext : {".out", ".aux", ".Lst"}) EXPECT_FALSE(Exists(Path(std::string("stopped") + ext))) << ext;
  EXPECT_EQ(form->CurrentPage(), Page::Input);
  EXPECT_TRUE(Grid()->isEnabled());
  EXPECT_TRUE(Widget("ProgressPanel")->isHidden());
}

TEST_F(WindowUseTest, ClearDataForgetsTheResults) {
  PasteIntoCell(0, 1, Series(12));
  SaveRun(Path("first.inp"));
  ASSERT_EQ(form->CurrentPage(), Page::Output);
  ASSERT_FALSE(Button("RankedListButton")->isHidden());
  form->ShowPage(Page::Input);
  dialogs.Answers = {true};
  Button("ClearButton")->click();
  EXPECT_TRUE(Button("RankedListButton")->isHidden());
  EXPECT_TRUE(Text("ReportText")->toPlainText().isEmpty());
  EXPECT_EQ(dm->FileName, form->State().StartDirectory);
  form->ShowPage(Page::Output);
  EXPECT_TRUE(Button("GraphicsButton")->isHidden());
  EXPECT_TRUE(Button("CalculatorButton")->isHidden());
  EXPECT_TRUE(Edit("FileNameEdit")->isHidden());
}

TEST_F(WindowUseTest, OpenInputShowsExactlyWhatTheNextRunDoes) {
  ConfirmPreference("4");  // standard Gumbel
  const std::string path = Path("series.inp");
  std::filesystem::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/failure.inp", path);
  dialogs.OpenNames = {path};
  Button("OpenInputButton")->click();
  EXPECT_EQ(Edit("PreferredDistributionEdit")->text(), "Best of All distributions");
  EXPECT_TRUE(Choice(1)->isChecked());
  EXPECT_EQ(form->Session().PreferredCode, "1");

  // Choosing a preference switches composites off on the page and says so.
  QTest::keyClick(Combo("CompositeOptionBox"), Qt::Key_Down);
  ASSERT_EQ(Combo("CompositeOptionBox")->currentIndex(), 1);
  ConfirmPreference("4");
  EXPECT_EQ(Combo("CompositeOptionBox")->currentIndex(), 0);
  EXPECT_TRUE(form->StatusText().startsWith("Composite distributions are switched off"));
}

TEST_F(WindowUseTest, EditActionsLeaveReadOnlyTextAlone) {
  Edit("FileNameEdit")->show();
  Edit("FileNameEdit")->setText("/data/rain.inp");
  QApplication::setActiveWindow(form);
  Edit("FileNameEdit")->setFocus();
  Edit("FileNameEdit")->selectAll();
  QGuiApplication::clipboard()->setText("other");
  Action("PasteAction")->trigger();
  Action("DeleteAction")->trigger();
  Action("CutAction")->trigger();
  EXPECT_EQ(Edit("FileNameEdit")->text(), "/data/rain.inp");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "other");

  form->ShowPage(Page::Output);
  Text("ReportText")->show();
  Text("ReportText")->setPlainText("RESULTS");
  Text("ReportText")->setFocus();
  Text("ReportText")->selectAll();
  Action("DeleteAction")->trigger();
  EXPECT_EQ(Text("ReportText")->toPlainText(), "RESULTS");
}

TEST_F(WindowUseTest, OpenOutputFromTheInputPageLandsOnTheOutputPage) {
  PasteIntoCell(0, 1, Series(12));
  SaveRun(Path("done.inp"));
  form->ShowPage(Page::Input);
  dialogs.OpenNames = {Path("done.out")};
  Action("OpenOutputAction")->trigger();
  EXPECT_EQ(form->CurrentPage(), Page::Output);
}

TEST_F(WindowUseTest, DroppedCsvOpensItsFirstNumericColumn) {
  const std::string csv = Path("rain.csv");
  WriteFile(csv, "station;rain\r\nA;1,5\r\nB;2,5\r\nC;3,5\r\nD;4,5\r\nE;5,5\r\nF;6,5\r\nG;7,5\r\n");
  form->OpenDataFile(csv);
  EXPECT_EQ(Rows(), 7);
  EXPECT_EQ(Cell(0, 1).toStdString(), std::string("1") + form->State().DecimalSettings.DecimalSeparator + "5");
  EXPECT_EQ(form->RecentFiles().front(), csv);
}

}  // namespace
}  // namespace tavorix::test
