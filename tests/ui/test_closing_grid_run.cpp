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
#include "ui/USelectForm.h"

namespace tavorix::test {
namespace {

class WindowUseTest : public MainFormTest {
 protected:
  static QString Series(int n) {
    QString text;
    for (int i = 1; i <= n; ++i) text += QString::number(10.0 - 3.0 * std::log(-std::log(i / (n + 1.0))), 'f', 4) + "\r\n";
    return text;
  }
  void SaveRun(const std::string& path) {
    dialogs.SaveNames.push_back(path);
    form->SaveRunButton->click();
    WaitForRun();
  }
};

TEST(FinishWindowTest, FinishEndsTheEventLoopAndClosingItReturnsToTheProgram) {
  ScriptedDialogs dialogs;
  TTavorixWindows windows = CreateTavorixWindows(dialogs);
  windows.MainForm->show();
  windows.MainForm->close();
  ASSERT_TRUE(windows.FinishForm->isVisible());

  // Escape (or its X) closes the finish window only.
  QTest::keyClick(windows.FinishForm.get(), Qt::Key_Escape);
  EXPECT_FALSE(windows.FinishForm->isVisible());
  EXPECT_TRUE(windows.MainForm->isVisible());

  windows.MainForm->close();
  QTimer::singleShot(0, windows.FinishForm.get(), [&] { windows.FinishForm->FinishButton->click(); });
  QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });  // a program that does not end
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(windows.MainForm->isVisible());
}

TEST_F(WindowUseTest, ClosingWithUnsavedDataAsksSaveDiscardOrCancel) {
  PasteIntoCell(0, 1, Series(8));
  dialogs.SaveAnswers = {TSaveAnswer::Cancel, TSaveAnswer::Save, TSaveAnswer::Discard};
  form->close();
  ASSERT_EQ(dialogs.Questions.size(), 1u);
  EXPECT_EQ(dialogs.Questions.back(), "The data were changed and not saved. Save them?");
  EXPECT_FALSE(windows.FinishForm->isVisible());

  // Save writes the input file, then the finish window comes.
  dialogs.SaveNames = {Path("kept")};
  form->close();
  EXPECT_TRUE(Exists(Path("kept.inp")));
  EXPECT_TRUE(windows.FinishForm->isVisible());
  windows.FinishForm->hide();

  // Saved data close without a question; new edits ask again.
  const std::size_t asked = dialogs.Questions.size();
  form->close();
  EXPECT_EQ(dialogs.Questions.size(), asked);
  windows.FinishForm->hide();
  PasteIntoCell(0, 1, Series(9));
  form->close();
  EXPECT_TRUE(windows.FinishForm->isVisible());
  EXPECT_FALSE(Exists(Path("kept.inp.inp")));
}

TEST_F(WindowUseTest, TenThousandPastedLinesAreKeptWhole) {
  QString text;
  for (int i = 0; i < 10000; ++i) text += QString::number(1000.0 + i * 0.0001, 'f', 10) + "\r\n";  // 15 characters a line
  ASSERT_GT(text.size(), 32767);
  PasteIntoCell(0, 1, text);
  EXPECT_EQ(Rows(), 10000);
  EXPECT_EQ(form->NrOfDataEdit->text(), "10000");
  EXPECT_EQ(Cell(9999, 1), "1000.9999");
}

TEST_F(WindowUseTest, GridModelStaysConsistentThroughEdits) {
  QAbstractItemModelTester tester(form->GridModel, QAbstractItemModelTester::FailureReportingMode::Fatal);
  PasteIntoCell(0, 1, Series(20));
  form->StringGrid1->setCurrentIndex(form->GridModel->index(2, 1));
  form->GridInsertRowAction->trigger();
  EXPECT_EQ(Rows(), 21);
  EXPECT_EQ(Cell(2, 1), "");
  form->StringGrid1->selectionModel()->select(
      QItemSelection(form->GridModel->index(0, 0), form->GridModel->index(4, 1)), QItemSelectionModel::ClearAndSelect);
  form->GridDeleteRowsAction->trigger();
  EXPECT_EQ(Rows(), 16);
  EXPECT_EQ(form->NrOfDataEdit->text(), "16");
  TypeInto(form->NrOfDataEdit, "30");
  EXPECT_EQ(Rows(), 30);
}

