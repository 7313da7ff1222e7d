#pragma once
#include <optional>
#include <span>

#include "stability/LinearSums.h"
#include "stability/PointRing.h"
#include "stability/StabilityFigures.h"

namespace qs {

// The figures of a series from its value-against-time sums, its extremes
// and its tau0: the ppm are of |mean|, the drift is per day (times in
// seconds).
SeriesFigures FiguresOf(const LinearSums& valueAgainstTime, std::optional<ValueRange> range,
                        std::optional<double> tau0);

// The figures of readings and their time stamps (seconds), in one pass.
SeriesFigures SeriesFiguresOf(std::span<const double> seconds, std::span<const double> values);

// The line of y against x over pairs (x_k, y_k); the ppm are of |mean y|.
RegressionFigures RegressionOf(const LinearSums& yAgainstX);

}  // namespace qs
