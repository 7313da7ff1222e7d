#pragma once
#include "platform/Chart.h"

namespace qs {

// Minimum and maximum before the first sample: finite numbers that any
// ordinary sample lies below and above.
inline constexpr double kMinimumStart = 999999999999999.0;
inline constexpr double kMaximumStart = -999999999999999.0;

// The largest magnitude a sample may have. The statistics add up to a series'
// worth of values (the running mean) or up to FilterSamples times a value
// (the RC filter's state), and both counts stay below 2^31: with values of
// at most 1E298 neither sum can leave the range of a double, so no mean, no
// filter state and no difference ever becomes an infinity or NaN.
inline constexpr double kLargestSample = 1e298;

// The smallest and largest sample since the last reset.
struct Extremes {
    double minimum = kMinimumStart;
    double maximum = kMaximumStart;
};

// A sample's effect on the extremes: a value strictly below the minimum or
// above the maximum takes its place, an equal one changes nothing.
struct ExtremesUpdate {
    Extremes extremes;
    bool newMinimum;
    bool newMaximum;
};
ExtremesUpdate UpdateExtremes(const Extremes& before, double value);

// The smallest and largest y of a series. An empty series gives the start
// values, as in a fresh window, so that the next sample becomes minimum and
// maximum instead of a made-up 0 that no sample ever had.
Extremes ExtremesOf(const ISeries& series);

// Whether a value can be a sample: a number within -kLargestSample to
// kLargestSample. An infinity or NaN never is.
bool IsSampleValue(double value);

// Running mean over the last meanPoints y values of a series (all of them
// when meanPoints is 0 or the series holds fewer), summed from the oldest
// index up in double precision. The series must hold at least one point.
double RunningMean(const ISeries& raw, int meanPoints);

// One RC filter step for input x with time constant n samples on the state s
// (n times the output): s = s - s/n, then s = x + s. A state of exactly 0.0
// first runs the warm-up, which brings the output to within 1e-7 below a
// positive x in at most 1000 updates. Returns the output s/n.
double FilterStep(double& s, double x, int n);

}  // namespace qs
