// Numbers read at their own size and grid gestures that lose nothing: the
// question on ambiguous commas, headings, one decimal separator per session,
// Enter on the last row, copy and paste of values, undo and redo, and the
// questions before other data or the end of a run replace what was typed.

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>
#include <cmath>

#include "UiTestSupport.h"
#include "ui/CalculatorWindow.h"

namespace tavorix::test {
namespace {

class GridSafetyTest : public WindowsTest {
 protected:
  std::vector<std::string> Cells() const { return form->Session().Cells; }
  void Undo() { QTest::keyClick(Grid(), Qt::Key_Z, Qt::ControlModifier); }
  void Redo(bool withY) {
    if (withY) QTest::keyClick(Grid(), Qt::Key_Y, Qt::ControlModifier);
    else QTest::keyClick(Grid(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  }
  void FocusGrid() {
    QApplication::setActiveWindow(form);
    Grid()->setFocus();
  }
  static QString Gumbel(int n) {
    QString text;
    for (int i = 1; i <= n; ++i) text += QString::number(10.0 - 3.0 * std::log(-std::log(i / (n + 1.0))), 'f', 4) + "\r\n";
    return text;
  }
};

TEST_F(GridSafetyTest, ThousandsSeparatorsAreAskedAboutAndHeadingsLeftOut) {
  const QString column = "Discharge\r\n1,234\r\n2,001\r\n987\r\n1,500\r\n1,100\r\n1,750\r\n1,320\r\n";
  dialogs.Choices = {1};
  PasteIntoCell(0, 1, column);
  ASSERT_EQ(dialogs.ChoiceButtons.size(), 1u);
  EXPECT_EQ(dialogs.ChoiceButtons[0], (std::vector<std::string>{"decimal comma", "thousands separator"}));
  EXPECT_EQ(dialogs.Questions.back(),
            "The commas of the numbers can be decimal commas or thousands separators:\n"
            "Line 2: \"1,234\" reads as 1.234 with a decimal comma, as 1234 with a thousands separator.");
  EXPECT_EQ(Rows(), 7);
  EXPECT_EQ(Cell(0, 1), "1234");
  EXPECT_EQ(Cell(2, 1), "987");
  EXPECT_EQ(form->StatusText(), "Line 1: \"Discharge\" is not a number: left out as a heading");

  // Cancelled, the grid stays as it was; a column with "1,234.5" is not asked about.
  dialogs.Choices = {std::nullopt};
  PasteIntoCell(0, 1, "1,111\r\n2,222\r\n");
  EXPECT_EQ(Cell(0, 1), "1234");
  PasteIntoCell(0, 1, "1,234.5\r\n2,001\r\n3\r\n4\r\n5\r\n6\r\n7\r\n");
  EXPECT_EQ(Cell(0, 1), "1234.5");
  EXPECT_EQ(Cell(1, 1), "2001");
  EXPECT_TRUE(dialogs.Choices.empty());
}

// Under a decimal comma the grid shows commas; a value typed with a point is
// read, Save-Run takes every value the grid shows, and the separator stays
// for the rest of the session (grid and calculator).
TEST_F(GridSafetyTest, DecimalCommaSessionNeverRefusesWhatItShows) {
  form->State().DecimalSettings.DecimalSeparator = ',';
  const std::string path = Path("nhtemp.inp");
  std::filesystem::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/nhtemp.inp", path);
  dialogs.OpenNames = {path};
  Button("OpenInputButton")->click();
  EXPECT_EQ(Cell(0, 1), "49,9");
  TypeIntoCell(3, "12.5");
  EXPECT_EQ(Cell(3, 1), "12,5");
  dialogs.SaveNames = {path};
  dialogs.Answers = {true};  // overwrite
  Button("SaveRunButton")->click();
  WaitForRun();
  for (const std::string& m : dialogs.Messages) EXPECT_EQ(m.find("is not a number"), std::string::npos) << m;
  EXPECT_EQ(form->State().DecimalSettings.DecimalSeparator, ',');
  EXPECT_NE(ReadFile(path).find("    4      12.50\r\n"), std::string::npos);
  dialogs.OpenNames = {path};
  form->ShowPage(Page::Input);
  Button("OpenInputButton")->click();
  EXPECT_EQ(Cell(0, 1), "49,9");

  CalculatorWindow* calc = windows.Calculator.get();
  calc->show();
  FindIn<QLineEdit>(calc, "XValueEdit")->setText("40,5");
  calc->GoFromXClick();
  EXPECT_FALSE(FindIn<QLineEdit>(calc, "FrequencyOfX")->text().isEmpty());
  EXPECT_TRUE(FindIn<QLineEdit>(calc, "FrequencyOfX")->text().contains(','));
  calc->hide();
}

TEST_F(GridSafetyTest, TypedValueIsReadAsAPastedOne) {
  TypeIntoCell(0, "12,5");
  EXPECT_EQ(Cell(0, 1), "12.5");
  dialogs.Choices = {1};
  TypeIntoCell(1, "1,234");
  EXPECT_EQ(Cell(1, 1), "1234");
  for (int r = 2; r < 6; ++r) TypeIntoCell(r, QString::number(r));
  dialogs.SaveNames = {Path("typed.inp")};
  Action("SaveInputAction")->trigger();
  EXPECT_EQ(dialogs.LastMessage(), "");
  EXPECT_NE(ReadFile(Path("typed.inp")).find("    1      12.50\r\n    2    1234.00\r\n"), std::string::npos);
}

TEST_F(GridSafetyTest, EnterOnTheLastRowAddsARow) {
  TypeIntoCell(14, "16");
  TypeIntoCell(-1, "20.3");
  TypeIntoCell(-1, "12.9");
  EXPECT_EQ(Rows(), 18);
  EXPECT_EQ(Cell(14, 1), "16");
  EXPECT_EQ(Cell(15, 1), "20.3");
  EXPECT_EQ(Cell(16, 1), "12.9");
  EXPECT_EQ(Cell(17, 1), "");
  EXPECT_EQ(Grid()->currentIndex().row(), 17);
  EXPECT_EQ(Edit("NrOfDataEdit")->text(), "18");
}

TEST_F(GridSafetyTest, CopyTakesValuesAndPastingThemBackChangesNothing) {
  PasteIntoCell(0, 1, "4.5\r\n7\r\n\r\n9.25\r\n3\r\n8\r\n");
  const std::vector<std::string> before = Cells();
  FocusGrid();
  Action("SelectAllAction")->trigger();
  Action("CopyAction")->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "4.5\n7\n\n9.25\n3\n8\n");
  PasteIntoCell(0, 1, QGuiApplication::clipboard()->text());
  EXPECT_EQ(Cells(), before);
  // A block with its serial numbers, as earlier copies made it, gives its values.
  PasteIntoCell(0, 1, "1\t4.5\n2\t7\n3\t\n4\t9.25\n5\t3\n6\t8\n");
  EXPECT_EQ(Cells(), before);
}

TEST_F(GridSafetyTest, ShortPasteSaysWhatYesKeeps) {
  PasteIntoCell(0, 1, Gumbel(10));
  dialogs.Answers = {false};
  PasteIntoCell(0, 1, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n");
  EXPECT_EQ(dialogs.Questions.back(),
            "The number of data is less than the original number. Do you want to maintain the original number?\n"
            "Yes keeps the 3 values of the previous series below the pasted ones.");
  EXPECT_EQ(Rows(), 7);
}

// The real question box: No is the default button, so Enter keeps the rows out.
TEST(QuestionBoxTest, EnterAnswersNo) {
  TQtDialogs boxes;
  bool defaultIsNo = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    defaultIsNo = box->defaultButton() == box->button(QMessageBox::No);
    QTest::keyClick(box, Qt::Key_Return);
  });
  EXPECT_FALSE(boxes.Confirm("Keep?\nYes keeps the 3 values of the previous series below the pasted ones."));
  EXPECT_TRUE(defaultIsNo);
}

TEST_F(GridSafetyTest, EveryGridChangeIsOneStepToUndoAndRedo) {
  std::vector<std::vector<std::string>> states{Cells()};
  auto step = [&](const std::function<void()>& change) {
    change();
    states.push_back(Cells());
    ASSERT_NE(states.back(), states[states.size() - 2]);
  };
  step([&] { PasteIntoCell(0, 1, Gumbel(20)); });
  step([&] { TypeIntoCell(2, "99"); });
  step([&] {
    FocusGrid();
    Grid()->setCurrentIndex(Grid()->model()->index(4, 1));
    Action("DeleteAction")->trigger();
  });
  step([&] { Action("InsertRowAction")->trigger(); });
  step([&] {
    Grid()->selectionModel()->select(
        QItemSelection(Grid()->model()->index(0, 0), Grid()->model()->index(1, 1)), QItemSelectionModel::ClearAndSelect);
    Action("DeleteRowsAction")->trigger();
  });
  step([&] { TypeInto(Edit("NrOfDataEdit"), "25"); });
  step([&] {
    dialogs.Answers = {true};
    Button("ClearButton")->click();
  });
  FocusGrid();
  for (std::size_t i = states.size() - 1; i > 0; --i) {
    Undo();
    EXPECT_EQ(Cells(), states[i - 1]) << "undo to state " << i - 1;
    EXPECT_EQ(Rows(), static_cast<int>(states[i - 1].size()));
  }
  EXPECT_FALSE(form->Session().Unsaved);  // back where the session began
  for (std::size_t i = 1; i < states.size(); ++i) {
    Redo(i % 2 == 0);
    EXPECT_EQ(Cells(), states[i]) << "redo to state " << i;
  }
  EXPECT_TRUE(form->Session().Unsaved);
  EXPECT_EQ(Action("UndoAction")->text(), "&Undo Clear data");
}

TEST_F(GridSafetyTest, OpeningOverUnsavedDataAsksFirst) {
  const std::string path = Path("failure.inp");
  std::filesystem::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/failure.inp", path);
  TypeIntoCell(0, "5");
  dialogs.SaveAnswers = {TSaveAnswer::Cancel, TSaveAnswer::Cancel};
  Button("OpenInputButton")->click();  // no open dialog: cancelled first
  EXPECT_EQ(dialogs.Questions.back(), "The data were changed and not saved. Save them?");
  EXPECT_TRUE(dialogs.OpenSpecs.empty());
  EXPECT_EQ(Cell(0, 1), "5");
  form->OpenDataFile(path);  // dropped or recent: the same question
  EXPECT_EQ(Cell(0, 1), "5");
  EXPECT_TRUE(dialogs.SaveAnswers.empty());

  dialogs.SaveAnswers = {TSaveAnswer::Discard, TSaveAnswer::Cancel};
  dialogs.OpenNames = {path};
  Button("OpenInputButton")->click();
  EXPECT_NE(Cell(0, 1), "5");
  EXPECT_EQ(dialogs.SaveAnswers.size(), 1u);  // opened data are saved: no question
}

TEST_F(GridSafetyTest, ClosingDuringARunAsksToCancelIt) {
  PasteIntoCell(0, 1, Gumbel(30));
  form->SetStagePauseMs(2000);
  dialogs.SaveNames = {Path("stopped.inp")};
  Button("SaveRunButton")->click();
  ASSERT_TRUE(form->RunInProgress());
  dialogs.Answers = {false};
  form->close();
  EXPECT_EQ(dialogs.Questions.back(), "A run is in progress. Do you want to cancel the run?");
  EXPECT_TRUE(form->RunInProgress());
  dialogs.Answers = {true};
  form->close();
  WaitForRun();
  QTest::qWait(20);
  EXPECT_FALSE(Exists(Path("stopped.out")));
  EXPECT_TRUE(windows.Finish->isVisible());
  windows.Finish->hide();

  // A run that ends while the question is open: Yes closes at once, and the
  // next run is not closed when it ends.
  form->SetStagePauseMs(300);
  dialogs.SaveNames = {Path("second.inp")};
  Button("SaveRunButton")->click();
  ASSERT_TRUE(form->RunInProgress());
  dialogs.WhileAsking = [&] { WaitForRun(); };
  dialogs.Answers = {true};
  form->close();
  EXPECT_TRUE(windows.Finish->isVisible());
  windows.Finish->hide();
  form->SetStagePauseMs(1);
  dialogs.SaveNames = {Path("third.inp")};
  form->ShowPage(Page::Input);
  Button("SaveRunButton")->click();
  WaitForRun();
  QTest::qWait(20);
  EXPECT_FALSE(windows.Finish->isVisible());
}

TEST_F(GridSafetyTest, SaveRunDialogOpensOnTheCurrentFile) {
  const std::string path = Path("failure.inp");
  std::filesystem::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/failure.inp", path);
  dialogs.OpenNames = {path};
  Button("OpenInputButton")->click();
  dialogs.SaveNames = {std::nullopt};
  Button("SaveRunButton")->click();
  ASSERT_EQ(dialogs.SaveSpecs.size(), 1u);
  EXPECT_EQ(dialogs.SaveSpecs[0].FileName, path);
  EXPECT_EQ(dialogs.SaveSpecs[0].InitialDir, folder.path().toStdString());
  EXPECT_EQ(dialogs.LastMessage(), "The input data were not saved");
}

TEST_F(GridSafetyTest, ThresholdStaysDisabledAfterARun) {
  PasteIntoCell(0, 1, Gumbel(12));
  dialogs.SaveNames = {Path("t.inp")};
  Button("SaveRunButton")->click();
  WaitForRun();
  EXPECT_FALSE(Edit("ThresholdEdit")->isEnabled());
  EXPECT_EQ(Edit("ThresholdEdit")->text(), "not used");
  EXPECT_TRUE(Edit("TitleEdit")->isEnabled());
}

}  // namespace
}  // namespace tavorix::test
