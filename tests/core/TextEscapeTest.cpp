// The escapes of the file formats: what a hostile or damaged text becomes.

#include <gtest/gtest.h>

#include "core/TextEscape.h"

namespace tavorix {
namespace {

TEST(TextEscape, InvalidUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(ValidUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8C\x8A"), "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8C\x8A");
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(ValidUtf8("Z\xFCrich"), "Z" + fffd + "rich");           // Latin-1
  EXPECT_EQ(ValidUtf8("\xC0\xAF"), fffd + fffd);                     // overlong
  EXPECT_EQ(ValidUtf8("\xED\xA0\x80"), fffd + fffd + fffd);          // surrogate
  EXPECT_EQ(ValidUtf8("\xE2\x82"), fffd + fffd);                     // cut short
  EXPECT_EQ(ValidUtf8("\xF4\x90\x80\x80"), fffd + fffd + fffd + fffd);  // beyond U+10FFFF
}

TEST(TextEscape, CsvCellsThatASpreadsheetWouldRunAreText) {
  EXPECT_EQ(CsvCell("=1+2"), "'=1+2");
  EXPECT_EQ(CsvCell("@SUM(1+1).txt"), "'@SUM(1+1).txt");
  EXPECT_EQ(CsvCell("+cmd"), "'+cmd");
  EXPECT_EQ(CsvCell("-x"), "'-x");
  EXPECT_EQ(CsvCell("\tx"), "'\tx");
  EXPECT_EQ(CsvCell("=HYPERLINK(\"http://x\",\"y\")"), "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"");
  // Numbers stay numbers.
  EXPECT_EQ(CsvCell("-5"), "-5");
  EXPECT_EQ(CsvCell("-1.5E+003"), "-1.5E+003");
  EXPECT_EQ(CsvCell("+7"), "+7");
  EXPECT_EQ(CsvCell("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvCell("Gumbel", true), "\"Gumbel\"");
}

TEST(TextEscape, MarkupAndTerminalTexts) {
  EXPECT_EQ(XmlEscape("<b>&\"x\"</b>"), "&lt;b&gt;&amp;&quot;x&quot;&lt;/b&gt;");
  EXPECT_EQ(XmlEscape("a\x01" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(TerminalText("line\x1b]0;owned\x07\nnext"), "line\\x1b]0;owned\\x07\nnext");
}

}  // namespace
}  // namespace tavorix
