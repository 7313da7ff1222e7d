#pragma once
#include <string_view>

namespace qs {

// The value of a reply text: after any leading white space, an optional
// sign, digits with an optional point (at least one digit in all) and an
// optional exponent (an "e" or "E", an optional sign and digits), read up to
// the first character that does not fit, always with a point as decimal
// separator. Nothing else is a number: no hexadecimal, no "INF", "NAN" or
// "INFINITY", no decimal comma. So "+1.2345E+00" gives 1.2345, "1,5" gives 1,
// "0x1A" gives its 0, and a text that does not begin with a number ("INF",
// "nan", "ABC") gives 0.0. A number beyond the range of a double gives an
// infinity of its sign ("1E999"), one too small for it 0.
double CAtof(std::string_view text);

// The C library's atol: leading white space, an optional sign, then decimal
// digits up to the first other character; no digits gives 0.
long CAtol(std::string_view text);

}  // namespace qs
