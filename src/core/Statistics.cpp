#include "core/Statistics.h"

namespace qs {

// Written so that NaN fails the test too.
bool IsSampleValue(double value) { return value >= -kLargestSample && value <= kLargestSample; }

ExtremesUpdate UpdateExtremes(const Extremes& before, double value) {
    ExtremesUpdate update{before, value < before.minimum, value > before.maximum};
    if (update.newMinimum) update.extremes.minimum = value;
    if (update.newMaximum) update.extremes.maximum = value;
    return update;
}

Extremes ExtremesOf(const ISeries& series) {
    if (series.Count() == 0) return {};
    return {series.MinY(), series.MaxY()};
}

double RunningMean(const ISeries& raw, int meanPoints) {
    const int n = raw.Count();
    const int first = (meanPoints > 0 && n >= meanPoints) ? n - meanPoints : 0;
    return raw.sumY(first, n) / (n - first);
}

double FilterStep(double& s, double x, int n) {
    const double nd = n;
    auto update = [&] {
        s = s - s / nd;
        s = x + s;
    };
    if (s == 0.0) {
        update();
        int updates = 1;
        while (s / nd + 0.0000001 < x && updates < 1000) {
            update();
            ++updates;
        }
    }
    update();
    return s / nd;
}

}  // namespace qs
