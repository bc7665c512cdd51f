// The Input page driven through its widgets.

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "UiTestSupport.h"

namespace tavorix::test {
namespace {

using InputPageTest = WindowsTest;

TEST_F(InputPageTest, FirstShownWithFifteenEmptyRowsAndDefaults) {
  EXPECT_EQ(Rows(), 15);
  EXPECT_EQ(Cell(14, 0), "15");
  EXPECT_EQ(Cell(14, 1), "");
  EXPECT_EQ(Edit("NrOfDataEdit")->text(), "15");
  EXPECT_EQ(Edit("NrOfClassesEdit")->text(), "5");
  EXPECT_EQ(Edit("ThresholdEdit")->text(), "not used");
  EXPECT_FALSE(Edit("ThresholdEdit")->isEnabled());
  EXPECT_EQ(Combo("CompositeOptionBox")->currentIndex(), 0);
  EXPECT_TRUE(Combo("CompositeListBox")->isHidden());
  EXPECT_EQ(Edit("PreferredDistributionEdit")->text(), "Best of All distributions");
  EXPECT_TRUE(Edit("FileNameEdit")->isHidden());
  EXPECT_EQ(Grid()->width(), 155);
  EXPECT_TRUE(Action("SaveRunAction")->isEnabled());
}

TEST_F(InputPageTest, CountBelowSixIsSetToSixWithTheMinimumMessage) {
  TypeInto(Edit("NrOfDataEdit"), "5");
  EXPECT_EQ(Edit("NrOfDataEdit")->text(), "6");
  ASSERT_FALSE(dialogs.Messages.empty());
  EXPECT_EQ(dialogs.Messages.front(), " The minimum number of data is 6");
}

TEST_F(InputPageTest, LargerCountAddsEmptyRowsAndWidensTheGrid) {
  TypeInto(Edit("NrOfDataEdit"), "20");
  EXPECT_EQ(dialogs.LastMessage(), " Add data in the last cells at the end of the column");
  ASSERT_EQ(Rows(), 20);
  EXPECT_EQ(Cell(19, 0), "20");
  EXPECT_EQ(Cell(19, 1), "");
  EXPECT_EQ(Grid()->width(), 170);

  // With a datum below it a smaller count is not applied, and the box shows the rows again.
  PasteIntoCell(18, 1, "7.5\r\n");
  TypeInto(Edit("NrOfDataEdit"), "10");
  EXPECT_EQ(dialogs.LastMessage(), " To remove data, empty the relevant data cells ");
  EXPECT_EQ(Rows(), 20);
  EXPECT_EQ(Edit("NrOfDataEdit")->text(), "20");
}

TEST_F(InputPageTest, ClassesAsLettersBecomeFiveAndAboveFiftyBecomeFifty) {
  TypeInto(Edit("NrOfClassesEdit"), "ab");
  EXPECT_EQ(dialogs.LastMessage(), "The number of classes is not a valid integer. It is set to 5");
  EXPECT_EQ(Edit("NrOfClassesEdit")->text(), "5");
  TypeInto(Edit("NrOfClassesEdit"), "80");
  EXPECT_EQ(Edit("NrOfClassesEdit")->text(), "50");
  EXPECT_EQ(dm->NrOfClasses, 50);
}

TEST_F(InputPageTest, ClassesHintGoesToTheStatusBarAndKeepsTheTypedDigit) {
  QTest::mouseClick(Edit("NrOfClassesEdit"), Qt::LeftButton);
  QTest::keyClick(Edit("NrOfClassesEdit"), Qt::Key_End);
  QTest::keyClick(Edit("NrOfClassesEdit"), Qt::Key_0);
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_TRUE(form->StatusText().startsWith("Number of classes: between 2 and 20"));
  EXPECT_EQ(Edit("NrOfClassesEdit")->text(), "50");
}

TEST_F(InputPageTest, PastedDecimalCommasAreReadAsImportReadsThem) {
  // Shown with the window's separator: a point here, a comma under a comma locale.
  for (const char shown : {'.', ','}) {
    form->State().DecimalSettings.DecimalSeparator = shown;
    PasteIntoCell(0, 1, "1,5\r\n3,2\r\n5,1\r\n7,25\r\n8\r\n9,5\r\n");
    const QString sep(QChar::fromLatin1(shown));
    EXPECT_EQ(Cell(0, 1), "1" + sep + "5");
    EXPECT_EQ(Cell(3, 1), "7" + sep + "25");
    EXPECT_EQ(Cell(4, 1), "8");
    EXPECT_EQ(Rows(), 6);
  }
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_TRUE(dialogs.Questions.empty());
  EXPECT_FALSE(Grid()->model()->index(0, 0).flags() & Qt::ItemIsEditable);

  // A column that mixes commas and points is refused with its doubtful line.
  PasteIntoCell(0, 1, "1.5\r\n2.5\r\n3,5\r\n");
  EXPECT_EQ(dialogs.LastMessage(), "There are no data to be pasted or the data are incompatible\n"
                                   "Line 3: \"3,5\" has a comma where the other numbers have a decimal point");
  EXPECT_EQ(Cell(2, 1), "5,1");
}

TEST_F(InputPageTest, PasteOfALongColumnSetsTheCount) {
  std::vector<double> values;
  for (int i = 1; i <= 40; ++i) values.push_back(i * 0.5);
  PasteIntoCell(0, 1, Column(values));
  EXPECT_EQ(Rows(), 40);
  EXPECT_EQ(Edit("NrOfDataEdit")->text(), "40");
  EXPECT_EQ(Cell(39, 0), "40");
  EXPECT_EQ(Cell(39, 1), "20");
  EXPECT_EQ(Grid()->width(), 170);
  EXPECT_TRUE(dialogs.Questions.empty());
}

TEST_F(InputPageTest, PasteOfTextWithoutNumbersIsRefused) {
  PasteIntoCell(0, 1, "12\r\nabc\r\n,\r\n");
  EXPECT_EQ(dialogs.LastMessage(),
            "There are no data to be pasted or the data are incompatible\nRow 2: \"abc\" is not a number");
  EXPECT_EQ(Rows(), 15);
  EXPECT_EQ(Cell(0, 1), "");
}

TEST_F(InputPageTest, EditMenuPastesIntoTheCurrentCellOfTheGrid) {
  PasteIntoCell(0, 1, Column(std::vector<double>(15, 1.0)));
  QApplication::setActiveWindow(form);
  Grid()->setFocus();
  Grid()->setCurrentIndex(Grid()->model()->index(3, 1));
  ASSERT_EQ(QApplication::focusWidget(), Grid());
  QGuiApplication::clipboard()->setText("7\r\n8\r\n");
  dialogs.Answers = {true};  // the rows below hold data: keep them
  Action("PasteAction")->trigger();
  EXPECT_EQ(dialogs.Questions.size(), 1u);
  EXPECT_EQ(Cell(3, 1), "7");
  EXPECT_EQ(Cell(4, 1), "8");
  EXPECT_EQ(Cell(14, 1), "1");
  EXPECT_EQ(Rows(), 15);

  // Delete empties the current cell, which removes its datum at Save-Run.
  Action("DeleteAction")->trigger();
  EXPECT_EQ(Cell(3, 1), "");
}

TEST_F(InputPageTest, TypedCellGoesIntoThePage) {
  TGridView* grid = Grid();
  const QModelIndex index = grid->model()->index(2, 1);
  grid->setCurrentIndex(index);
  grid->edit(index);
  auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(index));
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "2.75");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(Cell(2, 1), "2.75");
  EXPECT_EQ(form->Session().Cells[2], "2.75");
  EXPECT_TRUE(form->Session().Unsaved);
  // Enter moved on to the next row, as in a spreadsheet.
  EXPECT_EQ(grid->currentIndex().row(), 3);
}

