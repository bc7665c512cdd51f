// The bootstrap interval of X in the calculator and as the band of graphs 4
// and 8: made on a worker with progress and Cancel, shown (or drawn) when it
// ends, nothing when it is cancelled. Small replica counts keep them quick.

#include <QCheckBox>
#include <QProgressBar>
#include <QSpinBox>

#include "UiTestSupport.h"
#include "calculator/Bootstrap.h"
#include "core/NumberFormat.h"
#include "graphs/GraphData.h"
#include "ui/CalculatorWindow.h"

namespace tavorix::test {
namespace {

// Waits until `running` says the bootstrap has ended (at most a minute).
template <class Running>
void WaitWhile(Running running) {
  QElapsedTimer clock;
  clock.start();
  while (running() && clock.elapsed() < 60000) QTest::qWait(5);
  ASSERT_FALSE(running()) << "the bootstrap did not end";
}

class CalculatorBootstrapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = RunFailureTimesWithGumbel(folder_.path());
    ASSERT_FALSE(out_.empty());
    window_.SetFileName(out_);
    window_.show();
  }
  template <class T>
  T* Find(const char* name) { return FindIn<T>(&window_, name); }
  QLineEdit* Field(const char* name) { return Find<QLineEdit>(name); }
  void AskPeriod(const char* period) {
    Field("PeriodEdit")->clear();
    QTest::keyClicks(Field("PeriodEdit"), period);
    QTest::keyClick(Field("PeriodEdit"), Qt::Key_Return);
    ASSERT_FALSE(Field("XOfFrequency")->text().isEmpty());
  }
  void StartBootstrap(int replicas) {
    Find<QSpinBox>("ReplicasEdit")->setValue(replicas);
    Find<QPushButton>("BootstrapButton")->click();
    ASSERT_TRUE(window_.BootstrapRunning());
  }
  void Wait() { WaitWhile([this] { return window_.BootstrapRunning(); }); }
  bool NoInterval() {
    return Field("XLowerBootstrap")->text().isEmpty() && Field("XUpperBootstrap")->text().isEmpty() &&
           Find<QLabel>("BootstrapNote")->text().isEmpty();
  }

  QTemporaryDir folder_;
  std::string out_;
  ScriptedDialogs dialogs_;
  CalculatorWindow window_{nullptr, &dialogs_};
};

TEST_F(CalculatorBootstrapTest, IntervalOfTheXComputedBracketsIt) {
  // Nothing to bootstrap before the lower half shows an X.
  EXPECT_FALSE(Find<QPushButton>("BootstrapButton")->isEnabled());
  // The upper half keeps its result while the focus moves off the buttons.
  QApplication::setActiveWindow(&window_);
  Field("XValueEdit")->setText("150");
  Find<QPushButton>("GoFromXButton")->click();
  AskPeriod("100");
  const double x = Field("XOfFrequency")->text().toDouble();
  Find<QPushButton>("BootstrapButton")->setFocus();
  StartBootstrap(30);
  EXPECT_FALSE(Find<QProgressBar>("BootstrapProgress")->isHidden());
  EXPECT_FALSE(Find<QPushButton>("CancelBootstrapButton")->isHidden());
  EXPECT_FALSE(Field("PeriodEdit")->isEnabled());
  Wait();
  EXPECT_TRUE(Find<QProgressBar>("BootstrapProgress")->isHidden());
  EXPECT_TRUE(Field("PeriodEdit")->isEnabled());
  EXPECT_FALSE(Field("FrequencyOfX")->text().isEmpty());

  // The numbers of the bootstrap itself at T = 100, around the X of the fit.
  BootstrapOptions options;
  options.Replicas = 30;
  options.Periods = {100};
  const BootstrapResult expected = RunBootstrap(LoadBootstrapSeries(out_), options);
  EXPECT_EQ(Field("XLowerBootstrap")->text().toStdString(), FormatGeneral(expected.Rows[0].Lower));
  EXPECT_EQ(Field("XUpperBootstrap")->text().toStdString(), FormatGeneral(expected.Rows[0].Upper));
  EXPECT_LT(Field("XLowerBootstrap")->text().toDouble(), x);
  EXPECT_GT(Field("XUpperBootstrap")->text().toDouble(), x);
  EXPECT_EQ(Find<QLabel>("BootstrapNote")->text(), "90% interval of X from 30 replicas, 0 failed");
  EXPECT_TRUE(dialogs_.Messages.empty()) << dialogs_.LastMessage();

  // Another frequency: the interval belonged to the X before.
  window_.FrequencyFieldEnter();
  EXPECT_TRUE(NoInterval());
  EXPECT_FALSE(Find<QPushButton>("BootstrapButton")->isEnabled());
}

