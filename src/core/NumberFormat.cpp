#include "core/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <system_error>

namespace tavorix {
namespace {

// Fixed notation of a double needs at most 309 integer digits.
constexpr int kMaxIntegerDigits = 310;

std::string RawChars(double v, std::chars_format fmt, int precision) {
  std::string buf(static_cast<std::size_t>(kMaxIntegerDigits + 8 + precision), '\0');
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, fmt, precision);
  buf.resize(static_cast<std::size_t>(r.ptr - buf.data()));
  return buf;
}

// Number of decimals of the exact decimal expansion of v (0 for integers):
// v = m 2^-k with m odd has exactly k decimals, the last of them a 5.
int ExactDecimals(double v) {
  if (v == 0 || !std::isfinite(v)) return 0;
  int e = 0;
  const double m = std::frexp(std::fabs(v), &e);
  auto bits = static_cast<std::uint64_t>(std::ldexp(m, 53));
  int k = 53 - e;
  while (k > 0 && (bits & 1U) == 0) {
    bits >>= 1;
    --k;
  }
  return k > 0 ? k : 0;
}

// Position of the last digit of a to_chars text (before the exponent).
std::size_t LastDigit(const std::string& text) {
  const auto e = text.find('e');
  return (e == std::string::npos ? text.size() : e) - 1;
}

// Whether v lies exactly halfway between two texts of `precision` decimals
// (fixed) or mantissa decimals (scientific); `rounded` is to_chars's text.
bool IsExactHalf(double v, std::chars_format fmt, int precision, const std::string& rounded) {
  const int k = ExactDecimals(v);
  int decimals = precision;  // decimals of the cut, counted as in fixed notation
  if (fmt == std::chars_format::scientific) {
    int exponent = 0;
    const auto e = rounded.find('e');
    const char* p = rounded.data() + e + 1;
    if (*p == '+') ++p;
    std::from_chars(p, rounded.data() + rounded.size(), exponent);
    decimals = precision - exponent;
    if (decimals < 0) {
      // The cut lies in the integer digits: a half there is an integer
      // whose digits after the cut are 5 followed by zeros.
      if (k != 0) return false;
      const std::string digits = RawChars(std::fabs(v), std::chars_format::fixed, 0);
      const std::size_t cut = digits.size() - static_cast<std::size_t>(-decimals);
      return digits[cut] == '5' && digits.find_first_not_of('0', cut + 1) == std::string::npos;
    }
  }
  return k == decimals + 1;
}

// The one rounding of every printed number: to nearest, an exact half away
// from zero (24.5 gives 25, 0.125 gives 0.13), as people and spreadsheets
// round. to_chars rounds an exact half to even, so where it went toward
// zero the last digit goes up by one; it was even, so nothing carries.
std::string ToChars(double v, std::chars_format fmt, int precision) {
  std::string text = RawChars(v, fmt, precision);
  if (!IsExactHalf(v, fmt, precision, text)) return text;
  // One digit more is exact and ends in the 5 of the half; without it the
  // text is v cut toward zero.
  std::string longer = RawChars(v, fmt, precision + 1);
  longer.erase(LastDigit(longer), 1);
  if (precision == 0 && fmt == std::chars_format::fixed) {
    if (longer.back() == '.') longer.pop_back();
  } else if (precision == 0) {
    const auto point = longer.find('.');
    if (point != std::string::npos) longer.erase(point, 1);
  }
  if (longer == text) ++text[LastDigit(text)];
  return text;
}

std::string PadLeft(std::string s, int width) {
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
  return s;
}

// Text of a value that is not finite, as the forms show it.
std::string NonFiniteText(double v) {
  if (std::isnan(v)) return "Nan";
  return v < 0 ? "-Inf" : "+Inf";
}

bool ReadsBackTo(const std::string& text, double v) {
  double back = 0;
  auto r = std::from_chars(text.data(), text.data() + text.size(), back);
  return r.ec == std::errc() && back == v;
}

// Scientific text of to_chars ("-1.25e-07") split into mantissa and exponent.
struct Scientific {
  std::string Mantissa;  // with its sign, without the exponent
  int Exponent = 0;
};

Scientific SplitScientific(const std::string& text) {
  Scientific s;
  const auto e = text.find('e');
  s.Mantissa = text.substr(0, e);
  const char* p = text.data() + e + 1;
  if (*p == '+') ++p;
  std::from_chars(p, text.data() + text.size(), s.Exponent);
  return s;
}

// "E", the exponent's sign and at least minDigits digits.
std::string ExponentText(int exponent, int minDigits) {
  std::string digits = std::to_string(std::abs(exponent));
  if (static_cast<int>(digits.size()) < minDigits)
    digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
  return std::string("E") + (exponent < 0 ? '-' : '+') + digits;
}

// A blank takes the place of the sign of a non-negative mantissa.
std::string WithSignPosition(const std::string& mantissa) {
  return mantissa[0] == '-' ? mantissa : " " + mantissa;
}

}  // namespace

