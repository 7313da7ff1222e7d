#include "chart/AxisLabels.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/DayCount.h"

namespace qs {
namespace {

struct Civil {
    long long year;
    int month, day;
};

// Calendar date of a day count from 1970-01-01 (H. Hinnant's algorithm).
Civil civilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2), month, day};
}

long long floorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

std::string FormatAxisValue(double value) { return FormatAxisValue(value, 7); }

std::string FormatAxisValue(double value, int maxDecimals) {
    if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, maxDecimals);
    if (ec != std::errc()) return "0";
    std::string text(buf, end);
    std::size_t point = text.find('.');
    std::string integer = text.substr(0, point);
    std::string decimals = point == std::string::npos ? std::string() : text.substr(point + 1);
    while (!decimals.empty() && decimals.back() == '0') decimals.pop_back();

    std::string grouped;
    for (std::size_t i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0) grouped += ',';
        grouped += integer[i];
    }
    // A value that rounds to zero shows no sign.
    const bool negative = value < 0 && !(integer == "0" && decimals.empty());
    return (negative ? "-" : "") + grouped + (decimals.empty() ? "" : "." + decimals);
}

std::string FormatAxisDateTime(double x) {
    if (!std::isfinite(x) || std::fabs(x) > 3.0e6) return "";
    const long long seconds = std::llround(x * static_cast<double>(kSecondsPerDay));
    const long long days = floorDiv(seconds, kSecondsPerDay);
    const long long secondOfDay = seconds - days * kSecondsPerDay;
    const Civil date = civilFromDays(days - kUnixEpochDay);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04lld-%02d-%02d-%02lld:%02lld:%02lld", date.year, date.month, date.day,
                  secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    return buf;
}

}  // namespace qs
