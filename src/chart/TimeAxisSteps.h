#pragma once

namespace qs {

// The steps between the ticks of the time axis, in seconds: round UTC times
// (1, 2, 5, 10, 15, 30 seconds or minutes; 1, 2, 3, 6, 12 hours; 1, 2, 7,
// 14, 28 days), and beyond 28 days twice the step before.

// The next round step longer than step.
double NextRoundStep(double stepSeconds);

// The smallest round step whose ticks stand at least spacing pixels apart on
// an axis of pixels showing spanSeconds, but none longer than the first that
// covers the span; one second when the span or the axis is empty.
double RoundStepSeconds(double spanSeconds, double pixels, double spacing);

}  // namespace qs
