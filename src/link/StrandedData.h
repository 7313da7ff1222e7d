#pragma once
#include <cstdint>

namespace qs {

// Whether the bytes waiting in the receive buffer look like a bare number
// whose line end never came: at least one byte, and every one of the first
// length bytes a decimal digit or one of "+", "-", ".", "e", "E". A space, a
// comma, a letter or a control character means it is something else (the
// start of a greeting, a unit), which only a reconnect can sort out.
bool IsStrandedNumber(const std::uint8_t* buffer, int length);

}  // namespace qs
