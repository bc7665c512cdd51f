#include "core/NumberFormat.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <random>
#include <sstream>

#include "core/StringToFloat.h"
#include "core/UDMTavorix.h"
#include "core/TestUtil.h"

namespace tavorix {
namespace {

TEST(NumberFormat, FixedIsRightAlignedAndWidensWhenNeeded) {
  EXPECT_EQ(FormatFixed(123.456, 10, 2), "    123.46");
  EXPECT_EQ(FormatFixed(-1.5, 8, 3), "  -1.500");
  EXPECT_EQ(FormatFixed(3.14159, 1, 2), "3.14");
  EXPECT_EQ(FormatFixed(1234567.25, 5, 1), "1234567.3");  // exact half: away from zero
  EXPECT_EQ(FormatFixed(7.0, 4, 0), "   7");
  EXPECT_EQ(FormatFixed(0.0, 8, 3), "   0.000");
}

TEST(NumberFormat, ExactHalvesRoundAwayFromZeroOtherValuesToNearest) {
  // 0.125, 0.375, 2.5 and 24.5 are exact binary halves.
  EXPECT_EQ(FormatFixed(0.125, 0, 2), "0.13");
  EXPECT_EQ(FormatFixed(-0.125, 0, 2), "-0.13");
  EXPECT_EQ(FormatFixed(0.375, 0, 2), "0.38");
  EXPECT_EQ(FormatFixed(2.5, 0, 0), "3");
  EXPECT_EQ(FormatFixed(24.5, 0, 0), "25");
  EXPECT_EQ(FormatFixed(-0.5, 0, 0), "-1");
  EXPECT_EQ(FormatFixed(3.5, 0, 0), "4");
  // 2.675 and 1.005 are stored slightly below the written value.
  EXPECT_EQ(FormatFixed(2.675, 0, 2), "2.67");
  EXPECT_EQ(FormatFixed(1.005, 0, 2), "1.00");
  // A half beyond the last decimal shown is no half of it.
  EXPECT_EQ(FormatFixed(0.0625, 0, 2), "0.06");
  // Scientific forms: halves in the mantissa and in the integer digits.
  EXPECT_EQ(FormatE(0.125, 2), "1.3E-001");
  EXPECT_EQ(FormatE(12350.0, 3), "1.24E+004");
  EXPECT_EQ(FormatE(12250.0, 3), "1.23E+004");
  EXPECT_EQ(FormatE(9.5, 1, 0), "1E+001");
  EXPECT_EQ(FormatScientific23(1.000030517578125), " 1.00003051757813E+0000");  // 1 + 2^-15
}

TEST(NumberFormat, Scientific23HasSignPositionFourteenDigitsAndFourExponentDigits) {
  EXPECT_EQ(FormatScientific23(1.5), " 1.50000000000000E+0000");
  EXPECT_EQ(FormatScientific23(-1.5), "-1.50000000000000E+0000");
  EXPECT_EQ(FormatScientific23(0.0), " 0.00000000000000E+0000");
  EXPECT_EQ(FormatScientific23(1e-10), " 1.00000000000000E-0010");
  EXPECT_EQ(FormatScientific23(1e300), " 1.00000000000000E+0300");
  EXPECT_EQ(FormatScientific23(123456.789), " 1.23456789000000E+0005");
  EXPECT_EQ(FormatScientific23(2.0 / 3.0), " 6.66666666666667E-0001");
  for (double v : {1.5, -2.5e-300, 9.99999999999999e99, -0.001})
    EXPECT_EQ(FormatScientific23(v).size(), 23u) << v;
}

TEST(NumberFormat, InputValuesKeepTheLayoutWhenTwoDigitsAreExact) {
  EXPECT_EQ(FormatInputValue(0.5), " 5.0E-0001");
  EXPECT_EQ(FormatInputValue(1.0), "      1.00");
  EXPECT_EQ(FormatInputValue(2.35), "      2.35");
  EXPECT_EQ(FormatInputValue(-3.0), "-3.0E+0000");
  EXPECT_EQ(FormatInputValue(-2.5), "-2.5E+0000");
  EXPECT_EQ(FormatInputValue(123.45), "    123.45");
  EXPECT_EQ(FormatInputValue(0.0), " 0.0E+0000");
  EXPECT_EQ(FormatInputValue(1e-300), " 1.0E-0300");
}

TEST(NumberFormat, InputValuesWriteMoreDigitsWhenTwoWouldLoseData) {
  EXPECT_EQ(FormatInputValue(2.345), "     2.345");
  EXPECT_EQ(FormatInputValue(0.123), " 1.23E-0001");
  EXPECT_EQ(FormatInputValue(123.456), "   123.456");
  EXPECT_EQ(FormatInputValue(0.000357), " 3.57E-0004");
  EXPECT_EQ(FormatInputValue(-1234.5), "-1.2345E+0003");
  EXPECT_EQ(FormatInputValue(12345678.9), "12345678.90");
  // From 1E17 up the shortest digits are padded with zeros, not the exact
  // binary expansion (1e25 is stored as 10000000000000000905969664).
  EXPECT_EQ(FormatInputValue(1e25), "10000000000000000000000000.00");
  EXPECT_EQ(FormatInputValue(-1e25), "-1.0E+0025");
  // Shortest texts that read back to these doubles: 1/3 needs 16 significant
  // digits, 0.1 + 0.2 and 1 + 2^-52 need 17.
  EXPECT_EQ(FormatInputValue(1.0 / 3.0), " 3.333333333333333E-0001");
  EXPECT_EQ(FormatInputValue(0.1 + 0.2), " 3.0000000000000004E-0001");
  EXPECT_EQ(FormatInputValue(1.0 + std::ldexp(1.0, -52)), "1.0000000000000002");
}

// Significant digits of a number text: from the first to the last non-zero
// digit before the exponent.
int SignificantDigits(const std::string& s) {
  std::string digits;
  for (char c : s) {
    if (c == 'E') break;
    if (c >= '0' && c <= '9') digits += c;
  }
  const auto first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  return static_cast<int>(digits.find_last_not_of('0') - first + 1);
}

TEST(NumberFormat, InputValuesReadBackToTheSameDouble) {
  std::mt19937_64 gen(12345);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-300, 300);
  for (int i = 0; i < 5000; ++i) {
    const double v = mantissa(gen) * std::pow(10.0, exponent(gen));
    const std::string text = FormatInputValue(v);
    auto back = ParseFileReal(std::string_view(text).substr(text.find_first_not_of(' ')));
    ASSERT_TRUE(back.has_value()) << text;
    EXPECT_EQ(*back, v) << text;
    // At most 17 significant digits, unless the layout's own two decimals
    // already make more (values of 1E15 and up).
    const bool twoDecimals = text.find('E') == std::string::npos && text.size() - text.find('.') == 3;
    if (!twoDecimals) {
      EXPECT_LE(SignificantDigits(text), 17) << text;
    }
    EXPECT_GE(text.size(), 10u) << text;
  }
}

TEST(NumberFormat, EFormsHaveSignificantDigitsAndAtLeastThreeExponentDigits) {
  EXPECT_EQ(FormatE3(1234.5), "1.23E+003");
  EXPECT_EQ(FormatE3(-0.0456), "-4.56E-002");
  EXPECT_EQ(FormatE3(0.0), "0.00E+000");
  EXPECT_EQ(FormatE3(1e-100), "1.00E-100");
  EXPECT_EQ(FormatE3(2.5e200), "2.50E+200");
  EXPECT_EQ(FormatE5(1234.5), "1.2345E+003");
  EXPECT_EQ(FormatE5(-98765.4321), "-9.8765E+004");
  EXPECT_EQ(FormatE(1.0, 3, 12), "   1.00E+000");
}

TEST(NumberFormat, GeneralFormatShowsUpToFifteenSignificantDigits) {
  EXPECT_EQ(FormatGeneral(1.5), "1.5");
  EXPECT_EQ(FormatGeneral(100.0), "100");
  EXPECT_EQ(FormatGeneral(-2.25), "-2.25");
  EXPECT_EQ(FormatGeneral(0.0), "0");
  EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FormatGeneral(2.0 / 3.0), "0.666666666666667");
  EXPECT_EQ(FormatGeneral(123456789012345.0), "123456789012345");
  EXPECT_EQ(FormatGeneral(0.00001), "0.00001");
  EXPECT_EQ(FormatGeneral(0.000001), "1E-6");
  EXPECT_EQ(FormatGeneral(1e-7), "1E-7");
  EXPECT_EQ(FormatGeneral(-2.5e-7), "-2.5E-7");
  EXPECT_EQ(FormatGeneral(1e15), "1E15");
  EXPECT_EQ(FormatGeneral(1234567890123456789.0), "1.23456789012346E18");
  EXPECT_EQ(FormatGeneral(1.5, ','), "1,5");
  EXPECT_EQ(FormatGeneral(2.5e20, ','), "2,5E20");
}

