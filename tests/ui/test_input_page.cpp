// The Input page driven through its widgets.

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "UiTestSupport.h"

namespace tavorix::test {
namespace {

using InputPageTest = MainFormTest;

TEST_F(InputPageTest, FirstShownWithFifteenZeroRowsAndDefaults) {
  EXPECT_EQ(form->StringGrid1->rowCount(), 15);
  EXPECT_EQ(Cell(14, 0), "15");
  EXPECT_EQ(Cell(14, 1), "0");
  EXPECT_EQ(form->NrOfDataEdit->text(), "15");
  EXPECT_EQ(form->NrOfClassesEdit->text(), "5");
  EXPECT_EQ(form->ThresholdEdit->text(), "not used");
  EXPECT_FALSE(form->ThresholdEdit->isEnabled());
  EXPECT_EQ(form->OptionComboBox->currentIndex(), 0);
  EXPECT_TRUE(form->DisconComboBox->isHidden());
  EXPECT_EQ(form->SelectionEdit->text(), "Best of All distributions");
  EXPECT_TRUE(form->FileNameEdit->isHidden());
  EXPECT_EQ(form->StringGrid1->width(), 155);
  EXPECT_TRUE(form->InputSaveAction->isEnabled());
}

TEST_F(InputPageTest, CountBelowSixIsSetToSixWithTheMinimumMessage) {
  TypeInto(form->NrOfDataEdit, "5");
  EXPECT_EQ(form->NrOfDataEdit->text(), "6");
  ASSERT_FALSE(dialogs.Messages.empty());
  EXPECT_EQ(dialogs.Messages.front(), " The minimum number of data is 6");
}

TEST_F(InputPageTest, LargerCountAddsEmptyRowsAndWidensTheGrid) {
  TypeInto(form->NrOfDataEdit, "20");
  EXPECT_EQ(dialogs.LastMessage(), " Add data in the last cells at the end of the column");
  ASSERT_EQ(form->StringGrid1->rowCount(), 20);
  EXPECT_EQ(Cell(19, 0), "20");
  EXPECT_EQ(Cell(19, 1), "");
  EXPECT_EQ(Cell(14, 1), "0");
  EXPECT_EQ(form->StringGrid1->width(), 170);
  EXPECT_EQ(dm->NrOfData, 20);

  TypeInto(form->NrOfDataEdit, "10");
  EXPECT_EQ(dialogs.LastMessage(), " To remove data, empty the relevant data cells ");
  EXPECT_EQ(form->StringGrid1->rowCount(), 20);
}

TEST_F(InputPageTest, ClassesAsLettersBecomeFiveAndAboveFiftyBecomeFifty) {
  TypeInto(form->NrOfClassesEdit, "ab");
  EXPECT_EQ(dialogs.LastMessage(), "The number of classes is not a valid integer. It is set to 5");
  EXPECT_EQ(form->NrOfClassesEdit->text(), "5");
  TypeInto(form->NrOfClassesEdit, "80");
  EXPECT_EQ(form->NrOfClassesEdit->text(), "50");
  EXPECT_EQ(dm->NrOfClasses, 50);
}

TEST_F(InputPageTest, ClickInClassesBoxExplainsTheClasses) {
  QTest::mouseClick(form->NrOfClassesEdit, Qt::LeftButton);
  ASSERT_FALSE(dialogs.Messages.empty());
  EXPECT_EQ(dialogs.Messages.front().rfind("For interval analysis (histogram) a number of interval classes", 0), 0u);
}

TEST_F(InputPageTest, PasteOfCommaLinesFillsTheSeries) {
  form->DecimalSettings.DecimalSeparator = ',';
  dialogs.Answers = {true};  // keep the original 15 data
  PasteIntoCell(0, 1, "1,5\r\n2,5\r\n");
  EXPECT_EQ(dialogs.Questions,
            (std::vector<std::string>{"The number of data is less than the original number. Do you want to maintain "
                                      "the original number?"}));
  EXPECT_EQ(Cell(0, 1), "1,5");
  EXPECT_EQ(Cell(1, 1), "2,5");
  ASSERT_GE(dm->Values.size(), 2u);
  EXPECT_EQ(dm->Values[0], 1.5L);
  EXPECT_EQ(dm->Values[1], 2.5L);
  EXPECT_EQ(dm->NrOfData, 15);
  // After a paste the serial column no longer takes input.
  EXPECT_FALSE(form->StringGrid1->item(0, 0)->flags() & Qt::ItemIsEditable);
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(InputPageTest, PasteOfALongColumnSetsTheCount) {
  std::vector<double> values;
  for (int i = 1; i <= 40; ++i) values.push_back(i * 0.5);
  PasteIntoCell(0, 1, Column(values));
  EXPECT_EQ(form->StringGrid1->rowCount(), 40);
  EXPECT_EQ(form->NrOfDataEdit->text(), "40");
  EXPECT_EQ(Cell(39, 0), "40");
  EXPECT_EQ(dm->Values[39], 20.0L);
  EXPECT_EQ(form->StringGrid1->width(), 170);
  EXPECT_TRUE(dialogs.Questions.empty());
}

TEST_F(InputPageTest, PasteOfTextWithoutNumbersIsRefused) {
  dialogs.Answers = {false};
  PasteIntoCell(0, 1, "abc\r\n,\r\n");
  EXPECT_TRUE(dialogs.Showed("There are no data to be pasted or the data are incompatible"));
  EXPECT_EQ(form->StringGrid1->rowCount(), 15);
  EXPECT_EQ(Cell(0, 1), "0");
}

TEST_F(InputPageTest, EditMenuPastesIntoTheCurrentCellOfTheGrid) {
  QApplication::setActiveWindow(form);
  form->StringGrid1->setFocus();
  form->StringGrid1->setCurrentCell(3, 1);
  ASSERT_EQ(QApplication::focusWidget(), form->StringGrid1);
  QGuiApplication::clipboard()->setText("7\r\n8\r\n");
  dialogs.Answers = {true};
  form->EditPasteAction->trigger();
  EXPECT_EQ(Cell(3, 1), "7");
  EXPECT_EQ(Cell(4, 1), "8");
  EXPECT_EQ(dm->Values[4], 8.0L);
  EXPECT_EQ(dm->NrOfData, 15);

  // Delete empties the current cell, which removes its datum at Save-Run.
  form->EditDeleteAction->trigger();
  EXPECT_EQ(Cell(3, 1), "");
}

TEST_F(InputPageTest, TypedCellGoesIntoThePage) {
  QTableWidget* grid = form->StringGrid1;
  grid->setCurrentCell(2, 1);
  grid->editItem(grid->item(2, 1));
  auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(2, 1)));
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "2.75");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the editor commits its text through a queued call
  EXPECT_EQ(Cell(2, 1), "2.75");
  EXPECT_EQ(form->Page.Grid.Cells[2][1], "2.75");
  EXPECT_TRUE(form->Page.DataEntered);
}

