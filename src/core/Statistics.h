#pragma once
#include "platform/Chart.h"

namespace qs {

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
