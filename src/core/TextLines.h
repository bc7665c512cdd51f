#pragma once
// Splitting text files into lines. Files are written with CR LF; readers
// also accept LF-only and CR-only line ends.

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace tavorix {

using LineSet = std::vector<std::string>;

// Lines of the text without their line ends. A line end after the last line
// does not start another (empty) line. A leading UTF-8 byte order mark is dropped.
LineSet SplitLines(std::string_view text);

// Reads the whole stream and splits it into lines.
LineSet ReadLines(std::istream& in);

// The blank- or tab-separated tokens of a line.
std::vector<std::string_view> SplitBlanks(std::string_view line);

// The text without leading and trailing blanks and tabs.
std::string_view TrimBlanks(std::string_view s);

// The first at most maxBytes bytes of s, shortened so that no UTF-8 sequence is cut.
std::string_view Utf8Prefix(std::string_view s, std::size_t maxBytes);

}  // namespace tavorix
