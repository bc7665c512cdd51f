// The calculator window on the offscreen platform: what the user types and
// sees, with the files of a run written into a temporary folder.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QFontMetricsF>
#include <QStyle>
#include <QTest>
#include <cmath>
#include <fstream>

#include "calculator/Calculator.h"
#include "UiTestSupport.h"
#include "ui/CalculatorWindow.h"
#include "core/TestUtil.h"
#include "core/UDMTavorix.h"
#include "report/ParameterFile.h"

namespace tavorix {
namespace {

class RecordingSink : public TDialogs {
 public:
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  bool Confirm(const std::string&) override { return true; }
  TSaveAnswer AskSave(const std::string&) override { return TSaveAnswer::Cancel; }
  std::optional<std::string> OpenFileName(const TFileDialogSpec&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const TFileDialogSpec&) override { return std::nullopt; }
  std::vector<std::string> Messages;
};

// A run's files: "run.inp" with six values and "run.aux" with the given fit.
class CalcFormTest : public ::testing::Test {
 protected:
  void WriteRun(const FittedDistribution& fd, double shift) {
    TDMTavorix dm;
    dm.FileName = dir.File("run.inp");
    dm.Values = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
    dm.Serials = {1, 2, 3, 4, 5, 6};
    dm.RemoveFlags.assign(6, 0);
    dm.NrOfData = 6;
    dm.WriteInputFile();
    std::ofstream aux(dir.File("run.aux"), std::ios::binary);
    WriteParameterFile(aux, fd, shift);
  }
  void WriteGumbel() {  // A = 1, B = 0: F = exp(-exp(-X'))
    FittedDistribution fd;
    fd.DistCode = 4;
    fd.P.Line.A = 1.0;
    fd.P.Line.B = 0.0;
    WriteRun(fd, 0.0001);
  }
  void Open() {
    form.SetFileName(dir.File("run.out"));
    form.show();
  }
  QLineEdit* Field(const char* name) { return test::FindIn<QLineEdit>(&form, name); }
  QLabel* Caption(const char* name) { return test::FindIn<QLabel>(&form, name); }
  QPushButton* Go(const char* name) { return test::FindIn<QPushButton>(&form, name); }
  std::vector<QLineEdit*> Fields(std::initializer_list<const char*> names) {
    std::vector<QLineEdit*> fields;
    for (const char* name : names) fields.push_back(Field(name));
    return fields;
  }
  std::vector<QWidget*> Widgets(std::initializer_list<const char*> names) {
    std::vector<QWidget*> widgets;
    for (const char* name : names) widgets.push_back(test::FindIn<QWidget>(&form, name));
    return widgets;
  }
  static double Value(const QLineEdit* e) { return e->text().toDouble(); }
  static void Type(QLineEdit* e, const char* text) {
    e->clear();
    QTest::keyClicks(e, QString::fromLatin1(text));
  }

