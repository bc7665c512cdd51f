#include "core/StringToFloat.h"

#include <gtest/gtest.h>

namespace tavorix {
namespace {

TEST(StringToFloat, ConvertsWithThePointSeparator) {
  TDecimalSettings s;
  EXPECT_EQ(StringToFloat("1.5", s), 1.5);
  EXPECT_EQ(StringToFloat("  -2.25 ", s), -2.25);
  EXPECT_EQ(StringToFloat("+3", s), 3.0);
  EXPECT_EQ(StringToFloat("1.5E3", s), 1500.0);
  EXPECT_EQ(StringToFloat("2e-2", s), 0.02);
  EXPECT_EQ(StringToFloat(".5", s), 0.5);
  EXPECT_EQ(s.DecimalSeparator, '.');
}

TEST(StringToFloat, RefusesTextThatIsNotOneFiniteNumber) {
  TDecimalSettings s;
  for (const char* bad : {"", "   ", "abc", "1,5", "1.5x", "1 5", "inf", "nan", "--1", "+-1", "1e400", "1.2.3"})
    EXPECT_FALSE(StringToFloat(bad, s).has_value()) << bad;
  EXPECT_EQ(s.DecimalSeparator, '.');
}

TEST(StringToFloat, ConvertsWithTheCommaSeparator) {
  TDecimalSettings s{','};
  EXPECT_EQ(StringToFloat("1,5", s), 1.5);
  EXPECT_EQ(StringToFloat("-0,25", s), -0.25);
  EXPECT_EQ(s.DecimalSeparator, ',');
}

TEST(StringToFloat, CommaFailureSwitchesToThePointForGood) {
  TDecimalSettings s{','};
  EXPECT_EQ(StringToFloat("2.5", s), 2.5);
  EXPECT_EQ(s.DecimalSeparator, '.');
  // The switch lasts: a comma text now fails.
  EXPECT_FALSE(StringToFloat("1,5", s).has_value());
}

TEST(StringToFloat, SecondFailureReachesTheCaller) {
  TDecimalSettings s{','};
  EXPECT_FALSE(StringToFloat("x1", s).has_value());
  EXPECT_EQ(s.DecimalSeparator, '.');
}

TEST(StringToFloat, EmptyCellKeepsTheCommaSeparator) {
  // An empty text is no number with either separator; it must not switch.
  TDecimalSettings s{','};
  EXPECT_FALSE(StringToFloat("", s).has_value());
  EXPECT_FALSE(StringToFloat("  ", s).has_value());
  EXPECT_EQ(s.DecimalSeparator, ',');
  EXPECT_EQ(StringToFloat("1,5", s), 1.5);
}

TEST(FileNumbers, IntegersAndRealsMustFillTheWholeToken) {
  EXPECT_EQ(ParseFileInteger("12"), 12);
  EXPECT_EQ(ParseFileInteger("-7"), -7);
  EXPECT_EQ(ParseFileInteger("+7"), 7);
  EXPECT_FALSE(ParseFileInteger("1.0").has_value());
  EXPECT_FALSE(ParseFileInteger("").has_value());
  EXPECT_FALSE(ParseFileInteger("99999999999").has_value());
  EXPECT_EQ(ParseFileReal("5.0E-0001"), 0.5);
  EXPECT_EQ(ParseFileReal("-3.0E+0000"), -3.0);
  EXPECT_FALSE(ParseFileReal("1,5").has_value());
  EXPECT_FALSE(ParseFileReal("infinity").has_value());
}

}  // namespace
}  // namespace tavorix