TEST_F(WindowUseTest, SelectionIsCopiedAsValuesAndDeleteEmptiesIt) {
  PasteIntoCell(0, 1, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
  QApplication::setActiveWindow(form);
  form->StringGrid1->setFocus();
  form->StringGrid1->setCurrentIndex(form->GridModel->index(1, 0));
  form->StringGrid1->selectionModel()->select(
      QItemSelection(form->GridModel->index(1, 0), form->GridModel->index(2, 1)), QItemSelectionModel::ClearAndSelect);
  form->EditCopyAction->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "2\n3\n");
  form->EditDeleteAction->trigger();
  EXPECT_EQ(Cell(1, 1), "");
  EXPECT_EQ(Cell(2, 1), "");
  EXPECT_EQ(Cell(3, 1), "4");
}

TEST_F(WindowUseTest, RefusedSaveRunWritesNoFile) {
  const std::string good = Path("good.inp");
  WriteFile(good, "good data");
  PasteIntoCell(0, 1, "1\r\n2\r\n3\r\n");
  form->SaveRunButton->click();  // no save dialog: the check comes first
  EXPECT_EQ(dialogs.LastMessage(), " The minimum number of data is 6");
  EXPECT_TRUE(dialogs.SaveSpecs.empty());

  dialogs.Answers = {true};
  form->ClearButtonClick();
  form->SaveRunButton->click();
  EXPECT_EQ(dialogs.LastMessage(), "There are no data. Type or paste the data into the grid.");
  EXPECT_TRUE(dialogs.SaveSpecs.empty());
  EXPECT_EQ(ReadFile(good), "good data");
}

TEST_F(WindowUseTest, FileThatCannotBeWrittenSaysWhy) {
  PasteIntoCell(0, 1, Series(8));
  dialogs.SaveNames = {Path("missing-folder/rain.inp")};
  form->InputSaveOnlyAction->trigger();
  EXPECT_EQ(dialogs.LastMessage(), "The file \"" + Path("missing-folder/rain.inp") +
                                       "\" could not be opened. It may be in use by another program\n"
                                       "No such file or directory");
}

TEST_F(WindowUseTest, SeriesThatAnotherRunHasIsNotRunAgain) {
  PasteIntoCell(0, 1, Series(12));
  auto other = SeriesLock::Acquire(Path("busy.inp"), false);
  ASSERT_TRUE(other.has_value());
  dialogs.SaveNames = {Path("busy.inp")};
  form->SaveRunButton->click();
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
  form->InputOpenActionExecute();
  EXPECT_EQ(form->NrOfDataEdit->text(), "7");
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
  form->SaveRunButton->click();
  ASSERT_TRUE(form->RunInProgress());
  EXPECT_FALSE(form->StringGrid1->isEnabled());
  EXPECT_FALSE(form->InputOpenAction->isEnabled());
  EXPECT_TRUE(form->CancelRunButton->isEnabled());
  QElapsedTimer clock;
  clock.start();
  form->CancelRunButton->click();
  WaitForRun();
  EXPECT_LT(clock.elapsed(), 1000);
  EXPECT_TRUE(Exists(Path("stopped.inp")));
  for (const char* ext : {".out", ".aux", ".Lst"}) EXPECT_FALSE(Exists(Path(std::string("stopped") + ext))) << ext;
  EXPECT_EQ(form->PageControl1->currentWidget(), form->InputTabSheet);
  EXPECT_TRUE(form->StringGrid1->isEnabled());
  EXPECT_TRUE(form->WaitPanel->isHidden());
}