  test::TempDir dir;
  RecordingSink sink;
  CalculatorWindow form{nullptr, &sink};
};

TEST_F(CalcFormTest, CaptionsOfTheWindow) {
  EXPECT_EQ(form.windowTitle(), "Calculator");
  EXPECT_EQ(Caption("XPrompt")->text(),
            "Enter X-value, then click \"Go ->\", to obtain cumulative frequency and return period");
  EXPECT_EQ(Caption("FrequencyPrompt")->text(), "Enter cumulative frequency or return period to obtain X-value");
  EXPECT_EQ(Caption("FrequencyLimitsLabel")->text(), "90% confidence limits of cum. freq.");
  EXPECT_EQ(Caption("PeriodLimitsLabel")->text(), "90% confidence limits of ret. per.");
  EXPECT_EQ(Caption("XLimitsLabel")->text(), "90% confidence limits of X-Value");
  EXPECT_EQ(Caption("FrequencyLowerLabel")->text(), "Lower   ");
  EXPECT_EQ(Go("GoFromXButton")->text(), "Go ->");
  EXPECT_EQ(Go("GoFromFrequencyButton")->text(), "Go ->");
  for (QLineEdit* out : Fields({"FrequencyOfX", "PeriodOfX", "XOfFrequency", "PeriodLowerOfX", "PeriodUpperOfX",
                                "XLowerOfFrequency", "XUpperOfFrequency", "FrequencyLowerOfX", "FrequencyUpperOfX"}))
    EXPECT_FALSE(out->isEnabled()) << out->objectName().toStdString();
}

TEST_F(CalcFormTest, GammaAnswersBothHalves) {
  FittedDistribution fd;
  fd.DistCode = 61;
  fd.P.Gamma.A = 2.0;
  fd.P.Gamma.Terms = 3;
  WriteRun(fd, 0.0001);
  Open();
  for (QWidget* w : Widgets({"FrequencyEdit", "PeriodEdit", "FrequencyLabel", "PeriodLabel", "XOfFrequencyLabel",
                             "XLowerLabel", "XUpperLabel", "OrLabel"}))
    EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  // Erlang with scale 2 and 3 terms at X' = 4, and back.
  Type(Field("XValueEdit"), "4");
  QTest::mouseClick(Go("GoFromXButton"), Qt::LeftButton);
  EXPECT_NEAR(Value(Field("FrequencyOfX")), 1.0 - 5.0 * std::exp(-2.0), 1e-14);
  Type(Field("FrequencyEdit"), "0.32332358381693654");
  form.FrequencyFieldExit();
  EXPECT_NEAR(Value(Field("XOfFrequency")), 4.0, 1e-9);
}

TEST_F(CalcFormTest, XGivesFrequencyReturnPeriodAndLimits) {
  WriteGumbel();
  Open();
  // X' = -ln(ln 2) gives F = 0.5; with N = 6 the limits of the frequency
  // are 0.5 -+ 3.4 Sd / 2 with Sd = sqrt(1.5)/6.
  Field("XValueEdit")->setText(QString::number(-std::log(std::log(2.0)), 'g', 17));
  QTest::mouseClick(Go("GoFromXButton"), Qt::LeftButton);
  EXPECT_EQ(Field("FrequencyOfX")->text(), "0.5");
  EXPECT_EQ(Field("PeriodOfX")->text(), "2");
  EXPECT_NEAR(Value(Field("FrequencyLowerOfX")), 0.15298895310571647, 1e-14);
  EXPECT_NEAR(Value(Field("FrequencyUpperOfX")), 0.8470110468942835, 1e-14);
  EXPECT_NEAR(Value(Field("PeriodLowerOfX")), 1.1806221461534387, 1e-12);  // 1/(1 - Fl)
  EXPECT_NEAR(Value(Field("PeriodUpperOfX")), 6.536419654489646, 1e-12);  // 1/(1 - Fu)
  EXPECT_TRUE(sink.Messages.empty());

  // Entering the X field clears the upper half.
  form.XFieldEnter();
  for (QLineEdit* e : Fields({"XValueEdit", "FrequencyOfX", "PeriodOfX", "PeriodLowerOfX", "PeriodUpperOfX",
                              "FrequencyLowerOfX", "FrequencyUpperOfX"}))
    EXPECT_EQ(e->text(), "");
}

TEST_F(CalcFormTest, FrequencyOrReturnPeriodGivesX) {
  WriteGumbel();
  Open();
  // Gumbel A = 1, B = 0: X' = -ln(-ln F), X = X' + Shift - 0.0001 = X'.
  Type(Field("FrequencyEdit"), "0.5");
  form.FrequencyFieldExit();
  EXPECT_NEAR(Value(Field("XOfFrequency")), -std::log(std::log(2.0)), 1e-13);
  EXPECT_NEAR(Value(Field("XLowerOfFrequency")), -std::log(-std::log(0.15298895310571647)), 1e-12);
  EXPECT_NEAR(Value(Field("XUpperOfFrequency")), -std::log(-std::log(0.8470110468942835)), 1e-12);
  EXPECT_EQ(Field("PeriodEdit")->text(), "2");

  form.PeriodFieldEnter();
  for (QLineEdit* e : Fields({"FrequencyEdit", "PeriodEdit", "XOfFrequency", "XLowerOfFrequency", "XUpperOfFrequency"}))
    EXPECT_EQ(e->text(), "");
  Type(Field("PeriodEdit"), "4");
  form.PeriodFieldExit();
  EXPECT_EQ(Field("FrequencyEdit")->text(), "0.75");
  EXPECT_NEAR(Value(Field("XOfFrequency")), -std::log(-std::log(0.75)), 1e-13);
  EXPECT_TRUE(sink.Messages.empty());
}

TEST_F(CalcFormTest, LeavingTheFrequencyFieldForGoCalculates) {
  WriteGumbel();
  Open();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  Field("FrequencyEdit")->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(Field("FrequencyEdit"), "0.9");
  QTest::mouseClick(Go("GoFromFrequencyButton"), Qt::LeftButton);
  EXPECT_NEAR(Value(Field("XOfFrequency")), -std::log(-std::log(0.9)), 1e-13);
  EXPECT_EQ(Field("PeriodEdit")->text(), "10");
}

TEST_F(CalcFormTest, RefusedInputShowsItsMessageAndKeepsTheFields) {
  WriteGumbel();
  Open();
  Type(Field("FrequencyEdit"), "0.999999");
  form.FrequencyFieldExit();
  Type(Field("PeriodEdit"), "100000");
  form.PeriodFieldExit();
  Type(Field("PeriodEdit"), "0.5");
  form.PeriodFieldExit();
  Type(Field("XValueEdit"), "abc");
  form.GoFromXClick();
  // The messages keep their texts; the values the field takes follow on a second line.
  const std::string periods = "\nAccepted: a number above 1 and below 100000";
  EXPECT_EQ(sink.Messages,
            (std::vector<std::string>{kCalcFrequencyRange, kCalcPeriodRange + periods, kCalcPeriodNotAboveOne + periods,
                                      std::string(kCalcValueNotReal) + "\nAccepted: any number, such as 12.5 or -1.5E3"}));
  Type(Field("FrequencyEdit"), "abc");
  form.FrequencyFieldExit();
  EXPECT_EQ(sink.Messages.back(),
            "The frequency is not a valid integer\nAccepted: a number above 0.000001 and below 0.999999");
  EXPECT_EQ(Field("XOfFrequency")->text(), "");
  EXPECT_EQ(Field("FrequencyOfX")->text(), "");
}

// Enter computes as "Go ->" does; a period is shown in the digits its
// frequency carries; a long number is shown whole, from its start.
TEST_F(CalcFormTest, EnterComputesAndFieldsShowWholeNumbers) {
  WriteGumbel();
  Open();
  Type(Field("FrequencyEdit"), "0.99");
  QTest::keyClick(Field("FrequencyEdit"), Qt::Key_Return);
  EXPECT_EQ(Field("PeriodEdit")->text(), "100");
  EXPECT_NEAR(Value(Field("XOfFrequency")), -std::log(-std::log(0.99)), 1e-12);
  Type(Field("PeriodEdit"), "4");
  QTest::keyClick(Field("PeriodEdit"), Qt::Key_Return);
  EXPECT_EQ(Field("FrequencyEdit")->text(), "0.75");
  Type(Field("XValueEdit"), "1");
  QTest::keyClick(Field("XValueEdit"), Qt::Key_Return);
  EXPECT_FALSE(Field("FrequencyOfX")->text().isEmpty());

  Type(Field("FrequencyEdit"), "0.123456789012345");
  QTest::keyClick(Field("FrequencyEdit"), Qt::Key_Return);
  for (QLineEdit* e : Fields({"FrequencyEdit", "PeriodEdit", "XOfFrequency", "XLowerOfFrequency", "XUpperOfFrequency"})) {
    const int room = e->width() - 2 * e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, e) - 6;
    EXPECT_LE(QFontMetricsF(e->font()).horizontalAdvance(e->text()), room) << e->objectName().toStdString();
  }
  EXPECT_EQ(Field("XOfFrequency")->cursorPosition(), 0);
  EXPECT_TRUE(sink.Messages.empty());
}

TEST_F(CalcFormTest, FrequencyBelowTheDistributionShowsTheLowerEndOfItsRange) {
  // Code 55 with B = 0 starts at F = 0.5: below it X and its lower limit are
  // the lower end of the range.
  FittedDistribution fd;
  fd.DistCode = 55;
  fd.P.PowerLine.A = -0.5;
  fd.P.PowerLine.B = 0.0;
  fd.P.PowerLine.E = 2.0;
  WriteRun(fd, 0.0001);
  Open();
  Type(Field("FrequencyEdit"), "0.3");
  form.FrequencyFieldExit();
  EXPECT_EQ(Field("XOfFrequency")->text(), "0");
  EXPECT_EQ(Field("XLowerOfFrequency")->text(), "0");
}

TEST_F(CalcFormTest, HidingLeavesTheMainWindowsSeriesAsItWas) {
  // Log-normal (22): the scan moves and transforms the data. The main
  // window's series differs from the file (edited, not saved) and must stay
  // exactly as it was, and so must its file name.
  FittedDistribution fd;
  fd.DistCode = 22;
  fd.P.Normal.Mean = std::log(3.0);
  fd.P.Normal.Sigma = 0.6;
  WriteRun(fd, 0.0001);
  TDMTavorix shared;
  shared.FileName = dir.File("run.out");
  shared.Values = {10.0, 20.0, 30.0, 40.0, 50.0, 60.0, 70.0};
  shared.NrOfData = 7;
  form.SetDataModule(&shared);
  form.show();
  Type(Field("FrequencyEdit"), "0.5");
  form.FrequencyFieldExit();
  ASSERT_NE(Field("XOfFrequency")->text(), "");
  EXPECT_NEAR(Value(Field("XOfFrequency")), 3.0, 0.01);
  Type(Field("XValueEdit"), "2");
  form.GoFromXClick();
  form.hide();
  EXPECT_EQ(shared.Values, (DataArrayR{10.0, 20.0, 30.0, 40.0, 50.0, 60.0, 70.0}));
  EXPECT_EQ(shared.NrOfData, 7);
  EXPECT_EQ(shared.FileName, dir.File("run.out"));
  for (QLineEdit* e : Fields({"XValueEdit", "FrequencyOfX", "PeriodOfX", "FrequencyEdit", "PeriodEdit",
                              "XOfFrequency", "PeriodLowerOfX", "PeriodUpperOfX", "XLowerOfFrequency",
                              "XUpperOfFrequency", "FrequencyLowerOfX", "FrequencyUpperOfX"}))
    EXPECT_EQ(e->text(), "") << e->objectName().toStdString();
  EXPECT_TRUE(sink.Messages.empty());
}

TEST_F(CalcFormTest, WithoutAParameterFileTheUserIsAskedToRun) {
  Open();
  Type(Field("XValueEdit"), "1");
  form.GoFromXClick();
  // The input file is read first; it is missing too.
  ASSERT_EQ(sink.Messages.size(), 1u);
  EXPECT_NE(sink.Messages[0].find("could not be opened"), std::string::npos);
  TDMTavorix dm;
  dm.FileName = dir.File("run.inp");
  dm.Values = {1, 2, 3, 4, 5, 6};
  dm.Serials = {1, 2, 3, 4, 5, 6};
  dm.RemoveFlags.assign(6, 0);
  dm.NrOfData = 6;
  dm.WriteInputFile();
  form.GoFromXClick();
  ASSERT_EQ(sink.Messages.size(), 2u);
  EXPECT_EQ(sink.Messages[1], kCalcNoParameters);
}

}  // namespace
}  // namespace tavorix
