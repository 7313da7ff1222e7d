#include "core/CNumbers.h"

#include <cstdlib>
#include <string>

#include "core/CLocale.h"

namespace qs {

double CAtof(std::string_view text) {
    std::string s(text);
    return strtod_l(s.c_str(), nullptr, CLocale());
}

long CAtol(std::string_view text) {
    std::string s(text);
    return strtol_l(s.c_str(), nullptr, 10, CLocale());
}

}  // namespace qs