TEST(NumberFormat, ShortestReadsBack) {
  EXPECT_EQ(FormatShortest(0.0001), "0.0001");
  EXPECT_EQ(FormatShortest(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(FormatShortest(-2.0), "-2");
  EXPECT_EQ(FormatShortest(1e-5), "1e-05");
}

TEST(NumberFormat, NonFiniteValuesDoNotBreakTheWidth) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(FormatFixed(inf, 6, 2), "  +Inf");
  EXPECT_EQ(FormatScientific23(-inf).size(), 23u);
  EXPECT_EQ(FormatGeneral(std::nan("")), "NAN");
}

// Formats every form and writes an input file; the bytes must not depend on
// the global C and C++ locales.
std::string EveryForm() {
  std::ostringstream all;
  for (double v : {1234.5, -0.0456, 0.5, 2.345, 1234567.891}) {
    all << FormatFixed(v, 12, 3) << FormatScientific23(v) << FormatInputValue(v) << FormatE3(v)
        << FormatE5(v) << FormatGeneral(v) << FormatShortest(v) << FormatInt(1234567) << '\n';
  }
  TDMTavorix dm;
  dm.FileName = "/data/locale.inp";
  dm.Title1 = "Locale";
  for (int i = 0; i < 1100; ++i) dm.Values.push_back(1000.25L + i);
  dm.NrOfData = 1100;
  dm.NrOfClasses = 20;
  std::ostringstream file;
  dm.WriteInputFile(file);
  return all.str() + file.str();
}

TEST(NumberFormat, GermanLocaleGivesTheSameBytes) {
  const std::string expected = EveryForm();
  std::locale german;
  try {
    german = std::locale("de_DE.UTF-8");
  } catch (const std::runtime_error&) {
    GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  }
  const std::locale previous = std::locale::global(german);
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  const std::string actual = EveryForm();
  TDecimalSettings settings;
  const auto parsed = StringToFloat("1234.5", settings);
  std::locale::global(previous);
  std::setlocale(LC_ALL, "C");
  EXPECT_TRUE(test::SameBytes(expected, actual));
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(*parsed, 1234.5);
}

}  // namespace
}  // namespace tavorix
