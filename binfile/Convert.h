#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

// Number conversions of the editors' grids: "." is the decimal point whatever the locale.

// A text that could not be read as a number; its message is the one the user sees,
// e.g. "'1.2.3' is not a valid floating point value".
class EConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Reads a decimal number: optional sign, digits with at most one point, an optional
// exponent; blanks around it are allowed. The result is the nearest float32 (or double).
// Throws EConvertError "'<text>' is not a valid floating point value" otherwise.
float StrToFloat32(const std::string& text);
double StrToFloat(const std::string& text);
// Reads a decimal integer (optional sign, digits only, blanks around it allowed). Throws
// EConvertError "'<text>' is not a valid integer value" otherwise, also beyond 32 bits.
int32_t StrToInt(const std::string& text);

// General number format with `precision` significant digits: rounded, trailing zeros
// removed, no point when no fraction is left; fixed notation for 0 and for magnitudes of
// at least 0.00001 whose integer part has at most `precision` digits, otherwise
// scientific ("1.5E+0020" with at least `minExponentDigits` exponent digits).
// Not-a-number and infinities read "NAN", "INF" and "-INF".
std::string FormatGeneral(double value, int precision, int minExponentDigits = 0);
// Decimal text of an integer: digits with a leading minus sign when negative.
std::string IntToStr(int64_t value);
