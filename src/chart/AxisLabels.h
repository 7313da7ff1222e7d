#pragma once
#include <string>

namespace qs {

// Axis label texts of the chart, never in the user's locale.

// A value as "#,##0.#######": thousands separated by commas, at least one
// integer digit, up to seven decimals without trailing zeros, a minus sign
// for negative values (1200.5 -> "1,200.5", 0.00000004 -> "0", -0.25 -> "-0.25").
std::string FormatAxisValue(double value);
// The same with up to this many decimals instead of seven.
std::string FormatAxisValue(double value, int maxDecimals);

// A chart x (days since 30 December 1899, time of day as the fraction) as
// "yyyy-MM-dd-hh:mm:ss", rounded to the nearest second (2024-03-05-14:07:09).
std::string FormatAxisDateTime(double x);

}  // namespace qs
