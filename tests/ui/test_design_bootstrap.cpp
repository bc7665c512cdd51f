// The design-values window's "Bootstrap interval": the bootstrap runs on a
// worker with its progress, shows its interval beside the report's limits
// (the numbers of the bootstrap itself), goes into Copy, and Cancel leaves
// the table as it was.

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

#include "UiTestSupport.h"
#include "core/NumberFormat.h"
#include "ui/DesignValuesWindow.h"

namespace tavorix::test {
namespace {

class DesignBootstrapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = RunFailureTimesWithGumbel(folder_.path());
    ASSERT_FALSE(out_.empty());
    window_.SetDialogs(&dialogs_);
    window_.ShowFor(out_);
    ASSERT_EQ(Find<QTableWidget>("DesignTableView")->rowCount(), 10);
  }

  template <class T>
  T* Find(const char* name) { return FindIn<T>(&window_, name); }

  void WaitWhileRunning() {
    QElapsedTimer clock;
    clock.start();
    while (window_.BootstrapRunning() && clock.elapsed() < 60000) QTest::qWait(5);
    ASSERT_FALSE(window_.BootstrapRunning());
  }

  QTemporaryDir folder_;
  std::string out_;
  ScriptedDialogs dialogs_;
  DesignValuesWindow window_;
};

TEST_F(DesignBootstrapTest, ShowsTheIntervalBesideTheReportsLimits) {
  QTableWidget* table = Find<QTableWidget>("DesignTableView");
  EXPECT_TRUE(table->isColumnHidden(6));
  const int widthBefore = window_.width();
  Find<QSpinBox>("ReplicasEdit")->setValue(200);
  Find<QPushButton>("BootstrapButton")->click();
  EXPECT_TRUE(window_.BootstrapRunning());
  EXPECT_FALSE(Find<QProgressBar>("BootstrapProgress")->isHidden());
  EXPECT_FALSE(Find<QPushButton>("BootstrapButton")->isEnabled());
  WaitWhileRunning();
  EXPECT_TRUE(Find<QProgressBar>("BootstrapProgress")->isHidden());
  ASSERT_FALSE(table->isColumnHidden(6));
  ASSERT_FALSE(table->isColumnHidden(7));
  // The window widens to show the two new columns whole, as far as the
  // screen allows.
  QApplication::processEvents();
  EXPECT_GT(window_.width(), widthBefore);
  if (window_.frameGeometry().width() < window_.screen()->availableGeometry().width()) {
    EXPECT_LE(table->horizontalHeader()->length(), table->viewport()->width());
  }

  BootstrapOptions options;
  options.Replicas = 200;
  const BootstrapResult expected = RunBootstrap(LoadBootstrapSeries(out_), options);
  for (int r = 0; r < table->rowCount(); ++r) {
    EXPECT_EQ(table->item(r, 6)->text().toStdString(), FormatGeneral(expected.Rows[r].Lower)) << r;
    EXPECT_EQ(table->item(r, 7)->text().toStdString(), FormatGeneral(expected.Rows[r].Upper)) << r;
  }
  EXPECT_TRUE(Find<QLabel>("NoteLabel")->text().contains("Bootstrap: 90% interval of X from 200 replicas, 0 failed"));
  Find<QPushButton>("CopyButton")->click();
  const QStringList copied = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(copied.size(), 11);
  EXPECT_EQ(copied.front(), "T\tF\tX\tXl\tXu\textrapolated\tXl_boot\tXu_boot\tp_ks\tp_ad\tp_cvm");

  // Other return periods: a table of their own, without the interval.
  Find<QLineEdit>("PeriodsEdit")->selectAll();
  QTest::keyClicks(Find<QLineEdit>("PeriodsEdit"), "3, 7");
  QTest::keyClick(Find<QLineEdit>("PeriodsEdit"), Qt::Key_Return);
  EXPECT_EQ(table->rowCount(), 2);
  EXPECT_TRUE(table->isColumnHidden(6));
  EXPECT_FALSE(Find<QLabel>("NoteLabel")->text().contains("Bootstrap"));
  EXPECT_TRUE(dialogs_.Messages.empty());
}

TEST_F(DesignBootstrapTest, CancelLeavesTheTableWithoutAnInterval) {
  Find<QSpinBox>("ReplicasEdit")->setValue(100000);
  Find<QPushButton>("BootstrapButton")->click();
  ASSERT_TRUE(window_.BootstrapRunning());
  QTest::qWait(100);
  Find<QPushButton>("CancelBootstrapButton")->click();
  WaitWhileRunning();
  EXPECT_TRUE(Find<QTableWidget>("DesignTableView")->isColumnHidden(6));
  EXPECT_TRUE(Find<QPushButton>("BootstrapButton")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>("CancelBootstrapButton")->isHidden());
  EXPECT_TRUE(dialogs_.Messages.empty());
}

}  // namespace
}  // namespace tavorix::test
