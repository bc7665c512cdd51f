#pragma once
// Splitting text files into lines. Files are written with CR LF; readers
// also accept LF-only and CR-only line ends, and take the CRs that editors and
// transfers leave before an LF (CR CR LF) as part of that one line end.

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace tavorix {

using LineSet = std::vector<std::string>;

// Walks the lines of a text one at a time without copying them: LF, CR LF
// and any run of CRs followed by LF are one line end; a CR not followed by
// CRs and LF ends a line by itself (CR-only files). A line end after the last
// line does not start another (empty) line. A leading UTF-8 byte order mark
// is dropped.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text);
  // The next line without its line end; false after the last.
  bool Next(std::string_view& line);
  // 1-based number of the line Next gave last.
  std::size_t Number() const { return number_; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t number_ = 0;
};

// Lines of the text without their line ends, split as LineCursor splits them.
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
