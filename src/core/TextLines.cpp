#include "core/TextLines.h"

#include <sstream>

namespace tavorix {

LineCursor::LineCursor(std::string_view text) : text_(text) {
  if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
}

bool LineCursor::Next(std::string_view& line) {
  if (at_ >= text_.size()) return false;
  const std::size_t start = at_;
  const std::size_t end = text_.find_first_of("\r\n", start);
  ++number_;
  if (end == std::string_view::npos) {
    line = text_.substr(start);
    at_ = text_.size();
    return true;
  }
  line = text_.substr(start, end - start);
  std::size_t next = end;
  // CRs directly before an LF belong to that line end; a lone CR is one.
  while (next < text_.size() && text_[next] == '\r') ++next;
  if (next < text_.size() && text_[next] == '\n')
    ++next;
  else
    next = end + 1;
  at_ = next;
  return true;
}

LineSet SplitLines(std::string_view text) {
  LineSet lines;
  LineCursor cursor(text);
  for (std::string_view line; cursor.Next(line);) lines.emplace_back(line);
  return lines;
}

LineSet ReadLines(std::istream& in) {
  // One bulk copy of the stream's buffer (an empty one only marks the copy
  // as failed, which does not matter here).
  std::ostringstream text;
  text << in.rdbuf();
  return SplitLines(text.view());
}

std::vector<std::string_view> SplitBlanks(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

std::string_view TrimBlanks(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

std::string_view Utf8Prefix(std::string_view s, std::size_t maxBytes) {
  if (s.size() <= maxBytes) return s;
  std::size_t n = maxBytes;
  // Step back over continuation bytes (10xxxxxx) to the start of the cut sequence.
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return s.substr(0, n);
}

}  // namespace tavorix
