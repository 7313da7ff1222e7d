#pragma once
#include <functional>

namespace qs {

// Where a line of the chart breaks: between two samples further apart than
// the gap time. The gap time comes from the series' own spacing, so that
// steady logging draws one line at any interval, reply time or command mode,
// live or loaded, and only a pause in the logging (a Stop, a lost link, a
// restart, two runs in one file) breaks it.

// The gap time in seconds for a series whose typical step between samples
// is typicalStepSeconds: five typical steps, and never less than 3 s.
double GapSeconds(double typicalStepSeconds);

// The typical step in seconds of a series of count keys in ascending order
// (keyDays(i) gives key i in days): the median of its steps, taken over at
// most a thousand steps spread evenly over the series; 0 for fewer than two
// keys.
double TypicalStepSeconds(int count, const std::function<double(int)>& keyDays);

// The gap time as a width in chart keys (days); 0, no gaps at all, for a gap
// time of 0 or less.
double GapWidthDays(double gapSeconds);

}  // namespace qs
