#include "link/PollArithmetic.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace qs {

int SecondsToMs(double seconds) {
    double ms = std::trunc(seconds * 1000.0);
    // Out-of-range intervals saturate instead of wrapping into nonsense.
    if (!(ms < static_cast<double>(std::numeric_limits<int>::max()))) return std::numeric_limits<int>::max();
    if (!(ms > static_cast<double>(std::numeric_limits<int>::min()))) return std::numeric_limits<int>::min();
    return static_cast<int>(ms);
}

float ToSingle(double seconds) {
    constexpr double largest = std::numeric_limits<float>::max();
    if (seconds > largest) return std::numeric_limits<float>::infinity();
    if (seconds < -largest) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(seconds);
}

std::string CountdownCaption(int countdownMs) {
    const float seconds = static_cast<float>(countdownMs) / 1000.0f;
    // to_chars never consults the locale, and rounds the exact binary value
    // of the float just as "%.1f" does.
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<double>(seconds), std::chars_format::fixed, 1);
    return ec == std::errc() ? std::string(buf, end) : std::string();
}

int MinimumTimeoutSeconds(float intervalSeconds) {
    const double rounded = std::trunc(static_cast<double>(intervalSeconds) + 0.5);
    if (!(rounded > 0.0)) return 1;
    if (rounded >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return static_cast<int>(rounded);
}

int GreetingWaitMs(int timeoutMs) {
    constexpr int kGreetingWaitMs = 30000;
    return timeoutMs > kGreetingWaitMs ? timeoutMs : kGreetingWaitMs;
}

}  // namespace qs