TEST_F(InputPageTest, PasteHelpHidesTheGridAndDisablesTheButtons) {
  Button("PasteHelpButton")->click();
  EXPECT_FALSE(Text("PasteHelpText")->isHidden());
  EXPECT_TRUE(Text("PasteHelpText")->toPlainText().startsWith("There may be data on the clipboard, for "));
  EXPECT_EQ(Button("PasteHelpButton")->text(), "Close help");
  EXPECT_TRUE(Grid()->isHidden());
  EXPECT_TRUE(Widget("SerialColumnLabel")->isHidden());
  EXPECT_FALSE(Button("SaveRunButton")->isEnabled());
  EXPECT_FALSE(Button("ClearButton")->isEnabled());
  EXPECT_FALSE(Button("OpenInputButton")->isEnabled());
  // The menu commands are off as well while the help covers the grid.
  EXPECT_FALSE(Action("SaveRunAction")->isEnabled());
  EXPECT_FALSE(Action("OpenInputAction")->isEnabled());
  EXPECT_FALSE(Action("OpenOutputAction")->isEnabled());
  Button("PasteHelpButton")->click();
  EXPECT_TRUE(Action("SaveRunAction")->isEnabled());
  EXPECT_EQ(Button("PasteHelpButton")->text(), " Paste help ");
  EXPECT_FALSE(Grid()->isHidden());
  EXPECT_TRUE(Button("SaveRunButton")->isEnabled());
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
  Button("OpenInputButton")->click();
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(dialogs.OpenSpecs.at(0).Filter, "Input files (*.inp)|*.inp");
  EXPECT_EQ(dialogs.OpenSpecs.at(0).DefaultExt, "inp");
  EXPECT_EQ(Edit("TitleEdit")->text(), "First title");
  EXPECT_EQ(Edit("SubtitleEdit")->text(), "Second title");
  EXPECT_EQ(Edit("NrOfClassesEdit")->text(), "7");
  EXPECT_EQ(Edit("NrOfDataEdit")->text(), "6");
  ASSERT_EQ(Rows(), 6);
  EXPECT_EQ(Cell(2, 1), "0.5");
  EXPECT_EQ(Cell(5, 1), "123.46");
  EXPECT_FALSE(Edit("FileNameEdit")->isHidden());
  EXPECT_EQ(Edit("FileNameEdit")->text().toStdString(), path);
  EXPECT_EQ(Combo("CompositeOptionBox")->currentIndex(), 1);
  EXPECT_FALSE(Combo("CompositeListBox")->isHidden());
  EXPECT_EQ(Combo("CompositeListBox")->currentIndex(), 0);
  EXPECT_EQ(form->State().DialogFolder, folder.path().toStdString());

  // The page is not re-initialised when it is shown again.
  form->ShowPage(Page::Intro);
  form->ShowPage(Page::Input);
  EXPECT_EQ(Rows(), 6);
}