TEST_F(CalculatorBootstrapTest, CancelAndClosingStopItWithoutAnInterval) {
  AskPeriod("50");
  StartBootstrap(100000);
  // The bar counts the replicas as they come.
  QProgressBar* bar = Find<QProgressBar>("BootstrapProgress");
  for (int i = 0; i < 1000 && bar->value() <= 0; ++i) QTest::qWait(10);
  EXPECT_GT(bar->value(), 0);
  EXPECT_EQ(bar->maximum(), 100000);
  Find<QPushButton>("CancelBootstrapButton")->click();
  Wait();
  EXPECT_LT(Find<QProgressBar>("BootstrapProgress")->value(), 100000);
  EXPECT_TRUE(NoInterval());
  EXPECT_TRUE(Find<QPushButton>("CancelBootstrapButton")->isHidden());
  EXPECT_TRUE(Find<QPushButton>("BootstrapButton")->isEnabled());

  StartBootstrap(100000);
  window_.close();
  Wait();
  EXPECT_LT(Find<QProgressBar>("BootstrapProgress")->value(), 100000);
  EXPECT_TRUE(NoInterval());
  EXPECT_TRUE(dialogs_.Messages.empty()) << dialogs_.LastMessage();
}

// The Graphics page of the main window on the same run, opened as a results file.
class GraphBandTest : public WindowsTest {
 protected:
  void SetUp() override {
    WindowsTest::SetUp();
    out = RunFailureTimesWithGumbel(folder.path());
    ASSERT_FALSE(out.empty());
    form->ShowPage(Page::Output);
    dialogs.OpenNames.push_back(out);
    Button("OpenOutputButton")->click();
    Button("GraphicsButton")->click();
    ASSERT_EQ(form->CurrentPage(), Page::Graphics);
  }
  GraphicsPage* Graphics() const { return Find<GraphicsPage>("GraphicsPage"); }
  void Wait() { WaitWhile([this] { return Graphics()->BandRunning(); }); }
  // Magenta pixels of the plot below the legends.
  static int BandPixels(const QImage& graph) {
    int magenta = 0;
    for (int y = 130; y < 400; ++y)
      for (int x = 70; x < 600; ++x) magenta += graph.pixelColor(x, y) == QColor(255, 0, 255) ? 1 : 0;
    return magenta;
  }
  void Draw(int type, bool band, int replicas = 20) {
    GraphChoice(type)->setChecked(true);
    Find<QCheckBox>("BandBox")->setChecked(band);
    Find<QSpinBox>("BandReplicasEdit")->setValue(replicas);
    Button("GoButton")->click();
  }

  std::string out;
};

TEST_F(GraphBandTest, GraphsFourAndEightDrawTheBandAndSaveIt) {
  for (int type : {1, 3, 5, 7}) {
    GraphChoice(type)->setChecked(true);
    EXPECT_FALSE(Find<QCheckBox>("BandBox")->isEnabled()) << type;
  }
  for (int type : {kGraphReturnPeriods, kGraphProbabilityPaper}) {
    Draw(type, false);
    EXPECT_FALSE(Graphics()->BandRunning());
    EXPECT_EQ(BandPixels(DrawnGraph()), 0) << type;
    Button("GraphSelectionButton")->click();

    Draw(type, true);
    ASSERT_TRUE(Graphics()->BandRunning()) << type;
    EXPECT_FALSE(Widget("BandProgress")->isHidden());
    EXPECT_FALSE(Button("SaveGraphButton")->isEnabled());
    Wait();
    EXPECT_TRUE(Widget("BandProgress")->isHidden());
    EXPECT_GT(BandPixels(DrawnGraph()), 50) << type;

    // The saved graph keeps the band, without a second bootstrap.
    const std::string png = Path("band" + std::to_string(type) + ".png");
    dialogs.SaveNames = {png};
    Button("SaveGraphButton")->click();
    EXPECT_FALSE(Graphics()->BandRunning());
    EXPECT_GT(BandPixels(QImage(QString::fromStdString(png))), 50) << type;
    Button("GraphSelectionButton")->click();
  }
  for (const std::string& message : dialogs.Messages)
    EXPECT_EQ(message.rfind("The graph was saved in", 0), 0u) << message;
}

TEST_F(GraphBandTest, CancelLeavesTheGraphWithoutTheBand) {
  Draw(kGraphProbabilityPaper, true, 100000);
  ASSERT_TRUE(Graphics()->BandRunning());
  QTest::qWait(50);
  Button("CancelBandButton")->click();
  Wait();
  EXPECT_EQ(BandPixels(DrawnGraph()), 0);
  EXPECT_TRUE(Button("SaveGraphButton")->isEnabled());
  EXPECT_TRUE(dialogs.Messages.empty()) << dialogs.LastMessage();
}

}  // namespace
}  // namespace tavorix::test