std::string FormatFixed(double v, int width, int decimals) {
  if (!std::isfinite(v)) return PadLeft(NonFiniteText(v), width);
  return PadLeft(ToChars(v, std::chars_format::fixed, decimals), width);
}

std::string FormatScientific23(double v) {
  if (!std::isfinite(v)) return PadLeft(NonFiniteText(v), 23);
  const Scientific s = SplitScientific(ToChars(v, std::chars_format::scientific, 14));
  return WithSignPosition(s.Mantissa) + ExponentText(s.Exponent, 4);
}

// Fixed text of a value from 1E17 up: every such double is an integer, and
// its exact expansion has more digits than a double holds. The shortest
// digits that read back are written, padded with zeros, with 2 decimals.
static std::string LargeFixed(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
  const Scientific s = SplitScientific(std::string(buf, r.ptr));
  std::string out = s.Mantissa[0] == '-' ? "-" : "";
  std::string digits;
  for (char c : s.Mantissa)
    if (c >= '0' && c <= '9') digits += c;
  out += digits;
  out.append(static_cast<std::size_t>(s.Exponent + 1) - digits.size(), '0');
  return out + ".00";
}

std::string FormatInputFixed(double v) {
  if (!std::isfinite(v)) return PadLeft(NonFiniteText(v), 10);
  if (std::fabs(v) >= 1e17) return PadLeft(LargeFixed(v), 10);
  std::string text;
  // 17 significant digits always read back; a value from 1 up has at least
  // one integer digit, so 16 decimals are the most that can be needed.
  for (int decimals = 2; decimals <= 16; ++decimals) {
    text = ToChars(v, std::chars_format::fixed, decimals);
    if (ReadsBackTo(text, v)) break;
  }
  return PadLeft(text, 10);
}

std::string FormatInputScientific(double v) {
  if (!std::isfinite(v)) return PadLeft(NonFiniteText(v), 10);
  std::string text;
  for (int mantissaDecimals = 1; mantissaDecimals <= 16; ++mantissaDecimals) {
    text = ToChars(v, std::chars_format::scientific, mantissaDecimals);
    if (ReadsBackTo(text, v)) break;
  }
  const Scientific s = SplitScientific(text);
  return WithSignPosition(s.Mantissa) + ExponentText(s.Exponent, 4);
}

std::string FormatInputValue(double v) {
  return v >= 1.0 ? FormatInputFixed(v) : FormatInputScientific(v);
}

std::string FormatE(double v, int significant, int width) {
  if (!std::isfinite(v)) return PadLeft(NonFiniteText(v), width);
  const int decimals = significant > 1 ? significant - 1 : 0;
  const Scientific s = SplitScientific(ToChars(v, std::chars_format::scientific, decimals));
  return PadLeft(s.Mantissa + ExponentText(s.Exponent, 3), width);
}

std::string FormatGeneral(double v, char decimalSeparator) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
  if (v == 0) return "0";
  const Scientific s = SplitScientific(ToChars(v, std::chars_format::scientific, 14));
  const bool negative = s.Mantissa[0] == '-';
  // The 15 significant digits without point and sign, trailing zeros dropped.
  std::string digits;
  for (char c : s.Mantissa)
    if (c >= '0' && c <= '9') digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  const int e = s.Exponent;
  std::string out = negative ? "-" : "";
  if (e < -5 || e >= 15) {
    out += digits[0];
    if (digits.size() > 1) {
      out += decimalSeparator;
      out += digits.substr(1);
    }
    out += 'E';
    if (e < 0) out += '-';
    out += std::to_string(std::abs(e));
  } else if (e >= 0) {
    const auto intDigits = static_cast<std::size_t>(e) + 1;
    if (digits.size() <= intDigits) {
      out += digits + std::string(intDigits - digits.size(), '0');
    } else {
      out += digits.substr(0, intDigits);
      out += decimalSeparator;
      out += digits.substr(intDigits);
    }
  } else {
    out += '0';
    out += decimalSeparator;
    out += std::string(static_cast<std::size_t>(-e - 1), '0');
    out += digits;
  }
  return out;
}

std::string FormatShortest(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general);
  return std::string(buf, r.ptr);
}

std::string FormatInt(long long v) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string FormatInt(long long v, int width) { return PadLeft(FormatInt(v), width); }

long long RoundHalfEven(double v) {
  if (!(std::fabs(v) < 1e15)) return v > 0 ? 1000000000000000LL : (v < 0 ? -1000000000000000LL : 0);
  double r = std::round(v);
  if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
  return static_cast<long long>(r);
}

}  // namespace tavorix