TEST_F(InputPageTest, OpenFailuresLeaveTheSeriesAndTheProgramGoesOn) {
  dialogs.OpenNames = {std::nullopt, Path("missing.inp")};
  Action("OpenInputAction")->trigger();
  Action("OpenInputAction")->trigger();
  EXPECT_EQ(dialogs.Messages, (std::vector<std::string>{"No input file was selected",
                                                        "File does not exist, please select another one,"}));

  const std::string bad = Path("bad.inp");
  WriteFile(bad,
            " Input data for Tavorix program\r\n Cumulative frequency analysis\r\n\r\n T\r\n U\r\n\r\n"
            " Filename: x\r\n Number of data: 2  Number of classes :  5\r\n Threshold: not used\r\n"
            " No Composite distributions allowed\r\n\r\n ------------------\r\n Serial    Variable\r\n"
            " ------------------\r\n    1       1.50\r\n    2       abc\r\n");
  dialogs.OpenNames = {bad};
  Action("OpenInputAction")->trigger();
  EXPECT_EQ(dialogs.LastMessage(), "A program error occurred.Real numbers in the inputfile \"" + bad +
                                       "\" are invalid\nLine 16: \"    2       abc\"");
  EXPECT_EQ(Rows(), 15);
  EXPECT_EQ(dm->FileName, form->State().StartDirectory);
  EXPECT_TRUE(form->isVisible());
}

TEST_F(InputPageTest, ReturningToThePageBeforeDataKeepsTheTypedTitles) {
  // Titles typed first, a look at the help, then back to the grid: the
  // page is set up afresh (no data yet) but the titles stay.
  QTest::keyClicks(Edit("TitleEdit"), "Rainfall");
  QTest::keyClicks(Edit("SubtitleEdit"), "mm per day");
  form->ShowPage(Page::Intro);
  form->ShowPage(Page::Input);
  EXPECT_EQ(Edit("TitleEdit")->text(), "Rainfall");
  EXPECT_EQ(Edit("SubtitleEdit")->text(), "mm per day");
  EXPECT_EQ(Rows(), 15);
  EXPECT_EQ(Edit("NrOfDataEdit")->text(), "15");
}

TEST_F(InputPageTest, ClearAsksAndReinitialises) {
  Edit("TitleEdit")->setText("Something");
  TypeInto(Edit("NrOfDataEdit"), "20");
  dialogs.Answers = {false, true};
  Button("ClearButton")->click();
  EXPECT_EQ(Rows(), 20);
  Button("ClearButton")->click();
  EXPECT_EQ(dialogs.Questions.back(), "The data will be cleared, are you sure?");
  EXPECT_EQ(Rows(), 15);
  EXPECT_EQ(Edit("TitleEdit")->text(), "");
  EXPECT_EQ(Edit("NrOfDataEdit")->text(), "15");
}

}  // namespace
}  // namespace tavorix::test
