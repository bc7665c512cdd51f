#include "core/TavorixError.h"

#include <system_error>

#include "core/NumberFormat.h"
#include "core/TextLines.h"

namespace tavorix {

std::string SystemReason(int err) { return std::system_category().message(err); }

std::string FileOpenErrorText(std::string_view path, int err) {
  std::string s = "The file \"";
  s += VisibleText(path);
  s += "\" could not be opened. It may be in use by another program";
  if (err != 0) s += "\n" + SystemReason(err);
  return s;
}

std::string VisibleText(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) {
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string InvalidRealsErrorText(std::string_view path) {
  std::string s(ProgramErrorPrefix);
  s += "Real numbers in the inputfile \"";
  s += path;
  s += "\" are invalid";
  return s;
}

std::string DataLineDetail(std::size_t lineNumber, std::string_view line) {
  constexpr std::size_t kShown = 80;
  std::string shown = VisibleText(Utf8Prefix(line, kShown));
  if (line.size() > kShown) shown += "...";
  return "Line " + std::to_string(lineNumber) + ": \"" + shown + "\"";
}

std::string ValueTooLowText(double value) {
  return "The data value " + FormatGeneral(value) +
         " is at or below -1000000, the lowest value that can be analysed. Input is invalid.";
}

}  // namespace tavorix
