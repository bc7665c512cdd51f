// The ranked-list window's goodness-of-fit columns and the Output page's
// design values, after a run of an example series.

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <QScreen>

#include "UiTestSupport.h"
#include "ui/CalculatorWindow.h"
#include "ui/DesignValuesWindow.h"
#include "ui/RankedListWindow.h"

namespace tavorix::test {
namespace {

class FitTablesTest : public WindowsTest {
 protected:
  // Save-Run on a copy of the 24 failure times.
  void RunFailureExample() {
    const std::string path = Path("failure.inp");
    std::filesystem::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/failure.inp", path);
    dialogs.OpenNames = {path};
    Button("OpenInputButton")->click();
    dialogs.Answers = {true};
    dialogs.SaveNames = {path};
    Button("SaveRunButton")->click();
    WaitForRun();
    ASSERT_TRUE(Exists(Path("failure.out")));
  }

  static std::vector<double> Column(const QTableWidget* t, int c) {
    std::vector<double> v;
    for (int r = 0; r < t->rowCount(); ++r) v.push_back(t->item(r, c) ? t->item(r, c)->text().toDouble() : NAN);
    return v;
  }
};

TEST_F(FitTablesTest, RankedListShowsTheStatisticsOfEveryFitSortsCopiesAndSaves) {
  RunFailureExample();
  Button("RankedListButton")->click();
  RankedListWindow* list = windows.RankedList.get();
  QTableWidget* table = FindIn<QTableWidget>(list, "FitTable");

  // One row per entry of the file, in its order, every statistic filled.
  const std::string lst = ReadFile(Path("failure.Lst"));
  std::vector<std::string> names;
  for (std::size_t at = lst.find("\r\n Average = "); at != std::string::npos; at = lst.find("\r\n Average = ", at + 1))
    names.push_back(lst.substr(lst.rfind("\r\n", at - 1) + 3, at - lst.rfind("\r\n", at - 1) - 3));
  ASSERT_EQ(table->rowCount(), static_cast<int>(names.size()));
  for (int r = 0; r < table->rowCount(); ++r) {
    EXPECT_EQ(table->item(r, 1)->text().toStdString(), names[r]);
    for (int c = 3; c <= 5; ++c) EXPECT_FALSE(table->item(r, c)->text().isEmpty()) << r << " " << c;
    EXPECT_GE(table->item(r, 3)->text().toDouble(), 1.0 / 48 - 1e-4);
  }
  const std::vector<double> averages = Column(table, 2);
  EXPECT_TRUE(std::is_sorted(averages.begin(), averages.end()));

  // A click on the header of D sorts by D.
  QHeaderView* header = table->horizontalHeader();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(3) + 5, 5));
  const std::vector<double> d = Column(table, 3);
  EXPECT_TRUE(std::is_sorted(d.begin(), d.end()));
  EXPECT_NE(Column(table, 2), averages) << "the rows moved";

  // Copy: tab-separated as shown; Save as CSV: the same with commas.
  FindIn<QPushButton>(list, "CopyButton")->click();
  const QStringList copied = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(copied.size(), table->rowCount() + 1);
  EXPECT_EQ(copied.front(), "Rank\tDistribution\tAverage %\tKS D\tAD A2\tCvM W2");
  EXPECT_EQ(copied.at(1).split('\t').at(3), table->item(0, 3)->text());
  // The save dialog hands the focus back to the main window; the list comes
  // back in front.
  ASSERT_TRUE(QTest::qWaitForWindowActive(list, 2000));
  dialogs.WhileSaving = [&] {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form, 2000));
  };
  dialogs.SaveNames = {Path("fits.csv")};
  FindIn<QPushButton>(list, "SaveCsvButton")->click();
  EXPECT_TRUE(QTest::qWaitForWindowActive(list, 1000));
  dialogs.WhileSaving = nullptr;
  const std::string csv = ReadFile(Path("fits.csv"));
  EXPECT_EQ(csv.substr(0, csv.find('\n')), "Rank,Distribution,Average %,KS D,AD A2,CvM W2");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), table->rowCount() + 1);
}

TEST_F(FitTablesTest, DesignValuesShowTheTableWithItsExtrapolatedRows) {
  auto* button = form->findChild<QPushButton*>("DesignButton");
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->isHidden()) << "no results yet";
  RunFailureExample();
  ASSERT_FALSE(button->isHidden());
  button->click();
  auto* design = form->findChild<DesignValuesWindow*>("DesignForm");
  ASSERT_NE(design, nullptr);
  EXPECT_TRUE(design->isVisible());
  QTableWidget* table = FindIn<QTableWidget>(design, "DesignTableView");
  ASSERT_EQ(table->rowCount(), 10) << FindIn<QLabel>(design, "NoteLabel")->text().toStdString();
  // N = 24: return periods up to 25 lie within the data, 50 and more beyond.
  for (int r = 0; r < 10; ++r)
    EXPECT_EQ(table->item(r, 5)->text(), table->item(r, 0)->text().toDouble() > 25 ? "*" : "") << r;
  const std::vector<double> x = Column(table, 2);
  EXPECT_TRUE(std::is_sorted(x.begin(), x.end()));
  EXPECT_EQ(FindIn<QLabel>(design, "NoteLabel")->text(),
            "* beyond the largest plotted return period of the data (N + 1): extrapolated");

  TypeInto(FindIn<QLineEdit>(design, "PeriodsEdit"), "3, 7");
  ASSERT_EQ(table->rowCount(), 2);
  EXPECT_EQ(FindIn<QLabel>(design, "NoteLabel")->text(), "");
  FindIn<QPushButton>(design, "CopyButton")->click();
  const QStringList copied = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(copied.size(), 3);
  EXPECT_EQ(copied.front(), "T\tF\tX\tXl\tXu\textrapolated");
  EXPECT_EQ(copied.at(2).split('\t').at(2), table->item(1, 2)->text());

  TypeInto(FindIn<QLineEdit>(design, "PeriodsEdit"), "3, 0.5");
  EXPECT_EQ(table->rowCount(), 0);
  EXPECT_FALSE(FindIn<QLabel>(design, "NoteLabel")->text().isEmpty());
  EXPECT_FALSE(FindIn<QPushButton>(design, "SaveCsvButton")->isEnabled());

  // Escape closes it; opened again it is centred on the main window, whole
  // on the screen, and has the focus.
  QApplication::setActiveWindow(design);
  QTest::keyClick(design, Qt::Key_Escape);
  EXPECT_FALSE(design->isVisible());
  const QRect screen = form->screen()->availableGeometry();
  form->move(screen.center() - form->frameGeometry().center() + form->pos());
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form, 2000));
  button->click();
  EXPECT_TRUE(QTest::qWaitForWindowActive(design, 1000));
  EXPECT_TRUE(screen.contains(design->frameGeometry()));
  EXPECT_LE((design->frameGeometry().center() - form->frameGeometry().center()).manhattanLength(), 4);
}

// The calculator closes with Escape and, opened again over the main window,
// gets the focus.
TEST_F(FitTablesTest, CalculatorComesToTheFrontAndEscapeClosesIt) {
  RunFailureExample();
  Button("CalculatorButton")->click();
  CalculatorWindow* calc = windows.Calculator.get();
  ASSERT_TRUE(QTest::qWaitForWindowActive(calc, 2000));
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form, 2000));
  Button("CalculatorButton")->click();
  EXPECT_TRUE(QTest::qWaitForWindowActive(calc, 1000));
  QTest::keyClick(calc, Qt::Key_Escape);
  EXPECT_FALSE(calc->isVisible());
}

}  // namespace
}  // namespace tavorix::test
