#include "core/StringToFloat.h"

#include <algorithm>
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

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<double> WithDecimalComma(std::string_view t) {
  if (t.find('.') != std::string_view::npos) return std::nullopt;
  std::string s(t);
  std::replace(s.begin(), s.end(), ',', '.');
  return ParseFileReal(s);
}

std::optional<double> WithThousandsCommas(std::string_view t) {
  if (!HasThousandsLayout(t)) return std::nullopt;
  std::string s(t);
  s.erase(std::remove(s.begin(), s.end(), ','), s.end());
  return ParseFileReal(s);
}

}  // namespace

bool HasThousandsLayout(std::string_view text) {
  std::string_view t = WithoutPlus(TrimBlanks(text));
  if (!t.empty() && t[0] == '-') t.remove_prefix(1);
  std::size_t lead = 0;
  while (lead < t.size() && IsDigit(t[lead])) ++lead;
  if (lead < 1 || lead > 3) return false;
  std::size_t at = lead;
  int groups = 0;
  while (at < t.size() && t[at] == ',') {
    if (at + 4 > t.size() || !IsDigit(t[at + 1]) || !IsDigit(t[at + 2]) || !IsDigit(t[at + 3])) return false;
    at += 4;
    ++groups;
  }
  if (groups == 0) return false;
  if (at == t.size()) return true;
  if (t[at] != '.') return false;
  return std::all_of(t.begin() + static_cast<std::ptrdiff_t>(at) + 1, t.end(), IsDigit);
}

bool CommaReadsBothWays(std::string_view text) {
  const std::string_view t = TrimBlanks(text);
  return HasThousandsLayout(t) && std::count(t.begin(), t.end(), ',') == 1 && t.find('.') == std::string_view::npos;
}

std::optional<double> ReadNumber(std::string_view text, TCommaReading commas) {
  const std::string_view t = WithoutPlus(TrimBlanks(text));
  if (t.empty()) return std::nullopt;
  if (t.find(',') == std::string_view::npos) return ParseFileReal(t);
  switch (commas) {
    case TCommaReading::Decimal: return WithDecimalComma(t);
    case TCommaReading::Thousands: return WithThousandsCommas(t);
    case TCommaReading::Detect: break;
  }
  if (CommaReadsBothWays(t)) return std::nullopt;
  if (const auto v = WithThousandsCommas(t)) return v;
  if (std::count(t.begin(), t.end(), ',') == 1) return WithDecimalComma(t);
  return std::nullopt;
}

std::optional<double> StringToFloat(std::string_view text, const TDecimalSettings& settings) {
  if (settings.DecimalSeparator == ',') {
    // The session's own comma first; "1,234.5" and "1,234,567" have no decimal comma.
    if (const auto v = ReadNumber(text, TCommaReading::Decimal)) return v;
  }
  return ReadNumber(text, TCommaReading::Detect);
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
