#include "link/StrandedData.h"

namespace qs {
namespace {

bool isNumeric(std::uint8_t b) {
    return (b >= '0' && b <= '9') || b == '+' || b == '-' || b == '.' || b == 'e' || b == 'E';
}

}  // namespace

bool IsStrandedNumber(const std::uint8_t* buffer, int length) {
    if (length <= 0) return false;
    for (int i = 0; i < length; ++i)
        if (!isNumeric(buffer[i])) return false;
    return true;
}

}  // namespace qs