TEST_F(InputPageTest, PasteHelpHidesTheGridAndDisablesTheButtons) {
  form->PasteHelpButton->click();
  EXPECT_FALSE(form->PasteHelpMemo->isHidden());
  EXPECT_TRUE(form->PasteHelpMemo->toPlainText().startsWith("There may be data on the clipboard, for "));
  EXPECT_EQ(form->PasteHelpButton->text(), "Close help");
  EXPECT_TRUE(form->StringGrid1->isHidden());
  EXPECT_TRUE(form->GridLabel1->isHidden());
  EXPECT_FALSE(form->SaveRunButton->isEnabled());
  EXPECT_FALSE(form->ClearButton->isEnabled());
  EXPECT_FALSE(form->OpenInputButton->isEnabled());
  form->PasteHelpButton->click();
  EXPECT_EQ(form->PasteHelpButton->text(), " Paste help ");
  EXPECT_FALSE(form->StringGrid1->isHidden());
  EXPECT_TRUE(form->SaveRunButton->isEnabled());
}

TEST_F(InputPageTest, OpeningAnInputFileFillsThePage) {
  const std::string path = Path("series.inp");
  WriteFile(path,
            " Input data for Tavorix program\r\n Cumulative frequency analysis\r\n\r\n First title\r\n"
            " Second title\r\n\r\n Filename: x\r\n Number of data: 6  Number of classes :  7\r\n"
            " Threshold: not used\r\n Composite distributions are allowed\r\n\r\n ------------------\r\n"
            " Serial    Variable\r\n ------------------\r\n"
            "    1       1.50\r\n    2       2.00\r\n    3  5.0E-0001\r\n    4       4.00\r\n"
            "    5       5.00\r\n    6     123.46\r\n");
  dialogs.OpenNames = {path};
  form->OpenInputButton->click();
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(dialogs.OpenSpecs.at(0).Filter, "Input files (*.inp)|*.inp");
  EXPECT_EQ(dialogs.OpenSpecs.at(0).DefaultExt, "inp");
  EXPECT_EQ(form->Title1Edit->text(), "First title");
  EXPECT_EQ(form->Title2Edit->text(), "Second title");
  EXPECT_EQ(form->NrOfClassesEdit->text(), "7");
  EXPECT_EQ(form->NrOfDataEdit->text(), "6");
  ASSERT_EQ(form->StringGrid1->rowCount(), 6);
  EXPECT_EQ(Cell(2, 1), "0.5");
  EXPECT_EQ(Cell(5, 1), "123.46");
  EXPECT_FALSE(form->FileNameEdit->isHidden());
  EXPECT_EQ(form->FileNameEdit->text().toStdString(), path);
  EXPECT_EQ(form->OptionComboBox->currentIndex(), 1);
  EXPECT_FALSE(form->DisconComboBox->isHidden());
  EXPECT_EQ(form->DisconComboBox->currentIndex(), 0);
  EXPECT_EQ(form->InputDir, folder.path().toStdString());

  // The page is not re-initialised when it is shown again.
  form->PageControl1->setCurrentWidget(form->IntroTabSheet);
  form->PageControl1->setCurrentWidget(form->InputTabSheet);
  EXPECT_EQ(form->StringGrid1->rowCount(), 6);
}