TEST_F(WindowUseTest, ClearDataForgetsTheResults) {
  PasteIntoCell(0, 1, Series(12));
  SaveRun(Path("first.inp"));
  ASSERT_EQ(form->PageControl1->currentWidget(), form->OutputTabSheet);
  ASSERT_FALSE(form->ListButton->isHidden());
  form->PageControl1->setCurrentWidget(form->InputTabSheet);
  dialogs.Answers = {true};
  form->ClearButton->click();
  EXPECT_TRUE(form->ListButton->isHidden());
  EXPECT_TRUE(form->OutputMemo->toPlainText().isEmpty());
  EXPECT_EQ(dm->FileName, form->StartDirectory);
  form->PageControl1->setCurrentWidget(form->OutputTabSheet);
  EXPECT_TRUE(form->ViewGraphButton->isHidden());
  EXPECT_TRUE(form->CalcButton->isHidden());
  EXPECT_TRUE(form->FileNameEdit->isHidden());
}

TEST_F(WindowUseTest, OpenInputShowsExactlyWhatTheNextRunDoes) {
  windows.SelectForm->RadioButton(22)->setChecked(true);  // standard Gumbel
  windows.SelectForm->Button1->click();
  ASSERT_EQ(dm->SelectionCode, "4");
  const std::string path = Path("series.inp");
  std::filesystem::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/failure.inp", path);
  dialogs.OpenNames = {path};
  form->OpenInputButton->click();
  EXPECT_EQ(form->SelectionEdit->text(), "Best of All distributions");
  EXPECT_TRUE(windows.SelectForm->RadioButton(1)->isChecked());
  EXPECT_EQ(form->Session.PreferredCode, "1");

  // Choosing a preference switches composites off on the page and says so.
  form->OptionComboBox->setCurrentIndex(1);
  form->OptionComboBoxChange();
  windows.SelectForm->RadioButton(22)->setChecked(true);
  windows.SelectForm->Button1->click();
  EXPECT_EQ(form->OptionComboBox->currentIndex(), 0);
  EXPECT_TRUE(form->StatusText().startsWith("Composite distributions are switched off"));
}

TEST_F(WindowUseTest, EditActionsLeaveReadOnlyTextAlone) {
  form->FileNameEdit->show();
  form->FileNameEdit->setText("/data/rain.inp");
  QApplication::setActiveWindow(form);
  form->FileNameEdit->setFocus();
  form->FileNameEdit->selectAll();
  QGuiApplication::clipboard()->setText("other");
  form->EditPasteAction->trigger();
  form->EditDeleteAction->trigger();
  form->EditCutAction->trigger();
  EXPECT_EQ(form->FileNameEdit->text(), "/data/rain.inp");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "other");

  form->PageControl1->setCurrentWidget(form->OutputTabSheet);
  form->OutputMemo->show();
  form->OutputMemo->setPlainText("RESULTS");
  form->OutputMemo->setFocus();
  form->OutputMemo->selectAll();
  form->EditDeleteAction->trigger();
  EXPECT_EQ(form->OutputMemo->toPlainText(), "RESULTS");
}

TEST_F(WindowUseTest, OpenOutputFromTheInputPageLandsOnTheOutputPage) {
  PasteIntoCell(0, 1, Series(12));
  SaveRun(Path("done.inp"));
  form->PageControl1->setCurrentWidget(form->InputTabSheet);
  dialogs.OpenNames = {Path("done.out")};
  form->OutputOpenAction->trigger();
  EXPECT_EQ(form->PageControl1->currentWidget(), form->OutputTabSheet);
}

TEST_F(WindowUseTest, DroppedCsvOpensItsFirstNumericColumn) {
  const std::string csv = Path("rain.csv");
  WriteFile(csv, "station;rain\r\nA;1,5\r\nB;2,5\r\nC;3,5\r\nD;4,5\r\nE;5,5\r\nF;6,5\r\nG;7,5\r\n");
  form->OpenDataFile(csv);
  EXPECT_EQ(Rows(), 7);
  EXPECT_EQ(Cell(0, 1).toStdString(), std::string("1") + form->DecimalSettings.DecimalSeparator + "5");
  EXPECT_EQ(form->RecentFiles().front(), csv);
}

}  // namespace
}  // namespace tavorix::test
