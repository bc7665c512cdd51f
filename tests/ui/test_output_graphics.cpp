// The Output and Graphics pages on a results file written by hand from the
// report layout: eight ranked values of a Gumbel fit, with their parameter
// file.

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "UiTestSupport.h"
#include "graphs/GraphData.h"

namespace tavorix::test {
namespace {

constexpr const char* kReport =
    " RESULTS OF Tavorix PROGRAM\r\n"
    " Cumulative frequency analysis\r\n"
    "\r\n"
    " Hand-made series\r\n"
    " Values in mm\r\n"
    " Name of input file used: hand.inp\r\n"
    " Number of data used: 8\r\n"
    "\r\n"
    " Gumbel distribution\r\n"
    "\r\n"
    "\r\n"
    " Observed and calculated cumulative frequencies\r\n"
    " ------------------------------------------------------------------\r\n"
    "   X-value   Serial    Cumulative frequency (%)       90%conf limit\r\n"
    "   Ranked     No.      Rank      Calc.    St.Dev     Lower    Upper\r\n"
    " ------------------------------------------------------------------\r\n"
    "   1.000      3       11.11     12.00     11.49      7.31    44.370\r\n"
    "   2.000      1       22.22     21.00     14.40     14.58    59.680\r\n"
    "   3.000      8       33.33     32.00     16.49     22.00    70.120\r\n"
    "   4.000      2       44.44     45.00     17.59     31.00    77.890\r\n"
    "   5.000      7       55.56     56.00     17.55     41.00    82.800\r\n"
    "   6.000      4       66.67     66.00     16.75     50.00    86.860\r\n"
    "   7.000      6       77.78     77.00     14.88     62.00    90.780\r\n"
    "   8.000      5       88.89     88.00     11.49     75.00    94.690\r\n"
    " ------------------------------------------------------------------\r\n"
    " Average of absolute differences between calculated and\r\n"
    " observed frequencies :      2.57%\r\n"
    " Efficiency coefficient (R^2) of calculated and observed\r\n"
    " cumulative frequency :     0.9950\r\n";

// Gumbel: Fc = exp(-exp(-(A*X + B))) with A = 0.5, B = -1.5; Shift 0.0001
// leaves the values unmoved.
constexpr const char* kParameters =
    " Parameters for internal use, do not remove.\r\n"
    "4\r\n"
    " 5.00000000000000E-0001\r\n"
    "-1.50000000000000E+0000\r\n"
    " 1.00000000000000E-0004\r\n";

class ResultsFileTest : public WindowsTest {
 protected:
  void SetUp() override {
    WindowsTest::SetUp();
    out = Path("hand.out");
    WriteFile(out, kReport);
    WriteFile(Path("hand.aux"), kParameters);
  }

  void OpenFromOutputPage() {
    form->ShowPage(Page::Output);
    dialogs.OpenNames.push_back(out);
    Button("OpenOutputButton")->click();
  }

  QColor PixelAt(int x, int y) const { return DrawnGraph().pixelColor(x, y); }

