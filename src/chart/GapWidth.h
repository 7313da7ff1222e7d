#pragma once

namespace qs {

// Where a line of the chart breaks: between two samples further apart than
// the gap time.

// The gap time in seconds, as the logger is set now: three intervals or the
// watchdog's time-out, whichever is longer.
double GapSeconds(double intervalSeconds, int watchdogMs);

// The gap time as a width in chart keys (days); 0, no gaps at all, for a gap
// time of 0 or less.
double GapWidthDays(double gapSeconds);

}  // namespace qs
