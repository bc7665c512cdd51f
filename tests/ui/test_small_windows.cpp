// The selection window, the composite option and list, the Intro page, the
// window placement, and how the program ends.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <map>

#include "UiTestSupport.h"
#include "fitting/Registry.h"
#include "ui/OptimizationHelp.h"
#include "ui/SelectionDialog.h"

namespace tavorix::test {
namespace {

class SelectionTest : public WindowsTest {
 protected:
  void ChooseComposite(int item) {
    // One step down from the item above, as with the arrow key.
    Combo("CompositeListBox")->setCurrentIndex(item - 1);
    QTest::keyClick(Combo("CompositeListBox"), Qt::Key_Down);
  }
};

// "Best of All" and then, in the order of their selection places, every
// registry row with a button, each once and under its caption.
TEST_F(SelectionTest, WindowListsBestOfAllAndEveryRegistryRowWithAButton) {
  SelectionDialog& s = *windows.Selection;
  EXPECT_EQ(s.windowTitle(), "Tavorix: select distributions");
  EXPECT_EQ(FindIn<QGroupBox>(&s, "Choices")->title(), "Make a selection then click \"Confirm\"");
  std::map<int, std::string_view> captions;
  for (const DistributionInfo& d : Registry())
    if (d.SelectPlace > 0) captions.emplace(d.SelectPlace, d.Caption);
  std::vector<std::string> expected{"Best of All Distributions"};
  for (const auto& [place, caption] : captions) expected.emplace_back(caption);
  const auto buttons = static_cast<int>(s.findChildren<QRadioButton*>().size());
  std::vector<std::string> shown;
  for (int i = 1; i <= buttons; ++i)
    if (QRadioButton* choice = Choice(i)) shown.push_back(choice->text().toStdString());
  EXPECT_EQ(shown, expected);
  EXPECT_TRUE(Choice(1)->isChecked());
  EXPECT_EQ(FindIn<QPushButton>(&s, "ConfirmButton")->text(), " Confirm");
  Button("SelectDistributionButton")->click();
  EXPECT_TRUE(s.isVisible());
}

TEST_F(SelectionTest, ConfirmingStandardGumbelPrefersCodeFourAndSwitchesCompositesOff) {
  // Composites allowed and a ranked list of an earlier run beside the file.
  QTest::keyClick(Combo("CompositeOptionBox"), Qt::Key_Down);
  ASSERT_EQ(Combo("CompositeOptionBox")->currentIndex(), 1);
  ASSERT_TRUE(CompositeOnForRun(form->Session()));
  dm->FileName = Path("run.inp");
  WriteFile(Path("run.Lst"), "list");
  Button("RankedListButton")->show();
  Button("SelectDistributionButton")->click();

  ConfirmPreference("4");
  EXPECT_EQ(Edit("PreferredDistributionEdit")->text(), "standard Gumbel distribution");
  EXPECT_EQ(dialogs.Messages, (std::vector<std::string>{"Please be aware that the standard Gumbel distribution "
                                                        "selected may or may not be suitable in this case."}));
  EXPECT_EQ(Combo("CompositeOptionBox")->currentIndex(), 0);
  EXPECT_TRUE(Combo("CompositeListBox")->isHidden());
  EXPECT_FALSE(CompositeOnForRun(form->Session()));
  EXPECT_FALSE(Exists(Path("run.Lst")));
  EXPECT_TRUE(Button("RankedListButton")->isHidden());
  EXPECT_FALSE(windows.Selection->isVisible());
}

TEST_F(SelectionTest, ConfirmingBestOfAllShowsNoWarning) {
  ConfirmPreference("39");  // Kumaraswamy is preferred by the text "39"
  EXPECT_EQ(Edit("PreferredDistributionEdit")->text(), "Kumaraswamy generalized distribution");
  dialogs.Messages.clear();
  ConfirmChoice(1);
  EXPECT_EQ(dm->SelectionCode, "1");
  EXPECT_EQ(Edit("PreferredDistributionEdit")->text(), "Best of All distributions");
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(SelectionTest, SwitchingTheCompositeOptionResetsTheChoice) {
  ConfirmPreference("4");
  QTest::keyClick(Combo("CompositeOptionBox"), Qt::Key_Down);
  EXPECT_EQ(Combo("CompositeOptionBox")->currentIndex(), 1);
  EXPECT_EQ(dm->SelectionCode, "1");
  EXPECT_EQ(Edit("PreferredDistributionEdit")->text(), "Best of All Distributions");
  EXPECT_TRUE(Choice(1)->isChecked());
  EXPECT_TRUE(CompositeOnForRun(form->Session()));
  EXPECT_FALSE(Combo("CompositeListBox")->isHidden());
  EXPECT_FALSE(Widget("CompositeListLabel")->isHidden());
  EXPECT_FALSE(Button("SelectDistributionButton")->isHidden());

  ChooseComposite(2);
  ASSERT_EQ(dm->SelectionCode, "9");
  QTest::keyClick(Combo("CompositeOptionBox"), Qt::Key_Up);
  EXPECT_EQ(Combo("CompositeOptionBox")->currentIndex(), 0);
  EXPECT_EQ(dm->SelectionCode, "1");
  EXPECT_FALSE(CompositeOnForRun(form->Session()));
  EXPECT_TRUE(Combo("CompositeListBox")->isHidden());
}

TEST_F(SelectionTest, CompositeListSetsTheCodeAndRefusesItsSeparator) {
  QTest::keyClick(Combo("CompositeOptionBox"), Qt::Key_Down);
  EXPECT_EQ(Combo("CompositeListBox")->count(), 25);
  EXPECT_EQ(Combo("CompositeListBox")->maxVisibleItems(), 25);

  ChooseComposite(16);
  EXPECT_EQ(dm->SelectionCode, "90");
  EXPECT_EQ(Edit("PreferredDistributionEdit")->text(), "See \"Select composite distribution\"");
  EXPECT_TRUE(Button("RankedListButton")->isHidden());

  ChooseComposite(13);
  EXPECT_EQ(dialogs.LastMessage(), "This is not a selection option");
  EXPECT_EQ(Combo("CompositeListBox")->currentIndex(), 0);
  EXPECT_EQ(dm->SelectionCode, "1");
  EXPECT_EQ(Edit("PreferredDistributionEdit")->text(), "Best of All distributions");
  EXPECT_TRUE(CompositeOnForRun(form->Session()));
}

TEST(MainWindowPlacement, NarrowScreensShrinkTheWindow) {
  EXPECT_EQ(MainWindowPlacement(700).Left, 5);
  EXPECT_EQ(MainWindowPlacement(700).Width, 695);
  EXPECT_EQ(MainWindowPlacement(800).Left, 100);
  EXPECT_EQ(MainWindowPlacement(800).Width, 747);
  EXPECT_EQ(MainWindowPlacement(1280).Left, 100);
  EXPECT_EQ(MainWindowPlacement(1280).Width, 760);
}

using MainWindowTest = WindowsTest;

TEST_F(MainWindowTest, WindowOnASevenHundredPixelScreen) {
  form->PlaceWindow(700);
  EXPECT_EQ(form->geometry().x(), 5);
  EXPECT_EQ(form->width(), 695);
}

TEST_F(MainWindowTest, ClosingTheMainWindowShowsTheFinishWindow) {
  EXPECT_FALSE(form->close());
  EXPECT_TRUE(form->isVisible());
  ASSERT_TRUE(windows.Finish->isVisible());
  EXPECT_EQ(windows.Finish->windowTitle(), "Tavorix finish");
  EXPECT_FALSE(ended);
  FindIn<QPushButton>(windows.Finish.get(), "FinishButton")->click();
  EXPECT_TRUE(ended);
}

TEST_F(MainWindowTest, FinishWindowOpensCentredOnTheMainWindowAndWholeOnTheScreen) {
  form->resize(400, 300);
  form->move(60, 40);
  QApplication::setActiveWindow(form);
  form->close();
  ASSERT_TRUE(windows.Finish->isVisible());
  const QRect finish = windows.Finish->frameGeometry();
  EXPECT_TRUE(form->screen()->availableGeometry().contains(finish));
  EXPECT_LE((finish.center() - form->frameGeometry().center()).manhattanLength(), 2);
}

TEST_F(MainWindowTest, PagesAndIntroHelp) {
  ASSERT_EQ(Find<QTabWidget>("Pages")->count(), 4);
  EXPECT_EQ(Find<QTabWidget>("Pages")->tabText(0), "  Intro  ");
  EXPECT_EQ(Find<QTabWidget>("Pages")->tabText(1), "  Input  ");
  EXPECT_EQ(Find<QTabWidget>("Pages")->tabText(2), "  Output  ");
  EXPECT_EQ(Find<QTabWidget>("Pages")->tabText(3), " Graphics ");

  form->ShowPage(Page::Intro);
  EXPECT_EQ(form->StatusText(), "Click on the Input tab to proceed.");
  EXPECT_FALSE(Action("SaveRunAction")->isEnabled());
  const std::vector<std::pair<QPushButton*, QPlainTextEdit*>> help = {
      {Button("DistributionsButton"), Text("DistributionsText")},
      {Button("CompositionButton"), Text("CompositionText")},
      {Button("ConfidenceButton"), Text("ConfidenceText")},
      {Button("IntervalsButton"), Text("IntervalsText")},
      {Button("IntroductionButton"), Text("IntroductionText")}};
  for (const auto& [button, text] : help) {
    button->click();
    for (const auto& [other, otherText] : help) EXPECT_EQ(otherText->isHidden(), otherText != text);
  }
  EXPECT_TRUE(Text("ConfidenceText")->toPlainText().contains("Sd = sqrt{Fc(1-Fc)/N}"));
  for (const auto& [button, memo] : help) {
    EXPECT_FALSE(memo->toPlainText().contains("http"));
    EXPECT_FALSE(memo->toPlainText().contains("@"));
  }

  // Output page before any results: only "Open output" is offered.
  form->ShowPage(Page::Output);
  for (const char* name : {"GraphicsButton", "GoodnessButton", "OptimizationButton", "CalculatorButton"})
    EXPECT_TRUE(Button(name)->isHidden()) << name;
  EXPECT_FALSE(Button("OpenOutputButton")->isHidden());
  form->ShowPage(Page::Graphics);
  EXPECT_TRUE(Widget("GraphChoices")->isHidden());
  EXPECT_TRUE(Button("SaveGraphButton")->isHidden());
}

TEST_F(MainWindowTest, OptimisationWindowText) {
  EXPECT_EQ(windows.Optimization->windowTitle(), "Explanation optimization");
  EXPECT_EQ(FindIn<QPlainTextEdit>(windows.Optimization.get(), "OptimizationText")->toPlainText().split('\n').front(),
            " The optimized parameters M and sigma in the normal probability distribution");
}

}  // namespace
}  // namespace tavorix::test

namespace tavorix::test {
namespace {

TEST(FileDialogs, FilterPairsBecomeQtFiltersAndNamesGetTheDefaultExtension) {
  EXPECT_EQ(QtFilterFromPairs("Input files (*.inp)|*.inp"), "Input files (*.inp)");
  EXPECT_EQ(QtFilterFromPairs("Graph files (*.bmp)|*.bmp|All files (*.*)|*.*"),
            "Graph files (*.bmp);;All files (*.*)");
  EXPECT_EQ(WithDefaultExtension("/d/series", "inp"), "/d/series.inp");
  EXPECT_EQ(WithDefaultExtension("/d/results", ".out"), "/d/results.out");
  EXPECT_EQ(WithDefaultExtension("/d/graph.png", "bmp"), "/d/graph.png");
  EXPECT_EQ(WithDefaultExtension("/d.x/series", "inp"), "/d.x/series.inp");
}

}  // namespace
}  // namespace tavorix::test
