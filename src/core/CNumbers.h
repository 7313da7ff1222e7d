#pragma once
#include <cstddef>
#include <string_view>

namespace qs {

// The length of the number at the start of text by the value rule (after any
// white space it skipped): an optional sign, digits with an optional point
// (at least one digit in all), and an optional exponent, an "e" or "E" with
// an optional sign and at least one digit. Nothing else is a number: no
// hexadecimal, no "INF", "NAN" or "INFINITY", no decimal comma. 0 when the
// text does not begin with a number. skipped receives the white space taken
// off the front (space, tab, LF, VT, FF, CR).
std::size_t CNumberLength(std::string_view text, std::size_t& skipped);

// The value of the number at the start of text by the rule above, always
// with a point as decimal separator: "+1.2345E+00" gives 1.2345, "1,5"
// gives 1, and a text that does not begin with a number ("0x1A" reads as its
// 0, "INF" and "nan" as nothing) gives 0.0. A number beyond the range of a
// double gives an infinity of its sign ("1E999"), one too small gives 0.
double CAtof(std::string_view text);

// The C library's atol: leading white space, an optional sign, then decimal
// digits up to the first other character; no digits gives 0.
long CAtol(std::string_view text);

}  // namespace qs