  std::string out;
};

TEST(GoodnessOfFitText, ThirdLineEndsWithTheValueInFivePointTwo) {
  const QStringList lines = GoodnessOfFitLines(1.234);
  ASSERT_EQ(lines.size(), 11);
  EXPECT_EQ(lines.at(2), "In this case the AvAbsDiff = 1.23 %");
  EXPECT_EQ(lines.at(10), "            AvAbsDiff > 5%    very poor");
  EXPECT_EQ(GoodnessOfFitLines(12.345).at(2), "In this case the AvAbsDiff =12.35 %");
}

TEST_F(ResultsFileTest, GoodnessAfterARunTakesTheValueOfTheRun) {
  dm->AvAbsDiff = 1.234;
  form->State().ResultsComplete = true;
  Button("GoodnessButton")->click();
  EXPECT_FALSE(Widget("GoodnessPanel")->isHidden());
  EXPECT_EQ(Text("GoodnessText")->toPlainText().split('\n').at(2), "In this case the AvAbsDiff = 1.23 %");
  Button("CloseGoodnessButton")->click();
  EXPECT_TRUE(Widget("GoodnessPanel")->isHidden());
}

TEST_F(ResultsFileTest, OpenedResultsFileFillsTheOutputPage) {
  OpenFromOutputPage();
  EXPECT_TRUE(dialogs.Messages.empty()) << dialogs.LastMessage();
  EXPECT_EQ(dialogs.OpenSpecs.at(0).Filter, "Output files (*.out)|*.out");
  EXPECT_EQ(form->CurrentPage(), Page::Output);
  EXPECT_EQ(Text("ReportText")->toPlainText().split('\n').at(3), " Hand-made series");
  EXPECT_EQ(form->State().ResultsCode, 4);
  EXPECT_EQ(dm->FileName, out);
  EXPECT_FALSE(Button("GraphicsButton")->isHidden());
  EXPECT_FALSE(Button("CalculatorButton")->isHidden());
  EXPECT_TRUE(Button("GoodnessButton")->isHidden());   // 8 data
  EXPECT_TRUE(Button("RankedListButton")->isHidden());  // no ranked list beside it
  EXPECT_TRUE(Button("OptimizationButton")->isHidden());
  EXPECT_EQ(form->StatusText(), "The output file can be imported into spreadsheets");
  EXPECT_EQ(form->State().DialogFolder, folder.path().toStdString());

  // The parameter file holds no AvAbsDiff: it comes from the report.
  Button("GoodnessButton")->click();
  EXPECT_EQ(Text("GoodnessText")->toPlainText().split('\n').at(2), "In this case the AvAbsDiff = 2.57 %");
}

TEST_F(ResultsFileTest, ResultsFileWithoutParameterFileAsksForANewRun) {
  std::filesystem::remove(Path("hand.aux"));
  OpenFromOutputPage();
  EXPECT_TRUE(dialogs.Showed(" If you wish to make use of the calculator, run the program again"));
  EXPECT_TRUE(Button("CalculatorButton")->isHidden());
}

TEST_F(ResultsFileTest, GraphsAreDrawnSavedAndOpened) {
  OpenFromOutputPage();
  Button("GraphicsButton")->click();
  ASSERT_EQ(form->CurrentPage(), Page::Graphics);
  EXPECT_FALSE(Widget("GraphChoices")->isHidden());
  EXPECT_TRUE(Button("SaveGraphButton")->isHidden());

  GraphChoice(1)->setChecked(true);
  Button("GoButton")->click();
  ASSERT_TRUE(dialogs.Messages.empty()) << dialogs.LastMessage();
  EXPECT_FALSE(Label("GraphImage")->isHidden());
  EXPECT_TRUE(Widget("GraphChoices")->isHidden());
  EXPECT_FALSE(Button("SaveGraphButton")->isHidden());
  EXPECT_FALSE(Button("GraphSelectionButton")->isHidden());
  ASSERT_EQ(DrawnGraph().size(), QSize(623, 441));
  EXPECT_EQ(PixelAt(5, 5), QColor(192, 192, 192));
  EXPECT_EQ(PixelAt(300, 410), QColor(0, 0, 139));
  // Eight points: the belt is drawn, so it can be switched off.
  EXPECT_FALSE(Button("BeltButton")->isHidden());
  Button("BeltButton")->click();
  EXPECT_EQ(Button("BeltButton")->text(), "Show conf. belt");
  EXPECT_FALSE(form->State().BeltOn);
  Button("BeltButton")->click();
  EXPECT_EQ(Button("BeltButton")->text(), "Hide conf. belt");
  EXPECT_TRUE(form->State().BeltOn);

  // Black and white is saved; the next drawing is in colour again.
  const std::string bmp = Path("graph.bmp");
  dialogs.SaveNames = {bmp};
  Button("SaveBlackWhiteButton")->click();
  EXPECT_EQ(dialogs.LastMessage(), "The graph was saved in  " + bmp);
  EXPECT_NE(dialogs.SaveSpecs.back().Filter.find("(*.svg)|*.svg"), std::string::npos);
  EXPECT_NE(dialogs.SaveSpecs.back().Filter.find("(*.pdf)|*.pdf"), std::string::npos);
  EXPECT_EQ(PixelAt(300, 410), QColor(255, 255, 255));
  QImage saved(QString::fromStdString(bmp));
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), QSize(623, 441));
  EXPECT_EQ(saved.pixelColor(300, 410), QColor(255, 255, 255));
  Button("GoButton")->click();
  EXPECT_EQ(PixelAt(300, 410), QColor(0, 0, 139));

