#pragma once

namespace qs {

// The logic's time axis counts days since 30 December 1899 00:00 UTC, the
// time of day as the fraction: the chart's x and the data file's times.

inline constexpr long long kSecondsPerDay = 86400;
// 1970-01-01, where Unix time starts, as a day count of that axis.
inline constexpr long long kUnixEpochDay = 25569;

}  // namespace qs
