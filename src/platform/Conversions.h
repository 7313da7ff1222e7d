#pragma once
#include <string>
#include <string_view>

namespace qs {

// Number conversions of the window framework. They never follow the user's
// locale: a point is the decimal separator in every direction.

// Optional leading white space, optional sign, decimal digits, nothing after.
// Raises EConvertError for anything else or a value outside 32 bits.
int StrToInt(std::string_view text);

// Optional white space around an optional sign, digits with an optional point
// and an optional exponent. Raises EConvertError for anything else, for an
// overflow and for an empty text.
double StrToFloat(std::string_view text);

// General format, at most 15 significant digits, no trailing zeros and no
// trailing point. Scientific notation (exponent without plus sign and without
// leading zeros: 1.5E-7, 2E20) when the number has more than 15 digits before
// the point or its magnitude is below 0.00001.
std::string FloatToStr(double value);

// Decimal text of an integer ("%i").
std::string IntToStr(long long value);

}  // namespace qs