  // Refusing to overwrite leaves the file and says nothing.
  const auto messages = dialogs.Messages.size();
  dialogs.SaveNames = {bmp};
  dialogs.Answers = {false};
  Button("SaveGraphButton")->click();
  EXPECT_EQ(dialogs.Messages.size(), messages);
  EXPECT_EQ(QImage(QString::fromStdString(bmp)).pixelColor(300, 410), QColor(255, 255, 255));

  dialogs.SaveNames = {std::nullopt};
  Button("SaveGraphButton")->click();
  EXPECT_EQ(dialogs.LastMessage(), "The graph was not saved");

  // The vector formats by the name.
  dialogs.SaveNames = {Path("graph.svg"), Path("graph.pdf")};
  Button("SaveGraphButton")->click();
  Button("SaveGraphButton")->click();
  EXPECT_NE(ReadFile(Path("graph.svg")).find("<svg"), std::string::npos);
  EXPECT_EQ(ReadFile(Path("graph.pdf")).substr(0, 4), "%PDF");

  // Opening the saved graph shows it as a picture.
  dialogs.OpenNames = {bmp};
  Button("OpenGraphButton")->click();
  EXPECT_FALSE(Label("PictureImage")->isHidden());
  EXPECT_TRUE(Label("GraphImage")->isHidden());
  EXPECT_TRUE(Text("ReportText")->isHidden());
  EXPECT_TRUE(form->State().GraphMade);
}

// The graph fills a larger window, drawn anew at its size (not a stretched
// bitmap); the saved file keeps the 623 x 441 layout; an opened picture
// larger than the area is scaled to fit it.
TEST_F(ResultsFileTest, GraphsFollowTheSizeOfTheGraphArea) {
  OpenFromOutputPage();
  Button("GraphicsButton")->click();
  Button("GoButton")->click();
  QApplication::processEvents();
  const QPixmap atStart = Label("GraphImage")->pixmap();
  EXPECT_EQ(atStart.deviceIndependentSize().toSize(), Label("GraphImage")->size());
  EXPECT_GE(Label("GraphImage")->width(), 623);

  form->resize(1600, 1200);
  QTest::qWait(50);
  const QPixmap large = Label("GraphImage")->pixmap();
  const QSize shown = Label("GraphImage")->size();
  EXPECT_GT(shown.width(), 900);
  EXPECT_NEAR(static_cast<double>(shown.width()) / shown.height(), 623.0 / 441.0, 0.01);
  EXPECT_EQ(large.deviceIndependentSize().toSize(), shown);
  // The plot area is where the layout puts it, scaled: dark blue at (300, 410).
  const double scale = shown.width() / 623.0;
  const QImage image = large.toImage();
  EXPECT_EQ(image.pixelColor(static_cast<int>(300 * scale * large.devicePixelRatio()),
                             static_cast<int>(410 * scale * large.devicePixelRatio())),
            QColor(0, 0, 139));
  const std::string png = Path("graph.png");
  dialogs.SaveNames = {png};
  Button("SaveGraphButton")->click();
  EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(623, 441));

  form->resize(760, 580);
  QImage big(2000, 1000, QImage::Format_RGB32);
  big.fill(Qt::red);
  ASSERT_TRUE(big.save(QString::fromStdString(Path("big.png"))));
  dialogs.OpenNames = {Path("big.png")};
  Button("OpenGraphButton")->click();
  QTest::qWait(50);
  const QSize area = Label("PictureImage")->parentWidget()->parentWidget()->size();
  const QSize picture = Label("PictureImage")->size();
  EXPECT_LE(picture.width(), area.width());
  EXPECT_LE(picture.height(), area.height());
  EXPECT_NEAR(static_cast<double>(picture.width()) / picture.height(), 2.0, 0.02);
}

