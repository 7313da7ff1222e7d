#include "stability/SeriesStatistics.h"

#include <algorithm>
#include <cmath>

#include "platform/DayCount.h"
#include "stability/SampleSpacing.h"

namespace qs {

namespace {

constexpr double kPpm = 1e6;

// part in ppm of |whole|; none when whole is 0.
std::optional<double> ppmOf(std::optional<double> part, std::optional<double> whole) {
    if (!part || !whole || *whole == 0.0) return std::nullopt;
    return FiniteOrNone(*part / std::fabs(*whole) * kPpm);
}

std::optional<double> perDay(std::optional<double> perSecond) {
    if (!perSecond) return std::nullopt;
    return FiniteOrNone(*perSecond * static_cast<double>(kSecondsPerDay));
}

}  // namespace

SeriesFigures FiguresOf(const LinearSums& sums, std::optional<ValueRange> range, std::optional<double> tau0) {
    SeriesFigures f;
    f.n = sums.count();
    f.mean = sums.meanY();
    f.stddev = sums.stddevY();
    f.stddevPpm = ppmOf(f.stddev, f.mean);
    if (range) {
        f.minimum = range->minimum;
        f.maximum = range->maximum;
        f.peakToPeak = FiniteOrNone(range->maximum - range->minimum);
        f.peakToPeakPpm = ppmOf(f.peakToPeak, f.mean);
    }
    const LinearSums::Line line = sums.line();
    f.driftPerDay = perDay(line.slope);
    f.driftPpmPerDay = ppmOf(f.driftPerDay, f.mean);
    f.driftStderrPerDay = perDay(line.slopeStderr);
    f.tau0 = tau0;
    return f;
}

SeriesFigures SeriesFiguresOf(std::span<const double> seconds, std::span<const double> values) {
    LinearSums sums;
    const std::size_t n = std::min(seconds.size(), values.size());
    std::optional<ValueRange> range;
    for (std::size_t i = 0; i < n; ++i) {
        sums.add(seconds[i], values[i]);
        if (!range) range = ValueRange{values[i], values[i]};
        range->minimum = std::min(range->minimum, values[i]);
        range->maximum = std::max(range->maximum, values[i]);
    }
    const std::span<const double> times = seconds.first(n);
    const std::optional<double> tau0 =
        n == 0 ? std::nullopt : Tau0(MedianSpacing(times), times.front(), times.back(), static_cast<long long>(n));
    return FiguresOf(sums, range, tau0);
}

RegressionFigures RegressionOf(const LinearSums& sums) {
    RegressionFigures r;
    r.pairs = sums.count();
    const LinearSums::Line line = sums.line();
    r.slope = line.slope;
    r.slopeStderr = line.slopeStderr;
    r.correlation = line.correlation;
    r.ppmPerUnit = ppmOf(line.slope, sums.meanY());
    return r;
}

}  // namespace qs
