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
  for (const char* bad : {"", "   ", "abc", "1,234", "1,23,4", "1.234,5", "1.5x", "1 5", "inf", "nan", "--1", "+-1",
                          "1e400", "1.2.3", "1,,5"})
    EXPECT_FALSE(StringToFloat(bad, s).has_value()) << bad;
  EXPECT_EQ(s.DecimalSeparator, '.');
}

TEST(StringToFloat, ConvertsWithTheCommaSeparator) {
  TDecimalSettings s{','};
  EXPECT_EQ(StringToFloat("1,5", s), 1.5);
  EXPECT_EQ(StringToFloat("-0,25", s), -0.25);
  EXPECT_EQ(StringToFloat("1,234", s), 1.234);  // the session's own separator
  EXPECT_EQ(s.DecimalSeparator, ',');
}

// Numbers are read in one way for the whole session: a number with the other
// separator is read where it has only one reading, and the separator never
// changes.
TEST(StringToFloat, OtherSeparatorIsReadWhereItHasOneReading) {
  TDecimalSettings comma{','};
  EXPECT_EQ(StringToFloat("12.5", comma), 12.5);
  EXPECT_EQ(StringToFloat("51,1", comma), 51.1);
  EXPECT_EQ(StringToFloat("1,234.5", comma), 1234.5);
  EXPECT_FALSE(StringToFloat("x1", comma).has_value());
  EXPECT_EQ(comma.DecimalSeparator, ',');
  TDecimalSettings point;
  EXPECT_EQ(StringToFloat("12,5", point), 12.5);
  EXPECT_EQ(StringToFloat("40,5", point), 40.5);
  EXPECT_EQ(StringToFloat("1,234.5", point), 1234.5);
  EXPECT_EQ(StringToFloat("-1,234,567", point), -1234567.0);
  EXPECT_EQ(StringToFloat("1,5E3", point), 1500.0);
  EXPECT_EQ(point.DecimalSeparator, '.');
}

TEST(StringToFloat, EmptyCellIsNoNumber) {
  TDecimalSettings s{','};
  EXPECT_FALSE(StringToFloat("", s).has_value());
  EXPECT_FALSE(StringToFloat("  ", s).has_value());
  EXPECT_EQ(StringToFloat("1,5", s), 1.5);
}

TEST(ReadNumber, CommasAsSaid) {
  EXPECT_EQ(ReadNumber("1,234", TCommaReading::Decimal), 1.234);
  EXPECT_EQ(ReadNumber("1,234", TCommaReading::Thousands), 1234.0);
  EXPECT_FALSE(ReadNumber("1,234", TCommaReading::Detect).has_value());
  EXPECT_EQ(ReadNumber("2.5", TCommaReading::Decimal), 2.5);  // a point is always a decimal point
  EXPECT_EQ(ReadNumber("12,345.25", TCommaReading::Thousands), 12345.25);
  for (const char* bad : {"1,5", "12,34", "1234,567", ",123", "1,234,56", "1,234.5.6"})
    EXPECT_FALSE(ReadNumber(bad, TCommaReading::Thousands).has_value()) << bad;
  EXPECT_TRUE(CommaReadsBothWays(" -1,234 "));
  EXPECT_FALSE(CommaReadsBothWays("1,234.0"));
  EXPECT_FALSE(CommaReadsBothWays("1,234,567"));
  EXPECT_FALSE(CommaReadsBothWays("1,2345"));
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
