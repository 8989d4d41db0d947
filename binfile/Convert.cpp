#include "binfile/Convert.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

std::string Trimmed(const std::string& text)
{
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos)
    return std::string();
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

[[noreturn]] void NotAFloat(const std::string& text)
{
  throw EConvertError("'" + text + "' is not a valid floating point value");
}

// from_chars takes no leading '+'; accept one the way the platform's conversion does.
template <class T>
T ParseFloating(const std::string& text)
{
  std::string s = Trimmed(text);
  if (s.size() > 1 && s[0] == '+' && s[1] != '-' && s[1] != '+')
    s.erase(0, 1);
  if (s.empty() || s.find_first_not_of("0123456789.eE+-") != std::string::npos)
    NotAFloat(text);
  T value{};
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  if (end != s.data() + s.size() || (ec != std::errc() && ec != std::errc::result_out_of_range))
    NotAFloat(text);
  if (ec == std::errc::result_out_of_range)
    NotAFloat(text);
  return value;
}

}  // namespace

float StrToFloat32(const std::string& text) { return ParseFloating<float>(text); }

double StrToFloat(const std::string& text) { return ParseFloating<double>(text); }

int32_t StrToInt(const std::string& text)
{
  std::string s = Trimmed(text);
  if (s.size() > 1 && s[0] == '+' && s[1] != '-')
    s.erase(0, 1);
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, 10);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size())
    throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

std::string IntToStr(int64_t value)
{
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string FormatGeneral(double value, int precision, int minExponentDigits)
{
  if (std::isnan(value))
    return "NAN";
  if (std::isinf(value))
    return value < 0 ? "-INF" : "INF";
  if (value == 0)
    return "0";
  precision = precision < 1 ? 1 : (precision > 17 ? 17 : precision);

  // Round to `precision` significant digits: d.ddddde[+-]x
  char sci[64];
  const auto r = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, precision - 1);
  std::string text(sci, r.ptr);
  const auto ePos = text.find('e');
  const int exponent = std::atoi(text.c_str() + ePos + 1);
  std::string mantissa = text.substr(0, ePos);
  const bool negative = mantissa[0] == '-';
  std::string digits;
  for (char c : mantissa)
    if (c >= '0' && c <= '9')
      digits.push_back(c);
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();

  const double magnitude = std::fabs(value);
  std::string out = negative ? "-" : "";
  if (magnitude >= 0.00001 && exponent < precision) {
    if (exponent >= 0) {
      const size_t intDigits = static_cast<size_t>(exponent) + 1;
      if (digits.size() <= intDigits) {
        out += digits + std::string(intDigits - digits.size(), '0');
      } else {
        out += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
      }
    } else {
      out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    }
    return out;
  }
  out += digits.substr(0, 1);
  if (digits.size() > 1)
    out += "." + digits.substr(1);
  std::string exp = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(exp.size()) < minExponentDigits)
    exp.insert(0, static_cast<size_t>(minExponentDigits) - exp.size(), '0');
  out += std::string("E") + (exponent < 0 ? "-" : "+") + exp;
  return out;
}
