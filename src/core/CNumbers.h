#pragma once
#include <string_view>

namespace qs {

// The C library's atof, always with a point as decimal separator: leading
// white space, an optional sign, digits with an optional point and exponent,
// read up to the first character that does not fit ("1,5" gives 1, a text
// without a leading number gives 0).
double CAtof(std::string_view text);

// The C library's atol: leading white space, an optional sign, then decimal
// digits up to the first other character; no digits gives 0.
long CAtol(std::string_view text);

}  // namespace qs
