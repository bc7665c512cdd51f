#include "core/TextLines.h"

#include <sstream>

namespace tavorix {

LineSet SplitLines(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  LineSet lines;
  std::size_t start = 0;
  for (std::size_t i = text.find_first_of("\r\n"); i != std::string_view::npos;
       i = text.find_first_of("\r\n", start)) {
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
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
