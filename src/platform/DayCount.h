#pragma once
#include <cmath>

namespace qs {

// The logic's time axis counts days since 30 December 1899 00:00 UTC, the
// time of day as the fraction: the chart's x and the data file's times.

inline constexpr long long kSecondsPerDay = 86400;
// 1970-01-01, where Unix time starts, as a day count of that axis.
inline constexpr long long kUnixEpochDay = 25569;

// A day count as seconds on the same axis: its times are whole seconds, which
// the day count's fraction misses by a few microseconds.
inline double SecondsOfDayCount(double days) { return std::round(days * static_cast<double>(kSecondsPerDay)); }

}  // namespace qs
