#include "core/StringToFloat.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "core/TextLines.h"

namespace tavorix {
namespace {

// Drops a '+' sign, which from_chars does not take.
std::string_view WithoutPlus(std::string_view s) {
  if (s.size() > 1 && s[0] == '+' && s[1] != '-' && s[1] != '+') s.remove_prefix(1);
  return s;
}

std::optional<double> ConvertWith(std::string_view text, char separator) {
  std::string_view t = WithoutPlus(TrimBlanks(text));
  if (t.empty()) return std::nullopt;
  std::string s(t);
  if (separator != '.') {
    if (s.find('.') != std::string::npos) return std::nullopt;
    for (char& c : s)
      if (c == separator) c = '.';
  }
  return ParseFileReal(s);
}

}  // namespace

std::optional<double> StringToFloat(std::string_view text, TDecimalSettings& settings) {
  auto v = ConvertWith(text, settings.DecimalSeparator);
  // An empty cell is no number with either separator; switching for it would
  // make every comma number typed later fail.
  if (!v && settings.DecimalSeparator == ',' && !TrimBlanks(text).empty()) {
    settings.DecimalSeparator = '.';
    v = ConvertWith(text, '.');
  }
  return v;
}

std::optional<double> ParseFileReal(std::string_view token) {
  token = WithoutPlus(token);
  if (token.empty()) return std::nullopt;
  // from_chars would also take "inf" and "nan"; a number starts with a digit,
  // a point or a minus sign followed by one of these.
  std::string_view body = token[0] == '-' ? token.substr(1) : token;
  if (body.empty() || !(body[0] == '.' || (body[0] >= '0' && body[0] <= '9'))) return std::nullopt;
  double v = 0;
  auto r = std::from_chars(token.data(), token.data() + token.size(), v, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != token.data() + token.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<int> ParseFileInteger(std::string_view token) {
  token = WithoutPlus(token);
  if (token.empty()) return std::nullopt;
  int v = 0;
  auto r = std::from_chars(token.data(), token.data() + token.size(), v);
  if (r.ec != std::errc() || r.ptr != token.data() + token.size()) return std::nullopt;
  return v;
}

}  // namespace tavorix