TEST_F(InputPageTest, OpenFailuresLeaveTheSeriesAndTheProgramGoesOn) {
  dialogs.OpenNames = {std::nullopt, Path("missing.inp")};
  form->InputOpenActionExecute();
  form->InputOpenActionExecute();
  EXPECT_EQ(dialogs.Messages, (std::vector<std::string>{"No input file was selected",
                                                        "File does not exist, please select another one,"}));

  const std::string bad = Path("bad.inp");
  WriteFile(bad,
            " Input data for Tavorix program\r\n Cumulative frequency analysis\r\n\r\n T\r\n U\r\n\r\n"
            " Filename: x\r\n Number of data: 2  Number of classes :  5\r\n Threshold: not used\r\n"
            " No Composite distributions allowed\r\n\r\n ------------------\r\n Serial    Variable\r\n"
            " ------------------\r\n    1       1.50\r\n    2       abc\r\n");
  dialogs.OpenNames = {bad};
  form->InputOpenActionExecute();
  EXPECT_EQ(dialogs.LastMessage(), "A program error occurred.Real numbers in the inputfile \"" + bad + "\" are invalid");
  EXPECT_EQ(form->StringGrid1->rowCount(), 15);
  EXPECT_EQ(dm->NrOfData, 15);
  EXPECT_TRUE(form->isVisible());
}

TEST_F(InputPageTest, ReturningToThePageBeforeDataKeepsTheTypedTitles) {
  // Titles typed first, a look at the help, then back to the grid: the
  // page is set up afresh (no data yet) but the titles stay.
  QTest::keyClicks(form->Title1Edit, "Rainfall");
  QTest::keyClicks(form->Title2Edit, "mm per day");
  form->PageControl1->setCurrentWidget(form->IntroTabSheet);
  form->PageControl1->setCurrentWidget(form->InputTabSheet);
  EXPECT_EQ(form->Title1Edit->text(), "Rainfall");
  EXPECT_EQ(form->Title2Edit->text(), "mm per day");
  EXPECT_EQ(form->StringGrid1->rowCount(), 15);
  EXPECT_EQ(form->NrOfDataEdit->text(), "15");
}

TEST_F(InputPageTest, ClearAsksAndReinitialises) {
  form->Title1Edit->setText("Something");
  TypeInto(form->NrOfDataEdit, "20");
  dialogs.Answers = {false, true};
  form->ClearButton->click();
  EXPECT_EQ(form->StringGrid1->rowCount(), 20);
  form->ClearButton->click();
  EXPECT_EQ(dialogs.Questions.back(), "The data will be cleared, are you sure?");
  EXPECT_EQ(form->StringGrid1->rowCount(), 15);
  EXPECT_EQ(form->Title1Edit->text(), "");
  EXPECT_EQ(form->NrOfDataEdit->text(), "15");
}

}  // namespace
}  // namespace tavorix::test