TEST_F(ResultsFileTest, GraphPageResetAndMissingChoice) {
  OpenFromOutputPage();
  Button("GraphicsButton")->click();
  Button("GoButton")->click();
  Button("GraphSelectionButton")->click();
  EXPECT_EQ(form->StatusText(), "Select type of graph");
  EXPECT_FALSE(Widget("GraphChoices")->isHidden());
  for (const char* name : {"GraphImage", "GraphSelectionButton", "SaveGraphButton", "SaveBlackWhiteButton", "BeltButton"})
    EXPECT_TRUE(Widget(name)->isHidden()) << name;

  // Gamma results, inverted numerically, have the confidence belt of X and
  // the Q-Q graph too.
  form->State().ResultsCode = 61;
  form->ShowPage(Page::Output);
  Button("GraphicsButton")->click();
  EXPECT_TRUE(GraphChoice(3)->isEnabled());
  EXPECT_TRUE(GraphChoice(kGraphQuantiles)->isEnabled());
}

TEST_F(ResultsFileTest, QuantileAndProbabilityPaperGraphs) {
  OpenFromOutputPage();
  Button("GraphicsButton")->click();
  for (int type : {kGraphQuantiles, kGraphProbabilityPaper}) {
    GraphChoice(type)->setChecked(true);
    Button("GoButton")->click();
    ASSERT_TRUE(dialogs.Messages.empty()) << type << ": " << dialogs.LastMessage();
    // Observed points in aqua on the plot.
    int aqua = 0;
    for (int y = 100; y < 350; ++y)
      for (int x = 70; x < 570; ++x) aqua += PixelAt(x, y) == QColor(0, 255, 255) ? 1 : 0;
    EXPECT_GT(aqua, 8 * 6) << "type " << type;
    Button("GraphSelectionButton")->click();
  }
}

TEST_F(ResultsFileTest, ExportsAndCopyOfTheTableUnderTheCursor) {
  OpenFromOutputPage();
  ASSERT_FALSE(Button("ExportButton")->isHidden());
  dialogs.SaveNames = {Path("tables"), Path("page.html")};
  Action("ExportCsvAction")->trigger();
  EXPECT_EQ(dialogs.LastMessage(), "The tables were saved as CSV files in  " + Path("tables"));
  EXPECT_TRUE(std::filesystem::exists(Path("tables/frequencies.csv")));
  Action("ExportHtmlAction")->trigger();
  EXPECT_EQ(dialogs.LastMessage(), "The report was saved in  " + Path("page.html"));
  EXPECT_NE(ReadFile(Path("page.html")).find("<svg"), std::string::npos);

  // The cursor on the third row of the frequency table.
  QTextCursor cursor(Text("ReportText")->document()->findBlockByNumber(0));
  const QString text = Text("ReportText")->toPlainText();
  const int row = text.indexOf("   3.000      8");
  ASSERT_GE(row, 0);
  cursor.setPosition(row);
  Text("ReportText")->setTextCursor(cursor);
  Button("CopyTableButton")->click();
  const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 9);
  EXPECT_EQ(lines[0], "X\tserial\trank %\tcalculated %\tst.dev %\tlower %\tupper %");
  EXPECT_EQ(lines[3], "3\t8\t33.33\t32\t16.49\t22\t70.12");

  // Outside every table the user is told where to click.
  Text("ReportText")->setTextCursor(QTextCursor(Text("ReportText")->document()->findBlockByNumber(0)));
  Button("CopyTableButton")->click();
  EXPECT_EQ(dialogs.LastMessage(), "Click into a table of the results first, then copy it");
}

TEST_F(ResultsFileTest, GraphOpenFailures) {
  dialogs.OpenNames = {std::nullopt, Path("none.bmp")};
  Button("OpenGraphButton")->click();
  Button("OpenGraphButton")->click();
  EXPECT_EQ(dialogs.Messages, (std::vector<std::string>{"No graphics file was selected",
                                                        "File does not exist, please select another one"}));
}

TEST(BeltToggle, OfferedOnlyWhereTheBeltIsDrawn) {
  EXPECT_TRUE(BeltToggleOffered(1, 250));
  EXPECT_FALSE(BeltToggleOffered(1, 251));
  EXPECT_TRUE(BeltToggleOffered(3, 250));
  EXPECT_FALSE(BeltToggleOffered(3, 251));
  EXPECT_TRUE(BeltToggleOffered(4, 100));
  EXPECT_TRUE(BeltToggleOffered(8, 2500));
  for (int type : {2, 5, 6, 7}) EXPECT_FALSE(BeltToggleOffered(type, 10));
}

}  // namespace
}  // namespace tavorix::test
